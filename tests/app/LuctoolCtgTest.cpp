// luctool info, cells and synth on CTG files; the usage errors and help of every command.

#include <gdal_priv.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ctg/CTGFile.h"
#include "support/CTGTestFiles.h"
#include "support/LuctoolRun.h"
#include "support/TempDir.h"
#include "synth/CTGSynth.h"

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

  // Corners that give no tile: described, and refused as unusable.
  std::string bytes = ReadWholeFile(kFake);
  WriteWholeFile(missing, bytes.replace(160, 10, "   9E90000"));
  const LuctoolResult off = RunTool({"info", missing});
  EXPECT_EQ(off.status, 1);
  EXPECT_EQ(off.err, "luctool: " + missing + ": no tile can be planned: the corners give latitudes 9000000000 to 46 and "
                     "longitudes -100 to -98\n");
}

// As USGS ships it: the records counted in the decompressed content, the
// size the one on disk.
TEST_F(LuctoolCtgTest, InfoJsonOfTheRealQuadrangle) {
  const std::string gz = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  const LuctoolResult r = RunTool({"info", gz, "--json"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_THAT(r.out, StartsWith("{\"file\":\"" + gz + "\",\"format\":\"CTG\",\"fileBytes\":1256101,"
                                "\"dataBytes\":35363520,\"gzip\":true,\"dataEndProblem\":\"\",\"recordCount\":442032,"
                                "\"dataRecordsInFile\":442039,\"cutShort\":false,"));
  for (const std::string part :
       {"\"header\":{\"GridDimension1\":575,\"RecordCountTimes2\":884064,\"GridDimension2\":808,\"CellSize\":200,"
        "\"Rec1Value41\":4,\"Rec1Value46\":17,\"Rec1Value51\":19,\"Rec1Value56\":1,\"Rec1Real61\":7874016,"
        "\"Rec1Text71\":\"1973\",\"Rec2Values\":[1,1,808,575,0,556,21,0,415,13,809,20,802,575,401,373],",
        "\"RefCornerEasting\":259500,\"RefCornerNorthing\":4987100,",
        "\"corners\":[{\"role\":\"south-west\",\"latitude\":44,\"longitude\":-72},"
        "{\"role\":\"north-west\",\"latitude\":45,\"longitude\":-72},",
        "\"bounds\":{\"south\":44,\"north\":45,\"west\":-72,\"east\":-70}",
        "\"plannedTiles\":[{\"fileName\":\"L07144NW.LUC\",\"size\":464600,"
        "\"title\":\"LEWISTON, ME VT NH  (WEST) 1:250,000 QUA\",\"refLat\":44,\"refLon\":-71},"
        "{\"fileName\":\"L07044NW.LUC\""}) {
    EXPECT_THAT(r.out, HasSubstr(part));
  }
}

// What the file is, when that is easy to tell, follows the reader's reason.
TEST_F(LuctoolCtgTest, UnreadableFilesGiveOneLineWithTheReason) {
  std::string wide = ValidHeader();
  PutRight(wide, 1, 10, "40000");
  const std::string invalid = "not a valid USGS CTG file (reader error 4)";
  const struct {
    std::string name;
    std::optional<std::string> bytes;  // written to it, else left as it is
    std::string reason;
  } cases[] = {
      {"missing", {}, "the file cannot be found or accessed (reader error 3)"},
      {"", {}, "the file cannot be found or accessed (reader error 3): it is a directory, not a file"},
      {"short", std::string(399, ' '), invalid},
      {"wide", wide, "read failure (reader error 7)"},
      // Starts like a LUC tile but lacks its signature: read as CTG, and refused.
      {"tile.LUC", "QMLULC" + std::string(500, '\0'), invalid},
      {"empty", "", invalid + ": it is an empty file"},
      {"grid_cell.bz2", "BZh9" + std::string(500, 'b'), invalid + ": it is bzip2-compressed; decompress it first (bunzip2)"},
      {"grid_cell.xz", std::string("\xfd" "7zXZ\0", 6) + std::string(500, 'x'),
       invalid + ": it is xz-compressed; decompress it first (unxz)"},
      {"grid_cell.zip", "PK\x03\x04" + std::string(500, 'z'),
       invalid + ": it is a zip archive; extract the CTG file from it first (unzip)"},
      {"damaged.gz", std::string("\x1f\x8b\x08\0\0\0\0\0\0\3\x07", 11),
       invalid + ": it is gzip-compressed, but its content is not a CTG file or the stream is damaged"},
  };
  for (const auto& k : cases) {
    const std::string path = k.name.empty() ? dir_.path().string() : dir_.file(k.name);
    if (k.bytes) WriteWholeFile(path, *k.bytes);
    for (const char* command : {"info", "cells"}) {
      SCOPED_TRACE(std::string(command) + " " + path);
      const LuctoolResult r = RunTool({command, path});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "luctool: " + path + ": " + k.reason + "\n");
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
      {{"cells", kFake, "--first", "0"}, 2, "--first: Value 0 not in range 1 to 2147483647\n"},
      {{"render", kFake}, 2, "--output is required\n"},
      {{"synth", "--south", "44", "--west", "-72", "-o", file, "--cell", "25"}, 2,
       "luctool synth: the cell size must be an even number of metres from 2 to 9998\n"},
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

// What synth says it wrote, the title and date it puts in the header, and
// GDAL's own CTG reader placing pixel (column, row) by the record's easting
// and northing: the value it finds there is the code the hash pattern gives.
TEST_F(LuctoolCtgTest, SynthWritesTheQuadrangleItDescribes) {
  const std::string file = dir_.file("quad.ctg");
  const LuctoolResult made = RunTool({"synth", "--south", "44", "--west", "-72", "--height", "0.1", "--width", "0.2",
                                      "--title", "SYNTH 1:250,000 QUAD LU", "--date", "84180", "--pattern", "hash",
                                      "-o", file});
  EXPECT_EQ(made.status, 0);
  EXPECT_EQ(made.out, file + ": 60 rows x 83 columns of 200 m in UTM zone 19, 4980 records, north-west corner "
                             "259300 E 4887500 N\n");
  const LuctoolResult info = RunTool({"info", "--json", file});
  EXPECT_EQ(info.status, 0);  // every record the header declares is there
  EXPECT_THAT(info.out, HasSubstr("\"recordCount\":4980,\"dataRecordsInFile\":4980,\"cutShort\":false,"));
  EXPECT_THAT(info.out, HasSubstr("\"DataDate\":\"84180\",\"Title\":\"SYNTH 1:250,000 QUAD LU\"}"));
  GDALAllRegister();
  GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  ASSERT_TRUE(ds);
  EXPECT_STREQ(ds->GetDriver()->GetDescription(), "CTG");
  EXPECT_EQ(ds->GetRasterXSize(), 83);
  EXPECT_EQ(ds->GetRasterYSize(), 60);
  EXPECT_STREQ(ds->GetSpatialRef()->GetAuthorityCode(nullptr), "32619");
  const SynthGrid g{19, 60, 83, 200, 259300, 4887500};
  for (const auto& [column, row] : {std::pair{41, 30}, {27, 15}, {60, 45}, {0, 0}}) {
    int32_t value = -1;
    ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Read, column, row, 1, 1, &value, 1, 1, GDT_Int32, 0, 0, nullptr),
              CE_None);
    // The grid's north-west corner lies outside the quadrangle.
    EXPECT_EQ(value, column == 0 ? 0 : SynthHashCode(g.CentreEasting(column), g.CentreNorthing(row)))
        << column << " " << row;
  }
  ds.reset();

  // Without --title, the title names the south-west corner.
  const std::vector<std::array<std::string, 3>> corners{
      {"0", "-72", "0N 72W"}, {"-33.5", "-71", "33.5S 71W"}, {"44.5", "10", "44.5N 10E"}};
  for (const auto& [south, west, title] : corners) {
    ASSERT_EQ(RunTool({"synth", "--south", south, "--west", west, "--height", "0.1", "--width", "0.1", "-o", file})
                  .status, 0) << title;
    EXPECT_THAT(RunTool({"info", "--json", file}).out, HasSubstr("\"Title\":\"SYNTHETIC QUADRANGLE " + title + "\"}"));
  }

  const std::string unwritable = dir_.file("missing/quad.ctg");
  const LuctoolResult failed = RunTool({"synth", "--south", "44", "--west", "-72", "-o", unwritable});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err, "luctool synth: " + unwritable + ": No such file or directory\n");
}

}  // namespace
}  // namespace tilbo
