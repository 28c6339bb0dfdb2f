#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/ConversionHarness.h"
#include "shell/frmMain.h"
#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"

namespace tilbo {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Field;
using ::testing::Matcher;
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
    return MakeSource({.south = 40.2, .west = west, .height = 0.2, .width = width,
                       .title = "TESTVILLE, XX 1:250,000 QUAD LU", .dataDate = "", .pattern = SynthPattern::kHash},
                      name);
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
  EXPECT_EQ(Config().techSupportLogLevel, 32767);  // levels beyond 16 bits held at the limits
  EXPECT_EQ(Config().debugLevel, -32768);
  const bool ticked[] = {window.chkDeleteOldFile.ticked, window.chkOverwrite.ticked, window.chkLogExcluded.ticked,
                         window.chkUseExisting.ticked, window.chkCreateNew.ticked};
  EXPECT_THAT(ticked, ElementsAre(true, false, true, false, false));
  EXPECT_FALSE(window.chkCreateNew.enabled);  // enabled only while Use Existing is ticked
  EXPECT_EQ(window.SourcePath, "/data/quad.ctg");
  EXPECT_EQ(window.lblFilename, "Click \"Browse\" to begin a file conversion.");

  window.chkUseExisting_Click(true);
  EXPECT_TRUE(window.chkCreateNew.enabled);
  window.chkCreateNew.ticked = true;
  window.chkDeleteOldFile.ticked = false;
  window.Unload();
  const std::string saved[] = {Setting("Delete Old"),         Setting("Overwrite Existing"), Setting("Log Excluded"),
                               Setting("Use Existing Files"), Setting("Create New Files"),   Setting("Last CTG File")};
  EXPECT_THAT(saved, ElementsAre("No", "No", "Yes", "Yes", "Yes", "/data/quad.ctg"));
  EXPECT_NE(ReadINI("CONFIG", "frmMain-X", "", DefaultsIni()), "");
}

TEST_F(frmMain, UnreadableDirectoryListDisablesTheOutsideOptionsAndKeepsTheirSavedValues) {
  // A section too large for the largest section buffer cannot be read.
  std::string ini = "[CTG Tilbo Settings]\r\nUse Existing Files=Yes\r\nCreate New Files=No\r\n[LULC Directories]\r\n";
  for (int i = 1; i <= 1200; ++i) ini += "Directory " + std::to_string(i) + "=/some/long/directory/name/\r\n";
  WriteWholeFile(DefaultsIni(), ini);
  tilbo::frmMain& window = Main();
  EXPECT_THAT(prompter.Texts(),
              ElementsAre("There was an error reading the LUC directories list.  (Error 21, Unknown error.)",
                          StartsWith("The system returned the error ")));
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Critical);
  EXPECT_FALSE(window.chkUseExisting.ticked || window.chkUseExisting.enabled || window.chkCreateNew.enabled);
  prompter.shown.clear();
  window.ReadDirectories();  // the directory picker's reload of the same list
  EXPECT_THAT(prompter.Texts(), ElementsAre("There was an error while trying to read the list of LUC directories!"));
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Critical);
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
  EXPECT_EQ(host.browsersShown, 3);  // only for the file read, each replacing the one before
  EXPECT_EQ(host.browsersClosed, 2);
}

// The real quadrangle as USGS ships it: its size is the one on disk; it plans
// the two tiles east of 72 W and south of 45 N. The cursor is busy while it is
// read, and Convert becomes the default button.
TEST_F(frmMain, BrowseTakesTheShippedGzipFile) {
  tilbo::frmMain& window = Main();
  host.source = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  window.cmdBrowse_Click();
  EXPECT_EQ(host.dialogTitle, "Open USGS CTG File");
  EXPECT_EQ(host.dialogFilter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(host.busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(window.defaultButton, DefaultButton::Convert);
  const std::string frame[] = {window.lblFilename, window.lblTitle, window.lblLatLonQuad, window.lblUTMRefCorner,
                               window.lblCellSize};
  EXPECT_THAT(frame,
              ElementsAre("LEWISTON_grid_cell.gz (1.256MB, 575x808)", "LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU",
                          "(45, -72) to (44, -70)", "259500 Easting, 4987100 Northing", "200m x 200m"));
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
  const struct {
    Reply reply;
    int afterConversion;  // 1: the source removed; 2: and a folder put in its place, which not even root can unlink
    bool sourceLeft;
    const char* message;  // after the question
  } cases[] = {
      {Reply::No, 0, true, nullptr},
      {Reply::Yes, 0, false, nullptr},
      {Reply::Yes, 1, false, "\" could not be deleted (it no longer exists)."},
      {Reply::Yes, 2, true, "\" could not be deleted (Directory not empty)."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.afterConversion);
    const std::string path = Source("quad.ctg", -105.8, 0.3);
    script = [&](frmConversion& conversion) {
      conversion.RunConversion();  // Begin
      conversion.RunConversion();  // Close Window
      if (c.afterConversion > 0) fs::remove(path);
      if (c.afterConversion == 2) fs::create_directories(path + "/inside");
    };
    Open(path, {.overwrite = true}).chkDeleteOldFile.ticked = true;
    prompter.shown.clear();
    prompter.replies = {c.reply};
    main->cmdConvert_Click();
    EXPECT_TRUE(main->ConvertSuccess);
    std::vector<Matcher<const std::string&>> shown{StartsWith("The conversion process is complete."),
                                                   "Are you sure you want to delete the original CTG file?"};
    if (c.message) shown.push_back("The file \"" + path + c.message);
    EXPECT_THAT(prompter.Texts(), ElementsAreArray(shown));
    EXPECT_EQ(fs::exists(path), c.sourceLeft);
    EXPECT_EQ(main->CurrentFile, 0);
    EXPECT_FALSE(main->cmdConvertEnabled);
  }
}

}  // namespace
}  // namespace tilbo
