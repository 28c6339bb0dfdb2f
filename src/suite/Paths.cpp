#include "suite/Paths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "suite/TextUtil.h"

namespace tilbo {
namespace {

constexpr std::array<std::string_view, 4> kWellKnownNames = {"QMDEFAULTS.INI", "QMCONFIG.INI",
                                                              "QMGAV32.INI", "QMTECSUP.TXT"};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string HomeDirectory() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return ".";
}

// An XDG base directory: the variable when it holds an absolute path, else
// the fallback under the home directory.
std::string XdgDirectory(const char* variable, const char* fallbackUnderHome) {
  std::string dir = Environment(variable);
  if (dir.empty() || dir.front() != '/') dir = HomeDirectory() + "/" + fallbackUnderHome;
  return dir;
}

std::string WithoutTrailingSlashes(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string WithTrailingSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

void CreateDirectory(const std::string& dir) {
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
}

}  // namespace

std::string ProgramDirectory() {
  std::string dir = Environment("CTGTILBO_HOME");
  if (dir.empty()) dir = XdgDirectory("XDG_DATA_HOME", ".local/share") + "/ctgtilbo";
  dir = WithoutTrailingSlashes(dir);
  CreateDirectory(dir);
  return WithTrailingSlash(dir);
}

std::string GetWindowsFolder() {
  std::string dir = Trim(Environment("CTGTILBO_WINDOWS_DIR"));
  if (dir.empty()) dir = XdgDirectory("XDG_CONFIG_HOME", ".config") + "/ctgtilbo";
  dir = WithoutTrailingSlashes(dir);
  CreateDirectory(dir);
  return dir;
}

std::string GetSuiteDirectory() {
  const std::string dir = Environment("CTGTILBO_SUITE_DIR");
  if (dir.empty()) return ProgramDirectory();
  return WithTrailingSlash(dir);
}

std::string setPathName(const std::string& directory, const std::string& name, bool convertSlashes) {
  std::string file = name;
  while (!file.empty() && (file.front() == '\\' || file.front() == '/')) {
    file.front() = ' ';
    file = Trim(file);
  }
  std::string dir = directory;
  if (!dir.empty() && dir.back() == '\0') dir.back() = ' ';
  dir = RTrim(dir);
  file = RTrim(file);
  std::string joined = (!dir.empty() && dir.back() == '/') ? dir + file : dir + "/" + file;
  // The platform's separator is "/" already, so there is nothing to convert.
  (void)convertSlashes;
  return joined;
}

bool FileExists(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 1;
}

bool IsWellKnownName(std::string_view name) {
  for (std::string_view known : kWellKnownNames) {
    if (EqualsIgnoreCase(name, known)) return true;
  }
  return false;
}

std::string ResolveWellKnownName(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!IsWellKnownName(name) || path.find('\0') != std::string::npos) return path;

  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) return path;

  DIR* listing = ::opendir(dir.empty() ? "/" : dir.c_str());
  if (listing == nullptr) return path;
  std::string match;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string candidate = entry->d_name;
    // Of several spellings, the first in byte order, so the choice never depends on the listing order.
    if (EqualsIgnoreCase(candidate, name) && (match.empty() || candidate < match)) match = candidate;
  }
  ::closedir(listing);
  if (match.empty()) return path;
  return slash == std::string::npos ? match : dir + "/" + match;
}

}  // namespace tilbo
