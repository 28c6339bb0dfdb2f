#pragma once
// One planned LUC tile of a source file.

#include <cstdint>
#include <string>

namespace tilbo {

struct PlannedFile {
  std::string FileName;   // tile file name without directory, e.g. L07144NW.LUC
  int32_t Size = 0;       // estimated size in bytes
  std::string Directory;  // target directory, as shown and edited
  std::string Title;      // title stored in the new tile, at most 40 characters
  double RefLat = 0;      // south edge of the tile's one-degree cell (whole degrees)
  double RefLon = 0;      // east edge of the tile's one-degree cell (whole degrees, west negative)
};

}  // namespace tilbo
