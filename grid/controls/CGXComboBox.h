// The grid's own drop-down cell: an edit cell with a drop-down button that opens a popup list
// (CGXComboListBox in a CGXGridCombo) below or above the cell, filled from the cell's choice list. Six
// variants differ only in their flag word: free text, text fitted to a choice line, or the chosen line's
// index stored (zero- or one-based), optionally shown as the line it names. The tabbed and check-list
// drop-downs derive from it and reuse its popup handling.
//
// Call flow:
//   button click / Alt+Down / ShowDropDown(TRUE)
//     -> CreateGridCombo + CreateListBox (focus guard, drop-down-in-progress) -> font and colours
//     -> FillList -> ComputeDropDownRect -> height to the items -> placed on the monitor's work area
//     -> popup shown topmost, list focused (popup-active)
//   the list's key and mouse releases -> list done / list cancel / selection changed (sent to this window)
//     list done: TakeListSelection (unless read-only) -> DestroyGridCombo -> NotifyModified -> focus back
//     list cancel: DestroyGridCombo -> editing goes on, or ends without storing when the focus left
//   the list loses the focus -> list focus lost (posted) -> cancel unless the focus stayed in the grid
//   closes also on scrolling, the grid's cell-hit query, the editing state ending and the focus coming back
#pragma once

#include <memory>

#include "grid/controls/CGXComboBoxButton.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXGridCombo.h"
#include "platform/framework/CListBox.h"

// Control ids of the drop-down list cells.
constexpr WORD GX_IDS_CTRL_TEXTFIT = 52527, GX_IDS_CTRL_COMBOBOX = 52517, GX_IDS_CTRL_ZEROBASED = 52525,
               GX_IDS_CTRL_ONEBASED = 52526, GX_IDS_CTRL_ONEBASED_EX = 52531, GX_IDS_CTRL_ZEROBASED_EX = 52532;

// The variant bits.
constexpr UINT GXCOMBO_TEXTFIT = 1, GXCOMBO_NOTEXTFIT = 2, GXCOMBO_ZEROBASED = 4, GXCOMBO_ONEBASED = 8,
               GXCOMBO_DISPLAYCHOICE = 16;

// The private messages between a dropped list and its cell control's window.
constexpr UINT WM_GX_LBOXEND = 0x07AD, WM_GX_LBOXCANCEL = 0x07B8, WM_GX_LBOXCHANGED = 0x07C3,
               WM_GX_LBOXKILLFOCUS = 0x07C4;

// The dropped list: tells its owner (the cell control's window) when the user chose, cancelled, moved the
// selection or left it.
class CGXComboListBox : public CListBox {
 public:
  explicit CGXComboListBox(CWnd* owner) : m_pMsgWnd(owner) {}
  // A "COMBOLBOX" child of `parent` with the style plus WS_VISIBLE and WS_BORDER.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  CWnd* GetMsgWnd() const { return m_pMsgWnd; }
  // Forget the key and button presses seen (the list is about to be shown again).
  void ResetPresses() { m_bKeyDown = m_bLButtonDown = FALSE; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The release of a key pressed in the list: Tab, Enter, Escape or a selection move.
  virtual void OnKeyReleased(UINT key);
  BOOL OnEraseBkgnd(CDC* dc);

  CWnd* m_pMsgWnd;
  BOOL m_bKeyDown = FALSE;
  BOOL m_bLButtonDown = FALSE;
  int m_nSelAtKeyDown = -1;
  int m_nKeyDownCount = 0;
};

class CGXComboBox : public CGXEditControl, public CGXDropDownOwner {
  DECLARE_DYNAMIC(CGXComboBox)

 public:
  // `id` is the edit window's child id, `listId` the list's; `flags` the variant bits.
  CGXComboBox(CGXGridCore* grid, UINT id, UINT listId, UINT flags);
  ~CGXComboBox() override;

  static const CGXControlClass gxClassCGXComboBox;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXComboBox; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // ---- Control part ----------------------------------------------------------------------------------
  void SetEditingState(BOOL on) override;
  void InitForCell(ROWCOL row, ROWCOL col) override;
  void RedrawIfChanged() override;
  BOOL StoreValue() override;
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  BOOL GetEditedValue(CString& out) const override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // A variant whose value is one of its choices (a fitted text or a line's index) edits the cell's value: a grid
  // that keeps texts as entered marks a text as one ("'Blue" on a formula sheet), which names no choice.
  CString ValueToEdit(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // While the list is dropped: *answer (the last value, when given) = 2 and the list is cancelled.
  BOOL QueryCellHit(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c, DWORD_PTR answer) override;
  BOOL OnSysKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  void ReplaceSelectedText(LPCTSTR text) override;
  void OnChildClicked(CGXChild* child) override;
  BOOL OnGridWindowMessage(const MSG* msg) override;
  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;
  BOOL AcceptsText(const CString& text) override;
  // A text pasted into the cell being edited that it does not take (no choice of a cell that takes only its
  // choices) is refused with the message of a pasted text its cell does not take.
  BOOL CanPasteText(const CString& text) override;
  BOOL ShowsButtonInEveryCell() const override { return m_bButtonEveryCell; }

  // ---- Window part -----------------------------------------------------------------------------------
  virtual CGXGridCombo* CreateGridCombo(CWnd* owner, const CRect& rect);
  virtual CWnd* CreateListBox(CWnd* popup, UINT id);
  virtual void ShowDropDown(BOOL show);
  BOOL IsDroppedDown() const { return m_pPopup != nullptr; }
  CGXGridCombo* GetDropDownWindow() const { return m_pPopup; }
  virtual void TakeListSelection(CWnd* list);
  virtual void FillList(CWnd* list);
  // The list's rectangle in grid-client coordinates for the cell's inner rectangle.
  virtual void ComputeDropDownRect(CRect& out, const CRect& cell);
  virtual void DestroyGridCombo(CGXGridCombo* popup);
  UINT GetFlags() const { return m_nFlags; }
  // The dropped list (null while closed).
  CListBox* GetListBox() const;

  BOOL m_bFillWithChoiceList = TRUE;
  BOOL m_bButtonOnlyCurrentCell = FALSE;
  BOOL m_bButtonEveryCell = FALSE;
  DWORD m_dwListStyle = 0;
  BOOL m_bStaticActiveCell = FALSE;  // kept FALSE: no variant draws its active cell as static text
  BOOL m_bSizeToText = TRUE;
  int m_nVertMargin = 1;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The four list messages; each returns the message's result.
  virtual LRESULT OnListEnded();
  virtual LRESULT OnListCancelled(LPARAM lParam);
  virtual LRESULT OnListChanged();
  virtual LRESULT OnListKillFocus();
  // Enters editing (asking the grid) and opens the list: Alt+Down.
  BOOL DropDownFromKey();
  // The popup's list as a list box.
  CListBox* PopupList() const;
  // The inner rectangle without the button's room.
  CRect InnerRectWithoutButton();
  // Shortens the placed popup to its list's height when the list shows whole rows only.
  void FitPopupToList(CWnd* list, const CRect& placed, BOOL above);
  // The text height of the cell font, measured once per binding.
  int TextHeight(const CGXStyle& style);
  // The work area of the monitor nearest to the window.
  static CRect WorkAreaNear(HWND hwnd);
  // The list's font (the cell's at the grid's zoom) and the popup's colours (the cell's, or black on white
  // while the grid prints in black and white).
  void SetUpListLook(CWnd* list, const CGXStyle& style);
  // The cell's value as the list selects it: the edit's text while editing, else the style's value.
  CString SelectionSource() const;
  BOOL DisplaysChoice() const { return (m_nFlags & GXCOMBO_DISPLAYCHOICE) != 0; }
  BOOL FitsText() const { return (m_nFlags & GXCOMBO_TEXTFIT) != 0; }
  // Whether the cell of composed `style` takes only its choices (its value a choice's text or index).
  BOOL TakesChoicesOnly(const CGXStyle& style) const;
  // 0 or 1 for the index variants, -1 for the text ones.
  int IndexBase() const;

  UINT m_nFlags;
  UINT m_nListId;
  CGXComboBoxButton* m_pButton = nullptr;
  CGXGridCombo* m_pPopup = nullptr;
  std::unique_ptr<CFont> m_pListFont;
  int m_nTextHeight = 0;
  BOOL m_bDestroyingPopup = FALSE;
};
