#pragma once
// A text file that runs append to, whole lines at a time. The file is opened
// with O_APPEND and every write(2) carries whole lines only, so the lines of
// several processes appending to one file at once never split one another,
// and a run that stops leaves the file ending on a whole line.

#include <cstddef>
#include <string>
#include <string_view>

#include "suite/PosixFile.h"

namespace tilbo {

class AppendLog {
 public:
  // Lines are gathered until `bufferBytes` are pending; 0 writes every line
  // as soon as it is complete.
  explicit AppendLog(std::size_t bufferBytes = 0) : bufferBytes_(bufferBytes) {}
  ~AppendLog() { Close(); }
  AppendLog(const AppendLog&) = delete;
  AppendLog& operator=(const AppendLog&) = delete;

  // Opens (creating it when missing) for appending; false with errno set.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_.valid(); }
  // Appends text; a line is complete at its line end. Failures are ignored.
  void Write(std::string_view text);
  void WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
  }
  // Writes every complete line pending.
  void Flush();
  // Flushes and closes; an incomplete last line is dropped.
  void Close();

 private:
  std::size_t bufferBytes_;
  std::string pending_;
  Descriptor fd_;
};

}  // namespace tilbo
