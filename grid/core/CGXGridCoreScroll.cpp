// Scrolling: bringing a cell into view, scrolling by whole rows or columns while repainting only the strip
// that comes into view, the scroll bars (scaled to the bar's 32767 units) and the scroll messages.
#include <algorithm>
#include <cstdlib>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXAutoScrollPlugin.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"

int CGXGridCore::GetScrollBarPolicy(int bar) const {
  return bar == SB_VERT ? m_nVScrollPolicy : bar == SB_HORZ ? m_nHScrollPolicy : 0;
}

void CGXGridCore::SetScrollBarPolicy(int bar, int policy, BOOL redraw) {
  if (bar == SB_VERT || bar == SB_BOTH) m_nVScrollPolicy = policy;
  if (bar == SB_HORZ || bar == SB_BOTH) m_nHScrollPolicy = policy;
  if (!redraw) return;
  if (policy == 0)
    ShowScrollBar(bar, FALSE);
  else if (policy & 1)
    ShowScrollBar(bar, TRUE);
  else if (policy & 2)
    RefreshScrollBars(TRUE, FALSE);
}

BOOL CGXGridCore::SuspendScrollBarUpdates(BOOL suspend) {
  BOOL old = m_bSuspendScrollBars;
  m_bSuspendScrollBars = suspend;
  if (!suspend && old) RefreshScrollBars(FALSE, FALSE);
  return old;
}

ROWCOL CGXGridCore::CalcLastTopRow() const {
  const ROWCOL first = GetFrozenRows() + 1, count = GetRowCount();
  if (count < first) return first;
  CRect area = GetGridRect();
  const int avail = area.Height() - SumRowHeights(0, GetFrozenRows());
  ROWCOL r = count;
  int sum = GetRowHeight(r);
  while (sum < avail && r > first) sum += GetRowHeight(--r);
  if (sum > avail && r < count) ++r;
  return r;
}

ROWCOL CGXGridCore::CalcLastLeftCol() const {
  const ROWCOL first = GetFrozenCols() + 1, count = GetColCount();
  if (count < first) return first;
  CRect area = GetGridRect();
  const int avail = area.Width() - SumColWidths(0, GetFrozenCols());
  ROWCOL c = count;
  int sum = GetColWidth(c);
  while (sum < avail && c > first) sum += GetColWidth(--c);
  if (sum > avail && c < count) ++c;
  return c;
}

BOOL CGXGridCore::HasScrollBar(int bar) const {
  HWND h = GridHwnd();
  return h && (GetWindowLong(h, GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

void CGXGridCore::RefreshBar(int bar, int policy, ROWCOL first, ROWCOL lastTop, ROWCOL pos, BOOL* changed) {
  const BOOL shown = HasScrollBar(bar);
  switch (policy & ~8) {
    case 0:
      if (shown) {
        ShowScrollBar(bar, FALSE);
        *changed = TRUE;
      }
      break;
    case 2:
      if (pos <= first && lastTop <= first) {
        if (shown) {
          ShowScrollBar(bar, FALSE);
          *changed = TRUE;
        }
        break;
      }
      [[fallthrough]];
    case 1:
      SetScrollRangeScaled(bar, first, lastTop, FALSE);
      SetScrollPosScaled(bar, pos, FALSE);
      if (!shown) {
        ShowScrollBar(bar, TRUE);
        *changed = TRUE;
      }
      break;
    case 4:
      SetScrollRangeScaled(bar, first, lastTop, FALSE);
      SetScrollPosScaled(bar, pos, TRUE);
      break;
    default: break;
  }
}

void CGXGridCore::RefreshScrollBars(BOOL noRepaint, BOOL onlyIfCountsChanged) {
  if (!m_bInitDone || m_bInRefreshScrollBars || m_bSuspendScrollBars || IsLockUpdate()) return;
  if (m_bPrinting) {
    ShowScrollBar(SB_BOTH, FALSE);
    return;
  }
  if (m_nVScrollPolicy == 0 && m_nHScrollPolicy == 0) return;
  if (GetGridRect().IsRectEmpty()) return;
  const ROWCOL rows = m_nVScrollPolicy ? GetRowCount() : 0, cols = m_nHScrollPolicy ? GetColCount() : 0;
  if (onlyIfCountsChanged && rows == m_nLastRefreshRows && cols == m_nLastRefreshCols) return;
  InvalidateShownCaches();
  const ROWCOL firstRow = GetFrozenRows() + 1, firstCol = GetFrozenCols() + 1;
  const ROWCOL lastTop = m_nVScrollPolicy ? CalcLastTopRow() : firstRow;
  const ROWCOL lastLeft = m_nHScrollPolicy ? CalcLastLeftCol() : firstCol;
  if ((m_nHScrollPolicy & 8) && m_nLeftCol > firstCol && m_nLeftCol > lastLeft) m_nLeftCol = std::max(lastLeft, firstCol);
  if ((m_nVScrollPolicy & 8) && m_nTopRow > firstRow && m_nTopRow > lastTop) m_nTopRow = std::max(lastTop, firstRow);
  m_bInRefreshScrollBars = TRUE;
  BOOL vChanged = FALSE, hChanged = FALSE;
  RefreshBar(SB_VERT, m_nVScrollPolicy, firstRow, lastTop, m_nTopRow, &vChanged);
  RefreshBar(SB_HORZ, m_nHScrollPolicy, firstCol, lastLeft, m_nLeftCol, &hChanged);
  if (!noRepaint && (vChanged || hChanged)) {
    InvalidateShownCaches();
    m_cxLastClient = m_cyLastClient = 0;
  }
  if (m_nVScrollPolicy) SetScrollPosScaled(SB_VERT, m_nTopRow, TRUE);
  if (m_nHScrollPolicy) SetScrollPosScaled(SB_HORZ, m_nLeftCol, TRUE);
  m_nLastRefreshRows = rows;
  m_nLastRefreshCols = cols;
  m_bInRefreshScrollBars = FALSE;
}

void CGXGridCore::SetScrollRangeScaled(int bar, ROWCOL minPos, ROWCOL maxPos, BOOL redraw) {
  const int policy = GetScrollBarPolicy(bar);
  HWND h = GridHwnd();
  if (policy == 0 || !h) return;
  // The bar holds at most 32767 units: rows are scaled down by max / 32767 + 1.
  const int scale = static_cast<int>(maxPos / 32767 + 1);
  (bar == SB_VERT ? m_nVScrollScale : m_nHScrollScale) = scale;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = static_cast<int>(minPos / static_cast<ROWCOL>(scale));
  si.nMax = static_cast<int>(maxPos / static_cast<ROWCOL>(scale));
  si.nPage = 0;
  if (policy & 8) {
    const ROWCOL count = bar == SB_VERT ? GetRowCount() : GetColCount();
    si.nPage = static_cast<UINT>((count + 1 - maxPos) / static_cast<ROWCOL>(scale));
    si.nMax = static_cast<int>(count / static_cast<ROWCOL>(scale));
  }
  if (si.nMax < si.nMin) {
    si.nMin = si.nMax;
    si.nPage = 1;
  }
  ::SetScrollInfo(h, bar, &si, redraw);
  m_bScrollRangeChanged = TRUE;
}

int CGXGridCore::SetScrollPosScaled(int bar, ROWCOL pos, BOOL redraw) {
  HWND h = GridHwnd();
  if (GetScrollBarPolicy(bar) == 0 || !h) return 0;
  const int scale = GetScrollScale(bar);
  int barPos = pos < static_cast<ROWCOL>(scale) ? 0 : static_cast<int>(pos / static_cast<ROWCOL>(scale));
  return ::SetScrollPos(h, bar, barPos, redraw) * scale;
}

ROWCOL CGXGridCore::GetScrollPosScaled(int bar) const {
  HWND h = GridHwnd();
  if (!h) return 0;
  return static_cast<ROWCOL>(::GetScrollPos(h, bar)) * static_cast<ROWCOL>(GetScrollScale(bar));
}

void CGXGridCore::ScrollWindowArea(int dx, int dy, const RECT* scroll, const RECT* clip) {
  if (HWND h = GridHwnd())
    ::ScrollWindowEx(h, dx, dy, scroll, clip, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

BOOL CGXGridCore::ScrollByCells(int direction, ROWCOL count) {
  if (count == 0) return FALSE;
  InvalidateShownCaches();
  m_bScrolling = TRUE;
  BOOL scrolled = direction == GX_UP || direction == GX_DOWN ? ScrollRows(direction, count)
                                                            : ScrollCols(direction, count);
  m_bScrolling = FALSE;
  if (scrolled && !m_bNoUpdateAfterScroll) UpdateWindow();
  return scrolled;
}

BOOL CGXGridCore::ScrollRows(int direction, ROWCOL count) {
  const CRect area = GetGridRect();
  const ROWCOL first = GetFrozenRows() + 1;
  CRect scrollArea = area;
  scrollArea.top = std::min<LONG>(area.bottom, area.top + SumRowHeights(0, GetFrozenRows()));
  const int areaHeight = scrollArea.Height();
  ROWCOL newTop = m_nTopRow;
  int dist = 0;
  if (direction == GX_UP) {
    ROWCOL target = m_nTopRow > first + count ? m_nTopRow - count : first;
    target = std::max(target, first);
    if (m_nTopRow <= target) return FALSE;
    ROWCOL r = m_nTopRow;
    while (r > target && dist < areaHeight) dist += GetRowHeight(--r);
    newTop = std::max<ROWCOL>(r, 1);
  } else {
    BeforeDraw(GetRowCount(), 0);
    const ROWCOL lastTop = CalcLastTopRow();
    if (m_nTopRow >= lastTop) return FALSE;
    count = std::min(count, lastTop - m_nTopRow);
    for (ROWCOL r = m_nTopRow; r < m_nTopRow + count && dist < areaHeight; ++r) dist += GetRowHeight(r);
    newTop = m_nTopRow + count;
  }
  // The plug-point feature hears of every scroll as of every paint; the selection frame follows the cells.
  GXForwardArgs notice;
  notice.v[2] = TRUE;
  ExtraFeatureBForward9(notice);
  if (!AllowTopRowChange(newTop)) return FALSE;
  UpdateExcelLikeFrame();
  m_nTopRow = newTop;
  InvalidateShownCaches();
  if (m_pCurrentControl && m_bCurrentValid && m_nCurrentRow > GetFrozenRows()) m_pCurrentControl->HideWindowPart();
  if (!IsLockUpdate() && GridHwnd()) {
    if (dist < areaHeight) {
      // The window contents move; the strip that comes into view is invalidated by the scroll itself.
      ScrollWindowArea(0, direction == GX_UP ? dist : -dist, &scrollArea, &scrollArea);
      if (direction == GX_UP && DrawsHorzLines()) {
        // The line at the top edge of the old top row moved down with it and must be drawn again.
        CRect strip(scrollArea.left, scrollArea.top + dist, scrollArea.right, scrollArea.top + dist + 1);
        InvalidateRect(&strip, TRUE);
      }
    } else {
      InvalidateRect(&scrollArea, TRUE);
    }
  }
  SetScrollPosScaled(SB_VERT, m_nTopRow, TRUE);
  if (direction == GX_UP && (m_nVScrollPolicy & 2) && m_nTopRow == first) RefreshScrollBars(FALSE, FALSE);
  UpdateExcelLikeFrame();
  TopRowChanged();
  return TRUE;
}

BOOL CGXGridCore::ScrollCols(int direction, ROWCOL count) {
  const CRect area = GetGridRect();
  const ROWCOL first = GetFrozenCols() + 1;
  CRect scrollArea = area;
  scrollArea.left = std::min<LONG>(area.right, area.left + SumColWidths(0, GetFrozenCols()));
  const int areaWidth = scrollArea.Width();
  ROWCOL newLeft = m_nLeftCol;
  int dist = 0;
  if (direction == GX_LEFT) {
    ROWCOL target = m_nLeftCol > first + count ? m_nLeftCol - count : first;
    target = std::max(target, first);
    if (m_nLeftCol <= target) return FALSE;
    ROWCOL c = m_nLeftCol;
    while (c > target && dist < areaWidth) dist += GetColWidth(--c);
    newLeft = std::max<ROWCOL>(c, 1);
  } else {
    BeforeDraw(0, GetColCount());
    const ROWCOL lastLeft = CalcLastLeftCol();
    if (m_nLeftCol >= lastLeft) return FALSE;
    count = std::min(count, lastLeft - m_nLeftCol);
    for (ROWCOL c = m_nLeftCol; c < m_nLeftCol + count && dist < areaWidth; ++c) dist += GetColWidth(c);
    newLeft = m_nLeftCol + count;
  }
  // The plug-point feature hears of every scroll as of every paint; the selection frame follows the cells.
  GXForwardArgs notice;
  notice.v[2] = TRUE;
  ExtraFeatureBForward9(notice);
  if (!AllowLeftColChange(newLeft)) return FALSE;
  UpdateExcelLikeFrame();
  m_nLeftCol = newLeft;
  InvalidateShownCaches();
  if (m_pCurrentControl && m_bCurrentValid && m_nCurrentCol > GetFrozenCols()) m_pCurrentControl->HideWindowPart();
  if (!IsLockUpdate() && GridHwnd()) {
    if (dist < areaWidth) {
      ScrollWindowArea(direction == GX_LEFT ? dist : -dist, 0, &scrollArea, &scrollArea);
      if (direction == GX_LEFT && DrawsVertLines()) {
        CRect strip(scrollArea.left + dist, scrollArea.top, scrollArea.left + dist + 1, scrollArea.bottom);
        InvalidateRect(&strip, TRUE);
      }
    } else {
      InvalidateRect(&scrollArea, TRUE);
    }
  }
  SetScrollPosScaled(SB_HORZ, m_nLeftCol, TRUE);
  if (direction == GX_LEFT && (m_nHScrollPolicy & 2) && m_nLeftCol == first) RefreshScrollBars(FALSE, FALSE);
  UpdateExcelLikeFrame();
  LeftColChanged();
  return TRUE;
}

BOOL CGXGridCore::BringCellIntoView(ROWCOL row, ROWCOL col, UINT flags, BOOL) {
  if (m_bDoNotBringIntoView) {
    m_bDoNotBringIntoView = FALSE;
    return FALSE;
  }
  const CRect area = GetGridRect();
  const ROWCOL rowCount = GetRowCount(), colCount = GetColCount();
  BOOL set = FALSE;
  const ROWCOL fr = GetFrozenRows(), fc = GetFrozenCols();
  if (row > fr && row <= rowCount) {
    BOOL endsBefore = FALSE;
    ROWCOL bottom = CalcBottomRowEx(area, &endsBefore);
    if (row < m_nTopRow) {
      SetTopRow(row, flags | GX_INVALIDATE, TRUE);
      set = TRUE;
    } else if (row >= bottom && !(bottom == rowCount && endsBefore)) {
      // The candidate top row: walk up from the row while the rows fit the area.
      int sum = GetRowHeight(row) + SumRowHeights(0, fr);
      ROWCOL cand = row;
      while (sum < area.Height() && cand > fr + 1) sum += GetRowHeight(--cand);
      if (sum > area.Height() && cand < row) ++cand;
      SetTopRow(std::min(cand, rowCount), flags | GX_INVALIDATE, TRUE);
      set = TRUE;
    }
  }
  if (col > fc && col <= colCount) {
    BOOL endsBefore = FALSE;
    ROWCOL right = CalcRightmostColEx(area, &endsBefore);
    if (col < m_nLeftCol) {
      SetLeftCol(col, flags | GX_INVALIDATE, TRUE);
      set = TRUE;
    } else if (col >= right && !(right == colCount && endsBefore)) {
      int sum = GetColWidth(col) + SumColWidths(0, fc);
      ROWCOL cand = col;
      while (sum < area.Width() && cand > fc + 1) sum += GetColWidth(--cand);
      if (sum > area.Width() && cand < col) ++cand;
      SetLeftCol(std::min(cand, colCount), flags | GX_INVALIDATE, TRUE);
      set = TRUE;
    }
  }
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) UpdateWindow();
  return set;
}

namespace {
// A page: the number of rows that fit below the frozen rows, at least 1.
ROWCOL PageRows(const CGXGridCore& g) {
  CRect area = g.GetGridRect();
  ROWCOL bottom = g.CalcBottomRow(area);
  return bottom > g.GetTopRow() ? bottom - g.GetTopRow() : 1;
}
// Page up: the rows above the top row whose heights fit into the scrolled area, at least 1.
ROWCOL PageRowsUp(const CGXGridCore& g) {
  const ROWCOL first = g.GetFrozenRows() + 1;
  if (g.GetTopRow() <= first) return 0;
  const int avail = g.GetGridRect().Height() - g.SumRowHeights(0, g.GetFrozenRows());
  int sum = g.GetRowHeight(g.GetTopRow());
  ROWCOL n = 0;
  for (ROWCOL r = g.GetTopRow() - 1; r >= first; --r) {
    sum += g.GetRowHeight(r);
    if (sum > avail) break;
    ++n;
    if (r == 1) break;
  }
  return std::max<ROWCOL>(n, 1);
}
ROWCOL PageColsLeft(const CGXGridCore& g) {
  const ROWCOL first = g.GetFrozenCols() + 1;
  if (g.GetLeftCol() <= first) return 0;
  const int avail = g.GetGridRect().Width() - g.SumColWidths(0, g.GetFrozenCols());
  int sum = g.GetColWidth(g.GetLeftCol());
  ROWCOL n = 0;
  for (ROWCOL c = g.GetLeftCol() - 1; c >= first; --c) {
    sum += g.GetColWidth(c);
    if (sum > avail) break;
    ++n;
    if (c == 1) break;
  }
  return std::max<ROWCOL>(n, 1);
}
ROWCOL PageCols(const CGXGridCore& g) {
  CRect area = g.GetGridRect();
  ROWCOL right = g.CalcRightmostCol(area);
  return right > g.GetLeftCol() ? right - g.GetLeftCol() : 1;
}
}  // namespace

BOOL CGXGridCore::OnGridVScroll(UINT code, UINT, CScrollBar*) {
  if (!m_bMouseKeyboard || IsLockUpdate()) return FALSE;
  if (GetRowCount() <= GetFrozenRows()) return FALSE;  // nothing to scroll
  switch (code) {
    case SB_LINEUP: ScrollByCells(GX_UP, 1); break;
    case SB_LINEDOWN: ScrollByCells(GX_DOWN, 1); break;
    case SB_PAGEUP:
      if (ROWCOL n = PageRowsUp(*this)) ScrollByCells(GX_UP, n);
      break;
    case SB_PAGEDOWN: ScrollByCells(GX_DOWN, PageRows(*this)); break;
    case SB_TOP: SetTopRow(GetFrozenRows() + 1, GX_UPDATENOW); break;
    case SB_BOTTOM: SetTopRow(CalcLastTopRow(), GX_UPDATENOW); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 16-bit position of the message cannot carry rows beyond 32767: the bar's own 32-bit tracking
      // position, times the scale, names the row.
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      HWND h = GridHwnd();
      if (h && ::GetScrollInfo(h, SB_VERT, &si)) {
        ROWCOL row = static_cast<ROWCOL>(si.nTrackPos) * static_cast<ROWCOL>(m_nVScrollScale);
        SetTopRow(std::max(row, GetFrozenRows() + 1), GX_UPDATENOW);
      }
      break;
    }
    default: break;
  }
  return TRUE;
}

BOOL CGXGridCore::OnGridHScroll(UINT code, UINT, CScrollBar*) {
  if (!m_bMouseKeyboard || IsLockUpdate()) return FALSE;
  if (GetColCount() <= GetFrozenCols()) return FALSE;
  switch (code) {
    case SB_LINELEFT: ScrollByCells(GX_LEFT, 1); break;
    case SB_LINERIGHT: ScrollByCells(GX_RIGHT, 1); break;
    case SB_PAGELEFT:
      if (ROWCOL n = PageColsLeft(*this)) ScrollByCells(GX_LEFT, n);
      break;
    case SB_PAGERIGHT: ScrollByCells(GX_RIGHT, PageCols(*this)); break;
    case SB_LEFT: SetLeftCol(GetFrozenCols() + 1, GX_UPDATENOW); break;
    case SB_RIGHT: SetLeftCol(CalcLastLeftCol(), GX_UPDATENOW); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      HWND h = GridHwnd();
      if (h && ::GetScrollInfo(h, SB_HORZ, &si)) {
        ROWCOL col = static_cast<ROWCOL>(si.nTrackPos) * static_cast<ROWCOL>(m_nHScrollScale);
        SetLeftCol(std::max(col, GetFrozenCols() + 1), GX_UPDATENOW);
      }
      break;
    }
    default: break;
  }
  return TRUE;
}

BOOL CGXGridCore::OnGridMouseWheel(UINT, short delta, CPoint) {
  if (!m_bMouseKeyboard) return FALSE;
  // Three rows per notch; partial notches accumulate.
  m_nWheelRemainder += delta;
  int notches = m_nWheelRemainder / WHEEL_DELTA;
  m_nWheelRemainder -= notches * WHEEL_DELTA;
  if (notches > 0) ScrollByCells(GX_UP, static_cast<ROWCOL>(3 * notches));
  if (notches < 0) ScrollByCells(GX_DOWN, static_cast<ROWCOL>(-3 * notches));
  return TRUE;
}

void CGXGridCore::StartAutoScroll(BOOL capture, int vertical, int horizontal) {
  HWND h = GridHwnd();
  if (!h) return;
  m_nAutoScrollV = vertical;
  m_nAutoScrollH = horizontal;
  m_bAutoScroll = TRUE;
  m_bAutoScrollNew = TRUE;
  if (capture) ::SetCapture(h);
  if (!::SetTimer(h, GX_AUTOSCROLL_TIMER, 10, nullptr)) {
    m_bAutoScroll = FALSE;  // no timer: no auto-scroll, and no message about it
    return;
  }
  ::PostMessage(h, WM_TIMER, GX_AUTOSCROLL_TIMER, 0);
}

void CGXGridCore::InstallAutoScrollPlugin() {
  if (m_pAutoScrollPlugin) return;
  m_pAutoScrollPlugin = new CGXAutoScrollPlugin(this);
  AddPlugin(m_pAutoScrollPlugin);
}

void CGXGridCore::StopAutoScroll() {
  if (m_pAutoScrollPlugin) {
    m_pAutoScrollPlugin->Stop();
    return;
  }
  if (m_bAutoScroll)
    if (HWND h = GridHwnd()) ::KillTimer(h, GX_AUTOSCROLL_TIMER);
  m_bAutoScroll = FALSE;
  m_nAutoScrollBarCode = -1;
  m_bAutoScrollKeyMode = FALSE;
}

// The engine's own timer handler reaches the step only while the plug-in has not taken the timer message
// first (it is installed by the first step; grids without mouse and keyboard handling offer no messages to
// plug-ins).
void CGXGridCore::AutoScrollStep() {
  InstallAutoScrollPlugin();
  m_pAutoScrollPlugin->OnAutoScrollTimer();
}

int CGXGridCore::GetAutoScrollDelay() const { return m_pAutoScrollPlugin ? m_pAutoScrollPlugin->GetDelay() : 80; }
int CGXGridCore::GetAutoScrollFactor() const { return m_pAutoScrollPlugin ? m_pAutoScrollPlugin->GetFactor() : 1; }
