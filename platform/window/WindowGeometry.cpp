// Window and client rectangles, placement, Z order and visibility.
#include <algorithm>
#include <vector>

#include "platform/gdi/SysColors.h"
#include "platform/window/NonClient.h"
#include "platform/window/WindowManager.h"

namespace plat {

// Private SetWindowPos flags telling DefWindowProc that the client area did not move or resize, so that
// WM_WINDOWPOSCHANGED turns into WM_MOVE and WM_SIZE only for what changed.
constexpr UINT kSwpNoClientSize = 0x0800;
constexpr UINT kSwpNoClientMove = 0x1000;

CRect WindowManager::ScreenRect(const Window& w) const {
  if (IsDesktop(w.hwnd)) return w.rect;
  const Window* p = Get(w.parent);
  if (!p || IsDesktop(w.parent)) return w.rect;
  return w.rect + ClientOrigin(*p);
}

CPoint WindowManager::ClientOrigin(const Window& w) const { return ScreenRect(w).TopLeft() + w.client.TopLeft(); }

FrameInsets WindowManager::Frame(DWORD style, DWORD exStyle) const { return NonClient::Insets(style, exStyle); }

CRect WindowManager::DefaultClientRect(const Window& w, const CRect& r) const {
  FrameInsets f = Frame(w.style, w.exStyle);
  CRect c(r.left + f.left, r.top + f.top, r.right - f.right, r.bottom - f.bottom);
  if (w.style & WS_VSCROLL) c.right -= NonClient::ScrollWidth();
  if (w.style & WS_HSCROLL) c.bottom -= NonClient::ScrollHeight();
  c.right = std::max(c.right, c.left);
  c.bottom = std::max(c.bottom, c.top);
  if (w.style & WS_MINIMIZE) c = CRect(c.TopLeft(), c.TopLeft());  // a minimised window shows no client area
  return c;
}

bool WindowManager::IsVisible(const Window& w) const {
  // WM_SETREDRAW(FALSE) hides a window from drawing as the classic one does by clearing WS_VISIBLE behind
  // the scenes: nothing is invalidated or drawn in it or its children until redrawing is on again.
  for (const Window* x = &w; x; x = Get(x->parent)) {
    if (!(x->style & WS_VISIBLE) || !x->redraw) return false;
    if (IsDesktop(x->hwnd) || !x->IsChild()) return (x->style & WS_VISIBLE) != 0;
  }
  return false;
}

std::vector<HWND>::iterator WindowManager::TopOfBand(const Window& w) {
  std::vector<HWND>& list = Get(desktop_)->children;
  auto pos = list.begin();
  if (w.IsChild()) return pos;  // the desktop's own children lie above everything
  auto is = [&](HWND h, auto test) { Window* x = Get(h); return x && test(*x); };
  while (pos != list.end() && is(*pos, [](const Window& x) { return x.IsChild(); })) ++pos;
  if (!(w.exStyle & WS_EX_TOPMOST))
    while (pos != list.end() && is(*pos, [](const Window& x) { return (x.exStyle & WS_EX_TOPMOST) != 0; })) ++pos;
  return pos;
}

void WindowManager::Reorder(Window& w, HWND after) {
  Window* p = Get(w.parent);
  if (!p) return;
  std::vector<HWND>& list = p->children;
  std::erase(list, w.hwnd);
  bool topLevel = IsDesktop(w.parent);
  if (topLevel && after == HWND_TOPMOST) w.exStyle |= WS_EX_TOPMOST;
  if (topLevel && after == HWND_NOTOPMOST) w.exStyle &= ~WS_EX_TOPMOST;
  auto pos = list.end();
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    pos = topLevel ? TopOfBand(w) : list.begin();
  } else if (after == HWND_BOTTOM) {
    pos = list.end();
  } else {
    auto it = std::find(list.begin(), list.end(), after);
    pos = it == list.end() ? list.begin() : it + 1;
  }
  list.insert(pos, w.hwnd);
  if (topLevel) KeepOwnedAbove(list, w.hwnd);
}

void WindowManager::KeepOwnedAbove(std::vector<HWND>& list, HWND owner) {
  // The list runs from the top down: what the owner owns below it moves up to just above it, in the order it had.
  std::vector<HWND> lifted;
  for (auto it = std::find(list.begin(), list.end(), owner) + 1; it < list.end();) {
    if (IsOwnedBy(*it, owner)) {
      lifted.push_back(*it);
      it = list.erase(it);
    } else {
      ++it;
    }
  }
  list.insert(std::find(list.begin(), list.end(), owner), lifted.begin(), lifted.end());
}

bool WindowManager::SetPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  std::shared_ptr<Window> keep = Share(hwnd);
  Window* w = keep.get();
  if (!w || IsDesktop(hwnd)) return false;
  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = w->rect.left;
    wp.y = w->rect.top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w->rect.Width();
    wp.cy = w->rect.Height();
  }
  if (!(flags & SWP_NOSENDCHANGING)) {
    Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!Get(hwnd)) return false;
  }
  wp.cx = std::max(wp.cx, 0);
  wp.cy = std::max(wp.cy, 0);
  const CRect oldRect = w->rect;
  const CRect oldClient = w->client;
  const bool wasVisible = IsVisible(*w);
  CRect newRect(wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy);

  if (!(wp.flags & SWP_NOZORDER)) Reorder(*w, wp.hwndInsertAfter);
  if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;

  CRect newClient = oldClient;
  bool sized = newRect.Size() != oldRect.Size();
  if (sized || (wp.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS ncp{};
    ncp.rgrc[0] = newRect;
    ncp.rgrc[1] = oldRect;
    ncp.rgrc[2] = oldClient + oldRect.TopLeft();
    ncp.lppos = &wp;
    w->rect = newRect;  // the frame is measured on the new rectangle
    Send(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&ncp));
    if (!Get(hwnd)) return false;
    newClient = CRect(ncp.rgrc[0]) - newRect.TopLeft();
  }
  w->rect = newRect;
  w->client = newClient;
  if (newClient.Size() == oldClient.Size()) wp.flags |= kSwpNoClientSize;
  if (newRect.TopLeft() + newClient.TopLeft() == oldRect.TopLeft() + oldClient.TopLeft())
    wp.flags |= kSwpNoClientMove;

  bool changed = newRect != oldRect || newClient != oldClient || (wp.flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW |
                                                                                SWP_HIDEWINDOW)) ||
                 !(wp.flags & SWP_NOZORDER);
  if (changed && !(wp.flags & SWP_NOREDRAW)) {
    if (wasVisible && w->IsChild() && (newRect != oldRect || !IsVisible(*w))) {
      InvalidateParentArea(hwnd, &oldRect);
    }
    if (IsVisible(*w)) {
      // Top-level windows carry their back buffer along when they only move.
      bool moveOnly = !w->IsChild() && newRect.Size() == oldRect.Size() && !(wp.flags & SWP_FRAMECHANGED) &&
                      wasVisible;
      if (!moveOnly) {
        w->ncPaint = true;
        Invalidate(hwnd, nullptr, true, Children::All);
      }
    }
  }
  if (changed && onWindowChanged) onWindowChanged(hwnd);
  if (wasVisible && !IsVisible(*w)) MoveAwayFrom(hwnd);

  Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return Get(hwnd) != nullptr;
}

bool WindowManager::Show(HWND hwnd, int cmd) {
  std::shared_ptr<Window> keep = Share(hwnd);
  Window* w = keep.get();
  if (!w || IsDesktop(hwnd)) return false;
  const bool wasVisible = (w->style & WS_VISIBLE) != 0;
  if (cmd == SW_HIDE) {
    if (!wasVisible) return false;
    Send(hwnd, WM_SHOWWINDOW, FALSE, 0);
    if (!Get(hwnd)) return true;
    const bool shown = IsVisible(*w);
    w->style &= ~WS_VISIBLE;
    if (shown) {
      InvalidateParentArea(hwnd);
      if (onWindowChanged) onWindowChanged(hwnd);
      MoveAwayFrom(hwnd);
    }
    return true;
  }
  if (!w->IsChild() && !ChangeShowState(hwnd, cmd)) return false;
  const bool activate = !w->IsChild() && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE &&
                        cmd != SW_SHOWMINNOACTIVE && cmd != SW_MINIMIZE;
  if (!wasVisible) {
    Send(hwnd, WM_SHOWWINDOW, TRUE, 0);
    if (!Get(hwnd)) return false;
    w->style |= WS_VISIBLE;
    if (IsVisible(*w)) {
      w->ncPaint = true;
      Invalidate(hwnd, nullptr, true, Children::All);
      if (onWindowChanged) onWindowChanged(hwnd);
    }
  }
  if (activate && Get(hwnd) && active != hwnd) Activate(hwnd, WA_ACTIVE);
  return wasVisible;
}

// Minimised, maximised and restored placements of a top-level window. WS_MINIMIZE and WS_MAXIMIZE change before
// the move, so that WM_NCCALCSIZE and WM_SIZE see the new state:
//   normal    -> minimised  the placement is kept (and whether it was maximised); a caption-sized box in the
//                           first free slot along the bottom of the work area, no client area
//   minimised -> restored   SW_RESTORE goes back to what was kept (maximised again if it was), SW_SHOWNORMAL
//                           and SW_SHOWMAXIMIZED go on from there to their own state
//   normal   <-> maximised  the work area; the normal placement is kept in restoreRect
// SW_MINIMIZE then hands the activation on as hiding does; the other commands activate as ShowWindow does.
bool WindowManager::ChangeShowState(HWND hwnd, int cmd) {
  Window* w = Get(hwnd);
  const bool minimize = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE;
  const bool restore = cmd == SW_RESTORE || cmd == SW_SHOWNORMAL || cmd == SW_SHOWMAXIMIZED;
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
  if (minimize && !(w->style & WS_MINIMIZE)) {
    w->iconicRestoreRect = w->rect;
    w->restoreToMaximized = (w->style & WS_MAXIMIZE) != 0;
    w->style = (w->style & ~WS_MAXIMIZE) | WS_MINIMIZE;
    CPoint at = IconicSlot(hwnd);
    if (!SetPos(hwnd, nullptr, at.x, at.y, GetSystemMetrics(SM_CXMINIMIZED), GetSystemMetrics(SM_CYMINIMIZED), kFlags))
      return false;
    if (cmd == SW_MINIMIZE) MoveAwayFrom(hwnd);
    return Get(hwnd) != nullptr;
  }
  bool fromIconic = false;
  if (restore && (w->style & WS_MINIMIZE)) {
    fromIconic = true;
    w->style &= ~WS_MINIMIZE;
    if (w->restoreToMaximized) w->style |= WS_MAXIMIZE;
    CRect r = w->iconicRestoreRect;
    if (!SetPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), kFlags)) return false;
  }
  if (cmd == SW_SHOWMAXIMIZED && !(w->style & WS_MAXIMIZE)) {
    // Maximised: the work area of the window's monitor; the old placement is kept for restoring.
    w->restoreRect = w->rect;
    w->style |= WS_MAXIMIZE;
    CRect work = WorkAreaOf(hwnd);
    return SetPos(hwnd, nullptr, work.left, work.top, work.Width(), work.Height(), kFlags);
  }
  if ((cmd == SW_SHOWNORMAL || (cmd == SW_RESTORE && !fromIconic)) && (w->style & WS_MAXIMIZE)) {
    w->style &= ~WS_MAXIMIZE;
    CRect r = w->restoreRect;
    return SetPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), kFlags);
  }
  return true;
}

CRect WindowManager::WorkAreaOf(HWND hwnd) const {
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  GetMonitorInfo(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

// Minimised windows line up along the bottom of the work area from the left, one slot each; a window takes the
// first slot no other minimised top-level window occupies.
CPoint WindowManager::IconicSlot(HWND hwnd) const {
  const CRect work = WorkAreaOf(hwnd);
  const int width = std::max(1, GetSystemMetrics(SM_CXMINSPACING));
  const int top = work.bottom - GetSystemMetrics(SM_CYMINIMIZED);
  std::vector<bool> taken;
  for (HWND other : Get(desktop_)->children) {
    const Window* o = Get(other);
    if (other == hwnd || !o || !(o->style & WS_MINIMIZE) || !(o->style & WS_VISIBLE) || o->rect.top != top) continue;
    int slot = (o->rect.left - work.left) / width;
    if (slot >= 0 && (o->rect.left - work.left) % width == 0) {
      if (static_cast<std::size_t>(slot) >= taken.size()) taken.resize(slot + 1);
      taken[slot] = true;
    }
  }
  std::size_t slot = std::find(taken.begin(), taken.end(), false) - taken.begin();
  return CPoint(work.left + static_cast<int>(slot) * width, top);
}

void WindowManager::RecalcClient(HWND hwnd) {
  SetPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

HWND WindowManager::HitWindow(POINT screen, int* hit) {
  int code = HTNOWHERE;
  HWND found = nullptr;
  const std::vector<HWND> tops = Get(desktop_)->children;  // a hit-test answer may create or destroy windows
  for (HWND top : tops) {
    const Window* t = Get(top);
    if (!t || !(t->style & WS_VISIBLE) || !t->rect.PtInRect(screen)) continue;
    if ((found = HitWithin(top, screen, code))) break;
  }
  if (hit) *hit = found ? code : HTNOWHERE;
  return found;
}

// hwnd is visible and holds the point. Its children are asked first, top of the Z order first; the window
// itself answers only when none of them takes the point. A window answering HTTRANSPARENT (a group box, a
// plain label) is skipped, so the point reaches whatever lies beneath it: null tells the caller to go on
// with the next sibling down.
HWND WindowManager::HitWithin(HWND hwnd, POINT screen, int& hit) {
  if (const Window* w = Get(hwnd)) {
    CPoint origin = ClientOrigin(*w);
    CPoint local(screen.x - origin.x, screen.y - origin.y);
    if (CRect(0, 0, w->client.Width(), w->client.Height()).PtInRect(local)) {
      const std::vector<HWND> children = w->children;
      for (HWND c : children) {
        const Window* cw = Get(c);
        if (!cw || !(cw->style & WS_VISIBLE) || !cw->rect.PtInRect(local)) continue;
        if (cw->style & WS_DISABLED) break;  // the parent answers for a disabled child
        if (HWND found = HitWithin(c, screen, hit)) return found;
        if (!Get(hwnd)) return nullptr;
      }
    }
  }
  hit = static_cast<SHORT>(Send(hwnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
  return Get(hwnd) && hit != HTTRANSPARENT ? hwnd : nullptr;
}

}  // namespace plat
