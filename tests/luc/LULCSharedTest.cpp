#include "luc/LULCShared.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

TEST(LUCTileName, NamesTheCellBySouthEastCornerInEveryQuadrant) {
  EXPECT_EQ(LUCTileName(40.0, -105.0), "L10540NW.LUC");
  EXPECT_EQ(LUCTileName(40.7, -104.2), "L10440NW.LUC");  // any point of the cell
  EXPECT_EQ(LUCTileName(5.5, 8.2), "L00905NE.LUC");
  EXPECT_EQ(LUCTileName(-34.0, 152.0), "L15234SE.LUC");
  EXPECT_EQ(LUCTileName(-33.5, -70.2), "L07034SW.LUC");
}

TEST(LUCTileName, PositionsOnTheAxesAreSouthEast) {
  EXPECT_EQ(LUCTileName(40.0, 0.0), "L00040SE.LUC");
  EXPECT_EQ(LUCTileName(0.0, -105.0), "L10500SE.LUC");
  EXPECT_EQ(LUCTileName(0.0, 0.0), "L00000SE.LUC");
  EXPECT_EQ(LUCTileName(44.0, -71.0), "L07144NW.LUC");
}

TEST(WholeDegrees, FloorAndCeiling) {
  EXPECT_EQ(CeilingInt(-104.2), -104);
  EXPECT_EQ(CeilingInt(7.0), 7);
  EXPECT_EQ(CeilingInt(7.000001), 8);
  EXPECT_EQ(FloorInt(-33.5), -34);
  EXPECT_EQ(FloorInt(33.5), 33);
  EXPECT_THROW(FloorInt(40000.0), std::overflow_error);
}

TEST(LULCCodeDescription, KnownUnknownAndSpecialCodes) {
  EXPECT_EQ(LULCCodeDescription(22),
            "Agricultural Land: Orchards, Groves, Vineyards, Nurseries, and Ornamental Horticultural Areas");
  EXPECT_EQ(LULCCodeDescription(41), "Forest Land: Deciduous");
  EXPECT_EQ(LULCCodeDescription(18), "Unidentified Code");
  EXPECT_EQ(LULCCodeDescription(103), "Unidentified Code");
  EXPECT_EQ(LULCCodeDescription(-32000), "Padding Value");
  EXPECT_EQ(LULCCodeDescription(0), "Undefined");
  EXPECT_EQ(LULCCodeDescription(101), "LAND AREA UNDEFINED BY CODING SCHEME");
}

}  // namespace
}  // namespace tilbo
