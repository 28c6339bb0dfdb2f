#include "suite/PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tilbo {
namespace {

// pread or pwrite until `size` bytes have moved; false on an error or at the
// end of the file.
template <typename Call, typename Byte>
bool AllAt(Call call, int fd, int64_t offset, Byte* data, std::size_t size) {
  if (offset < 0) return false;
  while (size > 0) {
    const ssize_t n = call(fd, data, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    offset += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

Descriptor::Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    Reset();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

void Descriptor::Reset() {
  if (fd_ < 0) return;
  const int saved = errno;
  ::close(std::exchange(fd_, -1));
  errno = saved;
}

bool Descriptor::Close() { return ::close(std::exchange(fd_, -1)) == 0; }

Descriptor OpenFile(const std::string& path, int flags, mode_t mode) {
  if (path.find('\0') != std::string::npos) {
    errno = ENOENT;
    return Descriptor();
  }
  return Descriptor(::open(path.c_str(), flags | O_CLOEXEC, mode));
}

bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* in = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, in, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    in += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::string& bytes) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

bool PRead(int fd, int64_t offset, void* data, std::size_t size) {
  return AllAt(::pread, fd, offset, static_cast<char*>(data), size);
}

bool PWrite(int fd, int64_t offset, const void* data, std::size_t size) {
  return AllAt(::pwrite, fd, offset, static_cast<const char*>(data), size);
}

bool ReadWholeFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  const Descriptor in = OpenFile(path, O_RDONLY);
  if (!in.valid()) return false;
  struct stat info {};
  if (::fstat(in.get(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return ReadAll(in.get(), bytes);
}

}  // namespace tilbo
