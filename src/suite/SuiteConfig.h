#pragma once
// The suite configuration of this process: the INI paths, log levels and the
// regional separators seen at start-up. One instance, settled during start-up
// and read everywhere.

#include <cstdint>
#include <string>

namespace tilbo {

struct SuiteConfig {
  // The user-defaults INI (QMDEFAULTS.INI once start-up has settled it; before
  // that the bare name, which resolves in the Windows folder).
  std::string userDefaultsIniPath = "QMconfig.InI";
  // The suite INI (QMGAV32.INI); empty until GetSuiteIniPath() sets it.
  std::string suiteIniPath;
  // Key "Tech Support Log" of section "Config": 0 is off.
  int16_t techSupportLogLevel = 0;
  // Key "DEBUG" of section "CONFIG".
  int16_t debugLevel = 0;
  // The regional decimal character and digit separator read at start-up.
  std::string lastDecimal, lastDigitSeparator;
};

SuiteConfig& Config();
void ResetConfigForTesting();

// The user-defaults INI path; a blank one is first set to the suite directory
// joined with "QMDEFAULTS.INI", and kept.
std::string GetDefaultsIniPath();
// The suite INI path; a blank one is first set to the suite directory joined
// with "QMGAV32.INI", and kept.
std::string GetSuiteIniPath();

}  // namespace tilbo
