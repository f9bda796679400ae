// The key dispatcher: the current cell's control first, then the grid's own keys.
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/gxkeys.h"
#include "platform/base/StringApi.h"
#include "platform/framework/CWnd.h"
#include "platform/window/windowapi.h"

BOOL CGXGridCore::NoModifierKeyDown() const { return !gx::KeyHeld(VK_CONTROL) && !gx::KeyHeld(VK_SHIFT); }

// Decision: a page move is one page per call whatever its count (a page is worked out from the rows shown
// after the previous page scrolled), so an auto-repeated Page Up / Page Down runs one page move per repeat.
// It stops early once a page move is refused or changes nothing (the last page reached), so a large repeat
// count at the grid's end costs nothing.
void CGXGridCore::MovePagesByKey(int direction, ROWCOL pages) {
  for (ROWCOL n = 0; n < pages; ++n) {
    ROWCOL row = 0, col = 0;
    const BOOL had = QueryCurrentCell(&row, &col);
    const ROWCOL top = m_nTopRow;
    if (!MoveCurrentCellByKey(direction, 1)) break;
    ROWCOL nowRow = 0, nowCol = 0;
    const BOOL has = QueryCurrentCell(&nowRow, &nowCol);
    if (had == has && row == nowRow && col == nowCol && top == m_nTopRow) break;
  }
}

BOOL CGXGridCore::ProcessKeyMessage(CWnd* source, UINT message, UINT ch, UINT repeat, UINT flags) {
  HWND h = GridHwnd();
  // 1. A mouse drag in progress: Escape cancels it; every key is swallowed.
  if (h && ::GetCapture() == h) {
    if (ch == VK_ESCAPE) ::SendMessage(h, WM_CANCELMODE, 0, 0);
    return TRUE;
  }
  // 2. The current cell's control first (unless the key comes from the control's own window).
  ROWCOL row, col;
  CGXControl* c = QueryCurrentCell(&row, &col) ? CurrentControl() : nullptr;
  if (c && (!source || source->m_hWnd == h)) {
    if (!c->IsBoundToCell(row, col)) c->InitForCell(row, col);
    // The control composes double-byte characters itself; a pair that it then declines reaches the grid
    // whole, never as a lone trail byte.
    const BOOL leadHeld = message == WM_CHAR && c->IsLeadBytePending();
    const BYTE lead = c->PendingLeadByte();
    if (c->OnKeyMessage(message, ch, repeat, flags)) {
      BringCellIntoView(row, col, GX_UPDATENOW);
      UpdateWindow();
      return TRUE;
    }
    if (leadHeld) {
      const char pair[3] = {static_cast<char>(lead), static_cast<char>(ch), 0};
      return OnGridDbcsChar(pair, repeat, flags);
    }
  }
  switch (message) {
    case WM_KEYDOWN: return OnGridKeyDown(ch, repeat, flags);
    case WM_KEYUP: return OnGridKeyUp(ch, repeat, flags);
    case WM_CHAR: {
      CString text;
      switch (ComposeDbcsChar(m_bDbcsLeadPending, m_cDbcsLead, ch, text)) {
        case GXComposedChar::single: return OnGridChar(ch, repeat, flags);
        case GXComposedChar::held: return TRUE;
        case GXComposedChar::pair: return OnGridDbcsChar(text, repeat, flags);
      }
      return FALSE;
    }
    case WM_DEADCHAR: return OnGridDeadChar(ch, repeat, flags);
    case WM_SYSKEYDOWN: return OnGridSysKeyDown(ch, repeat, flags);
    case WM_SYSKEYUP: return OnGridSysKeyUp(ch, repeat, flags);
    case WM_SYSCHAR: return OnGridSysChar(ch, repeat, flags);
    case WM_SYSDEADCHAR: return OnGridSysDeadChar(ch, repeat, flags);
    default: return FALSE;
  }
}

BOOL CGXGridCore::OnGridKeyDown(UINT ch, UINT repeat, UINT) {
  const BOOL ctrl = gx::KeyHeld(VK_CONTROL), shift = gx::KeyHeld(VK_SHIFT), alt = gx::KeyHeld(VK_MENU);
  const ROWCOL count = repeat ? repeat : 1;
  BOOL handled = TRUE;
  ROWCOL row, col;
  switch (ch) {
    case VK_UP: MoveCurrentCellByKey(ctrl ? GX_TOPROW : GX_UP, count); break;
    case VK_DOWN: MoveCurrentCellByKey(ctrl ? GX_BOTTOMROW : GX_DOWN, count); break;
    case VK_LEFT: MoveCurrentCellByKey(ctrl ? GX_LEFTCOL : GX_LEFT, count); break;
    case VK_RIGHT: MoveCurrentCellByKey(ctrl ? GX_RIGHTCOL : GX_RIGHT, count); break;
    case VK_PRIOR: MovePagesByKey(GX_MOSTTOP_PAGE, count); break;
    case VK_NEXT: MovePagesByKey(GX_MOSTBOTTOM_PAGE, count); break;
    case VK_HOME:
      if (!ctrl) return FALSE;
      MoveCurrentCellByKey(GX_TOPLEFT, 1);
      break;
    case VK_END:
      if (!ctrl) return FALSE;
      MoveCurrentCellByKey(GX_BOTTOMRIGHT, 1);
      break;
    case VK_TAB:
      if (CompleteCellEdit(TRUE, 1, TRUE)) MoveCurrentCellBy(shift ? GX_LEFT : GX_RIGHT, 1, TRUE);
      break;
    case VK_F2: {
      CGXControl* c = QueryCurrentCell(&row, &col) ? CurrentControl() : nullptr;
      if (!c) {
        if (ctrl || shift || alt) return FALSE;
        if (CompleteCellEdit(TRUE, 1, TRUE) && m_pParam && m_pParam->m_wEnterKeyAction)
          MoveCurrentCellByKey(m_pParam->m_wEnterKeyAction, 1);
        break;
      }
      if (!c->GetEditingState()) {
        CompleteCellEdit(FALSE, 2, TRUE);
        if ((c = CurrentControl()) && !c->IsCellReadOnly() && c->NotifyEditStart()) {
          c->SetEditingState(TRUE);
          c->Refresh();
        }
      } else {
        CompleteCellEdit(TRUE, 2, TRUE);
      }
      break;
    }
    case VK_RETURN:
      if (ctrl || shift || alt) return FALSE;
      if (CompleteCellEdit(TRUE, 1, TRUE) && m_pParam && m_pParam->m_wEnterKeyAction)
        MoveCurrentCellByKey(m_pParam->m_wEnterKeyAction, 1);
      break;
    case VK_ESCAPE:
      if (m_pParam && m_pParam->m_bCutPending) {
        m_pParam->m_bCutPending = FALSE;
        RedrawAll(GX_INVALIDATE);
      }
      if (CGXControl* c = QueryCurrentCell(&row, &col) ? CurrentControl() : nullptr) {
        if (c->NotifyEditEnd()) {
          c->InitForCell(row, col);
          c->Refresh();
          c->NotifyEditCancel();
        } else {
          c->Refresh();
        }
        BringCellIntoView(row, col, GX_UPDATENOW);
      }
      if (!ParamSettings().m_bCurrentCellJoinsSelection) ClearSelectionByUser();
      break;
    case VK_INSERT:
      if (ctrl) {
        if (CanCopy()) Copy();
      } else if (shift) {
        if (CanPaste()) Paste();
      } else {
        return FALSE;
      }
      break;
    case VK_DELETE:
      if (shift) {
        if (CanCut()) CutSelection();
      } else if (QueryCurrentCell(&row, &col) && CurrentControl() && !CurrentControl()->GetEditingState() &&
                 CanClear() && CurrentControl()->NotifyDelete()) {
        // The clear judges every cell of the selection on its own (CanClearCell), the current cell too: one
        // that only shows its value (a label, a button, a text the program writes) keeps it, as under a cut.
        // The current cell's control has the first word on the key.
        ClearCellsForward1(ctrl);
      }
      break;
    case VK_BACK:
      if (!ctrl) return FALSE;
      Redo();
      break;
    default: handled = FALSE; break;
  }
  if (handled) UpdateWindow();
  return handled;
}

BOOL CGXGridCore::OnGridChar(UINT ch, UINT, UINT) {
  switch (ch) {
    case 0x03: if (CanCopy()) Copy(); return TRUE;
    case 0x16: if (CanPaste()) Paste(); return TRUE;
    case 0x18: if (CanCut()) CutSelection(); return TRUE;
    case 0x1A: Undo(); return TRUE;
    case 0x12: Redo(); return TRUE;
    case 0x09:
    case 0x0D:
    case 0x7F: return TRUE;
    default: return FALSE;
  }
}

BOOL CGXGridCore::OnGridSysKeyDown(UINT ch, UINT, UINT) {
  if (ch == VK_BACK && gx::KeyHeld(VK_MENU)) {
    Undo();
    return TRUE;
  }
  return FALSE;
}
