#include "luc/LUCFileV1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "coords/UtmCon.h"
#include "luc/TileName.h"
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

constexpr int16_t kFill = 41;

// Creates the tile for (40 N, 105 W) at 200 m into the directory.
std::string CreateColoradoTile(const TempDir& dir, LUCFileV1& luc, int32_t openMode = 0) {
  std::string name = dir.file("L10540NW.LUC");
  EXPECT_EQ(luc.CreateFile(40.0, -105.0, 200, 200, name, openMode, kFill), LUCFileV1::kCreated);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  return name;
}

// The cell a created grid point should hold: fill inside the one-degree cell.
int16_t ExpectedCell(int16_t zone, double easting, double northing, double seLat, double seLon) {
  const GeoPoint p = UtmToGeographic(zone, easting, northing);
  const bool inside = seLat <= p.latitude && p.latitude < seLat + 1 && seLon - 1 < p.longitude &&
                      p.longitude <= seLon;
  return inside ? kFill : kPaddingValue;
}

TEST(LUCFileV1Create, WritesTheHeaderAndGridLayoutByteForByte) {
  TempDir dir;
  LUCFileV1 luc;
  const std::string name = CreateColoradoTile(dir, luc);
  EXPECT_EQ(luc.FileName(), name);
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kClosed);
  const std::string bytes = ReadWholeFile(name);

  const auto rows = Get<int32_t>(bytes, 140);
  const auto columns = Get<int32_t>(bytes, 144);
  const auto recordLength = Get<int32_t>(bytes, 152);
  ASSERT_GE(columns, 78);
  EXPECT_EQ(recordLength, 2 * columns);
  ASSERT_EQ(bytes.size(), static_cast<std::size_t>(rows + 1) * recordLength);

  EXPECT_EQ(bytes.substr(0, 10), "QMLULC 1.0");
  EXPECT_EQ(bytes.substr(10, 80), std::string(80, '\0'));  // data source and title
  EXPECT_EQ(Get<int16_t>(bytes, 90), 13);
  EXPECT_EQ(bytes.substr(92, 16), std::string(16, '\0'));  // NW corner 0.0, 0.0
  EXPECT_EQ(Get<double>(bytes, 108), 40.0);
  EXPECT_EQ(Get<double>(bytes, 116), -105.0);
  const auto minNorthing = Get<int32_t>(bytes, 124);
  const auto maxNorthing = Get<int32_t>(bytes, 128);
  const auto minEasting = Get<int32_t>(bytes, 132);
  const auto maxEasting = Get<int32_t>(bytes, 136);
  EXPECT_EQ(Get<int16_t>(bytes, 148), 200);
  EXPECT_EQ(Get<int16_t>(bytes, 150), 200);
  EXPECT_EQ(maxNorthing - minNorthing, (rows - 1) * 200);
  EXPECT_EQ(maxEasting - minEasting, (columns - 1) * 200);
  EXPECT_EQ(maxEasting, 500000);  // the east edge is zone 13's central meridian
  EXPECT_EQ(bytes.substr(156, recordLength - 156), std::string(recordLength - 156, '\0'));

  // Every cell: the fill value inside the one-degree cell, padding (00 83) outside.
  int padding = 0;
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t c = 0; c < columns; ++c) {
      const std::size_t at = static_cast<std::size_t>(r + 1) * recordLength + 2 * c;
      const int16_t expected =
          ExpectedCell(13, minEasting + 200.0 * c, maxNorthing - 200.0 * r, 40.0, -105.0);
      ASSERT_EQ(Get<int16_t>(bytes, at), expected) << "row " << r << " column " << c;
      if (expected == kPaddingValue) {
        ++padding;
        ASSERT_EQ(bytes.substr(at, 2), std::string("\x00\x83", 2));
      }
    }
  }
  EXPECT_GT(padding, 0);
  // The north-west grid point lies beyond the cell's west edge.
  EXPECT_EQ(Get<int16_t>(bytes, recordLength), kPaddingValue);
}

TEST(LUCFileV1Create, CellsOnTheSouthAndEastEdgesGetTheFillValue) {
  TempDir dir;
  {
    // The last column lies on 105 W exactly (easting 500000): east edge, inside.
    LUCFileV1 luc;
    const std::string name = CreateColoradoTile(dir, luc, LUCFileV1::kMemoryIo);
    const int32_t rows = luc.DataRows();
    const int32_t lastColumn = luc.DataColumns() - 1;
    ASSERT_EQ(luc.MinEasting() + 200 * lastColumn, 500000);
    EXPECT_EQ(UtmToGeographic(13, 500000.0, luc.MaxNorthing() - 200.0 * (rows / 2)).longitude,
              -105.0);
    EXPECT_EQ(luc.LULCValue(lastColumn, rows / 2), kFill);
  }
  {
    // A tile on the equator: its last row lies on latitude 0 exactly, the south edge.
    LUCFileV1 luc;
    std::string name = dir.file("equator.LUC");
    ASSERT_LE(luc.CreateFile(0.0, 10.0, 200, 200, name, LUCFileV1::kMemoryIo, kFill), 1);
    ASSERT_EQ(luc.MinNorthing(), 0);
    const int32_t lastRow = luc.DataRows() - 1;
    EXPECT_EQ(luc.LULCValue(luc.DataColumns() / 2, lastRow), kFill);
  }
}

TEST(LUCFileV1Create, EmptyNameBecomesTheTileNameInTheCurrentDirectory) {
  TempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  LUCFileV1 luc;
  std::string name;
  const int32_t result = luc.CreateFile(40.0, -105.0, 200, 200, name, 0, kFill);
  std::filesystem::current_path(previous);
  EXPECT_EQ(result, LUCFileV1::kCreated);
  EXPECT_EQ(name, "L10540NW.LUC");
  EXPECT_EQ(luc.FileName(), "L10540NW.LUC");
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "L10540NW.LUC"));
}

TEST(LUCFileV1Create, RefusesWithoutWritingAnything) {
  TempDir dir;
  LUCFileV1 luc;
  // While a file is open: error 3.
  CreateColoradoTile(dir, luc, LUCFileV1::kDirectIo);
  std::string other = dir.file("other.LUC");
  EXPECT_EQ(luc.CreateFile(41.0, -105.0, 200, 200, other, 0, kFill), LUCFileV1::kNotCreated);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
  EXPECT_FALSE(std::filesystem::exists(other));
  luc.SetOpenMode(LUCFileV1::kMemoryIo);  // from direct straight to memory mode
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kMemoryIo);
  EXPECT_EQ(luc.CreateFile(41.0, -105.0, 200, 200, other, 0, kFill), LUCFileV1::kNotCreated);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
  luc.SetOpenMode(LUCFileV1::kClosed);

  struct Refused {
    int16_t xResolution, yResolution;
    int32_t fill;
    double seLatitude;
  };
  const Refused cases[] = {
      {0, 200, kFill, 40.0},      // resolution 0
      {200, 0, kFill, 40.0},      // resolution 0
      {1200, 200, kFill, 40.0},   // about 71 columns: fewer than 78
      {200, 200, 40000, 40.0},    // fill value beyond 16 bits
      {200, 200, kFill, 95.0},    // no such corner
  };
  for (const auto& c : cases) {
    EXPECT_EQ(luc.CreateFile(c.seLatitude, -105.0, c.xResolution, c.yResolution, other, 0, c.fill),
              LUCFileV1::kNotCreated);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
    EXPECT_EQ(luc.FileName(), "");
    EXPECT_FALSE(std::filesystem::exists(other));
  }
  // A directory that does not exist.
  std::string nowhere = dir.file("missing/L10540NW.LUC");
  EXPECT_EQ(luc.CreateFile(40.0, -105.0, 200, 200, nowhere, 0, kFill), LUCFileV1::kNotCreated);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // the tile only
}

TEST(LUCFileV1Create, ReplacesALongerFileWithOneOfExactlyTheNewSize) {
  TempDir dir;
  std::string name = dir.file("tile.LUC");
  WriteWholeFile(name, std::string(3'000'000, 'x'));
  LUCFileV1 luc;
  ASSERT_EQ(luc.CreateFile(40.0, -105.0, 200, 200, name, LUCFileV1::kMemoryIo, kFill), 0);
  const auto expected = static_cast<uintmax_t>(luc.DataRows() + 1) * luc.RecordLength();
  EXPECT_EQ(std::filesystem::file_size(name), expected);
}

TEST(LUCFileV1Create, SkewedCellIsReportedAndTheFileIsComplete) {
  TempDir dir;
  // South-east corner 0.3 degrees east of zone 13's meridian, north-west corner
  // 0.7 west of it: the NW corner lies higher than the NE corner.
  std::string name = dir.file("skewed.LUC");
  LUCFileV1 luc;
  EXPECT_EQ(luc.CreateFile(40.0, -104.7, 200, 200, name, LUCFileV1::kMemoryIo, kFill),
            LUCFileV1::kCreatedSkewed);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);  // opened fine
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kMemoryIo);
  EXPECT_EQ(std::filesystem::file_size(name),
            static_cast<uintmax_t>(luc.DataRows() + 1) * luc.RecordLength());
  luc.SetCoordinateMode(LUCFileV1::kGeographicCoordinates);
  EXPECT_EQ(luc.LULCValue(-105.0, 40.5), kFill);
}

TEST(LUCFileV1Open, ErrorsAndAcceptedSignatures) {
  TempDir dir;
  LUCFileV1 luc;
  luc.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNameNotSet);

  luc.SetFileName(dir.file("missing.LUC"));
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotFound);
  std::filesystem::create_directory(dir.file("folder.LUC"));
  luc.SetFileName(dir.file("folder.LUC"));
  luc.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotFound);

  LucFileRecipe recipe;
  recipe.signature = "QMLULC 1.1";
  WriteWholeFile(dir.file("bad.LUC"), MakeLucBytes(recipe));
  luc.SetFileName(dir.file("bad.LUC"));
  for (int32_t mode : {LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo}) {
    luc.SetOpenMode(mode);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kInvalidFile);
    EXPECT_EQ(luc.OpenMode(), LUCFileV1::kClosed);
  }

  recipe.signature = "qmlulc 1.0";  // letter case does not matter
  WriteWholeFile(dir.file("lower.LUC"), MakeLucBytes(recipe));
  luc.SetFileName(dir.file("lower.LUC"));
  luc.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kDirectIo);
  luc.SetOpenMode(LUCFileV1::kDirectIo);  // the same mode again: nothing happens
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  luc.SetOpenMode(3);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kDirectIo);
  luc.SetOpenMode(-1);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
  luc.SetOpenMode(LUCFileV1::kClosed);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kClosed);
}

// The check on open looks at the signature (and the name) only: a file cut
// short opens in direct I/O mode, where what it lacks fails cell by cell and
// is never written; memory I/O mode refuses it before loading anything.
TEST(LUCFileV1Open, AShortFileOpensDirectlyAndFailsBeyondItsEnd) {
  TempDir dir;
  LucFileRecipe recipe;
  recipe.cellValue = 31;
  const std::string whole = MakeLucBytes(recipe);  // 10 rows of 500 cells, 1000-byte records
  for (std::size_t length : {whole.size() - 1, std::size_t{1000}, std::size_t{156}, std::size_t{12}}) {
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
    EXPECT_EQ(std::filesystem::file_size(dir.file("short.LUC")), length);
  }
}

TEST(LUCFileV1Open, FileNameCheckFollowsTheTileNameRule) {
  TempDir dir;
  const std::string tile = MakeLucBytes(LucFileRecipe{});  // SE corner 40 N, 105 W
  auto opens = [&](const std::string& bareName, const std::string& bytes) {
    const std::string path = dir.file(bareName);
    WriteWholeFile(path, bytes);
    LUCFileV1 luc;
    luc.SetValidateFileName(true);
    luc.SetFileName(path);
    luc.SetOpenMode(LUCFileV1::kDirectIo);
    const bool opened = luc.OpenMode() == LUCFileV1::kDirectIo;
    EXPECT_EQ(luc.LastError(), opened ? LUCFileV1::kNoError : LUCFileV1::kInvalidFile)
        << bareName;
    return opened;
  };
  EXPECT_TRUE(opens("L10540NW.LUC", tile));
  EXPECT_FALSE(opens("L10540NW.luc", tile));   // the name rule: TileNameTest
  EXPECT_FALSE(opens("L10540NE.LUC", tile));   // 105 E is not the corner
  EXPECT_FALSE(opens("L10541NW.LUC", tile));   // 41 N is not the corner
  LucFileRecipe south;
  south.seLatitude = -34.0;
  south.seLongitude = 152.0;
  EXPECT_TRUE(opens("L15234SE.LUC", MakeLucBytes(south)));

  // Without the check any name opens; the check looks only after the last "/".
  LUCFileV1 unchecked;
  unchecked.SetFileName(dir.file("L10540NW.luc"));
  unchecked.SetOpenMode(LUCFileV1::kMemoryIo);
  EXPECT_EQ(unchecked.LastError(), LUCFileV1::kNoError);
  std::filesystem::create_directory(dir.file("L10540NW.LUC.d"));
  EXPECT_TRUE(opens("L10540NW.LUC.d/L10540NW.LUC", tile));

  // A name ending in lower-case .luc given to CreateFile keeps its case and is refused.
  std::string lower = dir.file("L10541NW.luc");
  LUCFileV1 created;
  ASSERT_EQ(created.CreateFile(41.0, -105.0, 200, 200, lower, 0, kFill), 0);
  created.SetValidateFileName(true);
  created.SetOpenMode(LUCFileV1::kMemoryIo);
  EXPECT_EQ(created.LastError(), LUCFileV1::kInvalidFile);
}

TEST(LUCFileV1Properties, ClosedObjectReportsFileNotOpen) {
  LUCFileV1 luc;
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kClosed);
  EXPECT_FALSE(luc.ValidateFileName());
  EXPECT_EQ(luc.CoordinateMode(), LUCFileV1::kGridCoordinates);
  auto expectNotOpen = [&](auto value, auto expected) {
    EXPECT_EQ(value, expected);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotOpen);
    luc.ResetError();
  };
  expectNotOpen(luc.DataBlockSize(), 0);
  expectNotOpen(luc.RecordLength(), 0);
  expectNotOpen(luc.DataSource(), std::string());
  expectNotOpen(luc.Title(), std::string());
  expectNotOpen(luc.XResolution(), int16_t{0});
  expectNotOpen(luc.YResolution(), int16_t{0});
  expectNotOpen(luc.UTMZone(), int16_t{0});
  expectNotOpen(luc.DataRows(), 0);
  expectNotOpen(luc.DataColumns(), 0);
  expectNotOpen(luc.NWCornerLatitude(), 0.0);
  expectNotOpen(luc.NWCornerLongitude(), 0.0);
  expectNotOpen(luc.MinEasting(), 0);
  expectNotOpen(luc.MaxNorthing(), 0);
  expectNotOpen(luc.SECornerLatitude(), 0.0);
  expectNotOpen(luc.SECornerLongitude(), 0.0);
  expectNotOpen(luc.MaxEasting(), 0);
  expectNotOpen(luc.MinNorthing(), 0);
  expectNotOpen(luc.LULCValue(1, 1), int16_t{0});
  luc.SetLULCValue(1, 1, 5);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotOpen);
  luc.SetTitle("x");
  EXPECT_EQ(luc.LastError(), LUCFileV1::kFileNotOpen);
  luc.ReadData();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
  luc.WriteData();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
  EXPECT_EQ(luc.BlockDataRows(), 0);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoBufferedData);
}

TEST(LUCFileV1Properties, HeaderFieldsReadTheSameInBothModes) {
  TempDir dir;
  const std::string path = dir.file("tile.LUC");
  WriteWholeFile(path, MakeLucBytes(LucFileRecipe{}));
  for (int32_t mode : {LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo}) {
    SCOPED_TRACE(mode);
    LUCFileV1 luc;
    luc.SetFileName(path);
    luc.SetOpenMode(mode);
    ASSERT_EQ(luc.LastError(), LUCFileV1::kNoError);
    EXPECT_EQ(luc.UTMZone(), 13);
    EXPECT_EQ(luc.SECornerLatitude(), 40.0);
    EXPECT_EQ(luc.SECornerLongitude(), -105.0);
    EXPECT_EQ(luc.NWCornerLatitude(), 0.0);
    EXPECT_EQ(luc.MinNorthing(), 4428200);
    EXPECT_EQ(luc.MaxNorthing(), 4430000);
    EXPECT_EQ(luc.MinEasting(), 400400);
    EXPECT_EQ(luc.MaxEasting(), 500200);
    EXPECT_EQ(luc.DataRows(), 10);
    EXPECT_EQ(luc.DataColumns(), 500);
    EXPECT_EQ(luc.XResolution(), 200);
    EXPECT_EQ(luc.YResolution(), 200);
    EXPECT_EQ(luc.RecordLength(), 1000);
    EXPECT_EQ(luc.DataBlockSize(), 10000);
    EXPECT_EQ(luc.Title(), std::string(40, '\0'));
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(i == 0 ? luc.BlockDataRows() : luc.BlockDataColumns(), 0);
      EXPECT_EQ(luc.LastError(), LUCFileV1::kNoBufferedData);
    }
    if (mode == LUCFileV1::kDirectIo) {
      luc.ReadData();
      EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
      luc.WriteData();
      EXPECT_EQ(luc.LastError(), LUCFileV1::kBadOpenMode);
    }
  }
}

TEST(LUCFileV1Properties, TextFieldsArePaddedAndLimitedToForty) {
  TempDir dir;
  const std::string path = dir.file("tile.LUC");
  WriteWholeFile(path, MakeLucBytes(LucFileRecipe{}));
  LUCFileV1 luc;
  luc.SetFileName(path);
  luc.SetOpenMode(LUCFileV1::kDirectIo);

  luc.SetDataSource("USGS");
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_EQ(ReadWholeFile(path).substr(10, 40), "USGS" + std::string(36, ' '));  // at once
  luc.SetDataSource(std::string(41, 'a'));
  EXPECT_EQ(luc.LastError(), LUCFileV1::kStringTooLong);
  EXPECT_EQ(luc.DataSource(), "USGS" + std::string(36, ' '));
  EXPECT_EQ(luc.LastError(), LUCFileV1::kStringTooLong);  // a DataSource read leaves it
  luc.SetTitle(std::string(40, 'T'));
  EXPECT_EQ(luc.Title(), std::string(40, 'T'));
  EXPECT_EQ(ReadWholeFile(path).substr(50, 40), std::string(40, 'T'));

  // Memory mode: the copy changes now, the file with WriteData.
  luc.SetOpenMode(LUCFileV1::kClosed);
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  luc.SetTitle("Boulder");
  EXPECT_EQ(luc.Title(), "Boulder" + std::string(33, ' '));
  EXPECT_EQ(ReadWholeFile(path).substr(50, 40), std::string(40, 'T'));
  luc.WriteData();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_EQ(ReadWholeFile(path).substr(50, 40), "Boulder" + std::string(33, ' '));
}

TEST(LUCFileV1Cells, MemoryModeChangesReachTheFileOnlyThroughWriteData) {
  TempDir dir;
  LUCFileV1 luc;
  const std::string path = CreateColoradoTile(dir, luc, LUCFileV1::kMemoryIo);
  const std::string before = ReadWholeFile(path);
  luc.SetLULCValue(100, 200, 52);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_EQ(luc.LULCValue(100, 200), 52);
  luc.SetOpenMode(LUCFileV1::kClosed);
  EXPECT_EQ(ReadWholeFile(path), before);  // dropped unwritten

  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  EXPECT_EQ(luc.LULCValue(100, 200), kFill);
  luc.SetLULCValue(100, 200, 52);
  luc.WriteData();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  const std::string after = ReadWholeFile(path);
  ASSERT_EQ(after.size(), before.size());
  const int32_t recordLength = luc.RecordLength();
  EXPECT_EQ(Get<int16_t>(after, static_cast<std::size_t>(201) * recordLength + 200), 52);
  std::string expected = before;
  expected.replace(static_cast<std::size_t>(201) * recordLength + 200, 2, after, 201 * recordLength + 200, 2);
  EXPECT_EQ(after, expected);  // nothing else changed
}

TEST(LUCFileV1Cells, DirectModeReadsAndWritesTheFileAtOnce) {
  TempDir dir;
  LucFileRecipe recipe;
  recipe.cellValue = 21;
  const std::string path = dir.file("tile.LUC");
  WriteWholeFile(path, MakeLucBytes(recipe));
  LUCFileV1 luc;
  luc.SetFileName(path);
  luc.SetOpenMode(LUCFileV1::kDirectIo);
  EXPECT_EQ(luc.LULCValue(499, 9), 21);
  luc.SetLULCValue(499, 9, -7);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_EQ(Get<int16_t>(ReadWholeFile(path), 10 * 1000 + 998), -7);
  // Grid coordinates round halves to even: 2.5 is column 2, 3.5 row 4.
  luc.SetLULCValue(2.5, 3.5, 33);
  EXPECT_EQ(Get<int16_t>(ReadWholeFile(path), 5 * 1000 + 4), 33);
}

TEST(LUCFileV1Cells, PositionsOutsideTheGridAreRefusedInBothModes) {
  TempDir dir;
  LucFileRecipe recipe;
  recipe.cellValue = 21;
  const std::string path = dir.file("tile.LUC");
  const std::string original = MakeLucBytes(recipe);
  for (int32_t mode : {LUCFileV1::kDirectIo, LUCFileV1::kMemoryIo}) {
    SCOPED_TRACE(mode);
    WriteWholeFile(path, original);
    LUCFileV1 luc;
    luc.SetFileName(path);
    luc.SetOpenMode(mode);
    // Column -1 and column 500 of a middle row would fall inside the buffer.
    const double outside[][2] = {{-1, 5}, {500, 5}, {0, -1}, {0, 10}, {1e12, 0}, {NAN, 0}};
    for (const auto& xy : outside) {
      EXPECT_EQ(luc.LULCValue(xy[0], xy[1]), 0);
      EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
      luc.SetLULCValue(xy[0], xy[1], 99);
      EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
    }
    if (mode == LUCFileV1::kMemoryIo) luc.WriteData();
    luc.SetOpenMode(LUCFileV1::kClosed);
    EXPECT_EQ(ReadWholeFile(path), original);
  }
}

TEST(LUCFileV1, ErrorDescriptionsAndReset) {
  LUCFileV1 luc;
  const char* texts[] = {"No error.",
                         "File not open.",
                         "Not in memory I/O mode.",
                         "Bad open mode.",
                         "Filename not set.",
                         "File not found.",
                         "Invalid file or file error.",
                         "No data block defined.",
                         "String too long.",
                         "Bad coordinate mode.",
                         "No buffered data.",
                         "Unknown error."};
  luc.SetCoordinateMode(7);
  for (int32_t code = 0; code <= 11; ++code) EXPECT_EQ(luc.ErrorDescription(code), texts[code]);
  EXPECT_EQ(luc.ErrorDescription(12), "Error code does not exist.");
  EXPECT_EQ(luc.ErrorDescription(-1), "Error code does not exist.");
  EXPECT_EQ(luc.LastError(), LUCFileV1::kBadCoordinateMode);  // unchanged by the texts
  luc.ResetError();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
}

TEST(LUCFileV1, MovedFromObjectIsClosed) {
  TempDir dir;
  LUCFileV1 luc;
  CreateColoradoTile(dir, luc, LUCFileV1::kMemoryIo);
  LUCFileV1 moved(std::move(luc));
  EXPECT_EQ(moved.OpenMode(), LUCFileV1::kMemoryIo);
  EXPECT_EQ(moved.LULCValue(100, 100), kFill);
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kClosed);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(luc.FileName(), "");
}

}  // namespace
}  // namespace tilbo
