// Grid drawing: the paint entry, direct and buffered drawing, the cell block with its interiors, cells,
// grid lines, borders and inversion, the redraw operations and the drawing caches.
//
// Paint cycle:
//   DrawGrid: lock/clip/printing checks -> RefreshScrollBars(only if counts changed); a changed scroll range
//     invalidates everything and ends the paint (the next paint draws with the new layout)
//   DrawGridDirect | DrawGridBuffered (memory bitmap of the clip box, painted completely, then copied)
//     -> PaintBlock: client cells under the clip box -> DrawCellBlock
//   DrawCellBlock: sizes and positions of the block's rows and columns; each cell's style composed once;
//     cell flags; interior runs; each cell through its control; grid lines and borders; the area beyond
//     the last row and column; selection inversion; the current cell's inverted frame.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDrawContext.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridOldDrawingImp.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/window/windowapi.h"

namespace {
constexpr WORD kBorderLeft = GX_CF_BORDER_LEFT, kBorderRight = GX_CF_BORDER_RIGHT, kBorderTop = GX_CF_BORDER_TOP,
               kBorderBottom = GX_CF_BORDER_BOTTOM;
// Sides in drawing order 0 left, 1 right, 2 top, 3 bottom; the style numbers its borders otherwise.
constexpr int kStyleIndex[4] = {GX_BORDER_LEFT, GX_BORDER_RIGHT, GX_BORDER_TOP, GX_BORDER_BOTTOM};
constexpr WORD kInvert = GX_CF_INVERT, kOwnBackground = GX_CF_OWNBACKGROUND, kVLine = GX_CF_VLINE, kHLine = GX_CF_HLINE;

COLORREF ResolvePropertyColor(COLORREF c) {
  BYTE kind = static_cast<BYTE>(c >> 24);
  if (kind >= 65 && kind <= 254) return GetSysColor(254 - kind);
  return c & 0x00FFFFFF;
}

template <typename T>
std::vector<BYTE> KeyOf(const T& value) {
  std::vector<BYTE> key(sizeof(T));
  std::memcpy(key.data(), &value, sizeof(T));
  return key;
}
}  // namespace

COLORREF CGXGridCore::PropertyColor(int index) const {
  static const COLORREF defaults[] = {RGB(192, 192, 192), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0),
                                      0xF9000000 /* the window colour */};
  const CGXProperties* p = GetProperties();
  COLORREF c = p && index < p->GetColorCount() ? p->GetColor(index) : defaults[std::clamp(index, 0, 4)];
  if (m_bPrinting && index == 4) return RGB(255, 255, 255);
  return ResolvePropertyColor(c);
}

BOOL CGXGridCore::GridLinesAtLeftTop() const { return TRUE; }

BOOL CGXGridCore::DrawsHorzLines() const {
  const CGXProperties* p = GetProperties();
  return p ? (m_bPrinting ? p->m_bPrintHorzLines : p->m_bHorzLines) : TRUE;
}

BOOL CGXGridCore::DrawsVertLines() const {
  const CGXProperties* p = GetProperties();
  return p ? (m_bPrinting ? p->m_bPrintVertLines : p->m_bVertLines) : TRUE;
}

// ---- Caches -------------------------------------------------------------------------------------------

void CGXGridCore::FreeDrawingCaches() {
  if (m_bPrinting) return;
  m_fontCache.clear();
  m_brushCache.clear();
  m_penCache.clear();
  for (auto& [key, style] : m_styleCache) ReleaseWorkStyle(style.release());
  m_styleCache.clear();
  m_deleteLater.clear();
}

CGXStyle* CGXGridCore::NewWorkStyle() {
  if (m_stylePool.empty()) return new CGXStyle;
  CGXStyle* s = m_stylePool.back().release();
  m_stylePool.pop_back();
  return s;
}

void CGXGridCore::ReleaseWorkStyle(CGXStyle* style) {
  if (!style) return;
  if (m_stylePool.size() >= kMaxPooledStyles) {
    delete style;
    return;
  }
  style->Free();
  m_stylePool.emplace_back(style);
}

const CGXStyle* CGXGridCore::GetCachedCellStyle(ROWCOL row, ROWCOL col) {
  const std::uint64_t key = (static_cast<std::uint64_t>(row) << 32) | col;
  const BOOL current = MatchesCurrentCell(row, col);
  if (!current) {
    auto it = m_styleCache.find(key);
    if (it != m_styleCache.end()) return it->second.get();
  }
  CGXStyle* style = NewWorkStyle();
  ComposeCellStyle(row, col, *style, TRUE);
  // The current cell's style is not cached: its control may change it while it edits.
  if (current)
    m_deleteLater.emplace_back(style);
  else
    m_styleCache[key].reset(style);
  return style;
}

CPen* CGXGridCore::LookupPen(const CGXBorderPen& pen) {
  LOGPEN lp = pen.GetLogPen();
  auto key = KeyOf(lp);
  auto it = m_penCache.find(key);
  if (it != m_penCache.end()) return it->second.get();
  auto p = std::make_unique<CPen>();
  if (!p->CreatePenIndirect(&lp)) return nullptr;
  return (m_penCache[key] = std::move(p)).get();
}

CFont* CGXGridCore::CreateZoomedFont(CDC* dc, const CGXFont& font) {
  CGXFont zoomed(font);
  if (zoomed.GetIncludeSize()) {
    const double points = zoomed.GetSize() * GetZoom() * 0.01;
    zoomed.SetPointSize(points);  // kept in quarter points, at most 1023
  }
  LOGFONT lf;
  zoomed.GetLogFontZoomed(lf, 100);
  auto key = KeyOf(lf);
  CFont* f = nullptr;
  auto it = m_fontCache.find(key);
  if (it != m_fontCache.end()) {
    f = it->second.get();
  } else {
    auto made = std::make_unique<CFont>();
    if (!made->CreateFontIndirect(&lf)) return nullptr;
    f = (m_fontCache[key] = std::move(made)).get();
  }
  return dc->SelectObject(f);
}

CFont* CGXGridCore::LookupFont(const CGXFont& font) {
  LOGFONT lf;
  font.GetLogFontZoomed(lf, GetZoom());
  auto key = KeyOf(lf);
  auto it = m_fontCache.find(key);
  if (it != m_fontCache.end()) return it->second.get();
  auto f = std::make_unique<CFont>();
  if (!f->CreateFontIndirect(&lf)) return nullptr;
  return (m_fontCache[key] = std::move(f)).get();
}

CFont* CGXGridCore::LookupFont(const CGXStyle& style) { return LookupFont(style.GetFont()); }

CBrush* CGXGridCore::LookupBrush(const CGXInteriorBrush& interior) {
  LOGBRUSH lb = interior.GetLogBrush();
  auto key = KeyOf(lb);
  auto it = m_brushCache.find(key);
  if (it != m_brushCache.end()) return it->second.get();
  auto b = std::make_unique<CBrush>();
  if (!b->CreateBrushIndirect(&lb)) return nullptr;
  return (m_brushCache[key] = std::move(b)).get();
}

CFont* CGXGridCore::SelectStyleFont(CDC* dc, const CGXStyle& style, const CGXStyle* previous) {
  if (previous) {
    const CGXFont* mine = style.GetFontPtr();
    const CGXFont* theirs = previous->GetFontPtr();
    if (!mine || (theirs && *mine == *theirs)) return nullptr;
  }
  return CreateZoomedFont(dc, style.GetFont());
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
  if (hint) Hint(gxHintRedrawRange, top, left, bottom, right, flags);
  HWND h = GridHwnd();
  if (!flags || !h || !::IsWindowVisible(h) || IsLockUpdate()) return;
  CRect r = CalcRangeRect(top, left, bottom, right);
  if (r.IsRectEmpty()) return;
  InvalidateRect(&r, TRUE);
  if (flags & GX_UPDATENOW) UpdateWindow();
}

void CGXGridCore::RedrawCell(ROWCOL row, ROWCOL col, UINT flags, BOOL hint) {
  RedrawRange(row, col, row, col, flags, hint);
}

void CGXGridCore::RedrawAll(UINT flags, BOOL hint) {
  if (hint) Hint(gxHintRedrawAll, 0, 0, 0, 0, flags);
  InvalidateShownCaches();
  if (!flags || IsLockUpdate()) return;
  if (GetRowCount() < m_nTopRow) m_nTopRow = std::max(GetRowCount(), GetFrozenRows() + 1);
  if (GetColCount() < m_nLeftCol) m_nLeftCol = std::max(GetColCount(), GetFrozenCols() + 1);
  // Never into the frozen rows (the top row is the first scrolled row), not even for an empty grid.
  m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
  m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
  FreeDrawingCaches();
  CRect area = GetGridRect();
  InvalidateRect(&area, TRUE);
  RefreshScrollBars(FALSE, FALSE);
  if (flags & GX_UPDATENOW) UpdateWindow();
}

BOOL CGXGridCore::RedrawChangedCells(BOOL recalc, void* hint, BOOL notify) {
  (void)hint;
  if (GetRowCount() == 0 || GetColCount() == 0) return FALSE;
  if (recalc) DataObjectRecalc();
  BOOL oldMode = m_bChangedCellsMode, oldScroll = m_bScrolling;
  m_bChangedCellsMode = TRUE;
  m_bScrolling = TRUE;
  UpdateWindow();
  RedrawAll(GX_UPDATENOW, FALSE);
  m_bChangedCellsMode = oldMode;
  m_bScrolling = oldScroll;
  if (notify) Hint(gxHintChangedCells, 0, 0, 0, 0, 0);
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
  if (GetCoveredCellsRowCol(row, col, covered)) {
    row = covered.top;
    col = covered.left;
  }
  return data->IsCellChanged(row, col);
}

void CGXGridCore::NotifyDataCellDrawn(ROWCOL row, ROWCOL col, BOOL) {
  if (CGXData* data = GetData()) data->SetCellChanged(row, col, FALSE);
}

void CGXGridCore::DataObjectRecalc() {
  if (CGXData* data = GetData()) data->Recalc(FALSE);
}

BOOL CGXGridCore::DataObjectErrorText(CString& out) {
  CGXData* data = GetData();
  return data && data->GetMessage(out);
}

// Changed-cells mode: a row without a changed cell is not drawn, nor are the cells of a row before its
// first changed cell. Their rectangles are queued and excluded from the device's clip region, so nothing
// of the block (interiors, cells, lines, inversion) reaches them; the paint's end frees the queue.
void CGXGridCore::QueueUnchangedCells(CGXGridDrawContext& ctx) {
  for (ROWCOL i = 0; i < ctx.n; ++i) {
    ROWCOL first = 0;
    while (first < ctx.m && !IsDataCellChanged(ctx.rows[i], ctx.cols[first])) ++first;
    if (first == 0) continue;
    CRect r(ctx.lefts[0], ctx.tops[i], ctx.lefts[first - 1] + ctx.widths[first - 1], ctx.tops[i] + ctx.heights[i]);
    if (r.IsRectEmpty()) continue;
    ctx.dc->ExcludeClipRect(&r);
    m_queuedRects.push_back(r);
  }
}

BOOL CGXGridCore::IsCellQueued(const CRect& cell) const {
  for (const CRect& q : m_queuedRects) {
    CRect both;
    if (both.IntersectRect(q, cell) && both == cell) return TRUE;
  }
  return FALSE;
}

// ---- Paint entry ----------------------------------------------------------------------------------------

void CGXGridCore::DrawGrid(CDC* dc) {
  GXForwardArgs notice;  // (0, 0, TRUE, 0) for the plug-point feature, before anything is decided
  notice.v[2] = TRUE;
  ExtraFeatureBForward9(notice);
  if (IsLockUpdate()) return;
  CRect clip;
  if (dc->GetClipBox(&clip) == NULLREGION || clip.IsRectEmpty()) return;
  if (m_bPrinting) return;
  const int dh = std::max(1, GetDefaultRowHeight()), dw = std::max(1, GetDefaultColWidth());
  BeforeDraw(CalcBottomRow(clip) + static_cast<ROWCOL>(clip.Height() / dh),
             CalcRightmostCol(clip) + static_cast<ROWCOL>(clip.Width() / dw));
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

void CGXGridCore::DrawGridDirect(CDC* dc) {
  LookupBaseStyles();
  FreeDrawingCaches();
  CRect clip;
  CRect area = GetGridRect();
  if (dc->GetClipBox(&clip) == ERROR) clip = area;
  clip.IntersectRect(clip, area);
  if (clip.IsRectEmpty()) return;
  if (m_bDrawOuterFrame) {
    dc->FillSolidRect(area.left - 1, area.top - 1, area.Width() + 2, 1, RGB(0, 0, 0));
    dc->FillSolidRect(area.left - 1, area.top - 1, 1, area.Height() + 2, RGB(0, 0, 0));
    dc->FillSolidRect(area.right, area.top - 1, 1, area.Height() + 2, RGB(0, 0, 0));
    dc->FillSolidRect(area.left - 1, area.bottom, area.Width() + 2, 1, RGB(0, 0, 0));
  }
  PaintBlockWithFrame(dc, clip);
  m_queuedRects.clear();
}

void CGXGridCore::DrawGridBuffered(CDC* dc) {
  LookupBaseStyles();
  FreeDrawingCaches();
  CRect clip;
  CRect area = GetGridRect();
  if (dc->GetClipBox(&clip) == ERROR) clip = area;
  clip.IntersectRect(clip, area);
  if (clip.Width() <= 0 || clip.Height() <= 0) return;
  CDC mem;
  if (!mem.CreateCompatibleDC(dc)) return DrawGridDirect(dc);
  CBitmap bmp;
  if (!bmp.CreateCompatibleBitmap(dc, clip.Width(), clip.Height())) return DrawGridDirect(dc);
  CBitmap* oldBmp = mem.SelectObject(&bmp);
  PrepareDC(&mem);
  mem.SetViewportOrg(-clip.left, -clip.top);
  mem.SetBrushOrg(clip.left % 8, clip.top % 8);
  // The memory bitmap is painted completely before anything is copied, so the screen never receives the
  // bitmap's uninitialised pixels; in changed-cells mode the undrawn (queued) parts are not copied at all.
  mem.FillSolidRect(&clip, PropertyColor(4));
  PaintBlockWithFrame(&mem, clip);
  if (m_bDrawOuterFrame) {
    mem.FillSolidRect(area.left, area.top, area.Width(), 1, RGB(0, 0, 0));
    mem.FillSolidRect(area.left, area.top, 1, area.Height(), RGB(0, 0, 0));
    mem.FillSolidRect(area.right - 1, area.top, 1, area.Height(), RGB(0, 0, 0));
    mem.FillSolidRect(area.left, area.bottom - 1, area.Width(), 1, RGB(0, 0, 0));
  }
  mem.SetViewportOrg(0, 0);
  // In changed-cells mode the memory bitmap holds only the background where cells were queued (not drawn):
  // those rectangles keep what the screen shows, so they are left out of the copy.
  int saved = dc->SaveDC();
  for (const CRect& q : m_queuedRects) dc->ExcludeClipRect(&q);
  m_queuedRects.clear();
  dc->BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &mem, 0, 0, SRCCOPY);
  dc->RestoreDC(saved);
  mem.SelectObject(oldBmp);
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

// The selection frame is drawn after every block; in changed-cells mode it is also erased before.
void CGXGridCore::PaintBlockWithFrame(CDC* dc, const CRect& clip) {
  if (m_bChangedCellsMode) DrawExcelLikeFrame(dc, TRUE, nullptr);
  PaintBlock(dc, clip);
  DrawExcelLikeFrame(dc, TRUE, nullptr);
}

void CGXGridCore::PaintBlock(CDC* dc, const CRect& clip) {
  int saved = dc->SaveDC();
  CRect area = GetGridRect();
  dc->IntersectClipRect(&area);
  // The client cells under the clip box's corners; a corner past the grid's end takes the last cell.
  auto lastClient = [&](BOOL rows) {
    ROWCOL count = rows ? GetRowCount() : GetColCount();
    return rows ? RowToClientRow(std::max(count, GetFrozenRows())) : ColToClientCol(std::max(count, GetFrozenCols()));
  };
  ROWCOL t = HitTestClientRow(clip.TopLeft()), l = HitTestClientCol(clip.TopLeft());
  CPoint br(clip.right - 1, clip.bottom - 1);
  ROWCOL b = HitTestClientRow(br), r = HitTestClientCol(br);
  if (t == GX_INVALID) t = lastClient(TRUE);
  if (l == GX_INVALID) l = lastClient(FALSE);
  if (b == GX_INVALID) b = lastClient(TRUE);
  if (r == GX_INVALID) r = lastClient(FALSE);
  DrawCellBlock(t, l, b, r, dc);
  dc->RestoreDC(saved);
}

// ---- Cell block -----------------------------------------------------------------------------------------

void CGXGridCore::DrawCellBlock(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, CDC* dc) {
  ++m_nDrawNesting;
  CGXGridDrawContext ctx;
  ctx.dc = dc;
  dc->GetClipBox(&ctx.clip);
  const ROWCOL rowCount = GetRowCount(), colCount = GetColCount();
  const CRect area = GetGridRect();
  // Rows and columns of the block, stopping at the grid's end.
  int y = ClientRowTop(top);
  for (ROWCOL i = top; i <= bottom; ++i) {
    ROWCOL row = ClientRowToRow(i);
    if (row > rowCount) break;
    ctx.rows.push_back(row);
    ctx.tops.push_back(y);
    ctx.heights.push_back(GetRowHeight(row));
    y += ctx.heights.back();
    if (y > area.bottom) break;
  }
  int x = ClientColLeft(left);
  for (ROWCOL j = left; j <= right; ++j) {
    ROWCOL col = ClientColToCol(j);
    if (col > colCount) break;
    ctx.cols.push_back(col);
    ctx.lefts.push_back(x);
    ctx.widths.push_back(GetColWidth(col));
    x += ctx.widths.back();
    if (x > area.right) break;
  }
  ctx.n = static_cast<ROWCOL>(ctx.rows.size());
  ctx.m = static_cast<ROWCOL>(ctx.cols.size());
  ctx.styles.resize(static_cast<size_t>(ctx.n) * ctx.m);
  ctx.flags.assign(static_cast<size_t>(ctx.n) * ctx.m, 0);
  // A changed cell may float differently now: its floating cells are computed again before it draws.
  if (m_pFloatCellsImp)
    for (ROWCOL i = 0; i < ctx.n; ++i)
      for (ROWCOL j = 0; j < ctx.m; ++j)
        if (ctx.rows[i] && ctx.cols[j] && IsDataCellChanged(ctx.rows[i], ctx.cols[j]))
          RecalcFloatCells(CGXRange(ctx.rows[i], ctx.cols[j]), -1);
  for (ROWCOL i = 0; i < ctx.n; ++i)
    for (ROWCOL j = 0; j < ctx.m; ++j) PrepareCellFlags(ctx, i, j);
  // Every cell is prepared (the line and inversion passes read all styles); in changed-cells mode the
  // unchanged ones are then clipped away.
  if (m_bChangedCellsMode) QueueUnchangedCells(ctx);
  // The cell-by-cell drawing, when installed and switched on, draws the block itself.
  if (!(m_pOldDrawingImp && m_pOldDrawingImp->DrawCells(this, dc, ctx))) {
    // Cells with the standard interior are painted with the block in one fill; the others in runs.
    if (ctx.n && ctx.m) {
      CRect block(ctx.lefts.front(), ctx.tops.front(), ctx.lefts.back() + ctx.widths.back(),
                  ctx.tops.back() + ctx.heights.back());
      FillWithInterior(dc, block, StandardInterior());
    }
    for (ROWCOL i = 0; i < ctx.n; ++i) FillRowInteriorRuns(ctx, i);
    for (ROWCOL i = 0; i < ctx.n; ++i)
      for (ROWCOL j = 0; j < ctx.m; ++j) DrawBlockCell(ctx, i, j);
    DrawBlockLines(ctx);
    InvertMarkedCells(ctx);
  }
  DrawBeyondGrid(ctx);
  // The data object learns which cells were drawn (their changed marks are cleared).
  for (ROWCOL i = 0; i < ctx.n; ++i)
    for (ROWCOL j = 0; j < ctx.m; ++j)
      if (ctx.rows[i] && ctx.cols[j] && !(m_bChangedCellsMode && IsCellQueued(ctx.CellRect(i, j))))
        NotifyDataCellDrawn(ctx.rows[i], ctx.cols[j], FALSE);
  --m_nDrawNesting;
}

CGXInteriorBrush CGXGridCore::StandardInterior() const {
  return m_pStyleStandard ? m_pStyleStandard->GetInterior() : CGXInteriorBrush(RGB(255, 255, 255));
}

void CGXGridCore::PrepareCellFlags(CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) {
  const ROWCOL hr = GetHeaderRows(), hc = GetHeaderCols();
  ctx.styles[static_cast<size_t>(i) * ctx.m + j] = GetCachedCellStyle(ctx.rows[i], ctx.cols[j]);
  const CGXStyle& s = ctx.Style(i, j);
  WORD& f = ctx.Flags(i, j);
  if (ctx.heights[i] > 0 && ctx.widths[j] > 0) {
    if (!(s.GetInterior() == StandardInterior())) f |= kOwnBackground;
    for (int side = 0; side < 4; ++side)
      if (s.HasBorder(kStyleIndex[side])) f |= static_cast<WORD>(1 << side);
    if (!(f & kBorderLeft) && DrawsVertLines()) f |= kVLine;
    if (!(f & kBorderTop) && DrawsHorzLines()) f |= kHLine;
  }
  // Decision: header cells (row 0, column 0 and the header rows and columns) are never inverted; a
  // selected whole column or row shows inverted in its body cells only.
  const BOOL header = ctx.rows[i] == 0 || ctx.cols[j] == 0 || ctx.rows[i] <= hr || ctx.cols[j] <= hc;
  if (!m_bPrinting && !header && IsCellSelected(ctx.rows[i], ctx.cols[j])) f |= kInvert;
}

void CGXGridCore::FillRowInteriorRuns(CGXGridDrawContext& ctx, ROWCOL i) {
  // Neighbours with equal non-standard interiors are filled in one step; a single cell keeps its flag and
  // its control paints its own background.
  ROWCOL j = 0;
  while (j < ctx.m) {
    if (!(ctx.Flags(i, j) & kOwnBackground)) {
      ++j;
      continue;
    }
    ROWCOL k = j + 1;
    while (k < ctx.m && (ctx.Flags(i, k) & kOwnBackground) &&
           ctx.Style(i, k).GetInterior() == ctx.Style(i, j).GetInterior())
      ++k;
    if (k - j >= 2) {
      CRect run(ctx.lefts[j], ctx.tops[i], ctx.lefts[k - 1] + ctx.widths[k - 1], ctx.tops[i] + ctx.heights[i]);
      FillWithInterior(ctx.dc, run, ctx.Style(i, j).GetInterior());
      for (ROWCOL c = j; c < k; ++c) ctx.Flags(i, c) &= static_cast<WORD>(~kOwnBackground);
    }
    j = k;
  }
}

void CGXGridCore::DrawBlockCell(CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) {
  CRect rect = ctx.CellRect(i, j);
  if (rect.IsRectEmpty() || (ctx.Flags(i, j) & GX_CF_SPANNED)) return;
  m_bNeedsOwnBackground = (ctx.Flags(i, j) & kOwnBackground) != 0;
  DrawCellControl(ctx.dc, ctx.rows[i], ctx.cols[j], rect, ctx.Style(i, j));
  m_bNeedsOwnBackground = FALSE;
}

void CGXGridCore::DrawBlockLines(CGXGridDrawContext& ctx) {
  // Grid lines on the left and top edges of each cell, in the "Grid Lines" colour; the line after the
  // last frozen column and row in the "Fixed Lines" colour; borders over them.
  CDC* dc = ctx.dc;
  const COLORREF lineColor = PropertyColor(0), fixedColor = PropertyColor(1);
  const ROWCOL fr = GetFrozenRows(), fc = GetFrozenCols(), hr = GetHeaderRows(), hc = GetHeaderCols();
  for (ROWCOL i = 0; i < ctx.n; ++i)
    for (ROWCOL j = 0; j < ctx.m; ++j) {
      CRect rect = ctx.CellRect(i, j);
      if (rect.IsRectEmpty()) continue;
      WORD f = ctx.Flags(i, j);
      if (f & kVLine) {
        BOOL fixed = fc > hc && ctx.cols[j] == fc + 1 && ctx.cols[j] > 1;
        dc->FillSolidRect(rect.left, rect.top, 1, rect.Height(), fixed ? fixedColor : lineColor);
      }
      if (f & kHLine) {
        BOOL fixed = fr > hr && ctx.rows[i] == fr + 1 && ctx.rows[i] > 1;
        dc->FillSolidRect(rect.left, rect.top, rect.Width(), 1, fixed ? fixedColor : lineColor);
      }
      if (f & (kBorderLeft | kBorderRight | kBorderTop | kBorderBottom)) DrawStyleBorders(dc, rect, ctx.Style(i, j));
    }
}

void CGXGridCore::DrawBeyondGrid(CGXGridDrawContext& ctx) {
  CDC* dc = ctx.dc;
  const CRect area = GetGridRect();
  const ROWCOL rowCount = GetRowCount(), colCount = GetColCount();
  const COLORREF lineColor = PropertyColor(0);
  const BOOL hLines = DrawsHorzLines(), vLines = DrawsVertLines();
  if (ctx.m && ctx.cols.back() == colCount) {
    CRect beyond(ctx.lefts.back() + ctx.widths.back(), area.top, area.right, area.bottom + 5);
    if (!beyond.IsRectEmpty()) dc->FillSolidRect(&beyond, PropertyColor(4));
    if (vLines && ctx.n) {
      int h = ctx.tops.back() + ctx.heights.back() - area.top;
      dc->FillSolidRect(beyond.left, area.top, 1, std::min<int>(h + 1, area.Height()), lineColor);
    }
  }
  if (ctx.n && ctx.rows.back() == rowCount) {
    const int top = ctx.tops.back() + ctx.heights.back();
    const int endX = ctx.m ? ctx.lefts.back() + ctx.widths.back() : area.left;
    CRect fill(area.left, top, (ctx.m && ctx.cols.back() == colCount) ? endX : area.right, area.bottom);
    if (!fill.IsRectEmpty()) dc->FillSolidRect(&fill, PropertyColor(4));
    if (hLines && ctx.m) dc->FillSolidRect(area.left, top, std::min<int>(endX - area.left + 1, area.Width()), 1, lineColor);
  }
  if (ctx.n == 0 && ctx.m == 0) {
    // Nothing of the grid in this block (an empty grid): the background only.
    CRect clip = ctx.clip;
    clip.IntersectRect(clip, area);
    if (!clip.IsRectEmpty()) dc->FillSolidRect(&clip, PropertyColor(4));
  }
}

void CGXGridCore::InvertMarkedCells(CGXGridDrawContext& ctx) {
  // Selection inversion, then the current cell's frame (drawn even when the cell is not selected).
  for (ROWCOL i = 0; i < ctx.n; ++i)
    for (ROWCOL j = 0; j < ctx.m; ++j)
      if (ctx.Flags(i, j) & kInvert) InvertCell(ctx.dc, ctx.rows[i], ctx.cols[j], ctx.CellRect(i, j));
  ROWCOL curRow = 0, curCol = 0;
  if (m_bPrinting || !QueryCurrentCell(&curRow, &curCol)) return;
  for (ROWCOL i = 0; i < ctx.n; ++i) {
    if (ctx.rows[i] != curRow) continue;
    for (ROWCOL j = 0; j < ctx.m; ++j)
      if (ctx.cols[j] == curCol && !(ctx.Flags(i, j) & kInvert)) InvertCell(ctx.dc, curRow, curCol, ctx.CellRect(i, j));
  }
}

void CGXGridCore::DrawCellControl(CDC* dc, ROWCOL row, ROWCOL col, const CRect& rect, const CGXStyle& style) {
  CGXControl* control = ControlForId(style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : 0);
  if (!control) return;
  if (row && col && MatchesCurrentCell(row, col) && !control->IsBoundToCell(row, col)) control->InitForCell(row, col);
  control->DrawCell(dc, rect, row, col, style, m_pStyleStandard);
}

// ---- Lines, borders and inversion ---------------------------------------------------------------------

void CGXGridCore::InvertCell(CDC* dc, ROWCOL row, ROWCOL col, const CRect& r) {
  // Decision: the current cell is framed (not filled) when the frame switch is on, also when it lies in
  // the selection, unless the one-shot flag or the invert-current-cell-too switch asks for the whole cell.
  const BOOL current = MatchesCurrentCell(row, col);
  if (!current || m_bInvertCurrentCellOnce || m_bInvertCurrentCellToo) {
    dc->InvertRect(&r);
  } else if (m_bCurrentCellFrame) {
    // Grid lines at the left and top edges: 3 pixels at the top and left, 2 at the bottom and right.
    CRect band(r.left, r.top, r.right - 2, r.top + 3);
    dc->InvertRect(&band);
    band.SetRect(r.left, r.top + 3, r.left + 3, r.bottom - 2);
    dc->InvertRect(&band);
    band.SetRect(r.left, r.bottom - 2, r.right - 2, r.bottom);
    dc->InvertRect(&band);
    band.SetRect(r.right - 2, r.top, r.right, r.bottom);
    dc->InvertRect(&band);
  }
  m_bInvertCurrentCellOnce = FALSE;
}

void CGXGridCore::FillLineRect(CDC* dc, int x, int y, int cx, int cy, int kind, int, UINT flags) {
  CRect r(x, y, x + cx, y + cy);
  if (flags & 0x08) {
    dc->InvertRect(&r);
  } else if (flags & 0x02) {
    dc->FillSolidRect(&r, PropertyColor(0));
    CPen pen(PS_DOT, 1, PropertyColor(3));
    CPen* old = dc->SelectObject(&pen);
    int oldMode = dc->SetBkMode(OPAQUE);
    dc->MoveTo(x, y);
    if (kind == 1)
      dc->LineTo(x, y + cy);
    else
      dc->LineTo(x + cx, y);
    dc->SetBkMode(oldMode);
    dc->SelectObject(old);
  } else if (flags & 0x01) {
    dc->FillSolidRect(&r, PropertyColor(2));
  } else if (flags & 0x04) {
    dc->InvertRect(&r);
  } else {
    dc->FillSolidRect(&r, PropertyColor(0));
  }
}

void CGXGridCore::CalcTrackingLineRect(CRect* out, int kind, int index) const {
  CRect area = GetGridRect();
  if (kind == 2) {
    int top = area.top + (index > 0 ? SumClientRowHeights(0, static_cast<ROWCOL>(index - 1)) : 0);
    int width = std::min<int>(SumClientColWidths(0, ColToClientCol(GetColCount())) + 1, area.Width());
    out->SetRect(area.left, top, area.left + width, top + 1);
  } else {
    int left = area.left + (index > 0 ? SumClientColWidths(0, static_cast<ROWCOL>(index - 1)) : 0);
    int height = std::min<int>(SumClientRowHeights(0, RowToClientRow(GetRowCount())) + 1, area.Height());
    out->SetRect(left, area.top, left + 1, area.top + height);
  }
}

void CGXGridCore::DrawEdgeLine(CDC* dc, int kind, int index, UINT flags) {
  CRect r;
  CalcTrackingLineRect(&r, kind, index);
  FillLineRect(dc, r.left, r.top, r.Width(), r.Height(), kind, index, flags);
}

void CGXGridCore::FillWithInterior(CDC* dc, const CRect& rect, const CGXInteriorBrush& interior) {
  if (interior.GetStyle() == CGXInteriorBrush::solid) {
    dc->FillSolidRect(&rect, interior.GetColor());
    return;
  }
  if (interior.GetStyle() == CGXInteriorBrush::null) return;
  CBrush* brush = LookupBrush(interior);
  if (!brush) return;
  COLORREF oldText = dc->SetTextColor(interior.GetColor());
  COLORREF oldBk = dc->SetBkColor(interior.GetBkColor());
  int oldMode = dc->SetBkMode(OPAQUE);
  dc->FillRect(&rect, brush);
  dc->SetBkMode(oldMode);
  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
}

void CGXGridCore::DrawBorderLine(const CGXBorderPen& pen, const CRect& rect, int side, CDC* dc) {
  if (pen.GetStyle() == PS_NULL) return;
  const int w = std::max<int>(1, static_cast<int>(pen.GetWidth()));
  CRect band = rect;
  switch (side) {
    case 0: band.right = band.left + w; break;
    case 1: band.left = band.right - w; break;
    case 2: band.bottom = band.top + w; break;
    default: band.top = band.bottom - w; break;
  }
  if (w != 1 || pen.GetStyle() == PS_SOLID) {
    dc->FillSolidRect(&band, pen.GetColor());
    return;
  }
  // A dashed or dotted one-pixel line: every other pixel of the band.
  const int step = pen.GetStyle() == PS_DOT ? 2 : 4;
  if (side < 2) {
    for (int yy = band.top; yy < band.bottom; yy += step) dc->FillSolidRect(band.left, yy, 1, step / 2, pen.GetColor());
  } else {
    for (int xx = band.left; xx < band.right; xx += step) dc->FillSolidRect(xx, band.top, step / 2, 1, pen.GetColor());
  }
}

void CGXGridCore::DrawStyleBorders(CDC* dc, const CRect& rect, const CGXStyle& style) {
  static const int order[] = {2, 3, 0, 1};  // top, bottom, left, right
  for (int side : order)
    if (style.HasBorder(kStyleIndex[side])) DrawBorderLine(style.GetBorder(kStyleIndex[side]), rect, side, dc);
}

void CGXGridCore::SubtractBorders(CRect* out, const CRect& cell, const CGXStyle& style, BOOL inner) {
  *out = cell;
  if (inner && style.IsIncluded(GX_IN_DRAW3DFRAME) && style.GetDraw3dFrame()) out->DeflateRect(1, 1);
  const BOOL lines[4] = {DrawsVertLines(), DrawsVertLines(), DrawsHorzLines(), DrawsHorzLines()};
  // Grid lines sit on the left and top edges.
  const BOOL lineSide[4] = {TRUE, FALSE, TRUE, FALSE};
  int d[4] = {0, 0, 0, 0};
  for (int side = 0; side < 4; ++side) {
    if (style.HasBorder(kStyleIndex[side])) {
      CGXBorderPen pen = style.GetBorder(kStyleIndex[side]);
      d[side] = pen.GetStyle() == PS_NULL ? 0 : std::max<int>(1, static_cast<int>(pen.GetWidth()));
    } else if (inner && lines[side] && lineSide[side]) {
      d[side] = 1;
    }
  }
  out->left += d[0];
  out->right -= d[1];
  out->top += d[2];
  out->bottom -= d[3];
}

void CGXGridCore::AddBorders(CSize* out, int cx, int cy, const CGXStyle& style) {
  out->cx = cx;
  out->cy = cy;
  if (style.IsIncluded(GX_IN_DRAW3DFRAME) && style.GetDraw3dFrame()) {
    out->cx += 2;
    out->cy += 2;
  }
  const BOOL lines[4] = {DrawsVertLines(), DrawsVertLines(), DrawsHorzLines(), DrawsHorzLines()};
  const BOOL lineSide[4] = {TRUE, FALSE, TRUE, FALSE};
  for (int side = 0; side < 4; ++side) {
    int add = 0;
    if (style.HasBorder(kStyleIndex[side]) && style.GetBorder(kStyleIndex[side]).GetStyle() != PS_NULL)
      add = std::max<int>(1, static_cast<int>(style.GetBorder(kStyleIndex[side]).GetWidth()));
    else if (lines[side] && lineSide[side])
      add = 1;
    if (side < 2)
      out->cx += add;
    else
      out->cy += add;
  }
}
