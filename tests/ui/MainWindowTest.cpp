#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
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
using ::testing::ElementsAreArray;

const std::pair<const char*, CheckBox frmMain::*> kOptions[] = {
    {"chkUseExisting", &frmMain::chkUseExisting},  // first: it enables chkCreateNew
    {"chkCreateNew", &frmMain::chkCreateNew},
    {"chkDeleteOldFile", &frmMain::chkDeleteOldFile},
    {"chkOverwrite", &frmMain::chkOverwrite},
    {"chkLogExcluded", &frmMain::chkLogExcluded}};

// Every widget of the window shows the value its logic holds.
void ExpectShowsItsLogic(ui::MainWindow& w) {
  const frmMain& logic = w.logic();
  const std::pair<const char*, const std::string&> labels[] = {
      {"lblFilename", logic.lblFilename},         {"lblDirectory", logic.lblDirectory},
      {"lblTitle", logic.lblTitle},               {"lblLatLonQuad", logic.lblLatLonQuad},
      {"lblUTMRefCorner", logic.lblUTMRefCorner}, {"lblCellSize", logic.lblCellSize},
      {"lblCurFile", logic.lblCurFile},           {"lblNewFilename", logic.lblNewFilename}};
  for (const auto& [name, value] : labels) EXPECT_EQ(Control<QLabel>(&w, name)->text().toStdString(), value) << name;
  auto* directories = Control<QComboBox>(&w, "cboDirectories");
  std::vector<std::string> items;
  for (int i = 0; i < directories->count(); ++i) items.push_back(directories->itemText(i).toStdString());
  EXPECT_THAT(items, ElementsAreArray(logic.cboDirectories.items));
  EXPECT_EQ(directories->currentText().toStdString(), logic.cboDirectories.text);
  EXPECT_EQ(directories->isEnabled(), logic.cboDirectories.enabled);
  EXPECT_EQ(Control<QLineEdit>(&w, "txtNewTitle")->text().toStdString(), logic.txtNewTitle.text);
  EXPECT_EQ(Control<QLineEdit>(&w, "txtNewTitle")->isEnabled(), logic.txtNewTitle.enabled);
  const std::pair<const char*, bool> buttons[] = {{"cmdPreviousFile", logic.cmdPreviousFileEnabled},
                                                  {"cmdNextFile", logic.cmdNextFileEnabled},
                                                  {"cmdDirectories", logic.cmdDirectoriesEnabled},
                                                  {"cmdConvert", logic.cmdConvertEnabled}};
  for (const auto& [name, enabled] : buttons) EXPECT_EQ(Control<QPushButton>(&w, name)->isEnabled(), enabled) << name;
  EXPECT_EQ(Control<QPushButton>(&w, "cmdBrowse")->isDefault(), logic.defaultButton == DefaultButton::Browse);
  EXPECT_EQ(Control<QPushButton>(&w, "cmdConvert")->isDefault(), logic.defaultButton == DefaultButton::Convert);
  for (const auto& [name, option] : kOptions) {
    EXPECT_EQ(Control<QCheckBox>(&w, name)->isChecked(), (logic.*option).ticked) << name;
    EXPECT_EQ(Control<QCheckBox>(&w, name)->isEnabled(), (logic.*option).enabled) << name;
  }
}

TEST_F(MainWindowTest, EveryControlReachesItsHandlerAndTheWindowShowsTheResult) {
  const std::string luc1 = data.file("luc1"), luc2 = data.file("luc2");
  std::filesystem::create_directory(luc1);
  std::filesystem::create_directory(luc2);
  WriteINI("LULC Directories", "Directory 1", luc1, Config().userDefaultsIniPath);
  WriteINI("LULC Directories", "Directory 2", luc2, Config().userDefaultsIniPath);
  ui::MainWindow& w = OpenMainWindow();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  ExpectShowsItsLogic(w);

  // Enter presses the default button, Browse; a cancelled dialog changes nothing.
  w.fileDialog.answers.push_back(std::nullopt);
  QTest::keyClick(&w, Qt::Key_Return);
  ASSERT_EQ(w.fileDialog.asked.size(), 1u);
  EXPECT_EQ(w.fileDialog.asked[0].title, "Open USGS CTG File");
  EXPECT_EQ(main().CurrentFile, 0);
  const std::string quad = WriteQuadrangle(data, "three.ctg", 44, -72, 3);
  Browse(quad);
  ASSERT_EQ(main().PlannedFiles.size(), 3u);
  ASSERT_NE(w.recordBrowserWindow(), nullptr);
  EXPECT_TRUE(w.recordBrowserWindow()->isVisible());
  ExpectShowsItsLogic(w);

  auto* directory = Control<QComboBox>(&w, "cboDirectories");
  auto* title = Control<QLineEdit>(&w, "txtNewTitle");
  auto retype = [](QWidget* field, const char* text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
  };
  const PlannedFile& first = main().PlannedFiles[0];
  std::size_t rowsListed = 0;
  const struct Step {
    const char* what;
    std::function<void()> act;
    std::function<bool()> done;
  } steps[] = {
      {"View Next", [&] { Press(&w, "cmdNextFile"); }, [&] { return main().CurrentFile == 2; }},
      {"View Previous", [&] { Press(&w, "cmdPreviousFile"); }, [&] { return main().CurrentFile == 1; }},
      {"title typed", [&] { retype(title, "FIRST TILE"); }, [&] { return first.Title == "FIRST TILE"; }},
      // Typing inside the text keeps the cursor where the user types.
      {"directory typed",
       [&] {
         directory->setFocus();
         retype(directory->lineEdit(), "/data/luc");
         QTest::keyClick(directory->lineEdit(), Qt::Key_Home);
         QTest::keyClicks(directory->lineEdit(), "/x");
       },
       [&] { return first.Directory == "/x/data/luc"; }},
      {"directory left", [&] { title->setFocus(); }, [&] { return first.Directory == "/x/data/luc/"; }},
      {"directory chosen from the list",
       [&] {
         directory->setFocus();
         QTest::keyClick(directory, Qt::Key_Down);
       },
       [&] { return main().cboDirectories.selected == 1 && first.Directory == luc2 + "/"; }},
      // The picker opens on the tile's directory; OK takes the one shown.
      {"directory picked",
       [&] {
         WhenModalOpens([](QWidget* picker) {
           ASSERT_NE(qobject_cast<ui::DirectoryPickerDialog*>(picker), nullptr);
           Press(picker, "cmdOK");
         });
         Press(&w, "cmdDirectories");
       },
       [&] { return first.Directory == luc2; }},
      // The conversion window lists the tiles; Escape leaves it unconverted.
      {"Convert",
       [&] {
         WhenModalOpens([&](QWidget* run) {
           if (auto* conversion = qobject_cast<ui::ConversionWindow*>(run)) rowsListed = conversion->logic().lstFiles.size();
           QTest::keyClick(run, Qt::Key_Escape);
         });
         Press(&w, "cmdConvert");
       },
       [&] { return rowsListed == 3 && !main().ConvertSuccess && main().CurrentFile == 1; }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_TRUE(step.done());
    ExpectShowsItsLogic(w);
  }
  for (const auto& [name, option] : kOptions) {
    SCOPED_TRACE(name);
    const bool before = (main().*option).ticked;
    QTest::keyClick(Control<QCheckBox>(&w, name), Qt::Key_Space);
    EXPECT_NE((main().*option).ticked, before);
    ExpectShowsItsLogic(w);
  }
  EXPECT_TRUE(prompter.Recorded().empty());

  // Closed, the window saves its place and its options; the next opens so.
  const QRect available = w.screen()->availableGeometry();
  w.move(available.topLeft() + QPoint(37, 21));
  const bool logExcluded = main().chkLogExcluded.ticked;
  w.close();
  ui::MainWindow& next = OpenMainWindow();
  EXPECT_EQ(next.pos() - available.topLeft(), QPoint(37, 21));
  EXPECT_EQ(Control<QCheckBox>(&next, "chkLogExcluded")->isChecked(), logExcluded);
}

// The captions as given, and "All Files (*.*)" lists USGS's names without a dot.
TEST_F(MainWindowTest, OpenFileDialogShowsTheCaptionsAndAllFilesListsNamesWithoutADot) {
  OpenMainWindow();
  WriteWholeFile(data.file("grid_cell"), "");
  Browse(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));  // the next dialog opens in `data`
  WhenModalOpens([](QWidget* dialog) {
    auto* choices = Control<QComboBox>(dialog, "fileTypeCombo");
    ASSERT_EQ(choices->count(), 2);
    EXPECT_EQ(choices->itemText(1).toStdString(), "All Files (*.*)");
    QTest::keyClick(choices, Qt::Key_Down);
    auto* files = Control<QListView>(dialog, "listView");
    // The directory is read in the background.
    EXPECT_TRUE(QTest::qWaitFor([files] {
      return !files->model()->match(files->model()->index(0, 0, files->rootIndex()), Qt::DisplayRole,
                                    QStringLiteral("grid_cell"), 1, Qt::MatchExactly).isEmpty();
    }));
    qobject_cast<QDialog*>(dialog)->reject();
  });
  Press(window.get(), "cmdBrowse");
}

}  // namespace
}  // namespace tilbo::testing
