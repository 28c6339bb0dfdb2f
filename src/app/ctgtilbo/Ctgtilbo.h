#pragma once
// ctgtilbo, the program: help, version, the option check, AutoConvert and the
// desktop launch as one function, so tests run it in-process and read what it
// printed from string streams.

#include <iosfwd>
#include <string>
#include <vector>

namespace tilbo {

// The variables that decide whether the window can open (null when unset).
struct Environment {
  const char* display = nullptr;         // DISPLAY
  const char* waylandDisplay = nullptr;  // WAYLAND_DISPLAY
  const char* qtPlatform = nullptr;      // QT_QPA_PLATFORM
  const char* runtimeDir = nullptr;      // XDG_RUNTIME_DIR
  static Environment OfProcess();
};

// `args` as the program gets them, its name first. Exit status: 0 converted,
// 1 not converted, 2 could not start, 3 converted from a source cut short,
// 128 + the signal's number when a signal ended the run, or the window's own.
int RunCtgtilbo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Environment& env);

}  // namespace tilbo
