// Common dialogs: file open and save, colour, print and print setup.
//
// Each asks the automation provider when one is installed (headless runs and tests: the request records
// owner, caption, initial text and flags, the answer gives the code, a file name or a colour), shows the
// platform's own chooser window on screen (ChooserBox.h), and fails loudly when neither can answer. The file dialogs apply the classic rules to the answer: the default extension is
// added to a name without one, OFN_FILEMUSTEXIST / OFN_PATHMUSTEXIST refuse missing files or folders and
// OFN_OVERWRITEPROMPT asks before replacing, each with a message box, after which the dialog asks again.
#pragma once

#include <vector>

#include "platform/framework/CDialog.h"
#include "platform/gdi/gdiapi.h"

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_SHOWHELP = 0x00000010;
constexpr DWORD OFN_NOVALIDATE = 0x00000100;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;

struct OPENFILENAME {
  DWORD lStructSize = sizeof(OPENFILENAME);
  HWND hwndOwner = nullptr;
  LPCSTR lpstrFilter = nullptr;  // "desc\0pattern\0...\0\0"
  DWORD nFilterIndex = 1;        // 1-based
  LPSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
};

constexpr DWORD CC_RGBINIT = 0x00000001;
constexpr DWORD CC_FULLOPEN = 0x00000002;
constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
constexpr DWORD CC_ANYCOLOR = 0x00000100;

struct CHOOSECOLOR {
  DWORD lStructSize = sizeof(CHOOSECOLOR);
  HWND hwndOwner = nullptr;
  COLORREF rgbResult = 0;
  COLORREF* lpCustColors = nullptr;  // 16 entries
  DWORD Flags = 0;
};

constexpr DWORD PD_ALLPAGES = 0x00000000;
constexpr DWORD PD_SELECTION = 0x00000001;
constexpr DWORD PD_PAGENUMS = 0x00000002;
constexpr DWORD PD_NOSELECTION = 0x00000004;
constexpr DWORD PD_NOPAGENUMS = 0x00000008;
constexpr DWORD PD_PRINTSETUP = 0x00000040;
constexpr DWORD PD_RETURNDC = 0x00000100;
constexpr DWORD PD_RETURNDEFAULT = 0x00000400;
constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;
constexpr DWORD PD_USEDEVMODECOPIESANDCOLLATE = 0x00040000;
constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;

struct PRINTDLG {
  DWORD lStructSize = sizeof(PRINTDLG);
  HWND hwndOwner = nullptr;
  HGLOBAL hDevMode = nullptr;
  HGLOBAL hDevNames = nullptr;
  HDC hDC = nullptr;
  DWORD Flags = 0;
  WORD nFromPage = 1;
  WORD nToPage = 1;
  WORD nMinPage = 1;
  WORD nMaxPage = 0xFFFF;
  WORD nCopies = 1;
};

class CCommonDialog : public CDialog {
 public:
  explicit CCommonDialog(CWnd* pParentWnd);

 protected:
  HWND OwnerWindow() const;
};

class CFileDialog : public CCommonDialog {
 public:
  CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
              DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
              CWnd* pParentWnd = nullptr);

  INT_PTR DoModal() override;
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }

  OPENFILENAME m_ofn;
  BOOL m_bOpenFileDialog;

 private:
  CString m_defExt;
  CString m_filter;  // with NUL separators
  CString m_title;
  char m_file[260] = {};
  char m_fileTitle[260] = {};
};

class CColorDialog : public CCommonDialog {
 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  static COLORREF* GetSavedCustomColors();

  CHOOSECOLOR m_cc;
};

class CPrintDialog : public CCommonDialog {
 public:
  explicit CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                                                 PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                        CWnd* pParentWnd = nullptr);
  ~CPrintDialog() override;
  INT_PTR DoModal() override;
  // The default printer's blocks without showing anything.
  BOOL GetDefaults();
  CString GetDeviceName() const;
  CString GetDriverName() const;
  CString GetPortName() const;
  HDC CreatePrinterDC();
  LPDEVMODE GetDevMode() const;
  // Hands the blocks the dialog made over to their new owner (the application).
  void ReleaseBlocks() { m_ownBlocks = false; }

  PRINTDLG m_pd;

 private:
  // The default printer's blocks when the dialog has none.
  BOOL LoadDefaultBlocks();
  // m_pd.hDC becomes a new DC for the dialog's printer; the one before is deleted.
  void ReplaceDC();
  bool m_ownBlocks = false;
};
