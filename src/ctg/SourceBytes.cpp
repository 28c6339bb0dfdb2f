#include "ctg/SourceBytes.h"

#include <unistd.h>

#include <cerrno>
#include <new>

#include "ctg/GzipBytes.h"

namespace tilbo {
namespace {

// A plain file, read where asked with pread rather than mapped: a file cut
// short while open then gives short reads, never a bus error.
class PlainFileBytes final : public SourceBytes {
 public:
  PlainFileBytes(int fd, int64_t fileBytes) : fd_(fd), fileBytes_(fileBytes) {}
  ~PlainFileBytes() override { ::close(fd_); }
  PlainFileBytes(const PlainFileBytes&) = delete;
  PlainFileBytes& operator=(const PlainFileBytes&) = delete;

  std::optional<int64_t> Read(int64_t offset, char* out, int64_t length) override {
    int64_t got = 0;
    while (got < length) {
      const ssize_t n =
          ::pread(fd_, out + got, static_cast<std::size_t>(length - got), static_cast<off_t>(offset + got));
      if (n < 0) {
        if (errno == EINTR) continue;
        return std::nullopt;
      }
      if (n == 0) break;  // end of file
      got += n;
    }
    return got;
  }
  int64_t DataLength() override { return fileBytes_; }
  bool Compressed() const override { return false; }

 private:
  int fd_;
  int64_t fileBytes_;
};

constexpr unsigned char kGzipMagic[] = {0x1f, 0x8b};

}  // namespace

bool StartsAsGzip(const unsigned char* bytes, std::size_t size) {
  return size >= sizeof kGzipMagic && bytes[0] == kGzipMagic[0] && bytes[1] == kGzipMagic[1];
}

std::unique_ptr<SourceBytes> OpenSourceBytes(int fd, int64_t fileBytes) {
  unsigned char start[sizeof kGzipMagic] = {};
  ssize_t n;
  do {
    n = ::pread(fd, start, sizeof start, 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    ::close(fd);
    return nullptr;
  }
  try {
    if (StartsAsGzip(start, static_cast<std::size_t>(n))) return std::make_unique<GzipBytes>(fd);
    return std::make_unique<PlainFileBytes>(fd, fileBytes);
  } catch (const std::bad_alloc&) {
    ::close(fd);
    return nullptr;
  }
}

}  // namespace tilbo
