// What the INI files add to the text rules: name resolution, the lock,
// atomic replacement, protected files, modes and links.
#include "suite/IniStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using namespace std::string_literals;
using testing::CountEntries;
using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

TEST(ResolveProfilePath, BareNamesLiveInTheWindowsFolderWellKnownNamesIgnoreCase) {
  SuiteEnvironment env;
  EXPECT_EQ(ResolveProfilePath("settings.ini"), env.windows.file("settings.ini"));
  EXPECT_EQ(ResolveProfilePath("QMconfig.InI"), env.windows.file("QMconfig.InI"));  // no file yet: as given
  WriteWholeFile(env.windows.file("qmconfig.ini"), "[Config]\n");
  EXPECT_EQ(ResolveProfilePath("QMconfig.InI"), env.windows.file("qmconfig.ini"));
  WriteWholeFile(env.home.file("QMDefaults.ini"), "x");
  EXPECT_EQ(ResolveProfilePath(env.home.file("QMDEFAULTS.INI")), env.home.file("QMDefaults.ini"));
  // Other names keep their case: Linux names are case-sensitive.
  WriteWholeFile(env.home.file("other.ini"), "x");
  EXPECT_EQ(ResolveProfilePath(env.home.file("OTHER.INI")), env.home.file("OTHER.INI"));
}

TEST(ProfileFiles, ReadAndWriteTheFileKeepingItsLineEnds) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("real.ini");
  EXPECT_EQ(ProfileGetString("S", "k", "missing file  ", 2000, ini), "missing file");
  WriteWholeFile(ini, "; by hand\n[S]\nk=1\n");
  const std::string link = env.home.file("link.ini");
  fs::create_symlink("real.ini", link);

  ASSERT_TRUE(ProfileWriteString("S", "k", "2", link));
  ASSERT_TRUE(ProfileWriteSection("T", "a=1\0\0"s, link));
  EXPECT_EQ(ReadWholeFile(ini), "; by hand\n[S]\nk=2\n\n[T]\na=1\n");
  EXPECT_EQ(ProfileGetString("s", "K", "", 2000, link), "2");
  std::string buffer;
  EXPECT_EQ(ProfileGetSection("T", buffer, 2000, link), 4);
  // Written through the link; beside the file only the lock remains.
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists(ini + ".lock"));
  EXPECT_EQ(CountEntries(env.home.path()), 3);
  // A write that changes nothing leaves the file itself alone.
  const ino_t inode = StatOf(ini).st_ino;
  ASSERT_TRUE(ProfileWriteString("S", "k", "2", ini));
  EXPECT_EQ(StatOf(ini).st_ino, inode);

  // Root replacing another user's file leaves it his.
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(ini.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(ProfileWriteString("S", "k", "3", ini));
    EXPECT_EQ(StatOf(ini).st_uid, 65534u);
    EXPECT_EQ(StatOf(ini).st_gid, 65534u);
  }
  // Bare names go to the Windows folder.
  ASSERT_TRUE(ProfileWriteString("Config", "Tech Support Log", "3", "QMconfig.InI"));
  EXPECT_EQ(ReadWholeFile(env.windows.file("QMconfig.InI")), "[Config]\r\nTech Support Log=3\r\n");
}

// Each failed write says why and leaves the old file as it was, with no
// temporary file beside it.
TEST(ProfileFailures, TheOldFileIsUntouched) {
  const std::string original = "[S]\r\nk=old\r\n";
  struct Case {
    const char* what;
    std::function<void(const std::string& ini)> setUp;
    std::string value;
    bool fileSizeLimit;  // a full disk stops the new file half way
    int error;
    int entries;  // in the directory afterwards
  } const cases[] = {
      {"read-only, even for root", [](const std::string& ini) { ::chmod(ini.c_str(), 0444); }, "new", false,
       EACCES, 1},  // not even a lock file
      {"value with a line end", [](const std::string&) {}, "line\r\nbreak", false, EINVAL, 2},
      {"lock cannot be taken", [](const std::string& ini) { fs::create_directory(ini + ".lock"); }, "new", false,
       EISDIR, 2},
      {"full disk", [](const std::string&) {}, std::string(500, 'x'), true, EFBIG, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SuiteEnvironment env;
    const std::string ini = env.home.file("QMDEFAULTS.INI");
    WriteWholeFile(ini, original);
    c.setUp(ini);
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (c.fileSizeLimit) {
      struct rlimit small = old;
      small.rlim_cur = 64;
      ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    errno = 0;
    const bool written = ProfileWriteString("S", "k", c.value, ini);
    const int error = errno;
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(ReadWholeFile(ini), original);
    EXPECT_EQ(CountEntries(env.home.path()), c.entries);
  }
  SuiteEnvironment env;
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
