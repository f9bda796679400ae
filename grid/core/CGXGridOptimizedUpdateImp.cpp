#include "grid/core/CGXGridOptimizedUpdateImp.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"

// One axis of the grid: rows (pixels run down) or columns (pixels run right). The row and column forms of
// the optimized redraw are one algorithm over an axis.
class GXUpdateAxis {
 public:
  GXUpdateAxis(CGXGridCore* g, bool rows) : g_(g), rows_(rows), area_(g->GetGridRect()) {}

  void ForgetCaches() { g_->InvalidateShownCaches(); }
  ROWCOL& First() { return rows_ ? g_->m_nTopRow : g_->m_nLeftCol; }
  ROWCOL Frozen() const { return rows_ ? g_->GetFrozenRows() : g_->GetFrozenCols(); }
  BOOL IsFrozen(ROWCOL i) const { return i >= 1 && i <= Frozen(); }
  ROWCOL Count() const { return rows_ ? g_->GetRowCount() : g_->GetColCount(); }
  ROWCOL LastShown() const { return rows_ ? g_->GetLastVisibleRow() : g_->GetLastVisibleCol(); }
  int Size(ROWCOL i) const { return rows_ ? g_->GetRowHeight(i) : g_->GetColWidth(i); }
  int Sum(ROWCOL from, ROWCOL to, int limit) const {
    return rows_ ? g_->SumRowHeights(from, to, limit) : g_->SumColWidths(from, to, limit);
  }
  BOOL Numbered() const { return rows_ ? g_->GetParam()->m_bNumberRows : g_->GetParam()->m_bLetterCols; }
  BOOL SpansOn() const {
    return g_->GetParam()->m_wFloatingMode != 0 || (g_->GetParam()->m_wMergingMode & 3) != 0;
  }
  int AreaStart() const { return rows_ ? area_.top : area_.left; }
  int AreaEnd() const { return rows_ ? area_.bottom : area_.right; }
  int AreaLength() const { return AreaEnd() - AreaStart(); }
  // The leading edge of a shown row (column), or -1 when it is not shown.
  int Edge(ROWCOL i) const {
    CRect r = rows_ ? g_->CalcCellRect(i, 0) : g_->CalcCellRect(0, i);
    if (r.IsRectNull()) return -1;
    return rows_ ? r.top : r.left;
  }
  // The strip from `start` to `end` along the axis, across the whole area.
  CRect Strip(int start, int end) const {
    return rows_ ? CRect(area_.left, start, area_.right, end) : CRect(start, area_.top, end, area_.bottom);
  }
  void Scroll(int delta, const CRect& rect) {
    g_->ScrollWindowArea(rows_ ? 0 : delta, rows_ ? delta : 0, &rect, &rect);
  }
  void Invalidate(const CRect& rect) { g_->InvalidateRect(&rect, TRUE); }
  void RedrawHeaders(ROWCOL from, ROWCOL to, UINT flags) {
    rows_ ? g_->RedrawRange(from, 0, to, 0, flags) : g_->RedrawRange(0, from, 0, to, flags);
  }

 private:
  CGXGridCore* g_;
  bool rows_;
  CRect area_;
};

namespace {

void InsertAlong(CGXGridCore* g, bool rows, ROWCOL at, ROWCOL count, UINT flags) {
  GXUpdateAxis ax(g, rows);
  if (ax.IsFrozen(at) || ax.SpansOn()) return g->RedrawAll(flags);
  flags &= 7;
  ax.ForgetCaches();
  if (at < ax.First()) {
    // Inserted above the shown ones: the same rows stay on screen, only their numbers change.
    ax.First() += count;
    ax.ForgetCaches();
  } else if (at <= ax.LastShown()) {
    const int edge = ax.Edge(at);
    const int start = edge < 0 ? ax.AreaEnd() : edge;
    const int size = ax.Sum(at, at + count - 1, ax.AreaLength());
    const CRect below = ax.Strip(start, ax.AreaEnd());
    if (!(flags & GX_NOSCROLL) && start + size < ax.AreaEnd()) {
      if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
        ax.Scroll(size, below);
        ax.Invalidate(ax.Strip(start, start + size));
      }
    } else if (flags & (GX_UPDATENOW | GX_INVALIDATE)) {
      ax.Invalidate(below);
    }
  }
  if (flags & GX_UPDATENOW) g->UpdateWindow();
  // The numbers of the rows after the insertion changed.
  if (ax.Numbered() && flags) ax.RedrawHeaders(at + count, std::max(ax.Count(), at + count), flags);
}

void RemoveAlong(CGXGridCore* g, bool rows, ROWCOL from, ROWCOL to, const int* old, int measured, BOOL shown,
                 UINT flags) {
  GXUpdateAxis ax(g, rows);
  if (flags == GX_NOSCROLL || ax.IsFrozen(from) || ax.SpansOn()) return g->RedrawAll(flags);
  flags &= 7;
  const ROWCOL count = to - from + 1, n = ax.Count();
  ROWCOL& first = ax.First();
  const ROWCOL oldFirst = first;
  if (n == 0)
    first = 1;
  else if (to < first)
    first -= count;
  else if (from <= first)
    first = std::max<ROWCOL>(from, 1);
  if (first > n) first = std::max<ROWCOL>(n, 1);
  // Never into the frozen rows, even when none are left to scroll.
  first = std::max(first, ax.Frozen() + 1);
  ax.ForgetCaches();
  int removed = measured;
  if (old) {
    // The removed rows that were on screen: frozen ones, and those from the old first scrolled row on.
    removed = 0;
    for (ROWCOL i = from; i <= to; ++i)
      if (ax.IsFrozen(i) || i >= oldFirst) removed += old[i - from];
    removed = std::min(removed, ax.AreaLength());
    shown = removed > 0;
  }
  if (shown && (flags & (GX_UPDATENOW | GX_INVALIDATE))) {
    const int edge = ax.Edge(std::min(from, std::max<ROWCOL>(n, 1)));
    const int start = edge < 0 ? ax.AreaStart() : edge;
    const CRect below = ax.Strip(start, ax.AreaEnd());
    if (!(flags & GX_NOSCROLL) && removed > 0 && start + removed < ax.AreaEnd())
      ax.Scroll(-removed, below);  // the strip uncovered at the end is invalidated by the scroll
    else
      ax.Invalidate(below);
    if (flags & GX_UPDATENOW) g->UpdateWindow();
  }
  if (ax.Numbered() && flags && from <= n) ax.RedrawHeaders(from, n, flags);
}

void SizesAlong(CGXGridCore* g, bool rows, ROWCOL from, ROWCOL to, const int* old, UINT flags) {
  GXUpdateAxis ax(g, rows);
  if (to == 0) to = from;
  // Cells spanning beyond the changed rows move with them in ways the scroll cannot follow.
  CGXRange changed = rows ? CGXRange().AssignRows(from, to) : CGXRange().AssignCols(from, to);
  CGXRange widened = changed;
  g->WidenRangeByMergedCells(widened);
  g->WidenRangeByFloatCells(widened);
  g->WidenRangeByCoveredCells(widened);
  if (rows ? (widened.top != changed.top || widened.bottom != changed.bottom)
           : (widened.left != changed.left || widened.right != changed.right))
    return g->RedrawAll(flags);
  flags &= 7;
  ax.ForgetCaches();
  const ROWCOL firstScrolled = ax.First();
  if ((from > ax.Frozen() && to < firstScrolled) || from > ax.LastShown()) return;
  if (g->CurrentCellIsActive()) {
    ROWCOL cr = 0, cc = 0;
    g->QueryCurrentCell(&cr, &cc);
    const ROWCOL c = rows ? cr : cc;
    if (c >= from && c <= to) g->ControlOfCurrentCell()->Refresh();
  }
  const int edge = ax.Edge(from);
  const BOOL firstShown = edge >= 0;
  int start = firstShown ? edge : ax.Edge(std::max(firstScrolled, from));
  if (start < 0) start = ax.AreaStart();
  if (!(flags & GX_NOSCROLL) && old && firstShown) {
    int oldTotal = 0, newTotal = 0;
    for (ROWCOL i = from; i <= to; ++i) {
      if (from > ax.Frozen() || ax.IsFrozen(i) || i >= firstScrolled) {
        oldTotal += old[i - from];
        newTotal += ax.Size(i);
      }
      if (start + std::max(oldTotal, newTotal) > ax.AreaEnd()) break;  // the rest is off screen anyway
    }
    if (flags == 0) return;
    if (start + oldTotal < ax.AreaEnd()) {
      const int delta = newTotal - oldTotal;
      if (delta) ax.Scroll(delta, ax.Strip(start, ax.AreaEnd()));
      if (delta < 0 && (flags & (GX_UPDATENOW | GX_INVALIDATE))) {
        ax.Invalidate(ax.Strip(ax.AreaEnd() + delta, ax.AreaEnd()));
        g->UpdateWindow();
      }
      ax.Invalidate(ax.Strip(start, std::min(ax.AreaEnd(), start + newTotal)));
    } else {
      ax.Invalidate(ax.Strip(start, ax.AreaEnd()));
    }
  } else if (flags) {
    ax.Invalidate(ax.Strip(start, ax.AreaEnd()));
  }
  if (flags & GX_UPDATENOW) {
    g->UpdateWindow();
    g->RefreshScrollBars(FALSE, FALSE);
  }
}

}  // namespace

void CGXGridOptimizedUpdateImp::OptimizedInsertRows(CGXGridCore* grid, ROWCOL row, ROWCOL count, UINT flags) {
  InsertAlong(grid, true, row, count, flags);
}

void CGXGridOptimizedUpdateImp::OptimizedInsertCols(CGXGridCore* grid, ROWCOL col, ROWCOL count, UINT flags) {
  InsertAlong(grid, false, col, count, flags);
}

void CGXGridOptimizedUpdateImp::OptimizedRemoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to,
                                                    const int* oldHeights, UINT flags) {
  RemoveAlong(grid, true, from, to, oldHeights, grid->m_nRemovedExtent, grid->m_bRemovedShown, flags);
}

void CGXGridOptimizedUpdateImp::OptimizedRemoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to,
                                                    const int* oldWidths, UINT flags) {
  RemoveAlong(grid, false, from, to, oldWidths, grid->m_nRemovedExtent, grid->m_bRemovedShown, flags);
}

void CGXGridOptimizedUpdateImp::OptimizedRowHeights(CGXGridCore* grid, ROWCOL from, ROWCOL to,
                                                    const int* oldHeights, UINT flags) {
  SizesAlong(grid, true, from, to, oldHeights, flags);
}

void CGXGridOptimizedUpdateImp::OptimizedColWidths(CGXGridCore* grid, ROWCOL from, ROWCOL to,
                                                   const int* oldWidths, UINT flags) {
  SizesAlong(grid, false, from, to, oldWidths, flags);
}
