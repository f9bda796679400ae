// CFindReplaceDialog: the modeless find and replace dialog.
//
// Created with new; it deletes itself when its window goes (WM_CLOSE, DestroyWindow). Each user action
// reaches the owner as the registered message "commdlg_FindReplace" (GetFindReplaceMsg) with the
// FINDREPLACE block in lParam: FR_FINDNEXT, FR_REPLACE or FR_REPLACEALL with the direction and match flags,
// and FR_DIALOGTERM when the dialog closes.
//
// On screen the user works its controls: "Find what" (and "Replace with"), "Match whole word only", "Match
// case", the direction (find only), Find Next (the default button), Replace, Replace All and Cancel. The
// FR_HIDE* flags hide a control and the FR_NO* flags disable it; the action buttons are disabled while
// "Find what" is empty. The replace dialog always searches down.
//
// Headless, the dialog asks the automation provider for the user's actions (kind Find or Replace, caption
// "Find" or "Replace", text "find\treplace", the flags): an answer IDOK acts with its text ("find\treplace")
// and its value (the FR_ action and option flags), shown in the controls, then the dialog asks again;
// IDCANCEL closes it. When the provider has nothing more, the dialog just stays open, as a user who does
// nothing (or works the controls).
#pragma once

#include "platform/controls/winctrl.h"  // FR_DOWN, FR_WHOLEWORD, FR_MATCHCASE
#include "platform/framework/CDialog.h"

constexpr DWORD FR_FINDNEXT = 0x00000008;
constexpr DWORD FR_REPLACE = 0x00000010;
constexpr DWORD FR_REPLACEALL = 0x00000020;
constexpr DWORD FR_DIALOGTERM = 0x00000040;
constexpr DWORD FR_SHOWHELP = 0x00000080;
constexpr DWORD FR_NOUPDOWN = 0x00000400;
constexpr DWORD FR_NOMATCHCASE = 0x00000800;
constexpr DWORD FR_NOWHOLEWORD = 0x00001000;
constexpr DWORD FR_HIDEUPDOWN = 0x00004000;
constexpr DWORD FR_HIDEMATCHCASE = 0x00008000;
constexpr DWORD FR_HIDEWHOLEWORD = 0x00010000;
constexpr const char* FINDMSGSTRING = "commdlg_FindReplace";

struct FINDREPLACE {
  DWORD lStructSize = sizeof(FINDREPLACE);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  DWORD Flags = 0;
  LPSTR lpstrFindWhat = nullptr;
  LPSTR lpstrReplaceWith = nullptr;
  WORD wFindWhatLen = 0;
  WORD wReplaceWithLen = 0;
  LPARAM lCustData = 0;
};

class CFindReplaceDialog : public CDialog {
  DECLARE_DYNAMIC(CFindReplaceDialog)

 public:
  CFindReplaceDialog();
  BOOL Create(BOOL bFindDialogOnly, LPCSTR lpszFindWhat, LPCSTR lpszReplaceWith = nullptr, DWORD dwFlags = FR_DOWN,
              CWnd* pParentWnd = nullptr);

  static UINT GetFindReplaceMsg();
  static CFindReplaceDialog* GetNotifier(LPARAM lParam);

  CString GetFindString() const { return m_szFindWhat; }
  CString GetReplaceString() const { return m_szReplaceWith; }
  BOOL SearchDown() const { return (m_fr.Flags & FR_DOWN) != 0; }
  BOOL FindNext() const { return (m_fr.Flags & FR_FINDNEXT) != 0; }
  BOOL MatchCase() const { return (m_fr.Flags & FR_MATCHCASE) != 0; }
  BOOL MatchWholeWord() const { return (m_fr.Flags & FR_WHOLEWORD) != 0; }
  BOOL ReplaceCurrent() const { return (m_fr.Flags & FR_REPLACE) != 0; }
  BOOL ReplaceAll() const { return (m_fr.Flags & FR_REPLACEALL) != 0; }
  BOOL IsTerminating() const { return (m_fr.Flags & FR_DIALOGTERM) != 0; }

  FINDREPLACE m_fr;

 protected:
  void PostNcDestroy() override;
  BOOL OnInitDialog() override;  // the controls show the texts and options it was created with
  void OnOK() override;          // Find Next
  void OnCancel() override;      // Esc closes, like the close box
  afx_msg void OnClose();
  afx_msg void OnReplaceOne();
  afx_msg void OnReplaceEvery();
  afx_msg void OnFindWhatChange();
  afx_msg LRESULT OnAsk(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void Notify(DWORD action);
  void ShowState();                  // texts and options into the controls
  void ActFromControls(DWORD action);  // texts and options from the controls, then the owner hears the action

  char m_szFindWhat[128] = {};
  char m_szReplaceWith[128] = {};
  BOOL m_bFindOnly = TRUE;
  HWND m_hWndOwner = nullptr;
};
