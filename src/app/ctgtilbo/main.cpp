// ctgtilbo: AutoConvert runs headless; without /AUTO the desktop window opens
// (when the program is built with it and a display is available).

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/HeadlessHost.h"
#include "ctgtilbo/DesktopLauncher.h"
#include "shell/CommandLine.h"
#include "shell/TerminalProgress.h"
#include "shell/frmMain.h"
#include "suite/Prompter.h"

namespace {

constexpr int kExitCouldNotStart = 2;

int RunAutoConvert(const tilbo::CommandLine& commandLine) {
  tilbo::HeadlessPrompter prompter;
  tilbo::TerminalProgressPump pump(stderr, tilbo::TerminalProgressPump::StandardErrorIsTerminal());
  tilbo::HeadlessHost host;
  tilbo::frmMain main(prompter, pump, host, commandLine);
  main.Load();
  const int status = main.RunAutoConvert();
  pump.Clear();
  if (const auto& refused = main.AutoConvertSourceRefused) {
    std::string hint = refused->hint;
    if (!hint.empty()) hint = " " + std::string(1, static_cast<char>(std::toupper(hint[0]))) + hint.substr(1) + ".";
    std::cerr << "ctgtilbo: " << main.AutoConvertSourceFile << ": " << refused->reason << hint << '\n';
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
