#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QScreen>
#include <filesystem>

#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"
#include "ui/ConversionWindow.h"
#include "ui/DirectoryPickerDialog.h"
#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using MainWindowTest = WindowTest;

const std::pair<const char*, CheckBox frmMain::*> kOptions[] = {
    {"chkUseExisting", &frmMain::chkUseExisting},  // first: it enables chkCreateNew
    {"chkCreateNew", &frmMain::chkCreateNew},
    {"chkDeleteOldFile", &frmMain::chkDeleteOldFile},
    {"chkOverwrite", &frmMain::chkOverwrite},
    {"chkLogExcluded", &frmMain::chkLogExcluded}};

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
      {"txtNewTitle", m.txtNewTitle.enabled},        {"cboDirectories", m.cboDirectories.enabled}};
  for (const auto& [name, on] : enabled) EXPECT_EQ(Control(&w, name)->isEnabled(), on) << name;
  auto* directories = Control<QComboBox>(&w, "cboDirectories");
  std::vector<std::string> items;
  for (int i = 0; i < directories->count(); ++i) items.push_back(directories->itemText(i).toStdString());
  EXPECT_EQ(items, m.cboDirectories.items);
  EXPECT_EQ(Control<QPushButton>(&w, "cmdConvert")->isDefault(), m.defaultButton == DefaultButton::Convert);
  EXPECT_EQ(Control<QPushButton>(&w, "cmdBrowse")->isDefault(), m.defaultButton == DefaultButton::Browse);
  for (const auto& [name, option] : kOptions) {
    EXPECT_EQ(Control<QCheckBox>(&w, name)->isChecked(), (m.*option).ticked) << name;
    EXPECT_EQ(Control<QCheckBox>(&w, name)->isEnabled(), (m.*option).enabled) << name;
  }
}

TEST_F(MainWindowTest, EveryControlReachesItsHandlerAndTheWindowShowsTheResult) {
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
  auto check = [&](const char* step, bool done) {
    SCOPED_TRACE(step);
    EXPECT_TRUE(done);
    ExpectShowsItsLogic(w);
  };

  // Enter presses the default button, Browse; a cancelled dialog changes nothing.
  w.fileDialog.answers.push_back(std::nullopt);
  QTest::keyClick(&w, Qt::Key_Return);
  check("Enter", w.fileDialog.asked.size() == 1 && main().CurrentFile == 0);
  Browse(WriteQuadrangle(data, "three.ctg", 44, -72, 3));
  ASSERT_EQ(main().PlannedFiles.size(), 3u);
  ASSERT_NE(w.recordBrowserWindow(), nullptr);
  check("Browse", main().defaultButton == DefaultButton::Convert);
  // The record browser opens whole on the screen, though no room is left on the right.
  EXPECT_TRUE(screen.contains(w.recordBrowserWindow()->frameGeometry()));

  const PlannedFile& first = main().PlannedFiles[0];
  Press(&w, "cmdNextFile");
  check("View Next", main().CurrentFile == 2);
  Press(&w, "cmdPreviousFile");
  check("View Previous", main().CurrentFile == 1);
  auto* title = Control<QLineEdit>(&w, "txtNewTitle");
  QTest::keyClicks(title, "!");
  check("title typed", first.Title == main().txtNewTitle.text && first.Title.ends_with("!"));
  // Typing inside the directory's text keeps the cursor where the user types.
  auto* directory = Control<QComboBox>(&w, "cboDirectories")->lineEdit();
  directory->setFocus();
  QTest::keyClick(directory, Qt::Key_Home);
  QTest::keyClicks(directory, "/x");
  check("directory typed", first.Directory == "/x" + luc1 + "/");
  QTest::keyClick(directory, Qt::Key_End);
  QTest::keyClick(directory, Qt::Key_Backspace);
  check("slash erased", first.Directory == "/x" + luc1);
  title->setFocus();  // a directory always ends in a slash
  check("directory left", first.Directory == "/x" + luc1 + "/");
  QTest::keyClick(Control(&w, "cboDirectories"), Qt::Key_Down);
  check("directory chosen from the list", main().cboDirectories.selected == 1 && first.Directory == luc2 + "/");
  // The picker opens on the tile's directory; OK takes the one shown.
  WhenModalOpens([](QWidget* picker) {
    ASSERT_NE(qobject_cast<ui::DirectoryPickerDialog*>(picker), nullptr);
    Press(picker, "cmdOK");
  });
  Press(&w, "cmdDirectories");
  check("directory picked", first.Directory == luc2);
  // The conversion window lists the tiles; Escape leaves them unconverted.
  std::size_t rowsListed = 0;
  WhenModalOpens([&](QWidget* run) {
    if (auto* conversion = qobject_cast<ui::ConversionWindow*>(run)) rowsListed = conversion->logic().lstFiles.size();
    QTest::keyClick(run, Qt::Key_Escape);
  });
  Press(&w, "cmdConvert");
  check("Convert", rowsListed == 3 && !main().ConvertSuccess && main().CurrentFile == 1);
  for (const auto& [name, option] : kOptions) {
    const bool before = (main().*option).ticked;
    QTest::keyClick(Control(&w, name), Qt::Key_Space);
    check(name, (main().*option).ticked != before);
  }
  EXPECT_TRUE(prompter.Recorded().empty());

  // Closed, the window keeps its place and its options; the next opens so.
  w.move(screen.topLeft() + QPoint(37, 21));
  const bool logExcluded = main().chkLogExcluded.ticked;
  w.close();
  ui::MainWindow& next = OpenMainWindow();
  EXPECT_EQ(next.pos() - screen.topLeft(), QPoint(37, 21));
  EXPECT_EQ(Control<QCheckBox>(&next, "chkLogExcluded")->isChecked(), logExcluded);
}

}  // namespace
}  // namespace tilbo::testing
