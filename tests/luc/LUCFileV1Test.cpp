#include "luc/LUCFileV1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>

#include "coords/UtmCon.h"
#include "luc/LucTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::Get;
using testing::LucFileRecipe;
using testing::MakeLucBytes;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteWholeFile;
namespace fs = std::filesystem;

constexpr int16_t kFill = 41;

// Opens a file made from the recipe (the default: 10 rows of 500 cells,
// 1000-byte records, SE corner 40 N 105 W in zone 13).
std::string OpenRecipe(const TempDir& dir, LUCFileV1& luc, int32_t mode,
                       const LucFileRecipe& recipe = {}) {
  const std::string path = dir.file("tile.LUC");
  WriteWholeFile(path, MakeLucBytes(recipe));
  luc.SetFileName(path);
  luc.SetOpenMode(mode);
  return path;
}

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
    int32_t edgeRow, edgeColumn;  // a filled grid point, on the south or east edge if any
  } cases[] = {
      // The last column lies on 105 W exactly (easting 500000, the central meridian).
      {40, -105, LUCFileV1::kClosed, LUCFileV1::kCreated, 13, 4427600, 4539000, 414800, 500000,
       558, 427, 279, 426},
      // The last row lies on the equator exactly.
      {0, 10, LUCFileV1::kMemoryIo, LUCFileV1::kCreated, 32, 0, 110400, 500200, 611200, 553, 556,
       552, 278},
      {40, -104.7, LUCFileV1::kMemoryIo, LUCFileV1::kCreatedSkewed, 13, 4427800, 4538600, 441400,
       525600, 555, 422, 554, 200},
  };
  TempDir dir;
  int padding = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seLongitude);
    std::string name = dir.file("tile.LUC");
    WriteWholeFile(name, std::string(3'000'000, 'x'));  // replaced by a file of the new size
    LUCFileV1 luc;
    EXPECT_EQ(luc.CreateFile(c.seLatitude, c.seLongitude, 200, 200, name, c.openMode, kFill),
              c.result);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
    EXPECT_EQ(luc.OpenMode(), c.openMode);
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
        padding += !inside;
      }
    }
    const std::size_t edge = static_cast<std::size_t>(c.edgeRow + 1) * recordLength + 2 * c.edgeColumn;
    EXPECT_EQ(Get<int16_t>(bytes, edge), kFill);
  }
  EXPECT_GT(padding, 0);
}

// An empty name becomes the tile name in the current directory. Refusals
// write nothing.
TEST(LUCFileV1Create, EmptyNameBecomesTheTileNameAndRefusalsWriteNothing) {
  TempDir dir;
  const auto previous = fs::current_path();
  fs::current_path(dir.path());
  LUCFileV1 luc;
  std::string tile;
  EXPECT_EQ(luc.CreateFile(40.0, -105.0, 1000, 1000, tile, LUCFileV1::kDirectIo, kFill), 0);
  EXPECT_EQ(tile, "L10540NW.LUC");
  EXPECT_EQ(luc.FileName(), "L10540NW.LUC");
  EXPECT_TRUE(fs::is_regular_file(dir.path() / "L10540NW.LUC"));
  struct Refusal {
    int32_t openMode = LUCFileV1::kClosed;
    int16_t xResolution = 200, yResolution = 200;
    int32_t fill = kFill;
    double seLatitude = 40.0;
    const char* name = "other.LUC";
    int32_t error = LUCFileV1::kUnknownError;
  };
  const Refusal cases[] = {
      {.openMode = LUCFileV1::kDirectIo, .error = LUCFileV1::kBadOpenMode},  // a file is open
      {.openMode = LUCFileV1::kMemoryIo, .error = LUCFileV1::kBadOpenMode},
      {.xResolution = 0}, {.yResolution = 0}, {.xResolution = 1200},  // 71 columns
      {.fill = 40000}, {.seLatitude = 95.0}, {.name = "missing/L10540NW.LUC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    luc.SetOpenMode(c.openMode);
    std::string name = c.name;
    EXPECT_EQ(luc.CreateFile(c.seLatitude, -105.0, c.xResolution, c.yResolution, name, 0, c.fill),
              LUCFileV1::kNotCreated);
    EXPECT_EQ(luc.LastError(), c.error);
    if (c.error == LUCFileV1::kUnknownError) {
      EXPECT_EQ(luc.FileName(), "");
    }
  }
  fs::current_path(previous);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);  // the tile only
}

TEST(LUCFileV1Open, ErrorCodesAndSignatures) {
  TempDir dir;
  fs::create_directory(dir.file("folder.LUC"));
  LucFileRecipe recipe;
  recipe.signature = "QMLULC 1.1";
  WriteWholeFile(dir.file("bad.LUC"), MakeLucBytes(recipe));
  recipe.signature = "qmlulc 1.0";  // letter case does not matter
  WriteWholeFile(dir.file("lower.LUC"), MakeLucBytes(recipe));
  // Steps on one object, in order.
  const struct {
    std::string name;
    int32_t mode, error, modeAfter;
  } steps[] = {
      {"", LUCFileV1::kDirectIo, LUCFileV1::kFileNameNotSet, LUCFileV1::kClosed},
      {"missing.LUC", LUCFileV1::kMemoryIo, LUCFileV1::kFileNotFound, LUCFileV1::kClosed},
      {"folder.LUC", LUCFileV1::kDirectIo, LUCFileV1::kFileNotFound, LUCFileV1::kClosed},
      {"bad.LUC", LUCFileV1::kDirectIo, LUCFileV1::kInvalidFile, LUCFileV1::kClosed},
      {"bad.LUC", LUCFileV1::kMemoryIo, LUCFileV1::kInvalidFile, LUCFileV1::kClosed},
      {"lower.LUC", LUCFileV1::kDirectIo, LUCFileV1::kNoError, LUCFileV1::kDirectIo},
      {"lower.LUC", LUCFileV1::kDirectIo, LUCFileV1::kNoError, LUCFileV1::kDirectIo},  // again
      {"lower.LUC", 3, LUCFileV1::kBadOpenMode, LUCFileV1::kDirectIo},
      {"lower.LUC", LUCFileV1::kMemoryIo, LUCFileV1::kNoError, LUCFileV1::kMemoryIo},
      {"lower.LUC", LUCFileV1::kClosed, LUCFileV1::kNoError, LUCFileV1::kClosed},
  };
  LUCFileV1 luc;
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name + " mode " + std::to_string(s.mode));
    luc.SetFileName(s.name.empty() ? "" : dir.file(s.name));
    luc.SetOpenMode(s.mode);
    EXPECT_EQ(luc.LastError(), s.error);
    EXPECT_EQ(luc.OpenMode(), s.modeAfter);
  }
}

// The check on open looks at the signature (and the name) only: a file cut
// short opens in direct I/O mode, where what it lacks fails cell by cell and
// is never written; memory I/O mode refuses it before loading anything.
TEST(LUCFileV1Open, AShortFileOpensDirectlyAndFailsBeyondItsEnd) {
  TempDir dir;
  LucFileRecipe recipe;
  recipe.cellValue = 31;
  const std::string whole = MakeLucBytes(recipe);
  for (std::size_t length : {whole.size() - 1, std::size_t{1000}, std::size_t{156}, std::size_t{10}}) {
    SCOPED_TRACE(length);
    WriteWholeFile(dir.file("short.LUC"), whole.substr(0, length));
    LUCFileV1 luc;
    luc.SetFileName(dir.file("short.LUC"));
    luc.SetOpenMode(LUCFileV1::kMemoryIo);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kInvalidFile);
    luc.SetOpenMode(LUCFileV1::kDirectIo);
    ASSERT_EQ(luc.LastError(), LUCFileV1::kNoError);
    EXPECT_EQ(luc.LULCValue(0, 0), length > 1000 ? 31 : 0);
    luc.LULCValue(499, 9);  // the last cell: its second byte is missing
    EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
    luc.SetLULCValue(499, 9, 41);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
    luc.SetTitle("cut short");
    EXPECT_EQ(luc.LastError(), length >= 90 ? LUCFileV1::kNoError : LUCFileV1::kInvalidFile);
    luc.SetOpenMode(LUCFileV1::kClosed);
    EXPECT_EQ(fs::file_size(dir.file("short.LUC")), length);
  }
}

TEST(LUCFileV1Open, FileNameCheckComparesTheNameWithTheCorner) {
  TempDir dir;
  fs::create_directory(dir.file("L10540NW.LUC.d"));
  const std::pair<const char*, bool> cases[] = {
      {"L10540NW.LUC", true},
      {"L10540NW.luc", false},  // the name rule itself: TileNameTest
      {"L10540NE.LUC", false},  // 105 E is not the corner
      {"L10541NW.LUC", false},  // 41 N is not the corner
      {"L10540NW.LUC.d/L10540NW.LUC", true},  // only the name after the last "/"
  };
  for (const auto& [name, matches] : cases) {
    WriteWholeFile(dir.file(name), MakeLucBytes({}));  // SE corner 40 N 105 W
    for (bool check : {true, false}) {
      LUCFileV1 luc;
      luc.SetValidateFileName(check);
      luc.SetFileName(dir.file(name));
      luc.SetOpenMode(LUCFileV1::kDirectIo);
      const bool opens = matches || !check;  // without the check any name opens
      EXPECT_EQ(std::pair(luc.LastError(), luc.OpenMode()),
                opens ? std::pair(LUCFileV1::kNoError, LUCFileV1::kDirectIo)
                      : std::pair(LUCFileV1::kInvalidFile, LUCFileV1::kClosed))
          << name << " checked " << check;
    }
  }
}

// Every header field at its offset, in both open modes; closed, error 1 and 0.
TEST(LUCFileV1Properties, HeaderFieldsInEveryOpenMode) {
  TempDir dir;
  for (int32_t mode : {LUCFileV1::kClosed, LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo}) {
    SCOPED_TRACE(mode);
    LUCFileV1 luc;
    OpenRecipe(dir, luc, mode);
    const bool open = mode != LUCFileV1::kClosed;
    const int32_t fieldError = open ? LUCFileV1::kNoError : LUCFileV1::kFileNotOpen;
    // Each value, then the code it leaves.
    auto check = [&](auto value, auto expected, int32_t error) {
      EXPECT_EQ(value, expected);
      EXPECT_EQ(luc.LastError(), error);
      luc.ResetError();
    };
    auto errorAfter = [&](auto call) {
      call();
      return luc.LastError();
    };
    check(std::tuple(luc.UTMZone(), luc.NWCornerLatitude(), luc.NWCornerLongitude(),
                     luc.SECornerLatitude(), luc.SECornerLongitude(), luc.MinNorthing(),
                     luc.MaxNorthing(), luc.MinEasting(), luc.MaxEasting(), luc.DataRows(),
                     luc.DataColumns(), luc.XResolution(), luc.YResolution(), luc.RecordLength()),
          open ? std::tuple(int16_t{13}, 41.0, -106.0, 40.0, -105.0, 4428200, 4430000, 400400,
                            500200, 10, 500, int16_t{200}, int16_t{200}, 1000)
               : std::tuple(int16_t{0}, 0.0, 0.0, 0.0, 0.0, 0, 0, 0, 0, 0, 0, int16_t{0},
                            int16_t{0}, 0),
          fieldError);
    check(luc.DataBlockSize(), open ? 10000 : 0, fieldError);
    check(luc.Title(), open ? std::string(40, '\0') : "", fieldError);
    // Text of more than 40 bytes changes nothing; a DataSource read leaves the code.
    EXPECT_EQ(errorAfter([&] { luc.SetDataSource(std::string(41, 'a')); }), LUCFileV1::kStringTooLong);
    check(luc.DataSource(), open ? std::string(40, '\0') : "",
          open ? LUCFileV1::kStringTooLong : LUCFileV1::kFileNotOpen);
    check(luc.BlockDataRows(), 0, LUCFileV1::kNoBufferedData);
    check(luc.BlockDataColumns(), 0, LUCFileV1::kNoBufferedData);
    check(luc.LULCValue(1, 1), int16_t{0}, fieldError);
    EXPECT_EQ(errorAfter([&] { luc.SetLULCValue(1, 1, 5); }), fieldError);
    EXPECT_EQ(errorAfter([&] { luc.SetTitle("x"); }), fieldError);
    const int32_t memoryOnly = mode == LUCFileV1::kMemoryIo ? LUCFileV1::kNoError : LUCFileV1::kBadOpenMode;
    EXPECT_EQ(errorAfter([&] { luc.ReadData(); }), memoryOnly);
    EXPECT_EQ(errorAfter([&] { luc.WriteData(); }), memoryOnly);
  }
}

// Direct I/O mode writes at once; memory I/O mode only with WriteData, and
// closing drops what was not written.
TEST(LUCFileV1Cells, ChangesReachTheFileAtOnceOrThroughWriteData) {
  TempDir dir;
  for (int32_t mode : {LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo}) {
    SCOPED_TRACE(mode);
    LUCFileV1 luc;
    const std::string path = OpenRecipe(dir, luc, mode);
    const std::string before = ReadWholeFile(path);
    auto change = [&] {
      luc.SetDataSource(std::string(40, 'D'));
      luc.SetTitle("Boulder");
      luc.SetLULCValue(100.5, 7.5, 52);  // halves to even: column 100, row 8
      EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
      EXPECT_EQ(luc.LULCValue(100, 8), 52);
    };
    change();
    if (mode == LUCFileV1::kMemoryIo) {
      EXPECT_EQ(ReadWholeFile(path), before);
      luc.SetOpenMode(LUCFileV1::kClosed);
      luc.SetOpenMode(LUCFileV1::kMemoryIo);
      EXPECT_EQ(luc.LULCValue(100, 8), 0);
      change();
      luc.WriteData();
      EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
    }
    std::string expected = before;
    expected.replace(10, 80, std::string(40, 'D') + "Boulder" + std::string(33, ' '));
    expected.replace(9 * 1000 + 200, 2, "\x34\x00", 2);  // row 8 is record 9
    EXPECT_EQ(ReadWholeFile(path), expected);
  }
}

TEST(LUCFileV1Cells, PositionsOutsideTheGridAreRefusedInBothModes) {
  TempDir dir;
  for (int32_t mode : {LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo}) {
    SCOPED_TRACE(mode);
    LUCFileV1 luc;
    const std::string path = OpenRecipe(dir, luc, mode);
    const std::string original = ReadWholeFile(path);
    // Column -1 and column 500 of a middle row would fall inside the buffer.
    const double outside[][2] = {{-1, 5}, {500, 5}, {0, -1}, {0, 10}, {1e12, 0}, {NAN, 0}};
    for (const auto& xy : outside) {
      EXPECT_EQ(luc.LULCValue(xy[0], xy[1]), 0);
      EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
      luc.SetLULCValue(xy[0], xy[1], 99);
      EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
    }
    luc.WriteData();
    luc.SetOpenMode(LUCFileV1::kClosed);
    EXPECT_EQ(ReadWholeFile(path), original);
  }
}

TEST(LUCFileV1, ErrorDescriptions) {
  const char* texts[] = {"No error.", "File not open.", "Not in memory I/O mode.", "Bad open mode.",
                         "Filename not set.", "File not found.", "Invalid file or file error.",
                         "No data block defined.", "String too long.", "Bad coordinate mode.",
                         "No buffered data.", "Unknown error.", "Error code does not exist."};
  for (int32_t code = 0; code <= 12; ++code) EXPECT_EQ(LUCFileV1::ErrorDescription(code), texts[code]);
  EXPECT_EQ(LUCFileV1::ErrorDescription(-1), texts[12]);
}

TEST(LUCFileV1, MovedFromObjectIsClosed) {
  TempDir dir;
  LUCFileV1 luc;
  OpenRecipe(dir, luc, LUCFileV1::kMemoryIo);
  LUCFileV1 moved(std::move(luc));
  EXPECT_EQ(moved.OpenMode(), LUCFileV1::kMemoryIo);
  EXPECT_EQ(moved.DataRows(), 10);
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kClosed);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(luc.FileName(), "");
}

}  // namespace
}  // namespace tilbo
