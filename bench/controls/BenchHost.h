// The top-level window the control benchmarks put their controls in: the window system reset first (which also
// removes application classes, so the host's class is registered again each time), 800 x 600 pixels.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/window/Pump.h"

#include <cstdlib>

inline HWND BenchHost(DWORD style = WS_POPUP) {
  plat::ResetWindowSystem();
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "BenchHost";
  RegisterClass(&wc);
  HWND host = CreateWindowEx(0, "BenchHost", "", style, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
  if (!host) std::abort();
  return host;
}
