// The tile search against the rule it stands for: a record goes to the first
// tile whose InFile holds its point (read in the tile's zone), whether the
// grid marks answer or the point is converted, on one thread or several.

#include "conversion/TileSearch.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/CTGTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

TEST(TileSearch, FindsTheTileInFileNamesOnOneThreadOrSeveral) {
  testing::TempDir dir;
  // First a tile of zone 12, whose cell holds the points that the eastings and
  // northings east of the next tile (zone 13) name there; then zone 13 tiles.
  std::vector<std::unique_ptr<LUCFileV1>> files;
  std::vector<TileCell> tiles;
  for (const auto& [lat, lon] : {std::pair{40, -110}, {40, -105}, {40, -104}, {41, -105}}) {
    files.push_back(std::make_unique<LUCFileV1>());
    std::string path = dir.dir() + std::to_string(files.size()) + ".LUC";
    ASSERT_EQ(files.back()->CreateFile(lat, lon, 400, 400, path, LUCFileV1::kMemoryIo, 0), LUCFileV1::kCreated);
    files.back()->SetCoordinateMode(LUCFileV1::kUtmCoordinates);
    tiles.emplace_back(*files.back());
  }
  // Grid points of the zone 13 tile and points between them, across its edges;
  // some of code 0, and records beyond the data.
  std::string raw;
  LUCFileV1& first = *files[1];
  for (int32_t row = -40; row < first.DataRows() + 40; row += 4) {
    for (int32_t column = -40; column < first.DataColumns() + 40; column += 4) {
      const int32_t off = (row + column) % 8 == 0 ? 0 : 137;
      raw += testing::DataRecord(13, first.MinEasting() + 400 * column + off, first.MaxNorthing() - 400 * row - off,
                                 row % 20 == 0 ? "0" : "41");
    }
  }
  const std::size_t available = raw.size() / 80, count = available + 7;
  raw.resize(count * 80, ' ');
  ASSERT_GE(count, 4 * 1024u);  // enough records for four threads

  for (const std::size_t threads : {1u, 4u}) {
    std::vector<DecodedRecord> records(count);
    DecodeAndFindTiles(std::vector<char>(raw.begin(), raw.end()), available, records, count, tiles, threads);
    for (std::size_t k = 0; k < count; ++k) {
      const DecodedRecord& d = records[k];
      ASSERT_EQ(d.readError, k >= available) << k;
      const CTGCell cell = DecodeCTGCell(std::string_view(raw).substr(k * 80, 80)).value_or(CTGCell{});
      ASSERT_EQ(d.cell.Easting, d.readError ? 0 : cell.Easting) << k;
      int expected = kNoTile;
      for (std::size_t t = 0; !d.readError && cell.LULCCode != 0 && expected == kNoTile && t < files.size(); ++t) {
        double x = cell.Easting, y = cell.Northing;
        if (files[t]->InFile(x, y)) expected = static_cast<int>(t);
      }
      ASSERT_EQ(d.tile, expected) << "record " << k << " on " << threads << " threads";
    }
  }
}

}  // namespace
}  // namespace tilbo
