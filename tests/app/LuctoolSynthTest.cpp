// luctool synth: what it says it wrote, the title and date it puts in the
// header, and GDAL's own CTG reader finding the codes the hash pattern predicts.

#include <gdal_priv.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctg/CTGFile.h"
#include "support/LuctoolRun.h"
#include "support/TempDir.h"
#include "synth/CTGSynth.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::HasSubstr;

class LuctoolSynthTest : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }
  TempDir dir_;
  const std::string file_ = dir_.file("quad.ctg");
};

TEST_F(LuctoolSynthTest, SaysWhatItWroteAndTitlesTheHeader) {
  const LuctoolResult made = RunTool({"synth", "--south", "44", "--west", "-72", "--height", "0.1", "--width", "0.2",
                                      "--title", "SYNTH 1:250,000 QUAD LU", "--date", "84180", "-o", file_});
  EXPECT_EQ(made.status, 0);
  EXPECT_EQ(made.err, "");
  EXPECT_EQ(made.out, file_ + ": 60 rows x 83 columns of 200 m in UTM zone 19, 4980 records, north-west corner "
                              "259300 E 4887500 N\n");
  EXPECT_THAT(RunTool({"info", "--json", file_}).out,
              HasSubstr("\"DataDate\":\"84180\",\"Title\":\"SYNTH 1:250,000 QUAD LU\"}"));

  // Without --title, the title names the south-west corner.
  const std::vector<std::array<std::string, 3>> corners{
      {"0", "-72", "0N 72W"}, {"-33.5", "-71", "33.5S 71W"}, {"44.5", "10", "44.5N 10E"}};
  for (const auto& [south, west, title] : corners) {
    ASSERT_EQ(RunTool({"synth", "--south", south, "--west", west, "--height", "0.1", "--width", "0.1", "-o", file_})
                  .status, 0) << title;
    EXPECT_THAT(RunTool({"info", "--json", file_}).out, HasSubstr("\"Title\":\"SYNTHETIC QUADRANGLE " + title + "\"}"));
  }

  const std::string unwritable = dir_.file("missing/quad.ctg");
  const LuctoolResult failed = RunTool({"synth", "--south", "44", "--west", "-72", "-o", unwritable});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err, "luctool synth: " + unwritable + ": No such file or directory\n");
}

// GDAL places pixel (column, row) by the record's easting and northing: the
// value it finds there is the code written for that cell.
TEST_F(LuctoolSynthTest, GdalsCtgReaderFindsThePredictedCodes) {
  ASSERT_EQ(RunTool({"synth", "--south", "44", "--west", "-72", "--height", "0.1", "--width", "0.2", "--pattern",
                     "hash", "-o", file_}).status, 0);
  GDALAllRegister();
  GDALDatasetUniquePtr ds(GDALDataset::Open(file_.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
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
}

}  // namespace
}  // namespace tilbo
