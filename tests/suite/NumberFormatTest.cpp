#include "suite/NumberFormat.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

const NumberSeparators kEnglish{".", ","};
const NumberSeparators kGerman{",", "."};

TEST(FormatPicture, PercentagesWithThreeDecimals) {
  EXPECT_EQ(FormatPicture(0, "0.000", kEnglish), "0.000");
  EXPECT_EQ(FormatPicture(12.3456, "0.000", kEnglish), "12.346");
  EXPECT_EQ(FormatPicture(100, "0.000", kGerman), "100,000");
  EXPECT_EQ(FormatPicture(2.0 / 3.0 * 100, "0.00", kEnglish), "66.67");
}

TEST(FormatPicture, GroupedCountsDropZeroAndGroupThousands) {
  EXPECT_EQ(FormatPicture(0, "###,###", kEnglish), "");
  EXPECT_EQ(FormatPicture(999, "###,###", kEnglish), "999");
  EXPECT_EQ(FormatPicture(4429901, "###,###", kEnglish), "4,429,901");
  EXPECT_EQ(FormatPicture(12345678, "###,###", kGerman), "12.345.678");
  EXPECT_EQ(FormatPicture(-1234, "###,###", kEnglish), "-1,234");
}

TEST(FormatPicture, DegreeAndSecondFields) {
  EXPECT_EQ(FormatPicture(5, " 00", kEnglish), " 05");
  EXPECT_EQ(FormatPicture(45, " 00", kEnglish), " 45");
  EXPECT_EQ(FormatPicture(105, "#00", kEnglish), "105");
  EXPECT_EQ(FormatPicture(6, "00", kEnglish), "06");
  EXPECT_EQ(FormatPicture(0, "#0.00", kEnglish), "0.00");
  EXPECT_EQ(FormatPicture(7.256, "#0.00", kEnglish), "7.26");
  EXPECT_EQ(FormatPicture(30, "00.00000", kEnglish), "30.00000");
}

TEST(FormatPicture, SignedDecimalDegreesWithoutLeadingZero) {
  EXPECT_EQ(FormatPicture(-105.5, "####.000000000", kEnglish), "-105.500000000");
  EXPECT_EQ(FormatPicture(0.25, "####.000000000", kEnglish), ".250000000");
  EXPECT_EQ(FormatPicture(0, "###", kEnglish), "");
  EXPECT_EQ(FormatPicture(12, "###", kEnglish), "12");
}

TEST(NumberText, PlainDecimalWithoutTrailingZeros) {
  EXPECT_EQ(NumberText(45), "45");
  EXPECT_EQ(NumberText(-70.25), "-70.25");
  EXPECT_EQ(NumberText(0), "0");
  EXPECT_EQ(NumberText(44.999999999999), "44.999999999999");
  EXPECT_EQ(NumberText(1.5e20), "1.5E+20");
}

}  // namespace
}  // namespace tilbo
