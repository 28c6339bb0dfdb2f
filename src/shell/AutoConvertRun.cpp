// The unattended run: convert one source file and record every step in the
// AutoConvert log named on the command line.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "shell/SourceFileKind.h"
#include "shell/frmMain.h"
#include "suite/DateText.h"
#include "suite/TextUtil.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

// An ordinary file: a regular file (links followed) whose name does not begin with ".".
bool IsOrdinaryFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  const std::string name = std::filesystem::path(path).filename().string();
  return !name.empty() && name[0] != '.';
}

}  // namespace

int frmMain::RunAutoConvert() {
  AutoConvert = true;
  AutoConvertSourceFile = Trim(commandLine_.getCommandArg("/SOURCE=", "/"));
  AutoConvertDestinationDir = Trim(commandLine_.getCommandArg("/DEST=", "/"));
  AutoConvertLogFile = Trim(commandLine_.getCommandArg("/LOG=", "/"));
  if (commandLine_.HasLogExcludedSwitch()) chkLogExcluded.ticked = true;
  AutoConvertResult = {};
  AutoConvertResult.source = AutoConvertSourceFile;
  AutoConvertResult.log = AutoConvertLogFile;

  const auto refuseSource = [this] {
    AutoConvertResult.hint = SourceFileKindHint(SniffSourceFileKind(AutoConvertSourceFile));
  };
  const auto endRun = [this](const char* reason) {
    ACLogWrite(reason);
    AutoConvertResult.reason = Trim(reason);
    ACLogWrite("   Source file not converted.");
    ACLogWrite("");
    return kExitNotConverted;
  };

  // A step before the source is read that fails: logged when the log is open,
  // otherwise told to the user with the platform's error number and text.
  const auto startFailed = [this](int number, const std::string& text) {
    if (AutoConvertLogOpen()) {
      AutoConvertResult.reason = "System error in Form_Load: " + text;
      ACLogWrite("   System error in Form_Load:");
      ACLogWrite("      Number:      " + std::to_string(number));
      ACLogWrite("      Description: " + text);
      ACLogWrite("");
      ACLogWrite("   Source file not converted.");
      ACLogWrite("");
      return kExitNotConverted;
    }
    prompter_.ShowMessage(MessageIcon::Critical,
                          "There was an error while trying to AutoConvert the specified file.  The system reported "
                          "the following error:\r\n\r\n" +
                              std::to_string(number) + "\r\n" + text +
                              "\r\n\r\nThe source file could not be auto-converted.",
                          kProgramTitle);
    return kExitCouldNotStart;
  };

  try {
    if (AutoConvertLogFile.empty()) {
      prompter_.ShowMessage(MessageIcon::Critical,
                            "There was no log file specified.  In order to run AutoConvert, you must specify a log "
                            "file.",
                            kProgramTitle);
      return kExitCouldNotStart;
    }
    if (const int slash = FindLast(AutoConvertLogFile, "/"); slash > 0) {
      std::error_code ec;
      if (!std::filesystem::is_directory(AutoConvertLogFile.substr(0, static_cast<std::size_t>(slash)), ec)) {
        prompter_.ShowMessage(MessageIcon::Critical,
                              "The directory specified for the AutoConvert log file was invalid.  The program could "
                              "not convert the source file.",
                              kProgramTitle);
        return kExitCouldNotStart;
      }
    }
    if (!OpenAutoConvertLog(AutoConvertLogFile)) {
      const int number = errno;
      return startFailed(number, std::strerror(number));
    }

    ACLogWrite("[CTGTilbo AutoConvert started " + GeneralDate(std::time(nullptr)) + ".]");
    ACLogWrite("   Source File = " + AutoConvertSourceFile);
    ACLogWrite("   Destination Directory = " + AutoConvertDestinationDir);
    ACLogWrite("");

    if (AutoConvertSourceFile.empty() || !IsOrdinaryFile(AutoConvertSourceFile)) {
      refuseSource();
      return endRun("   Invalid source file.");
    }
    std::error_code ec;
    if (AutoConvertDestinationDir.empty() || !std::filesystem::exists(AutoConvertDestinationDir, ec)) {
      return endRun("   Invalid destination directory.");
    }
  } catch (const std::exception& e) {
    return startFailed(0, e.what());
  }

  // From here on a failing step is logged and the run goes on to its end.
  SourcePath = AutoConvertSourceFile;
  switch (ReadCTGFile()) {
    case ReadResult::Failed:
      ACLogWrite("   Unknown error in ReadCTGFile.");
      AutoConvertResult.reason = "Unknown error in ReadCTGFile.";
      ACLogWrite("   Source file not converted.");
      break;
    case ReadResult::NotCTG:
      refuseSource();
      ACLogWrite("   Source file not valid CTG file.");
      AutoConvertResult.reason = "Source file not valid CTG file.";
      ACLogWrite("   Source file not converted.");
      break;
    default:
      ACLogWrite("   File title: " + lblTitle);
      EnableNewFileControls();
      pump_.ProcessPendingEvents();
      cmdConvert_Click();
      break;
  }
  ACLogWrite("");
  const bool converted = ConvertSuccess;
  Unload();
  if (!converted) return kExitNotConverted;
  return AutoConvertResult.SourceCutShort() ? kExitConvertedShortSource : kExitConverted;
}

}  // namespace tilbo
