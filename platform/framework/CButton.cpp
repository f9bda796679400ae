#include "platform/framework/CButton.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (CWnd::OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  if (message != WM_DRAWITEM) return FALSE;
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  *pResult = TRUE;
  return TRUE;
}
