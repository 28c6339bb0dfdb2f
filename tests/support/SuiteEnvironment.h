#pragma once
// Gives a test its own program, Windows and suite directories (the three
// CTGTILBO_* variables) and fresh suite state, so nothing touches the real home.

#include "support/TempDir.h"
#include "suite/ActiveProcedures.h"
#include "suite/SuiteConfig.h"
#include "suite/TechLog.h"

namespace tilbo::testing {

class SuiteEnvironment {
 public:
  SuiteEnvironment() { Reset(); }
  ~SuiteEnvironment() { Reset(); }
  SuiteEnvironment(const SuiteEnvironment&) = delete;
  SuiteEnvironment& operator=(const SuiteEnvironment&) = delete;

  TempDir home;     // CTGTILBO_HOME: the program's own directory
  TempDir windows;  // CTGTILBO_WINDOWS_DIR: where bare INI names resolve
  TempDir suite;    // CTGTILBO_SUITE_DIR: QMGAV32.INI, QMTECSUP.TXT

 private:
  static void Reset() {
    ResetConfigForTesting();
    ResetTechLogForTesting();
    ClearActiveProcedures();
  }
  ScopedEnv homeVar_{"CTGTILBO_HOME", home.path().string()};
  ScopedEnv windowsVar_{"CTGTILBO_WINDOWS_DIR", windows.path().string()};
  ScopedEnv suiteVar_{"CTGTILBO_SUITE_DIR", suite.path().string()};
};

}  // namespace tilbo::testing
