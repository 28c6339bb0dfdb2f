#include "luctool/CtgSource.h"

#include <ostream>

#include "ctg/CTGFile.h"
#include "shell/SourceFileKind.h"

namespace tilbo::luctool {

CtgSource::~CtgSource() {
  if (handle_ < 0) return;
  CTG_Close(handle_);
  CTG_FreeHandle(handle_);
}

bool CtgSource::Open(Io& io) {
  handle_ = CTG_AllocateHandle();
  if (handle_ < 0) {
    io.err << "luctool: " << path_ << ": no reader handle left\n";
    return false;
  }
  CTG_SetFileName(handle_, path_);
  if (CTG_LastError() == kCTGNoError && CTG_Open(handle_)) return true;
  ReportReaderError(path_, io);
  return false;
}

int ReportReaderError(const std::string& path, Io& io) {
  const int32_t code = CTG_LastError();
  io.err << "luctool: " << path << ": " << CTGErrorText(code) << " (reader error " << code << ")";
  // A file refused as a whole: say what it is instead, when that is easy to tell.
  if (code == kCTGFileNotFound || code == kCTGNotValidFile) {
    if (const std::string hint = SourceFileKindHint(SniffSourceFileKind(path)); !hint.empty()) io.err << ": " << hint;
  }
  io.err << "\n";
  return 1;
}

}  // namespace tilbo::luctool
