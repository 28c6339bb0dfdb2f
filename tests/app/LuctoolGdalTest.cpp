// luctool georef and export checked by GDAL itself, on the tiles of the real
// LEWISTON conversion: the VRT and the GeoTIFF place every cell where the
// tile's grid puts it, in the tile's zone, with the palette and code names.

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <array>

#include "luc/LUCFileV1.h"
#include "luc/TileName.h"
#include "luctool/LandUsePalette.h"
#include "support/LuctoolRun.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;

TEST(LuctoolGdal, VrtAndGeoTiffOfTheLewistonTilesReadAsTheTiles) {
  TempDir dir;
  {
    // The file as USGS ships it: the program reads through the gzip stream.
    SuiteEnvironment env;
    ASSERT_EQ(std::system((std::string("'") + TILBO_BINARY_DIR + "/ctgtilbo' /AUTO '/SOURCE=" + TILBO_TEST_DATA_DIR +
                           "/LEWISTON_grid_cell.gz' '/DEST=" + dir.dir() + "' '/LOG=" + dir.file("log.txt") + "'")
                              .c_str()),
              0);
  }
  GDALAllRegister();
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
    ASSERT_EQ(luc.LastError(), LUCFileV1::kNoError);
    // Grid points are cell centres: the raster's corner lies half a cell outside them.
    const double res = luc.XResolution();
    const std::array<double, 6> corner{luc.MinEasting() - res / 2, res, 0, luc.MaxNorthing() + res / 2, 0, -res};
    for (const std::string& path : {tile + ".vrt", tile + ".tif"}) {
      SCOPED_TRACE(path);
      GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
      ASSERT_TRUE(ds);
      EXPECT_STREQ(ds->GetSpatialRef()->GetAuthorityCode(nullptr), "32619");
      std::array<double, 6> gt{};
      ASSERT_EQ(ds->GetGeoTransform(gt.data()), CE_None);
      EXPECT_EQ(gt, corner);
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

      const int rows = luc.DataRows(), columns = luc.DataColumns();
      ASSERT_EQ(ds->GetRasterXSize(), columns);
      ASSERT_EQ(ds->GetRasterYSize(), rows);
      std::vector<int16_t> read(static_cast<std::size_t>(rows) * columns);
      ASSERT_EQ(band->RasterIO(GF_Read, 0, 0, columns, rows, read.data(), columns, rows, GDT_Int16, 0, 0, nullptr),
                CE_None);
      EXPECT_TRUE(std::ranges::equal(read, luc.GridCells()));  // a hundred thousand cells: no printing
    }
  }
}

}  // namespace
}  // namespace tilbo
