#include "ui/RecordBrowserWindow.h"

#include <QLineEdit>

#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using RecordBrowserWindowTest = WindowTest;

TEST_F(RecordBrowserWindowTest, EveryControlReachesTheBrowserAndTheWindowShowsItsCell) {
  OpenMainWindow();
  BrowseQuadrangle(44, -72, 1);
  ui::RecordBrowserWindow* browser = window->recordBrowserWindow();
  ASSERT_NE(browser, nullptr);
  const frmBrowseRecords& logic = browser->logic();
  const int32_t last = CTG_RecordCount(main().CTGFileHandle);
  auto* number = Control<QLineEdit>(browser, "txtRecNum");
  // A button pressed, or Enter in the cell-number box, after typing `typed`.
  const struct {
    const char* control;
    std::string typed;
    int32_t recNum;
  } steps[] = {{"cmdNext", "", 2},   {"cmdNext", "", 3},     {"cmdPrev", "", 2},
               {"cmdEnd", "", last}, {"cmdFirstRecord", "", 1}, {"cmdGo", "7", 7},
               {"txtRecNum", "5", 5}, {"txtRecNum", std::to_string(last + 1), 5}};
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
    const std::pair<const char*, const std::string&> texts[] = {
        {"lblCellNumber", logic.lblCellNumber}, {"lblUTME", logic.lblUTME},         {"lblUTMN", logic.lblUTMN},
        {"lblUTMZone", logic.lblUTMZone},       {"lblUSGSLULC", logic.lblUSGSLULC}, {"txtRecNum", logic.txtRecNum}};
    for (const auto& [name, text] : texts) EXPECT_EQ(Shown(browser, name), text) << name;
    // A refused number is selected, ready to be typed over.
    EXPECT_EQ(number->hasSelectedText(), logic.txtRecNumSelectAll);
  }
  EXPECT_EQ(prompter.Recorded().size(), 1u);  // the number beyond the file

  Press(browser, "cmdCloseWindow");
  EXPECT_FALSE(main().frmBrowseRecordsIsLoaded);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window->recordBrowserWindow(), nullptr);
}

}  // namespace
}  // namespace tilbo::testing
