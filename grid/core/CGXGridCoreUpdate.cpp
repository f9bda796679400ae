// Optimized redraw after rows or columns were inserted, removed or resized: the window contents scroll
// and only what changed is invalidated. The column forms mirror the row forms.
#include <algorithm>

#include "grid/core/CGXGridCore.h"

void CGXGridCore::OptimizedInsertRows(ROWCOL row, ROWCOL count, UINT flags) {
  if (RowIsFrozen(row) || m_pParam->m_wFloatingMode || (m_pParam->m_wMergingMode & 3)) return RedrawAll(flags);
  flags &= 7;
  const CRect area = GetGridRect();
  if (row < m_nTopRow) {
    // Rows inserted above the shown ones: the same rows stay on screen.
    m_nTopRow += count;
  } else if (row <= GetLastVisibleRow() + 1) {
    InvalidateShownCaches();
    const CRect rowRect = CalcCellRect(row, 0);
    const int top = rowRect.IsRectNull() ? area.bottom : rowRect.top;
    const int height = SumRowHeights(row, row + count - 1, area.Height());
    CRect below(area.left, top, area.right, area.bottom);
    if (!(flags & GX_NOSCROLL) && top + height < area.bottom) {
      if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
        ScrollWindowArea(0, height, &below, &below);
        CRect inserted(area.left, top, area.right, top + height);
        InvalidateRect(&inserted, TRUE);
      }
    } else if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
      InvalidateRect(&below, TRUE);
    }
  }
  InvalidateShownCaches();
  if (flags & GX_UPDATENOW) UpdateWindow();
  // The row numbers below the insertion changed.
  if (m_pParam->m_bNumberRows && flags) RedrawRange(row + count, 0, std::max(GetRowCount(), row + count), 0, flags);
}

void CGXGridCore::OptimizedInsertCols(ROWCOL col, ROWCOL count, UINT flags) {
  if (ColIsFrozen(col) || m_pParam->m_wFloatingMode || (m_pParam->m_wMergingMode & 3)) return RedrawAll(flags);
  flags &= 7;
  const CRect area = GetGridRect();
  if (col < m_nLeftCol) {
    m_nLeftCol += count;
  } else if (col <= GetLastVisibleCol() + 1) {
    InvalidateShownCaches();
    const CRect colRect = CalcCellRect(0, col);
    const int left = colRect.IsRectNull() ? area.right : colRect.left;
    const int width = SumColWidths(col, col + count - 1, area.Width());
    CRect right(left, area.top, area.right, area.bottom);
    if (!(flags & GX_NOSCROLL) && left + width < area.right) {
      if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
        ScrollWindowArea(width, 0, &right, &right);
        CRect inserted(left, area.top, left + width, area.bottom);
        InvalidateRect(&inserted, TRUE);
      }
    } else if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
      InvalidateRect(&right, TRUE);
    }
  }
  InvalidateShownCaches();
  if (flags & GX_UPDATENOW) UpdateWindow();
  if (m_pParam->m_bLetterCols && flags) RedrawRange(0, col + count, 0, std::max(GetColCount(), col + count), flags);
}

void CGXGridCore::OptimizedRemoveRows(ROWCOL from, ROWCOL to, int removedHeight, BOOL wasShown, UINT flags) {
  if (flags == GX_NOSCROLL || RowIsFrozen(from) || m_pParam->m_wFloatingMode || (m_pParam->m_wMergingMode & 3))
    return RedrawAll(flags);
  flags &= 7;
  const ROWCOL count = to - from + 1, rows = GetRowCount();
  if (rows == 0) {
    m_nTopRow = std::max<ROWCOL>(1, GetFrozenRows() + 1);
  } else if (to < m_nTopRow) {
    m_nTopRow -= count;
  } else if (from <= m_nTopRow) {
    m_nTopRow = std::max<ROWCOL>(from, 1);
  }
  if (m_nTopRow > rows) m_nTopRow = std::max<ROWCOL>(rows, 1);
  m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
  InvalidateShownCaches();
  const CRect area = GetGridRect();
  if (wasShown && (flags & (GX_UPDATENOW | GX_INVALIDATE))) {
    const CRect first = CalcCellRect(std::min(from, std::max<ROWCOL>(rows, 1)), 0);
    const int top = first.IsRectNull() ? area.top : first.top;
    CRect below(area.left, top, area.right, area.bottom);
    if (!(flags & GX_NOSCROLL) && removedHeight > 0 && top + removedHeight < area.bottom) {
      CRect moving(area.left, top, area.right, area.bottom);
      ScrollWindowArea(0, -removedHeight, &moving, &moving);
    } else {
      InvalidateRect(&below, TRUE);
    }
    if (flags & GX_UPDATENOW) UpdateWindow();
  }
  if (m_pParam->m_bNumberRows && flags && from <= rows) RedrawRange(from, 0, rows, 0, flags);
}

void CGXGridCore::OptimizedRemoveCols(ROWCOL from, ROWCOL to, int removedWidth, BOOL wasShown, UINT flags) {
  if (flags == GX_NOSCROLL || ColIsFrozen(from) || m_pParam->m_wFloatingMode || (m_pParam->m_wMergingMode & 3))
    return RedrawAll(flags);
  flags &= 7;
  const ROWCOL count = to - from + 1, cols = GetColCount();
  if (cols == 0) {
    m_nLeftCol = std::max<ROWCOL>(1, GetFrozenCols() + 1);
  } else if (to < m_nLeftCol) {
    m_nLeftCol -= count;
  } else if (from <= m_nLeftCol) {
    m_nLeftCol = std::max<ROWCOL>(from, 1);
  }
  if (m_nLeftCol > cols) m_nLeftCol = std::max<ROWCOL>(cols, 1);
  m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
  InvalidateShownCaches();
  const CRect area = GetGridRect();
  if (wasShown && (flags & (GX_UPDATENOW | GX_INVALIDATE))) {
    const CRect first = CalcCellRect(0, std::min(from, std::max<ROWCOL>(cols, 1)));
    const int left = first.IsRectNull() ? area.left : first.left;
    CRect right(left, area.top, area.right, area.bottom);
    if (!(flags & GX_NOSCROLL) && removedWidth > 0 && left + removedWidth < area.right)
      ScrollWindowArea(-removedWidth, 0, &right, &right);
    else
      InvalidateRect(&right, TRUE);
    if (flags & GX_UPDATENOW) UpdateWindow();
  }
  if (m_pParam->m_bLetterCols && flags && from <= cols) RedrawRange(0, from, 0, cols, flags);
}

void CGXGridCore::OptimizedRowHeights(ROWCOL from, ROWCOL to, UINT flags) {
  flags &= 7;
  if (!flags) return;
  if (to == 0) to = from;
  // Rows wholly scrolled out above, or below the last shown row, change nothing on screen.
  if ((from > GetFrozenRows() && to < m_nTopRow) || from > GetLastVisibleRow()) return;
  const CRect area = GetGridRect();
  const CRect first = CalcCellRect(std::max(from, std::min(m_nTopRow, to)), 0);
  CRect rest(area.left, first.IsRectNull() ? area.top : first.top, area.right, area.bottom);
  InvalidateRect(&rest, TRUE);
  if (flags & GX_UPDATENOW) UpdateWindow();
}

void CGXGridCore::OptimizedColWidths(ROWCOL from, ROWCOL to, UINT flags) {
  flags &= 7;
  if (!flags) return;
  if (to == 0) to = from;
  if ((from > GetFrozenCols() && to < m_nLeftCol) || from > GetLastVisibleCol()) return;
  const CRect area = GetGridRect();
  const CRect first = CalcCellRect(0, std::max(from, std::min(m_nLeftCol, to)));
  CRect rest(first.IsRectNull() ? area.left : first.left, area.top, area.right, area.bottom);
  InvalidateRect(&rest, TRUE);
  if (flags & GX_UPDATENOW) UpdateWindow();
}
