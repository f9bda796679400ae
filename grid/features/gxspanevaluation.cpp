#include "grid/features/gxspanevaluation.h"

#include <algorithm>
#include <vector>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSpanCellPool.h"

namespace gx {

BOOL EvaluateSpanCells(CGXGridCore* g, const CGXRange& range, CGXDelayedRangePool* delayed, BOOL withHidden,
                       BOOL noLock, const std::function<BOOL(ROWCOL row, ROWCOL col)>& evaluate) {
  const CGXRange area(range.top, range.left, std::min(range.bottom, g->GetRowCount()),
                      std::min(range.right, g->GetColCount()));
  if (range.top > area.bottom || range.left > area.right) return FALSE;
  std::vector<DWORD> first, last;
  if (delayed && !delayed->GetRowsToEvaluate(area, first, last)) return FALSE;
  const BOOL oldLock = noLock ? g->IsLockUpdate() : g->LockUpdate(TRUE);
  BOOL any = FALSE;
  for (ROWCOL row = area.top; row <= area.bottom; ++row) {
    if (withHidden || !g->IsRowHidden(row)) {
      ROWCOL from = area.left, to = area.right;
      if (delayed) {
        from = std::max<ROWCOL>(from, first[row - area.top]);
        to = std::min<ROWCOL>(to, last[row - area.top]);
      }
      for (ROWCOL col = from; col <= to && from != 0xFFFFFFFF; ++col)
        if (withHidden || !g->IsColHidden(col)) any |= evaluate(row, col);
    }
    if (row == area.bottom) break;
  }
  if (!noLock) g->LockUpdate(oldLock);
  return any;
}

void InvalidateChangedSpans(CGXGridCore* g, const CGXRange& changed) {
  if (!changed.IsValid() || g->IsLockUpdate()) return;
  CGXRange widened = changed;
  g->WidenRangeByMergedCells(widened);
  g->WidenRangeByFloatCells(widened);
  CRect r = g->CalcRangeRect(widened.top, widened.left, widened.bottom, widened.right);
  if (!r.IsRectEmpty()) g->InvalidateRect(&r, FALSE);
}

}  // namespace gx
