#pragma once
// LUC tiles for GDAL and every tool built on it (QGIS, gdal_translate...).
// Both outputs describe the tile's grid the same way: 16-bit signed cells,
// the coordinate reference system and geotransform of TileGeoref, nodata
// -32000 (the padding), a colour table from the land-use palette and the
// code descriptions as category names (index = code).

#include <string>

#include "luctool/TileGeoref.h"

namespace tilbo::luctool {

// Writes `vrtPath`, a VRT that reads the tile's grid in place (offset one
// record length, little-endian, no copy; the tile is named relative to the
// VRT, so the two can move together). Written under a temporary name and
// renamed: never half a file. Returns the reason on failure, else empty.
std::string WriteTileVrt(const std::string& tilePath, const TileGeoref& georef,
                         const std::string& vrtPath);

// Writes a tiled, DEFLATE-compressed GeoTIFF of the tile. GeoTIFF keeps
// palettes only for unsigned bands, so GDAL puts the colour table and the
// category names of this signed band into `tifPath`.aux.xml beside it.
// Both files are written under temporary names and renamed.
std::string WriteTileGeoTiff(const std::string& tilePath, const TileGeoref& georef,
                             const std::string& tifPath);

}  // namespace tilbo::luctool
