#include "suite/IniText.h"

#include <gtest/gtest.h>

#include <string>

namespace tilbo {
namespace {

using namespace std::string_literals;

constexpr std::size_t kBig = 2000;

std::string Get(std::string_view content, std::string_view section, std::string_view key,
                std::string_view def = "DEF") {
  return IniGetString(content, section, key, def, kBig);
}

TEST(IniRead, NamesMatchIgnoringCaseAndBlanksAreTrimmed) {
  const std::string ini = "[CTG Tilbo Settings]\r\n  Delete Old  =  Yes  \r\n\tLast CTG File\t=\t/data/a.ctg\r\n";
  EXPECT_EQ(Get(ini, "ctg tilbo settings", "DELETE OLD"), "Yes");
  EXPECT_EQ(Get(ini, "  CTG Tilbo Settings ", "delete old"), "Yes");
  EXPECT_EQ(Get(ini, "CTG Tilbo Settings", "Last CTG File"), "/data/a.ctg");
  EXPECT_EQ(Get(ini, "CTG Tilbo", "Delete Old"), "DEF");
}

TEST(IniRead, FirstDuplicateSectionAndKeyWin) {
  const std::string ini =
      "[A]\nk=first\nk=second\nK=third\n"
      "[B]\nk=b\n"
      "[a]\nk=later section\nonly=later\n";
  EXPECT_EQ(Get(ini, "A", "k"), "first");
  EXPECT_EQ(Get(ini, "B", "K"), "b");
  // The second [a] is never seen, not even for keys the first one lacks.
  EXPECT_EQ(Get(ini, "A", "only"), "DEF");
}

TEST(IniRead, CommentsHeadersAndLinesOutsideSections) {
  const std::string ini =
      "orphan=before any header\n"
      "[S] ; trailing text after the bracket\n"
      ";k=commented out\n"
      "  ; indented comment\n"
      "k=real\n"
      "[weird]name]\n"
      "x=1\n"
      "[no close\n"
      "y=2\n";
  EXPECT_EQ(Get(ini, "", "orphan"), "DEF");
  EXPECT_EQ(Get(ini, "S", "k"), "real");
  EXPECT_EQ(Get(ini, "S", ";k"), "DEF");
  // The name runs to the last "]".
  EXPECT_EQ(Get(ini, "weird]name", "x"), "1");
  // "[" without "]" is an ordinary line, so y still belongs to [weird]name].
  EXPECT_EQ(Get(ini, "weird]name", "y"), "2");
}

TEST(IniRead, LinesSplitOnCrLfOrEither) {
  EXPECT_EQ(Get("[S]\rk=cr\r", "S", "k"), "cr");
  EXPECT_EQ(Get("[S]\nk=lf", "S", "k"), "lf");
  EXPECT_EQ(Get("[S]\r\n\r\nk=crlf\r\n", "S", "k"), "crlf");
  EXPECT_EQ(Get("[S]\n\rk=mixed", "S", "k"), "mixed");
}

TEST(IniRead, ValuesQuotesEmptyAndDefaults) {
  const std::string ini =
      "[S]\n"
      "dq=\"  quoted  \"\n"
      "sq='single'\n"
      "mixed=\"not matched'\n"
      "one=\"\n"
      "inner=a \"b\" c\n"
      "empty=\n"
      "bare\n"
      "eq=a=b\n";
  EXPECT_EQ(Get(ini, "S", "dq"), "  quoted  ");
  EXPECT_EQ(Get(ini, "S", "sq"), "single");
  EXPECT_EQ(Get(ini, "S", "mixed"), "\"not matched'");
  EXPECT_EQ(Get(ini, "S", "one"), "\"");
  EXPECT_EQ(Get(ini, "S", "inner"), "a \"b\" c");
  EXPECT_EQ(Get(ini, "S", "empty"), "");
  EXPECT_EQ(Get(ini, "S", "eq"), "a=b");
  // A key without "=", a missing key and an empty key name give the default,
  // less its trailing blanks only.
  EXPECT_EQ(Get(ini, "S", "bare", " d  "), " d");
  EXPECT_EQ(Get(ini, "S", "missing", "x "), "x");
  EXPECT_EQ(Get(ini, "S", "", "dflt"), "dflt");
  EXPECT_EQ(Get("", "S", "k", "none"), "none");
}

TEST(IniRead, BufferKeepsSizeMinusOneBytes) {
  const std::string ini = "[S]\nk=abcdefgh\nq=\"abcdefgh\"\n";
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 5), "abcd");
  EXPECT_EQ(IniGetString(ini, "S", "q", "", 5), "abcd");
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 9), "abcdefgh");
  EXPECT_EQ(IniGetString(ini, "S", "missing", "default", 4), "def");
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 1), "");
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 0), "");
  const std::string longValue(2500, 'v');
  EXPECT_EQ(IniGetString("[S]\nk=" + longValue, "S", "k", "", 2000), std::string(1999, 'v'));
}

TEST(IniSectionRead, RawKeyLinesInFileOrder) {
  const std::string ini =
      "[LULC Directories]\r\n"
      "Directory 1 = /data/luc/\r\n"
      "; a comment\r\n"
      "\r\n"
      "quoted=\"q\"\r\n"
      "bare line\r\n"
      "empty=\r\n"
      "[Other]\r\n"
      "x=1\r\n";
  EXPECT_EQ(IniSectionText(ini, "lulc directories"),
            "Directory 1=/data/luc/\0quoted=\"q\"\0bare line\0empty=\0\0"s);
  EXPECT_EQ(IniSectionText(ini, "Missing"), "\0"s);
  EXPECT_EQ(IniSectionText("[Empty]\n;only a comment\n", "Empty"), "\0"s);
}

TEST(IniSectionRead, TooSmallBufferGivesSizeMinusTwo) {
  const std::string ini = "[S]\na=1\nb=2\n";  // "a=1\0b=2\0\0": 8 bytes plus the final NUL
  std::string buffer;
  EXPECT_EQ(IniGetSection(ini, "S", buffer, 9), 8);
  EXPECT_EQ(buffer, "a=1\0b=2\0\0"s);
  EXPECT_EQ(IniGetSection(ini, "S", buffer, 8), 6);
  EXPECT_EQ(buffer, "a=1\0b=\0\0"s);
  EXPECT_EQ(IniGetSection(ini, "S", buffer, 100), 8);
  EXPECT_EQ(IniGetSection(ini, "Missing", buffer, 100), 0);
  EXPECT_EQ(buffer, "\0"s);
  EXPECT_EQ(IniGetSection(ini, "S", buffer, 1), 0);
  EXPECT_EQ(buffer, "");
}

TEST(IniWrite, ExistingValueReplacedInPlaceEverythingElseKept) {
  const std::string ini =
      "; settings written by hand\r\n"
      "[CONFIG]\r\n"
      "frmMain-X = 120\r\n"
      "Unknown Key=keep me\r\n"
      "frmMain-x=999\r\n"
      "[Other]\r\n"
      "frmMain-X=7\r\n";
  const auto out = IniSetString(ini, "config", "FRMMAIN-X", "300");
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(*out,
            "; settings written by hand\r\n"
            "[CONFIG]\r\n"
            "frmMain-X = 300\r\n"
            "Unknown Key=keep me\r\n"
            "frmMain-x=999\r\n"
            "[Other]\r\n"
            "frmMain-X=7\r\n");
  // A bare key gains its value; an empty value stays empty.
  EXPECT_EQ(IniSetString("[S]\n  flag  \n", "S", "flag", "on"), "[S]\n  flag=on\n");
  EXPECT_EQ(IniSetString("[S]\nk =   \n", "S", "k", "v"), "[S]\nk =v\n");
}

TEST(IniWrite, NewKeyGoesAfterTheLastLineOfItsSection) {
  EXPECT_EQ(IniSetString("[A]\na=1\n\n[B]\nb=1\n", "a", "new", "2"), "[A]\na=1\nnew=2\n\n[B]\nb=1\n");
  EXPECT_EQ(IniSetString("[A]\na=1\n; tail comment\n", "A", "new", "2"), "[A]\na=1\n; tail comment\nnew=2\n");
  EXPECT_EQ(IniSetString("[A]", "A", "k", "v"), "[A]\r\nk=v\r\n");
  EXPECT_EQ(IniSetString("[A]\na=1", "A", "k", "v"), "[A]\na=1\nk=v\n");
  // Of duplicate sections the first one receives the key.
  EXPECT_EQ(IniSetString("[A]\n[A]\n", "A", "k", "v"), "[A]\nk=v\n[A]\n");
}

TEST(IniWrite, NewSectionGoesAtTheEndInTheTextsLineEnd) {
  EXPECT_EQ(IniSetString("", "S", "k", "v"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(IniSetString("[A]\na=1\n", " S ", "k", "v"), "[A]\na=1\n\n[S]\nk=v\n");
  EXPECT_EQ(IniSetString("[A]\ra=1", "S", "k", "v"), "[A]\ra=1\r\r[S]\rk=v\r");
  EXPECT_EQ(IniSetString("[A]\r\na=1\r\n\r\n", "S", "k", "v"), "[A]\r\na=1\r\n\r\n[S]\r\nk=v\r\n");
  EXPECT_EQ(IniSetString(";just a comment", "S", "k", "v"), ";just a comment\r\n\r\n[S]\r\nk=v\r\n");
}

TEST(IniWrite, KeysAndValuesThatCannotBeStoredAreRefused) {
  EXPECT_FALSE(IniSetString("", "S", "", "v").has_value());
  EXPECT_FALSE(IniSetString("", "S", "   ", "v").has_value());
  EXPECT_FALSE(IniSetString("", "S", "a=b", "v").has_value());
  EXPECT_FALSE(IniSetString("", "S", ";k", "v").has_value());
  EXPECT_FALSE(IniSetString("", "S", "[k", "v").has_value());
  EXPECT_FALSE(IniSetString("", "S", "k", "two\nlines").has_value());
  EXPECT_FALSE(IniSetString("", "S\r", "k", "v").has_value());
}

TEST(IniWriteSection, ReplacesKeyLinesKeepingHeaderAndComments) {
  const std::string ini =
      "[LULC Directories]\n"
      "; maintained by the suite\n"
      "Directory 1=/old/one/\n"
      "Directory 2=/old/two/\n"
      "\n"
      "[Other]\n"
      "x=1\n";
  EXPECT_EQ(IniSetSection(ini, "lulc directories", "Directory 1=/new/\0Extra=1\0\0"s),
            "[LULC Directories]\n"
            "; maintained by the suite\n"
            "Directory 1=/new/\n"
            "Extra=1\n"
            "\n"
            "[Other]\n"
            "x=1\n");
  EXPECT_EQ(IniSetSection(ini, "LULC Directories", "\0\0"s),
            "[LULC Directories]\n"
            "; maintained by the suite\n"
            "\n"
            "[Other]\n"
            "x=1\n");
}

TEST(IniWriteSection, MissingOrKeylessSectionGetsItsEntries) {
  EXPECT_EQ(IniSetSection("", "LULC Directories", "Empty=True\0\0"s), "[LULC Directories]\r\nEmpty=True\r\n");
  EXPECT_EQ(IniSetSection("[A]\na=1\n", "B", "b=2\0"s), "[A]\na=1\n\n[B]\nb=2\n");
  EXPECT_EQ(IniSetSection("[A]\n;c\n\n[B]\n", "A", "k=v\0\0"s), "[A]\n;c\nk=v\n\n[B]\n");
  EXPECT_EQ(IniSetSection("[A]\n;c\n", "A", "\0\0"s), "[A]\n;c\n");
  EXPECT_FALSE(IniSetSection("", "S", "k=v\nx=y\0\0"s).has_value());
  EXPECT_FALSE(IniSetSection("", "S", "[T]\0\0"s).has_value());
}

}  // namespace
}  // namespace tilbo
