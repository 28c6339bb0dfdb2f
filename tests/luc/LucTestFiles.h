#pragma once
// Hand-made LUC files for tests. The bytes are laid out here with literal
// offsets, independently of the program's own header encoder, so that tests
// check the layout rather than repeat it.

#include <cstdint>
#include <cstring>
#include <string>

namespace tilbo::testing {

// By default 10 rows of 500 cells in 1000-byte records, 200 m resolutions,
// south-east corner 40 N 105 W in zone 13.
struct LucFileRecipe {
  std::string signature = "QMLULC 1.0";
  int16_t zone = 13;
  double nwLatitude = 41.0, nwLongitude = -106.0, seLatitude = 40.0, seLongitude = -105.0;
  int32_t minNorthing = 4428200, maxNorthing = 4430000, minEasting = 400400, maxEasting = 500200;
  int32_t dataRows = 10, dataColumns = 500;
  int16_t xResolution = 200, yResolution = 200;
  int32_t recordLength = 1000;
  int16_t cellValue = 0;
};

template <typename T>
void Put(std::string& bytes, std::size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);  // the test host is little-endian
}

template <typename T>
T Get(const std::string& bytes, std::size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// Header record plus dataRows records of cells, every cell holding cellValue.
inline std::string MakeLucBytes(const LucFileRecipe& s) {
  std::string bytes(static_cast<std::size_t>(s.recordLength) * (s.dataRows + 1), '\0');
  bytes.replace(0, s.signature.size(), s.signature);
  Put(bytes, 90, s.zone);
  Put(bytes, 92, s.nwLatitude);
  Put(bytes, 100, s.nwLongitude);
  Put(bytes, 108, s.seLatitude);
  Put(bytes, 116, s.seLongitude);
  Put(bytes, 124, s.minNorthing);
  Put(bytes, 128, s.maxNorthing);
  Put(bytes, 132, s.minEasting);
  Put(bytes, 136, s.maxEasting);
  Put(bytes, 140, s.dataRows);
  Put(bytes, 144, s.dataColumns);
  Put(bytes, 148, s.xResolution);
  Put(bytes, 150, s.yResolution);
  Put(bytes, 152, s.recordLength);
  for (int32_t r = 0; r < s.dataRows; ++r) {
    for (int32_t c = 0; c < s.dataColumns; ++c) {
      Put(bytes, static_cast<std::size_t>(r + 1) * s.recordLength + 2 * c, s.cellValue);
    }
  }
  return bytes;
}

}  // namespace tilbo::testing
