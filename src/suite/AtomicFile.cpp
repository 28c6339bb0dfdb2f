#include "suite/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <string>

namespace tilbo {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
constexpr int kMaxLinkHops = 40;       // as the kernel allows (ELOOP beyond)

// Closes a descriptor on scope exit, keeping the errno of an earlier failure.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      const int saved = errno;
      ::close(fd_);
      errno = saved;
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the result (a late write error shows up here).
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

std::string FollowSymlinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) return current;
    const std::string next(target, static_cast<std::size_t>(length));
    // A relative target is relative to the directory that holds the link.
    current = next.front() == '/' ? next : DirectoryOf(current) + "/" + next;
  }
  return current;
}

bool WriteProtected(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  return (info.st_mode & S_IWUSR) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

bool ReplaceFileAtomically(const std::string& requestedPath, std::string_view bytes) {
  if (requestedPath.empty() || requestedPath.find('\0') != std::string::npos) {
    errno = EINVAL;
    return false;
  }
  // Replacing the real file behind a symbolic link keeps the link.
  const std::string path = FollowSymlinks(requestedPath);
  struct stat old {};
  const bool existed = ::stat(path.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (existed && WriteProtected(path)) {
    errno = EACCES;
    return false;
  }
  const mode_t mode = existed ? old.st_mode & 07777 : kNewFileMode;

  const std::string temporary = TemporaryNameFor(path);
  Descriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (out.get() < 0) return false;
  // The owner first: changing it clears set-id bits, which the mode then restores.
  const auto keepOwnerAndMode = [&] {
    if (!existed) return true;
    struct stat made {};
    if (::fstat(out.get(), &made) != 0) return false;
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) && ::fchown(out.get(), old.st_uid, old.st_gid) != 0) {
      errno = EPERM;
      return false;
    }
    return ::fchmod(out.get(), mode) == 0;
  };
  const bool written = WriteAll(out.get(), bytes) && keepOwnerAndMode() && ::fsync(out.get()) == 0 && out.close() &&
                       ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!written) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return false;
  }
  // The rename is durable once the directory entry is on disk.
  Descriptor dir(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

bool ReadWholeFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (path.find('\0') != std::string::npos) {
    errno = ENOENT;
    return false;
  }
  Descriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return false;
  struct stat info {};
  if (::fstat(in.get(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(in.get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return true;
}

}  // namespace tilbo
