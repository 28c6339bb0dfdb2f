#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/SavedOptions.h"
#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"
#include "ui/RecordBrowserWindow.h"
#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, OpenDialogKeepsItsCaptionsAndAllFilesListsNamesWithoutADot) {
  OpenMainWindow();
  Browse(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));  // the next dialog opens in `data`
  WriteWholeFile(data.file("grid_cell"), "");
  WhenModalOpens([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Open USGS CTG File");
    auto* choices = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(choices, nullptr);
    ASSERT_EQ(choices->count(), 2);
    EXPECT_EQ(choices->itemText(0).toStdString(), "Text Files (*.txt)");
    EXPECT_EQ(choices->itemText(1).toStdString(), "All Files (*.*)");
    QTest::keyClick(choices, Qt::Key_Down);
    auto* files = dialog->findChild<QListView*>(QStringLiteral("listView"));
    // The directory is read in the background.
    EXPECT_TRUE(QTest::qWaitFor([files] {
      return !files->model()->match(files->model()->index(0, 0, files->rootIndex()), Qt::DisplayRole,
                                    QStringLiteral("grid_cell"), 1, Qt::MatchExactly).isEmpty();
    }));
    qobject_cast<QDialog*>(dialog)->reject();
  });
  QTest::mouseClick(Control<QPushButton>(window.get(), "cmdBrowse"), Qt::LeftButton);
}

TEST_F(MainWindowTest, RecordBrowserBesideAWindowAtTheScreensRightEdgeStaysWholeOnTheScreen) {
  ui::MainWindow& w = OpenMainWindow();
  const QRect screen = w.screen()->availableGeometry();
  ASSERT_EQ(screen.size(), QSize(1366, 768));  // the laptop screen the tests run on
  w.move(screen.x() + screen.width() - w.frameGeometry().width(), screen.y() + 100);
  Browse(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
  ASSERT_NE(w.recordBrowserWindow(), nullptr);
  EXPECT_TRUE(screen.contains(w.recordBrowserWindow()->frameGeometry()));
}

TEST_F(MainWindowTest, BrowseAsksForACtgFileAndShowsItsTilesAndRecords) {
  const std::string quad = WriteQuadrangle(data, "three.ctg", 44, -72, 3);
  ui::MainWindow& w = OpenMainWindow();
  EXPECT_EQ(w.windowTitle().toStdString(), "CTG Import");
  EXPECT_EQ(Control<QLabel>(&w, "lblFilename")->text().toStdString(), "Click \"Browse\" to begin a file conversion.");
  EXPECT_FALSE(Control<QPushButton>(&w, "cmdConvert")->isEnabled());
  EXPECT_TRUE(Control<QPushButton>(&w, "cmdBrowse")->isDefault());

  // Enter presses the default button; cancelling the dialog changes nothing.
  w.fileDialog.answers.push_back(std::nullopt);
  QTest::keyClick(&w, Qt::Key_Return);
  ASSERT_EQ(w.fileDialog.asked.size(), 1u);
  EXPECT_EQ(w.fileDialog.asked[0].title, "Open USGS CTG File");
  EXPECT_EQ(w.fileDialog.asked[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
  EXPECT_EQ(main().CurrentFile, 0);
  EXPECT_EQ(w.recordBrowserWindow(), nullptr);

  Browse(quad);
  EXPECT_EQ(main().SourcePath, quad);
  EXPECT_EQ(main().CurrentFile, 1);
  EXPECT_EQ(main().PlannedFiles.size(), 3u);
  EXPECT_EQ(Control<QLabel>(&w, "lblTitle")->text().toStdString(), "TEST QUAD three.ctg");
  EXPECT_EQ(Control<QLabel>(&w, "lblDirectory")->text().toStdString(), data.dir());
  EXPECT_EQ(Control<QLabel>(&w, "lblCurFile")->text().toStdString(), "1 of 3");
  EXPECT_EQ(Control<QLabel>(&w, "lblNewFilename")->text().toStdString(),
            main().PlannedFiles[0].FileName + " (" + std::to_string(main().PlannedFiles[0].Size) + " bytes)");
  EXPECT_TRUE(Control<QPushButton>(&w, "cmdConvert")->isEnabled());
  EXPECT_TRUE(Control<QPushButton>(&w, "cmdConvert")->isDefault());
  EXPECT_FALSE(Control<QPushButton>(&w, "cmdBrowse")->isDefault());
  EXPECT_TRUE(Control<QComboBox>(&w, "cboDirectories")->isEnabled());
  // The next Browse opens where this one ended.
  w.fileDialog.answers.push_back(std::nullopt);
  QTest::mouseClick(Control<QPushButton>(&w, "cmdBrowse"), Qt::LeftButton);
  EXPECT_EQ(w.fileDialog.asked.back().initialPath, quad);

  ui::RecordBrowserWindow* browser = w.recordBrowserWindow();
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->isVisible());
  EXPECT_TRUE(main().frmBrowseRecordsIsLoaded);
  EXPECT_EQ(browser->logic().RecNum, 1);
  EXPECT_TRUE(prompter.Recorded().empty());
}

TEST_F(MainWindowTest, BrowseOnAFileThatIsNotCtgSaysSoAndResetsTheWindow) {
  const std::string quad = WriteQuadrangle(data, "quad.ctg", 44, -72, 1);
  const std::string notCtg = data.file("notes.txt");
  WriteWholeFile(notCtg, "not a land-use grid\n");
  ui::MainWindow& w = OpenMainWindow();
  Browse(quad);
  ui::RecordBrowserWindow* browser = w.recordBrowserWindow();
  ASSERT_NE(browser, nullptr);

  Browse(notCtg);
  ASSERT_EQ(prompter.Recorded().size(), 1u);
  const ui::RecordedBox& box = prompter.Recorded()[0];
  EXPECT_EQ(box.icon, QMessageBox::Warning);
  EXPECT_EQ(box.title.toStdString(), "CTG Tilbo");
  EXPECT_EQ(box.text.toStdString(),
            "The file \"" + notCtg + "\" could not be opened because it is not a valid USGS CTG file.");
  EXPECT_EQ(main().CurrentFile, 0);
  EXPECT_FALSE(Control<QPushButton>(&w, "cmdConvert")->isEnabled());
  EXPECT_FALSE(Control<QLineEdit>(&w, "txtNewTitle")->isEnabled());
  EXPECT_TRUE(Control<QPushButton>(&w, "cmdBrowse")->isDefault());
  // The browser of the previous file stays as it was.
  EXPECT_EQ(w.recordBrowserWindow(), browser);
  EXPECT_TRUE(main().frmBrowseRecordsIsLoaded);
}

TEST_F(MainWindowTest, ViewButtonsStepThroughTheTilesAndEnableAtTheEnds) {
  const std::string quad = WriteQuadrangle(data, "three.ctg", 44, -72, 3);
  ui::MainWindow& w = OpenMainWindow();
  auto* previous = Control<QPushButton>(&w, "cmdPreviousFile");
  auto* next = Control<QPushButton>(&w, "cmdNextFile");
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_FALSE(next->isEnabled());
  Browse(quad);
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());

  QTest::mouseClick(next, Qt::LeftButton);
  EXPECT_EQ(main().CurrentFile, 2);
  EXPECT_EQ(Control<QLabel>(&w, "lblCurFile")->text().toStdString(), "2 of 3");
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());

  QTest::mouseClick(next, Qt::LeftButton);
  EXPECT_EQ(main().CurrentFile, 3);
  EXPECT_TRUE(previous->isEnabled());
  EXPECT_FALSE(next->isEnabled());
  QTest::mouseClick(next, Qt::LeftButton);  // disabled: nothing happens
  EXPECT_EQ(main().CurrentFile, 3);

  QTest::mouseClick(previous, Qt::LeftButton);
  QTest::mouseClick(previous, Qt::LeftButton);
  EXPECT_EQ(main().CurrentFile, 1);
  EXPECT_FALSE(previous->isEnabled());

  // A single tile: both stay disabled.
  Browse(WriteQuadrangle(data, "one.ctg", 44, -72, 1));
  EXPECT_EQ(main().PlannedFiles.size(), 1u);
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_FALSE(next->isEnabled());
}

TEST_F(MainWindowTest, DirectoryAndTitleEditsBelongToTheTileOnShow) {
  const std::string quad = WriteQuadrangle(data, "three.ctg", 44, -72, 3);
  ui::MainWindow& w = OpenMainWindow();
  Browse(quad);
  const PlannedFile second = main().PlannedFiles[1];
  auto* directory = Control<QComboBox>(&w, "cboDirectories");
  auto* title = Control<QLineEdit>(&w, "txtNewTitle");
  EXPECT_EQ(title->maxLength(), 40);

  directory->lineEdit()->clear();
  QTest::keyClicks(directory->lineEdit(), "/data/luc/");
  title->clear();
  QTest::keyClicks(title, "FIRST TILE");
  EXPECT_EQ(main().PlannedFiles[0].Directory, "/data/luc/");
  EXPECT_EQ(main().PlannedFiles[0].Title, "FIRST TILE");

  QTest::mouseClick(Control<QPushButton>(&w, "cmdNextFile"), Qt::LeftButton);
  EXPECT_EQ(directory->currentText().toStdString(), second.Directory);
  EXPECT_EQ(title->text().toStdString(), second.Title);
  EXPECT_EQ(main().PlannedFiles[1].Directory, second.Directory);
  EXPECT_EQ(main().PlannedFiles[1].Title, second.Title);

  QTest::mouseClick(Control<QPushButton>(&w, "cmdPreviousFile"), Qt::LeftButton);
  EXPECT_EQ(directory->currentText().toStdString(), "/data/luc/");
  EXPECT_EQ(title->text().toStdString(), "FIRST TILE");
}

TEST_F(MainWindowTest, DirectoryBoxGainsItsTrailingSlashWhenItLosesTheFocus) {
  const std::string quad = WriteQuadrangle(data, "quad.ctg", 44, -72, 1);
  ui::MainWindow& w = OpenMainWindow();
  Browse(quad);
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  auto* directory = Control<QComboBox>(&w, "cboDirectories");
  auto* title = Control<QLineEdit>(&w, "txtNewTitle");

  directory->setFocus();
  directory->lineEdit()->clear();
  QTest::keyClicks(directory->lineEdit(), "/data/tiles");
  title->setFocus();
  EXPECT_EQ(directory->currentText().toStdString(), "/data/tiles/");
  EXPECT_EQ(main().PlannedFiles[0].Directory, "/data/tiles/");

  // An empty box becomes the root.
  directory->setFocus();
  directory->lineEdit()->clear();
  title->setFocus();
  EXPECT_EQ(directory->currentText().toStdString(), "/");
  EXPECT_EQ(main().PlannedFiles[0].Directory, "/");
}

TEST_F(MainWindowTest, UseExistingEnablesCreateNewAndOptionsAreSavedOnClose) {
  ui::MainWindow& w = OpenMainWindow();
  auto* useExisting = Control<QCheckBox>(&w, "chkUseExisting");
  auto* createNew = Control<QCheckBox>(&w, "chkCreateNew");
  if (!useExisting->isChecked()) QTest::mouseClick(useExisting, Qt::LeftButton);
  EXPECT_TRUE(createNew->isEnabled());
  if (!createNew->isChecked()) QTest::mouseClick(createNew, Qt::LeftButton);
  ASSERT_TRUE(main().chkCreateNew.ticked);

  QTest::mouseClick(useExisting, Qt::LeftButton);
  EXPECT_FALSE(main().chkUseExisting.ticked);
  EXPECT_FALSE(createNew->isEnabled());
  EXPECT_TRUE(createNew->isChecked());
  EXPECT_TRUE(main().chkCreateNew.ticked);

  QTest::mouseClick(Control<QCheckBox>(&w, "chkLogExcluded"), Qt::LeftButton);
  const bool logExcluded = main().chkLogExcluded.ticked;
  w.close();
  const std::string ini = Config().userDefaultsIniPath;
  EXPECT_EQ(ReadINI(kSettingsSection, kOptionLogExcluded.key, "", ini), logExcluded ? "Yes" : "No");
  EXPECT_EQ(ReadINI(kSettingsSection, kOptionUseExisting.key, "", ini), "No");
  EXPECT_EQ(ReadINI(kSettingsSection, kOptionCreateNew.key, "", ini), "Yes");
}

TEST_F(MainWindowTest, WindowOpensWhereItWasClosed) {
  ui::MainWindow& first = OpenMainWindow();
  const QRect available = first.screen()->availableGeometry();
  first.move(available.topLeft() + QPoint(37, 21));
  first.close();
  const std::string ini = Config().userDefaultsIniPath;
  EXPECT_EQ(ReadINI("CONFIG", "frmMain-X", "", ini), "37");
  EXPECT_EQ(ReadINI("CONFIG", "frmMain-Y", "", ini), "21");

  ui::MainWindow& second = OpenMainWindow();
  EXPECT_EQ(second.pos() - available.topLeft(), QPoint(37, 21));
}

}  // namespace
}  // namespace tilbo::testing
