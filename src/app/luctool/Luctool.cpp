#include "luctool/Luctool.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "suite/Version.h"

namespace tilbo::luctool {

int RunLuctool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Io io{out, err};
  CLI::App app{"luctool - inspect CTG land-use files and LUC tiles, make synthetic CTG quadrangles, "
               "render tiles and hand them to GIS tools",
               "luctool"};
  app.set_version_flag("--version", std::string("luctool ") + kVersionText);
  app.require_subcommand(1);
  app.footer(
      "Examples:\n"
      "  luctool info tiles/*.LUC\n"
      "  luctool render tiles/L07144NW.LUC -o L07144NW.png\n"
      "  luctool georef tiles/*.LUC && gdalinfo tiles/L07144NW.LUC.vrt\n"
      "See luctool COMMAND --help, and man luctool.");
  app.fallthrough(false);
  // Registered commands, one file each.
  AddInfoCommand(app, io);
  AddCellsCommand(app, io);
  AddRenderCommand(app, io);
  AddGeorefCommand(app, io);
  AddExportCommand(app, io);
  AddSynthCommand(app, io);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end here with 0; CLI11's own codes for usage
    // errors become the documented status 2.
    constexpr int kBadUsage = 2;
    return app.exit(e, out, err) == 0 ? 0 : kBadUsage;
  }
  return io.status;
}

}  // namespace tilbo::luctool
