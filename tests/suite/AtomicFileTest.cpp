#include "suite/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::CountEntries;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

// Sets the process umask for one test and puts the old one back.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(old_); }

 private:
  mode_t old_;
};

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
    const ScopedUmask mask(c.mask);
    const bool ok = ReplaceFileAtomically(written, "new");
    EXPECT_EQ(ok ? 0 : errno, c.error);
    EXPECT_EQ(ReadWholeFile(file), c.error == 0 ? "new" : "old");
    EXPECT_EQ(StatOf(file).st_mode & 07777, c.expected);
    if (root && c.oldMode != 0) {
      EXPECT_EQ(StatOf(file).st_uid, 65534u);
      EXPECT_EQ(StatOf(file).st_gid, 65534u);
    }
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
  EXPECT_EQ(CountEntries(dir.path()), 0);
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
  const bool written = ReplaceFileAtomically(file, std::string(500, 'x'));
  const int error = errno;
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(error, EFBIG);
  {
    FileReplacement replacement;
    ASSERT_TRUE(replacement.Begin(file) && replacement.Write("new") && replacement.Finish());
  }
  EXPECT_EQ(ReadWholeFile(file), "old");
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

}  // namespace
}  // namespace tilbo
