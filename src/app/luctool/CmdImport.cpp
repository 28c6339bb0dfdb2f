// luctool import SOURCE --classes nlcd|worldcover|MAP.csv --cell METRES --dest DIR/:
// LUC tiles from today's land-cover rasters.

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "luctool/ClassMap.h"
#include "luctool/LandCoverImport.h"
#include "luctool/Luctool.h"

namespace tilbo::luctool {
namespace {

struct ImportArgs {
  std::string source, classes, dest;
  int cell = 0;
  std::vector<double> box;
  bool overwrite = false;
  double maxError = kDefaultMaxErrorCells;
};

void PrintReport(const TileImportReport& t, const std::string& dest, std::ostream& out) {
  if (!t.placed) {
    out << dest << t.name << ": not made, no source data in its cell\n";
    return;
  }
  out << dest << t.name << ": " << t.filled << " cells filled, " << t.withoutData << " without data, "
      << t.unmappedOnly << " of unmapped classes only";
  if (!t.unmappedClasses.empty()) {
    out << "; unmapped classes:";
    for (const auto& [cls, count] : t.unmappedClasses) out << " " << cls << " (" << count << " source cells)";
  }
  if (t.skewed) out << "; the tile's corners were skewed (laid out all the same)";
  out << "\n";
}

int RunImport(const ImportArgs& a, Io& io) {
  ImportRequest request;
  std::string error;
  std::optional<ClassMap> classes = LoadClassMap(a.classes, error);
  if (!classes) {
    io.err << "luctool import: " << error << "\n";
    return 2;
  }
  request.classes = std::move(*classes);
  request.source = a.source;
  request.cellSize = static_cast<int16_t>(a.cell);
  request.destination = a.dest.empty() || a.dest.back() == '/' ? a.dest : a.dest + "/";
  std::error_code ec;
  if (!std::filesystem::is_directory(request.destination, ec)) {
    io.err << "luctool import: " << request.destination << ": no such directory\n";
    return 1;
  }
  if (!a.box.empty()) {
    const std::vector<double>& b = a.box;
    if (!(b[0] < b[2] && b[1] < b[3] && b[0] >= -90 && b[2] <= 90 && b[1] >= -180 && b[3] <= 180)) {
      io.err << "luctool import: --bbox wants SOUTH WEST NORTH EAST in degrees, south below north, west below east\n";
      return 2;
    }
    request.box = std::array<double, 4>{b[0], b[1], b[2], b[3]};
  }
  request.overwrite = a.overwrite;
  request.maxErrorCells = a.maxError;
  // Progress only when a person watches the terminal.
  const bool terminal = &io.err == &std::cerr && isatty(STDERR_FILENO) == 1;
  const ImportProgress progress = [&io, terminal](const std::string& tile, double done) {
    if (!terminal) return;
    io.err << "\r" << tile << " " << static_cast<int>(done * 100) << "%" << (done >= 1 ? "\n" : "") << std::flush;
  };
  const ImportOutcome outcome = ImportLandCover(
      request, progress, [&](const TileImportReport& t) { PrintReport(t, request.destination, io.out); });
  if (!outcome.error.empty()) {
    io.err << (terminal ? "\n" : "") << "luctool import: " << outcome.error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

void AddImportCommand(CLI::App& app, Io& io) {
  auto a = std::make_shared<ImportArgs>();
  CLI::App* cmd = app.add_subcommand("import", "Make LUC tiles from a land-cover raster (NLCD, ESA WorldCover, ...)");
  cmd->add_option("SOURCE", a->source,
                  "a single-band integer raster GDAL opens with a reference system: GeoTIFF, VRT, /vsizip/...")
      ->required();
  cmd->add_option("--classes", a->classes, "nlcd, worldcover, or a CSV of SOURCE_CLASS,LULC_CODE lines")->required();
  cmd->add_option("--cell", a->cell, "tile cell size in metres")->required()->check(CLI::Range(1, 32767));
  cmd->add_option("--dest", a->dest, "directory of the tiles")->required();
  cmd->add_option("--bbox", a->box, "only the one-degree cells this box touches: SOUTH WEST NORTH EAST, degrees")
      ->expected(4);
  cmd->add_flag("--overwrite", a->overwrite, "replace tiles that exist (otherwise they are refused)");
  cmd->add_option("--max-error", a->maxError,
                  "positions of a row interpolated within this error, in tile cells; 0: every point exact")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 0.5));
  cmd->footer(
      "Every one-degree cell the source (or the box) touches becomes the tile ctgtilbo lays out for it.\n"
      "A grid point gets the most frequent mapped class among the source cells in its cell square when\n"
      "the source is finer, else the class of the source cell holding it; no data and unmapped classes\n"
      "give 0. Tiles are placed whole. The class tables: docs/LAND_COVER_IMPORT.md.\n"
      "Example:\n"
      "  luctool import nlcd_2021.tif --classes nlcd --cell 200 --dest tiles/ --bbox 44 -72 45 -71\n"
      "Exit status: 0 every tile placed, 1 the source, a tile or the directory failed, 2 bad usage.");
  cmd->callback([a, &io] { io.status = RunImport(*a, io); });
}

}  // namespace tilbo::luctool
