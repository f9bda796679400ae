// A stand-in for the wizard dialogs, built into a test copy of the module library, so that a test process (or
// pdnhost) can open wizards through the library's exports alone. It behaves as far as the interface objects and
// the host can tell like the wizard dialogs:
// - its window takes one keyboard-hook use while it exists and takes WM_CHAR in its pre-translation;
// - on opening it selects the board when there is no choice to make and tells the callback Notify(1, 1);
// - Finish (a click on its Finish button) saves the settings file and calls the callback's Run;
// - "Use last configuration" on its start page reads the file named by the settings-copy buffer, then Notify(2, 1);
// - its start page's "Save settings to file" box (the only part shown) sets the record's save flag when clicked;
// - Cancel asks the callback's MayClose and, when allowed, destroys the window (modeless) or ends the run (modal).
//
// It also writes what it sees of the module's start and end to the trace file that BRIM_MODULE_TRACE names (a
// test that loads it names a file in a folder of its own; unset, nothing is written): when its own static object
// is constructed and destroyed and when a wizard window is destroyed, whether the application object exists and
// whether the application's start-up has run (and its exit has not).
#include "brimstead/AnalysisData.h"
#include "brimstead/BrimsteadApp.h"
#include "brimstead/WizardDialogLink.h"
#include "platform/framework/CWnd.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int FinishButtonId = 0x3025;

void Trace(const char* what) {
  const char* path = std::getenv("BRIM_MODULE_TRACE");
  if (!path || !*path)
    return;
  if (FILE* file = std::fopen(path, "a")) {
    auto* app = static_cast<CBrimsteadApp*>(GetModuleApp());
    std::fprintf(file, "%s app=%d started=%d\n", what, app ? 1 : 0, app && app->IsStarted() ? 1 : 0);
    std::fclose(file);
  }
}

constexpr int SaveSettingsBoxId = 1065;

// Buttons and the start page: a click becomes a WM_COMMAND that climbs to the wizard window.
LRESULT PartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == BM_CLICK || message == WM_LBUTTONUP) {
    SendMessage(GetParent(hwnd), WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), reinterpret_cast<LPARAM>(hwnd));
    return 0;
  }
  if (message == WM_COMMAND)
    return SendMessage(GetParent(hwnd), message, wParam, lParam);
  return DefWindowProc(hwnd, message, wParam, lParam);
}

void RegisterClasses() {
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "BrimPluginWizard";
  RegisterClass(&wc);
  wc.lpfnWndProc = PartProc;
  wc.lpszClassName = "BrimPluginPart";
  RegisterClass(&wc);
}

class CPluginWizard;

class CWizardWnd : public CWnd {
public:
  explicit CWizardWnd(CPluginWizard& wizard) : m_Wizard(wizard) {}
  BOOL PreTranslateMessage(MSG* msg) override { return msg->message == WM_CHAR; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  CPluginWizard& m_Wizard;
};

class CPluginWizard final : public CWizardDialogLink {
public:
  void Configure(const CWizardDialogSettings& settings) override { m_Settings = settings; }
  INT_PTR DoModal() override {
    if (!Build(m_Settings.modeless))
      return -1;
    // The stand-in's modal run shows nothing to interact with: it ends at once, as a Cancel would.
    Cancel();
    if (m_Wnd.m_hWnd)
      m_Wnd.DestroyWindow();
    return IDCANCEL;
  }
  bool CreateModeless() override { return Build(true); }
  HWND GetWindow() override { return m_Wnd.m_hWnd; }
  void Show() override {
    if (m_Wnd.m_hWnd)
      m_Wnd.ShowWindow(SW_SHOW);
  }
  void Destroy() override {
    if (m_Wnd.m_hWnd)
      m_Wnd.DestroyWindow();
  }
  void EndDialog(int) override {}
  HWND GetFinishButton() override { return m_Wnd.m_hWnd ? GetDlgItem(m_Wnd.m_hWnd, FinishButtonId) : nullptr; }
  HWND GetCancelButton() override { return m_Wnd.m_hWnd ? GetDlgItem(m_Wnd.m_hWnd, IDCANCEL) : nullptr; }
  HWND FindPageControl(int controlId, int pageTemplateId) override {
    HWND page = m_Wnd.m_hWnd ? GetDlgItem(m_Wnd.m_hWnd, pageTemplateId) : nullptr;
    return page ? GetDlgItem(page, controlId) : nullptr;
  }
  bool ActivePageTakesViewerPicks() override { return false; }
  bool ActivePageHasSelection() override { return false; }
  bool NotifyActivePageNetChanged() override { return false; }
  bool RefreshActivePage() override { return false; }
  bool HasBoardMarks() override { return false; }
  void ClearBoardMarks() override {}

  void OnCommand(int id) {
    CAnalysisData* record = GetAnalysisData();
    if (id == FinishButtonId && record) {
      if (!record->m_SettingsPath.IsEmpty())
        record->Save();
      if (m_Settings.callback)
        m_Settings.callback->Run();
    } else if (id == WizardUseLastConfigurationControl && record) {
      if (record->RestoreFromSettingsCopy() && m_Settings.callback)
        m_Settings.callback->Notify(HostEventSettingsLoaded, 1);
    } else if (id == SaveSettingsBoxId && record) {
      record->m_bSaveSettings = 1;
    } else if (id == IDCANCEL) {
      Cancel();
    }
  }
  void OnDestroy() { GetModuleApp()->UseKeyboardHook(false); }

private:
  bool Build(bool modeless) {
    RegisterClasses();
    if (!m_Wnd.CreateEx(0, "BrimPluginWizard", "wizard", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr))
      return false;
    GetModuleApp()->UseKeyboardHook(true);
    m_bModeless = modeless;
    auto part = [](HWND parent, int id, DWORD shown = 0, int size = 10) {
      return CreateWindowEx(0, "BrimPluginPart", "", WS_CHILD | shown, 0, 0, size, size, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    part(m_Wnd.m_hWnd, FinishButtonId);
    part(m_Wnd.m_hWnd, IDCANCEL);
    HWND start = part(m_Wnd.m_hWnd, WizardStartPageTemplate, WS_VISIBLE, 50);
    part(start, WizardUseLastConfigurationControl);
    part(start, SaveSettingsBoxId, WS_VISIBLE);
    // The board page is skipped when there is nothing to choose: the one board is taken.
    CAnalysisData* record = GetAnalysisData();
    if (record && record->m_nBoardIndex < 0 && record->m_pSystem && !record->m_pSystem->MustChooseBoard())
      record->SelectBoard(0);
    if (m_Settings.callback)
      m_Settings.callback->Notify(HostEventWizardOpened, 1);
    return true;
  }
  void Cancel() {
    if (m_Settings.callback && !m_Settings.callback->MayClose())
      return;
    if (m_bModeless && m_Wnd.m_hWnd)
      m_Wnd.DestroyWindow();
  }

  CWizardDialogSettings m_Settings;
  CWizardWnd m_Wnd{*this};
  bool m_bModeless = false;
};

LRESULT CWizardWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    m_Wizard.OnCommand(LOWORD(wParam));
    return 0;
  }
  if (message == WM_DESTROY) {
    Trace("wizard destroyed");
    m_Wizard.OnDestroy();   // the hook use goes with the window, as the wizard dialogs give it back
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

CWizardDialogLink* MakePluginWizard(int, HWND) { return new CPluginWizard(); }

struct CPluginRegistration {
  CPluginRegistration() {
    Trace("statics");
    RegisterWizardDialogFactory(&MakePluginWizard);
  }
  ~CPluginRegistration() {
    Trace("unload");
    RegisterWizardDialogFactory(nullptr);
  }
  CPluginRegistration(const CPluginRegistration&) = delete;
  CPluginRegistration& operator=(const CPluginRegistration&) = delete;
} g_registration;

}  // namespace
