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
#include <tuple>

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

  // Whether the grid has a record whose centre is (E, N).
  bool HasRecord(long easting, long northing) const {
    const long dx = easting - grid.CentreEasting(0), dy = grid.CentreNorthing(0) - northing;
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
  // Calls `f` with the centre of every record.
  void ForEachRecord(const std::function<void(long, long)>& f) const {
    for (int32_t row = 0; row < grid.rows; ++row) {
      for (int32_t column = 0; column < grid.columns; ++column) f(grid.CentreEasting(column), grid.CentreNorthing(row));
    }
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

// Compares every cell of a tile with `want` (easting, northing, whether the
// point lies in the tile's one-degree cell). Returns the number of cells that
// hold a code.
long CheckEveryCell(const std::string& path, const ExpectedTile& expected, int32_t cellSize,
                    const std::function<int16_t(long, long, bool)>& want) {
  SCOPED_TRACE(path);
  const TileFile tile = ReadTile(path);
  EXPECT_EQ(std::tuple(tile.seLatitude, tile.seLongitude, tile.zone, tile.xResolution, tile.yResolution),
            std::tuple(expected.seLatitude, expected.seLongitude, expected.zone, cellSize, cellSize));
  if (tile.bytes.size() != static_cast<std::size_t>(tile.recordLength) * (tile.rows + 1)) return 0;
  long mismatches = 0, coded = 0, inside = 0;
  for (int32_t r = 0; r < tile.rows; ++r) {
    const long northing = tile.maxNorthing - static_cast<long>(r) * tile.yResolution;
    for (int32_t c = 0; c < tile.columns; ++c) {
      const long easting = tile.minEasting + static_cast<long>(c) * tile.xResolution;
      const bool in =
          InOneDegreeCell(Geographic(expected.zone, easting, northing), expected.seLatitude, expected.seLongitude);
      inside += in ? 1 : 0;
      const int16_t code = want(easting, northing, in), got = tile.Cell(r, c);
      coded += code > 0 ? 1 : 0;
      if (got != code && ++mismatches <= 5) {
        ADD_FAILURE() << "row " << r << " column " << c << " (" << easting << ", " << northing << "): " << got
                      << " instead of " << code;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(inside, 0);
  return coded;
}

// A cell inside the tile's one-degree cell holds the code of the record at its
// point when `receives` says that record came to this tile, 0 otherwise.
long CheckEveryCell(const std::string& path, const ExpectedTile& expected, const Source& source,
                    const std::function<bool(long, long)>& receives) {
  return CheckEveryCell(path, expected, source.grid.cellSize, [&](long e, long n, bool inside) -> int16_t {
    if (!inside) return kPadding;
    return source.HasRecord(e, n) && receives(e, n) ? source.Code(e, n) : 0;
  });
}

SynthOptions Quadrangle(double south, double west, double height, double width, int32_t cellSize) {
  return {.south = south, .west = west, .height = height, .width = width, .cellSize = cellSize,
          .title = "EXACT 1:250,000", .dataDate = "", .pattern = SynthPattern::kHash};
}

class ConversionExactness : public ConversionTest {
 protected:
  // Converts the source with every planned tile ticked.
  void Convert(const std::string& path, const RunOptions& options) {
    Open(path, options);
    main->cmdConvert_Click();
    ASSERT_TRUE(view.success);
  }

  // Checks every cell of the run's tiles; returns the cells of each holding a
  // code and, by destination, the number of records that went there.
  std::pair<std::vector<long>, std::map<int, long>> CheckRunTiles(
      const Source& source, const std::vector<std::pair<std::string, ExpectedTile>>& tiles, bool outsideFiles) {
    std::vector<ExpectedTile> runTiles;
    for (const auto& t : tiles) runTiles.push_back(t.second);
    std::vector<long> coded;
    for (std::size_t k = 0; k < tiles.size(); ++k) {
      coded.push_back(CheckEveryCell(target.file(tiles[k].first), runTiles[k], source, [&](long e, long n) {
        return Destination(source, runTiles, outsideFiles, e, n) == static_cast<int>(k);
      }));
    }
    std::map<int, long> sent;
    source.ForEachRecord([&](long e, long n) { ++sent[Destination(source, runTiles, outsideFiles, e, n)]; });
    return {coded, sent};
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
  const auto [coded, sent] =
      CheckRunTiles(source, {{"L10240NW.LUC", {40, -102, 13}}, {"L10140NW.LUC", {40, -101, 14}}}, false);
  EXPECT_GT(coded[0], 10000);
  EXPECT_EQ(sent.count(1), 0u);
  EXPECT_EQ(view.excluded, sent.at(kNowhere));
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
    const std::string card = bytes.substr(at, testing::kCardLength);
    char fields[32];
    std::snprintf(fields, sizeof fields, "%8ld%8ld", testing::FieldValue(card, 4, 8) + half,
                  testing::FieldValue(card, 12, 8) - half);
    bytes.replace(at + 3, 16, fields);
  }
  testing::WriteWholeFile(path, bytes);
  Convert(path, RunOptions{});

  const ExpectedTile expected{40, -105, 13};
  std::map<std::pair<long, long>, int16_t> stored;  // grid point -> code of the last record stored there
  long placed = 0, excluded = 0;
  source.ForEachRecord([&](long e, long n) {
    const int16_t code = source.Code(e, n);  // the code stays with the record
    const double movedE = static_cast<double>(e + half), movedN = static_cast<double>(n - half);
    if (code == 0 || !InOneDegreeCell(Geographic(expected.zone, movedE, movedN), expected.seLatitude,
                                      expected.seLongitude)) {
      ++excluded;
      return;
    }
    const auto snapped = [&](double v) { return std::lrint(std::nearbyint(v / grid.cellSize)) * grid.cellSize; };
    stored[{snapped(movedE), snapped(movedN)}] = code;
    ++placed;
  });
  EXPECT_GT(placed, 10000);
  CheckEveryCell(target.file("L10540NW.LUC"), expected, grid.cellSize, [&](long e, long n, bool inside) {
    const auto found = stored.find({e, n});
    return found != stored.end() ? found->second : inside ? int16_t{0} : kPadding;
  });
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
  int64_t number = 0;
  source.ForEachRecord([&](long e, long n) {
    testing::SetSourceCode(bytes, ++number,
                           std::to_string(SynthHashCode(static_cast<int32_t>(e), static_cast<int32_t>(n))));
  });
  testing::WriteWholeFile(path, bytes);

  Convert(path, RunOptions{.useExisting = true, .createNew = true});
  const ExpectedTile run{40, -103, 13};
  const auto [coded, sent] = CheckRunTiles(source, {{"L10340NW.LUC", run}}, true);
  EXPECT_EQ(view.excluded, 0);
  EXPECT_EQ(view.writtenElsewhere, sent.at(kOutside));

  // Each outside point goes into the tile named after its own position; the
  // tiles are made in the order their first points come, and each is then
  // found again for its second point.
  std::vector<std::string> made, reused;
  std::map<std::string, int> pointsPerTile;
  source.ForEachRecord([&](long e, long n) {
    if (Destination(source, {run}, true, e, n) != kOutside) return;
    const LatLon p = Geographic(grid.zone, e, n);
    const std::string name = LUCTileName(std::floor(p.latitude), std::ceil(p.longitude));
    if (++pointsPerTile[name] == 1) made.push_back(target.file(name));
    if (pointsPerTile[name] == 2) reused.push_back(target.file(name));
  });
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
      return Destination(source, {run}, true, e, n) == kOutside &&
             InOneDegreeCell(Geographic(grid.zone, e, n), outside.seLatitude, outside.seLongitude);
    });
  }
  EXPECT_GT(codedOutside, 100);
}

}  // namespace
}  // namespace tilbo
