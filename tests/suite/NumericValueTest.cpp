#include "suite/NumericValue.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tilbo {
namespace {

TEST(NumericValue, ReadsTheLeadingNumberSkippingBlanksTabsAndLineFeeds) {
  EXPECT_EQ(NumericValue("  1100"), 1100);
  EXPECT_EQ(NumericValue("1 2 3"), 123);
  EXPECT_EQ(NumericValue("\t-7.5\n"), -7.5);
  EXPECT_EQ(NumericValue("12abc"), 12);
  EXPECT_EQ(NumericValue("1.5E3"), 1500);
  EXPECT_EQ(NumericValue("1.5D-1"), 0.15);
  EXPECT_EQ(NumericValue("2E"), 2);  // an exponent letter without digits ends the number
  EXPECT_EQ(NumericValue(".25"), 0.25);
  EXPECT_EQ(NumericValue("+3"), 3);
  EXPECT_EQ(NumericValue("5."), 5);
  EXPECT_EQ(NumericValue("3,5"), 3);  // the decimal mark is "." whatever the locale
  EXPECT_EQ(NumericValue("-1e999"), -HUGE_VAL);
  EXPECT_EQ(NumericValue("1e-999"), 0);
}

TEST(NumericValue, TextWithoutANumberIsZero) {
  EXPECT_EQ(NumericValue(""), 0);
  EXPECT_EQ(NumericValue("abc"), 0);
  EXPECT_EQ(NumericValue("-"), 0);
  EXPECT_EQ(NumericValue("."), 0);
}

TEST(IsNumericText, WholeTextMustBeOneNumber) {
  EXPECT_TRUE(IsNumericText(" 7.6 "));
  EXPECT_TRUE(IsNumericText("-3"));
  EXPECT_FALSE(IsNumericText("7.6x"));
  EXPECT_FALSE(IsNumericText(""));
  EXPECT_FALSE(IsNumericText("1 2"));
}

}  // namespace
}  // namespace tilbo
