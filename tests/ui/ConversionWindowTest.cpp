#include "ui/ConversionWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <vector>

#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

class ConversionWindowTest : public WindowTest {
 protected:
  // Reads the quadrangle and points every tile at the target directory.
  void LoadForTarget(const std::string& quad) {
    OpenMainWindow();
    Browse(quad);
    for (std::size_t i = 0; i < main().PlannedFiles.size(); ++i) {
      auto* directory = Control<QComboBox>(window.get(), "cboDirectories");
      directory->lineEdit()->clear();
      QTest::keyClicks(directory->lineEdit(), QString::fromStdString(target.dir()));
      if (i + 1 < main().PlannedFiles.size()) {
        QTest::mouseClick(Control<QPushButton>(window.get(), "cmdNextFile"), Qt::LeftButton);
      }
    }
  }

  // Temporary tiles (their names end in " NEW") and run folders left in the program's directory.
  std::vector<std::string> TemporaryFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(environment.home.path())) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(" NEW") || name.starts_with("run-")) names.push_back(name);
    }
    return names;
  }

  // What the window shows equals its logic's state: the rows, the status
  // line, the command button and the bar.
  static void ExpectShowsItsLogic(QWidget* window) {
    const frmConversion& run = qobject_cast<ui::ConversionWindow*>(window)->logic();
    auto* list = Control<QListWidget>(window, "lstFiles");
    for (int i = 0; i < list->count(); ++i) EXPECT_EQ(list->item(i)->text().toStdString(), run.lstFiles.at(i).text);
    EXPECT_EQ(Control<QLabel>(window, "lblCurrentAction")->text().toStdString(), run.lblCurrentAction);
    EXPECT_EQ(Control<QPushButton>(window, "cmdCommand")->text().toStdString(), run.cmdCommandCaption);
    EXPECT_EQ(Control<QProgressBar>(window, "pbProgress")->value(), run.pbValue);
  }

  TempDir target;
};

TEST_F(ConversionWindowTest, ConvertRunsTheWindowToTheSummaryAndPlacesTheTile) {
  LoadForTarget(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
  const std::string tileName = main().PlannedFiles[0].FileName;

  WhenModalOpens([&](QWidget* modal) {
    auto* conversion = qobject_cast<ui::ConversionWindow*>(modal);
    ASSERT_NE(conversion, nullptr);
    auto* list = Control<QListWidget>(conversion, "lstFiles");
    auto* command = Control<QPushButton>(conversion, "cmdCommand");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text().toStdString(), tileName + " (No conflicts.)");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(command->text().toStdString(), "&Begin");
    EXPECT_TRUE(Control<QPushButton>(conversion, "cmdCancel")->isVisible());
    EXPECT_EQ(Control<QLabel>(conversion, "lblCurrentAction")->text().toStdString(), "Selecting files to create...");

    QTest::mouseClick(command, Qt::LeftButton);  // Begin: the whole run
    EXPECT_EQ(command->text().toStdString(), "&Close Window");
    EXPECT_FALSE(Control<QPushButton>(conversion, "cmdCancel")->isVisible());
    auto* progress = Control<QProgressBar>(conversion, "pbProgress");
    EXPECT_EQ(progress->maximum(), conversion->logic().pbMax);
    EXPECT_EQ(progress->value(), progress->maximum());
    EXPECT_EQ(list->item(0)->text().toStdString(), tileName + " (Saved.)");
    QTest::mouseClick(command, Qt::LeftButton);  // Close Window
  });
  QTest::mouseClick(Control<QPushButton>(window.get(), "cmdConvert"), Qt::LeftButton);

  ASSERT_EQ(prompter.Recorded().size(), 1u);
  const ui::RecordedBox& summary = prompter.Recorded()[0];
  EXPECT_EQ(summary.icon, QMessageBox::NoIcon);
  EXPECT_EQ(summary.title.toStdString(), "CTG Tilbo");
  EXPECT_TRUE(summary.text.startsWith("The conversion process is complete.\n\nSuccess:\t\t\tYes.\n")) << summary.text.toStdString();
  EXPECT_TRUE(std::filesystem::exists(target.file(tileName)));
  EXPECT_TRUE(TemporaryFiles().empty());
  // A converted file leaves the main window in its no-file state.
  EXPECT_EQ(main().CurrentFile, 0);
  EXPECT_FALSE(Control<QPushButton>(window.get(), "cmdConvert")->isEnabled());
}

TEST_F(ConversionWindowTest, SkewQuestionAndCancelAreAnsweredThroughMessageBoxesWhileTheBarMoves) {
  // A southern-hemisphere tile always reports skew when it is created.
  LoadForTarget(WriteQuadrangle(data, "south.ctg", -35, -60, 2));
  const std::size_t tiles = main().PlannedFiles.size();
  ASSERT_GE(tiles, 1u);
  for (std::size_t i = 0; i < tiles; ++i) prompter.AddReply(Reply::Yes);  // go on creating the tile
  prompter.AddReply(Reply::No);   // the first cancel: no, go on
  prompter.AddReply(Reply::Yes);  // the second: yes, cancel

  std::vector<int> progressSeen;
  int cancelPresses = 0;
  // While each box is up, the window behind it shows the run as it stands.
  std::vector<std::string> rowsUnderBoxes;
  prompter.inspector = [&](QMessageBox&) {
    QWidget* conversion = QApplication::activeModalWidget();
    ExpectShowsItsLogic(conversion);
    rowsUnderBoxes.push_back(Control<QListWidget>(conversion, "lstFiles")->item(0)->text().toStdString());
  };
  WhenModalOpens([&](QWidget* modal) {
    auto* conversion = qobject_cast<ui::ConversionWindow*>(modal);
    ASSERT_NE(conversion, nullptr);
    auto* command = Control<QPushButton>(conversion, "cmdCommand");
    auto* progress = Control<QProgressBar>(conversion, "pbProgress");
    // Runs each time the copy lets window events through.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      if (conversion->logic().lblCurrentAction != "Copying data...") return;
      progressSeen.push_back(progress->value());
      // The second press comes after the copy has moved on from the first.
      if (cancelPresses == 0 || (cancelPresses == 1 && progressSeen.size() >= 3)) {
        EXPECT_EQ(command->text().toStdString(), "&Cancel");
        QTest::mouseClick(command, Qt::LeftButton);
        ++cancelPresses;
      }
    });
    user.start(0);
    QTest::mouseClick(command, Qt::LeftButton);  // Begin
    user.stop();
    EXPECT_EQ(command->text().toStdString(), "&Close Window");
    QTest::mouseClick(command, Qt::LeftButton);
  });
  QTest::mouseClick(Control<QPushButton>(window.get(), "cmdConvert"), Qt::LeftButton);

  EXPECT_EQ(cancelPresses, 2);
  ASSERT_GE(progressSeen.size(), 3u);
  EXPECT_LT(progressSeen.front(), progressSeen.back());
  EXPECT_TRUE(std::is_sorted(progressSeen.begin(), progressSeen.end()));

  const std::vector<ui::RecordedBox>& boxes = prompter.Recorded();
  ASSERT_EQ(boxes.size(), tiles + 3);
  for (std::size_t i = 0; i < tiles; ++i) {
    EXPECT_EQ(boxes[i].icon, QMessageBox::Warning);
    EXPECT_TRUE(boxes[i].question);
    EXPECT_TRUE(boxes[i].text.startsWith("There was an internal error while creating this file."));
    EXPECT_EQ(boxes[i].defaultButton, QMessageBox::Yes);
  }
  for (std::size_t i = tiles; i < tiles + 2; ++i) {
    EXPECT_EQ(boxes[i].icon, QMessageBox::Question);
    EXPECT_EQ(boxes[i].text.toStdString(), "Are you sure you want to cancel the conversion process?");
    EXPECT_EQ(boxes[i].defaultButton, QMessageBox::No);
    EXPECT_EQ(boxes[i].title.toStdString(), "CTG Tilbo");
  }
  EXPECT_EQ(boxes[tiles].reply, Reply::No);
  EXPECT_EQ(boxes[tiles + 1].reply, Reply::Yes);
  EXPECT_EQ(boxes.back().text.toStdString(), "The conversion process is complete.\n\nSuccess:\tNo (Canceled)");
  ASSERT_EQ(rowsUnderBoxes.size(), boxes.size());
  EXPECT_TRUE(rowsUnderBoxes[0].ends_with(" (Creating...)")) << rowsUnderBoxes[0];
  EXPECT_TRUE(rowsUnderBoxes.back().ends_with(" (Complete)")) << rowsUnderBoxes.back();

  // Cancelled: nothing placed, nothing left behind, the file still loaded.
  EXPECT_FALSE(main().ConvertSuccess);
  EXPECT_TRUE(std::filesystem::is_empty(target.path()));
  EXPECT_TRUE(TemporaryFiles().empty());
  EXPECT_EQ(main().CurrentFile, static_cast<int16_t>(tiles));
  EXPECT_TRUE(Control<QPushButton>(window.get(), "cmdConvert")->isEnabled());
}

TEST_F(ConversionWindowTest, ExistingTileStartsUntickedAndDoubleClickShowsTheConflict) {
  LoadForTarget(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
  const PlannedFile tile = main().PlannedFiles[0];
  const std::string existing = target.file(tile.FileName);
  WriteWholeFile(existing, "an older tile");

  WhenModalOpens([&](QWidget* modal) {
    auto* list = Control<QListWidget>(modal, "lstFiles");
    auto* command = Control<QPushButton>(modal, "cmdCommand");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text().toStdString(), tile.FileName + " (Exists in directory.)");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);

    // Nothing ticked: the run does not start.
    QTest::mouseClick(command, Qt::LeftButton);
    EXPECT_EQ(command->text().toStdString(), "&Begin");

    const QPoint row = list->visualItemRect(list->item(0)).center();
    DoubleClick(list->viewport(), row);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_TRUE(qobject_cast<ui::ConversionWindow*>(modal)->logic().lstFiles[0].ticked);

    // Escape before the run closes the window without converting.
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  QTest::mouseClick(Control<QPushButton>(window.get(), "cmdConvert"), Qt::LeftButton);

  const std::vector<ui::RecordedBox>& boxes = prompter.Recorded();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
  EXPECT_TRUE(boxes[0].text.startsWith("You must select at least one of the files above"));
  EXPECT_EQ(boxes[1].icon, QMessageBox::Information);
  EXPECT_TRUE(boxes[1].text.startsWith(QString::fromStdString(
      "This file, " + tile.Directory + tile.FileName + ", conflicts with an existing file.")));
  EXPECT_TRUE(boxes[1].text.contains(QString::fromStdString("\tName:\t" + existing + "\n")));
  EXPECT_EQ(ReadWholeFile(existing), "an older tile");
  EXPECT_FALSE(main().ConvertSuccess);
  EXPECT_EQ(main().CurrentFile, 1);
}

}  // namespace
}  // namespace tilbo::testing
