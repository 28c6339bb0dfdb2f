// luctool georef TILE.LUC...: a VRT beside each tile (TILE.LUC.vrt) through
// which GDAL, QGIS and every GDAL-based tool read the tile in place.

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "luctool/GdalTile.h"
#include "luctool/Luctool.h"
#include "luctool/TileFile.h"
#include "luctool/TileGeoref.h"

namespace tilbo::luctool {
namespace {

int RunGeoref(const std::vector<std::string>& tiles, Io& io) {
  int status = 0;
  for (const std::string& tile : tiles) {
    TileGeoref georef;
    if (!OpenGeoreferencedTile(tile, georef, io)) {
      status = 1;
      continue;
    }
    const std::string vrt = tile + ".vrt";
    if (const std::string error = WriteTileVrt(tile, georef, vrt); !error.empty()) {
      io.err << "luctool: " << vrt << ": " << error << "\n";
      status = 1;
      continue;
    }
    io.out << "Wrote " << vrt << " (WGS 84 / UTM zone " << georef.zone << "N, EPSG:" << georef.epsg << ")\n";
  }
  return status;
}

}  // namespace

void AddGeorefCommand(CLI::App& app, Io& io) {
  auto tiles = std::make_shared<std::vector<std::string>>();
  CLI::App* cmd = app.add_subcommand(
      "georef", "Write TILE.LUC.vrt beside each tile, so that GDAL and QGIS open the tile in place");
  cmd->add_option("TILE", *tiles, "LUC tiles")->required();
  cmd->footer(
      "The VRT names the tile relative to itself and reads its grid where it lies (no copy). It carries\n"
      "WGS 84 / UTM zone N north (a southern tile has negative northings in it), the grid's geotransform,\n"
      "nodata -32000 (the padding), a colour table and the code descriptions as category names.\n"
      "Example:\n"
      "  luctool georef tiles/*.LUC && gdalinfo tiles/L07144NW.LUC.vrt\n"
      "Exit status: 0 every VRT written, 1 a tile could not be read or its VRT written, 2 bad usage.");
  cmd->callback([tiles, &io] { io.status = RunGeoref(*tiles, io); });
}

}  // namespace tilbo::luctool
