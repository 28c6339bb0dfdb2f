#include "ctg/frmBrowseRecords.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "ctg/CTGFile.h"
#include "suite/NumberFormat.h"
#include "support/CTGTestFiles.h"
#include "support/ScriptedPrompter.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::FieldsAre;

class frmBrowseRecords : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }
  void TearDown() override { CTG_ResetModuleForTesting(); }

  // A file of `cells` data records; codes 41, 42, ... and cell 3 coded 2000000101.
  int16_t OpenFile(int cells) {
    std::string bytes = ValidHeader(2L * cells);
    for (int k = 1; k <= cells; ++k) {
      bytes += DataRecord(14, 400000 + 200 * k, 5000000 - 200 * k, k == 3 ? "2000000101" : std::to_string(40 + k));
    }
    WriteWholeFile(dir_.file("quad"), bytes);
    const int16_t handle = CTG_AllocateHandle();
    CTG_SetFileName(handle, dir_.file("quad"));
    return handle;
  }

  tilbo::frmBrowseRecords& Browser(int16_t handle) {
    browser_.emplace(prompter_, loaded_);
    browser_->Load();
    browser_->hCTGFile = handle;
    browser_->RecNum = 1;
    browser_->ShowRec();
    return *browser_;
  }

  TempDir dir_;
  ScriptedPrompter prompter_;
  bool loaded_ = false;
  std::optional<tilbo::frmBrowseRecords> browser_;
};

TEST_F(frmBrowseRecords, ShowsACellAndStepsWithinTheFile) {
  tilbo::frmBrowseRecords& b = Browser(OpenFile(9));
  EXPECT_TRUE(loaded_);
  EXPECT_TRUE(CTG_IsOpen(b.hCTGFile));  // opened when needed
  EXPECT_THAT(std::tie(b.lblCellNumber, b.lblUTME, b.lblUTMN, b.lblUTMZone, b.lblUSGSLULC, b.txtRecNum),
              FieldsAre("1 (of 9)", "400200m", "4999800m", "14", "Forest Land: Deciduous (41)", "1"));

  b.cmdPrev_Click();  // on cell 1 shows cell 1 again
  EXPECT_EQ(b.RecNum, 1);
  b.cmdNext_Click();
  b.cmdNext_Click();
  EXPECT_EQ(b.lblUSGSLULC, "LAND AREA UNDEFINED BY CODING SCHEME (101)");
  b.cmdEnd_Click();
  EXPECT_EQ(b.lblCellNumber, "9 (of 9)");
  b.cmdNext_Click();  // on the last cell shows it again
  EXPECT_EQ(b.RecNum, 9);
  b.cmdFirstRecord_Click();
  EXPECT_EQ(b.RecNum, 1);
  EXPECT_TRUE(prompter_.shown.empty());
  b.cmdCloseWindow_Click();
  EXPECT_FALSE(loaded_);
}

TEST_F(frmBrowseRecords, GoRoundsTypedNumbersAndRefusesThoseOutOfRange) {
  tilbo::frmBrowseRecords& b = Browser(OpenFile(9));
  b.txtRecNum_Change("7.6");
  b.cmdGo_Click();
  EXPECT_EQ(b.RecNum, 8);
  EXPECT_EQ(b.txtRecNum, "8");
  EXPECT_EQ(b.lblCellNumber, "8 (of 9)");

  for (const char* typed : {"0", "-2", "10", "abc", "99999999999"}) {
    b.txtRecNum_Change(typed);
    b.cmdGo_Click();
    ASSERT_FALSE(prompter_.shown.empty()) << typed;
    EXPECT_EQ(prompter_.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(prompter_.shown.back().text,
              "The cell number you entered is not a valid cell number.  Please enter a number between 1 and 9.");
    EXPECT_EQ(b.RecNum, 8) << typed;
    EXPECT_EQ(b.txtRecNum, "8");
    EXPECT_TRUE(b.txtRecNumSelectAll);
  }
  EXPECT_EQ(prompter_.shown.size(), 5u);
}

TEST_F(frmBrowseRecords, AFileThatCannotBeReadClosesTheWindow) {
  Browser(OpenFile(0));  // no data records: cell 1 is out of range
  ASSERT_EQ(prompter_.shown.size(), 1u);
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(prompter_.shown[0].text, "There was an error while trying to read the file.  This window will now close.");
  EXPECT_FALSE(loaded_);

  const int16_t missing = CTG_AllocateHandle();
  CTG_SetFileName(missing, dir_.file("missing"));
  Browser(missing);
  EXPECT_EQ(prompter_.shown.back().text, "The file could not be accessed.  This window will now close.");
  EXPECT_FALSE(loaded_);
}

}  // namespace
}  // namespace tilbo
