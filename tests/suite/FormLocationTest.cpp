#include "suite/FormLocation.h"

#include <gtest/gtest.h>

#include "suite/IniAccess.h"
#include "suite/SuiteConfig.h"
#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::WriteWholeFile;

// An 800 x 600 window designed at (100, 50).
WindowPlacement MainWindow() { return WindowPlacement{"frmMain", 100, 50, 800, 600, false, false}; }

TEST(SaveFormLoc, WritesLeftAndTopUnlessMinimisedOrMaximised) {
  SuiteEnvironment env;
  Config().userDefaultsIniPath = env.home.file("QMDEFAULTS.INI");
  WindowPlacement w = MainWindow();
  SaveFormLoc(w, " ", "");
  EXPECT_EQ(ReadWholeFile(Config().userDefaultsIniPath), "[CONFIG]\r\nfrmMain-X=100\r\nfrmMain-Y=50\r\n");
  w.left = 5;
  w.minimized = true;
  SaveFormLoc(w, "", "");
  w.minimized = false;
  w.maximized = true;
  SaveFormLoc(w, "", "");
  EXPECT_EQ(ReadINI("CONFIG", "frmMain-X", "", Config().userDefaultsIniPath), "100");

  const std::string other = env.home.file("other.ini");
  w.maximized = false;
  SaveFormLoc(w, "Conv", other);
  EXPECT_EQ(ReadINI("CONFIG", "frmMain Conv-X", "", other), "5");
}

// On a 1920 x 1080 screen, with the defaults x and y given to the call.
TEST(RestoreFormLoc, SavedPositionDefaultsAndOffScreenWindows) {
  const struct {
    const char* saved;  // the CONFIG lines
    double x, y;
    int left, top;
  } cases[] = {
      {"", -88, -88, 100, 50},  // nothing saved, defaults below 1: where it was designed
      {"", 300, 200, 300, 200},
      {"frmMain-X=640.5\nfrmMain-Y=  12\n", 300, 200, 640, 12},  // "." as decimal mark, rounded
      {"frmMain-X=-20\nfrmMain-Y=-1\n", -88, -88, 192, 108},     // negative: a tenth of the screen
      {"frmMain-X=2500\nfrmMain-Y=100\n", -88, -88, 560, 240},   // beyond the right edge: centred
      {"frmMain-X=1900\nfrmMain-Y=100\n", -88, -88, 560, 240},   // its first tenth beyond the edge
      {"frmMain-X=1840\nfrmMain-Y=1020\n", -88, -88, 1840, 1020},
      {"frmMain-X=10\nfrmMain-Y=1030\n", -88, -88, 560, 240},  // below the bottom edge
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.saved);
    SuiteEnvironment env;
    const std::string ini = env.home.file("QMDEFAULTS.INI");
    WriteWholeFile(ini, std::string("[CONFIG]\n") + c.saved);
    WindowPlacement w = MainWindow();
    RestoreFormLoc(w, c.x, c.y, " ", ini, ScreenGeometry{1920, 1080});
    EXPECT_EQ(w.left, c.left);
    EXPECT_EQ(w.top, c.top);
  }
}

}  // namespace
}  // namespace tilbo
