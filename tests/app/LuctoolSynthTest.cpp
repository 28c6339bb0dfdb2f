// luctool synth, run in-process; its output read back by luctool info and,
// where GDAL is installed, by GDAL's independent CTG reader.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ctg/CTGFile.h"
#include "synth/CTGSynth.h"
#include "luctool/Luctool.h"
#include "support/LuctoolRun.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::TempDir;

using Result = testing::LuctoolResult;
using testing::RunTool;

// Output of a shell command, or nothing when it fails.
std::optional<std::string> Shell(const std::string& command) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string text;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  return ::pclose(pipe) == 0 ? std::optional<std::string>(text) : std::nullopt;
}

class LuctoolSynthTest : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }
  std::vector<std::string> SmallQuadArgs(const std::string& file) {
    return {"synth", "--south", "44", "--west", "-72", "--height", "0.1", "--width", "0.2", "--pattern", "hash",
            "--title", "SYNTH 1:250,000 QUAD LU", "--date", "84180", "-o", file};
  }
  TempDir dir_;
};

TEST_F(LuctoolSynthTest, InfoShowsTheHeaderThatWasMeant) {
  const std::string file = dir_.file("quad.ctg");
  const Result made = RunTool(SmallQuadArgs(file));
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.err, "");
  SynthOptions o;
  o.south = 44;
  o.west = -72;
  o.height = 0.1;
  o.width = 0.2;
  const SynthGrid g = *PlanSynthGrid(o).grid;
  EXPECT_EQ(made.out, file + ": " + std::to_string(g.rows) + " rows x " + std::to_string(g.columns) +
                          " columns of 200 m in UTM zone 19, " + std::to_string(g.Records()) +
                          " records, north-west corner " + std::to_string(g.refCornerEasting) + " E " +
                          std::to_string(g.refCornerNorthing) + " N\n");

  const Result info = RunTool({"info", "--json", file});
  ASSERT_EQ(info.status, 0) << info.err;
  for (const std::string& part :
       {"\"recordCount\":" + std::to_string(g.Records()), "\"GridDimension1\":" + std::to_string(g.rows),
        "\"GridDimension2\":" + std::to_string(g.columns), std::string("\"CellSize\":200"),
        std::string("\"Rec1Value46\":17"), std::string("\"Rec1Value51\":19"), std::string("\"Rec1Value56\":1"),
        "\"RefCornerEasting\":" + std::to_string(g.refCornerEasting), std::string("\"DataDate\":\"84180\""),
        std::string("\"Title\":\"SYNTH 1:250,000 QUAD LU\""),
        std::string("{\"role\":\"south-west\",\"latitude\":44,\"longitude\":-72}"),
        std::string("{\"role\":\"north-east\",\"latitude\":44.100000000000001,\"longitude\":-71.799999999999997}")}) {
    EXPECT_NE(info.out.find(part), std::string::npos) << part << "\n" << info.out;
  }
}

TEST_F(LuctoolSynthTest, GdalReadsWhatSynthWrites) {
  if (!Shell("command -v gdalinfo && command -v gdallocationinfo")) GTEST_SKIP() << "GDAL is not installed";
  const std::string file = dir_.file("quad.ctg");
  ASSERT_EQ(RunTool(SmallQuadArgs(file)).status, 0);
  SynthOptions o;
  o.south = 44;
  o.west = -72;
  o.height = 0.1;
  o.width = 0.2;
  const SynthGrid g = *PlanSynthGrid(o).grid;

  const std::optional<std::string> info = Shell("gdalinfo '" + file + "'");
  ASSERT_TRUE(info.has_value());
  EXPECT_NE(info->find("Driver: CTG/"), std::string::npos) << *info;
  EXPECT_NE(info->find("Size is " + std::to_string(g.columns) + ", " + std::to_string(g.rows)), std::string::npos)
      << *info;
  EXPECT_NE(info->find("UTM zone 19N"), std::string::npos);

  // GDAL places pixel (column, row) by the record's easting and northing: the
  // value it finds there must be the code written for that cell.
  const int32_t cells[][2] = {{g.columns / 2, g.rows / 2}, {g.columns / 3, g.rows / 4}, {0, 0}};
  for (const auto& [column, row] : cells) {
    const std::optional<std::string> value = Shell("gdallocationinfo -valonly -b 1 '" + file + "' " +
                                                   std::to_string(column) + " " + std::to_string(row));
    ASSERT_TRUE(value.has_value());
    const int16_t expected =
        column == 0 && row == 0 ? 0 : SynthHashCode(g.CentreEasting(column), g.CentreNorthing(row));
    EXPECT_EQ(*value, std::to_string(expected) + "\n") << column << " " << row;
  }
}

TEST_F(LuctoolSynthTest, BadOptionsAreUsageErrorsAndWriteFailuresStatusOne) {
  const std::string file = dir_.file("quad.ctg");
  std::vector<std::string> oddCell = SmallQuadArgs(file);
  oddCell.insert(oddCell.end(), {"--cell", "25"});
  const Result odd = RunTool(oddCell);
  EXPECT_EQ(odd.status, 2);
  EXPECT_EQ(odd.err, "luctool synth: the cell size must be an even number of metres from 2 to 9998\n");
  EXPECT_FALSE(std::filesystem::exists(file));

  std::vector<std::string> badPattern = SmallQuadArgs(file);
  badPattern[10] = "stripes";
  EXPECT_EQ(RunTool(badPattern).status, 2);
  EXPECT_EQ(RunTool({"synth", "--south", "44", "--west", "-72"}).status, 2);  // no output file

  const Result unwritable = RunTool(SmallQuadArgs(dir_.file("missing/quad.ctg")));
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("missing/"), std::string::npos);

  const Result help = RunTool({"synth", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--bad-records"), std::string::npos);
}

}  // namespace
}  // namespace tilbo
