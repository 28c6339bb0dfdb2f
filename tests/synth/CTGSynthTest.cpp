#include "synth/CTGSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "coords/UtmCon.h"
#include "ctg/CTGFile.h"
#include "ctg/LULCCodes.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;

SynthOptions SmallQuad(double south, double west) {
  SynthOptions o;
  o.south = south;
  o.west = west;
  o.height = 0.1;
  o.width = 0.2;
  o.cellSize = 200;
  o.title = "SMALL TEST QUAD LU";
  o.dataDate = "84180";
  o.pattern = SynthPattern::kHash;
  return o;
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
  SynthOptions o;
  o.south = 44;
  o.west = -72;
  const SynthPlan plan = PlanSynthGrid(o);
  ASSERT_TRUE(plan.grid.has_value()) << plan.error;
  EXPECT_EQ(plan.grid->zone, 19);
  EXPECT_NEAR(plan.grid->rows, 575, 3);
  EXPECT_NEAR(plan.grid->columns, 808, 3);
  EXPECT_NEAR(plan.grid->refCornerEasting, 259500, 400);
  EXPECT_NEAR(plan.grid->refCornerNorthing, 4987100, 600);
  EXPECT_EQ(plan.grid->refCornerEasting % 200, 100);  // an odd multiple of half a cell
  EXPECT_EQ(plan.grid->refCornerNorthing % 200, 100);
}

TEST_F(CTGSynthTest, HeaderReadsBackAsWritten) {
  const SynthOptions o = SmallQuad(44, -72);
  const int16_t h = WriteAndOpen(o);
  const SynthGrid g = *PlanSynthGrid(o).grid;
  const CTGHeader hd = CTG_ReadHeader(h);
  ASSERT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(hd.GridDimension1, g.rows);
  EXPECT_EQ(hd.GridDimension2, g.columns);
  EXPECT_EQ(hd.RecordCountTimes2, 2 * g.rows * g.columns);
  EXPECT_EQ(CTG_RecordCount(h), g.rows * g.columns);
  EXPECT_EQ(hd.CellSize, 200);
  EXPECT_EQ(hd.Rec1Value41, 4);
  EXPECT_EQ(hd.Rec1Value46, 17);
  EXPECT_EQ(hd.Rec1Value51, 19);
  EXPECT_EQ(hd.Rec1Value56, 1);
  EXPECT_EQ(hd.Rec2Values[0], 1);
  EXPECT_EQ(hd.Rec2Values[1], 1);
  EXPECT_EQ(hd.Rec2Values[2], g.columns);
  EXPECT_EQ(hd.Rec2Values[3], g.rows);
  // Control points clockwise from the south-west corner.
  EXPECT_DOUBLE_EQ(hd.Point1Latitude, 44.0);
  EXPECT_DOUBLE_EQ(hd.Point1Longitude, -72.0);
  EXPECT_DOUBLE_EQ(hd.Point2Latitude, 44.1);
  EXPECT_DOUBLE_EQ(hd.Point2Longitude, -72.0);
  EXPECT_DOUBLE_EQ(hd.Point3Latitude, 44.1);
  EXPECT_DOUBLE_EQ(hd.Point3Longitude, -71.9);
  EXPECT_DOUBLE_EQ(hd.Point4Latitude, 44.1);
  EXPECT_DOUBLE_EQ(hd.Point4Longitude, -71.8);
  EXPECT_DOUBLE_EQ(hd.Point5Latitude, 44.0);
  EXPECT_DOUBLE_EQ(hd.Point5Longitude, -71.8);
  EXPECT_DOUBLE_EQ(hd.Point6Latitude, 44.0);
  EXPECT_DOUBLE_EQ(hd.Point6Longitude, -71.9);
  EXPECT_EQ(hd.RefCornerEasting, g.refCornerEasting);
  EXPECT_EQ(hd.RefCornerNorthing, g.refCornerNorthing);
  EXPECT_EQ(hd.DataDate, "84180");
  EXPECT_EQ(hd.Title, "SMALL TEST QUAD LU");

  // The control points' grid positions are where the corners fall on the grid.
  const UtmPoint sw = GeographicToUtm(44.0, -72.0, 19);
  EXPECT_EQ(hd.Rec2Values[4], std::lround((sw.easting - g.refCornerEasting) / 200));
  EXPECT_EQ(hd.Rec2Values[5], std::lround((g.refCornerNorthing - sw.northing) / 200));
  const UtmPoint ne = GeographicToUtm(44.1, -71.8, 19);
  EXPECT_EQ(hd.Rec2Values[10], std::lround((ne.easting - g.refCornerEasting) / 200));
  EXPECT_EQ(hd.Rec2Values[11], std::lround((g.refCornerNorthing - ne.northing) / 200));

  // Records 1-4 hold only digits, blanks and "-".
  const std::string bytes = ReadWholeFile(dir_.file("quad.ctg"));
  for (std::size_t i = 0; i < 320; ++i) {
    const char c = bytes[i];
    EXPECT_TRUE((c >= '0' && c <= '9') || c == ' ' || c == '-') << "byte " << i;
  }
}

TEST_F(CTGSynthTest, CellsRunRowByRowFromTheNorthWithHashCodesInside) {
  const SynthOptions o = SmallQuad(44, -72);
  const int16_t h = WriteAndOpen(o);
  const SynthGrid g = *PlanSynthGrid(o).grid;
  int inside = 0;
  int outside = 0;
  int32_t k = 0;
  for (int32_t r = 0; r < g.rows; ++r) {
    for (int32_t c = 0; c < g.columns; ++c) {
      const CTGCell cell = CTG_ReadCell(h, ++k);
      ASSERT_EQ(CTG_LastError(), kCTGNoError);
      ASSERT_EQ(cell.UTMZone, 19);
      // Centres on multiples of the cell, half a cell in from the grid corner.
      ASSERT_EQ(cell.Easting, g.refCornerEasting + 100 + 200 * c);
      ASSERT_EQ(cell.Northing, g.refCornerNorthing - 100 - 200 * r);
      ASSERT_EQ(cell.Easting % 200, 0);
      const GeoPoint at = UtmToGeographic(19, cell.Easting, cell.Northing);
      const bool in = at.latitude >= 44.0 && at.latitude <= 44.1 && at.longitude >= -72.0 && at.longitude <= -71.8;
      ASSERT_EQ(cell.LULCCode, in ? SynthHashCode(cell.Easting, cell.Northing) : 0) << r << " " << c;
      (in ? inside : outside)++;
    }
  }
  EXPECT_EQ(k, CTG_RecordCount(h));
  EXPECT_GT(inside, outside);
  EXPECT_GT(outside, 0);
}

TEST_F(CTGSynthTest, HashCodesAreSecondLevelCodesOfTheTable) {
  std::set<int16_t> seen;
  for (int32_t e = 200000; e < 240000; e += 200) {
    for (int32_t n = -1000000; n < -960000; n += 400) {
      const int16_t code = SynthHashCode(e, n);
      ASSERT_NE(LULCCodeDescription(code), "Unidentified Code") << code;
      ASSERT_NE(code % 10, 0) << code;
      seen.insert(code);
    }
  }
  EXPECT_EQ(seen.size(), 37u);
}

TEST_F(CTGSynthTest, SouthernHemisphereAndEastLongitudes) {
  SynthOptions o = SmallQuad(-34.0, 18.4);
  const int16_t h = WriteAndOpen(o);
  const CTGHeader hd = CTG_ReadHeader(h);
  EXPECT_DOUBLE_EQ(hd.Point1Latitude, -34.0);
  EXPECT_DOUBLE_EQ(hd.Point1Longitude, 18.4);
  EXPECT_DOUBLE_EQ(hd.Point2Latitude, -33.9);
  EXPECT_DOUBLE_EQ(hd.Point4Longitude, 18.6);
  EXPECT_EQ(hd.Rec1Value51, 34);
  EXPECT_LT(hd.RefCornerNorthing, 0);  // no false northing
  const CTGCell first = CTG_ReadCell(h, 1);
  EXPECT_EQ(first.UTMZone, 34);
  EXPECT_EQ(first.Northing, hd.RefCornerNorthing - 100);
  // Negative DDD keeps positive minutes: -33.9 is written as -34 degrees 6
  // minutes, and the longitude 18.4 E (written negated) as -19 degrees 36 minutes.
  const std::string bytes = ReadWholeFile(dir_.file("quad.ctg"));
  EXPECT_EQ(bytes.substr(160, 20), "   -340000   -193600");
  EXPECT_EQ(bytes.substr(180, 10), "   -340600");
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

TEST_F(CTGSynthTest, BadRecordsAreUnreadableAndChosenBySeed) {
  SynthOptions o = SmallQuad(44, -72);
  o.badRecords = 7;
  const int16_t h = WriteAndOpen(o, "a.ctg");
  std::vector<int32_t> bad;
  for (int32_t k = 1; k <= CTG_RecordCount(h); ++k) {
    CTG_ReadCell(h, k);
    if (CTG_LastError() != kCTGNoError) {
      EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
      bad.push_back(k);
    }
  }
  EXPECT_EQ(bad.size(), 7u);
  WriteAndOpen(o, "b.ctg");
  EXPECT_EQ(ReadWholeFile(dir_.file("a.ctg")), ReadWholeFile(dir_.file("b.ctg")));
  o.seed = 2;
  WriteAndOpen(o, "c.ctg");
  EXPECT_NE(ReadWholeFile(dir_.file("a.ctg")), ReadWholeFile(dir_.file("c.ctg")));
}

TEST_F(CTGSynthTest, PatchesLookLikeALandUseMapAndFollowTheSeed) {
  SynthOptions o = SmallQuad(44, -72);
  o.pattern = SynthPattern::kPatches;
  const int16_t h = WriteAndOpen(o, "a.ctg");
  const SynthGrid g = *PlanSynthGrid(o).grid;
  std::set<int16_t> codes;
  int pairs = 0;
  int same = 0;
  CTGCell previous;
  for (int32_t k = 1; k <= CTG_RecordCount(h); ++k) {
    const CTGCell cell = CTG_ReadCell(h, k);
    ASSERT_NE(LULCCodeDescription(cell.LULCCode), "Unidentified Code") << cell.LULCCode;
    if (cell.LULCCode != 0) codes.insert(cell.LULCCode);
    if ((k - 1) % g.columns != 0 && cell.LULCCode != 0 && previous.LULCCode != 0) {
      ++pairs;
      same += cell.LULCCode == previous.LULCCode ? 1 : 0;
    }
    previous = cell;
  }
  EXPECT_GE(codes.size(), 3u);        // more than one class
  EXPECT_GT(same, pairs * 6 / 10);    // neighbours mostly agree: patches, not noise
  EXPECT_LT(same, pairs);
  WriteAndOpen(o, "b.ctg");
  EXPECT_EQ(ReadWholeFile(dir_.file("a.ctg")), ReadWholeFile(dir_.file("b.ctg")));
  o.seed = 99;
  WriteAndOpen(o, "c.ctg");
  EXPECT_NE(ReadWholeFile(dir_.file("a.ctg")), ReadWholeFile(dir_.file("c.ctg")));
}

TEST_F(CTGSynthTest, OptionsThatCannotMakeACTGFileAreRefused) {
  auto refused = [](SynthOptions o) { return PlanSynthGrid(o).error; };
  SynthOptions o = SmallQuad(44, -72);
  EXPECT_EQ(refused(o), "");
  SynthOptions odd = o;
  odd.cellSize = 25;
  EXPECT_NE(refused(odd), "");
  SynthOptions longTitle = o;
  longTitle.title = std::string(65, 'X');
  EXPECT_NE(refused(longTitle), "");
  SynthOptions letters = o;
  letters.dataDate = "JUNE 84";
  EXPECT_NE(refused(letters), "");
  SynthOptions polar = o;
  polar.south = -81;
  EXPECT_NE(refused(polar), "");
  SynthOptions farEast = o;
  farEast.west = 120;
  EXPECT_EQ(refused(farEast), "longitudes east of 99 E cannot be written in a CTG header");
  SynthOptions empty = o;
  empty.width = 0;
  EXPECT_NE(refused(empty), "");
  SynthOptions huge = o;
  huge.height = 1;
  huge.width = 2;
  huge.cellSize = 4;
  EXPECT_NE(refused(huge), "");
  SynthOptions tooManyBad = o;
  tooManyBad.badRecords = PlanSynthGrid(o).grid->Records() + 1;
  EXPECT_NE(refused(tooManyBad), "");
}

TEST_F(CTGSynthTest, TheFileIsWrittenWholeOrNotAtAll) {
  testing::WriteWholeFile(dir_.file("quad.ctg"), "old contents");
  SynthOptions bad = SmallQuad(44, -72);
  bad.cellSize = 3;
  EXPECT_FALSE(WriteSynthCTG(bad, dir_.file("quad.ctg")).ok);
  EXPECT_EQ(ReadWholeFile(dir_.file("quad.ctg")), "old contents");

  const SynthWriteResult missingDir = WriteSynthCTG(SmallQuad(44, -72), dir_.file("no/such/quad.ctg"));
  EXPECT_FALSE(missingDir.ok);
  EXPECT_NE(missingDir.error.find("no/such/"), std::string::npos);

  ASSERT_TRUE(WriteSynthCTG(SmallQuad(44, -72), dir_.file("quad.ctg")).ok);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "quad.ctg");  // no temporary file left behind
  }
  EXPECT_EQ(files, 1);
  EXPECT_EQ(std::filesystem::file_size(dir_.file("quad.ctg")) % 80, 0u);
}

}  // namespace
}  // namespace tilbo
