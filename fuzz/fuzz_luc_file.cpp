// Opens arbitrary bytes as a LUC tile in both I/O modes and exercises the
// header properties, cell access and the coordinate model. Any crash, any
// undefined behaviour or a huge allocation is a finding.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "luc/LUCFileV1.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/fuzz_luc_file_" + std::to_string(::getpid()) + ".LUC";
  return path;
}

void Exercise(tilbo::LUCFileV1& luc) {
  (void)luc.DataBlockSize();
  (void)luc.Title();
  (void)luc.DataSource();
  const int32_t rows = luc.DataRows();
  const int32_t columns = luc.DataColumns();
  const double probes[][2] = {{0, 0}, {columns - 1.0, rows - 1.0}, {-1, 3}, {1e300, -1e300}};
  for (int32_t mode = 0; mode <= 2; ++mode) {
    luc.SetCoordinateMode(mode);
    for (const auto& p : probes) {
      (void)luc.LULCValue(p[0], p[1]);
      luc.SetLULCValue(p[0], p[1], 42);
      double x = p[0], y = p[1];
      try {
        (void)luc.InFile(x, y);
        int32_t row = 0, column = 0;
        luc.ConUTMFile(p[1], p[0], row, column);
        luc.ConLatLonFile(p[1], p[0], row, column);
      } catch (const tilbo::LucArithmeticError&) {
        // The conversions pass arithmetic failures on by design.
      }
    }
  }
  luc.SetLULCValueAtUtm(4430000, 500000, 7);
  (void)luc.InCell(40.5, -105.5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (int32_t openMode : {tilbo::LUCFileV1::kDirectIo, tilbo::LUCFileV1::kMemoryIo}) {
    tilbo::LUCFileV1 luc;
    luc.SetValidateFileName(size % 2 == 1);
    luc.SetFileName(ScratchPath());
    luc.SetOpenMode(openMode);
    if (luc.OpenMode() == openMode) Exercise(luc);
  }
  return 0;
}
