#include "suite/ErrorReport.h"

#include "suite/Prompter.h"
#include "suite/TechLog.h"
#include "suite/TextUtil.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

constexpr std::size_t kStarLineLength = 25;

void Log(std::string text) { WriteLog(text, true); }

}  // namespace

void ReportError(long number, const std::string& description, const std::string& detail) {
  try {
    const std::string errorLine = "Error " + std::to_string(number) + ":" + "  " + description;
    Log(std::string(kStarLineLength, '*'));
    Log(errorLine);

    std::string procedureText = "Procedures:";
    Log(procedureText);
    for (const ActiveProcedureEntry& entry : ActiveProcedures()) {
      const std::string line =
          "Procedure: " + ProcedureName(entry.number) + "; Flag " + std::to_string(entry.flag);
      Log(line);
      procedureText += "\r\n" + line;
    }
    if (LenTrim(detail) >= 1) Log("DETAIL: " + detail);

    const std::string message =
        errorLine + "\r\n\r\n" + procedureText + "\r\n\r\n" +
        "This information has been written to the log file" + "\r\n" + TechLogPath() + "\r\n" +
        "Faxing or e-mailing this file to Quillmarsh may be helpful in determining the cause of the error." +
        "\r\n\r\n" +
        "Additional information you include in your email will help find the specific problem you "
        "encountered:" +
        "\r\n\r\n" + "(1) What were you trying to do (such as draw a profile or compute a coverage study)?" +
        "\r\n\r\n" + "(2) What part of the program were you in (which menu selection, etc.)?" + "\r\n\r\n" +
        "(3) Exactly when did the problem happen (e.g., right after clicking a particular button or menu)?" +
        "\r\n\r\n" + "(4) Any other details about the symptom.";
    ActivePrompter().ShowMessage(MessageIcon::Information, message,
                                 "Error in " + ToUpperAscii(kExecutableName));
  } catch (...) {
    // A failure while reporting is not reported again.
  }
  for (int index = 0; index < kStatusMessageCount; ++index) SetStatusMessage("", index);
}

}  // namespace tilbo
