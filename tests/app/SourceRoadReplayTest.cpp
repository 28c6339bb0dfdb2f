// Replays the source-road fuzzer's seeds and every input that ever broke it
// (fuzz/crashers/source_road) through the same road, so a regression shows in
// every sanitized test run, without clang. A broken promise aborts the road;
// a crash or undefined behaviour is the sanitizers' to report.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "SourceRoad.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

TEST(SourceRoadReplay, SeedsAndCrashersWalkTheWholeRoad) {
  std::vector<std::filesystem::path> inputs;
  for (const char* dir : {TILBO_FUZZ_DIR "/seeds/source_road", TILBO_FUZZ_DIR "/crashers/source_road"}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) inputs.push_back(entry.path());
  }
  ASSERT_GE(inputs.size(), 6u);  // the seeds and the two headers that once aborted every front end
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.filename().string());
    fuzz::WalkSourceRoad(testing::ReadWholeFile(input.string()));
  }
}

}  // namespace
}  // namespace tilbo
