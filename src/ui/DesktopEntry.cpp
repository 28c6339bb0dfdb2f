// The one symbol the ctgtilbo_ui module exports (see ui/DesktopApp.h).

#include "ui/DesktopApp.h"

extern "C" __attribute__((visibility("default"))) int CtgTilboRunDesktop(int argc, char** argv) {
  return tilbo::ui::RunDesktop(argc, argv);
}
