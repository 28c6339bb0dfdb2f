#include "suite/AppendLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tilbo {

bool AppendLog::Open(const std::string& path) {
  Close();
  if (path.find('\0') != std::string::npos) {
    errno = ENOENT;
    return false;
  }
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  return fd_ >= 0;
}

void AppendLog::Write(std::string_view text) {
  if (fd_ < 0) return;
  pending_ += text;
  if (!pending_.empty() && pending_.size() >= bufferBytes_ && pending_.back() == '\n') Flush();
}

void AppendLog::Flush() {
  const std::size_t lineEnd = pending_.rfind('\n');
  if (fd_ < 0 || lineEnd == std::string::npos) return;
  // One write for all complete lines: an O_APPEND write of a regular file
  // lands whole at the end of the file, whoever else appends.
  std::string_view whole(pending_.data(), lineEnd + 1);
  while (!whole.empty()) {
    const ssize_t written = ::write(fd_, whole.data(), whole.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;  // a full disk: the rest of these lines is lost, as a failed log write is ignored
    whole.remove_prefix(static_cast<std::size_t>(written));
  }
  pending_.erase(0, lineEnd + 1);
}

void AppendLog::Close() {
  if (fd_ < 0) return;
  Flush();
  ::close(fd_);
  fd_ = -1;
  pending_.clear();
}

}  // namespace tilbo
