// Where the program keeps its files, and what it keeps in its settings: the
// INI read and write operations with their trimming and truth rules, window
// positions, the regional characters, and where the user-defaults INI settles.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>
#include <string>

#include "suite/FormLocation.h"
#include "suite/IniAccess.h"
#include "suite/NumberFormat.h"
#include "suite/Paths.h"
#include "suite/Prompter.h"
#include "suite/Regional.h"
#include "suite/SettleDefaultsIni.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using ::testing::HasSubstr;
using namespace tilbo::testing;
namespace fs = std::filesystem;

TEST(SetPathName, JoinsWithExactlyOneSlash) {
  const struct {
    std::string directory, name;
    bool convertSlashes;
  } cases[] = {{"/data/", "//X.LUC", true}, {"/data", "X.LUC", true}, {"/data/", "\\X.LUC", false},
               {"/data/ ", "/ \\ X.LUC  ", true}, {"/data/\0"s, "X.LUC", true}};  // a NUL left by a system buffer
  for (const auto& c : cases) EXPECT_EQ(setPathName(c.directory, c.name, c.convertSlashes), "/data/X.LUC") << c.name;
  // "\" is an ordinary character inside names and directories.
}

TEST(FileExists, NeedsAtLeastOneByte) {
  TempDir dir;
  WriteWholeFile(dir.file("empty"), "");
  WriteWholeFile(dir.file("one"), "1");
  EXPECT_TRUE(FileExists(dir.file("one")));
  for (const std::string& path :
       {dir.file("missing"), dir.file("empty"), dir.path().string(), ""s, dir.file("one") + "\0junk"s}) {
    EXPECT_FALSE(FileExists(path)) << path;
  }
}

// The suite's own files are found whatever their case; other names keep theirs.
TEST(ResolveWellKnownName, OnlyTheSuiteFilesIgnoreCase) {
  TempDir dir;
  for (const char* name : {"qmconfig.ini", "qmdefaults.INI", "QMDefaults.ini", "other.ini"}) {
    WriteWholeFile(dir.file(name), "x");
  }
  // Of several spellings the first in byte order, whatever the listing order.
  const std::pair<const char*, const char*> cases[] = {
      {"QMconfig.InI", "qmconfig.ini"}, {"QMDEFAULTS.INI", "QMDefaults.ini"}, {"OTHER.INI", "OTHER.INI"}};
  for (const auto& [given, found] : cases) EXPECT_EQ(ResolveWellKnownName(dir.file(given)), dir.file(found));
}

TEST(SuiteDirectories, XdgFallbacksAndTheProgramsOwnVariable) {
  TempDir root;
  ScopedEnv noHome("CTGTILBO_HOME", "");
  ScopedEnv noWindows("CTGTILBO_WINDOWS_DIR", "");
  ScopedEnv noSuite("CTGTILBO_SUITE_DIR", "");
  ScopedEnv config("XDG_CONFIG_HOME", root.file("config"));
  ScopedEnv home("HOME", root.file("home"));
  ScopedEnv relative("XDG_DATA_HOME", "relative/path");  // not absolute: ignored
  EXPECT_EQ(ProgramDirectory(), root.file("home") + "/.local/share/ctgtilbo/");
  EXPECT_EQ(GetWindowsFolder(), root.file("config") + "/ctgtilbo");
  EXPECT_TRUE(fs::is_directory(root.file("config/ctgtilbo")));  // created on first use
  ScopedEnv programHome("CTGTILBO_HOME", root.file("prog//"));
  EXPECT_EQ(ProgramDirectory(), root.file("prog") + "/");
  EXPECT_EQ(GetSuiteDirectory(), ProgramDirectory());
  ScopedEnv windows("CTGTILBO_WINDOWS_DIR", root.file("win/"));
  EXPECT_EQ(GetWindowsFolder(), root.file("win"));
}

// The user-defaults INI in the program's directory, "," and "." as the
// regional characters, messages to a scripted prompter.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    OverrideSeparatorsForTesting(&german_);
    SetActivePrompter(&prompter_);
    Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
  }
  void TearDown() override {
    OverrideSeparatorsForTesting(nullptr);
    SetActivePrompter(nullptr);
  }
  const std::string& ini() const { return Config().userDefaultsIniPath; }

  SuiteEnvironment env_;
  NumberSeparators german_{",", "."};
  ScriptedPrompter prompter_;
};

TEST_F(Settings, ArgumentsAreTrimmedValuesCutAt1999BytesBlankFileIsTheDefaultsIni) {
  WriteINI(" Sec ", " Key ", "  value  ", " " + ini() + " ");
  WriteINI("Sec", "Long", std::string(2100, 'L'), ini());
  EXPECT_EQ(ReadINI("  Sec ", " Key  ", "d", "  " + ini() + "  "), "value");
  EXPECT_EQ(ReadINI("Sec", "Missing", "  padded default  ", ini()), "padded default");
  EXPECT_EQ(ReadINI("Sec", "Long", "", ini()), std::string(1999, 'L'));
  std::string text = "   ";
  EXPECT_EQ(ReadINIText("Sec", "Key", "", text), "value");
  EXPECT_EQ(text, ini());
  std::string truth;
  EXPECT_TRUE(ReadINIBool("Sec", "Missing", "TRUE", truth));
  EXPECT_EQ(truth, ini());
}

// The user-defaults INI and the suite INI disagree about "1".
TEST_F(Settings, TruthWords) {
  const std::string text = "[B]\none=1\nminus= -1 \nempty=\n";
  std::string file = ini();
  WriteWholeFile(file, text);
  WriteWholeFile(env_.suite.file("QMGAV32.INI"), text);
  const struct {
    const char *key, *def;
    bool user, suite;
  } cases[] = {{"one", "", true, false},           {"minus", "", true, true}, {"empty", "TRUE", false, false},
               {"missing", " true ", true, true}, {"missing", "1", true, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(ReadINIBool("B", c.key, c.def, file), c.user) << c.key << " default " << c.def;
    EXPECT_EQ(ReadSuiteINIBool("B", c.key, c.def), c.suite) << c.key << " default " << c.def;
  }
}

// An 800 x 600 window designed at (100, 50).
WindowPlacement MainWindow() { return WindowPlacement{"frmMain", 100, 50, 800, 600, false, false}; }

TEST_F(Settings, SaveFormLocWritesLeftAndTopUnlessMinimisedOrMaximised) {
  WindowPlacement w = MainWindow();
  SaveFormLoc(w, " ", "");
  EXPECT_EQ(ReadWholeFile(ini()), "[CONFIG]\r\nfrmMain-X=100\r\nfrmMain-Y=50\r\n");
  w.left = 5;
  w.minimized = true;
  SaveFormLoc(w, "", "");
  w.minimized = false;
  w.maximized = true;
  SaveFormLoc(w, "", "");
  EXPECT_EQ(ReadINI("CONFIG", "frmMain-X", "", ini()), "100");
  w.maximized = false;
  SaveFormLoc(w, "Conv", env_.home.file("other.ini"));
  EXPECT_EQ(ReadINI("CONFIG", "frmMain Conv-X", "", env_.home.file("other.ini")), "5");
}

// On a 1920 x 1080 screen, with the defaults x and y given to the call.
TEST_F(Settings, RestoreFormLocTakesTheSavedPositionOrTheDefaultsKeepingWindowsOnScreen) {
  const struct {
    const char* saved;  // the CONFIG lines
    double x, y;
    int left, top;
  } cases[] = {
      {"", -88, -88, 100, 50},  // nothing saved, defaults below 1: where it was designed
      {"", 300, 200, 300, 200},
      {"frmMain-X=640.5\nfrmMain-Y=  12\n", 300, 200, 640, 12},  // "." as decimal mark, rounded
      {"frmMain-X=-20\nfrmMain-Y=-1\n", -88, -88, 192, 108},     // negative: a tenth of the screen
      {"frmMain-X=1900\nfrmMain-Y=100\n", -88, -88, 560, 240},   // its first tenth beyond the right edge: centred
      {"frmMain-X=1840\nfrmMain-Y=1020\n", -88, -88, 1840, 1020},
      {"frmMain-X=10\nfrmMain-Y=1030\n", -88, -88, 560, 240},  // below the bottom edge
  };
  for (const auto& c : cases) {
    WriteWholeFile(ini(), std::string("[CONFIG]\n") + c.saved);
    WindowPlacement w = MainWindow();
    RestoreFormLoc(w, c.x, c.y, " ", ini(), ScreenGeometry{1920, 1080});
    EXPECT_EQ(w.left, c.left) << c.saved;
    EXPECT_EQ(w.top, c.top) << c.saved;
  }
}

TEST_F(Settings, RegionalFormatIsStoredOnTheFirstRunAndEachDifferenceDescribed) {
  CheckRegionalSettings();  // the first run stores the characters silently
  EXPECT_EQ(ReadINI("CONFIG", "Last Decimal", "", ini()), ",");
  EXPECT_EQ(ReadINI("CONFIG", "Last Dig Sep", "", ini()), ".");
  const std::pair<const char*, const char*> cases[] = {
      {"Last Decimal=,\nLast Dig Sep=,", "Digit Separator was ',' but now is '.'"},
      {"Last Decimal=.\nLast Dig Sep=", "Decimal was '.' but now is ','"}};
  for (const auto& [stored, expected] : cases) {
    WriteWholeFile(ini(), std::string("[CONFIG]\n") + stored + "\n");
    std::string description = "stale";
    EXPECT_TRUE(ReadRegionalFormat(description));
    EXPECT_EQ(description, expected);
  }
}

TEST_F(Settings, ARegionalChangeIsLoggedShownAndNotStored) {
  const std::string stored = "[CONFIG]\nLast Decimal=.\nLast Dig Sep=,\n";
  WriteWholeFile(ini(), stored);
  CheckRegionalSettings();
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(prompter_.shown[0].title, "Regional Settings Changed");
  EXPECT_EQ(prompter_.shown[0].text,
            "WARNING:  The Regional Settings for Decimal character and Digit Separator character have been "
            "changed.\r\n\r\n"
            "Decimal was '.' but now is ','\r\nDigit Separator was ',' but now is '.'\r\n\r\n"
            "Some settings in your QMDEFAULTS.INI file using the old settings may cause errors.\r\n\r\n"
            "Use the Configuration menu to Purge the configuration file to remove old settings.");
  EXPECT_EQ(ReadWholeFile(ini()), stored);
  EXPECT_THAT(ReadWholeFile(env_.suite.file("QMTECSUP.TXT")), HasSubstr("WARNING:  The Regional Settings"));
}

TEST(SettleUserDefaultsIni, OldConfigIsCopiedOnceThenRetired) {
  SuiteEnvironment env;
  const std::string settings = "[CONFIG]\r\nfrmMain-X=10\r\n";
  WriteWholeFile(env.windows.file("qmconfig.ini"), settings);
  EXPECT_TRUE(SettleUserDefaultsIni(true));
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
}

TEST(SettleUserDefaultsIni, NothingToCarryOverOrPathAlreadySettled) {
  SuiteEnvironment env;
  // No old file: the path moves only when asked.
  EXPECT_TRUE(SettleUserDefaultsIni(false));
  EXPECT_EQ(Config().userDefaultsIniPath, "QMconfig.InI");
  // The bare name QMDEFAULTS.INI as current path: no copy.
  WriteWholeFile(env.windows.file("QMCONFIG.INI"), "[A]\r\n");
  Config().userDefaultsIniPath = "QMDEFAULTS.INI";
  EXPECT_TRUE(SettleUserDefaultsIni(true));
  EXPECT_FALSE(fs::exists(env.home.file("QMDEFAULTS.INI")));
  EXPECT_EQ(Config().userDefaultsIniPath, env.home.file("QMDEFAULTS.INI"));
  // A blank path means QMDEFAULTS.INI in the suite directory.
  Config().userDefaultsIniPath = "  ";
  GetDefaultsIniPath();
  EXPECT_EQ(Config().userDefaultsIniPath, env.suite.file("QMDEFAULTS.INI"));
  // Nothing settles without a Windows folder (it cannot be made: its parent is a file).
  WriteWholeFile(env.windows.file("file"), "x");
  ScopedEnv windows("CTGTILBO_WINDOWS_DIR", env.windows.file("file") + "/sub");
  EXPECT_FALSE(SettleUserDefaultsIni(true));
}

TEST(SettleUserDefaultsIni, RetiredNameCarriesTheLocalTime) {
  std::tm when{3, 5, 9, 7, 2, 2024 - 1900, 0, 0, -1, 0, nullptr};  // 2024-03-07 09:05:03, local time
  EXPECT_EQ(RetiredConfigName(std::mktime(&when)), "QMCONFIG 20240307090503.INI");
}

}  // namespace
}  // namespace tilbo
