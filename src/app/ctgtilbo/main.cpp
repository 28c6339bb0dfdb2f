// ctgtilbo: AutoConvert runs headless; without /AUTO the desktop window opens
// (when the program is built with it and a display is available).

#include <iostream>
#include <string>
#include <vector>

#include "app/HeadlessHost.h"
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
  return main.RunAutoConvert();
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
  std::cerr << "ctgtilbo: the desktop window is not part of this build. Convert a file unattended with\n"
               "  ctgtilbo /AUTO /SOURCE=FILE /DEST=DIR/ /LOG=LOGFILE\n";
  return kExitCouldNotStart;
}
