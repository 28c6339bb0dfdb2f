// luctool info and cells on CTG files; the usage errors and help of every command.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ctg/CTGFile.h"
#include "support/CTGTestFiles.h"
#include "support/LuctoolRun.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string kFake = std::string(TILBO_TEST_DATA_DIR) + "/fake_grid_cell";
const std::string kCutShort =
    "luctool: " + kFake + ": cut short: the file holds 1 of the 434309 data records its header declares\n";

class LuctoolCtgTest : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }
  // Every command frees the reader handle it took.
  void TearDown() override { EXPECT_EQ(CTG_AllocateHandle(), 0); }
  TempDir dir_;
};

TEST_F(LuctoolCtgTest, InfoShowsTheDecodedHeaderOfEveryFileGiven) {
  // The sample holds one record of the 434309 its header declares: described,
  // and said to be cut short in the text, on standard error and by status 3.
  const LuctoolResult r = RunTool({"info", kFake});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, kCutShort);
  EXPECT_THAT(r.out, StartsWith(kFake + ": USGS CTG land use and land cover, 434309 data records (the file holds 1)\n"
      "Cut short: the file holds 1 of the 434309 data records its header declares; the rest read as read errors\n"
      "  Title               FAKE CITY\n"
      "  DataDate            91170\n"
      "  GridDimension1      558 (rows)\n"));
  for (const char* line : {"  Rec1Value51         14 (UTM zone)\n",
                           "  Rec2Values          1 1 789 558 1 556 8 0 395 3 782 0 789 556 395 369\n",
                           "  RefCornerEasting    421100 (north-west grid corner)\n  RefCornerNorthing   5094300\n",
                           "  Point4              46, -98 (north-east)\n",
                           "\nQuadrangle: (46, -100) to (45, -98); latitude 45 to 46, longitude -100 to -98 "
                           "(degrees, west negative)\n"}) {
    EXPECT_THAT(r.out, HasSubstr(line));
  }

  // Several files: each described in turn; one that cannot be read outweighs the cut-short sample.
  const std::string missing = dir_.file("missing");
  const LuctoolResult several = RunTool({"info", kFake, missing, kFake});
  EXPECT_EQ(several.status, 1);
  EXPECT_EQ(several.err, kCutShort + "luctool: " + missing +
                             ": the file cannot be found or accessed (reader error 3)\n" + kCutShort);
  EXPECT_EQ(several.out, r.out + "\n" + r.out);
  const std::string json = RunTool({"info", "--json", kFake}).out;
  EXPECT_THAT(json, HasSubstr("\"dataRecordsInFile\":1,\"cutShort\":true,"));
  EXPECT_EQ(RunTool({"info", "--json", kFake, kFake}).out, json + json);
}

// Unpacked, and as USGS ships it: the records counted in the decompressed
// content, the size the one on disk.
TEST_F(LuctoolCtgTest, InfoJsonOfTheRealQuadrangle) {
  const std::string gz = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  for (const std::string& path : {GunzipSample(dir_, "LEWISTON_grid_cell.gz"), gz}) {
    SCOPED_TRACE(path);
    const LuctoolResult r = RunTool({"info", path, "--json"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(r.out, StartsWith("{\"file\":\"" + path + "\",\"format\":\"CTG\","));
    for (const std::string part :
         {path == gz ? "\"fileBytes\":1256101,\"dataBytes\":35363520,\"gzip\":true"
                     : "\"fileBytes\":35363520,\"dataBytes\":35363520,\"gzip\":false",
          "\"recordCount\":442032,\"dataRecordsInFile\":442039,\"cutShort\":false,",
          "\"header\":{\"GridDimension1\":575,\"RecordCountTimes2\":884064,\"GridDimension2\":808,\"CellSize\":200,",
          "\"Rec1Value51\":19,", "\"RefCornerEasting\":259500,\"RefCornerNorthing\":4987100,",
          "\"Title\":\"LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU\"},",
          "\"corners\":[{\"role\":\"south-west\",\"latitude\":44,\"longitude\":-72},"
          "{\"role\":\"north-west\",\"latitude\":45,\"longitude\":-72},",
          "\"bounds\":{\"south\":44,\"north\":45,\"west\":-72,\"east\":-70}",
          "\"latLonBlock\":\"(45, -72) to (44, -70)\"",
          "\"plannedTiles\":[{\"fileName\":\"L07144NW.LUC\",\"size\":464600,"
          "\"title\":\"LEWISTON, ME VT NH  (WEST) 1:250,000 QUA\",\"refLat\":44,\"refLon\":-71},"
          "{\"fileName\":\"L07044NW.LUC\""}) {
      EXPECT_THAT(r.out, HasSubstr(part));
    }
    EXPECT_EQ(RunTool({"cells", path, "--first", "442031"}).out,
              "      cell zone  easting northing   code\n"
              "    442031   19   418000  4872200     42\n"
              "    442032   19   418200  4872200     42\n");
  }
}

TEST_F(LuctoolCtgTest, UnreadableFilesGiveOneLineWithTheReason) {
  WriteWholeFile(dir_.file("short"), std::string(399, ' '));
  std::string wide = ValidHeader();
  PutRight(wide, 1, 10, "40000");
  WriteWholeFile(dir_.file("wide"), wide);
  // Starts like a LUC tile but lacks its signature: read as CTG, and refused.
  WriteWholeFile(dir_.file("tile.LUC"), "QMLULC" + std::string(500, '\0'));
  WriteWholeFile(dir_.file("grid_cell.bz2"), "BZh9" + std::string(500, 'b'));
  const std::pair<std::string, std::string> cases[] = {
      {dir_.file("missing"), "the file cannot be found or accessed (reader error 3)"},
      {dir_.file("short"), "not a valid USGS CTG file (reader error 4)"},
      {dir_.file("wide"), "read failure (reader error 7)"},
      {dir_.file("tile.LUC"), "not a valid USGS CTG file (reader error 4)"},
      {dir_.file("grid_cell.bz2"), "not a valid USGS CTG file (reader error 4): it is bzip2-compressed; decompress it "
                                   "first (bunzip2)"},
      {dir_.path().string(), "the file cannot be found or accessed (reader error 3): it is a directory, not a file"}};
  for (const auto& [path, reason] : cases) {
    for (const char* command : {"info", "cells"}) {
      SCOPED_TRACE(std::string(command) + " " + path);
      const LuctoolResult r = RunTool({command, path});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "luctool: " + path + ": " + reason + "\n");
    }
  }
}

TEST_F(LuctoolCtgTest, CellsListsRecordsAndSaysWhichCannotBeRead) {
  std::string bytes = ValidHeader(8);
  bytes += DataRecord(14, 422600, 5094200, "21");
  bytes += DataRecord(14, 422800, 5094200, "99999");
  bytes += DataRecord(14, 423000, 5094200, "2000000102");
  const std::string quad = dir_.file("quad");
  WriteWholeFile(quad, bytes);  // the fourth record is missing
  const std::string heading = "      cell zone  easting northing   code\n";
  const std::string third = "         3   14   423000  5094200    102\n"
                            "         4 cannot be read: read failure (reader error 7)\n";

  const LuctoolResult all = RunTool({"cells", quad});
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(all.out, heading +
                         "         1   14   422600  5094200     21\n"
                         "         2 cannot be read: read failure (reader error 7)\n" + third);

  // Records beyond the last are an error, after the ones that exist.
  const LuctoolResult some = RunTool({"cells", quad, "--first", "3", "--count", "3"});
  EXPECT_EQ(some.status, 1);
  EXPECT_EQ(some.out, heading + third);
  EXPECT_EQ(some.err, "luctool: " + quad + ": record 5 does not exist (the file holds 4 data records)\n");

  // Latitude and longitude as PROJ gives them (cs2cs, WGS 84 / UTM zone 14N).
  const LuctoolResult geo = RunTool({"cells", quad, "--count", "1", "--geo"});
  EXPECT_EQ(geo.status, 0);
  EXPECT_EQ(geo.out,
            "      cell zone  easting northing   code    latitude    longitude\n"
            "         1   14   422600  5094200     21   45.997002   -99.999530\n");
}

// Usage errors are status 2 with CLI11's or the command's reason; help and
// version status 0. The messages go to standard error, help to standard output.
TEST_F(LuctoolCtgTest, UsageErrorsAndHelpOfEveryCommand) {
  const std::string file = dir_.file("out");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string text;  // the start of the message, or a part of the help
  } cases[] = {
      {{}, 2, "A subcommand is required\n"},
      {{"info"}, 2, "FILE is required\n"},
      {{"cells", kFake, "--first", "0"}, 2, "--first: Value 0 not in range 1 to 2147483647\n"},
      {{"cells", kFake, "--count", "x"}, 2, "--count: Value x not in range 0 to 2147483647\n"},
      {{"render", kFake}, 2, "--output is required\n"},
      {{"synth", "--south", "44", "--west", "-72"}, 2, "--output is required\n"},
      {{"synth", "--south", "44", "--west", "-72", "-o", file, "--cell", "25"}, 2,
       "luctool synth: the cell size must be an even number of metres from 2 to 9998\n"},
      {{"synth", "--south", "44", "--west", "-72", "-o", file, "--pattern", "stripes"}, 2,
       "--pattern: Check stripes value in"},
      {{"import", kFake, "--classes", "nlcd", "--cell", "0", "--dest", "."}, 2, "--cell: Value 0 not in range 1"},
      {{"import", kFake, "--classes", "nlcd", "--cell", "200", "--dest", ".", "--bbox", "45", "-72", "44", "-71"}, 2,
       "luctool import: --bbox wants SOUTH WEST NORTH EAST in degrees, south below north, west below east\n"},
      {{"--version"}, 0, "luctool "},
      {{"--help"}, 0, "luctool - inspect CTG land-use files and LUC tiles"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(::testing::PrintToString(k.args));
    const LuctoolResult r = RunTool(k.args);
    EXPECT_EQ(r.status, k.status);
    EXPECT_THAT(k.status == 0 ? r.out : r.err, StartsWith(k.text));
    EXPECT_EQ(k.status == 0 ? r.err : r.out, "");
  }
  for (const char* command : {"info", "cells", "render", "georef", "export", "import", "synth"}) {
    const LuctoolResult help = RunTool({command, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, AllOf(HasSubstr(std::string("Usage: luctool ") + command + " [OPTIONS]"),
                                HasSubstr("Example"), HasSubstr("Exit status: 0 ")));
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace tilbo
