#include "shell/SourceDescription.h"

#include <algorithm>

#include "suite/NumberFormat.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

// Fractional digits of `fraction` (written with `width` digits), trailing
// zeros dropped, then cut to `keep` digits.
std::string CutDecimals(std::uintmax_t whole, std::uintmax_t fraction, int width, std::size_t keep) {
  std::string digits = std::to_string(fraction);
  digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  std::string text = std::to_string(whole);
  if (!digits.empty()) text += "." + digits.substr(0, std::min(keep, digits.size()));
  return text;
}

}  // namespace

std::string FileSizeText(std::uintmax_t length) {
  if (length < 1000) return std::to_string(length) + " bytes, ";
  if (length < 1000000) return CutDecimals(length / 1000, length % 1000, 3, 2) + "kB, ";
  return CutDecimals(length / 1000000, length % 1000000, 6, 3) + "MB, ";
}

SourceDescription DescribeSource(const std::string& path, std::uintmax_t fileLength, const CTGHeader& h) {
  const auto slash = static_cast<std::size_t>(FindLast(path, "/"));
  SourceDescription d;
  d.Filename = path.substr(slash) + " (" + FileSizeText(fileLength) + std::to_string(h.GridDimension1) + "x" +
               std::to_string(h.GridDimension2) + ")";
  d.Directory = path.substr(0, slash);
  d.Title = h.Title;
  d.LatLonQuad = "(" + NumberText(h.Point2Latitude) + ", " + NumberText(h.Point2Longitude) + ") to (" +
                 NumberText(h.Point5Latitude) + ", " + NumberText(h.Point5Longitude) + ")";
  d.UTMRefCorner = std::to_string(h.RefCornerEasting) + " Easting, " + std::to_string(h.RefCornerNorthing) + " Northing";
  d.CellSize = std::to_string(h.CellSize) + "m x " + std::to_string(h.CellSize) + "m";
  return d;
}

}  // namespace tilbo
