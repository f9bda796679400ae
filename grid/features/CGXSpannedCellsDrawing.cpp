#include "grid/features/CGXSpannedCellsDrawing.h"

#include <algorithm>
#include <array>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDrawContext.h"
#include "grid/core/CGXGridParam.h"
#include "platform/gdi/CDC.h"

namespace {

BOOL AnySpans(CGXGridCore* g) {
  const CGXGridParam* p = g->GetParam();
  return p && (!p->GetCoveredCells().IsEmpty() || p->m_wFloatingMode != 0 || (p->m_wMergingMode & 3) != 0);
}

// The rows (columns) of a pane: frozen [0, frozen], scrolled [first scrolled, end].
struct Pane {
  ROWCOL lo, hi;
};

Pane PaneOf(ROWCOL index, ROWCOL frozen, ROWCOL firstScrolled) {
  return index <= frozen ? Pane{0, frozen} : Pane{std::max(firstScrolled, frozen + 1), GX_MAXROWCOL};
}

}  // namespace

BOOL CGXSpannedCellsDrawing::FindBlock(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& block, BOOL& covered) {
  covered = FALSE;
  CGXRange r;
  if (g->GetCoveredCellsRowCol(row, col, r)) {
    block = r;
    covered = TRUE;
    return block.top != block.bottom || block.left != block.right;
  }
  const BOOL active = g->MatchesCurrentCell(row, col) && g->CurrentCellIsActive();
  auto take = [&](const CGXRange& span, BOOL startsHere) {
    if (span.top == span.bottom && span.left == span.right) return FALSE;
    if (active && !startsHere) return FALSE;  // the edited cell shows itself
    block = span;
    return TRUE;
  };
  r = CGXRange(row, col);
  if (g->GetMergedCellsRange(row, col, r, 0) && take(r, r.left == col)) return TRUE;
  r = CGXRange(row, col);
  if (g->GetMergedCellsRange(row, col, r, 1) && take(r, r.top == row)) return TRUE;
  r = CGXRange(row, col);
  if (g->GetFloatedCellsRange(row, col, r) && take(r, r.left == col)) return TRUE;
  return FALSE;
}

BOOL CGXSpannedCellsDrawing::IsSpannedCell(CGXGridCore* g, CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) {
  if (!AnySpans(g)) return FALSE;
  const ROWCOL row = ctx.rows[i], col = ctx.cols[j];
  CGXRange block;
  BOOL covered = FALSE;
  // 1. The cell's block.
  if (!FindBlock(g, row, col, block, covered)) return FALSE;
  // 2. The origin's style.
  const CGXStyle* origin = g->GetCachedCellStyle(block.top, block.left);
  if (!origin) return FALSE;
  const BOOL leftTop = g->GridLinesAtLeftTop();
  const BOOL active = !covered && g->CurrentCellIsActive();
  BOOL claimed = FALSE;
  // 3-4. Every cell of the block in this matrix: the origin's entry, the flags, the block's outer lines.
  for (ROWCOL a = i; a < ctx.n; ++a) {
    const ROWCOL r = ctx.rows[a];
    if (r < block.top || r > block.bottom) continue;
    for (ROWCOL b = 0; b < ctx.m; ++b) {
      const ROWCOL c = ctx.cols[b];
      if (c < block.left || c > block.right) continue;
      if (active && g->MatchesCurrentCell(r, c) && (r != block.top || c != block.left)) continue;
      WORD& f = ctx.Flags(a, b);
      const BOOL isOrigin = r == block.top && c == block.left;
      f = static_cast<WORD>((f & GX_CF_INVERT) | GX_CF_SPANNED | (isOrigin ? 0 : GX_CF_SPANNED_INNER) |
                            (covered ? GX_CF_SPANNED_COVERED : 0));
      ctx.styles[static_cast<size_t>(a) * ctx.m + b] = origin;
      auto edge = [&](BOOL atEdge, int side, WORD borderBit, BOOL gridSide, WORD lineBit, WORD frozenBit,
                      BOOL frozenEdge) {
        if (!atEdge) return;
        if (origin->IsIncluded(GX_IN_BORDERS) && origin->HasBorder(side))
          f |= borderBit;
        else if (gridSide) {
          f |= lineBit;
          if (frozenEdge) f |= frozenBit;
        }
      };
      edge(c == block.left, GX_BORDER_LEFT, GX_CF_BORDER_LEFT, leftTop, GX_CF_VLINE, 0, FALSE);
      edge(c == block.right, GX_BORDER_RIGHT, GX_CF_BORDER_RIGHT, !leftTop, GX_CF_VLINE, GX_CF_VLINE_FROZEN,
           c == ctx.frozenCols && c > ctx.headerCols);
      edge(r == block.top, GX_BORDER_TOP, GX_CF_BORDER_TOP, leftTop, GX_CF_HLINE, 0, FALSE);
      edge(r == block.bottom, GX_BORDER_BOTTOM, GX_CF_BORDER_BOTTOM, !leftTop, GX_CF_HLINE, GX_CF_HLINE_FROZEN,
           r == ctx.frozenRows && r > ctx.headerRows);
      // The frozen seam runs through a block that straddles it.
      if (c == ctx.frozenCols && c > ctx.headerCols && c < block.right && !leftTop) f |= GX_CF_VLINE | GX_CF_VLINE_FROZEN;
      if (r == ctx.frozenRows && r > ctx.headerRows && r < block.bottom && !leftTop) f |= GX_CF_HLINE | GX_CF_HLINE_FROZEN;
      if (a == i && b == j) claimed = TRUE;
    }
  }
  return claimed;
}

BOOL CGXSpannedCellsDrawing::DrawSpannedCell(CGXGridCore* g, CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) {
  if (!(ctx.Flags(i, j) & GX_CF_SPANNED) || !ctx.StylePtr(i, j)) return FALSE;
  const ROWCOL row = ctx.rows[i], col = ctx.cols[j];
  CGXRange block;
  BOOL covered = FALSE;
  if (!FindBlock(g, row, col, block, covered)) return FALSE;
  // 1. The part of the block in this cell's pane.
  const Pane rows = PaneOf(row, ctx.frozenRows, ctx.firstRow), cols = PaneOf(col, ctx.frozenCols, ctx.firstCol);
  const ROWCOL top = std::max(block.top, rows.lo), bottom = std::min(block.bottom, rows.hi);
  const ROWCOL left = std::max(block.left, cols.lo), right = std::min(block.right, cols.hi);
  // The part is drawn once, by its first cell in this matrix.
  ROWCOL a = 0, b = 0;
  while (a < ctx.n && (ctx.rows[a] < top || ctx.rows[a] > bottom)) ++a;
  while (b < ctx.m && (ctx.cols[b] < left || ctx.cols[b] > right)) ++b;
  if (a != i || b != j) return TRUE;
  // 2-3. The origin cell over the part, clipped to it.
  const CRect part = g->CalcRangeRect(top, left, bottom, right, TRUE);
  if (part.IsRectEmpty()) return TRUE;
  const CGXStyle& style = ctx.Style(i, j);
  CDC* dc = ctx.dc;
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(part.left, part.top, part.right, part.bottom);
  {
    struct OwnBackground {
      BOOL& flag;
      ~OwnBackground() { flag = FALSE; }
    } own{g->m_bNeedsOwnBackground};
    g->m_bNeedsOwnBackground = TRUE;  // no interior run covered the block
    g->DrawCellControl(dc, block.top, block.left, part, style);
  }
  dc->RestoreDC(saved);
  // The current cell's frame, as the engine draws it for a plain cell.
  if (g->MatchesCurrentCell(block.top, block.left) && !g->ParamSettings().m_bCurrentCellFrame) {
    CGXControl* control = g->ControlForId(style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : 0);
    if (control && !control->GetEditingState()) {
      ctx.currentControl = control;
      g->SubtractBorders(&ctx.currentInner, part, style, TRUE);
    }
  }
  return TRUE;
}

LRESULT CGXSpannedCellsDrawing::PrepareSpannedCells(CGXGridCore* g, ROWCOL frozenRows, ROWCOL frozenCols,
                                                    ROWCOL topRow, ROWCOL leftCol, ROWCOL lastRow, ROWCOL lastCol,
                                                    ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
  const CGXGridParam* p = g->GetParam();
  if (!p || (p->m_wFloatingMode == 0 && (p->m_wMergingMode & 3) == 0)) return 0;
  // 1-2. The range cut into the four panes of what is shown.
  const CGXRange range(top, left, std::min(bottom, g->GetRowCount()), std::min(right, g->GetColCount()));
  const std::array<CGXRange, 4> panes = {CGXRange(0, 0, frozenRows, frozenCols),
                                         CGXRange(0, leftCol, frozenRows, std::max(leftCol, lastCol)),
                                         CGXRange(topRow, 0, std::max(topRow, lastRow), frozenCols),
                                         CGXRange(topRow, leftCol, std::max(topRow, lastRow), std::max(leftCol, lastCol))};
  std::array<CGXRange, 4> parts;
  std::array<BOOL, 4> some{};
  for (size_t k = 0; k < panes.size(); ++k) {
    const CGXRange& pane = panes[k];
    if (range.bottom < pane.top || range.top > pane.bottom || range.right < pane.left || range.left > pane.right)
      continue;
    parts[k] = CGXRange(std::max(range.top, pane.top), std::max(range.left, pane.left),
                        std::min(range.bottom, pane.bottom), std::min(range.right, pane.right));
    some[k] = TRUE;
  }
  // 3. Merged cells first (they stop floating), then floating cells.
  BOOL changed = FALSE;
  for (size_t k = 0; k < parts.size(); ++k)
    if (some[k]) changed |= g->CalcMergedCellsInRange(parts[k]);
  for (size_t k = 0; k < parts.size(); ++k)
    if (some[k]) changed |= g->CalcFloatCellsInRange(parts[k]);
  return changed;
}

void CGXGridCore::InstallDrawSpannedCellsImp() {
  if (!m_pDrawSpannedCellsImp) SetFeature(new CGXSpannedCellsDrawing);
}
