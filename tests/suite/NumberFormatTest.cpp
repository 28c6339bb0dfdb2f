#include "suite/NumberFormat.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

TEST(FormatPicture, PicturesOfTheSuite) {
  const NumberSeparators english{".", ","}, german{",", "."};
  const struct {
    double value;
    const char* picture;
    const NumberSeparators& separators;
    const char* expected;
  } cases[] = {
      {0, "0.000", english, "0.000"}, {12.3456, "0.000", english, "12.346"}, {100, "0.000", german, "100,000"},
      {2.0 / 3.0 * 100, "0.00", english, "66.67"},
      // Grouped counts: zero is blank.
      {0, "###,###", english, ""}, {999, "###,###", english, "999"}, {4429901, "###,###", english, "4,429,901"},
      {12345678, "###,###", german, "12.345.678"}, {-1234, "###,###", english, "-1,234"},
      // Degree, minute and second fields.
      {5, " 00", english, " 05"}, {105, "#00", english, "105"}, {6, "00", english, "06"},
      {0, "#0.00", english, "0.00"}, {7.256, "#0.00", english, "7.26"}, {30, "00.00000", english, "30.00000"},
      // Signed decimal degrees without a leading zero.
      {-105.5, "####.000000000", english, "-105.500000000"}, {0.25, "####.000000000", english, ".250000000"},
      {0, "###", english, ""}, {12, "###", english, "12"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPicture(c.value, c.picture, c.separators), c.expected) << c.picture;
}

TEST(NumberText, PlainDecimalWithoutTrailingZeros) {
  const std::pair<double, const char*> cases[] = {
      {45, "45"}, {-70.25, "-70.25"}, {0, "0"}, {44.999999999999, "44.999999999999"}, {1.5e20, "1.5E+20"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(NumberText(value), text);
}

}  // namespace
}  // namespace tilbo
