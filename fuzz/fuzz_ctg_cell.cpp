// Cell decoding from bytes, and the same bytes as the data records of a CTG
// file whose header claims two records more than the file holds: reads one by
// one, in bulk and from memory must all agree, and nothing may crash.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzTempFile.h"
#include "ctg/CTGFile.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameCell(const tilbo::CTGCell& a, const tilbo::CTGCell& b) {
  return a.UTMZone == b.UTMZone && a.Easting == b.Easting && a.Northing == b.Northing &&
         a.LULCCode == b.LULCCode;
}

// A valid header (map code 17, projection 1) for `records` data records.
std::string HeaderFor(int32_t records) {
  std::string header(tilbo::kCTGHeaderLength, ' ');
  const std::string times2 = std::to_string(2 * records);
  header.replace(20 - times2.size(), times2.size(), times2);
  header.replace(48, 2, "17");
  header[59] = '1';
  return header;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tilbo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DecodeInt16Field(bytes);
  DecodeInt32Field(bytes);
  DecodeLULCCodeField(bytes);

  const int32_t inFile = static_cast<int32_t>((size + kCTGRecordLength - 1) / kCTGRecordLength);
  const int32_t claimed = inFile + 2;
  fuzz::WriteScratchFile(HeaderFor(claimed) + std::string(bytes));
  const int16_t handle = CTG_AllocateHandle();
  CTG_SetFileName(handle, fuzz::ScratchFilePath());
  Check(CTG_Open(handle));
  Check(CTG_RecordCount(handle) == claimed);

  std::vector<CTGCell> bulk(static_cast<std::size_t>(claimed) + 2);
  std::vector<uint8_t> ok(bulk.size());
  CTG_ReadCells(handle, 0, static_cast<int32_t>(bulk.size()), bulk.data(), ok.data());
  for (int32_t k = 0; k <= claimed + 1; ++k) {
    const CTGCell cell = CTG_ReadCell(handle, k);
    const int32_t error = CTG_LastError();
    Check(ok[static_cast<std::size_t>(k)] == (error == kCTGNoError ? 1 : 0));
    Check(SameCell(cell, bulk[static_cast<std::size_t>(k)]));
    if (k < 1 || k > claimed) {
      Check(error == kCTGOutOfRange);
    } else if (k > inFile) {
      Check(error == kCTGReadFailure);  // wholly beyond the end of the file
    } else {
      const std::optional<CTGCell> fromMemory = DecodeCTGCell(bytes.substr((k - 1) * kCTGRecordLength, kCTGRecordLength));
      Check(fromMemory.has_value() == (error == kCTGNoError));
      if (fromMemory) Check(SameCell(*fromMemory, cell));
    }
  }
  CTG_Close(handle);
  Check(CTG_FreeHandle(handle));
  return 0;
}
