#pragma once
// Decoding of CTG records from bytes: the lenient number parse of numeric
// fields, DDDMMSS angle fields, the five header records and one data record.
// Nothing here touches files: the reader (CTGFile.h) and the fuzzers hand
// bytes in.
//
// A CTG file is a sequence of fixed 80-byte records without line ends:
// records 1-5 are the header, record 5 + K is data record (cell) K. Columns
// named below are 1-based positions within a record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "suite/NumericValue.h"

namespace tilbo {

inline constexpr std::size_t kCTGRecordLength = 80;
inline constexpr int32_t kCTGHeaderRecords = 5;
inline constexpr std::size_t kCTGHeaderLength = kCTGRecordLength * kCTGHeaderRecords;  // 400 bytes

// The decoded header. Angles are decimal degrees; longitudes are negated on
// decoding, so west is negative. Eastings and northings are UTM metres.
struct CTGHeader {
  // Record 1
  int16_t GridDimension1 = 0;     // cols 1-10: grid rows in real files
  int32_t RecordCountTimes2 = 0;  // cols 11-20: twice the number of data records
  int16_t GridDimension2 = 0;     // cols 21-30: grid columns in real files
  int16_t CellSize = 0;           // cols 36-40: metres, both axes
  int16_t Rec1Value41 = 0;        // cols 41-45: number of theme overlays
  int16_t Rec1Value46 = 0;        // cols 46-50: map code, odd when land use is present
  int16_t Rec1Value51 = 0;        // cols 51-55: UTM zone of the grid
  int16_t Rec1Value56 = 0;        // cols 56-60: projection code, 1 = UTM
  double Rec1Real61 = 0;          // cols 61-70
  std::string Rec1Text71;         // cols 71-80, trimmed
  // Record 2: sixteen 5-column values (1, 1, columns, rows, then control-point grid positions)
  std::array<int16_t, 16> Rec2Values{};
  // Records 3 and 4: six control points clockwise from the south-west corner
  double Point1Latitude = 0;  // south-west
  double Point1Longitude = 0;
  double Point2Latitude = 0;  // north-west
  double Point2Longitude = 0;
  double Point3Latitude = 0;  // middle of the north edge
  double Point3Longitude = 0;
  double Point4Latitude = 0;  // north-east
  double Point4Longitude = 0;
  double Point5Latitude = 0;  // south-east
  double Point5Longitude = 0;
  double Point6Latitude = 0;  // middle of the south edge
  double Point6Longitude = 0;
  int32_t RefCornerEasting = 0;   // record 4 cols 41-50: outer north-west corner of the grid
  int32_t RefCornerNorthing = 0;  // record 4 cols 51-60
  std::string DataDate;           // record 4 cols 61-70, trimmed
  // Record 5
  std::string Title;  // cols 1-64, trimmed

  bool operator==(const CTGHeader&) const = default;
};

// One decoded data record: the cell's UTM zone, the easting and northing of
// its centre in metres, and its land-use/land-cover code.
struct CTGCell {
  int16_t UTMZone = 0;
  int32_t Easting = 0;
  int32_t Northing = 0;
  int16_t LULCCode = 0;
};

// A numeric field as an integer: the number rounded to the nearest, ties to
// even; nothing when it does not fit the type.
std::optional<int16_t> DecodeInt16Field(std::string_view field);
std::optional<int32_t> DecodeInt32Field(std::string_view field);

// The land-use code field: values above 2,000,000,000 are markers (2000000101
// means 101, 2000000102 means 102, any other 0); otherwise a 16-bit integer.
std::optional<int16_t> DecodeLULCCodeField(std::string_view field);

// A DDDMMSS angle field (10 columns; only the last 7 characters count) in
// decimal degrees, unsigned.
double DecodeDMSField(std::string_view field);

// The five header records (400 bytes; missing bytes read as blanks). Nothing
// when a numeric field does not fit its type.
std::optional<CTGHeader> DecodeCTGHeader(std::string_view records);

// One data record (80 bytes; missing bytes read as blanks). Nothing when a
// field does not fit its type.
std::optional<CTGCell> DecodeCTGCell(std::string_view record);

}  // namespace tilbo
