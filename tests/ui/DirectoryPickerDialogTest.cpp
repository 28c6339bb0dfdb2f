#include "ui/DirectoryPickerDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>
#include <filesystem>

#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

struct Owner final : DirectoriesOwner {
  void ReadDirectories() override {}
  void SetDirectoryText(const std::string& text) override { directory = text; }
  std::string directory = "unchanged";
};

class DirectoryPickerDialogTest : public WindowTest {
 protected:
  DirectoryPickerDialogTest() {
    std::filesystem::create_directories(data.path() / "a" / "inner");
    std::filesystem::create_directories(data.path() / "b");
    picker.Load();
  }

  // The drive list, the path and the tree's selection show the logic's path.
  void ExpectShowsItsPath(ui::DirectoryPickerDialog& dialog) {
    EXPECT_EQ(Control<QComboBox>(&dialog, "drlbDrives")->currentIndex(), picker.selectedDrive);
    const QString shown = Control<QLabel>(&dialog, "lblPath")->text();
    EXPECT_TRUE(std::filesystem::equivalent(shown.toStdString(), picker.path)) << shown.toStdString();
    EXPECT_EQ(dialog.ItemFor(shown), Control<QTreeWidget>(&dialog, "dilbDirectories")->currentItem());
  }

  Owner owner;
  // The data directory stands for a second mounted drive.
  frmDirectories picker{owner, prompter, {"/", data.path().string()}};
};

TEST_F(DirectoryPickerDialogTest, EveryControlReachesThePickerAndTheTreeShowsItsPath) {
  ui::DirectoryPickerDialog dialog(picker, data.file("a"), nullptr);
  dialog.show();
  EXPECT_EQ(picker.path, data.file("a"));  // opened on the tile's directory, on its drive
  EXPECT_EQ(picker.selectedDrive, 1);
  ExpectShowsItsPath(dialog);
  auto* drives = Control<QComboBox>(&dialog, "drlbDrives");
  auto* tree = Control<QTreeWidget>(&dialog, "dilbDirectories");
  // A click on the directory, or on its arrow (left of it, one indentation).
  auto click = [&](const std::string& path, bool arrow) {
    QTreeWidgetItem* item = dialog.ItemFor(QString::fromStdString(path));
    ASSERT_NE(item, nullptr) << path;
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    const QPoint at = arrow ? QPoint(rect.left() - tree->indentation() / 2, rect.center().y()) : rect.center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  };
  const struct {
    const char* what;
    std::function<void()> act;
    std::string path;
  } steps[] = {
      {"drive's root clicked", [&] { click(data.path().string(), false); }, data.path().string()},
      {"directory clicked", [&] { click(data.file("b"), false); }, data.file("b")},
      // An arrow closes and opens a listed directory and keeps the selection;
      // one not listed yet is selected, which lists it.
      {"arrow of a listed one, twice", [&] { click(data.file("a"), true);
         click(data.file("a"), true); },
       data.file("b")},
      {"arrow of one not listed", [&] { click(data.file("a/inner"), true); }, data.file("a/inner")},
      {"drive /", [&] { QTest::keyClick(drives, Qt::Key_Up); }, "/"},
      {"drive data", [&] { QTest::keyClick(drives, Qt::Key_Down); }, data.dir()},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(picker.path, step.path);
    ExpectShowsItsPath(dialog);
  }
  Press(&dialog, "cmdOK");
  EXPECT_EQ(owner.directory, data.dir());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(prompter.Recorded().size(), 1u);  // not a LUC directory yet: add it?
}

TEST_F(DirectoryPickerDialogTest, CancelLeavesTheOwnersDirectory) {
  ui::DirectoryPickerDialog dialog(picker, data.file("b"), nullptr);
  dialog.show();
  Press(&dialog, "cmdCancel");
  EXPECT_TRUE(picker.closed);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(owner.directory, "unchanged");
}

}  // namespace
}  // namespace tilbo::testing
