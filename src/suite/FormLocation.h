#pragma once
// Saving and restoring where a window stands, over plain data: the window
// layer copies its geometry (pixels) in and out.

#include <string>

namespace tilbo {

struct WindowPlacement {
  std::string name;  // the window's name, e.g. "frmMain"
  int left = 0, top = 0, width = 0, height = 0;
  bool minimized = false, maximized = false;
};

// The available screen area in pixels.
struct ScreenGeometry {
  int width = 0, height = 0;
};

// Writes left and top in section "CONFIG" under trim(name + " " + prefix) +
// "-X" and "-Y" (a blank file means the user-defaults INI). Nothing is saved
// while the window is minimised or maximised.
void SaveFormLoc(const WindowPlacement& window, const std::string& prefix, std::string file);

// Moves the window to the saved position (defaults: x and y, or the window's
// own left and top when the given value is below 1). A negative left becomes a
// tenth of the screen width, a negative top a tenth of its height; a window
// whose first tenth would lie beyond the screen's right or bottom edge is
// centred instead.
void RestoreFormLoc(WindowPlacement& window, double x, double y, const std::string& prefix, std::string file,
                    const ScreenGeometry& screen);

// Centres the window on the screen.
void setFormCenter(WindowPlacement& window, const ScreenGeometry& screen);

}  // namespace tilbo
