#pragma once
// The texts that describe a source file in the main window's "Original File"
// frame: its name with size and grid, directory, title, quadrangle corners,
// grid reference corner and cell size.

#include <cstdint>
#include <string>

#include "ctg/CTGDecode.h"

namespace tilbo {

struct SourceDescription {
  std::string Filename;      // "NAME (1.234MB, 1200x1400)"
  std::string Directory;     // the path up to and including its last "/"
  std::string Title;
  std::string LatLonQuad;    // "(north-west lat, lon) to (south-east lat, lon)"
  std::string UTMRefCorner;  // "E Easting, N Northing"
  std::string CellSize;      // "200m x 200m"
};

SourceDescription DescribeSource(const std::string& path, std::uintmax_t fileLength, const CTGHeader& header);

// "999 bytes, ", "12.34kB, ", "1.234MB, " for a file length: the decimal
// text cut (not rounded) after two or three digits.
std::string FileSizeText(std::uintmax_t length);

}  // namespace tilbo
