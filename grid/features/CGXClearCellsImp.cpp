#include "grid/features/CGXClearCellsImp.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CDWordArray.h"
#include "platform/base/CException.h"

BOOL CGXClearCellsImp::CanClear(CGXGridCore* grid) {
  if (grid->IsReadOnly()) return FALSE;
  ROWCOL row = 0, col = 0;
  return grid->QueryCurrentCell(&row, &col);
}

BOOL CGXClearCellsImp::ClearCellsForward1(CGXGridCore* grid, BOOL ctrlHeld) {
  CGXLongOperationScope scope;
  CGXRangeList ranges;
  grid->CopyRangeList(ranges, TRUE);
  return grid->ClearCells(ranges, ctrlHeld);
}

namespace {

// Clears the values of the block's cells that lie in a listed range; FALSE when a change was refused.
BOOL ClearValues(CGXGridCore* grid, const CGXRangeList& cells, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                 CGXLongOperationScope& scope) {
  for (ROWCOL r = top;; ++r) {
    for (ROWCOL c = left;; ++c) {
      if (cells.ContainsCell(r, c)) {
        CGXStyle* style = grid->NewWorkStyle();
        grid->ComposeCellStyle(r, c, *style);
        CString text;
        CGXControl* control = grid->ControlForCell(r, c);
        if (!control || !control->GetDisplayText(text, r, c, nullptr, *style)) text = style->GetValue();
        grid->ReleaseWorkStyle(style);
        if (!text.IsEmpty() && !grid->SetCellValue(r, c, "", GX_INVALIDATE)) return FALSE;
      }
      BOOL abort = FALSE;
      scope.PollAbort(abort);
      if (abort) AfxThrowUserException();
      if (c == right) break;
    }
    if (r == bottom) break;
  }
  return TRUE;
}

// Removes the stored styles of the block's cells that lie in a listed range, a run of cells at a time.
BOOL ClearStyles(CGXGridCore* grid, const CGXRangeList& cells, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
  for (ROWCOL r = top;; ++r) {
    ROWCOL c = left;
    for (;;) {
      while (c <= right && !cells.ContainsCell(r, c)) ++c;
      if (c > right) break;
      const ROWCOL start = c;
      while (c < right && cells.ContainsCell(r, c + 1)) ++c;
      grid->ApplyStyleToRange(CGXRange(r, start, r, c), nullptr, gxRemove, 0, nullptr, GX_INVALIDATE, 0);
      if (c == right) break;
      ++c;
    }
    if (r == bottom) break;
  }
  return TRUE;
}

}  // namespace

BOOL CGXClearCellsImp::ClearCells(CGXGridCore* grid, const CGXRangeList& ranges, UINT flags) {
  const BOOL styles = flags != 0;
  const CString name = gx::LoadGridString(20180);
  grid->BeginTransaction(name);
  CGXLongOperationScope scope;
  scope.SetStatusText(name, TRUE);
  CGXLongOperationScope::SetRollbackOffered(TRUE);
  CGXLongOperationScope::IgnoreNestedLongOperations(TRUE);

  // Whole rows, columns or the table become the cells below and right of the headers.
  const ROWCOL rows = grid->GetRowCount(), cols = grid->GetColCount();
  CGXRangeList cells;
  for (POSITION p = ranges.GetHeadPosition(); p;) {
    CGXRange range = *ranges.GetNext(p);
    if (!range.IsValid()) continue;
    range.ExpandToCells(grid->GetHeaderRows() + 1, grid->GetHeaderCols() + 1, rows, cols);
    if (range.top > rows || range.left > cols) continue;
    if (range.bottom > rows) range.bottom = rows;
    if (range.right > cols) range.right = cols;
    if (range.top == 0 || range.left == 0 || range.bottom < range.top || range.right < range.left) continue;
    cells.AddTail(new CGXRange(range));
  }
  CDWordArray rowStarts, rowEnds, colStarts, colEnds;
  cells.GetRowIntervals(rows, rowStarts, rowEnds);
  cells.GetColIntervals(cols, colStarts, colEnds);

  BOOL ok = TRUE;
  try {
    for (INT_PTR i = 0; ok && i < rowStarts.GetSize(); ++i)
      for (INT_PTR j = 0; ok && j < colStarts.GetSize(); ++j) {
        const ROWCOL top = rowStarts[i], bottom = rowEnds[i], left = colStarts[j], right = colEnds[j];
        ok = styles ? ClearStyles(grid, cells, top, left, bottom, right)
                    : ClearValues(grid, cells, top, left, bottom, right, scope);
        if (ok && styles) {
          BOOL abort = FALSE;
          scope.PollAbort(abort);
          if (abort) AfxThrowUserException();
        }
      }
  } catch (CUserException* e) {
    e->Delete();
    // Retry in the abort question asks to undo what was cleared; Abort keeps it.
    if (CGXLongOperationScope::IsRollbackRequested())
      grid->RollbackTransaction();
    else
      grid->CommitTransaction();
    CGXLongOperationScope::SetRollbackOffered(FALSE);
    return FALSE;
  }
  grid->CommitTransaction();
  CGXLongOperationScope::SetRollbackOffered(FALSE);
  grid->RefreshScrollBars();
  grid->UpdateWindow();
  return ok;
}

void CGXGridCore::InstallClearCellsImp() {
  if (!GetClearCellsImp()) SetFeature(new CGXClearCellsImp);
}
