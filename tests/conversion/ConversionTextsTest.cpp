#include "conversion/ConversionTexts.h"

#include <gtest/gtest.h>

#include "suite/NumberFormat.h"

namespace tilbo {
namespace {

class ConversionTexts : public ::testing::Test {
 protected:
  void SetUp() override { OverrideSeparatorsForTesting(&english_); }
  void TearDown() override { OverrideSeparatorsForTesting(nullptr); }
  NumberSeparators english_{".", ","};
};

TEST_F(ConversionTexts, SummaryWithoutExclusionsHasNoBreakdown) {
  RunSummary s;
  s.success = true;
  s.recordCount = 442032;
  s.createdTiles = {"L07144NW.LUC", "L07044NW.LUC"};
  const std::string expected = std::string("The conversion process is complete.") + "\r\n" + "\r\n" + "Success:" +
                               "\t" + "\t" + "\t" + "Yes." + "\r\n" + "Number of excluded points:" + "\t" + "0" +
                               " (" + "0.000" + "%)" + "\r\n" + "\r\n" + "\r\n" + "Files created:" + "\r\n" + "\t" +
                               "L07144NW.LUC" + ":" + "\t" + "Created successfully." + "\r\n" + "\t" +
                               "L07044NW.LUC" + ":" + "\t" + "Created successfully." + "\r\n";
  EXPECT_EQ(SummaryText(s), expected);
}

TEST_F(ConversionTexts, SummaryWithExclusionsOutsideFilesAndLog) {
  RunSummary s;
  s.success = false;
  s.recordCount = 1000;
  s.excluded = 8;
  s.readErrors = 2;
  s.zeroValues = 6;
  s.writtenElsewhere = 3;
  s.useExisting = true;
  s.createNew = true;
  s.existingFilesUsed = {"/luc/L07145NW.LUC"};
  s.externalFilesCreated = {"/out/L07145NW.LUC", "/out/L07245NW.LUC"};
  s.createdTiles = {"L07144NW.LUC"};
  s.excludedLogPath = "/src/LEWISTON, ME VT NH.txt";
  const std::string expected =
      std::string("The conversion process is complete.") + "\r\n" + "\r\n" + "Success:" + "\t" + "\t" + "\t" +
      "No." + "\r\n" + "Number of excluded points:" + "\t" + "8" + " (" + "0.800" + "%)" + "\r\n" + "\t" +
      "Of these, " + "2" + " (" + "25.000" + "%) were " + "excluded due to read errors." + "\r\n" + "\t" + "6" +
      " (" + "75.000" + "%) were excluded because " + "they were 0." + "\r\n" + "\r\n" + "3" + " (" + "0.300" +
      "%) were " + "written to these existing files:" + "\r\n" + "\t" + "/luc/L07145NW.LUC" + "\r\n" + "\r\n" +
      "These files were created (as external files) during " + "the conversion process:" + "\t" +
      "/out/L07145NW.LUC" + "\r\n" + "\t" + "/out/L07245NW.LUC" + "\r\n" + "\r\n" + "\r\n" + "Files created:" +
      "\r\n" + "\t" + "L07144NW.LUC" + ":" + "\t" + "Created successfully." + "\r\n" + "\r\n" + "\r\n" +
      "Excluded points logged in " + "/src/LEWISTON, ME VT NH.txt" + ".";
  EXPECT_EQ(SummaryText(s), expected);
}

TEST_F(ConversionTexts, ExistingFilesOptionWithNothingWrittenShowsNoFiles) {
  RunSummary s;
  s.success = true;
  s.recordCount = 10;
  s.useExisting = true;
  s.createNew = true;  // but nothing was created: no external block
  const std::string text = SummaryText(s);
  EXPECT_NE(text.find(std::string("\r\n") + "0" + " (" + "0.000" + "%) were " + "written to these existing files:" +
                      "\r\n" + "< No Files >" + "\r\n" + "\r\n"),
            std::string::npos);
  EXPECT_EQ(text.find("These files were created"), std::string::npos);
}

TEST_F(ConversionTexts, AutoConvertLinesAndTheEmptySource) {
  RunSummary s;
  s.success = true;
  s.recordCount = 0;  // a source without records: percentages are 0, not a division by zero
  s.useExisting = true;
  EXPECT_EQ(AutoConvertSummaryLines(s),
            (std::vector<std::string>{"   0 (0.000%) point(s) excluded.", "", "   0 (0.00%) were written to these files:",
                                      "      < No Files >"}));

  s.recordCount = 3;
  s.excluded = 3;
  s.readErrors = 1;
  s.zeroValues = 2;
  s.useExisting = false;
  EXPECT_EQ(AutoConvertSummaryLines(s),
            (std::vector<std::string>{
                "   3 (100.000%) point(s) excluded.",
                "   1 (33.333% of the number excluded) were not written due to read errors.",
                "   2 (66.667% of the number excluded) were not written because they were 0.", ""}));
}

TEST_F(ConversionTexts, PercentagesUseTheLocaleDecimalMark) {
  NumberSeparators german{",", "."};
  OverrideSeparatorsForTesting(&german);
  EXPECT_EQ(Percentage(1, 3), "33,333");
  EXPECT_EQ(Percentage(2, 3, "0.00"), "66,67");
}

TEST_F(ConversionTexts, DirectionsAreParagraphsSeparatedByBlankLines) {
  const std::string d = SelectionDirections();
  EXPECT_EQ(d.rfind("Select the files that you want to be created.\r\n\r\nIf a checkmark appears", 0), 0u);
  EXPECT_NE(d.find("created without worry.\r\n\r\nNote that if you create"), std::string::npos);
  EXPECT_EQ(d.substr(d.size() - 15), "' button below.");  // no final line break
  EXPECT_EQ(RunningDirections().rfind("CTG Tilbo is now converting the files.\r\n\r\nThe text", 0), 0u);
}

}  // namespace
}  // namespace tilbo
