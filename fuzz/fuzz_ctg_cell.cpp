// Cell decoding from bytes, and the same bytes as the data records of a CTG
// file whose header claims two records more than the file holds: reads one by
// one, in bulk and from memory must all agree, and nothing may crash.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzTempFile.h"
#include "ctg/CTGFile.h"
#include "suite/NumericValue.h"
#include "suite/Rounding.h"

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

// A field read by the general number parse and rounded, as every decoder
// must read it whatever shortcut it takes.
template <typename Int>
std::optional<Int> General(std::string_view field) {
  const std::optional<double> v = tilbo::ParseLenientNumber(field);
  return v ? tilbo::RoundToInt<Int>(*v) : std::nullopt;
}

// The cell of a whole record as the general parse reads its fields.
std::optional<tilbo::CTGCell> GeneralCell(std::string_view record) {
  const auto zone = General<int16_t>(record.substr(0, 3));
  const auto easting = General<int32_t>(record.substr(3, 8));
  const auto northing = General<int32_t>(record.substr(11, 8));
  const std::optional<double> v = tilbo::ParseLenientNumber(record.substr(20, 10));
  std::optional<int16_t> code = General<int16_t>(record.substr(20, 10));
  if (v && *v > 2e9) code = static_cast<int16_t>(*v == 2000000101.0 ? 101 : *v == 2000000102.0 ? 102 : 0);
  if (!zone || !easting || !northing || !code) return std::nullopt;
  return tilbo::CTGCell{*zone, *easting, *northing, *code};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tilbo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DecodeInt16Field(bytes);
  DecodeInt32Field(bytes);
  DecodeLULCCodeField(bytes);
  Check(DecodeInt16Field(bytes) == General<int16_t>(bytes));
  Check(DecodeInt32Field(bytes) == General<int32_t>(bytes));
  if (size >= kCTGRecordLength) {
    const std::string_view record = bytes.substr(0, kCTGRecordLength);
    const std::optional<CTGCell> cell = DecodeCTGCell(record), general = GeneralCell(record);
    Check(cell.has_value() == general.has_value());
    if (cell) Check(SameCell(*cell, *general));
  }

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
