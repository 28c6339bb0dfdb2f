// The record copy with the desktop window's event pump against the headless
// run. Both convert the real sample quadrangle (442,032 cells, two tiles)
// through frmConversion::RunConversion; the desktop variant shows the
// conversion window (offscreen) and lets events through and repaints it at
// most every 30 ms, as the program does. The desktop copy may run at most 10%
// slower than the headless one.
//
// Reported time is the copy: from the first record to the last (tile
// creation before it and the save after it are the same for both). BM_CopyPair runs the two
// back to back in each iteration, alternating which goes first, and reports
// their ratio, which the machine's load affects far less than two separate
// measurements.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "shell/HeadlessHost.h"
#include "conversion/frmConversion.h"
#include "shell/frmMain.h"
#include "ui/ConversionWindow.h"
#include "ui/QtEventPump.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers every question with its default and shows nothing: the summary box
// is not part of the copy.
class SilentPrompter final : public tilbo::Prompter {
 public:
  void ShowMessage(tilbo::MessageIcon, const std::string&, const std::string&) override {}
  tilbo::Reply Ask(tilbo::MessageIcon, const std::string&, const std::string&, tilbo::Reply reply) override {
    return reply;
  }
};

// Passes every call on and notes when the copy reaches its first and its last
// record, and how much of the desktop pump's time in event rounds fell
// between the two.
class CopyClock final : public tilbo::EventPump {
 public:
  CopyClock(tilbo::EventPump& inner, const tilbo::ui::QtEventPump* desktop) : inner_(inner), desktop_(desktop) {}
  void ProcessPendingEvents() override { inner_.ProcessPendingEvents(); }
  void ProgressChanged(int32_t value, int32_t maximum) override {
    if (value == 1) {
      copyStart = Clock::now();
      if (desktop_ != nullptr) {
        roundsAtStart_ = desktop_->ProcessedCount();
        roundTimeAtStart_ = desktop_->TimeInRounds();
      }
    }
    if (value == maximum) {
      copyEnd = Clock::now();
      if (desktop_ != nullptr) {
        copyRounds = desktop_->ProcessedCount() - roundsAtStart_;
        eventSeconds = std::chrono::duration<double>(desktop_->TimeInRounds() - roundTimeAtStart_).count();
      }
    }
    inner_.ProgressChanged(value, maximum);
  }

  Clock::time_point copyStart, copyEnd;
  int64_t copyRounds = 0;
  double eventSeconds = 0;  // in the event rounds during the copy

 private:
  tilbo::EventPump& inner_;
  const tilbo::ui::QtEventPump* desktop_;
  int64_t roundsAtStart_ = 0;
  Clock::duration roundTimeAtStart_{};
};

// The sample unpacked into a directory of its own, read by a main window
// whose tiles go to a target directory there; all removed at exit.
class Workspace {
 public:
  Workspace() {
    std::string dir = (std::filesystem::temp_directory_path() / "tilbo-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = dir;
    for (const char* sub : {"home", "windows", "suite", "tiles"}) std::filesystem::create_directory(dir_ / sub);
    setenv("CTGTILBO_HOME", (dir_ / "home").c_str(), 1);
    setenv("CTGTILBO_WINDOWS_DIR", (dir_ / "windows").c_str(), 1);
    setenv("CTGTILBO_SUITE_DIR", (dir_ / "suite").c_str(), 1);
    const std::string sample = (dir_ / "LEWISTON_grid_cell").string();
    const std::string command =
        std::string("gzip -dc '") + TILBO_TEST_DATA_DIR + "/LEWISTON_grid_cell.gz' > '" + sample + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot unpack the sample");

    main.Load();
    main.SourcePath = sample;
    if (main.ReadCTGFile() != tilbo::ReadResult::Read) throw std::runtime_error("cannot read the sample");
    for (tilbo::PlannedFile& tile : main.PlannedFiles) tile.Directory = (dir_ / "tiles").string() + "/";
    // Every run replaces the tiles of the one before.
    main.chkOverwrite.ticked = true;
  }
  ~Workspace() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  SilentPrompter prompter;
  tilbo::NullEventPump unusedPump;
  tilbo::HeadlessHost host;
  tilbo::frmMain main{prompter, unusedPump, host, tilbo::CommandLine{}};

 private:
  std::filesystem::path dir_;
};

Workspace& Work() {
  static Workspace workspace;
  return workspace;
}

struct CopyTimes {
  double copySeconds = 0;
  double eventSeconds = 0;  // of these, in the desktop's event rounds
  int64_t rounds = 0;       // how many rounds
};

// One conversion, its copy timed from the first record to the last.
CopyTimes TimeCopy(bool desktop) {
  Workspace& work = Work();
  tilbo::NullEventPump headless;
  tilbo::ui::QtEventPump qt;
  CopyClock clock(desktop ? static_cast<tilbo::EventPump&>(qt) : headless, desktop ? &qt : nullptr);
  tilbo::frmConversion conversion(work.main, work.prompter, clock);
  conversion.Load();
  conversion.SetUp();
  std::unique_ptr<tilbo::ui::ConversionWindow> window;
  if (desktop) {
    window = std::make_unique<tilbo::ui::ConversionWindow>(conversion, qt);
    window->show();
    QCoreApplication::processEvents();
  }
  conversion.RunConversion();
  CopyTimes times;
  times.copySeconds = std::chrono::duration<double>(clock.copyEnd - clock.copyStart).count();
  times.eventSeconds = clock.eventSeconds;
  times.rounds = clock.copyRounds;
  if (!conversion.Success) throw std::runtime_error("the conversion failed");
  return times;
}

double CopySeconds(bool desktop) { return TimeCopy(desktop).copySeconds; }

void BM_Copy(benchmark::State& state, bool desktop) {
  double events = 0;
  int64_t rounds = 0;
  for (auto _ : state) {
    const CopyTimes times = TimeCopy(desktop);
    state.SetIterationTime(times.copySeconds);
    events += times.eventSeconds;
    rounds += times.rounds;
  }
  state.SetItemsProcessed(state.iterations() * 442032);
  if (desktop) {
    state.counters["event_rounds"] = static_cast<double>(rounds) / static_cast<double>(state.iterations());
    state.counters["events_ms"] = 1000 * events / static_cast<double>(state.iterations());
  }
}
BENCHMARK_CAPTURE(BM_Copy, headless, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK_CAPTURE(BM_Copy, desktop, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_CopyPair(benchmark::State& state) {
  double headless = 0, desktop = 0;
  bool desktopFirst = false;
  for (auto _ : state) {
    double pairHeadless = 0, pairDesktop = 0;
    if (desktopFirst) {
      pairDesktop = CopySeconds(true);
      pairHeadless = CopySeconds(false);
    } else {
      pairHeadless = CopySeconds(false);
      pairDesktop = CopySeconds(true);
    }
    desktopFirst = !desktopFirst;
    headless += pairHeadless;
    desktop += pairDesktop;
    state.SetIterationTime(pairHeadless + pairDesktop);
  }
  state.counters["headless_ms"] = 1000 * headless / static_cast<double>(state.iterations());
  state.counters["desktop_ms"] = 1000 * desktop / static_cast<double>(state.iterations());
  state.counters["desktop/headless"] = desktop / headless;
}
BENCHMARK(BM_CopyPair)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// One event round of the desktop pump with the conversion window on screen:
// the refresh from the logic and the events, with the progress bar standing
// still (0) or moving (1, a repaint). The copy pays this once per 30 ms.
void BM_EventRound(benchmark::State& state) {
  Workspace& work = Work();
  tilbo::NullEventPump headless;
  tilbo::ui::QtEventPump qt;
  tilbo::frmConversion conversion(work.main, work.prompter, headless);
  conversion.Load();
  conversion.SetUp();
  tilbo::ui::ConversionWindow window(conversion, qt);
  window.show();
  QCoreApplication::processEvents();
  conversion.pbMax = 442032;
  conversion.lblCurrentAction = "Copying data...";
  int32_t value = 0;
  for (auto _ : state) {
    value = (value + 17000) % 442032;
    if (state.range(0) >= 1) conversion.pbValue = value;
    if (state.range(0) == 2) {
      for (tilbo::FileListRow& row : conversion.lstFiles) {
        row.text = row.text.ends_with("(Writing data.)") ? "L07144NW.LUC (File created.)" : "L07144NW.LUC (Writing data.)";
      }
    }
    window.Refresh();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_EventRound)->ArgName("bar_moves")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
