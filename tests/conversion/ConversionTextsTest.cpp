#include "conversion/ConversionTexts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>


#include "suite/NumberFormat.h"

namespace tilbo {
namespace {

using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class ConversionTexts : public ::testing::Test {
 protected:
  void SetUp() override { OverrideSeparatorsForTesting(&english_); }
  void TearDown() override { OverrideSeparatorsForTesting(nullptr); }
  NumberSeparators english_{".", ","};
};

// The end-of-run message and the AutoConvert log lines of the same counts.
TEST_F(ConversionTexts, SummaryAndAutoConvertLines) {
  const struct {
    RunSummary summary;
    const char* message;
    std::vector<std::string> autoConvertLines;
  } cases[] = {
      {{.success = true, .recordCount = 442032, .existingFilesUsed = {}, .externalFilesCreated = {},
        .createdTiles = {"L07144NW.LUC", "L07044NW.LUC"}, .excludedLogPath = ""},
       "The conversion process is complete.\r\n\r\n"
       "Success:\t\t\tYes.\r\n"
       "Number of excluded points:\t0 (0.000%)\r\n"
       "\r\n"
       "\r\nFiles created:\r\n"
       "\tL07144NW.LUC:\tCreated successfully.\r\n"
       "\tL07044NW.LUC:\tCreated successfully.\r\n",
       {"   0 (0.000%) point(s) excluded.", ""}},
      {{.recordCount = 1000, .excluded = 8, .readErrors = 2, .zeroValues = 6, .writtenElsewhere = 3,
        .useExisting = true, .createNew = true, .existingFilesUsed = {"/luc/L07145NW.LUC"},
        .externalFilesCreated = {"/out/L07145NW.LUC", "/out/L07245NW.LUC"}, .createdTiles = {"L07144NW.LUC"},
        .excludedLogPath = "/src/LEWISTON, ME VT NH.txt"},
       "The conversion process is complete.\r\n\r\n"
       "Success:\t\t\tNo.\r\n"
       "Number of excluded points:\t8 (0.800%)\r\n"
       "\tOf these, 2 (25.000%) were excluded due to read errors.\r\n"
       "\t6 (75.000%) were excluded because they were 0.\r\n"
       "\r\n"
       "3 (0.300%) were written to these existing files:\r\n"
       "\t/luc/L07145NW.LUC\r\n"
       "\r\n"
       "These files were created (as external files) during the conversion process:\t/out/L07145NW.LUC\r\n"
       "\t/out/L07245NW.LUC\r\n"
       "\r\n"
       "\r\nFiles created:\r\n"
       "\tL07144NW.LUC:\tCreated successfully.\r\n"
       "\r\n\r\nExcluded points logged in /src/LEWISTON, ME VT NH.txt.",
       {"   8 (0.800%) point(s) excluded.",
        "   2 (25.000% of the number excluded) were not written due to read errors.",
        "   6 (75.000% of the number excluded) were not written because they were 0.", "",
        "   3 (0.30%) were written to these files:", "      /luc/L07145NW.LUC",
        "   These files were created (as external files) during the conversion process:", "      /out/L07145NW.LUC",
        "      /out/L07245NW.LUC"}},
      // Outside files allowed but none used or made; a source without
      // records gives percentages of 0, not a division by zero.
      {{.success = true, .useExisting = true, .createNew = true, .existingFilesUsed = {}, .externalFilesCreated = {},
        .createdTiles = {}, .excludedLogPath = ""},
       "The conversion process is complete.\r\n\r\n"
       "Success:\t\t\tYes.\r\n"
       "Number of excluded points:\t0 (0.000%)\r\n"
       "\r\n"
       "0 (0.000%) were written to these existing files:\r\n"
       "< No Files >\r\n"
       "\r\n"
       "\r\nFiles created:\r\n",
       {"   0 (0.000%) point(s) excluded.", "", "   0 (0.00%) were written to these files:", "      < No Files >"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(SummaryText(c.summary), c.message);
    EXPECT_THAT(AutoConvertSummaryLines(c.summary), ElementsAreArray(c.autoConvertLines));
  }
}

TEST_F(ConversionTexts, PercentagesUseTheLocaleDecimalMark) {
  NumberSeparators german{",", "."};
  OverrideSeparatorsForTesting(&german);
  EXPECT_EQ(Percentage(1, 3), "33,333");
  EXPECT_EQ(Percentage(2, 3, "0.00"), "66,67");
}

TEST_F(ConversionTexts, DirectionsAreParagraphsSeparatedByBlankLines) {
  const std::string d = SelectionDirections();
  EXPECT_THAT(d, StartsWith("Select the files that you want to be created.\r\n\r\nIf a checkmark appears"));
  EXPECT_THAT(d, HasSubstr("created without worry.\r\n\r\nNote that if you create"));
  EXPECT_THAT(d, EndsWith("' button below."));  // no final line break
  EXPECT_THAT(RunningDirections(), StartsWith("CTG Tilbo is now converting the files.\r\n\r\nThe text"));
}

}  // namespace
}  // namespace tilbo
