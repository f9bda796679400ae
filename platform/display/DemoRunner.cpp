#include "platform/display/DemoRunner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/framework/CWinThread.h"
#include "platform/window/Pump.h"
#include "platform/window/windowapi.h"

namespace plat {
namespace {

int Headless(const DemoProgram& demo, const char* path) {
  // A screenshot shows the same date whenever it is taken, so that it can be compared with its reference.
  VirtualClock::FixTimeOfDay();
  Desktop::Configure(demo.desktopWidth, demo.desktopHeight);
  HWND main = demo.buildWindows();
  RunUntilIdle();
  if (!Desktop::SaveScreenshot(path)) {
    std::fprintf(stderr, "%s: cannot write %s\n", demo.name, path);
    return 1;
  }
  DestroyWindow(main);
  std::printf("%s\n", path);
  return 0;
}

void CloseMainWindow(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

int OnScreen(const DemoProgram& demo, int seconds) {
  Desktop::Configure(demo.desktopWidth, demo.desktopHeight);
  HWND main = demo.buildWindows();
  SdlPresenter presenter(demo.name);
  if (!presenter.IsOpen()) {
    std::fprintf(stderr, "%s: no display for the presenter (is DISPLAY set?)\n", demo.name);
    return 1;
  }
  if (seconds > 0) SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), CloseMainWindow);
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0)) {
    // As an application's loop: windows see their messages first (a modeless dialog's Tab, Enter, Esc).
    if (AfxGetThread()->PreTranslateMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  if (IsWindow(main)) DestroyWindow(main);
  return static_cast<int>(msg.wParam);
}

}  // namespace

int RunDemo(const DemoProgram& demo, int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--png") == 0) return Headless(demo, argv[2]);
  if (argc >= 2 && std::strcmp(argv[1], "--screen") == 0) {
    const int seconds = argc >= 4 && std::strcmp(argv[2], "--seconds") == 0 ? std::atoi(argv[3]) : 0;
    return OnScreen(demo, seconds);
  }
  std::fprintf(stderr, "usage: %s --png out.png | --screen [--seconds N]\n", demo.name);
  return 2;
}

}  // namespace plat
