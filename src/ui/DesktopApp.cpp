#include "ui/DesktopApp.h"

#include <QApplication>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "suite/Version.h"
#include "ui/MainWindow.h"
#include "ui/QtEventPump.h"
#include "ui/QtPrompter.h"

namespace tilbo::ui {

int RunDesktop(int argc, char** argv) {
  // Qt keeps a reference to the count for the application's life, and takes
  // its own options (-platform ...) out of the arguments.
  int qtArgc = argc;
  std::unique_ptr<QApplication> ownApplication;
  if (QApplication::instance() == nullptr) ownApplication = std::make_unique<QApplication>(qtArgc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kExecutableName));
  QApplication::setApplicationVersion(QString::fromUtf8(kVersionText));

  QtPrompter prompter;
  QtEventPump pump;
  prompter.SetEventPump(&pump);
  SetActivePrompter(&prompter);
  int status = 0;
  {
    MainWindow window(prompter, pump, CommandLine(std::vector<std::string>(argv + std::min(qtArgc, 1), argv + qtArgc)));
    prompter.SetParentWindow(&window);
    window.Start();
    status = QApplication::exec();
  }
  SetActivePrompter(nullptr);
  return status;
}

}  // namespace tilbo::ui
