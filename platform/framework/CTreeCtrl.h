// CTreeCtrl: the tree view. Items are HTREEITEM handles; texts given to the control are copied.
#pragma once

#include "platform/base/CString.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CWnd.h"

class CTreeCtrl : public CWnd {
  DECLARE_DYNAMIC(CTreeCtrl)

 public:
  CTreeCtrl() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_TREEVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  // ---- Items ---------------------------------------------------------------------------------------------
  HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct) {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(lpInsertStruct)));
  }
  HTREEITEM InsertItem(LPCSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
  HTREEITEM InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                       HTREEITEM hInsertAfter = TVI_LAST);
  BOOL DeleteItem(HTREEITEM hItem) {
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem)));
  }
  BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
  UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }
  BOOL GetItem(TVITEM* pItem) const {
    return static_cast<BOOL>(SendMessage(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
  }
  BOOL SetItem(TVITEM* pItem) {
    return static_cast<BOOL>(SendMessage(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(pItem)));
  }
  CString GetItemText(HTREEITEM hItem) const;
  BOOL SetItemText(HTREEITEM hItem, LPCSTR lpszItem);
  DWORD_PTR GetItemData(HTREEITEM hItem) const;
  BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
  BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
  BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
  BOOL ItemHasChildren(HTREEITEM hItem) const { return GetChildItem(hItem) != nullptr; }

  // ---- Navigation ----------------------------------------------------------------------------------------
  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
  }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
  HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }

  // ---- Selection, expansion, geometry --------------------------------------------------------------------
  BOOL Select(HTREEITEM hItem, UINT nCode) {
    return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
  }
  BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
  BOOL Expand(HTREEITEM hItem, UINT nCode) {
    return static_cast<BOOL>(SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)));
  }
  BOOL EnsureVisible(HTREEITEM hItem) {
    return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem)));
  }
  // The item rectangle; bTextOnly limits it to the label. The control reads the item from the rectangle.
  BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
  HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
  }
  UINT GetIndent() const { return static_cast<UINT>(SendMessage(TVM_GETINDENT)); }
  void SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
  int GetItemHeight() const { return static_cast<int>(SendMessage(TVM_GETITEMHEIGHT)); }
  CImageList* GetImageList(int nImageList) const {
    return CImageList::FromHandlePermanent(
        reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, static_cast<WPARAM>(nImageList))));
  }
  // The list stays the caller's and must outlive its use here; the previous list's object, if any.
  CImageList* SetImageList(CImageList* pImageList, int nImageList) {
    HIMAGELIST handle = pImageList ? pImageList->GetSafeHandle() : nullptr;
    return CImageList::FromHandlePermanent(reinterpret_cast<HIMAGELIST>(
        SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(nImageList), reinterpret_cast<LPARAM>(handle))));
  }
};
