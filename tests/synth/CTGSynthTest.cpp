#include "synth/CTGSynth.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

#include "coords/UtmCon.h"
#include "ctg/CTGFile.h"
#include "ctg/LULCCodes.h"
#include "support/CTGTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::FieldsAre;
using ::testing::StartsWith;
using testing::ReadWholeFile;
using testing::TempDir;

SynthOptions SmallQuad(double south, double west) {
  return {.south = south, .west = west, .height = 0.1, .width = 0.2, .cellSize = 200, .title = "SMALL TEST QUAD LU",
          .dataDate = "84180", .seed = 1, .pattern = SynthPattern::kHash, .badRecords = 0};
}

class CTGSynthTest : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }
  void TearDown() override { CTG_ResetModuleForTesting(); }

  // Writes the quadrangle and opens it with the reader.
  int16_t WriteAndOpen(const SynthOptions& o, const std::string& name = "quad.ctg") {
    const SynthWriteResult written = WriteSynthCTG(o, dir_.file(name));
    EXPECT_TRUE(written.ok) << written.error;
    const int16_t h = CTG_AllocateHandle();
    CTG_SetFileName(h, dir_.file(name));
    EXPECT_TRUE(CTG_Open(h)) << CTG_LastError();
    return h;
  }

  TempDir dir_;
};

// The real LEWISTON quadrangle (44-45 N, 70-72 W, 200 m) has 575 rows x 808
// columns in zone 19 with its north-west grid corner at 259500 E 4987100 N
// (NAD27; the synthetic grid is on WGS84, a few hundred metres apart there).
TEST_F(CTGSynthTest, AQuarterMillionScaleQuadrangleComesOutAtRealSize) {
  SynthOptions o = SmallQuad(44, -72);
  o.height = 1;
  o.width = 2;
  const SynthGrid g = PlanSynthGrid(o).grid.value();
  EXPECT_EQ(g.zone, 19);
  EXPECT_NEAR(g.rows, 575, 3);
  EXPECT_NEAR(g.columns, 808, 3);
  EXPECT_NEAR(g.refCornerEasting, 259500, 400);
  EXPECT_NEAR(g.refCornerNorthing, 4987100, 600);
  EXPECT_EQ(g.refCornerNorthing % 200, 100);  // an odd multiple of half a cell
}

// The header holds the options, the planned grid, and where the six control
// points (clockwise from the south-west corner) fall on the grid.
TEST_F(CTGSynthTest, HeaderReadsBackAsWritten) {
  const SynthOptions o = SmallQuad(44, -72);
  const int16_t h = WriteAndOpen(o);
  const SynthGrid g = *PlanSynthGrid(o).grid;
  const auto rows = static_cast<int16_t>(g.rows);
  const auto columns = static_cast<int16_t>(g.columns);
  CTGHeader expected{.GridDimension1 = rows, .RecordCountTimes2 = 2 * g.rows * g.columns, .GridDimension2 = columns,
                     .CellSize = 200, .Rec1Value41 = 4, .Rec1Value46 = 17, .Rec1Value51 = 19, .Rec1Value56 = 1,
                     .Rec1Real61 = 7874016, .Rec1Text71 = "", .Rec2Values = {1, 1, columns, rows},
                     .Point1Latitude = 44.0, .Point1Longitude = -72.0, .Point2Latitude = 44.1, .Point2Longitude = -72.0,
                     .Point3Latitude = 44.1, .Point3Longitude = -71.9, .Point4Latitude = 44.1, .Point4Longitude = -71.8,
                     .Point5Latitude = 44.0, .Point5Longitude = -71.8, .Point6Latitude = 44.0, .Point6Longitude = -71.9,
                     .RefCornerEasting = g.refCornerEasting, .RefCornerNorthing = g.refCornerNorthing,
                     .DataDate = "84180", .Title = "SMALL TEST QUAD LU"};
  const double points[6][2] = {{44, -72}, {44.1, -72}, {44.1, -71.9}, {44.1, -71.8}, {44, -71.8}, {44, -71.9}};
  for (int i = 0; i < 6; ++i) {
    const UtmPoint p = GeographicToUtm(points[i][0], points[i][1], 19);
    expected.Rec2Values[4 + 2 * i] = static_cast<int16_t>(std::lround((p.easting - g.refCornerEasting) / 200));
    expected.Rec2Values[5 + 2 * i] = static_cast<int16_t>(std::lround((g.refCornerNorthing - p.northing) / 200));
  }
  EXPECT_EQ(CTG_ReadHeader(h), expected);
  EXPECT_EQ(CTG_RecordCount(h), g.rows * g.columns);
  // Records 1-4 hold only digits, blanks and "-".
  EXPECT_EQ(ReadWholeFile(dir_.file("quad.ctg")).substr(0, 320).find_first_not_of("0123456789 -"), std::string::npos);
}

TEST_F(CTGSynthTest, CellsRunRowByRowFromTheNorthWithHashCodesInside) {
  const SynthOptions o = SmallQuad(44, -72);
  const int16_t h = WriteAndOpen(o);
  const SynthGrid g = *PlanSynthGrid(o).grid;
  ASSERT_EQ(CTG_RecordCount(h), g.rows * g.columns);
  int inside = 0;
  for (int32_t k = 1; k <= g.rows * g.columns; ++k) {
    // Centres on multiples of the cell, half a cell in from the grid corner.
    const int32_t easting = g.refCornerEasting + 100 + 200 * ((k - 1) % g.columns);
    const int32_t northing = g.refCornerNorthing - 100 - 200 * ((k - 1) / g.columns);
    const GeoPoint at = UtmToGeographic(19, easting, northing);
    const bool in = at.latitude >= 44.0 && at.latitude <= 44.1 && at.longitude >= -72.0 && at.longitude <= -71.8;
    inside += in ? 1 : 0;
    ASSERT_THAT(CTG_ReadCell(h, k), FieldsAre(19, easting, northing, in ? SynthHashCode(easting, northing) : 0)) << k;
  }
  EXPECT_EQ(g.refCornerEasting % 200, 100);
  EXPECT_GT(inside, g.rows * g.columns / 2);
  EXPECT_LT(inside, g.rows * g.columns);
}

TEST_F(CTGSynthTest, HashCodesAreSecondLevelCodesOfTheTable) {
  std::set<int16_t> seen;
  for (int32_t e = 200000; e < 240000; e += 200) {
    for (int32_t n = -1000000; n < -960000; n += 400) seen.insert(SynthHashCode(e, n));
  }
  EXPECT_EQ(seen.size(), 37u);
  for (const int16_t code : seen) {
    EXPECT_TRUE(code % 10 != 0 && LULCCodeDescription(code) != "Unidentified Code") << code;
  }
}

TEST_F(CTGSynthTest, SouthernHemisphereAndEastLongitudes) {
  const int16_t h = WriteAndOpen(SmallQuad(-34.0, 18.4));
  const CTGHeader hd = CTG_ReadHeader(h);
  EXPECT_EQ(std::tie(hd.Point1Latitude, hd.Point1Longitude, hd.Point4Latitude, hd.Point4Longitude),
            std::make_tuple(-34.0, 18.4, -33.9, 18.6));
  EXPECT_EQ(hd.Rec1Value51, 34);
  EXPECT_LT(hd.RefCornerNorthing, 0);  // no false northing
  EXPECT_THAT(CTG_ReadCell(h, 1), FieldsAre(34, _, hd.RefCornerNorthing - 100, _));
  // Negative DDD keeps positive minutes: -33.9 is written as -34 degrees 6
  // minutes, and the longitude 18.4 E (written negated) as -19 degrees 36 minutes.
  EXPECT_EQ(ReadWholeFile(dir_.file("quad.ctg")).substr(160, 30), "   -340000   -193600   -340600");
}

TEST_F(CTGSynthTest, AQuadrangleAcrossAZoneEdgeUsesTheCentreZone) {
  // Centre at 72 W, the boundary of zones 18 and 19: it belongs to the zone west of it.
  SynthOptions o = SmallQuad(44.0, -72.1);
  const int16_t h = WriteAndOpen(o);
  EXPECT_EQ(CTG_ReadHeader(h).Rec1Value51, 18);
  EXPECT_EQ(CTG_ReadCell(h, CTG_RecordCount(h)).UTMZone, 18);
  // Points east of the edge are still given in zone 18 (eastings beyond the zone's usual range).
  const SynthGrid g = *PlanSynthGrid(o).grid;
  EXPECT_GT(g.CentreEasting(g.columns - 1), GeographicToUtm(44.0, -72.0, 18).easting);
}

// Land-use codes come in patches; bad records hold a code outside 16 bits or
// exactly at the marker limit. Both follow the seed.
TEST_F(CTGSynthTest, PatchesAndBadRecordsFollowTheSeed) {
  SynthOptions o = SmallQuad(44, -72);
  o.pattern = SynthPattern::kPatches;
  o.badRecords = 7;
  const int16_t h = WriteAndOpen(o, "a.ctg");
  const int32_t columns = PlanSynthGrid(o).grid->columns;
  std::set<int16_t> codes;
  std::set<std::string> badCodeFields;
  int pairs = 0, same = 0, bad = 0;
  CTGCell previous;
  for (int32_t k = 1; k <= CTG_RecordCount(h); ++k) {
    const CTGCell cell = CTG_ReadCell(h, k);
    if (CTG_LastError() != kCTGNoError) {
      EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
      ++bad;
      badCodeFields.insert(CTG_ReadRecordText(h, k + 5).substr(20, 10));
    }
    ASSERT_NE(LULCCodeDescription(cell.LULCCode), "Unidentified Code") << cell.LULCCode;
    if (cell.LULCCode != 0) codes.insert(cell.LULCCode);
    if ((k - 1) % columns != 0 && cell.LULCCode != 0 && previous.LULCCode != 0) {
      ++pairs;
      same += cell.LULCCode == previous.LULCCode ? 1 : 0;
    }
    previous = cell;
  }
  EXPECT_GE(codes.size(), 3u);      // more than one class
  EXPECT_GT(same, pairs * 6 / 10);  // neighbours mostly agree: patches, not noise
  EXPECT_LT(same, pairs);
  EXPECT_EQ(bad, 7);
  EXPECT_THAT(badCodeFields, ElementsAre("     99999", "2000000000"));
  WriteAndOpen(o, "b.ctg");
  EXPECT_EQ(ReadWholeFile(dir_.file("a.ctg")), ReadWholeFile(dir_.file("b.ctg")));
  o.seed = 99;
  WriteAndOpen(o, "c.ctg");
  EXPECT_NE(ReadWholeFile(dir_.file("a.ctg")), ReadWholeFile(dir_.file("c.ctg")));
}

TEST_F(CTGSynthTest, OptionsThatCannotMakeACTGFileAreRefused) {
  const struct { std::function<void(SynthOptions&)> change; const char* error; } cases[] = {
      {[](SynthOptions&) {}, ""},
      {[](SynthOptions& o) { o.width = 0; }, "height and width must be positive"},
      {[](SynthOptions& o) { o.south = -81; }, "the quadrangle must lie between 80 S and 84 N"},
      {[](SynthOptions& o) { o.west = 179.9; }, "the quadrangle must lie between 180 W and 180 E"},
      {[](SynthOptions& o) { o.cellSize = 25; }, "the cell size must be an even number of metres from 2 to 9998"},
      {[](SynthOptions& o) { o.title = std::string(65, 'X'); }, "the title has more than 64 characters"},
      {[](SynthOptions& o) { o.dataDate = "JUNE 84"; }, "the data date must be at most 10 digits, blanks or \"-\""},
      {[](SynthOptions& o) { o.west = 120; }, "longitudes east of 99 E cannot be written in a CTG header"},
      {[](SynthOptions& o) { o.badRecords = -1; }, "the number of bad records cannot be negative"},
      {[](SynthOptions& o) { o.height = 1, o.width = 2, o.cellSize = 4; },
       "the grid would have more than 32767 rows or columns; use a larger cell"},
      {[](SynthOptions& o) { o.height = 1, o.width = 2, o.cellSize = 10; },
       "the file would hold more than 100 million records; use a larger cell"},
      {[](SynthOptions& o) { o.badRecords = PlanSynthGrid(o).grid->Records() + 1; },
       "there are fewer records than bad records asked for"},
  };
  for (const auto& c : cases) {
    SynthOptions o = SmallQuad(44, -72);
    c.change(o);
    EXPECT_EQ(PlanSynthGrid(o).error, c.error);
  }
}

// Whole or not at all: a refused or failed write leaves the old file, a
// written one leaves no temporary file behind.
TEST_F(CTGSynthTest, TheFileIsWrittenWholeOrNotAtAll) {
  testing::WriteWholeFile(dir_.file("quad.ctg"), "old contents");
  SynthOptions bad = SmallQuad(44, -72);
  bad.cellSize = 3;
  EXPECT_EQ(WriteSynthCTG(bad, dir_.file("quad.ctg")).error,
            "the cell size must be an even number of metres from 2 to 9998");
  EXPECT_EQ(ReadWholeFile(dir_.file("quad.ctg")), "old contents");
  EXPECT_THAT(WriteSynthCTG(SmallQuad(44, -72), dir_.file("no/such/quad.ctg")).error,
              StartsWith(dir_.file("no/such/quad.ctg: ")));
  ASSERT_TRUE(WriteSynthCTG(SmallQuad(44, -72), dir_.file("quad.ctg")).ok);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) names.push_back(entry.path().filename());
  EXPECT_THAT(names, ElementsAre("quad.ctg"));
  EXPECT_EQ(std::filesystem::file_size(dir_.file("quad.ctg")) % 80, 0u);
}

}  // namespace
}  // namespace tilbo
