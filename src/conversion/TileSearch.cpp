#include "conversion/TileSearch.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <thread>

#include "coords/UtmCon.h"
#include "luc/TileName.h"

namespace tilbo {
namespace {

// Below this many records a thread costs more than it saves.
constexpr std::size_t kMinRecordsPerThread = 1024;
constexpr std::size_t kMaxThreads = 64;

// The first tile whose cell holds the record's point, converting the point
// once per zone, and only where no grid mark answers.
int FindTile(const CTGCell& cell, const std::vector<TileCell>& tiles) {
  // A tile whose grid marks the point as in its cell: the cells of tiles in
  // one zone do not overlap, so no other tile of that zone and another cell
  // holds the point, and the tiles before it need no conversion to say so.
  std::size_t marked = tiles.size();
  for (std::size_t t = 0; t < tiles.size(); ++t) {
    if (tiles[t].KnownInCell(cell.Easting, cell.Northing) == 1) {
      marked = t;
      break;
    }
  }
  GeoPoint point;
  int16_t convertedZone = 0;
  bool converted = false;
  for (std::size_t t = 0; t < tiles.size(); ++t) {
    if (t == marked) return static_cast<int>(t);
    if (tiles[t].KnownInCell(cell.Easting, cell.Northing) == 0) continue;
    if (marked < tiles.size() && tiles[t].zone == tiles[marked].zone &&
        (tiles[t].seLatitude != tiles[marked].seLatitude || tiles[t].seLongitude != tiles[marked].seLongitude)) {
      continue;
    }
    if (!converted || tiles[t].zone != convertedZone) {
      point = UtmToGeographic(tiles[t].zone, cell.Easting, cell.Northing);
      convertedZone = tiles[t].zone;
      converted = true;
    }
    if (tiles[t].file->InCell(point.latitude, point.longitude)) return static_cast<int>(t);
  }
  return kNoTile;
}

}  // namespace

TileCell::TileCell(LUCFileV1& tile)
    : zone(tile.UTMZone()), file(&tile), seLatitude(tile.SECornerLatitude()), seLongitude(tile.SECornerLongitude()) {
  minEasting = tile.MinEasting();
  maxNorthing = tile.MaxNorthing();
  xResolution = tile.XResolution();
  yResolution = tile.YResolution();
  rows = tile.DataRows();
  columns = tile.DataColumns();
  const std::span<const int16_t> grid = tile.GridCells();
  if (xResolution <= 0 || yResolution <= 0 || static_cast<int64_t>(grid.size()) != rows * columns) {
    rows = columns = 0;  // nothing known: every point is converted
    return;
  }
  inCell.resize(grid.size());
  std::transform(grid.begin(), grid.end(), inCell.begin(),
                 [](int16_t v) { return static_cast<uint8_t>(v != kPaddingValue); });
}

void DecodeAndFindTiles(const std::vector<char>& raw, std::size_t available, std::vector<DecodedRecord>& records,
                        std::size_t count, const std::vector<TileCell>& tiles, std::size_t threads) {
  auto work = [&](std::size_t from, std::size_t to) {
    for (std::size_t k = from; k < to; ++k) {
      DecodedRecord& r = records[k];
      const std::optional<CTGCell> cell =
          k < available ? DecodeCTGCell(std::string_view(raw.data() + k * kCTGRecordLength, kCTGRecordLength))
                        : std::nullopt;
      r.cell = cell.value_or(CTGCell{});
      r.readError = !cell;
      r.tile = !r.readError && r.cell.LULCCode != 0 && !tiles.empty() ? FindTile(r.cell, tiles) : kNoTile;
    }
  };
  threads = std::clamp<std::size_t>(std::min(threads, count / kMinRecordsPerThread), 1, kMaxThreads);
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(work, count * t / threads, count * (t + 1) / threads);
  work(0, count / threads);
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace tilbo
