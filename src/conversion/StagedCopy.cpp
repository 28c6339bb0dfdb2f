#include "conversion/StagedCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "suite/TextUtil.h"

namespace tilbo {
namespace {

constexpr mode_t kTileMode = 0644;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool CopyBytes(int from, int to) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) return false;
  }
}

// The directory part of a path, up to and including its last "/"; "./" when none.
std::string DirectoryPart(const std::string& path) {
  const int slash = FindLast(path, "/");
  return slash > 0 ? path.substr(0, static_cast<std::size_t>(slash)) : "./";
}

}  // namespace

StagedCopy::StagedCopy(StagedCopy&& other) noexcept
    : temporary_(std::exchange(other.temporary_, {})), target_(std::move(other.target_)) {}

StagedCopy& StagedCopy::operator=(StagedCopy&& other) noexcept {
  if (this != &other) {
    Discard();
    temporary_ = std::exchange(other.temporary_, {});
    target_ = std::move(other.target_);
  }
  return *this;
}

bool StagedCopy::Stage(const std::string& source, const std::string& target) {
  Discard();
  const std::string name = target.substr(static_cast<std::size_t>(FindLast(target, "/")));
  std::string temporary = DirectoryPart(target) + "." + name + ".XXXXXX";

  Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return false;
  Fd out(::mkstemp(temporary.data()));
  if (out.get() < 0) return false;
  const bool written = CopyBytes(in.get(), out.get()) && ::fchmod(out.get(), kTileMode) == 0 &&
                       ::fsync(out.get()) == 0 && out.Close();
  if (!written) {
    ::unlink(temporary.c_str());
    return false;
  }
  temporary_ = std::move(temporary);
  target_ = target;
  return true;
}

bool StagedCopy::Commit() {
  if (temporary_.empty()) return false;
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  // Make the rename itself durable.
  Fd dir(::open(DirectoryPart(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

void StagedCopy::Discard() {
  if (temporary_.empty()) return;
  ::unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace tilbo
