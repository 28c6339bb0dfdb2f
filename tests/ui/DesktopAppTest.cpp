#include "ui/DesktopApp.h"

#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"
#include "UiTestSupport.h"

namespace tilbo::testing {
namespace {

using DesktopAppTest = WindowTest;

TEST_F(DesktopAppTest, ShowsTheMainWindowWithItsBoxesAndEndsWithStatusZeroWhenItCloses) {
  SetActivePrompter(nullptr);
  bool closed = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* main = qobject_cast<ui::MainWindow*>(widget); main != nullptr && main->isVisible()) {
        EXPECT_NE(dynamic_cast<ui::QtPrompter*>(&ActivePrompter()), nullptr);
        closed = main->close();
      }
    }
  });
  char name[] = "ctgtilbo";
  char* argv[] = {name, nullptr};
  EXPECT_EQ(ui::RunDesktop(1, argv), 0);
  EXPECT_TRUE(closed);
  // The window saved where it stood, and the headless prompter is back.
  EXPECT_NE(ReadINI("CONFIG", "frmMain-X", "", Config().userDefaultsIniPath), "");
  EXPECT_NE(dynamic_cast<HeadlessPrompter*>(&ActivePrompter()), nullptr);
}

}  // namespace
}  // namespace tilbo::testing
