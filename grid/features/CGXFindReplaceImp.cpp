#include "grid/features/CGXFindReplaceImp.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXShownCells.h"
#include "grid/core/gxstrings.h"
#include "grid/features/gxexchangestrings.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/CException.h"
#include "platform/framework/CFindReplaceDialog.h"


namespace {

// The text of a cell as a search reads it (a formula cell's formula, else its display text): with the style
// of the cell being looked at when a column search set one, else the cell's composed style.
CString CellText(CGXControl* control, CGXFindReplaceState& state, ROWCOL row, ROWCOL col) {
  return control->SearchedCellText(row, col, state.m_pStyle);
}

// A match becomes the current cell without taking the focus: the user goes on working in the find dialog.
constexpr UINT kMoveToMatch = GX_UPDATENOW | 0x08 | 0x20;

BOOL HasRowsAndCols(CGXGridCore* grid) { return grid->GetRowCount() > 0 && grid->GetColCount() > 0; }

void StoreRequest(LPCTSTR text, BOOL matchCase) {
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  s.m_strFind = text ? text : "";
  s.m_bCase = matchCase;
  s.PrepareFindText();
}

}  // namespace

void CGXFindReplaceImp::OnShowFindReplaceDialog(CGXGridCore* grid, BOOL findOnly) {
  if (!HasRowsAndCols(grid)) return;
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  s.m_pGrid = grid;
  m_pLastGrid = grid;
  ROWCOL row = 0, col = 0;
  if (!grid->QueryCurrentCell(&row, &col)) {
    grid->MoveCurrentCellTo(std::min(grid->GetTopRow(), grid->GetRowCount()),
                            std::min(grid->GetLeftCol(), grid->GetColCount()));
  } else {
    grid->BringCellIntoView(row, col);
  }
  CString proposed;
  grid->SelectedTextOfCurrentCell(proposed);
  if (proposed.IsEmpty()) proposed = s.m_strFind;
  // An open dialog of the same kind comes to the front; one of the other kind makes way for a new one.
  if (s.m_pFindReplaceDlg && s.m_hWndFindDlg && ::IsWindow(s.m_hWndFindDlg)) {
    if (s.m_bFindOnly == findOnly) {
      ::ShowWindow(s.m_hWndFindDlg, SW_SHOW);
      ::SetActiveWindow(s.m_hWndFindDlg);
      return;
    }
    ::SendMessage(s.m_hWndFindDlg, WM_CLOSE, 0, 0);
  }
  s.m_pFindReplaceDlg = nullptr;
  s.m_hWndFindDlg = nullptr;
  s.m_hWndFindOwner = grid->GridHwnd();
  DWORD flags = FR_HIDEWHOLEWORD;
  if (s.m_bNext) flags |= FR_DOWN;
  if (s.m_bCase) flags |= FR_MATCHCASE;
  auto* dialog = new CFindReplaceDialog;
  if (!dialog->Create(findOnly, proposed, s.m_strReplace, flags, grid->GridWnd())) {
    // A dialog whose window was never made does not delete itself.
    delete dialog;
    return;
  }
  s.m_pFindReplaceDlg = dialog;
  s.m_hWndFindDlg = dialog->GetSafeHwnd();
  s.m_bFindOnly = findOnly;
}

void CGXFindReplaceImp::OnFindReplace(CGXGridCore* grid, CFindReplaceDialog* dialog) {
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  if (!dialog) return;
  // A dialog opened by another grid belongs to that grid.
  if (s.m_pGrid && s.m_pGrid != grid && s.m_pFindReplaceDlg == dialog) {
    s.m_pGrid->OnGridFindReplace(dialog);
    return;
  }
  if (dialog->IsTerminating()) {
    s.m_pFindReplaceDlg = nullptr;
    s.m_hWndFindDlg = nullptr;
    return;
  }
  const CString find = dialog->GetFindString();
  if (dialog->FindNext()) {
    OnFindNext(grid, find, dialog->SearchDown(), dialog->MatchCase());
  } else if (dialog->ReplaceCurrent()) {
    OnReplaceSel(grid, find, dialog->SearchDown(), dialog->MatchCase(), dialog->GetReplaceString());
  } else if (dialog->ReplaceAll()) {
    s.m_bReplaceAll = TRUE;
    OnReplaceAll(grid, find, dialog->GetReplaceString(), dialog->MatchCase());
    s.m_bReplaceAll = FALSE;
  }
}

void CGXFindReplaceImp::OnFindNext(CGXGridCore* grid, LPCTSTR text, BOOL down, BOOL matchCase) {
  if (!HasRowsAndCols(grid)) return;
  StoreRequest(text, matchCase);
  CGXFindReplaceState::Get().m_bNext = down;
  FindNext(grid, TRUE);
}

BOOL CGXFindReplaceImp::FindNext(CGXGridCore* grid, BOOL setCurrent) {
  ROWCOL row = 0, col = 0;
  if (!HasRowsAndCols(grid) || !grid->QueryCurrentCell(&row, &col)) return FALSE;
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  BOOL found = FALSE;
  {
    CGXLongOperationScope scope;
    CGXControl* control = grid->ControlOfCurrentCell();
    if (control)
      found = control->FindInCell(reinterpret_cast<DWORD_PTR>(&s), row, col, FALSE, setCurrent);
    if (!found) {
      ROWCOL r = row, c = col;
      found = grid->SearchFromCell(&r, &c, setCurrent);
    }
  }
  if (!found && setCurrent) grid->OnTextNotFound(s.m_strFind);
  return found;
}

BOOL CGXFindReplaceImp::FindTextInCell(CGXControl* control, CGXFindReplaceState& state, ROWCOL row, ROWCOL col,
                                       BOOL includeCurrent, BOOL setCurrent) {
  CGXGridCore* grid = control->Grid();
  if (!includeCurrent && grid->MatchesCurrentCell(row, col)) return FALSE;
  if (state.m_strFind.IsEmpty()) return FALSE;
  CString text = CellText(control, state, row, col);
  if (!state.m_bCase) text.MakeUpper();
  const CString& key = state.m_bCase ? state.m_strFind : state.m_strFindUpper;
  if (text.Find(key) < 0) return FALSE;
  // A current cell that refuses to be left (its edit refused with its box) stays in view.
  if (setCurrent && grid->MoveCurrentCellTo(row, col, kMoveToMatch)) grid->BringCellIntoView(row, col);
  return TRUE;
}

BOOL CGXFindReplaceImp::SearchColumn(CGXGridCore* grid, ROWCOL* rowInOut, ROWCOL* colIn, DWORD flags) {
  if (!rowInOut || !colIn) return FALSE;
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  const BOOL down = s.m_bNext;
  const ROWCOL start = *rowInOut;
  CGXShownCells shown(*grid);
  // From a covered range the search goes along the first of its columns that shows, as a move down or up does.
  const ROWCOL last = grid->GetRowCount(), col = shown.WalkedColumn(start, *colIn);
  ROWCOL row = down ? start + 1 : start - 1, cellRow = row, cellCol = col;
  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(20157), TRUE);
  const uint64_t span = (down ? (last >= start ? uint64_t{last} - start : 0) : uint64_t{start}) + 1;
  uint64_t progress = 0;
  BOOL found = FALSE;
  CGXStyle* style = grid->NewWorkStyle();
  while (row != 0 && row <= last) {
    progress += 100;
    if (scope.IsWaitDelayElapsed()) {
      GXGetLongOperationState().m_nPercentDone = static_cast<int>(std::min<uint64_t>(progress / span, 100));
      BOOL abort = FALSE;
      scope.PollAbort(abort);
      if (abort) break;
    }
    // A cell the user cannot see (in a hidden row or column, or inside a covered range) holds no match: the text
    // typed next would go into a cell nobody sees. A covered range is met once, as its top-left cell, in the
    // first column it shows through.
    if (shown.MeetsInColumn(row, col, cellRow, cellCol)) {
      style->Free();
      grid->ComposeCellStyle(cellRow, cellCol, *style);
      if (CGXControl* control = grid->ControlForId(style->GetControl())) {
        s.m_pStyle = style;
        found = control->FindInCell(reinterpret_cast<DWORD_PTR>(&s), cellRow, cellCol, TRUE, FALSE);
        s.m_pStyle = nullptr;
      }
    }
    // A match that is to become current goes on past a disabled cell, which never does: Find Next and Replace
    // stopped there again at each press and never reached the matches below it.
    if (found && flags && !grid->IsCellEnterable(cellRow, cellCol)) found = FALSE;
    if (found) break;
    row = down ? row + 1 : row - 1;
  }
  grid->ReleaseWorkStyle(style);
  if (found) {
    *rowInOut = cellRow;
    // The match is selected in its cell once it is current. A current cell that refuses to be left has
    // shown its box and stays as the user left it: selecting in the match would move to it again, and box again.
    if (flags && grid->MoveCurrentCellTo(cellRow, cellCol, kMoveToMatch) &&
        grid->MatchesCurrentCell(cellRow, cellCol)) {
      grid->BringCellIntoView(cellRow, cellCol);
      if (CGXControl* control = grid->ControlOfCurrentCell())
        control->FindInCell(reinterpret_cast<DWORD_PTR>(&s), cellRow, cellCol, TRUE, TRUE);
    }
  }
  return found;
}

void CGXFindReplaceImp::OnReplaceSel(CGXGridCore* grid, LPCTSTR text, BOOL down, BOOL matchCase, LPCTSTR replacement) {
  ROWCOL row = 0, col = 0;
  if (!HasRowsAndCols(grid) || !grid->QueryCurrentCell(&row, &col)) return;
  StoreRequest(text, matchCase);
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  s.m_strReplace = replacement ? replacement : "";
  s.m_bNext = down;
  BOOL more = FALSE;
  {
    CGXLongOperationScope scope;
    CGXControl* control = grid->ControlOfCurrentCell();
    if (control && grid->IsCellShown(row, col) &&
        control->FindInCell(reinterpret_cast<DWORD_PTR>(&s), row, col, TRUE, TRUE)) {
      // A cell the user may not change (read-only, disabled) keeps its match, as its editor refuses typing.
      control = grid->ControlOfCurrentCell();
      if (control && grid->CanChangeCell(row, col)) {
        // A replaced text the cell does not take leaves the cell as it was and says why.
        grid->SetWarningText(nullptr);
        control->ReplaceSelectedText(s.m_strReplace);
        grid->ShowWarningText();
      }
      control = grid->ControlOfCurrentCell();
      more = control && control->FindInCell(reinterpret_cast<DWORD_PTR>(&s), row, col, FALSE, TRUE);
    }
    if (!more) {
      ROWCOL r = row, c = col;
      more = grid->SearchFromCell(&r, &c, TRUE);
    }
  }
  if (!more) grid->OnTextNotFound(s.m_strFind);
}

void CGXFindReplaceImp::OnReplaceAll(CGXGridCore* grid, LPCTSTR text, LPCTSTR replacement, BOOL matchCase) {
  ROWCOL row = 0, col = 0;
  if (!HasRowsAndCols(grid) || !grid->QueryCurrentCell(&row, &col)) return;
  StoreRequest(text, matchCase);
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  s.m_strReplace = replacement ? replacement : "";
  s.m_bNext = TRUE;
  grid->CompleteCellEdit(TRUE);
  // A cell that does not take its replaced text leaves a warning; the first one is shown once at the end.
  grid->SetWarningText(nullptr);
  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(20155), TRUE);
  CGXLongOperationScope::IgnoreNestedLongOperations(TRUE);
  CGXLongOperationScope::SetRollbackOffered(TRUE);
  const BOOL transaction = s.m_bReplaceAll;
  if (transaction) grid->BeginTransaction(gx::LoadGridString(20156));
  const ROWCOL last = grid->GetRowCount();
  const uint64_t span = uint64_t{last} - row + 1;
  uint64_t progress = 0;
  BOOL replaced = FALSE, aborted = FALSE;
  CGXStyle* style = grid->NewWorkStyle();
  CGXShownCells shown(*grid);
  // The column Find Next goes along (from a covered range, the first of its columns that shows).
  col = shown.WalkedColumn(row, col);
  ROWCOL cellRow = row, cellCol = col;
  for (ROWCOL r = row; r <= last; ++r) {
    progress += 100;
    if (scope.IsWaitDelayElapsed()) {
      GXGetLongOperationState().m_nPercentDone = static_cast<int>(std::min<uint64_t>(progress / span, 100));
      BOOL abort = FALSE;
      scope.PollAbort(abort);
      if (abort) {
        aborted = TRUE;
        break;
      }
    }
    // The cells Find Next may stop at: a cell the user cannot see (in a hidden row or column, or inside a
    // covered range) keeps its match, unseen and unsaid; a covered range is met once, where it shows.
    CGXControl* control = nullptr;
    if (shown.MeetsInColumn(r, col, cellRow, cellCol)) {
      style->Free();
      grid->ComposeCellStyle(cellRow, cellCol, *style);
      control = grid->ControlForId(style->GetControl());
    }
    if (control) {
      s.m_pStyle = style;
      if (grid->CanChangeCell(*style)) {
        if (control->ReplaceInCell(reinterpret_cast<DWORD_PTR>(&s), cellRow, cellCol)) replaced = TRUE;
      } else if (grid->GetWarningText().IsEmpty() &&
                 control->FindInCell(reinterpret_cast<DWORD_PTR>(&s), cellRow, cellCol, TRUE, FALSE)) {
        // A match in a cell the user may not change (read-only, disabled) stays, and the end says why: as for a
        // cell that may not be cleared where the replacement would leave it empty.
        CString text = CellText(control, s, cellRow, cellCol);
        gx::ReplaceAllFrom(text, 0, s.m_strFind, s.m_strReplace, s.m_bCase);
        grid->SetWarningText(
            gx::LoadGridString(text.IsEmpty() ? GX_IDS_REPLACE_KEPT : GX_IDS_REPLACE_UNCHANGEABLE));
      }
      s.m_pStyle = nullptr;
    }
    if (r == GX_MAXROWCOL) break;
  }
  grid->ReleaseWorkStyle(style);
  GXGetLongOperationState().m_nPercentDone = -1;
  CGXLongOperationScope::IgnoreNestedLongOperations(FALSE);
  const BOOL refused = !grid->GetWarningText().IsEmpty();
  if (!aborted) {
    if (!replaced && !refused) grid->OnTextNotFound(s.m_strFind);
    if (transaction) grid->CommitTransaction();
  } else if (transaction) {
    if (CGXLongOperationScope::IsRollbackRequested())
      grid->RollbackTransaction();
    else
      grid->CommitTransaction();
  }
  // Decision: an abort without a transaction keeps what was replaced and ends here; it does not throw to
  // callers that cannot expect it.
  CGXLongOperationScope::SetRollbackOffered(FALSE);
  // Formulas on the replaced cells follow them, as they follow a typed value.
  if (replaced) GXRecomputeAfterStores(grid, true);
  grid->RedrawAll(GX_INVALIDATE);
  if (refused) grid->ShowWarningText();
}

BOOL CGXFindReplaceImp::ReplaceAllInCell(CGXControl* control, CGXFindReplaceState& state, ROWCOL row, ROWCOL col) {
  CString text = CellText(control, state, row, col);
  // The text grows as it needs: no fixed work buffer, however long the cell.
  if (!gx::ReplaceAllFrom(text, 0, state.m_strFind, state.m_strReplace, state.m_bCase)) return FALSE;
  // Taken only as the cell takes a replaced text (a list cell's choice ...).
  CGXStyle composed;
  if (!state.m_pStyle) control->Grid()->ComposeCellStyle(row, col, composed, TRUE);
  return control->StoreReplacedText(text, row, col, state.m_pStyle ? *state.m_pStyle : composed, TRUE);
}

void CGXFindReplaceImp::FindReplaceForward0(CGXGridCore* grid, const GXForwardArgs& a) {
  OnShowFindReplaceDialog(grid, static_cast<BOOL>(a.v[0]));
}

void CGXFindReplaceImp::SetFindRequest(CGXGridCore* grid, LPCTSTR text, BOOL down, DWORD matchCase) {
  OnFindNext(grid, text, down, matchCase != 0);
}

void CGXFindReplaceImp::FindReplaceForward5(CGXGridCore* grid, const GXForwardArgs& a) {
  OnReplaceSel(grid, reinterpret_cast<LPCTSTR>(a.v[0]), static_cast<BOOL>(a.v[1]), static_cast<BOOL>(a.v[2]),
               reinterpret_cast<LPCTSTR>(a.v[3]));
}

void CGXFindReplaceImp::FindReplaceForward6(CGXGridCore* grid, const GXForwardArgs& a) {
  OnReplaceAll(grid, reinterpret_cast<LPCTSTR>(a.v[0]), reinterpret_cast<LPCTSTR>(a.v[1]), static_cast<BOOL>(a.v[2]));
}

void CGXFindReplaceImp::FindReplaceForward7(CGXGridCore* grid, const GXForwardArgs& a) {
  OnFindReplace(grid, reinterpret_cast<CFindReplaceDialog*>(a.v[0]));
}

void CGXGridCore::InstallFindReplaceImp() {
  if (!GetFindReplaceImp()) SetFeature(new CGXFindReplaceImp);
}
