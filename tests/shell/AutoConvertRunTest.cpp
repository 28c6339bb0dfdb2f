// Unattended conversions through frmMain::RunAutoConvert: the AutoConvert log
// line by line, the exit status and the tiles. The runs that end before a
// conversion are checked on the program (tests/app).

#include <gtest/gtest.h>

#include <regex>

#include "conversion/ConversionHarness.h"

namespace tilbo {
namespace {

using testing::ConversionTest;
using testing::FileNamesIn;
using testing::Percent;
using testing::ReadWholeFile;
using testing::WriteWholeFile;
using Lines = std::vector<std::string>;

class AutoConvertRun : public ConversionTest {
 protected:
  // A 0.2 x 0.3 degree quadrangle of 200 m cells; returns its path.
  std::string Source(double south, double west, const std::string& title) {
    SynthOptions o;
    o.south = south;
    o.west = west;
    o.height = 0.2;
    o.width = 0.3;
    o.title = title;
    o.pattern = SynthPattern::kHash;
    return MakeSource(o);
  }

  int Run(const std::string& source, bool logExcluded = false) {
    Lines arguments{"/AUTO", "/SOURCE=" + source, "/DEST=" + target.dir(), "/LOG=" + data.file("auto.log"),
                    "/INI=" + ini()};
    if (logExcluded) arguments.push_back("/LE");
    main = std::make_unique<frmMain>(prompter, pump, host, CommandLine(arguments));
    main->Load();
    return main->RunAutoConvert();
  }

  // The log's lines, each start line checked and replaced by "[start]".
  Lines Log() {
    const std::string text = ReadWholeFile(data.file("auto.log"));
    EXPECT_TRUE(text.ends_with("\r\n"));
    Lines lines;
    const std::regex start(R"(\[CTGTilbo AutoConvert started \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\])");
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
      const std::string line = text.substr(at, end - at);
      lines.push_back(std::regex_match(line, start) ? "[start]" : line);
    }
    return lines;
  }

  // The lines of a run from its start to its tiles, then `rest`.
  Lines Expected(const std::string& source, const std::string& title, const Lines& rest) {
    Lines lines{"[start]", "   Source File = " + source, "   Destination Directory = " + target.dir(), "",
                "   File title: " + title, "   Files to create:"};
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
  }

  // The lines that count the source's excluded points (those of code 0).
  static Lines Excluded(const std::string& source) {
    int zero = 0;
    const auto records = testing::ReadSourceRecords(source);
    for (const auto& r : records) zero += r.code == 0 ? 1 : 0;
    const std::string n = std::to_string(zero);
    return {"   " + n + " (" + Percent(zero, static_cast<double>(records.size())) + "%) point(s) excluded.",
            "   0 (0.000% of the number excluded) were not written due to read errors.",
            "   " + n + " (100.000% of the number excluded) were not written because they were 0."};
  }
};

TEST_F(AutoConvertRun, ConvertedSourceLogsEveryStepAndASecondRunAppends) {
  const std::string source = Source(40.1, -105.15, "TESTVILLE 1:250,000");
  const Lines excluded = Excluded(source);
  EXPECT_EQ(Run(source, true), kExitConverted);
  const Lines expected = Expected(
      source, "TESTVILLE 1:250,000",
      {"      L10540NW.LUC (No conflicts.)", "      L10440NW.LUC (No conflicts.)", "",
       "   Logging excluded points to " + data.file("TESTVILLE.txt") + ".", excluded[0], excluded[1], excluded[2], "",
       "   Source file successfully converted.", ""});
  EXPECT_EQ(Log(), expected);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_TRUE(std::filesystem::exists(data.file("TESTVILLE.txt")));
  EXPECT_EQ(FileNamesIn(target.path()), (Lines{"L10440NW.LUC", "L10540NW.LUC"}));
  EXPECT_TRUE(TemporaryTilesLeft().empty());

  // The tiles now exist, and AutoConvert ticks them all the same.
  const std::string before = ReadWholeFile(target.file("L10540NW.LUC"));
  WriteWholeFile(target.file("L10540NW.LUC"), "older");
  EXPECT_EQ(Run(source, true), kExitConverted);
  Lines twice = expected;
  twice.insert(twice.end(), expected.begin(), expected.end());
  twice[expected.size() + 6] = "      L10540NW.LUC (Exists in directory.)";
  twice[expected.size() + 7] = "      L10440NW.LUC (Exists in directory.)";
  EXPECT_EQ(Log(), twice);
  EXPECT_EQ(ReadWholeFile(target.file("L10540NW.LUC")), before);
}

TEST_F(AutoConvertRun, TilesThatCannotBeCreatedOrCopiedAreLoggedAndTheRunFails) {
  const std::string source = Source(40.1, -105.15, "TESTVILLE 1:250,000");
  // The west tile's temporary path and the east tile's target are directories.
  std::filesystem::create_directories(frmConversion::TemporaryPath("L10540NW.LUC"));
  std::filesystem::create_directory(target.path() / "L10440NW.LUC");
  EXPECT_EQ(Run(source), kExitNotConverted);
  EXPECT_EQ(Log(), Expected(source, "TESTVILLE 1:250,000",
                            {"      L10540NW.LUC (No conflicts.)", "      L10440NW.LUC (No conflicts.)", "",
                             "   Could not create file L10540NW.LUC", "   Could not copy L10440NW.LUC.",
                             "   Source file not successfully converted.", ""}));
  EXPECT_EQ(main->AutoConvertResult.reason, "Could not copy L10440NW.LUC.");
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_TRUE(std::filesystem::is_directory(target.path() / "L10440NW.LUC"));
  EXPECT_TRUE(TemporaryTilesLeft().empty());  // the run's folder went, with the directory in it
}

TEST_F(AutoConvertRun, SkewIsLoggedAndTheTileKeptWithTheExistingFilesLines) {
  WriteWholeFile(ini(), "[System Units]\r\nCoord Fmt=DDD.dddd\r\n[CTG Tilbo Settings]\r\nUse Existing Files=Yes\r\n");
  const std::string source = Source(-34.3, -70.4, "SOUTHVILLE");
  const Lines excluded = Excluded(source);
  EXPECT_EQ(Run(source), kExitConverted);
  EXPECT_EQ(Log(), Expected(source, "SOUTHVILLE",
                            {"      L07035SW.LUC (No conflicts.)", "",
                             "   There was an internal (skew) error while creating the file L07035SW.LUC.",
                             excluded[0], excluded[1], excluded[2], "",
                             "   0 (0.00%) were written to these files:",
                             "      < No Files >", "   Source file successfully converted.", ""}));
  EXPECT_EQ(FileNamesIn(target.path()), (Lines{"L07035SW.LUC"}));  // kept without asking
}

}  // namespace
}  // namespace tilbo
