// Header decoding from bytes, and the same bytes opened as a CTG file: the
// file reader must agree with the byte decoder and never crash.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzTempFile.h"
#include "ctg/CTGFile.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tilbo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<CTGHeader> decoded = DecodeCTGHeader(bytes);
  ParseLenientNumber(bytes);
  CTG_DMSToDegrees(bytes);

  fuzz::WriteScratchFile(bytes);
  const int16_t handle = CTG_AllocateHandle();
  CTG_SetFileName(handle, fuzz::ScratchFilePath());
  const bool opened = CTG_Open(handle);
  const int32_t error = CTG_LastError();
  if (size < kCTGHeaderLength) {
    Check(!opened && error == kCTGNotValidFile);
  } else if (!decoded) {
    Check(!opened && error == kCTGReadFailure);
  } else {
    const bool valid = decoded->Rec1Value46 % 2 == 1 && decoded->Rec1Value56 == 1;
    Check(opened == valid && error == (valid ? kCTGNoError : kCTGNotValidFile));
  }
  if (opened) {
    const CTGHeader header = CTG_ReadHeader(handle);
    if (CTG_LastError() == kCTGNoError) Check(header.Title == decoded->Title);
    const int32_t count = CTG_RecordCount(handle);
    for (int32_t k : {1, 2, count, count + 1}) CTG_ReadCell(handle, k);
    CTG_ReadRecordText(handle, count + 5);
    CTG_Close(handle);
  }
  Check(CTG_FreeHandle(handle));
  return 0;
}
