// CListBox: list boxes, including owner-drawn ones (DrawItem, MeasureItem, CompareItem and DeleteItem are
// reached through reflection of the parent's owner-draw messages).
#pragma once

#include "platform/base/CString.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)

 public:
  CListBox() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_LISTBOX, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  // ---- Items ---------------------------------------------------------------------------------------------
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  int AddString(LPCSTR lpszItem) {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
  }
  int InsertString(int nIndex, LPCSTR lpszItem) {
    return static_cast<int>(
        SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszItem)));
  }
  // Appends `count` items at the end, in their order, in one message (LB_APPENDITEMS): the index of the
  // first, or LB_ERR.
  int AppendItems(const LBAPPENDITEM* items, int count) {
    return static_cast<int>(SendMessage(LB_APPENDITEMS, static_cast<WPARAM>(count < 0 ? 0 : count),
                                        reinterpret_cast<LPARAM>(items)));
  }
  int DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex)); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int GetText(int nIndex, LPSTR lpszBuffer) const {
    return static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
  }
  // The item's text, or an empty string for an index out of range.
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const { return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex))); }
  DWORD_PTR GetItemData(int nIndex) const {
    return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
  }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
  }
  void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
  int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
  int FindString(int nStartAfter, LPCSTR lpszItem) const {
    return static_cast<int>(
        SendMessage(LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
  }
  int FindStringExact(int nIndexStart, LPCSTR lpszFind) const {
    return static_cast<int>(
        SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), reinterpret_cast<LPARAM>(lpszFind)));
  }
  int SelectString(int nStartAfter, LPCSTR lpszItem) {
    return static_cast<int>(
        SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
  }

  // ---- Selection -----------------------------------------------------------------------------------------
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
  int GetSel(int nIndex) const { return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(nIndex))); }
  int SetSel(int nIndex, BOOL bSelect = TRUE) {
    return static_cast<int>(SendMessage(LB_SETSEL, static_cast<WPARAM>(bSelect), nIndex));
  }
  int GetSelCount() const { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }
  int GetSelItems(int nMaxItems, int* rgIndex) const {
    return static_cast<int>(
        SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(nMaxItems), reinterpret_cast<LPARAM>(rgIndex)));
  }
  int SelItemRange(BOOL bSelect, int nFirstItem, int nLastItem) {
    return static_cast<int>(
        SendMessage(LB_SELITEMRANGE, static_cast<WPARAM>(bSelect), MAKELONG(nFirstItem, nLastItem)));
  }
  int GetCaretIndex() const { return static_cast<int>(SendMessage(LB_GETCARETINDEX)); }
  int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) {
    return static_cast<int>(SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(nIndex), bScroll));
  }
  int GetAnchorIndex() const { return static_cast<int>(SendMessage(LB_GETANCHORINDEX)); }
  void SetAnchorIndex(int nIndex) { SendMessage(LB_SETANCHORINDEX, static_cast<WPARAM>(nIndex)); }

  // ---- Geometry ------------------------------------------------------------------------------------------
  int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
  int SetTopIndex(int nIndex) { return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(nIndex))); }
  int GetItemRect(int nIndex, LPRECT lpRect) const {
    return static_cast<int>(SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
  }
  int GetItemHeight(int nIndex) const {
    return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
  }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), MAKELONG(cyItemHeight, 0)));
  }
  // The nearest item in the low word; the high word is 1 when the point lies outside the client area.
  UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const;

  // ---- Owner draw ----------------------------------------------------------------------------------------
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);

 protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
