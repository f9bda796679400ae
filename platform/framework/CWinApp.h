// CWinApp: the application object - start-up and shut-down, the main loop, the profile.
//
// Profile routing: after SetRegistryKey(company) the profile is the registry key
// HKEY_CURRENT_USER\Software\<company>\<profile name>\<section>; before it, the INI file named by
// m_pszProfileName (the application name + ".INI" unless set). A NULL value deletes an entry, a NULL entry
// deletes the whole section. A write that fails answers FALSE with the reason as the last error; a value the
// registry store refuses leaves no section key made for it.
#pragma once

#include <string>

#include "platform/base/CString.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CommonDialogs.h"

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

  // Printing set-up: the application keeps the chosen printer's DEVMODE/DEVNAMES blocks (m_hDevMode,
  // m_hDevNames) and hands them to every print dialog it runs.
  INT_PTR DoPrintDialog(CPrintDialog* pPD);
  BOOL GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg);

 private:
  void EnsureAppName();
  // "Software\<registry key>\<profile name>", below HKEY_CURRENT_USER.
  std::string AppKeyPath() const;
  BOOL SetSectionValue(LPCSTR lpszSection, LPCSTR lpszEntry, DWORD type, const void* data, DWORD size);
  friend LPCSTR AfxGetAppName();

  CString m_appName;
  CString m_registryKey;
  CString m_profileName;
};

// The current application object: the first one constructed, or the one an AppScope names.
CWinApp* AfxGetApp();
// Its name: the name given to its constructor, else the string AFX_IDS_APP_TITLE of its module, else the
// module's name.
LPCSTR AfxGetAppName();

constexpr UINT AFX_IDS_APP_TITLE = 0xE000;

namespace plat {
// Module entry points build the application object explicitly; this records it as the current one.
void SetCurrentApp(CWinApp* app);

// The host and the module share one platform library, so each may have an application object. A module's
// entry points open an AppScope so that AfxGetApp, AfxGetAppName and the message boxes use the module's own
// object while the call runs; the previous one comes back at the end of the scope.
class AppScope {
 public:
  explicit AppScope(CWinApp* app);
  ~AppScope();
  AppScope(const AppScope&) = delete;
  AppScope& operator=(const AppScope&) = delete;

 private:
  CWinApp* previous_;
};
}  // namespace plat
