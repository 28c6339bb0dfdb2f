#include "suite/TextUtil.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

TEST(FindLast, FindsLastOccurrenceAtOrBeforeStart) {
  EXPECT_EQ(FindLast("/data/luc/L10540NW.LUC", "/"), 10);
  EXPECT_EQ(FindLast("/data/luc/x", "/", 9), 6);   // the "/" at 10 begins after start
  EXPECT_EQ(FindLast("/data/luc/x", "/", 10), 10);
  EXPECT_EQ(FindLast("abcabc", "bc", 0), 5);       // start below 1 means the whole text
  EXPECT_EQ(FindLast("abcabc", "bc", 99), 5);      // start beyond the text too
  EXPECT_EQ(FindLast("abcabc", "BC"), 0);          // exact, case-sensitive
  EXPECT_EQ(FindLast("", "/"), 0);
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
  EXPECT_EQ(ReplaceChars("ab", "a", "b"), "bb");
  // Characters are replaced in turn, so a replacement can be replaced again.
  EXPECT_EQ(ReplaceChars("ab", "ab", "c"), "cc");
}

TEST(Case, UpperCasesAsciiAndComparesIgnoringCase) {
  EXPECT_EQ(ToUpperAscii("l10540nw.luc \xe9"), "L10540NW.LUC \xe9");
  EXPECT_TRUE(EqualsIgnoreCase("QMconfig.InI", "QMCONFIG.INI"));
  EXPECT_FALSE(EqualsIgnoreCase("a", "ab"));
}

}  // namespace
}  // namespace tilbo
