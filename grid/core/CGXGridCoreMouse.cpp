// Mouse buttons: one press-and-drag state machine for the three buttons. A press hit-tests the point,
// cell presses go through the button's cell handler, which moves the current cell and passes the mouse
// to the current cell's control; moves and the release follow the button recorded at the press.
#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"

namespace {
constexpr WORD kPressed = 0x0001, kDown = 0x0004, kMove = 0x0008, kUp = 0x0010, kWasOverPress = 0x0020,
               kOverPress = 0x0040, kCtrl = 0x0080, kOnCurrent = 0x0100;
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

BOOL CGXGridCore::ButtonDown(Button b, UINT keys, CPoint pt) {
  static const UINT others[] = {MK_MBUTTON | MK_RBUTTON, MK_LBUTTON | MK_RBUTTON, MK_LBUTTON | MK_MBUTTON};
  int code = 0;
  ROWCOL row = 0, col = 0;
  if (!BeginPress(keys, others[static_cast<int>(b)], pt, &code, &row, &col)) return FALSE;
  if (code == GX_SELEDGEHIT) code = GX_CELLHIT;
  if (code != GX_CELLHIT && code != GX_HEADERHIT) return FALSE;  // boundaries belong to the resize feature
  m_wPressState = kPressed;
  m_nPressRow = row;
  m_nPressCol = col;
  if (MatchesCurrentCell(row, col) && m_pCurrentControl && m_pCurrentControl->IsBoundToCell(row, col))
    m_wPressState |= kOnCurrent;
  if (keys & MK_CONTROL) m_wPressState |= kCtrl;
  m_nLastMouseRow = row;
  m_nLastMouseCol = col;
  HWND h = GridHwnd();
  if (CallCellHandler(b, row, col, row, col, pt, keys, static_cast<WORD>(m_wPressState | kDown | kOverPress))) {
    if (h && ::GetCapture() != h) ::SetCapture(h);
    // Scroll while the mouse is held outside the grid, in the directions in which the press cell scrolls.
    if (b == Button::left && m_bPressAutoScroll && m_wPressState) {
      const BOOL vertical = row > GetFrozenRows() && row > GetHeaderRows();
      const BOOL horizontal = col > GetFrozenCols() && col > GetHeaderCols();
      if (vertical || horizontal) StartAutoScroll(FALSE, vertical, horizontal);
    }
  } else {
    m_wPressState = 0;
    if (h) ::SendMessage(h, WM_CANCELMODE, 0, 0);
  }
  return TRUE;
}

BOOL CGXGridCore::OnGridLButtonDown(UINT keys, CPoint pt) { return ButtonDown(Button::left, keys, pt); }
BOOL CGXGridCore::OnGridMButtonDown(UINT keys, CPoint pt) { return ButtonDown(Button::middle, keys, pt); }
BOOL CGXGridCore::OnGridRButtonDown(UINT keys, CPoint pt) { return ButtonDown(Button::right, keys, pt); }

BOOL CGXGridCore::OnGridMouseMove(UINT keys, CPoint raw) {
  if (!m_bMouseKeyboard) return FALSE;
  if (!m_wPressState) {
    UpdateCursor(raw);
    return TRUE;
  }
  HWND h = GridHwnd();
  if (!h || ::GetCapture() != h) return FALSE;
  CPoint pt = ClampMousePoint(raw);
  ROWCOL row = 0, col = 0;
  HitTest(pt, &row, &col, nullptr);
  row = std::clamp(row, std::min(GetHeaderRows() + 1, GetRowCount()), GetRowCount());
  col = std::clamp(col, std::min(GetHeaderCols() + 1, GetColCount()), GetColCount());
  WORD state = static_cast<WORD>(m_wPressState | kMove);
  if (row == m_nPressRow && col == m_nPressCol)
    state |= kOverPress;
  else if (m_nLastMouseRow == m_nPressRow && m_nLastMouseCol == m_nPressCol)
    state |= kWasOverPress;
  Button b = (m_nPressKeys & MK_LBUTTON) ? Button::left : (m_nPressKeys & MK_MBUTTON) ? Button::middle : Button::right;
  CallCellHandler(b, m_nPressRow, m_nPressCol, row, col, pt, keys, state);
  m_nLastMouseRow = row;
  m_nLastMouseCol = col;
  return TRUE;
}

BOOL CGXGridCore::ButtonUp(Button b, UINT keys, CPoint raw) {
  HWND h = GridHwnd();
  if (b == Button::left) StopAutoScroll();
  if (!m_wPressState) return b == Button::left && h && ::GetCapture() == h;
  if (h && ::GetCapture() == h) ::ReleaseCapture();
  CPoint pt = ClampMousePoint(raw);
  ROWCOL row = 0, col = 0;
  HitTest(pt, &row, &col, nullptr);
  row = std::min(row, GetRowCount());
  col = std::min(col, GetColCount());
  WORD state = static_cast<WORD>(m_wPressState | kUp);
  if (row == m_nPressRow && col == m_nPressCol)
    state |= kUp | kOverPress;
  else if (m_nLastMouseRow == m_nPressRow && m_nLastMouseCol == m_nPressCol)
    state |= kWasOverPress;
  ROWCOL pr = m_nPressRow, pc = m_nPressCol;
  m_wPressState = 0;
  CallCellHandler(b, pr, pc, row, col, pt, keys, state);
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
  if (code != GX_CELLHIT && code != GX_HEADERHIT) return FALSE;
  BOOL bound = MatchesCurrentCell(row, col) && m_pCurrentControl && m_pCurrentControl->IsBoundToCell(row, col);
  if (b != Button::left || !bound) MoveCurrentCellTo(row, col, GX_UPDATENOW | 0x08);
  bound = MatchesCurrentCell(row, col) && m_pCurrentControl && m_pCurrentControl->IsBoundToCell(row, col);
  BOOL taken = FALSE;
  if (bound) {
    taken = b == Button::left     ? m_pCurrentControl->OnLButtonDblClkInCell(keys, pt.x, pt.y)
            : b == Button::middle ? m_pCurrentControl->OnMButtonDblClkInCell(keys, pt.x, pt.y)
                                  : m_pCurrentControl->OnRButtonDblClkInCell(keys, pt.x, pt.y);
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
  if (m_bMouseKeyboard && m_wPressState) m_wPressState = 0;
  if (m_bCutPending) {
    m_bCutPending = FALSE;
    RedrawAll(GX_INVALIDATE);
  }
  if (m_nFixedCursor) SetFixedCursor(0);
  StopAutoScroll();
  HWND h = GridHwnd();
  if (h && ::GetCapture() == h) ::ReleaseCapture();
  if (CGXControl* c = ControlOfCurrentCell()) c->ReleaseChildButtons();
  return TRUE;
}

namespace {
template <typename Down, typename Move, typename UpFn, typename Clicked>
BOOL CellHandler(CGXGridCore& g, CGXControl* current, ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, WORD state, BOOL* dragMoved, Down down, Move move, UpFn up, Clicked clicked) {
  auto conditions = [&] {
    return g.MatchesCurrentCell(pr, pc) && !g.IsPrinting() && current && current->IsBoundToCell(pr, pc);
  };
  if (state & kDown) {
    g.m_bWarningShown = FALSE;
    if (!g.MoveCurrentCellTo(pr, pc, (state & kCtrl) ? 0x84 : GX_INVALIDATE)) {
      if (g.m_bWarningShown || pr > g.GetRowCount() || pc > g.GetColCount()) return FALSE;
    }
    current = g.ControlOfCurrentCell();
    if (current && g.MatchesCurrentCell(pr, pc) && current->IsBoundToCell(pr, pc)) down(current);
    *dragMoved = FALSE;
  } else if (state & kMove) {
    if (conditions()) move(current);
    if (row != pr || col != pc) *dragMoved = TRUE;
  } else if (state & kUp) {
    if (conditions())
      up(current);
    else
      clicked();
  }
  return TRUE;
}
}  // namespace

BOOL CGXGridCore::OnLButtonCell(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, int x, int y, UINT keys, WORD state) {
  return CellHandler(
      *this, m_pCurrentControl, pr, pc, row, col, state, &m_bDragMoved,
      [&](CGXControl* c) { c->OnLButtonDownInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMouseMoveInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnLButtonUpInCell(keys, x, y, state); },
      [&] { OnLButtonClickedCell(pr, pc, keys, CPoint(x, y)); });
}

BOOL CGXGridCore::OnMButtonCell(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, int x, int y, UINT keys, WORD state) {
  return CellHandler(
      *this, m_pCurrentControl, pr, pc, row, col, state, &m_bDragMoved,
      [&](CGXControl* c) { c->OnMButtonDownInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMouseMoveInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMButtonUpInCell(keys, x, y, state); },
      [&] { OnMButtonClickedCell(pr, pc, keys, CPoint(x, y)); });
}

BOOL CGXGridCore::OnRButtonCell(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, int x, int y, UINT keys, WORD state) {
  return CellHandler(
      *this, m_pCurrentControl, pr, pc, row, col, state, &m_bDragMoved,
      [&](CGXControl* c) { c->OnRButtonDownInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnMouseMoveInCell(keys, x, y, state); },
      [&](CGXControl* c) { c->OnRButtonUpInCell(keys, x, y, state); },
      [&] { OnRButtonClickedCell(pr, pc, keys, CPoint(x, y)); });
}
