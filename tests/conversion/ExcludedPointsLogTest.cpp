#include "conversion/ExcludedPointsLog.h"

#include <gtest/gtest.h>

#include "suite/NumberFormat.h"
#include "support/TempDir.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;

TEST(PrintLine, PadsToColumnsAndWrapsWhenAColumnIsAlreadyPassed) {
  EXPECT_EQ(PrintLine().At(3, "ab").At(6, "c").Text(), "  ab c");
  EXPECT_EQ(PrintLine().At(1, "abcdef").At(4, "x").Text(), "abcdef\r\n   x");
  EXPECT_EQ(PrintLine().At(1, "abc").At(4, "x").Text(), "abcx");  // column 4 is still free
}

TEST(ExcludedPointsLogPath, TitleBeforeTheScaleBesideTheSource) {
  EXPECT_EQ(ExcludedPointsLogPath("LEWISTON, ME VT NH 1:250,000 QUAD LU PB CN HU", "/data/ctg/lewiston"),
            "/data/ctg/LEWISTON, ME VT NH.txt");
  EXPECT_EQ(ExcludedPointsLogPath("  FAKE CITY  ", "/data/fake"), "/data/FAKE CITY.txt");
}

TEST(ExcludedPointsLog, HeadingColumnsAndPointLines) {
  NumberSeparators english{".", ","};
  OverrideSeparatorsForTesting(&english);
  TempDir dir;
  ExcludedPointsLog log;
  ASSERT_TRUE(log.Open(dir.file("x.txt")));
  log.WriteRunHeading("T 1:250,000", "2026-12-06 10:00:00", {"L07144NW.LUC (No conflicts.)"});
  log.WriteColumnHeading();
  log.WritePoint(12345, 400100, 4980300, "44.972872222", "-71.250000000", 41, false);
  log.WritePoint(123456789, 1, 0, "0.000000009", "-183.000000000", 0, false);  // a value of 0 prints nothing
  log.WritePoint(7, 0, 0, "", "", 0, true);  // nothing of the record was read
  log.WriteRawCard(std::string(80, 'x'));
  log.Close();
  OverrideSeparatorsForTesting(nullptr);

  // Columns: record number right-aligned in 3-11 (cut to nine characters),
  // easting from 14, northing 27, latitude 40, longitude 58, value 76, read error 87.
  EXPECT_EQ(ReadWholeFile(dir.file("x.txt")),
            "[Excluded Points for T 1:250,000 (Conversion Beginning 2026-12-06 10:00:00)]\r\n"
            "   Files to create and write to:\r\n"
            "      L07144NW.LUC (No conflicts.)\r\n"
            "\r\n"
            "    Record # UTM Easting  UTM Northing Latitude          Longitude         LULC Value Read Error\r\n"
            "   --------- ------------ ------------ ----------------- ----------------- ---------- ----------\r\n"
            "     12,345  400,100      4,980,300    44.972872222      -71.250000000     41\r\n"
            "  123,456,7  1                         0.000000009       -183.000000000    \r\n"
            "          7                                                                           YES\r\n"
            "--> \"" + std::string(80, 'x') + "\"\r\n");
}

}  // namespace
}  // namespace tilbo
