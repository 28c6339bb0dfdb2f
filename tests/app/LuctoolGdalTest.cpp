// luctool georef and export checked by GDAL itself, on the tiles of the real
// LEWISTON conversion: at random points the VRT and the GeoTIFF hold the cell
// LULCValue reads in UTM coordinate mode, the reference system is the
// tile's zone, and GDAL's statistics agree with `luctool info`.

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <climits>
#include <cmath>
#include <map>
#include <random>
#include <regex>

#include "luc/LUCFileV1.h"
#include "luc/TileName.h"
#include "luctool/LandUsePalette.h"
#include "support/CTGTestFiles.h"
#include "support/LuctoolRun.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;

// Cells per code as `luctool info --json` counts them.
std::map<int, GUIntBig> InfoCounts(const std::string& tile) {
  const LuctoolResult info = RunTool({"info", "--json", tile});
  EXPECT_EQ(info.status, 0) << info.err;
  std::map<int, GUIntBig> counts;
  const std::regex code(R"re(\{"code":(-?\d+),"cells":(\d+))re");
  for (std::sregex_iterator m(info.out.begin(), info.out.end(), code), end; m != end; ++m) {
    counts[std::stoi((*m)[1])] = std::stoull((*m)[2]);
  }
  return counts;
}

// The cell GDAL reads at a position, found as gdallocationinfo -geoloc finds it.
int CellAt(GDALDataset& ds, double easting, double northing) {
  double gt[6];
  if (ds.GetGeoTransform(gt) != CE_None) return INT_MIN;
  const auto x = static_cast<int>(std::floor((easting - gt[0]) / gt[1]));
  const auto y = static_cast<int>(std::floor((northing - gt[3]) / gt[5]));
  int16_t value = 0;
  if (ds.GetRasterBand(1)->RasterIO(GF_Read, x, y, 1, 1, &value, 1, 1, GDT_Int16, 0, 0, nullptr) != CE_None) {
    return INT_MIN;
  }
  return value;
}

TEST(LuctoolGdal, VrtAndGeoTiffOfTheLewistonTilesReadAsTheTiles) {
  TempDir dir;
  {
    SuiteEnvironment env;
    const std::string source = GunzipSample(dir, "LEWISTON_grid_cell.gz");
    ASSERT_EQ(std::system((std::string("'") + TILBO_BINARY_DIR + "/ctgtilbo' /AUTO '/SOURCE=" + source + "' '/DEST=" +
                           dir.dir() + "' '/LOG=" + dir.file("log.txt") + "'").c_str()), 0);
  }
  for (const char* name : {"L07144NW.LUC", "L07044NW.LUC"}) {
    const std::string tile = dir.file(name);
    const LuctoolResult georef = RunTool({"georef", tile});
    EXPECT_EQ(georef.out, "Wrote " + tile + ".vrt (WGS 84 / UTM zone 19N, EPSG:32619)\n") << georef.err;
    const LuctoolResult exported = RunTool({"export", tile, "-o", tile + ".tif"});
    EXPECT_EQ(exported.out, "Wrote " + tile + ".tif and " + tile + ".tif.aux.xml (WGS 84 / UTM zone 19N, "
                            "EPSG:32619)\n") << exported.err;
    LUCFileV1 luc;
    luc.SetFileName(tile);
    luc.SetOpenMode(LUCFileV1::kMemoryIo);
    luc.SetCoordinateMode(LUCFileV1::kUtmCoordinates);
    const std::map<int, GUIntBig> counts = InfoCounts(tile);
    ASSERT_GT(counts.size(), 10u);
    GUIntBig cells = 0;
    double sum = 0;
    for (const auto& [code, n] : counts) {
      cells += n;
      sum += static_cast<double>(code) * n;
    }
    for (const std::string& path : {tile + ".vrt", tile + ".tif"}) {
      SCOPED_TRACE(path);
      GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
      ASSERT_TRUE(ds);
      EXPECT_STREQ(ds->GetSpatialRef()->GetAuthorityCode(nullptr), "32619");
      GDALRasterBand* band = ds->GetRasterBand(1);
      EXPECT_EQ(band->GetNoDataValue(), kPaddingValue);
      ASSERT_NE(band->GetColorTable(), nullptr);
      const GDALColorEntry* forest = band->GetColorTable()->GetColorEntry(42);
      const luctool::Rgba expected = luctool::CodeColour(42);
      EXPECT_EQ((std::array<short, 3>{forest->c1, forest->c2, forest->c3}),
                (std::array<short, 3>{expected.r, expected.g, expected.b}));
      char** names = band->GetCategoryNames();
      ASSERT_GT(CSLCount(names), 54);
      EXPECT_STREQ(names[41], "Forest Land: Deciduous");
      EXPECT_STREQ(names[54], "Water: Bays and Estuaries");

      std::mt19937 random(20261206);
      const double half = luc.XResolution() / 2.0;
      std::uniform_real_distribution<double> east(luc.MinEasting() - half, luc.MaxEasting() + half);
      std::uniform_real_distribution<double> north(luc.MinNorthing() - half, luc.MaxNorthing() + half);
      int coded = 0;
      for (int i = 0; i < 200; ++i) {
        const double e = east(random), n = north(random);
        const int code = luc.LULCValue(e, n);
        ASSERT_EQ(luc.LastError(), LUCFileV1::kNoError) << e << " E " << n << " N";
        coded += code != kPaddingValue;
        EXPECT_EQ(CellAt(*ds, e, n), code) << e << " E " << n << " N";
      }
      EXPECT_GT(coded, 150) << "the points should mostly fall on land-use codes";

      double min = 0, max = 0, mean = 0, deviation = 0;
      ASSERT_EQ(band->ComputeStatistics(FALSE, &min, &max, &mean, &deviation, nullptr, nullptr), CE_None);
      EXPECT_EQ(min, counts.begin()->first);
      EXPECT_EQ(max, counts.rbegin()->first);
      EXPECT_NEAR(mean, sum / cells, 1e-9);
      const int top = counts.rbegin()->first;
      std::vector<GUIntBig> histogram(top + 1);
      ASSERT_EQ(band->GetHistogram(-0.5, top + 0.5, top + 1, histogram.data(), FALSE, FALSE, nullptr, nullptr),
                CE_None);
      for (int code = 0; code <= top; ++code) {
        EXPECT_EQ(histogram[code], counts.contains(code) ? counts.at(code) : 0) << "code " << code;
      }
    }
  }
}

}  // namespace
}  // namespace tilbo
