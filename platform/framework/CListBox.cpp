#include "platform/framework/CListBox.h"

#include "platform/framework/OwnerDrawRouting.h"

IMPLEMENT_DYNAMIC(CListBox, CWnd)

void CListBox::GetText(int nIndex, CString& rString) const {
  const int length = GetTextLen(nIndex);
  if (length == LB_ERR) {
    rString.Empty();
    return;
  }
  LPSTR buffer = rString.GetBuffer(length);
  GetText(nIndex, buffer);
  rString.ReleaseBuffer(length);
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const {
  const DWORD answer = static_cast<DWORD>(SendMessage(LB_ITEMFROMPOINT, 0, MAKELONG(pt.x, pt.y)));
  bOutside = HIWORD(answer) != 0;
  return LOWORD(answer);
}

// Owner-drawn lists must override these; the defaults draw and measure nothing and sort by position.
void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (CWnd::OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  return plat::RouteOwnerDraw(*this, message, lParam, pResult);
}
