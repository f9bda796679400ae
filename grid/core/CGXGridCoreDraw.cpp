// Grid drawing: the paint entry, direct and buffered drawing, the cell block with its interiors and cells,
// the area beyond the grid, the redraw operations and the data object's changed-cell marks. Grid lines,
// borders and inversion are in CGXGridCoreLines.cpp, the drawing caches in CGXGridCoreDrawCaches.cpp.
//
// Paint cycle:
//   DrawGrid: feature notice -> lock/clip/printing checks -> BeforeDraw -> RefreshScrollBars(only if counts
//     changed); a changed scroll range invalidates everything and ends the paint (the next paint draws with
//     the new layout)
//   DrawGridDirect | DrawGridBuffered (memory bitmap of the clip box, painted completely, then copied)
//     -> the client cells under the clip box's corners -> selection frame -> DrawCellBlock -> selection frame
//   DrawCellBlock: sizes and positions of the block's rows and columns; spans prepared; each cell's flags
//     (its style composed once); per row the interior runs, the cells through their controls, the current
//     cell's frame and the row's lines; the area beyond the last row and column; per column its lines; the
//     selection inversion.
#include <algorithm>
#include <cstring>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDrawContext.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridOldDrawingImp.h"
#include "grid/core/CGXProperties.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/window/windowapi.h"

COLORREF CGXGridCore::PropertyColor(int index) const {
  static const COLORREF defaults[] = {RGB(192, 192, 192), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0),
                                      0xF9000000 /* the window colour */};
  const CGXProperties* p = GetProperties();
  COLORREF c = p && index < p->GetColorCount() ? p->GetColor(index) : defaults[std::clamp(index, 0, 4)];
  if (m_bPrinting && index == 4) return RGB(255, 255, 255);
  // A high byte of 65..254 stands for system colour 254 minus that byte.
  const BYTE kind = static_cast<BYTE>(c >> 24);
  if (kind >= 65 && kind <= 254) return GetSysColor(254 - kind);
  return c & 0x00FFFFFF;
}

BOOL CGXGridCore::DrawsHorzLines() const {
  const CGXProperties* p = GetProperties();
  return p ? p->DrawsHorizontalLines(m_bPrinting) : TRUE;
}

BOOL CGXGridCore::DrawsVertLines() const {
  const CGXProperties* p = GetProperties();
  return p ? p->DrawsVerticalLines(m_bPrinting) : TRUE;
}

BOOL CGXGridCore::PrintsBlackAndWhite() const {
  const CGXProperties* p = GetProperties();
  return p && p->PrintsBlackAndWhite(m_bPrinting);
}

// ---- Invalidation and redraw --------------------------------------------------------------------------

void CGXGridCore::InvalidateRect(const RECT* rect, BOOL erase) {
  if (IsLockUpdate()) return;
  if (HWND h = GridHwnd()) ::InvalidateRect(h, rect, erase);
}

void CGXGridCore::UpdateWindow() {
  if (HWND h = GridHwnd()) ::UpdateWindow(h);
}

void CGXGridCore::RedrawRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags, BOOL hint) {
  if (auto* h = hint ? HintSender() : nullptr) h->HintRedrawRange(this, top, left, bottom, right, flags);
  HWND h = GridHwnd();
  if (!flags || !h || !::IsWindowVisible(h) || IsLockUpdate()) return;
  PrepareSpannedCellsForView(top, left, bottom, right);
  CRect r = CalcRangeRect(top, left, bottom, right);
  if (r.IsRectEmpty()) return;
  InvalidateRect(&r, TRUE);
  if (flags & GX_UPDATENOW) UpdateWindow();
}

void CGXGridCore::RedrawCell(ROWCOL row, ROWCOL col, UINT flags, BOOL hint) {
  RedrawRange(row, col, row, col, flags, hint);
}

void CGXGridCore::RedrawAll(UINT flags, BOOL hint) {
  if (auto* h = hint ? HintSender() : nullptr) h->HintRedrawAll(this, flags);
  InvalidateShownCaches();
  if (!flags || IsLockUpdate()) return;
  if (GetRowCount() < m_nTopRow) m_nTopRow = std::max(GetRowCount(), GetFrozenRows() + 1);
  if (GetColCount() < m_nLeftCol) m_nLeftCol = std::max(GetColCount(), GetFrozenCols() + 1);
  // Never into the frozen rows (the top row is the first scrolled row), not even for an empty grid.
  m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
  m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
  FreeDrawingCaches();
  PrepareSpannedCellsForView(0, 0, GetRowCount(), GetColCount());
  CRect area = GetGridRect();
  InvalidateRect(&area, TRUE);
  RefreshScrollBars(FALSE, FALSE);
  if (flags & GX_UPDATENOW) UpdateWindow();
}

void CGXGridCore::RedrawHintRange(const CGXRange& range, UINT flags, BOOL hint) {
  if (range.IsRows())
    RedrawRange(range.top, 0, range.bottom, GetColCount(), flags, hint);
  else if (range.IsCols())
    RedrawRange(0, range.left, GetRowCount(), range.right, flags, hint);
  else if (range.IsTable())
    RedrawRange(0, 0, GetRowCount(), GetColCount(), flags, hint);
  else
    RedrawRange(range.top, range.left, range.bottom, range.right, flags, hint);
}

BOOL CGXGridCore::RedrawChangedCells(BOOL recalc, void* hint, BOOL notify) {
  (void)hint;
  if (GetRowCount() == 0 || GetColCount() == 0) return FALSE;
  // A data object that suspends its updates (a store in the middle of a bulk change) is not repainted now.
  if (CGXData* data = GetData(); data && data->m_bSuspendUpdates) return FALSE;
  if (recalc) DataObjectRecalc();
  {
    // The paints below run every cell control's drawing; whatever escapes from one must not leave the grid
    // in changed-cells mode (every later paint would draw only rows holding a changed cell). The rectangles
    // queued by an interrupted paint go too.
    struct ModeScope {
      CGXGridCore& grid;
      BOOL oldMode, oldScrolling;
      explicit ModeScope(CGXGridCore& g) : grid(g), oldMode(g.m_bChangedCellsMode), oldScrolling(g.m_bScrolling) {
        g.m_bChangedCellsMode = TRUE;
        g.m_bScrolling = TRUE;
      }
      ~ModeScope() {
        grid.m_bChangedCellsMode = oldMode;
        grid.m_bScrolling = oldScrolling;
        grid.m_queuedRects.clear();
      }
      ModeScope(const ModeScope&) = delete;
      ModeScope& operator=(const ModeScope&) = delete;
    } mode(*this);
    UpdateWindow();
    RedrawAll(GX_UPDATENOW, FALSE);
  }
  if (auto* h = notify ? HintSender() : nullptr) h->HintChangedCells(this, 0);
  CString error;
  if (recalc && DataObjectErrorText(error) && !error.IsEmpty()) ::MessageBox(GridHwnd(), error, nullptr, MB_OK);
  // The cells still listed as pending were repainted by now: their marks go and the list empties, so a
  // later repaint neither clears them again nor keeps the entries alive.
  if (m_pParam) {
    CGXRangeList& pending = m_pParam->GetPendingChangedCells();
    for (POSITION pos = pending.GetHeadPosition(); pos;) {
      const CGXRange* cell = pending.GetNext(pos);
      NotifyDataCellDrawn(cell->top, cell->left, FALSE);
    }
    pending.DeleteAll();
  }
  return TRUE;
}

// ---- The data object's changed-cell marks -----------------------------------------------------------------

BOOL CGXGridCore::IsDataCellChanged(ROWCOL row, ROWCOL col) {
  CGXData* data = GetData();
  if (!data) return FALSE;
  // A covered cell is changed when the top-left cell of its covered range is.
  CGXRange covered;
  if (m_pCoveredCellsImp && GetCoveredCellsRowCol(row, col, covered)) {
    row = covered.top;
    col = covered.left;
  }
  return data->IsCellChanged(row, col);
}

void CGXGridCore::NotifyDataCellDrawn(ROWCOL row, ROWCOL col, BOOL) {
  if (CGXData* data = GetData()) data->SetCellChanged(row, col, FALSE);
}

// Decision: the notice asks the data object to prepare its pending message (silent while the grid says
// so); "begin" starts a recalculation with the given force flag.
void CGXGridCore::DataObjectNotice() {
  if (m_bNoDataObjectNotice) return;
  if (CGXData* data = GetData()) data->RequestMessage();
}

void CGXGridCore::DataObjectBegin(BOOL flag) {
  if (CGXData* data = GetData()) data->Recalc(flag);
}

void CGXGridCore::DataObjectRecalc() {
  if (CGXData* data = GetData()) data->Recalc(FALSE);
}

BOOL CGXGridCore::DataObjectErrorText(CString& out) {
  CGXData* data = GetData();
  return data && data->GetMessage(out);
}

// ---- Features reached by drawing ------------------------------------------------------------------------

void CGXGridCore::SetFeature(CGXDrawSpannedCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pDrawSpannedCellsImp, imp, autoDelete);
}

LRESULT CGXGridCore::PrepareSpannedCells(ROWCOL frozenRows, ROWCOL frozenCols, ROWCOL topRow, ROWCOL leftCol,
                                         ROWCOL lastRow, ROWCOL lastCol, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                         ROWCOL right) {
  if (!m_pDrawSpannedCellsImp) return 0;
  return m_pDrawSpannedCellsImp->PrepareSpannedCells(this, frozenRows, frozenCols, topRow, leftCol, lastRow, lastCol,
                                                     top, left, bottom, right);
}

LRESULT CGXGridCore::PrepareSpannedCellsForView(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
  if (!m_pDrawSpannedCellsImp) return 0;  // no need to find the last shown row and column
  // Frozen lines past the last shown one are not in view (a layout may freeze more lines than fit, or than
  // the grid has): their spans wait until they are.
  const ROWCOL lastRow = GetLastVisibleRow(), lastCol = GetLastVisibleCol();
  return PrepareSpannedCells(std::min(GetFrozenRows(), lastRow), std::min(GetFrozenCols(), lastCol), GetTopRow(),
                             GetLeftCol(), lastRow, lastCol, top, left, bottom, right);
}

void CGXGridCore::PrepareBlockSpans(CGXGridDrawContext& ctx) {
  if (!m_pDrawSpannedCellsImp || !ctx.n || !ctx.m) return;
  PrepareSpannedCells(ctx.frozenRows, ctx.frozenCols, ctx.firstRow, ctx.firstCol, ctx.rows[ctx.n - 1],
                      ctx.cols[ctx.m - 1], ctx.rows[0], ctx.cols[0], ctx.rows[ctx.n - 1], ctx.cols[ctx.m - 1]);
}

void CGXGridCore::CallOldDrawingHook(CGXGridDrawContext& ctx) {
  if (m_pOldDrawingImp) m_pOldDrawingImp->DrawBackgrounds(this, ctx);
}

void CGXGridCore::ApplyPrintMargins(CDC*, CPrintInfo* info) {
  const CGXProperties* p = GetProperties();
  if (!info || !p) return;
  // The properties keep the margins as top, left, bottom, right.
  info->m_rectDraw.top += p->m_nMargins[0];
  info->m_rectDraw.left += p->m_nMargins[1];
  info->m_rectDraw.bottom -= p->m_nMargins[2];
  info->m_rectDraw.right -= p->m_nMargins[3];
}

void CGXGridCore::DrawPrintHeaderFooter(CDC* dc, CPrintInfo* info) {
  if (CGXProperties* p = GetProperties()) p->PrintHeaderAndFooter(dc, info, m_pDocument, m_pParam);
}

// ---- Paint entry ----------------------------------------------------------------------------------------

void CGXGridCore::DrawGrid(CDC* dc) {
  GXForwardArgs notice;  // (0, 0, TRUE, 0) for the plug-point feature, before anything is decided
  notice.v[2] = TRUE;
  ExtraFeatureBForward9(notice);
  if (IsLockUpdate()) return;
  CRect clip;
  if (dc->GetClipBox(&clip) == NULLREGION || clip.IsRectEmpty()) return;
  if (m_bPrinting) {
    m_bPaintDeferred = TRUE;
    return;
  }
  // Estimates of the last row and column: the cell at the clip box plus what fits in it at the default size.
  const int dh = GetDefaultRowHeight(), dw = GetDefaultColWidth();
  BeforeDraw(CalcBottomRow(clip) + static_cast<ROWCOL>(clip.Height() / std::max(1, dh)),
             CalcRightmostCol(clip) + static_cast<ROWCOL>(clip.Width() / std::max(1, dw)));
  m_bScrollRangeChanged = FALSE;
  RefreshScrollBars(FALSE, TRUE);
  if (m_bScrollRangeChanged) {
    InvalidateRect(nullptr, TRUE);
    return;
  }
  if (m_nBufferedDrawing == 1)
    DrawGridBuffered(dc);
  else
    DrawGridDirect(dc);
}

namespace {
// The common start of both paths: base styles, caches emptied, the standard font selected and measured.
struct PaintScope {
  CGXGridCore* grid;
  CDC* dc;
  CFont* oldFont = nullptr;
  PaintScope(CGXGridCore* g, CDC* d) : grid(g), dc(d) {
    grid->LookupBaseStyles();
    grid->FreeDrawingCaches();
    if (const CGXStyle* standard = grid->GetStandardStyle()) {
      oldFont = grid->SelectStyleFont(dc, *standard);
      if (standard->GetFontPtr()) grid->MeasurePaintFont(dc);
    }
  }
  ~PaintScope() {
    if (oldFont) dc->SelectObject(oldFont);
    grid->ReleaseCachedDC();
  }
};
}  // namespace

void CGXGridCore::DrawGridDirect(CDC* dc) {
  PaintScope scope(this, dc);
  CRect clip;
  const CRect area = GetGridRect();
  if (dc->GetClipBox(&clip) == ERROR) clip = area;
  clip.IntersectRect(clip, area);
  if (clip.IsRectEmpty()) return;
  if (m_bDrawOuterFrame) {
    // Just outside the grid rectangle, before the cells.
    dc->FillSolidRect(area.left - 1, area.top - 1, area.Width() + 2, 1, RGB(0, 0, 0));
    dc->FillSolidRect(area.left - 1, area.top - 1, 1, area.Height() + 2, RGB(0, 0, 0));
    dc->FillSolidRect(area.right, area.top - 1, 1, area.Height() + 2, RGB(0, 0, 0));
    dc->FillSolidRect(area.left - 1, area.bottom, area.Width() + 2, 1, RGB(0, 0, 0));
  }
  // Windows recorded outside a paint may have moved since: only this paint's records count.
  m_windowRects.clear();
  PaintBlockWithFrame(dc, clip);
  m_queuedRects.clear();
  m_windowRects.clear();
}

void CGXGridCore::DrawGridBuffered(CDC* dc) {
  CRect clip;
  const CRect area = GetGridRect();
  if (dc->GetClipBox(&clip) == ERROR) clip = area;
  clip.IntersectRect(clip, area);
  if (clip.Width() <= 0 || clip.Height() <= 0) return;
  CDC mem;
  CBitmap bmp;
  if (!mem.CreateCompatibleDC(dc) || !bmp.CreateCompatibleBitmap(dc, clip.Width(), clip.Height()))
    return DrawGridDirect(dc);
  CBitmap* oldBmp = mem.SelectObject(&bmp);
  PrepareDC(&mem);
  mem.SetViewportOrg(-clip.left, -clip.top);
  mem.SetBrushOrg(clip.left % 8, clip.top % 8);
  m_windowRects.clear();
  {
    PaintScope scope(this, &mem);
    // The memory bitmap is painted completely before anything is copied, so the screen never receives the
    // bitmap's uninitialised pixels.
    mem.FillSolidRect(&clip, PropertyColor(4));
    PaintBlockWithFrame(&mem, clip);
    if (m_bDrawOuterFrame) {
      // After the cells, on the grid rectangle's outermost pixels.
      mem.FillSolidRect(area.left, area.top, area.Width(), 1, RGB(0, 0, 0));
      mem.FillSolidRect(area.left, area.top, 1, area.Height(), RGB(0, 0, 0));
      mem.FillSolidRect(area.right - 1, area.top, 1, area.Height(), RGB(0, 0, 0));
      mem.FillSolidRect(area.left, area.bottom - 1, area.Width(), 1, RGB(0, 0, 0));
    }
  }
  mem.SetViewportOrg(0, 0);
  // In changed-cells mode the cells before a row's first changed cell were not drawn (queued): the bitmap
  // holds only the background there, so those rectangles are left out of the copy and keep what the
  // screen shows.
  const int saved = dc->SaveDC();
  for (const CRect& q : m_queuedRects) dc->ExcludeClipRect(&q);
  m_queuedRects.clear();
  // The controls' windows over their cells keep their pixels.
  ExcludeWindowRects(dc);
  m_windowRects.clear();
  dc->BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &mem, 0, 0, SRCCOPY);
  dc->RestoreDC(saved);
  mem.SelectObject(oldBmp);
}

void CGXGridCore::MeasurePaintFont(CDC* dc) {
  TEXTMETRIC tm{};
  if (!dc->GetTextMetrics(&tm)) return;
  const int height = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  // TMPF_FIXED_PITCH set means a variable-pitch font (the classic inverted bit): 3/2 of the average width.
  const int width = std::max<int>(1, tm.tmAveCharWidth * ((tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? 3 : 2) / 2);
  if (height == m_dyHeight && width == m_dxWidth) return;
  m_dyHeight = height;
  m_dxWidth = width;
  InvalidateShownCaches();  // sizes in font units follow the new metrics
}

BOOL CGXGridCore::ClientCellFromPoint(const POINT& pt, int* clientRow, int* clientCol, CRect* cellRect) const {
  if (pt.x < 0 || pt.y < 0) {
    *clientRow = *clientCol = 0;
    return FALSE;
  }
  int top = 0, left = 0;
  ROWCOL i = HitTestClientRow(pt, &top), j = HitTestClientCol(pt, &left);
  *clientRow = static_cast<int>(i);
  *clientCol = static_cast<int>(j);
  if (i == GX_INVALID || j == GX_INVALID) return FALSE;
  if (cellRect)
    cellRect->SetRect(left, top, left + GetColWidth(ClientColToCol(j)), top + GetRowHeight(ClientRowToRow(i)));
  return TRUE;
}

BOOL CGXGridCore::ClientCellFromPointOrLast(const POINT& pt, int* clientRow, int* clientCol) const {
  const BOOL inside = ClientCellFromPoint(pt, clientRow, clientCol);
  // A point past the grid's end takes the last row or column (never one inside the frozen part only).
  if (*clientRow == -1)
    *clientRow = static_cast<int>(RowToClientRow(std::max(GetRowCount(), GetFrozenRows())));
  if (*clientCol == -1)
    *clientCol = static_cast<int>(ColToClientCol(std::max(GetColCount(), GetFrozenCols())));
  return inside;
}

void CGXGridCore::CalcClientCellRect(CRect* out, ROWCOL clientRow, ROWCOL clientCol) const {
  const CRect area = GetGridRect();
  const int y = area.top + (clientRow ? SumClientRowHeights(0, clientRow - 1, AreaSumLimit(area.bottom)) : 0);
  const int x = area.left + (clientCol ? SumClientColWidths(0, clientCol - 1, AreaSumLimit(area.right)) : 0);
  out->SetRect(x, y, x + GetColWidth(ClientColToCol(clientCol)), y + GetRowHeight(ClientRowToRow(clientRow)));
}

void CGXGridCore::CalcClientCellRectCached(CRect* out, ROWCOL clientRow, ROWCOL clientCol) {
  const CRect area = GetGridRect();
  // Each sum continues from the kept one and starts over when its index went back or the rows (columns)
  // scrolled since.
  if (clientRow < m_nCachedRectRow || m_nCachedRectTop != GetFirstScrolledRow()) {
    m_nCachedRectRow = 0, m_nCachedRectY = 0;
    m_nCachedRectTop = GetFirstScrolledRow();
  }
  if (clientCol < m_nCachedRectCol || m_nCachedRectLeft != GetFirstScrolledCol()) {
    m_nCachedRectCol = 0, m_nCachedRectX = 0;
    m_nCachedRectLeft = GetFirstScrolledCol();
  }
  // Runs of hidden lines are jumped.
  while (m_nCachedRectRow < clientRow && m_nCachedRectY <= 2 * area.bottom) {
    m_nCachedRectRow = std::min(NextShownClientRow(m_nCachedRectRow), clientRow);
    if (m_nCachedRectRow == clientRow) break;
    m_nCachedRectY += GetRowHeight(ClientRowToRow(m_nCachedRectRow++));
  }
  while (m_nCachedRectCol < clientCol && m_nCachedRectX <= 2 * area.right) {
    m_nCachedRectCol = std::min(NextShownClientCol(m_nCachedRectCol), clientCol);
    if (m_nCachedRectCol == clientCol) break;
    m_nCachedRectX += GetColWidth(ClientColToCol(m_nCachedRectCol++));
  }
  const int y = area.top + m_nCachedRectY, x = area.left + m_nCachedRectX;
  out->SetRect(x, y, x + GetColWidth(ClientColToCol(clientCol)), y + GetRowHeight(ClientRowToRow(clientRow)));
}

// The selection frame is drawn after every block; in changed-cells mode it is also erased before.
void CGXGridCore::PaintBlockWithFrame(CDC* dc, const CRect& clip) {
  // While the flag is set the frame feature inverts the shown frame within the block (the paint wiped it
  // there) instead of erasing it.
  CGXFlagScope pass(m_bFramePaintPass, TRUE);
  if (m_bChangedCellsMode) DrawExcelLikeFrame(dc, TRUE, nullptr);
  PaintBlock(dc, clip);
  DrawExcelLikeFrame(dc, TRUE, nullptr);
}

void CGXGridCore::PaintBlock(CDC* dc, const CRect& clip) {
  const int saved = dc->SaveDC();
  const CRect area = GetGridRect();
  dc->IntersectClipRect(&area);
  int t = 0, l = 0, b = 0, r = 0;
  ClientCellFromPointOrLast(clip.TopLeft(), &t, &l);
  ClientCellFromPointOrLast(CPoint(clip.right - 1, clip.bottom - 1), &b, &r);
  DrawCellBlock(static_cast<ROWCOL>(t), static_cast<ROWCOL>(l), static_cast<ROWCOL>(b), static_cast<ROWCOL>(r), dc);
  dc->RestoreDC(saved);
}

// ---- Cell block -----------------------------------------------------------------------------------------

namespace {
// Keeps the grid's current draw context and nesting counter for the life of one block.
struct BlockScope {
  int& nesting;
  CGXGridDrawContext*& current;
  CGXGridDrawContext* previous;
  BlockScope(int& n, CGXGridDrawContext*& cur, CGXGridDrawContext* ctx) : nesting(n), current(cur), previous(cur) {
    ++nesting;
    current = ctx;
  }
  ~BlockScope() {
    --nesting;
    current = previous;
  }
};
}  // namespace

void CGXGridCore::DrawCellBlock(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, CDC* dc) {
  // 1. Nesting and the current draw context.
  CGXGridDrawContext ctx;
  BlockScope scope(m_nDrawNesting, m_pDrawContext, &ctx);
  ResetClientCellRectCache();  // sizes may have changed since the last block
  ctx.dc = dc;
  dc->GetClipBox(&ctx.clip);
  // 2. The context.
  const ROWCOL rowCount = GetRowCount(), colCount = GetColCount();
  const CRect area = GetGridRect();
  ctx.firstRow = GetFirstScrolledRow();
  ctx.firstCol = GetFirstScrolledCol();
  ctx.frozenRows = GetFrozenRows();
  ctx.frozenCols = GetFrozenCols();
  ctx.headerRows = GetHeaderRows();
  ctx.headerCols = GetHeaderCols();
  ctx.invertSelection = !m_bPrinting && ParamSettings().m_bInvertSelection;
  ctx.colorsAllowed = !PrintsBlackAndWhite();
  ctx.background = ctx.colorsAllowed ? PropertyColor(4) : RGB(255, 255, 255);
  // 3. Rows and columns of the block, stopping at the grid's end and below the grid rectangle. Runs of
  // hidden rows and columns are left out: they take no room and draw nothing (a zero size that is not a
  // hide mark still joins the block). The entry after the last is the next shown line.
  ctx.originY = ClientRowTop(top);
  ctx.originX = ClientColLeft(left);
  ROWCOL i = NextShownClientRow(top);
  for (int y = ctx.originY; i <= bottom && y <= area.bottom; i = NextShownClientRow(i + 1)) {
    const ROWCOL row = ClientRowToRow(i);
    if (row > rowCount) break;
    ctx.rows.push_back(row);
    ctx.tops.push_back(y);
    ctx.heights.push_back(GetRowHeight(row));
    y += ctx.heights.back();
  }
  const ROWCOL nextRow = ClientRowToRow(i);
  ROWCOL j = NextShownClientCol(left);
  for (int x = ctx.originX; j <= right && x <= area.right; j = NextShownClientCol(j + 1)) {
    const ROWCOL col = ClientColToCol(j);
    if (col > colCount) break;
    ctx.cols.push_back(col);
    ctx.lefts.push_back(x);
    ctx.widths.push_back(GetColWidth(col));
    x += ctx.widths.back();
  }
  const ROWCOL nextCol = ClientColToCol(j);
  ctx.n = static_cast<ROWCOL>(ctx.heights.size());
  ctx.m = static_cast<ROWCOL>(ctx.widths.size());
  ctx.rows.push_back(nextRow <= rowCount && ctx.n ? nextRow : 0);
  ctx.cols.push_back(nextCol <= colCount && ctx.m ? nextCol : 0);
  ctx.styles.assign(static_cast<size_t>(ctx.n) * ctx.m, nullptr);
  ctx.flags.assign(static_cast<size_t>(ctx.n) * ctx.m, 0);

  // 4. A current cell in the block is drawn with its control looked up afresh (unless the grid keeps it, or
  // its control edits: a paint never lets go of an edit in progress). The control itself stays bound: only
  // the grid's hold on it is renewed, the cell's style may have named another control since.
  ROWCOL curRow = 0, curCol = 0;
  if (!m_bKeepCurrentCell && QueryCurrentCell(&curRow, &curCol) && ctx.n && ctx.m &&
      std::find(ctx.rows.begin(), ctx.rows.end() - 1, curRow) != ctx.rows.end() - 1 &&
      std::find(ctx.cols.begin(), ctx.cols.end() - 1, curCol) != ctx.cols.end() - 1) {
    CGXControl* control = ControlOfCurrentCell();
    if (!control || (!control->GetEditingState() && !control->GetModifiedState())) ReleaseCurrentControl();
  }
  // 5. Styles composed up front when asked; otherwise each when its flags are prepared.
  // They are kept aside: a cell's style joins the block only when the cell is prepared (step 8), so that in
  // changed-cells mode the cells before a row's first changed cell stay undrawn, uninverted and unframed.
  if (ParamSettings().m_nPreloadStyles == 1) {
    ctx.preloaded.assign(ctx.styles.size(), nullptr);
    for (ROWCOL r = 0; r < ctx.n; ++r)
      for (ROWCOL c = 0; c < ctx.m; ++c)
        if (ctx.heights[r] > 0 && ctx.widths[c] > 0)  // hidden cells are never drawn
          ctx.preloaded[static_cast<size_t>(r) * ctx.m + c] = GetCachedCellStyle(ctx.rows[r], ctx.cols[c]);
  }
  // 6. A changed cell may float differently now: its floating cells are computed again before it draws.
  if (m_pFloatCellsImp)
    for (ROWCOL r = 0; r < ctx.n; ++r)
      for (ROWCOL c = 0; c < ctx.m; ++c)
        if (ctx.rows[r] && ctx.cols[c] && IsDataCellChanged(ctx.rows[r], ctx.cols[c]))
          RecalcFloatCells(CGXRange(ctx.rows[r], ctx.cols[c]), -1);
  // 7. Spans of the block.
  PrepareBlockSpans(ctx);
  // 8. Cell flags. In changed-cells mode a row is prepared from its first changed cell on; the cells before
  // it are queued (not drawn: they keep what the screen shows).
  if (m_bChangedCellsMode) {
    ctx.firstChanged.assign(ctx.n, ctx.m);
    for (ROWCOL r = 0; r < ctx.n; ++r) {
      ROWCOL first = 0;
      if (ctx.heights[r] <= 0) first = ctx.m;  // a hidden row draws nothing, changed or not
      while (first < ctx.m && !IsDataCellChanged(ctx.rows[r], ctx.cols[first])) ++first;
      ctx.firstChanged[r] = first;
      if (first > 0) {
        CRect q(ctx.lefts[0], ctx.tops[r], ctx.lefts[first - 1] + ctx.widths[first - 1], ctx.tops[r] + ctx.heights[r]);
        if (!q.IsRectEmpty()) m_queuedRects.push_back(q);
      }
      for (ROWCOL c = first; c < ctx.m; ++c) PrepareCellFlags(ctx, r, c);
    }
  } else {
    for (ROWCOL r = 0; r < ctx.n; ++r)
      for (ROWCOL c = 0; c < ctx.m; ++c) PrepareCellFlags(ctx, r, c);
  }
  // 9. The cell-by-cell drawing, when installed and asked for, draws the block itself.
  if (m_pOldDrawingImp && m_pOldDrawingImp->DrawCells(this, dc, ctx)) return;
  // 10. Per row: interior runs, cells, the current cell's frame, the row's lines.
  for (ROWCOL r = 0; r < ctx.n; ++r) {
    int saved = 0;
    if (m_bChangedCellsMode) {
      if (ctx.firstChanged[r] == ctx.m) continue;  // nothing changed in this row
      // Clipped to the row's band: a cell's contents reach no other row.
      saved = dc->SaveDC();
      dc->IntersectClipRect(ctx.clip.left, ctx.tops[r], ctx.clip.right, ctx.tops[r] + ctx.heights[r]);
    }
    FillRowInteriorRuns(ctx, r);
    for (ROWCOL c = 0; c < ctx.m; ++c) {
      if (!ctx.StylePtr(r, c)) continue;  // not prepared: before the row's first change, or under a span
      DrawBlockCell(ctx, r, c);
      NotifyDataCellDrawn(ctx.rows[r], ctx.cols[c], FALSE);
    }
    if (m_bChangedCellsMode) dc->RestoreDC(saved);
    DrawCurrentCellFrameOnce(ctx);
    DrawRowLines(ctx, r);
  }
  // 11. The area beyond the last row and column.
  if (!ParamSettings().m_bOldDrawing) DrawBeyondGrid(ctx);
  // 12. Column lines, then the inversion.
  for (ROWCOL c = 0; c < ctx.m; ++c) DrawColumnLines(ctx, c);
  InvertMarkedCells(ctx);
}

CGXInteriorBrush CGXGridCore::BlackAndWhiteInterior(const CGXInteriorBrush& interior) {
  // White background and black foreground, the two exchanged for a pattern.
  CGXInteriorBrush bw(interior);
  const BOOL patterned = interior.GetFillKind() != CGXInteriorBrush::fillColor;
  bw.SetColor(patterned ? RGB(0, 0, 0) : RGB(255, 255, 255)).SetBkColor(patterned ? RGB(255, 255, 255) : RGB(0, 0, 0));
  bw.SetStyle(interior.GetStyle());
  return bw;
}

CGXInteriorBrush CGXGridCore::StandardInterior() const {
  return m_pStyleStandard ? m_pStyleStandard->GetInterior() : CGXInteriorBrush(RGB(255, 255, 255));
}

void CGXGridCore::PrepareCellFlags(CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) {
  // A cell of no height or width (a hidden row or column) gets no flags, no style and no control call:
  // it is skipped before anything is composed for it.
  if (ctx.heights[i] <= 0 || ctx.widths[j] <= 0) return;
  WORD& f = ctx.Flags(i, j);
  // 1. The sides that carry the grid lines.
  const BOOL leftTop = GridLinesAtLeftTop();
  const WORD vSide = leftTop ? GX_CF_BORDER_LEFT : GX_CF_BORDER_RIGHT;
  const WORD hSide = leftTop ? GX_CF_BORDER_TOP : GX_CF_BORDER_BOTTOM;
  // 2. A cell under a span, or one the spanned-cells feature claims, gets no further flags.
  const BOOL claimed = (f & GX_CF_SPANNED) ||
                       (m_pDrawSpannedCellsImp && m_pDrawSpannedCellsImp->IsSpannedCell(this, ctx, i, j));
  const ROWCOL row = ctx.rows[i], col = ctx.cols[j];
  if (!claimed) {
    // 3. The style, then the border and grid-line flags of a cell that has a size.
    const size_t index = static_cast<size_t>(i) * ctx.m + j;
    const CGXStyle*& slot = ctx.styles[index];
    if (!slot) slot = index < ctx.preloaded.size() && ctx.preloaded[index] ? ctx.preloaded[index]
                                                                            : GetCachedCellStyle(row, col);
    const CGXStyle& s = *slot;
    if (!(s.GetInterior() == StandardInterior())) f |= GX_CF_OWNBACKGROUND;
    if (s.IsIncluded(GX_IN_BORDERS)) {
      if (s.HasBorder(GX_BORDER_LEFT)) f |= GX_CF_BORDER_LEFT;
      if (s.HasBorder(GX_BORDER_RIGHT)) f |= GX_CF_BORDER_RIGHT;
      if (s.HasBorder(GX_BORDER_TOP)) f |= GX_CF_BORDER_TOP;
      if (s.HasBorder(GX_BORDER_BOTTOM)) f |= GX_CF_BORDER_BOTTOM;
    }
    if (!(f & vSide)) {
      f |= GX_CF_VLINE;
      if (col == ctx.frozenCols && col > ctx.headerCols) f |= GX_CF_VLINE_FROZEN;
    }
    if (!(f & hSide)) {
      f |= GX_CF_HLINE;
      if (row == ctx.frozenRows && row > ctx.headerRows) f |= GX_CF_HLINE_FROZEN;
    }
  }
  // 4. Selected cells are inverted after drawing. Decision: header cells (row 0, column 0 and the header
  // rows and columns) are never inverted; a selected whole column or row shows inverted in its body only.
  if (ctx.invertSelection && row && col && row > ctx.headerRows && col > ctx.headerCols && IsCellSelected(row, col))
    f |= GX_CF_INVERT;
}

void CGXGridCore::DrawBlockCell(CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) {
  if (m_pDrawSpannedCellsImp && m_pDrawSpannedCellsImp->DrawSpannedCell(this, ctx, i, j)) return;
  const CGXStyle* style = ctx.StylePtr(i, j);
  const CRect rect = ctx.CellRect(i, j);
  if (!style || rect.IsRectEmpty()) return;
  const ROWCOL row = ctx.rows[i], col = ctx.cols[j];
  const BOOL current = row && col && MatchesCurrentCell(row, col);
  {
    // Cleared however the control's drawing ends: a flag left set would make every control drawn outside
    // a block paint its own background.
    struct OwnBackground {
      BOOL& flag;
      ~OwnBackground() { flag = FALSE; }
    } own{m_bNeedsOwnBackground};
    m_bNeedsOwnBackground = (ctx.Flags(i, j) & GX_CF_OWNBACKGROUND) != 0;
    DrawCellControl(ctx.dc, row, col, rect, *style);
  }
  if (current && !ParamSettings().m_bCurrentCellFrame) {
    // Without the grid's own inverted frame, the current cell's control draws its frame once the row is
    // done, unless it is the active editor. Both together would invert the same pixels twice.
    CGXControl* control = ControlForId(style->IsIncluded(GX_IN_CONTROLID) ? style->GetControl() : 0);
    if (control && !control->GetEditingState()) {
      ctx.currentControl = control;
      SubtractBorders(&ctx.currentInner, rect, *style, TRUE);
    }
  }
}

void CGXGridCore::DrawCurrentCellFrameOnce(CGXGridDrawContext& ctx) {
  if (!ctx.currentControl || ctx.currentFramed || ctx.currentInner.IsRectEmpty()) return;
  ctx.currentFramed = TRUE;
  ctx.currentControl->DrawCurrentCellFrame(ctx.dc, ctx.currentInner);
}

void CGXGridCore::DrawCellControl(CDC* dc, ROWCOL row, ROWCOL col, const CRect& rect, const CGXStyle& style) {
  CGXControl* control = ControlForId(style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : 0);
  if (!control) {
    // No cell control serves the cell (none registered): its background is still the grid's to fill.
    if (m_bNeedsOwnBackground) {
      const CGXProperties* props = GetProperties();
      const BOOL blackAndWhite = props && props->PrintsBlackAndWhite(IsPrinting());
      FillWithInterior(dc, rect, blackAndWhite ? CGXInteriorBrush(RGB(255, 255, 255)) : style.GetInterior());
    }
    return;
  }
  if (row && col && MatchesCurrentCell(row, col) && !control->IsBoundToCell(row, col)) control->InitForCell(row, col);
  const size_t recorded = m_windowRects.size();
  control->DrawCell(dc, rect, row, col, style, m_pStyleStandard);
  // A control that placed its window over the cell: what the paint draws after it (lines, frames, the
  // selection) must not cover the window.
  for (size_t i = recorded; i < m_windowRects.size(); ++i) dc->ExcludeClipRect(&m_windowRects[i]);
}

void CGXGridCore::ExcludeWindowRects(CDC* dc) {
  for (const CRect& r : m_windowRects) dc->ExcludeClipRect(&r);
}

void CGXGridCore::FillRowInteriorRuns(CGXGridDrawContext& ctx, ROWCOL i) {
  if (ParamSettings().m_bOldDrawing) return;
  // 1. Every cell of the row is to be painted.
  for (ROWCOL j = 0; j < ctx.m; ++j) ctx.Flags(i, j) |= GX_CF_OWNBACKGROUND;
  // 2. Runs of neighbours with equal interiors (cells without a style join a run).
  ROWCOL j = 0;
  while (j < ctx.m) {
    const CGXStyle* first = ctx.StylePtr(i, j);
    if ((ctx.Flags(i, j) & GX_CF_SPANNED) || !first) {
      ++j;
      continue;
    }
    const CGXInteriorBrush& interior = first->GetInterior();
    ROWCOL k = j + 1;
    while (k < ctx.m && !(ctx.Flags(i, k) & GX_CF_SPANNED) &&
           (!ctx.StylePtr(i, k) || ctx.Style(i, k).GetInterior() == interior)) {
      ctx.Flags(i, k) &= static_cast<WORD>(~GX_CF_OWNBACKGROUND);
      ++k;
    }
    // 3. Two or more cells: one fill; a single cell keeps its flag and its control paints its background.
    if (k - j >= 2) {
      ctx.Flags(i, j) &= static_cast<WORD>(~GX_CF_OWNBACKGROUND);
      const CRect run(ctx.lefts[j], ctx.tops[i], ctx.lefts[k - 1] + ctx.widths[k - 1], ctx.tops[i] + ctx.heights[i]);
      FillWithInterior(ctx.dc, run, ctx.colorsAllowed ? interior : BlackAndWhiteInterior(interior));
    }
    j = k;
  }
}

void CGXGridCore::DrawBeyondGrid(CGXGridDrawContext& ctx) {
  CDC* dc = ctx.dc;
  const CRect area = GetGridRect();
  const COLORREF background = m_bPrinting ? RGB(255, 255, 255) : PropertyColor(4);
  const BOOL leftTop = GridLinesAtLeftTop();
  if (ctx.n == 0 && ctx.m == 0) {
    // Nothing of the grid in this block (an empty grid): the background only.
    CRect clip = ctx.clip;
    clip.IntersectRect(clip, area);
    if (!clip.IsRectEmpty()) dc->FillSolidRect(&clip, background);
    return;
  }
  // The block reaches the grid's last column (row) when no shown line follows its last one: the entry
  // after it is 0. That is so when its last entry is the grid's last line, and when only hidden lines, left
  // out of the block, come after it.
  if (ctx.m && ctx.cols[ctx.m] == 0) {
    CRect beyond(ctx.lefts[ctx.m - 1] + ctx.widths[ctx.m - 1], area.top, area.right, area.bottom + 5);
    if (!beyond.IsRectEmpty()) dc->FillSolidRect(&beyond, background);
    // The closing line after the last column (with lines at the right edges the last cell carries it).
    if (DrawsVertLines() && leftTop) DrawEdgeLine(dc, 1, static_cast<int>(ColToClientCol(GetColCount()) + 1), 0);
  }
  if (ctx.n && ctx.rows[ctx.n] == 0) {
    CRect below(area.left, ctx.tops[ctx.n - 1] + ctx.heights[ctx.n - 1], area.right, area.bottom);
    if (!below.IsRectEmpty()) dc->FillSolidRect(&below, background);
    if (DrawsHorzLines() && leftTop) DrawEdgeLine(dc, 2, static_cast<int>(RowToClientRow(GetRowCount()) + 1), 0);
  }
}
