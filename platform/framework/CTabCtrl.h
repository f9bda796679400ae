// CTabCtrl: the tab control.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CWnd.h"

class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)

 public:
  CTabCtrl() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
  BOOL GetItem(int nItem, TCITEM* pTabCtrlItem) const {
    return static_cast<BOOL>(
        SendMessage(TCM_GETITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL SetItem(int nItem, TCITEM* pTabCtrlItem) {
    return static_cast<BOOL>(
        SendMessage(TCM_SETITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  LONG InsertItem(int nItem, TCITEM* pTabCtrlItem) {
    return static_cast<LONG>(
        SendMessage(TCM_INSERTITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  LONG InsertItem(int nItem, LPCSTR lpszItem) {
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(nItem, &item);
  }
  BOOL DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(nItem))); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
  BOOL GetItemRect(int nItem, LPRECT lpRect) const {
    return static_cast<BOOL>(
        SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
  }
  int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
  int SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem))); }
  int GetCurFocus() const { return static_cast<int>(SendMessage(TCM_GETCURFOCUS)); }
  void SetCurFocus(int nItem) { SendMessage(TCM_SETCURFOCUS, static_cast<WPARAM>(nItem)); }
  int HitTest(TCHITTESTINFO* pHitTestInfo) const {
    return static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
  }
  // bLarger TRUE: the window rectangle for a display area; FALSE: the display area of a window rectangle.
  void AdjustRect(BOOL bLarger, LPRECT lpRect) {
    SendMessage(TCM_ADJUSTRECT, static_cast<WPARAM>(bLarger), reinterpret_cast<LPARAM>(lpRect));
  }
  CImageList* GetImageList() const {
    return CImageList::FromHandlePermanent(reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST)));
  }
  // The list stays the caller's and must outlive its use here; the previous list's object, if any.
  CImageList* SetImageList(CImageList* pImageList) {
    HIMAGELIST handle = pImageList ? pImageList->GetSafeHandle() : nullptr;
    return CImageList::FromHandlePermanent(
        reinterpret_cast<HIMAGELIST>(SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(handle))));
  }
};
