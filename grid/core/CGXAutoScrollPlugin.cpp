#include "grid/core/CGXAutoScrollPlugin.h"

#include <algorithm>
#include <cstdlib>

#include "grid/core/CGXGridCore.h"
#include "platform/base/VirtualClock.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXAutoScrollPlugin, CGXPluginComponent)

namespace {
// How far a cursor coordinate lies beyond the scrolled area's edges [lo, hi], and the direction to scroll
// towards it (0 and no direction inside).
int Beyond(int p, int lo, int hi, int back, int forward, int* direction) {
  if (p < lo) return *direction = back, lo - p;
  if (p > hi) return *direction = forward, p - hi;
  *direction = 0;
  return 0;
}
}  // namespace

CGXAutoScrollPlugin::CGXAutoScrollPlugin(CGXGridCore* grid) : m_pGrid(grid) {
  grid->m_bAutoScrollPluginInstalled = TRUE;
  grid->m_bPressAutoScroll = TRUE;
}

BOOL CGXAutoScrollPlugin::OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  if (result) *result = 0;
  switch (message) {
    case WM_TIMER:
      if (wParam != GX_AUTOSCROLL_TIMER) return FALSE;
      OnAutoScrollTimer();
      m_bExitMessage = TRUE;
      return TRUE;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
    case WM_KEYUP:
    case WM_CANCELMODE:
      Stop();
      return FALSE;
    case WM_KEYDOWN:
      // The key that the request repeats keeps it going (its own key-down messages come through here);
      // Esc and every other key end it.
      if (wParam != m_pGrid->m_nAutoScrollKey || wParam == VK_ESCAPE) Stop();
      return FALSE;
    case WM_KILLFOCUS:
      if (!m_pGrid->m_bAutoScrollKeepAlive) Stop();
      return FALSE;
    default: return FALSE;
  }
}

void CGXAutoScrollPlugin::Stop() {
  CGXGridCore& g = *m_pGrid;
  if (m_nTimer || g.m_bAutoScroll) {
    if (HWND h = g.GridHwnd()) ::KillTimer(h, m_nTimer ? m_nTimer : GX_AUTOSCROLL_TIMER);
  }
  m_nTimer = 0;
  g.m_nAutoScrollBarCode = -1;
  g.m_bAutoScrollKeyMode = FALSE;
  g.m_bAutoScroll = FALSE;  // the request is stopped
}

// The scroll-bar codes of a held scroll-bar button: line and page up (left) or down (right), on the vertical
// bar while vertical scrolling is allowed, else on the horizontal bar.
int CGXAutoScrollPlugin::DirectionOfScrollBarCode() const {
  const BOOL back = m_nScrollBarCode == SB_LINEUP || m_nScrollBarCode == SB_PAGEUP;
  const BOOL forward = m_nScrollBarCode == SB_LINEDOWN || m_nScrollBarCode == SB_PAGEDOWN;
  if (!back && !forward) return 0;
  if (m_bVertical) return back ? GX_UP : GX_DOWN;
  if (m_bHorizontal) return back ? GX_LEFT : GX_RIGHT;
  return 0;
}

void CGXAutoScrollPlugin::OnAutoScrollTimer() {
  CGXGridCore& g = *m_pGrid;
  HWND h = g.GridHwnd();
  // 1. A stopped request (or one without a window) ends here.
  if (!g.m_bAutoScroll || !h) {
    Stop();
    return;
  }
  // 2. A new request: take it over and start slow.
  if (g.m_bAutoScrollNew) {
    g.m_bAutoScrollNew = FALSE;
    m_bVertical = g.m_nAutoScrollV != 0;
    m_bHorizontal = g.m_nAutoScrollH != 0;
    m_nScrollBarCode = g.m_nAutoScrollBarCode;
    m_nKey = g.m_nAutoScrollKey;
    m_nKeyData = g.m_nAutoScrollKeyData;
    m_nTimer = GX_AUTOSCROLL_TIMER;
    // The scrolled area: the grid rectangle less the frozen rows at the top and columns at the left.
    m_rectInner = g.GetGridRect();
    m_rectInner.top += g.SumFrozenRowHeights();
    m_rectInner.left += g.SumFrozenColWidths();
    m_dwStart = ::GetTickCount();
    m_dwLastScroll = 0;
    m_nLastDistance = 0;
    m_nDelay = m_nMoveInterval = 80;
    m_nFactor = 1;
    POINT start;
    ::GetCursorPos(&start);
    ::ScreenToClient(h, &start);
    m_ptStart = start;
  }
  // 3. Now and the cursor.
  const DWORD now = ::GetTickCount();
  POINT pt;
  ::GetCursorPos(&pt);
  ::ScreenToClient(h, &pt);
  const LPARAM at = MAKELPARAM(pt.x, pt.y);
  const BOOL followMouse = m_nScrollBarCode < 0 && !g.m_bAutoScrollKeyMode;
  const long sinceLast = static_cast<long>(now - m_dwLastScroll);
  // 4. Between steps the mouse moves keep a selection following the cursor.
  if (sinceLast <= m_nDelay) {
    const int moved = std::abs(pt.x - m_ptStart.x) + std::abs(pt.y - m_ptStart.y);
    if (moved < 6 && sinceLast > m_nMoveInterval) {
      if (followMouse) ::SendMessage(h, WM_MOUSEMOVE, MK_LBUTTON, at);
      m_nMoveInterval -= 3;
    } else if (moved >= 6) {
      if (followMouse) ::SendMessage(h, WM_MOUSEMOVE, MK_LBUTTON, at);
      m_nMoveInterval = 100;
    }
    return;
  }
  // 5. A step.
  m_dwLastScroll = now;
  const ROWCOL count = static_cast<ROWCOL>(std::max(1, m_nFactor / 10));
  int distance = 0, divisor = 1;
  BOOL accelerate = TRUE;
  if (g.m_bAutoScrollKeyMode) {
    if (m_nDelay < 40) {
      const WORD repeat = static_cast<WORD>(std::max(1, m_nFactor / 5));
      ::SendMessage(h, WM_KEYDOWN, m_nKey, MAKELPARAM(repeat, LOWORD(m_nKeyData)));
    }
    distance = 8;
  } else if (m_nScrollBarCode >= 0) {
    if (m_nDelay < 40) {
      if (const int direction = DirectionOfScrollBarCode()) g.ScrollByCells(direction, count);
    }
    distance = 2;
  } else {
    BOOL scrolled = FALSE;
    if (m_bVertical) {
      int direction = 0;
      distance = Beyond(pt.y, m_rectInner.top, m_rectInner.bottom, GX_UP, GX_DOWN, &direction);
      divisor = 5;
      scrolled = direction != 0 && g.ScrollByCells(direction, count);
    }
    if (!scrolled) {
      if (!m_bHorizontal) {
        Reset();
        accelerate = FALSE;
      } else {
        int direction = 0;
        distance = Beyond(pt.x, m_rectInner.left, m_rectInner.right, GX_LEFT, GX_RIGHT, &direction);
        divisor = 10;
        if (direction == 0 || !g.ScrollByCells(direction, count)) {
          Reset();
          accelerate = FALSE;
        }
      }
    }
  }
  // Acceleration: as far (or farther) as last time, the delay shrinks; at 0 the steps grow.
  if (accelerate) {
    if (distance >= m_nLastDistance && distance > 1) {
      m_nDelay -= (distance / divisor) / 2;
      if (m_nDelay < 0) {
        m_nDelay = 0;
        m_nFactor = std::min(80, m_nFactor + 2);
      }
    } else if (distance < m_nLastDistance) {
      Reset();
    }
  }
  // 6. Remember the distance; a selection follows the scroll.
  m_nLastDistance = distance;
  if (m_nScrollBarCode < 0) ::SendMessage(h, WM_MOUSEMOVE, MK_LBUTTON, at);
}
