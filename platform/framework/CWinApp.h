// CWinApp: the application object - start-up and shut-down, the main loop, the profile.
//
// Profile routing: after SetRegistryKey(company) the profile is the registry key
// HKEY_CURRENT_USER\Software\<company>\<profile name>\<section>; before it, the INI file named by
// m_pszProfileName (the application name + ".INI" unless set). A NULL value deletes an entry, a NULL entry
// deletes the whole section.
#pragma once

#include "platform/base/CString.h"
#include "platform/framework/CWinThread.h"

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)

 public:
  explicit CWinApp(LPCSTR lpszAppName = nullptr);
  ~CWinApp() override;

  LPCSTR m_pszAppName = nullptr;
  LPCSTR m_pszExeName = nullptr;
  LPCSTR m_pszRegistryKey = nullptr;
  LPCSTR m_pszProfileName = nullptr;
  LPCSTR m_pszHelpFilePath = nullptr;
  HINSTANCE m_hInstance = nullptr;
  HGLOBAL m_hDevMode = nullptr;
  HGLOBAL m_hDevNames = nullptr;

  BOOL InitInstance() override;
  int ExitInstance() override;
  int Run() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnIdle(LONG lCount) override;

  void SetRegistryKey(LPCSTR lpszRegistryKey);
  CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
  UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
  BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
  BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
  // The key of a section (registry mode), created when asked; null when not in registry mode or missing.
  HKEY GetSectionKey(LPCSTR lpszSection, BOOL bCreate = TRUE);
  HKEY GetAppRegistryKey(BOOL bCreate = TRUE);

  void WinHelp(DWORD_PTR dwData, UINT nCmd = 0x0001);

 private:
  CString m_appName;
  CString m_registryKey;
  CString m_profileName;
};

CWinApp* AfxGetApp();
LPCSTR AfxGetAppName();

namespace plat {
// Module entry points build the application object explicitly; this records it as the current one.
void SetCurrentApp(CWinApp* app);
}  // namespace plat
