// Ctrl+F and Ctrl+H of the demo's grids: a message hook sees the key before any window does and turns the
// message into a request to a hidden window of its own, so the dialog opens when the loop dispatches it,
// outside the hook (the dialog's creation runs its own messages).
#include <algorithm>
#include <vector>

#include "grid/core/CGXGridFeatures.h"
#include "grid/demo/gallery.h"
#include "platform/base/ResourceTable.h"

namespace gallery {
namespace {

constexpr UINT kOpenDialog = WM_APP + 0x4F1;  // wParam: the grid window, lParam: find only

std::vector<HWND>& BoundGrids() {
  static std::vector<HWND> grids;
  return grids;
}

// The bound grid that holds the window (the grid itself or a cell's window inside it), or null.
HWND BoundGridOf(HWND window) {
  for (HWND w = window; w; w = GetParent(w))
    if (std::find(BoundGrids().begin(), BoundGrids().end(), w) != BoundGrids().end()) return IsWindow(w) ? w : nullptr;
  return nullptr;
}

LRESULT OpenerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != kOpenDialog) return DefWindowProc(h, m, w, l);
  const HWND gridWnd = reinterpret_cast<HWND>(w);
  auto* grid = IsWindow(gridWnd) ? dynamic_cast<CGXGridWnd*>(CWnd::FromHandlePermanent(gridWnd)) : nullptr;
  if (!grid) return 0;
  GXForwardArgs args;
  args.v[0] = static_cast<DWORD_PTR>(l);
  grid->FindReplaceForward0(args);
  return 0;
}

HWND Opener() {
  static HWND opener = nullptr;
  if (opener && IsWindow(opener)) return opener;
  WNDCLASS wc{};
  wc.lpfnWndProc = OpenerProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.lpszClassName = "GridDemoFindKeys";
  RegisterClass(&wc);
  opener = CreateWindowEx(0, "GridDemoFindKeys", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  return opener;
}

LRESULT FindKeys(int code, WPARAM removing, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removing == PM_REMOVE && msg && msg->message == WM_KEYDOWN &&
      (msg->wParam == 'F' || msg->wParam == 'H') && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 &&
      GetKeyState(VK_SHIFT) >= 0) {
    if (HWND grid = BoundGridOf(msg->hwnd); grid && Opener()) {
      const BOOL findOnly = msg->wParam == 'F';
      msg->hwnd = Opener();
      msg->message = kOpenDialog;
      msg->wParam = reinterpret_cast<WPARAM>(grid);
      msg->lParam = findOnly;
    }
  }
  return CallNextHookEx(nullptr, code, removing, lParam);
}

}  // namespace

void BindFindReplaceKeys(CGXGridWnd* grid) {
  // Hooked again at each binding: a reset window system (between tests) forgets its hooks.
  static HHOOK hook = nullptr;
  if (hook) UnhookWindowsHookEx(hook);
  hook = SetWindowsHookEx(WH_GETMESSAGE, FindKeys, nullptr, GetCurrentThreadId());
  if (!grid || !grid->GridHwnd()) return;
  auto& grids = BoundGrids();
  grids.erase(std::remove_if(grids.begin(), grids.end(), [](HWND h) { return !IsWindow(h); }), grids.end());
  grids.push_back(grid->GridHwnd());
}

}  // namespace gallery
