// Replays the source-road fuzzer's seeds and every input that ever broke it
// (fuzz/crashers/source_road) through the same road, so that a regression
// shows in every sanitized test run, without clang. A broken promise aborts
// the road; a crash or undefined behaviour is the sanitizers' to report.

#include <gtest/gtest.h>

#include <filesystem>

#include "SourceRoad.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

TEST(SourceRoadReplay, SeedsAndCrashersWalkTheWholeRoad) {
  int inputs = 0;
  for (const char* dir : {TILBO_FUZZ_DIR "/seeds/source_road", TILBO_FUZZ_DIR "/crashers/source_road"}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      SCOPED_TRACE(entry.path().filename().string());
      fuzz::WalkSourceRoad(testing::ReadWholeFile(entry.path().string()));
      ++inputs;
    }
  }
  EXPECT_GE(inputs, 6);  // the seeds and the two headers that once aborted every front end
}

}  // namespace
}  // namespace tilbo
