#include "platform/framework/CComboBox.h"

#include "platform/framework/OwnerDrawRouting.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  const int length = GetLBTextLen(nIndex);
  if (length == CB_ERR) {
    rString.Empty();
    return;
  }
  LPSTR buffer = rString.GetBuffer(length);
  GetLBText(nIndex, buffer);
  rString.ReleaseBuffer(length);
}

// Owner-drawn combos must override these; the defaults draw and measure nothing and sort by position.
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (CWnd::OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  return plat::RouteOwnerDraw(*this, message, lParam, pResult);
}
