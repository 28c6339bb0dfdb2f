#include "luc/TileName.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

TEST(TileName, NamesTheCellBySouthEastCornerAndReadsTheCornerBack) {
  // Any point of the cell gives its name; on the axes the letters are SE, so
  // the corner read back is then the position's own, east.
  const struct {
    double latitude, longitude;
    const char* name;
    std::pair<double, double> corner;
  } cases[] = {
      {40.0, -105.0, "L10540NW.LUC", {40, -105}}, {40.7, -104.2, "L10440NW.LUC", {40, -104}},
      {5.5, 8.2, "L00905NE.LUC", {5, 9}},         {-34.0, 152.0, "L15234SE.LUC", {-34, 152}},
      {-33.5, -70.2, "L07034SW.LUC", {-34, -70}}, {40.0, 0.0, "L00040SE.LUC", {-40, 0}},
      {0.0, -105.0, "L10500SE.LUC", {0, 105}},    {0.0, 0.0, "L00000SE.LUC", {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LUCTileName(c.latitude, c.longitude), c.name);
    EXPECT_EQ(CornerFromTileName(c.name), c.corner) << c.name;
  }
  for (const char* name : {"L10540NW.luc", "l10540NW.LUC", "L10540NW.LUCX", "L1054NW.LUC", "L10A40NW.LUC",
                           "L10540XW.LUC", "L10540NX.LUC"}) {
    EXPECT_FALSE(CornerFromTileName(name)) << name;
  }
}

// Within range the names above pin floor and ceiling; beyond 16 bits they throw.
TEST(WholeDegrees, BeyondSixteenBitsThrow) {
  EXPECT_THROW(FloorInt(40000.0), std::overflow_error);
  EXPECT_THROW(CeilingInt(-40000.5), std::overflow_error);
}

}  // namespace
}  // namespace tilbo
