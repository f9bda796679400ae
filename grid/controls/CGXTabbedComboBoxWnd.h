// The tabbed combo-box window cell (52539 a drop-down box, 52540 a drop-down list): the combo-box window
// cell whose items are the rows of a tab-separated choice list, drawn in aligned columns, with the header
// bar of column titles over the dropped list. The key column's field is stored, the text column's shown;
// the box's edit shows only a row's display field and completes what the user types. No unique choice-list
// ids here: every translation searches the cell's list.
//
// Call flow:
//   InitForCell -> settings -> FillFromChoiceList (rows, measured columns, width rule) -> SetEditedValue
//   the dropped list asks the grid for its colours -> OnGridMessageExtra: the list widened to the columns,
//     kept on the monitor, the header bar above its rows or above it
//   typing in the edit -> CGXTabbedCBEditWnd: the first row beginning with the text completes it, or the
//     character is refused
//   Escape -> the list closes and, when the grid agrees, the edit is discarded
#pragma once

#include <memory>

#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedLBoxHeader.h"

constexpr WORD GX_IDS_CTRL_TABBED_CBS_DROPDOWN = 52539, GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST = 52540;

class CGXTabbedComboBoxWnd;

// The box's edit: shows a row's first field only and completes typed text from the rows.
class CGXTabbedCBEditWnd : public CEdit {
 public:
  explicit CGXTabbedCBEditWnd(CGXTabbedComboBoxWnd* box) : m_pBox(box) {}

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnChar(UINT ch, WPARAM wParam, LPARAM lParam);

 private:
  CGXTabbedComboBoxWnd* m_pBox;
};

class CGXTabbedComboBoxWnd : public CGXComboBoxWnd {
  DECLARE_DYNAMIC(CGXTabbedComboBoxWnd)
  friend class CGXTabbedCBEditWnd;

 public:
  explicit CGXTabbedComboBoxWnd(CGXGridCore* grid);
  ~CGXTabbedComboBoxWnd() override;
  // The button child and the owner-drawn box over the grid, its edit child subclassed.
  BOOL CreateComboBox(DWORD style, UINT id);
  static void RegisterUserAttributes(CGXStylesMap* map);

  static const CGXControlClass gxClassCGXTabbedComboBoxWnd;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXTabbedComboBoxWnd; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // ---- Control part ----------------------------------------------------------------------------------
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL ValidateValue() override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void GetEditText(CString& out) const override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& value) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  BOOL ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                        const CGXStyle* current) override;
  void HideWindowPart() override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  void OnChildClicked(CGXChild* child) override;
  BOOL OnGridMessageExtra(CDC* dc, CWnd* wnd, UINT kind) override;
  BOOL AcceptsText(const CString& text) override;

  // ---- Window part -----------------------------------------------------------------------------------
  BOOL ProcessGridKey(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;
  int CompareItem(LPCOMPAREITEMSTRUCT) override { return -1; }
  void AdjustWindowRect(CRect& rect) override;
  void SetDroppedHeight();
  void FillFromChoiceList();
  void SetReadOnlyState(BOOL readOnly);
  // A click in a cell of a box that opens on click: editing, then the list.
  void TabbedActivateAndDropDown();

  const GXTabbedLayout& Layout() const { return m_layout; }
  CGXTabbedLBoxHeader* Header() const { return m_pHeader.get(); }
  CGXTabbedCBEditWnd& TabbedEdit() { return m_tabbedEdit; }

  COLORREF m_rgbSeparator = RGB(192, 192, 192);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void HideHeader();
  // The row (item) whose display field is the text: equal first, then beginning with it; -1 when none.
  int FindRow(const CString& text) const;
  CString ItemText(int index) const;
  // Posts a click at the button's place of the box: it opens its list.
  void PostClickAtButton(const CRect& button, const CRect& inner);

  GXTabbedSettings m_settings;
  COLORREF m_rgbListBack = RGB(255, 255, 255), m_rgbListText = RGB(0, 0, 0);
  CRect m_rectList;
  CGXTabbedCBEditWnd m_tabbedEdit{this};
  GXTabbedLayout m_layout;
  std::unique_ptr<CGXTabbedLBoxHeader> m_pHeader;
  CString m_strAdding;
  static BOOL s_bPlacing;
};
