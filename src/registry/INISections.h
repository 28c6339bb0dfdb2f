#pragma once
// Reading and writing a whole INI section at once.

#include <cstdint>
#include <string>
#include <vector>

namespace tilbo {

struct INIEntry {
  std::string Key;
  std::string Value;
  bool operator==(const INIEntry&) const = default;
};

// Why a section could not be read.
struct INISectionError {
  int32_t Number = 0;
  std::string Description;
};

// The section is read into a buffer of 2,000 bytes that grows by 500 while the
// section does not fit. The size is a 16-bit count, so 32,500 bytes is the
// largest buffer tried; a bigger section is an overflow.
inline constexpr int32_t kSectionBufferStart = 2000;
inline constexpr int32_t kSectionBufferStep = 500;
inline constexpr int32_t kSectionBufferLimit = INT16_MAX;
inline constexpr int32_t kOverflowErrorNumber = 6;
inline constexpr const char* kOverflowErrorText = "Overflow";

// The section's entries in file order: key before the first "=", value after
// it, neither trimmed further nor case-folded; lines without "=" are skipped.
// A missing file or section gives no entries. A section too big for the
// largest buffer gives no entries and, through `error`, the overflow.
std::vector<INIEntry> ReadINISection(const std::string& section, const std::string& iniPath,
                                     INISectionError* error = nullptr);

// Replaces the section's entries by those given (entries with a blank key are
// left out). False, with errno set, when the file could not be written.
bool WriteINISection(const std::string& section, const std::string& iniPath, const std::vector<INIEntry>& entries);

}  // namespace tilbo
