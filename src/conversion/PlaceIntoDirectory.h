#pragma once
// Copies a finished tile into its target directory so that a reader never
// sees half a tile and a failed copy never destroys the tile that was there:
// the bytes go to a temporary name in the target directory, are flushed, and
// the temporary file is renamed over the target.

#include <string>

namespace tilbo {

bool PlaceIntoDirectory(const std::string& source, const std::string& target);

}  // namespace tilbo
