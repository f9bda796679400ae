// The current cell: storing it, moving it (leave the old cell: validate, store, notify; enter the new
// one: bind its control, draw, scroll), completing and cancelling edits, warnings.
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXShownCells.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/window/windowapi.h"

namespace {
// The store hint: other views end or check their current edits; their answers are ANDed into its result.

// What the user left in a cell's editor: a refused store re-initialises the control from the cell it did not
// change, and the editor is given back as it was (bound, editing, modified, the text with its selection's
// anchor and caret).
struct EditorAsLeft {
  explicit EditorAsLeft(const CGXControl& c) {
    c.GetEditText(text);
    hasSelection = c.GetEditSelection(anchor, caret);
  }
  void GiveBack(CGXControl& c, ROWCOL row, ROWCOL col) const {
    c.HideWindowPart();
    if (!c.IsInitialized()) c.InitForCell(row, col);
    c.SetEditingState(TRUE);
    c.SetModifiedState(TRUE);
    c.SetEditText(text);
    if (hasSelection) c.SetEditSelection(anchor, caret);
  }

  CString text;
  int anchor = 0, caret = 0;
  BOOL hasSelection = FALSE;
};
}  // namespace

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
  return const_cast<CGXGridCore*>(this)->CurrentControl();
}

CGXControl* CGXGridCore::CurrentControl() {
  ROWCOL row, col;
  if (m_bPrinting || !QueryCurrentCell(&row, &col)) return nullptr;
  // Dropped when its control was removed from the grid.
  if (!m_pCurrentControl) m_pCurrentControl = ControlForCell(row, col);
  return m_pCurrentControl;
}

// Released after a completed edit: the cell's style may name another control now. The next one is fetched
// at once, so that code holding on to the current control never finds none while a current cell exists.
void CGXGridCore::ReleaseCurrentControl() {
  m_currentCell.Reset();
  m_pCurrentControl = nullptr;
  ROWCOL row, col;
  if (QueryCurrentCell(&row, &col, TRUE)) m_pCurrentControl = ControlForCell(row, col);
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
  // The new cell's style is composed once into the style cache while the cell is not yet current; the
  // current-cell object holds it from the first lookup made once it is.
  m_nCurrentRow = m_nCurrentCol = 0;
  m_currentCell.Reset();
  if (row != 0 || col != 0) GetCachedCellStyle(row, col);
  m_nCurrentRow = row;
  m_nCurrentCol = col;
  // The parameter object mirrors it in its run-time members (never archived), so another grid initialised
  // on the same object starts on this cell when the object asks for an initial current cell.
  if (m_pParam) {
    m_pParam->m_nInitialCurrentRow = row;
    m_pParam->m_nInitialCurrentCol = col;
  }
}

void CGXGridCore::NotifyCellObservers() {
  for (CGXGridCellObserver* observer : CGXGridGlobals::Get().m_pCellObservers)
    if (observer) observer->OnCurrentCellNotice(this);
}

void CGXGridCore::OnControlInitialized(ROWCOL row, ROWCOL col) {
  NotifyCellObservers();
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

BOOL CGXGridCore::IsCellShown(ROWCOL row, ROWCOL col) { return CGXShownCells(*this).IsShown(row, col); }

void CGXGridCore::DropTypedAhead(HWND focus) {
  MSG msg;
  while (focus && ::PeekMessage(&msg, focus, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
}

// After a refused validation or store the focus goes back to the window that had it (an editing control's
// own window), and the grid notes that it holds the focus when it does.
void CGXGridCore::GiveFocusBack(HWND focus, BOOL editing) {
  if (editing && focus && ::IsWindow(focus) && ::IsWindowVisible(focus)) ::SetFocus(focus);
  HWND h = GridHwnd(), now = ::GetFocus();
  if (h && now && (now == h || ::IsChild(h, now))) m_bHasFocus = TRUE;
}

// A stored value may change other cells (a computing store): they repaint, other views hear of it, and
// a message of the store becomes the pending warning. No message box here: the warning shows once, from
// the caller.
void CGXGridCore::RefreshAfterStoredValue() {
  // The store hears of the change first (it prepares its message), then recalculates.
  DataObjectNotice();
  DataObjectRecalc();
  RedrawChangedCells(FALSE, nullptr, TRUE);
}

// With the header-marking switch a header shows whether its row or column holds the current cell (bold
// text, marks against the selection), so the headers of a cell that stops or starts being current are
// repainted with it: the row's headers unless only the column changed (kind 1), the column's unless only
// the row changed (kind 2), none for the same cell (-1). A mark-edit-header feature may repaint more.
void CGXGridCore::RedrawCurrentHeaders(ROWCOL row, ROWCOL col, int kind) {
  if (!m_pParam || !m_pParam->m_bHeaderMarking || kind == -1) return;
  if (row > GetRowCount() || col > GetColCount()) return;
  const ROWCOL hr = GetHeaderRows(), hc = GetHeaderCols();
  if (kind != 1 && row > hr) RedrawRange(row, 0, row, hc, GX_INVALIDATE);
  if (kind != 2 && col > hc) RedrawRange(0, col, hr, col, GX_INVALIDATE);
}

void CGXGridCore::LeaveCurrentCellForMove(CGXControl* c, ROWCOL row, ROWCOL col, UINT flags, int kind,
                                          BOOL* refused) {
  const ROWCOL oldRow = m_nCurrentRow, oldCol = m_nCurrentCol;
  const EditorAsLeft asLeft(*c);
  const BOOL modified = c->GetModifiedState();
  const BOOL editing = c->GetEditingState();
  // Flags below are restored on every path, also when the control's Validate or Store throws: a grid left
  // "validation busy" would never validate or store an edit on a focus loss again.
  CGXFlagScope busy(m_bValidationBusy, TRUE);
  CGXFlagScope keepStyle(m_bKeepCurrentStyle, m_bKeepCurrentStyle);
  m_bFocusLost = FALSE;
  HWND focus = ::GetFocus(), h = GridHwnd();
  // Keys typed ahead into the editor must not reach a cell that refuses to be left, nor the next cell.
  if (editing && focus && h && ::IsChild(h, focus)) DropTypedAhead(focus);
  if (!ValidateCellChange(FALSE, row, col, oldRow, oldCol)) {
    if (m_sWarningText.IsEmpty()) GiveFocusBack(focus, editing);
    ShowWarningText();
    c->HideAndInvalidate();
    *refused = TRUE;
    return;
  }
  BOOL storeAnswer = TRUE, stored = TRUE;
  if (modified) {
    storeAnswer = c->StoreValue();
    stored = (storeAnswer & 1) != 0;
  }
  if (stored && c->IsInitialized()) stored = c->NotifyStored();
  if (modified && c->IsInitialized() && (storeAnswer & 1)) RefreshAfterStoredValue();
  if (m_sWarningText.IsEmpty()) {
    CString message;
    if (DataObjectErrorText(message)) m_sWarningText = message;
  }
  if (m_bFocusLost) m_bWarningShown = TRUE;
  if (!stored) {
    if (m_sWarningText.IsEmpty()) GiveFocusBack(focus, editing);
    ShowWarningText();
    // The old cell stays current with the editor as the user left it.
    StoreCurrentCell(TRUE, oldRow, oldCol);
    asLeft.GiveBack(*c, oldRow, oldCol);
    if (!storeAnswer)
      c->HideAndInvalidate();
    else
      RedrawCell(oldRow, oldCol, flags ? flags : GX_INVALIDATE);
    *refused = TRUE;
    return;
  }
  m_bCurrentValid = FALSE;
  if (c->IsInitialized()) c->HideWindowPart();
  c->SetEditingState(FALSE);
  const BOOL left = c->NotifyLeaveCell(row, col);
  ShowWarningText();
  if (left) {
    m_bKeepCurrentStyle = TRUE;
    MarkEditHeaders(oldRow, oldCol, kind, flags);
    RedrawCurrentHeaders(oldRow, oldCol, kind);
    // Decision: a move whose flags paint nothing still invalidates the old cell; its frame would stay on
    // the screen otherwise, since the new cell is always drawn.
    RedrawCell(oldRow, oldCol, flags ? flags : GX_INVALIDATE);
  }
  c->RedrawIfChanged();
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) UpdateWindow();
}

void CGXGridCore::SendCurrentCellHint(ROWCOL row, ROWCOL col, UINT flags) {
  if (!ParamSettings().m_bHintCurrentCellMoves || (flags & 0x40)) return;
  if (auto* h = HintSender()) h->HintCurrentCellMoved(this, row, col, (flags & ~0x08u) | 0xE0);
}

void CGXGridCore::ClearSelectionByUser() {
  if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->ClearSelection(this);
}

void CGXGridCore::SelectCellByUser(ROWCOL row, ROWCOL col) {
  if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->SelectCell(this, row, col);
}

// The current cell joins the selection: a cell outside the selection becomes the selection alone (a header
// cell only clears it).
void CGXGridCore::JoinSelection(ROWCOL row, ROWCOL col, UINT flags) {
  if (!ParamSettings().m_bCurrentCellJoinsSelection || (flags & 0x80) || !m_pParam) return;
  if (RangeListContains(row, col, m_pParam->GetSelection())) return;
  ClearSelectionByUser();
  if (row > GetHeaderRows() && col > GetHeaderCols()) SelectCellByUser(row, col);
}

BOOL CGXGridCore::MoveCurrentCellTo(ROWCOL row, ROWCOL col, UINT flags) {
  OnMoveCurrentCellHook(row, col);
  CGXRange covered;
  if (row <= GetRowCount() && col <= GetColCount() && GetCoveredCellsRowCol(row, col, covered)) {
    row = covered.top;
    col = covered.left;
  }
  ROWCOL oldRow = 0, oldCol = 0;
  const BOOL hadOld = QueryCurrentCell(&oldRow, &oldCol);
  CGXControl* oldControl = hadOld ? CurrentControl() : nullptr;
  const BOOL same = hadOld && oldRow == row && oldCol == col;
  // Which headers the header marking redraws: none for the same cell (-1), the column's (1) or the row's (2)
  // when only that changes, else both (0) - also without an old cell or from a header cell.
  int kind = 0;
  if (hadOld && oldControl && oldRow > GetHeaderRows() && oldCol > GetHeaderCols()) {
    if (same && row != 0 && col != 0)
      kind = -1;
    else if (oldRow == row)
      kind = 1;
    else if (oldCol == col)
      kind = 2;
  }
  // Moving to the cell that is being edited only brings it into view: no validation, no store. Completing
  // the edit (CompleteCellEdit) goes through the full leave instead: decision, since completing must
  // validate and store while a plain move to the same cell must not.
  if (same && oldControl && oldControl->GetEditingState() && !m_bCompletingEdit) {
    if (!BringCellIntoView(row, col, flags)) oldControl->Refresh();
  } else {
    // A refused target leaves the old cell current, bound again (the leave reset its control: without the
    // re-binding it could neither start an edit nor give its text), with its headers repainted.
    auto reenterOld = [&] {
      StoreCurrentCell(TRUE, oldRow, oldCol);
      MarkEditHeaders(oldRow, oldCol, 0, GX_UPDATENOW);
      RedrawCurrentHeaders(oldRow, oldCol, 0);
      if (CGXControl* c = CurrentControl()) {
        c->InitForCell(oldRow, oldCol);
        c->Refresh();
      }
    };
    BOOL refused = FALSE;
    if (oldControl) LeaveCurrentCellForMove(oldControl, row, col, flags, kind, &refused);
    if (refused) {
      SendCurrentCellHint(row, col, flags);
      return FALSE;
    }
    if (row > GetRowCount() || col > GetColCount()) {
      // Left (validated, stored, reset), but nothing to enter: the old cell stays current, bound again.
      if (hadOld) reenterOld();
      return FALSE;
    }
    // The old cell itself (its control no longer editing) is entered again without asking.
    if ((!same || !oldControl) && !ValidateCellChange(TRUE, row, col, oldRow, oldCol)) {
      if (hadOld && ValidateCellChange(TRUE, oldRow, oldCol, 0, 0)) reenterOld();
      return FALSE;
    }
    if (ParamSettings().m_bSkipEnterRedraw) {
      StoreCurrentCell(TRUE, row, col);
      if (CGXControl* c = CurrentControl()) c->InitForCell(row, col);
    } else {
      HWND h = GridHwnd();
      if (!(flags & 0x20) && h && ::IsWindowVisible(h) && ::GetFocus() != h) {
        CGXFlagScope guard(m_bFocusGuard, TRUE);
        ::SetFocus(h);
      }
      StoreCurrentCell(TRUE, row, col);
      CGXControl* c = CurrentControl();
      if (c) {
        c->InitForCell(row, col);
        if (flags & 0x10) c->SetEditingState(TRUE);
      }
      // The frame-drawing word 1 leaves the new cell to the next paint. Otherwise a newly entered cell
      // paints at once (decision: through the grid's own paint of that cell, which frames the current cell
      // by inversion; a control-drawn background alone would show no frame); else its control refreshes it.
      const WORD frameWord = m_pParam ? m_pParam->m_wCurrentCellFrameMode : 2;
      const WORD activate = m_pParam ? m_pParam->m_wActivateFlags : 1;
      if (frameWord != 1 && c) {
        if (c->m_wFirstData == 0 && !m_bCacheCurrentCellStyle2 && !c->GetEditingState() && !same && activate != 4)
          RedrawCell(row, col, GX_UPDATENOW);
        else
          c->HideAndInvalidate();
      }
      if (flags & 0x08) BringCellIntoView(row, col, flags);
    }
  }
  RedrawCurrentHeaders(row, col, kind);
  if (flags & (GX_UPDATENOW | GX_INVALIDATE)) UpdateWindow();
  if (kind != -1) MarkEditHeaders(row, col, kind, flags);
  SendCurrentCellHint(row, col, flags);
  JoinSelection(row, col, flags);
  return TRUE;
}

BOOL CGXGridCore::CompleteCellEdit(BOOL store, UINT flags, BOOL hint) {
  ROWCOL row, col;
  CGXControl* c = QueryCurrentCell(&row, &col) ? CurrentControl() : nullptr;
  if (!c) return TRUE;
  BOOL result = TRUE;
  if (!store) {
    if (!m_bKeepCurrentStyle) ReleaseCurrentControl();
    if (c->GetEditingState()) result = c->NotifyEditEnd();
    c->InitForCell(row, col);
    c->Refresh();
    c->NotifyEditCancel();
  } else {
    if (c->GetEditingState()) {
      CGXFlagScope completing(m_bCompletingEdit, TRUE);
      result = MoveCurrentCellTo(row, col, flags);
    }
    if (!m_bKeepCurrentStyle) ReleaseCurrentControl();
  }
  // Other views end or check their edits too; each answer counts.
  if (auto* h = hint ? HintSender() : nullptr) result = h->HintCheckCurrentCell(this, store, flags) && result;
  return result;
}

void CGXGridCore::SaveCurrentCellEdit(BOOL validate) {
  ROWCOL row, col;
  CGXControl* c = QueryCurrentCell(&row, &col) ? CurrentControl() : nullptr;
  if (!c) return;
  if (validate && ValidateCellChange(FALSE, row, col, row, col) && c->GetModifiedState()) c->StoreValue();
  c->RedrawIfChanged();
}

void CGXGridCore::HideCurrentCellWindow() {
  if (CGXControl* c = ControlOfCurrentCell()) c->HideWindowPart();
}

void CGXGridCore::SetWarningText(LPCSTR text) { m_sWarningText = text ? text : ""; }

void CGXGridCore::ShowWarningText() {
  if (m_sWarningText.IsEmpty()) return;
  CGXFlagScope busy(m_bValidationBusy, TRUE);
  HWND focus = ::GetFocus();
  DropTypedAhead(focus);
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
}

BOOL CGXGridCore::ValidateCurrentCellNow(BOOL skip) {
  if (skip) return TRUE;
  CGXFlagScope busy(m_bValidationBusy, TRUE);
  BOOL ok = TRUE;
  if (CurrentCellIsActive()) {
    CGXControl* c = CurrentControl();
    HWND focus = ::GetFocus(), h = GridHwnd();
    if (focus && h && (focus == h || ::IsChild(h, focus))) DropTypedAhead(focus);
    if (!c->ValidateValue()) {
      if (m_sWarningText.IsEmpty()) GiveFocusBack(focus, c->GetEditingState());
      ShowWarningText();
      m_bPendingRefresh = TRUE;
      ok = FALSE;
    }
  }
  return ok;
}

// A sheet that is left is hidden, and its focus loss would store the edit where a refusal can no longer keep
// the sheet (the editor dropped the text and the store's message came up at a later move). The edit is stored
// here instead, as Return stores it: a value its cell refuses keeps the sheet, with the store's message and
// the editor as the user left it.
BOOL CGXGridCore::AllowSheetChange(GXSheetChange change) {
  if (change == GXSheetChange::activate) return TRUE;
  if (!ValidateCurrentCellNow(FALSE)) return FALSE;
  CGXControl* c = CurrentCellIsActive() ? CurrentControl() : nullptr;
  if (!c || !c->GetModifiedState()) return TRUE;
  return CompleteCellEdit(TRUE, GX_INVALIDATE, FALSE);
}

BOOL CGXGridCore::OnGridFocusChange(BOOL gained) {
  HWND h = GridHwnd();
  if (h) ::SendMessage(h, WM_CANCELMODE, 0, 0);
  if (!gained && m_bValidationBusy) return FALSE;
  if (gained) CGXGridGlobals::Get().m_pActiveGrid = this;
  m_bHasFocus = gained;
  if (m_bValidationBusy || m_bLockFocus || !m_bMouseKeyboard || !m_pParam) return FALSE;
  if (!gained && h) ::SendMessage(h, WM_CANCELMODE, 0, 0);
  BOOL result = TRUE;
  ROWCOL row, col;
  // While a cell's drop-down popup is shown, the focus moves to the popup and back: the cell stays as it is.
  CGXControl* c = QueryCurrentCell(&row, &col) && !IsPopupActive() ? CurrentControl() : nullptr;
  if (c) {
    if (!gained) {
      if (c->IsInitialized()) {
        const BOOL modified = c->GetModifiedState();
        const EditorAsLeft asLeft(*c);
        BOOL ok = ValidateCellChange(FALSE, row, col, row, col);
        BOOL storeAnswer = TRUE;
        if (ok && modified) ok = (storeAnswer = c->StoreValue()) & 1;
        if (!(storeAnswer & 1)) {
          // As for a value that fails validation, a focus loss shows no box (it would take the focus back from
          // the window just clicked): the editor keeps what the user left, and the next move stores it again,
          // refused then with its message. This store's message is taken, so that it does not come up later.
          CString message;
          DataObjectErrorText(message);
          asLeft.GiveBack(*c, row, col);
          if (!storeAnswer)
            c->HideAndInvalidate();
          else
            RedrawCell(row, col, GX_INVALIDATE);
        }
        if (ok) ok = c->NotifyStored();
        if (ok && modified) c->AskGridFirstHook();
        if (ok) {
          c->SetEditingState(FALSE);
          c->SetModifiedState(FALSE);
          c->Refresh();
          if (modified) RefreshAfterStoredValue();
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
  if (result && gained) NotifyCellObservers();
  return result;
}
