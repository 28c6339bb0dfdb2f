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

// A tile of the run or one made for outside points.
struct ExpectedTile {
  double seLatitude, seLongitude;
  int zone;
};

// The value at `offset` of a file's bytes (little-endian, as the machine); 0 beyond its end.
template <typename T>
T At(const std::string& bytes, std::size_t offset) {
  T value{};
  if (offset + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// The synthetic grid of the source, every record of which carries the hash
// code of its centre.
class ConversionExactness : public ConversionTest {
 protected:
  // Whether the grid has a record whose centre is (E, N).
  bool HasRecord(long easting, long northing) const {
    const long dx = easting - grid.CentreEasting(0), dy = grid.CentreNorthing(0) - northing;
    return dx % grid.cellSize == 0 && dy % grid.cellSize == 0 && dx >= 0 && dy >= 0 &&
           dx / grid.cellSize < grid.columns && dy / grid.cellSize < grid.rows;
  }
  static int16_t Code(long easting, long northing) {
    return SynthHashCode(static_cast<int32_t>(easting), static_cast<int32_t>(northing));
  }
  // Calls `f` with the centre of every record, in the order of the file.
  void ForEachRecord(const std::function<void(long, long)>& f) const {
    for (int32_t row = 0; row < grid.rows; ++row) {
      for (int32_t column = 0; column < grid.columns; ++column) f(grid.CentreEasting(column), grid.CentreNorthing(row));
    }
  }

  // Compares every cell of a tile, read from the file's bytes at the offsets
  // of the layout, with what the test predicts: a cell whose point lies in
  // the tile's one-degree cell holds the code of the record at its point when
  // `receives` says that record came to this tile, 0 otherwise; every other
  // cell holds the padding value. Returns the number of cells holding a code.
  long CheckEveryCell(const std::string& path, const ExpectedTile& expected,
                      const std::function<bool(long, long)>& receives) const {
    SCOPED_TRACE(path);
    const std::string bytes = ReadWholeFile(path);
    const int32_t maxNorthing = At<int32_t>(bytes, 128), minEasting = At<int32_t>(bytes, 132);
    const int32_t rows = At<int32_t>(bytes, 140), columns = At<int32_t>(bytes, 144);
    const int32_t recordLength = At<int32_t>(bytes, 152);
    EXPECT_EQ(std::tuple(At<double>(bytes, 108), At<double>(bytes, 116), At<int16_t>(bytes, 90),
                         At<int16_t>(bytes, 148), At<int16_t>(bytes, 150)),
              std::tuple(expected.seLatitude, expected.seLongitude, static_cast<int16_t>(expected.zone),
                         static_cast<int16_t>(grid.cellSize), static_cast<int16_t>(grid.cellSize)));
    if (bytes.size() != static_cast<std::size_t>(recordLength) * (rows + 1)) {
      ADD_FAILURE() << bytes.size() << " bytes";
      return 0;
    }
    long mismatches = 0, coded = 0, inside = 0;
    for (int32_t r = 0; r < rows; ++r) {
      const long northing = maxNorthing - static_cast<long>(r) * grid.cellSize;
      for (int32_t c = 0; c < columns; ++c) {
        const long easting = minEasting + static_cast<long>(c) * grid.cellSize;
        const bool in =
            InOneDegreeCell(Geographic(expected.zone, easting, northing), expected.seLatitude, expected.seLongitude);
        inside += in ? 1 : 0;
        const int16_t want = !in                                                           ? kPadding
                             : HasRecord(easting, northing) && receives(easting, northing) ? Code(easting, northing)
                                                                                           : int16_t{0};
        const auto got = At<int16_t>(bytes, static_cast<std::size_t>(recordLength) * (r + 1) + 2 * c);
        coded += want > 0 ? 1 : 0;
        if (got != want && ++mismatches <= 5) {
          ADD_FAILURE() << "row " << r << " column " << c << " (" << easting << ", " << northing << "): " << got
                        << " instead of " << want;
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(inside, 0);
    return coded;
  }
};

TEST_F(ConversionExactness, TheLaterOfTwoRecordsAtOneGridPointStays) {
  // The last record gives the point of the first record with a code again,
  // with another code, tens of thousands of records (read-ahead chunks) later.
  const std::string path = MakeSource({.south = 40.1, .west = -105.4, .height = 0.4, .width = 0.3, .cellSize = 200,
                                       .title = "LATER 1:250,000", .dataDate = "", .pattern = SynthPattern::kHash});
  ASSERT_GT(grid.Records(), 20000);
  const std::vector<testing::SourceRecord> records = testing::ReadSourceRecords(path);
  const testing::SourceRecord first = *std::find_if(records.begin(), records.end(), [](auto& r) { return r.code != 0; });
  const long e = first.easting, n = first.northing;
  const int16_t later = first.code == 77 ? 78 : 77;
  std::string bytes = ReadWholeFile(path);
  testing::SetSourceField(bytes, grid.Records(), 4, 8, e);
  testing::SetSourceField(bytes, grid.Records(), 12, 8, n);
  testing::SetSourceField(bytes, grid.Records(), 21, 10, later);
  testing::WriteWholeFile(path, bytes);

  Open(path, RunOptions{});
  main->cmdConvert_Click();
  ASSERT_TRUE(main->ConvertSuccess);
  const std::string tile = ReadWholeFile(target.file("L10540NW.LUC"));
  const int32_t recordLength = At<int32_t>(tile, 152);
  const auto row = (At<int32_t>(tile, 128) - n) / grid.cellSize, column = (e - At<int32_t>(tile, 132)) / grid.cellSize;
  EXPECT_EQ(At<int16_t>(tile, static_cast<std::size_t>(recordLength) * (row + 1) + 2 * column), later);
}

TEST_F(ConversionExactness, PointsBeyondTheWholeDegreeEdgesGoIntoTilesMadeForThem) {
  // The south and east edges are whole degrees, and every cell of the grid,
  // also the ones beyond the quadrangle's edges, carries a code: those south
  // and east of the edges belong to three tiles that the plan does not have,
  // which the run creates in the target directory.
  const std::string path = MakeSource({.south = 40.0, .west = -103.5, .height = 0.4, .width = 0.5, .cellSize = 400,
                                       .title = "EXACT 1:250,000", .dataDate = "", .pattern = SynthPattern::kHash});
  std::string bytes = ReadWholeFile(path);
  int64_t number = 0;
  ForEachRecord([&](long e, long n) { testing::SetSourceField(bytes, ++number, 21, 10, Code(e, n)); });
  testing::WriteWholeFile(path, bytes);

  Open(path, RunOptions{.useExisting = true, .createNew = true});
  main->cmdConvert_Click();
  ASSERT_TRUE(main->ConvertSuccess);
  const ExpectedTile run{40, -103, 13};
  const auto inRunTile = [&](long e, long n) {
    return InOneDegreeCell(Geographic(run.zone, e, n), run.seLatitude, run.seLongitude);
  };
  CheckEveryCell(target.file("L10340NW.LUC"), run, inRunTile);

  // Each other point goes into the tile named after its own position; the
  // tiles are made in the order their first points come, and each is then
  // found again for its second point.
  std::vector<std::string> made, reused;
  std::map<std::string, int> pointsPerTile;
  long outsidePoints = 0;
  ForEachRecord([&](long e, long n) {
    if (inRunTile(e, n)) return;
    ++outsidePoints;
    const LatLon p = Geographic(grid.zone, e, n);
    const std::string name = LUCTileName(std::floor(p.latitude), std::ceil(p.longitude));
    if (++pointsPerTile[name] == 1) made.push_back(target.file(name));
    if (pointsPerTile[name] == 2) reused.push_back(target.file(name));
  });
  EXPECT_EQ(view.excluded, 0);
  EXPECT_EQ(view.writtenElsewhere, outsidePoints);
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
    codedOutside += CheckEveryCell(target.file(name), outside, [&](long e, long n) {
      return !inRunTile(e, n) && InOneDegreeCell(Geographic(grid.zone, e, n), outside.seLatitude, outside.seLongitude);
    });
  }
  EXPECT_GT(codedOutside, 100);
}

}  // namespace
}  // namespace tilbo
