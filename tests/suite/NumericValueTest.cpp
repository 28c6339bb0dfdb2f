#include "suite/NumericValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string_view>

namespace tilbo {
namespace {

// The number at the start of a text, as settings, typed numbers and every
// numeric field of a CTG record are read.
TEST(ParseLenientNumber, ReadsTheLeadingNumber) {
  const struct { std::string_view text; std::optional<double> value; } cases[] = {
      // Blanks, tabs and line feeds are skipped anywhere; a carriage return ends the number.
      {"    263600", 263600.0}, {"1 2\t3\n4", 1234.0}, {" - 1 2 . 5 E 1", -125.0}, {"\t-7.5\n", -7.5},
      {"1\r2", 1.0},
      // Sign, fraction and exponent ("E" or "D", either case).
      {"+7", 7.0}, {"-42", -42.0}, {"12.25", 12.25}, {".5", 0.5}, {"5.", 5.0}, {"1.5E3", 1500.0},
      {"1.5e+3", 1500.0}, {"2D2", 200.0}, {"25d-1", 2.5}, {"1.5D-1", 0.15},
      {"0.1", 0.1},  // correctly rounded, like a literal
      {"123456789012345678901234", 123456789012345678901234.0},
      // The first character that cannot continue the number ends it.
      {"12AB", 12.0}, {"1.2.3", 1.2}, {"12-3", 12.0}, {"1E", 1.0}, {"1E+", 1.0}, {"3E+X5", 3.0},
      {"3,5", 3.0},  // the decimal mark is "." whatever the locale
      // No number is 0.
      {"", 0.0}, {"          ", 0.0}, {"ABC", 0.0}, {"-", 0.0}, {".", 0.0}, {"E5", 0.0}, {"--1", 0.0}, {"+-1", 0.0},
      {std::string_view("\0 12", 4), 0.0},
      // Too large fails; too small is 0.
      {"1E999", std::nullopt}, {"-9D400", std::nullopt}, {"1E99999999999", std::nullopt}, {"1E-999", 0.0},
      {"0E999", 0.0}, {"0.000E999", 0.0}, {"1.7E308", 1.7e308}, {"100000E-5", 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(ParseLenientNumber(c.text), c.value);
    if (c.value) {
      EXPECT_EQ(NumericValue(c.text), *c.value);
    }
  }
  // As a plain value, a number too large is infinity of its sign.
  EXPECT_EQ(NumericValue("1E999"), HUGE_VAL);
  EXPECT_EQ(NumericValue(" -9D400"), -HUGE_VAL);
}

TEST(IsNumericText, WholeTextMustBeOneNumber) {
  for (const char* yes : {" 7.6 ", "-3", "1.5E3", "+.5"}) EXPECT_TRUE(IsNumericText(yes)) << yes;
  for (const char* no : {"7.6x", "", "  ", "1 2", "1E", "-", ".", "E5", "3,5"}) EXPECT_FALSE(IsNumericText(no)) << no;
}

}  // namespace
}  // namespace tilbo
