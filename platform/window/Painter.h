// Painting: back buffers of top-level windows, window DCs, BeginPaint/EndPaint, erasing, the non-client
// frame and scroll bars, scrolling of window contents.
//
// Every visible top-level window owns an ARGB32 back buffer the size of its window rectangle; its
// children draw into the same buffer at their offset, clipped to their visible area (VisibleClientRegion).
// The display composes the buffers into the desktop.
//
// Paint cycle: InvalidateRect & co accumulate a window's update region (WindowManager::Invalidate); when the
// queue is idle PeekMessage hands out WM_PAINT for the first window with something to paint (parents before
// children); BeginPaint sends WM_NCPAINT when the frame is owed, WM_ERASEBKGND when erasing was asked, and
// returns a DC clipped to the update region, which it validates; EndPaint releases the DC. A window without
// WS_CLIPCHILDREN paints over its children, so the children under what it erases or paints owe a paint again
// (they come after it), even when they painted ahead of it; with WS_CLIPCHILDREN its DC leaves them out.
#pragma once

#include <functional>
#include <memory>

#include "platform/window/windowapi.h"

namespace plat {

class Surface;

class Painter {
 public:
  // The back buffer of a window's top-level window, created or resized to the window rectangle.
  static std::shared_ptr<Surface> BackBuffer(HWND hwnd);
  static void DropBackBuffer(HWND topLevel);
  // The composed screen for the screen DC (GetDC(NULL)); the display installs the composer.
  static std::function<std::shared_ptr<Surface>()>& ScreenComposer();
  static std::shared_ptr<Surface> ScreenSnapshot();

  static HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
  static bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
  static HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
  static int ReleaseDC(HWND hwnd, HDC dc);
  static HWND WindowFromDC(HDC dc);

  // Sends WM_NCPAINT when the frame is owed (or always with force) and draws the default frame when asked.
  static void DrawNonClient(HWND hwnd);
  // Sends the WM_NCPAINT owed by windows whose client area has nothing to paint (the queue's paint stage).
  static void FlushNcPaint();
  static void SendNcPaint(HWND hwnd, bool force);
  static LRESULT EraseBackground(HWND hwnd, HDC dc);
  static LRESULT DefaultControlColor(HDC dc, UINT msg);

  // Synchronous painting of a window (and, with children, its descendants): WM_NCPAINT, WM_ERASEBKGND and
  // WM_PAINT as owed. UpdateWindow and RedrawWindow(RDW_UPDATENOW) use it.
  static void UpdateNow(HWND hwnd, bool children, bool eraseOnly = false);

  static int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN updateRgn,
                            LPRECT updateRect, UINT flags);
};

}  // namespace plat
