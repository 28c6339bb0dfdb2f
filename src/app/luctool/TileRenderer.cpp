#include "luctool/TileRenderer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

#include "coords/UtmCon.h"
#include "luc/TileName.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig, which finds cairo's font, keeps what it loads for the life of
// the process; the sanitized build's leak check is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace tilbo::luctool {
namespace {

// Layout, in pixels; text sizes in points of the font.
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr double kTextSize = 13;
constexpr double kHeadingSize = 15;
constexpr double kTickLabelSize = 11;
constexpr int kMargin = 12;
constexpr int kTickLength = 6;
constexpr int kGap = 4;
constexpr int kSwatchSize = 14;
constexpr int kScaleBarHeight = 7;
constexpr double kMinTickSpacing = 90;  // pixels between graticule ticks, at least
constexpr int kMinMapSize = 256;        // small grids are enlarged by a whole factor up to this

struct Colour {
  double r, g, b, a = 1;
};
constexpr Colour kPage{1, 1, 1};
constexpr Colour kInk{0.1, 0.1, 0.1};
constexpr Colour kFrame{0.35, 0.35, 0.35};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

Surface NewSurface(int width, int height) {
  return {cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), &cairo_surface_destroy};
}

void SetColour(cairo_t* cr, const Colour& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void SetFont(cairo_t* cr, double size, bool bold = false) {
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

double LineHeight(cairo_t* cr) {
  cairo_font_extents_t e;
  cairo_font_extents(cr, &e);
  return std::ceil(e.height);
}

// Text with its baseline's left end at (x, y).
void DrawText(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
}

// Premultiplied ARGB of cairo's image surfaces, one 32-bit word per pixel.
uint32_t Premultiplied(Rgba c) {
  auto scale = [&](uint8_t v) { return static_cast<uint32_t>((v * c.a + 127) / 255); };
  return (uint32_t{c.a} << 24) | (scale(c.r) << 16) | (scale(c.g) << 8) | scale(c.b);
}

Rgba Unpremultiplied(uint32_t argb) {
  const auto a = static_cast<uint8_t>(argb >> 24);
  auto scale = [&](uint32_t v) { return static_cast<uint8_t>(a == 0 ? 0 : (v * 255 + a / 2) / a); };
  return {scale((argb >> 16) & 0xFF), scale((argb >> 8) & 0xFF), scale(argb & 0xFF), a};
}

std::string Percent(int64_t part, int64_t whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f%%", whole > 0 ? 100.0 * part / whole : 0.0);
  return buf;
}

// Map pixels and UTM metres: pixel (0, 0) is the grid's north-west corner.
struct MapFrame {
  int16_t zone;
  double westEdge, northEdge;          // metres
  double metresPerPixelX, metresPerPixelY;
  double Easting(double x) const { return westEdge + x * metresPerPixelX; }
  double Northing(double y) const { return northEdge - y * metresPerPixelY; }
  GeoPoint At(double x, double y) const { return UtmToGeographic(zone, Easting(x), Northing(y)); }
};

struct Tick {
  double position;  // pixels along the edge
  std::string label;
};

// "44°15′N", "71°30′W"; whole minutes are all a graticule needs.
std::string DegreesLabel(double degrees, bool latitude) {
  const long minutes = std::lround(std::fabs(degrees) * 60);
  const char hemisphere = latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
  char buf[32];
  if (minutes % 60 == 0) {
    std::snprintf(buf, sizeof buf, "%ld\u00B0%c", minutes / 60, hemisphere);
  } else {
    std::snprintf(buf, sizeof buf, "%ld\u00B0%02ld\u2032%c", minutes / 60, minutes % 60, hemisphere);
  }
  return buf;
}

// Graticule ticks along one edge of `length` pixels, where `degreesAt`
// (monotonic along the edge) gives the latitude or longitude at a pixel.
template <typename DegreesAt>
std::vector<Tick> EdgeTicks(DegreesAt degreesAt, double length, bool latitude) {
  const double first = degreesAt(0.0), last = degreesAt(length);
  if (!std::isfinite(first) || !std::isfinite(last) || first == last) return {};
  const double span = std::fabs(last - first);
  constexpr double kSteps[] = {1.0 / 60, 2.0 / 60, 5.0 / 60, 10.0 / 60, 0.25, 0.5, 1, 2, 5};
  double step = kSteps[std::size(kSteps) - 1];
  for (double s : kSteps) {
    if (s * length / span >= kMinTickSpacing) {
      step = s;
      break;
    }
  }
  std::vector<Tick> ticks;
  const bool rising = last > first;
  for (double k = std::ceil(std::min(first, last) / step); k * step <= std::max(first, last); ++k) {
    const double target = k * step;
    double lo = 0, hi = length;  // bisection: the coordinate passes `target` between lo and hi
    for (int i = 0; i < 50; ++i) {
      const double mid = (lo + hi) / 2;
      ((degreesAt(mid) < target) == rising ? lo : hi) = mid;
    }
    ticks.push_back({(lo + hi) / 2, DegreesLabel(target, latitude)});
  }
  return ticks;
}

// The longest of 1, 2, 5, 10, 20, 50, 100 km that takes at most a third of
// the map's width (or the whole width for narrow maps); 0 when none fits.
int ScaleKilometres(double metresPerPixel, int mapWidth) {
  constexpr int kLengths[] = {100, 50, 20, 10, 5, 2, 1};
  for (int km : kLengths) {
    if (km * 1000 / metresPerPixel <= mapWidth / 3.0) return km;
  }
  return 1000 / metresPerPixel <= mapWidth ? 1 : 0;
}

struct LegendEntry {
  Rgba colour;
  std::string text;
};

}  // namespace

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
  if (!(tile.xResolution > 0) || !(tile.yResolution > 0)) {
    throw std::invalid_argument("resolutions are not positive");
  }
  RenderedTile result;

  // Map size: large grids sampled down to maxMapSize, small ones enlarged.
  const int32_t longest = std::max(tile.rows, tile.columns);
  const int maxMap = std::max(1, options.maxMapSize);
  if (longest > maxMap) {
    const double factor = static_cast<double>(maxMap) / longest;
    result.mapWidth = std::max(1, static_cast<int>(std::lround(tile.columns * factor)));
    result.mapHeight = std::max(1, static_cast<int>(std::lround(tile.rows * factor)));
  } else {
    const int enlarge = std::max(1, std::min(kMinMapSize, maxMap) / longest);
    result.mapWidth = tile.columns * enlarge;
    result.mapHeight = tile.rows * enlarge;
  }
  const MapFrame frame{tile.zone, tile.westEasting - tile.xResolution / 2, tile.northNorthing + tile.yResolution / 2,
                       tile.columns * tile.xResolution / result.mapWidth,
                       tile.rows * tile.yResolution / result.mapHeight};

  // Codes present, counted over all cells.
  std::vector<int64_t> tally(1 << 16, 0);  // indexed by code + 32768
  for (int16_t cell : tile.cells) ++tally[static_cast<std::size_t>(cell + 32768)];
  const int64_t paddingCells = tally[static_cast<std::size_t>(kPaddingValue + 32768)];
  const int64_t codedCells = static_cast<int64_t>(tile.cells.size()) - paddingCells;
  std::vector<LegendEntry> entries;
  for (std::size_t i = 0; i < tally.size(); ++i) {
    const auto code = static_cast<int32_t>(i) - 32768;
    if (tally[i] == 0 || code == kPaddingValue) continue;
    result.legendCodes.push_back(code);
    entries.push_back({CodeColour(code), std::to_string(code) + "  " + describe(code) + "  " +
                                             Percent(tally[i], codedCells)});
  }
  if (paddingCells > 0) entries.push_back({CodeColour(kPaddingValue), "Padding (outside the one-degree cell)"});
  const std::string summary = std::to_string(tile.rows) + " rows \u00D7 " + std::to_string(tile.columns) +
                              " columns of " + std::to_string(std::lround(tile.xResolution)) + " m";
  const std::string place = "UTM zone " + std::to_string(tile.zone) + ", WGS 84";

  // Ticks on the four edges, from the grid's own coordinates.
  const double w = result.mapWidth, h = result.mapHeight;
  const auto west = EdgeTicks([&](double y) { return frame.At(0, y).latitude; }, h, true);
  const auto east = EdgeTicks([&](double y) { return frame.At(w, y).latitude; }, h, true);
  const auto north = EdgeTicks([&](double x) { return frame.At(x, 0).longitude; }, w, false);
  const auto south = EdgeTicks([&](double x) { return frame.At(x, h).longitude; }, w, false);
  result.latitudeTicks = static_cast<int>(west.size());
  result.longitudeTicks = static_cast<int>(south.size());
  result.scaleKilometres = ScaleKilometres(frame.metresPerPixelX, result.mapWidth);

  // Measure, then lay out: tick labels around the map, the scale bar below
  // it, the legend to its right.
  Surface scratch = NewSurface(1, 1);
  Context measure(cairo_create(scratch.get()), &cairo_destroy);
  SetFont(measure.get(), kTickLabelSize);
  const double tickLine = LineHeight(measure.get());
  double latitudeLabel = 0;
  for (const auto* side : {&west, &east}) {
    for (const Tick& t : *side) latitudeLabel = std::max(latitudeLabel, TextWidth(measure.get(), t.label));
  }
  SetFont(measure.get(), kTextSize);
  const double textLine = LineHeight(measure.get()) + 3;
  double legendWidth = std::max(TextWidth(measure.get(), summary), TextWidth(measure.get(), place));
  for (const LegendEntry& e : entries) {
    legendWidth = std::max(legendWidth, kSwatchSize + 8 + TextWidth(measure.get(), e.text));
  }
  SetFont(measure.get(), kHeadingSize, true);
  legendWidth = std::max(legendWidth, TextWidth(measure.get(), tile.heading));
  const double headingLine = LineHeight(measure.get()) + 4;

  const int side = static_cast<int>(std::ceil(kMargin + latitudeLabel + kGap + kTickLength));
  result.mapX = side;
  result.mapY = static_cast<int>(std::ceil(kMargin + tickLine + kGap + kTickLength));
  const double belowMap = kTickLength + kGap + tickLine + 2 * kGap + kScaleBarHeight + kGap + tickLine + kMargin;
  const int legendX = result.mapX + result.mapWidth + side + kMargin;
  const double legendHeight = kMargin + headingLine + 2 * textLine + textLine / 2 + entries.size() * textLine + kMargin;
  const int width = legendX + static_cast<int>(std::ceil(legendWidth)) + kMargin;
  const int height = static_cast<int>(std::ceil(std::max(result.mapY + h + belowMap, legendHeight)));

  Surface page = NewSurface(width, height);
  Context context(cairo_create(page.get()), &cairo_destroy);
  cairo_t* cr = context.get();
  SetColour(cr, kPage);
  cairo_paint(cr);

  // The map: each pixel shows the cell under its centre; padding stays blank.
  {
    Surface map = NewSurface(result.mapWidth, result.mapHeight);
    cairo_surface_flush(map.get());
    unsigned char* data = cairo_image_surface_get_data(map.get());
    const int stride = cairo_image_surface_get_stride(map.get());
    for (int y = 0; y < result.mapHeight; ++y) {
      const auto row = static_cast<int32_t>((y + 0.5) * tile.rows / result.mapHeight);
      const int16_t* cells = tile.cells.data() + static_cast<std::size_t>(row) * tile.columns;
      auto* line = reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
      for (int x = 0; x < result.mapWidth; ++x) {
        line[x] = Premultiplied(CodeColour(cells[static_cast<int32_t>((x + 0.5) * tile.columns / result.mapWidth)]));
      }
    }
    cairo_surface_mark_dirty(map.get());
    cairo_set_source_surface(cr, map.get(), result.mapX, result.mapY);
    cairo_paint(cr);
  }
  SetColour(cr, kFrame);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, result.mapX - 0.5, result.mapY - 0.5, w + 1, h + 1);
  cairo_stroke(cr);

  // Graticule ticks and their labels.
  SetColour(cr, kInk);
  SetFont(cr, kTickLabelSize);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  const double x0 = result.mapX, y0 = result.mapY;
  for (const Tick& t : west) {
    cairo_move_to(cr, x0, y0 + t.position);
    cairo_rel_line_to(cr, -kTickLength, 0);
    DrawText(cr, x0 - kTickLength - kGap - TextWidth(cr, t.label), y0 + t.position + font.ascent / 2 - 1, t.label);
  }
  for (const Tick& t : east) {
    cairo_move_to(cr, x0 + w, y0 + t.position);
    cairo_rel_line_to(cr, kTickLength, 0);
    DrawText(cr, x0 + w + kTickLength + kGap, y0 + t.position + font.ascent / 2 - 1, t.label);
  }
  for (const Tick& t : north) {
    cairo_move_to(cr, x0 + t.position, y0);
    cairo_rel_line_to(cr, 0, -kTickLength);
    DrawText(cr, x0 + t.position - TextWidth(cr, t.label) / 2, y0 - kTickLength - kGap - font.descent, t.label);
  }
  for (const Tick& t : south) {
    cairo_move_to(cr, x0 + t.position, y0 + h);
    cairo_rel_line_to(cr, 0, kTickLength);
    DrawText(cr, x0 + t.position - TextWidth(cr, t.label) / 2, y0 + h + kTickLength + kGap + font.ascent, t.label);
  }
  cairo_stroke(cr);

  // Scale bar: alternating kilometre segments (halves for a 1 km bar).
  if (result.scaleKilometres > 0) {
    const int km = result.scaleKilometres;
    const int segments = km == 1 ? 2 : (km % 5 == 0 ? 5 : km);
    const double barLength = km * 1000 / frame.metresPerPixelX;
    const double barY = y0 + h + kTickLength + kGap + tickLine + 2 * kGap;
    for (int i = 0; i < segments; ++i) {
      cairo_rectangle(cr, x0 + i * barLength / segments, barY, barLength / segments, kScaleBarHeight);
      SetColour(cr, i % 2 == 0 ? kInk : kPage);
      cairo_fill_preserve(cr);
      SetColour(cr, kInk);
      cairo_stroke(cr);
    }
    const double labelY = barY + kScaleBarHeight + kGap + font.ascent;
    DrawText(cr, x0, labelY, "0");
    const std::string end = std::to_string(km) + " km";
    DrawText(cr, x0 + barLength - TextWidth(cr, end) / 2, labelY, end);
  }

  // The legend.
  double y = kMargin;
  SetColour(cr, kInk);
  SetFont(cr, kHeadingSize, true);
  y += headingLine - 4;
  DrawText(cr, legendX, y, tile.heading);
  SetFont(cr, kTextSize);
  y += textLine;
  DrawText(cr, legendX, y, summary);
  y += textLine;
  DrawText(cr, legendX, y, place);
  y += textLine / 2;
  cairo_font_extents(cr, &font);
  for (const LegendEntry& e : entries) {
    y += textLine;
    const double top = y - font.ascent + (font.ascent - kSwatchSize) / 2 + 1;
    cairo_rectangle(cr, legendX + 0.5, top + 0.5, kSwatchSize, kSwatchSize);
    cairo_set_source_rgba(cr, e.colour.r / 255.0, e.colour.g / 255.0, e.colour.b / 255.0, e.colour.a / 255.0);
    cairo_fill_preserve(cr);
    SetColour(cr, kFrame);
    cairo_stroke(cr);
    SetColour(cr, kInk);
    DrawText(cr, legendX + kSwatchSize + 8, y, e.text);
  }

  cairo_surface_flush(page.get());
  if (cairo_surface_status(page.get()) != CAIRO_STATUS_SUCCESS) {
    throw std::invalid_argument(cairo_status_to_string(cairo_surface_status(page.get())));
  }
  result.image = RgbaImage(width, height);
  const unsigned char* data = cairo_image_surface_get_data(page.get());
  const int stride = cairo_image_surface_get_stride(page.get());
  for (int py = 0; py < height; ++py) {
    const auto* line = reinterpret_cast<const uint32_t*>(data + static_cast<std::ptrdiff_t>(py) * stride);
    for (int px = 0; px < width; ++px) result.image.Set(px, py, Unpremultiplied(line[px]));
  }
  return result;
}

std::optional<std::vector<unsigned char>> EncodePng(const RgbaImage& image) {
  Surface surface = NewSurface(image.width, image.height);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < image.height; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < image.width; ++x) line[x] = Premultiplied(image.At(x, y));
  }
  cairo_surface_mark_dirty(surface.get());
  std::vector<unsigned char> bytes;
  auto append = [](void* closure, const unsigned char* chunk, unsigned int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), chunk, chunk + length);
    return CAIRO_STATUS_SUCCESS;
  };
  if (cairo_surface_write_to_png_stream(surface.get(), append, &bytes) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  return bytes;
}

}  // namespace tilbo::luctool
