#include "ui/ConversionWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <filesystem>

#include "ui/TextBridge.h"
#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using ::testing::EndsWith;
using ::testing::SizeIs;

class ConversionWindowTest : public WindowTest {
 protected:
  // Reads the quadrangle with every tile going to the target directory.
  void LoadForTarget(const std::string& quad) {
    OpenMainWindow();
    Browse(quad);
    for (PlannedFile& tile : main().PlannedFiles) tile.Directory = target.dir();
  }

  // What the window shows equals its logic's state.
  static void ExpectShowsItsLogic(QWidget* window) {
    const frmConversion& run = qobject_cast<ui::ConversionWindow*>(window)->logic();
    auto* list = Control<QListWidget>(window, "lstFiles");
    ASSERT_EQ(list->count(), static_cast<int>(run.lstFiles.size()));
    for (int i = 0; i < list->count(); ++i) {
      EXPECT_EQ(list->item(i)->text().toStdString(), run.lstFiles[i].text);
      EXPECT_EQ(list->item(i)->checkState() == Qt::Checked, run.lstFiles[i].ticked);
    }
    EXPECT_EQ(Control<QLabel>(window, "lblCurrentAction")->text().toStdString(), run.lblCurrentAction);
    EXPECT_EQ(Control<QPlainTextEdit>(window, "txtDirections")->toPlainText(), ui::FromMessageText(run.txtDirections));
    auto* command = Control<QPushButton>(window, "cmdCommand");
    EXPECT_EQ(command->text().toStdString(), run.cmdCommandCaption);
    EXPECT_EQ(command->isEnabled(), run.cmdCommandEnabled);
    EXPECT_EQ(Control<QPushButton>(window, "cmdCancel")->isVisibleTo(window), run.cmdCancelVisible);
    EXPECT_EQ(Control<QProgressBar>(window, "pbProgress")->value(), run.pbValue);
  }

  TempDir target;
};

// Before the run: Begin, a tick, a double-click, and the two ways out.
TEST_F(ConversionWindowTest, EveryControlReachesTheRunBeforeItStarts) {
  LoadForTarget(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
  const std::string existing = target.file(main().PlannedFiles[0].FileName);
  WriteWholeFile(existing, "an older tile");
  for (const bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "Cancel");
    prompter.ClearRecorded();
    WhenModalOpens([&](QWidget* modal) {
      auto* conversion = qobject_cast<ui::ConversionWindow*>(modal);
      ASSERT_NE(conversion, nullptr);
      const frmConversion& run = conversion->logic();
      auto* list = Control<QListWidget>(modal, "lstFiles");
      ExpectShowsItsLogic(modal);
      ASSERT_FALSE(run.lstFiles[0].ticked);  // the tile exists
      Press(modal, "cmdCommand");  // Begin with nothing ticked: refused
      EXPECT_FALSE(run.Started);
      list->setCurrentRow(0);
      QTest::keyClick(list, Qt::Key_Space);
      EXPECT_TRUE(run.lstFiles[0].ticked);
      const QPoint row = list->visualItemRect(list->item(0)).center();
      // A double-click as the system delivers it (QTest's sends only the second click).
      QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row);
      QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row);
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
      QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row);
      EXPECT_FALSE(run.lstFiles[0].ticked);  // and the conflict is shown
      ExpectShowsItsLogic(modal);
      if (escape) {
        QTest::keyClick(modal, Qt::Key_Escape);
      } else {
        Press(modal, "cmdCancel");
      }
    });
    Press(window.get(), "cmdConvert");
    ASSERT_THAT(prompter.Recorded(), SizeIs(2));
    EXPECT_TRUE(prompter.Recorded()[0].text.startsWith("You must select at least one"));
    EXPECT_TRUE(prompter.Recorded()[1].text.contains(QString::fromStdString(existing)));
  }
  EXPECT_EQ(ReadWholeFile(existing), "an older tile");
  EXPECT_FALSE(main().ConvertSuccess);
}

// During the run: the Cancel button and Escape reach the running copy, and
// every message box stands over the window as the run stands.
TEST_F(ConversionWindowTest, CancelDuringTheRunAndBoxesOverTheCurrentState) {
  // A southern-hemisphere tile always reports skew when it is created.
  LoadForTarget(WriteQuadrangle(data, "south.ctg", -35, -60, 2));
  const std::size_t tiles = main().PlannedFiles.size();
  for (std::size_t i = 0; i < tiles; ++i) prompter.AddReply(Reply::Yes);  // go on creating the tile
  prompter.AddReply(Reply::No);   // the Cancel button: no, go on
  prompter.AddReply(Reply::Yes);  // Escape: yes, cancel

  std::vector<std::string> rowsUnderBoxes;
  prompter.inspector = [&](QMessageBox&) {
    QWidget* conversion = QApplication::activeModalWidget();
    ExpectShowsItsLogic(conversion);
    rowsUnderBoxes.push_back(Control<QListWidget>(conversion, "lstFiles")->item(0)->text().toStdString());
  };
  std::vector<int> progressSeen;
  WhenModalOpens([&](QWidget* modal) {
    auto* conversion = qobject_cast<ui::ConversionWindow*>(modal);
    ASSERT_NE(conversion, nullptr);
    // Runs each time the copy lets window events through; the second request
    // comes after the copy has moved on from the first.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      if (conversion->logic().lblCurrentAction != "Copying data...") return;
      progressSeen.push_back(Control<QProgressBar>(modal, "pbProgress")->value());
      if (progressSeen.size() == 1) Press(modal, "cmdCommand");
      if (progressSeen.size() == 3) QTest::keyClick(modal, Qt::Key_Escape);
    });
    user.start(0);
    Press(modal, "cmdCommand");  // Begin
    user.stop();
    ExpectShowsItsLogic(modal);
    Press(modal, "cmdCommand");  // Close Window
  });
  Press(window.get(), "cmdConvert");

  ASSERT_GE(progressSeen.size(), 3u);
  EXPECT_LT(progressSeen.front(), progressSeen.back());
  const std::vector<ui::RecordedBox>& boxes = prompter.Recorded();
  ASSERT_EQ(boxes.size(), tiles + 3);
  EXPECT_EQ(boxes[tiles].reply, Reply::No);
  EXPECT_EQ(boxes[tiles + 1].reply, Reply::Yes);
  EXPECT_EQ(boxes.back().text.toStdString(), "The conversion process is complete.\n\nSuccess:\tNo (Canceled)");
  ASSERT_EQ(rowsUnderBoxes.size(), boxes.size());
  EXPECT_THAT(rowsUnderBoxes.front(), EndsWith(" (Creating...)"));
  EXPECT_THAT(rowsUnderBoxes.back(), EndsWith(" (Complete)"));
  EXPECT_TRUE(std::filesystem::is_empty(target.path()));
}

}  // namespace
}  // namespace tilbo::testing
