#pragma once
// Which LULC code (the suite's land-use classes, 10 urban ... 92 glaciers) a
// class of a land-cover raster becomes: the built-in tables for NLCD (2001
// and later legend) and ESA WorldCover, or a two-column CSV for any other
// source. The reasons for each built-in choice are in docs/LAND_COVER_IMPORT.md.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tilbo::luctool {

struct ClassMap {
  std::string label;                 // "NLCD", "WorldCover" or the CSV's name: what the data is
  std::map<int32_t, int16_t> codes;  // source class -> LULC code

  // The LULC code of a source class; nothing when the class has no mapping.
  std::optional<int16_t> CodeOf(int32_t sourceClass) const {
    const auto it = codes.find(sourceClass);
    if (it == codes.end()) return std::nullopt;
    return it->second;
  }
};

ClassMap NlcdClassMap();
ClassMap WorldCoverClassMap();

// "nlcd", "worldcover" (any letter case) or the path of a CSV whose lines are
// "SOURCE_CLASS,LULC_CODE" (blank lines, lines starting with "#" and a first
// line that is not numeric - a heading - are skipped). On failure returns
// nothing and sets `error` to the file and the reason.
std::optional<ClassMap> LoadClassMap(const std::string& name, std::string& error);

}  // namespace tilbo::luctool
