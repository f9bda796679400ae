#include "grid/features/CGXMergeCells.h"

#include <algorithm>
#include <utility>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXSpanCellPool.h"
#include "grid/core/CGXStyleCompareSubsetImp.h"
#include "grid/features/CGXSpanCellPoolImp.h"
#include "grid/features/CGXSpannedCellsDrawing.h"
#include "grid/features/gxspanevaluation.h"

namespace {
// The cell at an index of a line along a direction (0: a row's columns, 1: a column's rows).
std::pair<ROWCOL, ROWCOL> CellAt(int d, ROWCOL line, ROWCOL index) {
  return d == 0 ? std::pair{line, index} : std::pair{index, line};
}

void Widen(CGXRange* changed, const CGXRange& r) {
  if (!changed) return;
  if (!changed->IsValid())
    *changed = r;
  else
    changed->SetUnion(*changed, r);
}
}  // namespace

CGXSpanCellPool* CGXMergeCells::Pool(CGXGridCore* g, int direction) {
  CGXGridParam* p = g->GetParam();
  if (!p || (p->m_wMergingMode & 3) == 0) return nullptr;
  auto& pool = direction == 0 ? p->m_pMergeSpansH : p->m_pMergeSpansV;
  if (!pool) pool = std::make_unique<CGXSpanCellPool>();
  return pool.get();
}

CGXDelayedRangePool* CGXMergeCells::Delayed(CGXGridCore* g) {
  CGXGridParam* p = g->GetParam();
  if (!p || (p->m_wMergingMode & 3) != 1) return nullptr;
  if (!p->m_pMergeDelayed) {
    p->m_pMergeDelayed = std::make_unique<CGXDelayedRangePool>();
    p->m_pMergeDelayed->ResetToWholeGrid();
  }
  return p->m_pMergeDelayed.get();
}

void CGXMergeCells::SetMergeCellsMode(CGXGridCore* g, WORD mode, BOOL redraw) {
  CGXGridParam* p = g->GetParam();
  if (!p) return;
  if (p->m_wMergingMode != mode) {
    p->m_pMergeSpansH.reset();
    p->m_pMergeSpansV.reset();
    p->m_pMergeDelayed.reset();
    p->m_wMergingMode = mode;
    if ((mode & 3) != 0) {
      p->m_pMergeSpansH = std::make_unique<CGXSpanCellPool>();
      p->m_pMergeSpansV = std::make_unique<CGXSpanCellPool>();
    }
    if ((mode & 3) == 1) {
      p->m_pMergeDelayed = std::make_unique<CGXDelayedRangePool>();
      p->m_pMergeDelayed->ResetToWholeGrid();
    }
  }
  if (redraw) g->RedrawAll(GX_INVALIDATE);
}

BOOL CGXMergeCells::Hidden(CGXGridCore* g, int d, ROWCOL index) {
  return d == 0 ? g->IsColHidden(index) : g->IsRowHidden(index);
}

ROWCOL CGXMergeCells::Before(CGXGridCore* g, int d, ROWCOL index) {
  if (index == 0) return GX_INVALID;
  ROWCOL k = index - 1;
  if (g->QueryMergingMode() & GX_MERGE_HIDDEN)
    while (k > 0 && Hidden(g, d, k)) --k;
  return k;
}

ROWCOL CGXMergeCells::After(CGXGridCore* g, int d, ROWCOL index) {
  const ROWCOL count = d == 0 ? g->GetColCount() : g->GetRowCount();
  ROWCOL k = index + 1;
  if (g->QueryMergingMode() & GX_MERGE_HIDDEN)
    while (k < count && Hidden(g, d, k)) ++k;
  return k <= count ? k : GX_INVALID;
}

BOOL CGXMergeCells::CanMergeStyles(CGXGridCore*, const CGXStyle& a, const CGXStyle& b) {
  if (!a.IsIncluded(GX_IN_MERGECELL) || !b.IsIncluded(GX_IN_MERGECELL)) return FALSE;
  if ((a.GetMergeCell() & GX_MERGE_COMPVALUE) && (b.GetMergeCell() & GX_MERGE_COMPVALUE))
    return a.GetValue() == b.GetValue();
  return a.IsSubSet(b) && b.IsSubSet(a);
}

BOOL CGXMergeCells::CanMergeCell(CGXGridCore* g, ROWCOL row, ROWCOL col, const CGXStyle& style, int d) {
  const WORD mode = g->QueryMergingMode();
  if ((mode & GX_MERGE_HIDDEN) && (g->IsRowHidden(row) || g->IsColHidden(col))) return TRUE;
  if ((mode & 3) == 0 || !style.IsIncluded(GX_IN_MERGECELL)) return FALSE;
  if (d == 0 && (!(style.GetMergeCell() & GX_MERGE_HORIZONTAL) || (mode & GX_MERGE_NOHORIZONTAL))) return FALSE;
  if (d == 1 && (!(style.GetMergeCell() & GX_MERGE_VERTICAL) || (mode & GX_MERGE_NOVERTICAL))) return FALSE;
  CGXRange covered;
  return !g->GetCoveredCellsRowCol(row, col, covered);
}

BOOL CGXMergeCells::GetMergedCellsRange(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& out, int d) {
  out = CGXRange(row, col);
  CGXGridParam* p = g->GetParam();
  if (!p || (p->m_wMergingMode & 3) == 0) return FALSE;
  BOOL found = FALSE;
  if (d != 1 && p->m_pMergeSpansH) {
    CGXRange r(row, col);
    if (p->m_pMergeSpansH->GetSpanCellsRowCol(row, col, &r) && r.left != r.right) out = r, found = TRUE;
  }
  if (d != 0 && p->m_pMergeSpansV) {
    CGXRange r(row, col);
    if (p->m_pMergeSpansV->GetSpanCellsRowCol(row, col, &r) && r.top != r.bottom) out = r, found = TRUE;
  }
  return found;
}

void CGXMergeCells::RecalcMergedCells(CGXGridCore* g, const CGXRange& range, int) {
  CGXDelayedRangePool* pool = Delayed(g);
  if (!pool) return;
  CGXRange r = range;
  r.ExpandToCells(0, 0, g->GetRowCount(), g->GetColCount());
  if (g->QueryMergingMode() & GX_MERGE_HIDDEN) {
    // Neighbours behind hidden lines take part too.
    while (r.top > 0 && g->IsRowHidden(r.top - 1)) --r.top;
    while (r.bottom < g->GetRowCount() && g->IsRowHidden(r.bottom + 1)) ++r.bottom;
    while (r.left > 0 && g->IsColHidden(r.left - 1)) --r.left;
    while (r.right < g->GetColCount() && g->IsColHidden(r.right + 1)) ++r.right;
  }
  pool->AddRange(CGXRange(r.top, r.left, r.bottom, r.right));
}

BOOL CGXMergeCells::CalcMergedCellsInRange(CGXGridCore* g, const CGXRange& range) {
  CGXRange changed;
  const BOOL any = EvaluateMergeCellsInRange(g, range, FALSE, &changed);
  if (any) gx::InvalidateChangedSpans(g, changed);
  return any;
}

BOOL CGXMergeCells::EvaluateMergeCellsInRange(CGXGridCore* g, const CGXRange& range, BOOL noLock, CGXRange* changed) {
  const WORD mode = g->QueryMergingMode();
  if ((mode & 3) == 0 || g->m_bSuspendMerging) return FALSE;
  // Over the whole table, headers included.
  CGXRange area = range;
  area.ExpandToCells(0, 0, g->GetRowCount(), g->GetColCount());
  CGXDelayedRangePool* delayed = g->IsPrinting() ? nullptr : Delayed(g);
  return gx::EvaluateSpanCells(g, CGXRange(area.top, area.left, area.bottom, area.right), delayed,
                               (mode & GX_MERGE_HIDDEN) != 0, noLock,
                               [&](ROWCOL row, ROWCOL col) { return EvaluateMergeCell(g, row, col, changed); });
}

BOOL CGXMergeCells::EvaluateMergeCell(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange* changed) {
  const WORD mode = g->QueryMergingMode();
  BOOL any = FALSE;
  for (int d = 0; d <= 1; ++d) {
    if (d == 0 && (mode & GX_MERGE_NOHORIZONTAL)) continue;
    if (d == 1 && (mode & GX_MERGE_NOVERTICAL)) continue;
    const ROWCOL line = d == 0 ? row : col, index = d == 0 ? col : row;
    const ROWCOL count = d == 0 ? g->GetColCount() : g->GetRowCount();
    // Towards the start: the pair before the cell, then on while pairs change.
    if (index != 0 && index <= count) {
      m_lastMerged.valid = FALSE;
      const ROWCOL before = Before(g, d, index);
      if (before != GX_INVALID && MergePair(g, d, line, before, index, changed)) {
        any = TRUE;
        ROWCOL k = m_lastMerged.IsValid() ? (d == 0 ? m_lastMerged.left : m_lastMerged.top) : GX_INVALID;
        while (k != GX_INVALID && k != 0) {
          const ROWCOL p = Before(g, d, k);
          if (p == GX_INVALID) break;
          m_lastMerged.valid = FALSE;
          if (!MergePair(g, d, line, p, k, changed)) break;
          k = m_lastMerged.IsValid() ? (d == 0 ? m_lastMerged.left : m_lastMerged.top) : p;
        }
      }
    }
    // Towards the end: the pair after the cell; along a row on while pairs change, down a column once.
    if (index < count) {
      m_lastMerged.valid = FALSE;
      const ROWCOL after = After(g, d, index);
      if (after != GX_INVALID && MergePair(g, d, line, index, after, changed)) {
        any = TRUE;
        ROWCOL k = d == 0 && m_lastMerged.IsValid() ? m_lastMerged.right : GX_INVALID;
        while (k != GX_INVALID && k < count) {
          const ROWCOL n = After(g, d, k);
          if (n == GX_INVALID) break;
          m_lastMerged.valid = FALSE;
          if (!MergePair(g, d, line, k, n, changed)) break;
          k = m_lastMerged.IsValid() ? m_lastMerged.right : n;
        }
      }
    }
  }
  return any;
}

BOOL CGXMergeCells::MergePair(CGXGridCore* g, int d, ROWCOL line, ROWCOL a, ROWCOL b, CGXRange* changed) {
  CGXSpanCellPool* pool = Pool(g, d);
  if (!pool) return FALSE;
  const auto [ar, ac] = CellAt(d, line, a);
  const auto [br, bc] = CellAt(d, line, b);
  // 1. The spans of both cells along the direction (each its own cell when in none).
  auto spanOf = [&](ROWCOL r, ROWCOL c, ROWCOL index) {
    CGXRange s(r, c);
    if (GetMergedCellsRange(g, r, c, s, d)) return d == 0 ? std::pair{s.left, s.right} : std::pair{s.top, s.bottom};
    return std::pair{index, index};
  };
  const auto [aFirst, aLast] = spanOf(ar, ac, a);
  const auto [bFirst, bLast] = spanOf(br, bc, b);
  const CGXStyle& sa = *g->GetCachedCellStyle(ar, ac);
  const CGXStyle& sb = *g->GetCachedCellStyle(br, bc);
  auto store = [&](ROWCOL from, ROWCOL to) {
    const auto [r1, c1] = CellAt(d, line, from);
    const auto [r2, c2] = CellAt(d, line, to);
    return SetMergedRange(g, d, r1, c1, r2, c2);
  };
  BOOL any = FALSE;
  // 2-3. Matching neighbours: one span from A's first to B's last.
  if (CanMergeCell(g, ar, ac, sa, d) && CanMergeCell(g, br, bc, sb, d) && CanMergeStyles(g, sa, sb)) {
    if (aLast == bLast) return FALSE;
    if (bFirst != bLast) store(bFirst, bFirst);
    any = store(aFirst, bLast);
  } else if (aLast >= b) {
    // 4. The pair lies in one span that must split between them.
    any = store(aFirst, aFirst);
    if (aFirst < a) store(aFirst, a);
    if (aLast > b) store(b, aLast);
    any = TRUE;
  }
  if (any) {
    const auto [r1, c1] = CellAt(d, line, aFirst);
    const auto [r2, c2] = CellAt(d, line, std::max(aLast, bLast));
    Widen(changed, CGXRange(r1, c1, r2, c2));
  }
  return any;
}

BOOL CGXMergeCells::SetMergedRange(CGXGridCore* g, int d, ROWCOL row, ROWCOL col, ROWCOL toRow, ROWCOL toCol) {
  CGXSpanCellPool* pool = Pool(g, d);
  if (!pool) return FALSE;
  CGXRange old(row, col);
  GetMergedCellsRange(g, row, col, old, d);
  const BOOL larger = toRow != row || toCol != col;
  const BOOL stored = pool->SetSpanCellsRowCol(row, col, toRow, toCol, larger);
  m_lastMerged = CGXRange(row, col, toRow, toCol);
  m_lastMerged.valid = stored && larger;
  if (!stored) return FALSE;
  const CGXRange area(row, col, std::max(toRow, old.bottom), std::max(toCol, old.right));
  g->RecalcFloatCells(area, -1);  // a merged cell neither floats nor is flooded
  if (!g->IsLockUpdate()) {
    g->RedrawRange(area.top, area.left, area.bottom, area.right, GX_INVALIDATE, FALSE);
    if (auto* h = g->HintSender()) h->HintMergedCells(g, area.top, area.left, area.bottom, area.right, GX_INVALIDATE);
  }
  return TRUE;
}

void CGXMergeCells::RedrawMergedCells(CGXGridCore* g, const CGXRange& range, UINT flags) {
  if (g->IsLockUpdate()) return;
  CGXRange area = range;
  area.ExpandToCells(0, 0, g->GetRowCount(), g->GetColCount());
  WidenRangeByMergedCells(g, area);
  g->RedrawRange(area.top, area.left, area.bottom, area.right, flags, FALSE);
}

void CGXMergeCells::WidenRangeByMergedCells(CGXGridCore* g, CGXRange& range) {
  if ((g->QueryMergingMode() & 3) == 0 || !range.IsCells() || !range.IsValid()) return;
  // Horizontal spans met along the rows, then vertical spans met down the columns, past each span found.
  for (int d = 0; d <= 1; ++d) {
    const ROWCOL lineEnd = std::min(d == 0 ? range.bottom : range.right, d == 0 ? g->GetRowCount() : g->GetColCount());
    for (ROWCOL line = d == 0 ? range.top : range.left; line <= lineEnd; ++line) {
      const ROWCOL count = d == 0 ? g->GetColCount() : g->GetRowCount();
      for (ROWCOL k = d == 0 ? range.left : range.top; k <= (d == 0 ? range.right : range.bottom) && k <= count;) {
        const auto [r, c] = CellAt(d, line, k);
        CGXRange span;
        if (GetMergedCellsRange(g, r, c, span, d)) {
          range.SetUnion(range, span);
          k = (d == 0 ? span.right : span.bottom) + 1;
        } else {
          ++k;
        }
      }
      if (line == lineEnd) break;
    }
  }
}

void CGXGridCore::InstallMergeCellsImp() {
  if (!GetMergeCellsImp()) SetFeature(new CGXMergeCells);
  InstallSpanCellPoolImp();
  InstallDelayedRangePoolImp();
  InstallStyleCompareSubsetImp();
  InstallDrawSpannedCellsImp();
}

void CGXGridCore::SetMergeCellsMode(WORD mode, BOOL redraw) {
  InstallMergeCellsImp();
  if (auto* imp = dynamic_cast<CGXMergeCells*>(GetMergeCellsImp())) imp->SetMergeCellsMode(this, mode, redraw);
}
