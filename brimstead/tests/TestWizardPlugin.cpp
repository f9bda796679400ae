// A stand-in for the wizard dialogs, built into a test copy of the module library, so that a test process can open
// wizards through the library's exports alone. Each wizard is a window whose pre-translation takes WM_CHAR; it
// takes one keyboard-hook use when made and gives it back when closed through its interface object.
//
// It also writes what it sees of the module's start and end to a trace file (/tmp/brim_module_trace_<pid>.txt):
// when its own static object is constructed and destroyed, whether the application object exists and whether the
// application's start-up has run.
#include "brimstead/BrimsteadApp.h"
#include "brimstead/WizardDialogLink.h"
#include "platform/framework/CWnd.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

void Trace(const char* what) {
  const std::string path = "/tmp/brim_module_trace_" + std::to_string(::getpid()) + ".txt";
  if (FILE* file = std::fopen(path.c_str(), "a")) {
    auto* app = static_cast<CBrimsteadApp*>(GetModuleApp());
    std::fprintf(file, "%s app=%d started=%d\n", what, app ? 1 : 0, app && app->IsStarted() ? 1 : 0);
    std::fclose(file);
  }
}

class CKeyWnd : public CWnd {
public:
  BOOL PreTranslateMessage(MSG* msg) override { return msg->message == WM_CHAR; }
};

class CPluginWizard final : public CWizardDialogLink {
public:
  void Configure(const CWizardDialogSettings&) override {}
  INT_PTR DoModal() override { return IDCANCEL; }
  bool CreateModeless() override {
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "BrimPluginWizard";
    RegisterClass(&wc);
    if (!m_Wnd.CreateEx(0, "BrimPluginWizard", "wizard", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr))
      return false;
    GetModuleApp()->UseKeyboardHook(true);
    return true;
  }
  HWND GetWindow() override { return m_Wnd.m_hWnd; }
  void Show() override {}
  void Destroy() override {
    if (!m_Wnd.m_hWnd)
      return;
    m_Wnd.DestroyWindow();
    GetModuleApp()->UseKeyboardHook(false);
  }
  void EndDialog(int) override {}
  HWND GetFinishButton() override { return nullptr; }
  HWND GetCancelButton() override { return nullptr; }
  HWND FindPageControl(int, int) override { return nullptr; }
  bool ActivePageTakesViewerPicks() override { return false; }
  bool ActivePageHasSelection() override { return false; }
  bool NotifyActivePageNetChanged() override { return false; }
  bool RefreshActivePage() override { return false; }
  bool HasBoardMarks() override { return false; }
  void ClearBoardMarks() override {}

private:
  CKeyWnd m_Wnd;
};

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
