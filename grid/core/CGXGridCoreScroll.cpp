// Scrolling: bringing a cell into view, scrolling by whole rows or columns while repainting only the strip
// that comes into view, the scroll bars (scaled to the bar's 32767 units) and the scroll messages.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXGridHint.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CScrollBar.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/windowapi.h"

namespace {
// Bar values times the scale: rows go up to 2^32 - 1, so the product is taken in 64 bits and an int result
// saturates (a scale of 131074 times a bar position of 32767 does not fit an int).
int ScaledToInt(int value, int scale) {
  const std::int64_t v = static_cast<std::int64_t>(value) * scale;
  return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}
}  // namespace

// The window whose scroll bar `bar` stands for: a scroll-bar control the grid window names for that bar (a
// parent's bar shared by the grids in it) is addressed as SB_CTL; otherwise the grid window's own bar.
HWND CGXGridCore::ScrollBarTarget(int& bar) const {
  if (CWnd* wnd = GridWnd(); wnd && (bar == SB_HORZ || bar == SB_VERT))
    if (CScrollBar* ctrl = wnd->GetScrollBarCtrl(bar); ctrl && ctrl->m_hWnd) {
      bar = SB_CTL;
      return ctrl->m_hWnd;
    }
  return GridHwnd();
}

// An editing control on a covered cell that straddles the frozen rows (columns) cannot follow a scroll (half
// of it stays, half moves): it hears of every scroll first and stores and leaves its editing state. Its
// answer does not matter.
void CGXGridCore::TellCurrentControlOfScroll(UINT message, WPARAM wParam, LPARAM lParam) {
  CGXControl* control = ControlOfCurrentCell();
  if (!control) return;
  MSG msg{};
  msg.hwnd = GridHwnd();
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  control->OnGridWindowMessage(&msg);
}

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
  const int avail = area.Height() - SumFrozenRowHeights();
  ROWCOL r = count;
  int sum = GetRowHeight(r);
  while (sum < avail && r > first) {
    r = std::max(PrevShownRow(r - 1), first);  // hidden rows add nothing
    sum += GetRowHeight(r);
  }
  if (sum > avail && r < count) ++r;
  // Hidden rows before it are no place to scroll to: the rows shown are all in view from the first.
  if (r > first && PrevShownRow(r - 1) < first) r = first;
  return r;
}

ROWCOL CGXGridCore::CalcLastLeftCol() const {
  const ROWCOL first = GetFrozenCols() + 1, count = GetColCount();
  if (count < first) return first;
  CRect area = GetGridRect();
  const int avail = area.Width() - SumFrozenColWidths();
  ROWCOL c = count;
  int sum = GetColWidth(c);
  while (sum < avail && c > first) {
    c = std::max(PrevShownCol(c - 1), first);
    sum += GetColWidth(c);
  }
  if (sum > avail && c < count) ++c;
  // Hidden columns before it are no place to scroll to: the columns shown are all in view from the first.
  if (c > first && PrevShownCol(c - 1) < first) c = first;
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
  // A hidden grid in a registered parent refreshes its bars when it is shown, unless asked to do it hidden.
  HWND h = GridHwnd();
  if (h && !::IsWindowVisible(h) && IsRegisteredParent() && !m_bRefreshHidden) return;
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
  // No empty space after the last column (row): pulled back through the setters, which scroll.
  if ((m_nHScrollPolicy & 8) && m_nLeftCol > firstCol && m_nLeftCol > lastLeft) {
    SetLeftCol(std::max(lastLeft, firstCol), GX_UPDATENOW);
    UpdateWindow();
  }
  if ((m_nVScrollPolicy & 8) && m_nTopRow > firstRow && m_nTopRow > lastTop) {
    SetTopRow(std::max(lastTop, firstRow), GX_UPDATENOW);
    UpdateWindow();
  }
  m_bInRefreshScrollBars = TRUE;
  BOOL vChanged = FALSE, hChanged = FALSE;
  RefreshBar(SB_VERT, m_nVScrollPolicy, firstRow, lastTop, m_nTopRow, &vChanged);
  RefreshBar(SB_HORZ, m_nHScrollPolicy, firstCol, lastLeft, m_nLeftCol, &hChanged);
  if (!noRepaint) {
    if (vChanged || hChanged) {
      InvalidateShownCaches();
      m_cxLastClient = m_cyLastClient = 0;
    }
    UpdateWindow();
    // A bar that came or went changed the client area: the strips along it repaint (twice the bar's size,
    // for the cells cut by the old edge).
    CRect client;
    if (h && (hChanged || vChanged) && ::GetClientRect(h, &client)) {
      if (hChanged) {
        CRect strip(client.left, client.bottom - 2 * GetSystemMetrics(SM_CYHSCROLL), client.right, client.bottom);
        InvalidateRect(&strip, TRUE);
        UpdateWindow();
      }
      if (vChanged) {
        CRect strip(client.right - 2 * GetSystemMetrics(SM_CXVSCROLL), client.top, client.right, client.bottom);
        InvalidateRect(&strip, TRUE);
        UpdateWindow();
      }
    }
  }
  if (m_nVScrollPolicy) SetScrollPosScaled(SB_VERT, m_nTopRow, TRUE);
  if (m_nHScrollPolicy) SetScrollPosScaled(SB_HORZ, m_nLeftCol, TRUE);
  m_nLastRefreshRows = rows;
  m_nLastRefreshCols = cols;
  m_bInRefreshScrollBars = FALSE;
}

void CGXGridCore::SetScrollRangeScaled(int bar, ROWCOL minPos, ROWCOL maxPos, BOOL redraw) {
  const int policy = GetScrollBarPolicy(bar);
  int target = bar;
  HWND h = ScrollBarTarget(target);
  if (policy == 0 || !h) return;
  // The bar holds at most 32767 units: rows are scaled down by max / 32767 + 1. The minimum is scaled as
  // well, so that the thumb at the top names the first scrollable row whatever the scale.
  const ROWCOL scale = maxPos / 32767 + 1;
  (bar == SB_VERT ? m_nVScrollScale : m_nHScrollScale) = static_cast<int>(scale);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  const BOOL haveInfo = ::GetScrollInfo(h, target, &si);
  si.fMask = SIF_RANGE | SIF_PAGE;
  ROWCOL max = maxPos;
  UINT page = 0;
  if ((policy & 8) && haveInfo) {
    const ROWCOL count = bar == SB_VERT ? GetRowCount() : GetColCount();
    page = static_cast<UINT>((count + 1 - std::min(maxPos, count + 1)) / scale);
    max = count;
  }
  si.nMax = static_cast<int>(max / scale);
  si.nMin = static_cast<int>(minPos / scale);
  si.nPage = page;
  if (si.nMax < si.nMin) {
    si.nMin = si.nMax;
    si.nPage = 1;
  }
  if (haveInfo)
    ::SetScrollInfo(h, target, &si, redraw);
  else
    ::SetScrollRange(h, target, static_cast<int>(minPos / scale), static_cast<int>(maxPos / scale), redraw);
  m_bScrollRangeChanged = TRUE;
}

void CGXGridCore::GetScrollRangeScaled(int bar, int* minPos, int* maxPos) const {
  int lo = 0, hi = 0;
  int target = bar;
  if (HWND h = ScrollBarTarget(target)) ::GetScrollRange(h, target, &lo, &hi);
  const int scale = GetScrollScale(bar);
  if (minPos) *minPos = ScaledToInt(lo, scale);
  if (maxPos) *maxPos = ScaledToInt(hi, scale);
}

int CGXGridCore::SetScrollPosScaled(int bar, ROWCOL pos, BOOL redraw) {
  int target = bar;
  HWND h = ScrollBarTarget(target);
  if (GetScrollBarPolicy(bar) == 0 || !h) return 0;
  const int scale = GetScrollScale(bar);
  int barPos = pos < static_cast<ROWCOL>(scale) ? 0 : static_cast<int>(pos / static_cast<ROWCOL>(scale));
  return ScaledToInt(::SetScrollPos(h, target, barPos, redraw), scale);
}

ROWCOL CGXGridCore::GetScrollPosScaled(int bar) const {
  int target = bar;
  HWND h = ScrollBarTarget(target);
  if (!h) return 0;
  return static_cast<ROWCOL>(::GetScrollPos(h, target)) * static_cast<ROWCOL>(GetScrollScale(bar));
}

void CGXGridCore::ScrollWindowArea(int dx, int dy, const RECT* scroll, const RECT* clip) {
  // The fill feature draws outside the cells (its handle): it hears of the move before the contents go.
  if ((dx || dy) && m_pExcelLikeFillImp && ParamSettings().m_bFillEnabled) m_pExcelLikeFillImp->BeforeScrollWindow(this);
  if (HWND h = GridHwnd())
    ::ScrollWindowEx(h, dx, dy, scroll, clip, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

BOOL CGXGridCore::ScrollAndNotify(int direction, ROWCOL count) {
  const BOOL scrolled = ScrollByCells(direction, count);
  if (scrolled && CanSendHints()) m_pUpdateHintImp->HintSyncSplitterPanes(this, direction);
  return scrolled;
}

void CGXGridCore::GetTopLeftCell(int* row, int* col) const {
  if (row) *row = static_cast<int>(m_nTopRow);
  if (col) *col = static_cast<int>(m_nLeftCol);
}

BOOL CGXGridCore::ScrollByCells(int direction, ROWCOL count) {
  if (count == 0) return FALSE;
  m_nPrevTopRow = m_nTopRow;
  m_nPrevLeftCol = m_nLeftCol;
  InvalidateShownCaches();
  CRect current(0, 0, 0, 0);
  ROWCOL cr = 0, cc = 0;
  if (QueryCurrentCell(&cr, &cc)) current = CalcCellRect(cr, cc);
  m_bScrolling = TRUE;
  std::vector<CRect> queued;
  const BOOL scrolled = direction == GX_UP || direction == GX_DOWN ? ScrollRows(direction, count, current, queued)
                                                                  : ScrollCols(direction, count, current, queued);
  if (scrolled && !m_bNoUpdateAfterScroll) {
    UpdateWindow();
    // Merged cells that crossed the seam repaint whole once the contents moved.
    for (const CRect& r : queued) {
      InvalidateRect(&r, TRUE);
      UpdateWindow();
    }
  } else if (scrolled) {
    for (const CRect& r : queued) InvalidateRect(&r, TRUE);
  }
  m_bScrolling = FALSE;
  m_nPrevTopRow = m_nPrevLeftCol = 0;
  return scrolled;
}

namespace {
// The new first scrolled row (column) of a scroll towards row 1 by `count` rows. A scroll never ends on a
// row of size 0: it goes on over hidden rows to the next shown one, so that every scroll moves the picture
// (a one-row scroll over a hidden row would otherwise move nothing). The walk also stops once the sizes
// passed fill the area. `dist` receives the pixels passed.
//
// The rows (columns) of a grid for these walks: their sizes and the hide feature's jumps over hidden runs.
struct Lines {
  const CGXGridCore* g;
  bool rows;
  int Size(ROWCOL i) const { return rows ? g->GetRowHeight(i) : g->GetColWidth(i); }
  ROWCOL Next(ROWCOL i) const { return rows ? g->NextShownRow(i) : g->NextShownCol(i); }
  ROWCOL Prev(ROWCOL i) const { return rows ? g->PrevShownRow(i) : g->PrevShownCol(i); }
};
ROWCOL WalkBack(ROWCOL from, ROWCOL first, ROWCOL count, int area, const Lines& lines, int* dist) {
  ROWCOL r = from, steps = 0;
  *dist = 0;
  while (r > first && *dist < area) {
    if (steps >= count && lines.Size(r) > 0) break;
    // A run of hidden rows is passed in one step; each of its rows counts as a step.
    const ROWCOL next = std::max(lines.Prev(r - 1), first);
    steps += r - next;
    r = next;
    *dist += lines.Size(r);
  }
  return r;
}
// The number of rows (columns) a scroll away from row 1 moves: `count`, and one more for every row of size
// 0 that the scroll would end on, at most the distance to the last possible first row.
//
// Decision: hidden rows extend a scroll only where it would end on them, rather than counting every hidden
// row passed. The top-row setters scroll by the difference to the requested row; counting the hidden rows
// passed would carry them past the row asked for.
ROWCOL StepsForward(ROWCOL from, ROWCOL last, ROWCOL count, const Lines& lines) {
  if (from >= last) return 0;
  ROWCOL n = std::min(count, last - from);
  while (n < last - from) {
    const ROWCOL shown = lines.Next(from + n);  // past a run of hidden rows
    if (shown != from + n) {
      n = shown == GX_INVALID ? last - from : std::min(shown - from, last - from);
      continue;
    }
    if (lines.Size(from + n) != 0) break;
    ++n;
  }
  return n;
}

// Spanned cells (covered, merged, floating) that reach across the old top row (left column) from above (the
// left) are drawn around their whole range: once the contents moved, the part of them that stays is stale. Their rectangles, stretched
// by the scroll distance, are queued for repainting after the scroll. The walk goes along the old top row
// over every shown column (along the old left column over every shown row).
void QueueSpansAcrossSeam(CGXGridCore* g, bool rows, int dist, const CRect& scrollArea, std::vector<CRect>& queued) {
  const CGXGridParam* param = g->GetParam();
  if (!param || (param->m_wMergingMode == 0 && param->m_wFloatingMode == 0 && param->GetCoveredCells().IsEmpty()))
    return;
  const ROWCOL seam = rows ? g->GetTopRow() : g->GetLeftCol();
  const ROWCOL last = rows ? g->GetLastVisibleCol() : g->GetLastVisibleRow();
  const ROWCOL frozen = rows ? g->GetFrozenCols() : g->GetFrozenRows();
  const ROWCOL firstScrolled = rows ? g->GetLeftCol() : g->GetTopRow();
  for (ROWCOL i = 0; i <= last && i != GX_INVALID; ++i) {
    if (i > frozen && i < firstScrolled) i = firstScrolled;
    if (i > last) break;
    CGXRange merged;
    if (!g->SpanRangeOfCell(rows ? seam : i, rows ? i : seam, merged)) continue;
    if ((rows ? merged.top : merged.left) >= seam) continue;
    CRect r = g->CalcRangeRect(merged.top, merged.left, merged.bottom, merged.right, TRUE);
    (rows ? r.top : r.left) -= dist;
    (rows ? r.bottom : r.right) += dist;
    r.IntersectRect(&r, &scrollArea);
    if (!r.IsRectEmpty()) queued.push_back(r);
    i = std::max(i, rows ? merged.right : merged.bottom);
  }
}
}  // namespace

BOOL CGXGridCore::ScrollRows(int direction, ROWCOL count, const CRect& current, std::vector<CRect>& queued) {
  const CRect area = GetGridRect();
  const ROWCOL first = GetFrozenRows() + 1;
  CRect scrollArea = area;
  scrollArea.top = std::min<LONG>(area.bottom, area.top + SumFrozenRowHeights());
  const int areaHeight = scrollArea.Height();
  const Lines height{this, true};
  ROWCOL newTop = m_nTopRow;
  int dist = 0;
  if (direction == GX_UP) {
    // Written so that a count near 2^32 ("everything") cannot wrap first + count.
    const ROWCOL target = m_nTopRow > first && m_nTopRow - first > count ? m_nTopRow - count : first;
    if (m_nTopRow <= target) return FALSE;
    newTop = std::max<ROWCOL>(std::min(WalkBack(m_nTopRow, first, count, areaHeight, height, &dist), target), 1);
  } else {
    BeforeDraw(GetRowCount(), 0);
    count = StepsForward(m_nTopRow, CalcLastTopRow(), count, height);
    if (count == 0) return FALSE;
    for (ROWCOL r = NextShownRow(m_nTopRow); r < m_nTopRow + count && dist < areaHeight; r = NextShownRow(r + 1))
      dist += GetRowHeight(r);
    newTop = m_nTopRow + count;
  }
  // The plug-point feature hears of every scroll as of every paint.
  GXForwardArgs notice;
  notice.v[2] = TRUE;
  ExtraFeatureBForward9(notice);
  if (!AllowTopRowChange(newTop)) return FALSE;
  QueueSpansAcrossSeam(this, true, dist, scrollArea, queued);
  UpdateExcelLikeFrame();
  m_nPrevTopRow = m_nTopRow;
  m_nTopRow = newTop;
  InvalidateShownCaches();
  // An editing control's window leaves with its cell: hidden once the cell's corner is no longer in the
  // part of the area whose contents stay on screen (cells of frozen rows do not scroll).
  if (CurrentCellIsActive() && !RowIsFrozen(m_nCurrentRow) && m_nCurrentRow != 0 && !current.IsRectEmpty()) {
    CRect keeps = scrollArea;
    if (direction == GX_UP)
      keeps.bottom -= dist;
    else
      keeps.top += dist;
    if (!keeps.PtInRect(current.TopLeft()) && !m_pCurrentControl->KeepWindowOnScroll())
      m_pCurrentControl->HideWindowPart();
  }
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
      queued.clear();
    }
  }
  SetScrollPosScaled(SB_VERT, m_nTopRow, TRUE);
  if (direction == GX_UP && (m_nVScrollPolicy & 2) && m_nTopRow == first) RefreshScrollBars(FALSE, FALSE);
  UpdateExcelLikeFrame();
  TopRowChanged();
  return TRUE;
}

BOOL CGXGridCore::ScrollCols(int direction, ROWCOL count, const CRect& current, std::vector<CRect>& queued) {
  const CRect area = GetGridRect();
  const ROWCOL first = GetFrozenCols() + 1;
  CRect scrollArea = area;
  scrollArea.left = std::min<LONG>(area.right, area.left + SumFrozenColWidths());
  const int areaWidth = scrollArea.Width();
  const Lines width{this, false};
  ROWCOL newLeft = m_nLeftCol;
  int dist = 0;
  if (direction == GX_LEFT) {
    const ROWCOL target = m_nLeftCol > first && m_nLeftCol - first > count ? m_nLeftCol - count : first;
    if (m_nLeftCol <= target) return FALSE;
    newLeft = std::max<ROWCOL>(std::min(WalkBack(m_nLeftCol, first, count, areaWidth, width, &dist), target), 1);
  } else {
    BeforeDraw(0, GetColCount());
    count = StepsForward(m_nLeftCol, CalcLastLeftCol(), count, width);
    if (count == 0) return FALSE;
    for (ROWCOL c = NextShownCol(m_nLeftCol); c < m_nLeftCol + count && dist < areaWidth; c = NextShownCol(c + 1))
      dist += GetColWidth(c);
    newLeft = m_nLeftCol + count;
  }
  GXForwardArgs notice;
  notice.v[2] = TRUE;
  ExtraFeatureBForward9(notice);
  if (!AllowLeftColChange(newLeft)) return FALSE;
  QueueSpansAcrossSeam(this, false, dist, scrollArea, queued);
  UpdateExcelLikeFrame();
  m_nPrevLeftCol = m_nLeftCol;
  m_nLeftCol = newLeft;
  InvalidateShownCaches();
  if (CurrentCellIsActive() && !ColIsFrozen(m_nCurrentCol) && m_nCurrentCol != 0 && !current.IsRectEmpty()) {
    CRect keeps = scrollArea;
    if (direction == GX_LEFT)
      keeps.right -= dist;
    else
      keeps.left += dist;
    if (!keeps.PtInRect(current.TopLeft()) && !m_pCurrentControl->KeepWindowOnScroll())
      m_pCurrentControl->HideWindowPart();
  }
  if (!IsLockUpdate() && GridHwnd()) {
    if (dist < areaWidth) {
      ScrollWindowArea(direction == GX_LEFT ? dist : -dist, 0, &scrollArea, &scrollArea);
      if (direction == GX_LEFT && DrawsVertLines()) {
        CRect strip(scrollArea.left + dist, scrollArea.top, scrollArea.left + dist + 1, scrollArea.bottom);
        InvalidateRect(&strip, TRUE);
      }
    } else {
      InvalidateRect(&scrollArea, TRUE);
      queued.clear();
    }
  }
  SetScrollPosScaled(SB_HORZ, m_nLeftCol, TRUE);
  if (direction == GX_LEFT && (m_nHScrollPolicy & 2) && m_nLeftCol == first) RefreshScrollBars(FALSE, FALSE);
  UpdateExcelLikeFrame();
  LeftColChanged();
  return TRUE;
}

BOOL CGXGridCore::BringCellIntoView(ROWCOL row, ROWCOL col, UINT flags, BOOL floatCells) {
  if (m_bDoNotBringIntoView) {
    m_bDoNotBringIntoView = FALSE;
    return FALSE;
  }
  const CRect area = GetGridRect();
  const ROWCOL rowCount = GetRowCount(), colCount = GetColCount();
  const ROWCOL fr = GetFrozenRows(), fc = GetFrozenCols();
  // A spanning cell that starts in the frozen rows (columns) and reaches below them is brought into view
  // by its first scrollable row (column).
  auto straddle = [&](const CGXRange& span) {
    if (row >= 1 && row <= fr && span.bottom > fr) row = fr + 1;
    if (col >= 1 && col <= fc && span.right > fc) col = fc + 1;
  };
  CGXRange span;
  if (GetCoveredCellsRowCol(row, col, span)) straddle(span);
  // The last row (column) at the window's edge needs no scroll when it ends inside the window.
  auto EndsInside = [&](ROWCOL r, ROWCOL c) {
    const CRect rect = CalcCellRect(r, c);
    return !rect.IsRectNull() && (r ? rect.bottom <= area.bottom : rect.right <= area.right);
  };
  if (floatCells && GetFloatedCellsRange(row, col, span)) straddle(span);
  BOOL set = FALSE;
  if (row > fr && row <= rowCount) {
    BOOL endsBefore = FALSE;
    const ROWCOL bottom = CalcBottomRowEx(area, &endsBefore);
    // Decision: the control hears of the scroll whichever way the rows move (not only downwards): either
    // way its cell moves.
    if (row < m_nTopRow) {
      TellCurrentControlOfScroll(WM_VSCROLL, 0, 0);
      SetTopRow(row, flags, TRUE);
      set = TRUE;
    } else if (row >= bottom && !(bottom == rowCount && (endsBefore || EndsInside(bottom, 0)))) {
      // The candidate top row: walk up from the row while the rows fit the area. The walk never enters the
      // frozen rows: the first scrolled row is frozen rows + 1 at the least.
      TellCurrentControlOfScroll(WM_VSCROLL, 0, 0);
      int sum = GetRowHeight(row) + SumFrozenRowHeights();
      ROWCOL cand = row;
      while (sum < area.Height() && cand > fr + 1) {
        cand = std::max(PrevShownRow(cand - 1), fr + 1);  // hidden rows add nothing
        sum += GetRowHeight(cand);
      }
      if (sum > area.Height() && cand < row) ++cand;
      SetTopRow(std::min(cand, rowCount), flags, TRUE);
      set = TRUE;
    }
  }
  if (col > fc && col <= colCount) {
    BOOL endsBefore = FALSE;
    const ROWCOL right = CalcRightmostColEx(area, &endsBefore);
    if (col < m_nLeftCol) {
      TellCurrentControlOfScroll(WM_HSCROLL, 0, 0);
      SetLeftCol(col, flags, TRUE);
      set = TRUE;
    } else if (col >= right && !(right == colCount && (endsBefore || EndsInside(0, right)))) {
      TellCurrentControlOfScroll(WM_HSCROLL, 0, 0);
      int sum = GetColWidth(col) + SumFrozenColWidths();
      ROWCOL cand = col;
      while (sum < area.Width() && cand > fc + 1) {
        cand = std::max(PrevShownCol(cand - 1), fc + 1);
        sum += GetColWidth(cand);
      }
      if (sum > area.Width() && cand < col) ++cand;
      SetLeftCol(std::min(cand, colCount), flags, TRUE);
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
  const int avail = g.GetGridRect().Height() - g.SumFrozenRowHeights();
  int sum = g.GetRowHeight(g.GetTopRow());
  ROWCOL n = 0;
  for (ROWCOL r = g.GetTopRow() - 1; r >= first; --r) {
    // The hidden rows above r count, without a height, as rows of the page.
    if (sum > avail) break;
    const ROWCOL shown = std::max(g.PrevShownRow(r), first - 1);
    n += r - shown;
    if (shown < first) break;
    r = shown;
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
  const int avail = g.GetGridRect().Width() - g.SumFrozenColWidths();
  int sum = g.GetColWidth(g.GetLeftCol());
  ROWCOL n = 0;
  for (ROWCOL c = g.GetLeftCol() - 1; c >= first; --c) {
    if (sum > avail) break;
    const ROWCOL shown = std::max(g.PrevShownCol(c), first - 1);
    n += c - shown;
    if (shown < first) break;
    c = shown;
    sum += g.GetColWidth(c);
    if (sum > avail) break;
    ++n;
    if (c == 1) break;
  }
  return std::max<ROWCOL>(n, 1);
}
// The thumb's target row (column) is worth a scroll only when a row between it and the top row has a size:
// over hidden rows alone the picture would not change. Stops at the first shown one.
bool AnyShownBetween(ROWCOL a, ROWCOL b, const Lines& lines) {
  if (a > b) std::swap(a, b);
  for (ROWCOL r = lines.Next(a); r < b; r = lines.Next(r + 1))
    if (lines.Size(r) > 0) return true;
  return false;
}
// The bar's 32-bit tracking position: the 16-bit position of the message cannot carry rows beyond 32767.
bool ThumbTrackPos(HWND h, int bar, int* pos) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_TRACKPOS;
  if (!h || !::GetScrollInfo(h, bar, &si)) return false;
  *pos = si.nTrackPos;
  return true;
}
ROWCOL PageCols(const CGXGridCore& g) {
  CRect area = g.GetGridRect();
  ROWCOL right = g.CalcRightmostCol(area);
  return right > g.GetLeftCol() ? right - g.GetLeftCol() : 1;
}
}  // namespace

// The bar a thumb message came from: the scroll-bar control that sent it (SB_CTL), else the bar the grid's
// range and position go to.
HWND CGXGridCore::ThumbBar(int bar, CScrollBar* sender, int* target) const {
  *target = bar;
  if (sender && sender->m_hWnd) {
    *target = SB_CTL;
    return sender->m_hWnd;
  }
  return ScrollBarTarget(*target);
}

BOOL CGXGridCore::OnGridVScroll(UINT code, UINT pos, CScrollBar* bar) {
  if (!m_bMouseKeyboard || IsLockUpdate()) return FALSE;
  TellCurrentControlOfScroll(WM_VSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(bar ? bar->m_hWnd : nullptr));
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
      if (!ParamSettings().m_bThumbTrack) break;  // the grid follows the thumb only on its release
      [[fallthrough]];
    case SB_THUMBPOSITION: {
      // The bar's tracking position times the scale names the row.
      int track = 0, target = 0;
      HWND h = ThumbBar(SB_VERT, bar, &target);
      if (ThumbTrackPos(h, target, &track)) {
        const ROWCOL row = std::max(static_cast<ROWCOL>(track) * static_cast<ROWCOL>(m_nVScrollScale),
                                    GetFrozenRows() + 1);
        if (AnyShownBetween(m_nTopRow, row, Lines{this, true}))
          SetTopRow(row, GX_UPDATENOW);
      }
      break;
    }
    default: break;
  }
  return TRUE;
}

BOOL CGXGridCore::OnGridHScroll(UINT code, UINT pos, CScrollBar* bar) {
  if (!m_bMouseKeyboard || IsLockUpdate()) return FALSE;
  TellCurrentControlOfScroll(WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(bar ? bar->m_hWnd : nullptr));
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
      if (!ParamSettings().m_bThumbTrack) break;
      [[fallthrough]];
    case SB_THUMBPOSITION: {
      int track = 0, target = 0;
      HWND h = ThumbBar(SB_HORZ, bar, &target);
      if (ThumbTrackPos(h, target, &track)) {
        const ROWCOL col = std::max(static_cast<ROWCOL>(track) * static_cast<ROWCOL>(m_nHScrollScale),
                                    GetFrozenCols() + 1);
        if (AnyShownBetween(m_nLeftCol, col, Lines{this, false}))
          SetLeftCol(col, GX_UPDATENOW);
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
  // The wheel scrolls as the bar does: the current control hears of it first.
  if (notches) TellCurrentControlOfScroll(WM_VSCROLL, MAKEWPARAM(notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0), 0);
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
