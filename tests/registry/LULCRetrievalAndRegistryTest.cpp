// The LUC directory list: the INI section it is kept in, the registry that
// reads, extends, saves and searches it, and the picker that adds to it.
#include "registry/LULCRetrievalAndRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "registry/INISections.h"
#include "registry/frmDirectories.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using ::testing::_;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace tilbo::testing;
namespace fs = std::filesystem;

class LRRTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LRR_ResetModuleForTesting();
    Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
  }
  void TearDown() override { LRR_ResetModuleForTesting(); }

  const std::string& ini() const { return Config().userDefaultsIniPath; }
  // A directory in the test's home, created, without trailing "/".
  std::string MakeDir(const std::string& name) {
    fs::create_directories(env_.home.path() / name);
    return env_.home.file(name);
  }
  void WriteSection(const std::string& body) { WriteWholeFile(ini(), "[LULC Directories]\r\n" + body); }
  static std::vector<std::string> Listed() {
    std::vector<std::string> listed;
    for (int16_t i = 1; i <= LRR_GetDirectoryCount(); ++i) listed.push_back(LRR_GetDirectory(i));
    return listed;
  }

  SuiteEnvironment env_;
};

// The buffer grows by 500 bytes from 2000 up to 32500; beyond that an overflow.
TEST_F(LRRTest, SectionBufferGrowsUpTo32500BytesBlankKeysAreNotWritten) {
  const auto section = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "Directory " + std::to_string(1000 + i) + "=" + std::string(84, 'd') + "\r\n";
    return text;
  };
  INISectionError error;
  WriteSection(section(324));  // entries of 100 bytes: 32,401 with the final NUL
  EXPECT_EQ(ReadINISection(kLULCDirectoriesSection, ini(), &error).size(), 324u);
  EXPECT_EQ(error.Number, 0);
  WriteSection(section(325));
  EXPECT_TRUE(ReadINISection(kLULCDirectoriesSection, ini(), &error).empty());
  EXPECT_EQ(error.Number, kOverflowErrorNumber);
  EXPECT_EQ(error.Description, "Overflow");
  // Entries with a blank key are not written.
  ASSERT_TRUE(WriteINISection(kLULCDirectoriesSection, ini(), {{"  ", "/skipped/"}, {"Directory 2", ""}}));
  EXPECT_EQ(ReadWholeFile(ini()), "[LULC Directories]\r\nDirectory 2=\r\n");
}

// Entries split at the first "="; lines without one, empty values and
// directories that are gone are skipped.
TEST_F(LRRTest, ReadKeepsExistingDirectoriesUpToTheEmptyMarker) {
  const std::string a = MakeDir("a"), b = MakeDir("b"), eq = MakeDir("x=y");
  const struct {
    std::string text;
    std::vector<std::string> listed;
  } cases[] = {
      {"[lulc directories]\r\nDirectory 1=" + a + "\r\nDirectory 2=" + a + "/gone/\r\nno equals " + b +
           "\r\nDirectory 3=" + eq + "/\r\nDirectory 4=\r\n",
       {a + "/", eq + "/"}},
      {"[LULC Directories]\r\nDirectory 1=" + a + "\r\nempty=True\r\nDirectory 2=" + b + "\r\n", {a + "/"}},
  };
  for (const auto& c : cases) {
    WriteWholeFile(ini(), c.text);
    LRR_ReadDirectories();
    EXPECT_THAT(Listed(), ElementsAreArray(c.listed)) << c.text;
    LRR_ReleaseDirectories();
  }
}

TEST_F(LRRTest, EveryOperationNeedsTheListRead) {
  const std::function<void()> operations[] = {
      [] { EXPECT_EQ(LRR_GetDirectoryCount(), 0); }, [] { EXPECT_EQ(LRR_GetDirectory(1), ""); },
      [] { LRR_AddDirectory("/x/"); },               [] { LRR_SaveDirectories(); },
      [] { LRR_ReleaseDirectories(); },              [] { EXPECT_EQ(LRR_FindFile(40, -105, ""), ""); },
  };
  for (std::size_t i = 0; i < std::size(operations); ++i) {
    LRR_ResetError();
    operations[i]();
    EXPECT_EQ(LRR_LastError(), kLRRNotRead) << "operation " << i;
  }
}

// Added directories end with "/"; the list is read once, saved renumbered.
TEST_F(LRRTest, TheListIsReadOnceAddedToAndSavedRenumbered) {
  const std::string a = MakeDir("a");
  WriteSection("Directory 7=" + a + "\r\n");
  LRR_ReadDirectories();
  LRR_AddDirectory("/new/one");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRAlreadyRead);
  EXPECT_THAT(Listed(), ElementsAreArray({a + "/", "/new/one/"s}));
  for (const int16_t index : {0, 3}) {
    LRR_ResetError();
    EXPECT_EQ(LRR_GetDirectory(index), "");
    EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds) << index;
  }

  LRR_AddDirectory("/new/two/");
  LRR_SaveDirectories();
  EXPECT_EQ(ReadWholeFile(ini()),
            "[LULC Directories]\r\nDirectory 1=" + a + "/\r\nDirectory 2=/new/one/\r\nDirectory 3=/new/two/\r\n");
  LRR_ReleaseDirectories();
  // A list left empty is marked so.
  WriteSection("Directory 1=/gone/\r\n");
  LRR_ReadDirectories();
  LRR_SaveDirectories();
  EXPECT_EQ(ReadWholeFile(ini()), "[LULC Directories]\r\nEmpty=True\r\n");
}

TEST_F(LRRTest, FailuresSayWhy) {
  const std::string good = ini();
  Config().userDefaultsIniPath = "  ";
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRIniFileNotSet);
  Config().userDefaultsIniPath = good;
  WriteSection(std::string(40000, 'x') + "=y\r\n");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRUnknownError);
  EXPECT_EQ(LRR_LastFailure().Number, 6);
  LRR_GetDirectoryCount();
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);  // still not read
  LRR_ResetError();
  EXPECT_EQ(LRR_LastFailure().Number, 0);

  const std::string unwritable = env_.home.file("no/such/dir/QMDEFAULTS.INI");
  Config().userDefaultsIniPath = unwritable;
  LRR_ReadDirectories();
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRUnknownError);
  EXPECT_EQ(LRR_LastFailure().Number, ENOENT);
  EXPECT_EQ(LRR_LastFailure().Description,
            "Could not write the LUC directory list to " + unwritable + ": No such file or directory");
  Config().userDefaultsIniPath = "";
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRIniFileNotSet);
}

// Each search starts with the code "index out of bounds", to see which
// searches set it and which leave it as it was.
TEST_F(LRRTest, FindFileSearchesGivenOrListedDirectories) {
  const std::string first = MakeDir("first"), second = MakeDir("second"), other = MakeDir("other");
  for (const std::string& tile : {first + "/L10540NW.LUC", second + "/L10540NW.LUC", second + "/L10440NW.LUC"}) {
    WriteWholeFile(tile, "tile");
  }
  fs::create_directory(first + "/L10340NW.LUC");  // a directory is no tile
  WriteSection("Directory 1=" + first + "\r\nDirectory 2=" + second + "\r\n");
  LRR_ReadDirectories();
  const struct {
    double latitude, longitude;
    std::string directory, found;
    int32_t code, number;  // number -1: not looked at
  } cases[] = {
      {40.0, -105.0, "", first + "/L10540NW.LUC", kLRRNoError, -1},  // the first listed that holds it
      {40.5, -104.5, "", second + "/L10440NW.LUC", kLRRNoError, -1},
      {40.0, -103.0, "", "", kLRRNoError, -1},
      {40.0, -105.0, second + "/", second + "/L10540NW.LUC", kLRRNoError, -1},
      {40.0, -105.0, other, "", kLRRIndexOutOfBounds, -1},  // not in the given directory
      {40.0, -105.0, other + "\0/x"s, "", kLRRBadDirectoryName, 52},
      {40.0, -105.0, "/" + std::string(5000, 'n'), "", kLRRBadDirectoryName, ENAMETOOLONG},
      {1e9, -105.0, "", "", kLRRBadDirectoryName, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.directory.substr(0, 100) + " " + std::to_string(c.latitude));
    LRR_GetDirectory(9);
    EXPECT_EQ(LRR_FindFile(c.latitude, c.longitude, c.directory), c.found);
    EXPECT_EQ(LRR_LastError(), c.code);
    EXPECT_TRUE(c.number < 0 || LRR_LastFailure().Number == c.number) << LRR_LastFailure().Number;
  }
}

TEST(LRRErrorText, FixedTextsForEveryCode) {
  const std::pair<int32_t, const char*> texts[] = {
      {21, "Unknown error."}, {22, "Invalid error code."}, {-1, "Invalid error code."}};
  for (const auto& [code, text] : texts) EXPECT_EQ(LRR_ErrorText(code), text) << code;
}

class RecordingOwner final : public DirectoriesOwner {
 public:
  int reloads = 0;
  std::string text;
  void ReadDirectories() override { ++reloads; }
  void SetDirectoryText(const std::string& t) override { text = t; }
};

// The picker over a list that holds luc/ (with its subdirectory a) but not new/.
class frmDirectories : public LRRTest {
 protected:
  void SetUp() override {
    LRRTest::SetUp();
    MakeDir("luc/a");
    MakeDir("new");
    WriteSection("Directory 1=" + env_.home.dir() + "luc/\r\n");
  }
  ScriptedPrompter prompter_;
  RecordingOwner owner_;
};

TEST_F(frmDirectories, OnlyADirectoryNotListedIsOfferedForTheList) {
  tilbo::frmDirectories listed(owner_, prompter_, {"/"});
  listed.Load();
  ASSERT_TRUE(listed.dilbDirectories_Change(env_.home.dir() + "luc"));
  EXPECT_EQ(listed.subdirectories, std::vector<std::string>{"a"});
  listed.cmdOK_Click();  // listed already: nothing asked, nothing added
  EXPECT_EQ(owner_.text, env_.home.dir() + "luc");  // as the tree shows it, without an added "/"
  EXPECT_TRUE(listed.closed);

  // A new directory is added only when the user says yes.
  const std::string fresh = env_.home.dir() + "new";
  tilbo::frmDirectories picker(owner_, prompter_, {"/"});
  picker.Load();
  picker.dilbDirectories_Change(fresh);
  prompter_.replies = {Reply::No};
  picker.cmdOK_Click();
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(prompter_.shown[0].text, "The directory you selected, " + fresh +
                                         "/, is not one of the directories that GAV will search in for LUC files."
                                         "\r\n\r\nWould you like to add this directory to that list now?");
  prompter_.replies = {Reply::Yes};
  picker.cmdOK_Click();
  EXPECT_THAT(ReadINISection(kLULCDirectoriesSection, ini()),
              ElementsAre(_, INIEntry{"Directory 2", fresh + "/"}));
  EXPECT_EQ(owner_.reloads, 3);
}

TEST_F(frmDirectories, AnInaccessibleDriveFallsBackToTheFirstAfterAsking) {
  tilbo::frmDirectories picker(owner_, prompter_, {"/", env_.home.dir() + "vanished"});
  picker.Load();
  prompter_.replies = {Reply::Yes};
  picker.drlbDrives_Change(1);
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(prompter_.shown[0].text,
            "The drive you selected could not be accessed.  Would you like the program to try to access it again?");
  EXPECT_EQ(picker.path, "/");
}

}  // namespace
}  // namespace tilbo
