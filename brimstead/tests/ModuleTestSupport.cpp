#include "brimstead/tests/ModuleTestSupport.h"

#include "brimstead/ModuleApp.h"
#include "platform/window/Pump.h"

#include <gtest/gtest.h>

#include <memory>

namespace brimtest {
namespace {
std::vector<LoggedMessage> g_log;
std::unique_ptr<FakeWizardDialogs> g_fakes;

LRESULT LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  g_log.push_back({hwnd, message, wParam});
  return DefWindowProc(hwnd, message, wParam, lParam);
}

CWizardDialogLink* MakeFake(int kind, HWND parent) {
  if (!g_fakes)
    return nullptr;
  auto* dialog = new CFakeWizardDialog(kind, parent);
  dialog->m_bFailCreate = g_fakes->failCreate;
  g_fakes->made.push_back(dialog);
  return dialog;
}

HWND Child(HWND parent, int id, const char* text) {
  return CreateWindowEx(0, LoggingClass(), text, WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}
}  // namespace

void ResetTestWindows() {
  plat::ResetWindowSystem();
  g_log.clear();
  WNDCLASS wc{};
  wc.lpfnWndProc = LoggingProc;
  wc.lpszClassName = LoggingClass();
  RegisterClass(&wc);
}

const char* LoggingClass() { return "BrimLoggingWnd"; }
std::vector<LoggedMessage>& MessageLog() { return g_log; }

std::vector<LoggedMessage> Logged(UINT message) {
  std::vector<LoggedMessage> found;
  for (const LoggedMessage& entry : g_log)
    if (entry.message == message)
      found.push_back(entry);
  return found;
}

void PumpPending() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

BOOL CKeyTakingWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_CHAR)
    return FALSE;
  ++m_nTaken;
  return TRUE;
}

CFakeWizardDialog::~CFakeWizardDialog() {
  if (g_fakes)
    ++g_fakes->deleted;
  // A dialog deleted with its window still up leaves the window pointing at freed memory: the tests look for that.
  EXPECT_EQ(m_Wnd.m_hWnd, nullptr) << "wizard dialog deleted while its window exists";
  if (m_Wnd.m_hWnd)
    Destroy();
}

void CFakeWizardDialog::Configure(const CWizardDialogSettings& settings) {
  m_Settings = settings;
  m_Names.clear();
  if (settings.names)
    for (INT_PTR i = 0; i < settings.names->GetSize(); ++i)
      m_Names.emplace_back(settings.names->GetAt(i).GetString());
  m_Settings.names = nullptr;   // the dialog keeps its own copy
}

bool CFakeWizardDialog::Build(bool modeless) {
  if (m_bFailCreate)
    return false;
  if (!m_Wnd.CreateEx(0, LoggingClass(), "wizard", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
                      modeless ? nullptr : m_hParent, nullptr))
    return false;
  m_hFinish = Child(m_Wnd.m_hWnd, 0x3025, "Finish");
  m_hCancel = Child(m_Wnd.m_hWnd, IDCANCEL, "Cancel");
  if (!m_bNoStartPage) {
    m_hStartPage = Child(m_Wnd.m_hWnd, WizardStartPageTemplate, "start");
    HWND useLast = Child(m_hStartPage, WizardUseLastConfigurationControl, "Use last configuration");
    EnableWindow(useLast, FALSE);
  }
  // As the wizard dialogs do when their window is initialised.
  GetModuleApp()->UseKeyboardHook(true);
  return true;
}

INT_PTR CFakeWizardDialog::DoModal() {
  if (!Build(false))
    return -1;
  const INT_PTR result = g_fakes ? g_fakes->modal(*this) : IDCANCEL;
  if (m_Wnd.m_hWnd)
    Destroy();
  return result;
}

bool CFakeWizardDialog::CreateModeless() { return Build(true); }

void CFakeWizardDialog::Destroy() {
  if (!m_Wnd.m_hWnd)
    return;
  m_Wnd.DestroyWindow();
  m_hFinish = m_hCancel = m_hStartPage = nullptr;
  GetModuleApp()->UseKeyboardHook(false);
}

HWND CFakeWizardDialog::FindPageControl(int controlId, int pageTemplateId) {
  HWND page = m_Wnd.m_hWnd ? GetDlgItem(m_Wnd.m_hWnd, pageTemplateId) : nullptr;
  return page ? GetDlgItem(page, controlId) : nullptr;
}

bool CFakeWizardDialog::NotifyActivePageNetChanged() {
  ++m_nNetChanges;
  return true;
}

bool CFakeWizardDialog::RefreshActivePage() {
  ++m_nRefreshes;
  return true;
}

FakeWizardDialogs& InstallFakeWizardDialogs() {
  g_fakes = std::make_unique<FakeWizardDialogs>();
  RegisterWizardDialogFactory(&MakeFake);
  return *g_fakes;
}

void RemoveFakeWizardDialogs() {
  RegisterWizardDialogFactory(nullptr);
  g_fakes.reset();
}

}  // namespace brimtest
