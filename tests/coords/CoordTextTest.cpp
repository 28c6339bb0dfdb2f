#include "coords/CoordText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "coords/SysUnits.h"
#include "suite/ActiveProcedures.h"
#include "suite/NumberFormat.h"
#include "suite/Prompter.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ReadWholeFile;
using testing::ScriptedPrompter;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

// The coordinate format setting and the text of coordinates in each format.
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

TEST_F(CoordTextTest, EveryFormatWithItsRoundingAndHemispheres) {
  const NumberSeparators german{",", "."};
  const struct {
    const char* format;
    double value;
    const char* kind;
    const char* text;
    bool commaDecimals = false;
  } cases[] = {
      {"DDD MM SS.ss", -105.25, "LN", "105 15 0.00 W"}, {"DDD MM SS.ss", 40.1, "LT", " 40 06 0.00 N"},
      {"DDD MM SS.ss", -99.5, "LN", " 99 30 0.00 W"},  // three characters for the degrees
      {"DDD MM SS.ss", 45.123456, "LT", " 45 07 24.44 N"},
      {"DDD MM SS.ss", -33.5, "LT", " 33 30 0.00 S"}, {"DDD MM SS.ss", 152.25, "LN", "152 15 0.00 E"},
      // Zero is north as a latitude and west as a longitude; only "LT" is a latitude.
      {"DDD MM SS.ss", 0, "LT", " 00 00 0.00 N"}, {"DDD MM SS.ss", 0, "LN", " 00 00 0.00 W"},
      {"DDD MM SS.ss", 7.5, "lt", " 07 30 0.00 E"},
      // Seconds that round to 60.00 carry into the minutes, and on into the degrees.
      {"DDD MM SS.ss", 0.999999, "LT", " 01 00 0.00 N"},
      {"DDD MM SS.ss", -(99 + 59.0 / 60 + 59.999 / 3600), "LN", "100 00 0.00 W"},
      {"DDD MM SS.ss", 10 + 29.0 / 60 + 59.994 / 3600, "LT", " 10 29 59.99 N"},
      {"DDD MM SS.ss", 32767.5, "LN", "32767 30 0.00 E"},  // the largest degrees that fit
      // Any other setting means degrees, minutes and seconds.
      {"", -105.25, "LN", "105 15 0.00 W"}, {"ddd.dddd", -105.25, "LN", "105 15 0.00 W"},
      {"DDD MM SS.ss ", -105.25, "LN", "105 15 0.00 W"},
      {"DDD.dddd", -105.5, "LN", "-105.500000000"}, {"DDD.dddd", 0.25, "LT", ".250000000"},
      {"DDD MM.mmm", 45.5, "LT", " 45 30.00000 N"},
      // A hair below one degree stays 0 degrees until the minutes round to 60.
      {"DDD MM.mmm", 0.999999, "LT", " 00 59.99994 N"},
      {"DDD MM.mmm", 0.9999999999, "LT", " 01 00.00000 N"},
      // The regional decimal mark (the number pictures are the suite's).
      {"DDD MM SS.ss", 45.123456, "LT", " 45 07 24,44 N", true},
  };
  for (const auto& c : cases) {
    SetCoordinateFormatForTesting(c.format);
    OverrideSeparatorsForTesting(c.commaDecimals ? &german : &english_);
    EXPECT_EQ(DecDeg_to_String(c.value, c.kind), c.text) << '"' << c.format << "\" " << c.value;
  }
  EXPECT_THAT(prompter_.shown, IsEmpty());
}

// The report's layout is the suite's; here its number, text and procedure.
TEST_F(CoordTextTest, OutOfRangeValuesAreReportedAndGiveEmptyText) {
  const double values[] = {40000.0, 32767.9999999999,  // the minutes carry pushes past 16 bits
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::infinity()};
  for (double value : values) EXPECT_EQ(DecDeg_to_String(value, "LN"), "") << value;
  ASSERT_EQ(prompter_.shown.size(), 4u);
  EXPECT_THAT(prompter_.shown[0].text,
              AllOf(HasSubstr("Error 6:  Overflow"), HasSubstr("Procedure: DecDeg_to_String; Flag 0\r\n")));
  EXPECT_THAT(ReadWholeFile(env_.suite.file("QMTECSUP.TXT")),
              AllOf(HasSubstr("DecDeg_to_String Error: 40000  (ctgtilbo "), Not(HasSubstr("DETAIL:"))));
  EXPECT_THAT(ActiveProcedures(), IsEmpty());
}

// The INI reading rules are the suite's; here the section, key and default.
TEST_F(CoordTextTest, FormatSettingIsTakenAsWrittenAndDefaultsToDegreesMinutesSeconds) {
  Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
  const struct {
    const char* ini;
    const char* format;
  } cases[] = {
      {"[System Units]\r\nCoord Fmt=Gradians\r\n", "Gradians"},  // not checked
      {"[CONFIG]\r\nx=1\r\n", "DDD MM SS.ss"},
  };
  for (const auto& c : cases) {
    SetCoordinateFormatForTesting("before");
    WriteWholeFile(Config().userDefaultsIniPath, c.ini);
    getSysUnits();
    EXPECT_EQ(CoordinateFormat(), c.format) << c.ini;
  }
  // The trace line only at level 100.
  EXPECT_FALSE(std::filesystem::exists(env_.suite.file("QMTECSUP.TXT")));
  Config().techSupportLogLevel = 100;
  getSysUnits();
  EXPECT_THAT(ReadWholeFile(env_.suite.file("QMTECSUP.TXT")), HasSubstr(":  enter getSysUnits  (ctgtilbo "));
}

}  // namespace
}  // namespace tilbo
