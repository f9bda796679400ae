#include "foundation/SECPopupColorWell.h"

#include <algorithm>

#include "foundation/SECWellButton.h"

BEGIN_MESSAGE_MAP(SECPopupColorWell, SECColorWell)
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_LBUTTONDOWN()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BOOL SECPopupColorWell::Create(DWORD dwStyle, const CRect& buttonRect, SECWellButton* pOwner, BOOL bOther,
                               COLORREF current) {
  if (m_hWnd) DestroyWindow();
  Reset();
  m_pOwner = pOwner;
  m_bHasOther = bOther;
  CRect size;
  CalcSize(size, pOwner, 0, 0);
  const int width = size.Width() + 2, height = size.Height() + 2;  // the raised border
  int x = buttonRect.left, y = buttonRect.bottom;
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  if (x + width > screenWidth) x = buttonRect.right - width;
  if (y + height > screenHeight) y = buttonRect.top - height;
  const DWORD style = dwStyle | WS_POPUP | 0x1;
  if (!SECColorWell::Create(style, CRect(x, y, x + width, y + height), pOwner, 0, bOther)) return FALSE;
  m_cxMargin = m_cyMargin = 3;  // inside the raised border
  PlaceOtherButton();
  if (m_pOther && pOwner) m_pOther->SetFont(pOwner->GetFont(), FALSE);
  // Silent: the current colour is shown, not chosen again.
  SECWellButton* owner = m_pOwner;
  m_pOwner = nullptr;
  SetColor(current);
  m_pOwner = owner;
  m_bOpen = TRUE;
  ShowWindow(SW_SHOW);
  SetFocus();
  m_bTracking = TRUE;
  SetCapture();
  return TRUE;
}

void SECPopupColorWell::Close() {
  if (!m_bOpen) return;
  m_bOpen = FALSE;
  m_bTracking = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  DestroyWindow();
}

void SECPopupColorWell::NotifyParent() {
  if (m_pOwner && m_pOwner->m_hWnd)
    m_pOwner->SendMessage(SEC_WM_COLORCHANGED, 0, static_cast<LPARAM>(GetColor()));
}

void SECPopupColorWell::SelectCell(int col, int row, int how) {
  // Hovering shows the cell under the mouse; only a choice tells the owner.
  if (how == SEC_SELECT_HOVER || how == SEC_SELECT_KEY) {
    SECWellButton* owner = m_pOwner;
    m_pOwner = nullptr;
    SECColorWell::SelectCell(col, row, how);
    m_pOwner = owner;
    return;
  }
  const HWND self = m_hWnd;
  SECColorWell::SelectCell(col, row, how);
  if (::IsWindow(self)) Close();
}

void SECPopupColorWell::OtherButtonClicked() {
  SECWellButton* owner = m_pOwner;
  Close();
  if (owner && owner->m_hWnd) owner->PostMessage(SEC_WM_OPENCOLORDLG);
}

void SECPopupColorWell::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  switch (nChar) {
    case VK_RETURN: SelectCell(m_nSelCol, m_nSelRow, SEC_SELECT_CHOOSE); return;
    case VK_ESCAPE: Close(); return;
    case VK_TAB:
      if (m_pOther && m_pOther->m_hWnd) m_pOther->SetFocus();
      return;
    default: SECColorWell::OnKeyDown(nChar, nRepCnt, nFlags);
  }
}

void SECPopupColorWell::OnKeyUp(UINT, UINT, UINT) {
  // Key-ups belong to the keys pressed inside; the one that opened the popup must do nothing here.
}

void SECPopupColorWell::OnLButtonDown(UINT nFlags, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point)) {
    // A press outside closes and goes on to the window under it, unless that is the owner button (whose click
    // would open the popup again).
    CPoint screen = point;
    ClientToScreen(&screen);
    const HWND owner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
    Close();
    HWND under = ::WindowFromPoint(screen);
    if (under && under != owner) {
      CPoint local = screen;
      ::ScreenToClient(under, &local);
      ::PostMessage(under, WM_LBUTTONDOWN, nFlags, MAKELPARAM(local.x, local.y));
    }
    return;
  }
  if (m_pOther && m_pOther->m_hWnd) {
    CRect other;
    m_pOther->GetWindowRect(&other);
    ScreenToClient(&other);
    if (other.PtInRect(point)) {
      OtherButtonClicked();
      return;
    }
  }
  int col, row;
  if (HitTest(point, col, row)) SelectCell(col, row, SEC_SELECT_CHOOSE);
}

void SECPopupColorWell::OnKillFocus(CWnd* pNewWnd) {
  SECColorWell::OnKillFocus(pNewWnd);
  // The focus may go to the popup's own "Other" button; anywhere else closes it.
  if (m_pOther && HwndOf(pNewWnd) == m_pOther->m_hWnd) return;
  Close();
}
