#include "luc/TileGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

namespace tilbo {
namespace {

TEST(InOneDegreeCell, SouthAndEastEdgesBelongToTheCell) {
  const struct {
    double latitude, longitude;
    bool inside;
  } cases[] = {{40.0, -105.0, true},       {40.0, -105.5, true},      {40.999999, -105.000001, true},
               {40.5, -106.0, false},      {41.0, -105.5, false},     {40.5, -104.999999, false},
               {39.999999, -105.5, false}, {40.5, -105.999999, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(InOneDegreeCell(c.latitude, c.longitude, 40.0, -105.0), c.inside)
        << c.latitude << " " << c.longitude;
  }
}

// The grid of a tile against values worked out by hand from the cell's four
// corners, which PROJ gives in the zone of the south-east corner, e.g.
//   echo "-106 40" | cs2cs -f %.4f +proj=longlat +datum=WGS84 +to +proj=utm +zone=13 +datum=WGS84
// (no +south: northings below the equator stay negative). Corners rounded to
// metres; west column round(minE / x) + 1 steps, east column round(maxE / x),
// south row floor(minN / y), north row round(maxN / y) - 1.
TEST(PlanTileGrid, HeaderOfTilesMatchesCornersFromProj) {
  const struct {
    double seLatitude, seLongitude;
    int16_t xResolution, yResolution, gridZone, recordedZone;
    int32_t minEasting, maxEasting, minNorthing, maxNorthing, rows, columns;
    bool skewed;
    const char* why;
  } cases[] = {
      // SW 414639.5382 4428236.0646, NE 500000 4538757.0619, NW 415897.8656 4539238.5894
      {40, -105, 200, 200, 13, 13, 414800, 500000, 4427600, 4539000, 558, 427, false,
       "east edge on zone 13's central meridian (SE 500000 4427757.2187)"},
      // SE 756099.648 4432069.0569, NE 752320.8479 4543092.9544, NW 668207.8852, SW 670725.4943 4429672.9731
      {40, -102, 97, 113, 13, 13, 668330, 756115, 4429600, 4542939, 1004, 906, false,
       "east edge on the zone boundary 13|14, odd resolutions"},
      // SE 407650.3967 -3762606.6599, NE 406582.2218, NW 313152.7772 -3653063.5043, SW 315290.1689
      {-34, 152, 90, 110, 56, 56, 315360, 406620, -3762660, -3653210, 996, 1015, true,
       "southern hemisphere, zone 56"},
      // SE 611280.6509 0, NE 611263.8123 110547.1057, NW 500000 110530.1588, SW 500000 0
      {0, 10, 200, 250, 32, 32, 500200, 611200, 0, 110250, 442, 556, false,
       "south edge on the equator, west edge on zone 32's meridian"},
      // SE 525607.9304 4427800.3123, NE 525230.4756 4538800.3969, NW 441128.7213 4538993.0029, SW 440247.9489 4427991.8455
      {40, -104.7, 200, 200, 13, 13, 441400, 525600, 4427800, 4538600, 555, 422, true,
       "straddles the meridian: the NW corner lies above the NE corner"},
      // zone 14: SE 286588.8521, NE 289736.7583 4541767.5862, NW 205618.8534 4544659.88, SW 201208.443 4433627.3403
      {40, -101.5, 150, 150, 14, 13, 201300, 289800, 4430700, 4544550, 760, 591, false,
       "straddles the zone boundary: centre in zone 13"},
  };
  auto fields = [](const TileGridLayout& l) {
    return std::tuple(l.gridZone, l.recordedZone, l.minEasting, l.maxEasting, l.minNorthing,
                      l.maxNorthing, l.dataRows, l.dataColumns, l.recordLength, l.skewed);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const auto layout = PlanTileGrid(c.seLatitude, c.seLongitude, c.xResolution, c.yResolution);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(fields(*layout),
              std::tuple(c.gridZone, c.recordedZone, c.minEasting, c.maxEasting, c.minNorthing,
                         c.maxNorthing, c.rows, c.columns, 2 * c.columns, c.skewed));
  }
}

TEST(PlanTileGrid, RefusesGridsWithoutValidLayout) {
  EXPECT_FALSE(PlanTileGrid(40.0, -105.0, 0, 200).has_value());
  EXPECT_FALSE(PlanTileGrid(40.0, -105.0, 200, -200).has_value());
  // 1200 m cells give about 71 columns: records shorter than the header.
  EXPECT_FALSE(PlanTileGrid(40.0, -105.0, 1200, 200).has_value());
  EXPECT_TRUE(PlanTileGrid(40.0, -105.0, 1000, 200).has_value());  // about 85 columns
  EXPECT_FALSE(PlanTileGrid(95.0, -105.0, 200, 200).has_value());  // beyond the pole
  EXPECT_FALSE(PlanTileGrid(40.0, std::nan(""), 200, 200).has_value());
  EXPECT_FALSE(PlanTileGrid(40.0, -105.0, 1, 1).has_value());  // data block beyond 32 bits
}

// The run search must give exactly the cells of the point-by-point rule.
TEST(FillTileGrid, RunSearchMatchesPointByPointRule) {
  const struct {
    double seLatitude, seLongitude;
    int16_t xResolution, yResolution;
    const char* why;
  } cases[] = {
      {40.0, -105.0, 200, 200, "east edge on the central meridian of zone 13"},
      {40.0, -102.0, 97, 113, "zone boundary, odd resolutions"},
      {-34.0, 152.0, 200, 200, "southern hemisphere, west of the meridian"},
      {-34.0, 156.0, 400, 300, "southern hemisphere, east of the meridian"},
      {0.0, 10.0, 200, 200, "south edge on the equator: a row at northing 0"},
      {-1.0, 10.0, 500, 500, "north edge on the equator"},
      {45.0, -104.5, 400, 400, "straddles the central meridian"},
      {60.0, 180.0, 100, 100, "east edge on the antimeridian"},
      {83.0, 3.0, 100, 100, "far north"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.why);
    const auto layout = PlanTileGrid(t.seLatitude, t.seLongitude, t.xResolution, t.yResolution);
    ASSERT_TRUE(layout.has_value());
    auto fill = [&](GridFill method, int threads) {
      std::vector<int16_t> grid(static_cast<std::size_t>(layout->dataRows) * layout->dataColumns, 7);
      FillTileGrid(*layout, t.seLatitude, t.seLongitude, 41, grid, method, threads);
      return grid;
    };
    const auto perPoint = fill(GridFill::kPerPoint, 1);
    const auto runs = fill(GridFill::kRuns, 2);
    // The first differing cell (not EXPECT_EQ: a diff of a million cells would flood the log).
    EXPECT_EQ(std::ranges::mismatch(runs, perPoint).in1 - runs.begin(), std::ssize(runs));
    EXPECT_GT(std::count(perPoint.begin(), perPoint.end(), 41), std::ssize(perPoint) / 2);
  }
}

}  // namespace
}  // namespace tilbo
