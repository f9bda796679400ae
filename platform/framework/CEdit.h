// CEdit: single- and multi-line edit controls. Positions are character offsets; -1 ends mean "to the end".
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

 public:
  CEdit() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_EDIT, "", dwStyle, rect, pParentWnd, nID);
  }

  // ---- Selection and text --------------------------------------------------------------------------------
  DWORD GetSel() const { return static_cast<DWORD>(SendMessage(EM_GETSEL)); }
  void GetSel(int& nStartChar, int& nEndChar) const;
  void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE) {
    SetSel(LOWORD(dwSelection), HIWORD(dwSelection), bNoScroll);
  }
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
  }
  void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars)); }
  void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
  UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
  BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, static_cast<WPARAM>(bModified)); }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(bReadOnly)));
  }
  void SetPasswordChar(char ch) { SendMessage(EM_SETPASSWORDCHAR, static_cast<unsigned char>(ch)); }
  char GetPasswordChar() const { return static_cast<char>(SendMessage(EM_GETPASSWORDCHAR)); }
  void SetMargins(UINT nLeft, UINT nRight) {
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
  }
  DWORD GetMargins() const { return static_cast<DWORD>(SendMessage(EM_GETMARGINS)); }
  void GetRect(LPRECT lpRect) const { SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(lpRect)); }
  void SetRect(LPCRECT lpRect) { SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(lpRect)); }

  // ---- Lines (multi-line edits) --------------------------------------------------------------------------
  int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
  // Copies line nIndex into lpszBuffer (nMaxLength characters at most, not terminated); the count copied.
  int GetLine(int nIndex, LPSTR lpszBuffer, int nMaxLength) const;
  int GetLine(int nIndex, LPSTR lpszBuffer) const;
  int LineIndex(int nLine = -1) const {
    return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(nLine)));
  }
  int LineFromChar(int nIndex = -1) const {
    return static_cast<int>(SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(nIndex)));
  }
  int LineLength(int nLine = -1) const {
    return static_cast<int>(SendMessage(EM_LINELENGTH, static_cast<WPARAM>(nLine)));
  }
  void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, static_cast<WPARAM>(nChars), nLines); }
  int GetFirstVisibleLine() const { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }
  CPoint PosFromChar(UINT nChar) const;
  // LOWORD the character, HIWORD the line, as the control answers.
  int CharFromPos(CPoint pt) const { return static_cast<int>(SendMessage(EM_CHARFROMPOS, 0, MAKELONG(pt.x, pt.y))); }

  // ---- Undo and clipboard --------------------------------------------------------------------------------
  BOOL CanUndo() const { return static_cast<BOOL>(SendMessage(EM_CANUNDO)); }
  BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
  void Clear() { SendMessage(WM_CLEAR); }
  void Copy() { SendMessage(WM_COPY); }
  void Cut() { SendMessage(WM_CUT); }
  void Paste() { SendMessage(WM_PASTE); }
};
