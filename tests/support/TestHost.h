#pragma once
// The main window's host in tests: the unattended host, but showing windows,
// with the open-file dialog answering `source` (nothing: cancelled), the
// "modal" conversion window running the test's script, and the cursor and
// record-browser calls counted.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conversion/frmConversion.h"
#include "shell/HeadlessHost.h"

namespace tilbo::testing {

class TestHost final : public HeadlessHost {
 public:
  std::optional<std::string> source;
  // By default the conversion window is begun and then closed.
  std::function<void(frmConversion&)> onConversion = [](frmConversion& c) {
    c.RunConversion();
    c.RunConversion();
  };
  frmConversion* shown = nullptr;  // the conversion window while it is shown
  int browsersShown = 0, browsersClosed = 0;
  std::vector<bool> busy;

  std::string dialogTitle, dialogFilter;  // what the open-file dialog was last shown with

  std::optional<std::string> ChooseSourceFile(const std::string& title, const std::string& filter,
                                              const std::string&) override {
    dialogTitle = title;
    dialogFilter = filter;
    return source;
  }
  void SetBusyCursor(bool b) override { busy.push_back(b); }
  bool ShowsWindows() const override { return true; }
  void ShowConversionModal(frmConversion& c) override {
    shown = &c;
    if (onConversion) onConversion(c);
    shown = nullptr;
  }
  void ShowRecordBrowser(frmBrowseRecords&) override { ++browsersShown; }
  void CloseRecordBrowser() override { ++browsersClosed; }
};

}  // namespace tilbo::testing
