#include "luctool/TileRenderer.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "luc/LULCShared.h"
#include "luctool/BitmapFont.h"

namespace tilbo::luctool {
namespace {

// First-level classes 10..90, in order.
constexpr Rgba kClassColours[] = {
    {205, 45, 45, 255},    // 10 urban or built-up land
    {235, 205, 80, 255},   // 20 agricultural land
    {205, 150, 95, 255},   // 30 rangeland
    {35, 130, 55, 255},    // 40 forest land
    {40, 95, 200, 255},    // 50 water
    {70, 170, 160, 255},   // 60 wetland
    {160, 140, 120, 255},  // 70 barren land
    {165, 150, 205, 255},  // 80 tundra
    {220, 235, 250, 255},  // 90 perennial snow or ice
};
constexpr Rgba kUndefined{128, 128, 128, 160};
constexpr Rgba kQuillmarshDefined{255, 105, 180, 255};  // 100
constexpr Rgba kLandUndefined{190, 170, 140, 255};      // 101
constexpr Rgba kWaterUndefined{150, 190, 230, 255};     // 102
constexpr Rgba kUnidentified{255, 0, 255, 255};
constexpr Rgba kTransparent{0, 0, 0, 0};

// Second-level codes alternate darker and lighter, growing away from the
// class colour, so that neighbouring codes stay apart.
struct Shade {
  bool lighter;
  double amount;
};
constexpr Shade kShades[] = {{false, 0.0},  {false, 0.18}, {true, 0.25}, {false, 0.36},
                             {true, 0.45},  {false, 0.50}, {true, 0.60}, {false, 0.62},
                             {true, 0.72},  {false, 0.70}};

uint8_t ShadeChannel(uint8_t value, const Shade& shade) {
  const double v = shade.lighter ? value + (255 - value) * shade.amount : value * (1 - shade.amount);
  return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

// Legend layout, in pixels.
constexpr int kMargin = 8;
constexpr int kFontScale = 2;
constexpr int kCharAdvance = (kGlyphWidth + 1) * kFontScale;
constexpr int kLineHeight = (kGlyphHeight + 3) * kFontScale;
constexpr int kSwatchSize = kGlyphHeight * kFontScale;
constexpr int kSwatchGap = 6;
constexpr std::size_t kMaxLabelChars = 52;
constexpr int kMinMapSize = 256;  // small grids are enlarged by a whole factor up to this
constexpr Rgba kPanel{248, 248, 245, 255};
constexpr Rgba kInk{20, 20, 20, 255};
constexpr Rgba kCheckerLight{255, 255, 255, 255};
constexpr Rgba kCheckerDark{200, 200, 200, 255};

void FillRect(RgbaImage& image, int x0, int y0, int w, int h, Rgba colour) {
  for (int y = std::max(0, y0); y < std::min(image.height, y0 + h); ++y) {
    for (int x = std::max(0, x0); x < std::min(image.width, x0 + w); ++x) image.Set(x, y, colour);
  }
}

void DrawText(RgbaImage& image, int x, int y, const std::string& text, Rgba colour) {
  for (char c : text) {
    const Glyph& glyph = GlyphOf(c);
    for (int column = 0; column < kGlyphWidth; ++column) {
      for (int row = 0; row < kGlyphHeight; ++row) {
        if ((glyph[column] >> row) & 1) {
          FillRect(image, x + column * kFontScale, y + row * kFontScale, kFontScale, kFontScale,
                   colour);
        }
      }
    }
    x += kCharAdvance;
  }
}

// A swatch of the colour over a checkerboard, so transparent colours show as such.
void DrawSwatch(RgbaImage& image, int x0, int y0, Rgba colour) {
  constexpr int kCheck = kSwatchSize / 2;
  for (int y = 0; y < kSwatchSize; ++y) {
    for (int x = 0; x < kSwatchSize; ++x) {
      const Rgba under = ((x / kCheck + y / kCheck) % 2 == 0) ? kCheckerLight : kCheckerDark;
      const double alpha = colour.a / 255.0;
      auto blend = [&](uint8_t top, uint8_t bottom) {
        return static_cast<uint8_t>(std::lround(top * alpha + bottom * (1 - alpha)));
      };
      image.Set(x0 + x, y0 + y,
                {blend(colour.r, under.r), blend(colour.g, under.g), blend(colour.b, under.b), 255});
    }
  }
  // Outline.
  FillRect(image, x0, y0, kSwatchSize, 1, kInk);
  FillRect(image, x0, y0 + kSwatchSize - 1, kSwatchSize, 1, kInk);
  FillRect(image, x0, y0, 1, kSwatchSize, kInk);
  FillRect(image, x0 + kSwatchSize - 1, y0, 1, kSwatchSize, kInk);
}

std::string Truncated(std::string text) {
  if (text.size() > kMaxLabelChars) text = text.substr(0, kMaxLabelChars - 3) + "...";
  return text;
}

std::string Percent(int64_t part, int64_t whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f%%", whole > 0 ? 100.0 * part / whole : 0.0);
  return buf;
}

}  // namespace

Rgba CodeColour(int32_t code) {
  if (code == kPaddingValue) return kTransparent;
  if (code == 0) return kUndefined;
  if (code >= 10 && code <= 99) {
    const Rgba base = kClassColours[code / 10 - 1];
    const Shade& shade = kShades[code % 10];
    return {ShadeChannel(base.r, shade), ShadeChannel(base.g, shade), ShadeChannel(base.b, shade),
            255};
  }
  switch (code) {
    case 100: return kQuillmarshDefined;
    case 101: return kLandUndefined;
    case 102: return kWaterUndefined;
    default: return kUnidentified;
  }
}

Rgba RgbaImage::At(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
  return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
}

void RgbaImage::Set(int x, int y, Rgba c) {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
  pixels[i] = c.r;
  pixels[i + 1] = c.g;
  pixels[i + 2] = c.b;
  pixels[i + 3] = c.a;
}

RenderedTile RenderTile(const TileView& tile, const RenderOptions& options,
                        const std::function<std::string(int32_t)>& describe) {
  if (tile.rows < 1 || tile.columns < 1 ||
      tile.cells.size() != static_cast<std::size_t>(tile.rows) * tile.columns) {
    throw std::invalid_argument("grid size does not match its cells");
  }

  // Map size: large grids sampled down to maxMapSize, small ones enlarged.
  const int32_t longest = std::max(tile.rows, tile.columns);
  const int maxMap = std::max(1, options.maxMapSize);
  int mapWidth, mapHeight;
  if (longest > maxMap) {
    const double factor = static_cast<double>(maxMap) / longest;
    mapWidth = std::max(1, static_cast<int>(std::lround(tile.columns * factor)));
    mapHeight = std::max(1, static_cast<int>(std::lround(tile.rows * factor)));
  } else {
    const int enlarge = std::max(1, std::min(kMinMapSize, maxMap) / longest);
    mapWidth = tile.columns * enlarge;
    mapHeight = tile.rows * enlarge;
  }

  // Codes present, counted over all cells.
  std::vector<int64_t> tally(1 << 16, 0);  // indexed by code + 32768
  for (int16_t cell : tile.cells) ++tally[static_cast<std::size_t>(cell + 32768)];
  std::map<int32_t, int64_t> counts;
  for (std::size_t i = 0; i < tally.size(); ++i) {
    if (tally[i] > 0) counts[static_cast<int32_t>(i) - 32768] = tally[i];
  }
  const auto padding = counts.find(kPaddingValue);
  const int64_t paddingCells = padding == counts.end() ? 0 : padding->second;
  const int64_t codedCells = static_cast<int64_t>(tile.cells.size()) - paddingCells;

  // Legend lines: heading, summary, a blank line, one line per code, padding.
  std::vector<std::pair<Rgba, std::string>> entries;
  RenderedTile result;
  for (const auto& [code, count] : counts) {
    if (code == kPaddingValue) continue;
    result.legendCodes.push_back(code);
    entries.emplace_back(CodeColour(code), Truncated(std::to_string(code) + " " + describe(code)) +
                                               "  " + Percent(count, codedCells));
  }
  if (paddingCells > 0) entries.emplace_back(kTransparent, "Padding (outside the cell)");
  const std::string summary = std::to_string(tile.rows) + " rows x " +
                              std::to_string(tile.columns) + " columns";
  auto textWidth = [](const std::string& text) {
    return static_cast<int>(text.size()) * kCharAdvance;
  };
  int widest = std::max(textWidth(tile.heading), textWidth(summary));
  for (const auto& entry : entries) {
    widest = std::max(widest, kSwatchSize + kSwatchGap + textWidth(entry.second));
  }
  const int legendWidth = widest + 2 * kMargin;
  const int legendHeight = static_cast<int>(entries.size() + 3) * kLineHeight + 2 * kMargin;

  const int width = mapWidth + kMargin + legendWidth;
  const int height = std::max(mapHeight, legendHeight);
  RgbaImage image(width, height);

  // The map: each pixel shows the cell under its centre.
  for (int y = 0; y < mapHeight; ++y) {
    const auto row = static_cast<int32_t>((y + 0.5) * tile.rows / mapHeight);
    const int16_t* cells = tile.cells.data() + static_cast<std::size_t>(row) * tile.columns;
    for (int x = 0; x < mapWidth; ++x) {
      const auto column = static_cast<int32_t>((x + 0.5) * tile.columns / mapWidth);
      image.Set(x, y, CodeColour(cells[column]));
    }
  }

  // The legend panel.
  const int panelX = mapWidth + kMargin;
  FillRect(image, panelX, 0, legendWidth, legendHeight, kPanel);
  int y = kMargin;
  DrawText(image, panelX + kMargin, y, tile.heading, kInk);
  y += kLineHeight;
  DrawText(image, panelX + kMargin, y, summary, kInk);
  y += 2 * kLineHeight;
  for (const auto& [colour, text] : entries) {
    DrawSwatch(image, panelX + kMargin, y, colour);
    DrawText(image, panelX + kMargin + kSwatchSize + kSwatchGap, y, text, kInk);
    y += kLineHeight;
  }

  result.image = std::move(image);
  result.mapWidth = mapWidth;
  result.mapHeight = mapHeight;
  return result;
}

std::optional<std::vector<unsigned char>> EncodePng(const RgbaImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  // First the size, then the bytes.
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return std::nullopt;
  }
  std::vector<unsigned char> bytes(size);
  if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace tilbo::luctool
