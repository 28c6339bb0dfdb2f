#include "coords/SysUnits.h"

#include <gtest/gtest.h>

#include "coords/CoordText.h"
#include "suite/NumberFormat.h"
#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

class SysUnitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
    OverrideSeparatorsForTesting(&english_);
  }
  void TearDown() override {
    SetCoordinateFormatForTesting(kDefaultCoordinateFormat);
    OverrideSeparatorsForTesting(nullptr);
  }
  SuiteEnvironment env_;
  NumberSeparators english_{".", ","};
};

TEST_F(SysUnitsTest, MissingSectionMeansDegreesMinutesSeconds) {
  SetCoordinateFormatForTesting("DDD.dddd");
  WriteWholeFile(Config().userDefaultsIniPath, "[CONFIG]\r\nx=1\r\n");
  getSysUnits();
  EXPECT_EQ(CoordinateFormat(), "DDD MM SS.ss");
  EXPECT_EQ(DecDeg_to_String(40.1, "LT"), " 40 06 0.00 N");
}

TEST_F(SysUnitsTest, CoordFmtIsTakenAsWritten) {
  WriteWholeFile(Config().userDefaultsIniPath, "[system units]\r\ncoord fmt = DDD.dddd \r\n");
  getSysUnits();
  EXPECT_EQ(CoordinateFormat(), "DDD.dddd");
  EXPECT_EQ(DecDeg_to_String(-105.5, "LN"), "-105.500000000");

  WriteWholeFile(Config().userDefaultsIniPath, "[System Units]\r\nCoord Fmt=Gradians\r\n");
  getSysUnits();
  EXPECT_EQ(CoordinateFormat(), "Gradians");
}

TEST_F(SysUnitsTest, TraceLineOnlyAtLevel100) {
  getSysUnits();
  EXPECT_FALSE(std::filesystem::exists(env_.suite.file("QMTECSUP.TXT")));
  Config().techSupportLogLevel = 100;
  getSysUnits();
  EXPECT_NE(ReadWholeFile(env_.suite.file("QMTECSUP.TXT")).find(":  enter getSysUnits  (ctgtilbo "),
            std::string::npos);
}

}  // namespace
}  // namespace tilbo
