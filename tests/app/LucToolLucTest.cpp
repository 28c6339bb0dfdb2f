// luctool's LUC side: `info` for tiles (PrintLucInfo) and `render`.

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "luc/LUCFileV1.h"
#include "luc/LULCShared.h"
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
  EXPECT_NE(text.find("UTM zone         13\n"), std::string::npos);
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
  EXPECT_NE(json.find("\"utmZone\":13"), std::string::npos);
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

struct DecodedPng {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  Rgba At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
  }
};

DecodedPng DecodePng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  DecodedPng decoded;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return decoded;
  image.format = PNG_FORMAT_RGBA;
  decoded.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr)) return {};
  decoded.width = static_cast<int>(image.width);
  decoded.height = static_cast<int>(image.height);
  return decoded;
}

int RunCli(std::vector<const char*> args, Captured& c) {
  return RunLuctool(static_cast<int>(args.size()), args.data(), c.out, c.err);
}

TEST(LuctoolRender, DrawsTheTileWithTransparentPaddingAndALegend) {
  TempDir dir;
  const std::string tile = MakeForestTile(dir);
  const std::string png = dir.file("tile.png");
  Captured c;
  ASSERT_EQ(RunCli({"luctool", "render", tile.c_str(), "-o", png.c_str()}, c), 0) << c.err.str();
  EXPECT_NE(c.out.str().find("3 codes"), std::string::npos) << c.out.str();

  LUCFileV1 luc;
  luc.SetFileName(tile);
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  const int rows = luc.DataRows(), columns = luc.DataColumns();
  const DecodedPng image = DecodePng(png);
  ASSERT_GT(image.width, columns);  // a 200 m tile is drawn one pixel per cell, legend beside
  ASSERT_GE(image.height, rows);
  EXPECT_EQ(image.At(0, 0).a, 0);  // the north-west grid point is padding
  EXPECT_EQ(image.At(columns / 2, rows / 2), CodeColour(41));
  EXPECT_EQ(image.At(205, 300), CodeColour(52));
  EXPECT_EQ(image.At(211, 300), CodeColour(0));
  EXPECT_EQ(image.At(columns + 20, 4).a, 255);  // the legend panel is opaque
  EXPECT_FALSE(std::filesystem::exists(dir.file("L10540NW.LUC.png")));
}

TEST(LuctoolRender, RefusesMissingTilesAndBadUsage) {
  TempDir dir;
  const std::string png = dir.file("tile.png");
  Captured missing;
  const std::string tile = dir.file("none.LUC");
  EXPECT_EQ(RunCli({"luctool", "render", tile.c_str(), "-o", png.c_str()}, missing), 1);
  EXPECT_EQ(missing.err.str(), "luctool: " + tile + ": File not found.\n");
  EXPECT_FALSE(std::filesystem::exists(png));

  Captured noOutput;
  EXPECT_NE(RunCli({"luctool", "render", tile.c_str()}, noOutput), 0);
  EXPECT_FALSE(std::filesystem::exists(png));
}

TEST(TileRenderer, ColoursByClassWithShadesPaddingTransparent) {
  EXPECT_EQ(CodeColour(kPaddingValue).a, 0);
  const Rgba undefined = CodeColour(0);
  EXPECT_GT(undefined.a, 0);
  EXPECT_LT(undefined.a, 255);
  EXPECT_EQ(undefined.r, undefined.g);  // a neutral grey
  EXPECT_EQ(CodeColour(103), CodeColour(-5));
  // Every code of the table has its own opaque colour.
  const int codes[] = {10, 11, 12, 13, 14, 15, 16, 17, 20, 21, 22, 23, 24, 30, 31, 32,
                       33, 40, 41, 42, 43, 50, 51, 52, 53, 54, 60, 61, 62, 70, 71, 72,
                       73, 74, 75, 76, 77, 80, 81, 82, 83, 84, 85, 90, 91, 92, 100, 101, 102};
  for (int a : codes) {
    EXPECT_EQ(CodeColour(a).a, 255) << a;
    for (int b : codes) {
      if (a < b) {
        EXPECT_NE(CodeColour(a), CodeColour(b)) << a << " " << b;
      }
    }
  }
  // Forest is green, water blue.
  EXPECT_GT(CodeColour(41).g, CodeColour(41).r);
  EXPECT_GT(CodeColour(52).b, CodeColour(52).r);
}

TEST(TileRenderer, LargeGridsAreSampledSmallOnesEnlarged) {
  auto describe = [](int32_t code) { return "code " + std::to_string(code); };
  std::vector<int16_t> large(static_cast<std::size_t>(1500) * 2000, 41);
  const std::size_t tenRows = static_cast<std::size_t>(10) * 2000;
  std::fill(large.begin(), large.begin() + tenRows, kPaddingValue);  // north
  std::fill(large.end() - tenRows, large.end(), 52);                 // south
  const RenderedTile big = RenderTile({1500, 2000, large, "big"}, RenderOptions{}, describe);
  EXPECT_EQ(big.mapWidth, 1024);
  EXPECT_EQ(big.mapHeight, 768);
  EXPECT_EQ(big.legendCodes, (std::vector<int32_t>{41, 52}));
  EXPECT_EQ(big.image.At(0, 0).a, 0);
  EXPECT_EQ(big.image.At(1023, 767), CodeColour(52));

  std::vector<int16_t> small(static_cast<std::size_t>(80) * 100, 21);
  const RenderedTile tiny = RenderTile({80, 100, small, "small"}, RenderOptions{}, describe);
  EXPECT_EQ(tiny.mapWidth, 200);
  EXPECT_EQ(tiny.mapHeight, 160);
  EXPECT_EQ(tiny.image.At(199, 159), CodeColour(21));

  EXPECT_THROW(RenderTile({80, 99, small, "wrong"}, RenderOptions{}, describe),
               std::invalid_argument);
  const auto png = EncodePng(tiny.image);
  ASSERT_TRUE(png.has_value());
  EXPECT_EQ(std::string(png->begin(), png->begin() + 4), "\x89PNG");
}

}  // namespace
}  // namespace tilbo::luctool
