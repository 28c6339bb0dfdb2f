#pragma once
// What an unattended run tells the terminal it ran from, beside its log: the
// exit status and a line or two on standard error. The log itself is never
// affected.

#include <cstdint>
#include <string>
#include <vector>

namespace tilbo {

// Exit statuses of an AutoConvert run.
enum AutoConvertExit : int {
  kExitConverted = 0,
  kExitNotConverted = 1,  // the log says why
  kExitCouldNotStart = 2,  // no log named, its directory missing, bad usage
  kExitConvertedShortSource = 3,  // converted, but the source holds fewer records than its header declares
};

struct AutoConvertOutcome {
  std::string source;  // the source file as named on the command line
  std::string log;     // the AutoConvert log
  std::string reason;  // why the source was not converted, as the log gives it
  std::string hint;    // what a refused source looks like instead ("it is a directory, not a file"), or empty
  std::vector<std::string> tilesWritten;  // paths of the tiles placed into their target directory
  // Data records the source's header declares and the records the file holds whole.
  int64_t recordsDeclared = 0;
  int64_t recordsHeld = 0;

  bool SourceCutShort() const { return recordsHeld < recordsDeclared; }
};

// The lines for standard error after a run that ended with `status`: on
// failure the reason and the log; a source cut short; and, when standard
// error is a terminal, the tiles written.
std::vector<std::string> AutoConvertReportLines(const AutoConvertOutcome& outcome, int status, bool terminal);

}  // namespace tilbo
