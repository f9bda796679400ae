#include "grid/features/CGXUserDragSelectRangeImp.h"

#include <algorithm>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/CGXDragLineWnd.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"

namespace {
constexpr int kRows = 2, kCols = 1;
}  // namespace

CGXUserDragSelectRangeImp::~CGXUserDragSelectRangeImp() { DestroyMarker(); }

void CGXUserDragSelectRangeImp::DestroyMarker() {
  if (m_pMarker && m_pMarker->GetSafeHwnd()) m_pMarker->DestroyWindow();
  m_pMarker.reset();
}

void CGXUserDragSelectRangeImp::EndDrag(CGXGridCore* g) {
  DestroyMarker();
  g->SetFixedCursor(0);
  m_nTargetRow = m_nTargetCol = 0;
}

// ---- Press, move, release -------------------------------------------------------------------------------

BOOL CGXUserDragSelectRangeImp::OnButtonDown(CGXGridCore* g, UINT, POINT, ROWCOL row, ROWCOL col) {
  CGXGridParam* p = g->GetParam();
  if (!p) return FALSE;
  const CGXRangeList& list = p->GetSelection();
  const ROWCOL hr = g->GetHeaderRows(), hc = g->GetHeaderCols();
  const BOOL colDrag = row <= hr && col > hc && list.ContainsCell(0, col);
  const BOOL rowDrag = col <= hc && row > hr && list.ContainsCell(row, 0);
  if (list.ContainsCell(0, 0)) return FALSE;  // the whole table is selected
  if (!(colDrag && p->IsDragColumnsEnabled()) && !(rowDrag && p->IsDragRowsEnabled())) return FALSE;
  m_bArmed = TRUE;
  if (!g->BeginDragSelect(rowDrag ? row : 0, colDrag ? col : 0)) {
    m_nMode = 0;
    m_bArmed = FALSE;
    if (HWND h = g->GridHwnd()) ::SendMessage(h, WM_CANCELMODE, 0, 0);
    return FALSE;
  }
  HWND h = g->GridHwnd();
  if (h && ::GetCapture() != h) {
    if (g->m_bPressAutoScroll) {
      const BOOL vertical = rowDrag && !g->RowIsFrozen(row);
      const BOOL horizontal = colDrag && !g->ColIsFrozen(col);
      if (vertical || horizontal) g->StartAutoScroll(FALSE, vertical, horizontal);
    }
    g->SetCapture();
  }
  return TRUE;
}

void CGXUserDragSelectRangeImp::DropTarget(CGXGridCore* g, POINT pt, ROWCOL* row, ROWCOL* col) const {
  *row = *col = 0;
  if (m_nMode == kRows) {
    const ROWCOL client = g->HitTestClientRow(pt);
    *row = client == GX_INVALID ? g->GetRowCount() + 1 : g->ClientRowToRow(std::max<ROWCOL>(client, 1));
  } else if (m_nMode == kCols) {
    const ROWCOL client = g->HitTestClientCol(pt);
    *col = client == GX_INVALID ? g->GetColCount() + 1 : g->ClientColToCol(std::max<ROWCOL>(client, 1));
  }
}

BOOL CGXUserDragSelectRangeImp::OnMouseMove(CGXGridCore* g, UINT, POINT pt) {
  if (!m_bArmed) return FALSE;
  ROWCOL row = 0, col = 0;
  DropTarget(g, pt, &row, &col);
  GXForwardArgs a;
  a.v = {0, 0, row, col};
  g->DragSelectForward4(a);
  return TRUE;
}

BOOL CGXUserDragSelectRangeImp::OnButtonUp(CGXGridCore* g, UINT, POINT pt) {
  if (!m_bArmed) return FALSE;
  if (HWND h = g->GridHwnd(); h && ::GetCapture() == h) ::ReleaseCapture();
  ROWCOL row = 0, col = 0;
  DropTarget(g, pt, &row, &col);
  GXForwardArgs a;
  a.v = {0, 0, row, col};
  g->DragSelectForward5(a);
  m_bArmed = FALSE;
  return TRUE;
}

BOOL CGXUserDragSelectRangeImp::CancelDragSelect(CGXGridCore* g) {
  if (!m_bArmed) return FALSE;
  g->EndDragSelect();
  return TRUE;
}

// ---- The drag operations -----------------------------------------------------------------------------

BOOL CGXUserDragSelectRangeImp::OnStartDrag(CGXGridCore* g, ROWCOL row, ROWCOL col) {
  CGXGridParam* p = g->GetParam();
  m_nMode = 0;
  if (!p) return FALSE;
  const CGXRangeList& list = p->GetSelection();
  POSITION pos = list.FindCell(row, col);
  const CGXRange* range = pos ? list.GetAt(pos) : nullptr;
  if (!range) return FALSE;
  if (row != 0 && col == 0 && (range->IsRows())) {
    if (!CanDragRows(g, range->top, range->bottom)) return FALSE;
    m_nMode = kRows;
    m_nFirst = range->top;
    m_nLast = range->bottom;
  } else if (col != 0 && row == 0 && range->IsCols()) {
    if (!CanDragCols(g, range->left, range->right)) return FALSE;
    m_nMode = kCols;
    m_nFirst = range->left;
    m_nLast = range->right;
  } else {
    return FALSE;
  }
  m_nTargetRow = m_nTargetCol = 0;
  g->SetFixedCursor(GX_IDC_SELDRAG);
  return TRUE;
}

LRESULT CGXUserDragSelectRangeImp::DragSelectForward4(CGXGridCore* g, const GXForwardArgs& a) {
  OnDragFeedback(g, static_cast<ROWCOL>(a.v[2]), static_cast<ROWCOL>(a.v[3]));
  return TRUE;
}

LRESULT CGXUserDragSelectRangeImp::DragSelectForward5(CGXGridCore* g, const GXForwardArgs& a) {
  return OnDrop(g, static_cast<ROWCOL>(a.v[2]), static_cast<ROWCOL>(a.v[3]));
}

void CGXUserDragSelectRangeImp::OnDragFeedback(CGXGridCore* g, ROWCOL targetRow, ROWCOL targetCol) {
  if (!m_nMode) return;
  targetRow = std::max<ROWCOL>(targetRow, 1);
  targetCol = std::max<ROWCOL>(targetCol, 1);
  if (targetRow == m_nTargetRow && targetCol == m_nTargetCol) return;
  if (m_pMarker && m_pMarker->GetSafeHwnd()) m_pMarker->ShowWindow(SW_HIDE);
  m_nTargetRow = targetRow;
  m_nTargetCol = targetCol;
  const BOOL rows = m_nMode == kRows;
  const BOOL allowed = rows ? CanDropRows(g, m_nFirst, m_nLast, targetRow) : CanDropCols(g, m_nFirst, m_nLast, targetCol);
  if (!allowed) {
    g->SetFixedCursor(GX_IDC_NODROP);
    return;
  }
  g->SetFixedCursor(GX_IDC_SELDRAG);
  g->UpdateWindow();
  HWND grid = g->GridHwnd();
  if (!grid) return;
  if (!m_pMarker) {
    m_pMarker = std::make_unique<CGXDragLineWnd>(g);
    m_pMarker->m_pen = CGXBorderPen(PS_SOLID, 1, g->PropertyColor(3));
    if (!m_pMarker->Create(CWnd::FromHandle(grid))) {
      m_pMarker.reset();
      return;
    }
  }
  // The one-pixel line at the top boundary of the target row (left of the target column), across the
  // shown columns (rows); beyond the last line, at the end of the last one.
  const CRect area = g->GetGridRect();
  CRect line;
  if (rows) {
    const ROWCOL count = g->GetRowCount();
    const CRect r = g->CalcRangeRect(std::min(targetRow, count), 0, std::min(targetRow, count), 0);
    const int y = targetRow > count ? r.bottom - 1 : std::max<int>(r.top - 1, area.top);
    const CRect shown = g->CalcRangeRect(0, 0, 0, g->CalcRightmostCol(area));
    line.SetRect(area.left, y, std::min<LONG>(shown.right, area.right), y + 1);
  } else {
    const ROWCOL count = g->GetColCount();
    const CRect r = g->CalcRangeRect(0, std::min(targetCol, count), 0, std::min(targetCol, count));
    const int x = targetCol > count ? r.right - 1 : std::max<int>(r.left - 1, area.left);
    const CRect shown = g->CalcRangeRect(0, 0, g->CalcBottomRow(area), 0);
    line.SetRect(x, area.top, x + 1, std::min<LONG>(shown.bottom, area.bottom));
  }
  m_pMarker->MoveWindow(&line, FALSE);
  m_pMarker->ShowWindow(SW_SHOWNA);
  m_pMarker->UpdateWindow();
}

BOOL CGXUserDragSelectRangeImp::OnDrop(CGXGridCore* g, ROWCOL targetRow, ROWCOL targetCol) {
  const int mode = m_nMode;
  m_nMode = 0;
  g->SetFixedCursor(0);
  const BOOL rows = mode == kRows;
  if (!mode || (rows ? targetRow : targetCol) == 0) {
    EndDrag(g);
    return FALSE;
  }
  EndDrag(g);
  const ROWCOL target = rows ? targetRow : targetCol;
  if (!(rows ? CanDropRows(g, m_nFirst, m_nLast, target) : CanDropCols(g, m_nFirst, m_nLast, target))) return FALSE;
  // A drop on the block itself or right behind it is no move.
  auto inside = [&](ROWCOL i) { return i >= m_nFirst && i <= m_nLast; };
  if (inside(target) || inside(target - 1)) return FALSE;
  const ROWCOL n = m_nLast - m_nFirst + 1;
  const ROWCOL dest = target > m_nLast ? target - n : target;
  return rows ? g->MoveRows(m_nFirst, m_nLast, dest, GX_UPDATENOW, 0)
              : g->MoveCols(m_nFirst, m_nLast, dest, GX_UPDATENOW, 0);
}

void CGXUserDragSelectRangeImp::OnCancelDrag(CGXGridCore* g) {
  EndDrag(g);
  m_nMode = 0;
  m_bArmed = FALSE;
}

void CGXGridCore::InstallUserDragSelectRangeImp() {
  InstallUserSelectRangeImp();
  InstallMoveRowsColsImp();
  if (!GetUserDragSelectRangeImp()) SetFeature(new CGXUserDragSelectRangeImp);
}
