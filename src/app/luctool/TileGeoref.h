#pragma once
// Where a LUC tile's grid lies, in the terms GIS tools use.
//
// Coordinate reference system: WGS 84 / UTM zone `UTMZone` north (EPSG
// 32600 + zone), the datum of the program's coordinate conversion. Tile
// northings are signed distances from the equator, so a southern tile simply
// has negative northings in that same system (no false northing of 10000 km).
//
// Geotransform (GDAL's order): x of the grid's west edge, cell width, 0, y of
// its north edge, 0, -cell height. Cell (row r, column c) of the file stands
// for the point (MaxEasting - (DataColumns - 1 - c) * XResolution,
// MaxNorthing - r * YResolution) and holds every position that snaps to it,
// so the raster cell spans half a resolution either side of that point. The
// raster cell that holds a position is then the cell `LULCValue(easting,
// northing)` reads in UTM coordinate mode (which counts columns back from
// MaxEasting).

#include <array>
#include <cstdint>
#include <string>

namespace tilbo {
class LUCFileV1;
}

namespace tilbo::luctool {

struct TileGeoref {
  int16_t zone = 0;
  int epsg = 0;
  std::array<double, 6> geoTransform{};
  int32_t rows = 0;
  int32_t columns = 0;
  int32_t recordLength = 0;  // bytes per record; the grid starts at this offset
  std::string error;         // why the header gives no grid on the earth; empty when usable
};

// EPSG code of WGS 84 / UTM zone `zone` north; 0 for a zone outside 1..60.
inline int Wgs84UtmNorthEpsg(int zone) { return zone >= 1 && zone <= 60 ? 32600 + zone : 0; }

// From the header of an open tile (memory I/O mode).
TileGeoref GeorefOf(LUCFileV1& luc);

// The datum of every position the program computes, and one line for users
// about it, shown by `luctool info` for tiles and CTG sources alike.
inline constexpr const char* kDatumName = "WGS 84";
inline constexpr const char* kDatumNote =
    "WGS 84 (USGS CTG sources were made on NAD 27: positions can differ from theirs by tens of metres)";

}  // namespace tilbo::luctool
