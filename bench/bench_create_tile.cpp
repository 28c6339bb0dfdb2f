// Creating a one-degree LUC tile: the whole CreateFile (grid layout, the grid
// of fill and padding, the file written) at 200 m and at 30 m cells, and the
// grid fill alone by the run search and, as its peer, point by point.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "luc/LUCFileV1.h"
#include "luc/TileGrid.h"

namespace {

using tilbo::LUCFileV1;

constexpr double kSeLatitude = 40.0;
constexpr double kSeLongitude = -102.0;  // east edge on the zone 13|14 boundary

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tilbo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void BM_CreateFile(benchmark::State& state) {
  const auto resolution = static_cast<int16_t>(state.range(0));
  ScratchDir dir;
  for (auto _ : state) {
    LUCFileV1 luc;
    std::string name = dir.file("L10240NW.LUC");
    const int32_t result =
        luc.CreateFile(kSeLatitude, kSeLongitude, resolution, resolution, name, 0, 21);
    if (result == LUCFileV1::kNotCreated) state.SkipWithError("CreateFile failed");
  }
  const auto layout = tilbo::PlanTileGrid(kSeLatitude, kSeLongitude, resolution, resolution);
  state.counters["cells"] = static_cast<double>(layout->dataRows) * layout->dataColumns;
}
BENCHMARK(BM_CreateFile)->Arg(200)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FillTileGrid(benchmark::State& state, tilbo::GridFill method) {
  const auto resolution = static_cast<int16_t>(state.range(0));
  const auto layout = tilbo::PlanTileGrid(kSeLatitude, kSeLongitude, resolution, resolution);
  std::vector<int16_t> grid(static_cast<std::size_t>(layout->dataRows) * layout->dataColumns);
  for (auto _ : state) {
    tilbo::FillTileGrid(*layout, kSeLatitude, kSeLongitude, 21, grid, method);
    benchmark::DoNotOptimize(grid.data());
  }
}
BENCHMARK_CAPTURE(BM_FillTileGrid, runs, tilbo::GridFill::kRuns)
    ->Arg(200)
    ->Arg(30)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_FillTileGrid, per_point, tilbo::GridFill::kPerPoint)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
