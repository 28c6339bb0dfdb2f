#pragma once
// Opening the desktop window from the ctgtilbo executable. The windows live
// in the shared module ctgtilbo_ui beside the executable, loaded only when
// the window is wanted: ctgtilbo itself links no GUI library, so AutoConvert
// runs on machines without a display or without Qt.

#include <optional>
#include <string>

namespace tilbo {

inline constexpr const char* kDesktopModuleName = "ctgtilbo_ui.so";
inline constexpr const char* kDesktopEntryPoint = "CtgTilboRunDesktop";

// Whether a window can be shown: an X11 or Wayland display is named, or Qt is
// told to use a platform that needs neither (offscreen, vnc, linuxfb, ...).
// Null or empty values count as unset.
bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform);

// Whether the display server the window would use answers: the X display's
// socket (local or TCP) or the Wayland socket (in `runtimeDir` unless the name
// is a path) accepts a connection. The toolkit ends the program with a core
// dump when it cannot reach the server it is told to use, so this is asked
// before it is loaded. A platform that needs no server always answers.
bool DisplayReachable(const char* display, const char* waylandDisplay, const char* qtPlatform,
                      const char* runtimeDir);

// The directory of the running executable, ending in "/" (empty when unknown).
std::string ExecutableDirectory();

// Where the module lies, ending in "/": beside the executable in a build
// tree, else in the module directory of an installation (the executable's
// directory followed by `installedRelative`, "../lib/ctgtilbo/" after
// `cmake --install`).
std::string DesktopModuleDirectory(const std::string& executableDirectory, const std::string& installedRelative);

struct DesktopLaunch {
  bool started = false;
  int status = 0;      // the window's exit status, when started
  std::string reason;  // why it could not start, otherwise
};

// Loads the module from `directory` and runs the desktop program.
DesktopLaunch RunDesktopModule(const std::string& directory, int argc, char** argv);

// The one line that tells a user without a window how to convert instead.
std::string AutoConvertHint(const std::string& reason);

}  // namespace tilbo
