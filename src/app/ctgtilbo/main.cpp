// ctgtilbo: AutoConvert runs headless; without /AUTO the desktop window opens
// (when the program is built with it and a display is available).

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/HeadlessHost.h"
#include "ctgtilbo/DesktopLauncher.h"
#include "shell/AutoConvertReport.h"
#include "shell/CommandLine.h"
#include "shell/TerminalProgress.h"
#include "shell/frmMain.h"
#include "suite/Prompter.h"

namespace {

constexpr int kExitCouldNotStart = 2;

int RunAutoConvert(const tilbo::CommandLine& commandLine) {
  const bool terminal = tilbo::TerminalProgressPump::StandardErrorIsTerminal();
  tilbo::HeadlessPrompter prompter;
  tilbo::TerminalProgressPump pump(stderr, terminal);
  tilbo::HeadlessHost host;
  tilbo::frmMain main(prompter, pump, host, commandLine);
  main.Load();
  const int status = main.RunAutoConvert();
  pump.Clear();
  for (const std::string& line : tilbo::AutoConvertReportLines(main.AutoConvertResult, status, terminal)) {
    std::cerr << line << '\n';
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const tilbo::CommandLine commandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (commandLine.WantsHelp()) {
    std::cout << tilbo::UsageText();
    return 0;
  }
  if (commandLine.WantsVersion()) {
    std::cout << tilbo::VersionText();
    return 0;
  }
  if (const std::string unknown = commandLine.FirstUnknownArgument(); !unknown.empty()) {
    std::cerr << "ctgtilbo: unknown option '" << unknown << "' (see ctgtilbo --help)\n";
    return kExitCouldNotStart;
  }
  if (commandLine.HasAutoSwitch()) return RunAutoConvert(commandLine);

  if (!tilbo::DisplayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                               std::getenv("QT_QPA_PLATFORM"))) {
    std::cerr << tilbo::AutoConvertHint("no display to open the window on") << '\n';
    return kExitCouldNotStart;
  }
  const tilbo::DesktopLaunch launch = tilbo::RunDesktopModule(tilbo::ExecutableDirectory(), argc, argv);
  if (!launch.started) {
    std::cerr << tilbo::AutoConvertHint(launch.reason) << '\n';
    return kExitCouldNotStart;
  }
  return launch.status;
}
