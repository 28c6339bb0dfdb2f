#include "ui/DesktopApp.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "ctg/CTGFile.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"
#include "ui/MainWindow.h"

namespace tilbo::testing {
namespace {

TEST(DesktopApp, ShowsTheMainWindowWithItsBoxesAndEndsWithStatusZeroWhenItCloses) {
  SuiteEnvironment environment;
  CTG_ResetModuleForTesting();
  LRR_ResetModuleForTesting();
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
  CTG_ResetModuleForTesting();
}

}  // namespace
}  // namespace tilbo::testing
