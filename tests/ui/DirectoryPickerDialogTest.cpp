#include "ui/DirectoryPickerDialog.h"

#include <QTreeWidget>
#include <filesystem>

#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

class DirectoryPickerDialogTest : public WindowTest, public DirectoriesOwner {
 protected:
  DirectoryPickerDialogTest() {
    std::filesystem::create_directories(data.path() / "a" / "inner");
    picker.Load();
  }
  void ReadDirectories() override {}
  void SetDirectoryText(const std::string& text) override { picked = text; }

  std::string picked = "none";
  // The data directory stands for a second mounted drive.
  frmDirectories picker{*this, prompter, {"/", data.path().string()}};
};

TEST_F(DirectoryPickerDialogTest, EveryControlReachesThePickerAndTheTreeShowsItsPath) {
  ui::DirectoryPickerDialog dialog(picker, data.file("a"), nullptr);
  dialog.show();
  auto* tree = Control<QTreeWidget>(&dialog, "dilbDirectories");
  // A click on a directory, or on its arrow (one indentation left of it).
  auto click = [&](const std::string& path, bool arrow) {
    QTreeWidgetItem* item = dialog.ItemFor(QString::fromStdString(path));
    ASSERT_NE(item, nullptr) << path;
    const QRect rect = tree->visualItemRect(item);
    const QPoint at = arrow ? QPoint(rect.left() - tree->indentation() / 2, rect.center().y()) : rect.center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  };
  const struct {
    const char* what;
    std::function<void()> act;
    std::string path;
  } steps[] = {
      {"opened on the tile's directory, on its drive", [] {}, data.file("a")},
      {"drive's root clicked", [&] { click(data.path().string(), false); }, data.path().string()},
      // An arrow closes and opens a listed directory and keeps the selection;
      // one not listed yet is selected, which lists it.
      {"arrow of a listed one, twice",
       [&] { for (int i = 0; i < 2; ++i) click(data.file("a"), true); }, data.path().string()},
      {"arrow of one not listed", [&] { click(data.file("a/inner"), true); }, data.file("a/inner")},
      {"drive /", [&] { QTest::keyClick(Control(&dialog, "drlbDrives"), Qt::Key_Up); }, "/"},
      {"drive data", [&] { QTest::keyClick(Control(&dialog, "drlbDrives"), Qt::Key_Down); }, data.dir()},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(picker.path, step.path);
    // The drive list, the path and the tree's selection show the logic's path.
    EXPECT_EQ(Control<QComboBox>(&dialog, "drlbDrives")->currentIndex(), picker.selectedDrive);
    EXPECT_TRUE(std::filesystem::equivalent(Shown(&dialog, "lblPath"), picker.path));
    EXPECT_EQ(dialog.ItemFor(QString::fromStdString(Shown(&dialog, "lblPath"))), tree->currentItem());
  }
  Press(&dialog, "cmdOK");
  EXPECT_EQ(picked, data.dir());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(prompter.Recorded().size(), 1u);  // not a LUC directory yet: add it?
}

TEST_F(DirectoryPickerDialogTest, CancelLeavesTheOwnersDirectory) {
  ui::DirectoryPickerDialog dialog(picker, data.file("a"), nullptr);
  dialog.show();
  Press(&dialog, "cmdCancel");
  EXPECT_TRUE(picker.closed);
  EXPECT_EQ(picked, "none");
}

}  // namespace
}  // namespace tilbo::testing
