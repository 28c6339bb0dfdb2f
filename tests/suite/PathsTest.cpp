#include "suite/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteWholeFile;

TEST(SetPathName, JoinsWithExactlyOneSlash) {
  const struct {
    std::string directory, name;
    bool convertSlashes;
  } cases[] = {{"/data/", "//X.LUC", true}, {"/data", "X.LUC", true}, {"/data/", "\\X.LUC", false},
               {"/data/ ", "/ \\ X.LUC  ", true}, {"/data/\0"s, "X.LUC", true}};  // a NUL left by a system buffer
  for (const auto& c : cases) EXPECT_EQ(setPathName(c.directory, c.name, c.convertSlashes), "/data/X.LUC") << c.name;
  // "\" is an ordinary character inside names and directories.
  EXPECT_EQ(setPathName("/odd\\dir", "a\\b", true), "/odd\\dir/a\\b");
  EXPECT_EQ(setPathName("", "X.LUC", true), "/X.LUC");
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
  for (const char* name : {"qmconfig.ini", "QMDefaults.ini", "qmdefaults.INI", "other.ini"}) {
    WriteWholeFile(dir.file(name), "x");
  }
  const std::pair<const char*, const char*> cases[] = {{"QMconfig.InI", "qmconfig.ini"},
                                                       {"QMDEFAULTS.INI", "QMDefaults.ini"},  // first in byte order
                                                       {"qmdefaults.INI", "qmdefaults.INI"},
                                                       {"OTHER.INI", "OTHER.INI"},
                                                       {"QMTECSUP.TXT", "QMTECSUP.TXT"}};  // no such file: as given
  for (const auto& [given, found] : cases) EXPECT_EQ(ResolveWellKnownName(dir.file(given)), dir.file(found));
}

TEST(SuiteDirectories, EnvironmentOverridesAndXdgFallbacks) {
  TempDir root;
  {
    ScopedEnv home("CTGTILBO_HOME", root.file("prog//"));
    ScopedEnv windows("CTGTILBO_WINDOWS_DIR", root.file("win/"));
    ScopedEnv suite("CTGTILBO_SUITE_DIR", root.file("suite"));
    EXPECT_EQ(ProgramDirectory(), root.file("prog") + "/");
    EXPECT_EQ(GetWindowsFolder(), root.file("win"));
    EXPECT_EQ(GetSuiteDirectory(), root.file("suite") + "/");
    // The program's directory and the Windows folder are created on first use.
    EXPECT_TRUE(std::filesystem::is_directory(root.file("win")));
  }
  ScopedEnv noHome("CTGTILBO_HOME", "");
  ScopedEnv noWindows("CTGTILBO_WINDOWS_DIR", "");
  ScopedEnv noSuite("CTGTILBO_SUITE_DIR", "");
  ScopedEnv data("XDG_DATA_HOME", root.file("data"));
  ScopedEnv config("XDG_CONFIG_HOME", root.file("config"));
  EXPECT_EQ(ProgramDirectory(), root.file("data") + "/ctgtilbo/");
  EXPECT_EQ(GetWindowsFolder(), root.file("config") + "/ctgtilbo");
  EXPECT_EQ(GetSuiteDirectory(), ProgramDirectory());
  ScopedEnv home("HOME", root.file("home"));
  ScopedEnv relative("XDG_DATA_HOME", "relative/path");
  EXPECT_EQ(ProgramDirectory(), root.file("home") + "/.local/share/ctgtilbo/");
}

}  // namespace
}  // namespace tilbo
