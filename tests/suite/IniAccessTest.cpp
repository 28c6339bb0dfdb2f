#include "suite/IniAccess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

TEST(IniAccess, ArgumentsAreTrimmedAndValuesCutAt1999Bytes) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("w.ini");
  WriteINI(" Sec ", " Key ", "  value  ", " " + ini + " ");
  WriteINI("Sec", "Long", std::string(2100, 'L'), ini);
  EXPECT_EQ(ReadINI("  Sec ", " Key  ", "d", "  " + ini + "  "), "value");
  EXPECT_EQ(ReadINI("Sec", "Missing", "  padded default  ", ini), "padded default");
  EXPECT_EQ(ReadINI("Sec", "Long", "", ini), std::string(1999, 'L'));
  WriteINI("S", "k", "v", env.home.file("missing/dir/w.ini"));  // the failure is ignored
  EXPECT_FALSE(std::filesystem::exists(env.home.file("missing")));
}

// The user-defaults INI and the suite INI disagree about "1".
TEST(IniAccess, TruthWords) {
  SuiteEnvironment env;
  const std::string text = "[B]\none=1\ntrue=true\nminus= -1 \nyes=yes\nzero=0\nempty=\nTRUEish=TRUE!\n";
  std::string ini = env.home.file("bool.ini");
  WriteWholeFile(ini, text);
  WriteWholeFile(env.suite.file("QMGAV32.INI"), text);
  const struct {
    const char* key;
    const char* def;
    bool user;
    bool suite;
  } cases[] = {{"one", "", true, false},      {"true", "", true, true},     {"minus", "", true, true},
               {"yes", "", false, false},     {"zero", "", false, false},   {"empty", "TRUE", false, false},
               {"TRUEish", "", false, false}, {"missing", " true ", true, true}, {"missing", "1", true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " default " + c.def);
    EXPECT_EQ(ReadINIBool("B", c.key, c.def, ini), c.user);
    EXPECT_EQ(ReadSuiteINIBool("B", c.key, c.def), c.suite);
  }
}

TEST(IniAccess, BlankFileMeansTheUserDefaultsIni) {
  SuiteEnvironment env;
  EXPECT_EQ(GetDefaultsIniPath(), "QMconfig.InI");
  Config().userDefaultsIniPath = "  ";
  EXPECT_EQ(GetDefaultsIniPath(), env.suite.file("QMDEFAULTS.INI"));
  EXPECT_EQ(Config().userDefaultsIniPath, env.suite.file("QMDEFAULTS.INI"));

  Config().userDefaultsIniPath = env.home.file("QMDEFAULTS.INI");
  WriteWholeFile(Config().userDefaultsIniPath, "[S]\nk=from defaults\n");
  std::string file = "   ";
  EXPECT_EQ(ReadINIText("S", "k", "", file), "from defaults");
  EXPECT_EQ(file, Config().userDefaultsIniPath);
  std::string blank;
  EXPECT_TRUE(ReadINIBool("S", "missing", "TRUE", blank));
  EXPECT_EQ(blank, Config().userDefaultsIniPath);
}

}  // namespace
}  // namespace tilbo
