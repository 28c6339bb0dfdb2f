#pragma once
// Building CTG records and files for tests, gzipping them, and unpacking the
// gzipped sample quadrangle into a temporary directory.

#include <zlib.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>

#include "ctg/CTGDecode.h"
#include "support/TempDir.h"

namespace tilbo::testing {

// The header of tests/data/LEWISTON_grid_cell.gz as its raw records show it
// (independent of the reader): 575 rows x 808 columns of 200 m cells in UTM
// zone 19, 44-45 N and 70-72 W, north-west grid corner 259500 E 4987100 N
// (GDAL: origin 259400, 4987200 with a half-cell shift).
inline const CTGHeader kLewistonHeader{
    .GridDimension1 = 575, .RecordCountTimes2 = 884064, .GridDimension2 = 808, .CellSize = 200, .Rec1Value41 = 4,
    .Rec1Value46 = 17, .Rec1Value51 = 19, .Rec1Value56 = 1, .Rec1Real61 = 7874016.0, .Rec1Text71 = "1973",
    .Rec2Values = {1, 1, 808, 575, 0, 556, 21, 0, 415, 13, 809, 20, 802, 575, 401, 373},
    .Point1Latitude = 44.0, .Point1Longitude = -72.0, .Point2Latitude = 45.0, .Point2Longitude = -72.0,
    .Point3Latitude = 45.0, .Point3Longitude = -71.0, .Point4Latitude = 45.0, .Point4Longitude = -70.0,
    .Point5Latitude = 44.0, .Point5Longitude = -70.0, .Point6Latitude = 44.0, .Point6Longitude = -71.0,
    .RefCornerEasting = 259500, .RefCornerNorthing = 4987100, .DataDate = "84180",
    .Title = "LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU"};

// A cell's fields as one comparable, printable value.
inline auto CellFields(const CTGCell& c) { return std::make_tuple(c.UTMZone, c.Easting, c.Northing, c.LULCCode); }

// Writes `value` right-aligned into columns [column, column + width) of a
// record (1-based column), as CTG files align their numbers.
inline void PutRight(std::string& record, std::size_t column, std::size_t width, std::string_view value) {
  if (value.size() > width) throw std::invalid_argument("field too wide");
  record.replace(column - 1, width, std::string(width - value.size(), ' ') + std::string(value));
}

// The five header records of a small valid file: 3 rows x 4 columns of 200 m
// cells in zone 14, RecordCountTimes2 given, map code 17, projection 1, the
// quadrangle 45-46 N, 98-100 W, title "TEST QUAD".
inline std::string ValidHeader(long recordCountTimes2 = 24) {
  std::string records =
      "         3        24         4    0  200    4   17   14    1   7874016      1984"
      "    1    1    4    3    0    3    0    0    2    0    4    0    4    3    2    3"
      "    450000   1000000    460000   1000000    460000    990000    460000    980000"
      "    450000    980000    450000    990000    421100   5094300     91170          "
      "TEST QUAD                                                                       ";
  PutRight(records, 11, 10, std::to_string(recordCountTimes2));
  return records;
}

// One data record: zone, easting, northing and land-use code in their columns.
inline std::string DataRecord(long zone, long easting, long northing, std::string_view code) {
  std::string r(80, ' ');
  PutRight(r, 1, 3, std::to_string(zone));
  PutRight(r, 4, 8, std::to_string(easting));
  PutRight(r, 12, 8, std::to_string(northing));
  PutRight(r, 21, 10, code);
  return r;
}

// Unpacks a gzipped sample of tests/data into `dir`; returns the new file's path.
inline std::string GunzipSample(const TempDir& dir, const std::string& gzName) {
  const std::string source = std::string(TILBO_TEST_DATA_DIR) + "/" + gzName;
  const std::string target = dir.file(gzName.substr(0, gzName.size() - 3));
  const std::string command = "gzip -dc '" + source + "' > '" + target + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot unpack " + source);
  return target;
}

// `data` as one gzip member (no name, best compression), written by zlib.
inline std::string GzipMember(const TempDir& dir, const std::string& data) {
  const std::string path = dir.file("member.gz");
  gzFile out = gzopen(path.c_str(), "wb9");
  if (out == nullptr) throw std::runtime_error("gzopen " + path);
  const bool written = gzwrite(out, data.data(), static_cast<unsigned>(data.size())) == static_cast<int>(data.size());
  if (gzclose(out) != Z_OK || !written) throw std::runtime_error("gzip " + path);
  return ReadWholeFile(path);
}

}  // namespace tilbo::testing
