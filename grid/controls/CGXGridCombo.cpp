#include "grid/controls/CGXGridCombo.h"

#include "grid/core/CGXGridGlobals.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

void CGXGridCombo::SetPopupActive(BOOL active) { CGXGridGlobals::Get().m_bPopupActive = active; }

CGXPopupActiveScope::CGXPopupActiveScope() : m_bWas(IsPopupActive()) { CGXGridCombo::SetPopupActive(TRUE); }
CGXPopupActiveScope::~CGXPopupActiveScope() { CGXGridCombo::SetPopupActive(m_bWas); }

CGXGridCombo::CGXGridCombo(CWnd* owner, CWnd* creator, const CRect& rect) : m_pOwnerWnd(owner) {
  (void)creator;
  CGXPopupActiveScope active;
  CreateEx(WS_EX_TOOLWINDOW, CGXGridGlobals::Get().m_sPopupClassName, nullptr, WS_POPUP | WS_VISIBLE,
           rect.left - 1, rect.top, rect.Width() + 1, rect.Height(), ::GetDesktopWindow(), nullptr);
}

CGXGridCombo::~CGXGridCombo() {
  if (m_hWnd) DestroyWindow();
  m_pList.reset();
  m_pBrush.reset();
}

void CGXGridCombo::AttachListBox(CWnd* list) {
  if (m_pList.get() != list) m_pList.reset(list);
}

void CGXGridCombo::SetColors(COLORREF text, COLORREF back) {
  m_pBrush = std::make_unique<CBrush>();
  m_pBrush->CreateSolidBrush(back);
  m_rgbText = text;
  m_rgbBack = back;
  m_bColors = TRUE;
}

BOOL CGXGridCombo::OnCommand(WPARAM wParam, LPARAM lParam) {
  // Only the list's commands travel on; anything else gets the window's own handling.
  if (m_pList && m_pList->m_hWnd && reinterpret_cast<HWND>(lParam) == m_pList->m_hWnd) {
    if (m_pOwnerWnd && m_pOwnerWnd->m_hWnd) m_pOwnerWnd->SendMessage(WM_COMMAND, wParam, lParam);
    return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

LRESULT CGXGridCombo::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      if (m_bColors && m_pBrush) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, m_rgbBack);
        ::SetTextColor(dc, m_rgbText);
        return reinterpret_cast<LRESULT>(m_pBrush->GetSafeHandle());
      }
      break;
    case WM_SYSCOMMAND: return 0;  // the popup cannot be moved, sized or closed from its system menu
    default: break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
