// luctool cells FILE [--first N] [--count K] [--geo]: the decoded data
// records of a CTG file, one line each; a record that cannot be read says why
// on its line, and asking for records beyond the last is an error.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "coords/UtmCon.h"
#include "ctg/CTGFile.h"
#include "luctool/CtgSource.h"
#include "luctool/Luctool.h"

namespace tilbo::luctool {
namespace {

struct CellsOptions {
  std::string path;
  int32_t first = 1;
  std::optional<int32_t> count;  // default: to the last cell
  bool geo = false;              // add each cell centre's latitude and longitude
};

int RunCells(const CellsOptions& options, Io& io) {
  CtgSource source(options.path);
  if (!source.Open(io)) return 1;
  const int32_t recordCount = CTG_RecordCount(source.handle());
  const int64_t wanted =
      options.count ? *options.count : std::max<int64_t>(0, int64_t{recordCount} - options.first + 1);
  const int64_t lastWanted = options.first + wanted - 1;
  const int64_t count = std::min<int64_t>(wanted, int64_t{recordCount} - options.first + 1);
  char line[128];
  std::snprintf(line, sizeof line, "%10s %4s %8s %8s %6s", "cell", "zone", "easting", "northing", "code");
  io.out << line;
  if (options.geo) {
    std::snprintf(line, sizeof line, " %11s %12s", "latitude", "longitude");
    io.out << line;
  }
  io.out << "\n";
  for (int64_t i = 0; i < count; ++i) {
    const int64_t number = options.first + i;
    const CTGCell cell = CTG_ReadCell(source.handle(), static_cast<int32_t>(number));
    const int32_t error = CTG_LastError();
    if (error == kCTGNoError) {
      std::snprintf(line, sizeof line, "%10lld %4d %8d %8d %6d", static_cast<long long>(number), cell.UTMZone,
                    cell.Easting, cell.Northing, cell.LULCCode);
      io.out << line;
      if (options.geo) {
        const GeoPoint p = UtmToGeographic(cell.UTMZone, cell.Easting, cell.Northing);
        std::snprintf(line, sizeof line, " %11.6f %12.6f", p.latitude, p.longitude);
        io.out << line;
      }
      io.out << "\n";
    } else {
      std::snprintf(line, sizeof line, "%10lld ", static_cast<long long>(number));
      io.out << line << "cannot be read: " << CTGErrorText(error) << " (reader error " << error << ")\n";
    }
  }
  if (lastWanted > recordCount) {
    io.err << "luctool: " << options.path << ": record " << std::max<int64_t>(options.first, recordCount + 1)
           << " does not exist (the file holds " << recordCount << " data records)\n";
    return 1;
  }
  return 0;
}

}  // namespace

void AddCellsCommand(CLI::App& app, Io& io) {
  auto options = std::make_shared<CellsOptions>();
  CLI::App* cmd = app.add_subcommand("cells", "List the decoded cells (data records) of a CTG file");
  cmd->add_option("FILE", options->path, "the CTG file")->required();
  cmd->add_option("--first", options->first, "number of the first cell to list (from 1)")
      ->check(CLI::Range(1, INT32_MAX));
  cmd->add_option("--count", options->count, "how many cells to list (default: to the last cell)")
      ->check(CLI::Range(0, INT32_MAX));
  cmd->add_flag("--geo", options->geo, "also the latitude and longitude of each cell centre (WGS 84, degrees)");
  cmd->footer(
      "Columns: cell number, UTM zone, easting and northing of the cell centre (metres), land-use code;\n"
      "with --geo latitude and longitude (degrees, south and west negative).\n"
      "Example:\n"
      "  luctool cells --first 1000 --count 5 --geo LEWISTON_grid_cell\n"
      "Exit status: 0 listed (unreadable records are listed as such), 1 the file cannot be opened or a\n"
      "requested record does not exist (the ones that do are listed), 2 bad usage.");
  cmd->callback([options, &io] { io.status = RunCells(*options, io); });
}

}  // namespace tilbo::luctool
