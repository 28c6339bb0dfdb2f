#include "suite/Regional.h"

#include "suite/IniAccess.h"
#include "suite/NumberFormat.h"
#include "suite/Prompter.h"
#include "suite/SuiteConfig.h"
#include "suite/TechLog.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

constexpr const char* kSection = "CONFIG";
constexpr const char* kLastDecimalKey = "Last Decimal";
constexpr const char* kLastSeparatorKey = "Last Dig Sep";
constexpr const char* kTitle = "Regional Settings Changed";

// A profile value: cut at its first NUL, trimmed.
std::string ProfileCharacter(const std::string& value) { return Trim(value.substr(0, value.find('\0'))); }

}  // namespace

bool ReadRegionalFormat(std::string& description) {
  const NumberSeparators& separators = CurrentSeparators();
  SuiteConfig& config = Config();
  config.lastDecimal = ProfileCharacter(separators.decimal);
  config.lastDigitSeparator = ProfileCharacter(separators.thousands);

  const std::string ini = GetDefaultsIniPath();
  const std::string storedDecimal = ReadINI(kSection, kLastDecimalKey, "", ini);
  const std::string storedSeparator = ReadINI(kSection, kLastSeparatorKey, "", ini);

  description.clear();
  if (!storedDecimal.empty() && storedDecimal != config.lastDecimal) {
    description = "Decimal was '" + storedDecimal + "' but now is '" + config.lastDecimal + "'";
  }
  if (!storedSeparator.empty() && storedSeparator != config.lastDigitSeparator) {
    if (!description.empty()) description += "\r\n";
    description += "Digit Separator was '" + storedSeparator + "' but now is '" + config.lastDigitSeparator + "'";
  }
  return !description.empty();
}

void CheckRegionalSettings() {
  std::string description;
  if (!ReadRegionalFormat(description)) {
    const std::string ini = GetDefaultsIniPath();
    WriteINI(kSection, kLastDecimalKey, Config().lastDecimal, ini);
    WriteINI(kSection, kLastSeparatorKey, Config().lastDigitSeparator, ini);
    return;
  }
  const std::string message =
      std::string("WARNING:  The Regional Settings for Decimal character and Digit Separator character have been "
                  "changed.") +
      "\r\n\r\n" + description + "\r\n\r\n" +
      "Some settings in your QMDEFAULTS.INI file using the old settings may cause errors." + "\r\n\r\n" +
      "Use the Configuration menu to Purge the configuration file to remove old settings.";
  std::string logLine = message;
  WriteLog(logLine, true);
  ActivePrompter().ShowMessage(MessageIcon::Information, message, kTitle);
}

}  // namespace tilbo
