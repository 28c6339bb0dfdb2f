// ctgtilbo: AutoConvert runs headless; without /AUTO the desktop window opens
// (when the program is built with it and a display is available).

#include <cctype>
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
#include "suite/Interruption.h"
#include "suite/Prompter.h"

namespace {

constexpr int kExitCouldNotStart = 2;
constexpr int kExitBySignal = 128;  // + the signal's number, as a shell reports it

int RunAutoConvert(const tilbo::CommandLine& commandLine) {
  tilbo::CatchInterruptions();
  const bool terminal = tilbo::TerminalProgressPump::StandardErrorIsTerminal();
  tilbo::HeadlessPrompter prompter;
  tilbo::TerminalProgressPump pump(stderr, terminal);
  tilbo::HeadlessHost host;
  tilbo::frmMain main(prompter, pump, host, commandLine);
  main.Load();
  const int status = main.RunAutoConvert();
  pump.Clear();
  // An interrupted run has a line of its own (ReportInterruption).
  if (tilbo::InterruptingSignal() != 0) return status;
  for (const std::string& line : tilbo::AutoConvertReportLines(main.AutoConvertResult, status, terminal)) {
    std::cerr << line << '\n';
  }
  return status;
}

// A run that a signal ended says so in one line (after the progress line is
// gone) and exits with 128 + the signal's number.
int ReportInterruption(int status) {
  const int signal = tilbo::InterruptingSignal();
  if (signal == 0) return status;
  std::cerr << "ctgtilbo: run interrupted by " << tilbo::SignalName(signal)
            << (status == 0 ? " after the source was converted" : "; the source was not converted") << '\n';
  return kExitBySignal + signal;
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
  if (commandLine.HasAutoSwitch()) return ReportInterruption(RunAutoConvert(commandLine));

  const char* display = std::getenv("DISPLAY");
  const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
  const char* qtPlatform = std::getenv("QT_QPA_PLATFORM");
  if (!tilbo::DisplayAvailable(display, waylandDisplay, qtPlatform)) {
    std::cerr << tilbo::AutoConvertHint("no display to open the window on") << '\n';
    return kExitCouldNotStart;
  }
  if (!tilbo::DisplayReachable(display, waylandDisplay, qtPlatform, std::getenv("XDG_RUNTIME_DIR"))) {
    std::cerr << tilbo::AutoConvertHint("no display to open the window on (the display server does not answer)")
              << '\n';
    return kExitCouldNotStart;
  }
  const std::string moduleDirectory =
      tilbo::DesktopModuleDirectory(tilbo::ExecutableDirectory(), TILBO_MODULE_RELATIVE_DIR);
  const tilbo::DesktopLaunch launch = tilbo::RunDesktopModule(moduleDirectory, argc, argv);
  if (!launch.started) {
    std::cerr << tilbo::AutoConvertHint(launch.reason) << '\n';
    return kExitCouldNotStart;
  }
  return launch.status;
}
