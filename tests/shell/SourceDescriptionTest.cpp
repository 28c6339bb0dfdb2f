#include "shell/SourceDescription.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ctg/CTGFile.h"
#include "shell/TilePlan.h"
#include "suite/NumberFormat.h"
#include "support/CTGTestFiles.h"

namespace tilbo {
namespace {

TEST(FileSizeText, BytesKilobytesAndMegabytesCutNotRounded) {
  EXPECT_EQ(FileSizeText(999), "999 bytes, ");
  EXPECT_EQ(FileSizeText(1000), "1kB, ");
  EXPECT_EQ(FileSizeText(12345), "12.34kB, ");
  EXPECT_EQ(FileSizeText(1500), "1.5kB, ");
  EXPECT_EQ(FileSizeText(1000000), "1MB, ");
  EXPECT_EQ(FileSizeText(1234567), "1.234MB, ");
}

// The real LEWISTON quadrangle (44-45 N, 72-70 W, whole-degree edges) plans
// the two tiles east of 72 W and south of 45 N.
TEST(RealQuadrangle, LewistonPlansTwoTilesWithTheirTitlesAndDescribesItself) {
  CTG_ResetModuleForTesting();
  testing::TempDir dir;
  const std::string path = testing::GunzipSample(dir, "LEWISTON_grid_cell.gz");
  const int16_t handle = CTG_AllocateHandle();
  CTG_SetFileName(handle, path);
  ASSERT_TRUE(CTG_Open(handle));
  const CTGHeader header = CTG_ReadHeader(handle);
  ASSERT_EQ(CTG_LastError(), 0);
  CTG_Close(handle);
  CTG_FreeHandle(handle);

  const auto plan = PlanTiles(header, "/luc/");
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].FileName, "L07144NW.LUC");
  EXPECT_EQ(plan[1].FileName, "L07044NW.LUC");
  // "LEWISTON, ME VT NH " + " (WEST) " + "1:250,000 QUAD LU PB CN HU", cut to 40.
  EXPECT_EQ(plan[0].Title, "LEWISTON, ME VT NH  (WEST) 1:250,000 QUA");
  EXPECT_EQ(plan[1].Title, "LEWISTON, ME VT NH  (EAST) 1:250,000 QUA");
  EXPECT_EQ(plan[0].Size, 575 * 808);  // 2 x 575 x 808 / 2

  NumberSeparators english{".", ","};
  OverrideSeparatorsForTesting(&english);
  const SourceDescription d = DescribeSource(path, std::filesystem::file_size(path), header);
  OverrideSeparatorsForTesting(nullptr);
  EXPECT_EQ(d.Filename, "LEWISTON_grid_cell (35.363MB, 575x808)");
  EXPECT_EQ(d.Directory, dir.dir());
  EXPECT_EQ(d.Title, "LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU");
  EXPECT_EQ(d.LatLonQuad, "(45, -72) to (44, -70)");
  EXPECT_EQ(d.UTMRefCorner, "259500 Easting, 4987100 Northing");
  EXPECT_EQ(d.CellSize, "200m x 200m");
}

}  // namespace
}  // namespace tilbo
