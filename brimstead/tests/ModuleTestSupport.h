// Test support for the module's objects: a window class that logs what reaches it, and a stand-in wizard dialog
// plugged into the wizard-dialog seam. The stand-in builds real windows the way the wizard frame lays them out
// (a dialog window with Finish and Cancel buttons and a start page holding "Use last configuration"), takes and
// gives back its keyboard-hook use as the wizard dialogs do, and takes keyboard messages in its pre-translation.
#pragma once

#include "brimstead/WizardDialogLink.h"
#include "platform/framework/CWnd.h"

#include <functional>
#include <string>
#include <vector>

namespace brimtest {

// One message as the logging window class received it.
struct LoggedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
};

// Registers the logging class (once per window-system reset) and clears the log.
void ResetTestWindows();
const char* LoggingClass();
std::vector<LoggedMessage>& MessageLog();
// The messages of one number, in arrival order.
std::vector<LoggedMessage> Logged(UINT message);
// Dispatches what is queued, the way a host loop does (hooks run on the removal).
void PumpPending();

// A window bound to the class library that takes WM_CHAR in its pre-translation, as a dialog takes its keys.
class CKeyTakingWnd : public CWnd {
public:
  BOOL PreTranslateMessage(MSG* msg) override;
  int m_nTaken = 0;
};

class CFakeWizardDialog final : public CWizardDialogLink {
public:
  explicit CFakeWizardDialog(int kind, HWND parent) : m_nKind(kind), m_hParent(parent) {}
  ~CFakeWizardDialog() override;

  void Configure(const CWizardDialogSettings& settings) override;
  INT_PTR DoModal() override;
  bool CreateModeless() override;
  HWND GetWindow() override { return m_Wnd.m_hWnd; }
  void Show() override { m_bShown = true; }
  void Destroy() override;
  void EndDialog(int result) override { m_nEndResult = result; }
  HWND GetFinishButton() override { return m_hFinish; }
  HWND GetCancelButton() override { return m_hCancel; }
  HWND FindPageControl(int controlId, int pageTemplateId) override;
  bool ActivePageTakesViewerPicks() override { return m_bViewerPicks; }
  bool ActivePageHasSelection() override { return m_bSelection; }
  bool NotifyActivePageNetChanged() override;
  bool RefreshActivePage() override;
  bool HasBoardMarks() override { return m_nMarks > 0; }
  void ClearBoardMarks() override { m_nMarks = 0; }

  int m_nKind;
  HWND m_hParent;
  CWizardDialogSettings m_Settings;
  std::vector<std::string> m_Names;
  CKeyTakingWnd m_Wnd;
  HWND m_hFinish = nullptr;
  HWND m_hCancel = nullptr;
  HWND m_hStartPage = nullptr;
  bool m_bShown = false;
  bool m_bNoStartPage = false;
  bool m_bViewerPicks = false;
  bool m_bSelection = false;
  int m_nMarks = 0;
  int m_nRefreshes = 0;
  int m_nNetChanges = 0;
  int m_nEndResult = 0;
  bool m_bFailCreate = false;

private:
  bool Build(bool modeless);
};

// Plugs the stand-in into the seam; `modal` is what DoModal does between building and destroying its windows.
struct FakeWizardDialogs {
  std::function<INT_PTR(CFakeWizardDialog&)> modal = [](CFakeWizardDialog&) { return INT_PTR{2}; };
  std::vector<CFakeWizardDialog*> made;   // every dialog made, in order (deleted ones stay listed as pointers)
  int deleted = 0;
  bool failCreate = false;
};
FakeWizardDialogs& InstallFakeWizardDialogs();
void RemoveFakeWizardDialogs();

}  // namespace brimtest
