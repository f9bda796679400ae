// CRichEditCtrl: the rich edit window ("RichEdit20A"). Positions are character offsets in which a paragraph
// break counts one; -1 ends mean "to the end". Notifications (EN_REQUESTRESIZE, EN_SELCHANGE by WM_NOTIFY,
// EN_CHANGE by WM_COMMAND) reach the parent and are reflected to this object first.
#pragma once

#include "platform/base/CString.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)

 public:
  CRichEditCtrl() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(RICHEDIT_CLASS, "", dwStyle, rect, pParentWnd, nID);
  }

  // ---- Text and selection --------------------------------------------------------------------------------
  long GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH)); }
  void GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
  void GetSel(long& nStartChar, long& nEndChar) const;
  void SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
  void SetSel(long nStartChar, long nEndChar);
  CString GetSelText() const;
  void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
  }
  void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
  int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
  long LineFromChar(long nIndex) const { return static_cast<long>(SendMessage(EM_EXLINEFROMCHAR, 0, nIndex)); }
  long FindText(DWORD dwFlags, FINDTEXTEX* pFindText) const {
    return static_cast<long>(SendMessage(EM_FINDTEXTEX, dwFlags, reinterpret_cast<LPARAM>(pFindText)));
  }

  // ---- State and options ---------------------------------------------------------------------------------
  BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, static_cast<WPARAM>(bModified)); }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(bReadOnly)));
  }
  DWORD GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK)); }
  DWORD SetEventMask(DWORD dwEventMask) { return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, dwEventMask)); }
  DWORD GetOptions() const { return static_cast<DWORD>(SendMessage(EM_GETOPTIONS)); }
  void SetOptions(WORD wOp, DWORD dwFlags) { SendMessage(EM_SETOPTIONS, wOp, static_cast<LPARAM>(dwFlags)); }
  COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr) {
    return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, static_cast<WPARAM>(bSysColor), cr));
  }
  BOOL SetTargetDevice(HDC hDC, long lLineWidth) {
    return static_cast<BOOL>(SendMessage(EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(hDC), lLineWidth));
  }
  void RequestResize() { SendMessage(EM_REQUESTRESIZE); }

  // ---- Formats -------------------------------------------------------------------------------------------
  DWORD GetDefaultCharFormat(CHARFORMAT& cf) const { return CharFormat(SCF_DEFAULT, cf); }
  DWORD GetSelectionCharFormat(CHARFORMAT& cf) const { return CharFormat(SCF_SELECTION, cf); }
  BOOL SetDefaultCharFormat(CHARFORMAT& cf) { return SetCharFormat(SCF_DEFAULT, cf); }
  BOOL SetSelectionCharFormat(CHARFORMAT& cf) { return SetCharFormat(SCF_SELECTION, cf); }
  BOOL SetWordCharFormat(CHARFORMAT& cf) { return SetCharFormat(SCF_SELECTION | SCF_WORD, cf); }
  DWORD GetParaFormat(PARAFORMAT& pf) const {
    pf.cbSize = sizeof pf;
    return static_cast<DWORD>(SendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)));
  }
  BOOL SetParaFormat(PARAFORMAT& pf) {
    pf.cbSize = sizeof pf;
    return static_cast<BOOL>(SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf)));
  }

  // ---- Streams and rendering -----------------------------------------------------------------------------
  long StreamIn(int nFormat, EDITSTREAM& es) {
    return static_cast<long>(SendMessage(EM_STREAMIN, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
  }
  long StreamOut(int nFormat, EDITSTREAM& es) {
    return static_cast<long>(SendMessage(EM_STREAMOUT, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
  }
  // Measures (bDisplay FALSE) or renders a range; NULL frees the cached layout. The first character that did not fit.
  long FormatRange(FORMATRANGE* pfr, BOOL bDisplay = TRUE) {
    return static_cast<long>(SendMessage(EM_FORMATRANGE, static_cast<WPARAM>(bDisplay), reinterpret_cast<LPARAM>(pfr)));
  }

  // ---- Undo and clipboard --------------------------------------------------------------------------------
  BOOL CanUndo() const { return static_cast<BOOL>(SendMessage(EM_CANUNDO)); }
  BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
  BOOL CanPaste(UINT nFormat = 0) const { return static_cast<BOOL>(SendMessage(EM_CANPASTE, nFormat)); }
  void Clear() { SendMessage(WM_CLEAR); }
  void Copy() { SendMessage(WM_COPY); }
  void Cut() { SendMessage(WM_CUT); }
  void Paste() { SendMessage(WM_PASTE); }

 private:
  DWORD CharFormat(WPARAM which, CHARFORMAT& cf) const {
    cf.cbSize = sizeof cf;
    return static_cast<DWORD>(SendMessage(EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf)));
  }
  BOOL SetCharFormat(WPARAM which, CHARFORMAT& cf) {
    cf.cbSize = sizeof cf;
    return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf)));
  }
};
