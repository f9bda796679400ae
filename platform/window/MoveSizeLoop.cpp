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
  const int minW = GetSystemMetrics(SM_CXMINTRACK), minH = GetSystemMetrics(SM_CYMINTRACK);
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
      if (left) r.left = std::min(original.left + dx, original.right - minW);
      if (right) r.right = std::max(original.right + dx, original.left + minW);
      if (top) r.top = std::min(original.top + dy, original.bottom - minH);
      if (bottom) r.bottom = std::max(original.bottom + dy, original.top + minH);
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
