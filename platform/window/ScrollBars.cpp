#include "platform/window/ScrollBars.h"

#include <algorithm>

#include "platform/window/MessageQueue.h"
#include "platform/window/NonClient.h"
#include "platform/window/Painter.h"
#include "platform/window/TimerTable.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

constexpr UINT SBM_ENABLE_ARROWS = 0x00E4;
constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
constexpr UINT SBM_GETSCROLLINFO = 0x00EA;

ScrollBarState* StateOf(Window* w, int bar) {
  if (!w) return nullptr;
  if (bar == SB_HORZ) return &w->hscroll;
  if (bar == SB_VERT) return &w->vscroll;
  return nullptr;
}

DWORD StyleBit(int bar) { return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL; }

int MaxPos(const ScrollBarState& s) { return s.max - std::max(static_cast<int>(s.page) - 1, 0); }

HWND g_tracking = nullptr;
bool g_cancel = false;

}  // namespace

int ScrollBars::SetInfo(HWND hwnd, int bar, const SCROLLINFO& info, bool redraw) {
  WindowManager& wm = WindowManager::Instance();
  if (bar == SB_CTL) return static_cast<int>(wm.Send(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(&info)));
  Window* w = wm.Get(hwnd);
  ScrollBarState* s = StateOf(w, bar);
  if (!s) return 0;
  if (info.fMask & SIF_RANGE) {
    s->min = info.nMin;
    s->max = info.nMax;
  }
  if (info.fMask & SIF_PAGE) s->page = info.nPage;
  // The page never exceeds the range; the position stays within [min, max - page + 1].
  long long range = static_cast<long long>(s->max) - s->min + 1;
  if (range < 0) range = 0;
  if (s->page > range) s->page = static_cast<UINT>(range);
  if (info.fMask & SIF_POS) s->pos = info.nPos;
  s->pos = std::clamp(s->pos, s->min, std::max(s->min, MaxPos(*s)));
  if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
    s->disableNoScroll = (info.fMask & SIF_DISABLENOSCROLL) != 0;
    bool needed = NonClient::CanScroll(*s);
    bool shown = (w->style & StyleBit(bar)) != 0;
    if (needed && !shown)
      Show(hwnd, bar, true);
    else if (!needed && shown && !s->disableNoScroll)
      Show(hwnd, bar, false);
    else if (!needed && !shown && s->disableNoScroll)
      Show(hwnd, bar, true);
  }
  w = wm.Get(hwnd);
  if (!w) return 0;
  s = StateOf(w, bar);
  if (redraw) Painter::DrawNonClient(hwnd);
  return s->pos;
}

bool ScrollBars::GetInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  WindowManager& wm = WindowManager::Instance();
  if (!info) return false;
  if (bar == SB_CTL) return wm.Send(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) != 0;
  ScrollBarState* s = StateOf(wm.Get(hwnd), bar);
  if (!s) return false;
  if (info->fMask & SIF_RANGE) {
    info->nMin = s->min;
    info->nMax = s->max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s->page;
  if (info->fMask & SIF_POS) info->nPos = s->pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = g_tracking == hwnd ? s->trackPos : s->pos;
  return true;
}

bool ScrollBars::Show(HWND hwnd, int bar, bool show) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w) return false;
  // For a scroll bar control, showing the bar is showing the window.
  if (bar == SB_CTL) {
    wm.Show(hwnd, show ? SW_SHOW : SW_HIDE);
    return true;
  }
  DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : StyleBit(bar);
  DWORD style = show ? (w->style | bits) : (w->style & ~bits);
  if (style == w->style) return true;
  w->style = style;
  wm.RecalcClient(hwnd);  // WM_NCCALCSIZE, then WM_SIZE synchronously
  return true;
}

bool ScrollBars::Enable(HWND hwnd, int bar, UINT arrows) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w) return false;
  // A scroll bar control keeps its own arrows' state.
  if (bar == SB_CTL) return wm.Send(hwnd, SBM_ENABLE_ARROWS, arrows, 0) != 0;
  bool changed = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != b && bar != SB_BOTH) continue;
    ScrollBarState* s = StateOf(w, b);
    changed |= s->disabledArrows != arrows;
    s->disabledArrows = arrows;
  }
  if (changed) Painter::DrawNonClient(hwnd);
  return changed;
}

void ScrollBars::CancelTracking(HWND hwnd) {
  if (g_tracking == hwnd) g_cancel = true;
}

void ScrollBars::TrackMouse(HWND hwnd, int bar, POINT screen) {
  WindowManager& wm = WindowManager::Instance();
  std::shared_ptr<Window> keep = wm.Share(hwnd);  // the bar state below must outlive any handler
  Window* w = keep.get();
  if (!w || g_tracking || (w->style & WS_DISABLED)) return;
  ScrollBarState& s = bar == SB_VERT ? w->vscroll : w->hscroll;
  if (!NonClient::CanScroll(s) || s.disabledArrows == ESB_DISABLE_BOTH) return;
  const UINT scrollMsg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  const bool vert = bar == SB_VERT;

  auto partAt = [&](POINT pt, NonClient::BarParts& parts) -> int {
    Window* cur = wm.Get(hwnd);
    if (!cur) return -1;
    parts = NonClient::ScrollBarParts(*cur, bar);
    CRect sr = wm.ScreenRect(*cur);
    CPoint local(pt.x - sr.left, pt.y - sr.top);
    if (parts.arrow1.PtInRect(local)) return (s.disabledArrows & ESB_DISABLE_LTUP) ? -1 : SB_LINEUP;
    if (parts.arrow2.PtInRect(local)) return (s.disabledArrows & ESB_DISABLE_RTDN) ? -1 : SB_LINEDOWN;
    if (parts.hasThumb && parts.thumb.PtInRect(local)) return SB_THUMBTRACK;
    if (parts.page1.PtInRect(local)) return SB_PAGEUP;
    if (parts.hasThumb && parts.page2.PtInRect(local)) return SB_PAGEDOWN;
    return -1;
  };

  NonClient::BarParts parts;
  const int part = partAt(screen, parts);
  if (part < 0) return;
  const int grab = vert ? screen.y : screen.x;
  const int track = vert ? parts.whole.Height() - 2 * parts.arrow1.Height()
                         : parts.whole.Width() - 2 * parts.arrow1.Width();
  const int thumbLen = vert ? parts.thumb.Height() : parts.thumb.Width();
  const int thumbStart = vert ? parts.thumb.top - parts.page1.top : parts.thumb.left - parts.page1.left;

  g_tracking = hwnd;
  g_cancel = false;
  wm.SetCaptureTo(hwnd);
  s.trackPos = s.pos;
  if (part != SB_THUMBTRACK) {
    wm.Send(hwnd, scrollMsg, MAKEWPARAM(part, 0), 0);
    TimerTable::Instance().Set(hwnd, kRepeatTimer, kFirstRepeatMs, nullptr);
  }
  POINT mouse = screen;
  MessageQueue& queue = MessageQueue::Instance();
  while (!g_cancel && wm.Get(hwnd) && wm.capture == hwnd) {
    MSG m;
    if (!queue.Peek(&m, nullptr, 0, 0, PM_REMOVE)) {
      queue.WaitForWork("scroll bar tracking");
      continue;
    }
    if (m.message == WM_QUIT) {
      queue.PostQuit(static_cast<int>(m.wParam));
      break;
    }
    if (m.hwnd == hwnd && m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) {
      Window* cur = wm.Get(hwnd);
      CPoint origin = wm.ClientOrigin(*cur);
      mouse = POINT{origin.x + GET_X_LPARAM(m.lParam), origin.y + GET_Y_LPARAM(m.lParam)};
      if (m.message == WM_LBUTTONUP) break;
      if (m.message == WM_MOUSEMOVE && part == SB_THUMBTRACK) {
        int offset = thumbStart + (vert ? mouse.y : mouse.x) - grab;
        ScrollBarState& cs = vert ? cur->vscroll : cur->hscroll;
        int pos = NonClient::PosFromThumb(cs, track, thumbLen, offset);
        if (pos != cs.trackPos) {
          cs.trackPos = pos;
          wm.Send(hwnd, scrollMsg, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(pos)), 0);
        }
      }
      continue;
    }
    if (m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == kRepeatTimer) {
      TimerTable::Instance().Set(hwnd, kRepeatTimer, kRepeatMs, nullptr);
      NonClient::BarParts now;
      if (partAt(mouse, now) == part) wm.Send(hwnd, scrollMsg, MAKEWPARAM(part, 0), 0);
      continue;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  TimerTable::Instance().Kill(hwnd, kRepeatTimer);
  g_tracking = nullptr;
  if (Window* cur = wm.Get(hwnd)) {
    ScrollBarState& cs = vert ? cur->vscroll : cur->hscroll;
    if (part == SB_THUMBTRACK)
      wm.Send(hwnd, scrollMsg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(cs.trackPos)), 0);
    if (wm.Get(hwnd)) wm.Send(hwnd, scrollMsg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
  }
  if (wm.capture == hwnd) wm.ReleaseCaptureNow();
}

}  // namespace plat

// ---- Classic entry points ---------------------------------------------------------------------------------

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
  if (!info || !plat::WindowManager::Instance().Get(hwnd)) return 0;
  return plat::ScrollBars::SetInfo(hwnd, bar, *info, redraw != FALSE);
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) { return plat::ScrollBars::GetInfo(hwnd, bar, info); }

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  SCROLLINFO old{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  if (!plat::ScrollBars::GetInfo(hwnd, bar, &old)) return 0;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
  plat::ScrollBars::SetInfo(hwnd, bar, si, redraw != FALSE);
  return old.nPos;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  return plat::ScrollBars::GetInfo(hwnd, bar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  if (!plat::WindowManager::Instance().Get(hwnd)) return FALSE;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
  plat::ScrollBars::SetInfo(hwnd, bar, si, redraw != FALSE);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
  if (!minPos || !maxPos || !plat::ScrollBars::GetInfo(hwnd, bar, &si)) return FALSE;
  *minPos = si.nMin;
  *maxPos = si.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) { return plat::ScrollBars::Show(hwnd, bar, show != FALSE); }

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  return plat::ScrollBars::Enable(hwnd, static_cast<int>(bar), arrows);
}
