#include "suite/IniAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

TEST(ReadINI, TrimsEverythingAndCutsAt1999Bytes) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("test.ini");
  WriteWholeFile(ini, "[Sec]\nKey= value \nLong=" + std::string(2100, 'L') + "\n");
  EXPECT_EQ(ReadINI("  Sec ", " Key  ", "d", "  " + ini + "  "), "value");
  EXPECT_EQ(ReadINI("Sec", "Missing", "  padded default  ", ini), "padded default");
  EXPECT_EQ(ReadINI("Sec", "Long", "", ini), std::string(1999, 'L'));
}

TEST(ReadINIText, BlankFileMeansTheUserDefaultsIni) {
  SuiteEnvironment env;
  Config().userDefaultsIniPath = env.home.file("QMDEFAULTS.INI");
  WriteWholeFile(Config().userDefaultsIniPath, "[S]\nk=from defaults\n");
  std::string file = "   ";
  EXPECT_EQ(ReadINIText("S", "k", "", file), "from defaults");
  EXPECT_EQ(file, Config().userDefaultsIniPath);
  std::string blank;
  EXPECT_TRUE(ReadINIBool("S", "missing", "TRUE", blank));
  EXPECT_EQ(blank, Config().userDefaultsIniPath);
}

TEST(ReadINIBool, TruthWordsOfTheUserDefaultsIni) {
  SuiteEnvironment env;
  std::string ini = env.home.file("bool.ini");
  WriteWholeFile(ini, "[B]\none=1\ntrue=true\nminus= -1 \nyes=yes\nzero=0\nempty=\nTRUEish=TRUE!\n");
  EXPECT_TRUE(ReadINIBool("B", "one", "", ini));
  EXPECT_TRUE(ReadINIBool("B", "true", "", ini));
  EXPECT_TRUE(ReadINIBool("B", "minus", "", ini));
  EXPECT_FALSE(ReadINIBool("B", "yes", "", ini));
  EXPECT_FALSE(ReadINIBool("B", "zero", "", ini));
  EXPECT_FALSE(ReadINIBool("B", "empty", "TRUE", ini));
  EXPECT_FALSE(ReadINIBool("B", "TRUEish", "", ini));
  EXPECT_TRUE(ReadINIBool("B", "missing", " true ", ini));
}

TEST(ReadSuiteINIBool, OneIsFalseInTheSuiteIni) {
  SuiteEnvironment env;
  WriteWholeFile(env.suite.file("QMGAV32.INI"), "[B]\none=1\ntrue=True\nminus=-1\n");
  EXPECT_EQ(GetSuiteIniPath(), env.suite.file("QMGAV32.INI"));
  EXPECT_FALSE(ReadSuiteINIBool("B", "one", ""));
  EXPECT_TRUE(ReadSuiteINIBool("B", "true", ""));
  EXPECT_TRUE(ReadSuiteINIBool("B", "minus", ""));
  EXPECT_FALSE(ReadSuiteINIBool("B", "missing", "1"));
}

TEST(WriteINI, TrimsArgumentsAndIgnoresFailure) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("w.ini");
  WriteINI(" CTG Tilbo Settings ", " Delete Old ", "  Yes  ", " " + ini + " ");
  EXPECT_EQ(ReadWholeFile(ini), "[CTG Tilbo Settings]\r\nDelete Old=Yes\r\n");
  WriteINI("S", "k", "v", env.home.file("missing/dir/w.ini"));  // no crash, no file
  EXPECT_FALSE(std::filesystem::exists(env.home.file("missing")));
}

TEST(DefaultsIniPath, BlankPathsFallBackToTheSuiteDirectory) {
  SuiteEnvironment env;
  EXPECT_EQ(GetDefaultsIniPath(), "QMconfig.InI");
  Config().userDefaultsIniPath = "  ";
  EXPECT_EQ(GetDefaultsIniPath(), env.suite.file("QMDEFAULTS.INI"));
  EXPECT_EQ(Config().userDefaultsIniPath, env.suite.file("QMDEFAULTS.INI"));
}

}  // namespace
}  // namespace tilbo
