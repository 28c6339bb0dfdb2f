#pragma once
// One scratch file per fuzzer process, rewritten with each input, so inputs
// can go through the file reader as well as the byte decoders.

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace tilbo::fuzz {

// The scratch directory lives as long as the process and is removed at exit.
class ScratchDir {
 public:
  ScratchDir() {
    // Memory-backed when there is such a place: rewriting a file on disk for
    // every input would slow the fuzzer a hundredfold.
    dir_ = "/dev/shm/tilbo-fuzz-XXXXXX";
    if (mkdtemp(dir_.data()) == nullptr) {
      dir_ = "/tmp/tilbo-fuzz-XXXXXX";
      if (mkdtemp(dir_.data()) == nullptr) std::abort();
    }
    file_ = dir_ + "/input";
  }
  ~ScratchDir() {
    ::unlink(file_.c_str());
    ::rmdir(dir_.c_str());
  }
  const std::string& file() const { return file_; }

 private:
  std::string dir_;
  std::string file_;
};

inline const std::string& ScratchFilePath() {
  static const ScratchDir dir;
  return dir.file();
}

inline void WriteScratchFile(std::string_view bytes) {
  const int fd = ::open(ScratchFilePath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

}  // namespace tilbo::fuzz
