#include "grid/features/CGXResizeToFitImp.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/gxstrings.h"
#include "grid/features/gxfeaturedraw.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

LRESULT CGXResizeToFitImp::ResizeToFitForward0(CGXGridCore* g, const GXForwardArgs& a) {
  const auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  return range ? ResizeRowsToFit(g, *range, static_cast<BOOL>(a.v[1]), static_cast<UINT>(a.v[2])) : FALSE;
}

LRESULT CGXResizeToFitImp::ResizeToFitForward1(CGXGridCore* g, const GXForwardArgs& a) {
  const auto* range = reinterpret_cast<const CGXRange*>(a.v[0]);
  return range ? ResizeColsToFit(g, *range, static_cast<BOOL>(a.v[1]), static_cast<UINT>(a.v[2])) : FALSE;
}

BOOL CGXResizeToFitImp::ResizeRowsToFit(CGXGridCore* g, const CGXRange& range, BOOL covered, UINT flags) {
  return Fit(g, TRUE, range, covered, flags);
}

BOOL CGXResizeToFitImp::ResizeColsToFit(CGXGridCore* g, const CGXRange& range, BOOL covered, UINT flags) {
  return Fit(g, FALSE, range, covered, flags);
}

// Rows; columns are the twin with widths, the frozen columns and the width measured. Decision: a column's
// width is capped at the available width as a row's height is, never raised to it.
BOOL CGXResizeToFitImp::Fit(CGXGridCore* g, BOOL rows, const CGXRange& given, BOOL covered, UINT flags) {
  if (!g->GetParam() || !given.IsValid()) return FALSE;
  // 1. The measuring device with the standard font (the grid's cached device has it selected).
  CDC* dc = g->GetCachedDC();
  if (!dc) return FALSE;
  // 2-3. The range as cells; spans up to date.
  const CGXRange cells = gxfeat::AsCells(given, g->GetRowCount(), g->GetColCount(), 0);
  g->RecalcMergedCells(cells, -1);
  g->RecalcFloatCells(cells, -1);
  // 4. Progress and one transaction.
  const CString text = gx::LoadGridString(rows ? 20172 : 20173);
  CGXLongOperationScope scope;
  scope.SetStatusText(text, TRUE);
  g->BeginTransaction(text);
  // 5. The room available: the drawing area, else the parent's or the desktop's client area.
  CRect room = g->GetGridRect();
  if ((rows ? room.Height() : room.Width()) == 0) {
    HWND h = g->GridHwnd();
    HWND parent = h ? ::GetParent(h) : nullptr;
    if (!parent) parent = ::GetDesktopWindow();
    if (parent)
      ::GetClientRect(parent, &room);
    else
      room.SetRect(0, 0, 32767, 32767);
  }
  const int available = rows ? room.Height() : room.Width();
  const ROWCOL frozen = rows ? g->GetFrozenRows() : g->GetFrozenCols();
  auto sizeOf = [&](ROWCOL i) { return rows ? g->GetRowHeight(i) : g->GetColWidth(i); };
  auto sumOf = [&](ROWCOL a, ROWCOL b) { return b < a ? 0 : (rows ? g->SumRowHeights(a, b) : g->SumColWidths(a, b)); };
  const ROWCOL first = rows ? cells.top : cells.left, last = rows ? cells.bottom : cells.right;
  const ROWCOL acrossFirst = rows ? cells.left : cells.top, acrossLast = rows ? cells.right : cells.bottom;
  BOOL aborted = FALSE;
  CGXStyle* style = g->NewWorkStyle();
  for (ROWCOL i = first; i <= last && !aborted; ++i) {
    // 6. The limit of this line.
    int limit = i == 0 ? available - 1
                : i > frozen ? available - sumOf(0, frozen) - 1
                             : available - sumOf(0, i - 1) - 1;
    limit = std::max(limit, 0);
    int need = 0;
    for (ROWCOL j = acrossFirst; j <= acrossLast && !aborted; ++j) {
      const ROWCOL row = rows ? i : j, col = rows ? j : i;
      CGXRange block;
      if (g->GetCoveredCellsRowCol(row, col, block)) {
        // A covered block counts at its last line, for what the lines before it do not give.
        const BOOL atEnd = rows ? (block.bottom == row && block.left == col) : (block.right == col && block.top == row);
        const BOOL inside = rows ? (block.top >= first && block.right <= cells.right)
                                 : (block.left >= first && block.bottom <= cells.bottom);
        if (covered && atEnd && inside) {
          style->Free();
          g->ComposeCellStyle(block.top, block.left, *style);
          if (CGXControl* c = g->ControlForCell(block.top, block.left)) {
            const CSize s = c->ComputeCellSize(dc, block.top, block.left, *style, nullptr, rows);
            const int before = rows ? sumOf(block.top, row - 1) : sumOf(block.left, col - 1);
            need = std::max(need, static_cast<int>(rows ? s.cy : s.cx) - before);
          }
        }
        j = std::max(j, rows ? block.right : block.bottom);
      } else if ((rows ? g->GetColWidth(col) : g->GetRowHeight(row)) > 0) {
        style->Free();
        g->ComposeCellStyle(row, col, *style);
        if (CGXControl* c = g->ControlForCell(row, col)) {
          const CSize s = c->ComputeCellSize(dc, row, col, *style, nullptr, rows);
          need = std::max(need, static_cast<int>(rows ? s.cy : s.cx));
        }
      }
      scope.PollAbort(aborted);
      if (j == GX_MAXROWCOL) break;
    }
    if (aborted) break;
    const int size = std::min(need, limit), current = sizeOf(i);
    const BOOL change = (flags & kGrowOnly) ? size > current : (size != current && size > 0);
    if (change) rows ? g->SetRowHeight(i, i, size, nullptr, flags & ~kGrowOnly, 0) : g->SetColWidth(i, i, size, nullptr, flags & ~kGrowOnly, 0);
    if (i == GX_MAXROWCOL) break;
  }
  g->ReleaseWorkStyle(style);
  // 7-8. Kept, or every change taken back.
  if (aborted) {
    g->RollbackTransaction();
    return FALSE;
  }
  g->CommitTransaction();
  return TRUE;
}

void CGXGridCore::InstallResizeToFitImp() {
  if (!GetResizeToFitImp()) SetFeature(new CGXResizeToFitImp);
  InstallCalcSizeImp();
}
