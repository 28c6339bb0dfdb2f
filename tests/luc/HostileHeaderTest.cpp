// Files whose headers promise more than they hold, or that were cut short.
// Memory I/O mode must refuse them with error 6 before anything is allocated
// from the header's numbers (this binary counts every allocation to make sure
// of it); direct I/O mode opens them, and every cell beyond what the file
// holds fails.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <new>
#include <string>

#include "luc/LUCFileV1.h"
#include "luc/LucTestFiles.h"
#include "support/TempDir.h"

namespace {
std::atomic<std::size_t> largestAllocation{0};

void* CountedAllocation(std::size_t size) {
  std::size_t seen = largestAllocation.load();
  while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return CountedAllocation(size); }
void* operator new[](std::size_t size) { return CountedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tilbo {
namespace {

using testing::LucFileRecipe;
using testing::MakeLucBytes;
using testing::Put;
using testing::TempDir;
using testing::WriteWholeFile;

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr std::size_t kSmallAllocation = 64 * 1024;

// A 200-byte file: a valid signature, then the given grid numbers.
std::string HostileBytes(int32_t rows, int32_t columns, int32_t recordLength) {
  std::string bytes = MakeLucBytes(LucFileRecipe{}).substr(0, 200);
  Put(bytes, 140, rows);
  Put(bytes, 144, columns);
  Put(bytes, 152, recordLength);
  return bytes;
}

TEST(HostileHeader, RefusedBeforeAnyAllocationSizedByIt) {
  const struct {
    std::string bytes;
    const char* why;
    double column = 0, row = 0;  // a cell the file does not hold
  } cases[] = {
      {HostileBytes(1'000'000'000, 100, 200), "rows beyond the file"},
      {HostileBytes(20'000, 20'000, 40'000), "an 800 MB grid in 200 bytes"},
      {HostileBytes(kInt32Max, kInt32Max, kInt32Max), "everything at the maximum"},
      {HostileBytes(100'000, 100, 200'000), "data block beyond 32 bits"},
      {HostileBytes(-1, 100, 200), "negative rows"},
      {HostileBytes(0, 100, 200), "no rows"},
      {HostileBytes(1, 0, 200), "no columns"},
      {HostileBytes(1, -5, 200), "negative columns"},
      {HostileBytes(1, 1000, 200), "records shorter than a row"},
      {HostileBytes(1, 77, 155) + std::string(200, '\0'), "records shorter than the header"},
      {HostileBytes(1, 100, -200), "negative record length"},
      {"QMLULC 1.0 and nothing more", "shorter than a header"},
      {MakeLucBytes(LucFileRecipe{}).substr(0, 10'999), "one byte short", 499, 9},
  };
  TempDir dir;
  const std::string path = dir.file("L10540NW.LUC");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    WriteWholeFile(path, c.bytes);
    LUCFileV1 luc;
    luc.SetFileName(path);
    largestAllocation = 0;
    luc.SetOpenMode(LUCFileV1::kMemoryIo);
    EXPECT_LT(largestAllocation.load(), kSmallAllocation);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kInvalidFile);
    EXPECT_EQ(luc.OpenMode(), LUCFileV1::kClosed);

    // The cell lies beyond the file's end, in its header or outside the grid.
    luc.SetOpenMode(LUCFileV1::kDirectIo);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kNoError);
    EXPECT_EQ(luc.LULCValue(c.column, c.row), 0);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
    luc.SetLULCValue(c.column, c.row, 41);
    EXPECT_EQ(luc.LastError(), LUCFileV1::kUnknownError);
    luc.SetTitle(std::string(40, '\0'));  // what the file holds, where it holds a title
    EXPECT_EQ(luc.LastError(), c.bytes.size() >= 90 ? LUCFileV1::kNoError : LUCFileV1::kInvalidFile);
    luc.SetOpenMode(LUCFileV1::kClosed);
    EXPECT_EQ(testing::ReadWholeFile(path), c.bytes);
  }
}

// A reload that fails (a header that grew, a file that has gone) is a file
// error (6) and keeps the grid in memory; a save to a file that has gone does
// not make it again.
TEST(HostileHeader, FailedReloadKeepsTheGridInMemory) {
  TempDir dir;
  const std::string path = dir.file("tile.LUC");
  LucFileRecipe recipe;
  recipe.cellValue = 31;
  WriteWholeFile(path, MakeLucBytes(recipe));
  LUCFileV1 luc;
  luc.SetFileName(path);
  largestAllocation = 0;
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  ASSERT_EQ(luc.LastError(), LUCFileV1::kNoError);
  EXPECT_GE(largestAllocation.load(), 10u * 500u * 2u);  // the counter sees the grid

  WriteWholeFile(path, HostileBytes(20'000, 20'000, 40'000));
  largestAllocation = 0;
  luc.ReadData();
  EXPECT_LT(largestAllocation.load(), kSmallAllocation);
  EXPECT_EQ(luc.LastError(), LUCFileV1::kInvalidFile);

  std::filesystem::remove(path);
  luc.ReadData();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kInvalidFile);
  luc.WriteData();
  EXPECT_EQ(luc.LastError(), LUCFileV1::kInvalidFile);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(luc.OpenMode(), LUCFileV1::kMemoryIo);
  EXPECT_EQ(luc.DataRows(), 10);  // the copies as they were
  EXPECT_EQ(luc.LULCValue(499, 9), 31);
}

}  // namespace
}  // namespace tilbo
