// luctool import on small NLCD-like (Albers on NAD 83) and WorldCover-like
// (geographic WGS 84) rasters made here, whose class at any point is a closed
// form. Every grid point of the tiles is checked against codes computed here
// independently: source cell centres (or grid points) transformed exactly by
// OSR, the mode counted by the test.

#include <gdal_priv.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>

#include "luc/LUCFileV1.h"
#include "luc/TileName.h"
#include "support/LuctoolRun.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::HasSubstr;

constexpr int kNoData = 0;

struct Raster {
  int epsg;
  double west, north, cell;  // in the raster's CRS units
  int columns, rows;
  std::vector<int> classes;  // the pattern cycles through them
  double blockX, blockY;     // pattern blocks, CRS units
  std::map<int, int16_t> lulc;  // the test's own class table (classes not in it are unmapped)

  // The class at a position: blocks cycling through the classes, with
  // no-data holes where both block numbers are multiples of 5.
  int ClassAt(double x, double y) const {
    const auto bx = static_cast<long>(std::floor(x / blockX));
    const auto by = static_cast<long>(std::floor(y / blockY));
    if (bx % 5 == 0 && by % 5 == 0) return kNoData;
    const long n = static_cast<long>(classes.size());
    return classes[static_cast<size_t>((((bx + 3 * by) % n) + n) % n)];
  }
  double X(double column) const { return west + column * cell; }
  double Y(double row) const { return north - row * cell; }

  void Write(const std::string& path) const {
    GDALAllRegister();
    GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("GTiff")->Create(path.c_str(), columns, rows, 1,
                                                                                     GDT_Int16, nullptr));
    OGRSpatialReference srs;
    srs.importFromEPSG(epsg);
    ds->SetSpatialRef(&srs);
    double gt[6] = {west, cell, 0, north, 0, -cell};
    ds->SetGeoTransform(gt);
    std::vector<int16_t> values;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) values.push_back(static_cast<int16_t>(ClassAt(X(c + 0.5), Y(r + 0.5))));
    }
    ds->GetRasterBand(1)->SetNoDataValue(kNoData);
    ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, columns, rows, values.data(), columns, rows, GDT_Int16,
                                             0, 0, nullptr),
              CE_None);
  }
};

std::unique_ptr<OGRCoordinateTransformation> Transformation(int fromEpsg, int toEpsg) {
  OGRSpatialReference from, to;
  from.importFromEPSG(fromEpsg);
  to.importFromEPSG(toEpsg);
  from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  to.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return std::unique_ptr<OGRCoordinateTransformation>(OGRCreateCoordinateTransformation(&from, &to));
}

// The codes the tile must hold: padding where CreateFile put it, else the mode
// of the votes (finer source) or the holding cell's code (coarser source).
std::vector<int16_t> ExpectedCodes(LUCFileV1& tile, const Raster& src, bool byMode) {
  const int utm = 32600 + tile.UTMZone();
  const double res = tile.XResolution();
  const double left = tile.MinEasting() - res / 2;
  const double top = tile.MaxNorthing() + res / 2;
  const int32_t rows = tile.DataRows();
  const int32_t cols = tile.DataColumns();
  std::vector<int16_t> expected(tile.GridCells().begin(), tile.GridCells().end());
  auto mapped = [&](int cls) { return cls == kNoData || src.lulc.count(cls) == 0 ? -1 : src.lulc.at(cls); };
  if (byMode) {
    std::vector<std::map<int16_t, int>> votes(expected.size());
    const auto toUtm = Transformation(src.epsg, utm);
    for (int r = 0; r < src.rows; ++r) {
      for (int c = 0; c < src.columns; ++c) {
        double x = src.X(c + 0.5), y = src.Y(r + 0.5);
        const int code = mapped(src.ClassAt(x, y));
        if (code < 0 || !toUtm->Transform(1, &x, &y)) continue;
        const double gc = std::floor((x - left) / res), gr = std::floor((top - y) / res);
        if (gc >= 0 && gc < cols && gr >= 0 && gr < rows) ++votes[size_t(gr * cols + gc)][int16_t(code)];
      }
    }
    for (size_t i = 0; i < expected.size(); ++i) {
      if (expected[i] == kPaddingValue) continue;
      int best = 0;  // std::map runs from the lowest code: ties keep it
      for (const auto& [code, count] : votes[i]) {
        if (count > best) best = count, expected[i] = code;
      }
    }
    return expected;
  }
  const auto toSource = Transformation(utm, src.epsg);
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t c = 0; c < cols; ++c) {
      int16_t& e = expected[size_t(r) * cols + c];
      double x = tile.MinEasting() + c * res, y = tile.MaxNorthing() - r * res;
      if (e == kPaddingValue || !toSource->Transform(1, &x, &y)) continue;
      const double sc = std::floor((x - src.west) / src.cell), sr = std::floor((src.north - y) / src.cell);
      if (sc < 0 || sc >= src.columns || sr < 0 || sr >= src.rows) continue;
      e = int16_t(std::max(0, mapped(src.ClassAt(src.X(sc + 0.5), src.Y(sr + 0.5)))));
    }
  }
  return expected;
}

// NLCD-like: 400 m cells over 44..45 N, 73..71 W (zones 18 and 19 meet at
// 72 W), class 13 unmapped.
const Raster kNlcd{5070, 1780000, 2710000, 400, 500, 400, {11, 21, 22, 41, 42, 43, 82, 90, 52, 71, 13},
                   1700, 2300, {{11, 50}, {21, 17}, {22, 11}, {41, 41}, {42, 42}, {43, 43}, {82, 21}, {90, 61},
                                {52, 32}, {71, 31}}};
// WorldCover-like: 0.004 degree cells just inside 34..33 S, 151..152 E, class 33
// unmapped.
const Raster kWorldCover{4326, 151.0005, -33.0005, 0.004, 249, 249, {10, 20, 30, 40, 50, 80, 90, 95, 33},
                         0.013, 0.017, {{10, 40}, {20, 32}, {30, 31}, {40, 21}, {50, 10}, {80, 50}, {90, 62}, {95, 61}}};

// Every grid point of the tiles made holds the code computed here.
TEST(LuctoolImport, EveryGridPointHoldsTheIndependentlyComputedCode) {
  const struct {
    const Raster& raster;
    const char* classes;
    std::vector<std::string> options;
    std::vector<std::string> tiles;  // made, in this order
    bool byMode;
    // The default interpolates positions within 0.001 cell, which may flip a
    // near-tie; --max-error 0 transforms every point exactly: no point may differ.
    bool exact;
  } cases[] = {
      // Both sides of the zone edge.
      {kNlcd, "nlcd", {"--cell", "800", "--bbox", "44.2", "-72.5", "44.8", "-71.5"}, {"L07244NW.LUC", "L07144NW.LUC"},
       true, false},
      {kWorldCover, "worldcover", {"--cell", "1000"}, {"L15234SE.LUC"}, true, true},
      {kWorldCover, "worldcover", {"--cell", "200"}, {"L15234SE.LUC"}, false, true},  // from coarser cells
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.classes + std::string(" ") + k.options[1]);
    TempDir dir;
    const std::string source = dir.file("source.tif");
    k.raster.Write(source);
    std::vector<std::string> args{"import", source, "--classes", k.classes, "--dest", dir.dir()};
    args.insert(args.end(), k.options.begin(), k.options.end());
    if (k.exact) args.insert(args.end(), {"--max-error", "0"});
    const LuctoolResult run = RunTool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("unmapped classes: " + std::to_string(k.raster.classes.back()) + " ("));
    for (const std::string& name : k.tiles) {
      SCOPED_TRACE(name);
      LUCFileV1 tile;
      tile.SetFileName(dir.file(name));
      tile.SetOpenMode(LUCFileV1::kMemoryIo);
      ASSERT_EQ(tile.LastError(), 0);
      const std::vector<int16_t> expected = ExpectedCodes(tile, k.raster, k.byMode);
      const std::span<const int16_t> got = tile.GridCells();
      size_t wrong = 0;
      for (size_t i = 0; i < expected.size(); ++i) wrong += got[i] != expected[i];
      EXPECT_LE(wrong, k.exact ? 0 : expected.size() / 500) << "of " << expected.size();
      EXPECT_THAT(tile.DataSource(), HasSubstr(k.byMode ? " via luctool, mode of " : " via luctool, cell at point, "));
      const auto filled = std::ranges::count_if(got, [](int16_t c) { return c != 0 && c != kPaddingValue; });
      EXPECT_THAT(run.out, HasSubstr(dir.file(name) + ": " + std::to_string(filled) + " cells filled, "));
    }
    EXPECT_EQ(std::ranges::count_if(std::filesystem::directory_iterator(dir.path()),
                                    [](const auto& e) { return e.path().extension() == ".LUC"; }),
              std::ssize(k.tiles));
  }
}

// Each failure names the file and the reason; a tile that exists is kept
// unless --overwrite.
TEST(LuctoolImportRefusal, FailuresNameTheFileAndTheReason) {
  TempDir dir;
  const std::string source = dir.file("source.tif"), tile = dir.file("L15234SE.LUC"), text = dir.file("text.tif");
  kWorldCover.Write(source);
  WriteWholeFile(text, "x\n");
  WriteWholeFile(tile, "kept");
  const struct {
    std::string source, classes, dest;
    int status;
    std::string err;
  } cases[] = {
      {dir.file("none.tif"), "worldcover", dir.dir(), 1, dir.file("none.tif") + ": no such file"},
      {text, "worldcover", dir.dir(), 1, text + ": GDAL cannot open it as a raster"},
      {source, dir.file("none.csv"), dir.dir(), 2,
       dir.file("none.csv") + ": cannot be opened (give nlcd, worldcover or a CSV of SOURCE_CLASS,LULC_CODE)"},
      {source, "worldcover", dir.file("none"), 1, dir.file("none") + "/: no such directory"},
      {source, "worldcover", dir.dir(), 1, "existing tiles left as they are (--overwrite replaces them): " + tile},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.err);
    const LuctoolResult r = RunTool({"import", k.source, "--classes", k.classes, "--cell", "1000", "--dest", k.dest});
    EXPECT_EQ(r.status, k.status);
    EXPECT_EQ(r.err, "luctool import: " + k.err + "\n");
  }
  EXPECT_EQ(ReadWholeFile(tile), "kept");
  const LuctoolResult replaced =
      RunTool({"import", source, "--classes", "worldcover", "--cell", "1000", "--dest", dir.dir(), "--overwrite"});
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_GT(std::filesystem::file_size(tile), 4u);
}

}  // namespace
}  // namespace tilbo
