// Test support for the wizard windows: a clean window system per test with the wizard resources registered and a
// scripted automation provider, input helpers, and a recording property page for the frame tests.
#pragma once

#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BrimsteadApp.h"
#include "brimstead/wizards/BrimsteadDlg.h"
#include "brimstead/wizards/WizardResources.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXGridWnd.h"
#include "host/HostBoard.h"
#include "host/HostCallbackLog.h"
#include "host/HostLedger.h"
#include "host/HostSystem.h"
#include "platform/framework/CPropertyPage.h"
#include "platform/window/AutomationProvider.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace wiztest {

class WizardWindowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // What the module's start-up does for its grids, once per test program for each `registerCells` (the cells, and
  // features, that the program's grids show: all cells for the wizards), the layouts and the grid library; then the
  // grid window classes that every test's window-system reset drops.
  static void StartGridLibrary(void (*registerCells)() = &GXRegisterCellControls);
  // The cells and the editing features (selection, hiding, tips), for the grids that the user edits.
  static void RegisterCellsAndFeatures();
  // The grid window classes of the start-up, which every test's window-system reset drops.
  static void RegisterGridWindowClasses();
  static void Pump();
  static void Key(int vk);
  static void ClickAt(HWND hwnd, int x, int y);
  // The text of the tip that the mouse resting on the grid's cell for 600 ms shows; empty when none shows. The
  // mouse is moved off the cell again.
  static std::string CellTipText(CGXGridWnd& grid, ROWCOL row, ROWCOL col);
  // Clicks the middle of a window.
  static void Click(HWND hwnd);
  static std::string Text(HWND hwnd);
  // Compares the window's pixels with the committed reference (brimstead/wizards/tests/reference/<name>.png).
  static void ExpectMatchesReference(HWND hwnd, const std::string& name);
  // The same against <folder><name>.png, for the fixtures of other folders (folder ends with "/").
  static void ExpectMatchesFolderReference(HWND hwnd, const std::string& folder, const std::string& name);
  // Opens a dialog of the module from its template as a modeless popup, so that its state can be checked between
  // calls.
  template <class Dialog>
  static void OpenModuleDialog(Dialog& dialog) {
    brimwiz::CModuleScope scope;   // the templates are the module's
    ASSERT_TRUE(dialog.Create(Dialog::IDD, nullptr));
  }
  // Runs `body` inside the dialog's modal loop, then cancels the dialog when `body` left it open; answers the
  // dialog's result.
  INT_PTR RunModalDialog(CDialog& dialog, std::function<void()> body);

  plat::ScriptedAutomation automation;
};

// The host's logging callback, able to run host code inside Run and MayClose.
class ReentrantCallback final : public CHostWizardCallback {
public:
  bool Run() override;
  bool MayClose() override;
  void OnClosed() override { log.OnClosed(); }
  void SelectNet(int one, CHostNet* net) override { log.SelectNet(one, net); }
  void Notify(int event, int one) override { log.Notify(event, one); }
  void HostCommand(int command, int zero) override {
    log.HostCommand(command, zero);
    if (onHostCommand)
      onHostCommand();
  }
  void AnswerMayClose(bool answer) { log.AnswerMayClose(answer); }
  void Clear() { log.Clear(); }
  const std::vector<std::string>& Lines() const { return log.Lines(); }

  host::HostCallbackLog log;
  std::function<void()> onRun, onMayClose, onHostCommand;
};

// The wizards' sample project: the sample board "demo8" in a system, with a project file in a fresh temporary
// folder (brim_<folder>_<process id>), the grid library started and the module's wizard-dialog factory registered.
// Tearing down unregisters the factory, drops the current record, runs CheckReleased and removes the folder.
class SampleProjectTest : public WizardWindowTest {
protected:
  explicit SampleProjectTest(std::string folder) : m_Folder(std::move(folder)) {}
  void SetUp() override;
  void TearDown() override;
  // Checks once the current record is gone, while the window system still stands.
  virtual void CheckReleased() {}

  CBrimsteadApp app;
  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board;
  host::HostSystem system{ledger, "Project"};
  ReentrantCallback callback;
  std::filesystem::path dir;
  std::string project;

private:
  std::string m_Folder;
};

// The decoupling-analysis wizard as the interface object runs it, on the sample project.
class WizardRunTest : public SampleProjectTest {
protected:
  WizardRunTest() : SampleProjectTest("wizrun") {}
  void SetUp() override;
  void TearDown() override;

  CBrimsteadDlg& Dialog() { return *static_cast<CBrimsteadDlg*>(api->Dialog()); }
  HWND Finish() { return api->Dialog()->GetFinishButton(); }
  HWND Cancel() { return api->Dialog()->GetCancelButton(); }
  HWND Next();
  HWND Back();
  HWND StartControl(int id) { return PageControl(1007, id); }
  HWND PageControl(int pageId, int id) { return api->Dialog()->FindPageControl(id, pageId); }
  CAnalysisData& Record() { return *GetAnalysisData(); }
  std::vector<std::string> Lines() const { return callback.Lines(); }
  // The template id of the active page; 0 when there is none.
  int ActivePageId();
  // Clicks Next until the page with this template id is active (fails the test when it never becomes active).
  void GoTo(int pageId);

  CBrimsteadAPI* api = nullptr;
};

// A page that records its notifications ("set 3", "kill 3", "back 3", "next 3", "finish 3") and answers as told.
constexpr UINT TestPageTemplate = 900;
class CRecordingPage : public CPropertyPage {
public:
  CRecordingPage(int tag, std::vector<std::string>& log) : CPropertyPage(TestPageTemplate), m_nTag(tag), m_Log(log) {}
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
  BOOL OnWizardFinish() override;

  BOOL m_bSetAnswer = TRUE;
  BOOL m_bKillAnswer = TRUE;
  LRESULT m_nBackAnswer = 0;
  LRESULT m_nNextAnswer = 0;
  BOOL m_bFinishAnswer = TRUE;

private:
  int m_nTag;
  std::vector<std::string>& m_Log;
};

}  // namespace wiztest
