// The check-list drop-down cell (52542): a drop-down whose list ticks several items at once. The cell shows
// the first line of its choice list as a fixed caption; every further line is an item, and the value is the
// bit mask of the ticked items (bit i for item i, an empty value for none). Closing the list by any route,
// Escape included, stores the ticks; typing changes nothing.
//
// The mask is an unsigned 32-bit number, so the list shows at most the first 32 items: a tick that could
// not be stored is never offered.
#pragma once

#include <optional>

#include "grid/controls/CGXComboBox.h"
#include "platform/framework/CCheckListBox.h"

constexpr WORD GX_IDS_CTRL_CHECKLIST_COMBOBOX = 52542;

// The list of a check-list drop-down: a check list box whose closing keys and loss of focus tell the
// control's window that the list is done.
class CGXCheckListComboLBox : public CCheckListBox {
 public:
  explicit CGXCheckListComboLBox(CWnd* owner) : m_pMsgWnd(owner) {}
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CWnd* m_pMsgWnd;
  BOOL m_bKeyDown = FALSE;
  BOOL m_bLButtonDown = FALSE;
};

class CGXCheckListComboBox : public CGXComboBox {
  DECLARE_DYNAMIC(CGXCheckListComboBox)

 public:
  static constexpr int kMaxItems = 32;

  CGXCheckListComboBox(CGXGridCore* grid, UINT id, UINT listId);

  static const CGXControlClass gxClassCGXCheckListComboBox;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXCheckListComboBox; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // The control never enters the editing state.
  void SetEditingState(BOOL) override {}
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  // A pasted or replaced text goes in only as a mask of the cell's items, in its stored form; any other text,
  // and a mask that ticks an item the cell's list does not have, is refused.
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) override;
  BOOL FilterChar(UINT ch, UINT repeat, UINT flags) override;
  DWORD CalcWindowStyle(CRect& format, int& lineHeight) override;
  CWnd* CreateListBox(CWnd* popup, UINT id) override;
  void TakeListSelection(CWnd* list) override;
  void FillList(CWnd* list) override;
  int GetItemCount() const { return m_nCount; }
  // The number of items of a cell with this style: the lines of its choice list after the caption, at most
  // kMaxItems.
  int ItemCount(const CGXStyle& style) const;
  // The mask bits of the first `count` items.
  static DWORD ItemBits(int count);

  // A mask text: empty is 0; a decimal number up to 4294967295 is its value; anything else is no mask.
  static std::optional<DWORD> ParseMask(const CString& text);
  // The stored text of a mask: empty for 0, else the unsigned decimal number.
  static CString FormatMask(DWORD mask);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnCloseList();
  LRESULT OnFocusLeft();

 private:
  int m_nCount = 0;
};
