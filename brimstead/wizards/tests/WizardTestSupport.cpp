#include "brimstead/wizards/tests/WizardTestSupport.h"

#include "brimstead/wizards/DWPage.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "brimstead/wizards/WizardResources.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/gxlayoutresources.h"
#include "grid/core/tests/gridwindowclasses.h"
#include "grid/features/CGXCellTipPlugin.h"
#include "grid/features/CGXCellTipWnd.h"
#include "grid/features/gxfeatures.h"
#include "host/BoardFile.h"
#include "host/tests/HostTestBoards.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/tests/TempDir.h"
#include "platform/base/VirtualClock.h"
#include "platform/controls/winctrl.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/DialogTemplate.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

#include <unistd.h>

#include <fstream>
#include <set>

namespace wiztest {

namespace {
const DialogItemTemplate kPageItems[] = {
    {WC_EDIT, "", 1001, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 10, 10, 80, 12},
};
const DialogTemplate kPage{DS_SETFONT | WS_CHILD, 0, 0, 0, 200, 100, "", "MS Shell Dlg", 8, kPageItems};
}  // namespace

void WizardWindowTest::StartGridLibrary(void (*registerCells)()) {
  static std::set<void (*)()> started;
  if (started.insert(registerCells).second) {
    registerCells();
    gx::RegisterGridLayouts();
    InitGridLibrary();
  }
  RegisterGridWindowClasses();   // the start-up's, which the window system's reset dropped
}

void WizardWindowTest::RegisterCellsAndFeatures() {
  GXRegisterCellControls();
  GXRegisterEditingFeatures();
}

void WizardWindowTest::RegisterGridWindowClasses() { gxtest::RegisterGridWindowClasses(); }

INT_PTR WizardWindowTest::RunModalDialog(CDialog& dialog, std::function<void()> body) {
  automation.Then([&dialog, body] {
    body();
    if (dialog.m_hWnd && dialog.ContinueModal()) dialog.EndDialog(IDCANCEL);
  });
  return dialog.DoModal();
}

void WizardWindowTest::SetUp() {
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("wizard-tests"));
  plat::ResetWindowSystem();
  plat::VirtualClock::Reset();
  CWnd::DeleteTempMap();
  plat::Desktop::Configure(1024, 768);
  plat::SetAutomationProvider(&automation);
  brimwiz::RegisterWizardResources();
  plat::RegisterDialogTemplate(AfxGetInstanceHandle(), TestPageTemplate, kPage);
}

void WizardWindowTest::TearDown() {
  plat::SetAutomationProvider(nullptr);
  plat::ResetWindowSystem();
  CWnd::DeleteTempMap();
}

void WizardWindowTest::Pump() { AfxPumpUntilIdle(); }

void WizardWindowTest::Key(int vk) {
  plat::InputRouter::Instance().KeyPress(vk);
  Pump();
}

void WizardWindowTest::ClickAt(HWND hwnd, int x, int y) {
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(hwnd, x, y));
  Pump();
}

std::string WizardWindowTest::CellTipText(CGXGridWnd& grid, ROWCOL row, ROWCOL col) {
  const CRect cell = grid.CalcCellRect(row, col);
  auto& input = plat::InputRouter::Instance();
  input.MouseMove(plat::InputRouter::ClientPoint(grid.GetSafeHwnd(), cell.left + 5, cell.CenterPoint().y));
  Pump();
  plat::VirtualClock::Advance(600);
  Pump();
  std::string text;
  if (auto* tips = dynamic_cast<CGXCellTipPlugin*>(grid.GetCellTipPlugin()))
    if (auto* tip = dynamic_cast<CGXTextCellTipWnd*>(tips->GetManager().FindNode(GX_CELLTIP_TEXT));
        tip && tip->IsWindowVisible())
      text = tip->GetText();
  input.MouseMove(plat::InputRouter::ClientPoint(grid.GetSafeHwnd(), 2, 2));
  Pump();
  return text;
}

void WizardWindowTest::Click(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  ClickAt(hwnd, r.right / 2, r.bottom / 2);
}

std::string WizardWindowTest::Text(HWND hwnd) {
  char text[1024];
  GetWindowText(hwnd, text, sizeof text);
  return text;
}

void WizardWindowTest::ExpectMatchesReference(HWND hwnd, const std::string& name) {
  ExpectMatchesFolderReference(hwnd, "brimstead/wizards/tests/reference/", name);
}

void WizardWindowTest::ExpectMatchesFolderReference(HWND hwnd, const std::string& folder, const std::string& name) {
  auto image = plat::Desktop::Capture(hwnd);
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, folder + name + ".png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

bool ReentrantCallback::Run() {
  const bool answer = log.Run();
  if (onRun)
    onRun();
  return answer;
}

bool ReentrantCallback::MayClose() {
  const bool answer = log.MayClose();
  if (onMayClose)
    onMayClose();
  return answer;
}

void SampleProjectTest::SetUp() {
  WizardWindowTest::SetUp();
  StartGridLibrary();
  board = host::LoadBoardFile(host::test::SampleBoard("demo8.json"), ledger);
  system.AddBoard(board.get());
  dir = MakeTempFolder("brim_" + m_Folder);
  project = (dir / "demo8.brd").string();
  std::ofstream(project) << "board\n";
  RegisterWizardDialogFactory(&MakeWizardDialog);
}

void SampleProjectTest::TearDown() {
  RegisterWizardDialogFactory(nullptr);
  SetCurrentAnalysisData(nullptr);
  CheckReleased();
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  WizardWindowTest::TearDown();
}

void WizardRunTest::SetUp() {
  SampleProjectTest::SetUp();
  api = CBrimsteadAPI::Create();
  api->SetCallback(&callback);
  api->SetSystem(&system);
  api->SetProjectFile(project.c_str());
}

void WizardRunTest::TearDown() {
  api->Close();
  Pump();
  SampleProjectTest::TearDown();
}

HWND WizardRunTest::Next() {
  return ::GetDlgItem(Dialog().GetFrame()->GetStepList()->GetButtonBar()->m_hWnd, brimwiz::IDC_WIZ_NEXT);
}

HWND WizardRunTest::Back() {
  return ::GetDlgItem(Dialog().GetFrame()->GetStepList()->GetButtonBar()->m_hWnd, brimwiz::IDC_WIZ_BACK);
}

int WizardRunTest::ActivePageId() {
  CDWPage* page = Dialog().GetActivePage();
  return page ? static_cast<int>(page->GetTemplateId()) : 0;
}

void WizardRunTest::GoTo(int pageId) {
  for (int guard = 0; ActivePageId() != pageId; ++guard) {
    ASSERT_LT(guard, 20) << "page " << pageId << " never became active";
    Click(Next());
  }
}

BOOL CRecordingPage::OnSetActive() {
  m_Log.push_back("set " + std::to_string(m_nTag));
  return m_bSetAnswer;
}

BOOL CRecordingPage::OnKillActive() {
  m_Log.push_back("kill " + std::to_string(m_nTag));
  return m_bKillAnswer;
}

LRESULT CRecordingPage::OnWizardBack() {
  m_Log.push_back("back " + std::to_string(m_nTag));
  return m_nBackAnswer;
}

LRESULT CRecordingPage::OnWizardNext() {
  m_Log.push_back("next " + std::to_string(m_nTag));
  return m_nNextAnswer;
}

BOOL CRecordingPage::OnWizardFinish() {
  m_Log.push_back("finish " + std::to_string(m_nTag));
  return m_bFinishAnswer;
}

}  // namespace wiztest
