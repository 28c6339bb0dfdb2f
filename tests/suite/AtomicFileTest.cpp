// Replacing files whole: the rules every replaced file follows, and what the
// INI files add (bare names in the Windows folder, the lock, the write that
// changes nothing, writers in several processes).
#include "suite/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "suite/IniStore.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using namespace tilbo::testing;
namespace fs = std::filesystem;

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

// How the file's mode comes out (0 for no file beforehand; a link to it when
// `throughLink`), and whether the write is allowed at all.
struct ModeCase {
  const char* what;
  mode_t oldMode, mask;
  bool throughLink;
  int error;  // 0 when the write succeeds
  mode_t expected;
};

TEST(ReplaceFileAtomically, ModeRules) {
  const ModeCase cases[] = {
      {"new file, umask 022", 0, 022, false, 0, 0644},
      {"a replaced file keeps its mode, the umask does not narrow it", 0664, 077, false, 0, 0664},
      {"through a link", 0604, 022, true, 0, 0604},
      {"new file behind a dangling link", 0, 027, true, 0, 0640},
      {"read-only file refused, even for root", 0444, 022, false, EACCES, 0444},
  };
  // Root replacing another user's file leaves it his.
  const bool root = ::geteuid() == 0;
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string file = dir.file("f.bin");
    if (c.oldMode != 0) {
      WriteWholeFile(file, "old");
      ASSERT_EQ(::chmod(file.c_str(), c.oldMode), 0);
      ASSERT_TRUE(!root || ::chown(file.c_str(), 65534, 65534) == 0);
    }
    const std::string written = c.throughLink ? dir.file("link") : file;
    if (c.throughLink) fs::create_symlink("f.bin", written);
    const mode_t oldMask = ::umask(c.mask);
    const int error = ReplaceFileAtomically(written, "new") ? 0 : errno;
    ::umask(oldMask);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(ReadWholeFile(file), c.error == 0 ? "new" : "old");
    EXPECT_EQ(StatOf(file).st_mode & 07777, c.expected);
    EXPECT_TRUE(!root || c.oldMode == 0 || (StatOf(file).st_uid == 65534u && StatOf(file).st_gid == 65534u));
    EXPECT_EQ(fs::is_symlink(written), c.throughLink);
    EXPECT_EQ(CountEntries(dir.path()), c.throughLink ? 2 : 1);  // no temporary file left
  }
}

TEST(ReplaceFileAtomically, PathsThatNameNoFileAreRefused) {
  TempDir dir;
  const struct {
    std::string path;
    int error;
  } cases[] = {{dir.dir() + "f.bin/", EISDIR}, {dir.path().string(), EISDIR}, {"", EINVAL},
               {dir.file("no/f.bin"), ENOENT}};
  for (const auto& c : cases) {
    errno = 0;
    EXPECT_FALSE(ReplaceFileAtomically(c.path, "new")) << c.path;
    EXPECT_EQ(errno, c.error) << c.path;
  }
}

// Nothing half written replaces the old file or stays beside it: not a
// replacement stopped by a full disk, nor one never committed.
TEST(ReplaceFileAtomically, AnUnfinishedReplacementLeavesTheOldFile) {
  TempDir dir;
  const std::string file = dir.file("f.bin");
  WriteWholeFile(file, "old");
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  errno = 0;
  const int error = ReplaceFileAtomically(file, std::string(500, 'x')) ? 0 : errno;
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(error, EFBIG);
  {
    FileReplacement replacement;
    ASSERT_TRUE(replacement.Begin(file) && replacement.Write("new") && replacement.Finish());
  }
  EXPECT_EQ(ReadWholeFile(file), "old");
  EXPECT_EQ(CountEntries(dir.path()), 1);
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
  // The lock belongs to the real file, whatever link names it.
  EXPECT_TRUE(fs::exists(ini + ".lock"));
  // A write that changes nothing leaves the file itself alone.
  struct stat before {}, after {};
  ASSERT_EQ(::stat(ini.c_str(), &before), 0);
  ASSERT_TRUE(ProfileWriteString("S", "k", "2", ini));
  ASSERT_EQ(::stat(ini.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

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
  ::chmod(ini.c_str(), 0444);  // protected: refused before a lock file appears beside it
  EXPECT_FALSE(ProfileWriteString("S", "k", "new", ini));
  EXPECT_EQ(errno, EACCES);
  EXPECT_FALSE(fs::exists(ini + ".lock"));
  ::chmod(ini.c_str(), 0644);
  EXPECT_FALSE(ProfileWriteString("S", "k", "line\r\nbreak", ini));
  EXPECT_EQ(errno, EINVAL);
  fs::remove(ini + ".lock");
  fs::create_directory(ini + ".lock");  // the lock cannot be taken
  EXPECT_FALSE(ProfileWriteString("S", "k", "new", ini));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(ReadWholeFile(ini), original);
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
