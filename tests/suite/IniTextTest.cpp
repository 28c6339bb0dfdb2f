// The INI rules, checked once here on text in memory; the file layers above
// test only what the file adds (locking, atomic replacement, modes, links).
#include "suite/IniText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tilbo {
namespace {

using namespace std::string_literals;

const std::string kIni =
    "orphan=before any header\n[Main Settings] ; text after the bracket\n  Delete Old  =  Yes  \n"
    "\tLast CTG File\t=\t/data/a.ctg\r\n;k=commented out\n  ; indented comment\nk=first\rk=second\r\nK=third\n"
    "dq=\"  quoted  \"\nsq='single'\nmixed=\"not matched'\none=\"\nempty=\nbare\neq=a=b\n"
    "[weird]name]\nx=1\n[no close\ny=2\n[main settings]\nk=later section\nonly=later\n";

TEST(IniRead, KeyRules) {
  const struct {
    const char *section, *key, *def, *expected;
  } cases[] = {
      // Names ignore case and blanks; lines end at CR, LF or CR LF.
      {"  main settings ", "DELETE OLD", "D", "Yes"}, {"Main Settings", "Last CTG File", "D", "/data/a.ctg"},
      {"Main", "Delete Old", "D", "D"}, {"", "orphan", "D", "D"},  // lines before the first header are in no section
      {"Main Settings", ";k", "D", "D"}, {"Main Settings", "k", "D", "first"},
      {"Main Settings", "only", "D", "D"},  // later duplicates are not seen
      {"Main Settings", "dq", "D", "  quoted  "}, {"Main Settings", "sq", "D", "single"},
      {"Main Settings", "mixed", "D", "\"not matched'"}, {"Main Settings", "one", "D", "\""},
      {"Main Settings", "empty", "D", ""}, {"Main Settings", "eq", "D", "a=b"},
      // The default, less its trailing blanks, for a bare key and an empty key name.
      {"Main Settings", "bare", " d  ", " d"}, {"Main Settings", "", "dflt", "dflt"},
      {"weird]name", "x", "D", "1"},  // the name runs to the last "]"
      {"weird]name", "y", "D", "2"},  // "[" without "]" is an ordinary line
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniGetString(kIni, c.section, c.key, c.def, 2000), c.expected) << c.section << " / " << c.key;
  }
  EXPECT_EQ(IniGetString("[S]\n\rk=mixed", "S", "k", "", 2000), "mixed");
}

TEST(IniRead, BufferKeepsSizeMinusOneBytes) {
  const std::string ini = "[S]\nk=abcdefgh\nq=\"abcdefgh\"\n";
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 5), "abcd");
  EXPECT_EQ(IniGetString(ini, "S", "q", "", 5), "abcd");
  EXPECT_EQ(IniGetString(ini, "S", "missing", "default", 4), "def");
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 0), "");
}

TEST(IniSectionRead, RawKeyLinesInFileOrderAndTheBufferLimit) {
  EXPECT_EQ(IniSectionText(kIni, "MAIN SETTINGS"),
            "Delete Old=Yes\0Last CTG File=/data/a.ctg\0k=first\0k=second\0K=third\0dq=\"  quoted  \"\0"
            "sq='single'\0mixed=\"not matched'\0one=\"\0empty=\0bare\0eq=a=b\0\0"s);
  EXPECT_EQ(IniSectionText(kIni, "Missing"), "\0"s);
  EXPECT_EQ(IniSectionText("[Empty]\n;only a comment\n", "Empty"), "\0"s);

  const std::string ini = "[S]\na=1\nb=2\n";  // "a=1\0b=2\0\0": 8 bytes plus the final NUL
  const struct {
    std::size_t size;
    int length;
    std::string buffer;
  } cases[] = {{9, 8, "a=1\0b=2\0\0"s}, {8, 6, "a=1\0b=\0\0"s}, {1, 0, ""}};
  for (const auto& c : cases) {
    std::string buffer;
    EXPECT_EQ(IniGetSection(ini, "S", buffer, c.size), c.length) << c.size;
    EXPECT_EQ(buffer, c.buffer) << c.size;
  }
}

TEST(IniWrite, KeyPlacementAndRefusals) {
  const std::string config =
      "; settings written by hand\r\n[CONFIG]\r\nfrmMain-X = 120\r\nUnknown Key=keep me\r\nfrmMain-x=999\r\n"
      "[Other]\r\nfrmMain-X=7\r\n";
  const struct {
    std::string content;
    const char *section, *key, *value;
    std::optional<std::string> expected;  // nothing: refused
  } cases[] = {
      // An existing value is replaced in place, every other byte kept.
      {config, "config", "FRMMAIN-X", "300",
       "; settings written by hand\r\n[CONFIG]\r\nfrmMain-X = 300\r\nUnknown Key=keep me\r\nfrmMain-x=999\r\n"
       "[Other]\r\nfrmMain-X=7\r\n"},
      {"[S]\n  flag  \n", "S", "flag", "on", "[S]\n  flag=on\n"}, {"[S]\nk =   \n", "S", "k", "v", "[S]\nk =v\n"},
      // A new key goes after the last line of its (first) section.
      {"[A]\na=1\n\n[B]\nb=1\n", "a", "new", "2", "[A]\na=1\nnew=2\n\n[B]\nb=1\n"},
      {"[A]\na=1\n; tail comment\n", "A", "new", "2", "[A]\na=1\n; tail comment\nnew=2\n"},
      {"[A]", "A", "k", "v", "[A]\r\nk=v\r\n"}, {"[A]\na=1", "A", "k", "v", "[A]\na=1\nk=v\n"},
      {"[A]\n[A]\n", "A", "k", "v", "[A]\nk=v\n[A]\n"},
      // A new section goes at the end after a blank line, in the text's line end.
      {"", "S", "k", "v", "[S]\r\nk=v\r\n"}, {"[A]\na=1\n", " S ", "k", "v", "[A]\na=1\n\n[S]\nk=v\n"},
      {"[A]\ra=1", "S", "k", "v", "[A]\ra=1\r\r[S]\rk=v\r"},
      {"[A]\r\na=1\r\n\r\n", "S", "k", "v", "[A]\r\na=1\r\n\r\n[S]\r\nk=v\r\n"},
      {";just a comment", "S", "k", "v", ";just a comment\r\n\r\n[S]\r\nk=v\r\n"},
      // Names and values that cannot be stored.
      {"", "S", "", "v", std::nullopt}, {"", "S", "   ", "v", std::nullopt}, {"", "S", "a=b", "v", std::nullopt},
      {"", "S", ";k", "v", std::nullopt}, {"", "S", "[k", "v", std::nullopt},
      {"", "S", "k", "two\nlines", std::nullopt}, {"", "S\r", "k", "v", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniSetString(c.content, c.section, c.key, c.value), c.expected) << c.content << c.section << c.key;
  }
}

TEST(IniWriteSection, EntriesReplaceKeyLinesKeepingHeaderAndComments) {
  const std::string dirs = "[LULC Directories]\n; kept\nDirectory 1=/old/one/\nDirectory 2=/old/two/\n\n[Other]\nx=1\n";
  const struct {
    std::string content, entries;
    std::optional<std::string> expected;
  } cases[] = {
      {dirs, "Directory 1=/new/\0Extra=1\0\0"s, "[LULC Directories]\n; kept\nDirectory 1=/new/\nExtra=1\n\n[Other]\nx=1\n"},
      {dirs, "\0\0"s, "[LULC Directories]\n; kept\n\n[Other]\nx=1\n"},
      {"", "Empty=True\0\0"s, "[LULC Directories]\r\nEmpty=True\r\n"},
      {"[A]\na=1\n", "b=2\0"s, "[A]\na=1\n\n[LULC Directories]\nb=2\n"},
      {"[lulc directories]\n;c\n\n[B]\n", "k=v\0\0"s, "[lulc directories]\n;c\nk=v\n\n[B]\n"},
      {"[LULC Directories]\n;c\n", "\0\0"s, "[LULC Directories]\n;c\n"},
      {"", "k=v\nx=y\0\0"s, std::nullopt}, {"", "[T]\0\0"s, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniSetSection(c.content, "LULC Directories", c.entries), c.expected) << c.content;
  }
}

}  // namespace
}  // namespace tilbo
