// luctool on LUC tiles: `info` and `render` of a tile, the refusals of every
// tile command, the palette and the renderer's layout, and the VRT and
// GeoTIFF of real tiles as GDAL reads them.

#include <gdal_priv.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "ctg/LULCCodes.h"
#include "luc/LUCFileV1.h"
#include "luc/LucTestFiles.h"
#include "luc/TileName.h"
#include "luctool/TileRenderer.h"
#include "support/LuctoolRun.h"
#include "support/SuiteEnvironment.h"

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
  // The PNG as GDAL reads it: the drawing, byte for byte.
  GDALAllRegister();
  GDALDatasetUniquePtr written(GDALDataset::Open(png.c_str(), GDAL_OF_RASTER));
  ASSERT_TRUE(written);
  ASSERT_EQ(std::pair(written->GetRasterXSize(), written->GetRasterYSize()), std::pair(r.image.width, r.image.height));
  std::vector<uint8_t> read(r.image.pixels.size(), 255);  // red, green, blue into opaque pixels
  ASSERT_EQ(written->RasterIO(GF_Read, 0, 0, r.image.width, r.image.height, read.data(), r.image.width,
                              r.image.height, GDT_Byte, 3, nullptr, 4, 4 * r.image.width, 1, nullptr),
            CE_None);
  EXPECT_TRUE(read == r.image.pixels);  // half a million bytes: no printing
  // One pixel per cell of a 200 m tile.
  EXPECT_EQ(r.image.At(r.mapX, r.mapY), (Rgba{255, 255, 255, 255}));  // the north-west grid point is padding
  EXPECT_EQ(r.image.At(r.mapX + 213, r.mapY + 279), CodeColour(41));
  EXPECT_EQ(r.image.At(r.mapX + 205, r.mapY + 300), CodeColour(52));
}

// Each tile command names the file and why it cannot use it, and writes nothing.
TEST(LuctoolTileCommands, RefusalsNameTheFileAndTheReason) {
  TempDir dir;
  const std::string missing = dir.file("none.LUC"), zone0 = dir.file("zone0.LUC");
  const std::string ctg = std::string(TILBO_TEST_DATA_DIR) + "/fake_grid_cell";
  LucFileRecipe recipe;
  recipe.zone = 0;
  WriteWholeFile(zone0, MakeLucBytes(recipe));
  const std::string out = dir.file("out");
  const std::string noZone = ": UTM zone 0 is not a zone from 1 to 60\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"render", missing, "-o", out}, missing + ": File not found.\n"},
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
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(LandUsePalette, CodesOfOneClassAreToldApart) {
  // The published colours where the legend has the class.
  EXPECT_EQ(CodeColour(41), (Rgba{0x68, 0xAB, 0x5F, 255}));
  EXPECT_EQ(CodeColour(42), (Rgba{0x1C, 0x5F, 0x2C, 255}));
  EXPECT_EQ(CodeColour(kPaddingValue).a, 0);
  EXPECT_GT(CodeColour(0).a, 0);
  EXPECT_LT(CodeColour(0).a, 255);
  EXPECT_EQ(CodeColour(103), CodeColour(-5));
  // Within each first-level class (10 urban ... 90 snow or ice) every pair
  // of codes differs clearly on screen.
  for (int a = 10; a <= 102; ++a) {
    for (int b = a + 1; b <= std::min(a / 10 * 10 + 9, 102); ++b) {
      if (LULCCodeDescription(a) == "Unidentified Code" || LULCCodeDescription(b) == "Unidentified Code") continue;
      const Rgba ca = CodeColour(a), cb = CodeColour(b);
      EXPECT_GE(std::hypot(ca.r - cb.r, ca.g - cb.g, ca.b - cb.b), 25) << a << " and " << b;
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

// georef and export checked by GDAL itself, on the tiles of the real
// LEWISTON conversion: the VRT and the GeoTIFF place every cell where the
// tile's grid puts it, in the tile's zone, with the palette and code names.
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
      const Rgba expected = CodeColour(42);
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
}  // namespace tilbo::luctool
