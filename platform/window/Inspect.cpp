#include "platform/window/Inspect.h"

#include "platform/gdi/SysColors.h"
#include "platform/window/Cursors.h"
#include "platform/window/WindowManager.h"

namespace plat {

int PaintCount(HWND hwnd) {
  Window* w = WindowManager::Instance().Get(hwnd);
  return w ? w->paintCount : 0;
}

int EraseCount(HWND hwnd) {
  Window* w = WindowManager::Instance().Get(hwnd);
  return w ? w->eraseCount : 0;
}

RectList UpdateRegion(HWND hwnd) {
  Window* w = WindowManager::Instance().Get(hwnd);
  return w ? w->update : RectList();
}

std::string CurrentCursorName() { return Cursors::Instance().Describe(Cursors::Instance().Current()); }

bool SetPreDispatchHook(HWND hwnd, PreDispatchHook hook) {
  Window* w = WindowManager::Instance().Get(hwnd);
  if (!w) return false;
  w->preDispatch = std::move(hook);
  return true;
}

}  // namespace plat

BOOL SetSysColors(int count, const INT* indexes, const COLORREF* colors) {
  if (!plat::SetSysColorValues(count, indexes, colors)) return FALSE;
  plat::WindowManager& wm = plat::WindowManager::Instance();
  std::vector<HWND> tops = wm.Get(wm.Desktop())->children;
  for (HWND t : tops) wm.Send(t, WM_SYSCOLORCHANGE, 0, 0);
  for (HWND t : tops) {
    if (plat::Window* w = wm.Get(t)) {
      w->ncPaint = true;
      wm.Invalidate(t, nullptr, true, plat::WindowManager::Children::All);
    }
  }
  return TRUE;
}
