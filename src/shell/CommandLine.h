#pragma once
// The program's command line: the argument vector, each argument one option.
//
//   /AUTO or --auto               AutoConvert: convert one file unattended
//   /SOURCE=path or --source=path the CTG file to convert
//   /DEST=dir or --dest=dir       the directory that receives the tiles
//   /LOG=path or --log=path       the AutoConvert log (required with /AUTO)
//   /LE or --log-excluded         log the excluded points for this run
//   /INI=path or --ini=path       the user-defaults INI file
//   --help, --version
//
// Switches and keys match ignoring letter case, except /LE, which counts only
// in capitals.

#include <string>
#include <vector>

namespace tilbo {

class CommandLine {
 public:
  CommandLine() = default;
  // The arguments after the program name.
  explicit CommandLine(std::vector<std::string> args) : args_(std::move(args)) {}

  bool HasAutoSwitch() const;
  bool HasLogExcludedSwitch() const;
  bool WantsHelp() const;
  bool WantsVersion() const;

  // The value of option `key` ("/SOURCE=" ...): the rest of the first argument
  // that begins with the key (or its "--name=" alias), ignoring case, trimmed
  // of blanks, quotation marks kept; empty when no argument has it. Each
  // argument is one option, so the value runs to the argument's end and may
  // hold "/": the terminator of a one-string command line has nothing to cut.
  std::string getCommandArg(const std::string& key, const std::string& terminator = "/") const;

  // The first argument that is none of the options above, or empty.
  std::string FirstUnknownArgument() const;

  const std::vector<std::string>& Arguments() const { return args_; }

 private:
  std::vector<std::string> args_;
};

std::string UsageText();
std::string VersionText();

}  // namespace tilbo
