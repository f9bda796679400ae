// Standard (non-client) scroll bars: their state, the visibility rules and the mouse tracking loop.
//
// A window's bar is shown while its style holds WS_HSCROLL / WS_VSCROLL. Setting a range or page that
// leaves nothing to scroll hides the bar, unless SIF_DISABLENOSCROLL asks to keep it shown and disabled;
// a range that needs scrolling shows it. Showing or hiding a bar recomputes the client area at once
// (WM_NCCALCSIZE, then WM_SIZE before the call returns).
//
// Tracking (default WM_NCLBUTTONDOWN on HTHSCROLL/HTVSCROLL) runs a nested loop under capture: arrows send
// SB_LINEUP/SB_LINEDOWN, the track beside the thumb SB_PAGEUP/SB_PAGEDOWN, repeated on a timer while the
// button stays down over the same part (first after 400 ms, then every 100 ms); dragging the thumb sends
// SB_THUMBTRACK with the position under the mouse and, on release, SB_THUMBPOSITION; every tracking ends
// with SB_ENDSCROLL. The owner sets the new position itself, as with the classic bars.
#pragma once

#include "platform/window/windowapi.h"

namespace plat {

class ScrollBars {
 public:
  static int SetInfo(HWND hwnd, int bar, const SCROLLINFO& info, bool redraw);
  static bool GetInfo(HWND hwnd, int bar, SCROLLINFO* info);
  static bool Show(HWND hwnd, int bar, bool show);
  static bool Enable(HWND hwnd, int bar, UINT arrows);
  static void TrackMouse(HWND hwnd, int bar, POINT screen);
  static void CancelTracking(HWND hwnd);

  static constexpr UINT_PTR kRepeatTimer = 0xFFF0;
  static constexpr UINT kFirstRepeatMs = 400;
  static constexpr UINT kRepeatMs = 100;
};

}  // namespace plat
