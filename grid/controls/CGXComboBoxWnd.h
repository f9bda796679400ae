// The combo-box window cell: a real "COMBOBOX" window moved over the cell being edited, filled with the
// cell's choice list, font and value; other cells draw as static text with a drop-down button. Two kinds:
// a drop-down box with free text (52528) and a drop-down list (52529, the item texts only).
//
// Call flow:
//   InitForCell -> box refilled from the choice list -> SetEditedValue (item text, or index + value base)
//   click / Alt+Down / a typed character -> editing state -> HideAndInvalidate -> DrawCell (the edited cell):
//     font, item height, window rectangle with room for up to 8 items -> focus moved under the focus guard
//   ActivateAndDropDown / OnChildClicked -> a posted button down and up at the box opens its list
//   WM_KEYDOWN in the box or its edit -> ProcessGridKey: the key table decides between the box and the grid
//   the box's notifications (through the grid's command forwarding) -> OnCommand: modified, or the old
//     choice put back in a read-only cell
//   StoreValue -> GetEditedValue -> the grid's set-value operation
#pragma once

#include <memory>

#include "grid/controls/CGXComboBoxButton.h"
#include "grid/controls/CGXStatic.h"
#include "grid/controls/CGXWindowCell.h"
#include "platform/framework/CComboBox.h"
#include "platform/framework/CEdit.h"
#include "platform/gdi/CFont.h"

class CGXComboBoxWnd;

constexpr WORD GX_IDS_CTRL_CBS_DROPDOWN = 52528;
constexpr DWORD GX_CBS_DROPDOWN_STYLE = 0x00200042, GX_CBS_DROPDOWNLIST_STYLE = 0x00200003;

// The box's edit child: keys go to the box's key table first; losing the focus outside the box tells the box.
class CGXComboEditPart : public CEdit {
 public:
  explicit CGXComboEditPart(CGXComboBoxWnd* box) : m_pBox(box) {}

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CGXComboBoxWnd* m_pBox;
};

class CGXComboBoxWnd : public CGXWindowCell<CComboBox, CGXStatic>, public CGXDropDownOwner {
  DECLARE_DYNAMIC(CGXComboBoxWnd)

 public:
  explicit CGXComboBoxWnd(CGXGridCore* grid);
  ~CGXComboBoxWnd() override;
  // The button child, then the box as a child of the grid window with the style and child id.
  BOOL CreateComboBox(DWORD style, UINT id);

  static const CGXControlClass gxClassCGXComboBoxWnd;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXComboBoxWnd; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // ---- Control part ----------------------------------------------------------------------------------
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL StoreValue() override;
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void GetEditText(CString& out) const override;
  void SetEditText(const CString& text) override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& text) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  // A drop-down list given an empty text keeps the cell's value (and reports success).
  BOOL StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* style) override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  void HideWindowPart() override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDblClkInCell(UINT flags, int x, int y) override;
  BOOL OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnCharInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnDbcsCharInCell(const CString& text, UINT repeat, UINT flags) override;
  BOOL OnSysKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL FindInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col, DWORD_PTR stay, DWORD_PTR select) override;
  void ReplaceSelectedText(LPCTSTR text) override;
  // A text pasted into the box being edited that it does not take (no choice of a box that takes only its
  // choices) is refused with the message of a pasted text its cell does not take.
  BOOL CanPasteText(const CString& text) override;
  BOOL PasteFromClipboard() override;
  BOOL ReplaceInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col) override;
  void GetSelectionText(CString& out) override;
  void OnChildClicked(CGXChild* child) override;
  BOOL HandleWindowCommand(WPARAM wParam, LPARAM lParam) override;
  // `inner` is the cell's text area.
  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;
  BOOL AcceptsText(const CString& text) override;
  BOOL ShowsButtonInEveryCell() const override { return m_bButtonEveryCell; }

  // ---- Window part -----------------------------------------------------------------------------------
  // The rectangle the window is moved to (unchanged here).
  virtual void AdjustWindowRect(CRect& rect) { (void)rect; }
  // A key pressed in the box or its edit: TRUE when it went to the grid (or closed the list).
  virtual BOOL ProcessGridKey(UINT ch, UINT repeat, UINT flags);
  void OpenPendingDropDown();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  // A drop-down box's non-empty window text, else the selected item's text.
  CString GetBoxText() const;
  // The box's text as its edit shows it (GetEditText: a tabbed row's display field): find, replace and a paste
  // into the box work on it.
  CString ShownEditText() const;
  // The box's text with its selection replaced by `insert`, which would start at `start`.
  CString TextWithSelectionReplaced(const CString& insert, int& start) const;
  void SetEditSel(int start, int end);
  void GetEditSel(int& start, int& end) const;
  CGXComboEditPart& EditPart() { return m_edit; }
  BOOL IsDropDownList() const { return (GetStyle() & 3) == CBS_DROPDOWNLIST; }
  // Whether a text given the cell from outside its box (a paste) must be one of the choices: a box that stores a
  // choice's line or index, and a drop-down list, which offers no free text. Such a text is refused rather than
  // stored as a value that the box could neither show nor give.
  BOOL TakesChoicesOnly() const;

  int m_nVertMargin;
  BOOL m_bFillWithChoiceList = TRUE;
  BOOL m_bWantArrowKeys = FALSE;
  BOOL m_bSizeToText = FALSE;
  int m_nIndexValue = -1;
  BOOL m_bDispChoice = FALSE;
  BOOL m_bDropDownOnClick = TRUE;
  BOOL m_bButtonEveryCell = FALSE;
  BOOL m_bButtonOnlyCurrentCell = TRUE;
  BOOL m_bKeepWindowInCell = FALSE;
  BOOL m_bNotOwnerDrawn = TRUE;
  BOOL m_bFocusFrame = TRUE;
  COLORREF m_rgbHighlightText;
  COLORREF m_rgbWndBack = RGB(255, 255, 255);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Enters editing (asking the grid first) and opens the list of a drop-down list.
  void ActivateAndDropDown();
  // Whether a cell keeps room for the button at its right.
  BOOL KeepsButtonRoom(ROWCOL row, ROWCOL col) const;
  // Puts back what the box showed when its list opened.
  void RevertToBeforeDropDown();
  int MeasureTextHeight(CDC* dc, const CGXStyle& style);
  // The item a value names, as the box selects it and draws it: by its index from the value base, or the line it
  // matches exactly, else the first it begins; -1 (no item) for an empty value or one that names none.
  int ItemOf(const CString& value) const;
  // Posts a button down and up at a point of the box: the box opens its list.
  void PostClick(CPoint pt);

  CGXComboEditPart m_edit{this};
  CGXComboBoxWndButton* m_pButton = nullptr;
  std::unique_ptr<CFont> m_pFont;
  int m_nSelStart = 0, m_nSelEnd = -1;
  BOOL m_bDropDownPending = FALSE;
  int m_nTextHeight = 0;
  CString m_strBeforeDropDown;
  int m_nIndexBeforeDropDown = -1;
  BOOL m_bDestroying = FALSE;
};
