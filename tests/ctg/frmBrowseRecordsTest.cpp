#include "ctg/frmBrowseRecords.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "ctg/CTGFile.h"
#include "support/CTGTestFiles.h"
#include "support/ScriptedPrompter.h"

namespace tilbo {
namespace {

using namespace tilbo::testing;
using ::testing::AllOf;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::FieldsAre;
using ::testing::SizeIs;

class frmBrowseRecords : public ::testing::Test {
 protected:
  void SetUp() override { CTG_ResetModuleForTesting(); }

  // A browser showing cell 1 of a file of `cells` data records coded 41, 42,
  // ...; of a missing file when `cells` is negative.
  tilbo::frmBrowseRecords& Browser(int cells) {
    const std::string path = dir_.file("quad" + std::to_string(cells));
    if (cells >= 0) {
      std::string bytes = ValidHeader(2L * cells);
      for (int k = 1; k <= cells; ++k) {
        bytes += DataRecord(14, 400000 + 200 * k, 5000000 - 200 * k, std::to_string(40 + k));
      }
      WriteWholeFile(path, bytes);
    }
    const int16_t handle = CTG_AllocateHandle();
    CTG_SetFileName(handle, path);
    browser_.emplace(prompter_, loaded_);
    browser_->Load();
    browser_->hCTGFile = handle;
    browser_->ShowRec();
    return *browser_;
  }

  TempDir dir_;
  ScriptedPrompter prompter_;
  bool loaded_ = false;
  std::optional<tilbo::frmBrowseRecords> browser_;
};

TEST_F(frmBrowseRecords, ShowsACellStepsWithinTheFileAndGoesToTypedNumbers) {
  tilbo::frmBrowseRecords& b = Browser(9);
  EXPECT_TRUE(loaded_);
  EXPECT_THAT(std::tie(b.lblCellNumber, b.lblUTME, b.lblUTMN, b.lblUTMZone, b.lblUSGSLULC, b.txtRecNum),
              FieldsAre("1 (of 9)", "400200m", "4999800m", "14", "Forest Land: Deciduous (41)", "1"));
  b.cmdPrev_Click();  // on cell 1 shows cell 1 again
  EXPECT_EQ(b.RecNum, 1);
  b.cmdNext_Click();
  EXPECT_EQ(b.lblUTME, "400400m");
  b.cmdEnd_Click();
  EXPECT_EQ(b.lblCellNumber, "9 (of 9)");
  b.cmdNext_Click();  // on the last cell shows it again
  EXPECT_EQ(b.RecNum, 9);
  b.cmdFirstRecord_Click();
  EXPECT_EQ(b.RecNum, 1);
  b.txtRecNum_Change("7.6");
  b.cmdGo_Click();
  EXPECT_EQ(std::tie(b.RecNum, b.txtRecNum, b.lblCellNumber), std::make_tuple(8, "8", "8 (of 9)"));
  for (const char* typed : {"0", "-2", "10", "abc", "99999999999"}) {
    b.txtRecNum_Change(typed);
    b.cmdGo_Click();
    EXPECT_EQ(std::tie(b.RecNum, b.txtRecNum, b.txtRecNumSelectAll), std::make_tuple(8, "8", true)) << typed;
  }
  EXPECT_THAT(prompter_.Texts(), AllOf(SizeIs(5), Each("The cell number you entered is not a valid cell number.  "
                                                        "Please enter a number between 1 and 9.")));
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Exclamation);
  b.cmdCloseWindow_Click();
  EXPECT_FALSE(loaded_);
}

TEST_F(frmBrowseRecords, AFileThatCannotBeReadClosesTheWindow) {
  Browser(0);  // no data records: cell 1 is out of range
  EXPECT_FALSE(loaded_);
  Browser(-1);
  EXPECT_FALSE(loaded_);
  EXPECT_THAT(prompter_.Texts(),
              ElementsAre("There was an error while trying to read the file.  This window will now close.",
                          "The file could not be accessed.  This window will now close."));
  EXPECT_EQ(prompter_.shown[0].icon, MessageIcon::Critical);
}

}  // namespace
}  // namespace tilbo
