#pragma once
// The plan of LUC tiles for a source quadrangle: which one-degree cells it
// touches, their names, estimated sizes and titles.

#include <cstdint>
#include <string>
#include <vector>

#include "ctg/CTGDecode.h"
#include "conversion/PlannedFile.h"

namespace tilbo {

inline constexpr std::size_t kMaxTileTitleLength = 40;

// The tiles of the quadrangle in plan order (south to north, west to east
// within a row), every tile's Directory set to `directory`. Empty when the
// header's corners leave no tile or are not positions on the earth.
std::vector<PlannedFile> PlanTiles(const CTGHeader& header, const std::string& directory);

// The title of tile `index` (1-based) of a plan of `tiles`, from the source
// title: the quadrangle's title with " (WEST) ", " (EAST) ", " (CENTER) " or
// " (i of N ) " before its "1:250,000" scale, cut to 40 characters.
std::string TileTitle(const std::string& sourceTitle, const std::vector<PlannedFile>& tiles,
                      std::size_t index);

}  // namespace tilbo
