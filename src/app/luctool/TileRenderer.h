#pragma once
// Draws a LUC tile's grid as a land-use map with cairo: the palette's colour
// for each cell (padding left blank), latitude and longitude ticks on the
// map's edges, a scale bar in kilometres, and a legend of the codes present,
// all text in an anti-aliased font (DejaVu Sans); written as PNG. Works on a
// plain grid with its place on the UTM grid; knows nothing of LUC files.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "luctool/LandUsePalette.h"

namespace tilbo::luctool {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // 4 bytes per pixel (not premultiplied), row after row from the top

  RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4, 0) {}
  Rgba At(int x, int y) const;
  void Set(int x, int y, Rgba colour);
};

// A grid to draw: rows * columns cells, row 0 north, column 0 west. Cell
// (r, c) stands for the UTM point (westEasting + c * xResolution,
// northNorthing - r * yResolution) of `zone`, metres, WGS 84.
struct TileView {
  int32_t rows = 0;
  int32_t columns = 0;
  std::span<const int16_t> cells;
  std::string heading;  // first line of the legend, for example the file name
  int16_t zone = 0;
  double westEasting = 0;
  double northNorthing = 0;
  double xResolution = 0;
  double yResolution = 0;
};

struct RenderOptions {
  int maxMapSize = 1024;  // longest side of the map in pixels; larger grids are sampled
};

struct RenderedTile {
  RgbaImage image{0, 0};
  int mapX = 0, mapY = 0;  // the map's top-left pixel
  int mapWidth = 0;
  int mapHeight = 0;
  std::vector<int32_t> legendCodes;  // codes listed, ascending (padding not included)
  int latitudeTicks = 0;             // graticule ticks drawn on the west edge
  int longitudeTicks = 0;            // and on the south edge
  int scaleKilometres = 0;           // length of the scale bar
};

// `describe` gives the legend text of a code. Throws std::invalid_argument
// when the cells do not number rows * columns, the grid is empty or its
// resolutions are not positive.
RenderedTile RenderTile(const TileView& tile, const RenderOptions& options,
                        const std::function<std::string(int32_t)>& describe);

// The image as PNG bytes (8-bit RGBA), or nothing when encoding fails.
std::optional<std::vector<unsigned char>> EncodePng(const RgbaImage& image);

}  // namespace tilbo::luctool
