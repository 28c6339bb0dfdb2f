#pragma once
// The shared modules' report of an unexpected failure: the error and the
// active procedures go to the technical-support log, and the user is shown a
// message naming the log file.

#include <string>

#include "suite/ActiveProcedures.h"

namespace tilbo {

// Logs a line of asterisks, "Error <number>:  <description>", "Procedures:"
// with one line per active procedure, and "DETAIL: <detail>" when the detail
// is not blank; then shows the information message "Error in CTGTILBO"
// through ActivePrompter() and clears the three status messages.
void ReportError(long number, const std::string& description, const std::string& detail);

}  // namespace tilbo
