#pragma once
// What the window tests share: a fresh suite environment, the Qt prompter in
// its scripted mode, an event pump on a test clock, a main window, and a way
// to act on a modal window from inside its own event loop.

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>

#include "ctg/CTGFile.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "support/SuiteEnvironment.h"
#include "synth/CTGSynth.h"
#include "ui/MainWindow.h"

namespace tilbo::testing {

// Finds a control of a window by the logic's name for it.
template <typename Widget = QWidget>
Widget* Control(QWidget* window, const char* name) {
  auto* widget = window->findChild<Widget*>(QString::fromUtf8(name));
  if (widget == nullptr) ADD_FAILURE() << "no control " << name << " in " << window->objectName().toStdString();
  return widget;
}

// The text a label, a line edit or a combo box shows.
inline std::string Shown(QWidget* window, const char* name) {
  QWidget* control = Control(window, name);
  return control->property(qobject_cast<QComboBox*>(control) ? "currentText" : "text").toString().toStdString();
}

inline void Press(QWidget* window, const char* button) {
  QTest::mouseClick(Control<QPushButton>(window, button), Qt::LeftButton);
}

// Runs `action` on the modal window as soon as it is open, from inside its
// event loop. A modal window that the action leaves open is closed (and the
// test fails), so that a failed step never hangs the test.
inline void WhenModalOpens(std::function<void(QWidget*)> action, int triesLeft = 5000) {
  QTimer::singleShot(1, [action = std::move(action), triesLeft]() mutable {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && triesLeft > 0) return WhenModalOpens(std::move(action), triesLeft - 1);
    ASSERT_NE(modal, nullptr) << "no modal window opened";
    action(modal);
    if (QApplication::activeModalWidget() != modal) return;
    ADD_FAILURE() << modal->objectName().toStdString() << " was left open";
    qobject_cast<QDialog*>(modal)->done(QDialog::Rejected);
  });
}

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    CTG_ResetModuleForTesting();
    LRR_ResetModuleForTesting();
    prompter.SetEventPump(&pump);
    prompter.StartScript();
    SetActivePrompter(&prompter);
  }
  ~WindowTest() override { SetActivePrompter(nullptr); }

  // Opens the main window as the program does.
  ui::MainWindow& OpenMainWindow() {
    window = std::make_unique<ui::MainWindow>(prompter, pump, CommandLine{});
    window->Start();
    return *window;
  }

  // Browse, the open-file dialog answered with a synthetic quadrangle of
  // coarse cells (fast to convert), one degree high.
  void BrowseQuadrangle(double south, double west, double width) {
    const SynthOptions options{
        .south = south, .west = west, .width = width, .cellSize = 1000, .title = "TEST QUAD", .dataDate = "84180"};
    const SynthWriteResult result = WriteSynthCTG(options, data.file("quad.ctg"));
    ASSERT_TRUE(result.ok) << result.error;
    window->fileDialog.answers.push_back(data.file("quad.ctg"));
    Press(window.get(), "cmdBrowse");
  }

  frmMain& main() { return window->logic(); }

  SuiteEnvironment environment;
  TempDir data;
  // A clock that moves a second each time it is read: every pump that reads
  // it finds a round due, so the windows' events run at the same records
  // however fast the machine or the build.
  ui::QtEventPump pump{std::chrono::milliseconds(30), [] {
                         static ui::QtEventPump::Clock::time_point now{};
                         return now += std::chrono::seconds(1);
                       }};
  ui::QtPrompter prompter;
  std::unique_ptr<ui::MainWindow> window;
};

}  // namespace tilbo::testing
