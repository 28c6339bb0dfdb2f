#pragma once
// The map colour of each land-use code, shared by the rendered PNG maps and
// the colour tables luctool gives GDAL (georef, export), so that a tile looks
// the same in QGIS as in `luctool render`.

#include <cstdint>

namespace tilbo::luctool {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

// The colours follow the National Land Cover Database legend (MRLC) wherever
// that legend has the class (forest 41/42/43, developed land, wetlands,
// pasture, shrub, herbaceous, barren rock, ice); the codes it merged get
// shades of the same hue picked to stay apart from their neighbours (the
// urban codes 11-17, the waters 51-54). Padding is transparent, 0 a
// half-transparent grey, 100-102 fixed colours, any other code magenta.
Rgba CodeColour(int32_t code);

// The highest code with a colour of its own (100..102 are the last).
inline constexpr int32_t kHighestPaletteCode = 102;

}  // namespace tilbo::luctool
