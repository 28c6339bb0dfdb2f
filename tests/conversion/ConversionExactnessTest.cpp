// Every cell of every tile a conversion produces, against values the test
// works out on its own: the land-use code of the hash pattern (SynthHashCode)
// of the synthetic grid's cell centres, positions through GeographicLib.
//
// Where a source record lands: the synthetic grid has its cell centres on
// multiples of the cell size in the zone of the quadrangle's centre. A tile's
// grid is on multiples of the same size in the zone of the tile's south-east
// corner, and a record is tested and stored by its easting and northing read
// in that zone. So the record at (E, N) lands in the cell whose point is
// (E, N), in the first tile whose one-degree cell holds that point, if that
// tile's grid has such a cell; a point that no tile of the run holds goes,
// when outside files are allowed, into the tile named after its own position.
// Hence each cell of a tile whose point lies in the tile's one-degree cell
// holds the code of the record at its point when that record came to this
// tile, 0 otherwise; every other cell holds the padding value.

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "ConversionHarness.h"
#include "luc/TileName.h"

namespace tilbo {
namespace {

using testing::ConversionTest;
using testing::Geographic;
using testing::InOneDegreeCell;
using testing::LatLon;
using testing::ReadWholeFile;
using testing::RunOptions;
using testing::ZoneOfEastEdge;

constexpr int16_t kPadding = -32000;

// The header fields of a LUC file that place its grid, read from its bytes.
struct TileFile {
  int zone = 0;
  double seLatitude = 0, seLongitude = 0;
  int32_t minEasting = 0, maxNorthing = 0, rows = 0, columns = 0, recordLength = 0;
  int xResolution = 0, yResolution = 0;
  std::string bytes;

  template <typename T>
  T At(std::size_t offset) const {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);  // little-endian, as the machine
    return value;
  }
  int16_t Cell(int32_t row, int32_t column) const {
    return At<int16_t>(static_cast<std::size_t>(recordLength) * (row + 1) + 2 * static_cast<std::size_t>(column));
  }
};

TileFile ReadTile(const std::string& path) {
  TileFile t;
  t.bytes = ReadWholeFile(path);
  t.zone = t.At<int16_t>(90);
  t.seLatitude = t.At<double>(108);
  t.seLongitude = t.At<double>(116);
  t.maxNorthing = t.At<int32_t>(128);
  t.minEasting = t.At<int32_t>(132);
  t.rows = t.At<int32_t>(140);
  t.columns = t.At<int32_t>(144);
  t.xResolution = t.At<int16_t>(148);
  t.yResolution = t.At<int16_t>(150);
  t.recordLength = t.At<int32_t>(152);
  EXPECT_EQ(t.bytes.size(), static_cast<std::size_t>(t.recordLength) * (t.rows + 1)) << path;
  return t;
}

// A tile of the run (planned, in open-tile order) or one made for outside points.
struct ExpectedTile {
  double seLatitude, seLongitude;
  int zone;
};

// The source as the test knows it: the synthetic grid and the code of each centre.
struct Source {
  SynthOptions options;
  SynthGrid grid;
  bool codesOutsideQuadrangle = false;  // the fringe beyond the quadrangle carries codes too

  // The record whose centre is (E, N), if the grid has one.
  bool HasRecord(long easting, long northing) const {
    const long firstEasting = grid.CentreEasting(0);
    const long firstNorthing = grid.CentreNorthing(0);
    const long dx = easting - firstEasting, dy = firstNorthing - northing;
    return dx % grid.cellSize == 0 && dy % grid.cellSize == 0 && dx >= 0 && dy >= 0 &&
           dx / grid.cellSize < grid.columns && dy / grid.cellSize < grid.rows;
  }
  int16_t Code(long easting, long northing) const {
    if (!codesOutsideQuadrangle) {
      const LatLon p = Geographic(grid.zone, easting, northing);
      const bool inside = p.latitude >= options.south && p.latitude <= options.south + options.height &&
                          p.longitude >= options.west && p.longitude <= options.west + options.width;
      if (!inside) return 0;
    }
    return SynthHashCode(static_cast<int32_t>(easting), static_cast<int32_t>(northing));
  }
};

// Where the record at (E, N) goes: the index of the run tile, kOutside for an
// outside tile, kNowhere when it is excluded.
constexpr int kOutside = -1;
constexpr int kNowhere = -2;

int Destination(const Source& source, const std::vector<ExpectedTile>& runTiles, bool outsideFiles, long easting,
                long northing) {
  if (source.Code(easting, northing) == 0) return kNowhere;
  for (std::size_t k = 0; k < runTiles.size(); ++k) {
    const ExpectedTile& t = runTiles[k];
    if (InOneDegreeCell(Geographic(t.zone, easting, northing), t.seLatitude, t.seLongitude)) {
      return static_cast<int>(k);
    }
  }
  return outsideFiles ? kOutside : kNowhere;
}

// Compares every cell of a tile; `receives` says whether the record at a
// cell's point was written into this tile. Returns the number of cells that
// hold a code.
long CheckEveryCell(const std::string& path, const ExpectedTile& expected, const Source& source,
                    const std::function<bool(long, long)>& receives) {
  SCOPED_TRACE(path);
  const TileFile tile = ReadTile(path);
  EXPECT_EQ(tile.seLatitude, expected.seLatitude);
  EXPECT_EQ(tile.seLongitude, expected.seLongitude);
  EXPECT_EQ(tile.zone, expected.zone);
  EXPECT_EQ(tile.xResolution, source.grid.cellSize);
  EXPECT_EQ(tile.yResolution, source.grid.cellSize);
  if (tile.bytes.size() != static_cast<std::size_t>(tile.recordLength) * (tile.rows + 1)) return 0;

  long mismatches = 0, coded = 0, inside = 0;
  std::string firstMismatches;
  for (int32_t r = 0; r < tile.rows; ++r) {
    const long northing = tile.maxNorthing - static_cast<long>(r) * tile.yResolution;
    for (int32_t c = 0; c < tile.columns; ++c) {
      const long easting = tile.minEasting + static_cast<long>(c) * tile.xResolution;
      int16_t want = kPadding;
      if (InOneDegreeCell(Geographic(expected.zone, easting, northing), expected.seLatitude, expected.seLongitude)) {
        ++inside;
        want = source.HasRecord(easting, northing) && receives(easting, northing) ? source.Code(easting, northing) : 0;
      }
      const int16_t got = tile.Cell(r, c);
      coded += want > 0 ? 1 : 0;
      if (got != want && ++mismatches <= 5) {
        firstMismatches += "row " + std::to_string(r) + " column " + std::to_string(c) + " (" +
                           std::to_string(easting) + ", " + std::to_string(northing) + "): " + std::to_string(got) +
                           " instead of " + std::to_string(want) + "\n";
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << firstMismatches;
  EXPECT_GT(inside, 0);
  return coded;
}

SynthOptions Quadrangle(double south, double west, double height, double width, int32_t cellSize) {
  SynthOptions o;
  o.south = south;
  o.west = west;
  o.height = height;
  o.width = width;
  o.cellSize = cellSize;
  o.title = "EXACT 1:250,000";
  o.pattern = SynthPattern::kHash;
  return o;
}

class ConversionExactness : public ConversionTest {
 protected:
  // Converts the source with every planned tile ticked.
  void Convert(const std::string& path, const RunOptions& options) {
    Open(path, options);
    main->cmdConvert_Click();
    ASSERT_TRUE(view.success);
  }

  // Checks every run tile and counts what went where.
  struct Tally {
    int32_t excluded = 0, elsewhere = 0;
    std::vector<long> perRunTile;  // records sent to each run tile
    std::vector<long> codedCells;  // cells of each run tile holding a code
  };
  Tally CheckRunTiles(const Source& source, const std::vector<std::pair<std::string, ExpectedTile>>& tiles,
                      bool outsideFiles) {
    std::vector<ExpectedTile> runTiles;
    for (const auto& t : tiles) runTiles.push_back(t.second);
    Tally tally;
    for (std::size_t k = 0; k < tiles.size(); ++k) {
      tally.codedCells.push_back(CheckEveryCell(target.file(tiles[k].first), runTiles[k], source, [&](long e, long n) {
        return Destination(source, runTiles, outsideFiles, e, n) == static_cast<int>(k);
      }));
    }
    tally.perRunTile.assign(tiles.size(), 0);
    for (int32_t row = 0; row < source.grid.rows; ++row) {
      for (int32_t column = 0; column < source.grid.columns; ++column) {
        const long e = source.grid.CentreEasting(column), n = source.grid.CentreNorthing(row);
        const int to = Destination(source, runTiles, outsideFiles, e, n);
        if (to >= 0) ++tally.perRunTile[static_cast<std::size_t>(to)];
        if (to == kOutside) ++tally.elsewhere;
        if (to == kNowhere) ++tally.excluded;
      }
    }
    return tally;
  }
};

TEST_F(ConversionExactness, TilesOnBothSidesOfAZoneEdge) {
  // West edge at 102.5 W: the west tile's east edge is the boundary of zones
  // 13 and 14, and its grid is in zone 13, the quadrangle's zone. The east
  // tile's grid is in zone 14, where the quadrangle's eastings and northings
  // name points far from it: the part of the quadrangle east of the boundary
  // lands in no tile.
  Source source{Quadrangle(40.1, -102.5, 0.2, 0.6, 200), {}, false};
  const std::string path = MakeSource(source.options);
  source.grid = grid;
  ASSERT_EQ(grid.zone, 13);
  ASSERT_EQ(ZoneOfEastEdge(-102), 13);
  Convert(path, RunOptions{});
  const Tally tally = CheckRunTiles(source, {{"L10240NW.LUC", {40, -102, 13}}, {"L10140NW.LUC", {40, -101, 14}}}, false);
  EXPECT_GT(tally.codedCells[0], 10000);
  EXPECT_EQ(tally.perRunTile[1], 0);
  EXPECT_EQ(view.excluded, tally.excluded);
  EXPECT_GT(view.excluded, view.zeroValues);
}

TEST_F(ConversionExactness, RecordsBetweenGridPointsGoToTheNearestAndTheLastOneStays) {
  // Every record moved half a cell east and half a cell south of its centre:
  // each lies between four grid points of the tile, is tested at its own
  // position and stored at the nearest grid point, halves going to the even
  // multiple of the cell size. Two records share each even column and row,
  // so the later record of a pair overwrites the earlier one.
  Source source{Quadrangle(40.1, -105.4, 0.2, 0.3, 200), {}, false};
  const std::string path = MakeSource(source.options);
  source.grid = grid;
  const long half = grid.cellSize / 2;
  std::string bytes = ReadWholeFile(path);
  for (int64_t k = 0; k < grid.Records(); ++k) {
    const std::size_t at = (testing::kHeaderRecords + static_cast<std::size_t>(k)) * testing::kCardLength;
    const long easting = testing::FieldValue(bytes.substr(at, 80), 4, 8) + half;
    const long northing = testing::FieldValue(bytes.substr(at, 80), 12, 8) - half;
    char fields[32];
    std::snprintf(fields, sizeof fields, "%8ld%8ld", easting, northing);
    bytes.replace(at + 3, 16, fields);
  }
  testing::WriteWholeFile(path, bytes);
  Convert(path, RunOptions{});

  const ExpectedTile expected{40, -105, 13};
  const TileFile tile = ReadTile(target.file("L10540NW.LUC"));
  ASSERT_EQ(tile.bytes.size(), static_cast<std::size_t>(tile.recordLength) * (tile.rows + 1));
  std::vector<int16_t> want(static_cast<std::size_t>(tile.rows) * tile.columns);
  for (int32_t r = 0; r < tile.rows; ++r) {
    for (int32_t c = 0; c < tile.columns; ++c) {
      const LatLon p = Geographic(expected.zone, tile.minEasting + static_cast<long>(c) * tile.xResolution,
                                  tile.maxNorthing - static_cast<long>(r) * tile.yResolution);
      want[static_cast<std::size_t>(r) * tile.columns + c] =
          InOneDegreeCell(p, expected.seLatitude, expected.seLongitude) ? 0 : kPadding;
    }
  }
  long placed = 0, excluded = 0;
  for (int32_t row = 0; row < grid.rows; ++row) {
    for (int32_t column = 0; column < grid.columns; ++column) {
      const long e = grid.CentreEasting(column), n = grid.CentreNorthing(row);
      const int16_t code = source.Code(e, n);  // the code stays with the record
      const double movedE = static_cast<double>(e + half), movedN = static_cast<double>(n - half);
      if (code == 0 || !InOneDegreeCell(Geographic(expected.zone, movedE, movedN), expected.seLatitude,
                                        expected.seLongitude)) {
        ++excluded;
        continue;
      }
      const long snappedE = std::lrint(std::nearbyint(movedE / tile.xResolution)) * tile.xResolution;
      const long snappedN = std::lrint(std::nearbyint(movedN / tile.yResolution)) * tile.yResolution;
      const long c = (snappedE - tile.minEasting) / tile.xResolution;
      const long r = (tile.maxNorthing - snappedN) / tile.yResolution;
      if (r < 0 || c < 0 || r >= tile.rows || c >= tile.columns) continue;
      want[static_cast<std::size_t>(r * tile.columns + c)] = code;
      ++placed;
    }
  }
  EXPECT_GT(placed, 10000);
  long mismatches = 0;
  for (int32_t r = 0; r < tile.rows; ++r) {
    for (int32_t c = 0; c < tile.columns; ++c) {
      const int16_t got = tile.Cell(r, c);
      const int16_t expect = want[static_cast<std::size_t>(r) * tile.columns + c];
      if (got != expect && ++mismatches <= 5) {
        ADD_FAILURE() << "row " << r << " column " << c << ": " << got << " instead of " << expect;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(view.excluded, excluded);
}

TEST_F(ConversionExactness, PointsBeyondTheWholeDegreeEdgesGoIntoTilesMadeForThem) {
  // The south and east edges are whole degrees, and every cell of the grid,
  // also the ones beyond the quadrangle's edges, carries a code: those south
  // and east of the edges belong to three tiles that the plan does not have,
  // which the run creates in the target directory.
  Source source{Quadrangle(40.0, -103.5, 0.4, 0.5, 400), {}, true};
  const std::string path = MakeSource(source.options);
  source.grid = grid;
  std::string bytes = ReadWholeFile(path);
  for (int32_t row = 0; row < grid.rows; ++row) {
    for (int32_t column = 0; column < grid.columns; ++column) {
      testing::SetSourceCode(bytes, int64_t{row} * grid.columns + column + 1,
                             std::to_string(SynthHashCode(grid.CentreEasting(column), grid.CentreNorthing(row))));
    }
  }
  testing::WriteWholeFile(path, bytes);

  Convert(path, RunOptions{.useExisting = true, .createNew = true});
  const ExpectedTile run{40, -103, 13};
  const Tally tally = CheckRunTiles(source, {{"L10340NW.LUC", run}}, true);
  EXPECT_EQ(view.excluded, 0);
  EXPECT_EQ(view.writtenElsewhere, tally.elsewhere);

  // Each outside point goes into the tile named after its own position; the
  // tiles are made in the order their first points come, and each is then
  // found again for its second point.
  std::vector<std::string> made, reused;
  std::map<std::string, int> pointsPerTile;
  for (int32_t row = 0; row < grid.rows; ++row) {
    for (int32_t column = 0; column < grid.columns; ++column) {
      const long e = grid.CentreEasting(column), n = grid.CentreNorthing(row);
      if (Destination(source, {run}, true, e, n) != kOutside) continue;
      const LatLon p = Geographic(grid.zone, e, n);
      const std::string name = LUCTileName(std::floor(p.latitude), std::ceil(p.longitude));
      if (++pointsPerTile[name] == 1) made.push_back(target.file(name));
      if (pointsPerTile[name] == 2) reused.push_back(target.file(name));
    }
  }
  EXPECT_EQ(made, (std::vector<std::string>{target.file("L10240NW.LUC"), target.file("L10339NW.LUC"),
                                            target.file("L10239NW.LUC")}));
  EXPECT_EQ(view.externalFilesCreated, made);
  EXPECT_EQ(view.existingFilesUsed, reused);

  // The south-east tile gets only points near its north-west corner, where
  // its grid stops short of the cell: it may well hold none.
  long codedOutside = 0;
  for (const auto& [name, corner] : std::map<std::string, std::pair<double, double>>{
           {"L10240NW.LUC", {40, -102}}, {"L10339NW.LUC", {39, -103}}, {"L10239NW.LUC", {39, -102}}}) {
    const ExpectedTile outside{corner.first, corner.second, ZoneOfEastEdge(corner.second)};
    codedOutside += CheckEveryCell(target.file(name), outside, source, [&](long e, long n) {
      if (Destination(source, {run}, true, e, n) != kOutside) return false;
      const LatLon p = Geographic(grid.zone, e, n);
      return InOneDegreeCell(p, outside.seLatitude, outside.seLongitude);
    });
  }
  EXPECT_GT(codedOutside, 100);
}

}  // namespace
}  // namespace tilbo
