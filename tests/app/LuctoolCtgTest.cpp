// luctool info and cells on CTG files, run in-process.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ctg/CTGFile.h"
#include "luctool/Luctool.h"
#include "support/LuctoolRun.h"
#include "support/CTGTestFiles.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::DataRecord;
using testing::PutRight;
using testing::TempDir;
using testing::ValidHeader;
using testing::WriteWholeFile;

using Result = testing::LuctoolResult;
using testing::RunTool;

const std::string kFake = std::string(TILBO_TEST_DATA_DIR) + "/fake_grid_cell";

class LuctoolCtgTest : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }
  // Every command frees the reader handle it took.
  void TearDown() override { EXPECT_EQ(CTG_AllocateHandle(), 0); }
  TempDir dir_;
};

TEST_F(LuctoolCtgTest, InfoShowsTheDecodedHeader) {
  // The sample holds one record of the 434309 its header declares: described,
  // and said to be cut short in the text, on standard error and by status 3.
  const Result r = RunTool({"info", kFake});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, "luctool: " + kFake + ": cut short: the file holds 1 of the 434309 data records its header declares\n");
  EXPECT_NE(r.out.find(": USGS CTG land use and land cover, 434309 data records (the file holds 1)\n"
                       "Cut short: the file holds 1 of the 434309 data records its header declares; the rest read "
                       "as read errors\n"),
            std::string::npos);
  EXPECT_NE(RunTool({"info", kFake, "--json"}).out.find("\"dataRecordsInFile\":1,\"cutShort\":true,"),
            std::string::npos);
  EXPECT_NE(r.out.find("  Title               FAKE CITY\n"), std::string::npos);
  EXPECT_NE(r.out.find("  DataDate            91170\n"), std::string::npos);
  EXPECT_NE(r.out.find("  GridDimension1      558 (rows)\n"), std::string::npos);
  EXPECT_NE(r.out.find("  Rec2Values          1 1 789 558 1 556 8 0 395 3 782 0 789 556 395 369\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("  RefCornerEasting    421100"), std::string::npos);
  EXPECT_NE(r.out.find("  Point4              46, -98 (north-east)\n"), std::string::npos);
  EXPECT_NE(r.out.find("Quadrangle: (46, -100) to (45, -98)"), std::string::npos);
}

// Unpacked, and as USGS ships it: the records counted in the decompressed
// content, the size the one on disk.
TEST_F(LuctoolCtgTest, InfoJsonOfTheRealQuadrangle) {
  const std::string gz = std::string(TILBO_TEST_DATA_DIR) + "/LEWISTON_grid_cell.gz";
  for (const std::string& path : {testing::GunzipSample(dir_, "LEWISTON_grid_cell.gz"), gz}) {
    SCOPED_TRACE(path);
    const Result r = RunTool({"info", path, "--json"});
    EXPECT_NE(r.out.find(path == gz ? "\"fileBytes\":1256101,\"dataBytes\":35363520,\"gzip\":true"
                                    : "\"fileBytes\":35363520,\"dataBytes\":35363520,\"gzip\":false"),
              std::string::npos);
    EXPECT_EQ(RunTool({"cells", path, "--first", "442031"}).out,
              "      cell zone  easting northing   code\n"
              "    442031   19   418000  4872200     42\n"
              "    442032   19   418200  4872200     42\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.substr(0, 1), "{");
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    for (const char* part :
         {"\"format\":\"CTG\"", "\"recordCount\":442032", "\"dataRecordsInFile\":442039,\"cutShort\":false,",
          "\"GridDimension1\":575", "\"GridDimension2\":808", "\"CellSize\":200", "\"Rec1Value51\":19",
          "\"RefCornerEasting\":259500", "\"RefCornerNorthing\":4987100",
          "\"Title\":\"LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU\"",
          "{\"role\":\"south-west\",\"latitude\":44,\"longitude\":-72}",
          "\"bounds\":{\"south\":44,\"north\":45,\"west\":-72,\"east\":-70}",
          "\"latLonBlock\":\"(45, -72) to (44, -70)\"",
          "\"plannedTiles\":[{\"fileName\":\"L07144NW.LUC\",\"size\":464600,"
          "\"title\":\"LEWISTON, ME VT NH  (WEST) 1:250,000 QUA\",\"refLat\":44,\"refLon\":-71},"
          "{\"fileName\":\"L07044NW.LUC\""}) {
      EXPECT_NE(r.out.find(part), std::string::npos) << part;
    }
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
      const Result r = RunTool({command, path});
      EXPECT_EQ(r.status, 1) << command << " " << path;
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
  WriteWholeFile(dir_.file("quad"), bytes);  // the fourth record is missing

  const Result all = RunTool({"cells", dir_.file("quad")});
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(all.out,
            "      cell zone  easting northing   code\n"
            "         1   14   422600  5094200     21\n"
            "         2 cannot be read: read failure (reader error 7)\n"
            "         3   14   423000  5094200    102\n"
            "         4 cannot be read: read failure (reader error 7)\n");

  // Records beyond the last are an error, after the ones that exist.
  const Result some = RunTool({"cells", dir_.file("quad"), "--first", "3", "--count", "3"});
  EXPECT_EQ(some.status, 1);
  EXPECT_EQ(some.out,
            "      cell zone  easting northing   code\n"
            "         3   14   423000  5094200    102\n"
            "         4 cannot be read: read failure (reader error 7)\n");
  EXPECT_EQ(some.err, "luctool: " + dir_.file("quad") + ": record 5 does not exist (the file holds 4 data records)\n");
  EXPECT_EQ(RunTool({"cells", dir_.file("quad"), "--first", "9"}).status, 1);

  // Latitude and longitude as PROJ gives them (cs2cs, WGS 84 / UTM zone 14N).
  const Result geo = RunTool({"cells", dir_.file("quad"), "--count", "1", "--geo"});
  EXPECT_EQ(geo.status, 0);
  EXPECT_EQ(geo.out,
            "      cell zone  easting northing   code    latitude    longitude\n"
            "         1   14   422600  5094200     21   45.997002   -99.999530\n");
}

TEST_F(LuctoolCtgTest, InfoDescribesEveryFileGiven) {
  const std::string missing = dir_.file("missing");
  const Result r = RunTool({"info", kFake, missing, kFake});
  EXPECT_EQ(r.status, 1);  // a file that cannot be read outweighs the cut-short sample (3)
  const std::string cut = "luctool: " + kFake + ": cut short: the file holds 1 of the 434309 data records its header declares\n";
  EXPECT_EQ(r.err, cut + "luctool: " + missing + ": the file cannot be found or accessed (reader error 3)\n" + cut);
  const std::string one = RunTool({"info", kFake}).out;
  EXPECT_EQ(r.out, one + "\n" + one);
  EXPECT_NE(one.find("  Datum               WGS 84 ("), std::string::npos);
  const Result json = RunTool({"info", "--json", kFake, kFake});
  EXPECT_EQ(json.out, RunTool({"info", "--json", kFake}).out + RunTool({"info", "--json", kFake}).out);
}

TEST_F(LuctoolCtgTest, UsageErrorsAndHelp) {
  EXPECT_EQ(RunTool({"info"}).status, 2);
  EXPECT_EQ(RunTool({"cells", kFake, "--first", "0"}).status, 2);
  EXPECT_EQ(RunTool({"cells", kFake, "--count", "x"}).status, 2);
  const Result help = RunTool({"cells", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--first"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  for (const char* command : {"info", "cells", "render", "georef", "export", "synth"}) {
    EXPECT_NE(RunTool({command, "--help"}).out.find("Example"), std::string::npos) << command;
  }
  const Result top = RunTool({"--help"});
  EXPECT_EQ(top.status, 0);
  EXPECT_NE(top.out.find("info"), std::string::npos);
  EXPECT_NE(top.out.find("cells"), std::string::npos);
}

}  // namespace
}  // namespace tilbo
