#include "ui/QtEventPump.h"

#include <gtest/gtest.h>

namespace tilbo::ui {
namespace {

using namespace std::chrono_literals;

// A clock that moves only when the test moves it, and counts its readings:
// the pacing is then the same however fast the machine is.
QtEventPump::Clock::time_point g_now{};
int g_reads = 0;
QtEventPump::Clock::time_point ManualClock() {
  ++g_reads;
  return g_now;
}

TEST(QtEventPump, ARecordLoopReadsTheClockOncePerBlockAndLetsEventsThroughOncePerInterval) {
  QtEventPump pump(20ms, &ManualClock);
  constexpr int32_t kBlocks = 100, kRecords = kBlocks * QtEventPump::kRecordsPerClockCheck;
  g_reads = 0;
  for (int32_t record = 1; record <= kRecords; ++record, g_now += 10us) {
    pump.ProgressChanged(record, kRecords);
    pump.ProcessPendingEvents();
    pump.ProcessPendingEvents();
  }
  // 256 ms of records: a round every 20 ms, give or take a block of 2.56 ms.
  EXPECT_GE(pump.ProcessedCount(), 10);
  EXPECT_LE(pump.ProcessedCount(), 13);
  EXPECT_LE(g_reads, 4 * kBlocks);

  // Creating a tile after the loop: a long step, one pump after it, must
  // not be lost to the loop's skipping.
  const int64_t before = pump.ProcessedCount();
  for (int step = 0; step < 3; ++step, g_now += 30ms) pump.ProcessPendingEvents();
  EXPECT_GE(pump.ProcessedCount() - before, 2);  // the first may still be skipped
  // A status change runs a round at once, however recent the last one.
  const int64_t beforeStatus = pump.ProcessedCount();
  pump.StatusChanged();
  EXPECT_EQ(pump.ProcessedCount(), beforeStatus + 1);
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

}  // namespace
}  // namespace tilbo::ui
