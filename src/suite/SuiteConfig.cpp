#include "suite/SuiteConfig.h"

#include "suite/Paths.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {
SuiteConfig g_config;
}  // namespace

SuiteConfig& Config() { return g_config; }

void ResetConfigForTesting() { g_config = SuiteConfig{}; }

std::string GetDefaultsIniPath() {
  if (LenTrim(g_config.userDefaultsIniPath) < 1) {
    g_config.userDefaultsIniPath = setPathName(GetSuiteDirectory(), "QMDEFAULTS.INI", true);
  }
  return g_config.userDefaultsIniPath;
}

std::string GetSuiteIniPath() {
  if (LenTrim(g_config.suiteIniPath) < 1) {
    g_config.suiteIniPath = setPathName(GetSuiteDirectory(), "QMGAV32.INI", true);
  }
  return g_config.suiteIniPath;
}

}  // namespace tilbo
