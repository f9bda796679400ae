#include "platform/window/MoveSizeLoop.h"

#include <algorithm>

#include "platform/gdi/SysColors.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/WindowManager.h"

namespace plat {

void MoveSizeLoop::Run(HWND hwnd, int hit, POINT start) {
  WindowManager& wm = WindowManager::Instance();
  hwnd = wm.TopLevelOf(hwnd);
  Window* w = wm.Get(hwnd);
  if (!w || (w->style & WS_MAXIMIZE)) return;
  const bool sizing = hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
  if (hit != HTCAPTION && !(sizing && (w->style & WS_THICKFRAME))) return;
  const CRect original = w->rect;
  // The window may narrow the tracking limits (WM_GETMINMAXINFO), starting from the system's.
  MINMAXINFO mmi{};
  mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  mmi.ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (sizing) wm.Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  if (!wm.Get(hwnd)) return;
  const int minW = mmi.ptMinTrackSize.x, minH = mmi.ptMinTrackSize.y;
  const int maxW = std::max(minW, static_cast<int>(mmi.ptMaxTrackSize.x));
  const int maxH = std::max(minH, static_cast<int>(mmi.ptMaxTrackSize.y));
  const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
  const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
  const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
  const bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;

  auto place = [&](POINT p) {
    int dx = p.x - start.x, dy = p.y - start.y;
    CRect r = original;
    if (!sizing) {
      r.OffsetRect(dx, dy);
    } else {
      if (left) r.left = std::clamp(original.left + dx, original.right - maxW, original.right - minW);
      if (right) r.right = std::clamp(original.right + dx, original.left + minW, original.left + maxW);
      if (top) r.top = std::clamp(original.top + dy, original.bottom - maxH, original.bottom - minH);
      if (bottom) r.bottom = std::clamp(original.bottom + dy, original.top + minH, original.top + maxH);
    }
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  };

  wm.SetCaptureTo(hwnd);
  MessageQueue& queue = MessageQueue::Instance();
  bool cancelled = false;
  while (wm.Get(hwnd) && wm.capture == hwnd) {
    MSG m;
    if (!queue.Peek(&m, nullptr, 0, 0, PM_REMOVE)) {
      queue.WaitForWork("window move/size tracking");
      continue;
    }
    if (m.message == WM_QUIT) {
      queue.PostQuit(static_cast<int>(m.wParam));
      break;
    }
    if (m.hwnd == hwnd && (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP)) {
      Window* cur = wm.Get(hwnd);
      CPoint o = wm.ClientOrigin(*cur);
      place(POINT{o.x + GET_X_LPARAM(m.lParam), o.y + GET_Y_LPARAM(m.lParam)});
      if (m.message == WM_LBUTTONUP) break;
      continue;
    }
    if (m.message == WM_KEYDOWN && m.wParam == static_cast<WPARAM>(VK_ESCAPE)) {
      cancelled = true;
      break;
    }
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) continue;  // keys belong to the tracking
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (wm.Get(hwnd) && wm.capture != hwnd && !cancelled) cancelled = true;  // someone took the capture
  if (wm.capture == hwnd) wm.ReleaseCaptureNow();
  if (cancelled && wm.Get(hwnd))
    SetWindowPos(hwnd, nullptr, original.left, original.top, original.Width(), original.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace plat
