#pragma once
// The byte layout of a LUC tile file.
//
// A LUC file is a sequence of records of RecordLength bytes, all numbers
// little-endian. Record 0 holds the header (the first 156 bytes; the rest of
// the record is never read). Records 1..DataRows hold the grid rows, north row
// first, each row DataColumns 16-bit cells from west to east. Row r, column c
// stands for the UTM point (MinEasting + c * XResolution, MaxNorthing -
// r * YResolution) in zone UTMZone; its two bytes lie at byte offset
// (r + 1) * RecordLength + 2 * c.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace tilbo::lucfile {

inline constexpr std::string_view kSignature = "QMLULC 1.0";

// Header field offsets (bytes from the start of the file) and sizes.
inline constexpr int kSignatureOffset = 0;
inline constexpr int kSignatureSize = 10;
inline constexpr int kDataSourceOffset = 10;
inline constexpr int kTitleOffset = 50;
inline constexpr int kTextFieldSize = 40;
inline constexpr int kUtmZoneOffset = 90;              // 16-bit signed
inline constexpr int kNWCornerLatitudeOffset = 92;     // 64-bit float, degrees
inline constexpr int kNWCornerLongitudeOffset = 100;   // 64-bit float, degrees
inline constexpr int kSECornerLatitudeOffset = 108;    // 64-bit float, south edge of the cell
inline constexpr int kSECornerLongitudeOffset = 116;   // 64-bit float, east edge of the cell
inline constexpr int kMinNorthingOffset = 124;         // 32-bit signed, metres, last row
inline constexpr int kMaxNorthingOffset = 128;         // 32-bit signed, metres, row 0
inline constexpr int kMinEastingOffset = 132;          // 32-bit signed, metres, column 0
inline constexpr int kMaxEastingOffset = 136;          // 32-bit signed, metres, last column
inline constexpr int kDataRowsOffset = 140;            // 32-bit signed
inline constexpr int kDataColumnsOffset = 144;         // 32-bit signed
inline constexpr int kXResolutionOffset = 148;         // 16-bit signed, metres between columns
inline constexpr int kYResolutionOffset = 150;         // 16-bit signed, metres between rows
inline constexpr int kRecordLengthOffset = 152;        // 32-bit signed, bytes per record
inline constexpr int kHeaderSize = 156;

// A grid narrower than this would have records shorter than the header.
inline constexpr int32_t kMinDataColumns = kHeaderSize / 2;
inline constexpr int kCellSize = 2;

// The header fields after the signature, as numbers and raw text bytes.
struct Header {
  std::string dataSource = std::string(kTextFieldSize, '\0');
  std::string title = std::string(kTextFieldSize, '\0');
  int16_t utmZone = 0;
  double nwCornerLatitude = 0;
  double nwCornerLongitude = 0;
  double seCornerLatitude = 0;
  double seCornerLongitude = 0;
  int32_t minNorthing = 0;
  int32_t maxNorthing = 0;
  int32_t minEasting = 0;
  int32_t maxEasting = 0;
  int32_t dataRows = 0;
  int32_t dataColumns = 0;
  int16_t xResolution = 0;
  int16_t yResolution = 0;
  int32_t recordLength = 0;
};

using HeaderBytes = std::array<unsigned char, kHeaderSize>;

// Little-endian field access on a byte buffer.
template <typename T>
T GetLE(const unsigned char* bytes) {
  using Bits = std::conditional_t<sizeof(T) == 2, uint16_t,
                                  std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>;
  Bits bits = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<Bits>(Bits{bytes[i]} << (8 * i));
  return std::bit_cast<T>(bits);
}

template <typename T>
void PutLE(unsigned char* bytes, T value) {
  using Bits = std::conditional_t<sizeof(T) == 2, uint16_t,
                                  std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>;
  const Bits bits = std::bit_cast<Bits>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

// Decodes bytes 10..155; the signature is not looked at.
Header DecodeHeader(const HeaderBytes& bytes);
// Encodes every field after the signature into bytes 10..155 (the signature
// bytes are left as they are).
void EncodeHeader(const Header& header, HeaderBytes& bytes);

// Whether the header describes a grid that the file of the given length can
// hold: at least one row and one column, records no shorter than the header
// and than a grid row, and DataRows + 1 records within the file, all within
// 32-bit sizes. Checked before anything is allocated from the header.
bool GridFitsFile(const Header& header, int64_t fileSize);

}  // namespace tilbo::lucfile
