#pragma once
// The record browser ("Browse File Records") as a logic object: steps through
// the cells of the CTG file the main window has chosen, one at a time. It
// reads through the main window's reader handle and never changes the file.

#include <cstdint>
#include <string>

#include "suite/Prompter.h"

namespace tilbo {

class frmBrowseRecords {
 public:
  // `loadedFlag` is the main window's flag that a browser is loaded.
  frmBrowseRecords(Prompter& prompter, bool& loadedFlag);
  ~frmBrowseRecords();
  frmBrowseRecords(const frmBrowseRecords&) = delete;
  frmBrowseRecords& operator=(const frmBrowseRecords&) = delete;

  void Load();
  void Unload();
  // Shows cell RecNum of file hCTGFile; a file that cannot be opened or read
  // closes the window after saying so.
  void ShowRec();

  void cmdFirstRecord_Click();
  void cmdPrev_Click();
  void cmdNext_Click();
  void cmdEnd_Click();
  void cmdGo_Click();
  void cmdCloseWindow_Click() { Unload(); }
  void txtRecNum_Change(const std::string& text) { txtRecNum = text; }

  int16_t hCTGFile = -1;
  int32_t RecNum = 1;

  // Controls
  std::string lblCellNumber, lblUTME, lblUTMN, lblUTMZone, lblUSGSLULC;
  std::string txtRecNum;
  bool txtRecNumSelectAll = false;  // the Go box's text was selected and given the focus
  bool loaded = false;

 private:
  Prompter& prompter_;
  bool& loadedFlag_;
};

}  // namespace tilbo
