#include "ctg/LULCCodes.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

TEST(LULCCodeDescription, KnownUnknownAndSpecialCodes) {
  for (const auto& [code, text] : std::initializer_list<std::pair<int32_t, const char*>>{
           {22, "Agricultural Land: Orchards, Groves, Vineyards, Nurseries, and Ornamental Horticultural Areas"},
           {41, "Forest Land: Deciduous"}, {18, "Unidentified Code"}, {103, "Unidentified Code"},
           {-32000, "Padding Value"}, {0, "Undefined"}, {101, "LAND AREA UNDEFINED BY CODING SCHEME"}}) {
    EXPECT_EQ(LULCCodeDescription(code), text) << code;
  }
}

}  // namespace
}  // namespace tilbo
