// The start of the editing features' benchmarks: the grid library with its cells and features, the grid
// window class, message boxes answered OK, and a pump for what a window posted.
#pragma once

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/framework/ControlCodes.h"
#include "platform/window/AutomationProvider.h"

namespace featurebench {

inline void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("gridfeatures-bench"));
  plat::Desktop::Configure(1024, 768);
  static plat::ScriptedAutomation automation;
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
  plat::SetAutomationProvider(&automation);
  GXRegisterCellControls();
  GXRegisterEditingFeatures();
  InitGridLibrary();
  WNDCLASS wc{};
  if (!GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc)) {
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = "GXWND";
    RegisterClass(&wc);
  }
}

inline void Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

}  // namespace featurebench
