#pragma once
// LUC tiles from a land-cover raster (NLCD, ESA WorldCover, any single-band
// integer raster GDAL opens with a coordinate reference system).
//
// Each tile is the one LUCFileV1::CreateFile lays out for its one-degree cell
// (name, header, zone, grid, padding -32000); every grid point inside the cell
// gets a LULC code:
// - source finer than the tile's cell: the most frequent mapped code among the
//   source cells whose centres fall in the square of one cell size centred on
//   the point, in the tile's UTM zone (ties to the lowest code; cells without
//   data and cells of unmapped classes do not vote);
// - otherwise: the mapped code of the source cell that holds the point.
// No vote or no source cell gives 0. Positions go through GDAL's
// transformers: the source's reference system to WGS 84 / UTM zone
// `UTMZone` north (EPSG 32600 + zone), whose northings are signed, so a
// southern tile has negative northings, as the tile's own header has.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "luctool/ClassMap.h"

namespace tilbo::luctool {

// Positions of a row of points are interpolated by GDAL's approximating
// transformer when this error, in tile cells, is above 0 (as gdalwarp does
// with its 0.125 pixels); 0 transforms every point exactly.
inline constexpr double kDefaultMaxErrorCells = 0.001;

struct ImportRequest {
  std::string source;  // any name GDAL opens: a GeoTIFF, a VRT, /vsizip/...
  ClassMap classes;
  int16_t cellSize = 0;     // metres, both directions
  std::string destination;  // directory of the tiles, ending in "/"
  // Degrees: south, west, north, east. Chooses the one-degree cells to make;
  // each chosen tile is filled whole.
  std::optional<std::array<double, 4>> box;
  bool overwrite = false;
  double maxErrorCells = kDefaultMaxErrorCells;
};

struct TileImportReport {
  std::string name;             // L07144NW.LUC
  int64_t filled = 0;           // points of the cell given a code from the source
  int64_t withoutData = 0;      // points with no source cell holding data
  int64_t unmappedOnly = 0;     // points whose source cells were all of unmapped classes
  std::map<int32_t, int64_t> unmappedClasses;  // source class -> source cells met
  bool skewed = false;          // CreateFile reported its skew condition
  bool placed = true;           // false: no source data in the cell, so no tile made
};

struct ImportOutcome {
  std::vector<TileImportReport> tiles;  // the cells done, in order
  std::string error;                    // empty on success
};

// Called while a tile is made: its name and the share done (0..1).
using ImportProgress = std::function<void(const std::string& tile, double done)>;
// Called when a cell is done (its tile placed, or no data in it).
using TileDone = std::function<void(const TileImportReport& tile)>;

// Makes and places every tile. Existing tiles without `overwrite`: refused,
// all named in the error, nothing written. A tile is placed only when whole
// (written under a temporary name and renamed); the error names the tile or
// file that failed and why.
ImportOutcome ImportLandCover(const ImportRequest& request, const ImportProgress& progress,
                              const TileDone& done);

}  // namespace tilbo::luctool
