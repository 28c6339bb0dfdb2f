// luctool on LUC tiles: `info` and `render` of a tile, the refusals of every
// tile command, the palette and the renderer's layout.

#include <cairo.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "ctg/LULCCodes.h"
#include "luc/LUCFileV1.h"
#include "luc/LucTestFiles.h"
#include "luc/TileName.h"
#include "luctool/TileRenderer.h"
#include "support/LuctoolRun.h"
#include "support/TempDir.h"

namespace tilbo::luctool {

void PrintTo(const Rgba& c, std::ostream* os) {
  *os << "rgba(" << int{c.r} << "," << int{c.g} << "," << int{c.b} << "," << int{c.a} << ")";
}

namespace {

using namespace tilbo::testing;
using ::testing::HasSubstr;

// The tile for 40 N 105 W at 200 m: forest everywhere, ten cells of lake and
// three undefined ones in row 300.
std::string MakeForestTile(const TempDir& dir) {
  std::string name = dir.file("L10540NW.LUC");
  LUCFileV1 luc;
  EXPECT_EQ(luc.CreateFile(40.0, -105.0, 200, 200, name, LUCFileV1::kMemoryIo, 41), 0);
  for (int c = 200; c < 210; ++c) luc.SetLULCValue(c, 300, 52);
  for (int c = 210; c < 213; ++c) luc.SetLULCValue(c, 300, 0);
  luc.SetTitle("Boulder");
  luc.SetDataSource("USGS 1:250,000");
  luc.WriteData();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  return name;
}

TEST(LuctoolLucInfo, TextAndJsonDescribeTheTile) {
  TempDir dir;
  const std::string path = MakeForestTile(dir);
  const std::string datum =
      "WGS 84 (USGS CTG sources were made on NAD 27: positions can differ from theirs by tens of metres)";
  const LuctoolResult text = RunTool({"info", path});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.err, "");
  EXPECT_EQ(text.out, "LUC tile " + path + "\n"
                      "  Title            Boulder\n"
                      "  Data source      USGS 1:250,000\n"
                      "  Cell             40 N to 41 N, 106 W to 105 W (tile L10540NW.LUC)\n"
                      "  NW corner fields 0, 0\n"
                      "  UTM zone         13 (WGS 84 / UTM zone 13N, EPSG:32613; southern tiles have negative northings)\n"
                      "  Datum            " + datum + "\n"
                      "  Grid             558 rows x 427 columns of 200 x 200 m\n"
                      "  Eastings         414800 .. 500000 m (column 0 west)\n"
                      "  Northings        4539000 .. 4427600 m (row 0 north)\n"
                      "  Record length    854 bytes\n"
                      "Cells: 238266, padding 2863, coded 235403\n"
                      "       0          3   0.0%  Undefined\n"
                      "      41     235390 100.0%  Forest Land: Deciduous\n"
                      "      52         10   0.0%  Water: Lakes\n");

  const LuctoolResult json = RunTool({"info", "--json", path});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out, "{\"kind\":\"luc\",\"path\":\"" + path + "\",\"title\":\"Boulder\",\"dataSource\":\"USGS 1:250,000\","
                      "\"tileName\":\"L10540NW.LUC\",\"seCornerLatitude\":40,\"seCornerLongitude\":-105,"
                      "\"nwCornerLatitude\":0,\"nwCornerLongitude\":0,\"utmZone\":13,\"crs\":\"EPSG:32613\","
                      "\"datum\":\"WGS 84\",\"datumNote\":\"" + datum + "\",\"dataRows\":558,\"dataColumns\":427,"
                      "\"xResolution\":200,\"yResolution\":200,\"minEasting\":414800,\"maxEasting\":500000,"
                      "\"minNorthing\":4427600,\"maxNorthing\":4539000,\"recordLength\":854,\"cells\":238266,"
                      "\"paddingCells\":2863,\"codes\":[{\"code\":0,\"cells\":3,\"description\":\"Undefined\"},"
                      "{\"code\":41,\"cells\":235390,\"description\":\"Forest Land: Deciduous\"},"
                      "{\"code\":52,\"cells\":10,\"description\":\"Water: Lakes\"}]}\n");

  // Corners that are no position on the earth: described, without a tile name.
  std::string bytes = ReadWholeFile(path);
  Put(bytes, 108, 1e300);
  WriteWholeFile(path, bytes);
  EXPECT_THAT(RunTool({"info", "--json", path}).out, HasSubstr("\"tileName\":\"\""));
}

// A PNG as cairo reads it back; its pixels are opaque, so not premultiplied.
RgbaImage ReadPng(const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  RgbaImage image(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
  const unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      uint32_t argb = 0;
      std::memcpy(&argb, data + y * cairo_image_surface_get_stride(surface) + 4 * x, 4);
      image.Set(x, y, {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)});
    }
  }
  cairo_surface_destroy(surface);
  return image;
}

TEST(LuctoolRender, WritesTheTileAsDrawn) {
  TempDir dir;
  const std::string tile = MakeForestTile(dir);
  const std::string png = dir.file("tile.png");
  const LuctoolResult run = RunTool({"render", tile, "-o", png});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote " + png + ": 851 x 660 pixels, map 427 x 558, 3 codes\n");

  LUCFileV1 luc;
  luc.SetFileName(tile);
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  const RenderedTile r = RenderTile({luc.DataRows(), luc.DataColumns(), luc.GridCells(), "L10540NW.LUC", 13,
                                     414800, 4539000, 200, 200}, RenderOptions{}, LULCCodeDescription);
  const RgbaImage written = ReadPng(png);
  EXPECT_EQ(written.pixels, r.image.pixels);
  // One pixel per cell of a 200 m tile; ticks every 15 minutes.
  EXPECT_EQ(written.At(r.mapX, r.mapY), (Rgba{255, 255, 255, 255}));  // the north-west grid point is padding
  EXPECT_EQ(written.At(r.mapX + 213, r.mapY + 279), CodeColour(41));
  EXPECT_EQ(written.At(r.mapX + 205, r.mapY + 300), CodeColour(52));
  EXPECT_GE(r.latitudeTicks, 4);
  EXPECT_GE(r.longitudeTicks, 3);
}

// Each tile command names the file and why it cannot use it, and writes nothing.
TEST(LuctoolTileCommands, RefusalsNameTheFileAndTheReason) {
  TempDir dir;
  const std::string missing = dir.file("none.LUC"), text = dir.file("text.LUC"), zone0 = dir.file("zone0.LUC");
  const std::string ctg = std::string(TILBO_TEST_DATA_DIR) + "/fake_grid_cell";
  WriteWholeFile(text, std::string(400, 'x'));
  LucFileRecipe recipe;
  recipe.zone = 0;
  WriteWholeFile(zone0, MakeLucBytes(recipe));
  const std::string out = dir.file("out");
  const std::string notFound = ": File not found.\n", noZone = ": UTM zone 0 is not a zone from 1 to 60\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"render", missing, "-o", out}, missing + notFound},
      {{"georef", missing}, missing + notFound},
      {{"export", missing, "-o", out}, missing + notFound},
      {{"render", text, "-o", out}, text + ": Invalid file or file error.\n"},
      {{"render", ctg, "-o", out}, ctg + ": a CTG source, not a LUC tile; convert it into tiles first, for example:\n"
                                   "  ctgtilbo /AUTO /SOURCE=" + ctg + " /DEST=tiles/ /LOG=convert.log\n"},
      {{"georef", zone0}, zone0 + noZone},
      {{"export", zone0, "-o", out}, zone0 + noZone},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.args[0] + " " + k.args[1]);
    const LuctoolResult r = RunTool(k.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "luctool: " + k.err);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

// CIE L*a*b* of an sRGB colour (D65), for colour distances as the eye sees them.
std::array<double, 3> Lab(Rgba c) {
  auto linear = [](uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  const double r = linear(c.r), g = linear(c.g), b = linear(c.b);
  auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
  const double x = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
  const double y = f(0.2126 * r + 0.7152 * g + 0.0722 * b);
  const double z = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
  return {116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

TEST(LandUsePalette, CodesOfOneClassAreToldApart) {
  // The published colours where the legend has the class.
  EXPECT_EQ(CodeColour(41), (Rgba{0x68, 0xAB, 0x5F, 255}));
  EXPECT_EQ(CodeColour(42), (Rgba{0x1C, 0x5F, 0x2C, 255}));
  EXPECT_EQ(CodeColour(43), (Rgba{0xB5, 0xC5, 0x8F, 255}));
  EXPECT_EQ(CodeColour(kPaddingValue).a, 0);
  EXPECT_GT(CodeColour(0).a, 0);
  EXPECT_LT(CodeColour(0).a, 255);
  EXPECT_EQ(CodeColour(103), CodeColour(-5));
  // Within each first-level class (10 urban ... 90 snow or ice) every pair
  // of codes differs clearly (CIE76 distance of at least 12).
  for (int level = 10; level <= 100; level += 10) {
    const int last = level == 100 ? 102 : level + 9;
    for (int a = level; a <= last; ++a) {
      for (int b = a + 1; b <= last; ++b) {
        if (LULCCodeDescription(a) == "Unidentified Code" || LULCCodeDescription(b) == "Unidentified Code") continue;
        const auto la = Lab(CodeColour(a)), lb = Lab(CodeColour(b));
        EXPECT_GE(std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]), 12) << a << " and " << b;
      }
    }
  }
}

TEST(TileRenderer, LargeGridsAreSampledSmallOnesEnlarged) {
  auto describe = [](int32_t code) { return "code " + std::to_string(code); };
  std::vector<int16_t> large(static_cast<std::size_t>(1500) * 2000, 41);
  std::fill(large.end() - 10 * 2000, large.end(), 52);  // ten rows in the south
  const RenderedTile big = RenderTile({1500, 2000, large, "big", 13, 400000, 4500000, 30, 30}, {}, describe);
  EXPECT_EQ(big.mapWidth, 1024);
  EXPECT_EQ(big.mapHeight, 768);
  EXPECT_EQ(big.legendCodes, (std::vector<int32_t>{41, 52}));
  EXPECT_EQ(big.image.At(big.mapX + 1023, big.mapY + 767), CodeColour(52));
  EXPECT_EQ(big.scaleKilometres, 20);  // a third of 60 km

  std::vector<int16_t> small(static_cast<std::size_t>(80) * 100, 21);
  const RenderedTile tiny = RenderTile({80, 100, small, "small", 13, 400000, 4500000, 200, 200}, {}, describe);
  EXPECT_EQ(tiny.mapWidth, 200);
  EXPECT_EQ(tiny.mapHeight, 160);
  EXPECT_EQ(tiny.image.At(tiny.mapX + 199, tiny.mapY + 159), CodeColour(21));

  for (const TileView& bad : {TileView{80, 99, small, "wrong", 13, 400000, 4500000, 200, 200},
                              TileView{80, 100, small, "flat", 13, 400000, 4500000, 0, 200}}) {
    EXPECT_THROW(RenderTile(bad, {}, describe), std::invalid_argument) << bad.heading;
  }
}

}  // namespace
}  // namespace tilbo::luctool
