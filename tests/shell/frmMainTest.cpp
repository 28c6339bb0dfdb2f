#include "shell/frmMain.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/frmConversion.h"
#include "shell/MainWindowTestSupport.h"
#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"

namespace tilbo {
namespace {

using testing::MainWindowFixture;
using testing::ReadWholeFile;
using testing::WriteWholeFile;

class frmMain : public ::testing::Test, public MainWindowFixture {};

TEST_F(frmMain, StartUpRestoresTheSavedOptionsAndUnloadSavesThem) {
  // Start-up settles the user-defaults INI into the program's directory.
  WriteWholeFile(env.home.file("QMDEFAULTS.INI"),
                 "[CTG Tilbo Settings]\r\nDelete Old=yes\r\nOverwrite Existing=No\r\nLog Excluded=Y\r\n"
                 "Use Existing Files=n\r\nCreate New Files=\r\nLast CTG File=/data/quad.ctg\r\n");
  tilbo::frmMain& main = Main();
  main.Load();
  EXPECT_EQ(Config().userDefaultsIniPath, DefaultsIni());
  EXPECT_TRUE(main.chkDeleteOldFile.ticked);
  EXPECT_FALSE(main.chkOverwrite.ticked);
  EXPECT_TRUE(main.chkLogExcluded.ticked);
  EXPECT_FALSE(main.chkUseExisting.ticked);
  EXPECT_FALSE(main.chkCreateNew.ticked);   // an empty value leaves the box unticked
  EXPECT_FALSE(main.chkCreateNew.enabled);  // enabled only while Use Existing is ticked
  EXPECT_EQ(main.SourcePath, "/data/quad.ctg");
  EXPECT_EQ(main.lblFilename, "Click \"Browse\" to begin a file conversion.");
  EXPECT_FALSE(main.cmdConvertEnabled);
  EXPECT_EQ(main.defaultButton, DefaultButton::Browse);

  main.chkUseExisting_Click(true);
  main.chkCreateNew.ticked = true;
  main.chkDeleteOldFile.ticked = false;
  main.Unload();
  const std::string ini = DefaultsIni();
  EXPECT_EQ(ReadINI("CTG Tilbo Settings", "Delete Old", "", ini), "No");
  EXPECT_EQ(ReadINI("CTG Tilbo Settings", "Log Excluded", "", ini), "Yes");
  EXPECT_EQ(ReadINI("CTG Tilbo Settings", "Use Existing Files", "", ini), "Yes");
  EXPECT_EQ(ReadINI("CTG Tilbo Settings", "Create New Files", "", ini), "Yes");
  EXPECT_EQ(ReadINI("CTG Tilbo Settings", "Last CTG File", "", ini), "/data/quad.ctg");
  EXPECT_NE(ReadINI("CONFIG", "frmMain-X", "", ini), "");
}

TEST_F(frmMain, StartUpHoldsLevelsBeyondSixteenBitsAtTheLimits) {
  WriteWholeFile(env.windows.file("QMconfig.InI"), "[Config]\r\nTech Support Log=1E9\r\n");
  WriteWholeFile(env.home.file("QMDEFAULTS.INI"), "[CONFIG]\r\nDEBUG=-1D300\r\n");
  Main().Load();
  EXPECT_EQ(Config().techSupportLogLevel, 32767);
  EXPECT_EQ(Config().debugLevel, -32768);
}

TEST_F(frmMain, UnreadableDirectoryListDisablesTheOutsideOptionsAndKeepsTheirSavedValues) {
  // A section too large for the largest section buffer cannot be read.
  std::string ini = "[CTG Tilbo Settings]\r\nUse Existing Files=Yes\r\nCreate New Files=No\r\n[LULC Directories]\r\n";
  for (int i = 1; i <= 1200; ++i) ini += "Directory " + std::to_string(i) + "=/some/long/directory/name/\r\n";
  WriteWholeFile(env.home.file("QMDEFAULTS.INI"), ini);
  tilbo::frmMain& main = Main();
  main.Load();
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(prompter.shown[0].text,
            "There was an error reading the LUC directories list.  (Error 21, Unknown error.)");
  EXPECT_EQ(prompter.shown[1].text.rfind("The system returned the error ", 0), 0u);
  EXPECT_FALSE(main.chkUseExisting.ticked);
  EXPECT_FALSE(main.chkUseExisting.enabled);
  EXPECT_FALSE(main.chkCreateNew.enabled);
  main.Unload();
  EXPECT_EQ(ReadINI("CTG Tilbo Settings", "Use Existing Files", "", DefaultsIni()), "Yes");
  EXPECT_EQ(ReadINI("CTG Tilbo Settings", "Create New Files", "", DefaultsIni()), "No");
}

TEST_F(frmMain, BrowseOnAFileThatIsNotCTGSaysSoAndResets) {
  tilbo::frmMain& main = Main();
  main.Load();
  const std::string path = data.file("notes.txt");
  WriteWholeFile(path, std::string(500, 'x'));
  host.source = path;
  main.cmdBrowse_Click();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(prompter.shown[0].text,
            "The file \"" + path + "\" could not be opened because it is not a valid USGS CTG file.");
  EXPECT_EQ(host.browsersShown, 0);
  EXPECT_FALSE(main.cmdConvertEnabled);

  host.source = data.file("missing");
  main.cmdBrowse_Click();
  EXPECT_EQ(prompter.shown.back().text, "The file \"" + data.file("missing") + "\" could not be located.");

  host.source.reset();  // cancelled: nothing changes
  main.cmdBrowse_Click();
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(main.SourcePath, data.file("missing"));
}

TEST_F(frmMain, BrowseFillsTheFramesAndTheTilesAreEditedOneAtATime) {
  const std::string path = MakeSource("quad.ctg", 40.5, -106.5, 0.3, 2.0);  // three tiles side by side
  tilbo::frmMain& main = Main();
  main.Load();
  main.cboDirectories_Change("/luc/");
  host.source = path;
  main.cmdBrowse_Click();
  EXPECT_EQ(host.busy, (std::vector<bool>{true, false}));
  ASSERT_EQ(main.PlannedFiles.size(), 3u);
  EXPECT_EQ(main.lblDirectory, data.dir());
  EXPECT_EQ(main.lblTitle, "TESTVILLE, XX 1:250,000 QUAD LU");
  EXPECT_EQ(main.lblFilename.rfind("quad.ctg (", 0), 0u);
  EXPECT_EQ(main.lblCurFile, "1 of 3");
  EXPECT_EQ(main.lblNewFilename, main.PlannedFiles[0].FileName + " (" +
                                     std::to_string(main.PlannedFiles[0].Size) + " bytes)");
  EXPECT_EQ(main.txtNewTitle.text, "TESTVILLE, XX  (WEST) 1:250,000 QUAD LU");
  EXPECT_TRUE(main.cmdConvertEnabled);
  EXPECT_EQ(main.defaultButton, DefaultButton::Convert);
  EXPECT_FALSE(main.cmdPreviousFileEnabled);
  EXPECT_TRUE(main.cmdNextFileEnabled);
  EXPECT_EQ(host.browsersShown, 1);
  ASSERT_NE(main.RecordBrowser(), nullptr);
  EXPECT_EQ(main.RecordBrowser()->lblCellNumber.rfind("1 (of ", 0), 0u);

  main.cmdNextFile_Click();
  EXPECT_TRUE(main.cmdPreviousFileEnabled);
  EXPECT_TRUE(main.cmdNextFileEnabled);
  EXPECT_EQ(main.txtNewTitle.text, "TESTVILLE, XX  (CENTER) 1:250,000 QUAD L");  // cut to 40
  main.cboDirectories_Change("/elsewhere");
  main.cboDirectories_LostFocus();
  EXPECT_EQ(main.cboDirectories.text, "/elsewhere/");
  main.txtNewTitle_Change("MIDDLE TILE");
  main.cmdNextFile_Click();
  EXPECT_FALSE(main.cmdNextFileEnabled);
  EXPECT_EQ(main.cboDirectories.text, "/luc/");  // the other tiles keep their directory
  main.cboDirectories_Change("");
  main.cboDirectories_LostFocus();
  EXPECT_EQ(main.PlannedFiles[2].Directory, "/");
  main.cmdPreviousFile_Click();
  EXPECT_EQ(main.cboDirectories.text, "/elsewhere/");
  EXPECT_EQ(main.PlannedFiles[1].Title, "MIDDLE TILE");
  EXPECT_EQ(main.PlannedFiles[0].Directory, "/luc/");

  // A second file replaces the browser.
  host.source = path;
  main.cmdBrowse_Click();
  EXPECT_EQ(host.browsersClosed, 1);
  EXPECT_EQ(host.browsersShown, 2);
}

// The file as USGS ships it: its size is the one on disk, and the record
// browser reaches any cell of the compressed content.
TEST_F(frmMain, BrowseTakesTheShippedGzipFile) {
  tilbo::frmMain& main = Main();
  main.Load();
  host.source = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  main.cmdBrowse_Click();
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(main.lblFilename, "LEWISTON_grid_cell.gz (1.256MB, 575x808)");
  EXPECT_EQ(main.lblTitle, "LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU");
  EXPECT_EQ(main.PlannedFiles.size(), 2u);
  ASSERT_NE(main.RecordBrowser(), nullptr);
  frmBrowseRecords& b = *main.RecordBrowser();
  b.cmdEnd_Click();
  EXPECT_EQ(b.lblCellNumber, "442032 (of 442032)");
  EXPECT_EQ(b.lblUTME, "418200m");
  b.txtRecNum = "200000";
  b.cmdGo_Click();
  EXPECT_EQ(b.lblUTMN, "4934400m");
  EXPECT_EQ(b.lblUSGSLULC.substr(b.lblUSGSLULC.size() - 4), "(43)");
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(frmMain, SuccessfulConversionOffersToDeleteTheSourceAndResets) {
  const std::string path = MakeSource("quad.ctg", 40.2, -105.8, 0.2, 0.3);
  tilbo::frmMain& main = Main();
  main.Load();
  main.cboDirectories_Change(data.dir());
  main.chkDeleteOldFile.ticked = true;
  host.source = path;
  main.cmdBrowse_Click();
  const std::string tile = data.file(main.PlannedFiles[0].FileName);
  host.onConversion = [](frmConversion& c) {
    c.RunConversion();  // Begin
    c.RunConversion();  // Close Window
  };
  prompter.replies = {Reply::No};
  main.cmdConvert_Click();
  EXPECT_TRUE(main.ConvertSuccess);
  EXPECT_TRUE(std::filesystem::exists(tile));
  EXPECT_TRUE(std::filesystem::exists(path));  // the answer No keeps the source
  EXPECT_EQ(prompter.shown.back().text, "Are you sure you want to delete the original CTG file?");
  EXPECT_EQ(main.CurrentFile, 0);
  EXPECT_FALSE(main.cmdConvertEnabled);

  main.chkOverwrite.ticked = true;  // the tile from the first run is replaced
  main.cboDirectories_Change(data.dir());  // the reset emptied the directory box
  host.source = path;
  main.cmdBrowse_Click();
  prompter.replies = {Reply::Yes};
  main.cmdConvert_Click();
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tilbo
