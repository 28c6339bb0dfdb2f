#pragma once
// The desktop program: the main window and its event loop. The shared module
// ctgtilbo_ui exports it to the ctgtilbo executable as
// `extern "C" int CtgTilboRunDesktop(int argc, char** argv)`, so that the
// executable itself needs no GUI library (AutoConvert runs without one).

namespace tilbo::ui {

// Runs the desktop program until its main window closes; returns the exit
// status (0 when the window closed normally). Uses the running QApplication
// when there is one, otherwise makes its own from argc and argv.
int RunDesktop(int argc, char** argv);

}  // namespace tilbo::ui

extern "C" int CtgTilboRunDesktop(int argc, char** argv);
