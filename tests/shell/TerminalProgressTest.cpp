#include "shell/TerminalProgress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "suite/NumberFormat.h"

namespace tilbo {
namespace {

using ::testing::MatchesRegex;

// What the pump wrote, in memory in place of a terminal; numbers grouped by ",".
struct Screen {
  Screen() { OverrideSeparatorsForTesting(&english); }
  ~Screen() {
    std::fclose(file);
    std::free(buffer);
    OverrideSeparatorsForTesting(nullptr);
  }
  std::string Text() {
    std::fflush(file);
    return std::string(buffer, size);
  }
  NumberSeparators english{".", ","};
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* file = open_memstream(&buffer, &size);
};

// The line: records done of total, the rate, the time left; "\r" and the
// erase-line sequence before it, and again to clear it.
constexpr const char* kFinalLine = "\r\x1b\\[K  records 1,234,567 of 1,234,567  [0-9,]+/s  0\\.0 s left\r\x1b\\[K";

TEST(TerminalProgressPump, ABurstOfRecordsDrawsNothingUntilTheLastWhichIsDrawnAndCleared) {
  Screen screen;
  {
    TerminalProgressPump pump(screen.file, true);
    for (int32_t record = 1; record < 4096; ++record) pump.ProgressChanged(record, 1234567);
    EXPECT_EQ(screen.Text(), "");  // the clock is not even read before the 4096th record
    pump.ProgressChanged(1234567, 1234567);
    EXPECT_THAT(screen.Text(), MatchesRegex(kFinalLine));
    pump.Clear();  // nothing left to clear
  }
  EXPECT_THAT(screen.Text(), MatchesRegex(kFinalLine));
}

TEST(TerminalProgressPump, AOneRecordSourceIsDrawnAtOnceAndADisabledPumpWritesNothing) {
  Screen on, off;
  TerminalProgressPump drawing(on.file, true), silent(off.file, false);
  for (TerminalProgressPump* pump : {&drawing, &silent}) {
    pump->ProgressChanged(1, 1);
    pump->Clear();
  }
  EXPECT_THAT(on.Text(), MatchesRegex("\r\x1b\\[K  records 1 of 1  [0-9,]+/s  0\\.0 s left\r\x1b\\[K"));
  EXPECT_EQ(off.Text(), "");
}

}  // namespace
}  // namespace tilbo
