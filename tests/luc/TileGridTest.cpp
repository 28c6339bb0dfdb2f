#include "luc/TileGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "coords/UtmCon.h"

namespace tilbo {
namespace {

struct TileCase {
  double seLatitude;
  double seLongitude;
  int16_t xResolution;
  int16_t yResolution;
  const char* why;
};

std::vector<int16_t> Fill(const TileGridLayout& layout, const TileCase& t, GridFill method,
                          int threads) {
  std::vector<int16_t> grid(static_cast<std::size_t>(layout.dataRows) * layout.dataColumns, 7);
  FillTileGrid(layout, t.seLatitude, t.seLongitude, 41, grid, method, threads);
  return grid;
}

// The run search must give exactly the cells of the point-by-point rule.
TEST(FillTileGrid, RunSearchMatchesPointByPointRule) {
  const TileCase cases[] = {
      {40.0, -105.0, 200, 200, "east edge on the central meridian of zone 13"},
      {40.0, -102.0, 200, 200, "east edge on the zone boundary 13|14"},
      {40.0, -102.0, 97, 113, "zone boundary, odd resolutions"},
      {-34.0, 152.0, 200, 200, "southern hemisphere, west of the meridian"},
      {-34.0, 156.0, 400, 300, "southern hemisphere, east of the meridian"},
      {0.0, 10.0, 200, 200, "south edge on the equator: a row at northing 0"},
      {-1.0, 10.0, 500, 500, "north edge on the equator"},
      {45.0, -104.5, 400, 400, "straddles the central meridian"},
      {60.0, 180.0, 100, 100, "east edge on the antimeridian"},
      {-60.0, -177.0, 400, 400, "zone 1, east edge on its meridian"},
      {83.0, 3.0, 100, 100, "far north"},
      {-80.0, 20.0, 120, 240, "far south"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.why);
    const auto layout = PlanTileGrid(t.seLatitude, t.seLongitude, t.xResolution, t.yResolution);
    ASSERT_TRUE(layout.has_value());
    const auto perPoint = Fill(*layout, t, GridFill::kPerPoint, 1);
    const auto runs = Fill(*layout, t, GridFill::kRuns, 2);
    ASSERT_EQ(runs.size(), perPoint.size());
    std::size_t differing = 0, inside = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      differing += runs[i] != perPoint[i];
      inside += perPoint[i] == 41;
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(inside, runs.size() / 2);  // the cell fills most of its grid
  }
}

TEST(FillTileGrid, FineZoneEdgeTileMatchesPointByPointRule) {
  const TileCase t{40.0, -102.0, 60, 60, "zone boundary at 60 m"};
  const auto layout = PlanTileGrid(t.seLatitude, t.seLongitude, t.xResolution, t.yResolution);
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(Fill(*layout, t, GridFill::kRuns, 2), Fill(*layout, t, GridFill::kPerPoint, 2));
}

TEST(PlanTileGrid, BoxAroundTheCellSnappedToTheResolutions) {
  const auto layout = PlanTileGrid(40.0, -105.0, 200, 200);
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->gridZone, 13);
  EXPECT_EQ(layout->recordedZone, 13);
  // West of the meridian: west edge from the SW corner, north from the NW corner.
  const UtmPoint sw = GeographicToUtm(40.0, -106.0, 13);
  const UtmPoint nw = GeographicToUtm(41.0, -106.0, 13);
  const UtmPoint se = GeographicToUtm(40.0, -105.0, 13);
  EXPECT_EQ(layout->minEasting % 200, 0);
  EXPECT_GT(layout->minEasting, sw.easting);
  EXPECT_LE(layout->minEasting - sw.easting, 300.0);  // one step inside, up to 1.5 steps
  EXPECT_EQ(layout->maxEasting, 500000);
  EXPECT_LT(layout->maxNorthing, nw.northing);
  EXPECT_LE(nw.northing - layout->maxNorthing, 300.0);
  EXPECT_LE(layout->minNorthing, se.northing);
  EXPECT_GT(layout->minNorthing, se.northing - 200.0);
  EXPECT_EQ(layout->dataColumns, (layout->maxEasting - layout->minEasting) / 200 + 1);
  EXPECT_EQ(layout->dataRows, (layout->maxNorthing - layout->minNorthing) / 200 + 1);
  EXPECT_EQ(layout->recordLength, 2 * layout->dataColumns);
  EXPECT_FALSE(layout->skewed);

  // The tile whose east edge is the zone boundary keeps one zone for grid and record.
  const auto edge = PlanTileGrid(40.0, -102.0, 200, 200);
  ASSERT_TRUE(edge.has_value());
  EXPECT_EQ(edge->gridZone, 13);
  EXPECT_EQ(edge->recordedZone, 13);
}

TEST(PlanTileGrid, RefusesGridsWithoutValidLayout) {
  EXPECT_FALSE(PlanTileGrid(40.0, -105.0, 0, 200).has_value());
  EXPECT_FALSE(PlanTileGrid(40.0, -105.0, 200, -200).has_value());
  // 1200 m cells give about 71 columns: records shorter than the header.
  const auto narrow = PlanTileGrid(40.0, -105.0, 1200, 200);
  EXPECT_FALSE(narrow.has_value());
  EXPECT_TRUE(PlanTileGrid(40.0, -105.0, 1000, 200).has_value());  // about 85 columns
  EXPECT_FALSE(PlanTileGrid(95.0, -105.0, 200, 200).has_value());  // beyond the pole
  EXPECT_FALSE(PlanTileGrid(40.0, std::nan(""), 200, 200).has_value());
  EXPECT_FALSE(PlanTileGrid(40.0, -105.0, 1, 1).has_value());  // data block beyond 32 bits
}

}  // namespace
}  // namespace tilbo
