#include "registry/INISections.h"

#include <gtest/gtest.h>

#include <string>

#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

TEST(ReadINISection, EntriesSplitAtTheFirstEqualsSign) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  WriteWholeFile(ini, "[LULC Directories]\r\nDirectory 2=/b/\r\ndirectory 1 = \"/q/\" \r\nno equals sign\r\nx=a=b\r\n");
  INISectionError error;
  const std::vector<INIEntry> expected = {{"Directory 2", "/b/"}, {"directory 1", "\"/q/\""}, {"x", "a=b"}};
  EXPECT_EQ(ReadINISection("lulc directories", ini, &error), expected);
  EXPECT_EQ(error.Number, 0);
  EXPECT_TRUE(ReadINISection("LULC Directories", env.home.file("none.ini"), &error).empty());
  EXPECT_EQ(error.Number, 0);
}

// The buffer grows by 500 bytes from 2000 up to 32500; beyond that an overflow.
TEST(ReadINISection, BufferGrowsUpTo32500Bytes) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("big.ini");
  const auto section = [](int count) {
    std::string text = "[Big]\r\n";
    for (int i = 0; i < count; ++i) text += "Directory " + std::to_string(1000 + i) + "=" + std::string(84, 'd') + "\r\n";
    return text;
  };
  INISectionError error;
  WriteWholeFile(ini, section(324));  // entries of 100 bytes: 32,401 with the final NUL
  EXPECT_EQ(ReadINISection("Big", ini, &error).size(), 324u);
  EXPECT_EQ(error.Number, 0);
  WriteWholeFile(ini, section(325));
  EXPECT_TRUE(ReadINISection("Big", ini, &error).empty());
  EXPECT_EQ(error.Number, kOverflowErrorNumber);
  EXPECT_EQ(error.Description, "Overflow");
}

TEST(WriteINISection, ReplacesTheSectionSkippingBlankKeys) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  WriteWholeFile(ini, "[CONFIG]\r\nx=1\r\n\r\n[LULC Directories]\r\nDirectory 1=/old/\r\n");
  ASSERT_TRUE(WriteINISection("LULC Directories", ini, {{"Directory 1", "/a/"}, {"  ", "/skipped/"}, {"Directory 2", ""}}));
  EXPECT_EQ(ReadWholeFile(ini), "[CONFIG]\r\nx=1\r\n\r\n[LULC Directories]\r\nDirectory 1=/a/\r\nDirectory 2=\r\n");
  EXPECT_FALSE(WriteINISection("S", env.home.file("missing/QMDEFAULTS.INI"), {{"k", "v"}}));
}

}  // namespace
}  // namespace tilbo
