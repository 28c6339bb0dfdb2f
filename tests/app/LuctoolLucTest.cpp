// luctool's LUC side: `info` for tiles (PrintLucInfo) and `render`.

#include <gtest/gtest.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "luc/LUCFileV1.h"
#include "luc/TileName.h"
#include "ctg/LULCCodes.h"
#include "luctool/LucInfo.h"
#include "luctool/Luctool.h"
#include "luctool/TileRenderer.h"
#include "support/TempDir.h"

namespace tilbo::luctool {

void PrintTo(const Rgba& c, std::ostream* os) {
  *os << "rgba(" << int{c.r} << "," << int{c.g} << "," << int{c.b} << "," << int{c.a} << ")";
}

namespace {

using tilbo::testing::ReadWholeFile;
using tilbo::testing::TempDir;
using tilbo::testing::WriteWholeFile;

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

// Code counts read straight from the file's bytes.
std::map<int, int64_t> CountCodes(const std::string& bytes) {
  int32_t recordLength = 0;
  std::memcpy(&recordLength, bytes.data() + 152, 4);
  std::map<int, int64_t> counts;
  for (std::size_t at = recordLength; at + 1 < bytes.size(); at += 2) {
    int16_t cell = 0;
    std::memcpy(&cell, bytes.data() + at, 2);
    ++counts[cell];
  }
  return counts;
}

struct Captured {
  std::ostringstream out, err;
  Io io{out, err};
};

TEST(PrintLucInfo, TextShowsHeaderExtentAndCodeCounts) {
  TempDir dir;
  const std::string path = MakeForestTile(dir);
  const auto counts = CountCodes(ReadWholeFile(path));
  Captured c;
  EXPECT_EQ(PrintLucInfo(path, false, c.io), 0);
  const std::string text = c.out.str();
  EXPECT_NE(text.find("Title            Boulder\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Data source      USGS 1:250,000\n"), std::string::npos);
  EXPECT_NE(text.find("Cell             40 N to 41 N, 106 W to 105 W (tile L10540NW.LUC)"),
            std::string::npos);
  EXPECT_NE(text.find("UTM zone         13 (WGS 84 / UTM zone 13N, EPSG:32613;"), std::string::npos);
  EXPECT_NE(text.find("Datum            WGS 84 ("), std::string::npos);
  EXPECT_NE(text.find("columns of 200 x 200 m"), std::string::npos);
  const int64_t padding = counts.at(kPaddingValue);
  EXPECT_NE(text.find(", padding " + std::to_string(padding) + ","), std::string::npos);
  EXPECT_NE(text.find("     52         10 "), std::string::npos);
  EXPECT_NE(text.find("      0          3 "), std::string::npos);
  EXPECT_NE(text.find(std::to_string(counts.at(41)) + " "), std::string::npos);
  EXPECT_NE(text.find("Forest Land: Deciduous\n"), std::string::npos);
  EXPECT_EQ(c.err.str(), "");
}

TEST(PrintLucInfo, JsonListsCodesInOrder) {
  TempDir dir;
  const std::string path = MakeForestTile(dir);
  const auto counts = CountCodes(ReadWholeFile(path));
  Captured c;
  EXPECT_EQ(PrintLucInfo(path, true, c.io), 0);
  const std::string json = c.out.str();
  EXPECT_EQ(json.rfind("{\"kind\":\"luc\",", 0), 0u) << json;
  EXPECT_NE(json.find("\"title\":\"Boulder\""), std::string::npos);
  EXPECT_NE(json.find("\"utmZone\":13,\"crs\":\"EPSG:32613\",\"datum\":\"WGS 84\""), std::string::npos);
  EXPECT_NE(json.find("\"seCornerLongitude\":-105,"), std::string::npos);
  EXPECT_NE(json.find("\"paddingCells\":" + std::to_string(counts.at(kPaddingValue))),
            std::string::npos);
  const std::string codes =
      "\"codes\":[{\"code\":0,\"cells\":3,\"description\":\"Undefined\"},"
      "{\"code\":41,\"cells\":" + std::to_string(counts.at(41)) +
      ",\"description\":\"Forest Land: Deciduous\"},"
      "{\"code\":52,\"cells\":10,\"description\":\"Water: Lakes\"}]}\n";
  EXPECT_NE(json.find(codes), std::string::npos) << json;
}

TEST(PrintLucInfo, FilesThatAreNotTilesAreReported) {
  TempDir dir;
  Captured missing;
  EXPECT_EQ(PrintLucInfo(dir.file("none.LUC"), false, missing.io), 1);
  EXPECT_EQ(missing.err.str(), "luctool: " + dir.file("none.LUC") + ": File not found.\n");
  EXPECT_EQ(missing.out.str(), "");

  WriteWholeFile(dir.file("text.LUC"), std::string(400, 'x'));
  Captured invalid;
  EXPECT_EQ(PrintLucInfo(dir.file("text.LUC"), true, invalid.io), 1);
  EXPECT_NE(invalid.err.str().find("Invalid file or file error."), std::string::npos);

  // Corner fields that are no position on the earth: described, without a tile name.
  LUCFileV1 luc;
  std::string damaged = dir.file("damaged.LUC");
  ASSERT_EQ(luc.CreateFile(40.0, -105.0, 200, 200, damaged, 0, 41), 0);
  std::string bytes = ReadWholeFile(damaged);
  const double farAway = 1e300;
  std::memcpy(bytes.data() + 108, &farAway, sizeof farAway);
  WriteWholeFile(damaged, bytes);
  Captured odd;
  EXPECT_EQ(PrintLucInfo(damaged, true, odd.io), 0);
  EXPECT_NE(odd.out.str().find("\"tileName\":\"\""), std::string::npos);

  EXPECT_FALSE(LooksLikeLucFile(dir.file("text.LUC")));
  EXPECT_FALSE(LooksLikeLucFile(dir.file("none.LUC")));
  WriteWholeFile(dir.file("short"), "QMLULC");
  EXPECT_FALSE(LooksLikeLucFile(dir.file("short")));
  WriteWholeFile(dir.file("lower"), "qmlulc 1.0 and more");
  EXPECT_TRUE(LooksLikeLucFile(dir.file("lower")));
}

// The PNG as cairo reads it back, in RGBA.
RgbaImage ReadPng(const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  RgbaImage image(0, 0);
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    image = RgbaImage(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        uint32_t argb = 0;
        std::memcpy(&argb, data + y * cairo_image_surface_get_stride(surface) + 4 * x, 4);
        // Opaque pixels only in these images: no unpremultiplying needed.
        image.Set(x, y, {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)});
      }
    }
  }
  cairo_surface_destroy(surface);
  return image;
}

int RunCli(std::vector<const char*> args, Captured& c) {
  return RunLuctool(static_cast<int>(args.size()), args.data(), c.out, c.err);
}

constexpr Rgba kWhite{255, 255, 255, 255};

// The tile as RenderTile sees it.
TileView ViewOf(LUCFileV1& luc, const std::string& heading) {
  return {luc.DataRows(), luc.DataColumns(), luc.GridCells(), heading, luc.UTMZone(),
          static_cast<double>(luc.MinEasting()), static_cast<double>(luc.MaxNorthing()),
          static_cast<double>(luc.XResolution()), static_cast<double>(luc.YResolution())};
}

TEST(LuctoolRender, DrawsTheTileWithGraticuleScaleBarAndLegend) {
  TempDir dir;
  const std::string tile = MakeForestTile(dir);
  const std::string png = dir.file("tile.png");
  Captured c;
  ASSERT_EQ(RunCli({"luctool", "render", tile.c_str(), "-o", png.c_str()}, c), 0) << c.err.str();
  EXPECT_NE(c.out.str().find("3 codes"), std::string::npos) << c.out.str();

  LUCFileV1 luc;
  luc.SetFileName(tile);
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  const RenderedTile r = RenderTile(ViewOf(luc, "L10540NW.LUC"), RenderOptions{}, LULCCodeDescription);
  const RgbaImage written = ReadPng(png);
  ASSERT_EQ(written.width, r.image.width);
  ASSERT_EQ(written.height, r.image.height);
  EXPECT_EQ(written.pixels, r.image.pixels);
  // A 200 m tile is drawn one pixel per cell.
  EXPECT_EQ(r.mapWidth, luc.DataColumns());
  auto mapAt = [&](int column, int row) { return written.At(r.mapX + column, r.mapY + row); };
  EXPECT_EQ(mapAt(0, 0), kWhite);  // the north-west grid point is padding
  EXPECT_EQ(mapAt(luc.DataColumns() / 2, luc.DataRows() / 2), CodeColour(41));
  EXPECT_EQ(mapAt(205, 300), CodeColour(52));
  // A one-degree tile: ticks every 15 minutes, a scale bar of whole kilometres.
  EXPECT_GE(r.latitudeTicks, 4);
  EXPECT_GE(r.longitudeTicks, 3);
  EXPECT_EQ(r.scaleKilometres, 20);
  EXPECT_EQ(r.legendCodes, (std::vector<int32_t>{0, 41, 52}));
}

TEST(LuctoolRender, RefusesMissingTilesCtgSourcesAndBadUsage) {
  TempDir dir;
  const std::string png = dir.file("tile.png");
  Captured missing;
  const std::string tile = dir.file("none.LUC");
  EXPECT_EQ(RunCli({"luctool", "render", tile.c_str(), "-o", png.c_str()}, missing), 1);
  EXPECT_EQ(missing.err.str(), "luctool: " + tile + ": File not found.\n");

  const std::string source = dir.file("quad.ctg");
  Captured synth, ctg;
  ASSERT_EQ(RunCli({"luctool", "synth", "--south", "44", "--west", "-72", "--height", "0.1", "--width", "0.1", "-o",
                    source.c_str()}, synth), 0);
  EXPECT_EQ(RunCli({"luctool", "render", source.c_str(), "-o", png.c_str()}, ctg), 1);
  EXPECT_EQ(ctg.err.str(), "luctool: " + source + ": a CTG source, not a LUC tile; convert it into tiles first, "
                           "for example:\n  ctgtilbo /AUTO /SOURCE=" + source + " /DEST=tiles/ /LOG=convert.log\n");

  Captured noOutput;
  EXPECT_NE(RunCli({"luctool", "render", tile.c_str()}, noOutput), 0);
  EXPECT_FALSE(std::filesystem::exists(png));
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
        const double distance = std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
        EXPECT_GE(distance, 12) << a << " and " << b;
      }
    }
  }
}

TEST(TileRenderer, LargeGridsAreSampledSmallOnesEnlarged) {
  auto describe = [](int32_t code) { return "code " + std::to_string(code); };
  std::vector<int16_t> large(static_cast<std::size_t>(1500) * 2000, 41);
  const std::size_t tenRows = static_cast<std::size_t>(10) * 2000;
  std::fill(large.end() - tenRows, large.end(), 52);  // south
  const RenderedTile big =
      RenderTile({1500, 2000, large, "big", 13, 400000, 4500000, 30, 30}, RenderOptions{}, describe);
  EXPECT_EQ(big.mapWidth, 1024);
  EXPECT_EQ(big.mapHeight, 768);
  EXPECT_EQ(big.legendCodes, (std::vector<int32_t>{41, 52}));
  EXPECT_EQ(big.image.At(big.mapX + 1023, big.mapY + 767), CodeColour(52));
  EXPECT_EQ(big.scaleKilometres, 20);  // a third of 60 km

  std::vector<int16_t> small(static_cast<std::size_t>(80) * 100, 21);
  const RenderedTile tiny =
      RenderTile({80, 100, small, "small", 13, 400000, 4500000, 200, 200}, RenderOptions{}, describe);
  EXPECT_EQ(tiny.mapWidth, 200);
  EXPECT_EQ(tiny.mapHeight, 160);
  EXPECT_EQ(tiny.image.At(tiny.mapX + 199, tiny.mapY + 159), CodeColour(21));

  EXPECT_THROW(RenderTile({80, 99, small, "wrong", 13, 400000, 4500000, 200, 200}, RenderOptions{}, describe),
               std::invalid_argument);
  EXPECT_THROW(RenderTile({80, 100, small, "flat", 13, 400000, 4500000, 0, 200}, RenderOptions{}, describe),
               std::invalid_argument);
  const auto png = EncodePng(tiny.image);
  ASSERT_TRUE(png.has_value());
  EXPECT_EQ(std::string(png->begin(), png->begin() + 4), "\x89PNG");
}

}  // namespace
}  // namespace tilbo::luctool
