#include "grid/core/CGXGridOldDrawingImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDrawContext.h"
#include "grid/core/CGXProperties.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdiapi.h"

void CGXGridCore::InstallOldDrawingImp() {
  if (!m_pOldDrawingImp) m_pOldDrawingImp = std::make_unique<CGXGridOldDrawingImp>();
}

BOOL CGXGridOldDrawingImp::DrawCells(CGXGridCore* grid, CDC* dc, CGXGridDrawContext& ctx) {
  if (!grid->m_bOldDrawing && !grid->ParamSettings().m_bOldDrawing) return FALSE;
  // 1. Rows are clipped one by one, except on a metafile without an attribute device and on a printer
  // without one (clipping there would cut what the device cannot measure).
  const BOOL metafile = ::GetObjectType(dc->GetSafeHdc()) == OBJ_METADC;
  const BOOL clipRows = metafile ? dc->m_hAttribDC != nullptr : !(grid->IsPrinting() && !dc->m_hAttribDC);
  m_bLastClippedRows = clipRows;
  // In changed-cells mode the cells before a row's first changed cell keep what the screen shows: the
  // background pass must not paint over them.
  const int outer = dc->SaveDC();
  if (grid->IsChangedCellsMode() && ctx.firstChanged.size() == ctx.n)
    for (ROWCOL i = 0; i < ctx.n; ++i)
      if (const ROWCOL first = ctx.firstChanged[i]; first > 0)
        dc->ExcludeClipRect(ctx.lefts[0], ctx.tops[i], ctx.lefts[first - 1] + ctx.widths[first - 1],
                            ctx.tops[i] + ctx.heights[i]);
  // 2. Backgrounds through the grid's hook, then the cells row by row.
  grid->CallOldDrawingHook(ctx);
  for (ROWCOL i = 0; i < ctx.n; ++i) {
    int saved = 0;
    if (clipRows) {
      saved = dc->SaveDC();
      dc->IntersectClipRect(ctx.clip.left, ctx.tops[i], ctx.clip.right, ctx.tops[i] + ctx.heights[i]);
    }
    for (ROWCOL j = 0; j < ctx.m; ++j)
      if (ctx.StylePtr(i, j)) grid->DrawBlockCell(ctx, i, j);
    if (clipRows) dc->RestoreDC(saved);
  }
  // 3. Lines, the current cell's frame and the inversion.
  for (ROWCOL j = 0; j < ctx.m; ++j) grid->DrawColumnLines(ctx, j);
  for (ROWCOL i = 0; i < ctx.n; ++i) grid->DrawRowLines(ctx, i);
  grid->DrawCurrentCellFrameOnce(ctx);
  grid->InvertMarkedCells(ctx);
  dc->RestoreDC(outer);
  return TRUE;
}

void CGXGridOldDrawingImp::DrawBackgrounds(CGXGridCore* grid, CGXGridDrawContext& ctx) {
  m_nLastFills = 0;
  // 1. The standard interior (black and white when the pass prints without colours).
  CGXInteriorBrush standard = grid->StandardInterior();
  if (!ctx.colorsAllowed) standard = CGXGridCore::BlackAndWhiteInterior(standard);
  // 3. The whole area of the pass; cells still marked are painted by their controls.
  CRect area = ctx.clip;
  area.IntersectRect(area, grid->GetGridRect());
  grid->FillWithInterior(ctx.dc, area, standard);
  ++m_nLastFills;
  if (!ctx.n || !ctx.m) return;
  // 4. Blocks of equal interiors: to the right first, then downwards while the whole width qualifies.
  auto qualifies = [&](ROWCOL i, ROWCOL j, const CGXInteriorBrush& interior) -> BOOL {
    const WORD f = ctx.Flags(i, j);
    if (f & GX_CF_SPANNED) return FALSE;
    return !ctx.StylePtr(i, j) || ((f & GX_CF_OWNBACKGROUND) && ctx.Style(i, j).GetInterior() == interior);
  };
  for (ROWCOL i = 0; i < ctx.n; ++i)
    for (ROWCOL j = 0; j < ctx.m; ++j) {
      const WORD f = ctx.Flags(i, j);
      if (!(f & GX_CF_OWNBACKGROUND) || (f & GX_CF_SPANNED) || !ctx.StylePtr(i, j)) continue;
      const CGXInteriorBrush interior = ctx.Style(i, j).GetInterior();
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
      CRect rect(ctx.lefts[j], ctx.tops[i], ctx.lefts[right] + ctx.widths[right],
                 ctx.tops[bottom] + ctx.heights[bottom]);
      // Printed without colours the block keeps its pattern, black on white, as the row runs of the normal
      // drawing do; a plain colour prints white.
      grid->FillWithInterior(ctx.dc, rect, ctx.colorsAllowed ? interior : CGXGridCore::BlackAndWhiteInterior(interior));
      ++m_nLastFills;
    }
}
