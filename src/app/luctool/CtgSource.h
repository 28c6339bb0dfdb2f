#pragma once
// A CTG file opened through the reader for one luctool command: the handle is
// closed and freed when the command is done, whatever happens.

#include <cstdint>
#include <string>

#include "luctool/Luctool.h"

namespace tilbo::luctool {

class CtgSource {
 public:
  explicit CtgSource(std::string path) : path_(std::move(path)) {}
  ~CtgSource();
  CtgSource(const CtgSource&) = delete;
  CtgSource& operator=(const CtgSource&) = delete;

  // Opens the file; on failure writes the one-line reason to io.err.
  bool Open(Io& io);
  int16_t handle() const { return handle_; }

 private:
  std::string path_;
  int16_t handle_ = -1;
};

// Writes "luctool: FILE: <reason> (reader error N)" for the reader's last
// error, with what the file looks like when it is refused as a whole;
// returns the exit status 1.
int ReportReaderError(const std::string& path, Io& io);

}  // namespace tilbo::luctool
