#include "ui/DirectoryPickerDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "registry/INISections.h"
#include "suite/SuiteConfig.h"
#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

class DirectoryPickerDialogTest : public WindowTest {
 protected:
  DirectoryPickerDialogTest() { std::filesystem::create_directory(luc); }

  // Selects a directory of the tree as the user does: a click on it.
  static void Select(ui::DirectoryPickerDialog& picker, const QString& path) {
    QTreeWidgetItem* item = picker.ItemFor(path);
    ASSERT_NE(item, nullptr) << "no entry " << path.toStdString();
    auto* tree = Control<QTreeWidget>(&picker, "dilbDirectories");
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  }

  // The picker opens on the tile's directory, selected; from the root down,
  // each directory is selected and opened with the arrow key, then OK
  // takes the one selected last.
  void PickWithOk(const std::string& directory) {
    WhenModalOpens([directory, tileDirectory = main().cboDirectories.text](QWidget* modal) {
      auto* picker = qobject_cast<ui::DirectoryPickerDialog*>(modal);
      ASSERT_NE(picker, nullptr);
      EXPECT_EQ(picker->windowTitle().toStdString(), "Browse Directories");
      EXPECT_EQ(Control<QComboBox>(picker, "drlbDrives")->currentText().toStdString(), "/");
      auto* tree = Control<QTreeWidget>(picker, "dilbDirectories");
      EXPECT_EQ(picker->logic().path, tileDirectory);
      EXPECT_EQ(tree->currentItem()->data(0, Qt::UserRole).toString().toStdString(), tileDirectory);
      QString path = "/";
      for (const QString& name : QString::fromStdString(directory).split('/', Qt::SkipEmptyParts)) {
        Select(*picker, path);
        QTest::keyClick(tree, Qt::Key_Right);
        path = path == "/" ? "/" + name : path + "/" + name;
      }
      Select(*picker, path);
      EXPECT_EQ(picker->logic().path, directory);
      QTest::mouseClick(Control<QPushButton>(picker, "cmdOK"), Qt::LeftButton);
    });
    QTest::mouseClick(Control<QPushButton>(window.get(), "cmdDirectories"), Qt::LeftButton);
  }

  // Opens the main window on a quadrangle whose tile goes into `data`.
  void LoadQuadrangle() {
    OpenMainWindow();
    Browse(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
    auto* directory = Control<QComboBox>(window.get(), "cboDirectories");
    directory->lineEdit()->clear();
    QTest::keyClicks(directory->lineEdit(), QString::fromStdString(data.path().string()));
  }

  std::vector<INIEntry> Listed() const {
    return ReadINISection("LULC Directories", Config().userDefaultsIniPath);
  }

  const std::string luc = data.file("luc");
};

TEST_F(DirectoryPickerDialogTest, PickedDirectoryIsOfferedForTheListAndBecomesTheTilesDirectory) {
  LoadQuadrangle();
  prompter.AddReply(Reply::Yes);
  PickWithOk(luc);

  ASSERT_EQ(prompter.Recorded().size(), 1u);
  const ui::RecordedBox& question = prompter.Recorded()[0];
  EXPECT_EQ(question.icon, QMessageBox::Question);
  EXPECT_EQ(question.text.toStdString(), "The directory you selected, " + luc +
                                             "/, is not one of the directories that GAV will search in for LUC "
                                             "files.\n\nWould you like to add this directory to that list now?");
  const std::vector<INIEntry> listed = Listed();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].Key, "Directory 1");
  EXPECT_EQ(listed[0].Value, luc + "/");
  // The main window lists it and shows the picked directory as the tile's.
  auto* box = Control<QComboBox>(window.get(), "cboDirectories");
  ASSERT_EQ(box->count(), 1);
  EXPECT_EQ(box->itemText(0).toStdString(), luc + "/");
  EXPECT_EQ(box->currentText().toStdString(), luc);
  EXPECT_EQ(main().PlannedFiles[0].Directory, luc);

  // Picked again: already listed, so nothing is asked and the list stays.
  prompter.ClearRecorded();
  PickWithOk(luc);
  EXPECT_TRUE(prompter.Recorded().empty());
  EXPECT_EQ(Listed().size(), 1u);
}

TEST_F(DirectoryPickerDialogTest, NoKeepsTheListAndCancelChangesNothing) {
  LoadQuadrangle();
  const std::string before = main().PlannedFiles[0].Directory;

  WhenModalOpens([this](QWidget* modal) {
    auto* picker = qobject_cast<ui::DirectoryPickerDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    // Wandering into a directory and cancelling leaves the tile's directory.
    const std::string top = "/" + std::next(data.path().begin())->string();
    Select(*picker, QString::fromStdString(top));
    EXPECT_EQ(picker->logic().path, top);
    QTest::mouseClick(Control<QPushButton>(picker, "cmdCancel"), Qt::LeftButton);
  });
  QTest::mouseClick(Control<QPushButton>(window.get(), "cmdDirectories"), Qt::LeftButton);
  EXPECT_EQ(main().PlannedFiles[0].Directory, before);
  EXPECT_TRUE(prompter.Recorded().empty());

  prompter.AddReply(Reply::No);
  PickWithOk(luc);
  ASSERT_EQ(prompter.Recorded().size(), 1u);
  EXPECT_EQ(prompter.Recorded()[0].reply, Reply::No);
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(main().PlannedFiles[0].Directory, luc);
}

}  // namespace
}  // namespace tilbo::testing
