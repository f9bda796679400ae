#include "platform/controls/ScrollBarControl.h"

#include <algorithm>

#include "platform/controls/ControlSupport.h"
#include "platform/gdi/ScrollBarLook.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 100;
constexpr int kMinThumb = 8;

struct BarState {
  int min = 0, max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  UINT disabledArrows = 0;
  BarPart pressed = BarPart::None;  // part under tracking
  bool over = false;                // the mouse is over the pressed part
  int grab = 0;                     // thumb drag: mouse offset from the thumb start
};

StateTable<BarState>& States() { return StateTable<BarState>::Instance(); }

bool Vertical(HWND hwnd) { return (StyleOf(hwnd) & SBS_VERT) != 0; }
bool SizeBox(HWND hwnd) { return (StyleOf(hwnd) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0; }
int MaxPos(const BarState& s) { return std::max(s.min, s.max - std::max(static_cast<int>(s.page) - 1, 0)); }

BarGeometry Geometry(HWND hwnd, const BarState& s) {
  const CRect c = ClientRectOf(hwnd);
  const bool v = Vertical(hwnd);
  return LayoutBar(v ? c.Height() : c.Width(), v ? c.Width() : c.Height(), s.min, s.max, s.page, s.pos);
}

int Along(HWND hwnd, LPARAM lParam) { return Vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); }

CRect PartRect(HWND hwnd, const BarGeometry& g, int from, int to) {
  return Vertical(hwnd) ? CRect(0, from, g.thickness, to) : CRect(from, 0, to, g.thickness);
}

void SendScroll(HWND hwnd, WORD code, int pos = 0) {
  if (HWND parent = GetParent(hwnd))
    SendMessage(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                reinterpret_cast<LPARAM>(hwnd));
}

WORD CodeFor(BarPart p) {
  switch (p) {
    case BarPart::LineUp: return SB_LINEUP;
    case BarPart::LineDown: return SB_LINEDOWN;
    case BarPart::PageUp: return SB_PAGEUP;
    case BarPart::PageDown: return SB_PAGEDOWN;
    default: return SB_ENDSCROLL;
  }
}

bool ArrowDisabled(const BarState& s, BarPart p) {
  if (p == BarPart::LineUp || p == BarPart::PageUp) return (s.disabledArrows & ESB_DISABLE_LTUP) != 0;
  if (p == BarPart::LineDown || p == BarPart::PageDown) return (s.disabledArrows & ESB_DISABLE_RTDN) != 0;
  return false;
}

// ---- Drawing ------------------------------------------------------------------------------------------

ScrollBarLook::Part LookPart(BarPart p) {
  switch (p) {
    case BarPart::LineUp: return ScrollBarLook::Part::Arrow1;
    case BarPart::PageUp: return ScrollBarLook::Part::Page1;
    case BarPart::PageDown: return ScrollBarLook::Part::Page2;
    case BarPart::LineDown: return ScrollBarLook::Part::Arrow2;
    default: return ScrollBarLook::Part::None;
  }
}

void Paint(HWND hwnd, HDC dc, const BarState& s) {
  const CRect c = ClientRectOf(hwnd);
  if (SizeBox(hwnd)) {
    FillRect(dc, &c, GetSysColorBrush(COLOR_3DFACE));
    if (StyleOf(hwnd) & SBS_SIZEGRIP) {
      CRect grip = c;
      DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
    return;
  }
  HBRUSH track = ControlColor(hwnd, WM_CTLCOLORSCROLLBAR, dc);
  if (!IsWindow(hwnd)) return;
  const BarGeometry g = Geometry(hwnd, s);
  const bool enabled = IsWindowEnabled(hwnd) && s.disabledArrows != ESB_DISABLE_BOTH;
  ScrollBarLook look;
  look.vertical = Vertical(hwnd);
  look.arrow1 = PartRect(hwnd, g, 0, g.arrow);
  look.arrow2 = PartRect(hwnd, g, g.length - g.arrow, g.length);
  look.track = PartRect(hwnd, g, g.arrow, g.length - g.arrow);
  if (enabled && g.thumbLength > 0) look.thumb = PartRect(hwnd, g, g.thumbStart, g.thumbStart + g.thumbLength);
  look.arrow1Enabled = enabled && !ArrowDisabled(s, BarPart::LineUp);
  look.arrow2Enabled = enabled && !ArrowDisabled(s, BarPart::LineDown);
  if (s.over) look.pressed = LookPart(s.pressed);
  look.trackBrush = track;
  DrawScrollBarLook(dc, look);
}

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

// ---- Tracking -----------------------------------------------------------------------------------------

LRESULT OnButtonDown(HWND hwnd, BarState& s, LPARAM lParam) {
  if (SizeBox(hwnd)) return 0;
  auto keep = States().Get(hwnd);
  const BarGeometry g = Geometry(hwnd, s);
  const BarPart part = HitBar(g, Along(hwnd, lParam));
  if (part == BarPart::None || s.disabledArrows == ESB_DISABLE_BOTH || ArrowDisabled(s, part)) return 0;
  if (StyleOf(hwnd) & WS_TABSTOP) SetFocus(hwnd);
  if (!IsWindow(hwnd)) return 0;
  s.pressed = part;
  s.over = true;
  SetCapture(hwnd);
  if (part == BarPart::Thumb) {
    s.grab = Along(hwnd, lParam) - g.thumbStart;
    s.trackPos = s.pos;
  } else {
    SendScroll(hwnd, CodeFor(part));
    if (IsWindow(hwnd)) SetTimer(hwnd, kRepeatTimer, kFirstRepeatMs, nullptr);
  }
  if (IsWindow(hwnd)) Redraw(hwnd);
  return 0;
}

LRESULT OnMouseMove(HWND hwnd, BarState& s, LPARAM lParam) {
  if (s.pressed == BarPart::None) return 0;
  const BarGeometry g = Geometry(hwnd, s);
  if (s.pressed == BarPart::Thumb) {
    const int pos = PositionFromThumb(g, s.min, s.max, s.page, Along(hwnd, lParam) - s.grab);
    if (pos != s.trackPos) {
      s.trackPos = pos;
      SendScroll(hwnd, SB_THUMBTRACK, pos);
    }
    return 0;
  }
  const bool over = HitBar(g, Along(hwnd, lParam)) == s.pressed &&
                    ClientRectOf(hwnd).PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
  if (over != s.over) {
    s.over = over;
    Redraw(hwnd);
  }
  return 0;
}

void EndTracking(HWND hwnd, BarState& s, bool release) {
  if (s.pressed == BarPart::None) return;
  auto keep = States().Get(hwnd);
  const BarPart part = s.pressed;
  s.pressed = BarPart::None;
  KillTimer(hwnd, kRepeatTimer);
  if (release && GetCapture() == hwnd) ReleaseCapture();
  if (part == BarPart::Thumb) SendScroll(hwnd, SB_THUMBPOSITION, s.trackPos);
  if (IsWindow(hwnd)) SendScroll(hwnd, SB_ENDSCROLL);
  if (IsWindow(hwnd)) Redraw(hwnd);
}

LRESULT OnTimer(HWND hwnd, BarState& s, WPARAM id) {
  if (id != kRepeatTimer) return 0;
  if (s.pressed == BarPart::None || s.pressed == BarPart::Thumb) {
    KillTimer(hwnd, kRepeatTimer);
    return 0;
  }
  SetTimer(hwnd, kRepeatTimer, kRepeatMs, nullptr);
  // A page press stops repeating once the thumb has reached the mouse.
  if (s.over) {
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(hwnd, &pt);
    const BarPart now = HitBar(Geometry(hwnd, s), Vertical(hwnd) ? pt.y : pt.x);
    if (now == s.pressed) SendScroll(hwnd, CodeFor(s.pressed));
  }
  return 0;
}

LRESULT OnKeyDown(HWND hwnd, WPARAM vk) {
  const bool v = Vertical(hwnd);
  switch (vk) {
    case VK_UP:
      if (v) SendScroll(hwnd, SB_LINEUP);
      break;
    case VK_DOWN:
      if (v) SendScroll(hwnd, SB_LINEDOWN);
      break;
    case VK_LEFT:
      if (!v) SendScroll(hwnd, SB_LINELEFT);
      break;
    case VK_RIGHT:
      if (!v) SendScroll(hwnd, SB_LINERIGHT);
      break;
    case VK_PRIOR: SendScroll(hwnd, SB_PAGEUP); break;
    case VK_NEXT: SendScroll(hwnd, SB_PAGEDOWN); break;
    case VK_HOME: SendScroll(hwnd, SB_TOP); break;
    case VK_END: SendScroll(hwnd, SB_BOTTOM); break;
    default: return 0;
  }
  if (IsWindow(hwnd)) SendScroll(hwnd, SB_ENDSCROLL);
  return 0;
}

// ---- Scroll information -------------------------------------------------------------------------------

LRESULT SetInfo(HWND hwnd, BarState& s, const SCROLLINFO* info, bool redraw) {
  if (!info) return s.pos;
  if (info->fMask & SIF_RANGE) {
    s.min = info->nMin;
    s.max = info->nMax;
  }
  if (info->fMask & SIF_PAGE) s.page = info->nPage;
  long long range = static_cast<long long>(s.max) - s.min + 1;
  if (range < 0) range = 0;
  if (s.page > range) s.page = static_cast<UINT>(range);
  if (info->fMask & SIF_POS) s.pos = info->nPos;
  s.pos = std::clamp(s.pos, s.min, MaxPos(s));
  if (redraw) Redraw(hwnd);
  return s.pos;
}

LRESULT GetInfo(const BarState& s, SCROLLINFO* info) {
  if (!info) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = s.min;
    info->nMax = s.max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s.page;
  if (info->fMask & SIF_POS) info->nPos = s.pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.pressed == BarPart::Thumb ? s.trackPos : s.pos;
  return TRUE;
}

LRESULT Dispatch(HWND hwnd, BarState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (const auto answer = PaintMessage(hwnd, s, msg, wParam, Paint)) return *answer;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, s, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, s, lParam);
    case WM_LBUTTONUP: EndTracking(hwnd, s, true); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) EndTracking(hwnd, s, false);
      return 0;
    case WM_TIMER: return OnTimer(hwnd, s, wParam);
    case WM_KEYDOWN: return OnKeyDown(hwnd, wParam);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_ENABLE: Redraw(hwnd); return 0;
    case SBM_SETSCROLLINFO: return SetInfo(hwnd, s, reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0);
    case SBM_GETSCROLLINFO: return GetInfo(s, reinterpret_cast<SCROLLINFO*>(lParam));
    case SBM_SETPOS: {
      const int old = s.pos;
      SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
      SetInfo(hwnd, s, &si, lParam != 0);
      return old;
    }
    case SBM_GETPOS: return s.pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      const int old = s.pos;
      SCROLLINFO si{sizeof(si), SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
      SetInfo(hwnd, s, &si, msg == SBM_SETRANGEREDRAW);
      return old;
    }
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int*>(wParam) = s.min;
      if (lParam) *reinterpret_cast<int*>(lParam) = s.max;
      return 0;
    case SBM_ENABLE_ARROWS: {
      const UINT old = s.disabledArrows;
      s.disabledArrows = static_cast<UINT>(wParam) & ESB_DISABLE_BOTH;
      if (old != s.disabledArrows) Redraw(hwnd);
      return old != s.disabledArrows;
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

BarGeometry LayoutBar(int length, int thickness, int min, int max, UINT page, int pos) {
  BarGeometry g;
  g.length = std::max(0, length);
  g.thickness = std::max(0, thickness);
  g.arrow = std::min(g.thickness, g.length / 2);
  const int track = g.length - 2 * g.arrow;
  const long long range = static_cast<long long>(max) - min + 1;
  if (track < kMinThumb || range <= 0 || (page > 0 && page >= range) || max <= min) return g;
  int thumb = page > 0 ? static_cast<int>(track * static_cast<long long>(page) / range) : g.thickness;
  thumb = std::clamp(thumb, kMinThumb, track);
  const int maxPos = std::max(min, max - std::max(static_cast<int>(page) - 1, 0));
  const int span = track - thumb;
  const int clamped = std::clamp(pos, min, maxPos);
  g.thumbLength = thumb;
  // Rounded both here and in PositionFromThumb, so the two are inverse while the track has a pixel per position.
  const long long steps = static_cast<long long>(maxPos) - min;
  g.thumbStart =
      g.arrow +
      (steps > 0 ? static_cast<int>((static_cast<long long>(span) * (clamped - min) + steps / 2) / steps) : 0);
  return g;
}

BarPart HitBar(const BarGeometry& g, int along) {
  if (along < 0 || along >= g.length) return BarPart::None;
  if (along < g.arrow) return BarPart::LineUp;
  if (along >= g.length - g.arrow) return BarPart::LineDown;
  if (g.thumbLength == 0) return BarPart::None;
  if (along < g.thumbStart) return BarPart::PageUp;
  if (along < g.thumbStart + g.thumbLength) return BarPart::Thumb;
  return BarPart::PageDown;
}

int PositionFromThumb(const BarGeometry& g, int min, int max, UINT page, int thumbStart) {
  const int maxPos = std::max(min, max - std::max(static_cast<int>(page) - 1, 0));
  const int span = g.length - 2 * g.arrow - g.thumbLength;
  if (span <= 0) return min;
  const int offset = std::clamp(thumbStart - g.arrow, 0, span);
  // Rounded to the nearest position, so the thumb dropped where it was picked up keeps its position.
  return min + static_cast<int>((static_cast<long long>(offset) * (maxPos - min) + span / 2) / span);
}

void RegisterScrollBarClass() {
  RegisterControlClass(WC_SCROLLBAR, ControlWndProc<BarState, Dispatch>, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS);
}

}  // namespace plat::controls
