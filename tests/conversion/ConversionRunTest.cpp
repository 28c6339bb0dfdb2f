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
using testing::ConversionTest;
using ::testing::ElementsAre;
using testing::FileNamesIn;
using testing::Geographic;
using ::testing::IsEmpty;
using testing::ReadSourceRecords;
using testing::ReadWholeFile;
using testing::RunOptions;
using testing::SourceRecord;
using testing::WriteWholeFile;

const std::string kWest = "L10540NW.LUC";  // 40-41 N, 106-105 W
const std::string kEast = "L10440NW.LUC";  // 40-41 N, 105-104 W
constexpr const char* kTitle = "TESTVILLE 1:250,000";
constexpr const char* kNoConflict = "This file does not conflict with any other files.";

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
  return {.south = 40.1, .west = -105.15, .height = 0.2, .width = 0.3, .title = title, .dataDate = "19900501",
          .pattern = SynthPattern::kHash};
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
  // The summary of a run that excluded `excluded` points and opened `created`.
  RunSummary Summary(bool success, std::size_t excluded, std::vector<std::string> created) const {
    return {.success = success, .recordCount = static_cast<int32_t>(records.size()),
            .excluded = static_cast<int32_t>(excluded), .readErrors = static_cast<int32_t>(unreadable.size()),
            .zeroValues = static_cast<int32_t>(zero.size()), .existingFilesUsed = {}, .externalFilesCreated = {},
            .createdTiles = std::move(created), .excludedLogPath = ""};
  }
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
    EXPECT_EQ(prompter.shown.back().icon, MessageIcon::None);
    return prompter.shown.back().text;
  }

 private:
  mode_t umask_ = 0;
};

// Runs into one target directory: two new tiles (a cancel refused on the
// way), none while nothing is ticked, the west one replaced by the user's
// tick, both left as they were by a confirmed cancel.
TEST_F(ConversionRun, NewTilesThenAReplacedOneThenACancelledRun) {
  const std::string source = MakeSource(TwoTileQuadrangle());
  const Source t(source);
  ASSERT_FALSE(t.west.empty() || t.east.empty() || t.zero.empty());
  const std::string cancelQuestion = "Are you sure you want to cancel the conversion process?";
  const auto beginAndClose = script;

  // The command button is pressed once, as soon as the copy has reached
  // record 1000; the rows are recorded while the copy runs.
  bool pressed = false;
  std::set<std::vector<std::string>> rowStates;
  pump.onProcess = [&] {
    frmConversion* c = host.shown;
    if (c == nullptr || !c->Started || c->Finished) return;
    if (c->lblCurrentAction == "Copying data...") rowStates.insert({c->lstFiles[0].text, c->lstFiles[1].text});
    if (pressed || !c->cmdCommandEnabled || c->pbValue < 1000) return;
    pressed = true;
    c->RunConversion();
  };
  // A double click tells what a row conflicts with and toggles its tick.
  bool untickedByDoubleClick = false;
  script = [&](frmConversion& c) {
    c.lstFiles_DblClick(0);
    untickedByDoubleClick = !c.lstFiles[0].ticked;
    c.lstFiles_DblClick(0);
    c.RunConversion();
    c.RunConversion();
  };
  prompter.replies = {Reply::No};
  Open(source, RunOptions{});
  main->cmdConvert_Click();

  EXPECT_THAT(Rows(view.rowsAtSetUp), ElementsAre(kWest + " (No conflicts.) [x]", kEast + " (No conflicts.) [x]"));
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + " (Saved.) [x]", kEast + " (Saved.) [x]"));
  EXPECT_TRUE(rowStates.count({kWest + " (Writing data.)", kEast + " (File created.)"}));
  EXPECT_TRUE(rowStates.count({kWest + " (File created.)", kEast + " (Writing data.)"}));
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Information);
  EXPECT_TRUE(untickedByDoubleClick);
  EXPECT_THAT(prompter.Texts(), ElementsAre(kNoConflict, kNoConflict, cancelQuestion,
                                            SummaryText(t.Summary(true, t.zero.size(), {kWest, kEast}))));
  EXPECT_THAT(FileNamesIn(target.path()), ElementsAre(kEast, kWest));
  EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());
  for (const auto& [name, title] :
       {std::pair{kWest, "TESTVILLE  (WEST) 1:250,000"}, std::pair{kEast, "TESTVILLE  (EAST) 1:250,000"}}) {
    SCOPED_TRACE(name);
    // The data source at byte 10 and the title at byte 50, 40 characters each.
    EXPECT_EQ(ReadWholeFile(target.file(name)).substr(10, 80), Padded("Quillmarsh LLC, Tamber ID") + Padded(title));
    EXPECT_EQ(ModeOf(target.file(name)), 0644u);
  }

  // Without Overwrite both tiles are left unticked and Begin asks for a tick;
  // ticked by a double click, the west tile is replaced, keeping its mode.
  // The east one's points go nowhere.
  const std::string old = "an older tile";
  WriteWholeFile(target.file(kWest), old);
  ASSERT_EQ(::chmod(target.file(kWest).c_str(), 0640), 0);
  std::tm stamp{};  // the old tile's modification time, local
  ASSERT_NE(::strptime("2020-01-02 03:04:05", "%Y-%m-%d %H:%M:%S", &stamp), nullptr);
  stamp.tm_isdst = -1;
  const struct utimbuf times {std::mktime(&stamp), std::mktime(&stamp)};
  ASSERT_EQ(::utime(target.file(kWest).c_str(), &times), 0);
  prompter.shown.clear();
  script = [](frmConversion& c) {
    c.RunConversion();
    c.lstFiles_DblClick(0);
    c.RunConversion();
    c.RunConversion();
  };
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  EXPECT_THAT(Rows(view.rowsAtSetUp),
              ElementsAre(kWest + " (Exists in directory.) [ ]", kEast + " (Exists in directory.) [ ]"));
  EXPECT_THAT(view.conflictPaths, ElementsAre(target.file(kWest), target.file(kEast)));
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + " (Saved.) [x]", kEast + " (Exists in directory.) [ ]"));
  EXPECT_EQ(ReadWholeFile(target.file(kWest)).substr(0, 10), "QMLULC 1.0");
  EXPECT_EQ(ModeOf(target.file(kWest)), 0640u);
  EXPECT_THAT(prompter.Texts(),
              ElementsAre("You must select at least one of the files above to convert data to.  If you do not want to "
                          "create any of the above files, then press the 'Cancel' button below.",
                          "This file, " + target.file(kWest) +
                              ", conflicts with an existing file.  Relevant information about both files is "
                              "displayed below.\r\n\r\nNew file:\r\n\tApx. size:\t\t" +
                              std::to_string(grid.rows * grid.columns) +
                              " bytes\r\n\tData date:\t19900501\r\n\r\nOld file:\r\n\tName:\t" + target.file(kWest) +
                              "\r\n\tSize:\t13 bytes\r\n\tDate:\t2020-01-02 03:04:05",
                          SummaryText(t.Summary(true, t.zero.size() + t.east.size(), {kWest}))));

  // With Overwrite both are ticked; a confirmed cancel stops the copy at once
  // and leaves them as they were.
  WriteWholeFile(target.file(kWest), old);
  prompter.shown.clear();
  prompter.replies = {Reply::Yes};
  pressed = false;
  script = beginAndClose;
  Open(source, RunOptions{.overwrite = true});
  main->cmdConvert_Click();
  EXPECT_THAT(Rows(view.rowsAtSetUp),
              ElementsAre(kWest + " (Exists in directory.) [x]", kEast + " (Exists in directory.) [x]"));
  EXPECT_THAT(prompter.Texts(),
              ElementsAre(cancelQuestion, "The conversion process is complete.\r\n\r\nSuccess:\tNo (Canceled)"));
  EXPECT_EQ(view.progressValue, 1000);  // no record is read after the confirmation
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre(kWest + " (Complete) [x]", kEast + " (Complete) [x]"));
  EXPECT_FALSE(main->ConvertSuccess);
  EXPECT_EQ(main->CurrentFile, 1);
  EXPECT_EQ(ReadWholeFile(target.file(kWest)), old);
  EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());
}

// The east tile unticked: its points lie outside the run. Besides them, the
// source has zero codes, unreadable records and one record without a zone,
// which no tile of any kind takes; every excluded point is logged.
TEST_F(ConversionRun, OutsidePointsUnderTheExistingFilesOptions) {
  const struct Case {
    RunOptions options;
    bool lucTile;              // the east tile exists in a LUC directory
    bool west;                 // the west tile ticked
    const char* title;         // of the source
    const char* log;           // the excluded-points log's name
    const char* outsideTitle;  // of the tile made for the outside points; none without
  } cases[] = {
      // Creating new files alone does nothing: it works only with existing files.
      {{.createNew = true, .logExcluded = true}, false, true, kTitle, "TESTVILLE.txt", nullptr},
      // Allowed to write into existing files, a run goes on with no tile of its own.
      {{.useExisting = true, .logExcluded = true}, true, false, kTitle, "TESTVILLE.txt", nullptr},
      {{.useExisting = true, .createNew = true, .logExcluded = true}, false, true, kTitle, "TESTVILLE.txt",
       "TESTVILLE  (OUT OF BOUNDS) 1:250,000"},
      {{.useExisting = true, .createNew = true, .logExcluded = true}, false, true, "NORTH TESTVILLE COUNTY LINE",
       "NORTH TESTVILLE COUNTY LINE.txt", "NORTH TESTVILLE COUNTY  (OUT OF BOUNDS)"},
  };
  // A failure inside the shared modules would show an error report.
  SetActivePrompter(&prompter);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outsideTitle ? c.outsideTitle : c.lucTile ? "LUC directory" : "no existing files");
    for (const auto* dir : {&data, &target, &luc}) EmptyDirectory(dir->path());
    prompter.shown.clear();
    WriteIni(c.lucTile);
    std::string lucTile = luc.file(kEast);  // CreateFile takes the path to adjust
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

    script = [&c](frmConversion& f) {
      f.lstFiles_Tick(0, c.west);
      f.lstFiles_Tick(1, false);
      f.RunConversion();
      f.RunConversion();
    };
    Open(source, c.options);
    main->cmdConvert_Click();

    EXPECT_EQ(Rows(view.rowsAtSetUp)[1],
              kEast + (c.lucTile ? " (Exists in different directory.) [x]" : " (No conflicts.) [x]"));
    EXPECT_THAT(view.conflictPaths, ElementsAre("", c.lucTile ? lucTile : ""));
    const bool outside = c.options.useExisting;
    std::vector<int32_t> excluded = t.zero;
    for (const auto* more : {&t.unreadable, &t.zoneless, outside ? nullptr : &t.east, c.west ? nullptr : &t.west}) {
      if (more) excluded.insert(excluded.end(), more->begin(), more->end());
    }
    std::sort(excluded.begin(), excluded.end());
    const std::vector<std::string> west = c.west ? std::vector{kWest} : std::vector<std::string>{};
    RunSummary want = t.Summary(true, excluded.size(), west);
    want.writtenElsewhere = outside ? static_cast<int32_t>(t.east.size()) : 0;
    want.useExisting = c.options.useExisting;
    want.createNew = c.options.createNew;
    if (c.lucTile) want.existingFilesUsed = {lucTile};
    // The first point creates the tile; every later one finds it in the target directory.
    if (c.outsideTitle) want.existingFilesUsed = want.externalFilesCreated = {made};
    want.excludedLogPath = data.file(c.log);
    EXPECT_EQ(SummaryShown(), SummaryText(want));
    EXPECT_EQ(FileNamesIn(target.path()), (c.outsideTitle ? std::vector{kEast, kWest} : west));

    const std::string log = ReadWholeFile(want.excludedLogPath);
    EXPECT_THAT(log, ContainsRegex("^\\[Excluded Points for " + std::string(c.title) +
                                   " \\(Conversion Beginning [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"
                                   "\\)\\]\r\n   Files to create and write to:\r\n" +
                                   (c.west ? "      L10540NW.LUC \\(No conflicts.\\)\r\n" : "") + "\r\n"));
    EXPECT_EQ(testing::CheckLoggedPoints(log, t.records), excluded);
    if (c.outsideTitle) {
      EXPECT_EQ(ReadWholeFile(made).substr(10, 80), std::string(40, '\0') + Padded(c.outsideTitle));
    }
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
    EXPECT_THAT(FileNamesIn(target.path()), ElementsAre(kEast));
    EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());  // the run's folder went, with any directory in it
  }
  EXPECT_TRUE(replaced);
}

// In the southern hemisphere the tile always has the skew condition. Agreed
// to, the tile is kept as an unattended run keeps it (AutoConvertRunTest).
TEST_F(ConversionRun, SkewedTileIsDroppedWhenTheUserRefuses) {
  SynthOptions o = TwoTileQuadrangle("SOUTHVILLE");
  o.south = -34.3;
  o.west = -70.4;
  const std::string source = MakeSource(o);
  const Source t(source);
  prompter.replies = {Reply::No};
  Open(source, RunOptions{});
  main->cmdConvert_Click();
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Warning);
  EXPECT_THAT(prompter.Texts(),
              ElementsAre("There was an internal error while creating this file.  Although there is a possibility "
                          "that this file will be unusable, it is likely that the error will not cause any further "
                          "problems.\r\n\r\nDo you want to continue creating this file?",
                          SummaryText(t.Summary(false, t.records.size(), {}))));
  EXPECT_THAT(Rows(view.rowsAtEnd), ElementsAre("L07035SW.LUC (Internal error.) [x]"));
  EXPECT_THAT(FileNamesIn(target.path()), IsEmpty());
  EXPECT_THAT(TemporaryTilesLeft(), IsEmpty());
}

}  // namespace
}  // namespace tilbo
