#pragma once
// An open file for positioned binary reads and writes (POSIX pread/pwrite),
// closed when the object ends. Whole files are written through
// suite/AtomicFile.h.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "suite/PosixFile.h"

namespace tilbo {

class BinaryFile {
 public:
  enum class Access {
    kReadOnly,
    kReadWrite,
    // Read-write when permitted, else read-only: a read-only tile can still be
    // read; writes to it then fail.
    kReadWriteIfPermitted,
  };

  // The existing file, or nothing when it cannot be opened. Never creates.
  static std::optional<BinaryFile> Open(const std::string& path, Access access);

  // Exactly `size` bytes at `offset`, or false.
  bool ReadAt(int64_t offset, void* data, std::size_t size) const;
  bool WriteAt(int64_t offset, const void* data, std::size_t size);
  // Length in bytes, or -1 when it cannot be found.
  int64_t Size() const;

 private:
  explicit BinaryFile(Descriptor fd) : fd_(std::move(fd)) {}
  Descriptor fd_;
};

// Whether a regular file (links followed) exists at the path.
bool RegularFileExists(const std::string& path);

// Whether a file could be written at the path: none there yet, or one that
// may be written to.
bool WritableOrAbsent(const std::string& path);

}  // namespace tilbo
