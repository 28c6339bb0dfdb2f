#include "coords/SysUnits.h"

#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"
#include "suite/TechLog.h"

namespace tilbo {
namespace {

constexpr int kTraceLevel = 100;
std::string g_coordinateFormat = kDefaultCoordinateFormat;

}  // namespace

void getSysUnits() {
  WriteLogAtLevel("enter getSysUnits", kTraceLevel);
  g_coordinateFormat = ReadINI(kSystemUnitsSection, kCoordFormatKey, kDefaultCoordinateFormat, GetDefaultsIniPath());
}

const std::string& CoordinateFormat() { return g_coordinateFormat; }

void SetCoordinateFormatForTesting(const std::string& format) { g_coordinateFormat = format; }

}  // namespace tilbo
