// CCheckListBox: an owner-drawn list box with a check box before each item.
//
// The states (0 unchecked, 1 checked, 2 indeterminate) are kept beside the items, in step with every insertion
// and deletion that reaches the window, so item data stays the caller's. A click on an item's box or Space on
// the caret item toggles it (BS_AUTO3STATE cycles through the third state) and tells the parent with
// WM_COMMAND CLBN_CHKCHANGE. The list must be owner-drawn; Create adds LBS_OWNERDRAWFIXED | LBS_HASSTRINGS when
// no owner-draw style is given.
#pragma once

#include <vector>

#include "platform/framework/CListBox.h"

constexpr UINT CLBN_CHKCHANGE = 40;

class CCheckListBox : public CListBox {
  DECLARE_DYNAMIC(CCheckListBox)

 public:
  CCheckListBox() = default;

  using CListBox::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE or BS_AUTO3STATE; the automatic ones toggle on clicks and Space.
  void SetCheckStyle(UINT nStyle) { m_nStyle = nStyle; }
  UINT GetCheckStyle() const { return m_nStyle; }
  // Out-of-range indexes are ignored (and read as 0).
  void SetCheck(int nIndex, int nCheck);
  int GetCheck(int nIndex) const;

  // Draws the item's text (the box is already drawn left of lpDrawItemStruct->rcItem).
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  // At least as tall as the box.
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  static constexpr int kBoxSize = 13;
  static constexpr int kBoxCell = kBoxSize + 4;  // the box and its margin, left of each item
  void Toggle(int nIndex);
  void InvalidateCheck(int nIndex);

  std::vector<int> m_checks;  // one state per item, in item order
  UINT m_nStyle = BS_AUTOCHECKBOX;
};
