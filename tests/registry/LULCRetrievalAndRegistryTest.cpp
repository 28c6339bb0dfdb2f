#include "registry/LULCRetrievalAndRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
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

  SuiteEnvironment env_;
  TempDir data_;
};

TEST_F(LRRTest, ReadKeepsExistingDirectoriesWithATrailingSlash) {
  const std::string first = MakeDir("first");
  const std::string third = MakeDir("third");
  WriteSection("Directory 1=" + first + "\r\nDirectory 2=" + data_.file("gone") + "/\r\nDirectory 3=" + third +
               "/\r\nDirectory 4=\r\nno equals " + first + "\r\n");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  ASSERT_EQ(LRR_GetDirectoryCount(), 2);
  EXPECT_EQ(LRR_GetDirectory(1), first + "/");
  EXPECT_EQ(LRR_GetDirectory(2), third + "/");
}

TEST_F(LRRTest, EmptyMarkerAndMissingSectionReadAsEmptyLists) {
  const std::string dir = MakeDir("d");
  WriteSection("Empty=True\r\n");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  EXPECT_EQ(LRR_GetDirectoryCount(), 0);
  LRR_ReleaseDirectories();

  // Entries after the marker are not looked at.
  WriteSection("Directory 1=" + dir + "\r\nempty=True\r\nDirectory 2=" + dir + "\r\n");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_GetDirectoryCount(), 1);
  LRR_ReleaseDirectories();

  WriteWholeFile(ini(), "[CONFIG]\r\nx=1\r\n");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  EXPECT_EQ(LRR_GetDirectoryCount(), 0);
}

TEST_F(LRRTest, ReadTwiceWithoutReleaseIsRefused) {
  const std::string a = MakeDir("a");
  WriteSection("Directory 1=" + a + "\r\n");
  LRR_ReadDirectories();
  LRR_AddDirectory("/added");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRAlreadyRead);
  EXPECT_EQ(LRR_GetDirectoryCount(), 2);
  EXPECT_EQ(LRR_GetDirectory(2), "/added/");
  LRR_ReleaseDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  EXPECT_EQ(LRR_GetDirectoryCount(), 1);
}

TEST_F(LRRTest, IndexOutsideTheListAndTheCodeLeftBySuccess) {
  WriteSection("Directory 1=" + MakeDir("a") + "\r\n");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_GetDirectory(0), "");
  EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds);
  EXPECT_EQ(LRR_GetDirectory(2), "");
  EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds);
  EXPECT_EQ(LRR_GetDirectory(-1), "");
  // A successful get leaves the code as it was.
  EXPECT_EQ(LRR_GetDirectory(1), data_.file("a") + "/");
  EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds);
}

TEST_F(LRRTest, EveryOperationNeedsTheListRead) {
  EXPECT_EQ(LRR_GetDirectoryCount(), 0);
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);
  LRR_ResetError();
  EXPECT_EQ(LRR_GetDirectory(1), "");
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);
  LRR_ResetError();
  LRR_AddDirectory("/x/");
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);
  LRR_ResetError();
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);
  LRR_ResetError();
  LRR_ReleaseDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);
  LRR_ResetError();
  EXPECT_EQ(LRR_FindFile(40, -105, ""), "");
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);
  EXPECT_FALSE(fs::exists(ini()));
}

TEST_F(LRRTest, BlankIniPathIsCode11) {
  Config().userDefaultsIniPath = "  ";
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRIniFileNotSet);
  Config().userDefaultsIniPath = env_.home.file("QMDEFAULTS.INI");
  LRR_ReadDirectories();
  Config().userDefaultsIniPath = "";
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRIniFileNotSet);
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

TEST_F(LRRTest, FailuresAreCode21WithTheirCause) {
  WriteWholeFile(ini(), "[LULC Directories]\r\n" + std::string(40000, 'x') + "=y\r\n");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRUnknownError);
  EXPECT_EQ(LRR_ErrorText(LRR_LastError()), "Unknown error.");
  EXPECT_EQ(LRR_LastFailure().Number, 6);
  EXPECT_EQ(LRR_LastFailure().Description, "Overflow");
  // Still not read.
  LRR_GetDirectoryCount();
  EXPECT_EQ(LRR_LastError(), kLRRNotRead);

  LRR_ResetError();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  EXPECT_EQ(LRR_LastFailure().Number, 0);
  EXPECT_EQ(LRR_LastFailure().Description, "");

  Config().userDefaultsIniPath = env_.home.file("no/such/dir/QMDEFAULTS.INI");
  LRR_ReadDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  LRR_SaveDirectories();
  EXPECT_EQ(LRR_LastError(), kLRRUnknownError);
  EXPECT_EQ(LRR_LastFailure().Number, ENOENT);
}

TEST_F(LRRTest, FindFileSearchesGivenOrListedDirectories) {
  const std::string first = MakeDir("first");
  const std::string second = MakeDir("second");
  const std::string other = MakeDir("other");
  WriteWholeFile(first + "/L10540NW.LUC", "tile");
  WriteWholeFile(second + "/L10540NW.LUC", "tile");
  WriteWholeFile(second + "/L10440NW.LUC", "tile");
  fs::create_directory(first + "/L10340NW.LUC");  // a directory is no tile
  WriteSection("Directory 1=" + first + "\r\nDirectory 2=" + second + "\r\n");
  LRR_ReadDirectories();

  EXPECT_EQ(LRR_FindFile(40.0, -105.0, ""), first + "/L10540NW.LUC");
  EXPECT_EQ(LRR_LastError(), kLRRNoError);
  EXPECT_EQ(LRR_FindFile(40.5, -104.5, ""), second + "/L10440NW.LUC");
  EXPECT_EQ(LRR_FindFile(40.0, -103.0, ""), "");
  EXPECT_EQ(LRR_LastError(), kLRRNoError);

  EXPECT_EQ(LRR_FindFile(40.0, -105.0, second + "/"), second + "/L10540NW.LUC");
  // Not in the given directory: empty, the code left as it was.
  LRR_GetDirectory(9);
  EXPECT_EQ(LRR_FindFile(40.0, -105.0, other), "");
  EXPECT_EQ(LRR_LastError(), kLRRIndexOutOfBounds);

  EXPECT_EQ(LRR_FindFile(40.0, -105.0, other + "\0/x"s), "");
  EXPECT_EQ(LRR_LastError(), kLRRBadDirectoryName);
  EXPECT_EQ(LRR_LastFailure().Number, 52);
  EXPECT_EQ(LRR_FindFile(40.0, -105.0, "/" + std::string(5000, 'n')), "");
  EXPECT_EQ(LRR_LastError(), kLRRBadDirectoryName);
  EXPECT_EQ(LRR_LastFailure().Number, ENAMETOOLONG);
  EXPECT_EQ(LRR_FindFile(1e9, -105.0, ""), "");
  EXPECT_EQ(LRR_LastError(), kLRRBadDirectoryName);
}

TEST(LRRErrorText, FixedTextsForEveryCode) {
  EXPECT_EQ(LRR_ErrorText(0), "No error.");
  EXPECT_EQ(LRR_ErrorText(1), "Directories not read.");
  EXPECT_EQ(LRR_ErrorText(5), "Bad directory name.");
  EXPECT_EQ(LRR_ErrorText(11), "INI file filename not set.");
  EXPECT_EQ(LRR_ErrorText(20), "No entries found for the specifed frequency in this template.");
  EXPECT_EQ(LRR_ErrorText(21), "Unknown error.");
  EXPECT_EQ(LRR_ErrorText(22), "Invalid error code.");
  EXPECT_EQ(LRR_ErrorText(-1), "Invalid error code.");
}

}  // namespace
}  // namespace tilbo
