// luctool render TILE.LUC -o tile.png: the tile as a land-use map with a
// graticule, a scale bar and a legend.

#include <CLI/CLI.hpp>
#include <exception>
#include <memory>
#include <ostream>
#include <string>

#include "suite/AtomicFile.h"
#include "luc/LUCFileV1.h"
#include "ctg/LULCCodes.h"
#include "luctool/Luctool.h"
#include "luctool/TileFile.h"
#include "luctool/TileRenderer.h"

namespace tilbo::luctool {
namespace {

struct RenderArgs {
  std::string tile;
  std::string output;
  int maxSize = RenderOptions{}.maxMapSize;
};

std::string BareName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int RunRender(const RenderArgs& args, Io& io) {
  LUCFileV1 luc;
  if (!OpenTile(luc, args.tile, io)) return 1;
  TileView view;
  view.rows = luc.DataRows();
  view.columns = luc.DataColumns();
  view.cells = luc.GridCells();
  view.heading = BareName(args.tile);
  view.zone = luc.UTMZone();
  view.xResolution = luc.XResolution();
  view.yResolution = luc.YResolution();
  // Column 0's easting counted back from MaxEasting, as cell look-ups count it.
  view.westEasting = luc.MaxEasting() - (view.columns - 1.0) * view.xResolution;
  view.northNorthing = luc.MaxNorthing();
  RenderOptions options;
  options.maxMapSize = args.maxSize;
  RenderedTile rendered;
  try {
    rendered = RenderTile(view, options, LULCCodeDescription);
  } catch (const std::exception& e) {
    io.err << "luctool: " << args.tile << ": cannot render: " << e.what() << "\n";
    return 1;
  }
  const auto png = EncodePng(rendered.image);
  // Written whole under a temporary name and renamed, so no half image is left.
  if (!png || !ReplaceFileAtomically(args.output, {std::span<const unsigned char>(*png)})) {
    io.err << "luctool: " << args.output << ": cannot write the image\n";
    return 1;
  }
  io.out << "Wrote " << args.output << ": " << rendered.image.width << " x "
         << rendered.image.height << " pixels, map " << rendered.mapWidth << " x "
         << rendered.mapHeight << ", " << rendered.legendCodes.size() << " codes\n";
  return 0;
}

}  // namespace

void AddRenderCommand(CLI::App& app, Io& io) {
  auto args = std::make_shared<RenderArgs>();
  CLI::App* render =
      app.add_subcommand("render", "Draw a LUC tile as a PNG land-use map with a graticule, a scale bar and a legend");
  render->add_option("tile", args->tile, "LUC tile file")->required();
  render->add_option("-o,--output", args->output, "PNG file to write")->required();
  render->add_option("--max-size", args->maxSize, "Longest side of the map in pixels")
      ->check(CLI::Range(16, 16384))
      ->capture_default_str();
  render->footer(
      "Colours follow the National Land Cover Database legend; padding (cells outside the one-degree\n"
      "cell) stays blank. Latitude and longitude (WGS 84) are ticked on the map's edges.\n"
      "Example:\n"
      "  luctool render tiles/L07144NW.LUC -o L07144NW.png\n"
      "Exit status: 0 written, 1 the tile could not be read (a CTG source is named as such) or the image\n"
      "written, 2 bad usage.");
  render->callback([args, &io] { io.status = RunRender(*args, io); });
}

}  // namespace tilbo::luctool
