// The classic entry points for update regions and synchronous painting.
#include "platform/gdi/SurfaceDC.h"
#include "platform/window/Painter.h"
#include "platform/window/WindowManager.h"

using plat::RectList;
using plat::Window;
using plat::WindowManager;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  WindowManager& wm = WindowManager::Instance();
  if (!hwnd) hwnd = wm.Desktop();  // NULL means the whole screen: every window repaints
  if (!wm.Get(hwnd)) return FALSE;
  if (wm.IsDesktop(hwnd)) {
    for (HWND top : wm.Get(hwnd)->children) wm.Invalidate(top, nullptr, erase != FALSE);
    return TRUE;
  }
  if (rect) {
    RectList r(*rect);
    wm.Invalidate(hwnd, &r, erase != FALSE);
  } else {
    wm.Invalidate(hwnd, nullptr, erase != FALSE);
  }
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  WindowManager& wm = WindowManager::Instance();
  if (!wm.Get(hwnd)) return FALSE;
  if (rect) {
    RectList r(*rect);
    wm.Validate(hwnd, &r);
  } else {
    wm.Validate(hwnd, nullptr);
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w) return FALSE;
  CRect box = w->update.Bounds();
  if (rect) *rect = box;
  if (erase && w->erase && !box.IsRectEmpty()) plat::Painter::UpdateNow(hwnd, false, true);
  return box.IsRectEmpty() ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  WindowManager& wm = WindowManager::Instance();
  if (!wm.Get(hwnd)) return FALSE;
  plat::Painter::UpdateNow(hwnd, true);
  return TRUE;
}

namespace {
RectList FromHandle(HRGN rgn, bool* ok) {
  RectList out;
  const plat::Region* r = plat::RegionOfHandle(rgn);
  *ok = r != nullptr;
  if (r)
    for (const RECT& rc : r->rects()) out.Add(rc);
  return out;
}
}  // namespace

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) { return plat::Painter::BeginPaint(hwnd, ps); }

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) { return plat::Painter::EndPaint(hwnd, ps) ? TRUE : FALSE; }

HDC GetDC(HWND hwnd) { return plat::Painter::GetDCEx(hwnd, nullptr, DCX_CACHE); }

HDC GetWindowDC(HWND hwnd) { return plat::Painter::GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_CACHE); }

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) { return plat::Painter::GetDCEx(hwnd, clip, flags); }

int ReleaseDC(HWND hwnd, HDC dc) { return plat::Painter::ReleaseDC(hwnd, dc); }

HWND WindowFromDC(HDC dc) { return plat::Painter::WindowFromDC(dc); }

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  if (!rgn) return InvalidateRect(hwnd, nullptr, erase);
  WindowManager& wm = WindowManager::Instance();
  bool ok = false;
  RectList r = FromHandle(rgn, &ok);
  if (!ok || !wm.Get(hwnd)) return FALSE;
  wm.Invalidate(hwnd, &r, erase != FALSE);
  return TRUE;
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
  if (!rgn) return ValidateRect(hwnd, nullptr);
  WindowManager& wm = WindowManager::Instance();
  bool ok = false;
  RectList r = FromHandle(rgn, &ok);
  if (!ok || !wm.Get(hwnd)) return FALSE;
  wm.Validate(hwnd, &r);
  return TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w || !plat::RegionOfHandle(rgn)) return ERROR;
  std::vector<RECT> rects(w->update.Rects().begin(), w->update.Rects().end());
  plat::Region region = plat::Region::fromRects(rects);
  plat::SetRgnRegion(rgn, region);
  if (erase && w->erase && !w->update.IsEmpty()) plat::Painter::UpdateNow(hwnd, false, true);
  return region.kind();
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN rgn, UINT flags) {
  WindowManager& wm = WindowManager::Instance();
  if (!hwnd) hwnd = wm.Desktop();
  Window* w = wm.Get(hwnd);
  if (!w) return FALSE;
  using Children = WindowManager::Children;
  Children children = (flags & RDW_ALLCHILDREN) ? Children::All
                      : (flags & RDW_NOCHILDREN) ? Children::None
                                                 : Children::Default;
  std::vector<HWND> targets{hwnd};
  if (wm.IsDesktop(hwnd)) targets = w->children;  // the desktop stands for every top-level window
  for (HWND h : targets) {
    Window* t = wm.Get(h);
    if (!t) continue;
    RectList area;
    const RectList* region = nullptr;
    if (rgn) {
      bool ok = false;
      area = FromHandle(rgn, &ok);
      if (!ok) return FALSE;
      region = &area;
    } else if (rect) {
      area = RectList(*rect);
      region = &area;
    }
    if (flags & RDW_INVALIDATE) {
      wm.Invalidate(h, region, (flags & RDW_ERASE) != 0, children);
      if (flags & RDW_FRAME) t->ncPaint = true;
      if (flags & RDW_INTERNALPAINT) t->internalPaint = true;
    }
    if (flags & RDW_VALIDATE) {
      wm.Validate(h, region, children);
      if (flags & RDW_NOFRAME) t->ncPaint = false;
      if (flags & RDW_NOINTERNALPAINT) t->internalPaint = false;
    }
    if (flags & RDW_NOERASE) t->erase = false;
    if (flags & RDW_UPDATENOW)
      plat::Painter::UpdateNow(h, children != Children::None);
    else if (flags & RDW_ERASENOW)
      plat::Painter::UpdateNow(h, children != Children::None, true);
  }
  return TRUE;
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN updateRgn,
                   LPRECT updateRect, UINT flags) {
  return plat::Painter::ScrollWindowEx(hwnd, dx, dy, scroll, clip, updateRgn, updateRect, flags);
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
  // The simple form moves the children too when the whole client area scrolls.
  UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
  return plat::Painter::ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR;
}

BOOL LockWindowUpdate(HWND hwnd) {
  // One window at a time may be locked: its drawing and invalidation are held back until unlocked, when
  // it repaints as a whole.
  static HWND locked = nullptr;
  WindowManager& wm = WindowManager::Instance();
  if (hwnd) {
    if (locked && wm.Get(locked)) return FALSE;
    Window* w = wm.Get(hwnd);
    if (!w) return FALSE;
    w->redraw = false;
    locked = hwnd;
    return TRUE;
  }
  if (Window* w = wm.Get(locked)) {
    w->redraw = true;
    wm.Invalidate(locked, nullptr, true, WindowManager::Children::All);
  }
  locked = nullptr;
  return TRUE;
}
