#include "luctool/LandUsePalette.h"

#include "luc/TileName.h"

namespace tilbo::luctool {
namespace {

constexpr Rgba Hex(uint32_t rgb) {
  return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), 255};
}

struct Entry {
  int32_t code;
  Rgba colour;
};

// Comments name the legend class a colour comes from.
constexpr Entry kPalette[] = {
    {10, Hex(0xB45A5A)},
    {11, Hex(0xD99282)},  // developed, low intensity
    {12, Hex(0xEB0000)},  // developed, medium intensity
    {13, Hex(0xAB0000)},  // developed, high intensity
    {14, Hex(0x7D5A8C)},
    {15, Hex(0xF07832)},
    {16, Hex(0xE6508C)},
    {17, Hex(0xDEC5C5)},  // developed, open space
    {20, Hex(0xF5EBA0)},
    {21, Hex(0xDCD939)},  // pasture/hay
    {22, Hex(0xAB6C28)},  // cultivated crops
    {23, Hex(0xF0A050)},
    {24, Hex(0xBEB48C)},
    {30, Hex(0xE6B48C)},
    {31, Hex(0xDFDFC2)},  // grassland/herbaceous
    {32, Hex(0xCCB879)},  // shrub/scrub
    {33, Hex(0xA08C50)},
    {40, Hex(0x8CB43C)},
    {41, Hex(0x68AB5F)},  // deciduous forest
    {42, Hex(0x1C5F2C)},  // evergreen forest
    {43, Hex(0xB5C58F)},  // mixed forest
    {50, Hex(0x8CA0D2)},
    {51, Hex(0x50A0E6)},
    {52, Hex(0x466B9F)},  // open water
    {53, Hex(0x1E3264)},
    {54, Hex(0x5FBEBE)},
    {60, Hex(0x5FA8A0)},
    {61, Hex(0xB8D9EB)},  // woody wetlands
    {62, Hex(0x6C9FB8)},  // emergent herbaceous wetlands
    {70, Hex(0xDCCDB4)},
    {71, Hex(0xF5F0E6)},
    {72, Hex(0xF5DC9B)},
    {73, Hex(0xD2AA6E)},
    {74, Hex(0xB3AC9F)},  // barren land
    {75, Hex(0x6E5546)},
    {76, Hex(0xD2A0A0)},
    {77, Hex(0x6E6E64)},
    {80, Hex(0xB4B48C)},
    {81, Hex(0xAF963C)},  // dwarf scrub
    {82, Hex(0xD1D182)},  // sedge/herbaceous
    {83, Hex(0xC8C3BE)},
    {84, Hex(0x82BA9E)},  // moss
    {85, Hex(0xA3CC51)},  // lichens
    {90, Hex(0xF5F8FC)},
    {91, Hex(0xD1DEF8)},  // perennial ice/snow
    {92, Hex(0x7EB4E6)},
    {100, Hex(0xFF69B4)},
    {101, Hex(0xBEAA8C)},
    {102, Hex(0x96BEE6)},
};

constexpr Rgba kUndefined{128, 128, 128, 160};
constexpr Rgba kUnidentified = Hex(0xFF00FF);
constexpr Rgba kTransparent{0, 0, 0, 0};

}  // namespace

Rgba CodeColour(int32_t code) {
  if (code == kPaddingValue) return kTransparent;
  if (code == 0) return kUndefined;
  for (const Entry& e : kPalette) {
    if (e.code == code) return e.colour;
  }
  return kUnidentified;
}

}  // namespace tilbo::luctool
