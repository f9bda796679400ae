// The process-wide find request that the find-and-replace feature works from: what to find, what to put in
// its place and an upper-cased working copy for searches that ignore case.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/wintypes.h"

class CFindReplaceDialog;
class CGXGridCore;
class CGXStyle;

class CGXFindReplaceState {
 public:
  // The one request of the process.
  static CGXFindReplaceState& Get();

  // Copies the text to find into the working copy, upper-cased unless the search is case-sensitive.
  void PrepareFindText();

  CString m_strFind;
  CString m_strReplace;
  CString m_strFindUpper;
  // Both switches start on: search onwards, and case-sensitively.
  BOOL m_bNext = TRUE;
  BOOL m_bCase = TRUE;
  int m_nCount = 0;
  DWORD m_dwFlags = 0;
  BOOL m_bFound = FALSE;
  BOOL m_bReplaceAll = FALSE;
  // The process-wide find (or find-and-replace) dialog while it is open, its window and the window it works
  // for; the grid that owns it closes it when its window is destroyed. The dialog deletes itself when its
  // window goes (an owned dialog goes before its owner), so only the handle says whether it still lives.
  CFindReplaceDialog* m_pFindReplaceDlg = nullptr;
  BOOL m_bFindOnly = FALSE;
  // The grid that opened the dialog, and while a column is searched the composed style of the cell being
  // looked at (null otherwise).
  CGXGridCore* m_pGrid = nullptr;
  const CGXStyle* m_pStyle = nullptr;
  HWND m_hWndFindDlg = nullptr;
  HWND m_hWndFindOwner = nullptr;
};
