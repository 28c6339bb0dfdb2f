#include "ui/ConversionWindow.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <filesystem>

#include "ui/TextBridge.h"
#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using ConversionWindowTest = WindowTest;

// What the window shows equals its logic's state.
void ExpectShowsItsLogic(QWidget* window) {
  const frmConversion& run = qobject_cast<ui::ConversionWindow*>(window)->logic();
  auto* list = Control<QListWidget>(window, "lstFiles");
  ASSERT_EQ(list->count(), static_cast<int>(run.lstFiles.size()));
  for (int i = 0; i < list->count(); ++i) {
    EXPECT_EQ(list->item(i)->text().toStdString(), run.lstFiles[i].text);
    EXPECT_EQ(list->item(i)->checkState(), run.lstFiles[i].ticked ? Qt::Checked : Qt::Unchecked);
  }
  EXPECT_EQ(Shown(window, "lblCurrentAction"), run.lblCurrentAction);
  EXPECT_EQ(Control<QPlainTextEdit>(window, "txtDirections")->toPlainText(), ui::FromMessageText(run.txtDirections));
  EXPECT_EQ(Control<QPushButton>(window, "cmdCommand")->text().toStdString(), run.cmdCommandCaption);
  EXPECT_EQ(Control(window, "cmdCommand")->isEnabled(), run.cmdCommandEnabled);
  EXPECT_EQ(Control(window, "cmdCancel")->isVisibleTo(window), run.cmdCancelVisible);
  EXPECT_EQ(Control<QProgressBar>(window, "pbProgress")->value(), run.pbValue);
}

// A tick, a double-click, Begin, then two requests to cancel while the copy
// runs: the Cancel button's (refused) and Escape's (confirmed). Every message
// box stands over the window as the run stands.
TEST_F(ConversionWindowTest, EveryControlReachesTheRunAndBoxesStandOverItsCurrentState) {
  // A southern-hemisphere tile always reports skew when it is created.
  TempDir target;
  OpenMainWindow();
  BrowseQuadrangle(-35, -60, 2);
  for (PlannedFile& tile : main().PlannedFiles) tile.Directory = target.dir();
  const std::size_t tiles = main().PlannedFiles.size();
  ASSERT_GE(tiles, 2u);
  WriteWholeFile(target.file(main().PlannedFiles[0].FileName), "an older tile");  // a conflict
  for (std::size_t i = 1; i < tiles; ++i) prompter.AddReply(Reply::Yes);  // keep the skewed tile
  prompter.AddReply(Reply::No);   // the Cancel button: no, go on
  prompter.AddReply(Reply::Yes);  // Escape: yes, cancel

  prompter.inspector = [](QMessageBox&) { ExpectShowsItsLogic(QApplication::activeModalWidget()); };
  std::vector<int> progressSeen;
  WhenModalOpens([&](QWidget* modal) {
    auto* conversion = qobject_cast<ui::ConversionWindow*>(modal);
    ASSERT_NE(conversion, nullptr);
    const frmConversion& run = conversion->logic();
    auto* list = Control<QListWidget>(modal, "lstFiles");
    list->setCurrentRow(0);  // the existing tile, not ticked
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_TRUE(run.lstFiles[0].ticked);
    // A double-click as the system delivers it (QTest's sends only the second click).
    const QPoint row = list->visualItemRect(list->item(0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row);
    EXPECT_FALSE(run.lstFiles[0].ticked);  // and the conflict is shown

    // Runs each time the copy lets window events through; the second request
    // comes after the copy has moved on from the first.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      if (run.lblCurrentAction != "Copying data...") return;
      progressSeen.push_back(Control<QProgressBar>(modal, "pbProgress")->value());
      if (progressSeen.size() == 1) Press(modal, "cmdCommand");
      if (progressSeen.size() == 3) QTest::keyClick(modal, Qt::Key_Escape);
    });
    user.start(0);
    Press(modal, "cmdCommand");  // Begin
    Press(modal, "cmdCommand");  // Close Window
  });
  Press(window.get(), "cmdConvert");

  ASSERT_GE(progressSeen.size(), 3u);
  EXPECT_LT(progressSeen.front(), progressSeen.back());
  // The conflict, a skew per tile created, two requests to cancel, the summary.
  EXPECT_EQ(prompter.Recorded().size(), tiles + 3);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.path()), {}), 1);  // nothing placed
  EXPECT_FALSE(main().ConvertSuccess);
}

}  // namespace
}  // namespace tilbo::testing
