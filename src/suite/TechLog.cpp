#include "suite/TechLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string_view>

#include "suite/AtomicFile.h"
#include "suite/DateText.h"
#include "suite/NumberFormat.h"
#include "suite/Paths.h"
#include "suite/SuiteConfig.h"
#include "suite/SystemInfo.h"
#include "suite/TextUtil.h"
#include "suite/Version.h"

namespace tilbo {
namespace {

constexpr const char* kLogName = "QMTECSUP.TXT";
constexpr int kWriteStatusIndex = 2;
constexpr std::size_t kSeparatorLength = 52;

std::string g_logPath;
StatusSink g_statusSink;

std::string VersionText(bool withVersion) {
  const std::string revision = std::to_string(kVersionRevision);
  if (!withVersion) return "__.__." + revision;
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." + revision;
}

// CR LF inside a text becomes LF, so the log is an ordinary text file.
std::string WithUnixLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// One open, one write, one close per line: a later failure never leaves a
// line half written.
void AppendToLog(std::string_view bytes) {
  const Descriptor log = OpenFile(TechLogPath(), O_WRONLY | O_APPEND | O_CREAT, 0666);
  if (log.valid()) (void)WriteAll(log.get(), bytes);
}

std::string LogHeader() {
  const clsSystemInfo system;
  const std::string minor = FormatPicture(kVersionMinor, "00");
  const std::string revision = FormatPicture(kVersionRevision, "00");
  std::string header;
  header += ".LOG\n";
  header += "GAV Terrain Analysis Suite\n";
  header += "TechSupport Report File\n";
  header += "\n";
  header += "OS: " + system.SystemName() + "  CPU: " + system.ProcessorType() + "\n";
  header += "Memory: " + FormatPicture(static_cast<double>(system.FreePhysicalMemoryKB()), "###,###") +
            " KB Free\n";
  header += "GAV is currently installed in " + GetSuiteDirectory() + "\n";
  header += std::string(kProgramTitle) + " Version " + std::to_string(kVersionMajor) + "." + minor + "." +
            revision + "\n";
  header += std::string(kSeparatorLength, '-') + "\n";
  return header;
}

}  // namespace

std::string TechLogPath() {
  if (g_logPath.empty()) g_logPath = ResolveWellKnownName(setPathName(GetSuiteDirectory(), kLogName, true));
  return g_logPath;
}

void EnsureLog() {
  try {
    const std::string path = TechLogPath();
    if (FileExists(path)) return;
    (void)ReplaceFileAtomically(path, LogHeader());
  } catch (...) {
    // The log is a help for support; failing to write it never stops the program.
  }
}

void WriteLog(std::string& text, bool withVersion) {
  try {
    EnsureLog();
    SetStatusMessage("Write Log", kWriteStatusIndex);
    const std::string line = GeneralDate(std::time(nullptr)) + ":  " + text + "  (" + kExecutableName + " " +
                             VersionText(withVersion) + ")";
    AppendToLog(WithUnixLineEnds(line) + "\n \n");
    text = line;
    SetStatusMessage("", kWriteStatusIndex);
  } catch (...) {
    // Not reported again: the log is where reports go.
  }
}

void WriteLogIfEnabled(const std::string& text) {
  if (Config().techSupportLogLevel == 0) return;
  std::string line = text;
  WriteLog(line, true);
}

void WriteLogAtLevel(const std::string& text, int level) {
  if (level == Config().techSupportLogLevel) WriteLogIfEnabled(text);
}

void SetStatusMessage(const std::string& text, int index) {
  if (index < 0 || index >= kStatusMessageCount || !g_statusSink) return;
  try {
    g_statusSink(index, Trim(text));
  } catch (...) {
    // A status line that cannot be shown is not worth a report.
  }
}

void SetStatusSink(StatusSink sink) { g_statusSink = std::move(sink); }

void ResetTechLogForTesting() {
  g_logPath.clear();
  g_statusSink = nullptr;
}

}  // namespace tilbo
