// Unattended conversions through frmMain::RunAutoConvert: the AutoConvert log
// line by line, the exit status and the tiles. The runs that end before a
// conversion are checked on the program (tests/app); the texts of the
// summary lines in ConversionTextsTest.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "conversion/ConversionHarness.h"

namespace tilbo {
namespace {

using testing::ConversionTest;
using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using testing::FileNamesIn;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Matcher;
using testing::ReadWholeFile;
using testing::WriteWholeFile;
using Lines = std::vector<std::string>;

class AutoConvertRun : public ConversionTest {
 protected:
  // A 0.2 x 0.3 degree quadrangle of 200 m cells; returns its path.
  std::string Source(double south, double west, const std::string& title) {
    return MakeSource({.south = south, .west = west, .height = 0.2, .width = 0.3, .cellSize = 200, .title = title,
                       .dataDate = "", .pattern = SynthPattern::kHash});
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
    EXPECT_THAT(text, EndsWith("\r\n"));
    Lines lines;
    const std::regex start(R"(\[CTGTilbo AutoConvert started \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\])");
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
      const std::string line = text.substr(at, end - at);
      lines.push_back(std::regex_match(line, start) ? "[start]" : line);
    }
    return lines;
  }
};

// A southern quadrangle, whose tile has the skew condition, converted with
// existing files allowed and excluded points logged; then again, the log
// appended and the existing tile ticked all the same.
TEST_F(AutoConvertRun, ConvertedSourceLogsEveryStepAndASecondRunAppends) {
  WriteWholeFile(ini(), "[System Units]\r\nCoord Fmt=DDD.dddd\r\n[CTG Tilbo Settings]\r\nUse Existing Files=Yes\r\n");
  const std::string source = Source(-34.3, -70.4, "SOUTHVILLE");
  EXPECT_EQ(Run(source, true), kExitConverted);
  const Lines log = Log();
  EXPECT_THAT(log, ElementsAreArray(std::vector<Matcher<const std::string&>>{
                       "[start]", "   Source File = " + source, "   Destination Directory = " + target.dir(), "",
                       "   File title: SOUTHVILLE", "   Files to create:", "      L07035SW.LUC (No conflicts.)", "",
                       "   Logging excluded points to " + data.file("SOUTHVILLE.txt") + ".",
                       "   There was an internal (skew) error while creating the file L07035SW.LUC.",
                       // The summary lines, which ConversionTextsTest pins.
                       EndsWith("point(s) excluded."), EndsWith("not written due to read errors."),
                       EndsWith("not written because they were 0."), "", "   0 (0.00%) were written to these files:",
                       "      < No Files >", "   Source file successfully converted.", ""}));
  EXPECT_THAT(prompter.shown, IsEmpty());  // the skewed tile is kept without asking, and marked so
  EXPECT_THAT(ReadWholeFile(target.file("L07035SW.LUC")), HasSubstr("Quillmarsh LLC, Tamber ID*"));
  EXPECT_EQ(FileNamesIn(target.path()), (Lines{"L07035SW.LUC"}));

  const std::string before = ReadWholeFile(target.file("L07035SW.LUC"));
  WriteWholeFile(target.file("L07035SW.LUC"), "older");
  EXPECT_EQ(Run(source, true), kExitConverted);
  Lines twice = log;
  twice.insert(twice.end(), log.begin(), log.end());
  twice[log.size() + 6] = "      L07035SW.LUC (Exists in directory.)";
  EXPECT_EQ(Log(), twice);
  EXPECT_EQ(ReadWholeFile(target.file("L07035SW.LUC")), before);
}

TEST_F(AutoConvertRun, TilesThatCannotBeCreatedOrCopiedAreLoggedAndTheRunFails) {
  const std::string source = Source(40.1, -105.15, "TESTVILLE 1:250,000");
  // The west tile's temporary path and the east tile's target are directories.
  std::filesystem::create_directories(frmConversion::TemporaryPath("L10540NW.LUC"));
  std::filesystem::create_directory(target.path() / "L10440NW.LUC");
  EXPECT_EQ(Run(source), kExitNotConverted);
  EXPECT_EQ(Log(),
            (Lines{"[start]", "   Source File = " + source, "   Destination Directory = " + target.dir(), "",
                   "   File title: TESTVILLE 1:250,000", "   Files to create:", "      L10540NW.LUC (No conflicts.)",
                   "      L10440NW.LUC (No conflicts.)", "", "   Could not create file L10540NW.LUC",
                   "   Could not copy L10440NW.LUC.", "   Source file not successfully converted.", ""}));
  EXPECT_EQ(main->AutoConvertResult.reason, "Could not copy L10440NW.LUC.");
  EXPECT_THAT(prompter.shown, IsEmpty());
  EXPECT_TRUE(std::filesystem::is_directory(target.path() / "L10440NW.LUC"));
  EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());  // the run's folder went, with the directory in it
}

}  // namespace
}  // namespace tilbo
