#include "ctgtilbo/Ctgtilbo.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "ctgtilbo/DesktopLauncher.h"
#include "shell/AutoConvertReport.h"
#include "shell/CommandLine.h"
#include "shell/HeadlessHost.h"
#include "shell/TerminalProgress.h"
#include "shell/frmMain.h"
#include "suite/Interruption.h"
#include "suite/Prompter.h"

namespace tilbo {
namespace {

constexpr int kExitBySignal = 128;  // + the signal's number, as a shell reports it

int RunAutoConvert(const CommandLine& commandLine, std::ostream& err) {
  const bool terminal = TerminalProgressPump::StandardErrorIsTerminal();
  HeadlessPrompter prompter(err);
  TerminalProgressPump pump(stderr, terminal);
  HeadlessHost host;
  SetActivePrompter(&prompter);  // the suite modules' messages go to `err` too
  frmMain main(prompter, pump, host, commandLine);
  main.Load();
  const int status = main.RunAutoConvert();
  pump.Clear();
  SetActivePrompter(nullptr);
  // An interrupted run has a line of its own (ReportInterruption).
  if (InterruptingSignal() != 0) return status;
  for (const std::string& line : AutoConvertReportLines(main.AutoConvertResult, status, terminal)) {
    err << line << '\n';
  }
  return status;
}

// A run that a signal ended says so in one line (after the progress line is
// gone) and exits with 128 + the signal's number.
int ReportInterruption(int status, std::ostream& err) {
  const int signal = InterruptingSignal();
  if (signal == 0) return status;
  err << "ctgtilbo: run interrupted by " << SignalName(signal)
      << (status == 0 ? " after the source was converted" : "; the source was not converted") << '\n';
  return kExitBySignal + signal;
}

int RunDesktop(const std::vector<std::string>& args, std::ostream& err, const Environment& env) {
  if (!DisplayAvailable(env.display, env.waylandDisplay, env.qtPlatform)) {
    err << AutoConvertHint("no display to open the window on") << '\n';
    return kExitCouldNotStart;
  }
  if (!DisplayReachable(env.display, env.waylandDisplay, env.qtPlatform, env.runtimeDir)) {
    err << AutoConvertHint("no display to open the window on (the display server does not answer)") << '\n';
    return kExitCouldNotStart;
  }
  // The toolkit takes argv as C strings it may rewrite; they live as long as the window.
  std::vector<std::string> argStorage = args;
  std::vector<char*> argv;
  for (std::string& a : argStorage) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string moduleDirectory = DesktopModuleDirectory(ExecutableDirectory(), TILBO_MODULE_RELATIVE_DIR);
  const DesktopLaunch launch = RunDesktopModule(moduleDirectory, static_cast<int>(argStorage.size()), argv.data());
  if (!launch.started) {
    err << AutoConvertHint(launch.reason) << '\n';
    return kExitCouldNotStart;
  }
  return launch.status;
}

}  // namespace

Environment Environment::OfProcess() {
  return {std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("QT_QPA_PLATFORM"),
          std::getenv("XDG_RUNTIME_DIR")};
}

int RunCtgtilbo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Environment& env) {
  const CommandLine commandLine(std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end()));
  if (commandLine.WantsHelp()) {
    out << UsageText();
    return 0;
  }
  if (commandLine.WantsVersion()) {
    out << VersionText();
    return 0;
  }
  if (const std::string unknown = commandLine.FirstUnknownArgument(); !unknown.empty()) {
    err << "ctgtilbo: unknown option '" << unknown << "' (see ctgtilbo --help)\n";
    return kExitCouldNotStart;
  }
  if (!commandLine.HasAutoSwitch()) return RunDesktop(args, err, env);
  const CaughtInterruptions interruptions;
  return ReportInterruption(RunAutoConvert(commandLine, err), err);
}

}  // namespace tilbo
