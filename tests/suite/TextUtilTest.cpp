#include "suite/TextUtil.h"

#include <gtest/gtest.h>

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

TEST(Trimming, RemovesSpacesOnlyAndMeasuresTrimmedLength) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");  // tabs are not blanks
  EXPECT_EQ(LenTrim("   "), 0);
  EXPECT_EQ(LenTrim(" x "), 1);
  EXPECT_EQ(RTrim(" x "), " x");
  EXPECT_EQ(LTrim(" x "), "x ");
}

TEST(ReplaceChars, TrimsThenReplacesEachCharacterInTurn) {
  EXPECT_EQ(ReplaceChars("  a/b\\c  ", "/\\", "-"), "a-b-c");
  EXPECT_EQ(ReplaceChars("ab", "ab", "c"), "cc");  // a replacement can be replaced again
  EXPECT_EQ(ToUpperAscii("l10540nw.luc \xe9"), "L10540NW.LUC \xe9");
  EXPECT_TRUE(EqualsIgnoreCase("QMconfig.InI", "QMCONFIG.INI"));
  EXPECT_FALSE(EqualsIgnoreCase("a", "ab"));
}

}  // namespace
}  // namespace tilbo
