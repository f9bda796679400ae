#include "platform/controls/ProgressBar.h"

#include <algorithm>

#include "platform/controls/ControlSupport.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

struct ProgressState {
  int low = 0, high = 100;
  int pos = 0;
  int step = 10;
  COLORREF bar = CLR_DEFAULT;
  COLORREF back = CLR_DEFAULT;
};

LRESULT SetPos(HWND hwnd, ProgressState& s, int pos) {
  const int old = s.pos;
  s.pos = std::clamp(pos, s.low, std::max(s.low, s.high));
  if (s.pos != old) InvalidateRect(hwnd, nullptr, TRUE);
  return old;
}

void Paint(HWND hwnd, HDC dc, const ProgressState& s) {
  CRect c = ClientRectOf(hwnd);
  HBRUSH back = s.back == CLR_DEFAULT ? GetSysColorBrush(COLOR_3DFACE) : CreateSolidBrush(s.back);
  FillRect(dc, &c, back);
  if (s.back != CLR_DEFAULT) DeleteObject(back);
  DrawEdge(dc, &c, BDR_SUNKENOUTER, BF_RECT);
  c.DeflateRect(2, 2);
  if (s.high <= s.low || c.IsRectEmpty()) return;
  const bool vertical = (StyleOf(hwnd) & PBS_VERTICAL) != 0;
  const int length = vertical ? c.Height() : c.Width();
  const int filled = static_cast<int>(static_cast<long long>(length) * (s.pos - s.low) / (s.high - s.low));
  HBRUSH bar = s.bar == CLR_DEFAULT ? GetSysColorBrush(COLOR_HIGHLIGHT) : CreateSolidBrush(s.bar);
  if (StyleOf(hwnd) & PBS_SMOOTH) {
    CRect r = vertical ? CRect(c.left, c.bottom - filled, c.right, c.bottom)
                       : CRect(c.left, c.top, c.left + filled, c.bottom);
    FillRect(dc, &r, bar);
  } else {
    // Classic blocks: two thirds of the thickness wide, two pixels apart, whole blocks only.
    const int thickness = vertical ? c.Width() : c.Height();
    const int block = std::max(2, thickness * 2 / 3);
    for (int at = 0; at < filled; at += block + 2) {
      const int end = std::min(at + block, length);
      CRect r = vertical ? CRect(c.left, c.bottom - end, c.right, c.bottom - at)
                         : CRect(c.left + at, c.top, c.left + end, c.bottom);
      FillRect(dc, &r, bar);
    }
  }
  if (s.bar != CLR_DEFAULT) DeleteObject(bar);
}

LRESULT Dispatch(HWND hwnd, ProgressState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (const auto answer = PaintMessage(hwnd, s, msg, wParam, Paint)) return *answer;
  switch (msg) {
    case PBM_SETRANGE: {
      const LRESULT old = MAKELONG(static_cast<WORD>(s.low), static_cast<WORD>(s.high));
      s.low = LOWORD(static_cast<DWORD_PTR>(lParam));
      s.high = HIWORD(static_cast<DWORD_PTR>(lParam));
      SetPos(hwnd, s, s.pos);
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case PBM_SETRANGE32: {
      const LRESULT old = MAKELONG(static_cast<WORD>(s.low), static_cast<WORD>(s.high));
      s.low = static_cast<int>(wParam);
      s.high = static_cast<int>(lParam);
      SetPos(hwnd, s, s.pos);
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case PBM_GETRANGE: {
      if (lParam) *reinterpret_cast<PBRANGE*>(lParam) = {s.low, s.high};
      return wParam ? s.low : s.high;
    }
    case PBM_SETPOS: return SetPos(hwnd, s, static_cast<int>(wParam));
    case PBM_DELTAPOS: return SetPos(hwnd, s, s.pos + static_cast<int>(wParam));
    case PBM_GETPOS: return s.pos;
    case PBM_SETSTEP: {
      const int old = s.step;
      s.step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT: {
      // Stepping past the end wraps round to the start, as the classic bar does.
      const int old = s.pos;
      int next = s.pos + s.step;
      if (next > s.high) next = s.low + (next - s.high);
      if (next < s.low) next = s.high - (s.low - next);
      SetPos(hwnd, s, next);
      return old;
    }
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR: {
      COLORREF& which = msg == PBM_SETBARCOLOR ? s.bar : s.back;
      const COLORREF old = which;
      which = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterProgressClass() {
  RegisterControlClass(PROGRESS_CLASS, ControlWndProc<ProgressState, Dispatch>, CS_GLOBALCLASS);
}

}  // namespace plat::controls
