#include "synth/CTGSynth.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>

#include "coords/UtmCon.h"
#include "ctg/LULCCodes.h"
#include "support/CTGTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using ::testing::Optional;
using ::testing::StartsWith;
using namespace tilbo::testing;

SynthOptions SmallQuad(double south, double west) {
  return {.south = south, .west = west, .height = 0.1, .width = 0.2, .cellSize = 200, .title = "SMALL TEST QUAD LU",
          .dataDate = "84180", .seed = 1, .pattern = SynthPattern::kHash, .badRecords = 0};
}

// The bytes of the file written for the options.
std::string Written(const SynthOptions& o) {
  const TempDir dir;
  EXPECT_EQ(WriteSynthCTG(o, dir.file("quad.ctg")).error, "");
  return ReadWholeFile(dir.file("quad.ctg"));
}

// A quadrangle over the real LEWISTON one comes out as its header: the same
// control points, codes and texts; grid size, corner and control-point grid
// positions within a few cells (the real grid is on NAD27, the synthetic one
// on WGS84, a few hundred metres apart there).
TEST(CTGSynth, AQuarterMillionScaleQuadrangleMatchesLewiston) {
  SynthOptions o = SmallQuad(44, -72);
  o.height = 1;
  o.width = 2;
  o.title = kLewistonHeader.Title;
  const SynthGrid g = PlanSynthGrid(o).grid.value();
  const std::string records = SynthHeaderRecords(o, g);
  // Records 1-4 hold only digits, blanks and "-".
  EXPECT_EQ(records.substr(0, 320).find_first_not_of("0123456789 -"), std::string::npos);
  CTGHeader synth = DecodeCTGHeader(records).value();
  CTGHeader real = kLewistonHeader;
  EXPECT_EQ(synth.RecordCountTimes2, 2 * g.rows * g.columns);
  EXPECT_EQ(std::tie(synth.GridDimension1, synth.GridDimension2), std::tie(g.rows, g.columns));
  // The real file's last value, the row of the south middle point, is 373:
  // not where that point lies (row 568 here).
  for (std::size_t i = 0; i < 15; ++i) EXPECT_NEAR(synth.Rec2Values[i], real.Rec2Values[i], 3) << i;
  const decltype(synth.Rec2Values) positions = {1, 1, 810, 576, 1, 556, 21, 1, 415, 13, 809, 20, 803, 576, 402, 568};
  EXPECT_EQ(synth.Rec2Values, positions);
  EXPECT_NEAR(synth.RefCornerEasting, real.RefCornerEasting, 400);
  EXPECT_NEAR(synth.RefCornerNorthing, real.RefCornerNorthing, 600);
  // Odd multiples of half a cell: cell centres lie on multiples of the cell.
  EXPECT_EQ(std::make_tuple(synth.RefCornerEasting, synth.RefCornerNorthing), std::make_tuple(259300, 4987500));
  std::tie(real.GridDimension1, real.GridDimension2, real.RecordCountTimes2, real.Rec1Text71, real.Rec2Values,
           real.RefCornerEasting, real.RefCornerNorthing) =
      std::tie(synth.GridDimension1, synth.GridDimension2, synth.RecordCountTimes2, synth.Rec1Text71,
               synth.Rec2Values, synth.RefCornerEasting, synth.RefCornerNorthing);
  EXPECT_EQ(synth, real);
}

// Cells run row by row from the north, their centres on multiples of the
// cell, half a cell in from the grid corner; inside the quadrangle they hold
// the hash codes, second-level codes of the table, outside 0.
TEST(CTGSynth, CellsOfASmallQuadrangle) {
  const SynthOptions o = SmallQuad(44, -72);
  const SynthGrid g = *PlanSynthGrid(o).grid;
  const std::string bytes = Written(o);
  ASSERT_EQ(bytes.size(), kCTGHeaderLength + kCTGRecordLength * g.Records());
  std::set<int16_t> codes;
  for (int32_t k = 0; k < g.rows * g.columns; ++k) {
    const int32_t easting = g.refCornerEasting + 100 + 200 * (k % g.columns);
    const int32_t northing = g.refCornerNorthing - 100 - 200 * (k / g.columns);
    const GeoPoint at = UtmToGeographic(19, easting, northing);
    const bool in = at.latitude >= 44.0 && at.latitude <= 44.1 && at.longitude >= -72.0 && at.longitude <= -71.8;
    const int16_t code = in ? SynthHashCode(easting, northing) : 0;
    ASSERT_THAT(DecodeCTGCell(std::string_view(bytes).substr(400 + 80 * k, 80)),
                Optional(FieldsAre(19, easting, northing, code))) << k;
    codes.insert(code);
  }
  EXPECT_EQ(codes.size(), 38u);  // 0 and 37 hash codes
  for (const int16_t code : codes) {
    EXPECT_TRUE(code == 0 || (code % 10 != 0 && LULCCodeDescription(code) != "Unidentified Code")) << code;
  }
}

TEST(CTGSynth, SouthernHemisphereAndEastLongitudes) {
  const SynthOptions o = SmallQuad(-34.0, 18.4);
  const SynthGrid g = *PlanSynthGrid(o).grid;
  EXPECT_EQ(g.zone, 34);
  EXPECT_LT(g.refCornerNorthing, 0);  // no false northing
  // Negative DDD keeps positive minutes: -33.9 is written as -34 degrees 6
  // minutes (read back as -34 + 6 / 60), and the longitude 18.4 E (written
  // negated) as -19 degrees 36 minutes.
  EXPECT_EQ(SynthHeaderRecords(o, g).substr(160, 30), "   -340000   -193600   -340600");
}

// Bad records hold a code outside 16 bits or exactly at the marker limit;
// they and the patches of codes follow the seed.
TEST(CTGSynth, PatchesAndBadRecordsFollowTheSeed) {
  SynthOptions o = SmallQuad(44, -72);
  o.pattern = SynthPattern::kPatches;
  o.badRecords = 7;
  const std::string bytes = Written(o);
  std::set<int16_t> codes;
  std::set<std::string> badCodeFields;
  int bad = 0;
  for (std::size_t at = kCTGHeaderLength; at < bytes.size(); at += kCTGRecordLength) {
    const std::string record = bytes.substr(at, kCTGRecordLength);
    const std::optional<CTGCell> cell = DecodeCTGCell(record);
    if (!cell) {
      ++bad;
      badCodeFields.insert(record.substr(20, 10));
    } else {
      ASSERT_NE(LULCCodeDescription(cell->LULCCode), "Unidentified Code") << cell->LULCCode;
      codes.insert(cell->LULCCode);
    }
  }
  EXPECT_GE(codes.size(), 4u);  // more than one class besides 0
  EXPECT_EQ(bad, 7);
  EXPECT_THAT(badCodeFields, ElementsAre("     99999", "2000000000"));
  EXPECT_EQ(Written(o), bytes);
  o.seed = 99;
  EXPECT_NE(Written(o), bytes);
}

TEST(CTGSynth, OptionsThatCannotMakeACTGFileAreRefused) {
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

// A refused or failed write leaves the old file; a written one replaces it.
TEST(CTGSynth, TheFileIsWrittenWholeOrNotAtAll) {
  const TempDir dir;
  WriteWholeFile(dir.file("quad.ctg"), "old contents");
  SynthOptions bad = SmallQuad(44, -72);
  bad.cellSize = 3;
  EXPECT_FALSE(WriteSynthCTG(bad, dir.file("quad.ctg")).ok);
  EXPECT_EQ(ReadWholeFile(dir.file("quad.ctg")), "old contents");
  EXPECT_THAT(WriteSynthCTG(SmallQuad(44, -72), dir.file("no/such/quad.ctg")).error,
              StartsWith(dir.file("no/such/quad.ctg: ")));
  ASSERT_TRUE(WriteSynthCTG(SmallQuad(44, -72), dir.file("quad.ctg")).ok);
  EXPECT_EQ(ReadWholeFile(dir.file("quad.ctg")).size() % 80, 0u);
}

}  // namespace
}  // namespace tilbo
