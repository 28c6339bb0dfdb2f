#include "luc/BinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

namespace tilbo {
namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file

}  // namespace

std::optional<BinaryFile> BinaryFile::Open(const std::string& path, Access access) {
  int fd = -1;
  if (access != Access::kReadOnly) {
    fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && access == Access::kReadWriteIfPermitted && (errno == EACCES || errno == EROFS)) {
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
  } else {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) return std::nullopt;
  return BinaryFile(fd);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

BinaryFile::~BinaryFile() { Close(); }

void BinaryFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool BinaryFile::ReadAt(int64_t offset, void* data, std::size_t size) const {
  if (offset < 0) return false;
  auto* out = static_cast<unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = ::pread(fd_, out, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // error or end of file before `size` bytes
    out += n;
    offset += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool BinaryFile::WriteAt(int64_t offset, const void* data, std::size_t size) {
  if (offset < 0) return false;
  const auto* in = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = ::pwrite(fd_, in, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    in += n;
    offset += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

int64_t BinaryFile::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool RegularFileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool WritableOrAbsent(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  return ::access(path.c_str(), W_OK) == 0;
}

bool WriteFileReplacing(const std::string& path,
                        std::initializer_list<std::span<const unsigned char>> pieces) {
  static std::atomic<unsigned> counter{0};
  const std::string temporary =
      path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (fd < 0) return false;
  bool ok = true;
  for (const auto& piece : pieces) {
    const unsigned char* data = piece.data();
    std::size_t left = piece.size();
    while (ok && left > 0) {
      const ssize_t n = ::write(fd, data, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = false;
        break;
      }
      data += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace tilbo
