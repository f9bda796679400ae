// The grid's currency cell (control id 52545): a cell shows its value as a monetary amount in the format its
// style's user attributes ask for, and the current cell edits it in a currency edit window laid over the
// cell, whose drop-down button opens the popup calculator. The cell stores the plain amount ("%.2f" for two
// fraction digits). A hidden second window (the captive) formats the cells that are not being edited.
#pragma once

#include "grid/extras/CGXBCurrencyEdit.h"
#include "grid/extras/CGXBWindowCell.h"
#include "platform/gdi/CFont.h"

class CGXStylesMap;

// User attributes of the currency cell.
constexpr WORD GX_IDS_UA_CURRENCYSEP = 51045, GX_IDS_UA_CURRENCYDEF = 51046, GX_IDS_UA_CURRPOSFORMAT = 51047,
               GX_IDS_UA_CURRNEGFORMAT = 51048, GX_IDS_UA_CURRNUMDIGITS = 51049, GX_IDS_UA_CURRNUMDECIMALS = 51050,
               GX_IDS_UA_CURRENCYSYMBOL = 51054;

class CGXCaptiveCurEdit : public CGXBCurrencyEdit {
  DECLARE_DYNAMIC(CGXCaptiveCurEdit)
};

class CGXCurrencyEdit : public CGXBWindowCell<CGXBCurrencyEdit> {
  DECLARE_DYNAMIC(CGXCurrencyEdit)

 public:
  CGXCurrencyEdit(CGXGridCore* grid, UINT windowId);
  ~CGXCurrencyEdit() override;

  static void RegisterUserAttributes(CGXStylesMap* map);
  static const CGXControlClass controlClassCGXCurrencyEdit;

  // The style's currency attributes applied to a window's format (null: the editing window's).
  virtual void ApplyStyleFormat(CGXBCurrencyEdit* window, const CGXStyle& style);
  virtual BOOL CreateWindows(DWORD style);
  CGXCaptiveCurEdit& Captive() { return m_captive; }
  BOOL m_bButtonEverywhere = FALSE;

  // CGXControl.
  const CGXControlClass* GetControlClass() const override { return &controlClassCGXCurrencyEdit; }
  CRuntimeClass* GetWindowRuntimeClass() override;
  void InitForCell(ROWCOL row, ROWCOL col) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void GetEditText(CString& out) const override;
  void SetEditText(const CString& text) override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& text) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                  const CGXStyle* composed) override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDblClkInCell(UINT flags, int x, int y) override;
  BOOL OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnCharInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnDbcsCharInCell(const CString&, UINT, UINT) override { return TRUE; }
  BOOL OnSysKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  void GetStyleValueText(CString& out, const CGXStyle& style) const override;
  BOOL FindInCell(DWORD_PTR state, DWORD_PTR row, DWORD_PTR col, DWORD_PTR fromCurrent, DWORD_PTR select) override;
  BOOL ReplaceInCell(DWORD_PTR state, DWORD_PTR row, DWORD_PTR col) override;
  void ReplaceSelectedText(LPCTSTR text) override;
  void GetSelectionText(CString& out) override;
  BOOL HandleWindowCommand(WPARAM wParam, LPARAM lParam) override;

  // Window side.
  BOOL HitTestButton(int x, int y, BOOL clientCoordinates) override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnEditKeyDown(UINT key, UINT repeat, UINT flags);
  // Ctrl+V in the edited cell takes the clipboard's text as Shift+Insert and Replace do (TakesSelectionReplaced).
  BOOL PreparePasteText(CString& text) override;
  // Whether the edited amount with its selection replaced by `text` is one the cell takes as a pasted amount; a
  // text leaving no digit is left to the parse (empty is 0). Beeps where it is not.
  BOOL TakesSelectionReplaced(const char* text);
  void OnEditChar(UINT ch, UINT repeat, UINT flags);
  // The window's amount as the stored value text ("%.<fraction digits>f", the integer limit applied).
  CString StoredText(double magnitude, BOOL negative, const Format& format) const;
  // The drop-down button as the style's fourth "Currency: Attributes" character asks (none for '0').
  void UpdateButton(const CGXStyle& style);
  // Flips the sign of the current amount (Space).
  void FlipSign();
  // The display text of a cell (composed style) and the format it is shown in.
  CString CellDisplayText(ROWCOL row, ROWCOL col, Format* format);

  UINT m_nWindowId;
  CFont m_font;
  int m_nTextHeight = 0;
  int m_nMaxCharWidth = 0;
  mutable CGXCaptiveCurEdit m_captive;
};
