// The current cell: storing it, moving it (leave the old cell: validate, store, notify; enter the new
// one: bind its control, draw, scroll), completing and cancelling edits, warnings.
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/window/windowapi.h"

BOOL CGXGridCore::QueryCurrentCell(ROWCOL* row, ROWCOL* col, BOOL evenWhilePrinting) const {
  if (row) *row = m_nCurrentRow;
  if (col) *col = m_nCurrentCol;
  if (m_bPrinting && !evenWhilePrinting) return FALSE;
  if (!m_bCurrentValid) return FALSE;
  if (m_nCurrentRow > GetRowCount() || m_nCurrentCol > GetColCount()) {
    const_cast<CGXGridCore*>(this)->m_bCurrentValid = FALSE;
    return FALSE;
  }
  return TRUE;
}

BOOL CGXGridCore::MatchesCurrentCell(ROWCOL row, ROWCOL col, BOOL evenWhilePrinting) const {
  ROWCOL r, c;
  if (!QueryCurrentCell(&r, &c, evenWhilePrinting)) return FALSE;
  return (row == GX_INVALID || row == r) && (col == GX_INVALID || col == c);
}

CGXControl* CGXGridCore::ControlOfCurrentCell() const {
  if (m_bPrinting || !QueryCurrentCell(nullptr, nullptr)) return nullptr;
  return m_pCurrentControl;
}

BOOL CGXGridCore::CurrentCellIsActive() const {
  CGXControl* c = ControlOfCurrentCell();
  return c && c->GetEditingState();
}

void CGXGridCore::StoreCurrentCell(BOOL set, ROWCOL row, ROWCOL col) {
  if (!set) {
    m_bCurrentValid = FALSE;
    return;
  }
  m_bCurrentValid = FALSE;
  m_pCurrentControl = nullptr;
  m_pCurrentControl = ControlForCell(row, col);
  m_bCurrentValid = TRUE;
  m_nCurrentRow = row;
  m_nCurrentCol = col;
  // Decision: the parameter object keeps no copy of the current cell. Its layout has no member for one, and
  // borrowing one of its archived words would write the current cell into every saved layout; the engine
  // alone keeps it (Initialize therefore has no initial current cell to restore either).
}

void CGXGridCore::OnControlInitialized(ROWCOL row, ROWCOL col) {
  if (row != m_nLastInitRow || col != m_nLastInitCol) OnCellChanged(row, col);
  m_nLastInitRow = row;
  m_nLastInitCol = col;
}

BOOL CGXGridCore::ValidateCellChange(BOOL target, ROWCOL row, ROWCOL col, ROWCOL oldRow, ROWCOL oldCol) {
  if (!target) {
    CGXControl* c = m_pCurrentControl && MatchesCurrentCell(oldRow, oldCol) ? m_pCurrentControl
                                                                            : ControlForCell(oldRow, oldCol);
    m_sWarningText.Empty();
    if (!c || !c->GetModifiedState()) return TRUE;
    return c->ValidateValue();
  }
  return IsCellEnterable(row, col);
}

BOOL CGXGridCore::IsCellEnterable(ROWCOL row, ROWCOL col) {
  if (row > GetRowCount() || col > GetColCount()) return FALSE;
  CGXStyle style;
  ComposeCellStyle(row, col, style, TRUE);
  return !(style.IsIncluded(GX_IN_ENABLED) && !style.GetEnabled());
}

void CGXGridCore::LeaveCurrentCellForMove(ROWCOL row, ROWCOL col, UINT flags, BOOL* refused) {
  ROWCOL oldRow = m_nCurrentRow, oldCol = m_nCurrentCol;
  CGXControl* c = m_pCurrentControl;
  CString text;
  c->GetEditText(text);
  const BOOL modified = c->GetModifiedState();
  m_bValidationBusy = TRUE;
  m_bFocusLost = FALSE;
  if (!ValidateCellChange(FALSE, row, col, oldRow, oldCol)) {
    ShowWarningText();
    c->HideAndInvalidate();
    *refused = TRUE;
    m_bValidationBusy = FALSE;
    return;
  }
  BOOL stored = TRUE;
  if (modified) stored = c->StoreValue();
  if (stored && c->IsInitialized()) stored = OnCellStored(oldRow, oldCol);
  if (m_bFocusLost) m_bWarningShown = TRUE;
  if (!stored) {
    ShowWarningText();
    StoreCurrentCell(TRUE, oldRow, oldCol);
    c->HideWindowPart();
    if (!c->IsInitialized()) c->InitForCell(oldRow, oldCol);
    c->SetEditingState(TRUE);
    c->SetModifiedState(TRUE);
    c->SetEditText(text);
    RedrawCell(oldRow, oldCol, flags);
    *refused = TRUE;
    m_bValidationBusy = FALSE;
    return;
  }
  m_bCurrentValid = FALSE;
  if (c->IsInitialized()) c->HideWindowPart();
  c->SetEditingState(FALSE);
  BOOL left = c->NotifyLeaveCell(row, col);
  ShowWarningText();
  if (left) RedrawCell(oldRow, oldCol, flags ? flags : GX_INVALIDATE);
  c->RedrawIfChanged();
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) UpdateWindow();
  m_bValidationBusy = FALSE;
}

BOOL CGXGridCore::MoveCurrentCellTo(ROWCOL row, ROWCOL col, UINT flags) {
  OnMoveCurrentCellHook(row, col);
  ROWCOL oldRow = 0, oldCol = 0;
  const BOOL hadOld = QueryCurrentCell(&oldRow, &oldCol);
  CGXControl* oldControl = hadOld ? m_pCurrentControl : nullptr;
  const BOOL same = hadOld && oldRow == row && oldCol == col;
  // Moving to the cell that is being edited only brings it into view: no validation, no store. Completing
  // the edit (CompleteCellEdit) goes through the full leave instead: decision, since completing must
  // validate and store while a plain move to the same cell must not.
  if (same && oldControl && oldControl->GetEditingState() && !m_bCompletingEdit) {
    if (!BringCellIntoView(row, col, flags)) oldControl->Refresh();
    if (flags & (GX_UPDATENOW | GX_INVALIDATE)) UpdateWindow();
    return TRUE;
  }
  BOOL refused = FALSE;
  if (oldControl) LeaveCurrentCellForMove(row, col, flags, &refused);
  if (refused) return FALSE;
  if (row > GetRowCount() || col > GetColCount()) {
    if (hadOld) StoreCurrentCell(TRUE, oldRow, oldCol);  // the old cell stays current
    return FALSE;
  }
  if (!same || !oldControl) {
    if (!ValidateCellChange(TRUE, row, col, oldRow, oldCol)) {
      if (hadOld && ValidateCellChange(TRUE, oldRow, oldCol, 0, 0)) {
        StoreCurrentCell(TRUE, oldRow, oldCol);
        if (m_pCurrentControl) {
          m_pCurrentControl->InitForCell(oldRow, oldCol);
          m_pCurrentControl->Refresh();
        }
      }
      return FALSE;
    }
  }
  HWND h = GridHwnd();
  if (!(flags & 0x20) && h && ::IsWindowVisible(h) && ::GetFocus() != h) {
    m_bFocusGuard = TRUE;
    ::SetFocus(h);
    m_bFocusGuard = FALSE;
  }
  StoreCurrentCell(TRUE, row, col);
  if (m_pCurrentControl) {
    m_pCurrentControl->InitForCell(row, col);
    if (flags & 0x10) m_pCurrentControl->SetEditingState(TRUE);
  }
  RedrawCell(row, col, GX_INVALIDATE);
  if (flags & 0x08) BringCellIntoView(row, col, flags);
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) UpdateWindow();
  return TRUE;
}

BOOL CGXGridCore::CompleteCellEdit(BOOL store, UINT flags, BOOL) {
  ROWCOL row, col;
  if (!QueryCurrentCell(&row, &col) || !m_pCurrentControl) return TRUE;
  CGXControl* c = m_pCurrentControl;
  BOOL result = TRUE;
  if (!store) {
    if (c->GetEditingState()) result = c->NotifyEditEnd();
    c->InitForCell(row, col);
    c->Refresh();
    c->NotifyEditCancel();
    return result;
  }
  if (c->GetEditingState()) {
    m_bCompletingEdit = TRUE;
    result = MoveCurrentCellTo(row, col, flags);
    m_bCompletingEdit = FALSE;
  }
  return result;
}

void CGXGridCore::SaveCurrentCellEdit(BOOL validate) {
  ROWCOL row, col;
  if (!QueryCurrentCell(&row, &col) || !m_pCurrentControl) return;
  if (validate && ValidateCellChange(FALSE, row, col, row, col) && m_pCurrentControl->GetModifiedState())
    m_pCurrentControl->StoreValue();
  m_pCurrentControl->RedrawIfChanged();
}

void CGXGridCore::HideCurrentCellWindow() {
  if (CGXControl* c = ControlOfCurrentCell()) c->HideWindowPart();
}

void CGXGridCore::SetWarningText(LPCSTR text) { m_sWarningText = text ? text : ""; }

void CGXGridCore::ShowWarningText() {
  if (m_sWarningText.IsEmpty()) return;
  m_bValidationBusy = TRUE;
  HWND focus = ::GetFocus();
  MSG msg;
  while (focus && ::PeekMessage(&msg, focus, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  ROWCOL row, col;
  if (QueryCurrentCell(&row, &col)) BringCellIntoView(row, col, GX_UPDATENOW);
  CString text = m_sWarningText;
  m_sWarningText.Empty();
  ::MessageBox(GridHwnd(), text, nullptr, MB_OK);
  m_bWarningShown = TRUE;
  if (focus && ::IsWindow(focus)) {
    ::SetFocus(focus);
    HWND h = GridHwnd();
    if (focus == h || ::IsChild(h, focus)) m_bHasFocus = TRUE;
  }
  m_bValidationBusy = FALSE;
}

BOOL CGXGridCore::ValidateCurrentCellNow(BOOL skip) {
  if (skip) return TRUE;
  m_bValidationBusy = TRUE;
  BOOL ok = TRUE;
  if (CurrentCellIsActive() && !m_pCurrentControl->ValidateValue()) {
    ShowWarningText();
    m_bPendingRefresh = TRUE;
    ok = FALSE;
  }
  m_bValidationBusy = FALSE;
  return ok;
}

BOOL CGXGridCore::OnGridFocusChange(BOOL gained) {
  HWND h = GridHwnd();
  if (h) ::SendMessage(h, WM_CANCELMODE, 0, 0);
  if (!gained && m_bValidationBusy) return FALSE;
  m_bHasFocus = gained;
  if (m_bValidationBusy || !m_bMouseKeyboard || !m_pParam) return FALSE;
  BOOL result = TRUE;
  ROWCOL row, col;
  if (QueryCurrentCell(&row, &col) && m_pCurrentControl) {
    CGXControl* c = m_pCurrentControl;
    if (!gained) {
      if (c->IsInitialized()) {
        const BOOL modified = c->GetModifiedState();
        BOOL ok = ValidateCellChange(FALSE, row, col, row, col);
        if (ok && modified) ok = c->StoreValue();
        if (ok) ok = OnCellStored(row, col);
        if (ok) {
          c->SetEditingState(FALSE);
          c->SetModifiedState(FALSE);
          c->Refresh();
        }
        result = ok;
      } else {
        RedrawCell(row, col, GX_NOSCROLL);
      }
    } else {
      if (m_pParam->m_wActivateFlags & 4) c->SetEditingState(TRUE);
      c->Refresh();
    }
  }
  if (gained) {
    MeasureStandardFont();
    RefreshScrollBars(FALSE, TRUE);
  }
  // The current cell's frame shows the focus: repaint it.
  if (QueryCurrentCell(&row, &col)) RedrawCell(row, col, GX_INVALIDATE);
  m_cxLastClient = m_cyLastClient = 0;
  return result;
}
