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
  h.GridDimension1 = 1201;
  h.GridDimension2 = 1201;
  h.Title = title;
  return h;
}

TEST(PlanTiles, TilesTheirNamesTitlesAndSizes) {
  const std::string scaled = "SOME LONG QUADRANGLE NAME 1:250,000 QUAD";
  const std::string longTitle = "A TITLE OF MORE THAN FORTY CHARACTERS FOR ONE TILE";
  const struct {
    double south, west, north, east;
    std::string title;
    std::vector<std::string> names, titles;
    int32_t size;  // 2 x 1201 x 1201 bytes shared by the tiles, halves to even
  } cases[] = {
      // Whole-degree edges: the column west of 106 W and the row north of 40 N go.
      {39, -106, 40, -104, "DENVER CO 1:250,000 QUAD", {"L10539NW.LUC", "L10439NW.LUC"},
       {"DENVER CO  (WEST) 1:250,000 QUAD", "DENVER CO  (EAST) 1:250,000 QUAD"}, 1442401},
      // Edges off whole degrees keep every candidate; a title without the scale is cut to 30 first.
      {39.5, -105.5, 40.5, -104.5, "X", {"L10539NW.LUC", "L10439NW.LUC", "L10540NW.LUC", "L10440NW.LUC"},
       {"X (1 of 4 ) ", "X (2 of 4 ) ", "X (3 of 4 ) ", "X (4 of 4 ) "}, 721200},
      {39.5, -105.5, 40.5, -105.1, "A 1:250,000", {"L10539NW.LUC", "L10540NW.LUC"},
       {"A  (EAST) 1:250,000", "A  (EAST) 1:250,000"}, 1442401},  // stacked: both east
      {44.2, -72.5, 44.5, -70.5, "Q 1:250,000", {"L07244NW.LUC", "L07144NW.LUC", "L07044NW.LUC"},
       {"Q  (WEST) 1:250,000", "Q  (CENTER) 1:250,000", "Q  (EAST) 1:250,000"}, 961601},
      {40.5, -105.5, 40.9, -101.5, scaled,
       {"L10540NW.LUC", "L10440NW.LUC", "L10340NW.LUC", "L10240NW.LUC", "L10140NW.LUC"},
       {"SOME LONG QUADRANGLE NAME  (1 of 5 ) 1:2", "SOME LONG QUADRANGLE NAME  (2 of 5 ) 1:2",
        "SOME LONG QUADRANGLE NAME  (3 of 5 ) 1:2", "SOME LONG QUADRANGLE NAME  (4 of 5 ) 1:2",
        "SOME LONG QUADRANGLE NAME  (5 of 5 ) 1:2"},
       576960},
      {40.2, -104.8, 40.7, -104.3, longTitle, {"L10440NW.LUC"}, {longTitle.substr(0, 40)}, 2884802},
      // No tile left: a whole-degree north bound south of the walk's first row;
      // corners far beyond the earth (a million tiles) or off it ("9E9" in a degrees field).
      {40.5, -105.5, 40, -104.5, "X", {}, {}, 0},
      {-900, -999, 900, 999, "X", {}, {}, 0},
      {9e9, -105.5, 40, -104.5, "X", {}, {}, 0},
      {40.5, -105.5, 41, -1e5, "X", {}, {}, 0},
      {40.5, -105.5, 545, -18, "X", {}, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title + " " + std::to_string(c.south) + " " + std::to_string(c.east));
    const auto plan = PlanTiles(Quadrangle(c.south, c.west, c.north, c.east, c.title), "/luc/");
    std::vector<std::string> names, titles;
    for (const PlannedFile& tile : plan) {
      names.push_back(tile.FileName);
      titles.push_back(tile.Title);
      EXPECT_EQ(tile.Size, c.size);
    }
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(titles, c.titles);
  }
}

}  // namespace
}  // namespace tilbo
