#include "grid/features/CGXUserResizeCellsImp.h"

#include <algorithm>
#include <cstdlib>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/CGXDragLineWnd.h"
#include "grid/features/gxfeaturedraw.h"
#include "platform/base/CDWordArray.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"

namespace {

constexpr WORD kOneSize = 1, kSingle = 2, kNoHeaders = 8, kNoStartRepaint = 16, kNoDragLine = 32,
               kNoInvertedLine = 64, kPreview = 128, kImmediate = 256;

BOOL Allowed(CGXGridCore* g, BOOL rows, WORD mask) {
  CGXGridParam* p = g->GetParam();
  return p && (rows ? p->IsRowResizeAllowed(mask) : p->IsColResizeAllowed(mask));
}

}  // namespace

CGXUserResizeCellsImp::~CGXUserResizeCellsImp() { DestroyDragLine(); }

void CGXUserResizeCellsImp::DestroyDragLine() {
  if (m_pDragLine && m_pDragLine->GetSafeHwnd()) m_pDragLine->DestroyWindow();
  m_pDragLine.reset();
}

int CGXUserResizeCellsImp::CurrentSize(CGXGridCore* g) const {
  return Rows() ? g->GetRowHeight(m_nRow) : g->GetColWidth(m_nCol);
}

CRect CGXUserResizeCellsImp::LineAt(int size) const {
  CRect line = m_startLine;
  const int at = m_nOrigin + std::max(size, 0);
  if (Rows())
    line.OffsetRect(0, at - line.top);
  else
    line.OffsetRect(at - line.left, 0);
  return line;
}

void CGXUserResizeCellsImp::InvertLine(CGXGridCore* g, const CRect& line) {
  gxfeat::ClientDC dc(g, FALSE);
  if (dc.Get()) dc.Get()->InvertRect(&line);
}

CRect CGXUserResizeCellsImp::HeaderStrip(CGXGridCore* g) const {
  if (Rows()) {
    const CRect header = g->CalcRangeRect(m_nRow, 0, m_nRow, g->GetHeaderCols());
    return CRect(header.left, m_nOrigin, header.right, m_area.bottom);
  }
  const CRect header = g->CalcRangeRect(0, m_nCol, g->GetHeaderRows(), m_nCol);
  return CRect(m_nOrigin, header.top, m_area.right, header.bottom);
}

void CGXUserResizeCellsImp::StoreTemporarySize(CGXGridCore* g, int size) {
  if (Rows()) {
    g->StoreHideRow(m_nRow, FALSE);
    g->StoreRowHeight(m_nRow, size);
  } else {
    g->StoreHideCol(m_nCol, FALSE);
    g->StoreColWidth(m_nCol, size);
  }
  g->RedrawAll(0, FALSE);  // the kept answers about the shown lines
}

void CGXUserResizeCellsImp::RestoreStartState(CGXGridCore* g) {
  CGXGridParam* p = g->GetParam();
  if (!p) return;
  CGXMapDWordToLong& sizes = Rows() ? p->GetRowHeights() : p->GetColWidths();
  if (m_bHadStoredSize)
    sizes.SetAt(Index(), m_nStoredSize);
  else
    sizes.RemoveKey(Index());
  Rows() ? g->StoreHideRow(m_nRow, m_bStartHidden) : g->StoreHideCol(m_nCol, m_bStartHidden);
  g->RedrawAll(0, FALSE);
}

// ---- The engine's mouse ------------------------------------------------------------------------------

BOOL CGXUserResizeCellsImp::OnPress(CGXGridCore* g, UINT, POINT, int hit, ROWCOL row, ROWCOL col) {
  int mode = 0;
  if ((hit == GX_VERTLINE || hit == GX_VERTHIDDENLINE) && Allowed(g, FALSE, kOneSize | kSingle))
    mode = 2;
  else if ((hit == GX_HORZLINE || hit == GX_HORZHIDDENLINE) && Allowed(g, TRUE, kOneSize | kSingle))
    mode = 1;
  if (!mode) return FALSE;
  GXForwardArgs a;
  a.v = {row, col, static_cast<DWORD_PTR>(mode)};
  if (g->UserResizeForward4(a)) {
    HWND h = g->GridHwnd();
    if (h && ::GetCapture() != h) g->SetCapture();
  }
  return TRUE;
}

BOOL CGXUserResizeCellsImp::OnHover(CGXGridCore* g, UINT, POINT pt) {
  if (!m_bTracking) return FALSE;
  GXForwardArgs a;
  a.v = {m_nRow, m_nCol, static_cast<DWORD_PTR>(m_nMode), static_cast<DWORD_PTR>(SizeFromPoint(pt))};
  g->UserResizeForward5(a);
  return TRUE;
}

void CGXUserResizeCellsImp::OnRelease(CGXGridCore* g, UINT, POINT pt) {
  if (!m_bTracking) return;
  GXForwardArgs a;
  a.v = {m_nRow, m_nCol, static_cast<DWORD_PTR>(m_nMode), static_cast<DWORD_PTR>(SizeFromPoint(pt))};
  g->UserResizeForward7(a);
  if (HWND h = g->GridHwnd(); h && ::GetCapture() == h) ::ReleaseCapture();
}

BOOL CGXUserResizeCellsImp::CancelResize(CGXGridCore* g) {
  if (!m_bTracking) return FALSE;
  g->UserResizeForward6();
  return TRUE;
}

LRESULT CGXUserResizeCellsImp::UserResizeForward4(CGXGridCore* g, const GXForwardArgs& a) {
  return OnStartTracking(g, static_cast<ROWCOL>(a.v[0]), static_cast<ROWCOL>(a.v[1]), static_cast<int>(a.v[2]));
}

void CGXUserResizeCellsImp::UserResizeForward5(CGXGridCore* g, const GXForwardArgs& a) {
  OnMoveTracking(g, static_cast<int>(static_cast<LONG_PTR>(a.v[3])));
}

void CGXUserResizeCellsImp::UserResizeForward7(CGXGridCore* g, const GXForwardArgs& a) {
  OnEndTracking(g, static_cast<int>(static_cast<LONG_PTR>(a.v[3])));
}

// ---- Tracking ----------------------------------------------------------------------------------------

BOOL CGXUserResizeCellsImp::OnStartTracking(CGXGridCore* g, ROWCOL row, ROWCOL col, int mode) {
  CGXGridParam* p = g->GetParam();
  if (!p || m_bTracking || (mode != 1 && mode != 2)) return FALSE;
  const BOOL rows = mode == 1;
  const ROWCOL index = rows ? row : col;
  // 1. Header lines may be refused; the grid's permission tests must agree.
  if (index <= (rows ? g->GetHeaderRows() : g->GetHeaderCols()) && Allowed(g, rows, kNoHeaders)) return FALSE;
  if (!g->HasUserResizeFeature(index, rows) || !g->ReturnTrueStub(index, rows)) return FALSE;
  // 2. The switches of this direction.
  m_nMode = mode;
  m_nRow = row;
  m_nCol = col;
  m_area = g->GetGridRect();
  m_bImmediate = Allowed(g, rows, kImmediate);
  m_bPreview = Allowed(g, rows, kPreview) && !m_bImmediate;
  m_bDragLineWnd = (rows ? g->DrawsHorzLines() : g->DrawsVertLines()) && !Allowed(g, rows, kNoDragLine) && !m_bImmediate;
  m_bInvertLine = !Allowed(g, rows, kNoInvertedLine) && !m_bImmediate;
  m_bStartRepaint = !Allowed(g, rows, kNoStartRepaint) && !m_bImmediate;
  // 3. The start size and line; the origin is the line's top (left) edge.
  CGXMapDWordToLong& sizes = rows ? p->GetRowHeights() : p->GetColWidths();
  m_bHadStoredSize = sizes.Lookup(index, m_nStoredSize);
  m_bStartHidden = rows ? g->IsRowHidden(index) : g->IsColHidden(index);
  m_nStartSize = CurrentSize(g);
  const CRect cell = g->CalcRangeRect(rows ? row : 0, rows ? 0 : col, rows ? row : 0, rows ? 0 : col, TRUE);
  if (rows) {
    m_nOrigin = cell.top;
    const ROWCOL lastCol = g->CalcRightmostCol(m_area);
    const int right = std::min<LONG>(g->CalcRangeRect(0, lastCol, 0, lastCol).right, m_area.right);
    const int left = m_bPreview ? g->CalcRangeRect(0, 0, 0, g->GetHeaderCols()).right : m_area.left;
    m_startLine.SetRect(left, 0, right, 1);
  } else {
    m_nOrigin = cell.left;
    const ROWCOL lastRow = g->CalcBottomRow(m_area);
    const int bottom = std::min<LONG>(g->CalcRangeRect(lastRow, 0, lastRow, 0).bottom, m_area.bottom);
    const int top = m_bPreview ? g->CalcRangeRect(0, 0, g->GetHeaderRows(), 0).bottom : m_area.top;
    m_startLine.SetRect(0, top, 1, bottom);
  }
  m_startLine = LineAt(m_nStartSize);
  // 4. The drag-line window along the line.
  if (m_bDragLineWnd && g->GridHwnd()) {
    m_pDragLine = std::make_unique<CGXDragLineWnd>(g);
    m_pDragLine->m_pen = CGXBorderPen(g->m_nDragLineStyle, 1, g->PropertyColor(3));
    if (m_pDragLine->Create(CWnd::FromHandle(g->GridHwnd()))) {
      m_pDragLine->MoveWindow(&m_startLine, FALSE);
      m_pDragLine->ShowWindow(SW_SHOWNA);
      m_pDragLine->UpdateWindow();
    } else {
      m_pDragLine.reset();
    }
  }
  // 5. Tracking.
  m_bMoved = FALSE;
  m_curLine = m_startLine;
  m_bTracking = TRUE;
  g->SetResizeState(TRUE, rows ? 1 : 2, static_cast<int>(index));
  if (m_bStartRepaint) g->RedrawCell(row, col, GX_INVALIDATE);
  return TRUE;
}

void CGXUserResizeCellsImp::OnMoveTracking(CGXGridCore* g, int size) {
  if (!m_bTracking) return;
  m_bMoved = TRUE;
  CGXGridParam* p = g->GetParam();
  const int minimum = static_cast<int>(Rows() ? p->m_nMinRowHeight : p->m_nMinColWidth);
  size = std::max(size, minimum);
  if (!g->ReturnTrueStub2(Index(), size, Rows())) return;
  // The line; at the far end of the drawing area it goes back to where it started.
  CRect line = LineAt(size);
  const int far = Rows() ? m_area.bottom - 1 : m_area.right - 1;
  if ((Rows() ? line.top : line.left) >= far) line = m_startLine;
  if (line == m_curLine) return;
  if (m_bInvertLine) {
    if (m_curLine != m_startLine) InvertLine(g, m_curLine);
    if (line != m_startLine) InvertLine(g, line);
  }
  m_curLine = line;
  if (m_pDragLine) m_pDragLine->MoveWindow(&m_curLine, TRUE);
  const int delta = Rows() ? m_curLine.top - m_startLine.top : m_curLine.left - m_startLine.left;
  const int newSize = std::max(0, m_nStartSize + delta);
  if (m_bImmediate) {
    const int old = CurrentSize(g);
    if (newSize > 0 || !m_bStartHidden) StoreTemporarySize(g, newSize);
    Rows() ? g->UpdateChangedRowHeights(m_nRow, m_nRow, &old, GX_UPDATENOW) : g->UpdateChangedColWidths(m_nCol, m_nCol, &old, GX_UPDATENOW);
  } else if (m_bPreview) {
    // Only the headers show the new size while dragging: stored for one paint of the strip, then taken back.
    if (m_bInvertLine && m_curLine != m_startLine) InvertLine(g, m_curLine);
    StoreTemporarySize(g, newSize);
    const CRect strip = HeaderStrip(g);
    g->InvalidateRect(&strip, FALSE);
    g->UpdateWindow();
    RestoreStartState(g);
    if (m_bInvertLine && m_curLine != m_startLine) InvertLine(g, m_curLine);
  }
}

void CGXUserResizeCellsImp::OnEndTracking(CGXGridCore* g, int size) {
  if (!m_bTracking) return;
  CGXGridParam* p = g->GetParam();
  // 1. The last move.
  if (m_bMoved) OnMoveTracking(g, size);
  DestroyDragLine();
  const int minimum = static_cast<int>(Rows() ? p->m_nMinRowHeight : p->m_nMinColWidth);
  size = std::max(size, minimum);
  // 2. Tracking ends; the inverted line goes.
  m_bTracking = FALSE;
  g->SetResizeState(FALSE);
  if (m_bInvertLine && m_curLine != m_startLine) InvertLine(g, m_curLine);
  // 3. The start state back, so that the change below is one recorded change.
  UINT flags = GX_UPDATENOW;
  if (m_bImmediate) {
    RestoreStartState(g);
    flags = GX_NOSCROLL;
  } else if (m_bPreview) {
    const CRect strip = HeaderStrip(g);
    g->InvalidateRect(&strip, FALSE);
  }
  const int delta = Rows() ? m_curLine.top - m_startLine.top : m_curLine.left - m_startLine.left;
  // 4. A refused size, a move of less than 2 pixels or a plain click change nothing.
  if (!g->ReturnTrueStub2(Index(), size, Rows()) || std::abs(delta) < 2 || !m_bMoved) {
    Rows() ? g->RedrawRange(m_nRow, 0, m_nRow, g->GetColCount(), flags) : g->RedrawRange(0, m_nCol, g->GetRowCount(), m_nCol, flags);
    return;
  }
  // 5. The new size for the line, its selected run or all lines.
  const int newSize = CurrentSize(g) + delta;
  const BOOL rows = Rows();
  const ROWCOL index = Index();
  auto setDefault = [&] { rows ? g->SetDefaultRowHeight(newSize, flags) : g->SetDefaultColWidth(newSize, flags); };
  const CGXRangeList& sel = p->GetSelection();
  const BOOL inSelected = rows ? sel.ContainsCell(index, 0) : sel.ContainsCell(0, index);
  if (Allowed(g, rows, kOneSize) && index != 0) {
    setDefault();
  } else if (inSelected) {
    if (sel.GetHead() && sel.GetHead()->IsTable()) {
      setDefault();
    } else {
      CDWordArray starts, ends;
      rows ? sel.GetRowIntervals(g->GetRowCount(), starts, ends, TRUE) : sel.GetColIntervals(g->GetColCount(), starts, ends, TRUE);
      for (INT_PTR i = starts.GetSize() - 1; i >= 0; --i) {
        const ROWCOL from = std::max<ROWCOL>(starts[i], 1), to = ends[i];
        if (from > to) continue;
        if (newSize < 1)
          rows ? g->HideRows(from, to, TRUE, flags) : g->HideCols(from, to, TRUE, flags);
        else
          rows ? g->SetRowHeight(from, to, newSize, nullptr, flags) : g->SetColWidth(from, to, newSize, nullptr, flags);
      }
    }
  } else if (newSize < 1) {
    rows ? g->HideRows(index, index, TRUE, flags) : g->HideCols(index, index, TRUE, flags);
  } else {
    // A hidden line dragged open loses its mark directly (as its stored size 0 does), then gets the size;
    // with the column-unhide switch a hidden column is shown again through the hide operation instead.
    if (rows ? g->IsRowHidden(index) : g->IsColHidden(index)) {
      if (!rows && p->m_bUnhideColsByHide) {
        g->StoreColWidth(index, 0);
        g->HideCols(index, index, FALSE, flags);
      } else {
        rows ? g->StoreHideRow(index, FALSE) : g->StoreHideCol(index, FALSE);
        rows ? g->StoreRowHeight(index, 0) : g->StoreColWidth(index, 0);
      }
    }
    rows ? g->SetRowHeight(index, index, newSize, nullptr, flags) : g->SetColWidth(index, index, newSize, nullptr, flags);
  }
  // 6. The line in view, the scroll bars and the active control up to date.
  rows ? g->BringCellIntoView(index, g->GetFirstScrolledCol(), GX_UPDATENOW) : g->BringCellIntoView(g->GetFirstScrolledRow(), index, GX_UPDATENOW);
  g->RefreshScrollBars();
  if (HWND h = g->GridHwnd(); h && ::GetFocus() == h)
    if (CGXControl* c = g->ControlOfCurrentCell(); c && g->CurrentCellIsActive()) c->Refresh();
}

void CGXUserResizeCellsImp::OnCancelTracking(CGXGridCore* g) {
  if (!m_bTracking) return;
  DestroyDragLine();
  m_bTracking = FALSE;
  g->SetResizeState(FALSE);
  if (m_bInvertLine && m_curLine != m_startLine) InvertLine(g, m_curLine);
  if (m_bImmediate) {
    RestoreStartState(g);
    g->RedrawAll(GX_UPDATENOW);
  } else if (m_bPreview) {
    RestoreStartState(g);
    const CRect strip = HeaderStrip(g);
    g->InvalidateRect(&strip, FALSE);
  }
}

// ---- Double click --------------------------------------------------------------------------------------

void CGXUserResizeCellsImp::ShowRun(CGXGridCore* g, BOOL rows, ROWCOL index) {
  auto hidden = [&](ROWCOL i) { return rows ? g->IsRowHidden(i) : g->IsColHidden(i); };
  auto resizable = [&](ROWCOL i) { return g->ReturnTrueStub(i, rows); };
  ROWCOL first = index, last = index;
  if (!hidden(index)) first = last = index + 1;
  while (first > 1 && hidden(first - 1) && resizable(first - 1)) --first;
  const ROWCOL count = rows ? g->GetRowCount() : g->GetColCount();
  while (last < count && hidden(last + 1) && resizable(last + 1)) ++last;
  rows ? g->HideRows(first, last, FALSE, GX_UPDATENOW) : g->HideCols(first, last, FALSE, GX_UPDATENOW);
}

BOOL CGXUserResizeCellsImp::OnDblClk(CGXGridCore* g, UINT, POINT, int hit, ROWCOL row, ROWCOL col) {
  const BOOL rows = hit == GX_HORZLINE || hit == GX_HORZHIDDENLINE;
  if (!rows && hit != GX_VERTLINE && hit != GX_VERTHIDDENLINE) return FALSE;
  CGXGridParam* p = g->GetParam();
  const ROWCOL index = rows ? row : col;
  if (!p || !Allowed(g, rows, kOneSize | kSingle) || !g->ReturnTrueStub(index, rows)) return FALSE;
  if (Allowed(g, rows, kOneSize) && index != 0) return TRUE;
  auto hidden = [&](ROWCOL i) { return rows ? g->IsRowHidden(i) : g->IsColHidden(i); };
  if (hidden(index) || hidden(index + 1)) {
    ShowRun(g, rows, index);
    return TRUE;
  }
  const CGXRangeList& sel = p->GetSelection();
  const BOOL inSelected = rows ? sel.ContainsCell(index, 0) : sel.ContainsCell(0, index);
  if (inSelected && !(sel.GetHead() && sel.GetHead()->IsTable())) {
    CDWordArray starts, ends;
    rows ? sel.GetRowIntervals(g->GetRowCount(), starts, ends, TRUE) : sel.GetColIntervals(g->GetColCount(), starts, ends, TRUE);
    for (INT_PTR i = starts.GetSize() - 1; i >= 0; --i) {
      const ROWCOL from = std::max<ROWCOL>(starts[i], 1), to = ends[i];
      if (from > to) continue;
      if (hidden(from))
        rows ? g->HideRows(from, to, FALSE, GX_UPDATENOW) : g->HideCols(from, to, FALSE, GX_UPDATENOW);
      else
        rows ? g->SetRowHeight(from, to, -1, nullptr, GX_UPDATENOW) : g->SetColWidth(from, to, -1, nullptr, GX_UPDATENOW);
    }
    return TRUE;
  }
  rows ? g->SetRowHeight(index, index, -1, nullptr, GX_UPDATENOW) : g->SetColWidth(index, index, -1, nullptr, GX_UPDATENOW);
  return TRUE;
}

void CGXGridCore::InstallUserResizeCellsImp() {
  if (!GetUserResizeCellsImp()) SetFeature(new CGXUserResizeCellsImp);
}
