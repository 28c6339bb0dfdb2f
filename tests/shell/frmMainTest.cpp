#include "shell/frmMain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/ConversionHarness.h"
#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"

namespace tilbo {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::StartsWith;
using testing::WriteWholeFile;

// A main window with its own suite directories, a scripted prompter and a
// host answering from the test.
class frmMain : public testing::ConversionTest {
 protected:
  tilbo::frmMain& Main() {
    main = std::make_unique<tilbo::frmMain>(prompter, pump, host, CommandLine(std::vector<std::string>{}));
    main->Load();
    return *main;
  }
  std::string DefaultsIni() const { return env.home.file("QMDEFAULTS.INI"); }
  std::string Setting(const std::string& key) { return ReadINI("CTG Tilbo Settings", key, "<none>", DefaultsIni()); }
  std::string Source(const std::string& name, double west, double width) {
    SynthOptions o;
    o.south = 40.2;
    o.west = west;
    o.height = 0.2;
    o.width = width;
    o.title = "TESTVILLE, XX 1:250,000 QUAD LU";
    o.pattern = SynthPattern::kHash;
    return MakeSource(o, name);
  }
};

TEST_F(frmMain, StartUpRestoresTheSavedOptionsAndUnloadSavesThem) {
  // Start-up settles the user-defaults INI into the program's directory.
  WriteWholeFile(DefaultsIni(),
                 "[CTG Tilbo Settings]\r\nDelete Old=yes\r\nOverwrite Existing=No\r\nLog Excluded=Y\r\n"
                 "Use Existing Files=n\r\nCreate New Files=\r\nLast CTG File=/data/quad.ctg\r\n"
                 "[CONFIG]\r\nDEBUG=-1D300\r\n");
  WriteWholeFile(env.windows.file("QMconfig.InI"), "[Config]\r\nTech Support Log=1E9\r\n");
  tilbo::frmMain& window = Main();
  EXPECT_EQ(Config().userDefaultsIniPath, DefaultsIni());
  EXPECT_EQ(Config().techSupportLogLevel, 32767);  // levels beyond 16 bits held at the limits
  EXPECT_EQ(Config().debugLevel, -32768);
  const bool ticked[] = {window.chkDeleteOldFile.ticked, window.chkOverwrite.ticked, window.chkLogExcluded.ticked,
                         window.chkUseExisting.ticked, window.chkCreateNew.ticked};
  EXPECT_THAT(ticked, ElementsAre(true, false, true, false, false));
  EXPECT_FALSE(window.chkCreateNew.enabled);  // enabled only while Use Existing is ticked
  EXPECT_EQ(window.SourcePath, "/data/quad.ctg");
  EXPECT_EQ(window.lblFilename, "Click \"Browse\" to begin a file conversion.");
  EXPECT_FALSE(window.cmdConvertEnabled);

  window.chkUseExisting_Click(true);
  EXPECT_TRUE(window.chkCreateNew.enabled);
  window.chkCreateNew.ticked = true;
  window.chkDeleteOldFile.ticked = false;
  window.Unload();
  const std::string saved[] = {Setting("Delete Old"), Setting("Overwrite Existing"), Setting("Log Excluded"),
                               Setting("Use Existing Files"), Setting("Create New Files"), Setting("Last CTG File")};
  EXPECT_THAT(saved, ElementsAre("No", "No", "Yes", "Yes", "Yes", "/data/quad.ctg"));
  EXPECT_NE(ReadINI("CONFIG", "frmMain-X", "", DefaultsIni()), "");
}

TEST_F(frmMain, UnreadableDirectoryListDisablesTheOutsideOptionsAndKeepsTheirSavedValues) {
  // A section too large for the largest section buffer cannot be read.
  std::string ini = "[CTG Tilbo Settings]\r\nUse Existing Files=Yes\r\nCreate New Files=No\r\n[LULC Directories]\r\n";
  for (int i = 1; i <= 1200; ++i) ini += "Directory " + std::to_string(i) + "=/some/long/directory/name/\r\n";
  WriteWholeFile(DefaultsIni(), ini);
  tilbo::frmMain& window = Main();
  EXPECT_THAT(prompter.Texts(), ElementsAre("There was an error reading the LUC directories list.  (Error 21, Unknown error.)",
                                   StartsWith("The system returned the error ")));
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Critical);
  EXPECT_FALSE(window.chkUseExisting.ticked || window.chkUseExisting.enabled || window.chkCreateNew.enabled);
  window.Unload();
  EXPECT_EQ(Setting("Use Existing Files"), "Yes");
  EXPECT_EQ(Setting("Create New Files"), "No");
}

TEST_F(frmMain, BrowseTellsWhyAFileCannotBeConvertedAndResets) {
  const std::string quad = Source("quad.ctg", -105.8, 0.3);
  std::string noTile = testing::ReadWholeFile(quad);
  noTile.replace(160, 10, "   9E90000");  // the south-west corner's latitude off the earth: no tile planned
  WriteWholeFile(data.file("notile.ctg"), noTile);
  WriteWholeFile(data.file("notes.txt"), std::string(500, 'x'));
  const struct {
    std::string name, message;
  } cases[] = {
      {"notes.txt", "\" could not be opened because it is not a valid USGS CTG file."},
      {"missing", "\" could not be located."},
      {"notile.ctg", "\" could not be opened.  An unknown error ocurred."},
  };
  tilbo::frmMain& window = Main();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.source = quad;  // a file read before: the failure resets the window
    window.cmdBrowse_Click();
    ASSERT_TRUE(window.cmdConvertEnabled);
    prompter.shown.clear();
    host.source = data.file(c.name);
    window.cmdBrowse_Click();
    EXPECT_THAT(prompter.Texts(), ElementsAre("The file \"" + *host.source + c.message));
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(window.lblTitle, "");
    EXPECT_TRUE(window.PlannedFiles.empty());
    EXPECT_FALSE(window.cmdConvertEnabled);
  }
  host.source.reset();  // cancelled: nothing changes
  window.cmdBrowse_Click();
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(window.SourcePath, data.file("notile.ctg"));
  EXPECT_EQ(host.browsersShown, 3);  // only for the file read
}

TEST_F(frmMain, BrowseFillsTheFramesAndTheTilesAreEditedOneAtATime) {
  const std::string path = Source("quad.ctg", -106.5, 2.0);  // three tiles side by side
  tilbo::frmMain& window = Main();
  window.cboDirectories_Change("/luc/");
  host.source = path;
  window.cmdBrowse_Click();
  EXPECT_EQ(host.busy, (std::vector<bool>{true, false}));
  ASSERT_EQ(window.PlannedFiles.size(), 3u);
  EXPECT_EQ(window.lblDirectory, data.dir());
  EXPECT_EQ(window.lblCurFile, "1 of 3");
  EXPECT_EQ(window.lblNewFilename, "L10640NW.LUC (" + std::to_string(window.PlannedFiles[0].Size) + " bytes)");
  EXPECT_EQ(window.txtNewTitle.text, window.PlannedFiles[0].Title);
  EXPECT_EQ(window.defaultButton, DefaultButton::Convert);
  EXPECT_TRUE(!window.cmdPreviousFileEnabled && window.cmdNextFileEnabled);

  window.cmdNextFile_Click();
  EXPECT_TRUE(window.cmdPreviousFileEnabled && window.cmdNextFileEnabled);
  window.cboDirectories_Change("/elsewhere");
  window.cboDirectories_LostFocus();
  EXPECT_EQ(window.cboDirectories.text, "/elsewhere/");
  window.txtNewTitle_Change("MIDDLE TILE");
  window.cmdNextFile_Click();
  EXPECT_FALSE(window.cmdNextFileEnabled);
  EXPECT_EQ(window.cboDirectories.text, "/luc/");  // the other tiles keep their directory
  window.cboDirectories_Change("");
  window.cboDirectories_LostFocus();
  window.cmdPreviousFile_Click();
  EXPECT_EQ(window.cboDirectories.text, "/elsewhere/");
  EXPECT_EQ(window.txtNewTitle.text, "MIDDLE TILE");
  EXPECT_EQ(window.PlannedFiles[0].Directory, "/luc/");
  EXPECT_EQ(window.PlannedFiles[2].Directory, "/");

  window.cmdBrowse_Click();  // a second file replaces the record browser
  EXPECT_EQ(host.browsersClosed, 1);
  EXPECT_EQ(host.browsersShown, 2);
}

// The real quadrangle as USGS ships it: its size is the one on disk; it plans
// the two tiles east of 72 W and south of 45 N.
TEST_F(frmMain, BrowseTakesTheShippedGzipFile) {
  tilbo::frmMain& window = Main();
  host.source = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  window.cmdBrowse_Click();
  EXPECT_TRUE(prompter.shown.empty());
  const std::string frame[] = {window.lblFilename,     window.lblTitle,    window.lblLatLonQuad,
                               window.lblUTMRefCorner, window.lblCellSize};
  EXPECT_THAT(frame, ElementsAre("LEWISTON_grid_cell.gz (1.256MB, 575x808)",
                                 "LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU", "(45, -72) to (44, -70)",
                                 "259500 Easting, 4987100 Northing", "200m x 200m"));
  EXPECT_THAT(window.PlannedFiles, ElementsAre(Field(&PlannedFile::FileName, "L07144NW.LUC"),
                                             Field(&PlannedFile::FileName, "L07044NW.LUC")));
  EXPECT_EQ(window.PlannedFiles[0].Size, 575 * 808);  // 2 x 575 x 808 / 2
  EXPECT_EQ(window.txtNewTitle.text, "LEWISTON, ME VT NH  (WEST) 1:250,000 QUA");
  ASSERT_NE(window.RecordBrowser(), nullptr);
  EXPECT_EQ(window.RecordBrowser()->lblCellNumber, "1 (of 442032)");
}

// After a successful conversion the source is deleted only when the option is
// ticked and the user agrees; a source that cannot be deleted is named.
TEST_F(frmMain, SuccessfulConversionOffersToDeleteTheSourceAndResets) {
  const auto gone = [](const std::string&) {};
  const auto removed = [](const std::string& source) { fs::remove(source); };
  const auto folder = [](const std::string& source) {  // not even root can unlink it
    fs::remove(source);
    fs::create_directories(source + "/inside");
  };
  const struct {
    Reply reply;
    std::function<void(const std::string&)> afterConversion;
    bool sourceLeft;
    const char* message;  // after the question
  } cases[] = {
      {Reply::No, gone, true, nullptr},
      {Reply::Yes, gone, false, nullptr},
      {Reply::Yes, removed, false, "\" could not be deleted (it no longer exists)."},
      {Reply::Yes, folder, true, "\" could not be deleted (Directory not empty)."},
  };
  tilbo::frmMain& window = Main();
  window.chkDeleteOldFile.ticked = true;
  window.chkOverwrite.ticked = true;  // each run replaces the tile of the one before
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    SCOPED_TRACE(k);
    const auto& c = cases[k];
    const std::string path = Source("quad" + std::to_string(k), -105.8, 0.3);
    host.source = path;
    window.cmdBrowse_Click();
    window.cboDirectories_Change(data.dir());  // the reset after each run empties the box
    host.onConversion = [&](frmConversion& conversion) {
      conversion.RunConversion();  // Begin
      conversion.RunConversion();  // Close Window
      c.afterConversion(path);
    };
    prompter.shown.clear();
    prompter.replies = {c.reply};
    window.cmdConvert_Click();
    EXPECT_TRUE(window.ConvertSuccess);
    EXPECT_TRUE(fs::exists(data.file("L10540NW.LUC")));
    std::vector<std::string> shown{"Are you sure you want to delete the original CTG file?"};
    if (c.message) shown.push_back("The file \"" + path + c.message);
    std::vector<std::string> texts = prompter.Texts();
    EXPECT_THAT(texts.front(), StartsWith("The conversion process is complete."));
    texts.erase(texts.begin());
    EXPECT_EQ(texts, shown);
    EXPECT_EQ(fs::exists(path), c.sourceLeft);
    EXPECT_EQ(window.CurrentFile, 0);
    EXPECT_FALSE(window.cmdConvertEnabled);
  }
}

}  // namespace
}  // namespace tilbo
