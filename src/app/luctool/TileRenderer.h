#pragma once
// Draws a LUC tile's grid as a land-use map: one colour per first-level class
// (10 urban ... 90 snow or ice) with shades for the second-level codes,
// padding transparent, and a legend of the codes present, written as PNG.
// Works on a plain grid; knows nothing of LUC files.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tilbo::luctool {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

// The map colour of a code: transparent for padding, a half-transparent grey
// for 0, the class colour shaded by the units digit for 10..99, fixed colours
// for 100..102 and magenta for codes that are not land-use codes.
Rgba CodeColour(int32_t code);

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // 4 bytes per pixel, row after row from the top

  RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4, 0) {}
  Rgba At(int x, int y) const;
  void Set(int x, int y, Rgba colour);
};

// A grid to draw: rows * columns cells, row 0 north, column 0 west.
struct TileView {
  int32_t rows = 0;
  int32_t columns = 0;
  std::span<const int16_t> cells;
  std::string heading;  // first line of the legend, for example the file name
};

struct RenderOptions {
  int maxMapSize = 1024;  // longest side of the map in pixels; larger grids are sampled
};

struct RenderedTile {
  RgbaImage image{0, 0};
  int mapWidth = 0;   // the map fills the top-left mapWidth x mapHeight pixels
  int mapHeight = 0;
  std::vector<int32_t> legendCodes;  // codes listed, ascending (padding not included)
};

// `describe` gives the legend text of a code. Throws std::invalid_argument
// when the cells do not number rows * columns or the grid is empty.
RenderedTile RenderTile(const TileView& tile, const RenderOptions& options,
                        const std::function<std::string(int32_t)>& describe);

// The image as PNG bytes (8-bit RGBA), or nothing when encoding fails.
std::optional<std::vector<unsigned char>> EncodePng(const RgbaImage& image);

}  // namespace tilbo::luctool
