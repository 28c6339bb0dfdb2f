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

// A tile whose header has MaxNorthing 4430000, MinEasting 400400, 10 rows of
// 500 columns and 200 m resolutions, SE corner 40 N 105 W in zone 13.
class LUCCoordinates : public ::testing::TestWithParam<int32_t> {
 protected:
  void Open(const LucFileRecipe& recipe = LucFileRecipe{}) {
    luc_.SetOpenMode(LUCFileV1::kClosed);
    WriteWholeFile(dir_.file("tile.LUC"), MakeLucBytes(recipe));
    luc_.SetFileName(dir_.file("tile.LUC"));
    luc_.SetOpenMode(GetParam());
    ASSERT_EQ(luc_.LastError(), LUCFileV1::kNoError);
  }
  TempDir dir_;
  LUCFileV1 luc_;
};

TEST_P(LUCCoordinates, UtmPositionsSnapToTheNearestGridPointTiesToEven) {
  Open();
  const struct {
    double north, east;
    int32_t row, column;
  } cases[] = {
      {4429901, 400401, 0, 0},    {4430101, 400299, -1, -1},
      {4429700, 400500, 2, 0},    // 1.5 rows -> 2, 0.5 columns -> 0
      {4428000, 500300, 10, 500},  // south and east of the grid
  };
  for (const auto& c : cases) {
    int32_t row = 99, column = 99;
    luc_.ConUTMFile(c.north, c.east, row, column);
    EXPECT_EQ(std::pair(row, column), std::pair(c.row, c.column)) << c.north << " " << c.east;
  }
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
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

  // Geographic positions go through the tile's zone, even a point of zone 12.
  double north = 0, east = 0;
  luc_.ConLatLonUTM(40.0, -108.5, north, east);
  const UtmPoint utm = GeographicToUtm(40.0, -108.5, 13);
  EXPECT_EQ(std::pair(north, east), std::pair(utm.northing, utm.easting));
}

TEST_P(LUCCoordinates, InFileTestsTheOneDegreeCellInEveryCoordinateMode) {
  Open();
  const UtmPoint west = GeographicToUtm(40.5, -106.001, 13);
  const struct {
    int32_t mode;
    double x, y;
    bool inside;
    double xAfter, yAfter;  // only grid coordinates are handed back changed
  } cases[] = {
      {LUCFileV1::kGeographicCoordinates, -105.0, 40.0, true, -105.0, 40.0},  // south-east corner
      {LUCFileV1::kGeographicCoordinates, -106.0, 40.5, false, -106.0, 40.5},  // west edge
      // Grid: the caller's column and row become the point's easting and northing.
      {LUCFileV1::kGridCoordinates, 3, 4, false, 401000, 4429200},  // 99 km west: beyond 106 W
      {LUCFileV1::kGridCoordinates, 100, 4, true, 420400, 4429200},  // 80 km west: inside
      {LUCFileV1::kUtmCoordinates, west.easting, west.northing, false, west.easting, west.northing},
  };
  for (const auto& c : cases) {
    luc_.SetCoordinateMode(c.mode);
    double x = c.x, y = c.y;
    EXPECT_EQ(luc_.InFile(x, y), c.inside) << c.x << " " << c.y;
    EXPECT_EQ(std::pair(x, y), std::pair(c.xAfter, c.yAfter));
  }
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
  EXPECT_TRUE(luc_.InCell(40.0, -105.0));
  EXPECT_FALSE(luc_.InCell(40.5, -106.0));
}

TEST_P(LUCCoordinates, ConversionsWithoutValidResultThrowAndCellsReportError11) {
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
  Open();  // results beyond 32 bits fail as well
  EXPECT_THROW(luc_.ConUTMFile(1e12, 400401, row, column), LucArithmeticError);
  EXPECT_THROW(luc_.ConUTMFile(4429901, NAN, row, column), LucArithmeticError);
}

INSTANTIATE_TEST_SUITE_P(BothIoModes, LUCCoordinates,
                         ::testing::Values(LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo));

TEST(LUCCoordinateModel, ModeNeedsNoOpenFile) {
  LUCFileV1 luc;
  EXPECT_EQ(luc.CoordinateMode(), LUCFileV1::kGridCoordinates);
  const struct {
    int32_t mode, error, modeAfter;
  } steps[] = {{2, LUCFileV1::kNoError, 2}, {3, LUCFileV1::kBadCoordinateMode, 2},
               {-1, LUCFileV1::kBadCoordinateMode, 2}, {0, LUCFileV1::kNoError, 0}};
  for (const auto& s : steps) {
    luc.SetCoordinateMode(s.mode);
    EXPECT_EQ(std::pair(luc.LastError(), luc.CoordinateMode()), std::pair(s.error, s.modeAfter));
  }

  // Closed: the zone reads as 0, so the point is converted in its own zone;
  // the resolutions read as 0, so the grid conversions fail.
  double north = 0, east = 0, x = -105.0, y = 40.0;
  luc.ConLatLonUTM(40.0, -105.0, north, east);
  EXPECT_NEAR(east, 500000.0, 1e-6);
  int32_t row = 0, column = 0;
  EXPECT_THROW(luc.ConUTMFile(4429901, 400401, row, column), LucArithmeticError);
  EXPECT_FALSE(luc.InFile(x, y));
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotOpen);
  EXPECT_FALSE(luc.InCell(40.0, -105.0));
}

}  // namespace
}  // namespace tilbo
