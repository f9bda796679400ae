// The grid's text cell: an edit window that is also a cell control. One object serves every cell of its
// control id; it draws them as static text and moves its one window over the current cell while the user
// edits it. The spin, password, hot-spot and scroll-bar cells derive from it.
//
// Call flow:
//   InitForCell -> window created once -> SetEditedValue (display text, or the stored value unformatted)
//   DrawCell (the active bound cell) -> font, rectangle, flags -> SetEditingState(TRUE) -> window shown over
//     the cell, focus taken under the grid's focus guard -> UpdateEditWindow -> RecordWindowRect
//   UpdateEditWindow -> CalcWindowStyle; a different style re-creates the window, keeping text, selection,
//     modify, read-only, limit and focus
//   WM_CHAR -> OnChar -> FilterChar (limits, AcceptsText, Ctrl shortcuts) -> pending text replaces the
//     selection, or the window's own processing
//   WM_KEYDOWN -> OnKeyDown: the key table decides between the window and the grid's key processing
//   StoreValue (the grid ends editing) -> ParseNumber: a number style, else the text
#pragma once

#include <memory>

#include "grid/controls/CGXStatic.h"
#include "grid/controls/CGXWindowCell.h"
#include "platform/framework/CEdit.h"
#include "platform/gdi/CFont.h"

class CGXFindReplaceState;

constexpr UINT GX_IDS_CTRL_EDIT_ID = 52512;

class CGXEditControl : public CGXTextWindowCell<CEdit, CGXStatic> {
  DECLARE_DYNAMIC(CGXEditControl)

 public:
  CGXEditControl(CGXGridCore* grid, UINT id);
  ~CGXEditControl() override;

  static const CGXControlClass gxClassCGXEditControl;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXEditControl; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // ---- Control part ----------------------------------------------------------------------------------
  void SetEditingState(BOOL on) override;
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL StoreValue() override;
  BOOL AskGridFirstHook() override;
  BOOL CanFloatText(ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL flag) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void GetEditText(CString& out) const override;
  void SetEditText(const CString& text) override;
  BOOL GetEditSelection(int& anchor, int& caret) const override;
  void SetEditSelection(int anchor, int caret) override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& text) override;
  // The text the editor shows for a `value` of the bound cell under `style`: its display text, or the value
  // itself when the grid edits values unformatted.
  CString EditedText(const CString& value, const CGXStyle& style) const;
  // SetEditedValue with no value: the cell's value as its editor starts from it (ValueToEdit).
  void SetEditedValueFromCell();
  // The value of (row, col) under its composed `style` that the editor starts from: the value as it was entered,
  // so that a formula edits as its formula.
  virtual CString ValueToEdit(ROWCOL row, ROWCOL col, const CGXStyle& style);
  BOOL StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* style) override;
  void HideWindowPart() override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDblClkInCell(UINT flags, int x, int y) override;
  BOOL OnCharInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnDbcsCharInCell(const CString& text, UINT repeat, UINT flags) override;
  // Find and replace take the process-wide request (a CGXFindReplaceState*) as their first argument.
  BOOL FindInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col, DWORD_PTR atCurrent, DWORD_PTR select) override;
  void ReplaceSelectedText(LPCTSTR text) override;
  BOOL ReplaceInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col) override;
  // A replaced text that the cell's number format reads as a number is stored as a typed one: the number with
  // "." as its decimal point, typed as a number (the text built from a shown "3,5" was stored as the text "3,75").
  BOOL StoreReplacedValue(ROWCOL row, ROWCOL col, const CString& text, const CGXStyle& style,
                          BOOL storeUnder) override;
  // A text that the cell's number format reads as a number is judged as that number, as it is stored.
  CString JudgedValue(const CString& value, const CGXStyle& style) override;
  // A number the cell's number format reads is stored as a number ("5,678" as 5678), as a paste stores it.
  BOOL StoreTakenValue(ROWCOL row, ROWCOL col, const CString& value, const CGXStyle& style, UINT flags) override;
  void GetSelectionText(CString& out) override;
  BOOL HandleWindowCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL CanPasteText(const CString& text) override;
  BOOL PasteFromClipboard() override;
  // While it edits, the window takes Enter and Escape for the grid (a dialog leaves them alone).
  BOOL WantsReturnAndEscape() const override { return m_bEditing; }

  // ---- Window part -----------------------------------------------------------------------------------
  // Parses the text as a number when the style has a numeric format: the text becomes the number ("%.14g", or in
  // up to 17 digits where 14 would read back as another number) with "." as its decimal point. FALSE when the
  // style is not numeric or the text is no number.
  virtual BOOL ParseNumber(CString& text, const CGXStyle& style, double& value);
  // The runtime's decimal point in place of the first "." of a numeric style's text; TRUE when numeric.
  virtual BOOL LocalizeDecimalPoint(CString& text, const CGXStyle& style);
  virtual BOOL HasNumericFormat(const CGXStyle& style) const;
  // Whether the window's own processing may take a typed character (see OnChar).
  virtual BOOL FilterChar(UINT ch, UINT repeat, UINT flags);
  virtual BOOL CreateEditWindow(DWORD style, const RECT* rect);
  // The window style the cell needs and the format rectangle (client coordinates) for it.
  virtual DWORD CalcWindowStyle(CRect& format, int& lineHeight);
  // Keeps the window's style, format rectangle and scroll position in step with the cell.
  void UpdateEditWindow();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // The text typed but not yet inserted, and the composition flag (input method running).
  const CString& PendingText() const { return m_strPending; }
  static BOOL& CompositionRunning();
  DWORD CreatedStyle() const { return m_dwStyle; }
  // The window's text (empty without a window).
  CString WindowText() const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  BOOL OnEraseBkgnd(CDC* dc);
  void OnKillFocus(HWND newFocus);
  virtual void OnLButtonDown(UINT flags, CPoint pt);
  void OnStyleChanged(int which, const STYLESTRUCT* styles);
  // Makes the control edit the bound cell (asking the grid first), the caret at `caret` (-1: the end).
  BOOL ActivateWithCaret(int caret) override;
  void EditEmptyText() override;
  // After a key on an inactive cell: the window in step, then the cell shown.
  void ShowCellAfterKey() override;
  // The character of the text under a point of the cell as the cell draws it, or -1.
  int HitCharacter(int x, int y);
  // The text the window would hold with its selection replaced by `text`; valid until the next call (built
  // in a buffer the control keeps, as it runs for every typed character and a cell may hold megabytes).
  const CString& TextWithSelectionReplaced(const CString& text) const;
  // Its length for a text of `added` characters, worked out without building it.
  size_t LengthWithSelectionReplaced(size_t added) const;
  // Stores a text or a number into a cell: a number style when ParseNumber takes it.
  BOOL StoreTextOrNumber(ROWCOL row, ROWCOL col, CString text, const CGXStyle& style, UINT flags, BOOL viaSetValue);

  UINT m_nID;
  BOOL m_bAutoSize = FALSE;
  BOOL m_bVertScroll = FALSE;
  BOOL m_bNoAlignment = FALSE;
  std::unique_ptr<CFont> m_pFont;
  COLORREF m_rgbHighlightText;
  DWORD m_dwStyle = 0;
  DWORD m_dwAlignment = 0;
  BOOL m_bRecreating = FALSE;
  BOOL m_bDestroying = FALSE;
  int m_nLineHeight = 0;
  int m_nMaxCharWidth = 0;
  BOOL m_bAllowEnter = FALSE;
  BOOL m_bWrap = FALSE;
  int m_nRTL = 0;
  CString m_strPending;
  mutable CString m_strReplaced;  // TextWithSelectionReplaced's buffer
  BOOL m_bInserting = FALSE;
  int m_nMaxLength = 0;
  BOOL m_bFloatChanged = FALSE;
  UINT m_nDrawAlign = 0;
  COLORREF m_rgbBack = RGB(255, 255, 255);
  // How far the text is scrolled: left, in pixels, when it scrolls sideways; up, in lines, when it wraps.
  struct Scroll {
    int sideways = -1;  // -1: none kept
    int lines = -1;
  };
  Scroll CurrentScroll() const;
  int SidewaysScroll() const;
  void ScrollSidewaysTo(int x);
  void ScrollTo(const Scroll& scroll);
  // The scroll GetEditSelection found, and the one SetEditSelection asks the next drawing of the cell to put back.
  mutable Scroll m_scrollKept;
  Scroll m_scrollBack;
  BOOL m_bCharLeadPending = FALSE;
  BYTE m_cCharLead = 0;
};
