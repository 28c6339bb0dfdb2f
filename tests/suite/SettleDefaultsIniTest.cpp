#include "suite/SettleDefaultsIni.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::CountEntries;
using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

TEST(SettleUserDefaultsIni, OldConfigIsCopiedOnceThenRetired) {
  SuiteEnvironment env;
  const std::string settings = "[CONFIG]\r\nfrmMain-X=10\r\n";
  WriteWholeFile(env.windows.file("qmconfig.ini"), settings);

  EXPECT_TRUE(SettleUserDefaultsIni(true));
  EXPECT_EQ(Config().userDefaultsIniPath, env.home.file("QMDEFAULTS.INI"));
  EXPECT_EQ(ReadWholeFile(env.home.file("QMDEFAULTS.INI")), settings);
  ASSERT_EQ(CountEntries(env.windows.path()), 1);
  const fs::path retired = fs::directory_iterator(env.windows.path())->path();
  EXPECT_TRUE(std::regex_match(retired.filename().string(), std::regex(R"(QMCONFIG \d{14}\.INI)"))) << retired;
  EXPECT_EQ(ReadWholeFile(retired), settings);

  // A second start finds QMDEFAULTS.INI and copies nothing.
  WriteWholeFile(env.windows.file("QMCONFIG.INI"), "[CONFIG]\r\nnewer=1\r\n");
  Config().userDefaultsIniPath = "QMconfig.InI";
  EXPECT_TRUE(SettleUserDefaultsIni(true));
  EXPECT_EQ(ReadWholeFile(env.home.file("QMDEFAULTS.INI")), settings);
  EXPECT_TRUE(fs::exists(env.windows.file("QMCONFIG.INI")));
}

TEST(SettleUserDefaultsIni, NothingToCarryOverOrPathAlreadySettled) {
  SuiteEnvironment env;
  // No old file: nothing is created, the path moves only when asked.
  EXPECT_TRUE(SettleUserDefaultsIni(false));
  EXPECT_EQ(Config().userDefaultsIniPath, "QMconfig.InI");
  EXPECT_FALSE(fs::exists(env.home.file("QMDEFAULTS.INI")));

  // The bare name QMDEFAULTS.INI as current path: no copy either.
  WriteWholeFile(env.windows.file("QMCONFIG.INI"), "[A]\r\n");
  Config().userDefaultsIniPath = "QMDEFAULTS.INI";
  EXPECT_TRUE(SettleUserDefaultsIni(true));
  EXPECT_FALSE(fs::exists(env.home.file("QMDEFAULTS.INI")));
  EXPECT_TRUE(fs::exists(env.windows.file("QMCONFIG.INI")));
  EXPECT_EQ(Config().userDefaultsIniPath, env.home.file("QMDEFAULTS.INI"));
}

TEST(SettleUserDefaultsIni, MissingWindowsFolderLeavesThePath) {
  SuiteEnvironment env;
  // A Windows folder that cannot be created (its parent is a file).
  WriteWholeFile(env.windows.file("file"), "x");
  ScopedEnv windows("CTGTILBO_WINDOWS_DIR", env.windows.file("file") + "/sub");
  EXPECT_FALSE(SettleUserDefaultsIni(true));
  EXPECT_EQ(Config().userDefaultsIniPath, "QMconfig.InI");
}

TEST(SettleUserDefaultsIni, RetiredNameCarriesTheLocalTime) {
  std::tm when{3, 5, 9, 7, 2, 2024 - 1900, 0, 0, -1, 0, nullptr};  // 2024-03-07 09:05:03, local time
  EXPECT_EQ(RetiredConfigName(std::mktime(&when)), "QMCONFIG 20240307090503.INI");
}

}  // namespace
}  // namespace tilbo
