#include "shell/AutoConvertReport.h"

#include <cctype>

#include "suite/Version.h"

namespace tilbo {

std::vector<std::string> AutoConvertReportLines(const AutoConvertOutcome& o, int status, bool terminal) {
  const std::string program = std::string(kExecutableName) + ": ";
  std::vector<std::string> lines;
  if (status == kExitNotConverted) {
    std::string hint = o.hint;
    if (!hint.empty()) hint = " " + std::string(1, static_cast<char>(std::toupper(hint[0]))) + hint.substr(1) + ".";
    lines.push_back(program + o.source + " not converted: " + o.reason + hint + " (log: " + o.log + ")");
    return lines;
  }
  if (status != kExitConverted && status != kExitConvertedShortSource) return lines;
  if (o.SourceCutShort()) {
    lines.push_back(program + o.source + " is cut short: it holds " + std::to_string(o.recordsHeld) + " of the " +
                    std::to_string(o.recordsDeclared) +
                    " data records its header declares; the tiles lack the missing cells (exit status 3)");
  }
  if (terminal) {
    std::string written;
    for (const std::string& tile : o.tilesWritten) written += (written.empty() ? "" : ", ") + tile;
    lines.push_back(program + std::to_string(o.tilesWritten.size()) +
                    (o.tilesWritten.size() == 1 ? " tile" : " tiles") + " written: " + written + " (log: " +
                    o.log + ")");
  }
  return lines;
}

}  // namespace tilbo
