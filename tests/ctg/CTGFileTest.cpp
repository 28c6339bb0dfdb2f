#include "ctg/CTGFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "support/CTGTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::DataRecord;
using testing::PutRight;
using testing::TempDir;
using testing::ValidHeader;
using testing::WriteWholeFile;

class CTGFileTest : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }
  void TearDown() override { CTG_ResetModuleForTesting(); }

  // Writes a file and opens it on a new handle; the handle is returned even
  // when the open fails (the test checks the error code).
  int16_t OpenBytes(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.file(name);
    WriteWholeFile(path, bytes);
    return OpenPath(path);
  }
  int16_t OpenPath(const std::string& path) {
    const int16_t handle = CTG_AllocateHandle();
    CTG_SetFileName(handle, path);
    CTG_Open(handle);
    return handle;
  }

  // A header for `count` data records followed by those records: cell K has
  // easting 1000 + K and code K.
  static std::string SmallFile(int count) {
    std::string bytes = ValidHeader(2L * count);
    for (int k = 1; k <= count; ++k) bytes += DataRecord(14, 1000 + k, 5000000, std::to_string(k));
    return bytes;
  }

  TempDir dir_;
};

TEST_F(CTGFileTest, HandlesAreReusedLowestFirst) {
  EXPECT_EQ(CTG_AllocateHandle(), 0);
  EXPECT_EQ(CTG_AllocateHandle(), 1);
  EXPECT_EQ(CTG_AllocateHandle(), 2);
  EXPECT_TRUE(CTG_FreeHandle(1));
  EXPECT_EQ(CTG_AllocateHandle(), 1);
  EXPECT_TRUE(CTG_FreeHandle(2));
  EXPECT_TRUE(CTG_FreeHandle(0));
  EXPECT_FALSE(CTG_FreeHandle(0));  // already free
  EXPECT_EQ(CTG_AllocateHandle(), 0);
  EXPECT_EQ(CTG_AllocateHandle(), 2);
  EXPECT_TRUE(CTG_FreeHandle(2));
  EXPECT_TRUE(CTG_FreeHandle(1));
  EXPECT_TRUE(CTG_FreeHandle(0));  // the only slot left: the table goes
  EXPECT_FALSE(CTG_FreeHandle(0));
  EXPECT_EQ(CTG_AllocateHandle(), 0);
}

TEST_F(CTGFileTest, ANewSlotIsEmptyAndAllocatingLeavesTheErrorCode) {
  const int16_t a = CTG_AllocateHandle();
  CTG_SetFileName(a, "/some/path");
  CTG_ReadCell(a, 1);  // not open: code 5
  ASSERT_TRUE(CTG_FreeHandle(a));
  const int16_t b = CTG_AllocateHandle();
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);
  EXPECT_EQ(b, a);
  EXPECT_EQ(CTG_GetFileName(b), "");
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
}

TEST_F(CTGFileTest, TheTableStopsAtTheLargestHandle) {
  for (int i = 0; i <= 32767; ++i) ASSERT_EQ(CTG_AllocateHandle(), i);
  EXPECT_EQ(CTG_AllocateHandle(), -1);
  EXPECT_TRUE(CTG_FreeHandle(32767));
  EXPECT_EQ(CTG_AllocateHandle(), 32767);
}

TEST_F(CTGFileTest, BadHandlesAreCodeOne) {
  // Before any allocation there is no table.
  CTG_SetFileName(0, "x");
  EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
  const int16_t h = CTG_AllocateHandle();
  for (int16_t bad : {int16_t{-1}, int16_t{1}, int16_t{32767}}) {
    EXPECT_FALSE(CTG_Open(bad));
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    EXPECT_EQ(CTG_GetFileName(bad), "");
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    CTG_Close(bad);
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    EXPECT_FALSE(CTG_IsOpen(bad));
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    EXPECT_EQ(CTG_RecordCount(bad), 0);
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    EXPECT_EQ(CTG_ReadRecordText(bad, 1), "");
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    EXPECT_EQ(CTG_ReadHeader(bad).Title, "");
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    EXPECT_EQ(CTG_ReadCell(bad, 1).UTMZone, 0);
    EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
    EXPECT_FALSE(CTG_FreeHandle(bad));
  }
  // A freed slot inside the table is bad too.
  const int16_t second = CTG_AllocateHandle();
  CTG_AllocateHandle();
  ASSERT_TRUE(CTG_FreeHandle(second));
  CTG_SetFileName(second, "x");
  EXPECT_EQ(CTG_LastError(), kCTGBadHandle);
  CTG_SetFileName(h, "x");
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
}

TEST_F(CTGFileTest, OpenSlotKeepsItsPathAndCannotBeFreedOrReopened) {
  const int16_t h = OpenBytes("quad", SmallFile(2));
  ASSERT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_TRUE(CTG_IsOpen(h));
  EXPECT_FALSE(CTG_FreeHandle(h));
  EXPECT_EQ(CTG_GetFileName(h), dir_.file("quad"));  // still in use
  CTG_SetFileName(h, "other");
  EXPECT_EQ(CTG_LastError(), kCTGAlreadyOpen);
  EXPECT_EQ(CTG_GetFileName(h), dir_.file("quad"));
  EXPECT_FALSE(CTG_Open(h));
  EXPECT_EQ(CTG_LastError(), kCTGAlreadyOpen);
  EXPECT_TRUE(CTG_IsOpen(h));

  CTG_Close(h);
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_FALSE(CTG_IsOpen(h));
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  CTG_Close(h);  // closing a closed file is fine
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_TRUE(CTG_Open(h));  // and it opens again
  CTG_Close(h);
  EXPECT_TRUE(CTG_FreeHandle(h));
}

TEST_F(CTGFileTest, OnlyOrdinaryFilesAreFound) {
  const std::string valid = SmallFile(1);
  WriteWholeFile(dir_.file("quad"), valid);
  WriteWholeFile(dir_.file(".hidden"), valid);
  std::filesystem::create_directory(dir_.file("folder"));
  std::filesystem::create_symlink(dir_.file("quad"), dir_.file("link"));
  std::filesystem::create_symlink(dir_.file("missing"), dir_.file("dangling"));

  for (const std::string& path : {dir_.file("missing"), dir_.file(".hidden"), dir_.file("folder"),
                                  dir_.file("dangling"), dir_.file("quad/x"), dir_.dir(), std::string()}) {
    OpenPath(path);
    EXPECT_EQ(CTG_LastError(), kCTGFileNotFound) << path;
  }
  const int16_t viaLink = OpenPath(dir_.file("link"));
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(CTG_RecordCount(viaLink), 1);
  EXPECT_EQ(CTG_ReadCell(viaLink, 1).Easting, 1001);
  // A hidden directory on the way does not hide the file.
  std::filesystem::create_directory(dir_.file(".dir"));
  WriteWholeFile(dir_.file(".dir/quad"), valid);
  OpenPath(dir_.file(".dir/quad"));
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
}

TEST_F(CTGFileTest, FilesShorterThanTheHeaderAreNotValid) {
  const std::string header = ValidHeader(0);
  const int16_t shortFile = OpenBytes("short", header.substr(0, 399));
  EXPECT_EQ(CTG_LastError(), kCTGNotValidFile);
  EXPECT_FALSE(CTG_IsOpen(shortFile));
  OpenBytes("empty", "");
  EXPECT_EQ(CTG_LastError(), kCTGNotValidFile);

  const int16_t exact = OpenBytes("exact", header);
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(CTG_RecordCount(exact), 0);
  EXPECT_EQ(CTG_ReadHeader(exact).Title, "TEST QUAD");
}

TEST_F(CTGFileTest, MapCodeMustBeOddAndProjectionOne) {
  struct Case {
    const char* mapCode;
    const char* projection;
    int32_t expected;
  };
  const Case cases[] = {{"3", "1", kCTGNoError},      {"17", "1", kCTGNoError},
                        {"2", "1", kCTGNotValidFile}, {"-1", "1", kCTGNotValidFile},
                        {"0", "1", kCTGNotValidFile}, {"17", "0", kCTGNotValidFile},
                        {"17", "2", kCTGNotValidFile}, {"2.6", "0.6", kCTGNoError}};  // 3 and 1
  int n = 0;
  for (const Case& c : cases) {
    std::string bytes = ValidHeader(0);
    PutRight(bytes, 46, 5, c.mapCode);
    PutRight(bytes, 56, 5, c.projection);
    const int16_t h = OpenBytes("f" + std::to_string(n++), bytes);
    EXPECT_EQ(CTG_LastError(), c.expected) << c.mapCode << " " << c.projection;
    EXPECT_EQ(CTG_IsOpen(h), c.expected == kCTGNoError);
  }
}

TEST_F(CTGFileTest, AHeaderFieldThatDoesNotFitIsAReadFailureAndLeavesTheFileClosed) {
  std::string bytes = ValidHeader(0);
  PutRight(bytes, 21, 10, "99999");  // GridDimension2 is 16-bit
  const int16_t h = OpenBytes("wide", bytes);
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
  EXPECT_FALSE(CTG_IsOpen(h));
  EXPECT_TRUE(CTG_FreeHandle(h));
}

TEST_F(CTGFileTest, RecordCountIsHalfRoundedToEven) {
  const std::pair<long, int32_t> cases[] = {{0, 0}, {1, 0}, {3, 2}, {5, 2}, {7, 4}, {24, 12}, {-5, -2},
                                            {2147483647, 1073741824}};
  for (const auto& [times2, count] : cases) {
    const int16_t h = OpenBytes("c", ValidHeader(times2));
    ASSERT_EQ(CTG_LastError(), kCTGNoError) << times2;
    EXPECT_EQ(CTG_RecordCount(h), count) << times2;
    CTG_Close(h);
  }
}

TEST_F(CTGFileTest, RecordCountOfAClosedFileIsZeroAndSuccessLeavesTheCode) {
  const int16_t h = OpenBytes("quad", SmallFile(3));
  EXPECT_EQ(CTG_RecordsHeld(h), 3);
  CTG_Close(h);
  EXPECT_EQ(CTG_RecordCount(h), 0);
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);
  EXPECT_EQ(CTG_RecordsHeld(h), 0);
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);
  ASSERT_TRUE(CTG_Open(h));
  CTG_ReadCell(h, 99);
  ASSERT_EQ(CTG_LastError(), kCTGOutOfRange);
  EXPECT_EQ(CTG_RecordCount(h), 3);
  EXPECT_EQ(CTG_LastError(), kCTGOutOfRange);
}

TEST_F(CTGFileTest, RecordTextRangeIncludesTheHeader) {
  const std::string bytes = SmallFile(3);
  const int16_t h = OpenBytes("quad", bytes);
  EXPECT_EQ(CTG_ReadRecordText(h, 1), bytes.substr(0, 80));
  EXPECT_EQ(CTG_ReadRecordText(h, 5), bytes.substr(320, 80));
  EXPECT_EQ(CTG_ReadRecordText(h, 8), bytes.substr(560, 80));  // record count + 5
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  for (int32_t bad : {0, -1, 9}) {
    EXPECT_EQ(CTG_ReadRecordText(h, bad), "");
    EXPECT_EQ(CTG_LastError(), kCTGOutOfRange) << bad;
  }
  CTG_Close(h);
  EXPECT_EQ(CTG_ReadRecordText(h, 1), "");
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);
  EXPECT_EQ(CTG_ReadHeader(h).CellSize, 0);
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);
  EXPECT_EQ(CTG_ReadCell(h, 1).Easting, 0);
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);
}

TEST_F(CTGFileTest, CellRangeIsOneToRecordCount) {
  const int16_t h = OpenBytes("quad", SmallFile(3));
  const CTGCell last = CTG_ReadCell(h, 3);
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(last.UTMZone, 14);
  EXPECT_EQ(last.Easting, 1003);
  EXPECT_EQ(last.Northing, 5000000);
  EXPECT_EQ(last.LULCCode, 3);
  for (int32_t bad : {0, 4, -2147483647 - 1, 2147483647}) {
    const CTGCell cell = CTG_ReadCell(h, bad);
    EXPECT_EQ(CTG_LastError(), kCTGOutOfRange) << bad;
    EXPECT_EQ(cell.Easting, 0);
  }
}

TEST_F(CTGFileTest, AnUndecodableCellFailsAloneAndReturnsZeros) {
  std::string bytes = ValidHeader(6);
  bytes += DataRecord(14, 1001, 5000000, "11");
  bytes += DataRecord(14, 1002, 5000000, "2000000000");
  bytes += DataRecord(14, 1003, 5000000, "2000000101");
  const int16_t h = OpenBytes("quad", bytes);
  const CTGCell bad = CTG_ReadCell(h, 2);
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
  EXPECT_EQ(bad.UTMZone, 0);
  EXPECT_EQ(bad.Easting, 0);
  EXPECT_EQ(bad.Northing, 0);
  EXPECT_EQ(bad.LULCCode, 0);
  EXPECT_TRUE(CTG_IsOpen(h));
  EXPECT_EQ(CTG_ReadCell(h, 3).LULCCode, 101);
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(CTG_ReadCell(h, 1).LULCCode, 11);
}

TEST_F(CTGFileTest, RecordsBeyondTheEndOfTheFile) {
  // The header claims 4 records; the file holds 2 and half of the third.
  std::string bytes = ValidHeader(8);
  bytes += DataRecord(14, 1001, 5000000, "11");
  bytes += DataRecord(14, 1002, 5000000, "12");
  bytes += DataRecord(14, 1003, 5000000, "13").substr(0, 15);
  const int16_t h = OpenBytes("cut", bytes);
  ASSERT_EQ(CTG_RecordCount(h), 4);
  EXPECT_EQ(CTG_RecordsHeld(h), 2);  // whole records only
  EXPECT_EQ(CTG_ReadCell(h, 2).LULCCode, 12);
  const std::string partial = CTG_ReadRecordText(h, 8);
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(partial, bytes.substr(560) + std::string(65, ' '));
  const CTGCell third = CTG_ReadCell(h, 3);
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(third.Easting, 1003);
  EXPECT_EQ(third.Northing, 500);  // " 500" of " 5000000", then blanks
  EXPECT_EQ(third.LULCCode, 0);
  EXPECT_EQ(CTG_ReadCell(h, 4).Easting, 0);
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
  EXPECT_EQ(CTG_ReadRecordText(h, 9), "");
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
  EXPECT_EQ(CTG_ReadCell(h, 1).LULCCode, 11);  // the file stays usable
}

TEST_F(CTGFileTest, AFileCutWhileOpenGivesReadFailures) {
  const std::string path = dir_.file("quad");
  const std::string bytes = SmallFile(5000);  // more than one read-ahead block
  WriteWholeFile(path, bytes);
  const int16_t h = OpenPath(path);
  ASSERT_EQ(CTG_ReadCell(h, 1).LULCCode, 1);
  std::filesystem::resize_file(path, 400 + 80 * 3000);
  EXPECT_EQ(CTG_ReadCell(h, 2999).Easting, 1000 + 2999);
  EXPECT_EQ(CTG_ReadCell(h, 4000).Easting, 0);
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
  EXPECT_EQ(CTG_ReadCell(h, 3000).Easting, 1000 + 3000);
}

TEST_F(CTGFileTest, BulkReadMatchesCellByCellReads) {
  std::string bytes = ValidHeader(2L * 6);
  for (int k = 1; k <= 6; ++k) bytes += DataRecord(14, 1000 + k, 5000000, k == 4 ? "99999" : "21");
  const int16_t h = OpenBytes("quad", bytes.substr(0, bytes.size() - 80));  // cell 6 missing
  for (int32_t first : {-1, 0, 1, 3, 5}) {
    const int32_t count = 5;
    std::vector<CTGCell> bulk(count);
    std::vector<uint8_t> ok(count, 9);
    const bool all = CTG_ReadCells(h, first, count, bulk.data(), ok.data());
    const int32_t bulkError = CTG_LastError();
    bool expectedAll = true;
    for (int32_t i = 0; i < count; ++i) {
      const CTGCell single = CTG_ReadCell(h, first + i);
      const bool read = CTG_LastError() == kCTGNoError;
      expectedAll = expectedAll && read;
      EXPECT_EQ(ok[i], read ? 1 : 0) << first + i;
      EXPECT_EQ(bulk[i].UTMZone, single.UTMZone);
      EXPECT_EQ(bulk[i].Easting, single.Easting);
      EXPECT_EQ(bulk[i].Northing, single.Northing);
      EXPECT_EQ(bulk[i].LULCCode, single.LULCCode);
    }
    EXPECT_EQ(all, expectedAll);
    EXPECT_EQ(bulkError, CTG_LastError());  // both left by the last cell
  }
  CTGCell cell;
  uint8_t ok = 1;
  CTG_Close(h);
  EXPECT_FALSE(CTG_ReadCells(h, 1, 1, &cell, &ok));
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);
  EXPECT_EQ(ok, 0);
}

TEST_F(CTGFileTest, TheErrorCodeIsModuleWide) {
  const int16_t a = OpenBytes("a", SmallFile(1));
  const int16_t b = OpenBytes("b", SmallFile(1));
  CTG_ReadCell(a, 7);
  EXPECT_EQ(CTG_LastError(), kCTGOutOfRange);
  CTG_ReadCell(b, 1);
  EXPECT_EQ(CTG_LastError(), kCTGNoError);
}

// The real quadrangle, checked against the facts recorded with the sample
// (independent of this reader): 575 rows x 808 columns of 200 m cells in UTM
// zone 19, 44-45 N and 70-72 W, north-west grid corner 259500 E 4987100 N
// (GDAL: origin 259400, 4987200 with a half-cell shift). The file as USGS
// ships it, gzip-compressed, reads the same, cells in any order.
TEST_F(CTGFileTest, LewistonHeaderAndCells) {
  for (const std::string& path : {testing::GunzipSample(dir_, "LEWISTON_grid_cell.gz"),
                                  std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz"}) {
    SCOPED_TRACE(path);
    const int16_t h = OpenPath(path);
    ASSERT_EQ(CTG_LastError(), kCTGNoError);
    EXPECT_EQ(CTG_RecordCount(h), 442032);
    const CTGHeader hd = CTG_ReadHeader(h);
    ASSERT_EQ(CTG_LastError(), kCTGNoError);
    EXPECT_EQ(hd.GridDimension1, 575);
    EXPECT_EQ(hd.RecordCountTimes2, 884064);
    EXPECT_EQ(hd.GridDimension2, 808);
    EXPECT_EQ(hd.CellSize, 200);
    EXPECT_EQ(hd.Rec1Value41, 4);
    EXPECT_EQ(hd.Rec1Value46, 17);
    EXPECT_EQ(hd.Rec1Value51, 19);
    EXPECT_EQ(hd.Rec1Value56, 1);
    EXPECT_EQ(hd.Rec1Real61, 7874016.0);
    EXPECT_EQ(hd.Rec1Text71, "1973");
    const int16_t rec2[16] = {1, 1, 808, 575, 0, 556, 21, 0, 415, 13, 809, 20, 802, 575, 401, 373};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(hd.Rec2Values[i], rec2[i]) << i;
    EXPECT_EQ(hd.Point1Latitude, 44.0);
    EXPECT_EQ(hd.Point1Longitude, -72.0);
    EXPECT_EQ(hd.Point2Latitude, 45.0);
    EXPECT_EQ(hd.Point2Longitude, -72.0);
    EXPECT_EQ(hd.Point3Latitude, 45.0);
    EXPECT_EQ(hd.Point3Longitude, -71.0);
    EXPECT_EQ(hd.Point4Latitude, 45.0);
    EXPECT_EQ(hd.Point4Longitude, -70.0);
    EXPECT_EQ(hd.Point5Latitude, 44.0);
    EXPECT_EQ(hd.Point5Longitude, -70.0);
    EXPECT_EQ(hd.Point6Latitude, 44.0);
    EXPECT_EQ(hd.Point6Longitude, -71.0);
    EXPECT_EQ(hd.RefCornerEasting, 259500);
    EXPECT_EQ(hd.RefCornerNorthing, 4987100);
    EXPECT_EQ(hd.DataDate, "84180");
    EXPECT_EQ(hd.Title, "LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU");

    // Cells as the raw records show them (dd of the unpacked file).
    const CTGCell first = CTG_ReadCell(h, 1);
    EXPECT_EQ(first.UTMZone, 19);
    EXPECT_EQ(first.Easting, 263600);
    EXPECT_EQ(first.Northing, 4987000);
    EXPECT_EQ(first.LULCCode, 0);
    EXPECT_EQ(CTG_ReadCell(h, 2).LULCCode, 42);
    const CTGCell middle = CTG_ReadCell(h, 200000);
    EXPECT_EQ(middle.Easting, 361800);
    EXPECT_EQ(middle.Northing, 4934400);
    EXPECT_EQ(middle.LULCCode, 43);
    const CTGCell last = CTG_ReadCell(h, 442032);
    EXPECT_EQ(CTG_DataLength(h), 35363520);  // 5 + 442,039 records
    EXPECT_EQ(last.Easting, 418200);
    EXPECT_EQ(last.Northing, 4872200);
    EXPECT_EQ(last.LULCCode, 42);
    // The file holds seven more records than the header claims; they are not cells.
    CTG_ReadCell(h, 442033);
    EXPECT_EQ(CTG_LastError(), kCTGOutOfRange);
    EXPECT_EQ(CTG_ReadRecordText(h, 442037).substr(0, 19), " 19  418200 4872200");
    CTG_ReadRecordText(h, 442038);
    EXPECT_EQ(CTG_LastError(), kCTGOutOfRange);
    CTG_Close(h);
  }
}

// A gzip source reads as a plain file holding what its stream decompresses to
// before it ends or fails; one that fails before the header is no CTG file.
TEST_F(CTGFileTest, GzipSourcesReadAsTheirDecompressedContent) {
  std::string content = ValidHeader(2L * 3000);
  for (int k = 1; k <= 3000; ++k) content += DataRecord(14, 1000 + 7 * k, 5000000 + k * k, std::to_string(k % 97));
  const std::string whole = testing::GzipMember(content);
  const std::size_t n = whole.size();
  auto withTrailer = [&](uint32_t crc, uint32_t isize) {
    std::string bytes = whole.substr(0, n - 8);
    for (uint32_t v : {crc, isize}) {
      for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xff);
    }
    return bytes;
  };
  // A second member whose deflate data starts with a block of the reserved
  // type: the stream fails where it starts, after a record cut in two.
  const std::size_t goodPart = kCTGHeaderLength + 80 * 1000 + 33;
  const std::string corrupt = testing::GzipMember(content.substr(0, goodPart)) + whole.substr(0, 10) + "\x07junk";
  struct Case {
    const char* name;
    std::string gz;
    std::size_t held;  // bytes that come out; 0: more than the header, less than all
    const char* problem;
  };
  const Case cases[] = {
      {"one member", whole, content.size(), ""},
      {"two members, the header split",
       testing::GzipMember(content.substr(0, 250)) + testing::GzipMember(content.substr(250)), content.size(), ""},
      {"tape padding after the member", whole + std::string(512, '\0'), content.size(), ""},
      {"a trailer claiming 4 GB", withTrailer(0, 0xffffffff), content.size(), "the gzip stream is damaged"},
      {"a trailer with a wrong check", withTrailer(0x12345678, static_cast<uint32_t>(content.size())),
       content.size(), "the gzip stream is damaged"},
      {"cut after the header", whole.substr(0, n * 2 / 3), 0, "the gzip stream is cut short"},
      {"corrupt in the middle", corrupt, goodPart, "the gzip stream is damaged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int16_t gz = OpenBytes("source.gz", c.gz);
    ASSERT_EQ(CTG_LastError(), kCTGNoError);
    const int64_t held = CTG_DataLength(gz);
    EXPECT_EQ(CTG_DataEndProblem(gz), c.problem);
    if (c.held != 0) {
      EXPECT_EQ(held, static_cast<int64_t>(c.held));
    } else {
      EXPECT_GT(held, static_cast<int64_t>(kCTGHeaderLength));
      EXPECT_LT(held, static_cast<int64_t>(content.size()));
    }
    const int16_t plain = OpenBytes("plain", content.substr(0, static_cast<std::size_t>(held)));
    ASSERT_EQ(CTG_RecordCount(gz), 3000);
    for (int32_t k = 3000; k >= 1; k -= 7) {  // backwards: random access
      const CTGCell a = CTG_ReadCell(gz, k);
      const int32_t errorA = CTG_LastError();
      const CTGCell b = CTG_ReadCell(plain, k);
      ASSERT_EQ(errorA, CTG_LastError()) << k;
      ASSERT_EQ(std::tie(a.UTMZone, a.Easting, a.Northing, a.LULCCode),
                std::tie(b.UTMZone, b.Easting, b.Northing, b.LULCCode)) << k;
    }
    std::vector<char> records;
    const int32_t available = CTG_ReadCellRecords(gz, 1, 3000, records);
    EXPECT_EQ(available, (held - static_cast<int64_t>(kCTGHeaderLength) + 79) / 80);
    EXPECT_EQ(CTG_LastError(), held == static_cast<int64_t>(content.size()) ? kCTGNoError : kCTGReadFailure);
    CTG_Close(gz);
    CTG_Close(plain);
    CTG_ResetModuleForTesting();
  }
  for (const std::string& beforeHeader :
       {whole.substr(0, 40), std::string("\x1f\x8b", 2), whole.substr(0, 10) + "\x07" + std::string(500, 'x')}) {
    OpenBytes("short.gz", beforeHeader);
    EXPECT_EQ(CTG_LastError(), kCTGNotValidFile);
  }
}

// The small sample claims 434,309 records but holds one.
TEST_F(CTGFileTest, FakeGridCellHoldsOneOfItsClaimedRecords) {
  const int16_t h = OpenPath(std::string(TILBO_TEST_DATA_DIR) + "/fake_grid_cell");
  ASSERT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(CTG_RecordCount(h), 434309);
  const CTGHeader hd = CTG_ReadHeader(h);
  EXPECT_EQ(hd.Title, "FAKE CITY");
  EXPECT_EQ(hd.Point1Latitude, 45.0);
  EXPECT_EQ(hd.Point4Longitude, -98.0);
  // The raw longitude field is unsigned; the header negates it.
  EXPECT_EQ(CTG_DMSToDegrees(CTG_ReadRecordText(h, 3).substr(10, 10)), 100.0);
  const CTGCell cell = CTG_ReadCell(h, 1);
  EXPECT_EQ(cell.UTMZone, 14);
  EXPECT_EQ(cell.Easting, 422600);
  EXPECT_EQ(cell.Northing, 5094200);
  EXPECT_EQ(cell.LULCCode, 21);
  CTG_ReadCell(h, 2);
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
}

}  // namespace
}  // namespace tilbo
