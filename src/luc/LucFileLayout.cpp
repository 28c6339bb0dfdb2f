#include "luc/LucFileLayout.h"

#include <limits>

namespace tilbo::lucfile {

Header DecodeHeader(const HeaderBytes& bytes) {
  const unsigned char* b = bytes.data();
  Header h;
  h.dataSource.assign(reinterpret_cast<const char*>(b + kDataSourceOffset), kTextFieldSize);
  h.title.assign(reinterpret_cast<const char*>(b + kTitleOffset), kTextFieldSize);
  h.utmZone = GetLE<int16_t>(b + kUtmZoneOffset);
  h.nwCornerLatitude = GetLE<double>(b + kNWCornerLatitudeOffset);
  h.nwCornerLongitude = GetLE<double>(b + kNWCornerLongitudeOffset);
  h.seCornerLatitude = GetLE<double>(b + kSECornerLatitudeOffset);
  h.seCornerLongitude = GetLE<double>(b + kSECornerLongitudeOffset);
  h.minNorthing = GetLE<int32_t>(b + kMinNorthingOffset);
  h.maxNorthing = GetLE<int32_t>(b + kMaxNorthingOffset);
  h.minEasting = GetLE<int32_t>(b + kMinEastingOffset);
  h.maxEasting = GetLE<int32_t>(b + kMaxEastingOffset);
  h.dataRows = GetLE<int32_t>(b + kDataRowsOffset);
  h.dataColumns = GetLE<int32_t>(b + kDataColumnsOffset);
  h.xResolution = GetLE<int16_t>(b + kXResolutionOffset);
  h.yResolution = GetLE<int16_t>(b + kYResolutionOffset);
  h.recordLength = GetLE<int32_t>(b + kRecordLengthOffset);
  return h;
}

void EncodeHeader(const Header& h, HeaderBytes& bytes) {
  unsigned char* b = bytes.data();
  auto putText = [&](int offset, const std::string& text) {
    for (int i = 0; i < kTextFieldSize; ++i) {
      b[offset + i] = i < static_cast<int>(text.size()) ? static_cast<unsigned char>(text[i]) : 0;
    }
  };
  putText(kDataSourceOffset, h.dataSource);
  putText(kTitleOffset, h.title);
  PutLE(b + kUtmZoneOffset, h.utmZone);
  PutLE(b + kNWCornerLatitudeOffset, h.nwCornerLatitude);
  PutLE(b + kNWCornerLongitudeOffset, h.nwCornerLongitude);
  PutLE(b + kSECornerLatitudeOffset, h.seCornerLatitude);
  PutLE(b + kSECornerLongitudeOffset, h.seCornerLongitude);
  PutLE(b + kMinNorthingOffset, h.minNorthing);
  PutLE(b + kMaxNorthingOffset, h.maxNorthing);
  PutLE(b + kMinEastingOffset, h.minEasting);
  PutLE(b + kMaxEastingOffset, h.maxEasting);
  PutLE(b + kDataRowsOffset, h.dataRows);
  PutLE(b + kDataColumnsOffset, h.dataColumns);
  PutLE(b + kXResolutionOffset, h.xResolution);
  PutLE(b + kYResolutionOffset, h.yResolution);
  PutLE(b + kRecordLengthOffset, h.recordLength);
}

bool GridFitsFile(const Header& h, int64_t fileSize) {
  if (h.dataRows < 1 || h.dataColumns < 1) return false;
  if (h.recordLength < kHeaderSize) return false;
  if (static_cast<int64_t>(h.recordLength) < int64_t{kCellSize} * h.dataColumns) return false;
  // DataBlockSize is a 32-bit quantity.
  const int64_t dataBlockSize = static_cast<int64_t>(h.dataRows) * h.recordLength;
  if (dataBlockSize > std::numeric_limits<int32_t>::max()) return false;
  return dataBlockSize + h.recordLength <= fileSize;
}

}  // namespace tilbo::lucfile
