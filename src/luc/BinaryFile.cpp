#include "luc/BinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tilbo {

std::optional<BinaryFile> BinaryFile::Open(const std::string& path, Access access) {
  Descriptor fd = OpenFile(path, access == Access::kReadOnly ? O_RDONLY : O_RDWR);
  if (!fd.valid() && access == Access::kReadWriteIfPermitted && (errno == EACCES || errno == EROFS)) {
    fd = OpenFile(path, O_RDONLY);
  }
  if (!fd.valid()) return std::nullopt;
  return BinaryFile(std::move(fd));
}

bool BinaryFile::ReadAt(int64_t offset, void* data, std::size_t size) const {
  return PRead(fd_.get(), offset, data, size);
}

bool BinaryFile::WriteAt(int64_t offset, const void* data, std::size_t size) {
  return PWrite(fd_.get(), offset, data, size);
}

int64_t BinaryFile::Size() const {
  struct stat st {};
  if (::fstat(fd_.get(), &st) != 0) return -1;
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

}  // namespace tilbo
