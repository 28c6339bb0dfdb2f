#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <filesystem>

#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"
#include "ui/DesktopApp.h"
#include "ui/RecordBrowserWindow.h"
#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using MainWindowTest = WindowTest;

// Every control shows what the logic holds for it.
void ExpectShowsItsLogic(ui::MainWindow& w) {
  const frmMain& m = w.logic();
  const std::pair<const char*, const std::string&> texts[] = {
      {"lblFilename", m.lblFilename},     {"lblDirectory", m.lblDirectory},       {"lblTitle", m.lblTitle},
      {"lblLatLonQuad", m.lblLatLonQuad}, {"lblUTMRefCorner", m.lblUTMRefCorner}, {"lblCellSize", m.lblCellSize},
      {"lblCurFile", m.lblCurFile},       {"lblNewFilename", m.lblNewFilename},   {"txtNewTitle", m.txtNewTitle.text},
      {"cboDirectories", m.cboDirectories.text}};
  for (const auto& [name, text] : texts) EXPECT_EQ(Shown(&w, name), text) << name;
  const std::pair<const char*, bool> enabled[] = {
      {"cmdPreviousFile", m.cmdPreviousFileEnabled}, {"cmdNextFile", m.cmdNextFileEnabled},
      {"cmdDirectories", m.cmdDirectoriesEnabled},   {"cmdConvert", m.cmdConvertEnabled},
      {"txtNewTitle", m.txtNewTitle.enabled},        {"cboDirectories", m.cboDirectories.enabled},
      {"chkUseExisting", m.chkUseExisting.enabled},  {"chkCreateNew", m.chkCreateNew.enabled},
      {"chkDeleteOldFile", m.chkDeleteOldFile.enabled}, {"chkOverwrite", m.chkOverwrite.enabled},
      {"chkLogExcluded", m.chkLogExcluded.enabled}};
  for (const auto& [name, on] : enabled) EXPECT_EQ(Control(&w, name)->isEnabled(), on) << name;
  const std::pair<const char*, bool> ticked[] = {
      {"chkUseExisting", m.chkUseExisting.ticked},     {"chkCreateNew", m.chkCreateNew.ticked},
      {"chkDeleteOldFile", m.chkDeleteOldFile.ticked}, {"chkOverwrite", m.chkOverwrite.ticked},
      {"chkLogExcluded", m.chkLogExcluded.ticked}};
  for (const auto& [name, on] : ticked) EXPECT_EQ(Control<QCheckBox>(&w, name)->isChecked(), on) << name;
  EXPECT_EQ(Control<QComboBox>(&w, "cboDirectories")->count(), std::ssize(m.cboDirectories.items));
  EXPECT_EQ(Control<QPushButton>(&w, "cmdConvert")->isDefault(), m.defaultButton == DefaultButton::Convert);
}

TEST_F(MainWindowTest, EveryControlOfItAndOfItsRecordBrowserReachesItsHandlerAndTheViewsShowTheLogic) {
  const std::string luc1 = data.file("luc1"), luc2 = data.file("luc2");
  for (const std::string& luc : {luc1, luc2}) std::filesystem::create_directory(luc);
  WriteINI("LULC Directories", "Directory 1", luc1, Config().userDefaultsIniPath);
  WriteINI("LULC Directories", "Directory 2", luc2, Config().userDefaultsIniPath);
  ui::MainWindow& w = OpenMainWindow();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  const QRect screen = w.screen()->availableGeometry();
  ASSERT_EQ(screen.size(), QSize(1366, 768));  // the laptop screen the tests run on
  w.move(screen.right() - w.frameGeometry().width(), screen.y() + 100);
  ExpectShowsItsLogic(w);

  // Enter presses the default button, Browse (its dialog cancelled here).
  w.fileDialog.answers.push_back(std::nullopt);
  QTest::keyClick(&w, Qt::Key_Return);
  EXPECT_EQ(w.fileDialog.asked.size(), 1u);
  BrowseQuadrangle(44, -72, 3);
  ASSERT_EQ(main().PlannedFiles.size(), 3u);
  // The record browser opens whole on the screen, though no room is left on the right.
  ui::RecordBrowserWindow* browser = w.recordBrowserWindow();
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(screen.contains(browser->frameGeometry()));
  // In the browser, keys in the cell-number box, then the button named if any.
  const frmBrowseRecords& record = browser->logic();
  const int32_t last = CTG_RecordCount(main().CTGFileHandle);
  auto* number = Control<QLineEdit>(browser, "txtRecNum");
  const struct {
    const char* control;
    const char* keys;
    int32_t recNum;
  } browserSteps[] = {{"cmdNext", "", 2},
                      {"cmdPrev", "", 1},
                      {"cmdEnd", "", last},
                      {"cmdFirstRecord", "", 1},
                      {"cmdGo", "Ctrl+A, 7", 7},
                      {"txtRecNum", "Ctrl+A, 5, Return", 5},
                      {"txtRecNum", "Ctrl+A, 0, Return", 5}};
  for (const auto& [control, keys, recNum] : browserSteps) {
    SCOPED_TRACE(std::string(control) + " " + keys);
    QTest::keySequence(number, QKeySequence(QString::fromUtf8(keys)));
    if (auto* button = browser->findChild<QPushButton*>(control)) QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(record.RecNum, recNum);
    const std::pair<const char*, const std::string&> texts[] = {
        {"lblCellNumber", record.lblCellNumber}, {"lblUTME", record.lblUTME},         {"lblUTMN", record.lblUTMN},
        {"lblUTMZone", record.lblUTMZone},       {"lblUSGSLULC", record.lblUSGSLULC}, {"txtRecNum", record.txtRecNum}};
    for (const auto& [name, text] : texts) EXPECT_EQ(Shown(browser, name), text) << name;
    // A refused number is selected, ready to be typed over.
    EXPECT_EQ(number->hasSelectedText(), record.txtRecNumSelectAll);
  }
  Press(browser, "cmdCloseWindow");
  EXPECT_FALSE(main().frmBrowseRecordsIsLoaded);
  EXPECT_FALSE(browser->isVisible());

  // Each step presses keys in a control, or clicks it when none; the modal
  // window it opens is answered.
  const struct {
    const char* control;
    const char* keys;
    std::pair<int16_t, std::string> fileAndDirectory;  // the current file, the first tile's directory
    std::function<void(QWidget*)> modal = nullptr;
  } steps[] = {
      {"cmdNextFile", "", {2, luc1 + "/"}},
      {"cmdPreviousFile", "", {1, luc1 + "/"}},
      {"txtNewTitle", "!", {1, luc1 + "/"}},
      // Typing inside the directory's text keeps the cursor where the user types.
      {"cboDirectories", "Home, /, X", {1, "/x" + luc1 + "/"}},
      {"cboDirectories", "End, Backspace", {1, "/x" + luc1}},
      {"txtNewTitle", "", {1, "/x" + luc1 + "/"}},  // a directory left ends in a slash
      {"cboDirectories", "Down", {1, luc2 + "/"}},
      // The picker opens on the tile's directory; OK takes the one shown.
      {"cmdDirectories", "", {1, luc2}, [](QWidget* picker) { Press(picker, "cmdOK"); }},
      // The conversion window lists the tiles; Escape leaves them unconverted.
      {"cmdConvert", "", {1, luc2},
       [](QWidget* run) {
         EXPECT_EQ(Control<QListWidget>(run, "lstFiles")->count(), 3);
         QTest::keyClick(run, Qt::Key_Escape);
       }},
      {"chkUseExisting", "Space", {1, luc2}},  // first: it enables chkCreateNew
      {"chkCreateNew", "Space", {1, luc2}},
      {"chkDeleteOldFile", "Space", {1, luc2}},
      {"chkOverwrite", "Space", {1, luc2}},
      {"chkLogExcluded", "Space", {1, luc2}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(std::string(step.control) + " " + step.keys);
    if (step.modal) WhenModalOpens(step.modal);
    QWidget* control = Control(&w, step.control);
    control->setFocus();
    if (*step.keys == '\0') QTest::mouseClick(control, Qt::LeftButton);
    QTest::keySequence(control, QKeySequence(QString::fromUtf8(step.keys)));
    EXPECT_EQ(std::pair(main().CurrentFile, main().PlannedFiles[0].Directory), step.fileAndDirectory);
    ExpectShowsItsLogic(w);  // a check box that missed its handler shows other than the logic
  }

  // Closed, the window keeps its place: the program's next window opens
  // there, with boxes of its own, and the program ends with status zero when
  // it closes.
  w.move(screen.topLeft() + QPoint(37, 21));
  w.close();
  SetActivePrompter(nullptr);
  bool closed = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* next = qobject_cast<ui::MainWindow*>(top);
      if (next == nullptr || next == &w || !next->isVisible()) continue;
      EXPECT_EQ(next->pos() - screen.topLeft(), QPoint(37, 21));
      EXPECT_NE(dynamic_cast<ui::QtPrompter*>(&ActivePrompter()), nullptr);
      closed = next->close();
    }
  });
  char name[] = "ctgtilbo";
  char* argv[] = {name, nullptr};
  EXPECT_EQ(ui::RunDesktop(1, argv), 0);
  EXPECT_TRUE(closed);
  EXPECT_NE(dynamic_cast<HeadlessPrompter*>(&ActivePrompter()), nullptr);
}

}  // namespace
}  // namespace tilbo::testing
