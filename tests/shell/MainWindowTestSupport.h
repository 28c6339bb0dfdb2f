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
#include "support/TestHost.h"
#include "suite/NumberFormat.h"

namespace tilbo::testing {


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
  TestHost host;

 private:
  NumberSeparators english_{".", ","};
  std::optional<frmMain> main_;
};

}  // namespace tilbo::testing
