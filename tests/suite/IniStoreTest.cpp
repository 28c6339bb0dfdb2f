#include "suite/IniStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

int CountEntries(const fs::path& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++n;
  return n;
}

TEST(ResolveProfilePath, BareNamesLiveInTheWindowsFolderWellKnownNamesIgnoreCase) {
  SuiteEnvironment env;
  EXPECT_EQ(ResolveProfilePath("settings.ini"), env.windows.file("settings.ini"));
  // No file yet: the name as given.
  EXPECT_EQ(ResolveProfilePath("QMconfig.InI"), env.windows.file("QMconfig.InI"));
  WriteWholeFile(env.windows.file("qmconfig.ini"), "[Config]\n");
  EXPECT_EQ(ResolveProfilePath("QMconfig.InI"), env.windows.file("qmconfig.ini"));
  EXPECT_EQ(ResolveProfilePath(env.home.file("QMDEFAULTS.INI")), env.home.file("QMDEFAULTS.INI"));
  WriteWholeFile(env.home.file("QMDefaults.ini"), "x");
  EXPECT_EQ(ResolveProfilePath(env.home.file("QMDEFAULTS.INI")), env.home.file("QMDefaults.ini"));
  // Other names keep their case: Linux names are case-sensitive.
  WriteWholeFile(env.home.file("other.ini"), "x");
  EXPECT_EQ(ResolveProfilePath(env.home.file("OTHER.INI")), env.home.file("OTHER.INI"));
}

TEST(ProfileFiles, ReadsAndWritesThroughFiles) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  EXPECT_EQ(ProfileGetString("S", "k", "missing file  ", 2000, ini), "missing file");

  ASSERT_TRUE(ProfileWriteString("CTG Tilbo Settings", "Delete Old", "Yes", ini));
  ASSERT_TRUE(ProfileWriteString("CTG Tilbo Settings", "Last CTG File", "/data/x.ctg", ini));
  ASSERT_TRUE(ProfileWriteString("CONFIG", "frmMain-X", "10", ini));
  EXPECT_EQ(ReadWholeFile(ini),
            "[CTG Tilbo Settings]\r\nDelete Old=Yes\r\nLast CTG File=/data/x.ctg\r\n\r\n[CONFIG]\r\nfrmMain-X=10\r\n");
  EXPECT_EQ(ProfileGetString("ctg tilbo settings", "delete old", "No", 2000, ini), "Yes");

  ASSERT_TRUE(ProfileWriteSection("LULC Directories", "Directory 1=/a/\0Directory 2=/b/\0\0"s, ini));
  std::string buffer;
  EXPECT_EQ(ProfileGetSection("LULC Directories", buffer, 2000, ini), 32);
  EXPECT_EQ(buffer, "Directory 1=/a/\0Directory 2=/b/\0\0"s);
  // Bare names go to the Windows folder.
  ASSERT_TRUE(ProfileWriteString("Config", "Tech Support Log", "3", "QMconfig.InI"));
  EXPECT_EQ(ReadWholeFile(env.windows.file("QMconfig.InI")), "[Config]\r\nTech Support Log=3\r\n");
}

TEST(ProfileFiles, FileKeepsItsModeAndASymlinkItsTarget) {
  SuiteEnvironment env;
  const std::string real = env.home.file("real.ini");
  WriteWholeFile(real, "[S]\nk=1\n");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  const std::string link = env.home.file("link.ini");
  fs::create_symlink(real, link);

  ASSERT_TRUE(ProfileWriteString("S", "k", "2", link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(real), "[S]\nk=2\n");
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  // Beside the files only the lock remains: no temporary file is left behind.
  EXPECT_TRUE(fs::exists(real + ".lock"));
  EXPECT_EQ(CountEntries(env.home.path()), 3);

  // Root replacing another user's file leaves it his.
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(real.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(ProfileWriteString("S", "k", "3", real));
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
  }
  // A dangling link: the write creates its target and the link stays.
  fs::create_symlink("target.ini", env.home.file("dangling.ini"));
  ASSERT_TRUE(ProfileWriteString("S", "k", "4", env.home.file("dangling.ini")));
  EXPECT_EQ(ReadWholeFile(env.home.file("target.ini")), "[S]\r\nk=4\r\n");
}

TEST(ProfileFailures, AReadOnlyFileIsNotWrittenEvenByRoot) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI"), link = env.home.file("link.ini");
  WriteWholeFile(ini, "[S]\r\nk=old\r\n");
  ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
  fs::create_symlink(ini, link);
  EXPECT_FALSE(ProfileWriteString("S", "k", "new", ini));
  EXPECT_EQ(errno, EACCES);
  EXPECT_FALSE(ProfileWriteSection("T", "k=v\0\0"s, link));
  EXPECT_EQ(ReadWholeFile(ini), "[S]\r\nk=old\r\n");
  EXPECT_EQ(CountEntries(env.home.path()), 2);  // not even a lock file beside it
}

TEST(ProfileFailures, WriteIntoAMissingDirectoryFails) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("no/such/dir/QMDEFAULTS.INI");
  EXPECT_FALSE(ProfileWriteString("S", "k", "v", ini));
  EXPECT_FALSE(ProfileWriteSection("S", "k=v\0\0"s, ini));
  EXPECT_FALSE(fs::exists(env.home.path() / "no"));
}

TEST(ProfileFailures, FailedWritesLeaveTheOldFileUntouched) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  const std::string original = "[S]\r\nk=old\r\n";
  WriteWholeFile(ini, original);

  // A full disk: the file size limit stops the temporary file half way.
  {
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = ProfileWriteString("S", "k", std::string(500, 'x'), ini);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
  }
  EXPECT_EQ(ReadWholeFile(ini), original);

  // A value that cannot be stored.
  EXPECT_FALSE(ProfileWriteString("S", "k", "line\r\nbreak", ini));
  EXPECT_EQ(ReadWholeFile(ini), original);

  // The lock cannot be taken.
  fs::remove(ini + ".lock");
  fs::create_directory(ini + ".lock");
  EXPECT_FALSE(ProfileWriteString("S", "k", "new", ini));
  EXPECT_EQ(ReadWholeFile(ini), original);
  fs::remove(ini + ".lock");

  // Only the file and the lock: no temporary file was left behind.
  EXPECT_EQ(CountEntries(env.home.path()), 1);
}

TEST(ProfileConcurrency, WritersInSeveralProcessesLoseNoUpdate) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("shared.ini");
  constexpr int kProcesses = 4;
  constexpr int kKeysEach = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = true;
      for (int k = 0; k < kKeysEach; ++k) {
        ok = ProfileWriteString("P" + std::to_string(p), "k" + std::to_string(k), std::to_string(p * 1000 + k), ini) && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int p = 0; p < kProcesses; ++p) {
    for (int k = 0; k < kKeysEach; ++k) {
      EXPECT_EQ(ProfileGetString("P" + std::to_string(p), "k" + std::to_string(k), "lost", 100, ini),
                std::to_string(p * 1000 + k));
    }
  }
}

}  // namespace
}  // namespace tilbo
