#include "ui/RecordBrowserWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using RecordBrowserWindowTest = WindowTest;

TEST_F(RecordBrowserWindowTest, EveryControlReachesTheBrowserAndTheWindowShowsItsCell) {
  OpenMainWindow();
  Browse(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
  ui::RecordBrowserWindow* browser = window->recordBrowserWindow();
  ASSERT_NE(browser, nullptr);
  const frmBrowseRecords& logic = browser->logic();
  const int32_t last = CTG_RecordCount(main().CTGFileHandle);
  auto* number = Control<QLineEdit>(browser, "txtRecNum");
  // A control pressed (or Enter in the cell-number box) after typing `typed`.
  const struct {
    const char* control;
    std::string typed;
    int32_t recNum;
  } steps[] = {{"cmdNext", "", 2},         {"cmdNext", "", 3},       {"cmdPrev", "", 2},
               {"cmdEnd", "", last},       {"cmdFirstRecord", "", 1}, {"cmdGo", "7", 7},
               {"txtRecNum", "5", 5},      {"txtRecNum", std::to_string(last + 1), 5}};
  for (const auto& step : steps) {
    SCOPED_TRACE(std::string(step.control) + " " + step.typed);
    if (!step.typed.empty()) {
      QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(number, QString::fromStdString(step.typed));
    }
    if (step.control == std::string("txtRecNum")) {
      QTest::keyClick(number, Qt::Key_Return);
    } else {
      Press(browser, step.control);
    }
    EXPECT_EQ(logic.RecNum, step.recNum);
    const std::pair<const char*, const std::string&> labels[] = {{"lblCellNumber", logic.lblCellNumber},
                                                                 {"lblUTME", logic.lblUTME},
                                                                 {"lblUTMN", logic.lblUTMN},
                                                                 {"lblUTMZone", logic.lblUTMZone},
                                                                 {"lblUSGSLULC", logic.lblUSGSLULC}};
    for (const auto& [name, value] : labels) EXPECT_EQ(Control<QLabel>(browser, name)->text().toStdString(), value);
    EXPECT_EQ(number->text().toStdString(), logic.txtRecNum);
    // A refused number is selected, ready to be typed over.
    EXPECT_EQ(number->hasSelectedText(), logic.txtRecNumSelectAll);
  }
  EXPECT_EQ(prompter.Recorded().size(), 1u);  // the number beyond the file

  Press(browser, "cmdCloseWindow");
  EXPECT_FALSE(main().frmBrowseRecordsIsLoaded);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window->recordBrowserWindow(), nullptr);
}

TEST_F(RecordBrowserWindowTest, OpensWholeOnALaptopScreenBesideAMainWindowAtItsRightEdge) {
  ui::MainWindow& w = OpenMainWindow();
  const QRect screen = w.screen()->availableGeometry();
  ASSERT_EQ(screen.size(), QSize(1366, 768));  // the laptop screen the tests run on
  w.move(screen.x() + screen.width() - w.frameGeometry().width(), screen.y() + 100);
  Browse(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
  ASSERT_NE(w.recordBrowserWindow(), nullptr);
  EXPECT_TRUE(screen.contains(w.recordBrowserWindow()->frameGeometry()));
}

}  // namespace
}  // namespace tilbo::testing
