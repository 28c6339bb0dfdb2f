#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "coords/UtmCon.h"
#include "luc/LUCFileV1.h"
#include "luc/LucTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::LucFileRecipe;
using testing::MakeLucBytes;
using testing::TempDir;
using testing::WriteWholeFile;

// A tile whose header has MaxNorthing 4430000, MaxEasting 500200, 500 columns
// and 200 m resolutions, SE corner 40 N 105 W in zone 13.
class LUCCoordinates : public ::testing::TestWithParam<int32_t> {
 protected:
  void Open(const LucFileRecipe& recipe = LucFileRecipe{}) {
    path_ = dir_.file("tile.LUC");
    WriteWholeFile(path_, MakeLucBytes(recipe));
    luc_.SetFileName(path_);
    luc_.SetOpenMode(GetParam());
    ASSERT_EQ(luc_.LastError(), LUCFileV1::kNoError);
  }
  TempDir dir_;
  std::string path_;
  LUCFileV1 luc_;
};

TEST_P(LUCCoordinates, UtmPositionsSnapToTheNearestGridPointTiesToEven) {
  Open();
  int32_t row = 99, column = 99;
  luc_.ConUTMFile(4429901, 400401, row, column);
  EXPECT_EQ(row, 0);
  EXPECT_EQ(column, 0);
  luc_.ConUTMFile(4430101, 400299, row, column);
  EXPECT_EQ(row, -1);
  EXPECT_EQ(column, -1);
  luc_.ConUTMFile(4429700, 400500, row, column);  // 22148.5 -> 22148, 2002.5 -> 2002
  EXPECT_EQ(row, 2);
  EXPECT_EQ(column, 0);
  luc_.ConUTMFile(4428000, 500300, row, column);  // south and east of the grid
  EXPECT_EQ(row, 10);
  EXPECT_EQ(column, 500);
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
}

TEST_P(LUCCoordinates, GeographicPositionsGoThroughTheTilesZone) {
  Open();
  const UtmPoint utm = GeographicToUtm(40.0, -106.0, 13);
  double north = 0, east = 0;
  luc_.ConLatLonUTM(40.0, -106.0, north, east);
  EXPECT_EQ(north, utm.northing);
  EXPECT_EQ(east, utm.easting);
  // A point of zone 12 is still converted in zone 13.
  luc_.ConLatLonUTM(40.0, -108.5, north, east);
  EXPECT_EQ(east, GeographicToUtm(40.0, -108.5, 13).easting);

  // The grid point at row 3, column 7, and a position 60 m from it.
  const GeoPoint p = UtmToGeographic(13, 400400 + 7 * 200 + 60, 4430000 - 3 * 200 - 60);
  int32_t row = 0, column = 0;
  luc_.ConLatLonFile(p.latitude, p.longitude, row, column);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(column, 7);
}

TEST_P(LUCCoordinates, CellValuesAddressedInEveryCoordinateMode) {
  Open();
  luc_.SetCoordinateMode(LUCFileV1::kUtmCoordinates);
  luc_.SetLULCValue(400401 + 200, 4429901 - 400, 42);  // row 2, column 1
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
  luc_.SetCoordinateMode(LUCFileV1::kGridCoordinates);
  EXPECT_EQ(luc_.LULCValue(1, 2), 42);
  const GeoPoint p = UtmToGeographic(13, 400600, 4429600);
  luc_.SetCoordinateMode(LUCFileV1::kGeographicCoordinates);
  EXPECT_EQ(luc_.LULCValue(p.longitude, p.latitude), 42);
  // The fast path stores like UTM coordinates do.
  luc_.SetLULCValueAtUtm(4429600, 400600 + 200, 43);
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
  luc_.SetCoordinateMode(LUCFileV1::kGridCoordinates);
  EXPECT_EQ(luc_.LULCValue(2, 2), 43);
  luc_.SetLULCValueAtUtm(4430101, 400299, 44);
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kUnknownError);
}

TEST_P(LUCCoordinates, InFileTestsTheOneDegreeCell) {
  Open();
  luc_.SetCoordinateMode(LUCFileV1::kGeographicCoordinates);
  struct Case {
    double x, y;
    bool inside;
  };
  const Case cases[] = {{-105.0, 40.0, true},  // south-east corner
                        {-106.0, 40.5, false},  // west edge
                        {-105.5, 41.0, false},  // north edge
                        {-105.5, 40.0, true},   // south edge
                        {-105.000001, 40.999999, true},
                        {-104.999999, 40.5, false}};
  for (const auto& c : cases) {
    double x = c.x, y = c.y;
    EXPECT_EQ(luc_.InFile(x, y), c.inside) << c.x << " " << c.y;
    EXPECT_EQ(luc_.InCell(c.y, c.x), c.inside);
  }

  // Grid coordinates: the caller's X and Y become the point's easting and northing.
  luc_.SetCoordinateMode(LUCFileV1::kGridCoordinates);
  double x = 3, y = 4;
  const bool inside = luc_.InFile(x, y);
  EXPECT_EQ(x, 400400 + 600);
  EXPECT_EQ(y, 4429200);
  const GeoPoint p = UtmToGeographic(13, x, y);
  EXPECT_EQ(inside, luc_.InCell(p.latitude, p.longitude));
  EXPECT_FALSE(inside);  // 99 km west of the meridian at 40 N: beyond 106 W
  x = 100;
  y = 4;
  EXPECT_TRUE(luc_.InFile(x, y));  // 80 km west: inside

  luc_.SetCoordinateMode(LUCFileV1::kUtmCoordinates);
  const UtmPoint west = GeographicToUtm(40.5, -106.001, 13);
  double e = west.easting, n = west.northing;
  EXPECT_FALSE(luc_.InFile(e, n));
  EXPECT_EQ(e, west.easting);  // only grid coordinates are handed back
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
}

TEST_P(LUCCoordinates, ZeroResolutionFailsTheConversions) {
  LucFileRecipe recipe;
  recipe.xResolution = 0;
  Open(recipe);
  int32_t row = 0, column = 0;
  EXPECT_THROW(luc_.ConUTMFile(4429901, 400401, row, column), LucArithmeticError);
  EXPECT_THROW(luc_.ConLatLonFile(40.5, -105.5, row, column), LucArithmeticError);
  for (int32_t mode : {LUCFileV1::kUtmCoordinates, LUCFileV1::kGeographicCoordinates}) {
    luc_.SetCoordinateMode(mode);
    EXPECT_EQ(luc_.LULCValue(400401, 4429901), 0);
    EXPECT_EQ(luc_.LastError(), LUCFileV1::kUnknownError);
  }
  // Results beyond 32 bits fail as well.
  LUCFileV1 other;
  LucFileRecipe fine;
  WriteWholeFile(dir_.file("fine.LUC"), MakeLucBytes(fine));
  other.SetFileName(dir_.file("fine.LUC"));
  other.SetOpenMode(GetParam());
  EXPECT_THROW(other.ConUTMFile(1e12, 400401, row, column), LucArithmeticError);
  EXPECT_THROW(other.ConUTMFile(4429901, NAN, row, column), LucArithmeticError);
}

INSTANTIATE_TEST_SUITE_P(BothIoModes, LUCCoordinates,
                         ::testing::Values(LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo));

TEST(LUCCoordinateModel, ModeAndStepCacheNeedNoOpenFile) {
  LUCFileV1 luc;
  luc.SetCoordinateMode(2);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_EQ(luc.CoordinateMode(), 2);
  luc.SetCoordinateMode(3);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadCoordinateMode);
  EXPECT_EQ(luc.CoordinateMode(), 2);
  luc.SetCoordinateMode(-1);
  EXPECT_EQ(luc.CoordinateMode(), 2);

  int32_t row = 17, column = -4;
  luc.CreateCLLFUSStep(40.0, -105.0);
  luc.ConLatLonFileUseStep(40.5, -105.5, row, column);
  luc.ClearCLLFUSStep();
  EXPECT_EQ(row, 17);
  EXPECT_EQ(column, -4);

  // Closed: the zone reads as 0, so the point is converted in its own zone;
  // the resolutions read as 0, so the grid conversions fail.
  double north = 0, east = 0;
  luc.ConLatLonUTM(40.0, -105.0, north, east);
  EXPECT_NEAR(east, 500000.0, 1e-6);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotOpen);
  EXPECT_THROW(luc.ConUTMFile(4429901, 400401, row, column), LucArithmeticError);
  double x = -105.0, y = 40.0;
  EXPECT_FALSE(luc.InFile(x, y));
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotOpen);
  EXPECT_FALSE(luc.InCell(40.0, -105.0));
}

}  // namespace
}  // namespace tilbo
