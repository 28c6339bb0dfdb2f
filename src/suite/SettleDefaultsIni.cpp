#include "suite/SettleDefaultsIni.h"

#include <sys/stat.h>

#include <cstdio>

#include "suite/AtomicFile.h"
#include "suite/DateText.h"
#include "suite/Paths.h"
#include "suite/SuiteConfig.h"

namespace tilbo {
namespace {

constexpr const char* kDefaultsIniName = "QMDEFAULTS.INI";
constexpr const char* kOldConfigName = "QMCONFIG.INI";

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PathTaken(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Copies the old settings into place; true only when the copy is complete.
bool CopySettings(const std::string& from, const std::string& to) {
  std::string bytes;
  return ReadWholeFileBytes(from, bytes) && ReplaceFileAtomically(to, bytes);
}

}  // namespace

std::string RetiredConfigName(std::time_t when) { return "QMCONFIG " + CompactTimestamp(when) + ".INI"; }

bool SettleUserDefaultsIni(bool setPath) {
  const std::string windowsFolder = GetWindowsFolder();
  if (!IsDirectory(windowsFolder)) return false;

  const std::string candidate = ResolveWellKnownName(setPathName(ProgramDirectory(), kDefaultsIniName, true));
  const std::string& current = Config().userDefaultsIniPath;
  if (candidate != current && current != kDefaultsIniName && !FileExists(candidate)) {
    const std::string oldConfig = ResolveWellKnownName(setPathName(windowsFolder, kOldConfigName, true));
    if (FileExists(oldConfig) && CopySettings(oldConfig, candidate)) {
      const std::string retired = setPathName(windowsFolder, RetiredConfigName(std::time(nullptr)), true);
      // rename() would silently replace a file of the same name; keep both instead.
      if (!PathTaken(retired)) std::rename(oldConfig.c_str(), retired.c_str());
    }
  }
  if (setPath) Config().userDefaultsIniPath = candidate;
  return true;
}

}  // namespace tilbo
