// Whole interactive conversions through the main window and the conversion
// window: conflict statuses and ticks, the tiles left in the target
// directory, the row texts, the messages and questions, and the summary.

#include <gtest/gtest.h>

#include <utime.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <regex>
#include <set>

#include "ConversionHarness.h"
#include "luc/LUCFileV1.h"

namespace tilbo {
namespace {

using testing::ConversionTest;
using testing::FileNamesIn;
using testing::Geographic;
using testing::Percent;
using testing::ReadSourceRecords;
using testing::ReadWholeFile;
using testing::RunOptions;
using testing::Shown;
using testing::SourceRecord;
using testing::WriteWholeFile;

constexpr const char* kCRLF = "\r\n";
constexpr const char* kWest = "L10540NW.LUC";  // 40-41 N, 106-105 W
constexpr const char* kEast = "L10440NW.LUC";  // 40-41 N, 105-104 W
constexpr const char* kTitle = "TESTVILLE 1:250,000";
constexpr const char* kSummaryHead = "The conversion process is complete.\r\n\r\n";

std::string Padded(const std::string& text) { return text + std::string(40 - text.size(), ' '); }

// A quadrangle across the meridian 105 W, so that its points go into two
// tiles side by side, both in zone 13.
SynthOptions TwoTileQuadrangle() {
  SynthOptions o;
  o.south = 40.1;
  o.west = -105.15;
  o.height = 0.2;
  o.width = 0.3;
  o.cellSize = 200;
  o.title = kTitle;
  o.pattern = SynthPattern::kHash;
  return o;
}

// What the tests predict of the two-tile quadrangle from its records alone.
struct TwoTileCounts {
  int32_t records = 0;
  int32_t zero = 0;      // readable records of code 0
  int32_t unreadable = 0;
  int32_t west = 0, east = 0;  // non-zero records in each tile's cell
  std::vector<SourceRecord> eastRecords;
};

TwoTileCounts CountTwoTiles(const std::vector<SourceRecord>& records) {
  TwoTileCounts c;
  for (const SourceRecord& r : records) {
    ++c.records;
    if (!r.readable) {
      ++c.unreadable;
    } else if (r.code == 0) {
      ++c.zero;
    } else if (Geographic(r.zone, r.easting, r.northing).longitude <= -105.0) {
      ++c.west;
    } else {
      ++c.east;
      c.eastRecords.push_back(r);
    }
  }
  return c;
}

std::string ExcludedLines(int32_t excluded, int32_t records, int32_t readErrors, int32_t zeros) {
  std::string text = std::string("Number of excluded points:") + "\t" + std::to_string(excluded) + " (" +
                     Percent(excluded, records) + "%)" + kCRLF;
  if (excluded != 0) {
    text += std::string("\t") + "Of these, " + std::to_string(readErrors) + " (" + Percent(readErrors, excluded) +
            "%) were " + "excluded due to read errors." + kCRLF + "\t" + std::to_string(zeros) + " (" +
            Percent(zeros, excluded) + "%) were excluded because " + "they were 0." + kCRLF;
  }
  return text + kCRLF;
}

std::string FilesCreated(const std::vector<std::string>& names) {
  std::string text = std::string(kCRLF) + "Files created:" + kCRLF;
  for (const auto& name : names) text += std::string("\t") + name + ":" + "\t" + "Created successfully." + kCRLF;
  return text;
}

std::string SuccessLine(bool success) {
  return std::string("Success:") + "\t" + "\t" + "\t" + (success ? "Yes." : "No.") + kCRLF;
}

// The single message box of a run: the summary, without an icon.
std::string SummaryShown(const std::vector<Shown>& shown) {
  EXPECT_EQ(shown.size(), 1u) << (shown.empty() ? "" : shown.front().title + ": " + shown.front().text);
  if (shown.empty()) return "";
  EXPECT_FALSE(shown.back().question);
  EXPECT_EQ(shown.back().icon, MessageIcon::None);
  EXPECT_EQ(shown.back().title, "CTG Tilbo");
  return shown.back().text;
}

class ConversionRun : public ConversionTest {
 protected:
  std::vector<std::string> Rows(const std::vector<FileListRow>& rows) {
    std::vector<std::string> texts;
    for (const auto& r : rows) texts.push_back(r.text + (r.ticked ? " [x]" : " [ ]"));
    return texts;
  }
};

TEST_F(ConversionRun, EveryTileTickedIsCreatedFilledSavedAndReported) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  ASSERT_GT(counts.west, 0);
  ASSERT_GT(counts.east, 0);
  ASSERT_GT(counts.zero, 0);
  Open(source, RunOptions{});

  // Which tile receives points, as the rows show it while the copy runs.
  std::set<std::vector<std::string>> rowStates;
  pump.onProcess = [&] {
    if (host.shown != nullptr && host.shown->lblCurrentAction == "Copying data...") {
      std::vector<std::string> texts;
      for (const auto& r : host.shown->lstFiles) texts.push_back(r.text);
      rowStates.insert(texts);
    }
  };
  main->cmdConvert_Click();

  EXPECT_EQ(Rows(view.rowsAtSetUp), (std::vector<std::string>{std::string(kWest) + " (No conflicts.) [x]",
                                                                   std::string(kEast) + " (No conflicts.) [x]"}));
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Saved.) [x]",
                                                                 std::string(kEast) + " (Saved.) [x]"}));
  EXPECT_TRUE(rowStates.count({std::string(kWest) + " (Writing data.)", std::string(kEast) + " (File created.)"}));
  EXPECT_TRUE(rowStates.count({std::string(kWest) + " (File created.)", std::string(kEast) + " (Writing data.)"}));
  EXPECT_TRUE(view.success);
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(view.caption, "&Close Window");
  EXPECT_EQ(view.progressMax, counts.records);
  EXPECT_EQ(view.progressValue, counts.records);
  EXPECT_EQ(view.excluded, counts.zero);
  EXPECT_EQ(view.zeroValues, counts.zero);

  const std::string expected = kSummaryHead + SuccessLine(true) +
                               ExcludedLines(counts.zero, counts.records, 0, counts.zero) +
                               FilesCreated({kWest, kEast});
  EXPECT_EQ(SummaryShown(prompter.shown), expected);

  // Success: the main window lets the file go and returns to its no-file state.
  EXPECT_TRUE(main->ConvertSuccess);
  EXPECT_EQ(main->CurrentFile, 0);
  EXPECT_EQ(main->lblFilename, "Click \"Browse\" to begin a file conversion.");

  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kEast, kWest}));
  EXPECT_TRUE(TemporaryTilesLeft().empty());
  for (const auto& [name, title] : {std::pair{kWest, "TESTVILLE  (WEST) 1:250,000"},
                                    std::pair{kEast, "TESTVILLE  (EAST) 1:250,000"}}) {
    LUCFileV1 tile;
    tile.SetFileName(target.file(name));
    tile.SetOpenMode(LUCFileV1::kMemoryIo);
    ASSERT_EQ(tile.LastError(), LUCFileV1::kNoError) << name;
    EXPECT_EQ(tile.Title(), Padded(title));
    EXPECT_EQ(tile.DataSource(), Padded("Quillmarsh LLC, Tamber ID"));
  }
}


TEST_F(ConversionRun, ExistingTileInTheTargetIsKeptUnlessTicked) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  const std::string old = "an older tile, which the run must not touch";
  WriteWholeFile(target.file(kWest), old);

  // Without Overwrite the existing tile is left unticked: its points go nowhere.
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  EXPECT_EQ(Rows(view.rowsAtSetUp), (std::vector<std::string>{std::string(kWest) + " (Exists in directory.) [ ]",
                                                                   std::string(kEast) + " (No conflicts.) [x]"}));
  EXPECT_EQ(view.conflictPaths, (std::vector<std::string>{target.file(kWest), ""}));
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Exists in directory.) [ ]",
                                                                 std::string(kEast) + " (Saved.) [x]"}));
  EXPECT_EQ(ReadWholeFile(target.file(kWest)), old);
  const int32_t excluded = counts.zero + counts.west;
  EXPECT_EQ(SummaryShown(prompter.shown), kSummaryHead + SuccessLine(true) +
                                              ExcludedLines(excluded, counts.records, 0, counts.zero) +
                                              FilesCreated({kEast}));

  // With Overwrite it is ticked from the start (the window is closed unused here).
  prompter.shown.clear();
  script = [](frmConversion& c) { c.cmdCancel_Click(); };
  Open(source, RunOptions{.overwrite = true});
  main->cmdConvert_Click();
  EXPECT_EQ(Rows(view.rowsAtSetUp), (std::vector<std::string>{std::string(kWest) + " (Exists in directory.) [x]",
                                                                   std::string(kEast) + " (Exists in directory.) [x]"}));
  EXPECT_TRUE(view.closed);
  EXPECT_FALSE(view.started);
  EXPECT_FALSE(main->ConvertSuccess);
  EXPECT_EQ(main->CurrentFile, 1);  // the file stays loaded
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(ReadWholeFile(target.file(kWest)), old);

  // Ticked by the user, the run replaces it.
  script = [](frmConversion& c) {
    c.lstFiles_Tick(0, true);
    c.RunConversion();
    c.RunConversion();
  };
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  // The east tile, made by the first run, is now the one left alone.
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Saved.) [x]",
                                                                 std::string(kEast) + " (Exists in directory.) [ ]"}));
  EXPECT_EQ(ReadWholeFile(target.file(kWest)).substr(0, 10), "QMLULC 1.0");
  EXPECT_EQ(SummaryShown(prompter.shown), kSummaryHead + SuccessLine(true) +
                                              ExcludedLines(counts.zero + counts.east, counts.records, 0, counts.zero) +
                                              FilesCreated({kWest}));
  EXPECT_TRUE(TemporaryTilesLeft().empty());
}

TEST_F(ConversionRun, TileInALucDirectoryIsReportedOnDoubleClickAndStillCreated) {
  WriteIni(true);
  std::string lucTile = luc.file(kEast);
  LUCFileV1 existing;
  ASSERT_EQ(existing.CreateFile(40, -104, 1000, 1000, lucTile, LUCFileV1::kClosed, 0), LUCFileV1::kCreated);
  std::tm stamp{};
  stamp.tm_year = 2020 - 1900;
  stamp.tm_mon = 0;
  stamp.tm_mday = 2;
  stamp.tm_hour = 3;
  stamp.tm_min = 4;
  stamp.tm_sec = 5;
  stamp.tm_isdst = -1;
  const std::time_t when = std::mktime(&stamp);
  struct utimbuf times{when, when};
  ASSERT_EQ(::utime(lucTile.c_str(), &times), 0);
  const std::string lucBytes = ReadWholeFile(lucTile);

  SynthOptions options = TwoTileQuadrangle();
  options.dataDate = "19900501";
  const std::string source = MakeSource(options);
  Open(source, RunOptions{});
  EXPECT_EQ(main->cboDirectories.items, (std::vector<std::string>{luc.dir()}));

  std::vector<bool> ticksAfterFirstDoubleClick;
  script = [&](frmConversion& c) {
    c.lstFiles_DblClick(1);
    ticksAfterFirstDoubleClick = {c.lstFiles[0].ticked, c.lstFiles[1].ticked};
    c.lstFiles_DblClick(1);
    c.lstFiles_DblClick(0);
    c.lstFiles_DblClick(0);
    c.RunConversion();
    c.RunConversion();
  };
  main->cmdConvert_Click();

  EXPECT_EQ(Rows(view.rowsAtSetUp),
            (std::vector<std::string>{std::string(kWest) + " (No conflicts.) [x]",
                                      std::string(kEast) + " (Exists in different directory.) [x]"}));
  EXPECT_EQ(view.conflictPaths, (std::vector<std::string>{"", lucTile}));
  EXPECT_EQ(ticksAfterFirstDoubleClick, (std::vector<bool>{true, false}));
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Saved.) [x]",
                                                                 std::string(kEast) + " (Saved.) [x]"}));

  const std::string conflict =
      std::string("This file, ") + target.dir() + kEast + ", " +
      "conflicts with an existing file.  Relevant information about " + "both files is displayed below." + kCRLF +
      kCRLF + "New file:" + kCRLF + "\t" + "Apx. size:" + "\t" + "\t" + std::to_string(grid.rows * grid.columns) +
      " bytes" + kCRLF + "\t" + "Data date:" + "\t" + "19900501" + kCRLF + kCRLF + "Old file:" + kCRLF + "\t" +
      "Name:" + "\t" + lucTile + kCRLF + "\t" + "Size:" + "\t" + std::to_string(lucBytes.size()) + " bytes" + kCRLF +
      "\t" + "Date:" + "\t" + "2020-01-02 03:04:05";
  const std::string noConflict = "This file does not conflict with any other files.";
  ASSERT_EQ(prompter.shown.size(), 5u);
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_FALSE(prompter.shown[k].question);
    EXPECT_EQ(prompter.shown[k].icon, MessageIcon::Information);
    EXPECT_EQ(prompter.shown[k].text, k < 2 ? conflict : noConflict);
  }
  EXPECT_EQ(ReadWholeFile(lucTile), lucBytes);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kEast, kWest}));
}

TEST_F(ConversionRun, OutsidePointsWithoutTheExistingFilesOptionAreExcludedAndLogged) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const std::vector<SourceRecord> records = ReadSourceRecords(source);
  const TwoTileCounts counts = CountTwoTiles(records);
  // Creating new files alone does nothing: it works only with existing files.
  Open(source, RunOptions{.createNew = true, .logExcluded = true});
  script = [](frmConversion& c) {
    c.lstFiles_Tick(1, false);
    c.RunConversion();
    c.RunConversion();
  };
  main->cmdConvert_Click();

  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Saved.) [x]",
                                                                 std::string(kEast) + " (No conflicts.) [ ]"}));
  const int32_t excluded = counts.zero + counts.east;
  EXPECT_EQ(view.excluded, excluded);
  EXPECT_EQ(view.writtenElsewhere, 0);
  const std::string logPath = data.file("TESTVILLE.txt");
  EXPECT_EQ(SummaryShown(prompter.shown), kSummaryHead + SuccessLine(true) +
                                              ExcludedLines(excluded, counts.records, 0, counts.zero) +
                                              FilesCreated({kWest}) + kCRLF + kCRLF + "Excluded points logged in " +
                                              logPath + ".");
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kWest}));

  const std::string log = ReadWholeFile(logPath);
  const std::size_t firstLineEnd = log.find(kCRLF);
  ASSERT_NE(firstLineEnd, std::string::npos);
  EXPECT_TRUE(std::regex_match(log.substr(0, firstLineEnd),
                               std::regex(R"(\[Excluded Points for TESTVILLE 1:250,000 \(Conversion Beginning )"
                                          R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\)\])")))
      << log.substr(0, firstLineEnd);
  std::string expected = std::string(kCRLF) + "   Files to create and write to:" + kCRLF + "      " + kWest +
                         " (No conflicts.)" + kCRLF + testing::ExcludedLogColumnHeading();
  for (const SourceRecord& r : records) {
    const bool east = r.code != 0 && Geographic(r.zone, r.easting, r.northing).longitude > -105.0;
    if (r.code == 0 || east) expected += testing::ExcludedLogLine(r);
  }
  EXPECT_EQ(log.substr(firstLineEnd), expected);
}

// Reads a tile back and checks that each record's cell, where the tile has
// one, holds the record's code; returns how many records were found so.
int32_t RecordsHeldBy(const std::string& path, const std::vector<SourceRecord>& records) {
  LUCFileV1 tile;
  tile.SetFileName(path);
  tile.SetOpenMode(LUCFileV1::kMemoryIo);
  EXPECT_EQ(tile.LastError(), LUCFileV1::kNoError) << path;
  tile.SetCoordinateMode(LUCFileV1::kUtmCoordinates);
  int32_t held = 0;
  for (const SourceRecord& r : records) {
    const int16_t value = tile.LULCValue(r.easting, r.northing);
    if (tile.LastError() != LUCFileV1::kNoError) continue;  // no cell of the grid there
    EXPECT_EQ(value, r.code) << "record " << r.number;
    ++held;
  }
  return held;
}

TEST_F(ConversionRun, OutsidePointsGoIntoAnExistingTileOfALucDirectory) {
  WriteIni(true);
  std::string lucTile = luc.file(kEast);
  LUCFileV1 existing;
  ASSERT_EQ(existing.CreateFile(40, -104, 200, 200, lucTile, LUCFileV1::kClosed, 0), LUCFileV1::kCreated);
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  Open(source, RunOptions{.useExisting = true});
  script = [](frmConversion& c) {
    c.lstFiles_Tick(1, false);
    c.RunConversion();
    c.RunConversion();
  };
  main->cmdConvert_Click();

  EXPECT_EQ(view.rowsAtSetUp[1].text, std::string(kEast) + " (Exists in different directory.)");
  EXPECT_EQ(view.writtenElsewhere, counts.east);
  EXPECT_EQ(view.existingFilesUsed, (std::vector<std::string>{lucTile}));
  EXPECT_TRUE(view.externalFilesCreated.empty());
  EXPECT_EQ(SummaryShown(prompter.shown),
            kSummaryHead + SuccessLine(true) + ExcludedLines(counts.zero, counts.records, 0, counts.zero) +
                std::to_string(counts.east) + " (" + Percent(counts.east, counts.records) + "%) were " +
                "written to these existing files:" + kCRLF + "\t" + lucTile + kCRLF + kCRLF + FilesCreated({kWest}));
  // The tile's grid stops short of its cell's west edge, so a few points next
  // to the meridian have no cell in it.
  EXPECT_GT(RecordsHeldBy(lucTile, counts.eastRecords), counts.east * 9 / 10);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kWest}));
}

TEST_F(ConversionRun, OutsidePointsGoIntoANewTileWhichThenCountsAsExisting) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  Open(source, RunOptions{.useExisting = true, .createNew = true});
  script = [](frmConversion& c) {
    c.lstFiles_Tick(1, false);
    c.RunConversion();
    c.RunConversion();
  };
  main->cmdConvert_Click();

  const std::string made = target.file(kEast);
  EXPECT_EQ(view.writtenElsewhere, counts.east);
  // The first point creates the tile; every later one finds it in the target directory.
  EXPECT_EQ(view.externalFilesCreated, (std::vector<std::string>{made}));
  EXPECT_EQ(view.existingFilesUsed, (std::vector<std::string>{made}));
  EXPECT_EQ(SummaryShown(prompter.shown),
            kSummaryHead + SuccessLine(true) + ExcludedLines(counts.zero, counts.records, 0, counts.zero) +
                std::to_string(counts.east) + " (" + Percent(counts.east, counts.records) + "%) were " +
                "written to these existing files:" + kCRLF + "\t" + made + kCRLF + kCRLF +
                "These files were created (as external files) during " + "the conversion process:" + "\t" + made +
                kCRLF + kCRLF + FilesCreated({kWest}));
  EXPECT_GT(RecordsHeldBy(made, counts.eastRecords), counts.east * 9 / 10);
  LUCFileV1 tile;
  tile.SetFileName(made);
  tile.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(tile.Title(), Padded("TESTVILLE  (OUT OF BOUNDS) 1:250,000"));
  EXPECT_EQ(tile.DataSource(), std::string(40, '\0'));
}

TEST_F(ConversionRun, ZeroCodesAndUnreadableRecordsAreCountedAndLogged) {
  SynthOptions options = TwoTileQuadrangle();
  options.badRecords = 4;
  const std::string source = MakeSource(options);
  const std::vector<SourceRecord> records = ReadSourceRecords(source);
  const TwoTileCounts counts = CountTwoTiles(records);
  ASSERT_EQ(counts.unreadable, 4);
  // A failure inside the shared modules would show an error report here.
  SetActivePrompter(&prompter);
  Open(source, RunOptions{.logExcluded = true});
  main->cmdConvert_Click();
  SetActivePrompter(nullptr);

  const int32_t excluded = counts.zero + counts.unreadable;
  EXPECT_EQ(view.readErrors, counts.unreadable);
  EXPECT_EQ(view.zeroValues, counts.zero);
  const std::string logPath = data.file("TESTVILLE.txt");
  EXPECT_EQ(SummaryShown(prompter.shown), kSummaryHead + SuccessLine(true) +
                                              ExcludedLines(excluded, counts.records, counts.unreadable, counts.zero) +
                                              FilesCreated({kWest, kEast}) + kCRLF + kCRLF +
                                              "Excluded points logged in " + logPath + ".");
  const std::string log = ReadWholeFile(logPath);
  std::string expected = testing::ExcludedLogColumnHeading();
  for (const SourceRecord& r : records) {
    if (!r.readable || r.code == 0) expected += testing::ExcludedLogLine(r);
  }
  const std::size_t columns = log.find(expected.substr(0, 40));
  ASSERT_NE(columns, std::string::npos);
  EXPECT_EQ(log.substr(columns), expected);
  EXPECT_NE(log.find("YES\r\n--> \""), std::string::npos);
}

TEST_F(ConversionRun, RecordWithoutAPositionIsExcludedWithoutFailing) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  std::string bytes = ReadWholeFile(source);
  std::vector<SourceRecord> records = ReadSourceRecords(source);
  // A readable record in zone 0 at easting 0: no tile holds it, and no
  // position can be worked out for it.
  const auto found = std::find_if(records.begin() + 1000, records.end(), [](const SourceRecord& r) { return r.code != 0; });
  ASSERT_NE(found, records.end());
  const SourceRecord chosen = *found;
  const std::size_t at = (testing::kHeaderRecords + static_cast<std::size_t>(chosen.number) - 1) * 80;
  bytes.replace(at, 11, "  0       0");
  WriteWholeFile(source, bytes);
  records = ReadSourceRecords(source);
  const TwoTileCounts counts = CountTwoTiles(records);

  SetActivePrompter(&prompter);
  Open(source, RunOptions{.useExisting = true, .createNew = true, .logExcluded = true});
  main->cmdConvert_Click();
  SetActivePrompter(nullptr);

  EXPECT_EQ(view.excluded, counts.zero + 1);
  EXPECT_EQ(view.writtenElsewhere, 0);
  const std::string logPath = data.file("TESTVILLE.txt");
  EXPECT_EQ(SummaryShown(prompter.shown),
            kSummaryHead + SuccessLine(true) + ExcludedLines(counts.zero + 1, counts.records, 0, counts.zero) + "0" +
                " (" + "0.000" + "%) were " + "written to these existing files:" + kCRLF + "< No Files >" + kCRLF +
                kCRLF + FilesCreated({kWest, kEast}) + kCRLF + kCRLF + "Excluded points logged in " + logPath + ".");
  std::string line;
  std::string number = testing::Grouped(chosen.number);
  testing::PlaceAt(line, 3, std::string(9 - number.size(), ' ') + number);
  testing::PlaceAt(line, 27, testing::Grouped(chosen.northing));
  testing::PlaceAt(line, 76, testing::Grouped(chosen.code));
  EXPECT_NE(ReadWholeFile(logPath).find(kCRLF + line + kCRLF), std::string::npos) << line;
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kEast, kWest}));
}

// Presses the command button once, as soon as the copy has reached `record`.
std::function<void()> PressCancelAt(testing::TestHost& host, int32_t record) {
  auto pressed = std::make_shared<bool>(false);
  return [&host, record, pressed] {
    frmConversion* c = host.shown;
    if (c == nullptr || *pressed || !c->Started || c->Finished || !c->cmdCommandEnabled || c->pbValue < record) return;
    *pressed = true;
    c->RunConversion();
  };
}

TEST_F(ConversionRun, ConfirmedCancelLeavesTheTargetAsItWas) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  const std::string old = "an older tile";
  WriteWholeFile(target.file(kWest), old);
  Open(source, RunOptions{.overwrite = true, .logExcluded = true});
  pump.onProcess = PressCancelAt(host, 1000);
  prompter.replies = {Reply::Yes};
  main->cmdConvert_Click();

  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_TRUE(prompter.shown[0].question);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(prompter.shown[0].text, "Are you sure you want to cancel the conversion process?");
  EXPECT_FALSE(prompter.shown[1].question);
  EXPECT_EQ(prompter.shown[1].text,
            std::string("The conversion process is complete.") + kCRLF + kCRLF + "Success:" + "\t" + "No (Canceled)");
  EXPECT_EQ(view.progressValue, 1000);  // no record read after the confirmation
  EXPECT_LT(view.progressValue, counts.records);
  EXPECT_FALSE(view.success);
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Complete) [x]",
                                                                 std::string(kEast) + " (Complete) [x]"}));
  EXPECT_FALSE(main->ConvertSuccess);
  EXPECT_EQ(main->CurrentFile, 1);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kWest}));
  EXPECT_EQ(ReadWholeFile(target.file(kWest)), old);
  EXPECT_TRUE(TemporaryTilesLeft().empty());
}

TEST_F(ConversionRun, RefusedCancelLetsTheRunFinish) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  Open(source, RunOptions{});
  pump.onProcess = PressCancelAt(host, 1000);
  prompter.replies = {Reply::No};
  main->cmdConvert_Click();

  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text, "Are you sure you want to cancel the conversion process?");
  EXPECT_EQ(prompter.shown[1].text, kSummaryHead + SuccessLine(true) +
                                        ExcludedLines(counts.zero, counts.records, 0, counts.zero) +
                                        FilesCreated({kWest, kEast}));
  EXPECT_EQ(view.progressValue, counts.records);
  EXPECT_TRUE(main->ConvertSuccess);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kEast, kWest}));
}

TEST_F(ConversionRun, TileThatCannotBeCreatedIsDroppedAndFailsTheRun) {
  // The temporary path is taken by a directory.
  std::filesystem::create_directories(frmConversion::TemporaryPath(kWest));
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  Open(source, RunOptions{});
  main->cmdConvert_Click();

  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Could not create.) [x]",
                                                                 std::string(kEast) + " (Saved.) [x]"}));
  EXPECT_FALSE(view.success);
  EXPECT_EQ(SummaryShown(prompter.shown), kSummaryHead + SuccessLine(false) +
                                              ExcludedLines(counts.zero + counts.west, counts.records, 0, counts.zero) +
                                              FilesCreated({kEast}));
  EXPECT_FALSE(main->ConvertSuccess);
  EXPECT_EQ(main->CurrentFile, 1);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kEast}));
  EXPECT_TRUE(TemporaryTilesLeft().empty());  // the run's folder went, with the directory in it
}

TEST_F(ConversionRun, TileThatCannotBeCopiedIntoItsDirectoryShowsAnError) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  Open(source, RunOptions{});
  // The west tile's directory, typed for it alone, does not exist.
  const std::string missing = target.dir() + "missing/";
  main->cboDirectories_Change(missing);
  main->cmdNextFile_Click();
  EXPECT_EQ(main->cboDirectories.text, target.dir());
  main->cmdConvert_Click();

  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Error.) [x]",
                                                                 std::string(kEast) + " (Saved.) [x]"}));
  EXPECT_FALSE(view.success);
  // Every open tile is listed as created, even the one that did not arrive.
  EXPECT_EQ(SummaryShown(prompter.shown), kSummaryHead + SuccessLine(false) +
                                              ExcludedLines(counts.zero, counts.records, 0, counts.zero) +
                                              FilesCreated({kWest, kEast}));
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kEast}));
  EXPECT_TRUE(TemporaryTilesLeft().empty());
}

TEST_F(ConversionRun, TileThatCannotBeSavedIsNotCopied) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  Open(source, RunOptions{});
  // While the copy runs, the west tile's temporary file gives way to a directory.
  const std::filesystem::path temporary = frmConversion::TemporaryPath(kWest);
  bool replaced = false;
  pump.onProcess = [&] {
    if (replaced || host.shown == nullptr || host.shown->lblCurrentAction != "Copying data...") return;
    replaced = std::filesystem::remove(temporary) && std::filesystem::create_directory(temporary);
  };
  main->cmdConvert_Click();
  ASSERT_TRUE(replaced);
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kWest) + " (Could not save.) [x]",
                                                                 std::string(kEast) + " (Saved.) [x]"}));
  EXPECT_FALSE(view.success);
  EXPECT_EQ(FileNamesIn(target.path()), (std::vector<std::string>{kEast}));
  EXPECT_TRUE(TemporaryTilesLeft().empty());  // the empty directory went with the temporary file
}

// A quadrangle in the southern hemisphere: its tile always has the skew
// condition.
SynthOptions SouthernQuadrangle() {
  SynthOptions o;
  o.south = -34.3;
  o.west = -70.4;
  o.height = 0.2;
  o.width = 0.3;
  o.cellSize = 200;
  o.title = "SOUTHVILLE";
  o.pattern = SynthPattern::kHash;
  return o;
}

TEST_F(ConversionRun, SkewedTileIsKeptOnlyWhenTheUserAgrees) {
  constexpr const char* kSouth = "L07035SW.LUC";  // 35-34 S, 71-70 W
  const std::string source = MakeSource(SouthernQuadrangle());
  int32_t zero = 0, records = 0;
  for (const SourceRecord& r : ReadSourceRecords(source)) {
    ++records;
    zero += r.code == 0 ? 1 : 0;
  }
  const std::string question = std::string("There was an internal error while creating this ") +
                               "file.  Although there is a possibility that " +
                               "this file will be unusable, it is likely that " +
                               "the error will not cause any further problems." + kCRLF + kCRLF +
                               "Do you want to continue " + "creating this file?";

  prompter.replies = {Reply::No};
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_TRUE(prompter.shown[0].question);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Warning);
  EXPECT_EQ(prompter.shown[0].text, question);
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kSouth) + " (Internal error.) [x]"}));
  EXPECT_FALSE(view.success);
  EXPECT_EQ(prompter.shown[1].text,
            kSummaryHead + SuccessLine(false) + ExcludedLines(records, records, 0, zero) + FilesCreated({}));
  EXPECT_TRUE(FileNamesIn(target.path()).empty());
  EXPECT_TRUE(TemporaryTilesLeft().empty());

  prompter.shown.clear();
  prompter.replies = {Reply::Yes};
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  EXPECT_EQ(Rows(view.rowsAtEnd), (std::vector<std::string>{std::string(kSouth) + " (Saved.) [x]"}));
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text, question);
  EXPECT_EQ(prompter.shown[1].text,
            kSummaryHead + SuccessLine(true) + ExcludedLines(zero, records, 0, zero) + FilesCreated({kSouth}));
  LUCFileV1 tile;
  tile.SetFileName(target.file(kSouth));
  tile.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(tile.DataSource(), Padded("Quillmarsh LLC, Tamber ID*"));
  EXPECT_EQ(tile.Title(), Padded("SOUTHVILLE"));
}

TEST_F(ConversionRun, NothingTickedStartsOnlyWithTheExistingFilesOption) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const TwoTileCounts counts = CountTwoTiles(ReadSourceRecords(source));
  bool startedAfterBegin = true;
  script = [&](frmConversion& c) {
    c.lstFiles_Tick(0, false);
    c.lstFiles_Tick(1, false);
    c.RunConversion();
    startedAfterBegin = c.Started;
    c.cmdCancel_Click();
  };
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  EXPECT_FALSE(startedAfterBegin);
  EXPECT_TRUE(view.closed);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(prompter.shown[0].text, std::string("You must select at least one of the files above to convert data ") +
                                        "to.  If you do not want to create any of the above files, then " +
                                        "press the 'Cancel' button below.");
  EXPECT_FALSE(main->ConvertSuccess);

  // Allowed to write into existing files, the run goes on with no tile of
  // its own; nothing exists, so every point is excluded.
  prompter.shown.clear();
  script = [](frmConversion& c) {
    c.lstFiles_Tick(0, false);
    c.lstFiles_Tick(1, false);
    c.RunConversion();
    c.RunConversion();
  };
  Open(source, RunOptions{.useExisting = true});
  main->cmdConvert_Click();
  EXPECT_EQ(SummaryShown(prompter.shown),
            kSummaryHead + SuccessLine(true) + ExcludedLines(counts.records, counts.records, 0, counts.zero) + "0" +
                " (" + "0.000" + "%) were " + "written to these existing files:" + kCRLF + "< No Files >" + kCRLF +
                kCRLF + FilesCreated({}));
  EXPECT_TRUE(FileNamesIn(target.path()).empty());
}

}  // namespace
}  // namespace tilbo
