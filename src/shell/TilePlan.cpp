#include "shell/TilePlan.h"

#include <algorithm>
#include <cmath>

#include "luc/TileName.h"
#include "suite/Rounding.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

constexpr const char* kScaleMark = "1:250,000";
constexpr std::size_t kBaseLengthWithoutScale = 30;
// More one-degree cells than the earth has means the header's corners are not
// real positions; refusing them keeps a hostile header from sizing the plan.
constexpr long kMaxCandidateTiles = 180L * 360L;
constexpr double kMaxLatitude = 90, kMaxLongitude = 180;  // degrees either side of 0

bool IsWhole(double value) { return std::floor(value) == value; }

bool OnTheEarth(double latitude, double longitude) {
  return std::fabs(latitude) <= kMaxLatitude && std::fabs(longitude) <= kMaxLongitude;
}

}  // namespace

std::string TileTitle(const std::string& sourceTitle, const std::vector<PlannedFile>& tiles,
                      std::size_t index) {
  const std::size_t n = tiles.size();
  const auto scaleAt = sourceTitle.find(kScaleMark);
  const std::string base = scaleAt != std::string::npos ? sourceTitle.substr(0, scaleAt)
                                                        : Left(sourceTitle, kBaseLengthWithoutScale);
  const std::string tail = scaleAt != std::string::npos ? sourceTitle.substr(scaleAt) : "";
  const double lon = tiles[index - 1].RefLon;

  std::string title;
  if (n == 1) {
    title = sourceTitle;
  } else if (n == 2) {
    const double other = tiles[index == 1 ? 1 : 0].RefLon;
    title = base + (lon < other ? " (WEST) " : " (EAST) ") + tail;
  } else if (n == 3) {
    int westOf = 0, eastOf = 0;
    for (std::size_t k = 0; k < n; ++k) {
      if (k == index - 1) continue;
      if (lon < tiles[k].RefLon) ++westOf;
      if (lon > tiles[k].RefLon) ++eastOf;
    }
    const char* side = westOf == 2 ? " (WEST) " : eastOf == 2 ? " (EAST) " : " (CENTER) ";
    title = base + side + tail;
  } else {
    title = base + " (" + std::to_string(index) + " of " + std::to_string(n) + " ) " + tail;
  }
  return Left(title, kMaxTileTitleLength);
}

std::vector<PlannedFile> PlanTiles(const CTGHeader& header, const std::string& directory) {
  // Corners that are no position on the earth ("9E9" in a degrees field, whose
  // whole degrees FloorInt cannot even hold) give no tile.
  if (!OnTheEarth(header.Point1Latitude, header.Point1Longitude) ||
      !OnTheEarth(header.Point4Latitude, header.Point4Longitude)) {
    return {};
  }
  const int latFrom = FloorInt(header.Point1Latitude), latTo = FloorInt(header.Point4Latitude);
  const int lonFrom = CeilingInt(header.Point1Longitude), lonTo = CeilingInt(header.Point4Longitude);
  const long candidates = std::max(0L, static_cast<long>(latTo - latFrom + 1)) *
                          std::max(0L, static_cast<long>(lonTo - lonFrom + 1));
  if (candidates > kMaxCandidateTiles) return {};

  std::vector<PlannedFile> tiles;
  for (int lat = latFrom; lat <= latTo; ++lat) {
    for (int lon = lonFrom; lon <= lonTo; ++lon) {
      PlannedFile tile;
      tile.RefLat = lat;
      tile.RefLon = lon;
      tiles.push_back(tile);
    }
  }

  // A tile reaching west of the north-west corner or north of it is dropped,
  // but only when that bound is a whole degree: the walk above takes such a
  // column or row when an edge lies exactly on a whole degree.
  const double westBound = header.Point2Longitude, northBound = header.Point2Latitude;
  std::erase_if(tiles, [&](const PlannedFile& t) {
    const bool westOk = !IsWhole(westBound) || t.RefLon - 1 >= westBound;
    const bool northOk = !IsWhole(northBound) || t.RefLat + 1 <= northBound;
    return !(westOk && northOk);
  });
  if (tiles.empty()) return tiles;

  const double estimate = 2.0 * header.GridDimension1 * header.GridDimension2 / tiles.size();
  const int32_t size = RoundToInt<int32_t>(estimate).value_or(0);
  for (std::size_t i = 1; i <= tiles.size(); ++i) {
    PlannedFile& tile = tiles[i - 1];
    tile.FileName = LUCTileName(tile.RefLat, tile.RefLon);
    tile.Size = size;
    tile.Directory = directory;
  }
  for (std::size_t i = 1; i <= tiles.size(); ++i) tiles[i - 1].Title = TileTitle(header.Title, tiles, i);
  return tiles;
}

}  // namespace tilbo
