// Visible area and hit-testing: client indices, rectangles of cells and ranges, what a point hits and the
// cursor it gets. Pure arithmetic over the row and column sizes; no device context.
//
// Client indices number the shown rows: row 0 and the frozen rows 1..F keep their numbers, the scrolled
// rows follow from the top row on. Every walk here is bounded by the drawing area, never by the row count,
// so the cost does not grow with the size of the grid.
#include <algorithm>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"

ROWCOL CGXGridCore::RowToClientRow(ROWCOL row) const {
  if (row == GX_INVALID) return row;
  ROWCOL f = GetFrozenRows(), top = GetFirstScrolledRow();
  if (row <= f || top < f + 2) return row;
  if (row < top) return 0;  // scrolled out
  return row - (top - f - 1);
}

ROWCOL CGXGridCore::ClientRowToRow(ROWCOL clientRow) const {
  if (clientRow == GX_INVALID) return clientRow;
  ROWCOL f = GetFrozenRows(), top = GetFirstScrolledRow();
  if (clientRow <= f || top < f + 2) return clientRow;
  return clientRow + (top - f - 1);
}

ROWCOL CGXGridCore::ColToClientCol(ROWCOL col) const {
  if (col == GX_INVALID) return col;
  ROWCOL f = GetFrozenCols(), left = GetFirstScrolledCol();
  if (col <= f || left < f + 2) return col;
  if (col < left) return 0;
  return col - (left - f - 1);
}

ROWCOL CGXGridCore::ClientColToCol(ROWCOL clientCol) const {
  if (clientCol == GX_INVALID) return clientCol;
  ROWCOL f = GetFrozenCols(), left = GetFirstScrolledCol();
  if (clientCol <= f || left < f + 2) return clientCol;
  return clientCol + (left - f - 1);
}

namespace {
// The client index of the first line at or after client index i that the hide marks leave shown. A hidden
// run that ends the frozen lines goes on at the first scrolled line, the lines scrolled out between them
// having no client index.
template <typename ToLine, typename ToClient, typename Next>
ROWCOL NextShownClient(ROWCOL i, ROWCOL frozen, ROWCOL firstScrolled, ToLine toLine, ToClient toClient, Next next) {
  if (i == GX_INVALID) return i;
  const ROWCOL line = toLine(i), shown = next(line);
  if (shown == line || shown == GX_INVALID) return shown == line ? i : GX_INVALID;
  if (line <= frozen && shown > frozen && shown < firstScrolled) {
    const ROWCOL scrolled = next(firstScrolled);
    return scrolled == GX_INVALID ? GX_INVALID : toClient(scrolled);
  }
  return toClient(shown);
}
}  // namespace

ROWCOL CGXGridCore::NextShownClientRow(ROWCOL clientRow) const {
  return NextShownClient(
      clientRow, GetFrozenRows(), GetFirstScrolledRow(), [this](ROWCOL i) { return ClientRowToRow(i); },
      [this](ROWCOL r) { return RowToClientRow(r); }, [this](ROWCOL r) { return NextShownRow(r); });
}

ROWCOL CGXGridCore::NextShownClientCol(ROWCOL clientCol) const {
  return NextShownClient(
      clientCol, GetFrozenCols(), GetFirstScrolledCol(), [this](ROWCOL i) { return ClientColToCol(i); },
      [this](ROWCOL c) { return ColToClientCol(c); }, [this](ROWCOL c) { return NextShownCol(c); });
}

namespace {
// The frozen part of client indices from..to (the lines of those numbers), then the scrolled part (from the
// first scrolled line on, as ClientRowToRow maps them), no further than the line count; ends early once a
// part went past the limit.
template <typename Add>
int SumClientLines(ROWCOL from, ROWCOL to, ROWCOL frozen, ROWCOL firstScrolled, ROWCOL count, Add add) {
  int sum = 0;
  if (from > to) return sum;
  if (from <= frozen && add(from, std::min({to, frozen, count}), sum)) return sum;
  if (to > frozen) {
    const unsigned long long offset = firstScrolled < frozen + 2 ? 0 : firstScrolled - frozen - 1;
    const unsigned long long first = std::max(from, frozen + 1) + offset;
    const unsigned long long last = std::min<unsigned long long>(to + offset, count);
    if (first <= last) add(static_cast<ROWCOL>(first), static_cast<ROWCOL>(last), sum);
  }
  return sum;
}
}  // namespace

int CGXGridCore::SumClientRowHeights(ROWCOL from, ROWCOL to, int limit) const {
  return SumClientLines(from, to, GetFrozenRows(), GetFirstScrolledRow(), GetRowCount(),
                        [&](ROWCOL first, ROWCOL last, int& sum) { return AddLineSizes(TRUE, first, last, sum, limit); });
}

int CGXGridCore::SumClientColWidths(ROWCOL from, ROWCOL to, int limit) const {
  return SumClientLines(from, to, GetFrozenCols(), GetFirstScrolledCol(), GetColCount(),
                        [&](ROWCOL first, ROWCOL last, int& sum) { return AddLineSizes(FALSE, first, last, sum, limit); });
}

int CGXGridCore::ClientRowTop(ROWCOL clientRow) const {
  CRect area = GetGridRect();
  return area.top + (clientRow ? SumClientRowHeights(0, clientRow - 1, AreaSumLimit(area.bottom)) : 0);
}

int CGXGridCore::ClientColLeft(ROWCOL clientCol) const {
  CRect area = GetGridRect();
  return area.left + (clientCol ? SumClientColWidths(0, clientCol - 1, AreaSumLimit(area.right)) : 0);
}

ROWCOL CGXGridCore::HitTestClientRow(const POINT& pt, int* outTop) const {
  CRect area = GetGridRect();
  if (pt.y < area.top) {
    if (outTop) *outTop = area.top;
    return 0;
  }
  int y = area.top;
  ROWCOL count = GetRowCount();
  // Hidden rows take no room: a point never falls in one, so their runs are jumped.
  for (ROWCOL i = NextShownClientRow(0);; i = NextShownClientRow(i + 1)) {
    ROWCOL r = ClientRowToRow(i);
    if (i == GX_INVALID || r > count || y > area.bottom) return GX_INVALID;
    int h = GetRowHeight(r);
    if (pt.y < y + h) {
      if (outTop) *outTop = y;
      return i;
    }
    y += h;
  }
}

ROWCOL CGXGridCore::HitTestClientCol(const POINT& pt, int* outLeft) const {
  CRect area = GetGridRect();
  if (pt.x < area.left) {
    if (outLeft) *outLeft = area.left;
    return 0;
  }
  int x = area.left;
  ROWCOL count = GetColCount();
  for (ROWCOL i = NextShownClientCol(0);; i = NextShownClientCol(i + 1)) {
    ROWCOL c = ClientColToCol(i);
    if (i == GX_INVALID || c > count || x > area.right) return GX_INVALID;
    int w = GetColWidth(c);
    if (pt.x < x + w) {
      if (outLeft) *outLeft = x;
      return i;
    }
    x += w;
  }
}

ROWCOL CGXGridCore::CalcBottomRowEx(const CRect& rect, BOOL* endsBefore) const {
  CPoint pt(rect.left, std::max<LONG>(rect.top, rect.bottom - 1));
  ROWCOL i = HitTestClientRow(pt);
  if (endsBefore) *endsBefore = i == GX_INVALID;
  if (i == GX_INVALID) return GetRowCount();
  return ClientRowToRow(i);
}

ROWCOL CGXGridCore::CalcBottomRow(const CRect& rect) const { return CalcBottomRowEx(rect, nullptr); }

ROWCOL CGXGridCore::CalcRightmostColEx(const CRect& rect, BOOL* endsBefore) const {
  CPoint pt(std::max<LONG>(rect.left, rect.right - 1), rect.top);
  ROWCOL i = HitTestClientCol(pt);
  if (endsBefore) *endsBefore = i == GX_INVALID;
  if (i == GX_INVALID) return GetColCount();
  return ClientColToCol(i);
}

ROWCOL CGXGridCore::CalcRightmostCol(const CRect& rect) const { return CalcRightmostColEx(rect, nullptr); }

ROWCOL CGXGridCore::GetLastVisibleRow() const {
  if (m_nLastVisibleRow == GX_INVALID) m_nLastVisibleRow = CalcBottomRow(GetGridRect());
  return m_nLastVisibleRow;
}

ROWCOL CGXGridCore::GetLastVisibleCol() const {
  if (m_nLastVisibleCol == GX_INVALID) m_nLastVisibleCol = CalcRightmostCol(GetGridRect());
  return m_nLastVisibleCol;
}

CRect CGXGridCore::CalcRangeRect(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, BOOL noClip) const {
  if (top > bottom) std::swap(top, bottom);
  if (left > right) std::swap(left, right);
  CRect area = GetGridRect();
  const int limitX = AreaSumLimit(area.right), limitY = AreaSumLimit(area.bottom);
  ROWCOL fr = GetFrozenRows(), fc = GetFrozenCols();
  ROWCOL topRow = GetFirstScrolledRow(), leftCol = GetFirstScrolledCol();
  if ((left > fc && right < leftCol) || (top > fr && bottom < topRow)) return CRect(0, 0, 0, 0);
  if (!m_bPrinting && ((m_nLastVisibleRow != GX_INVALID && top > m_nLastVisibleRow) ||
                       (m_nLastVisibleCol != GX_INVALID && left > m_nLastVisibleCol)))
    return CRect(0, 0, 0, 0);
  // A start that is scrolled out becomes the first scrolled row; an end that is, the last frozen row.
  ROWCOL ct = top > fr && top < topRow ? RowToClientRow(topRow) : RowToClientRow(top);
  ROWCOL cl = left > fc && left < leftCol ? ColToClientCol(leftCol) : ColToClientCol(left);
  ROWCOL cb = bottom > fr && bottom < topRow ? fr : RowToClientRow(bottom);
  ROWCOL cr = right > fc && right < leftCol ? fc : ColToClientCol(right);
  CRect r;
  r.left = area.left + (cl ? SumClientColWidths(0, cl - 1, noClip ? 0 : limitX) : 0);
  r.right = r.left + SumClientColWidths(cl, cr, noClip ? 0 : limitX);
  r.top = area.top + (ct ? SumClientRowHeights(0, ct - 1, noClip ? 0 : limitY) : 0);
  r.bottom = r.top + SumClientRowHeights(ct, cb, noClip ? 0 : limitY);
  return r;
}

void CGXGridCore::CalcClientRowRect(const CRect& rect, ROWCOL* bottomRow, ROWCOL* rightCol) const {
  if (bottomRow) *bottomRow = CalcBottomRow(rect);
  if (rightCol) *rightCol = CalcRightmostCol(rect);
}

void CGXGridCore::CalcRangeRectCovered(CRect* out, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
  CGXRange range(top, left, bottom, right);
  WidenRangeByCoveredCells(range);
  *out = CalcRangeRect(range.top, range.left, range.bottom, range.right);
}

void CGXGridCore::CalcRangeRectWithSpans(CRect* out, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
  CGXRange range(top, left, bottom, right);
  WidenRangeByMergedCells(range);
  WidenRangeByFloatCells(range);
  CalcRangeRectCovered(out, range.top, range.left, range.bottom, range.right);
}

CRect CGXGridCore::CalcRectBelowRow(ROWCOL row) const {
  CRect area = GetGridRect();
  CRect r = CalcRangeRect(row, 0, row, 0);
  if (r.IsRectNull()) return area;
  area.top = std::min(area.bottom, r.bottom);
  return area;
}

CRect CGXGridCore::CalcRectRightOfCol(ROWCOL col) const {
  CRect area = GetGridRect();
  CRect r = CalcRangeRect(0, col, 0, col);
  if (r.IsRectNull()) return area;
  area.left = std::min(area.right, r.right);
  return area;
}

int CGXGridCore::HitTest(const POINT& given, ROWCOL* outRow, ROWCOL* outCol, CRect* cellRect) {
  // 1. Clamp to the positive quadrant; find the client row and column.
  CPoint pt(std::max<LONG>(0, given.x), std::max<LONG>(0, given.y));
  CRect area = GetGridRect();
  if (!area.PtInRect(pt) || !area.PtInRect(CPoint(given))) return GX_NOHIT;
  int top = 0, left = 0;
  ROWCOL ci = HitTestClientRow(pt, &top), cj = HitTestClientCol(pt, &left);
  ROWCOL row = ClientRowToRow(ci), col = ClientColToCol(cj);
  BOOL inCell = ci != GX_INVALID && cj != GX_INVALID;
  CRect rect;
  if (inCell) rect.SetRect(left, top, left + GetColWidth(col), top + GetRowHeight(row));
  const ROWCOL hr = GetHeaderRows(), hc = GetHeaderCols();
  const int h = m_nResizeTolerance / 2, q = m_nResizeTolerance / 4;
  int code = GX_NOHIT;
  BOOL stop = FALSE;
  BOOL colResize = m_pParam && m_pParam->IsColResizeAllowed(3) && (row <= hr || m_pParam->IsColResizeAllowed(4));
  BOOL rowResize = m_pParam && m_pParam->IsRowResizeAllowed(3) && (col <= hc || m_pParam->IsRowResizeAllowed(4));
  if (inCell && colResize) {
    BOOL flag8 = m_pParam->IsColResizeAllowed(8);
    if (pt.x >= rect.right - h) {
      if (col <= hc && flag8)
        stop = TRUE;
      else
        code = GX_VERTLINE;
    } else if (pt.x < rect.left + h && col != 0) {
      if (col > hc + 1 || !flag8) {
        // The column before is the one shown before this one: at the frozen seam that is the last frozen
        // column, not the scrolled-out column col - 1.
        ROWCOL pc = cj - 1;
        if (pt.x > rect.left + q && GetColWidth(ClientColToCol(pc)) == 0) {
          code = GX_VERTHIDDENLINE;
          col = ClientColToCol(pc);
        } else {
          while (pc > 0 && GetColWidth(ClientColToCol(pc)) == 0) --pc;
          col = ClientColToCol(pc);
          code = GX_VERTLINE;
        }
      } else {
        stop = TRUE;
      }
    }
  }
  if (inCell && code == GX_NOHIT && !stop && rowResize) {
    BOOL flag8 = m_pParam->IsRowResizeAllowed(8);
    if (pt.y >= rect.bottom - h) {
      if (!(row <= hr && flag8)) code = GX_HORZLINE;
    } else if (pt.y < rect.top + h && row != 0) {
      if (row > hr + 1 || !flag8) {
        ROWCOL pr = ci - 1;
        if (pt.y > rect.top + q && GetRowHeight(ClientRowToRow(pr)) == 0) {
          code = GX_HORZHIDDENLINE;
          row = ClientRowToRow(pr);
        } else {
          while (pr > 0 && GetRowHeight(ClientRowToRow(pr)) == 0) --pr;
          row = ClientRowToRow(pr);
          code = GX_HORZLINE;
        }
      }
    }
  }
  if (inCell && code == GX_NOHIT) {
    code = HitTestSelectionEdge(row, col, pt, rect);
    if (code == GX_NOHIT) code = (cj > hc && ci > hr) ? GX_CELLHIT : GX_HEADERHIT;
  }
  if (ci == GX_INVALID && pt.y > h + 1) row = GetRowCount() + 1;
  if (cj == GX_INVALID && pt.x > h + 1) col = GetColCount() + 1;
  if (cellRect) *cellRect = rect;
  if (outRow) *outRow = row;
  if (outCol) *outCol = col;
  return code;
}

int CGXGridCore::HitTestSelectionEdge(ROWCOL row, ROWCOL col, const POINT& pt, const CRect& cell) {
  const BOOL fillHandle = ParamSettings().m_bFillEnabled;
  if (!m_bSelectionEdge && !fillHandle) return GX_NOHIT;
  if (!m_pParam) return GX_NOHIT;
  auto nearL = [&] { return pt.x <= cell.left + 4; };
  auto nearR = [&] { return pt.x >= cell.right - 4; };
  auto nearT = [&] { return pt.y <= cell.top + 4; };
  auto nearB = [&] { return pt.y >= cell.bottom - 4; };
  BOOL onBorder = FALSE;
  const CGXRangeList& selection = m_pParam->GetSelection();
  if (selection.FindCell(0, 0)) {
    if (row != 0 || col != 0) return GX_NOHIT;
    onBorder = nearL() || nearT();
  } else {
    CGXRange range;
    // The current cell stands for the selection only while no selection range is kept; with one, the
    // border is that of the selection range even around the current cell. A covered cell is the current
    // cell when its covered range starts there, and its border is that of the whole covered range.
    CGXRange covered(row, col);
    if (!KeepsCurrentSelRange()) {
      CGXRange widened;
      if (GetCoveredCellsRowCol(row, col, widened)) covered = widened;
    }
    if (!KeepsCurrentSelRange() && MatchesCurrentCell(covered.top, covered.left)) {
      range = covered;
    } else {
      POSITION pos = selection.FindCell(row, col);
      if (!pos) return GX_NOHIT;
      range = *selection.GetAt(pos);
    }
    onBorder = (nearL() && col == range.left && !range.IsRows()) ||
               (nearR() && col == range.right && !range.IsRows()) ||
               (nearT() && row == range.top && !range.IsCols()) ||
               (nearB() && row == range.bottom && !range.IsCols());
  }
  if (!onBorder) return GX_NOHIT;
  if (fillHandle && cell.right - pt.x < 5 && cell.bottom - pt.y < 5) return GX_FILLHANDLEHIT;
  return GX_SELEDGEHIT;
}

namespace {
// The last grid cursor loaded from the module's resources: one per process, as the cursor is.
UINT g_loadedCursorId = 0;
HCURSOR g_loadedCursor = nullptr;
BOOL g_loadedCursorOwned = FALSE;  // FALSE when the standard cursor stood in (shared: never destroyed)
}  // namespace

void CGXGridCore::SetGridCursor(UINT id, LPCSTR standard) {
  m_nCursorId = id;
  if (id == 0) {
    ::SetCursor(m_hArrow);
    return;
  }
  if (id != g_loadedCursorId) {
    HCURSOR c = LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(id));
    // The program's own cursor first, else the grid's (its resource module), else a standard one.
    if (!c) c = LoadCursor(plat::ResourceTable::ModuleHandle("grid"), MAKEINTRESOURCE(id));
    const BOOL owned = c != nullptr;
    if (!c) c = LoadCursor(nullptr, standard ? standard : IDC_ARROW);
    HCURSOR old = g_loadedCursor;
    const BOOL oldOwned = g_loadedCursorOwned;
    g_loadedCursor = c;
    g_loadedCursorId = id;
    g_loadedCursorOwned = owned;
    ::SetCursor(c);
    if (old && oldOwned && old != c) DestroyCursor(old);
  } else {
    ::SetCursor(g_loadedCursor);
  }
}

namespace {
// A column (row) counts as selected when a columns (rows) range or the table range of the selection holds it.
BOOL WholeColumnSelected(const CGXRangeList& list, ROWCOL col) {
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    const CGXRange* r = list.GetNext(pos);
    if ((r->IsTable() || (r->IsCols() && col >= r->left && col <= r->right))) return TRUE;
  }
  return FALSE;
}
BOOL WholeRowSelected(const CGXRangeList& list, ROWCOL row) {
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    const CGXRange* r = list.GetNext(pos);
    if ((r->IsTable() || (r->IsRows() && row >= r->top && row <= r->bottom))) return TRUE;
  }
  return FALSE;
}
}  // namespace

void CGXGridCore::UpdateCursor(POINT pt) {
  if (m_nFixedCursor) {
    SetGridCursor(m_nFixedCursor, IDC_ARROW);
    return;
  }
  // A grid that is a view of a document shows the plain arrow while it is not the active view of the frame
  // that has the focus (the click that activates it is eaten, see OnGridMouseActivate).
  if (m_pParam && m_pParam->m_bActivateOnClick && m_pGridWnd && m_pGridWnd->IsKindOf(RUNTIME_CLASS(CView))) {
    HWND focus = ::GetFocus();
    CFrameWnd* frame = m_pGridWnd->GetParentFrame();
    CWnd* focusWnd = focus ? CWnd::FromHandle(focus) : nullptr;
    if (!focusWnd || !frame || focusWnd->GetParentFrame() != frame ||
        frame->GetActiveView() != static_cast<CView*>(m_pGridWnd)) {
      SetGridCursor(0, nullptr);
      return;
    }
  }
  ROWCOL row = 0, col = 0;
  int code = HitTest(pt, &row, &col, nullptr);
  const BOOL resizeFeature = HasUserResizeFeature() && m_pParam;
  switch (code) {
    case GX_VERTLINE:
      if (resizeFeature && m_pParam->IsColResizeAllowed(3)) return SetGridCursor(GX_IDC_VRESIZE, IDC_SIZEWE);
      break;
    case GX_HORZLINE:
      if (resizeFeature && m_pParam->IsRowResizeAllowed(3)) return SetGridCursor(GX_IDC_HRESIZE, IDC_SIZENS);
      break;
    case GX_VERTHIDDENLINE: return SetGridCursor(GX_IDC_VHIDDEN, IDC_ARROW);
    case GX_HORZHIDDENLINE: return SetGridCursor(GX_IDC_HHIDDEN, IDC_ARROW);
    case GX_SELEDGEHIT: return SetGridCursor(GX_IDC_SELDRAG, IDC_ARROW);
    case GX_FILLHANDLEHIT: return SetGridCursor(GX_IDC_FILLHANDLE, IDC_ARROW);
    case GX_HEADERHIT:
      if (!m_pParam) break;
      if (row == 0 && col > 0) {
        BOOL dragging = WholeColumnSelected(m_pParam->GetSelection(), col) && m_pParam->IsDragColumnsEnabled();
        if (!dragging && m_pParam->IsSelectionAllowed(GX_SELCOL)) return SetGridCursor(GX_IDC_SELCOL, IDC_ARROW);
      } else if (col == 0 && row > 0) {
        BOOL dragging = WholeRowSelected(m_pParam->GetSelection(), row) && m_pParam->IsDragRowsEnabled();
        if (!dragging && m_pParam->IsSelectionAllowed(GX_SELROW)) return SetGridCursor(GX_IDC_SELROW, IDC_ARROW);
      }
      break;
    default: break;
  }
  SetGridCursor(0, nullptr);
}

void CGXGridCore::SetFixedCursor(UINT id) {
  m_nFixedCursor = id;
  UpdateCursor(CPoint(0, 0));
}
