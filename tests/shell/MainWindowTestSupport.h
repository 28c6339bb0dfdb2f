#pragma once
// A main window under test: its own suite directories, fresh reader and
// directory-list state, a scripted prompter, and a host whose dialogs answer
// from the test.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ctg/CTGFile.h"
#include "synth/CTGSynth.h"
#include "registry/LULCRetrievalAndRegistry.h"
#include "shell/frmMain.h"
#include "support/ScriptedPrompter.h"
#include "support/SuiteEnvironment.h"
#include "suite/NumberFormat.h"

namespace tilbo::testing {

class DialogHost final : public MainWindowHost {
 public:
  std::optional<std::string> nextFile;  // what the open-file dialog answers (nothing: cancelled)
  std::function<void(frmConversion&)> onConversion;
  std::function<void(frmDirectories&)> onPicker;
  int browsersShown = 0;
  int browsersClosed = 0;
  std::vector<bool> busy;

  std::optional<std::string> ChooseSourceFile(const std::string&, const std::string&, const std::string&) override {
    return nextFile;
  }
  void SetBusyCursor(bool b) override { busy.push_back(b); }
  ScreenGeometry Screen() const override { return ScreenGeometry{1600, 900}; }
  void ShowConversionModal(frmConversion& c) override {
    if (onConversion) onConversion(c);
  }
  void ShowRecordBrowser(frmBrowseRecords&) override { ++browsersShown; }
  void CloseRecordBrowser() override { ++browsersClosed; }
  void ShowDirectoryPickerModal(frmDirectories& p) override {
    if (onPicker) onPicker(p);
  }
};

// Fresh module state around each test.
struct ModuleReset {
  ModuleReset() { Reset(); }
  ~ModuleReset() { Reset(); }
  static void Reset() {
    CTG_ResetModuleForTesting();
    LRR_ResetModuleForTesting();
  }
};

class MainWindowFixture {
 public:
  MainWindowFixture() { OverrideSeparatorsForTesting(&english_); }
  ~MainWindowFixture() { OverrideSeparatorsForTesting(nullptr); }

  // The user-defaults INI once start-up has settled it.
  std::string DefaultsIni() const { return env.home.file("QMDEFAULTS.INI"); }

  // A small synthetic quadrangle (hash codes); returns its path.
  std::string MakeSource(const std::string& name, double south, double west, double height, double width,
                         int64_t badRecords = 0) {
    SynthOptions o;
    o.south = south;
    o.west = west;
    o.height = height;
    o.width = width;
    o.title = "TESTVILLE, XX 1:250,000 QUAD LU";
    o.dataDate = "1984";
    o.pattern = SynthPattern::kHash;
    o.badRecords = badRecords;
    const std::string path = data.file(name);
    if (!WriteSynthCTG(o, path).ok) throw std::runtime_error("synth failed");
    return path;
  }

  frmMain& Main(std::vector<std::string> args = {}) {
    main_.emplace(prompter, pump, host, CommandLine(std::move(args)));
    return *main_;
  }

  ModuleReset modules;
  SuiteEnvironment env;
  TempDir data;
  ScriptedPrompter prompter;
  CountingEventPump pump;
  DialogHost host;

 private:
  NumberSeparators english_{".", ","};
  std::optional<frmMain> main_;
};

}  // namespace tilbo::testing
