// The interface objects with a wizard dialog plugged into the seam: what the dialog is handed, the posted clicks
// and message 1315 arriving at the right windows in order, and the lifetimes of modal and modeless wizards.
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BrimsteadApp.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "brimstead/tests/ModuleTestSupport.h"
#include "host/HostBoardMarker.h"
#include "host/HostCallbackLog.h"
#include "platform/base/tests/TempDir.h"
#include "platform/window/MessageQueue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace brimtest;

namespace {

class WizardDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    ResetTestWindows();
    plat::MessageQueue::Instance().Clear();
    fakes = &InstallFakeWizardDialogs();
  }
  void TearDown() override {
    RemoveFakeWizardDialogs();
    SetCurrentAnalysisData(nullptr);
    ResetTestWindows();
  }

  CBrimsteadApp app;
  host::HostCallbackLog callback;
  FakeWizardDialogs* fakes = nullptr;
  TempDir temp{"brim-wizard-dialogs"};   // the files a test writes, in a folder of its own
};

TEST_F(WizardDialogs, ClicksArriveAtTheirButtonsInTheOrderAsked) {
  CBrimsteadAPI* api = CBrimsteadAPI::Create();
  api->SetCallback(&callback);
  ASSERT_TRUE(api->CreateModeless());
  CFakeWizardDialog& dialog = *fakes->made.back();
  HWND useLast = dialog.FindPageControl(WizardUseLastConfigurationControl, WizardStartPageTemplate);
  ASSERT_NE(useLast, nullptr);
  EXPECT_FALSE(IsWindowEnabled(useLast));

  const std::string last = temp / "brim-last.dao";
  std::ofstream(last) << "[HEADER]\r\n";
  EXPECT_TRUE(api->Run());
  EXPECT_TRUE(api->UseLastConfiguration(last.c_str()));
  EXPECT_TRUE(api->CloseWizard());
  // Nothing happens before the host's loop runs: the clicks go through the page's own validation later.
  EXPECT_TRUE(Logged(BM_CLICK).empty());
  EXPECT_TRUE(IsWindowEnabled(useLast));
  PumpPending();
  const std::vector<LoggedMessage> clicks = Logged(BM_CLICK);
  ASSERT_EQ(clicks.size(), 3u);
  EXPECT_EQ(clicks[0].hwnd, dialog.GetFinishButton());
  EXPECT_EQ(clicks[1].hwnd, useLast);
  EXPECT_EQ(clicks[2].hwnd, dialog.GetCancelButton());
  // "Use last configuration" left its file as the settings copy; CloseWizard took it away again.
  EXPECT_EQ(GetAnalysisData()->m_pSettingsCopyBuffer, nullptr);
  EXPECT_TRUE(api->UseLastConfiguration(last.c_str()));
  ASSERT_NE(GetAnalysisData()->m_pSettingsCopyBuffer, nullptr);
  EXPECT_STREQ(GetAnalysisData()->m_pSettingsCopyBuffer, last.c_str());
  PumpPending();
  // A file that is not there, a folder or a path in a missing folder loads nothing: false, and no click.
  const std::string folder = temp.Path().string();
  for (const std::string& path : {folder + "/brim-none.dao", folder, folder + "/brim-none/last.dao"}) {
    EXPECT_FALSE(api->UseLastConfiguration(path.c_str())) << path;
    EXPECT_FALSE(api->LoadSettings(path.c_str())) << path;
  }
  PumpPending();
  EXPECT_EQ(Logged(BM_CLICK).size(), 4u);
  std::filesystem::remove(last);
  api->Close();
}

TEST_F(WizardDialogs, MissingButtonsAnswerPerObject) {
  CModelExtractorWizardAPI* extractor = CModelExtractorWizardAPI::Create();
  extractor->SetCallback(&callback);
  fakes->made.clear();
  ASSERT_TRUE(extractor->CreateModeless());
  CFakeWizardDialog& dialog = *fakes->made.back();
  DestroyWindow(dialog.m_hFinish);
  DestroyWindow(dialog.m_hCancel);
  dialog.m_hFinish = dialog.m_hCancel = nullptr;
  EXPECT_FALSE(extractor->Run());
  EXPECT_FALSE(extractor->CloseWizard());
  DestroyWindow(dialog.m_hStartPage);
  EXPECT_FALSE(extractor->UseLastConfiguration("/tmp/last.dao"));
  extractor->Close();

  CDiffViaModelWizardAPI* via = CDiffViaModelWizardAPI::Create();
  via->SetCallback(&callback);
  ASSERT_TRUE(via->CreateModeless());
  fakes->made.back()->m_hFinish = nullptr;
  EXPECT_TRUE(via->Run());   // the via-model object answers true and clicks nothing
  PumpPending();
  EXPECT_TRUE(Logged(BM_CLICK).empty());
  EXPECT_TRUE(via->Close());
}

TEST_F(WizardDialogs, LoadedSettingsMakeTheViaModelWizardRereadItsRecord) {
  namespace fs = std::filesystem;
  const fs::path file = temp / "brim_1315.dao";
  CDiffViaModelWizardAPI* via = CDiffViaModelWizardAPI::Create();
  via->SetCallback(&callback);
  ASSERT_TRUE(via->CreateModeless());
  GetDiffViaAnalysisData()->m_dNormalImpedance = 42.0;
  GetAnalysisData()->m_SettingsPath = file.string().c_str();
  ASSERT_TRUE(GetAnalysisData()->Save());
  GetDiffViaAnalysisData()->m_dNormalImpedance = 50.0;

  callback.Clear();
  ASSERT_TRUE(via->LoadSettings(file.string().c_str()));
  EXPECT_EQ(via->GetNormalImpedance(), 42.0);
  EXPECT_TRUE(Logged(WM_WIZARD_REREAD_RECORD).empty());   // posted, not sent
  PumpPending();
  const std::vector<LoggedMessage> rereads = Logged(1315);
  ASSERT_EQ(rereads.size(), 1u);
  EXPECT_EQ(rereads[0].hwnd, via->GetWizardWindow());
  ASSERT_EQ(callback.Lines().size(), 1u);
  EXPECT_EQ(callback.Lines()[0], "Notify 2 1");
  via->Close();
  fs::remove(file);
}

TEST_F(WizardDialogs, DialogReceivesTheObjectsSettings) {
  host::HostBoardMarker marker;
  CModelExtractorWizardAPI* api = CModelExtractorWizardAPI::Create();
  api->AddNames("A\nB");
  api->SetCallback(&callback);
  api->SetBoardView(&marker);
  // The table value is the host's model library, a pointer: all of it reaches the dialog.
  const INT_PTR library = static_cast<INT_PTR>(0x7F0012345678);
  api->SetTableValue(library);
  api->SetWizardOption2(true);
  api->EnableDebugOptions();
  HWND hostWindow = CreateWindowEx(0, LoggingClass(), "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                   nullptr, nullptr, nullptr);
  api->SetParentWindow(hostWindow);
  int netChangesBeforeRun = -1;
  fakes->modal = [&](CFakeWizardDialog& dialog) {
    netChangesBeforeRun = dialog.m_nNetChanges;
    return INT_PTR{IDOK};
  };
  EXPECT_TRUE(api->RunModal());
  EXPECT_EQ(fakes->deleted, 1);
  EXPECT_EQ(netChangesBeforeRun, 1);   // the extractor's page took the selected net before the run
  EXPECT_EQ(GetAnalysisData()->m_bBoardMode, 0);
  EXPECT_EQ(api->Dialog(), nullptr);

  // What a live dialog holds.
  fakes->modal = [&](CFakeWizardDialog& live) {
    EXPECT_EQ(live.m_nKind, 4);
    EXPECT_EQ(live.m_hParent, hostWindow);
    EXPECT_EQ(live.m_Settings.option1, 1);
    EXPECT_EQ(live.m_Settings.option2, 1);
    EXPECT_EQ(live.m_Settings.debugOptions, 1);
    EXPECT_EQ(live.m_Settings.callback, &callback);
    EXPECT_EQ(live.m_Settings.tableValue, library);
    EXPECT_EQ(live.m_Settings.boardView, &marker);
    EXPECT_FALSE(live.m_Settings.modeless);
    EXPECT_EQ(live.m_Names, (std::vector<std::string>{"A", "B"}));
    return INT_PTR{IDCANCEL};
  };
  EXPECT_FALSE(api->RunModal());   // Cancel or Close: false

  // The bypass and decoupling dialogs get no board view.
  CBypassWizardAPI* bypass = CBypassWizardAPI::Create();
  bypass->SetBoardView(&marker);
  bypass->EnableBoardMode();
  fakes->modal = [&](CFakeWizardDialog& live) {
    EXPECT_EQ(live.m_Settings.boardView, nullptr);
    EXPECT_EQ(GetAnalysisData()->m_bBoardMode, 1);
    return INT_PTR{IDCANCEL};
  };
  EXPECT_FALSE(bypass->RunModal());
}

TEST_F(WizardDialogs, ModelessLifetimes) {
  CBypassWizardAPI* api = CBypassWizardAPI::Create();
  EXPECT_FALSE(api->CreateModeless());   // a modeless wizard needs the callback
  EXPECT_TRUE(fakes->made.empty());
  api->SetCallback(&callback);
  fakes->failCreate = true;
  EXPECT_FALSE(api->CreateModeless());
  EXPECT_EQ(fakes->deleted, 1);
  EXPECT_EQ(api->Dialog(), nullptr);
  fakes->failCreate = false;

  ASSERT_TRUE(api->CreateModeless());
  CFakeWizardDialog* first = fakes->made.back();
  EXPECT_TRUE(first->m_bShown);
  EXPECT_TRUE(first->m_Settings.modeless);
  EXPECT_TRUE(api->IsModeless());
  HWND window = api->GetWizardWindow();
  ASSERT_TRUE(IsWindow(window));
  // A second modeless wizard while one is held would orphan the first one's window.
  EXPECT_FALSE(api->CreateModeless());
  EXPECT_EQ(api->GetWizardWindow(), window);

  // A modal run deletes the held dialog, its window destroyed first (the stand-in fails the test otherwise).
  EXPECT_FALSE(api->RunModal());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(api->IsModeless());
  EXPECT_EQ(fakes->deleted, 3);
  EXPECT_FALSE(app.IsKeyboardHookInstalled());

  // Close of a modeless decoupling wizard destroys it; of a modal one ends the run with Cancel.
  CBrimsteadAPI* decoupling = CBrimsteadAPI::Create();
  decoupling->SetCallback(&callback);
  ASSERT_TRUE(decoupling->CreateModeless());
  EXPECT_FALSE(decoupling->Close());
  EXPECT_EQ(decoupling->GetWizardWindow(), nullptr);
  EXPECT_FALSE(decoupling->IsModeless());
  int ended = 0;
  fakes->modal = [&](CFakeWizardDialog& live) {
    decoupling->Close();
    ended = live.m_nEndResult;
    EXPECT_TRUE(IsWindow(live.GetWindow()));   // the run ends by itself
    return INT_PTR{IDCANCEL};
  };
  EXPECT_FALSE(decoupling->RunModal());
  EXPECT_EQ(ended, IDCANCEL);
}

// The host asks for the object again while its modeless wizard is still up: the wizard stays open and is
// forgotten, the object starts afresh, and the forgotten dialog is freed when its window goes.
TEST_F(WizardDialogs, AFactoryCallWhileAModelessWizardIsOpenForgetsItUntilItsWindowGoes) {
  CBypassWizardAPI* api = CBypassWizardAPI::Create();
  api->SetCallback(&callback);
  ASSERT_TRUE(api->CreateModeless());
  CFakeWizardDialog* first = fakes->made.back();
  const HWND window = first->GetWindow();
  EXPECT_EQ(CBypassWizardAPI::Create(), api);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(api->GetWizardWindow(), nullptr);
  EXPECT_EQ(api->Dialog(), nullptr);
  EXPECT_FALSE(api->IsModeless());
  EXPECT_EQ(fakes->deleted, 0);

  api->SetCallback(&callback);
  ASSERT_TRUE(api->CreateModeless()) << "a new wizard beside the forgotten one";
  CFakeWizardDialog* second = fakes->made.back();
  ASSERT_NE(second, first);
  // The user closes the forgotten wizard; the object keeps its new one.
  first->Destroy();
  first->m_Settings.owner->OnDialogClosed(first, true);
  EXPECT_EQ(fakes->deleted, 1);
  EXPECT_EQ(api->Dialog(), second);
  EXPECT_EQ(api->GetWizardWindow(), second->GetWindow());
  EXPECT_TRUE(api->IsModeless());
  EXPECT_TRUE(app.IsKeyboardHookInstalled());
  EXPECT_FALSE(api->Close());
  EXPECT_EQ(fakes->deleted, 2);
  EXPECT_FALSE(app.IsKeyboardHookInstalled());
}

TEST_F(WizardDialogs, CloseOfAModalViaModelRunOnlyClearsTheBoardViewsMarks) {
  host::HostBoardMarker marker;
  marker.CreateMarkGroup(1);
  marker.CreateMarkGroup(1);
  CDiffViaModelWizardAPI* api = CDiffViaModelWizardAPI::Create();
  api->SetBoardView(&marker);
  bool open = false;
  fakes->modal = [&](CFakeWizardDialog& live) {
    EXPECT_FALSE(api->Close());
    open = IsWindow(live.GetWindow()) && live.m_nEndResult == 0;
    return INT_PTR{IDCANCEL};
  };
  EXPECT_FALSE(api->RunModal());
  EXPECT_TRUE(open);
  EXPECT_EQ(marker.GetMarkCount(), 0);
  EXPECT_EQ(marker.Refreshes(), 1);

  // The extractor clears the marks its dialog holds.
  CModelExtractorWizardAPI* extractor = CModelExtractorWizardAPI::Create();
  fakes->modal = [&](CFakeWizardDialog& live) {
    live.m_nMarks = 3;
    EXPECT_FALSE(extractor->Close());
    EXPECT_EQ(live.m_nMarks, 0);
    return INT_PTR{IDCANCEL};
  };
  EXPECT_FALSE(extractor->RunModal());

  // A marker whose count does not fall is asked once and the close goes on (it gives up after 100 removals so
  // that a close that keeps asking fails instead of hanging).
  class StuckMarker final : public CHostBoardMarker {
  public:
    CHostMarkGroup* CreateMarkGroup(int) override { return nullptr; }
    void RemoveMark(int) override { ++removals; }
    int GetMarkCount() override { return removals < 100 ? 2 : 0; }
    void Refresh() override { ++refreshes; }
    int removals = 0;
    int refreshes = 0;
  } stuck;
  api->SetBoardView(&stuck);
  EXPECT_FALSE(api->Close());
  EXPECT_EQ(stuck.removals, 1);
  EXPECT_EQ(stuck.refreshes, 1);
}

TEST_F(WizardDialogs, ActivePageQuestionsGoToTheDialog) {
  CModelExtractorWizardAPI* api = CModelExtractorWizardAPI::Create();
  EXPECT_FALSE(api->ActivePageUsesViewer());
  EXPECT_FALSE(api->IsSelectNetActive());
  EXPECT_TRUE(api->OnViewerSelectionChanged());   // without a dialog: true
  api->SetCallback(&callback);
  ASSERT_TRUE(api->CreateModeless());
  CFakeWizardDialog& dialog = *fakes->made.back();
  EXPECT_EQ(dialog.m_nNetChanges, 1);   // after the window was shown
  dialog.m_bViewerPicks = true;
  dialog.m_bSelection = true;
  EXPECT_TRUE(api->ActivePageUsesViewer());
  EXPECT_TRUE(api->IsSelectNetActive());
  EXPECT_TRUE(api->SetSelectedNet(nullptr));
  EXPECT_EQ(dialog.m_nNetChanges, 2);
  EXPECT_TRUE(api->OnViewerSelectionChanged());
  EXPECT_EQ(dialog.m_nRefreshes, 1);
  EXPECT_TRUE(api->Close());

  CBypassWizardAPI* bypass = CBypassWizardAPI::Create();
  EXPECT_FALSE(bypass->OnViewerSelectionChanged());   // without a dialog: false
}

}  // namespace
