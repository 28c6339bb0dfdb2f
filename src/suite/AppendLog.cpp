#include "suite/AppendLog.h"

#include <fcntl.h>

#include <cerrno>

namespace tilbo {

bool AppendLog::Open(const std::string& path) {
  Close();
  fd_ = OpenFile(path, O_WRONLY | O_APPEND | O_CREAT, 0666);
  return fd_.valid();
}

void AppendLog::Write(std::string_view text) {
  if (!fd_.valid()) return;
  pending_ += text;
  if (!pending_.empty() && pending_.size() >= bufferBytes_ && pending_.back() == '\n') Flush();
}

void AppendLog::Flush() {
  const std::size_t lineEnd = pending_.rfind('\n');
  if (!fd_.valid() || lineEnd == std::string::npos) return;
  // One write for all complete lines: an O_APPEND write of a regular file
  // lands whole at the end of the file, whoever else appends.
  // A full disk loses the rest of these lines: a failed log write is ignored.
  (void)WriteAll(fd_.get(), std::string_view(pending_.data(), lineEnd + 1));
  pending_.erase(0, lineEnd + 1);
}

void AppendLog::Close() {
  if (!fd_.valid()) return;
  Flush();
  fd_ = Descriptor();
  pending_.clear();
}

}  // namespace tilbo
