#include "platform/controls/Trackbar.h"

#include <algorithm>

#include "platform/controls/ControlSupport.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

constexpr int kThumbLength = 11;  // along the channel
constexpr int kMargin = 8;        // channel inset from the ends

struct TrackState {
  int min = 0, max = 100;
  int pos = 0;
  int line = 1;
  int page = 20;
  bool pageSet = false;  // without TBM_SETPAGESIZE the page is a fifth of the range
  int ticFreq = 1;
  bool focused = false;
  bool dragging = false;
  int grab = 0;
};

StateTable<TrackState>& States() { return StateTable<TrackState>::Instance(); }

bool Vertical(HWND hwnd) { return (StyleOf(hwnd) & TBS_VERT) != 0; }

// Channel extent along the control, in client pixels.
void Channel(HWND hwnd, int* from, int* to) {
  const CRect c = ClientRectOf(hwnd);
  const int length = Vertical(hwnd) ? c.Height() : c.Width();
  *from = kMargin;
  *to = std::max(kMargin + 1, length - kMargin);
}

int PixelOf(HWND hwnd, const TrackState& s, int pos) {
  int a = 0, b = 0;
  Channel(hwnd, &a, &b);
  if (s.max <= s.min) return a;
  return a + static_cast<int>(static_cast<long long>(b - a) * (pos - s.min) / (s.max - s.min));
}

int PosOf(HWND hwnd, const TrackState& s, int pixel) {
  int a = 0, b = 0;
  Channel(hwnd, &a, &b);
  if (s.max <= s.min || b <= a) return s.min;
  const int p = std::clamp(pixel, a, b) - a;
  return s.min + static_cast<int>((static_cast<long long>(p) * (s.max - s.min) + (b - a) / 2) / (b - a));
}

CRect ThumbRect(HWND hwnd, const TrackState& s) {
  const CRect c = ClientRectOf(hwnd);
  const int at = PixelOf(hwnd, s, s.pos);
  if (Vertical(hwnd)) return CRect(c.left + 4, at - kThumbLength / 2, c.right - 4, at + kThumbLength / 2 + 1);
  return CRect(at - kThumbLength / 2, c.top + 4, at + kThumbLength / 2 + 1, std::min<int>(c.bottom - 4, c.top + 24));
}

void SetPos(HWND hwnd, TrackState& s, int pos) {
  pos = std::clamp(pos, s.min, std::max(s.min, s.max));
  if (pos == s.pos) return;
  s.pos = pos;
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Notify(HWND hwnd, WORD code, int pos) {
  if (HWND parent = GetParent(hwnd))
    SendMessage(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
                reinterpret_cast<LPARAM>(hwnd));
}

void UserMove(HWND hwnd, TrackState& s, int pos, WORD code) {
  auto keep = States().Get(hwnd);
  SetPos(hwnd, s, pos);
  Notify(hwnd, code, s.pos);
  if (IsWindow(hwnd)) Notify(hwnd, TB_ENDTRACK, s.pos);
}

LRESULT OnKeyDown(HWND hwnd, TrackState& s, WPARAM vk) {
  switch (vk) {
    case VK_LEFT:
    case VK_UP: UserMove(hwnd, s, s.pos - s.line, TB_LINEUP); break;
    case VK_RIGHT:
    case VK_DOWN: UserMove(hwnd, s, s.pos + s.line, TB_LINEDOWN); break;
    case VK_PRIOR: UserMove(hwnd, s, s.pos - s.page, TB_PAGEUP); break;
    case VK_NEXT: UserMove(hwnd, s, s.pos + s.page, TB_PAGEDOWN); break;
    case VK_HOME: UserMove(hwnd, s, s.min, TB_TOP); break;
    case VK_END: UserMove(hwnd, s, s.max, TB_BOTTOM); break;
    default: break;
  }
  return 0;
}

int Along(HWND hwnd, LPARAM lParam) { return Vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); }

LRESULT OnButtonDown(HWND hwnd, TrackState& s, LPARAM lParam) {
  auto keep = States().Get(hwnd);
  if (GetFocus() != hwnd) SetFocus(hwnd);
  if (!IsWindow(hwnd)) return 0;
  const CRect thumb = ThumbRect(hwnd, s);
  const int at = Along(hwnd, lParam);
  const int thumbFrom = Vertical(hwnd) ? thumb.top : thumb.left, thumbTo = Vertical(hwnd) ? thumb.bottom : thumb.right;
  if (at >= thumbFrom && at < thumbTo) {
    s.dragging = true;
    s.grab = at - PixelOf(hwnd, s, s.pos);
    SetCapture(hwnd);
    return 0;
  }
  // A click beside the thumb moves it a page towards the click.
  if (at < thumbFrom)
    UserMove(hwnd, s, s.pos - s.page, TB_PAGEUP);
  else
    UserMove(hwnd, s, s.pos + s.page, TB_PAGEDOWN);
  return 0;
}

LRESULT OnMouseMove(HWND hwnd, TrackState& s, LPARAM lParam) {
  if (!s.dragging) return 0;
  const int pos = PosOf(hwnd, s, Along(hwnd, lParam) - s.grab);
  if (pos != s.pos) {
    SetPos(hwnd, s, pos);
    Notify(hwnd, TB_THUMBTRACK, s.pos);
  }
  return 0;
}

LRESULT OnButtonUp(HWND hwnd, TrackState& s) {
  if (!s.dragging) return 0;
  auto keep = States().Get(hwnd);
  s.dragging = false;
  if (GetCapture() == hwnd) ReleaseCapture();
  Notify(hwnd, TB_THUMBPOSITION, s.pos);
  if (IsWindow(hwnd)) Notify(hwnd, TB_ENDTRACK, s.pos);
  return 0;
}

void Paint(HWND hwnd, HDC dc, const TrackState& s) {
  const CRect c = ClientRectOf(hwnd);
  HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORSTATIC, dc);
  if (!IsWindow(hwnd)) return;
  FillRect(dc, &c, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
  int a = 0, b = 0;
  Channel(hwnd, &a, &b);
  const bool v = Vertical(hwnd);
  const CRect thumb = ThumbRect(hwnd, s);
  CRect channel = v ? CRect((thumb.left + thumb.right) / 2 - 2, a, (thumb.left + thumb.right) / 2 + 2, b + 1)
                    : CRect(a, (thumb.top + thumb.bottom) / 2 - 2, b + 1, (thumb.top + thumb.bottom) / 2 + 2);
  DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT);
  if (!(StyleOf(hwnd) & TBS_NOTICKS) && s.max > s.min) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    const int step = std::max(1, s.ticFreq);
    for (int p = s.min; p <= s.max; p += step) {
      const int at = PixelOf(hwnd, s, p);
      if (v) {
        MoveToEx(dc, thumb.right + 2, at, nullptr);
        LineTo(dc, thumb.right + 6, at);
      } else {
        MoveToEx(dc, at, thumb.bottom + 2, nullptr);
        LineTo(dc, at, thumb.bottom + 6);
      }
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  CRect t = thumb;
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  DrawFrameControl(dc, &t, DFC_BUTTON, DFCS_BUTTONPUSH | (s.dragging && enabled ? DFCS_PUSHED : 0));
  if (!enabled) {
    // A disabled thumb's face is dithered with the highlight colour, as the classic control draws it.
    const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
    for (int y = thumb.top + 2; y < thumb.bottom - 2; ++y)
      for (int x = thumb.left + 2 + ((y - thumb.top) & 1); x < thumb.right - 2; x += 2) SetPixel(dc, x, y, light);
  }
  if (s.focused) {
    CRect f = c;
    DrawFocusRect(dc, &f);
  }
}

LRESULT Dispatch(HWND hwnd, TrackState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (const auto answer = PaintedControlMessage(hwnd, s, msg, wParam, lParam, Paint)) return *answer;
  switch (msg) {
    case WM_ENABLE:
      // The thumb's look follows the enabled state.
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: return OnKeyDown(hwnd, s, wParam);
    case WM_LBUTTONDOWN: return OnButtonDown(hwnd, s, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, s, lParam);
    case WM_LBUTTONUP: return OnButtonUp(hwnd, s);
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) s.dragging = false;
      return 0;
    case TBM_GETPOS: return s.pos;
    case TBM_GETRANGEMIN: return s.min;
    case TBM_GETRANGEMAX: return s.max;
    case TBM_SETPOS:
      if (wParam)
        SetPos(hwnd, s, static_cast<int>(lParam));
      else
        s.pos = std::clamp(static_cast<int>(lParam), s.min, std::max(s.min, s.max));
      return 0;
    case TBM_SETRANGE:
      s.min = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
      s.max = static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)));
      s.pos = std::clamp(s.pos, s.min, std::max(s.min, s.max));
      if (!s.pageSet) s.page = std::max(1, (s.max - s.min) / 5);
      if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMIN:
    case TBM_SETRANGEMAX:
      (msg == TBM_SETRANGEMIN ? s.min : s.max) = static_cast<int>(lParam);
      s.pos = std::clamp(s.pos, s.min, std::max(s.min, s.max));
      if (!s.pageSet) s.page = std::max(1, (s.max - s.min) / 5);
      if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETTICFREQ:
      s.ticFreq = static_cast<int>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETPAGESIZE: {
      const int old = s.page;
      s.page = static_cast<int>(lParam);
      s.pageSet = true;
      return old;
    }
    case TBM_GETPAGESIZE: return s.page;
    case TBM_SETLINESIZE: {
      const int old = s.line;
      s.line = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETLINESIZE: return s.line;
    case TBM_GETTHUMBRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = ThumbRect(hwnd, s);
      return 0;
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterTrackbarClass() {
  RegisterControlClass(TRACKBAR_CLASS, ControlWndProc<TrackState, Dispatch>, CS_GLOBALCLASS);
}

}  // namespace plat::controls
