// A CTG source as a file of any bytes, most often a gzip stream (the seeds
// are): the reader must open it or refuse it with a file error, and what it
// reads must be the plain reading of the data it reports, record by record
// and in bulk, whatever the stream claims. Nothing may crash.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzTempFile.h"
#include "ctg/CTGFile.h"
#include "ctg/GzipBytes.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Enough cells to pass a block boundary of the reader without making each
// input slow.
constexpr int32_t kCellsChecked = 2100;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tilbo;
  fuzz::WriteScratchFile(std::string(reinterpret_cast<const char*>(data), size));
  const int16_t handle = CTG_AllocateHandle();
  CTG_SetFileName(handle, fuzz::ScratchFilePath());
  if (!CTG_Open(handle)) {
    const int32_t error = CTG_LastError();
    Check(error == kCTGNotValidFile || error == kCTGReadFailure);
    Check(CTG_FreeHandle(handle));
    return 0;
  }
  const int64_t held = CTG_DataLength(handle);
  Check(held >= static_cast<int64_t>(kCTGHeaderLength) && held <= std::max<int64_t>(kMaxGzipDataBytes, size));
  const int64_t whole = (held - static_cast<int64_t>(kCTGHeaderLength) + 79) / 80;  // records begun
  const int32_t count = std::min(CTG_RecordCount(handle), kCellsChecked);
  if (count > 0) {
    std::vector<char> records;
    const int32_t available = CTG_ReadCellRecords(handle, 1, count, records);
    Check(available == std::min<int64_t>(count, whole));
    Check(records.size() == static_cast<std::size_t>(available) * kCTGRecordLength);
    for (int32_t k = 1; k <= count; ++k) {
      const CTGCell cell = CTG_ReadCell(handle, k);
      const int32_t error = CTG_LastError();
      if (k > available) {
        Check(error == kCTGReadFailure);
        continue;
      }
      const std::string_view record(records.data() + (k - 1) * kCTGRecordLength, kCTGRecordLength);
      Check(CTG_ReadRecordText(handle, k + kCTGHeaderRecords) == record);
      const std::optional<CTGCell> decoded = DecodeCTGCell(record);
      Check(decoded.has_value() == (error == kCTGNoError));
      if (decoded) {
        Check(decoded->UTMZone == cell.UTMZone && decoded->Easting == cell.Easting &&
              decoded->Northing == cell.Northing && decoded->LULCCode == cell.LULCCode);
      }
    }
  }
  CTG_Close(handle);
  Check(CTG_FreeHandle(handle));
  return 0;
}
