// The whole road of a user's CTG file (SourceRoad.h) for every input.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "SourceRoad.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  tilbo::fuzz::WalkSourceRoad(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
