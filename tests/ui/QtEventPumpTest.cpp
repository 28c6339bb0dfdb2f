#include "ui/QtEventPump.h"

#include <gmock/gmock.h>

namespace tilbo::ui {
namespace {

using namespace std::chrono_literals;
using ::testing::AllOf, ::testing::Ge, ::testing::Le;

// A clock that moves only when the test moves it, and counts its readings:
// the pacing is then the same however fast the machine is.
QtEventPump::Clock::time_point g_now{};
int g_reads = 0;
QtEventPump::Clock::time_point ManualClock() {
  ++g_reads;
  return g_now;
}

TEST(QtEventPump, RoundsArePacedByTheIntervalTheRecordBlocksAndTheirOwnCost) {
  QtEventPump pump(20ms, &ManualClock);
  constexpr int32_t kBlocks = 100, kRecords = kBlocks * QtEventPump::kRecordsPerClockCheck;
  g_reads = 0;
  for (int32_t record = 1; record <= kRecords; ++record, g_now += 10us) {
    pump.ProgressChanged(record, kRecords);
    pump.ProcessPendingEvents();
    pump.ProcessPendingEvents();
  }
  // 256 ms of records: a round every 20 ms, give or take a block of 2.56 ms.
  EXPECT_THAT(pump.ProcessedCount(), AllOf(Ge(10), Le(13)));
  EXPECT_LE(g_reads, 4 * kBlocks);

  // A status change runs a round at once, however recent the last one.
  const int64_t before = pump.ProcessedCount();
  pump.StatusChanged();
  EXPECT_EQ(pump.ProcessedCount(), before + 1);
  // Creating a tile after the loop: a long step, one pump after it, must
  // not be lost to the loop's skipping (the first pump comes too soon).
  for (int step = 0; step < 3; ++step, g_now += 30ms) pump.ProcessPendingEvents();
  EXPECT_EQ(pump.ProcessedCount(), before + 3);

  // Slow rounds come less often, so that they take at most a twentieth of the
  // time: a view that takes 2 ms to refresh, pumps 1 ms apart, rounds 40 ms apart.
  QtEventPump slow(1ms, &ManualClock);
  struct : RefreshableView {
    void Refresh() override { g_now += 2ms; }
  } view;
  slow.AddView(&view);
  for (int pumps = 0; pumps < 200; ++pumps, g_now += 1ms) slow.ProcessPendingEvents();
  EXPECT_THAT(slow.ProcessedCount(), AllOf(Ge(4), Le(6)));
}

}  // namespace
}  // namespace tilbo::ui
