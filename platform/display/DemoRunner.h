// The command line shared by the project's small demonstration programs:
//
//   <program> --png out.png            headless: builds the windows, paints, writes a screenshot of the desktop;
//                                      the time of day is fixed (VirtualClock::FixTimeOfDay)
//   <program> --screen [--seconds N]   on screen through the SDL2 presenter until the main window closes
//                                      (or N seconds have passed)
//
// The program supplies its name, the desktop size and a function that builds its windows and returns the
// main one; the main window's WM_DESTROY is expected to post the quit message.
#pragma once

#include <functional>

#include "platform/base/wintypes.h"

namespace plat {

struct DemoProgram {
  const char* name;
  int desktopWidth;
  int desktopHeight;
  std::function<HWND()> buildWindows;
};

// Runs the demo as the command line asks; the process exit code (2 for a command line it does not know).
int RunDemo(const DemoProgram& demo, int argc, char** argv);

}  // namespace plat
