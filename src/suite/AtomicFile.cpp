#include "suite/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <string>
#include <utility>

namespace tilbo {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
constexpr int kMaxLinkHops = 40;       // as the kernel allows (ELOOP beyond)

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Hidden, so that nobody listing the directory takes it for a finished file.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const auto slash = path.rfind('/');
  const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, nameAt) + "." + path.substr(nameAt) + ".tmp" + std::to_string(::getpid()) + "-" +
         std::to_string(counter++);
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

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})),
      out_(std::move(other.out_)),
      existed_(other.existed_),
      owner_(other.owner_),
      group_(other.group_),
      mode_(other.mode_) {}

FileReplacement& FileReplacement::operator=(FileReplacement&& other) noexcept {
  if (this != &other) {
    Discard();
    target_ = std::move(other.target_);
    temporary_ = std::exchange(other.temporary_, {});
    out_ = std::move(other.out_);
    existed_ = other.existed_;
    owner_ = other.owner_;
    group_ = other.group_;
    mode_ = other.mode_;
  }
  return *this;
}

bool FileReplacement::Begin(const std::string& requestedPath) {
  Discard();
  if (requestedPath.empty() || requestedPath.find('\0') != std::string::npos) {
    errno = EINVAL;
    return false;
  }
  if (requestedPath.back() == '/') {
    errno = EISDIR;  // names a directory, not a file
    return false;
  }
  // Replacing the real file behind a symbolic link keeps the link.
  target_ = FollowSymlinks(requestedPath);
  struct stat old {};
  existed_ = ::stat(target_.c_str(), &old) == 0;
  if (existed_ && !S_ISREG(old.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (existed_ && WriteProtected(target_)) {
    errno = EACCES;
    return false;
  }
  owner_ = old.st_uid;
  group_ = old.st_gid;
  mode_ = existed_ ? old.st_mode & 07777 : kNewFileMode;
  std::string temporary = TemporaryNameFor(target_);
  out_ = OpenFile(temporary, O_WRONLY | O_CREAT | O_EXCL, mode_);
  if (!out_.valid()) return false;
  temporary_ = std::move(temporary);
  return true;
}

bool FileReplacement::Write(std::string_view bytes) {
  if (!out_.valid()) {
    errno = EBADF;
    return false;
  }
  if (WriteAll(out_.get(), bytes)) return true;
  Discard();
  return false;
}

bool FileReplacement::Finish() {
  if (!out_.valid()) {
    errno = EBADF;
    return false;
  }
  // The owner first: changing it clears set-id bits, which the mode then restores.
  const auto keepOwnerAndMode = [&] {
    if (!existed_) return true;
    struct stat made {};
    if (::fstat(out_.get(), &made) != 0) return false;
    if ((made.st_uid != owner_ || made.st_gid != group_) && ::fchown(out_.get(), owner_, group_) != 0) {
      errno = EPERM;
      return false;
    }
    return ::fchmod(out_.get(), mode_) == 0;
  };
  if (keepOwnerAndMode() && ::fsync(out_.get()) == 0 && out_.Close()) return true;
  Discard();
  return false;
}

bool FileReplacement::Commit() {
  if (out_.valid() && !Finish()) return false;
  if (temporary_.empty()) {
    errno = EBADF;
    return false;
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  // The rename is durable once the directory entry is on disk.
  const Descriptor dir = OpenFile(DirectoryOf(target_), O_RDONLY | O_DIRECTORY);
  if (dir.valid()) ::fsync(dir.get());
  return true;
}

void FileReplacement::Discard() {
  const int saved = errno;
  out_ = Descriptor();
  if (!temporary_.empty()) ::unlink(std::exchange(temporary_, {}).c_str());
  errno = saved;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  FileReplacement replacement;
  return replacement.Begin(path) && replacement.Write(bytes) && replacement.Commit();
}

bool ReplaceFileAtomically(const std::string& path,
                           std::initializer_list<std::span<const unsigned char>> pieces) {
  FileReplacement replacement;
  if (!replacement.Begin(path)) return false;
  for (const auto& piece : pieces) {
    if (!replacement.Write({reinterpret_cast<const char*>(piece.data()), piece.size()})) return false;
  }
  return replacement.Commit();
}

}  // namespace tilbo
