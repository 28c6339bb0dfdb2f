#include "registry/INISections.h"

#include <string_view>

#include "suite/IniStore.h"
#include "suite/TextUtil.h"

namespace tilbo {

std::vector<INIEntry> ReadINISection(const std::string& section, const std::string& iniPath,
                                     INISectionError* error) {
  std::vector<INIEntry> entries;
  if (error != nullptr) *error = {};
  std::string buffer;
  int32_t size = kSectionBufferStart;
  int length = ProfileGetSection(section, buffer, static_cast<std::size_t>(size), iniPath);
  // A length of size-2 is the store's sign that the buffer was too small.
  while (length == size - 2) {
    if (size + kSectionBufferStep > kSectionBufferLimit) {
      if (error != nullptr) *error = {kOverflowErrorNumber, kOverflowErrorText};
      return entries;
    }
    size += kSectionBufferStep;
    length = ProfileGetSection(section, buffer, static_cast<std::size_t>(size), iniPath);
  }

  const std::string_view filled(buffer.data(), static_cast<std::size_t>(length));
  std::size_t at = 0;
  while (at < filled.size()) {
    auto stop = filled.find('\0', at);
    if (stop == std::string_view::npos) stop = filled.size();
    const std::string_view line = filled.substr(at, stop - at);
    if (line.empty()) break;  // the double NUL ends the list
    const auto eq = line.find('=');
    if (eq != std::string_view::npos) {
      entries.push_back({std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
    at = stop + 1;
  }
  return entries;
}

bool WriteINISection(const std::string& section, const std::string& iniPath, const std::vector<INIEntry>& entries) {
  std::string text;
  for (const INIEntry& entry : entries) {
    if (LenTrim(entry.Key) < 1) continue;
    text += entry.Key;
    text += '=';
    text += entry.Value;
    text += '\0';
  }
  text += '\0';
  if (entries.empty()) text += '\0';
  return ProfileWriteSection(section, text, iniPath);
}

}  // namespace tilbo
