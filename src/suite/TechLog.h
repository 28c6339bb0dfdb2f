#pragma once
// The technical-support log, QMTECSUP.TXT in the suite directory: a plain text
// file where the shared modules write unexpected errors and informational
// lines, each stamped with the local date and time. Lines end with LF, as
// text files on this system do (a CR LF inside a logged text becomes LF).
//
// Also the three status texts of the suite's main window, which the log and
// the error report update; the window layer installs a sink to show them.

#include <functional>
#include <string>

namespace tilbo {

inline constexpr int kStatusMessageCount = 3;  // indices 0..2

// The log's path, computed on first use and kept for the run.
std::string TechLogPath();

// Appends one line (then a line holding a single space) and leaves the
// composed line in `text`: "<date>:  <text>  (ctgtilbo <version>)". The
// version is major.minor.revision, or "__.__.<revision>" without withVersion.
// Creates the log with its header first when needed. Failures are ignored.
void WriteLog(std::string& text, bool withVersion);
// WriteLog(text, true) when the log level (Config().techSupportLogLevel) is not 0.
void WriteLogIfEnabled(const std::string& text);
// WriteLogIfEnabled when `level` equals the log level.
void WriteLogAtLevel(const std::string& text, int level);
// Creates the log with its header when it is missing or empty.
void EnsureLog();

// Shows the trimmed text as status message `index` (0..2; others ignored).
void SetStatusMessage(const std::string& text, int index);
using StatusSink = std::function<void(int index, const std::string& text)>;
// The window layer's status line; an empty function shows nothing.
void SetStatusSink(StatusSink sink);

// Forgets the kept path and the status sink.
void ResetTechLogForTesting();

}  // namespace tilbo
