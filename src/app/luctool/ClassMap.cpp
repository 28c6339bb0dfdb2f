#include "luctool/ClassMap.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>

namespace tilbo::luctool {
namespace {

// Source classes larger than this are no land-cover legend anyone uses; the
// limit keeps a mistyped CSV from passing silently.
constexpr int32_t kLargestSourceClass = 65535;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool ParseWhole(const std::string& text, int32_t& value) {
  const std::string t = Trimmed(text);
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  return ec == std::errc{} && end == t.data() + t.size() && !t.empty();
}

}  // namespace

// NLCD 2001 and later (Anderson-derived legend): see docs/LAND_COVER_IMPORT.md.
ClassMap NlcdClassMap() {
  return {"NLCD",
          {{11, 50}, {12, 91}, {21, 17}, {22, 11}, {23, 16}, {24, 12}, {31, 70}, {41, 41}, {42, 42},
           {43, 43}, {51, 81}, {52, 32}, {71, 31}, {72, 82}, {73, 82}, {74, 82}, {81, 21}, {82, 21},
           {90, 61}, {95, 62}}};
}

// ESA WorldCover 2020/2021 legend: see docs/LAND_COVER_IMPORT.md.
ClassMap WorldCoverClassMap() {
  return {"WorldCover",
          {{10, 40}, {20, 32}, {30, 31}, {40, 21}, {50, 10}, {60, 70}, {70, 90}, {80, 50}, {90, 62},
           {95, 61}, {100, 82}}};
}

std::optional<ClassMap> LoadClassMap(const std::string& name, std::string& error) {
  if (Lower(name) == "nlcd") return NlcdClassMap();
  if (Lower(name) == "worldcover") return WorldCoverClassMap();
  std::ifstream in(name);
  if (!in) {
    error = name + ": cannot be opened (give nlcd, worldcover or a CSV of SOURCE_CLASS,LULC_CODE)";
    return std::nullopt;
  }
  ClassMap map{std::filesystem::path(name).stem().string(), {}};
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string t = Trimmed(line);
    if (t.empty() || t[0] == '#') continue;
    const auto comma = t.find_first_of(",;");
    int32_t source = 0;
    int32_t code = 0;
    const bool parsed = comma != std::string::npos && ParseWhole(t.substr(0, comma), source) &&
                        ParseWhole(t.substr(comma + 1), code);
    if (!parsed && number == 1 && map.codes.empty()) continue;  // a heading
    if (!parsed) {
      error = name + ": line " + std::to_string(number) + " is not SOURCE_CLASS,LULC_CODE: " + t;
      return std::nullopt;
    }
    if (source < 0 || source > kLargestSourceClass || code < 0 || code > std::numeric_limits<int16_t>::max()) {
      error = name + ": line " + std::to_string(number) + ": class or code out of range (classes 0 to " +
              std::to_string(kLargestSourceClass) + ", codes 0 to 32767)";
      return std::nullopt;
    }
    if (!map.codes.emplace(source, static_cast<int16_t>(code)).second) {
      error = name + ": line " + std::to_string(number) + ": class " + std::to_string(source) + " mapped twice";
      return std::nullopt;
    }
  }
  if (map.codes.empty()) {
    error = name + ": no class mapping in the file";
    return std::nullopt;
  }
  return map;
}

}  // namespace tilbo::luctool
