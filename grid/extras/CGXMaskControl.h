// The grid's masked-edit cell (control id 52535): the current cell is edited in the grid's edit window with
// every keystroke going through the cell's input mask (CGXMaskData): the caret skips literals, characters
// are tested and case-converted per position, the prompt marks empty positions, and the window's text is
// rebuilt from the mask data after each change. Inactive cells show their value formatted by the mask. The
// mask and the prompt come from the user attributes "Maskedit: Input Mask" and "Maskedit: Prompt Char".
// The stored value is the typed characters without literals ("5551234567" for (555) 123-4567).
//
// It is the grid's edit control in every other respect (window placement, mouse, find and replace).
// Clipboard: copying puts the selected input characters under "GX_MASKDATA" (the bytes and one zero byte)
// beside the shown text as CF_TEXT; pasting prefers "GX_MASKDATA".
#pragma once

#include <memory>

#include "grid/controls/CGXEditControl.h"
#include "grid/extras/CGXMaskData.h"

class CGXStylesMap;

constexpr WORD GX_IDS_CTRL_MASKEDIT = 52535;
constexpr WORD GX_IDS_UA_INPUTMASK = 51023, GX_IDS_UA_INPUTPROMPT = 51024;

class CGXMaskControl : public CGXEditControl {
  DECLARE_DYNAMIC(CGXMaskControl)

 public:
  CGXMaskControl(CGXGridCore* grid, UINT id, CRuntimeClass* maskDataClass = RUNTIME_CLASS(CGXMaskData));
  ~CGXMaskControl() override;

  static void RegisterUserAttributes(CGXStylesMap* map);
  static const CGXControlClass controlClassCGXMaskControl;
  // The clipboard format of the typed characters.
  static UINT MaskDataFormat();

  virtual BOOL CreateControl(DWORD style, const RECT* rect);
  virtual void SetMaskFromStyle(CGXMaskData* data, const CGXStyle& style);
  CGXMaskData* EditData() { return m_pEditData.get(); }
  CGXMaskData* DisplayData() { return m_pDisplayData.get(); }
  BOOL GetInsertMode() const { return m_bInsertMode; }
  void SetShowEmptyMask(BOOL on) { m_bShowEmptyMask = on; }
  // The caret's position in characters (the window's selection start).
  int CaretPos() const;

  // CGXControl.
  const CGXControlClass* GetControlClass() const override { return &controlClassCGXMaskControl; }
  CRuntimeClass* GetWindowRuntimeClass() override;
  BOOL StoreValue() override;
  BOOL ValidateValue() override;
  void GetEditText(CString& out) const override;
  void SetEditText(const CString& text) override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& text) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  BOOL OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnCharInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnDbcsCharInCell(const CString& text, UINT repeat, UINT flags) override;
  void ReplaceSelectedText(LPCTSTR text) override;
  BOOL CopyToClipboard() override;
  BOOL PasteFromClipboard() override;
  BOOL CanPasteFromClipboard() override;
  // The clipboard's mask data, else its text, into the selection.
  BOOL PasteMaskOrText();
  BOOL CreateEditWindow(DWORD style, const RECT* rect) override { return CreateControl(style, rect); }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnMaskChar(UINT ch, UINT repeat, UINT flags);
  void OnMaskKeyDown(UINT ch, UINT repeat, UINT flags);
  // A character typed into the edited cell at the selection.
  void TypeChar(const CString& ch);
  // The window's text from the edit data, EN_CHANGE to the parent and the caret at a character position.
  void Rebuild(int caret);
  void SetCaret(int pos);
  // The selection in characters (end -1 when none: start == end).
  void GetCharSel(int& start, int& end) const;
  BOOL IsReadOnlyHere() const;
  // Starts editing at a caret position when the grid agrees.
  BOOL StartAt(int caret);
  // Puts the typed characters and the shown text on the clipboard (opened once).
  BOOL PutOnClipboard(const CString& data, const CString& shown);

  std::unique_ptr<CGXMaskData> m_pEditData;
  std::unique_ptr<CGXMaskData> m_pDisplayData;
  CRuntimeClass* m_pMaskDataClass;
  BOOL m_bInsertMode = TRUE;
  BOOL m_bShowEmptyMask = FALSE;
  BOOL m_bLeadPending = FALSE;
  BYTE m_cLead = 0;
  BOOL m_bPastingMaskData = FALSE;
  BOOL m_bRebuilding = FALSE;
};
