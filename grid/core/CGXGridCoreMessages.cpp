// Window messages other than keys, mouse buttons and scrolling: cursor, size, focus, dialog codes,
// colours and settings, commands and pre-translation.
#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/CGXPluginComponent.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CScrollBar.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/controls/winctrl.h"
#include "platform/window/windowapi.h"

BOOL CGXGridCore::OnGridSetCursor(HWND wnd, UINT hitCode, UINT) {
  if (!m_bMouseKeyboard || wnd != GridHwnd() || hitCode != HTCLIENT) return FALSE;
  POINT pt;
  ::GetCursorPos(&pt);
  ::ScreenToClient(wnd, &pt);
  UpdateCursor(pt);
  return TRUE;
}

namespace {

// Whether the top-level window around the grid is maximised.
BOOL ParentFrameMaximized(HWND grid) {
  HWND root = grid ? ::GetAncestorRoot(grid) : nullptr;
  return root && root != grid && ::IsZoomed(root);
}

// The window's top-left corner in its parent's client coordinates (screen coordinates without a parent).
CPoint WindowPosInParent(HWND grid) {
  RECT r{};
  ::GetWindowRect(grid, &r);
  POINT pt{r.left, r.top};
  if (HWND parent = ::GetParent(grid)) ::ScreenToClient(parent, &pt);
  return CPoint(pt.x, pt.y);
}

}  // namespace

BOOL CGXGridCore::OnGridSize(UINT type, int cx, int cy) {
  InvalidateShownCaches();
  HWND h = GridHwnd();
  const BOOL maximized = ParentFrameMaximized(h);
  if (type != SIZE_RESTORED) {
    if (type == SIZE_MAXIMIZED && m_bInitDone) RefreshScrollBars(FALSE, FALSE);
    m_bParentWasMaximized = maximized;
    return FALSE;
  }
  if (m_bSuppressSize) {
    if (h && maximized == m_bParentWasMaximized) ::ValidateRect(h, nullptr);
    return TRUE;
  }
  const BOOL smart = !m_pParam || m_pParam->m_bSmartResize;
  const CPoint pos = h ? WindowPosInParent(h) : CPoint(0, 0);
  // Minimal repaint: the cells that were wholly shown stay; only the strips from the cell that the old
  // right (bottom) edge cut to the new edge are painted again, each at once. The remembered size is the old
  // client size less the scroll bars, so a strip also covers where a scroll bar stood.
  const int oldCx = m_cxLastClient, oldCy = m_cyLastClient;
  if (smart && h && ::GetParent(h) && oldCx > 0 && oldCy > 0 && pos == m_ptLastWindowPos &&
      !m_bInRefreshScrollBars) {
    if (maximized == m_bParentWasMaximized) {
      ::ValidateRect(h, nullptr);
      int left = 0, top = 0;
      const ROWCOL cj = HitTestClientCol(CPoint(oldCx, 0), &left);
      const ROWCOL ci = HitTestClientRow(CPoint(0, oldCy), &top);
      const int stripLeft = cj == GX_INVALID ? oldCx : left;
      const int stripTop = ci == GX_INVALID ? oldCy : top;
      if (cx != oldCx && stripLeft < cx) {
        // Right of the grid's last column the closing line sits at the old edge too. The strip reaches down
        // to the cut row, which the second strip repaints; when that one does not run (the height is
        // unchanged) it reaches the bottom, or the cut row's new part would stay unpainted.
        CRect r(cj == GX_INVALID ? std::max(0, stripLeft - 1) : stripLeft, 0, cx,
                cy != oldCy ? std::min(stripTop, oldCy) : cy);
        InvalidateRect(&r, TRUE);
        UpdateWindow();
      }
      if (cy != oldCy && stripTop < cy) {
        CRect r(0, ci == GX_INVALID ? std::max(0, stripTop - 1) : stripTop, cx, cy);
        InvalidateRect(&r, TRUE);
        UpdateWindow();
      }
    } else {
      InvalidateRect(nullptr, TRUE);
      UpdateWindow();
    }
  } else {
    InvalidateRect(nullptr, TRUE);
  }
  if (m_bMouseKeyboard && !m_bInRefreshScrollBars) {
    MeasureStandardFont();
    if (smart) UpdateWindow();
    m_nLastRefreshRows = m_nLastRefreshCols = GX_INVALID;
    RefreshScrollBars(TRUE, FALSE);
  }
  RememberClientSize(cx, cy);
  m_bParentWasMaximized = maximized;
  return TRUE;
}

void CGXGridCore::RememberClientSize(int cx, int cy) {
  HWND h = GridHwnd();
  if (h && ::IsWindowVisible(h)) {
    m_cxLastClient = cx - ::GetSystemMetrics(SM_CXVSCROLL);
    m_cyLastClient = cy - ::GetSystemMetrics(SM_CYHSCROLL);
    m_ptLastWindowPos = WindowPosInParent(h);
  } else {
    m_cxLastClient = m_cyLastClient = 0;
  }
}

BOOL CGXGridCore::OnGridShowWindow(BOOL show, UINT) {
  if (!show) {
    InvalidateShownCaches();
    m_cxLastClient = m_cyLastClient = 0;
  }
  return TRUE;
}

BOOL CGXGridCore::OnGridSettingChange(UINT flag) {
  CGXGridGlobals::Get().RefreshLocaleSettings();
  RefreshDateTimeSettings();
  for (auto& [id, control] : m_controls) control->OnSettingsChanged(flag);
  InvalidateRect(nullptr, TRUE);
  return TRUE;
}

void CGXGridCore::OnGridSysColorChange() {
  CGXSysColorTable::Refresh();
  for (auto& [id, control] : m_controls) control->RefreshSysColors();
}

UINT CGXGridCore::OnGridGetDlgCode(UINT defaultCode) {
  UINT code = defaultCode | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
  // In a dialog, Enter and Escape go to the default button and Cancel unless the active cell control
  // wants them; outside a dialog the grid takes every key anyway.
  if (m_bInDialog) {
    // Tab moves between the cells; with Ctrl held it is the dialog's, so that the keyboard can leave the grid
    // (Ctrl+Tab to the next control, Ctrl+Shift+Tab to the one before).
    if (::GetKeyState(VK_CONTROL) < 0) code &= ~static_cast<UINT>(DLGC_WANTTAB);
    CGXControl* c = ControlOfCurrentCell();
    if (c && c->GetEditingState() && c->WantsReturnAndEscape()) code |= DLGC_WANTALLKEYS;
  }
  return code;
}

BOOL CGXGridCore::OnGridKillFocus(HWND newFocus) {
  // A running auto-scroll is the plug-in's to end: it hears the focus loss itself and keeps going when the
  // request asks to be kept alive.
  m_bFocusLost = TRUE;
  if (m_bFocusGuard) return FALSE;
  // The focus moving into the grid's own children (a cell editor) keeps the grid focused.
  HWND grid = GridHwnd();
  if (newFocus && grid && (newFocus == grid || ::IsChild(grid, newFocus))) return FALSE;
  return OnGridFocusChange(FALSE);
}

BOOL CGXGridCore::OnGridSetFocus(HWND oldFocus) {
  if (m_bFocusGuard) return FALSE;
  HWND grid = GridHwnd();
  BOOL result = FALSE;
  // Coming back from one of its own children (a cell editor) the grid never lost the focus.
  if (!oldFocus || !grid || !::IsChild(grid, oldFocus)) result = OnGridFocusChange(TRUE);
  m_hLastFocus = oldFocus;
  if (m_bPendingRefresh) {
    m_bPendingRefresh = FALSE;
    if (CGXControl* c = ControlOfCurrentCell()) c->Refresh();
  }
  return result;
}

BOOL CGXGridCore::OnGridDestroy() {
  CGXFindReplaceState& find = CGXFindReplaceState::Get();
  HWND grid = GridHwnd();
  if (find.m_pFindReplaceDlg && grid && find.m_hWndFindOwner == grid) {
    // The dialog deletes itself when its window goes, so it is reached through its handle only (it may be
    // gone already) and then forgotten.
    HWND dlg = find.m_hWndFindDlg;
    find.m_pFindReplaceDlg = nullptr;
    find.m_hWndFindDlg = nullptr;
    find.m_hWndFindOwner = nullptr;
    if (dlg && ::IsWindow(dlg)) ::SendMessage(dlg, WM_CLOSE, 0, 0);
  }
  return FALSE;
}

void CGXGridCore::OnGridFindReplace(CFindReplaceDialog* dialog) {
  if (m_pFindReplaceImp) m_pFindReplaceImp->OnFindReplace(this, dialog);
}

CScrollBar* CGXGridCore::GetSharedScrollBar(int bar) const {
  HWND grid = GridHwnd();
  if (!grid || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
  const LONG_PTR style = ::GetWindowLongPtr(grid, GWL_STYLE);
  if (style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) return nullptr;
  if (!IsRegisteredParent()) return nullptr;
  HWND parent = ::GetParent(grid);
  HWND item = parent ? ::GetDlgItem(parent, bar == SB_HORZ ? 0xEA00 : 0xEA10) : nullptr;
  // Only a scroll-bar object the parent made: a temporary wrapper of the handle is no CScrollBar.
  return item ? dynamic_cast<CScrollBar*>(CWnd::FromHandlePermanent(item)) : nullptr;
}

HWND CGXGridCore::SetCapture() {
  HWND grid = GridHwnd();
  return grid ? ::SetCapture(grid) : nullptr;
}

void CGXGridCore::InvalidateGrid(BOOL erase) { InvalidateRect(nullptr, erase); }

BOOL CGXGridCore::OnGridTimer(UINT_PTR id) {
  if (id == GX_AUTOSCROLL_TIMER) {
    AutoScrollStep();
    return TRUE;
  }
  return FALSE;
}

BOOL CGXGridCore::OnGridCommand(WPARAM wParam, LPARAM lParam) {
  CGXControl* c = ControlOfCurrentCell();
  return c ? c->HandleWindowCommand(wParam, lParam) : FALSE;
}

BOOL CGXGridCore::PreTranslateGridMessage(MSG* msg) {
  HWND h = GridHwnd();
  if (!m_bMouseKeyboard || !h || !::IsWindowVisible(h)) return FALSE;
  CGXControl* c = ControlOfCurrentCell();
  return c ? c->PreTranslate(msg) : FALSE;
}

void CGXGridCore::MoveByMessage(int code, int n) {
  switch (code) {
    case 0: MoveCurrentCellByKey(GX_TOPROW, 1); break;
    case 1: MoveCurrentCellByKey(GX_UP, 1); break;
    case 2: MoveCurrentCellByKey(GX_DOWN, 1); break;
    case 3: MoveCurrentCellByKey(GX_BOTTOMROW, 1); break;
    case 4: {
      // n counts data rows from 1. A header cell never becomes current this way: n below 1, a grid
      // without data rows or without a column right of the headers leave the current cell as it is.
      const ROWCOL headerRows = GetHeaderRows(), col = GetHeaderCols() + 1;
      if (n < 1 || GetRowCount() <= headerRows || col > GetColCount()) break;
      const ROWCOL row = headerRows + std::min<ROWCOL>(static_cast<ROWCOL>(n), GetRowCount() - headerRows);
      MoveCurrentCellTo(row, col, GX_UPDATENOW | 0x08);
      if (HWND h = GridHwnd()) ::SetFocus(h);
      break;
    }
    default: break;
  }
}

void CGXGridCore::UpdateSheetName(WPARAM tab) {
  CGXAbstractTabWndInterface* tabs = CGXGridGlobals::Get().m_pTabWndInt;
  if (!tabs || !m_pParam) return;
  CString name;
  tabs->GetTabName(name, GridWnd(), static_cast<int>(tab));
  m_pParam->m_sName = name;
  if (auto* h = HintSender()) h->HintSheetText(this);
}

void CGXGridCore::SuppressSizeHandling(BOOL suppress) {
  m_bSuppressSize = suppress;
  if (!suppress) InvalidateRect(nullptr, TRUE);
}

void CGXGridCore::AddPlugin(CGXPluginComponent* plugin) {
  m_plugins.emplace_back(plugin);
  if (m_pGridWnd && m_pGridWnd->m_hWnd) plugin->PlugIn(m_pGridWnd);
}

BOOL CGXGridCore::DispatchToPlugins(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!m_bMouseKeyboard) return FALSE;
  for (auto& plugin : m_plugins) {
    plugin->HandleMessage(message, wParam, lParam, result);
    if (plugin->m_bExitMessage) return TRUE;
    if (plugin->m_bSkipDefault) return FALSE;
  }
  return FALSE;
}

HBRUSH CGXGridCore::OnGridCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
  ROWCOL row, col;
  if (!QueryCurrentCell(&row, &col)) return nullptr;
  CGXStyle style;
  ComposeCellStyle(row, col, style, TRUE);
  CGXControl* control = ControlForId(style.GetControl());
  // A control that answers "handled" has set the colours itself (a BOOL, not a brush: the grid always
  // answers with the cell's interior brush).
  if (!control || !control->OnGridMessageExtra(dc, wnd, kind)) {
    const CGXInteriorBrush& interior = style.GetInterior();
    dc->SetTextColor(style.GetTextColor());
    dc->SetBkColor(interior.GetPattern() == 0 ? interior.GetColor() : interior.GetBkColor());
  }
  CBrush* brush = LookupBrush(style.GetInterior());
  return brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr;
}

BOOL CGXGridCore::OnGridMouseActivate(CWnd* topLevel, UINT hitCode, UINT message, LRESULT* result) {
  HWND grid = GridHwnd();
  if (m_pParam && m_pParam->m_bActivateOnClick && grid && hitCode == HTCLIENT && dynamic_cast<CView*>(m_pGridWnd)) {
    HWND focus = ::GetFocus();
    if (focus != grid && !::IsChild(grid, focus)) {
      if (!focus || ::GetAncestorRoot(focus) != ::GetAncestorRoot(grid)) ::SetFocus(grid);
      *result = MA_ACTIVATEANDEAT;
      return TRUE;
    }
  }
  ROWCOL row, col;
  if (QueryCurrentCell(&row, &col))
    if (CGXControl* c = ControlOfCurrentCell()) return c->OnMouseActivate(topLevel, hitCode, message, result);
  return FALSE;
}
