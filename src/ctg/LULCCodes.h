#pragma once
// Descriptions of the USGS land-use and land-cover codes that CTG records
// carry and LUC tiles store.

#include <cstdint>
#include <string>

namespace tilbo {

// "Forest Land: Deciduous" for 41; "Unidentified Code" for codes not known.
std::string LULCCodeDescription(int32_t code);

}  // namespace tilbo
