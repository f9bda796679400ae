// Rows and columns: counts, frozen and header rows, heights and widths in font units, the top row.
//
// Units: a height of h pixels is stored as h * (1000 / F), F the line height of the standard font, the
// division done first; a stored u reads back as u / (1000 / F). A font taller than 1000 pixels would make
// the step 0; the step is kept at least 1 so that no size ever divides by zero.
#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "platform/framework/CWnd.h"

namespace {
int Step(int fontSize) { return std::max(1, 1000 / std::max(1, fontSize)); }
}  // namespace

ROWCOL CGXGridCore::GetRowCount() const {
  const CGXData* d = GetData();
  return d ? d->GetRowCount() : 0;
}

ROWCOL CGXGridCore::GetColCount() const {
  const CGXData* d = GetData();
  return d ? d->GetColCount() : 0;
}

BOOL CGXGridCore::StoreRowCount(ROWCOL rows) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  CGXData* d = GetData();
  if (!d || !d->StoreRowCount(rows)) return FALSE;
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreColCount(ROWCOL cols) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  CGXData* d = GetData();
  if (!d || !d->StoreColCount(cols)) return FALSE;
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::SetRowCount(ROWCOL rows, UINT flags) {
  ROWCOL count = GetRowCount();
  if (rows < count) return RemoveRows(rows + 1, count, flags, 0);
  if (rows > count) return InsertRows(count + 1, rows - count, flags, 0);
  return TRUE;
}

BOOL CGXGridCore::SetColCount(ROWCOL cols, UINT flags) {
  ROWCOL count = GetColCount();
  if (cols < count) return RemoveCols(cols + 1, count, flags, 0);
  if (cols > count) return InsertCols(count + 1, cols - count, flags, 0);
  return TRUE;
}

void CGXGridCore::UpdateChangedRowCount(ROWCOL oldCount, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintRowCount, oldCount, 0, 0, 0, flags);
  ROWCOL row, col;
  QueryCurrentCell(&row, &col);
  if (m_bCurrentValid && row > GetRowCount()) SaveCurrentCellEdit(FALSE);
  if (!IsLockUpdate() && flags) {
    RefreshScrollBars(FALSE, FALSE);
    RedrawAll(flags, FALSE);
  }
}

void CGXGridCore::UpdateChangedColCount(ROWCOL oldCount, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintColCount, 0, oldCount, 0, 0, flags);
  ROWCOL row, col;
  QueryCurrentCell(&row, &col);
  if (m_bCurrentValid && col > GetColCount()) SaveCurrentCellEdit(FALSE);
  if (!IsLockUpdate() && flags) {
    RefreshScrollBars(FALSE, FALSE);
    RedrawAll(flags, FALSE);
  }
}

BOOL CGXGridCore::StoreInsertRows(ROWCOL row, ROWCOL count, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->InsertRows(row, count)) force = TRUE;
  if (!force) return FALSE;
  SetModifiedFlag(TRUE);
  if (m_pHideCellsImp) m_pHideCellsImp->OnInsertRows(this, row, count);
  m_pParam->GetRowHeights().InsertKeys(row, count);
  // Range edges at or after the insertion move on with the cells.
  m_pParam->GetSelection().AdjustForInsertedRows(row, count);
  m_pParam->GetCoveredCells().AdjustForInsertedRows(row, count);
  m_pParam->SyncCoveredCellPool();
  return TRUE;
}

BOOL CGXGridCore::StoreInsertCols(ROWCOL col, ROWCOL count, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->InsertCols(col, count)) force = TRUE;
  if (!force) return FALSE;
  SetModifiedFlag(TRUE);
  m_pParam->GetColWidths().InsertKeys(col, count);
  // Range edges at or after the insertion move on with the cells.
  m_pParam->GetSelection().AdjustForInsertedCols(col, count);
  m_pParam->GetCoveredCells().AdjustForInsertedCols(col, count);
  m_pParam->SyncCoveredCellPool();
  return TRUE;
}

BOOL CGXGridCore::StoreRemoveRows(ROWCOL from, ROWCOL to, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->RemoveRows(from, to)) force = TRUE;
  if (!force) return FALSE;
  SetModifiedFlag(TRUE);
  if (m_pHideCellsImp) m_pHideCellsImp->OnRemoveRows(this, from, to);
  m_pParam->GetRowHeights().RemoveKeys(from, to);
  m_pParam->GetSelection().AdjustForRemovedRows(from, to, GetRowCount());
  m_pParam->GetCoveredCells().AdjustForRemovedRows(from, to, GetRowCount());
  m_pParam->SyncCoveredCellPool();
  return TRUE;
}

BOOL CGXGridCore::StoreRemoveCols(ROWCOL from, ROWCOL to, BOOL force) {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced && IsReadOnly()) return FALSE;
  if (CGXData* d = GetData())
    if (d->RemoveCols(from, to)) force = TRUE;
  if (!force) return FALSE;
  SetModifiedFlag(TRUE);
  m_pParam->GetColWidths().RemoveKeys(from, to);
  m_pParam->GetSelection().AdjustForRemovedCols(from, to, GetColCount());
  m_pParam->GetCoveredCells().AdjustForRemovedCols(from, to, GetColCount());
  m_pParam->SyncCoveredCellPool();
  return TRUE;
}

BOOL CGXGridCore::InsertRows(ROWCOL row, ROWCOL count, UINT flags, int) {
  if (!CompleteCellEdit(TRUE, 2, TRUE)) return FALSE;
  CGXExcelLikeFrameLock frameLock(this);
  if (!StoreInsertRows(row, count, FALSE)) return FALSE;
  UpdateInsertRows(row, count, flags, TRUE);
  return TRUE;
}

BOOL CGXGridCore::InsertCols(ROWCOL col, ROWCOL count, UINT flags, int) {
  if (!CompleteCellEdit(TRUE, 2, TRUE)) return FALSE;
  CGXExcelLikeFrameLock frameLock(this);
  if (!StoreInsertCols(col, count, FALSE)) return FALSE;
  UpdateInsertCols(col, count, flags, TRUE);
  return TRUE;
}

BOOL CGXGridCore::RemoveRows(ROWCOL from, ROWCOL to, UINT flags, int) {
  if (!CompleteCellEdit(TRUE, 2, TRUE)) return FALSE;
  CGXExcelLikeFrameLock frameLock(this);
  const CRect shown = CalcRangeRect(from, 0, to, 0);
  m_bRemovedShown = !shown.IsRectNull();
  m_nRemovedExtent = shown.Height();
  if (!StoreRemoveRows(from, to, FALSE)) return FALSE;
  UpdateRemoveRows(from, to, flags, TRUE);
  // What was selected is gone or has moved: the selection is cleared (through SetSelection, so the
  // user-selection feature hears of it) and the cells that the removal changed are repainted.
  SetSelection(nullptr, 0, 0, 0, 0);
  RedrawChangedCells(TRUE, nullptr, TRUE);
  return TRUE;
}

BOOL CGXGridCore::RemoveCols(ROWCOL from, ROWCOL to, UINT flags, int) {
  if (!CompleteCellEdit(TRUE, 2, TRUE)) return FALSE;
  CGXExcelLikeFrameLock frameLock(this);
  const CRect shown = CalcRangeRect(0, from, 0, to);
  m_bRemovedShown = !shown.IsRectNull();
  m_nRemovedExtent = shown.Width();
  if (!StoreRemoveCols(from, to, FALSE)) return FALSE;
  UpdateRemoveCols(from, to, flags, TRUE);
  // What was selected is gone or has moved: the selection is cleared (through SetSelection, so the
  // user-selection feature hears of it) and the cells that the removal changed are repainted.
  SetSelection(nullptr, 0, 0, 0, 0);
  RedrawChangedCells(TRUE, nullptr, TRUE);
  return TRUE;
}

void CGXGridCore::UpdateInsertRows(ROWCOL row, ROWCOL count, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintInsertRows, row, 0, count, 0, flags);
  InvalidateShownCaches();
  if (m_bCurrentValid && m_nCurrentRow >= row) {
    StoreCurrentCell(TRUE, m_nCurrentRow + count, m_nCurrentCol);
    if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
  }
  if (m_nTopRow == GetFrozenRows()) ++m_nTopRow;
  RefreshExcelLikeFrame();
  if (!IsLockUpdate()) {
    BOOL old = SuspendScrollBarUpdates(TRUE);
    if (m_bOptimizedUpdate)
      OptimizedInsertRows(row, count, flags);
    else
      RedrawAll(flags, FALSE);
    m_bSuspendScrollBars = old;
    if (flags & (GX_UPDATENOW | GX_INVALIDATE)) RefreshScrollBars(FALSE, FALSE);
  }
}

void CGXGridCore::UpdateInsertCols(ROWCOL col, ROWCOL count, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintInsertCols, 0, col, 0, count, flags);
  InvalidateShownCaches();
  if (m_bCurrentValid && m_nCurrentCol >= col) {
    StoreCurrentCell(TRUE, m_nCurrentRow, m_nCurrentCol + count);
    if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
  }
  if (m_nLeftCol == GetFrozenCols()) ++m_nLeftCol;
  RefreshExcelLikeFrame();
  if (!IsLockUpdate()) {
    BOOL old = SuspendScrollBarUpdates(TRUE);
    if (m_bOptimizedUpdate)
      OptimizedInsertCols(col, count, flags);
    else
      RedrawAll(flags, FALSE);
    m_bSuspendScrollBars = old;
    if (flags & (GX_UPDATENOW | GX_INVALIDATE)) RefreshScrollBars(FALSE, FALSE);
  }
}

void CGXGridCore::UpdateRemoveRows(ROWCOL from, ROWCOL to, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintRemoveRows, from, 0, to, 0, flags);
  InvalidateShownCaches();
  if (m_bCurrentValid) {
    if (m_nCurrentRow >= from && m_nCurrentRow <= to) {
      StoreCurrentCell(FALSE);
    } else if (m_nCurrentRow > to) {
      StoreCurrentCell(TRUE, m_nCurrentRow - (to - from + 1), m_nCurrentCol);
      if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
    }
  }
  RefreshExcelLikeFrame();
  if (!IsLockUpdate()) {
    if (m_bOptimizedUpdate)
      OptimizedRemoveRows(from, to, m_nRemovedExtent, m_bRemovedShown, flags);
    else
      RedrawAll(flags, FALSE);
    if (flags) RefreshScrollBars(!(flags & GX_UPDATENOW), FALSE);
  }
  m_nRemovedExtent = 0;
  m_bRemovedShown = TRUE;
}

void CGXGridCore::UpdateRemoveCols(ROWCOL from, ROWCOL to, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintRemoveCols, 0, from, 0, to, flags);
  InvalidateShownCaches();
  if (m_bCurrentValid) {
    if (m_nCurrentCol >= from && m_nCurrentCol <= to) {
      StoreCurrentCell(FALSE);
    } else if (m_nCurrentCol > to) {
      StoreCurrentCell(TRUE, m_nCurrentRow, m_nCurrentCol - (to - from + 1));
      if (m_pCurrentControl) m_pCurrentControl->InitForCell(m_nCurrentRow, m_nCurrentCol);
    }
  }
  RefreshExcelLikeFrame();
  if (!IsLockUpdate()) {
    if (m_bOptimizedUpdate)
      OptimizedRemoveCols(from, to, m_nRemovedExtent, m_bRemovedShown, flags);
    else
      RedrawAll(flags, FALSE);
    if (flags) RefreshScrollBars(!(flags & GX_UPDATENOW), FALSE);
  }
  m_nRemovedExtent = 0;
  m_bRemovedShown = TRUE;
}

ROWCOL CGXGridCore::GetFrozenRows() const {
  if (!m_pParam || (!m_bPrinting && m_bIgnoreFrozenRows)) return 0;
  return m_pParam->m_nFrozenRows;
}

ROWCOL CGXGridCore::GetFrozenCols() const {
  if (!m_pParam || (!m_bPrinting && m_bIgnoreFrozenCols)) return 0;
  return m_pParam->m_nFrozenCols;
}

ROWCOL CGXGridCore::GetHeaderRows() const { return m_pParam ? m_pParam->m_nHeaderRows : 0; }
ROWCOL CGXGridCore::GetHeaderCols() const { return m_pParam ? m_pParam->m_nHeaderCols : 0; }

BOOL CGXGridCore::StoreFrozenRows(ROWCOL frozen, ROWCOL header) {
  if (!m_pParam || (m_pParam->m_bReadOnlyEnforced && IsReadOnly())) return FALSE;
  m_pParam->m_nFrozenRows = frozen;
  m_pParam->m_nHeaderRows = header;
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreFrozenCols(ROWCOL frozen, ROWCOL header) {
  if (!m_pParam || (m_pParam->m_bReadOnlyEnforced && IsReadOnly())) return FALSE;
  m_pParam->m_nFrozenCols = frozen;
  m_pParam->m_nHeaderCols = header;
  SetModifiedFlag(TRUE);
  return TRUE;
}

void CGXGridCore::UpdateFrozenRows(ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintFrozenRows, oldFrozen, 0, oldHeader, 0, flags);
  m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
  HideCurrentCellWindow();
  if (!IsLockUpdate()) RedrawAll(flags, FALSE);
}

void CGXGridCore::UpdateFrozenCols(ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintFrozenCols, 0, oldFrozen, 0, oldHeader, flags);
  m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
  HideCurrentCellWindow();
  if (!IsLockUpdate()) RedrawAll(flags, FALSE);
}

BOOL CGXGridCore::SetFrozenRows(ROWCOL frozen, ROWCOL header, UINT flags, int) {
  ROWCOL oldFrozen = GetFrozenRows(), oldHeader = GetHeaderRows();
  if (!StoreFrozenRows(frozen, header)) return FALSE;
  UpdateFrozenRows(oldFrozen, oldHeader, flags, TRUE);
  return TRUE;
}

BOOL CGXGridCore::SetFrozenCols(ROWCOL frozen, ROWCOL header, UINT flags, int) {
  ROWCOL oldFrozen = GetFrozenCols(), oldHeader = GetHeaderCols();
  if (!StoreFrozenCols(frozen, header)) return FALSE;
  UpdateFrozenCols(oldFrozen, oldHeader, flags, TRUE);
  return TRUE;
}

int CGXGridCore::GetFontHeight() const { return m_bPrinting ? m_nPrintFontHeight : m_dyHeight; }
int CGXGridCore::GetFontWidth() const { return m_bPrinting ? m_nPrintFontWidth : m_dxWidth; }

int CGXGridCore::GetDefaultRowHeight() const {
  return m_pParam ? static_cast<int>(m_pParam->m_nDefaultRowHeight) / Step(GetFontHeight()) : 0;
}

int CGXGridCore::GetDefaultColWidth() const {
  return m_pParam ? static_cast<int>(m_pParam->m_nDefaultColWidth) / Step(GetFontWidth()) : 0;
}

BOOL CGXGridCore::StoreDefaultRowHeight(int pixels) {
  if (pixels < 1 || !m_pParam) return FALSE;
  m_pParam->m_nDefaultRowHeight = static_cast<DWORD>(pixels * Step(GetFontHeight()));
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreDefaultColWidth(int pixels) {
  if (pixels < 1 || !m_pParam) return FALSE;
  m_pParam->m_nDefaultColWidth = static_cast<DWORD>(pixels * Step(GetFontWidth()));
  SetModifiedFlag(TRUE);
  return TRUE;
}

int CGXGridCore::GetRowHeight(ROWCOL row) const {
  if (!m_pParam || IsRowHidden(row)) return 0;
  LONG units = 0;
  int h = m_pParam->GetRowHeights().Lookup(row, units) ? static_cast<int>(units) / Step(GetFontHeight())
                                                        : GetDefaultRowHeight();
  if (m_bLimitRowHeight && !m_bPrinting && row > GetFrozenRows()) {
    HWND wnd = GridHwnd();
    if ((wnd && ::IsWindowVisible(wnd)) || m_pFixedArea) {
      int limit = GetGridRect().Height() - SumRowHeights(0, GetFrozenRows());
      if (limit > 0) h = std::min(h, limit);
    }
  }
  return h;
}

int CGXGridCore::GetColWidth(ROWCOL col) const {
  if (!m_pParam || IsColHidden(col)) return 0;
  LONG units = 0;
  int w = m_pParam->GetColWidths().Lookup(col, units) ? static_cast<int>(units) / Step(GetFontWidth())
                                                       : GetDefaultColWidth();
  if (m_bLimitColWidth && !m_bPrinting && col > GetFrozenCols()) {
    HWND wnd = GridHwnd();
    if ((wnd && ::IsWindowVisible(wnd)) || m_pFixedArea) {
      int limit = GetGridRect().Width() - SumColWidths(0, GetFrozenCols());
      if (limit > 0) w = std::min(w, limit);
    }
  }
  return w;
}

BOOL CGXGridCore::StoreRowHeight(ROWCOL row, int pixels) {
  if (!m_pParam) return FALSE;
  if (pixels < 0)
    m_pParam->GetRowHeights().RemoveKey(row);
  else
    m_pParam->GetRowHeights()[row] = pixels * Step(GetFontHeight());
  SetModifiedFlag(TRUE);
  return TRUE;
}

BOOL CGXGridCore::StoreColWidth(ROWCOL col, int pixels) {
  if (!m_pParam) return FALSE;
  if (pixels < 0)
    m_pParam->GetColWidths().RemoveKey(col);
  else
    m_pParam->GetColWidths()[col] = pixels * Step(GetFontWidth());
  SetModifiedFlag(TRUE);
  return TRUE;
}

void CGXGridCore::UpdateChangedRowHeights(ROWCOL from, ROWCOL to, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintRowHeights, from, 0, to, 0, flags);
  InvalidateShownCaches();
  if (GetRowHeight(from) == 0 && m_bCurrentValid && m_nCurrentRow >= from && m_nCurrentRow <= to)
    SaveCurrentCellEdit(TRUE);
  if (!IsLockUpdate()) {
    if (m_bOptimizedUpdate)
      OptimizedRowHeights(from, to, flags);
    else
      RedrawAll(flags, TRUE);
  }
}

void CGXGridCore::UpdateChangedColWidths(ROWCOL from, ROWCOL to, UINT flags, BOOL createHint) {
  if (createHint) Hint(gxHintColWidths, 0, from, 0, to, flags);
  InvalidateShownCaches();
  if (GetColWidth(from) == 0 && m_bCurrentValid && m_nCurrentCol >= from && m_nCurrentCol <= to)
    SaveCurrentCellEdit(TRUE);
  if (!IsLockUpdate()) {
    if (m_bOptimizedUpdate)
      OptimizedColWidths(from, to, flags);
    else
      RedrawAll(flags, TRUE);
  }
}

BOOL CGXGridCore::SetRowHeight(ROWCOL from, ROWCOL to, int height, const int* heights, UINT flags, int) {
  if (to == 0) to = from;
  BOOL changed = FALSE;
  for (ROWCOL r = from; r <= to && r >= from; ++r) {
    int h = heights ? heights[r - from] : height;
    changed |= StoreRowHeight(r, h);
    if (r == GX_MAXROWCOL) break;
  }
  if (!changed) return FALSE;
  UpdateChangedRowHeights(from, to, flags, TRUE);
  return TRUE;
}

BOOL CGXGridCore::SetColWidth(ROWCOL from, ROWCOL to, int width, const int* widths, UINT flags, int) {
  if (to == 0) to = from;
  BOOL changed = FALSE;
  for (ROWCOL c = from; c <= to && c >= from; ++c) {
    int w = widths ? widths[c - from] : width;
    changed |= StoreColWidth(c, w);
    if (c == GX_MAXROWCOL) break;
  }
  if (!changed) return FALSE;
  UpdateChangedColWidths(from, to, flags, TRUE);
  return TRUE;
}

BOOL CGXGridCore::SetDefaultRowHeight(int height, UINT flags, int) {
  if (!StoreDefaultRowHeight(height)) return FALSE;
  UpdateChangedRowHeights(1, GetRowCount(), flags, TRUE);
  return TRUE;
}

BOOL CGXGridCore::SetDefaultColWidth(int width, UINT flags, int) {
  if (!StoreDefaultColWidth(width)) return FALSE;
  UpdateChangedColWidths(1, GetColCount(), flags, TRUE);
  return TRUE;
}

int CGXGridCore::SumRowHeights(ROWCOL from, ROWCOL to, int limit) const {
  int sum = 0;
  for (ROWCOL r = from; r <= to; ++r) {
    sum += GetRowHeight(r);
    if (limit && sum > limit) break;
    if (r == GX_MAXROWCOL) break;
  }
  return sum;
}

int CGXGridCore::SumColWidths(ROWCOL from, ROWCOL to, int limit) const {
  int sum = 0;
  for (ROWCOL c = from; c <= to; ++c) {
    sum += GetColWidth(c);
    if (limit && sum > limit) break;
    if (c == GX_MAXROWCOL) break;
  }
  return sum;
}

void CGXGridCore::SetTopRow(ROWCOL row, UINT flags, BOOL) {
  row = std::min(row, GetRowCount());
  if (row == 0) row = 1;
  InvalidateShownCaches();
  if (m_bPrinting) {
    m_nPrintTopRow = row;
    return;
  }
  // The top row is the first scrolled row: it never lies inside the frozen rows.
  row = std::max(row, GetFrozenRows() + 1);
  if (IsLockUpdate()) {
    if (!AllowTopRowChange(row)) return;
    m_nTopRow = row;
    TopRowChanged();
    return;
  }
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
    if (row < m_nTopRow)
      ScrollByCells(GX_UP, m_nTopRow - row);
    else if (row > m_nTopRow)
      ScrollByCells(GX_DOWN, row - m_nTopRow);
    if (flags & GX_UPDATENOW) UpdateWindow();
    return;
  }
  if (!AllowTopRowChange(row)) return;
  m_nTopRow = row;
  if (flags & GX_NOSCROLL) {
    RefreshScrollBars(FALSE, FALSE);
    InvalidateRect(nullptr);
  }
  TopRowChanged();
}

void CGXGridCore::SetLeftCol(ROWCOL col, UINT flags, BOOL) {
  col = std::min(col, GetColCount());
  if (col == 0) col = 1;
  InvalidateShownCaches();
  if (m_bPrinting) {
    m_nPrintLeftCol = col;
    return;
  }
  col = std::max(col, GetFrozenCols() + 1);
  if (IsLockUpdate()) {
    if (!AllowLeftColChange(col)) return;
    m_nLeftCol = col;
    LeftColChanged();
    return;
  }
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
    if (col < m_nLeftCol)
      ScrollByCells(GX_LEFT, m_nLeftCol - col);
    else if (col > m_nLeftCol)
      ScrollByCells(GX_RIGHT, col - m_nLeftCol);
    if (flags & GX_UPDATENOW) UpdateWindow();
    return;
  }
  if (!AllowLeftColChange(col)) return;
  m_nLeftCol = col;
  if (flags & GX_NOSCROLL) {
    RefreshScrollBars(FALSE, FALSE);
    InvalidateRect(nullptr);
  }
  LeftColChanged();
}
