// luctool georef TILE.LUC...: a VRT beside each tile (TILE.LUC.vrt) through
// which GDAL, QGIS and every GDAL-based tool read the tile in place.

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "luc/LUCFileV1.h"
#include "luctool/GdalTile.h"
#include "luctool/Luctool.h"
#include "luctool/TileFile.h"
#include "luctool/TileGeoref.h"

namespace tilbo::luctool {
namespace {

// Reads the tile and its georeferencing; false (told on io.err) when either fails.
bool GeorefTile(const std::string& path, TileGeoref& georef, Io& io) {
  LUCFileV1 luc;
  if (!OpenTile(luc, path, io)) return false;
  georef = GeorefOf(luc);
  if (!georef.error.empty()) {
    io.err << "luctool: " << path << ": " << georef.error << "\n";
    return false;
  }
  return true;
}

int RunGeoref(const std::vector<std::string>& tiles, Io& io) {
  int status = 0;
  for (const std::string& tile : tiles) {
    TileGeoref georef;
    if (!GeorefTile(tile, georef, io)) {
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

int RunExport(const std::string& tile, const std::string& output, Io& io) {
  TileGeoref georef;
  if (!GeorefTile(tile, georef, io)) return 1;
  if (const std::string error = WriteTileGeoTiff(tile, georef, output); !error.empty()) {
    io.err << "luctool: " << output << ": " << error << "\n";
    return 1;
  }
  io.out << "Wrote " << output << " and " << output << ".aux.xml (WGS 84 / UTM zone " << georef.zone
         << "N, EPSG:" << georef.epsg << ")\n";
  return 0;
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

void AddExportCommand(CLI::App& app, Io& io) {
  struct Args {
    std::string tile, output;
  };
  auto args = std::make_shared<Args>();
  CLI::App* cmd = app.add_subcommand("export", "Write a LUC tile as a GeoTIFF (tiled, DEFLATE-compressed)");
  cmd->add_option("TILE", args->tile, "LUC tile")->required();
  cmd->add_option("-o,--output", args->output, "GeoTIFF to write (replaced whole if it exists)")->required();
  cmd->footer(
      "16-bit signed cells, WGS 84 / UTM zone N north, nodata -32000. GeoTIFF keeps palettes only for\n"
      "unsigned cells, so the colour table and the category names go into OUTPUT.aux.xml beside it,\n"
      "where GDAL and QGIS read them.\n"
      "Example:\n"
      "  luctool export L07144NW.LUC -o L07144NW.tif\n"
      "Exit status: 0 written, 1 the tile could not be read or the GeoTIFF written, 2 bad usage.");
  cmd->callback([args, &io] { io.status = RunExport(args->tile, args->output, io); });
}

}  // namespace tilbo::luctool
