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

const ScreenGeometry kScreen{1920, 1080};

WindowPlacement MainWindow() {
  WindowPlacement w;
  w.name = "frmMain";
  w.left = 100;
  w.top = 50;
  w.width = 800;
  w.height = 600;
  return w;
}

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

TEST(RestoreFormLoc, SavedPositionOrDefaults) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  WindowPlacement w = MainWindow();
  // Nothing saved, given values below 1: the window stays where it was designed.
  RestoreFormLoc(w, -88, -88, " ", ini, kScreen);
  EXPECT_EQ(w.left, 100);
  EXPECT_EQ(w.top, 50);
  // Nothing saved, given values: those.
  RestoreFormLoc(w, 300, 200, " ", ini, kScreen);
  EXPECT_EQ(w.left, 300);
  EXPECT_EQ(w.top, 200);
  // Saved values win, read with "." as decimal mark and rounded.
  WriteWholeFile(ini, "[CONFIG]\nfrmMain-X=640.5\nfrmMain-Y=  12\n");
  RestoreFormLoc(w, 300, 200, " ", ini, kScreen);
  EXPECT_EQ(w.left, 640);
  EXPECT_EQ(w.top, 12);
}

TEST(RestoreFormLoc, NegativeAndOffScreenPositions) {
  SuiteEnvironment env;
  const std::string ini = env.home.file("QMDEFAULTS.INI");
  WindowPlacement w = MainWindow();
  WriteWholeFile(ini, "[CONFIG]\nfrmMain-X=-20\nfrmMain-Y=-1\n");
  RestoreFormLoc(w, -88, -88, "", ini, kScreen);
  EXPECT_EQ(w.left, 192);
  EXPECT_EQ(w.top, 108);

  // Beyond the right edge (a smaller screen than when saved): centred.
  WriteWholeFile(ini, "[CONFIG]\nfrmMain-X=2500\nfrmMain-Y=100\n");
  RestoreFormLoc(w, -88, -88, "", ini, kScreen);
  EXPECT_EQ(w.left, (1920 - 800) / 2);
  EXPECT_EQ(w.top, (1080 - 600) / 2);

  // The first tenth of the window must be on the screen: 1900 + 80 > 1920.
  WriteWholeFile(ini, "[CONFIG]\nfrmMain-X=1900\nfrmMain-Y=100\n");
  RestoreFormLoc(w, -88, -88, "", ini, kScreen);
  EXPECT_EQ(w.left, 560);
  // 1840 + 80 is not beyond 1920: kept.
  WriteWholeFile(ini, "[CONFIG]\nfrmMain-X=1840\nfrmMain-Y=1020\n");
  RestoreFormLoc(w, -88, -88, "", ini, kScreen);
  EXPECT_EQ(w.left, 1840);
  EXPECT_EQ(w.top, 1020);
  // Below the bottom edge: centred.
  WriteWholeFile(ini, "[CONFIG]\nfrmMain-X=10\nfrmMain-Y=1030\n");
  RestoreFormLoc(w, -88, -88, "", ini, kScreen);
  EXPECT_EQ(w.left, 560);
  EXPECT_EQ(w.top, 240);
}

}  // namespace
}  // namespace tilbo
