#include "ui/QtEventPump.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace tilbo::ui {
namespace {

using namespace std::chrono_literals;

class CountingView final : public RefreshableView {
 public:
  int refreshes = 0;
  void Refresh() override { ++refreshes; }
};

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
  QtEventPump pump(1ms);
  // A view that takes 2 ms to refresh: rounds at least 40 ms apart.
  class SlowView final : public RefreshableView {
   public:
    void Refresh() override { std::this_thread::sleep_for(2ms); }
  } view;
  pump.AddView(&view);
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < 200ms) pump.ProcessPendingEvents();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(pump.ProcessedCount(), 2);
  EXPECT_LE(pump.ProcessedCount(), 1 + elapsed / 40ms);
  pump.RemoveView(&view);
}

TEST(QtEventPump, AfterARecordLoopASlowStepStillGetsItsEventsThrough) {
  QtEventPump pump(5ms);
  for (int32_t record = 1; record <= 1000; ++record) {
    pump.ProgressChanged(record, 1000);
    pump.ProcessPendingEvents();
  }
  // Creating a tile: a long step, one pump after it. It must not be lost to
  // the loop's skipping.
  std::this_thread::sleep_for(10ms);
  const int64_t before = pump.ProcessedCount();
  pump.ProcessPendingEvents();
  std::this_thread::sleep_for(10ms);
  pump.ProcessPendingEvents();
  std::this_thread::sleep_for(10ms);
  pump.ProcessPendingEvents();
  EXPECT_GE(pump.ProcessedCount() - before, 2);
}

}  // namespace
}  // namespace tilbo::ui
