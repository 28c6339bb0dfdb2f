#pragma once
// An open file for positioned binary reads and writes (POSIX pread/pwrite),
// closed when the object ends, and a whole-file write that replaces a file
// only once the new contents are complete.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

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

  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;
  ~BinaryFile();

  // Exactly `size` bytes at `offset`, or false.
  bool ReadAt(int64_t offset, void* data, std::size_t size) const;
  bool WriteAt(int64_t offset, const void* data, std::size_t size);
  // Length in bytes, or -1 when it cannot be found.
  int64_t Size() const;

 private:
  explicit BinaryFile(int fd) : fd_(fd) {}
  void Close();
  int fd_ = -1;
};

// Whether a regular file (links followed) exists at the path.
bool RegularFileExists(const std::string& path);

// Whether a file could be written at the path: none there yet, or one that
// may be written to.
bool WritableOrAbsent(const std::string& path);

// Writes the pieces one after the other into a new file beside `path` and
// renames it over `path`: either the whole new contents land or the old file
// (if any) stays as it was. The result is exactly as long as the pieces.
bool WriteFileReplacing(const std::string& path,
                        std::initializer_list<std::span<const unsigned char>> pieces);

}  // namespace tilbo
