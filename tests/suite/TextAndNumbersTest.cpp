// The text helpers, the lenient number reader and the number pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "suite/NumberFormat.h"
#include "suite/NumericValue.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

TEST(FindLast, FindsLastOccurrenceAtOrBeforeStart) {
  const struct {
    const char* text;
    const char* what;
    int start;
    int expected;
  } cases[] = {{"/data/luc/L10540NW.LUC", "/", -1, 10}, {"/data/luc/x", "/", 9, 6},  // the "/" at 10 begins after start
               {"/data/luc/x", "/", 10, 10}, {"abcabc", "bc", 0, 5},  // start below 1: the whole text
               {"abcabc", "bc", 99, 5},      {"abcabc", "BC", -1, 0},  // exact, case-sensitive
               {"", "/", -1, 0}};
  for (const auto& c : cases) EXPECT_EQ(FindLast(c.text, c.what, c.start), c.expected) << c.text << " " << c.start;
}

TEST(TextUtil, TrimmingTakesSpacesOnlyReplacingTakesEachCharacterInTurn) {
  const std::pair<std::string, std::string> cases[] = {
      {Trim("  a b  "), "a b"}, {Trim("\ta\t"), "\ta\t"},  // tabs are not blanks
      {RTrim(" x "), " x"},     {LTrim(" x "), "x "},
      {ReplaceChars("  a/b\\c  ", "/\\", "-"), "a-b-c"},  // trimmed first
      {ReplaceChars("ab", "ab", "c"), "cc"}};             // a replacement can be replaced again
  for (const auto& [result, expected] : cases) EXPECT_EQ(result, expected);
}

// The number at the start of a text, as settings, typed numbers and every
// numeric field of a CTG record are read.
TEST(ParseLenientNumber, ReadsTheLeadingNumber) {
  const struct { std::string_view text; std::optional<double> value; } cases[] = {
      // Blanks, tabs and line feeds are skipped anywhere; a carriage return ends the number.
      {"    263600", 263600.0}, {"1 2\t3\n4", 1234.0}, {" - 1 2 . 5 E 1", -125.0}, {"\t-7.5\n", -7.5}, {"1\r2", 1.0},
      // Sign, fraction and exponent ("E" or "D", either case); correctly rounded, like a literal.
      {"+7", 7.0}, {".5", 0.5}, {"5.", 5.0}, {"1.5E3", 1500.0}, {"1.5e+3", 1500.0}, {"2D2", 200.0}, {"25d-1", 2.5},
      {"0.1", 0.1}, {"123456789012345678901234", 123456789012345678901234.0},
      // The first character that cannot continue the number ends it; the decimal mark is "." whatever the locale.
      {"12AB", 12.0}, {"1.2.3", 1.2}, {"12-3", 12.0}, {"1E", 1.0}, {"1E+", 1.0}, {"3E+X5", 3.0}, {"3,5", 3.0},
      // No number is 0.
      {"", 0.0}, {"ABC", 0.0}, {"-", 0.0}, {".", 0.0}, {"E5", 0.0}, {"--1", 0.0}, {std::string_view("\0 12", 4), 0.0},
      // Too large fails; too small is 0.
      {"1E999", std::nullopt}, {"-9D400", std::nullopt}, {"1E99999999999", std::nullopt}, {"1E-999", 0.0},
      {"0.000E999", 0.0}, {"1.7E308", 1.7e308}, {"100000E-5", 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(ParseLenientNumber(c.text), c.value);
    EXPECT_TRUE(!c.value || NumericValue(c.text) == *c.value) << NumericValue(c.text);
  }
  // As a plain value, a number too large is infinity of its sign.
  EXPECT_EQ(NumericValue("1E999"), HUGE_VAL);
  EXPECT_EQ(NumericValue(" -9D400"), -HUGE_VAL);
}

TEST(IsNumericText, WholeTextMustBeOneNumber) {
  for (const char* yes : {" 7.6 ", "-3", "1.5E3", "+.5"}) EXPECT_TRUE(IsNumericText(yes)) << yes;
  for (const char* no : {"7.6x", "", "  ", "1 2", "1E", "-", ".", "E5", "3,5"}) EXPECT_FALSE(IsNumericText(no)) << no;
}

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
