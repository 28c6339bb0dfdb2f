// Decode rate of the CTG reader over the real sample quadrangle (442,032
// cells), warm cache, plain and as shipped (gzip). Cells per second show as
// items_per_second. The peer is a plain pass of pread blocks over the same
// file: the speed of getting the bytes at all.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "ctg/CTGFile.h"

namespace {

// The sample unpacked once into a temporary directory, removed at exit.
class UnpackedSample {
 public:
  UnpackedSample() {
    std::string dir = (std::filesystem::temp_directory_path() / "tilbo-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = dir;
    path_ = dir + "/LEWISTON_grid_cell";
    const std::string command =
        std::string("gzip -dc '") + TILBO_TEST_DATA_DIR + "/LEWISTON_grid_cell.gz' > '" + path_ + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot unpack the sample");
  }
  ~UnpackedSample() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string dir_;
  std::string path_;
};

const std::string& SamplePath() {
  static UnpackedSample sample;
  return sample.path();
}

int16_t OpenSample() {
  const int16_t handle = tilbo::CTG_AllocateHandle();
  tilbo::CTG_SetFileName(handle, SamplePath());
  if (!tilbo::CTG_Open(handle)) throw std::runtime_error("cannot open the sample");
  return handle;
}

void CloseSample(int16_t handle) {
  tilbo::CTG_Close(handle);
  tilbo::CTG_FreeHandle(handle);
}

void BM_ReadCellPass(benchmark::State& state) {
  const int16_t handle = OpenSample();
  const int32_t count = tilbo::CTG_RecordCount(handle);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int32_t k = 1; k <= count; ++k) sum += tilbo::CTG_ReadCell(handle, k).LULCCode;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * count);
  CloseSample(handle);
}
BENCHMARK(BM_ReadCellPass)->Unit(benchmark::kMillisecond);

void BM_ReadCellsBulkPass(benchmark::State& state) {
  const int16_t handle = OpenSample();
  const int32_t count = tilbo::CTG_RecordCount(handle);
  constexpr int32_t kChunk = 4096;
  std::vector<tilbo::CTGCell> cells(kChunk);
  std::vector<uint8_t> ok(kChunk);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int32_t first = 1; first <= count; first += kChunk) {
      const int32_t n = std::min(kChunk, count - first + 1);
      tilbo::CTG_ReadCells(handle, first, n, cells.data(), ok.data());
      for (int32_t i = 0; i < n; ++i) sum += cells[i].LULCCode;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * count);
  CloseSample(handle);
}
BENCHMARK(BM_ReadCellsBulkPass)->Unit(benchmark::kMillisecond);

// The raw records of every cell, read once.
const std::vector<char>& SampleRecords() {
  static const std::vector<char> records = [] {
    const int16_t handle = OpenSample();
    std::vector<char> bytes;
    tilbo::CTG_ReadCellRecords(handle, 1, tilbo::CTG_RecordCount(handle), bytes);
    CloseSample(handle);
    return bytes;
  }();
  return records;
}

// The decode of the record copy from records in memory, on one thread and on
// every core (each thread its share of the records, as the copy splits its
// chunks): records per second over all threads.
void BM_DecodeRecords(benchmark::State& state) {
  const std::vector<char>& records = SampleRecords();
  const std::size_t count = records.size() / tilbo::kCTGRecordLength;
  const auto part = static_cast<std::size_t>(state.thread_index());
  const auto parts = static_cast<std::size_t>(state.threads());
  const std::size_t from = count * part / parts, to = count * (part + 1) / parts;
  for (auto _ : state) {
    int64_t sum = 0;
    for (std::size_t k = from; k < to; ++k) {
      const auto cell = tilbo::DecodeCTGCell(
          std::string_view(records.data() + k * tilbo::kCTGRecordLength, tilbo::kCTGRecordLength));
      sum += cell ? cell->LULCCode : -1;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(to - from));
}
BENCHMARK(BM_DecodeRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Threads(1);
BENCHMARK(BM_DecodeRecords)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Threads(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));

// The shipped gzip file: opened and read whole in the record copy's chunks,
// decompression included.
void BM_GzipSourcePass(benchmark::State& state) {
  const std::string path = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  int64_t count = 0;
  std::vector<char> records;
  for (auto _ : state) {
    const int16_t handle = tilbo::CTG_AllocateHandle();
    tilbo::CTG_SetFileName(handle, path);
    if (!tilbo::CTG_Open(handle)) throw std::runtime_error("cannot open the gzip sample");
    count = tilbo::CTG_RecordCount(handle);
    constexpr int32_t kChunk = 1 << 14;
    for (int32_t first = 1; first <= count; first += kChunk) {
      tilbo::CTG_ReadCellRecords(handle, first, std::min<int32_t>(kChunk, static_cast<int32_t>(count) - first + 1),
                                 records);
      benchmark::DoNotOptimize(records.data());
    }
    CloseSample(handle);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_GzipSourcePass)->Unit(benchmark::kMillisecond)->UseRealTime();  // the worker thread decompresses

// Peer: the same bytes through pread in blocks, touching one byte per record.
void BM_PreadBytesPass(benchmark::State& state) {
  const int fd = ::open(SamplePath().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open the sample");
  const int64_t records = static_cast<int64_t>(std::filesystem::file_size(SamplePath()) / 80) - 5;
  std::vector<char> block(2048 * 80);
  for (auto _ : state) {
    int64_t sum = 0;
    off_t offset = 0;
    ssize_t n = 0;
    while ((n = ::pread(fd, block.data(), block.size(), offset)) > 0) {
      for (ssize_t i = 20; i < n; i += 80) sum += block[static_cast<std::size_t>(i)];
      offset += n;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * records);
  ::close(fd);
}
BENCHMARK(BM_PreadBytesPass)->Unit(benchmark::kMillisecond);

}  // namespace
