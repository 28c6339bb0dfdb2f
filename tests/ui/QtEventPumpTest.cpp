#include "ui/QtEventPump.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

using namespace std::chrono_literals;

class CountingView final : public RefreshableView {
 public:
  int refreshes = 0;
  void Refresh() override { ++refreshes; }
};

// A clock that moves only when the test moves it: the pacing is then the
// same however fast the machine is.
QtEventPump::Clock::time_point g_now{};
QtEventPump::Clock::time_point ManualClock() { return g_now; }

TEST(QtEventPump, ARecordLoopLetsEventsThroughAtMostOncePerInterval) {
  QtEventPump pump(20ms);
  CountingView view;
  pump.AddView(&view);
  int timerShots = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++timerShots; });
  timer.start(0);

  const auto start = std::chrono::steady_clock::now();
  constexpr int32_t kRecords = 300000;
  for (int32_t record = 1; record <= kRecords; ++record) {
    pump.ProgressChanged(record, kRecords);
    pump.ProcessPendingEvents();
    pump.ProcessPendingEvents();
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // The first pump is always due; after that one per full interval at most.
  EXPECT_GE(pump.ProcessedCount(), 1);
  EXPECT_LE(pump.ProcessedCount(), 1 + elapsed / 20ms);
  EXPECT_EQ(view.refreshes, pump.ProcessedCount());
  EXPECT_GE(timerShots, 1);
  pump.RemoveView(&view);
}

TEST(QtEventPump, SlowRoundsComeLessOftenSoTheyTakeAtMostATwentiethOfTheTime) {
  QtEventPump pump(1ms, &ManualClock);
  // A view that takes 2 ms to refresh: rounds 40 ms apart.
  class SlowView final : public RefreshableView {
   public:
    void Refresh() override { g_now += 2ms; }
  } view;
  pump.AddView(&view);
  for (int pumps = 0; pumps < 200; ++pumps, g_now += 1ms) pump.ProcessPendingEvents();
  // 200 pumps 1 ms apart plus 2 ms per round: a round every 40 ms or so.
  EXPECT_GE(pump.ProcessedCount(), 4);
  EXPECT_LE(pump.ProcessedCount(), 6);
  pump.RemoveView(&view);
}

TEST(QtEventPump, AfterARecordLoopASlowStepStillGetsItsEventsThrough) {
  QtEventPump pump(5ms, &ManualClock);
  for (int32_t record = 1; record <= 1000; ++record) {
    pump.ProgressChanged(record, 1000);
    pump.ProcessPendingEvents();
  }
  // Creating a tile: a long step, one pump after it. It must not be lost to
  // the loop's skipping.
  const int64_t before = pump.ProcessedCount();
  for (int step = 0; step < 3; ++step) {
    g_now += 10ms;
    pump.ProcessPendingEvents();
  }
  EXPECT_GE(pump.ProcessedCount() - before, 2);  // the first may still be skipped
}

TEST(QtEventPump, AStatusChangeRunsARoundAtOnce) {
  QtEventPump pump(30ms, &ManualClock);
  CountingView view;
  pump.AddView(&view);
  pump.ProcessPendingEvents();  // the first round; the next is 30 ms away
  pump.ProcessPendingEvents();
  pump.StatusChanged();
  EXPECT_EQ(view.refreshes, 2);
  pump.RemoveView(&view);
}

}  // namespace
}  // namespace tilbo::ui
