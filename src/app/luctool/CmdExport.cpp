// luctool export TILE.LUC -o tile.tif: the tile as a tiled, DEFLATE-compressed
// GeoTIFF for any GIS.

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>

#include "luctool/GdalTile.h"
#include "luctool/Luctool.h"
#include "luctool/TileFile.h"
#include "luctool/TileGeoref.h"

namespace tilbo::luctool {
namespace {

int RunExport(const std::string& tile, const std::string& output, Io& io) {
  TileGeoref georef;
  if (!OpenGeoreferencedTile(tile, georef, io)) return 1;
  if (const std::string error = WriteTileGeoTiff(tile, georef, output); !error.empty()) {
    io.err << "luctool: " << output << ": " << error << "\n";
    return 1;
  }
  io.out << "Wrote " << output << " and " << output << ".aux.xml (WGS 84 / UTM zone " << georef.zone
         << "N, EPSG:" << georef.epsg << ")\n";
  return 0;
}

}  // namespace

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
