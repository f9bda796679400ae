// Window messages other than keys, mouse buttons and scrolling: cursor, size, focus, dialog codes,
// colours and settings, commands and pre-translation.
#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXPluginComponent.h"
#include "platform/framework/CWnd.h"
#include "platform/controls/winctrl.h"
#include "platform/window/winuser.h"

BOOL CGXGridCore::OnGridSetCursor(HWND wnd, UINT hitCode, UINT) {
  if (!m_bMouseKeyboard || wnd != GridHwnd() || hitCode != HTCLIENT) return FALSE;
  POINT pt;
  ::GetCursorPos(&pt);
  ::ScreenToClient(wnd, &pt);
  UpdateCursor(pt);
  return TRUE;
}

BOOL CGXGridCore::OnGridSize(UINT, int cx, int cy) {
  if (!m_bInitDone) return FALSE;
  InvalidateShownCaches();
  if (cx != m_cxLastClient || cy != m_cyLastClient) {
    m_cxLastClient = cx;
    m_cyLastClient = cy;
    m_nLastRefreshRows = m_nLastRefreshCols = GX_INVALID;
    RefreshScrollBars(TRUE, FALSE);
    InvalidateRect(nullptr, TRUE);
  }
  return TRUE;
}

BOOL CGXGridCore::OnGridShowWindow(BOOL show, UINT) {
  if (!show) {
    InvalidateShownCaches();
    m_cxLastClient = m_cyLastClient = 0;
  }
  return TRUE;
}

BOOL CGXGridCore::OnGridSettingChange(UINT flag) {
  for (auto& [id, control] : m_controls) control->OnSettingsChanged(flag);
  InvalidateRect(nullptr, TRUE);
  return TRUE;
}

void CGXGridCore::OnGridSysColorChange() {
  for (auto& [id, control] : m_controls) control->RefreshSysColors();
}

UINT CGXGridCore::OnGridGetDlgCode(UINT defaultCode) {
  UINT code = defaultCode | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
  // In a dialog, Enter and Escape go to the default button and Cancel unless the active cell control
  // wants them; outside a dialog the grid takes every key anyway.
  if (m_bInDialog) {
    CGXControl* c = ControlOfCurrentCell();
    if (c && c->GetEditingState() && c->WantsReturnAndEscape()) code |= DLGC_WANTALLKEYS;
  }
  return code;
}

BOOL CGXGridCore::OnGridKillFocus(HWND) {
  if (m_bFocusGuard) return FALSE;
  m_bFocusLost = TRUE;
  return OnGridFocusChange(FALSE);
}

BOOL CGXGridCore::OnGridSetFocus(HWND) {
  if (m_bFocusGuard) return FALSE;
  if (m_bPendingRefresh) {
    m_bPendingRefresh = FALSE;
    if (CGXControl* c = ControlOfCurrentCell()) c->Refresh();
  }
  return OnGridFocusChange(TRUE);
}

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
      const ROWCOL row = std::min<ROWCOL>(GetHeaderRows() + static_cast<ROWCOL>(std::max(n, 0)), GetRowCount());
      MoveCurrentCellTo(row, GetHeaderCols() + 1, GX_UPDATENOW | 0x08);
      if (HWND h = GridHwnd()) ::SetFocus(h);
      break;
    }
    default: break;
  }
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
