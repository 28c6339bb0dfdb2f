#include "luctool/CtgSource.h"

#include <ostream>

#include "ctg/CTGFile.h"

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
  io.err << "luctool: " << path << ": " << CTGErrorText(code) << " (reader error " << code << ")\n";
  return 1;
}

}  // namespace tilbo::luctool
