// Whole interactive conversions through the main window and the conversion
// window: conflict statuses and ticks, the tiles left in the target directory
// and their modes, the row texts, the messages and questions, the points
// logged and the counts behind the summary.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <set>

#include "ConversionHarness.h"
#include "conversion/ConversionTexts.h"
#include "luc/LUCFileV1.h"

namespace tilbo {
namespace {

using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ConversionTest;
using testing::FileNamesIn;
using testing::Geographic;
using testing::ReadSourceRecords;
using testing::ReadWholeFile;
using testing::RunOptions;
using testing::SourceRecord;
using testing::WriteWholeFile;

const std::string kWest = "L10540NW.LUC";  // 40-41 N, 106-105 W
const std::string kEast = "L10440NW.LUC";  // 40-41 N, 105-104 W
constexpr const char* kTitle = "TESTVILLE 1:250,000";

std::string Padded(const std::string& text) { return text + std::string(40 - text.size(), ' '); }

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void EmptyDirectory(const std::filesystem::path& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir)) std::filesystem::remove_all(entry.path());
}

// A quadrangle across the meridian 105 W, so that its points go into two
// tiles side by side, both in zone 13.
SynthOptions TwoTileQuadrangle(const std::string& title = kTitle) {
  return {.south = 40.1, .west = -105.15, .height = 0.2, .width = 0.3, .cellSize = 200, .title = title,
          .dataDate = "", .pattern = SynthPattern::kHash};
}

// A source's records and where each belongs, by record number: west and east
// of the meridian 105 W.
struct Source {
  std::vector<SourceRecord> records;
  std::vector<int32_t> zero, unreadable, zoneless, west, east;  // zoneless: readable, without a zone

  explicit Source(const std::string& path) : records(ReadSourceRecords(path)) {
    for (const SourceRecord& r : records) {
      auto& to = !r.readable                                                     ? unreadable
                 : r.code == 0                                                   ? zero
                 : r.zone == 0                                                   ? zoneless
                 : Geographic(r.zone, r.easting, r.northing).longitude <= -105.0 ? west
                                                                                 : east;
      to.push_back(r.number);
    }
  }
  int32_t N() const { return static_cast<int32_t>(records.size()); }
  // The summary of a run that excluded `excluded` points and opened `created`.
  RunSummary Summary(bool success, std::size_t excluded, std::vector<std::string> created) const {
    RunSummary s;
    s.success = success;
    s.recordCount = N();
    s.excluded = static_cast<int32_t>(excluded);
    s.readErrors = static_cast<int32_t>(unreadable.size());
    s.zeroValues = static_cast<int32_t>(zero.size());
    s.createdTiles = std::move(created);
    return s;
  }
};

LUCFileV1 OpenedTile(const std::string& path) {
  LUCFileV1 tile;
  tile.SetFileName(path);
  tile.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(tile.LastError(), LUCFileV1::kNoError) << path;
  return tile;
}

std::vector<int32_t> Joined(const std::vector<std::vector<int32_t>>& lists) {
  std::vector<int32_t> all;
  for (const auto& l : lists) all.insert(all.end(), l.begin(), l.end());
  std::sort(all.begin(), all.end());
  return all;
}

// Reads a tile back and checks that each record's cell, where the tile has
// one, holds the record's code; returns how many records were found so.
std::size_t RecordsHeldBy(const std::string& path, const Source& t, const std::vector<int32_t>& numbers) {
  LUCFileV1 tile = OpenedTile(path);
  tile.SetCoordinateMode(LUCFileV1::kUtmCoordinates);
  std::size_t held = 0;
  for (const int32_t number : numbers) {
    const SourceRecord& r = t.records[static_cast<std::size_t>(number) - 1];
    const int16_t value = tile.LULCValue(r.easting, r.northing);
    if (tile.LastError() != LUCFileV1::kNoError) continue;  // no cell of the grid there
    EXPECT_EQ(value, r.code) << "record " << r.number;
    ++held;
  }
  return held;
}

const auto kUntickEastAndRun = [](frmConversion& c) {
  c.lstFiles_Tick(1, false);
  c.RunConversion();
  c.RunConversion();
};

// New files get 0666 less the umask; the runs here use 022.
class ConversionRun : public ConversionTest {
 protected:
  void SetUp() override {
    ConversionTest::SetUp();
    umask_ = ::umask(022);
  }
  void TearDown() override {
    ::umask(umask_);
    SetActivePrompter(nullptr);
    ConversionTest::TearDown();
  }

  static std::vector<std::string> Rows(const std::vector<FileListRow>& rows) {
    std::vector<std::string> texts;
    for (const auto& r : rows) texts.push_back(r.text + (r.ticked ? " [x]" : " [ ]"));
    return texts;
  }
  // The single message box of a run: the summary, without an icon.
  std::string SummaryShown() const {
    EXPECT_EQ(prompter.shown.size(), 1u) << (prompter.shown.empty() ? "" : prompter.shown.front().text);
    if (prompter.shown.empty()) return "";
    EXPECT_FALSE(prompter.shown.back().question);
    EXPECT_EQ(prompter.shown.back().icon, MessageIcon::None);
    EXPECT_EQ(prompter.shown.back().title, "CTG Tilbo");
    return prompter.shown.back().text;
  }

 private:
  mode_t umask_ = 0;
};

TEST_F(ConversionRun, EveryTileTickedIsCreatedFilledSavedAndReported) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const Source t(source);
  ASSERT_FALSE(t.west.empty() || t.east.empty() || t.zero.empty());
  Open(source, RunOptions{});

  // Which tile receives points, as the rows show it while the copy runs.
  std::set<std::vector<std::string>> rowStates;
  pump.onProcess = [&] {
    if (host.shown != nullptr && host.shown->lblCurrentAction == "Copying data...") {
      rowStates.insert({host.shown->lstFiles[0].text, host.shown->lstFiles[1].text});
    }
  };
  main->cmdConvert_Click();

  EXPECT_THAT(Rows(view.rowsAtSetUp), ElementsAre(kWest + " (No conflicts.) [x]", kEast + " (No conflicts.) [x]"));
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + " (Saved.) [x]", kEast + " (Saved.) [x]"));
  EXPECT_TRUE(rowStates.count({kWest + " (Writing data.)", kEast + " (File created.)"}));
  EXPECT_TRUE(rowStates.count({kWest + " (File created.)", kEast + " (Writing data.)"}));
  EXPECT_TRUE(view.success && view.closed);
  EXPECT_EQ(view.caption, "&Close Window");
  EXPECT_EQ(view.progressMax, t.N());
  EXPECT_EQ(view.progressValue, t.N());
  EXPECT_EQ(SummaryShown(), SummaryText(t.Summary(true, t.zero.size(), {kWest, kEast})));

  // Success: the main window lets the file go and returns to its no-file state.
  EXPECT_TRUE(main->ConvertSuccess);
  EXPECT_EQ(main->CurrentFile, 0);

  EXPECT_THAT(FileNamesIn(target.path()), ElementsAre(kEast, kWest));
  EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());
  for (const auto& [name, title] : {std::pair{kWest, "TESTVILLE  (WEST) 1:250,000"},
                                    std::pair{kEast, "TESTVILLE  (EAST) 1:250,000"}}) {
    SCOPED_TRACE(name);
    LUCFileV1 tile = OpenedTile(target.file(name));
    EXPECT_EQ(tile.Title(), Padded(title));
    EXPECT_EQ(tile.DataSource(), Padded("Quillmarsh LLC, Tamber ID"));
    EXPECT_EQ(ModeOf(target.file(name)), 0644u);
  }
}

TEST_F(ConversionRun, ExistingTileInTheTargetIsKeptUnlessTicked) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const Source t(source);
  const std::string old = "an older tile, which the run must not touch";
  WriteWholeFile(target.file(kWest), old);
  ASSERT_EQ(::chmod(target.file(kWest).c_str(), 0640), 0);

  // Without Overwrite the existing tile is left unticked: its points go nowhere.
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  EXPECT_THAT(Rows(view.rowsAtSetUp),
              ElementsAre(kWest + " (Exists in directory.) [ ]", kEast + " (No conflicts.) [x]"));
  EXPECT_THAT(view.conflictPaths, ElementsAre(target.file(kWest), ""));
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + " (Exists in directory.) [ ]", kEast + " (Saved.) [x]"));
  EXPECT_EQ(ReadWholeFile(target.file(kWest)), old);
  EXPECT_EQ(SummaryShown(), SummaryText(t.Summary(true, t.zero.size() + t.west.size(), {kEast})));

  // With Overwrite it is ticked from the start (the window is closed unused here).
  prompter.shown.clear();
  script = [](frmConversion& c) { c.cmdCancel_Click(); };
  Open(source, RunOptions{.overwrite = true});
  main->cmdConvert_Click();
  EXPECT_THAT(Rows(view.rowsAtSetUp),
              ElementsAre(kWest + " (Exists in directory.) [x]", kEast + " (Exists in directory.) [x]"));
  EXPECT_TRUE(view.closed);
  EXPECT_FALSE(view.started);
  EXPECT_FALSE(main->ConvertSuccess);
  EXPECT_EQ(main->CurrentFile, 1);  // the file stays loaded
  EXPECT_THAT(prompter.shown, IsEmpty());
  EXPECT_EQ(ReadWholeFile(target.file(kWest)), old);

  // Ticked by the user, the run replaces it, keeping its mode.
  script = [](frmConversion& c) {
    c.lstFiles_Tick(0, true);
    c.RunConversion();
    c.RunConversion();
  };
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  // The east tile, made by the first run, is now the one left alone.
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + " (Saved.) [x]", kEast + " (Exists in directory.) [ ]"));
  EXPECT_EQ(ReadWholeFile(target.file(kWest)).substr(0, 10), "QMLULC 1.0");
  EXPECT_EQ(ModeOf(target.file(kWest)), 0640u);
  EXPECT_EQ(SummaryShown(), SummaryText(t.Summary(true, t.zero.size() + t.east.size(), {kWest})));
  EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());
}

TEST_F(ConversionRun, TileInALucDirectoryIsReportedOnDoubleClickAndStillCreated) {
  WriteIni(true);
  std::string lucTile = luc.file(kEast);
  LUCFileV1 existing;
  ASSERT_EQ(existing.CreateFile(40, -104, 1000, 1000, lucTile, LUCFileV1::kClosed, 0), LUCFileV1::kCreated);
  std::tm stamp{};
  ASSERT_NE(::strptime("2020-01-02 03:04:05", "%Y-%m-%d %H:%M:%S", &stamp), nullptr);
  stamp.tm_isdst = -1;
  const std::time_t when = std::mktime(&stamp);
  const struct utimbuf times {when, when};
  ASSERT_EQ(::utime(lucTile.c_str(), &times), 0);
  const std::string lucBytes = ReadWholeFile(lucTile);

  SynthOptions options = TwoTileQuadrangle();
  options.dataDate = "19900501";
  const std::string source = MakeSource(options);
  Open(source, RunOptions{});
  EXPECT_THAT(main->cboDirectories.items, ElementsAre(luc.dir()));

  // A double click shows what the row conflicts with, and toggles its tick.
  script = [&](frmConversion& c) {
    c.lstFiles_DblClick(1);
    c.lstFiles_DblClick(1);
    c.lstFiles_DblClick(0);
    c.RunConversion();
    c.RunConversion();
  };
  main->cmdConvert_Click();

  EXPECT_THAT(Rows(view.rowsAtSetUp),
              ElementsAre(kWest + " (No conflicts.) [x]", kEast + " (Exists in different directory.) [x]"));
  EXPECT_THAT(view.conflictPaths, ElementsAre("", lucTile));
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + " (No conflicts.) [ ]", kEast + " (Saved.) [x]"));

  const std::string conflict = "This file, " + target.dir() + kEast +
                               ", conflicts with an existing file.  Relevant information about both files is "
                               "displayed below.\r\n\r\nNew file:\r\n\tApx. size:\t\t" +
                               std::to_string(grid.rows * grid.columns) +
                               " bytes\r\n\tData date:\t19900501\r\n\r\nOld file:\r\n\tName:\t" + lucTile +
                               "\r\n\tSize:\t" + std::to_string(lucBytes.size()) +
                               " bytes\r\n\tDate:\t2020-01-02 03:04:05";
  ASSERT_EQ(prompter.shown.size(), 4u);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_FALSE(prompter.shown[k].question);
    EXPECT_EQ(prompter.shown[k].icon, MessageIcon::Information);
    EXPECT_EQ(prompter.shown[k].text, k < 2 ? conflict : "This file does not conflict with any other files.");
  }
  EXPECT_EQ(ReadWholeFile(lucTile), lucBytes);
  EXPECT_THAT(FileNamesIn(target.path()), ElementsAre(kEast));
}

// The east tile unticked: its points lie outside the run. Besides them, the
// source has zero codes, unreadable records and one record without a zone,
// which no tile of any kind takes; every excluded point is logged.
TEST_F(ConversionRun, OutsidePointsUnderTheExistingFilesOptions) {
  const struct Case {
    RunOptions options;
    bool lucTile;              // the east tile exists in a LUC directory
    const char* title;         // of the source
    const char* log;           // the excluded-points log's name
    const char* outsideTitle;  // of the tile made for the outside points; none without
  } cases[] = {
      // Creating new files alone does nothing: it works only with existing files.
      {{.createNew = true, .logExcluded = true}, false, kTitle, "TESTVILLE.txt", nullptr},
      {{.useExisting = true, .logExcluded = true}, true, kTitle, "TESTVILLE.txt", nullptr},
      {{.useExisting = true, .createNew = true, .logExcluded = true}, false, kTitle, "TESTVILLE.txt",
       "TESTVILLE  (OUT OF BOUNDS) 1:250,000"},
      {{.useExisting = true, .createNew = true, .logExcluded = true}, false, "NORTH TESTVILLE COUNTY LINE",
       "NORTH TESTVILLE COUNTY LINE.txt", "NORTH TESTVILLE COUNTY  (OUT OF BOUNDS)"},
  };
  // A failure inside the shared modules would show an error report.
  SetActivePrompter(&prompter);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outsideTitle ? c.outsideTitle : c.lucTile ? "LUC directory" : "no existing files");
    for (const auto* dir : {&data, &target, &luc}) EmptyDirectory(dir->path());
    prompter.shown.clear();
    WriteIni(c.lucTile);
    std::string lucTile = luc.file(kEast);
    const std::string made = target.file(kEast);
    if (c.lucTile) {
      LUCFileV1 existing;
      ASSERT_EQ(existing.CreateFile(40, -104, 200, 200, lucTile, LUCFileV1::kClosed, 0), LUCFileV1::kCreated);
    }
    SynthOptions options = TwoTileQuadrangle(c.title);
    options.badRecords = 4;
    const std::string source = MakeSource(options);
    std::string bytes = ReadWholeFile(source);
    bytes.replace((testing::kHeaderRecords + 1999) * testing::kCardLength, 11, "  0       0");  // record 2000
    WriteWholeFile(source, bytes);
    const Source t(source);
    ASSERT_EQ(t.unreadable.size(), 4u);
    ASSERT_THAT(t.zoneless, ElementsAre(2000));

    script = kUntickEastAndRun;
    Open(source, c.options);
    main->cmdConvert_Click();

    const bool outside = c.options.useExisting;
    const std::vector<int32_t> excluded =
        Joined({t.zero, t.unreadable, t.zoneless, outside ? std::vector<int32_t>{} : t.east});
    RunSummary want = t.Summary(true, excluded.size(), {kWest});
    want.writtenElsewhere = outside ? static_cast<int32_t>(t.east.size()) : 0;
    want.useExisting = c.options.useExisting;
    want.createNew = c.options.createNew;
    if (c.lucTile) want.existingFilesUsed = {lucTile};
    // The first point creates the tile; every later one finds it in the target directory.
    if (c.outsideTitle) want.existingFilesUsed = want.externalFilesCreated = {made};
    want.excludedLogPath = data.file(c.log);
    EXPECT_EQ(SummaryShown(), SummaryText(want));
    EXPECT_EQ(FileNamesIn(target.path()), (c.outsideTitle ? std::vector{kEast, kWest} : std::vector{kWest}));

    const std::string log = ReadWholeFile(want.excludedLogPath);
    EXPECT_THAT(log, ContainsRegex("^\\[Excluded Points for " + std::string(c.title) +
                                   " \\(Conversion Beginning [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"
                                   "\\)\\]\r\n   Files to create and write to:\r\n      L10540NW.LUC \\(No "
                                   "conflicts.\\)\r\n\r\n"));
    EXPECT_EQ(testing::CheckLoggedPoints(log, t.records), excluded);

    if (!outside) continue;
    // The tile's grid stops short of its cell's west edge, so a few points
    // next to the meridian have no cell in it.
    EXPECT_GT(RecordsHeldBy(c.lucTile ? lucTile : made, t, t.east), t.east.size() * 9 / 10);
    if (c.outsideTitle) {
      LUCFileV1 tile = OpenedTile(made);
      EXPECT_EQ(tile.Title(), Padded(c.outsideTitle));
      EXPECT_EQ(tile.DataSource(), std::string(40, '\0'));
    }
  }
}

TEST_F(ConversionRun, CancelConfirmedStopsAtOnceRefusedLetsTheRunFinish) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const Source t(source);
  const std::string old = "an older tile";
  for (const bool confirmed : {true, false}) {
    SCOPED_TRACE(confirmed ? "confirmed" : "refused");
    EmptyDirectory(target.path());
    WriteWholeFile(target.file(kWest), old);
    prompter.shown.clear();
    Open(source, RunOptions{.overwrite = true});
    // The command button is pressed once, as soon as the copy has reached record 1000.
    pump.onProcess = [this, pressed = false]() mutable {
      frmConversion* c = host.shown;
      if (c == nullptr || pressed || !c->Started || c->Finished || !c->cmdCommandEnabled || c->pbValue < 1000) return;
      pressed = true;
      c->RunConversion();
    };
    prompter.replies = {confirmed ? Reply::Yes : Reply::No};
    main->cmdConvert_Click();

    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_TRUE(prompter.shown[0].question);
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(prompter.shown[0].text, "Are you sure you want to cancel the conversion process?");
    EXPECT_EQ(prompter.shown[1].text, confirmed ? "The conversion process is complete.\r\n\r\nSuccess:\tNo (Canceled)"
                                                : SummaryText(t.Summary(true, t.zero.size(), {kWest, kEast})));
    // No record is read after the confirmation.
    EXPECT_EQ(view.progressValue, confirmed ? 1000 : t.N());
    EXPECT_EQ(view.success, !confirmed);
    const std::string status = confirmed ? " (Complete) [x]" : " (Saved.) [x]";
    EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + status, kEast + status));
    EXPECT_EQ(main->ConvertSuccess, !confirmed);
    EXPECT_EQ(main->CurrentFile, confirmed ? 1 : 0);
    EXPECT_EQ(FileNamesIn(target.path()), (confirmed ? std::vector{kWest} : std::vector{kEast, kWest}));
    EXPECT_EQ(ReadWholeFile(target.file(kWest)).substr(0, 10), confirmed ? old.substr(0, 10) : "QMLULC 1.0");
    EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());
  }
}

TEST_F(ConversionRun, TileThatCannotBeCreatedSavedOrCopiedFailsTheRunAndIsNotPlaced) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const Source t(source);
  const std::filesystem::path temporary = frmConversion::TemporaryPath(kWest);
  bool replaced = false;
  const struct Case {
    const char* status;
    bool opened;  // the west tile was made and filled, so listed as created
    std::function<void()> arrange;
  } cases[] = {
      // The temporary path is taken by a directory.
      {" (Could not create.)", false, [&] { std::filesystem::create_directories(temporary); }},
      // While the copy runs, the temporary file gives way to a directory.
      {" (Could not save.)", true,
       [&] {
         pump.onProcess = [&] {
           if (replaced || host.shown == nullptr || host.shown->lblCurrentAction != "Copying data...") return;
           replaced = std::filesystem::remove(temporary) && std::filesystem::create_directory(temporary);
         };
       }},
      // The west tile's directory, typed for it alone, does not exist.
      {" (Error.)", true,
       [&] {
         main->cboDirectories_Change(target.dir() + "missing/");
         main->cmdNextFile_Click();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    EmptyDirectory(target.path());
    prompter.shown.clear();
    pump.onProcess = nullptr;
    Open(source, RunOptions{});
    c.arrange();
    main->cmdConvert_Click();

    EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + c.status + " [x]", kEast + " (Saved.) [x]"));
    EXPECT_EQ(SummaryShown(), SummaryText(c.opened ? t.Summary(false, t.zero.size(), {kWest, kEast})
                                                   : t.Summary(false, t.zero.size() + t.west.size(), {kEast})));
    EXPECT_FALSE(main->ConvertSuccess);
    EXPECT_NE(main->CurrentFile, 0);  // the file stays loaded
    EXPECT_THAT(FileNamesIn(target.path()), ElementsAre(kEast));
    EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());  // the run's folder went, with any directory in it
  }
  EXPECT_TRUE(replaced);
}

TEST_F(ConversionRun, SkewedTileIsKeptOnlyWhenTheUserAgrees) {
  // In the southern hemisphere the tile always has the skew condition.
  const std::string kSouth = "L07035SW.LUC";  // 35-34 S, 71-70 W
  SynthOptions o = TwoTileQuadrangle("SOUTHVILLE");
  o.south = -34.3;
  o.west = -70.4;
  const std::string source = MakeSource(o);
  const Source t(source);
  for (const bool agreed : {false, true}) {
    SCOPED_TRACE(agreed ? "agreed" : "refused");
    prompter.shown.clear();
    prompter.replies = {agreed ? Reply::Yes : Reply::No};
    Open(source, RunOptions{});
    main->cmdConvert_Click();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_TRUE(prompter.shown[0].question);
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(prompter.shown[0].text,
              "There was an internal error while creating this file.  Although there is a possibility that this "
              "file will be unusable, it is likely that the error will not cause any further problems.\r\n\r\n"
              "Do you want to continue creating this file?");
    EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kSouth + (agreed ? " (Saved.) [x]" : " (Internal error.) [x]")));
    const std::vector<std::string> created = agreed ? std::vector{kSouth} : std::vector<std::string>{};
    EXPECT_EQ(prompter.shown[1].text,
              SummaryText(t.Summary(agreed, agreed ? t.zero.size() : t.records.size(), created)));
    EXPECT_EQ(FileNamesIn(target.path()), created);
    EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());
  }
  LUCFileV1 tile = OpenedTile(target.file(kSouth));
  EXPECT_EQ(tile.DataSource(), Padded("Quillmarsh LLC, Tamber ID*"));
  EXPECT_EQ(tile.Title(), Padded("SOUTHVILLE"));
}

TEST_F(ConversionRun, NothingTickedStartsOnlyWithTheExistingFilesOption) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const Source t(source);
  script = [&](frmConversion& c) {
    c.lstFiles_Tick(0, false);
    c.lstFiles_Tick(1, false);
    c.RunConversion();
    c.cmdCancel_Click();
  };
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  EXPECT_FALSE(view.started);
  EXPECT_TRUE(view.closed);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(prompter.shown[0].text,
            "You must select at least one of the files above to convert data to.  If you do not want to create any "
            "of the above files, then press the 'Cancel' button below.");
  EXPECT_FALSE(main->ConvertSuccess);

  // Allowed to write into existing files, the run goes on with no tile of
  // its own; nothing exists, so every point is excluded.
  prompter.shown.clear();
  script = [](frmConversion& c) {
    c.lstFiles_Tick(0, false);
    kUntickEastAndRun(c);
  };
  Open(source, RunOptions{.useExisting = true});
  main->cmdConvert_Click();
  RunSummary want = t.Summary(true, t.records.size(), {});
  want.useExisting = true;
  EXPECT_EQ(SummaryShown(), SummaryText(want));
  EXPECT_THAT(FileNamesIn(target.path()), IsEmpty());
}

}  // namespace
}  // namespace tilbo
