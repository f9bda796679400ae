// Mouse buttons: one press-and-drag state machine for the three buttons. A press hit-tests the point,
// cell presses go through the button's cell handler, which moves the current cell and passes the mouse
// to the current cell's control; moves and the release follow the button recorded at the press.
#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"

namespace {
constexpr WORD kPressed = 0x0001, kDown = 0x0004, kMove = 0x0008, kUp = 0x0010, kWasOverPress = 0x0020,
               kOverPress = 0x0040, kCtrl = 0x0080, kOnCurrent = 0x0100;

// The press cell is the top-left cell of its covered block; the mouse is over it anywhere in the block.
BOOL OverPressCell(CGXGridCore& g, ROWCOL row, ROWCOL col, ROWCOL pressRow, ROWCOL pressCol) {
  if (row == pressRow && col == pressCol) return TRUE;
  CGXRange covered;
  return g.GetCoveredCellsRowCol(row, col, covered) && covered.top == pressRow && covered.left == pressCol;
}

// The state bits of a move or release: over the press cell, else whether the last mouse cell was.
WORD OverBits(CGXGridCore& g, ROWCOL row, ROWCOL col, ROWCOL lastRow, ROWCOL lastCol, ROWCOL pressRow,
              ROWCOL pressCol) {
  if (OverPressCell(g, row, col, pressRow, pressCol)) return kOverPress;
  return OverPressCell(g, lastRow, lastCol, pressRow, pressCol) ? kWasOverPress : 0;
}
}  // namespace

CPoint CGXGridCore::ClampMousePoint(CPoint pt) const {
  CRect area = GetGridRect();
  pt.x = std::clamp<LONG>(pt.x, area.left, std::max<LONG>(area.left, area.right - m_cxFrame));
  pt.y = std::clamp<LONG>(pt.y, area.top, std::max<LONG>(area.top, area.bottom - m_cyFrame));
  return pt;
}

BOOL CGXGridCore::BeginPress(UINT keys, UINT others, CPoint pt, int* code, ROWCOL* row, ROWCOL* col) {
  if (!m_bMouseKeyboard) return FALSE;
  m_nPressKeys = keys;
  m_bHasFocus = TRUE;
  HWND h = GridHwnd();
  if ((h && ::GetCapture() == h) || (keys & others)) {
    if (h) ::SendMessage(h, WM_CANCELMODE, 0, 0);
    OnGridCancelMode();
    return FALSE;
  }
  UpdateWindow();
  *code = HitTest(pt, row, col, nullptr);
  return TRUE;
}

BOOL CGXGridCore::CallCellHandler(Button b, ROWCOL pr, ROWCOL pc, ROWCOL r, ROWCOL c, CPoint pt, UINT keys,
                                  WORD state) {
  switch (b) {
    case Button::left: return OnLButtonCell(pr, pc, r, c, pt.x, pt.y, keys, state);
    case Button::middle: return OnMButtonCell(pr, pc, r, c, pt.x, pt.y, keys, state);
    default: return OnRButtonCell(pr, pc, r, c, pt.x, pt.y, keys, state);
  }
}

// Scrolls while the mouse is held outside the grid, in the directions in which the press cell scrolls
// (a header or frozen row does not scroll vertically, a header or frozen column not horizontally).
void CGXGridCore::StartPressAutoScroll(ROWCOL row, ROWCOL col) {
  if (!m_bPressAutoScroll) return;
  const BOOL vertical = row > GetFrozenRows() && row > GetHeaderRows();
  const BOOL horizontal = col > GetFrozenCols() && col > GetHeaderCols();
  if (vertical || horizontal) StartAutoScroll(FALSE, vertical, horizontal);
}

BOOL CGXGridCore::StartCellPress(Button b, UINT keys, CPoint pt, int code, ROWCOL row, ROWCOL col) {
  HWND h = GridHwnd();
  const BOOL left = b == Button::left;
  if (left && row == 0 && col == 0) {
    // The top-left corner: the selection feature may select the whole table.
    m_wPressState = kPressed;
    m_nPressRow = m_nPressCol = 0;
    if (MatchesCurrentCell(0, 0)) m_wPressState |= kOnCurrent;
  } else {
    if (left && m_pUserDragSelectRangeImp && m_pUserDragSelectRangeImp->OnButtonDown(this, keys, pt, row, col))
      return TRUE;
    m_wPressState = kPressed;
    // A press anywhere in a covered block is a press on its top-left cell, the cell that is current and
    // that the cell handler works on: the "current cell with a bound control" bit and the press-cell
    // comparisons of moves and the release must not depend on where inside the block the click lands.
    // (No control asks for anything else: every covered block maps, as in the cell handler.)
    CGXRange covered;
    if (GetCoveredCellsRowCol(row, col, covered)) {
      row = covered.top;
      col = covered.left;
    }
    m_nPressRow = row;
    m_nPressCol = col;
    CGXControl* c = MatchesCurrentCell(row, col) ? CurrentControl() : nullptr;
    if (c && c->IsBoundToCell(row, col)) m_wPressState |= kOnCurrent;
    if (keys & MK_CONTROL) m_wPressState |= kCtrl;
  }
  if (left && m_pUserSelectRangeImp) m_pUserSelectRangeImp->OnPressStarted(this, keys, pt, code, m_nPressRow, m_nPressCol);
  m_nLastMouseRow = m_nPressRow;
  m_nLastMouseCol = m_nPressCol;
  const WORD state = static_cast<WORD>(m_wPressState | kDown | kOverPress);
  if (CallCellHandler(b, m_nPressRow, m_nPressCol, m_nPressRow, m_nPressCol, pt, keys, state)) {
    if (h && ::GetCapture() != h) ::SetCapture(h);
    if (left && (m_nPressRow || m_nPressCol)) StartPressAutoScroll(m_nPressRow, m_nPressCol);
  } else {
    // Decision: a press that its cell handler refused (a move that showed a warning) is over before the
    // cancel: cancel mode must not treat it as a running press and validate the cell a second time.
    m_wPressState = 0;
    if (h) ::SendMessage(h, WM_CANCELMODE, 0, 0);
  }
  return TRUE;
}

BOOL CGXGridCore::ButtonDown(Button b, UINT keys, CPoint pt) {
  static const UINT others[] = {MK_MBUTTON | MK_RBUTTON, MK_LBUTTON | MK_RBUTTON, MK_LBUTTON | MK_MBUTTON};
  int code = 0;
  ROWCOL row = 0, col = 0;
  if (!BeginPress(keys, others[static_cast<int>(b)], pt, &code, &row, &col)) return FALSE;
  if (b == Button::left) {
    if (code == GX_SELEDGEHIT) {
      CGXRange covered;
      const BOOL isCovered = GetCoveredCellsRowCol(row, col, covered) != nullptr;
      if (m_bDragCells && BeginDragSelect(isCovered ? covered.top : row, isCovered ? covered.left : col)) return TRUE;
      code = GX_CELLHIT;
    }
    if (code == GX_FILLHANDLEHIT) {
      m_nPressRow = m_nLastMouseRow = row;
      m_nPressCol = m_nLastMouseCol = col;
      m_wPressState = kPressed;
      if (ParamSettings().m_bFillEnabled && m_pExcelLikeFillImp) m_pExcelLikeFillImp->StartFill(this, row, col, keys, pt);
      HWND h = GridHwnd();
      if (h && ::GetCapture() != h) ::SetCapture(h);
      StartPressAutoScroll(row, col);
      return TRUE;
    }
  }
  if (code != GX_CELLHIT && code != GX_HEADERHIT) {
    // Row and column boundaries belong to the resize feature.
    return b == Button::left && m_pUserResizeCellsImp && m_pUserResizeCellsImp->OnPress(this, keys, pt, code, row, col);
  }
  return StartCellPress(b, keys, pt, code, row, col);
}

BOOL CGXGridCore::OnGridLButtonDown(UINT keys, CPoint pt) { return ButtonDown(Button::left, keys, pt); }
BOOL CGXGridCore::OnGridMButtonDown(UINT keys, CPoint pt) { return ButtonDown(Button::middle, keys, pt); }
BOOL CGXGridCore::OnGridRButtonDown(UINT keys, CPoint pt) { return ButtonDown(Button::right, keys, pt); }

BOOL CGXGridCore::OnGridMouseMove(UINT keys, CPoint raw) {
  if (!m_bMouseKeyboard) return FALSE;
  CPoint pt = ClampMousePoint(raw);
  if (m_pUserDragSelectRangeImp && m_pUserDragSelectRangeImp->OnMouseMove(this, keys, pt)) return TRUE;
  if (!m_wPressState) {
    // Hovering: a boundary's resize cursor, else the cursor for where the mouse really is.
    if (m_pUserResizeCellsImp && m_pUserResizeCellsImp->OnHover(this, keys, raw)) return TRUE;
    UpdateCursor(raw);
    return TRUE;
  }
  HWND h = GridHwnd();
  if (!h || ::GetCapture() != h) return FALSE;
  ROWCOL row = 0, col = 0;
  HitTest(pt, &row, &col, nullptr);
  // Over a header the drag stays on the first row (column) shown below (right of) the headers: a frozen
  // row when there are frozen rows beyond the headers, else the top row.
  const ROWCOL firstRow = GetFrozenRows() > GetHeaderRows() ? GetHeaderRows() + 1 : m_nTopRow;
  const ROWCOL firstCol = GetFrozenCols() > GetHeaderCols() ? GetHeaderCols() + 1 : m_nLeftCol;
  row = std::clamp(row, std::min(firstRow, GetRowCount()), GetRowCount());
  col = std::clamp(col, std::min(firstCol, GetColCount()), GetColCount());
  const WORD state = static_cast<WORD>(m_wPressState | kMove |
                                      OverBits(*this, row, col, m_nLastMouseRow, m_nLastMouseCol, m_nPressRow, m_nPressCol));
  const Button b = (m_nPressKeys & MK_LBUTTON)   ? Button::left
                   : (m_nPressKeys & MK_MBUTTON) ? Button::middle
                                                 : Button::right;
  CallCellHandler(b, m_nPressRow, m_nPressCol, row, col, pt, keys, state);
  if (ParamSettings().m_bFillEnabled && m_pExcelLikeFillImp && m_pExcelLikeFillImp->OnFillMove(this, keys, pt)) return TRUE;
  if (row != m_nLastMouseRow || col != m_nLastMouseCol) {
    if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->OnPressMoved(this, keys, pt, row, col);
    m_nLastMouseRow = row;
    m_nLastMouseCol = col;
  }
  return TRUE;
}

BOOL CGXGridCore::ButtonUp(Button b, UINT keys, CPoint raw) {
  HWND h = GridHwnd();
  const CPoint pt = ClampMousePoint(raw);
  if (b == Button::left) {
    StopAutoScroll();
    if (!h || ::GetCapture() != h) return FALSE;
    if (m_pUserDragSelectRangeImp && m_pUserDragSelectRangeImp->OnButtonUp(this, keys, pt)) return TRUE;
    if (!m_wPressState) {
      if (m_pUserResizeCellsImp) m_pUserResizeCellsImp->OnRelease(this, keys, pt);
      return TRUE;
    }
    ::ReleaseCapture();
    if (ParamSettings().m_bFillEnabled && m_pExcelLikeFillImp) m_pExcelLikeFillImp->EndFill(this, keys, pt);
    if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->OnPressReleased(this, keys, pt);
  } else {
    if (!m_wPressState) return FALSE;
    if (h && ::GetCapture() == h) ::ReleaseCapture();
  }
  ROWCOL row = 0, col = 0;
  HitTest(pt, &row, &col, nullptr);
  row = std::min(row, GetRowCount());
  col = std::min(col, GetColCount());
  const WORD state = static_cast<WORD>(m_wPressState | kUp |
                                      OverBits(*this, row, col, m_nLastMouseRow, m_nLastMouseCol, m_nPressRow, m_nPressCol));
  CallCellHandler(b, m_nPressRow, m_nPressCol, row, col, pt, keys, state);
  m_wPressState = 0;
  return TRUE;
}

BOOL CGXGridCore::OnGridLButtonUp(UINT keys, CPoint pt) { return ButtonUp(Button::left, keys, pt); }
BOOL CGXGridCore::OnGridMButtonUp(UINT keys, CPoint pt) { return ButtonUp(Button::middle, keys, pt); }
BOOL CGXGridCore::OnGridRButtonUp(UINT keys, CPoint pt) { return ButtonUp(Button::right, keys, pt); }

BOOL CGXGridCore::ButtonDblClk(Button b, UINT keys, CPoint pt) {
  static const UINT others[] = {MK_MBUTTON | MK_RBUTTON, MK_LBUTTON | MK_RBUTTON, MK_LBUTTON | MK_MBUTTON};
  int code = 0;
  ROWCOL row = 0, col = 0;
  if (!BeginPress(keys, others[static_cast<int>(b)], pt, &code, &row, &col)) return FALSE;
  if (code != GX_CELLHIT && code != GX_HEADERHIT)
    return b == Button::left && m_pUserResizeCellsImp && m_pUserResizeCellsImp->OnDblClk(this, keys, pt, code, row, col);
  CGXRange covered;
  if (GetCoveredCellsRowCol(row, col, covered)) {
    row = covered.top;
    col = covered.left;
  }
  auto boundControl = [&]() -> CGXControl* {
    CGXControl* c = MatchesCurrentCell(row, col) ? CurrentControl() : nullptr;
    return c && c->IsBoundToCell(row, col) ? c : nullptr;
  };
  if (b != Button::left || !boundControl()) MoveCurrentCellTo(row, col, GX_UPDATENOW | 0x08);
  BOOL taken = FALSE;
  if (CGXControl* c = boundControl()) {
    taken = b == Button::left     ? c->OnLButtonDblClkInCell(keys, pt.x, pt.y)
            : b == Button::middle ? c->OnMButtonDblClkInCell(keys, pt.x, pt.y)
                                  : c->OnRButtonDblClkInCell(keys, pt.x, pt.y);
  } else {
    taken = b == Button::left     ? OnLButtonDblClkCell(row, col, keys, pt)
            : b == Button::middle ? OnMButtonDblClkCell(row, col, keys, pt)
                                  : OnRButtonDblClkCell(row, col, keys, pt);
  }
  if (!taken) return ButtonDown(b, keys, pt);
  return TRUE;
}

BOOL CGXGridCore::OnGridLButtonDblClk(UINT keys, CPoint pt) { return ButtonDblClk(Button::left, keys, pt); }
BOOL CGXGridCore::OnGridMButtonDblClk(UINT keys, CPoint pt) { return ButtonDblClk(Button::middle, keys, pt); }
BOOL CGXGridCore::OnGridRButtonDblClk(UINT keys, CPoint pt) { return ButtonDblClk(Button::right, keys, pt); }

BOOL CGXGridCore::OnGridCancelMode() {
  if (m_bMouseKeyboard) {
    if (m_pUserResizeCellsImp && m_pUserResizeCellsImp->CancelResize(this)) {
      // the resize feature ended its resize
    } else if (m_wPressState) {
      // Cleared first: storing the current cell below may open a warning box, which cancels again.
      m_wPressState = 0;
      ClearSelectionByUser();
      // Under the click flags the current cell's edit is validated and stored; the move itself is refused
      // (no such cell), so the cell stays current and its control is bound to it again.
      if (m_pParam && m_pParam->TestClickFlags(3)) MoveCurrentCellTo(GX_INVALID, GX_INVALID, GX_UPDATENOW | 0x08);
    } else if (m_pUserDragSelectRangeImp) {
      m_pUserDragSelectRangeImp->CancelDragSelect(this);
    }
  }
  if (m_pParam && m_pParam->m_bCutPending) {
    m_pParam->m_bCutPending = FALSE;
    RedrawAll(GX_INVALIDATE);
  }
  if (m_nFixedCursor) SetFixedCursor(0);
  StopAutoScroll();
  HWND h = GridHwnd();
  if (h && ::GetCapture() == h) ::ReleaseCapture();
  if (CGXControl* c = ControlOfCurrentCell()) c->ReleaseChildButtons();
  return TRUE;
}

BOOL CGXGridCore::OnLButtonClickedCell(ROWCOL row, ROWCOL col, UINT keys, CPoint pt) {
  return m_pUserSelectRangeImp && m_pUserSelectRangeImp->OnClickedCell(this, row, col, keys, pt);
}

BOOL CGXGridCore::OnLButtonDblClkCell(ROWCOL row, ROWCOL col, UINT keys, CPoint pt) {
  return m_pSortImp && m_pSortImp->OnDblClkCell(this, row, col, keys, pt);
}

namespace {
// The cell handler shared by the three buttons: the press cell (the top-left cell of its covered range)
// becomes current on the press; presses, moves and the release on the current cell go to its control.
template <typename Down, typename Move, typename UpFn, typename Clicked>
BOOL CellHandler(CGXGridCore& g, ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, WORD state, BOOL* dragMoved,
                 Down down, Move move, UpFn up, Clicked clicked) {
  CGXRange covered;
  if (g.GetCoveredCellsRowCol(pr, pc, covered)) {
    pr = covered.top;
    pc = covered.left;
  }
  auto control = [&]() -> CGXControl* {
    if (!g.MatchesCurrentCell(pr, pc) || g.IsPrinting()) return nullptr;
    CGXControl* c = g.ControlOfCurrentCell();
    return c && c->IsBoundToCell(pr, pc) ? c : nullptr;
  };
  if (state & kDown) {
    // A press on the bound current cell stays with its control unless the current cell joins the selection.
    if (g.ParamSettings().m_bCurrentCellJoinsSelection || !(state & kOnCurrent)) {
      g.m_bWarningShown = FALSE;
      g.MoveCurrentCellTo(pr, pc, (state & kCtrl) ? 0x84 : GX_INVALIDATE);
      if (g.m_bWarningShown || pr > g.GetRowCount() || pc > g.GetColCount()) return FALSE;
    }
    if (CGXControl* c = control()) down(c);
    *dragMoved = FALSE;
  } else if (state & kMove) {
    if (CGXControl* c = control()) move(c);
    if (!OverPressCell(g, row, col, pr, pc)) *dragMoved = TRUE;
  } else if (state & kUp) {
    if (CGXControl* c = control())
      up(c);
    else
      clicked(pr, pc);
    CGXControl* c = control();
    if (!*dragMoved && c) {
      if (g.BringCellIntoView(pr, pc, GX_UPDATENOW)) c->Refresh();
    } else if (g.GetParam() && g.GetParam()->TestClickFlags(3)) {
      // A release away from the press cell makes the release cell current.
      if (!g.MoveCurrentCellTo(row, col, GX_INVALIDATE)) return FALSE;
    }
  }
  return TRUE;
}
}  // namespace

BOOL CGXGridCore::OnLButtonCell(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, int x, int y, UINT keys, WORD state) {
  return CellHandler(
      *this, pr, pc, row, col, state, &m_bDragMoved, [&](CGXControl* c) { c->OnLButtonDownInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMouseMoveInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnLButtonUpInCell(keys, x, y, state); },
      [&](ROWCOL r, ROWCOL c) { OnLButtonClickedCell(r, c, keys, CPoint(x, y)); });
}

BOOL CGXGridCore::OnMButtonCell(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, int x, int y, UINT keys, WORD state) {
  return CellHandler(
      *this, pr, pc, row, col, state, &m_bDragMoved, [&](CGXControl* c) { c->OnMButtonDownInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMouseMoveInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMButtonUpInCell(keys, x, y, state); },
      [&](ROWCOL r, ROWCOL c) { OnMButtonClickedCell(r, c, keys, CPoint(x, y)); });
}

BOOL CGXGridCore::OnRButtonCell(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, int x, int y, UINT keys, WORD state) {
  return CellHandler(
      *this, pr, pc, row, col, state, &m_bDragMoved, [&](CGXControl* c) { c->OnRButtonDownInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMouseMoveInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnRButtonUpInCell(keys, x, y, state); },
      [&](ROWCOL r, ROWCOL c) { OnRButtonClickedCell(r, c, keys, CPoint(x, y)); });
}

BOOL CGXGridCore::OnCellWindowLButtonDown(ROWCOL row, ROWCOL col) {
  if (MatchesCurrentCell(row, col)) return TRUE;
  return MoveCurrentCellTo(row, col, GX_UPDATENOW);
}

BOOL CGXGridCore::OnCellWindowContextMenu(CWnd* wnd, CPoint pt) {
  HWND grid = GridHwnd();
  if (!grid) return FALSE;
  ::SendMessage(grid, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd ? wnd->GetSafeHwnd() : grid),
                MAKELPARAM(pt.x, pt.y));
  return TRUE;
}
