#include "luc/LUCFileV1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "coords/UtmCon.h"
#include "luc/LucTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using ::testing::Each;
using testing::Get;
using testing::LucFileRecipe;
using testing::MakeLucBytes;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

constexpr int16_t kFill = 41;

// The created files, read back byte by byte at literal offsets. The grid
// numbers are those of the same tiles in TileGridTest (from PROJ's corners);
// every cell holds the fill value inside the one-degree cell and the padding
// value (bytes 00 83) outside it.
TEST(LUCFileV1Create, WritesHeaderAndGridByteForByte) {
  const struct {
    double seLatitude, seLongitude;
    int32_t openMode, result;
    int16_t zone;
    int32_t minNorthing, maxNorthing, minEasting, maxEasting, rows, columns;
  } cases[] = {
      // The last column lies on 105 W exactly (easting 500000, the central meridian).
      {40, -105, LUCFileV1::kClosed, LUCFileV1::kCreated, 13, 4427600, 4539000, 414800, 500000, 558, 427},
      // The last row lies on the equator exactly.
      {0, 10, LUCFileV1::kMemoryIo, LUCFileV1::kCreated, 32, 0, 110400, 500200, 611200, 553, 556},
      {40, -104.7, LUCFileV1::kMemoryIo, LUCFileV1::kCreatedSkewed, 13, 4427800, 4538600, 441400, 525600, 555,
       422},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seLongitude);
    std::string name = dir.file("tile.LUC");
    WriteWholeFile(name, std::string(3'000'000, 'x'));  // replaced by a file of the new size
    LUCFileV1 luc;
    EXPECT_EQ(luc.CreateFile(c.seLatitude, c.seLongitude, 200, 200, name, c.openMode, kFill), c.result);
    EXPECT_EQ(std::pair(luc.LastError(), luc.OpenMode()), std::pair(LUCFileV1::kNoError, c.openMode));
    const std::string bytes = ReadWholeFile(name);
    const int32_t recordLength = 2 * c.columns;
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(c.rows + 1) * recordLength);

    EXPECT_EQ(bytes.substr(0, 10), "QMLULC 1.0");
    EXPECT_EQ(bytes.substr(10, 80), std::string(80, '\0'));  // data source and title
    EXPECT_EQ(Get<int16_t>(bytes, 90), c.zone);
    EXPECT_EQ(bytes.substr(92, 16), std::string(16, '\0'));  // NW corner 0.0, 0.0
    EXPECT_EQ(std::tuple(Get<double>(bytes, 108), Get<double>(bytes, 116)),
              std::tuple(c.seLatitude, c.seLongitude));
    EXPECT_EQ(std::tuple(Get<int32_t>(bytes, 124), Get<int32_t>(bytes, 128), Get<int32_t>(bytes, 132),
                         Get<int32_t>(bytes, 136), Get<int32_t>(bytes, 140), Get<int32_t>(bytes, 144),
                         Get<int16_t>(bytes, 148), Get<int16_t>(bytes, 150), Get<int32_t>(bytes, 152)),
              std::tuple(c.minNorthing, c.maxNorthing, c.minEasting, c.maxEasting, c.rows, c.columns,
                         int16_t{200}, int16_t{200}, recordLength));
    EXPECT_EQ(bytes.substr(156, recordLength - 156), std::string(recordLength - 156, '\0'));

    for (int32_t r = 0; r < c.rows; ++r) {
      for (int32_t col = 0; col < c.columns; ++col) {
        const std::size_t at = static_cast<std::size_t>(r + 1) * recordLength + 2 * col;
        const GeoPoint p = UtmToGeographic(c.zone, c.minEasting + 200.0 * col, c.maxNorthing - 200.0 * r);
        const bool inside = c.seLatitude <= p.latitude && p.latitude < c.seLatitude + 1 &&
                            c.seLongitude - 1 < p.longitude && p.longitude <= c.seLongitude;
        ASSERT_EQ(bytes.substr(at, 2), inside ? std::string("\x29\x00", 2) : std::string("\x00\x83", 2))
            << "row " << r << " column " << col;
      }
    }
  }
}

// An empty name becomes the tile name in the current directory. Refusals
// write nothing; which layouts are refused is TileGridTest's.
TEST(LUCFileV1Create, EmptyNameBecomesTheTileNameAndRefusalsWriteNothing) {
  TempDir dir;
  const auto previous = fs::current_path();
  fs::current_path(dir.path());
  LUCFileV1 luc;
  std::string tile;
  EXPECT_EQ(luc.CreateFile(40.0, -105.0, 1000, 1000, tile, LUCFileV1::kDirectIo, kFill), 0);
  EXPECT_EQ(std::pair(tile, luc.FileName()), std::pair(std::string("L10540NW.LUC"), tile));
  struct Refusal {
    int32_t openMode = LUCFileV1::kClosed;
    int16_t xResolution = 200;
    int32_t fill = kFill;
    const char* name = "other.LUC";
    int32_t error = LUCFileV1::kUnknownError;
  };
  const Refusal cases[] = {
      {.openMode = LUCFileV1::kDirectIo, .error = LUCFileV1::kBadOpenMode},  // a file is open
      {.xResolution = 0}, {.fill = 40000}, {.fill = -40000}, {.name = "missing/L10540NW.LUC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    luc.SetOpenMode(c.openMode);
    std::string name = c.name;
    EXPECT_EQ(luc.CreateFile(40.0, -105.0, c.xResolution, 200, name, 0, c.fill), LUCFileV1::kNotCreated);
    EXPECT_EQ(luc.LastError(), c.error);
    EXPECT_EQ(luc.FileName().empty(), c.error == LUCFileV1::kUnknownError);  // an open file keeps its name
  }
  fs::current_path(previous);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);  // the tile only
}

// Steps on one object, in order. The files hold the SE corner 40 N 105 W.
TEST(LUCFileV1Open, ErrorCodesSignaturesAndTileNames) {
  TempDir dir;
  fs::create_directory(dir.file("folder.LUC"));
  LucFileRecipe recipe;
  recipe.signature = "QMLULC 1.1";
  WriteWholeFile(dir.file("bad.LUC"), MakeLucBytes(recipe));
  recipe.signature = "qmlulc 1.0";  // letter case does not matter
  for (const char* name : {"lower.LUC", "L10540NW.LUC", "L10540NW.luc", "L10540NE.LUC", "L10541NW.LUC",
                           "folder.LUC/L10540NW.LUC"}) {
    WriteWholeFile(dir.file(name), MakeLucBytes(recipe));
  }
  const struct {
    std::string name;
    bool checkName;
    int32_t mode, error, modeAfter;
  } steps[] = {
      {"", false, LUCFileV1::kDirectIo, LUCFileV1::kFileNameNotSet, LUCFileV1::kClosed},
      {"missing.LUC", false, LUCFileV1::kMemoryIo, LUCFileV1::kFileNotFound, LUCFileV1::kClosed},
      {"folder.LUC", false, LUCFileV1::kDirectIo, LUCFileV1::kFileNotFound, LUCFileV1::kClosed},
      {"bad.LUC", false, LUCFileV1::kDirectIo, LUCFileV1::kInvalidFile, LUCFileV1::kClosed},
      // With the name check the name must give the corner (the name rule itself: TileNameTest).
      {"L10540NW.luc", true, LUCFileV1::kDirectIo, LUCFileV1::kInvalidFile, LUCFileV1::kClosed},
      {"L10540NE.LUC", true, LUCFileV1::kDirectIo, LUCFileV1::kInvalidFile, LUCFileV1::kClosed},
      {"L10541NW.LUC", true, LUCFileV1::kMemoryIo, LUCFileV1::kInvalidFile, LUCFileV1::kClosed},
      // Only the name after the last "/" counts.
      {"folder.LUC/L10540NW.LUC", true, LUCFileV1::kDirectIo, LUCFileV1::kNoError, LUCFileV1::kDirectIo},
      {"L10540NW.LUC", true, LUCFileV1::kMemoryIo, LUCFileV1::kNoError, LUCFileV1::kMemoryIo},
      {"lower.LUC", false, LUCFileV1::kDirectIo, LUCFileV1::kNoError, LUCFileV1::kDirectIo},
      {"lower.LUC", false, 3, LUCFileV1::kBadOpenMode, LUCFileV1::kDirectIo},
      {"lower.LUC", false, LUCFileV1::kMemoryIo, LUCFileV1::kNoError, LUCFileV1::kMemoryIo},
      {"lower.LUC", false, LUCFileV1::kClosed, LUCFileV1::kNoError, LUCFileV1::kClosed},
  };
  LUCFileV1 luc;
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name + " mode " + std::to_string(s.mode));
    luc.SetValidateFileName(s.checkName);
    luc.SetFileName(s.name.empty() ? "" : dir.file(s.name));
    luc.SetOpenMode(s.mode);
    EXPECT_EQ(std::pair(luc.LastError(), luc.OpenMode()), std::pair(s.error, s.modeAfter));
  }
}

// A closed object: header fields and cells read 0, and every call leaves code 1.
TEST(LUCFileV1, ClosedObjectReportsFileNotOpen) {
  LUCFileV1 luc;
  auto codeAfter = [&](auto call) {
    luc.ResetError();
    call();
    return luc.LastError();
  };
  double x = -105.0, y = 40.0;
  const std::vector<int32_t> codes = {
      codeAfter([&] { EXPECT_EQ(luc.UTMZone(), 0); }),  // every header field goes through one switch
      codeAfter([&] { EXPECT_EQ(luc.DataBlockSize(), 0); }),
      codeAfter([&] { EXPECT_EQ(luc.Title(), ""); }),  // the data source reads through the same code
      codeAfter([&] { EXPECT_EQ(luc.LULCValue(1, 1), 0); }),
      codeAfter([&] { luc.SetLULCValue(1, 1, 5); }),
      codeAfter([&] { luc.SetTitle("x"); }),
      codeAfter([&] { EXPECT_FALSE(luc.InFile(x, y)); }),
  };
  EXPECT_THAT(codes, Each(LUCFileV1::kFileNotOpen));
  EXPECT_FALSE(luc.InCell(0.5, -0.5));  // though the corners read 0, 0
}

// A file made from a recipe (the default: 10 rows of 500 cells, 1000-byte
// records, MaxNorthing 4430000, MinEasting 400400, 200 m resolutions, SE
// corner 40 N 105 W in zone 13), opened in the I/O mode of the parameter.
class LUCFileV1Modes : public ::testing::TestWithParam<int32_t> {
 protected:
  void Open(const LucFileRecipe& recipe = {}) {
    luc_.SetOpenMode(LUCFileV1::kClosed);
    WriteWholeFile(path_, MakeLucBytes(recipe));
    luc_.SetFileName(path_);
    luc_.SetOpenMode(GetParam());
    ASSERT_EQ(luc_.LastError(), LUCFileV1::kNoError);
  }
  TempDir dir_;
  const std::string path_ = dir_.file("tile.LUC");
  LUCFileV1 luc_;
};

// Direct I/O mode reads each field at its offset in the file, memory I/O mode
// the copies decoded on opening.
TEST_P(LUCFileV1Modes, HeaderFieldsCodesAndChangesReachingTheFile) {
  Open();
  EXPECT_EQ(std::tuple(luc_.UTMZone(), luc_.NWCornerLatitude(), luc_.NWCornerLongitude(), luc_.SECornerLatitude(),
                       luc_.SECornerLongitude(), luc_.MinNorthing(), luc_.MaxNorthing(), luc_.MinEasting(),
                       luc_.MaxEasting(), luc_.DataRows(), luc_.DataColumns(), luc_.XResolution(),
                       luc_.YResolution(), luc_.RecordLength(), luc_.DataBlockSize(), luc_.Title()),
            std::tuple(int16_t{13}, 41.0, -106.0, 40.0, -105.0, 4428200, 4430000, 400400, 500200, 10, 500,
                       int16_t{200}, int16_t{200}, 1000, 10000, std::string(40, '\0')));
  const int32_t memoryOnly = GetParam() == LUCFileV1::kMemoryIo ? LUCFileV1::kNoError : LUCFileV1::kBadOpenMode;
  // Each call, then the code it leaves; every code differs from the one before.
  const std::pair<std::function<void()>, int32_t> calls[] = {
      {[&] { luc_.SetDataSource(std::string(41, 'a')); }, LUCFileV1::kStringTooLong},  // changes nothing
      {[&] { EXPECT_EQ(luc_.DataSource(), std::string(40, '\0')); }, LUCFileV1::kStringTooLong},  // kept
      {[&] { EXPECT_EQ(luc_.BlockDataRows(), 0); }, LUCFileV1::kNoBufferedData},
      {[&] { luc_.ReadData(); }, memoryOnly},
      {[&] { EXPECT_EQ(luc_.BlockDataColumns(), 0); }, LUCFileV1::kNoBufferedData},
      {[&] { luc_.WriteData(); }, memoryOnly},
  };
  for (const auto& [call, error] : calls) {
    call();
    EXPECT_EQ(luc_.LastError(), error) << &call - &calls[0].first;
  }

  // Direct I/O mode writes at once; memory I/O mode only with WriteData, and
  // closing drops what was not written. Positions outside the grid change nothing.
  const std::string before = ReadWholeFile(path_);
  auto change = [&] {
    luc_.SetDataSource(std::string(40, 'D'));
    luc_.SetTitle("Boulder");
    luc_.SetLULCValue(100.5, 7.5, 52);  // halves to even: column 100, row 8
    EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
    EXPECT_EQ(luc_.LULCValue(100, 8), 52);
  };
  change();
  // Column -1 and column 500 of a middle row would fall inside the buffer.
  const double outside[][2] = {{-1, 5}, {500, 5}, {0, -1}, {0, 10}, {1e12, 0}, {NAN, 0}};
  for (const auto& xy : outside) {
    EXPECT_EQ(luc_.LULCValue(xy[0], xy[1]), 0);
    EXPECT_EQ(luc_.LastError(), LUCFileV1::kUnknownError);
    luc_.SetLULCValue(xy[0], xy[1], 99);
    EXPECT_EQ(luc_.LastError(), LUCFileV1::kUnknownError);
  }
  if (GetParam() == LUCFileV1::kMemoryIo) {
    luc_.SetOpenMode(LUCFileV1::kClosed);
    EXPECT_EQ(ReadWholeFile(path_), before);
    luc_.SetOpenMode(LUCFileV1::kMemoryIo);
    change();
    luc_.SetOpenMode(LUCFileV1::kMemoryIo);  // already open: nothing is reloaded
    luc_.WriteData();
    EXPECT_EQ(luc_.LastError(), LUCFileV1::kNoError);
  }
  std::string expected = before;
  expected.replace(10, 80, std::string(40, 'D') + "Boulder" + std::string(33, ' '));
  expected.replace(9 * 1000 + 200, 2, "\x34\x00", 2);  // row 8 is record 9
  EXPECT_EQ(ReadWholeFile(path_), expected);

  // A moved-from object is closed, as a new one; the other takes the file over.
  LUCFileV1 moved(std::move(luc_));
  EXPECT_EQ(moved.LULCValue(100, 8), 52);
  EXPECT_EQ(std::pair(luc_.OpenMode(), luc_.FileName()),  // NOLINT(bugprone-use-after-move)
            std::pair(LUCFileV1::kClosed, std::string()));
}

// --- The coordinate model -----------------------------------------------------

TEST_P(LUCFileV1Modes, UtmPositionsSnapToTheNearestGridPointTiesToEvenOrThrow) {
  Open();
  const struct {
    double north, east;
    int32_t row, column;
  } cases[] = {
      {4429901, 400401, 0, 0},    {4430101, 400299, -1, -1},
      {4429700, 400500, 2, 0},    // 1.5 rows -> 2, 0.5 columns -> 0
      {4428000, 500300, 10, 500},  // south and east of the grid
  };
  for (const auto& c : cases) {
    int32_t row = 99, column = 99;
    luc_.ConUTMFile(c.north, c.east, row, column);
    EXPECT_EQ(std::pair(row, column), std::pair(c.row, c.column)) << c.north << " " << c.east;
  }
  int32_t row = 0, column = 0;  // results beyond 32 bits have no valid result
  EXPECT_THROW(luc_.ConUTMFile(1e12, 400401, row, column), LucArithmeticError);
  EXPECT_THROW(luc_.ConUTMFile(4429901, NAN, row, column), LucArithmeticError);

  // Nor has a resolution of 0; cells so addressed report error 11.
  LucFileRecipe recipe;
  recipe.xResolution = 0;
  Open(recipe);
  EXPECT_THROW(luc_.ConUTMFile(4429901, 400401, row, column), LucArithmeticError);
  EXPECT_THROW(luc_.ConLatLonFile(40.5, -105.5, row, column), LucArithmeticError);
  for (int32_t mode : {LUCFileV1::kUtmCoordinates, LUCFileV1::kGeographicCoordinates}) {
    luc_.SetCoordinateMode(mode);
    EXPECT_EQ(luc_.LULCValue(400401, 4429901), 0);
    EXPECT_EQ(luc_.LastError(), LUCFileV1::kUnknownError);
  }
}

TEST_P(LUCFileV1Modes, CellValuesAddressedInEveryCoordinateMode) {
  Open();
  luc_.SetCoordinateMode(3);  // refused: grid coordinates stay
  EXPECT_EQ(std::pair(luc_.LastError(), luc_.CoordinateMode()),
            std::pair(LUCFileV1::kBadCoordinateMode, LUCFileV1::kGridCoordinates));
  luc_.SetCoordinateMode(LUCFileV1::kUtmCoordinates);
  luc_.SetLULCValue(400401 + 200, 4429901 - 400, 42);  // row 2, column 1
  luc_.SetLULCValueAtUtm(4429600, 400600 + 200, 43);   // the fast path stores like UTM coordinates do
  luc_.SetCoordinateMode(LUCFileV1::kGeographicCoordinates);
  const GeoPoint p = UtmToGeographic(13, 400600, 4429600);
  EXPECT_EQ(luc_.LULCValue(p.longitude, p.latitude), 42);
  luc_.SetCoordinateMode(LUCFileV1::kGridCoordinates);
  EXPECT_EQ(std::pair(luc_.LULCValue(1, 2), luc_.LULCValue(2, 2)), std::pair(int16_t{42}, int16_t{43}));
  luc_.SetLULCValueAtUtm(4430101, 400299, 44);
  EXPECT_EQ(luc_.LastError(), LUCFileV1::kUnknownError);

  // Geographic positions go through the tile's zone, even a point of zone 12.
  double north = 0, east = 0;
  luc_.ConLatLonUTM(40.0, -108.5, north, east);
  const UtmPoint utm = GeographicToUtm(40.0, -108.5, 13);
  EXPECT_EQ(std::pair(north, east), std::pair(utm.northing, utm.easting));
}

// Which edges belong to the cell is TileGridTest's; here the conversion of
// each coordinate mode on the way there.
TEST_P(LUCFileV1Modes, InFileTestsTheOneDegreeCellInEveryCoordinateMode) {
  Open();
  const UtmPoint west = GeographicToUtm(40.5, -106.001, 13);
  const struct {
    int32_t mode;
    double x, y;
    bool inside;
    double xAfter, yAfter;  // only grid coordinates are handed back changed
  } cases[] = {
      {LUCFileV1::kGeographicCoordinates, -105.0, 40.0, true, -105.0, 40.0},  // south-east corner
      // Grid: the caller's column and row become the point's easting and northing.
      {LUCFileV1::kGridCoordinates, 3, 4, false, 401000, 4429200},   // 99 km west: beyond 106 W
      {LUCFileV1::kGridCoordinates, 100, 4, true, 420400, 4429200},  // 80 km west: inside
      {LUCFileV1::kUtmCoordinates, west.easting, west.northing, false, west.easting, west.northing},
  };
  for (const auto& c : cases) {
    luc_.SetCoordinateMode(c.mode);
    double x = c.x, y = c.y;
    EXPECT_EQ(luc_.InFile(x, y), c.inside) << c.x << " " << c.y;
    EXPECT_EQ(std::pair(x, y), std::pair(c.xAfter, c.yAfter));
  }
  EXPECT_TRUE(luc_.InCell(40.0, -105.0));
  EXPECT_FALSE(luc_.InCell(40.5, -106.0));
}

INSTANTIATE_TEST_SUITE_P(BothIoModes, LUCFileV1Modes, ::testing::Values(LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo));

TEST(LUCFileV1, ErrorDescriptions) {
  const char* texts[] = {"No error.", "File not open.", "Not in memory I/O mode.", "Bad open mode.",
                         "Filename not set.", "File not found.", "Invalid file or file error.",
                         "No data block defined.", "String too long.", "Bad coordinate mode.",
                         "No buffered data.", "Unknown error.", "Error code does not exist."};
  for (int32_t code = 0; code <= 12; ++code) EXPECT_EQ(LUCFileV1::ErrorDescription(code), texts[code]);
  EXPECT_EQ(LUCFileV1::ErrorDescription(-1), texts[12]);
}

}  // namespace
}  // namespace tilbo
