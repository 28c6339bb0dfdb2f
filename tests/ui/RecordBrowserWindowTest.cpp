#include "ui/RecordBrowserWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

class RecordBrowserWindowTest : public WindowTest {
 protected:
  ui::RecordBrowserWindow& OpenBrowser() {
    OpenMainWindow();
    Browse(WriteQuadrangle(data, "quad.ctg", 44, -72, 1));
    recordCount = CTG_RecordCount(main().CTGFileHandle);
    ui::RecordBrowserWindow* browser = window->recordBrowserWindow();
    if (browser == nullptr) throw std::runtime_error("no record browser");
    return *browser;
  }
  void Press(ui::RecordBrowserWindow& browser, const char* button) {
    QTest::mouseClick(Control<QPushButton>(&browser, button), Qt::LeftButton);
  }
  std::string Shown(ui::RecordBrowserWindow& browser, const char* label) {
    return Control<QLabel>(&browser, label)->text().toStdString();
  }
  int32_t recordCount = 0;
};

TEST_F(RecordBrowserWindowTest, ButtonsStepThroughTheCellsAndStopAtTheEnds) {
  ui::RecordBrowserWindow& browser = OpenBrowser();
  ASSERT_GT(recordCount, 2);
  EXPECT_EQ(browser.windowTitle().toStdString(), "Browse File Records");
  const std::string count = " (of " + std::to_string(recordCount) + ")";
  EXPECT_EQ(Shown(browser, "lblCellNumber"), "1" + count);
  // The first cell is the grid's north-west corner.
  const CTGCell first = CTG_ReadCell(main().CTGFileHandle, 1);
  EXPECT_EQ(Shown(browser, "lblUTME"), std::to_string(first.Easting) + "m");
  EXPECT_EQ(Shown(browser, "lblUTMN"), std::to_string(first.Northing) + "m");
  EXPECT_EQ(Shown(browser, "lblUTMZone"), std::to_string(first.UTMZone));

  Press(browser, "cmdPrev");
  EXPECT_EQ(browser.logic().RecNum, 1);
  Press(browser, "cmdNext");
  Press(browser, "cmdNext");
  EXPECT_EQ(Shown(browser, "lblCellNumber"), "3" + count);
  EXPECT_EQ(Control<QLineEdit>(&browser, "txtRecNum")->text().toStdString(), "3");
  Press(browser, "cmdEnd");
  EXPECT_EQ(browser.logic().RecNum, recordCount);
  Press(browser, "cmdNext");
  EXPECT_EQ(Shown(browser, "lblCellNumber"), std::to_string(recordCount) + count);
  Press(browser, "cmdFirstRecord");
  EXPECT_EQ(browser.logic().RecNum, 1);
  EXPECT_TRUE(prompter.Recorded().empty());
}

TEST_F(RecordBrowserWindowTest, GoRoundsTheNumberAndRefusesCellsOutsideTheFile) {
  ui::RecordBrowserWindow& browser = OpenBrowser();
  auto* number = Control<QLineEdit>(&browser, "txtRecNum");

  number->clear();
  QTest::keyClicks(number, "7.6");
  Press(browser, "cmdGo");
  EXPECT_EQ(browser.logic().RecNum, 8);
  EXPECT_EQ(number->text().toStdString(), "8");
  EXPECT_EQ(Shown(browser, "lblCellNumber"), "8 (of " + std::to_string(recordCount) + ")");

  // Enter in the box goes too.
  number->clear();
  QTest::keyClicks(number, std::to_string(recordCount + 1).c_str());
  QTest::keyClick(number, Qt::Key_Return);
  EXPECT_EQ(browser.logic().RecNum, 8);
  EXPECT_EQ(number->text().toStdString(), "8");
  EXPECT_EQ(number->selectedText().toStdString(), "8");
  ASSERT_EQ(prompter.Recorded().size(), 1u);
  EXPECT_EQ(prompter.Recorded()[0].icon, QMessageBox::Warning);
  EXPECT_EQ(prompter.Recorded()[0].text.toStdString(),
            "The cell number you entered is not a valid cell number.  Please enter a number between 1 and " +
                std::to_string(recordCount) + ".");
}

TEST_F(RecordBrowserWindowTest, CloseWindowUnloadsTheBrowser) {
  ui::RecordBrowserWindow& browser = OpenBrowser();
  Press(browser, "cmdCloseWindow");
  EXPECT_FALSE(main().frmBrowseRecordsIsLoaded);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window->recordBrowserWindow(), nullptr);
}

}  // namespace
}  // namespace tilbo::testing
