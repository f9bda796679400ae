#include "foundation/SECMenuButton.h"

#include "platform/base/ResourceTable.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/window/Menus.h"


BEGIN_MESSAGE_MAP(SECMenuButton, SECBitmapButton)
  ON_WM_LBUTTONUP()
  ON_WM_KEYUP()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

SECMenuButton::~SECMenuButton() { DestroyLoadedMenu(); }

void SECMenuButton::DestroyLoadedMenu() {
  if (m_bMenuLoaded) m_menu.DestroyMenu();
  m_bMenuLoaded = FALSE;
}

BOOL SECMenuButton::SetMenu(UINT nMenuID) {
  DestroyLoadedMenu();
  m_bMenuLoaded = m_menu.LoadMenu(nMenuID);
  return m_bMenuLoaded;
}

UINT SECMenuButton::SetupMenu(LPCSTR lpszCaption, UINT nMenuID, BOOL bRight, UINT& nBitmapID) {
  SetMenu(nMenuID);
  m_bRight = bRight;
  nBitmapID = bRight ? SEC_IDB_MENU_RIGHT : SEC_IDB_MENU_DOWN;
  return lpszCaption == nullptr || *lpszCaption == '\0' ? SEC_BMP_ONLY : SEC_BMP_RIGHT;
}

BOOL SECMenuButton::AttachButton(UINT nID, UINT nMenuID, CWnd* pParent, BOOL bRight, DWORD nExtStyle) {
  CString caption;
  if (pParent) pParent->GetDlgItemText(static_cast<int>(nID), caption);
  UINT bitmap = 0;
  const UINT align = SetupMenu(caption, nMenuID, bRight, bitmap);
  return SECBitmapButton::AttachButton(nID, align, bitmap, pParent, nExtStyle);
}

BOOL SECMenuButton::Create(LPCSTR lpszCaption, DWORD dwStyle, UINT nMenuID, const RECT& rect, CWnd* pParent,
                           UINT nID, BOOL bRight, DWORD nExtStyle) {
  UINT bitmap = 0;
  const UINT align = SetupMenu(lpszCaption, nMenuID, bRight, bitmap);
  return SECBitmapButton::Create(lpszCaption, dwStyle, align, bitmap, rect, pParent, nID, nExtStyle);
}

void SECMenuButton::SetMenuDirection(BOOL bRight) {
  m_bRight = bRight;
  LoadBitmapNamed(MAKEINTRESOURCE(SEC_IDB_MENU_DOWN + (bRight ? 1 : 0)));
  m_bitmapName.Set(MAKEINTRESOURCE(SEC_IDB_MENU_DOWN + (bRight ? 1 : 0)));
  CalcLayout();
  if (m_hWnd) Invalidate();
}

void SECMenuButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  // While the menu is up the button keeps the look it had when the menu opened.
  if (m_bDrawEnabled) SECBitmapButton::DrawItem(lpDIS);
}

BOOL SECMenuButton::PreTranslateMessage(MSG* pMsg) {
  // A key that went down while the menu was shown belongs to the menu: its key-up must not click again.
  if (pMsg->message == WM_KEYDOWN) m_bKeyUpAccepted = !m_bMenuShown;
  return SECBitmapButton::PreTranslateMessage(pMsg);
}

void SECMenuButton::OnButtonClicked() {
  const HWND self = m_hWnd;
  CRect window;
  GetWindowRect(&window);
  const CPoint at = m_bRight ? CPoint(window.right, window.top) : CPoint(window.left, window.bottom);
  m_bDrawEnabled = FALSE;
  // In a view the commands go to its frame, where the view's menu commands are routed.
  CWnd* owner = GetParent();
  if (owner && dynamic_cast<CView*>(CWnd::FromHandlePermanent(owner->m_hWnd)))
    if (CFrameWnd* frame = owner->GetParentFrame()) owner = frame;
  m_bMenuShown = TRUE;
  m_bKeyUpAccepted = FALSE;
  CMenu* popup = m_bMenuLoaded ? m_menu.GetSubMenu(0) : nullptr;
  BOOL chosen = FALSE;
  if (popup) chosen = popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, owner);
  if (!::IsWindow(self)) return;
  if (chosen) {
    // The press that closed the menu over this button must not open it again.
    MSG pending;
    ::PeekMessage(&pending, self, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE);
    m_bMenuShown = FALSE;
  }
  m_bDrawEnabled = TRUE;
  m_bHot = FALSE;
  Invalidate(FALSE);
  UpdateWindow();
}

void SECMenuButton::OnLButtonUp(UINT nFlags, CPoint point) {
  const bool click = IsReleaseAClick(point);
  const HWND self = m_hWnd;
  CButton::OnLButtonUp(nFlags, point);
  if (click && ::IsWindow(self)) {
    m_bHot = FALSE;
    OnButtonClicked();
  }
}

void SECMenuButton::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (m_bKeyUpAccepted) SECBitmapButton::OnKeyUp(nChar, nRepCnt, nFlags);
}

void SECMenuButton::OnDestroy() {
  DestroyLoadedMenu();
  SECBitmapButton::OnDestroy();
}
