#pragma once
// "Process pending window events" for the Qt windows, cheap enough to call
// per source record: events run and the views are refreshed from their logic
// at most once per interval (30 ms by default). A round of events (refresh,
// repaint) takes at most a twentieth of the time: when rounds are slow (a
// loaded machine), they come less often, up to 250 ms apart, so that the
// window never costs the work it shows more than a few per cent.
//
// The record copy reports its progress once per record and pumps twice per
// record. While progress is coming in, the pump reads the clock only every
// kRecordsPerClockCheck records; the pumps in between return at once. Outside
// such a loop (creating tiles) every pump reads the clock, so a slow step that
// pumps rarely still gets its events through. A status change (a row's text,
// the status line, the command button) runs a round at once, whatever the
// pacing: the user sees every step of the run, however short the run.

#include <chrono>
#include <cstdint>
#include <vector>

#include "suite/Prompter.h"

namespace tilbo::ui {

// A window that shows logic state and can bring itself up to date.
class RefreshableView {
 public:
  virtual ~RefreshableView() = default;
  virtual void Refresh() = 0;
};

class QtEventPump final : public EventPump {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int32_t kRecordsPerClockCheck = 256;
  static constexpr int32_t kPumpsPerRecord = 2;
  // A round may take this share of the time at most: 1 / kTimeShareDivisor.
  static constexpr int kTimeShareDivisor = 20;
  static constexpr Clock::duration kLongestInterval = std::chrono::milliseconds(250);

  using Now = Clock::time_point (*)();

  // `now` reads the clock; tests pass a clock of their own, so that the
  // rounds come at the same records however fast the machine is.
  explicit QtEventPump(Clock::duration interval = std::chrono::milliseconds(30), Now now = &Clock::now)
      : interval_(interval), now_(now) {}

  void ProcessPendingEvents() override {
    if (skippablePumps_ > 0) {
      --skippablePumps_;
      return;
    }
    if (now_() >= nextRound_) RunRound();
  }

  void StatusChanged() override { RunRound(); }

  // The views read the progress from their logic; this only paces the clock.
  void ProgressChanged(int32_t /*value*/, int32_t /*maximum*/) override {
    if (--recordsUntilClockCheck_ > 0) {
      skippablePumps_ = kPumpsPerRecord;
    } else {
      recordsUntilClockCheck_ = kRecordsPerClockCheck;
      skippablePumps_ = 0;
    }
  }

  // The views refreshed after the events have run; a view registers while it
  // is on screen.
  void AddView(RefreshableView* view);
  void RemoveView(RefreshableView* view);
  // Brings the views up to date with their logic (before a message box).
  void RefreshViews();

  // How many rounds of events ran, and the time they took (for tests and
  // benchmarks).
  int64_t ProcessedCount() const { return processed_; }
  Clock::duration TimeInRounds() const { return timeInRounds_; }

 private:
  void RunRound();

  Clock::duration interval_;
  Now now_;
  Clock::time_point nextRound_{};
  int32_t recordsUntilClockCheck_ = kRecordsPerClockCheck;
  int32_t skippablePumps_ = 0;
  int64_t processed_ = 0;
  Clock::duration timeInRounds_{};
  std::vector<RefreshableView*> views_;
};

}  // namespace tilbo::ui
