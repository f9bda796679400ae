// The grid window classes of the tests: every test's window-system reset drops what the grid library's start-up
// registered, and each test fixture registers it again through this one helper.
#pragma once

#include "grid/core/CGXGridWnd.h"
#include "platform/base/ResourceTable.h"

namespace gxtest {

// "GXWND", which the start-up registers for grids made by class name, and the grid window's own classes.
inline void RegisterGridWindowClasses() {
  HINSTANCE instance = AfxGetInstanceHandle();
  WNDCLASS wc{};
  if (!GetClassInfo(instance, "GXWND", &wc)) {
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "GXWND";
    RegisterClass(&wc);
  }
  CGXGridWnd::RegisterClass(instance);
}

}  // namespace gxtest
