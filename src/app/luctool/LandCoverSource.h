#pragma once
// A land-cover raster opened for import, checked: one integer band of
// classes, a coordinate reference system and a geotransform (GDAL's order:
// x of the west edge, cell width, row rotation, y of the north edge, column
// rotation, -cell height, in the source's own units).

#include <gdal_priv.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tilbo::luctool {

struct LandCoverSource {
  GDALDatasetUniquePtr dataset;
  GDALRasterBand* band = nullptr;
  std::string wkt;  // its reference system
  std::array<double, 6> geoTransform{};
  std::optional<int32_t> noData;  // the band's no-data value, when it is a whole number
  int columns = 0;                // cells, west to east
  int rows = 0;                   // cells, north to south
};

// Opens and checks `name`; on failure nothing, with the file and the reason in `error`.
std::optional<LandCoverSource> OpenSource(const std::string& name, std::string& error);

// Degrees south, west, north, east that the source covers (its outline
// densified, so curved edges are covered).
std::optional<std::array<double, 4>> GeographicExtent(const LandCoverSource& s, std::string& error);

// GDAL's last error message, or `fallback` when it left none.
std::string GdalReason(const std::string& fallback);

}  // namespace tilbo::luctool
