#include "platform/framework/CTreeCtrl.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  TVINSERTSTRUCT insert{};
  insert.hParent = hParent;
  insert.hInsertAfter = hInsertAfter;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<LPSTR>(lpszItem);
  return InsertItem(&insert);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter) {
  TVINSERTSTRUCT insert{};
  insert.hParent = hParent;
  insert.hInsertAfter = hInsertAfter;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<LPSTR>(lpszItem);
  insert.item.iImage = nImage;
  insert.item.iSelectedImage = nSelectedImage;
  return InsertItem(&insert);
}

// The control copies at most cchTextMax - 1 characters; the buffer doubles until the text fits.
CString CTreeCtrl::GetItemText(HTREEITEM hItem) const {
  for (int size = 128;; size *= 2) {
    CString text;
    TVITEM item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hItem;
    item.pszText = text.GetBuffer(size);
    item.cchTextMax = size;
    item.pszText[0] = '\0';
    if (!GetItem(&item)) {
      text.ReleaseBuffer(0);
      return text;
    }
    text.ReleaseBuffer(-1);
    if (text.GetLength() < size - 1 || size >= (1 << 20)) return text;
  }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCSTR lpszItem) {
  TVITEM item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = hItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  return SetItem(&item);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const {
  TVITEM item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = hItem;
  return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData) {
  TVITEM item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = hItem;
  item.lParam = static_cast<LPARAM>(dwData);
  return SetItem(&item);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const {
  TVITEM item{};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  item.hItem = hItem;
  if (!GetItem(&item)) return FALSE;
  nImage = item.iImage;
  nSelectedImage = item.iSelectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage) {
  TVITEM item{};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  item.hItem = hItem;
  item.iImage = nImage;
  item.iSelectedImage = nSelectedImage;
  return SetItem(&item);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const {
  TVITEM item{};
  item.mask = TVIF_STATE | TVIF_HANDLE;
  item.hItem = hItem;
  item.stateMask = nStateMask;
  return GetItem(&item) ? (item.state & nStateMask) : 0;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) {
  TVITEM item{};
  item.mask = TVIF_STATE | TVIF_HANDLE;
  item.hItem = hItem;
  item.state = nState;
  item.stateMask = nStateMask;
  return SetItem(&item);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const {
  std::memcpy(lpRect, &hItem, sizeof hItem);  // TVM_GETITEMRECT takes the item in the rectangle's first bytes
  return static_cast<BOOL>(
      SendMessage(TVM_GETITEMRECT, static_cast<WPARAM>(bTextOnly), reinterpret_cast<LPARAM>(lpRect)));
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  TVHITTESTINFO info{};
  info.pt = pt;
  HTREEITEM hit = HitTest(&info);
  if (pFlags) *pFlags = info.flags;
  return hit;
}
