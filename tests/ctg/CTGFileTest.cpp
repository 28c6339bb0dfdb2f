#include "ctg/CTGFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "support/CTGTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::ElementsAre;
using ::testing::FieldsAre;

constexpr int32_t kMinInt32 = std::numeric_limits<int32_t>::min();
constexpr int32_t kMaxInt32 = std::numeric_limits<int32_t>::max();

class CTGFileTest : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }

  // Writes a file and opens it on a new handle; the handle is returned even
  // when the open fails (the test checks the error code).
  int16_t OpenBytes(const std::string& name, const std::string& bytes) {
    WriteWholeFile(dir_.file(name), bytes);
    return OpenPath(dir_.file(name));
  }
  static int16_t OpenPath(const std::string& path) {
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

TEST_F(CTGFileTest, HandlesAreReusedLowestFirstUpToTheLargest) {
  for (int16_t i = 0; i < 3; ++i) EXPECT_EQ(CTG_AllocateHandle(), i);
  CTG_SetFileName(1, "/some/path");
  CTG_ReadCell(1, 1);  // not open
  EXPECT_TRUE(CTG_FreeHandle(1));
  EXPECT_FALSE(CTG_FreeHandle(1));  // already free
  EXPECT_TRUE(CTG_FreeHandle(0));
  EXPECT_EQ(CTG_AllocateHandle(), 0);
  EXPECT_EQ(CTG_AllocateHandle(), 1);
  EXPECT_EQ(CTG_LastError(), kCTGNotOpen);  // allocating leaves the code
  EXPECT_EQ(CTG_GetFileName(1), "");
  EXPECT_EQ(CTG_AllocateHandle(), 3);
  for (int16_t i = 3; i >= 0; --i) EXPECT_TRUE(CTG_FreeHandle(i));  // the last one takes the table
  for (int i = 0; i <= 32767; ++i) ASSERT_EQ(CTG_AllocateHandle(), i);  // the table stops at the largest handle
  EXPECT_EQ(CTG_AllocateHandle(), -1);
  EXPECT_TRUE(CTG_FreeHandle(32767));
  EXPECT_EQ(CTG_AllocateHandle(), 32767);
}

// An open slot keeps its path and can be neither freed nor reopened.
TEST_F(CTGFileTest, AnOpenSlotKeepsItsPathAndCannotBeFreedOrReopened) {
  const int16_t h = OpenBytes("quad", SmallFile(2));
  EXPECT_FALSE(CTG_FreeHandle(h));
  CTG_SetFileName(h, "other");
  EXPECT_EQ(CTG_LastError(), kCTGAlreadyOpen);
  EXPECT_FALSE(CTG_Open(h));
  EXPECT_EQ(CTG_LastError(), kCTGAlreadyOpen);
  EXPECT_EQ(CTG_GetFileName(h), dir_.file("quad"));
  CTG_Close(h);
  EXPECT_FALSE(CTG_IsOpen(h));
  EXPECT_TRUE(CTG_Open(h));  // and it opens again
}

// Every call on a handle that names no slot in use fails with code 1 and
// returns its empty value; on a closed file the calls that need an open one
// fail with code 5, the others do their job.
TEST_F(CTGFileTest, CallsOnBadHandlesAndClosedFiles) {
  const auto none = CellFields(CTGCell{});
  const struct { const char* name; std::function<bool(int16_t)> returnsEmpty; int32_t whenClosed; } calls[] = {
      {"SetFileName", [](int16_t h) { return CTG_SetFileName(h, "x"), true; }, kCTGNoError},
      {"GetFileName", [](int16_t h) { return CTG_GetFileName(h).empty(); }, kCTGNoError},
      {"Open", [](int16_t h) { return !CTG_Open(h); }, kCTGFileNotFound},
      {"Close", [](int16_t h) { return CTG_Close(h), true; }, kCTGNoError},
      {"IsOpen", [](int16_t h) { return !CTG_IsOpen(h); }, kCTGNoError},
      {"RecordCount", [](int16_t h) { return CTG_RecordCount(h) == 0; }, kCTGNotOpen},
      {"RecordsHeld", [](int16_t h) { return CTG_RecordsHeld(h) == 0; }, kCTGNotOpen},
      {"ReadRecordText", [](int16_t h) { return CTG_ReadRecordText(h, 1).empty(); }, kCTGNotOpen},
      {"ReadHeader", [](int16_t h) { return CTG_ReadHeader(h) == CTGHeader{}; }, kCTGNotOpen},
      {"ReadCell", [&](int16_t h) { return CellFields(CTG_ReadCell(h, 1)) == none; }, kCTGNotOpen},
      {"ReadCells", [&](int16_t h) {
         CTGCell cell{1, 1, 1, 1};
         uint8_t ok = 1;
         return !CTG_ReadCells(h, 1, 1, &cell, &ok) && ok == 0 && CellFields(cell) == none;
       }, kCTGNotOpen},
      {"ReadCellRecords", [](int16_t h) {
         std::vector<char> records(80, 'x');
         return CTG_ReadCellRecords(h, 1, 1, records) == 0 && records.empty();
       }, kCTGNotOpen},
      {"DataLength", [](int16_t h) { return CTG_DataLength(h) == -1; }, kCTGNotOpen},
      {"DataEndProblem", [](int16_t h) { return CTG_DataEndProblem(h).empty(); }, kCTGNotOpen},
  };
  // closedFile: a slot in use whose file is closed.
  const struct { const char* name; std::function<int16_t()> setUp; bool closedFile; } handles[] = {
      {"no table", [] { return int16_t{0}; }, false},
      {"negative", [] { return CTG_AllocateHandle(), int16_t{-1}; }, false},
      {"past the table", [] { return CTG_AllocateHandle(), int16_t{1}; }, false},
      {"freed", [] { return CTG_AllocateHandle(), CTG_AllocateHandle(), CTG_FreeHandle(0), int16_t{0}; }, false},
      {"never opened", [] { return CTG_AllocateHandle(); }, true},
  };
  WriteWholeFile(dir_.file("short"), "x");
  for (const auto& handle : handles) {
    for (const auto& call : calls) {
      SCOPED_TRACE(std::string(call.name) + " on " + handle.name);
      CTG_ResetModuleForTesting();
      const int16_t h = handle.setUp();
      const int16_t other = OpenPath(dir_.file("short"));  // a code no call leaves here
      ASSERT_TRUE(CTG_FreeHandle(other));
      ASSERT_EQ(CTG_LastError(), kCTGNotValidFile);
      const bool empty = call.returnsEmpty(h);
      const int32_t expected = handle.closedFile ? call.whenClosed : kCTGBadHandle;
      EXPECT_EQ(CTG_LastError(), expected);
      EXPECT_TRUE(empty || expected == kCTGNoError);
    }
  }
}

TEST_F(CTGFileTest, OnlyOrdinaryFilesAreFound) {
  WriteWholeFile(dir_.file("quad"), SmallFile(1));
  std::filesystem::create_directory(dir_.file(".dir"));
  for (const std::string link : {".hidden", "link", ".dir/quad", "dangling"}) {
    std::filesystem::create_symlink(dir_.file(link == "dangling" ? "missing" : "quad"), dir_.file(link));
  }
  for (const std::string& path : {dir_.file("missing"), dir_.file(".hidden"), dir_.file(".dir"),
                                  dir_.file("dangling"), dir_.file("quad/x"), dir_.dir(), std::string()}) {
    OpenPath(path);
    EXPECT_EQ(CTG_LastError(), kCTGFileNotFound) << path;
  }
  // Links are followed; a hidden directory on the way does not hide the file.
  EXPECT_TRUE(CTG_IsOpen(OpenPath(dir_.file("link"))));
  EXPECT_TRUE(CTG_IsOpen(OpenPath(dir_.file(".dir/quad"))));
}

// A file opens when it holds the five header records, their fields fit their
// types, the map code is odd (land use present) and the projection is UTM.
// The record count is half the header's value, rounded half to even.
TEST_F(CTGFileTest, OpenChecksTheHeader) {
  auto with = [](std::size_t column, const char* value) {
    std::string bytes = ValidHeader(0);
    PutRight(bytes, column, 5, value);
    return bytes;
  };
  const struct { const char* name; std::string bytes; int32_t expected; int32_t count = 0; } cases[] = {
      {"one byte short", ValidHeader(0).substr(0, 399), kCTGNotValidFile}, {"empty", "", kCTGNotValidFile},
      {"map code 2", with(46, "2"), kCTGNotValidFile},    {"map code -1", with(46, "-1"), kCTGNotValidFile},
      {"projection 0", with(56, "0"), kCTGNotValidFile},  {"projection 2", with(56, "2"), kCTGNotValidFile},
      {"16-bit columns of 99999", with(26, "99999"), kCTGReadFailure},
      {"count 3", ValidHeader(3), kCTGNoError, 2},        {"count 5", ValidHeader(5), kCTGNoError, 2},
      {"count -5", ValidHeader(-5), kCTGNoError, -2},
      {"count 2147483647", ValidHeader(2147483647), kCTGNoError, 1073741824},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int16_t h = OpenBytes("f", c.bytes);
    EXPECT_EQ(CTG_LastError(), c.expected);
    EXPECT_EQ(CTG_IsOpen(h), c.expected == kCTGNoError);
    EXPECT_EQ(CTG_RecordCount(h), c.count);
  }
}

// Record N is file record N, header included; cell K is record 5 + K; cell
// records are read in runs (of two here) that lie wholly among the cells.
TEST_F(CTGFileTest, RecordAndCellNumbersInAndOutOfRange) {
  const std::string bytes = SmallFile(3);
  const int16_t h = OpenBytes("quad", bytes);
  // read: 't' record text, 'c' cell, 'r' two cell records.
  const struct { char read; int32_t n; bool inRange; } cases[] = {
      {'t', kMinInt32, false}, {'t', 0, false}, {'t', 1, true},  {'t', 5, true},  {'t', 6, true},   {'t', 8, true},
      {'t', 9, false},         {'t', -1, false}, {'c', kMinInt32, false}, {'c', 0, false}, {'c', 1, true},
      {'c', -1, false},        {'c', 3, true},   {'c', 4, false}, {'c', kMaxInt32, false}, {'r', kMinInt32, false},
      {'r', 0, false},         {'r', 1, true},   {'r', 3, false}, {'r', 2, true},  {'r', kMaxInt32, false},
  };
  for (const auto& [read, n, inRange] : cases) {
    SCOPED_TRACE(::testing::Message() << read << " " << n);
    if (read == 't') {
      EXPECT_EQ(CTG_ReadRecordText(h, n), inRange ? bytes.substr(80 * (n - 1), 80) : "");
    } else if (read == 'c') {
      EXPECT_EQ(CTG_ReadCell(h, n).Easting, inRange ? 1000 + n : 0);
    } else {
      std::vector<char> records(1, 'x');
      EXPECT_EQ(CTG_ReadCellRecords(h, n, 2, records), inRange ? 2 : 0);
      EXPECT_EQ(std::string(records.begin(), records.end()), inRange ? bytes.substr(80 * (n + 4), 160) : "");
    }
    EXPECT_EQ(CTG_LastError(), inRange ? kCTGNoError : kCTGOutOfRange);
  }
}

// A cell that cannot be decoded or lies beyond the end of the file fails
// alone, reading as zeros; the file stays usable. A bulk read gives what
// reading cell by cell gives; its code is the last cell's.
TEST_F(CTGFileTest, CellsThatCannotBeRead) {
  // The header claims 5 records; cell 2 holds the marker limit, cell 4 is cut
  // after 15 bytes (" 500" of " 5000000", then blanks), cell 5 is missing.
  // A cut record reads as blanks beyond the end.
  std::string bytes = SmallFile(5).substr(0, 400 + 80 * 3 + 15);
  bytes.replace(400 + 80 + 20, 10, "2000000000");
  const int16_t h = OpenBytes("cut", bytes);
  const CTGCell cells[] = {{}, {14, 1001, 5000000, 1}, {}, {14, 1003, 5000000, 3}, {14, 1004, 500, 0}, {}, {}};
  for (const int32_t k : {2, 1, 4, 5}) {
    EXPECT_EQ(CellFields(CTG_ReadCell(h, k)), CellFields(cells[k])) << k;
    EXPECT_EQ(CTG_LastError(), k == 2 || k == 5 ? kCTGReadFailure : kCTGNoError) << k;
  }
  EXPECT_EQ(CTG_RecordCount(h), 5);  // which leaves the code
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
  EXPECT_EQ(CTG_RecordsHeld(h), 3);  // whole records only
  EXPECT_EQ(CTG_ReadRecordText(h, 9), bytes.substr(640) + std::string(65, ' '));
  std::vector<CTGCell> bulk(7, CTGCell{1, 1, 1, 1});
  std::vector<uint8_t> ok(7, 9);
  EXPECT_FALSE(CTG_ReadCells(h, 0, 7, bulk.data(), ok.data()));  // cells 0-6
  EXPECT_EQ(CTG_LastError(), kCTGOutOfRange);                     // the last cell's code
  EXPECT_THAT(ok, ElementsAre(0, 1, 0, 1, 1, 0, 0));
  for (std::size_t k = 0; k < 7; ++k) EXPECT_EQ(CellFields(bulk[k]), CellFields(cells[k])) << k;
  EXPECT_TRUE(CTG_ReadCells(h, 3, 2, bulk.data(), ok.data()));
  // Cell numbers past the 32-bit range are out of range like any other.
  EXPECT_FALSE(CTG_ReadCells(h, kMaxInt32 - 1, 3, bulk.data(), ok.data()));
  EXPECT_THAT(ok, ElementsAre(0, 0, 0, 1, 1, 0, 0));
}

TEST_F(CTGFileTest, AFileCutWhileOpenGivesReadFailures) {
  const int16_t h = OpenBytes("quad", SmallFile(5000));  // more than one read-ahead block
  ASSERT_EQ(CTG_ReadCell(h, 1).LULCCode, 1);
  std::filesystem::resize_file(dir_.file("quad"), 400 + 80 * 3000);
  EXPECT_EQ(CTG_ReadCell(h, 2999).Easting, 1000 + 2999);
  EXPECT_EQ(CTG_ReadCell(h, 4000).Easting, 0);
  EXPECT_EQ(CTG_LastError(), kCTGReadFailure);
  EXPECT_EQ(CTG_ReadCell(h, 3000).Easting, 1000 + 3000);
}

// The real quadrangle, as USGS ships it (gzip), against the facts of its raw
// records: the header, cells at both ends and the middle.
TEST_F(CTGFileTest, LewistonHeaderAndCells) {
  const int16_t h = OpenPath(std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz");
  ASSERT_EQ(CTG_LastError(), kCTGNoError);
  EXPECT_EQ(CTG_ReadHeader(h), kLewistonHeader);
  EXPECT_EQ(CTG_RecordCount(h), 442032);
  EXPECT_EQ(CTG_DataLength(h), 35363520);  // 5 + 442,039 records
  EXPECT_THAT(CTG_ReadCell(h, 1), FieldsAre(19, 263600, 4987000, 0));
  EXPECT_THAT(CTG_ReadCell(h, 2), FieldsAre(19, 263800, 4987000, 42));
  EXPECT_THAT(CTG_ReadCell(h, 200000), FieldsAre(19, 361800, 4934400, 43));
  EXPECT_THAT(CTG_ReadCell(h, 442032), FieldsAre(19, 418200, 4872200, 42));
  // The file holds seven more records than the header claims; they are not cells.
  CTG_ReadCell(h, 442033);
  EXPECT_EQ(CTG_LastError(), kCTGOutOfRange);
  EXPECT_THAT(CTG_ReadRecordText(h, 442037), ::testing::StartsWith(" 19  418200 4872200"));
}

// A gzip source reads as a plain file holding what its stream decompresses to
// before it ends or fails; one that fails before the header is no CTG file.
TEST_F(CTGFileTest, GzipSourcesReadAsTheirDecompressedContent) {
  std::string content = ValidHeader(2L * 3000);
  for (int k = 1; k <= 3000; ++k) content += DataRecord(14, 1000 + 7 * k, 5000000 + k * k, std::to_string(k % 97));
  const std::string whole = GzipMember(dir_, content);
  const std::size_t n = whole.size();
  const auto size = static_cast<int64_t>(content.size());
  auto withByte = [&](std::size_t at, char value) { return std::string(whole).replace(at, 1, 1, value); };
  // A second member whose deflate data starts with a block of the reserved
  // type: the stream fails where it starts, after a record cut in two.
  const int64_t goodPart = kCTGHeaderLength + 80 * 1000 + 33;
  const std::string corrupt = GzipMember(dir_, content.substr(0, static_cast<std::size_t>(goodPart))) +
                              whole.substr(0, 10) + "\x07junk";
  // held: the bytes that come out; 0: more than the header, less than all.
  const struct { const char* name; std::string gz; int64_t held; const char* problem; } cases[] = {
      {"one member", whole, size, ""},
      {"two members, the header split",
       GzipMember(dir_, content.substr(0, 250)) + GzipMember(dir_, content.substr(250)), size, ""},
      {"tape padding after the member", whole + std::string(512, '\0'), size, ""},
      {"a trailer claiming 4 GB", withByte(n - 1, '\xff'), size, "the gzip stream is damaged"},
      {"a trailer with a wrong check", withByte(n - 8, static_cast<char>(whole[n - 8] ^ 1)), size,
       "the gzip stream is damaged"},
      {"cut after the header", whole.substr(0, n * 2 / 3), 0, "the gzip stream is cut short"},
      {"corrupt in the middle", corrupt, goodPart, "the gzip stream is damaged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int16_t gz = OpenBytes("source.gz", c.gz);
    ASSERT_EQ(CTG_LastError(), kCTGNoError);
    const int64_t held = CTG_DataLength(gz);
    EXPECT_EQ(CTG_DataEndProblem(gz), c.problem);
    EXPECT_TRUE(held == c.held || (c.held == 0 && held > int64_t{kCTGHeaderLength} && held < size)) << held;
    const int16_t plain = OpenBytes("plain", content.substr(0, static_cast<std::size_t>(held)));
    ASSERT_EQ(CTG_RecordCount(gz), 3000);
    auto read = [](int16_t h, int32_t k) {
      const CTGCell cell = CTG_ReadCell(h, k);
      return std::pair(CellFields(cell), CTG_LastError());
    };
    for (int32_t k = 3000; k >= 1; k -= 7) ASSERT_EQ(read(gz, k), read(plain, k)) << k;  // backwards: random access
    std::vector<char> records;
    EXPECT_EQ(CTG_ReadCellRecords(gz, 1, 3000, records), (held - static_cast<int64_t>(kCTGHeaderLength) + 79) / 80);
    EXPECT_EQ(CTG_LastError(), held == size ? kCTGNoError : kCTGReadFailure);
  }
  for (const std::string& beforeHeader :
       {whole.substr(0, 40), std::string("\x1f\x8b", 2), whole.substr(0, 10) + "\x07" + std::string(500, 'x')}) {
    OpenBytes("short.gz", beforeHeader);
    EXPECT_EQ(CTG_LastError(), kCTGNotValidFile);
  }
}

}  // namespace
}  // namespace tilbo
