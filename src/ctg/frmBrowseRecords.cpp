#include "ctg/frmBrowseRecords.h"

#include <cmath>
#include <limits>

#include "ctg/CTGFile.h"
#include "ctg/LULCCodes.h"
#include "suite/NumberFormat.h"
#include "suite/NumericValue.h"
#include "suite/Rounding.h"
#include "suite/Version.h"

namespace tilbo {

frmBrowseRecords::frmBrowseRecords(Prompter& prompter, bool& loadedFlag)
    : prompter_(prompter), loadedFlag_(loadedFlag) {}

frmBrowseRecords::~frmBrowseRecords() {
  if (loaded) Unload();
}

void frmBrowseRecords::Load() {
  loaded = true;
  loadedFlag_ = true;
}

void frmBrowseRecords::Unload() {
  loaded = false;
  loadedFlag_ = false;
}

void frmBrowseRecords::ShowRec() {
  if (!CTG_IsOpen(hCTGFile)) {
    CTG_Open(hCTGFile);
    if (CTG_LastError() != kCTGNoError) {
      prompter_.ShowMessage(MessageIcon::Critical, "The file could not be accessed.  This window will now close.",
                            kProgramTitle);
      Unload();
      return;
    }
  }
  const CTGCell cell = CTG_ReadCell(hCTGFile, RecNum);
  if (CTG_LastError() != kCTGNoError) {
    prompter_.ShowMessage(MessageIcon::Critical,
                          "There was an error while trying to read the file.  This window will now close.",
                          kProgramTitle);
    Unload();
    return;
  }
  lblCellNumber = std::to_string(RecNum) + " (of " + std::to_string(CTG_RecordCount(hCTGFile)) + ")";
  lblUTME = std::to_string(cell.Easting) + "m";
  lblUTMN = std::to_string(cell.Northing) + "m";
  lblUTMZone = std::to_string(cell.UTMZone);
  lblUSGSLULC = LULCCodeDescription(cell.LULCCode) + " (" + std::to_string(cell.LULCCode) + ")";
  txtRecNum = FormatPicture(RecNum, "###");
  txtRecNumSelectAll = false;
}

void frmBrowseRecords::cmdFirstRecord_Click() {
  RecNum = 1;
  ShowRec();
}

void frmBrowseRecords::cmdPrev_Click() {
  if (RecNum > 1) --RecNum;
  ShowRec();
}

void frmBrowseRecords::cmdNext_Click() {
  if (RecNum < CTG_RecordCount(hCTGFile)) ++RecNum;
  ShowRec();
}

void frmBrowseRecords::cmdEnd_Click() {
  RecNum = CTG_RecordCount(hCTGFile);
  ShowRec();
}

void frmBrowseRecords::cmdGo_Click() {
  if (IsNumericText(txtRecNum)) txtRecNum = FormatPicture(RoundHalfEven(NumericValue(txtRecNum)), "###");
  const int32_t count = CTG_RecordCount(hCTGFile);
  // A text that is not a number, or too large for a cell number, is as invalid
  // as a number out of range.
  std::optional<int32_t> number;
  if (IsNumericText(txtRecNum)) number = RoundToInt<int32_t>(NumericValue(txtRecNum));
  if (!number || *number > count || *number < 1) {
    prompter_.ShowMessage(MessageIcon::Exclamation,
                          "The cell number you entered is not a valid cell number.  Please enter a number between 1 "
                          "and " +
                              std::to_string(count) + ".",
                          kProgramTitle);
    txtRecNum = FormatPicture(RecNum, "###");
    txtRecNumSelectAll = true;
    return;
  }
  RecNum = *number;
  ShowRec();
}

}  // namespace tilbo
