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
    "orphan=before any header\n"
    "[CTG Tilbo Settings] ; text after the bracket\n"
    "  Delete Old  =  Yes  \n"
    "\tLast CTG File\t=\t/data/a.ctg\r\n"
    ";k=commented out\n"
    "  ; indented comment\n"
    "k=first\rk=second\r\nK=third\n"
    "dq=\"  quoted  \"\n"
    "sq='single'\n"
    "mixed=\"not matched'\n"
    "one=\"\n"
    "empty=\n"
    "bare\n"
    "eq=a=b\n"
    "[weird]name]\n"
    "x=1\n"
    "[no close\n"
    "y=2\n"
    "[ctg tilbo settings]\n"
    "k=later section\nonly=later\n";

TEST(IniRead, KeyRules) {
  struct Case {
    const char* section;
    const char* key;
    const char* def;
    const char* expected;
  } const cases[] = {
      {"ctg tilbo settings", "DELETE OLD", "D", "Yes"},  // names ignore case, blanks trimmed
      {"  CTG Tilbo Settings ", "delete old", "D", "Yes"},
      {"CTG Tilbo Settings", "Last CTG File", "D", "/data/a.ctg"},
      {"CTG Tilbo", "Delete Old", "D", "D"},
      {"", "orphan", "D", "D"},  // lines before the first header are in no section
      {"CTG Tilbo Settings", ";k", "D", "D"},
      {"CTG Tilbo Settings", "k", "D", "first"},  // first key wins; CR, LF, CR LF all end lines
      {"CTG Tilbo Settings", "only", "D", "D"},   // a duplicate section is never seen
      {"CTG Tilbo Settings", "dq", "D", "  quoted  "},
      {"CTG Tilbo Settings", "sq", "D", "single"},
      {"CTG Tilbo Settings", "mixed", "D", "\"not matched'"},
      {"CTG Tilbo Settings", "one", "D", "\""},
      {"CTG Tilbo Settings", "empty", "D", ""},
      {"CTG Tilbo Settings", "eq", "D", "a=b"},
      {"CTG Tilbo Settings", "bare", " d  ", " d"},  // the default less its trailing blanks
      {"CTG Tilbo Settings", "missing", "x ", "x"},
      {"CTG Tilbo Settings", "", "dflt", "dflt"},
      {"weird]name", "x", "D", "1"},  // the name runs to the last "]"
      {"weird]name", "y", "D", "2"},  // "[" without "]" is an ordinary line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + " / " + c.key);
    EXPECT_EQ(IniGetString(kIni, c.section, c.key, c.def, 2000), c.expected);
  }
  EXPECT_EQ(IniGetString("[S]\n\rk=mixed", "S", "k", "", 2000), "mixed");
}

TEST(IniRead, BufferKeepsSizeMinusOneBytes) {
  const std::string ini = "[S]\nk=abcdefgh\nq=\"abcdefgh\"\n";
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 5), "abcd");
  EXPECT_EQ(IniGetString(ini, "S", "q", "", 5), "abcd");
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 9), "abcdefgh");
  EXPECT_EQ(IniGetString(ini, "S", "missing", "default", 4), "def");
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 1), "");
  EXPECT_EQ(IniGetString(ini, "S", "k", "", 0), "");
}

TEST(IniSectionRead, RawKeyLinesInFileOrderAndTheBufferLimit) {
  EXPECT_EQ(IniSectionText(kIni, "CTG TILBO SETTINGS"),
            "Delete Old=Yes\0Last CTG File=/data/a.ctg\0k=first\0k=second\0K=third\0dq=\"  quoted  \"\0"
            "sq='single'\0mixed=\"not matched'\0one=\"\0empty=\0bare\0eq=a=b\0\0"s);
  EXPECT_EQ(IniSectionText(kIni, "Missing"), "\0"s);
  EXPECT_EQ(IniSectionText("[Empty]\n;only a comment\n", "Empty"), "\0"s);

  const std::string ini = "[S]\na=1\nb=2\n";  // "a=1\0b=2\0\0": 8 bytes plus the final NUL
  struct Case {
    std::size_t size;
    int length;
    std::string buffer;
  } const cases[] = {{9, 8, "a=1\0b=2\0\0"s}, {8, 6, "a=1\0b=\0\0"s}, {1, 0, ""}};
  for (const Case& c : cases) {
    std::string buffer;
    EXPECT_EQ(IniGetSection(ini, "S", buffer, c.size), c.length) << c.size;
    EXPECT_EQ(buffer, c.buffer) << c.size;
  }
}

TEST(IniWrite, KeyPlacementAndRefusals) {
  const std::string config =
      "; settings written by hand\r\n[CONFIG]\r\nfrmMain-X = 120\r\nUnknown Key=keep me\r\nfrmMain-x=999\r\n"
      "[Other]\r\nfrmMain-X=7\r\n";
  struct Case {
    std::string content;
    const char* section;
    const char* key;
    const char* value;
    std::optional<std::string> expected;  // nothing: refused
  } const cases[] = {
      // An existing value is replaced in place, every other byte kept.
      {config, "config", "FRMMAIN-X", "300",
       "; settings written by hand\r\n[CONFIG]\r\nfrmMain-X = 300\r\nUnknown Key=keep me\r\nfrmMain-x=999\r\n"
       "[Other]\r\nfrmMain-X=7\r\n"},
      {"[S]\n  flag  \n", "S", "flag", "on", "[S]\n  flag=on\n"},
      {"[S]\nk =   \n", "S", "k", "v", "[S]\nk =v\n"},
      // A new key goes after the last line of its (first) section.
      {"[A]\na=1\n\n[B]\nb=1\n", "a", "new", "2", "[A]\na=1\nnew=2\n\n[B]\nb=1\n"},
      {"[A]\na=1\n; tail comment\n", "A", "new", "2", "[A]\na=1\n; tail comment\nnew=2\n"},
      {"[A]", "A", "k", "v", "[A]\r\nk=v\r\n"},
      {"[A]\na=1", "A", "k", "v", "[A]\na=1\nk=v\n"},
      {"[A]\n[A]\n", "A", "k", "v", "[A]\nk=v\n[A]\n"},
      // A new section goes at the end after a blank line, in the text's line end.
      {"", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"[A]\na=1\n", " S ", "k", "v", "[A]\na=1\n\n[S]\nk=v\n"},
      {"[A]\ra=1", "S", "k", "v", "[A]\ra=1\r\r[S]\rk=v\r"},
      {"[A]\r\na=1\r\n\r\n", "S", "k", "v", "[A]\r\na=1\r\n\r\n[S]\r\nk=v\r\n"},
      {";just a comment", "S", "k", "v", ";just a comment\r\n\r\n[S]\r\nk=v\r\n"},
      // Names and values that cannot be stored.
      {"", "S", "", "v", std::nullopt},
      {"", "S", "   ", "v", std::nullopt},
      {"", "S", "a=b", "v", std::nullopt},
      {"", "S", ";k", "v", std::nullopt},
      {"", "S", "[k", "v", std::nullopt},
      {"", "S", "k", "two\nlines", std::nullopt},
      {"", "S\r", "k", "v", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content + " | " + c.section + " | " + c.key);
    EXPECT_EQ(IniSetString(c.content, c.section, c.key, c.value), c.expected);
  }
}

TEST(IniWriteSection, EntriesReplaceKeyLinesKeepingHeaderAndComments) {
  const std::string dirs = "[LULC Directories]\n; kept\nDirectory 1=/old/one/\nDirectory 2=/old/two/\n\n[Other]\nx=1\n";
  struct Case {
    std::string content;
    std::string entries;
    std::optional<std::string> expected;
  } const cases[] = {
      {dirs, "Directory 1=/new/\0Extra=1\0\0"s, "[LULC Directories]\n; kept\nDirectory 1=/new/\nExtra=1\n\n[Other]\nx=1\n"},
      {dirs, "\0\0"s, "[LULC Directories]\n; kept\n\n[Other]\nx=1\n"},
      {"", "Empty=True\0\0"s, "[LULC Directories]\r\nEmpty=True\r\n"},
      {"[A]\na=1\n", "b=2\0"s, "[A]\na=1\n\n[LULC Directories]\nb=2\n"},
      {"[lulc directories]\n;c\n\n[B]\n", "k=v\0\0"s, "[lulc directories]\n;c\nk=v\n\n[B]\n"},
      {"[LULC Directories]\n;c\n", "\0\0"s, "[LULC Directories]\n;c\n"},
      {"", "k=v\nx=y\0\0"s, std::nullopt},
      {"", "[T]\0\0"s, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    EXPECT_EQ(IniSetSection(c.content, "LULC Directories", c.entries), c.expected);
  }
}

}  // namespace
}  // namespace tilbo
