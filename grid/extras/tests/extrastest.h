// The fixture of the formatted-input cell tests: the cell-control fixture with this library registered
// before the grid library starts, as the demo program and the module do, and a plain parent window for the
// windows tested on their own.
#pragma once

#include "grid/controls/tests/recordinggrid.h"
#include "grid/extras/GXExtras.h"
#include "platform/controls/ControlSupport.h"
#include "platform/window/Inspect.h"

namespace extrastest {

using enginetest::Log;

// A top-level window that records the WM_COMMAND notifications its children send.
class NotifyParent : public CWnd {
 public:
  NotifyParent() {
    CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr);
  }
  ~NotifyParent() override {
    if (m_hWnd) DestroyWindow();
  }
  Log Take() {
    Log taken;
    taken.swap(log);
    return taken;
  }
  Log log;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM) override {
    log.push_back("command " + std::to_string(LOWORD(wParam)) + " " + std::to_string(HIWORD(wParam)));
    return TRUE;
  }
};

class ExtrasTest : public enginetest::CellControlTest {
 protected:
  void SetUp() override {
    GXRegisterExtras();
    enginetest::CellControlTest::SetUp();
    plat::controls::RegisterControlClasses();  // the system edit, which the window system's reset dropped
    plat::ClearRecordedBeeps();
  }
  // The text a cell shows under its composed style, as its control gives it.
  static CString DisplayText(CGXGridCore* g, ROWCOL row, ROWCOL col) {
    CGXStyle style;
    g->ComposeCellStyle(row, col, style);
    CString out;
    g->ControlForCell(row, col)->GetDisplayText(out, row, col, nullptr, style);
    return out;
  }
  // A screen point at client (x, y) of a window.
  static POINT At(HWND h, int x, int y) { return plat::InputRouter::ClientPoint(h, x, y); }
};

}  // namespace extrastest
