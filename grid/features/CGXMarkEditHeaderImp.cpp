#include "grid/features/CGXMarkEditHeaderImp.h"

#include "grid/core/CGXGridCore.h"

namespace {

BOOL MarkRows(CGXGridCore* g) { return g->GetProperties() && g->GetProperties()->m_bMarkRowHeader; }
BOOL MarkCols(CGXGridCore* g) { return g->GetProperties() && g->GetProperties()->m_bMarkColHeader; }

void InvalidateHeader(CGXGridCore* g, const CRect& r, UINT flags) {
  if (r.Width() <= 1 || r.Height() <= 1) return;
  g->InvalidateRect(&r, TRUE);
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) g->UpdateWindow();
}

}  // namespace

void CGXMarkEditHeaderImp::MarkEditHeaders(CGXGridCore* g, ROWCOL row, ROWCOL col, int which, UINT flags) {
  CGXGridParam* p = g->GetParam();
  if (!p || p->m_bHeaderMarkingLocked || !g->GridHwnd()) return;
  const CRect area = g->GetGridRect();
  const ROWCOL lastRow = g->CalcBottomRow(area), lastCol = g->CalcRightmostCol(area);
  const BOOL rowShown = (g->RowIsFrozen(row) || row >= g->GetFirstScrolledRow()) && row <= g->GetRowCount();
  const BOOL colShown = (g->ColIsFrozen(col) || col >= g->GetFirstScrolledCol()) && col <= g->GetColCount();
  if (!rowShown && !colShown) return;
  if (row > lastRow && col > lastCol) return;
  if ((which == 0 || which == 2) && MarkRows(g) && (g->RowIsFrozen(row) || (row >= g->GetFirstScrolledRow() && row <= lastRow))) {
    CRect r;
    g->CalcRangeRectWithSpans(&r, row, 0, row, g->GetHeaderCols());
    InvalidateHeader(g, r, flags);
  }
  if ((which == 0 || which == 1) && MarkCols(g) && (g->ColIsFrozen(col) || (col >= g->GetFirstScrolledCol() && col <= lastCol))) {
    CRect r;
    g->CalcRangeRectWithSpans(&r, 0, col, g->GetHeaderRows(), col);
    InvalidateHeader(g, r, flags);
  }
}

BOOL CGXMarkEditHeaderImp::IsHeaderMarked(CGXGridCore* g, CGXControl*, ROWCOL row, ROWCOL col) {
  CGXGridParam* p = g->GetParam();
  if (!p) return FALSE;
  // The header cell's rows and columns (a covered header spans several).
  CGXRange cell(row, col);
  g->GetCoveredCellsRowCol(row, col, cell);
  const ROWCOL hr = g->GetHeaderRows(), hc = g->GetHeaderCols();
  ROWCOL cr = 0, cc = 0;
  if (g->QueryCurrentCell(&cr, &cc) && cr > hr && cc > hc) {
    if (row != 0 && col <= hc && !p->TestClickFlags(3) && cr >= cell.top && cr <= cell.bottom && MarkRows(g))
      return TRUE;
    if (col != 0 && row <= hr && cc >= cell.left && cc <= cell.right && MarkCols(g)) return TRUE;
  }
  int mode = 0, index = 0;
  if (g->GetResizeState(&mode, &index)) {
    const ROWCOL line = static_cast<ROWCOL>(index);
    if (mode & 1) {
      if (col <= hc && line >= cell.top && line <= cell.bottom && !p->IsRowResizeAllowed(0x10)) return TRUE;
    } else if (row <= hr && line >= cell.left && line <= cell.right && !p->IsColResizeAllowed(0x10)) {
      return TRUE;
    }
  }
  return FALSE;
}

void CGXGridCore::InstallMarkEditHeaderImp() {
  if (!GetMarkEditHeaderImp()) SetFeature(new CGXMarkEditHeaderImp);
}
