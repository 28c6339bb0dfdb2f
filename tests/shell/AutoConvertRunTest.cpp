// Unattended conversions through frmMain::RunAutoConvert: the AutoConvert log
// line by line, the exit status and the tiles.

#include <gtest/gtest.h>

#include <regex>

#include "conversion/ConversionHarness.h"
#include "luc/LUCFileV1.h"

namespace tilbo {
namespace {

using testing::ConversionTest;
using testing::FileNamesIn;
using testing::Percent;
using testing::ReadSourceRecords;
using testing::ReadWholeFile;
using testing::SourceRecord;
using testing::WriteWholeFile;

constexpr int kExitConverted = 0;
constexpr int kExitNotConverted = 1;

std::vector<std::string> LogLines(const std::string& path) {
  const std::string text = ReadWholeFile(path);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the log ends in the middle of a line";
  return lines;
}

class AutoConvertRun : public ConversionTest {
 protected:
  SynthOptions Quadrangle(double south, double west, const std::string& title) {
    SynthOptions o;
    o.south = south;
    o.west = west;
    o.height = 0.2;
    o.width = 0.3;
    o.cellSize = 200;
    o.title = title;
    o.pattern = SynthPattern::kHash;
    return o;
  }

  int Run(const std::string& source, std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments{"/AUTO", "/SOURCE=" + source, "/DEST=" + target.dir(), "/LOG=" + logPath(),
                                       "/INI=" + ini()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    main = std::make_unique<frmMain>(prompter, pump, host, CommandLine(arguments));
    main->Load();
    return main->RunAutoConvert();
  }

  std::string logPath() const { return data.file("auto.log"); }

  // The log's lines, each start line checked and replaced by "[start]".
  std::vector<std::string> Log() {
    std::vector<std::string> lines = LogLines(logPath());
    const std::regex start(R"(\[CTGTilbo AutoConvert started \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\])");
    for (std::string& line : lines) {
      if (std::regex_match(line, start)) line = "[start]";
    }
    return lines;
  }

  std::vector<std::string> Opening(const std::string& source, const std::string& title) {
    return {"[start]", "   Source File = " + source, "   Destination Directory = " + target.dir(), "",
            "   File title: " + title, "   Files to create:"};
  }
};

struct Counts {
  int32_t records = 0, zero = 0;
};

Counts CountOf(const std::vector<SourceRecord>& records) {
  Counts c;
  for (const SourceRecord& r : records) {
    ++c.records;
    c.zero += r.code == 0 ? 1 : 0;
  }
  return c;
}

TEST_F(AutoConvertRun, ConvertedSourceLogsEveryStep) {
  const std::string source = MakeSource(Quadrangle(40.1, -105.15, "TESTVILLE 1:250,000"));
  const Counts c = CountOf(ReadSourceRecords(source));
  EXPECT_EQ(Run(source, {"/LE"}), kExitConverted);

  std::vector<std::string> expected = Opening(source, "TESTVILLE 1:250,000");
  const std::vector<std::string> rest = {
      "      L10540NW.LUC (No conflicts.)",
      "      L10440NW.LUC (No conflicts.)",
      "",
      "   Logging excluded points to " + data.file("TESTVILLE.txt") + ".",
      "   " + std::to_string(c.zero) + " (" + Percent(c.zero, c.records) + "%) " + "point(s) excluded.",
      "   0 (0.000% of the number excluded) were not written " + std::string("due to read errors."),
      "   " + std::to_string(c.zero) + " (100.000% of the number excluded) were not written " + "because they were 0.",
      "",
      "   Source file successfully converted.",
      ""};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(Log(), expected);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_TRUE(main->ConvertSuccess);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{"L10440NW.LUC", "L10540NW.LUC"}));
  EXPECT_TRUE(TemporaryTilesLeft().empty());

  // A second run appends to the same log; the tiles now exist, and AutoConvert
  // ticks them all the same.
  const std::string before = ReadWholeFile(target.file("L10540NW.LUC"));
  WriteWholeFile(target.file("L10540NW.LUC"), "older");
  EXPECT_EQ(Run(source, {"/LE"}), kExitConverted);
  std::vector<std::string> twice = expected;
  twice.insert(twice.end(), expected.begin(), expected.end());
  twice[expected.size() + 6] = "      L10540NW.LUC (Exists in directory.)";
  twice[expected.size() + 7] = "      L10440NW.LUC (Exists in directory.)";
  EXPECT_EQ(Log(), twice);
  EXPECT_EQ(ReadWholeFile(target.file("L10540NW.LUC")), before);
}

TEST_F(AutoConvertRun, TilesThatCannotBeCreatedOrCopiedAreLoggedAndTheRunFails) {
  const std::string source = MakeSource(Quadrangle(40.1, -105.15, "TESTVILLE 1:250,000"));
  // The west tile's temporary path and the east tile's target are directories.
  std::filesystem::create_directories(frmConversion::TemporaryPath("L10540NW.LUC"));
  std::filesystem::create_directory(target.path() / "L10440NW.LUC");
  EXPECT_EQ(Run(source), kExitNotConverted);

  std::vector<std::string> expected = Opening(source, "TESTVILLE 1:250,000");
  const std::vector<std::string> rest = {"      L10540NW.LUC (No conflicts.)",
                                         "      L10440NW.LUC (No conflicts.)",
                                         "",
                                         "   Could not create file L10540NW.LUC",
                                         "   Could not copy L10440NW.LUC.",
                                         "   Source file not successfully converted.",
                                         ""};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(Log(), expected);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_FALSE(main->ConvertSuccess);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{"L10440NW.LUC"}));
  EXPECT_TRUE(std::filesystem::is_directory(target.path() / "L10440NW.LUC"));
  EXPECT_TRUE(TemporaryTilesLeft().empty());  // the run's folder went, with the directory in it
}

TEST_F(AutoConvertRun, SkewIsLoggedAndTheTileKeptWithTheExistingFilesLines) {
  WriteWholeFile(ini(), "[System Units]\r\nCoord Fmt=DDD.dddd\r\n[CTG Tilbo Settings]\r\nUse Existing Files=Yes\r\n");
  const std::string source = MakeSource(Quadrangle(-34.3, -70.4, "SOUTHVILLE"));
  const Counts c = CountOf(ReadSourceRecords(source));
  EXPECT_EQ(Run(source), kExitConverted);

  std::vector<std::string> expected = Opening(source, "SOUTHVILLE");
  const std::vector<std::string> rest = {
      "      L07035SW.LUC (No conflicts.)",
      "",
      "   There was an internal (skew) error " + std::string("while creating the file ") + "L07035SW.LUC" + ".",
      "   " + std::to_string(c.zero) + " (" + Percent(c.zero, c.records) + "%) " + "point(s) excluded.",
      "   0 (0.000% of the number excluded) were not written " + std::string("due to read errors."),
      "   " + std::to_string(c.zero) + " (100.000% of the number excluded) were not written " + "because they were 0.",
      "",
      "   0 (" + Percent(0, c.records, 2) + "%) were written to " + "these files:",
      "      < No Files >",
      "   Source file successfully converted.",
      ""};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(Log(), expected);
  LUCFileV1 tile;
  tile.SetFileName(target.file("L07035SW.LUC"));
  tile.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(tile.DataSource(), "Quillmarsh LLC, Tamber ID*" + std::string(14, ' '));
}

}  // namespace
}  // namespace tilbo
