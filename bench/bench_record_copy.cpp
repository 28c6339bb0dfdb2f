// The record copy over the real sample quadrangle (LEWISTON, 442,032 cells,
// two planned tiles at 200 m), warm cache:
// - BM_RecordCopy: the copy phase of a conversion run alone (every record
//   read, tested against the open tiles and stored), timed from the moment
//   the run starts copying to the last record; records per second show as
//   items_per_second, the records that land in the run's tiles as
//   in_tile_per_second.
// - BM_ReadCellsPeer: the reader's bulk decode of the same cells, the floor
//   under any copy.
// - BM_AutoConvert: the whole unattended conversion through the main window
//   (start-up, planning, tile creation, copy, save, copy into place).
// The conversions use temporary program, Windows, suite and target
// directories, set through the CTGTILBO_* variables.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "conversion/frmConversion.h"
#include "ctg/CTGFile.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "shell/TilePlan.h"
#include "shell/frmMain.h"

namespace {

using Clock = std::chrono::steady_clock;

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tilbo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string dir(const std::string& name) const {
    std::filesystem::create_directories(path_ / name);
    return (path_ / name).string() + "/";
  }

 private:
  std::filesystem::path path_;
};

// The sample unpacked and the program's directories set, once for the process.
struct Workspace {
  ScratchDir scratch;
  std::string home = scratch.dir("home");
  std::string windows = scratch.dir("windows");
  std::string target = scratch.dir("target");
  std::string source = scratch.dir("data") + "LEWISTON_grid_cell";

  Workspace() {
    setenv("CTGTILBO_HOME", home.c_str(), 1);
    setenv("CTGTILBO_WINDOWS_DIR", windows.c_str(), 1);
    setenv("CTGTILBO_SUITE_DIR", home.c_str(), 1);
    const std::string command =
        std::string("gzip -dc '") + TILBO_TEST_DATA_DIR + "/LEWISTON_grid_cell.gz' > '" + source + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot unpack the sample");
  }
};

Workspace& Work() {
  static Workspace workspace;
  return workspace;
}

class QuietPrompter final : public tilbo::Prompter {
 public:
  void ShowMessage(tilbo::MessageIcon, const std::string&, const std::string&) override {}
  tilbo::Reply Ask(tilbo::MessageIcon, const std::string&, const std::string&, tilbo::Reply defaultReply) override {
    return defaultReply;
  }
};

// The owner of an interactive run with the default options: it hands the
// sample's plan to the conversion window.
class PlanOwner final : public tilbo::ConversionOwner {
 public:
  PlanOwner(int16_t handle, std::vector<tilbo::PlannedFile> plan) : handle_(handle), plan_(std::move(plan)) {}
  bool IsAutoConvert() const override { return false; }
  void ACLogWrite(const std::string&, bool) override {}
  bool LogExcludedOption() const override { return false; }
  bool OverwriteOption() const override { return true; }
  bool UseExistingOption() const override { return false; }
  bool CreateNewOption() const override { return false; }
  int16_t SourceHandle() const override { return handle_; }
  void SetFiles(tilbo::frmConversion& conversion) override {
    for (const auto& t : plan_) conversion.AddFile(t.Directory, t.FileName, t.RefLat, t.RefLon, t.Size, t.Title);
  }
  void SetConvertSuccess(bool success) override { success_ = success; }
  void SetOwnerEnabled(bool) override {}
  bool success_ = false;

 private:
  int16_t handle_;
  std::vector<tilbo::PlannedFile> plan_;
};

// Times the copy phase: from the event pause right after the run turns to
// "Copying data..." to the one after the last record.
class CopyTimingPump final : public tilbo::EventPump {
 public:
  const tilbo::frmConversion* window = nullptr;
  Clock::time_point start{}, end{};
  bool copying = false;

  void ProcessPendingEvents() override {
    if (window == nullptr) return;
    if (!copying) {
      if (window->lblCurrentAction == "Copying data...") {
        copying = true;
        start = Clock::now();
      }
      return;
    }
    if (window->pbValue == window->pbMax) end = Clock::now();
  }
};

void BM_RecordCopy(benchmark::State& state) {
  Workspace& work = Work();
  const int16_t handle = tilbo::CTG_AllocateHandle();
  tilbo::CTG_SetFileName(handle, work.source);
  if (!tilbo::CTG_Open(handle)) throw std::runtime_error("cannot open the sample");
  const std::vector<tilbo::PlannedFile> plan = tilbo::PlanTiles(tilbo::CTG_ReadHeader(handle), work.target);
  tilbo::CTG_Close(handle);
  PlanOwner owner(handle, plan);
  QuietPrompter prompter;
  int32_t records = 0, inTiles = 0;
  for (auto _ : state) {
    CopyTimingPump pump;
    tilbo::frmConversion conversion(owner, prompter, pump);
    pump.window = &conversion;
    conversion.Load();
    conversion.SetUp();
    conversion.RunConversion();
    if (!owner.success_) {
      state.SkipWithError("the conversion did not succeed");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(pump.end - pump.start).count());
    records = conversion.pbMax;
    inTiles = records - conversion.ExcludedCount;
    tilbo::CTG_Close(handle);
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["in_tile_per_second"] =
      benchmark::Counter(static_cast<double>(inTiles), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["tiles"] = static_cast<double>(plan.size());
  tilbo::CTG_FreeHandle(handle);
}
BENCHMARK(BM_RecordCopy)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_ReadCellsPeer(benchmark::State& state) {
  const int16_t handle = tilbo::CTG_AllocateHandle();
  tilbo::CTG_SetFileName(handle, Work().source);
  if (!tilbo::CTG_Open(handle)) throw std::runtime_error("cannot open the sample");
  const int32_t count = tilbo::CTG_RecordCount(handle);
  constexpr int32_t kChunk = 1 << 16;
  std::vector<tilbo::CTGCell> cells(kChunk);
  std::vector<uint8_t> ok(kChunk);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int32_t first = 1; first <= count; first += kChunk) {
      const int32_t n = std::min(kChunk, count - first + 1);
      tilbo::CTG_ReadCells(handle, first, n, cells.data(), ok.data());
      for (int32_t i = 0; i < n; ++i) sum += cells[static_cast<std::size_t>(i)].LULCCode;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * count);
  tilbo::CTG_Close(handle);
  tilbo::CTG_FreeHandle(handle);
}
BENCHMARK(BM_ReadCellsPeer)->Unit(benchmark::kMillisecond);

class NoWindowHost final : public tilbo::MainWindowHost {
 public:
  std::optional<std::string> ChooseSourceFile(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void SetBusyCursor(bool) override {}
  tilbo::ScreenGeometry Screen() const override { return tilbo::ScreenGeometry{1920, 1080}; }
  void ShowConversionModal(tilbo::frmConversion&) override {}
  void ShowRecordBrowser(tilbo::frmBrowseRecords&) override {}
  void CloseRecordBrowser() override {}
  void ShowDirectoryPickerModal(tilbo::frmDirectories&) override {}
};

void BM_AutoConvert(benchmark::State& state) {
  Workspace& work = Work();
  const std::string log = work.scratch.dir("log") + "auto.log";
  const tilbo::CommandLine commandLine(
      {"/AUTO", "/SOURCE=" + work.source, "/DEST=" + work.target, "/LOG=" + log});
  QuietPrompter prompter;
  tilbo::NullEventPump pump;
  NoWindowHost host;
  int32_t records = 0;
  for (auto _ : state) {
    tilbo::frmMain main(prompter, pump, host, commandLine);
    main.Load();
    if (main.RunAutoConvert() != 0) {
      state.SkipWithError("the conversion did not succeed");
      break;
    }
    state.PauseTiming();
    std::filesystem::remove(log);
    state.ResumeTiming();
  }
  {
    const int16_t handle = tilbo::CTG_AllocateHandle();
    tilbo::CTG_SetFileName(handle, work.source);
    tilbo::CTG_Open(handle);
    records = tilbo::CTG_RecordCount(handle);
    tilbo::CTG_Close(handle);
    tilbo::CTG_FreeHandle(handle);
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_AutoConvert)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
