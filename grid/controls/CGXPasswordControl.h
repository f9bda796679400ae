// The password cell: an edit cell whose single-line window masks its text with "*" and whose inactive
// cells show one "*" per character. Nothing of its text reaches the clipboard.
#pragma once

#include "grid/controls/CGXEditControl.h"

constexpr WORD GX_IDS_CTRL_PASSWORD = 52537;

class CGXPasswordControl : public CGXEditControl {
  DECLARE_DYNAMIC(CGXPasswordControl)

 public:
  CGXPasswordControl(CGXGridCore* grid, UINT id);

  static const CGXControlClass gxClassCGXPasswordControl;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXPasswordControl; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // In password mode every character of the text is the password character.
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  // The window holds the real text and shows the password character.
  void SetEditedValue(const CString& value) override;
  // Find and replace pass a password by: its cells show "*" for each character, so a replace would store
  // the stars (or the replacement of them) over the password, and a search in the window's real text would
  // tell its characters one by one.
  BOOL FindInCell(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) override { return FALSE; }
  BOOL ReplaceInCell(DWORD_PTR, DWORD_PTR, DWORD_PTR) override { return FALSE; }
  BOOL CopyToClipboard() override { return TRUE; }
  BOOL CutToClipboard() override { return TRUE; }
  DWORD CalcWindowStyle(CRect& format, int& lineHeight) override;
  // Ctrl+C in the window empties the clipboard before the copy, which copies nothing.
  BOOL FilterChar(UINT ch, UINT repeat, UINT flags) override;

  BOOL m_bPasswordMode = TRUE;
  char m_cPasswordChar = '*';

 protected:
  // The window's own click handling only: no selection kept for dragging masked text.
  void OnLButtonDown(UINT flags, CPoint pt) override;
};
