#include "suite/IniStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "suite/AtomicFile.h"
#include "suite/IniText.h"
#include "suite/Paths.h"

namespace tilbo {
namespace {

std::string ReadProfileText(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFileBytes(ResolveProfilePath(path), bytes)) bytes.clear();
  return bytes;
}

// Holds an exclusive flock on "<file>.lock" for the lifetime of the object.
class ProfileLock {
 public:
  explicit ProfileLock(const std::string& file) : fd_(OpenFile(file + ".lock", O_RDWR | O_CREAT, 0666)) {
    while (fd_.valid() && ::flock(fd_.get(), LOCK_EX) != 0) {
      if (errno != EINTR) fd_ = Descriptor();  // closing drops the lock
    }
  }
  bool held() const { return fd_.valid(); }

 private:
  Descriptor fd_;
};

template <typename Edit>
bool RewriteProfile(const std::string& path, Edit edit) {
  // The lock belongs to the real file, whatever link names it.
  const std::string file = FollowSymlinks(ResolveProfilePath(path));
  if (file.find('\0') != std::string::npos) {
    errno = EINVAL;
    return false;
  }
  // A protected file is refused before anything (a lock file) appears beside it.
  if (WriteProtected(file)) {
    errno = EACCES;
    return false;
  }
  ProfileLock lock(file);
  if (!lock.held()) return false;
  std::string old;
  bool existed = true;
  if (!ReadWholeFileBytes(file, old)) {
    // An existing file that cannot be read must not be replaced by a new one.
    if (errno != ENOENT) return false;
    existed = false;
  }
  const std::optional<std::string> updated = edit(old);
  if (!updated) {
    errno = EINVAL;
    return false;
  }
  if (existed && *updated == old) return true;
  return ReplaceFileAtomically(file, *updated);
}

}  // namespace

std::string ResolveProfilePath(const std::string& path) {
  if (path.find('/') != std::string::npos) return ResolveWellKnownName(path);
  const std::string folder = GetWindowsFolder();
  return ResolveWellKnownName((!folder.empty() && folder.back() == '/') ? folder + path : folder + "/" + path);
}

std::string ProfileGetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             std::size_t bufferSize, const std::string& path) {
  return IniGetString(ReadProfileText(path), section, key, defaultValue, bufferSize);
}

bool ProfileWriteString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path) {
  return RewriteProfile(path, [&](std::string_view old) { return IniSetString(old, section, key, value); });
}

int ProfileGetSection(std::string_view section, std::string& buffer, std::size_t bufferSize,
                      const std::string& path) {
  return IniGetSection(ReadProfileText(path), section, buffer, bufferSize);
}

bool ProfileWriteSection(std::string_view section, std::string_view entries, const std::string& path) {
  return RewriteProfile(path, [&](std::string_view old) { return IniSetSection(old, section, entries); });
}

}  // namespace tilbo
