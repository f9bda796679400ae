#include "platform/framework/CToolTipCtrl.h"

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  return CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, HwndOf(pParentWnd), nullptr);
}

TOOLINFO CToolTipCtrl::ToolFor(CWnd* pWnd, UINT_PTR nIDTool) const {
  TOOLINFO info{};
  info.cbSize = sizeof info;
  if (nIDTool == 0 && pWnd) {
    // Id 0 names the whole window: a TTF_IDISHWND tool of its parent (or of itself at the top).
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(pWnd->m_hWnd);
    if (!info.hwnd) info.hwnd = pWnd->m_hWnd;
    info.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
  } else {
    info.hwnd = HwndOf(pWnd);
    info.uId = nIDTool;
  }
  return info;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TOOLINFO info = ToolFor(pWnd, nIDTool);
  if (lpRectTool) info.rect = *lpRectTool;
  info.lpszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO info = ToolFor(pWnd, nIDTool);
  SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO info = ToolFor(pWnd, nIDTool);
  info.lpszText = const_cast<LPSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const {
  char buffer[80] = {};  // the control copies at most 79 characters and the terminator
  TOOLINFO info = ToolFor(pWnd, nIDTool);
  info.lpszText = buffer;
  SendMessage(TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&info));
  str = buffer;
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TOOLINFO info = ToolFor(pWnd, nIDTool);
  info.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECT, 0, reinterpret_cast<LPARAM>(&info));
}

BOOL CToolTipCtrl::GetToolInfo(TOOLINFO& toolInfo, CWnd* pWnd, UINT_PTR nIDTool) const {
  toolInfo = ToolFor(pWnd, nIDTool);
  return static_cast<BOOL>(SendMessage(TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&toolInfo)));
}
