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
  log.WritePoint(12345, 400100, 4980300, " 44 58 12.34 N", " 71 15 0.00 W", 0, false);
  log.WritePoint(7, 0, 0, " 00 00 0.00 N", "183 00 0.00 W", 0, true);
  log.WriteRawCard(std::string(80, 'x'));
  log.WritePoint(123456789, 1, 2, "a", "b", 41, false);
  log.Close();
  OverrideSeparatorsForTesting(nullptr);

  const std::string header = std::string("[Excluded Points for T 1:250,000 (Conversion Beginning 2026-12-06 10:00:00)]") +
                             "\r\n" + "   Files to create and write to:" + "\r\n" + "      " +
                             "L07144NW.LUC (No conflicts.)" + "\r\n";
  const std::string columns = std::string("\r\n") + "    Record #" + " UTM Easting" + "  UTM Northing" + " Latitude" +
                              std::string(10, ' ') + "Longitude" + std::string(9, ' ') + "LULC Value" + " " +
                              "Read Error" + "\r\n" + "   --------- ------------ ------------ -----------------" +
                              " ----------------- ---------- ----------" + "\r\n";
  // Record number right-aligned in columns 3-11; easting at 14, northing at 27,
  // latitude at 40, longitude at 58; a value of 0 prints nothing but the
  // blanks up to its column.
  const std::string point1 = std::string("     12,345") + "  " + "400,100" + std::string(6, ' ') + "4,980,300" +
                             std::string(4, ' ') + " 44 58 12.34 N" + std::string(4, ' ') + " 71 15 0.00 W" + std::string(5, ' ') + "\r\n";
  const std::string point2 = std::string(10, ' ') + "7" + std::string(28, ' ') + " 00 00 0.00 N" +
                             std::string(5, ' ') + "183 00 0.00 W" + std::string(16, ' ') + "YES" + "\r\n";
  const std::string raw = "--> \"" + std::string(80, 'x') + "\"\r\n";
  const std::string point3 = std::string("  123,456,7") + "  1" + std::string(12, ' ') + "2" + std::string(12, ' ') +
                             "a" + std::string(17, ' ') + "b" + std::string(17, ' ') + "41" + "\r\n";
  EXPECT_EQ(ReadWholeFile(dir.file("x.txt")), header + columns + point1 + point2 + raw + point3);
}

}  // namespace
}  // namespace tilbo
