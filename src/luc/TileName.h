#pragma once
// Tile names both ways, and the whole-degree helpers they rest on.
//
// A LUC tile covers one one-degree cell of latitude and longitude and is named
// after the cell's south-east corner: "L" + three longitude digits + two
// latitude digits + quadrant letters + ".LUC", for example L10540NW.LUC for the
// cell 40..41 N, 106..105 W.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tilbo {

// The padding value of LUC grids: a cell of the grid outside the tile's
// one-degree cell.
inline constexpr int16_t kPaddingValue = -32000;

// The tile name for a position (callers pass the cell's south-east corner).
std::string LUCTileName(double latitude, double longitude);

// The south-east corner (latitude, longitude) a bare tile name stands for, or
// nothing when the name does not follow the rule (checked exactly, letter case
// included).
std::optional<std::pair<double, double>> CornerFromTileName(std::string_view name);

// Largest whole number not above the value, as a 16-bit integer. Throws
// std::overflow_error beyond -32768..32767 (positions on the earth never are).
int16_t FloorInt(double value);
// Smallest whole number not below the value, as a 16-bit integer.
int16_t CeilingInt(double value);

}  // namespace tilbo
