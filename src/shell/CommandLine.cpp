#include "shell/CommandLine.h"

#include "suite/TextUtil.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

struct ValueOption {
  const char* key;    // as the program's users on other systems write it
  const char* alias;  // GNU style
};
constexpr ValueOption kValueOptions[] = {
    {"/SOURCE=", "--source="},
    {"/DEST=", "--dest="},
    {"/LOG=", "--log="},
    {"/INI=", "--ini="},
};

bool BeginsWithIgnoringCase(const std::string& arg, const std::string& key) {
  return arg.size() >= key.size() && EqualsIgnoreCase(std::string_view(arg).substr(0, key.size()), key);
}

const char* AliasOf(const std::string& key) {
  for (const auto& option : kValueOptions) {
    if (EqualsIgnoreCase(key, option.key)) return option.alias;
  }
  return nullptr;
}

}  // namespace

bool CommandLine::HasAutoSwitch() const {
  for (const auto& a : args_) {
    if (EqualsIgnoreCase(a, "/AUTO") || a == "--auto") return true;
  }
  return false;
}

bool CommandLine::HasLogExcludedSwitch() const {
  for (const auto& a : args_) {
    if (a == "/LE" || a == "--log-excluded") return true;
  }
  return false;
}

bool CommandLine::WantsHelp() const {
  for (const auto& a : args_) {
    if (a == "--help" || a == "-h" || a == "/?") return true;
  }
  return false;
}

bool CommandLine::WantsVersion() const {
  for (const auto& a : args_) {
    if (a == "--version") return true;
  }
  return false;
}

std::string CommandLine::getCommandArg(const std::string& key, const std::string& /*terminator*/) const {
  const std::string trimmedKey = Trim(key);
  if (trimmedKey.empty()) return "";
  const char* alias = AliasOf(trimmedKey);
  for (const auto& a : args_) {
    if (BeginsWithIgnoringCase(a, trimmedKey)) return Trim(a.substr(trimmedKey.size()));
    if (alias != nullptr && BeginsWithIgnoringCase(a, alias)) return Trim(a.substr(std::string(alias).size()));
  }
  return "";
}

std::string CommandLine::FirstUnknownArgument() const {
  for (const auto& a : args_) {
    // "/le" in small letters is accepted and ignored: it does not tick the option.
    bool known = EqualsIgnoreCase(a, "/AUTO") || a == "--auto" || EqualsIgnoreCase(a, "/LE") || a == "--log-excluded" ||
                 a == "--help" || a == "-h" || a == "/?" || a == "--version";
    for (const auto& option : kValueOptions) {
      known = known || BeginsWithIgnoringCase(a, option.key) || BeginsWithIgnoringCase(a, option.alias);
    }
    if (!known) return a;
  }
  return "";
}

std::string UsageText() {
  return "Usage: ctgtilbo [options]\n"
         "Converts USGS land-use/land-cover files in the Composite Theme Grid (CTG)\n"
         "format into one-degree LUC tiles.\n"
         "\n"
         "Without /AUTO the desktop window opens. With /AUTO one file is converted\n"
         "unattended and every step is written to the log file.\n"
         "\n"
         "  /AUTO, --auto                  convert /SOURCE= into /DEST= without asking\n"
         "  /SOURCE=FILE, --source=FILE    the CTG file to convert\n"
         "  /DEST=DIR/, --dest=DIR/        where the tiles go; end it with \"/\" to put\n"
         "                                 them inside DIR (otherwise the last name is\n"
         "                                 a prefix of each tile's file name)\n"
         "  /LOG=FILE, --log=FILE          the AutoConvert log, appended to (required)\n"
         "  /LE, --log-excluded            write the excluded-points log beside the source\n"
         "  /INI=FILE, --ini=FILE          the user-defaults INI file to use\n"
         "  --help                         show this text\n"
         "  --version                      show the version\n"
         "\n"
         "Exit status: 0 converted (or the window closed), 1 not converted (the reason\n"
         "and the log's path go to standard error), 2 the run could not start (no log\n"
         "named, bad log directory, bad usage), 3 converted from a source shorter than\n"
         "its header says (cut short: the tiles lack its missing cells), 128 + N\n"
         "interrupted by signal N (SIGINT, SIGTERM, SIGHUP: nothing in the destination\n"
         "changes).\n"
         "\n"
         "Example:\n"
         "  ctgtilbo /AUTO /SOURCE=/data/ctg/lewiston /DEST=/data/luc/ /LOG=/data/convert.log\n";
}

std::string VersionText() { return std::string(kExecutableName) + " " + kVersionText + "\n"; }

}  // namespace tilbo
