// Grid lines, borders and inversion inside a cell block: the line passes per column and per row (runs of
// neighbouring cells with one pen drawn as one line), border bands by pen width and style, the moving
// lines of user resizing, interior fills, the inversion of selected cells and the current cell's inverted
// frame, and the border arithmetic the cell controls use.
//
// Where the lines sit: with the grid-line position switch at 0 a cell's grid lines are its left and top
// edges (the closing lines after the last column and row are drawn beyond the grid); otherwise its right
// and bottom edges.
#include <algorithm>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDrawContext.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"

namespace {
// One period of 8 pixels along a line for the dashed and dotted pen styles (bit 7 = first pixel; a set bit
// is a line pixel): dash, dot, dash-dot, dash-dot-dot.
constexpr BYTE kLinePatterns[4] = {0xFC, 0xAA, 0xE8, 0xEA};

BOOL IsPatternStyle(UINT style) { return style >= 1 && style <= 4; }

// Sides are numbered as the style numbers its borders: top, left, bottom, right.
BOOL IsVerticalSide(int side) { return side == GX_BORDER_LEFT || side == GX_BORDER_RIGHT; }

// The band of width w on one side of a rectangle.
CRect SideBand(const CRect& r, int side, int w) {
  CRect band = r;
  switch (side) {
    case GX_BORDER_LEFT: band.right = std::min(band.right, band.left + w); break;
    case GX_BORDER_RIGHT: band.left = std::max(band.left, band.right - w); break;
    case GX_BORDER_TOP: band.bottom = std::min(band.bottom, band.top + w); break;
    default: band.top = std::max(band.top, band.bottom - w); break;
  }
  return band;
}
}  // namespace

// ---- Line patterns ----------------------------------------------------------------------------------------

CBrush* CGXGridCore::LinePatternBrush(UINT penStyle, BOOL vertical) {
  if (!IsPatternStyle(penStyle)) return nullptr;
  const int s = static_cast<int>(penStyle) - 1, v = vertical ? 1 : 0;
  if (!m_linePatternBrushes[s][v]) {
    // A monochrome 8 x 8 pattern: 0 bits take the text colour (the pen), 1 bits the background colour.
    WORD bits[8];
    for (int y = 0; y < 8; ++y) {
      const BYTE line = vertical ? ((kLinePatterns[s] & (0x80 >> y)) ? 0xFF : 0x00) : kLinePatterns[s];
      bits[y] = static_cast<WORD>(static_cast<BYTE>(~line));
    }
    auto bitmap = std::make_shared<CBitmap>();
    auto brush = std::make_shared<CBrush>();
    if (!bitmap->CreateBitmap(8, 8, 1, 1, bits) || !brush->CreatePatternBrush(bitmap.get())) return nullptr;
    m_linePatternBitmaps[s][v] = bitmap;
    m_linePatternBrushes[s][v] = brush;
  }
  return m_linePatternBrushes[s][v].get();
}

// ---- Line passes ------------------------------------------------------------------------------------------

namespace {
// How a cell takes part in one pass: not, with its border pen, or with the grid-line pen.
enum class LineKind { none, border, grid };

struct LinePass {
  WORD borderBit;   // the pass's border flag
  WORD lineBit;     // the grid-line flag this pass consumes (0 when it draws no grid lines)
  WORD frozenBit;   // the frozen-line flag this pass consumes (0 when none)
  int side;         // GX_BORDER_LEFT, _RIGHT, _TOP or _BOTTOM
};
}  // namespace

void CGXGridCore::DrawColumnLines(CGXGridDrawContext& ctx, ROWCOL j) {
  const BOOL lines = DrawsVertLines(), leftTop = GridLinesAtLeftTop();
  CGXBorderPen gridPen(ParamSettings().m_nGridLineStyle, 1, PropertyColor(0));
  const CGXBorderPen plainPen = gridPen;
  const BOOL lastFrozen = ctx.cols[j] == ctx.frozenCols && ctx.cols[j] > ctx.headerCols;
  const LinePass passes[2] = {{GX_CF_BORDER_LEFT, static_cast<WORD>(leftTop ? GX_CF_VLINE : 0), 0, GX_BORDER_LEFT},
                              {GX_CF_BORDER_RIGHT, static_cast<WORD>(leftTop ? 0 : GX_CF_VLINE),
                               GX_CF_VLINE_FROZEN, GX_BORDER_RIGHT}};
  for (const LinePass& pass : passes) {
    auto kindOf = [&](ROWCOL i) {
      const WORD f = ctx.Flags(i, j);
      if (ctx.StylePtr(i, j) && (f & pass.borderBit)) return LineKind::border;
      if (lines && ((f & pass.lineBit) || (f & pass.frozenBit))) return LineKind::grid;
      return LineKind::none;
    };
    ROWCOL i = 0;
    while (i < ctx.n) {
      const LineKind kind = kindOf(i);
      if (kind == LineKind::none) {
        ++i;
        continue;
      }
      const CGXBorderPen pen = kind == LineKind::border ? ctx.Style(i, j).GetBorder(pass.side) : gridPen;
      const CGXInteriorBrush* interior = ctx.StylePtr(i, j) ? &ctx.Style(i, j).GetInterior() : nullptr;
      const BOOL patterned = IsPatternStyle(pen.GetStyle()) && interior;
      auto consume = [&](ROWCOL k) {
        ctx.Flags(k, j) &=
            static_cast<WORD>(~(kind == LineKind::border ? pass.borderBit : (pass.lineBit | pass.frozenBit)));
      };
      consume(i);
      // Coalesce downwards: the same kind and pen; a patterned grid line also needs the same interior (its
      // pattern is drawn on the interior's colour).
      ROWCOL k = i + 1;
      for (; k < ctx.n && kindOf(k) == kind; ++k) {
        if (kind == LineKind::border) {
          if (!(ctx.Style(k, j).GetBorder(pass.side) == pen)) break;
        } else if (patterned) {
          if (!ctx.StylePtr(k, j) || !(ctx.Style(k, j).GetInterior() == *interior)) break;
        }
        consume(k);
      }
      const CRect run(ctx.lefts[j], ctx.tops[i], ctx.lefts[j] + ctx.widths[j], ctx.tops[k - 1] + ctx.heights[k - 1]);
      // A plain grid line in the grid-line colour is a line rectangle; the frozen boundary's line (another
      // colour) is a band of its pen.
      if (kind == LineKind::grid && !patterned && pen == plainPen) {
        if (pen.GetStyle() != PS_NULL) {
          const int x = pass.side == GX_BORDER_LEFT ? run.left : run.right - 1;
          FillLineRect(ctx.dc, x, run.top, 1, run.Height(), 1, static_cast<int>(ctx.cols[j]), 0);
        }
      } else {
        DrawBorderLine(pen, run, pass.side, ctx.dc, interior);
      }
      i = k;
    }
    // After the left edges of the last frozen column its right edge is the frozen boundary.
    if (lastFrozen) gridPen.SetColor(PropertyColor(1));
  }
}

void CGXGridCore::DrawRowLines(CGXGridDrawContext& ctx, ROWCOL i) {
  const BOOL lines = DrawsHorzLines(), leftTop = GridLinesAtLeftTop();
  CGXBorderPen gridPen(ParamSettings().m_nGridLineStyle, 1, PropertyColor(0));
  const CGXBorderPen plainPen = gridPen;
  const BOOL lastFrozen = ctx.rows[i] == ctx.frozenRows && ctx.rows[i] > ctx.headerRows;
  const LinePass passes[2] = {{GX_CF_BORDER_TOP, static_cast<WORD>(leftTop ? GX_CF_HLINE : 0), 0, GX_BORDER_TOP},
                              {GX_CF_BORDER_BOTTOM, static_cast<WORD>(leftTop ? 0 : GX_CF_HLINE),
                               GX_CF_HLINE_FROZEN, GX_BORDER_BOTTOM}};
  for (const LinePass& pass : passes) {
    auto kindOf = [&](ROWCOL j) {
      const WORD f = ctx.Flags(i, j);
      if (ctx.StylePtr(i, j) && (f & pass.borderBit)) return LineKind::border;
      if (lines && ((f & pass.lineBit) || (f & pass.frozenBit))) return LineKind::grid;
      return LineKind::none;
    };
    ROWCOL j = 0;
    while (j < ctx.m) {
      const LineKind kind = kindOf(j);
      if (kind == LineKind::none) {
        ++j;
        continue;
      }
      const CGXBorderPen pen = kind == LineKind::border ? ctx.Style(i, j).GetBorder(pass.side) : gridPen;
      const CGXInteriorBrush* interior = ctx.StylePtr(i, j) ? &ctx.Style(i, j).GetInterior() : nullptr;
      const BOOL patterned = IsPatternStyle(pen.GetStyle()) && interior;
      auto consume = [&](ROWCOL k) {
        ctx.Flags(i, k) &=
            static_cast<WORD>(~(kind == LineKind::border ? pass.borderBit : (pass.lineBit | pass.frozenBit)));
      };
      consume(j);
      ROWCOL k = j + 1;
      for (; k < ctx.m && kindOf(k) == kind; ++k) {
        if (kind == LineKind::border) {
          if (!(ctx.Style(i, k).GetBorder(pass.side) == pen)) break;
        } else if (patterned) {
          if (!ctx.StylePtr(i, k) || !(ctx.Style(i, k).GetInterior() == *interior)) break;
        }
        consume(k);
      }
      const CRect run(ctx.lefts[j], ctx.tops[i], ctx.lefts[k - 1] + ctx.widths[k - 1], ctx.tops[i] + ctx.heights[i]);
      if (kind == LineKind::grid && !patterned && pen == plainPen) {
        if (pen.GetStyle() != PS_NULL) {
          const int y = pass.side == GX_BORDER_TOP ? run.top : run.bottom - 1;
          FillLineRect(ctx.dc, run.left, y, run.Width(), 1, 2, static_cast<int>(ctx.rows[i]), 0);
        }
      } else {
        DrawBorderLine(pen, run, pass.side, ctx.dc, interior);
      }
      j = k;
    }
    if (lastFrozen) gridPen.SetColor(PropertyColor(1));
  }
}

// ---- Border lines and fills -------------------------------------------------------------------------------

void CGXGridCore::DrawBorderLine(const CGXBorderPen& pen, const CRect& rect, int side, CDC* dc,
                                 const CGXInteriorBrush* interior) {
  const UINT style = pen.GetStyle();
  if (style == PS_NULL || !pen.IsSet()) return;
  const BOOL bw = PrintsBlackAndWhite();
  const COLORREF color = bw ? RGB(0, 0, 0) : pen.GetColor();
  const int w = std::max<int>(1, static_cast<int>(pen.GetWidth()));
  auto cosmeticLine = [&](CPen* p) {
    CPen* old = dc->SelectObject(p);
    switch (side) {
      case GX_BORDER_LEFT: dc->MoveTo(rect.left, rect.top), dc->LineTo(rect.left, rect.bottom); break;
      case GX_BORDER_RIGHT: dc->MoveTo(rect.right - 1, rect.top), dc->LineTo(rect.right - 1, rect.bottom); break;
      case GX_BORDER_TOP: dc->MoveTo(rect.left, rect.top), dc->LineTo(rect.right, rect.top); break;
      default: dc->MoveTo(rect.left, rect.bottom - 1), dc->LineTo(rect.right, rect.bottom - 1); break;
    }
    dc->SelectObject(old);
  };
  // 1. A printed zero-width solid pen: one cosmetic line.
  if (m_bPrinting && pen.GetWidth() == 0 && style == PS_SOLID) {
    CPen cosmetic(static_cast<int>(style), 0, color);
    cosmeticLine(&cosmetic);
    return;
  }
  const CRect band = SideBand(rect, side, w);
  if (band.IsRectEmpty()) return;
  // 2. Dashes and dots on an interior: a pattern band, the pen's colour on the interior's (black on white
  // in black and white).
  if (interior && IsPatternStyle(style)) {
    if (CBrush* brush = LinePatternBrush(style, IsVerticalSide(side))) {
      const COLORREF oldText = dc->SetTextColor(color);
      // The interior's colour: a solid interior's own, a pattern's background.
      const COLORREF under =
          interior->GetStyle() == CGXInteriorBrush::solid ? interior->GetColor() : interior->GetBkColor();
      const COLORREF oldBk = dc->SetBkColor(bw ? RGB(255, 255, 255) : under);
      dc->FillRect(&band, brush);
      dc->SetBkColor(oldBk);
      dc->SetTextColor(oldText);
      return;
    }
  }
  // 3. A wide or solid pen: the band in the pen's colour.
  if (w != 1 || style == PS_SOLID) {
    if (m_bPrinting) {
      CBrush brush(color);
      dc->FillRect(&band, &brush);
    } else {
      dc->FillSolidRect(&band, color);
    }
    return;
  }
  // 4. A one-pixel dashed or dotted line without an interior: the cached pen (black in black and white).
  CGXBorderPen drawn(pen);
  if (bw) drawn.SetColor(RGB(0, 0, 0));
  if (CPen* cached = LookupPen(drawn)) cosmeticLine(cached);
}

void CGXGridCore::DrawStyleBorders(CDC* dc, int left, int top, int right, int bottom, const CGXStyle& style) {
  if (!style.IsIncluded(GX_IN_BORDERS)) return;
  static const int order[] = {GX_BORDER_TOP, GX_BORDER_BOTTOM, GX_BORDER_LEFT, GX_BORDER_RIGHT};
  const CRect rect(left, top, right, bottom);
  const CGXInteriorBrush& interior = style.GetInterior();
  for (int side : order)
    if (style.HasBorder(side)) DrawBorderLine(style.GetBorder(side), rect, side, dc, &interior);
}

void CGXGridCore::FillWithInterior(CDC* dc, const CRect& rect, const CGXInteriorBrush& interior) {
  if (rect.IsRectEmpty()) return;
  if (interior.GetStyle() == CGXInteriorBrush::solid) {
    dc->FillSolidRect(&rect, interior.GetColor());
    return;
  }
  if (interior.GetStyle() == CGXInteriorBrush::null) return;
  CBrush* brush = LookupBrush(interior);
  if (!brush) return;
  if (m_bPrinting && interior.GetStyle() >= CGXInteriorBrush::pattern) {
    // A printed pattern is composed in a memory bitmap of the rectangle's size and copied whole.
    CDC mem;
    CBitmap bmp;
    if (!mem.CreateCompatibleDC(dc) || !bmp.CreateCompatibleBitmap(dc, rect.Width(), rect.Height())) return;
    CBitmap* old = mem.SelectObject(&bmp);
    mem.SetTextColor(interior.GetColor());
    mem.SetBkColor(interior.GetBkColor());
    mem.SetBkMode(OPAQUE);
    const CRect local(0, 0, rect.Width(), rect.Height());
    mem.FillRect(&local, brush);
    dc->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    return;
  }
  const COLORREF oldText = dc->SetTextColor(interior.GetColor());
  const COLORREF oldBk = dc->SetBkColor(interior.GetBkColor());
  const int oldMode = dc->SetBkMode(OPAQUE);
  dc->FillRect(&rect, brush);
  dc->SetBkMode(oldMode);
  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
}

// ---- Line rectangles and the moving lines ---------------------------------------------------------------------

void CGXGridCore::FillLineRect(CDC* dc, int x, int y, int cx, int cy, int kind, int, UINT flags) {
  const CRect r(x, y, x + cx, y + cy);
  const BOOL bw = PrintsBlackAndWhite();
  if (flags & 0x08) {
    dc->InvertRect(&r);
  } else if (flags & 0x02) {
    // The dragging line: the grid-line colour under a line of the dragging pen style.
    dc->FillSolidRect(&r, bw ? RGB(0, 0, 0) : PropertyColor(0));
    CPen pen(static_cast<int>(m_nDragLineStyle), 1, PropertyColor(3));
    CPen* old = dc->SelectObject(&pen);
    const int oldMode = dc->SetBkMode(OPAQUE);
    dc->MoveTo(x, y);
    if (kind == 1)
      dc->LineTo(x, y + cy);
    else
      dc->LineTo(x + cx, y);
    dc->SetBkMode(oldMode);
    dc->SelectObject(old);
  } else if (flags & 0x01) {
    dc->FillSolidRect(&r, bw ? RGB(0, 0, 0) : PropertyColor(2));
  } else if (flags & 0x04) {
    dc->InvertRect(&r);
  } else {
    const COLORREF color = bw ? RGB(0, 0, 0) : PropertyColor(0);
    if (m_bPrinting) {
      CBrush brush(color);
      dc->FillRect(&r, &brush);
    } else {
      dc->FillSolidRect(&r, color);
    }
  }
}

void CGXGridCore::CalcTrackingLineRect(CRect* out, int kind, int index) const {
  const CRect area = GetGridRect();
  const int extra = GridLinesAtLeftTop() ? 1 : 0;
  const int limitX = AreaSumLimit(area.right), limitY = AreaSumLimit(area.bottom);
  if (kind == 2) {
    int top = area.top + (index > 0 ? SumClientRowHeights(0, static_cast<ROWCOL>(index - 1), limitY) : 0);
    if (!extra) --top;
    const int width = std::min<int>(SumClientColWidths(0, ColToClientCol(GetColCount()), limitX) + extra,
                                     area.Width());
    out->SetRect(area.left, top, area.left + width, top + 1);
  } else {
    int left = area.left + (index > 0 ? SumClientColWidths(0, static_cast<ROWCOL>(index - 1), limitX) : 0);
    if (!extra) --left;
    const int height = std::min<int>(SumClientRowHeights(0, RowToClientRow(GetRowCount()), limitY) + extra,
                                      area.Height());
    out->SetRect(left, area.top, left + 1, area.top + height);
  }
}

void CGXGridCore::DrawEdgeLine(CDC* dc, int kind, int index, UINT flags) {
  CRect r;
  CalcTrackingLineRect(&r, kind, index);
  FillLineRect(dc, r.left, r.top, r.Width(), r.Height(), kind, index, flags);
}

// ---- Inversion -----------------------------------------------------------------------------------------------

void CGXGridCore::InvertMarkedCells(CGXGridDrawContext& ctx) {
  // Decision: the current cell shows its inverted frame also when it is not selected (the selection test
  // does not count the current cell); when it is selected, its inversion below frames it.
  ROWCOL curRow = 0, curCol = 0, ci = GX_INVALID, cj = GX_INVALID;
  if (!m_bPrinting && QueryCurrentCell(&curRow, &curCol)) {
    for (ROWCOL i = 0; i < ctx.n && ci == GX_INVALID; ++i)
      for (ROWCOL j = 0; j < ctx.m; ++j)
        if (ctx.rows[i] == curRow && ctx.cols[j] == curCol && ctx.StylePtr(i, j)) {
          ci = i, cj = j;
          break;
        }
  }
  const BOOL currentInverted = ci != GX_INVALID && (ctx.Flags(ci, cj) & GX_CF_INVERT);
  for (ROWCOL i = 0; i < ctx.n; ++i)
    for (ROWCOL j = 0; j < ctx.m; ++j)
      if (ctx.Flags(i, j) & GX_CF_INVERT) {
        ctx.Flags(i, j) &= static_cast<WORD>(~GX_CF_INVERT);
        InvertCell(ctx.dc, ctx.rows[i], ctx.cols[j], ctx.CellRect(i, j));
      }
  if (ci != GX_INVALID && !currentInverted) InvertCell(ctx.dc, curRow, curCol, ctx.CellRect(ci, cj));
}

void CGXGridCore::InvertCell(CDC* dc, ROWCOL row, ROWCOL col, const CRect& r) {
  // Decision: the current cell is framed (not filled) when the frame switch is on, also when it lies in
  // the selection, unless the one-shot flag or the invert-current-cell-too switch asks for the whole cell.
  // Under the selection frame the current cell keeps no inverted frame of its own while a range is
  // selected: the selection frame's inverted bands lie on the same pixels at the cell's sides and the two
  // took each other out, leaving a corner cell's sides unframed. With no range selected nothing frames the
  // current cell but its own frame. Decision: any selected range counts, not only one holding the cell:
  // while a selection is extended the cell is painted once before the list has taken its new range, and
  // a frame drawn then would stay in the parts the later paint leaves alone. The invert-current-cell-too switch
  // inverts a selected current cell of the body whole; an unselected one or a header keeps its frame.
  const BOOL current = MatchesCurrentCell(row, col);
  const BOOL selectionFramed = m_pExcelLikeFrameImp && m_pParam && m_pParam->m_bSelectionFrame &&
                               !m_pParam->GetSelection().IsEmpty();
  const BOOL wholeCurrent = current && ParamSettings().m_bInvertCurrentCellToo && row > GetHeaderRows() &&
                            col > GetHeaderCols() && IsCellSelected(row, col);
  if (!current || m_bInvertCurrentCellOnce || wholeCurrent) {
    dc->InvertRect(&r);
  } else if (ParamSettings().m_bCurrentCellFrame && !selectionFramed) {
    CRect bands[4];
    if (GridLinesAtLeftTop()) {
      // 3 pixels at the top and left (over the cell's own grid lines), 2 at the bottom and right.
      bands[0].SetRect(r.left, r.top, r.right - 2, r.top + 3);
      bands[1].SetRect(r.left, r.top + 3, r.left + 3, r.bottom - 2);
      bands[2].SetRect(r.left, r.bottom - 2, r.right - 2, r.bottom);
      bands[3].SetRect(r.right - 2, r.top, r.right, r.bottom);
    } else {
      // 2 pixels at the top and left, 3 at the right and bottom (over the cell's own grid lines).
      bands[0].SetRect(r.left, r.top, r.right, r.top + 2);
      bands[1].SetRect(r.left, r.top + 2, r.left + 2, r.bottom);
      bands[2].SetRect(r.right - 3, r.top + 2, r.right, r.bottom - 3);
      bands[3].SetRect(r.left + 2, r.bottom - 3, r.right, r.bottom);
    }
    for (const CRect& band : bands)
      if (!band.IsRectEmpty()) dc->InvertRect(&band);
  }
  m_bInvertCurrentCellOnce = FALSE;
}

// ---- Border arithmetic ------------------------------------------------------------------------------------------

// Per side, in the style's numbering (top, left, bottom, right): whether a grid line may sit there.
namespace {
struct SideLines {
  BOOL lines[4];
  SideLines(BOOL vert, BOOL horz, BOOL leftTop) {
    lines[GX_BORDER_TOP] = horz && leftTop;
    lines[GX_BORDER_LEFT] = vert && leftTop;
    lines[GX_BORDER_BOTTOM] = horz && !leftTop;
    lines[GX_BORDER_RIGHT] = vert && !leftTop;
  }
};
}  // namespace

void CGXGridCore::SubtractBorders(CRect* out, const CRect& cell, const CGXStyle& style, BOOL inner) {
  *out = cell;
  if (inner && style.IsIncluded(GX_IN_DRAW3DFRAME) && style.GetDraw3dFrame()) out->DeflateRect(1, 1);
  const SideLines grid(DrawsVertLines(), DrawsHorzLines(), GridLinesAtLeftTop());
  int d[4] = {0, 0, 0, 0};
  for (int side = 0; side < 4; ++side) {
    if (style.HasBorder(side)) {
      // A PS_NULL border takes no room, but it stands for the side: no grid line is subtracted either.
      const CGXBorderPen pen = style.GetBorder(side);
      d[side] = pen.GetStyle() == PS_NULL ? 0 : std::max<int>(1, static_cast<int>(pen.GetWidth()));
    } else if (inner && grid.lines[side]) {
      d[side] = 1;
    }
  }
  out->top += d[GX_BORDER_TOP];
  out->left += d[GX_BORDER_LEFT];
  out->bottom -= d[GX_BORDER_BOTTOM];
  out->right -= d[GX_BORDER_RIGHT];
}

void CGXGridCore::AddBorders(CSize* out, int cx, int cy, const CGXStyle& style) {
  out->cx = cx;
  out->cy = cy;
  if (style.IsIncluded(GX_IN_DRAW3DFRAME) && style.GetDraw3dFrame()) {
    out->cx += 2;
    out->cy += 2;
  }
  const SideLines grid(DrawsVertLines(), DrawsHorzLines(), GridLinesAtLeftTop());
  for (int side = 0; side < 4; ++side) {
    int add = 0;
    // Unlike SubtractBorders, a PS_NULL border counts as no border here.
    if (style.HasBorder(side) && style.GetBorder(side).GetStyle() != PS_NULL)
      add = std::max<int>(1, static_cast<int>(style.GetBorder(side).GetWidth()));
    else if (grid.lines[side])
      add = 1;
    (IsVerticalSide(side) ? out->cx : out->cy) += add;
  }
}
