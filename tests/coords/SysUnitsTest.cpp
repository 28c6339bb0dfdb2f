#include "coords/SysUnits.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using ::testing::HasSubstr;
using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

class SysUnitsTest : public ::testing::Test {
 protected:
  void SetUp() override { Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI"); }
  void TearDown() override { SetCoordinateFormatForTesting(kDefaultCoordinateFormat); }
  SuiteEnvironment env_;
};

TEST_F(SysUnitsTest, CoordFmtIsTakenAsWrittenAndDefaultsToDegreesMinutesSeconds) {
  const struct {
    const char* ini;
    const char* format;
  } cases[] = {
      {"[system units]\r\ncoord fmt = DDD.dddd \r\n", "DDD.dddd"},
      {"[System Units]\r\nCoord Fmt=Gradians\r\n", "Gradians"},  // not checked
      {"[CONFIG]\r\nx=1\r\n", "DDD MM SS.ss"},
  };
  for (const auto& c : cases) {
    SetCoordinateFormatForTesting("before");
    WriteWholeFile(Config().userDefaultsIniPath, c.ini);
    getSysUnits();
    EXPECT_EQ(CoordinateFormat(), c.format) << c.ini;
  }
}

TEST_F(SysUnitsTest, TraceLineOnlyAtLevel100) {
  getSysUnits();
  EXPECT_FALSE(std::filesystem::exists(env_.suite.file("QMTECSUP.TXT")));
  Config().techSupportLogLevel = 100;
  getSysUnits();
  EXPECT_THAT(ReadWholeFile(env_.suite.file("QMTECSUP.TXT")), HasSubstr(":  enter getSysUnits  (ctgtilbo "));
}

}  // namespace
}  // namespace tilbo
