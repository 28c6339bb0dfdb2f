#pragma once
// Opening a LUC tile for a luctool command that needs one (render, georef,
// export): on failure the user reads why, and a CTG source is named as such
// with the command that converts it.

#include <string>

#include "luctool/Luctool.h"
#include "luctool/TileGeoref.h"

namespace tilbo {
class LUCFileV1;
}

namespace tilbo::luctool {

// Opens `path` in memory I/O mode; false (after telling io.err) when it is no
// readable tile.
bool OpenTile(LUCFileV1& luc, const std::string& path, Io& io);

// Opens the tile and works out where its grid lies; false (after telling
// io.err) when the file is no readable tile or its header gives no grid on
// the earth.
bool OpenGeoreferencedTile(const std::string& path, TileGeoref& georef, Io& io);

// Whether the file opens as a CTG source (its header checks out).
bool IsCtgSource(const std::string& path);

}  // namespace tilbo::luctool
