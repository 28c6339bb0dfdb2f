#include "registry/LULCRetrievalAndRegistry.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <vector>

#include "luc/TileName.h"
#include "registry/INISections.h"
#include "suite/Paths.h"
#include "suite/SuiteConfig.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

constexpr const char* kEmptyKey = "EMPTY";
constexpr const char* kDirectoryKeyPrefix = "Directory ";
constexpr int32_t kBadFileNameNumber = 52;
constexpr const char* kBadFileNameText = "Bad file name or number";

constexpr std::array<const char*, 22> kErrorTexts = {
    "No error.",
    "Directories not read.",
    "Directories already read.",
    "Index out of bounds.",
    "Directory not found.",
    "Bad directory name.",
    "LRR_FindFilesRect already called.",
    "LRR_FindFilesRect not called.",
    "Code table empty.",
    "Code table full.",
    "Database filename not set.",
    "INI file filename not set.",
    "Database corrupt.",
    "Could not open database.",
    "Records overlap.",
    "Template list not loaded.",
    "Template list already loaded.",
    "Loss database not open.",
    "Loss database already open.",
    "Record not found.",
    "No entries found for the specifed frequency in this template.",
    "Unknown error.",
};

struct Registry {
  std::vector<std::string> directories;
  bool read = false;
  int32_t lastError = kLRRNoError;
  LRRFailure failure;
};

Registry g_registry;

void Fail(int32_t code, LRRFailure failure) {
  g_registry.lastError = code;
  g_registry.failure = std::move(failure);
}

std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// The directory check without prompting or creating anything.
bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The file search: an ordinary file (regular, links followed, name not
// starting with "."). A path the system cannot look up at all is a failure.
enum class Search { Found, NotFound, Failed };

Search SearchFile(const std::string& path, LRRFailure& failure) {
  if (path.find('\0') != std::string::npos) {
    failure = {kBadFileNameNumber, kBadFileNameText};
    return Search::Failed;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || errno == EACCES) return Search::NotFound;
    failure = {errno, std::strerror(errno)};
    return Search::Failed;
  }
  const auto slash = path.rfind('/');
  const bool hidden = path[slash == std::string::npos ? 0 : slash + 1] == '.';
  return S_ISREG(info.st_mode) && !hidden ? Search::Found : Search::NotFound;
}

// The user-defaults INI path, or nothing (code 11) when it is blank.
const std::string* IniPathOrFail() {
  const std::string& path = Config().userDefaultsIniPath;
  if (LenTrim(path) < 1) {
    g_registry.lastError = kLRRIniFileNotSet;
    return nullptr;
  }
  return &path;
}

// The failure record of an exception, numbered as the suite's other programs
// number run-time errors.
constexpr int32_t kOutOfMemoryNumber = 7;
constexpr int32_t kInternalErrorNumber = 51;

LRRFailure FromException(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return {kOutOfMemoryNumber, "Out of memory"};
  if (dynamic_cast<const std::overflow_error*>(&e) != nullptr) return {kOverflowErrorNumber, kOverflowErrorText};
  return {kInternalErrorNumber, e.what()};
}

}  // namespace

void LRR_ReadDirectories() {
  if (g_registry.read) {
    g_registry.lastError = kLRRAlreadyRead;
    return;
  }
  const std::string* ini = IniPathOrFail();
  if (ini == nullptr) return;
  try {
    INISectionError error;
    const std::vector<INIEntry> entries = ReadINISection(kLULCDirectoriesSection, *ini, &error);
    if (error.Number != 0) {
      Fail(kLRRUnknownError, {error.Number, error.Description});
      return;
    }
    std::vector<std::string> directories;
    for (const INIEntry& entry : entries) {
      if (ToUpperAscii(entry.Key) == kEmptyKey) break;
      if (LenTrim(entry.Value) >= 1 && DirectoryExists(entry.Value)) {
        directories.push_back(WithTrailingSlash(entry.Value));
      }
    }
    g_registry.directories = std::move(directories);
    g_registry.read = true;
    g_registry.lastError = kLRRNoError;
  } catch (const std::exception& e) {
    Fail(kLRRUnknownError, FromException(e));
  }
}

int16_t LRR_GetDirectoryCount() {
  if (!g_registry.read) {
    g_registry.lastError = kLRRNotRead;
    return 0;
  }
  g_registry.lastError = kLRRNoError;
  return static_cast<int16_t>(g_registry.directories.size());
}

std::string LRR_GetDirectory(int16_t index) {
  if (!g_registry.read) {
    g_registry.lastError = kLRRNotRead;
    return {};
  }
  if (index < 1 || static_cast<std::size_t>(index) > g_registry.directories.size()) {
    g_registry.lastError = kLRRIndexOutOfBounds;
    return {};
  }
  return g_registry.directories[static_cast<std::size_t>(index) - 1];
}

void LRR_AddDirectory(const std::string& path) {
  if (!g_registry.read) {
    g_registry.lastError = kLRRNotRead;
    return;
  }
  // The count is a 16-bit number.
  if (g_registry.directories.size() >= static_cast<std::size_t>(INT16_MAX)) {
    Fail(kLRRUnknownError, {kOverflowErrorNumber, kOverflowErrorText});
    return;
  }
  try {
    g_registry.directories.push_back(WithTrailingSlash(path));
    g_registry.lastError = kLRRNoError;
  } catch (const std::exception& e) {
    Fail(kLRRUnknownError, FromException(e));
  }
}

void LRR_SaveDirectories() {
  if (!g_registry.read) {
    g_registry.lastError = kLRRNotRead;
    return;
  }
  const std::string* ini = IniPathOrFail();
  if (ini == nullptr) return;
  try {
    std::vector<INIEntry> entries;
    for (std::size_t i = 0; i < g_registry.directories.size(); ++i) {
      entries.push_back({kDirectoryKeyPrefix + std::to_string(i + 1), g_registry.directories[i]});
    }
    if (entries.empty()) entries.push_back({"Empty", "True"});
    if (!WriteINISection(kLULCDirectoriesSection, *ini, entries)) {
      const int error = errno;
      Fail(kLRRUnknownError, {error, "Could not write the LUC directory list to " + *ini + ": " + std::strerror(error)});
      return;
    }
    g_registry.lastError = kLRRNoError;
  } catch (const std::exception& e) {
    Fail(kLRRUnknownError, FromException(e));
  }
}

void LRR_ReleaseDirectories() {
  if (!g_registry.read) {
    g_registry.lastError = kLRRNotRead;
    return;
  }
  g_registry.directories.clear();
  g_registry.read = false;
  g_registry.lastError = kLRRNoError;
}

std::string LRR_FindFile(double latitude, double longitude, const std::string& directory) {
  if (!g_registry.read) {
    g_registry.lastError = kLRRNotRead;
    return {};
  }
  try {
    const std::string name = LUCTileName(latitude, longitude);
    LRRFailure failure;
    if (LenTrim(directory) >= 1) {
      const std::string path = setPathName(directory, name, true);
      switch (SearchFile(path, failure)) {
        case Search::Found:
          g_registry.lastError = kLRRNoError;
          return path;
        case Search::NotFound:
          return {};
        case Search::Failed:
          Fail(kLRRBadDirectoryName, failure);
          return {};
      }
    }
    for (const std::string& listed : g_registry.directories) {
      const std::string path = setPathName(listed, name, true);
      const Search found = SearchFile(path, failure);
      if (found == Search::Failed) {
        Fail(kLRRBadDirectoryName, failure);
        return {};
      }
      if (found == Search::Found) {
        g_registry.lastError = kLRRNoError;
        return path;
      }
    }
    g_registry.lastError = kLRRNoError;
    return {};
  } catch (const std::exception& e) {
    Fail(kLRRBadDirectoryName, FromException(e));
    return {};
  }
}

int32_t LRR_LastError() { return g_registry.lastError; }

std::string LRR_ErrorText(int32_t code) {
  if (code < 0 || static_cast<std::size_t>(code) >= kErrorTexts.size()) return "Invalid error code.";
  return kErrorTexts[static_cast<std::size_t>(code)];
}

LRRFailure LRR_LastFailure() { return g_registry.failure; }

void LRR_ResetError() {
  g_registry.lastError = kLRRNoError;
  g_registry.failure = {};
}

void LRR_ResetModuleForTesting() { g_registry = Registry{}; }

}  // namespace tilbo
