#include "coords/CoordText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "coords/SysUnits.h"
#include "suite/NumberFormat.h"
#include "suite/Prompter.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::ScriptedPrompter;
using testing::SuiteEnvironment;

class CoordTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OverrideSeparatorsForTesting(&english_);
    SetActivePrompter(&prompter_);
  }
  void TearDown() override {
    SetCoordinateFormatForTesting(kDefaultCoordinateFormat);
    OverrideSeparatorsForTesting(nullptr);
    SetActivePrompter(nullptr);
  }
  SuiteEnvironment env_;
  NumberSeparators english_{".", ","};
  ScriptedPrompter prompter_;
};

TEST_F(CoordTextTest, DegreesMinutesSecondsWithHemisphere) {
  SetCoordinateFormatForTesting("DDD MM SS.ss");
  EXPECT_EQ(DecDeg_to_String(-105.25, "LN"), "105 15 0.00 W");
  EXPECT_EQ(DecDeg_to_String(40.1, "LT"), " 40 06 0.00 N");
  EXPECT_EQ(DecDeg_to_String(-123.5, "LN"), "123 30 0.00 W");
  EXPECT_EQ(DecDeg_to_String(45.123456, "LT"), " 45 07 24.44 N");
  EXPECT_EQ(DecDeg_to_String(-33.5, "LT"), " 33 30 0.00 S");
  EXPECT_EQ(DecDeg_to_String(152.25, "LN"), "152 15 0.00 E");
  EXPECT_EQ(DecDeg_to_String(5, "LT"), " 05 00 0.00 N");
  // Zero is north as a latitude and west as a longitude.
  EXPECT_EQ(DecDeg_to_String(0, "LT"), " 00 00 0.00 N");
  EXPECT_EQ(DecDeg_to_String(0, "LN"), " 00 00 0.00 W");
  EXPECT_EQ(DecDeg_to_String(7.5, "lt"), " 07 30 0.00 E");
}

TEST_F(CoordTextTest, SecondsRoundingCarriesIntoMinutesAndDegrees) {
  SetCoordinateFormatForTesting("DDD MM SS.ss");
  // 59.9964 seconds round to 60.00: one degree, no minutes.
  EXPECT_EQ(DecDeg_to_String(0.999999, "LT"), " 01 00 0.00 N");
  // 10 deg 29 min 59.999 s: the carry stops at the minutes.
  EXPECT_EQ(DecDeg_to_String(10.5 - 0.001 / 3600, "LT"), " 10 30 0.00 N");
  EXPECT_EQ(DecDeg_to_String(-(99 + 59.0 / 60 + 59.999 / 3600), "LN"), "100 00 0.00 W");
  // Just below the rounding point: no carry.
  EXPECT_EQ(DecDeg_to_String(10 + 29.0 / 60 + 59.994 / 3600, "LT"), " 10 29 59.99 N");
}

TEST_F(CoordTextTest, AnyOtherSettingMeansDegreesMinutesSeconds) {
  for (const char* setting : {"", "ddd.dddd", "DMS", "DDD MM SS.ss "}) {
    SetCoordinateFormatForTesting(setting);
    EXPECT_EQ(DecDeg_to_String(-105.25, "LN"), "105 15 0.00 W") << '"' << setting << '"';
  }
}

TEST_F(CoordTextTest, SignedDecimalDegrees) {
  SetCoordinateFormatForTesting("DDD.dddd");
  EXPECT_EQ(DecDeg_to_String(-105.5, "LN"), "-105.500000000");
  EXPECT_EQ(DecDeg_to_String(0.25, "LT"), ".250000000");
  EXPECT_EQ(DecDeg_to_String(45.123456789, "LT"), "45.123456789");
  EXPECT_EQ(DecDeg_to_String(0, "LT"), ".000000000");
}

TEST_F(CoordTextTest, DegreesAndDecimalMinutesStayOnePair) {
  SetCoordinateFormatForTesting("DDD MM.mmm");
  EXPECT_EQ(DecDeg_to_String(45.5, "LT"), " 45 30.00000 N");
  EXPECT_EQ(DecDeg_to_String(-123.5, "LN"), "123 30.00000 W");
  // A hair below one degree: still 0 degrees with almost 60 minutes ...
  EXPECT_EQ(DecDeg_to_String(0.999999, "LT"), " 00 59.99994 N");
  // ... until the minutes round to 60 in the decimals shown.
  EXPECT_EQ(DecDeg_to_String(0.9999999999, "LT"), " 01 00.00000 N");
}

TEST_F(CoordTextTest, RegionalDecimalMark) {
  const NumberSeparators german{",", "."};
  OverrideSeparatorsForTesting(&german);
  SetCoordinateFormatForTesting("DDD.dddd");
  EXPECT_EQ(DecDeg_to_String(-105.5, "LN"), "-105,500000000");
  SetCoordinateFormatForTesting("DDD MM SS.ss");
  EXPECT_EQ(DecDeg_to_String(45.123456, "LT"), " 45 07 24,44 N");
  SetCoordinateFormatForTesting("DDD MM.mmm");
  EXPECT_EQ(DecDeg_to_String(45.5, "LT"), " 45 30,00000 N");
}

TEST_F(CoordTextTest, OutOfRangeValuesAreReportedAndGiveEmptyText) {
  SetCoordinateFormatForTesting("DDD MM SS.ss");
  EXPECT_EQ(DecDeg_to_String(40000.0, "LN"), "");
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].title, "Error in CTGTILBO");
  EXPECT_EQ(prompter_.shown[0].text.rfind("Error 6:  Overflow\r\n\r\nProcedures:\r\n"
                                          "Procedure: DecDeg_to_String; Flag 0\r\n\r\n",
                                          0),
            0u);
  const std::string log = ReadWholeFile(env_.suite.file("QMTECSUP.TXT"));
  EXPECT_NE(log.find("DecDeg_to_String Error: 40000  (ctgtilbo "), std::string::npos);
  EXPECT_EQ(log.find("DETAIL:"), std::string::npos);
  EXPECT_TRUE(ActiveProcedures().empty());

  // The minutes carry can push the degrees past the 16-bit range too.
  EXPECT_EQ(DecDeg_to_String(32767.9999999999, "LN"), "");
  EXPECT_EQ(DecDeg_to_String(std::numeric_limits<double>::quiet_NaN(), "LT"), "");
  EXPECT_EQ(DecDeg_to_String(-std::numeric_limits<double>::infinity(), "LT"), "");
  EXPECT_EQ(prompter_.shown.size(), 4u);
  // The largest value that fits still converts.
  EXPECT_EQ(DecDeg_to_String(32767.5, "LN"), "32767 30 0.00 E");
  EXPECT_TRUE(ActiveProcedures().empty());
}

TEST_F(CoordTextTest, EntryIsOnTheActiveProcedureListWhileRunning) {
  ActiveProcedure caller(1, 2);
  EXPECT_EQ(DecDeg_to_String(1e6, "LT"), "");
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_NE(prompter_.shown[0].text.find("Procedure: 1; Flag 2\r\nProcedure: DecDeg_to_String; Flag 0"),
            std::string::npos);
  ASSERT_EQ(ActiveProcedures().size(), 1u);
}

}  // namespace
}  // namespace tilbo
