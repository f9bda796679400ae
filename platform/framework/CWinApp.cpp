#include "platform/framework/CWinApp.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/base/GlobalMemory.h"
#include "platform/base/PrivateProfile.h"
#include "platform/gdi/Printers.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CWnd.h"
#include "platform/base/RegistryStore.h"
#include "platform/framework/HelpService.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
CWinApp* g_app = nullptr;

// TRUE for a registry call that succeeded; else FALSE with its answer as the last error, the reason a profile write
// gives as the INI file's writes do (a full disk, a store file that would grow past what it loads).
BOOL Succeeded(LSTATUS status) {
  if (status == ERROR_SUCCESS) return TRUE;
  SetLastError(static_cast<DWORD>(status));
  return FALSE;
}
}  // namespace

namespace plat {
void SetCurrentApp(CWinApp* app) { g_app = app; }
AppScope::AppScope(CWinApp* app) : previous_(g_app) { g_app = app; }
AppScope::~AppScope() { g_app = previous_; }
}  // namespace plat

CWinApp* AfxGetApp() { return g_app; }

LPCSTR AfxGetAppName() {
  if (!g_app) return "";
  g_app->EnsureAppName();
  return g_app->m_pszAppName;
}

void CWinApp::EnsureAppName() {
  if (m_pszAppName) return;
  // The application's own module's title string first: a library's application object is named by its library,
  // whichever module's resources are current when the name is first asked for.
  char title[256];
  if (m_hInstance && ::LoadString(m_hInstance, AFX_IDS_APP_TITLE, title, sizeof title) > 0)
    m_appName = title;
  else if (!m_appName.LoadString(AFX_IDS_APP_TITLE))
    m_appName = CString(plat::ResourceTable::ModuleName(m_hInstance));
  if (m_appName.IsEmpty()) m_appName = "App";
  m_pszAppName = m_appName;
}

CWinApp::CWinApp(LPCSTR lpszAppName) {
  if (lpszAppName) {
    m_appName = lpszAppName;
    m_pszAppName = m_appName;
  }
  m_hInstance = AfxGetInstanceHandle();
  if (!g_app) g_app = this;
}

CWinApp::~CWinApp() {
  if (m_hDevMode) ::GlobalFree(m_hDevMode);
  if (m_hDevNames) ::GlobalFree(m_hDevNames);
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
  EnsureAppName();
  if (!m_pszProfileName) {
    m_profileName = CString(m_pszAppName) + ".INI";
    m_pszProfileName = m_profileName;
  }
  return TRUE;
}

int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

int CWinApp::Run() {
  if (!m_pMainWnd) ::PostQuitMessage(0);
  return CWinThread::Run();
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) { return CWinThread::PreTranslateMessage(pMsg); }

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
  EnsureAppName();
  m_registryKey = lpszRegistryKey ? lpszRegistryKey : "";
  m_pszRegistryKey = m_registryKey.IsEmpty() ? nullptr : m_registryKey.GetString();
  // In registry mode the profile name is the application name, not a file.
  m_profileName = m_pszAppName ? m_pszAppName : "";
  m_pszProfileName = m_profileName;
}

std::string CWinApp::AppKeyPath() const {
  return std::string("Software\\") + m_pszRegistryKey + "\\" + m_pszProfileName;
}

HKEY CWinApp::GetAppRegistryKey(BOOL bCreate) {
  if (!m_pszRegistryKey || !m_pszProfileName) return nullptr;
  const std::string path = AppKeyPath();
  HKEY key = nullptr;
  LSTATUS status = bCreate ? RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS, nullptr, &key, nullptr)
                           : RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
  return Succeeded(status) ? key : nullptr;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection, BOOL bCreate) {
  HKEY app = GetAppRegistryKey(bCreate);
  if (!app) return nullptr;
  HKEY key = nullptr;
  LSTATUS status = bCreate ? RegCreateKeyEx(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                            nullptr, &key, nullptr)
                           : RegOpenKeyEx(app, lpszSection, 0, KEY_READ, &key);
  RegCloseKey(app);
  return Succeeded(status) ? key : nullptr;
}

// The section's key and the value are made in one change of the store: a value the store refuses leaves no key made
// for it.
BOOL CWinApp::SetSectionValue(LPCSTR lpszSection, LPCSTR lpszEntry, DWORD type, const void* data, DWORD size) {
  if (!m_pszRegistryKey || !m_pszProfileName) return FALSE;
  std::string path = AppKeyPath();
  if (lpszSection) path = path + "\\" + lpszSection;
  return Succeeded(RegSetKeyValue(HKEY_CURRENT_USER, path.c_str(), lpszEntry, type, data, size));
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) {
  const CString fallback = lpszDefault ? lpszDefault : "";
  if (m_pszRegistryKey) {
    HKEY key = GetSectionKey(lpszSection, FALSE);
    if (!key) return fallback;
    DWORD type = 0, size = 0;
    CString value = fallback;
    if (RegQueryValueEx(key, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
      std::string buffer(size, '\0');
      if (RegQueryValueEx(key, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size) == ERROR_SUCCESS)
        value = buffer.c_str();
    }
    RegCloseKey(key);
    return value;
  }
  if (!m_pszProfileName) return fallback;
  // Grow the buffer until the answer fits: a full buffer means the text may have been cut.
  for (DWORD size = 4096;; size *= 2) {
    std::string buffer(size, '\0');
    DWORD got = ::GetPrivateProfileString(lpszSection, lpszEntry, fallback, buffer.data(), size, m_pszProfileName);
    if (got < size - 1 || size >= (1u << 24)) return CString(buffer.c_str(), static_cast<int>(got));
  }
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
  if (m_pszRegistryKey) {
    HKEY key = GetSectionKey(lpszSection, FALSE);
    if (!key) return static_cast<UINT>(nDefault);
    DWORD type = 0, value = 0, size = sizeof value;
    LSTATUS status = RegQueryValueEx(key, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD ? value : static_cast<UINT>(nDefault);
  }
  if (!m_pszProfileName) return static_cast<UINT>(nDefault);
  return ::GetPrivateProfileInt(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) {
  if (m_pszRegistryKey) {
    if (!lpszEntry) {
      HKEY app = GetAppRegistryKey(TRUE);
      if (!app) return FALSE;
      LSTATUS status = RegDeleteKey(app, lpszSection);
      RegCloseKey(app);
      return status == ERROR_FILE_NOT_FOUND || Succeeded(status);
    }
    if (lpszValue)
      return SetSectionValue(lpszSection, lpszEntry, REG_SZ, lpszValue, static_cast<DWORD>(std::strlen(lpszValue) + 1));
    HKEY key = GetSectionKey(lpszSection, TRUE);
    if (!key) return FALSE;
    LSTATUS status = RegDeleteValue(key, lpszEntry);
    RegCloseKey(key);
    return status == ERROR_FILE_NOT_FOUND || Succeeded(status);
  }
  if (!m_pszProfileName) return FALSE;
  return ::WritePrivateProfileString(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
  if (m_pszRegistryKey) {
    const DWORD value = static_cast<DWORD>(nValue);
    return SetSectionValue(lpszSection, lpszEntry, REG_DWORD, &value, sizeof value);
  }
  char text[16];
  std::snprintf(text, sizeof text, "%d", nValue);
  return WriteProfileString(lpszSection, lpszEntry, text);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd) {
  plat::HelpService::Current().Show(HwndOf(m_pMainWnd), m_pszHelpFilePath ? m_pszHelpFilePath : "", nCmd, dwData);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg) {
  if (!m_hDevNames && !plat::CreatePrinterBlocks(plat::DefaultPrinterName(), &m_hDevNames, &m_hDevMode)) return FALSE;
  if (pPrintDlg) {
    pPrintDlg->hDevNames = m_hDevNames;
    pPrintDlg->hDevMode = m_hDevMode;
  }
  return TRUE;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD) {
  if (!pPD) return IDCANCEL;
  GetPrinterDeviceDefaults(&pPD->m_pd);
  INT_PTR result = pPD->DoModal();
  // The dialog may have made fresh blocks for another printer: they become the application's.
  if (pPD->m_pd.hDevNames != m_hDevNames) {
    if (m_hDevNames) ::GlobalFree(m_hDevNames);
    if (m_hDevMode && m_hDevMode != pPD->m_pd.hDevMode) ::GlobalFree(m_hDevMode);
    m_hDevNames = pPD->m_pd.hDevNames;
    m_hDevMode = pPD->m_pd.hDevMode;
    pPD->ReleaseBlocks();
  }
  return result;
}
