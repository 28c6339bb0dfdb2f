#include "registry/LULCRetrievalAndRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAreArray;
using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::TempDir;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

class LRRTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LRR_ResetModuleForTesting();
    Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
  }
  void TearDown() override { LRR_ResetModuleForTesting(); }

  const std::string& ini() const { return Config().userDefaultsIniPath; }
  // A directory under the test's data directory, created, without trailing "/".
  std::string MakeDir(const std::string& name) {
    fs::create_directories(data_.path() / name);
    return (data_.path() / name).string();
  }
  void WriteSection(const std::string& body) { WriteWholeFile(ini(), "[LULC Directories]\r\n" + body); }
  static std::vector<std::string> Listed() {
    std::vector<std::string> listed;
    for (int16_t i = 1; i <= LRR_GetDirectoryCount(); ++i) listed.push_back(LRR_GetDirectory(i));
    return listed;
  }

  SuiteEnvironment env_;
  TempDir data_;
};

TEST_F(LRRTest, ReadKeepsExistingDirectoriesUpToTheEmptyMarker) {
  const std::string a = MakeDir("a"), b = MakeDir("b");
  const struct {
    std::string text;
    std::vector<std::string> listed;
  } cases[] = {
      {"[LULC Directories]\r\nDirectory 1=" + a + "\r\nDirectory 2=" + data_.file("gone") + "/\r\nDirectory 3=" + b +
           "/\r\nDirectory 4=\r\nno equals " + a + "\r\n",
       {a + "/", b + "/"}},
      {"[LULC Directories]\r\nEmpty=True\r\n", {}},
      {"[LULC Directories]\r\nDirectory 1=" + a + "\r\nempty=True\r\nDirectory 2=" + b + "\r\n", {a + "/"}},
      {"[CONFIG]\r\nx=1\r\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    WriteWholeFile(ini(), c.text);
    LRR_ReadDirectories();
    EXPECT_EQ(LRR_LastError(), kLRRNoError);
    EXPECT_THAT(Listed(), ElementsAreArray(c.listed));
    LRR_ReleaseDirectories();
    EXPECT_EQ(LRR_LastError(), kLRRNoError);
  }
}

TEST_F(LRRTest, ReadTwiceIsRefusedAndIndexesOutsideTheList) {
  WriteSection("Directory 1=" + MakeDir("a") + "\r\n");
  LRR_ReadDirectories();
  LRR_AddDirectory("/added");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRAlreadyRead);
  EXPECT_THAT(Listed(), ElementsAreArray({data_.file("a") + "/", "/added/"s}));
  for (const int16_t index : {0, 3, -1}) {
    LRR_ResetError();
    EXPECT_EQ(LRR_GetDirectory(index), "");
    EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds) << index;
  }
  // A successful get leaves the code as it was.
  EXPECT_EQ(LRR_GetDirectory(2), "/added/");
  EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds);
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
  EXPECT_FALSE(fs::exists(ini()));
}

TEST_F(LRRTest, SaveRenumbersDropsVanishedAndMarksAnEmptyList) {
  const std::string a = MakeDir("a");
  WriteWholeFile(ini(), "[CONFIG]\r\nx=1\r\n\r\n[LULC Directories]\r\nDirectory 1=/gone/\r\nDirectory 2=" + a +
                            "\r\n\r\n[System Units]\r\nCoord Fmt=DDD.dddd\r\n");
  LRR_ReadDirectories();
  LRR_AddDirectory("/new/one");
  LRR_AddDirectory("/new/two/");
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  EXPECT_EQ(ReadWholeFile(ini()), "[CONFIG]\r\nx=1\r\n\r\n[LULC Directories]\r\nDirectory 1=" + a +
                                      "/\r\nDirectory 2=/new/one/\r\nDirectory 3=/new/two/\r\n\r\n"
                                      "[System Units]\r\nCoord Fmt=DDD.dddd\r\n");
  LRR_ReleaseDirectories();

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
  EXPECT_EQ(LRR_LastFailure().Description, "Overflow");
  LRR_GetDirectoryCount();
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);  // still not read
  LRR_ResetError();
  EXPECT_EQ(LRR_LastFailure().Number, 0);
  EXPECT_EQ(LRR_LastFailure().Description, "");

  const std::string unwritable = env_.home.file("no/such/dir/QMDEFAULTS.INI");
  Config().userDefaultsIniPath = unwritable;
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRUnknownError);
  EXPECT_EQ(LRR_LastFailure().Number, ENOENT);
  EXPECT_EQ(LRR_LastFailure().Description,
            "Could not write the LUC directory list to " + unwritable + ": No such file or directory");
  Config().userDefaultsIniPath = "";
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRIniFileNotSet);
}

TEST_F(LRRTest, FindFileSearchesGivenOrListedDirectories) {
  const std::string first = MakeDir("first"), second = MakeDir("second"), other = MakeDir("other");
  WriteWholeFile(first + "/L10540NW.LUC", "tile");
  WriteWholeFile(second + "/L10540NW.LUC", "tile");
  WriteWholeFile(second + "/L10440NW.LUC", "tile");
  fs::create_directory(first + "/L10340NW.LUC");  // a directory is no tile
  WriteSection("Directory 1=" + first + "\r\nDirectory 2=" + second + "\r\n");
  LRR_ReadDirectories();

  EXPECT_EQ(LRR_FindFile(40.0, -105.0, ""), first + "/L10540NW.LUC");
  EXPECT_EQ(LRR_FindFile(40.5, -104.5, ""), second + "/L10440NW.LUC");
  LRR_GetDirectory(9);
  EXPECT_EQ(LRR_FindFile(40.0, -103.0, ""), "");
  EXPECT_EQ(LRR_LastError(), kLRRNoError);

  EXPECT_EQ(LRR_FindFile(40.0, -105.0, second + "/"), second + "/L10540NW.LUC");
  // Not in the given directory: empty, the code left as it was.
  LRR_GetDirectory(9);
  EXPECT_EQ(LRR_FindFile(40.0, -105.0, other), "");
  EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds);

  const struct {
    std::string directory;
    double latitude;
    int32_t number;  // -1: not looked at
  } bad[] = {{other + "\0/x"s, 40.0, 52}, {"/" + std::string(5000, 'n'), 40.0, ENAMETOOLONG}, {"", 1e9, -1}};
  for (const auto& c : bad) {
    EXPECT_EQ(LRR_FindFile(c.latitude, -105.0, c.directory), "");
    EXPECT_EQ(LRR_LastError(), kLRRBadDirectoryName);
    if (c.number >= 0) {
      EXPECT_EQ(LRR_LastFailure().Number, c.number);
    }
  }
}

TEST(LRRErrorText, FixedTextsForEveryCode) {
  const std::pair<int32_t, const char*> texts[] = {
      {0, "No error."}, {1, "Directories not read."}, {5, "Bad directory name."}, {11, "INI file filename not set."},
      {20, "No entries found for the specifed frequency in this template."}, {21, "Unknown error."},
      {22, "Invalid error code."}, {-1, "Invalid error code."}};
  for (const auto& [code, text] : texts) EXPECT_EQ(LRR_ErrorText(code), text) << code;
}

}  // namespace
}  // namespace tilbo
