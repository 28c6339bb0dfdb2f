// What the INI files add to the text rules: bare names in the Windows folder,
// the lock, the write that changes nothing, and writers in several processes. How a file is
// replaced (modes, links, protected files) is AtomicFile's.
#include "suite/IniStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using testing::CountEntries;
using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

TEST(ProfileFiles, ReadAndWriteKeepingLineEndsLockedBesideTheRealFile) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("real.ini");
  WriteWholeFile(ini, "; by hand\n[S]\nk=1\n");
  const std::string link = env.home.file("link.ini");
  fs::create_symlink("real.ini", link);

  ASSERT_TRUE(ProfileWriteString("S", "k", "2", link));
  ASSERT_TRUE(ProfileWriteSection("T", "a=1\0\0"s, link));
  EXPECT_EQ(ReadWholeFile(ini), "; by hand\n[S]\nk=2\n\n[T]\na=1\n");
  EXPECT_EQ(ProfileGetString("T", "a", "", 2000, link), "1");
  // The lock belongs to the real file, whatever link names it.
  EXPECT_TRUE(fs::exists(ini + ".lock"));
  EXPECT_EQ(CountEntries(env.home.path()), 3);
  // A write that changes nothing leaves the file itself alone.
  const ino_t inode = InodeOf(ini);
  ASSERT_TRUE(ProfileWriteString("S", "k", "2", ini));
  EXPECT_EQ(InodeOf(ini), inode);

  // Bare names go to the Windows folder.
  ASSERT_TRUE(ProfileWriteString("Config", "Tech Support Log", "3", "QMconfig.InI"));
  EXPECT_EQ(ReadWholeFile(env.windows.file("QMconfig.InI")), "[Config]\r\nTech Support Log=3\r\n");
}

// Each failed write says why and leaves the old file as it was.
TEST(ProfileFailures, TheOldFileIsUntouched) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  const std::string original = "[S]\r\nk=old\r\n";
  WriteWholeFile(ini, original);
  errno = 0;
  EXPECT_FALSE(ProfileWriteString("S", "k", "line\r\nbreak", ini));
  EXPECT_EQ(errno, EINVAL);
  fs::remove(ini + ".lock");
  fs::create_directory(ini + ".lock");  // the lock cannot be taken
  EXPECT_FALSE(ProfileWriteString("S", "k", "new", ini));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(ReadWholeFile(ini), original);
  EXPECT_FALSE(ProfileWriteSection("S", "k=v\0\0"s, env.home.file("no/such/dir/QMDEFAULTS.INI")));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(fs::exists(env.home.path() / "no"));
}

TEST(ProfileConcurrency, WritersInSeveralProcessesLoseNoUpdate) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("shared.ini");
  const auto key = [](int p, int k) { return std::to_string(p * 1000 + k); };
  std::vector<pid_t> children;
  for (int p = 0; p < 4; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = true;
      for (int k = 0; k < 25; ++k) ok = ProfileWriteString("S", key(p, k), key(p, k), ini) && ok;
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int p = 0; p < 4; ++p) {
    for (int k = 0; k < 25; ++k) EXPECT_EQ(ProfileGetString("S", key(p, k), "lost", 100, ini), key(p, k));
  }
}

}  // namespace
}  // namespace tilbo
