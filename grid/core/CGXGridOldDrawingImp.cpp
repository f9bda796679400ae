#include "grid/core/CGXGridOldDrawingImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDrawContext.h"
#include "platform/gdi/CDC.h"

void CGXGridCore::InstallOldDrawingImp() {
  if (!m_pOldDrawingImp) m_pOldDrawingImp = std::make_unique<CGXGridOldDrawingImp>();
}

BOOL CGXGridOldDrawingImp::DrawCells(CGXGridCore* grid, CDC* dc, CGXGridDrawContext& ctx) {
  if (!grid->m_bOldDrawing) return FALSE;
  DrawBackgrounds(grid, ctx);
  const BOOL clipRows = !grid->IsPrinting();
  for (ROWCOL i = 0; i < ctx.n; ++i) {
    int saved = 0;
    if (clipRows) {
      saved = dc->SaveDC();
      CRect band(ctx.clip.left, ctx.tops[i], ctx.clip.right, ctx.tops[i] + ctx.heights[i]);
      dc->IntersectClipRect(&band);
    }
    for (ROWCOL j = 0; j < ctx.m; ++j) grid->DrawBlockCell(ctx, i, j);
    if (clipRows) dc->RestoreDC(saved);
  }
  grid->DrawBlockLines(ctx);
  grid->InvertMarkedCells(ctx);
  return TRUE;
}

void CGXGridOldDrawingImp::DrawBackgrounds(CGXGridCore* grid, CGXGridDrawContext& ctx) {
  m_nLastFills = 0;
  if (!ctx.n || !ctx.m) return;
  // The whole block with the standard interior.
  CRect block(ctx.lefts.front(), ctx.tops.front(), ctx.lefts.back() + ctx.widths.back(),
              ctx.tops.back() + ctx.heights.back());
  grid->FillWithInterior(ctx.dc, block, grid->StandardInterior());
  ++m_nLastFills;
  auto qualifies = [&](ROWCOL i, ROWCOL j, const CGXInteriorBrush& interior) {
    const WORD f = ctx.Flags(i, j);
    return (f & GX_CF_OWNBACKGROUND) && !(f & GX_CF_SPANNED) && ctx.Style(i, j).GetInterior() == interior;
  };
  for (ROWCOL i = 0; i < ctx.n; ++i)
    for (ROWCOL j = 0; j < ctx.m; ++j) {
      const WORD f = ctx.Flags(i, j);
      if (!(f & GX_CF_OWNBACKGROUND) || (f & GX_CF_SPANNED)) continue;
      const CGXInteriorBrush interior = ctx.Style(i, j).GetInterior();
      // Extend to the right, then downwards while the whole width qualifies.
      ROWCOL right = j;
      while (right + 1 < ctx.m && qualifies(i, right + 1, interior)) ++right;
      ROWCOL bottom = i;
      for (;;) {
        if (bottom + 1 >= ctx.n) break;
        BOOL all = TRUE;
        for (ROWCOL c = j; c <= right && all; ++c) all = qualifies(bottom + 1, c, interior);
        if (!all) break;
        ++bottom;
      }
      if (right == j && bottom == i) continue;  // a single cell is painted with its cell
      for (ROWCOL r = i; r <= bottom; ++r)
        for (ROWCOL c = j; c <= right; ++c) ctx.Flags(r, c) &= static_cast<WORD>(~GX_CF_OWNBACKGROUND);
      CRect rect(ctx.lefts[j], ctx.tops[i], ctx.lefts[right] + ctx.widths[right], ctx.tops[bottom] + ctx.heights[bottom]);
      grid->FillWithInterior(ctx.dc, rect, interior);
      ++m_nLastFills;
    }
}
