#pragma once
// `luctool info` for LUC tiles: the header, the tile's extent, and how many
// cells hold each code, as text or as one JSON object.

#include <string>

#include "luctool/Luctool.h"

namespace tilbo::luctool {

// Whether the file begins with the LUC signature "QMLULC 1.0" (letter case ignored).
bool LooksLikeLucFile(const std::string& path);

// Prints the tile's description to io.out; a file that cannot be opened as a
// LUC tile is reported on io.err. Returns the exit status: 0, or 1 on failure.
int PrintLucInfo(const std::string& path, bool json, Io& io);

}  // namespace tilbo::luctool
