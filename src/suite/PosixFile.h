#pragma once
// The file calls every module makes through one place: a descriptor that is
// closed when it goes out of scope, and reads and writes carried to the end
// (retried when a signal interrupts them or the kernel moves fewer bytes).

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tilbo {

// Owns an open file descriptor (or none, -1) and closes it on scope exit,
// keeping the errno of an earlier failure.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(Descriptor&& other) noexcept;
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports the result (a late write error shows up here).
  bool Close();

 private:
  void Reset();
  int fd_ = -1;
};

// open(2) with close-on-exec; an invalid Descriptor (errno set) on failure.
Descriptor OpenFile(const std::string& path, int flags, mode_t mode = 0);

// All of the bytes, or false (errno set).
bool WriteAll(int fd, const void* data, std::size_t size);
inline bool WriteAll(int fd, std::string_view bytes) { return WriteAll(fd, bytes.data(), bytes.size()); }

// Appends everything up to the end of the file to `bytes`; false on an error.
bool ReadAll(int fd, std::string& bytes);

// Exactly `size` bytes at `offset`, or false (an error, or the end of the
// file came first).
bool PRead(int fd, int64_t offset, void* data, std::size_t size);
bool PWrite(int fd, int64_t offset, const void* data, std::size_t size);

// Reads a whole regular file. False when it cannot be opened or read (errno
// set); a missing file is reported as such through errno == ENOENT.
bool ReadWholeFileBytes(const std::string& path, std::string& bytes);

}  // namespace tilbo
