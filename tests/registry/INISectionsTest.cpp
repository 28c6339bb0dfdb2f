#include "registry/INISections.h"

#include <gtest/gtest.h>

#include <string>

#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

// One section holding `count` entries of about `valueLength` bytes each.
std::string BigSection(int count, std::size_t valueLength) {
  std::string text = "[Big]\r\n";
  for (int i = 1; i <= count; ++i) text += "Directory " + std::to_string(i) + "=" + std::string(valueLength, 'd') + "\r\n";
  return text;
}

// The bytes a section of that shape takes in the store's buffer.
std::size_t BufferBytes(int count, std::size_t valueLength) {
  std::size_t total = 1;
  for (int i = 1; i <= count; ++i) total += ("Directory " + std::to_string(i) + "=").size() + valueLength + 1;
  return total;
}

TEST(ReadINISection, EntriesInFileOrderNeitherTrimmedNorFolded) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  WriteWholeFile(ini,
                 "[LULC Directories]\r\n"
                 "Directory 2=/b/\r\n"
                 "directory 1 = \"/quoted/\" \r\n"
                 "no equals sign\r\n"
                 "Empty=\r\n"
                 "x=a=b\r\n");
  INISectionError error;
  const std::vector<INIEntry> expected = {
      {"Directory 2", "/b/"}, {"directory 1", "\"/quoted/\""}, {"Empty", ""}, {"x", "a=b"}};
  EXPECT_EQ(ReadINISection("lulc directories", ini, &error), expected);
  EXPECT_EQ(error.Number, 0);
  EXPECT_TRUE(ReadINISection("Missing", ini, &error).empty());
  EXPECT_EQ(error.Number, 0);
  EXPECT_TRUE(ReadINISection("LULC Directories", env.home.file("none.ini"), &error).empty());
  EXPECT_EQ(error.Number, 0);
}

TEST(ReadINISection, BufferGrowsUpTo32500Bytes) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("big.ini");
  // About 10 kB: read after several growth steps.
  WriteWholeFile(ini, BigSection(100, 80));
  INISectionError error;
  auto entries = ReadINISection("Big", ini, &error);
  EXPECT_EQ(error.Number, 0);
  ASSERT_EQ(entries.size(), 100u);
  EXPECT_EQ(entries[99].Key, "Directory 100");

  // Just inside the largest buffer.
  ASSERT_LT(BufferBytes(300, 90), 32500u - 2);
  WriteWholeFile(ini, BigSection(300, 90));
  entries = ReadINISection("Big", ini, &error);
  EXPECT_EQ(error.Number, 0);
  EXPECT_EQ(entries.size(), 300u);

  // Beyond it: an overflow, and no entries.
  ASSERT_GT(BufferBytes(400, 90), 32500u);
  WriteWholeFile(ini, BigSection(400, 90));
  entries = ReadINISection("Big", ini, &error);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(error.Number, kOverflowErrorNumber);
  EXPECT_EQ(error.Description, "Overflow");
}

TEST(WriteINISection, ReplacesTheSectionSkippingBlankKeys) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  WriteWholeFile(ini, "[CONFIG]\r\nx=1\r\n\r\n[LULC Directories]\r\nDirectory 1=/old/\r\n");
  ASSERT_TRUE(WriteINISection("LULC Directories", ini, {{"Directory 1", "/a/"}, {"  ", "/skipped/"}, {"Directory 2", ""}}));
  EXPECT_EQ(ReadWholeFile(ini), "[CONFIG]\r\nx=1\r\n\r\n[LULC Directories]\r\nDirectory 1=/a/\r\nDirectory 2=\r\n");
  ASSERT_TRUE(WriteINISection("LULC Directories", ini, {}));
  EXPECT_EQ(ReadWholeFile(ini), "[CONFIG]\r\nx=1\r\n\r\n[LULC Directories]\r\n");
  EXPECT_FALSE(WriteINISection("S", env.home.file("missing/QMDEFAULTS.INI"), {{"k", "v"}}));
}

}  // namespace
}  // namespace tilbo
