#include "shell/TilePlan.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

// A quadrangle header with the corners tile planning reads: point 1 south-west,
// point 2 north-west, point 4 north-east (the walk's far corner).
CTGHeader Quadrangle(double south, double west, double north, double east, const std::string& title) {
  CTGHeader h;
  h.Point1Latitude = south;
  h.Point1Longitude = west;
  h.Point2Latitude = north;
  h.Point2Longitude = west;
  h.Point4Latitude = north;
  h.Point4Longitude = east;
  h.GridDimension1 = 575;
  h.GridDimension2 = 808;
  h.Title = title;
  return h;
}

std::vector<std::string> Names(const std::vector<PlannedFile>& plan) {
  std::vector<std::string> names;
  for (const auto& t : plan) names.push_back(t.FileName);
  return names;
}

TEST(PlanTiles, WholeDegreeQuadrangleDropsTheColumnAndRowBeyondItsEdges) {
  // 39..40 N, 106..104 W: the walk takes 39..40 N and 106..104 W; the tiles
  // reaching west of 106 W or north of 40 N go.
  const auto plan = PlanTiles(Quadrangle(39, -106, 40, -104, "DENVER CO 1:250,000 QUAD"), "/luc/");
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(Names(plan), (std::vector<std::string>{"L10539NW.LUC", "L10439NW.LUC"}));
  EXPECT_EQ(plan[0].Title, "DENVER CO  (WEST) 1:250,000 QUAD");
  EXPECT_EQ(plan[1].Title, "DENVER CO  (EAST) 1:250,000 QUAD");
  EXPECT_EQ(plan[0].Size, 2 * 575 * 808 / 2);
  EXPECT_EQ(plan[0].Directory, "/luc/");
  EXPECT_EQ(plan[0].RefLat, 39);
  EXPECT_EQ(plan[0].RefLon, -105);
}

TEST(PlanTiles, EdgesOffWholeDegreesKeepEveryCandidate) {
  const auto plan = PlanTiles(Quadrangle(39.5, -105.5, 40.5, -104.5, "X"), "");
  EXPECT_EQ(Names(plan),
            (std::vector<std::string>{"L10539NW.LUC", "L10439NW.LUC", "L10540NW.LUC", "L10440NW.LUC"}));
  // Four or more tiles are numbered; a title without the scale is cut to 30 first.
  EXPECT_EQ(plan[2].Title, "X (3 of 4 ) ");
}

TEST(PlanTiles, TwoTilesStackedAreBothEast) {
  const auto plan = PlanTiles(Quadrangle(39.5, -105.5, 40.5, -105.1, "A 1:250,000"), "");
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].Title, "A  (EAST) 1:250,000");
  EXPECT_EQ(plan[1].Title, "A  (EAST) 1:250,000");
}

TEST(PlanTiles, FiveTilesAreNumberedAndCutToForty) {
  const auto plan = PlanTiles(Quadrangle(40.5, -105.5, 40.9, -100.5, "SOME LONG QUADRANGLE NAME 1:250,000 QUAD"), "");
  ASSERT_EQ(plan.size(), 6u);
  const std::vector<PlannedFile> five(plan.begin(), plan.begin() + 5);
  EXPECT_EQ(TileTitle("SOME LONG QUADRANGLE NAME 1:250,000 QUAD", five, 3),
            "SOME LONG QUADRANGLE NAME  (3 of 5 ) 1:2");
}

TEST(PlanTiles, ThreeTilesWestCenterEast) {
  const auto plan = PlanTiles(Quadrangle(44, -72.5, 44.5, -69.5, "Q 1:250,000"), "");
  ASSERT_EQ(plan.size(), 4u);
  const std::vector<PlannedFile> three(plan.begin() + 1, plan.end());
  EXPECT_EQ(TileTitle("Q 1:250,000", three, 1), "Q  (WEST) 1:250,000");
  EXPECT_EQ(TileTitle("Q 1:250,000", three, 2), "Q  (CENTER) 1:250,000");
  EXPECT_EQ(TileTitle("Q 1:250,000", three, 3), "Q  (EAST) 1:250,000");
}

TEST(PlanTiles, SingleTileKeepsTheWholeTitleCutToForty) {
  const std::string title = "A TITLE OF MORE THAN FORTY CHARACTERS FOR ONE TILE";
  const auto plan = PlanTiles(Quadrangle(40.2, -104.8, 40.7, -104.3, title), "");
  ASSERT_EQ(plan.size(), 1u);
  EXPECT_EQ(plan[0].Title, title.substr(0, 40));
  EXPECT_EQ(plan[0].Size, 2 * 575 * 808);
}

TEST(PlanTiles, SizeEstimateTiesToEven) {
  CTGHeader h = Quadrangle(39.5, -105.5, 40.5, -104.5, "X");
  h.GridDimension1 = 1201;
  h.GridDimension2 = 1201;
  const auto plan = PlanTiles(h, "");
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[0].Size, 721200);  // 721,200.5
}

TEST(PlanTiles, NoTileLeftOrImpossibleCornersGiveAnEmptyPlan) {
  // A north-west bound on a whole degree south of the walk's first row removes everything.
  CTGHeader h = Quadrangle(40.5, -105.5, 40, -104.5, "X");
  EXPECT_TRUE(PlanTiles(h, "").empty());
  // Corners far beyond the earth would plan a million tiles: refused.
  EXPECT_TRUE(PlanTiles(Quadrangle(-900, -999, 900, 999, "X"), "").empty());
  // So do corners off the earth, down to whole degrees beyond 16 bits ("9E9" in a degrees field).
  for (const auto& [south, north, east] : {std::tuple{9e9, 40.0, -104.5}, {40.5, 41.0, -1e5}, {40.5, 545.0, -18.0}}) {
    EXPECT_TRUE(PlanTiles(Quadrangle(south, -105.5, north, east, "X"), "").empty()) << south << north << east;
  }
}

}  // namespace
}  // namespace tilbo
