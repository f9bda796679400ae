#include "platform/framework/tests/FrameworkTest.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "platform/base/CodePage.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/DialogManager.h"
#include "platform/base/RegistryStore.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace plat::test {

namespace {

std::map<HWND, HFONT>& Fonts() {
  static std::map<HWND, HFONT> fonts;
  return fonts;
}

std::vector<int> g_gridKeys;

// The custom-class control of the test dialog: a grid-like window that keeps Tab, arrows and characters.
LRESULT GridProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_SETFONT: Fonts()[h] = reinterpret_cast<HFONT>(w); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(Fonts().count(h) ? Fonts()[h] : nullptr);
    case WM_NCDESTROY: Fonts().erase(h); return DefWindowProc(h, m, w, l);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_KEYDOWN: g_gridKeys.push_back(static_cast<int>(w)); return 0;
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r;
      GetClientRect(h, &r);
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      HPEN pen = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
      HGDIOBJ old = SelectObject(dc, pen);
      for (int x = 0; x < r.right; x += 40) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, r.bottom);
      }
      for (int y = 0; y < r.bottom; y += 16) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, r.right, y);
      }
      SelectObject(dc, old);
      DeleteObject(pen);
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProc(h, m, w, l);
  }
}

void Register(const char* name, WNDPROC proc) {
  WNDCLASS wc{};
  wc.style = CS_GLOBALCLASS;  // like the standard controls: found from any module
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(&wc);
}

}  // namespace

std::vector<int>& GridKeys() { return g_gridKeys; }

void FrameworkTest::SetUp() {
  SetInstanceHandle(ResourceTable::ModuleHandle("framework-tests"));
  ResetWindowSystem();
  VirtualClock::Reset();
  CWnd::DeleteTempMap();
  RegistryStore::Reset();
  Fonts().clear();
  g_gridKeys.clear();
  Register("TestGrid", GridProc);
  SetAutomationProvider(&automation);
}

void FrameworkTest::TearDown() {
  SetAutomationProvider(nullptr);
  ResetWindowSystem();
  CWnd::DeleteTempMap();
  Fonts().clear();
}

void FrameworkTest::Pump() {
  // The application's loop, without waiting: pre-translation (dialog keys) included.
  AfxPumpUntilIdle();
}

void FrameworkTest::Key(int vk) {
  InputRouter::Instance().KeyPress(vk);
  Pump();
}

void FrameworkTest::ShiftKey(int vk) {
  InputRouter& in = InputRouter::Instance();
  in.KeyDown(VK_SHIFT);
  in.KeyPress(vk);
  in.KeyUp(VK_SHIFT);
  Pump();
}

void FrameworkTest::Type(const char* text) {
  InputRouter::Instance().TypeText(text);
  Pump();
}

void FrameworkTest::ClickAt(HWND hwnd, int x, int y) {
  InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(hwnd, x, y));
  Pump();
}

std::string FrameworkTest::Text(HWND hwnd) {
  char text[512];
  GetWindowText(hwnd, text, sizeof text);
  return text;
}

}  // namespace plat::test
