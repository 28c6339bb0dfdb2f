#include "suite/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "conversion/StagedCopy.h"
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

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
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
      {"new file, umask 077", 0, 077, false, 0, 0600},
      {"replaced file keeps its mode", 0640, 022, false, 0, 0640},
      {"the umask does not narrow a kept mode", 0664, 077, false, 0, 0664},
      {"through a link", 0604, 022, true, 0, 0604},
      {"new file behind a dangling link", 0, 027, true, 0, 0640},
      {"read-only file refused", 0444, 022, false, EACCES, 0444},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string file = dir.file("f.bin");
    if (c.oldMode != 0) {
      WriteWholeFile(file, "old");
      ASSERT_EQ(::chmod(file.c_str(), c.oldMode), 0);
    }
    const std::string written = c.throughLink ? dir.file("link") : file;
    if (c.throughLink) fs::create_symlink("f.bin", written);
    const ScopedUmask mask(c.mask);
    const bool ok = ReplaceFileAtomically(written, "new");
    EXPECT_EQ(ok ? 0 : errno, c.error);
    EXPECT_EQ(ReadWholeFile(file), c.error == 0 ? "new" : "old");
    EXPECT_EQ(ModeOf(file), c.expected);
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

// Tiles land through StagedCopy: an interrupted placing leaves the old tile,
// a replaced tile keeps its mode, a new one gets 0666 less the umask.
TEST(StagedCopy, TilesKeepTheirModeAndSurviveAnUncommittedCopy) {
  TempDir dir;
  const ScopedUmask mask(022);
  const std::string source = dir.file("made.tmp");
  const std::string tile = dir.file("L07144NW.LUC");
  WriteWholeFile(source, "new tile");
  {
    StagedCopy copy;
    ASSERT_TRUE(copy.Stage(source, tile));
    ASSERT_TRUE(copy.Commit());
  }
  EXPECT_EQ(ModeOf(tile), 0644u);
  ASSERT_EQ(::chmod(tile.c_str(), 0640), 0);
  WriteWholeFile(source, "newer tile");
  {
    StagedCopy copy;
    ASSERT_TRUE(copy.Stage(source, tile));
  }
  EXPECT_EQ(ReadWholeFile(tile), "new tile");
  EXPECT_EQ(CountEntries(dir.path()), 2);
  StagedCopy copy;
  ASSERT_TRUE(copy.Stage(source, tile));
  ASSERT_TRUE(copy.Commit());
  EXPECT_EQ(ReadWholeFile(tile), "newer tile");
  EXPECT_EQ(ModeOf(tile), 0640u);
}

}  // namespace
}  // namespace tilbo
