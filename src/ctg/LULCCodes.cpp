#include "ctg/LULCCodes.h"

namespace tilbo {
namespace {

struct CodeDescription {
  int32_t code;
  const char* text;
};

constexpr CodeDescription kDescriptions[] = {
    {-32000, "Padding Value"},
    {0, "Undefined"},
    {10, "Urban or Built-up Land"},
    {11, "Urban or Built-up Land: Residential"},
    {12, "Urban or Built-up Land: Commercial and Services"},
    {13, "Urban or Built-up Land: Industrial"},
    {14, "Urban or Built-up Land: Transportation, Communications and Utilities"},
    {15, "Urban or Built-up Land: Industrial and Commercial Complexes"},
    {16, "Urban or Built-up Land: Mixed"},
    {17, "Urban or Built-up Land: Other"},
    {20, "Agricultural Land"},
    {21, "Agricultural Land: Cropland and Pasture"},
    {22, "Agricultural Land: Orchards, Groves, Vineyards, Nurseries, and "
         "Ornamental Horticultural Areas"},
    {23, "Agricultural Land: Confined Feeding Operations"},
    {24, "Agricultural Land: Other"},
    {30, "Rangeland"},
    {31, "Rangeland: Herbaceous"},
    {32, "Rangeland: Shrub and Brush"},
    {33, "Rangeland: Mixed"},
    {40, "Forest Land"},
    {41, "Forest Land: Deciduous"},
    {42, "Forest Land: Evergreen"},
    {43, "Forest Land: Mixed"},
    {50, "Water"},
    {51, "Water: Streams and Canals"},
    {52, "Water: Lakes"},
    {53, "Water: Reservoirs"},
    {54, "Water: Bays and Estuaries"},
    {60, "Wetland"},
    {61, "Wetland: Forested"},
    {62, "Wetland: Nonforested"},
    {70, "Barren Land"},
    {71, "Barren Land: Dry Salt Flats"},
    {72, "Barren Land: Beaches"},
    {73, "Barren Land: Sandy Areas Other than Beaches"},
    {74, "Barren Land: Bare Exposed Rock"},
    {75, "Barren Land: Strip Mines, Quarries, and Gravel Pits"},
    {76, "Barren Land: Transitional Areas"},
    {77, "Barren Land: Mixed"},
    {80, "Tundra"},
    {81, "Tundra: Shrub and Brush"},
    {82, "Tundra: Herbaceous"},
    {83, "Tundra: Bare Ground"},
    {84, "Tundra: Wet Ground"},
    {85, "Tundra: Mixed"},
    {90, "Perennial Snow or Ice"},
    {91, "Perennial Snow or Ice: Perennial Snowfields"},
    {92, "Perennial Snow or Ice: Glaciers"},
    {100, "Quillmarsh Defined Code"},
    {101, "LAND AREA UNDEFINED BY CODING SCHEME"},
    {102, "WATER AREA UNDEFINED BY CODING SCHEME"},
};

}  // namespace

std::string LULCCodeDescription(int32_t code) {
  for (const auto& entry : kDescriptions) {
    if (entry.code == code) return entry.text;
  }
  return "Unidentified Code";
}

}  // namespace tilbo
