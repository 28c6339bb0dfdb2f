#pragma once
// The main window's host when there is no window: no file dialog, no cursor,
// and the conversion runs where it is set up (AutoConvert). Tests derive from
// it to answer the dialogs themselves.

#include "shell/frmMain.h"

namespace tilbo {

class HeadlessHost : public MainWindowHost {
 public:
  std::optional<std::string> ChooseSourceFile(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void SetBusyCursor(bool) override {}
  // A common desktop size, so that restored window positions stay sensible.
  ScreenGeometry Screen() const override { return ScreenGeometry{1920, 1080}; }
  bool ShowsWindows() const override { return false; }
  void ShowConversionModal(frmConversion&) override {}
  void ShowRecordBrowser(frmBrowseRecords&) override {}
  void CloseRecordBrowser() override {}
  void ShowDirectoryPickerModal(frmDirectories&) override {}
};

}  // namespace tilbo
