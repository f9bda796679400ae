// The capacitor models dialog through its host interface object (RunModal's answers, the board it shows, the board
// chooser) and the wizards' capacitor page (the decoupling wizard's net pair, the options, the table value).
#include "brimstead/models/capacitors/tests/CapacitorTableTestSupport.h"

#include "brimstead/BrimsteadExports.h"
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/models/capacitors/CCapacitorModelsAPI.h"
#include "brimstead/wizards/ControlText.h"
#include "brimstead/wizards/DWCapModelsPage2.h"
#include "brimstead/wizards/DWSelectNetPage.h"
#include "host/HostSystem.h"
#include "platform/framework/HelpService.h"

namespace captest {
namespace {

using Panel = CCapacitorModelsPanel;

class CapacitorModelsDialog : public CapacitorTableTest {
protected:
  void SetUp() override {
    CapacitorTableTest::SetUp();
    host::HostPart* part = board.Part("CAP_100N", 1e-7);
    board.Group("G1", {board.Capacitor("C1", part, board.gnd, board.vdd)});
    board.Capacitor("C2", part, board.gnd, board.vio);
  }

  // The dialog the object's RunModal shows; null when none is open.
  static CCapacitorModelsDlg* OpenDialog() {
    HWND hwnd = FindWindow(nullptr, CCapacitorModelsDlg::Title);
    return hwnd ? static_cast<CCapacitorModelsDlg*>(CWnd::FromHandlePermanent(hwnd)) : nullptr;
  }

  // Runs the object's dialog with `body` inside its loop; the body's last act closes it (else Cancel does).
  int Run(CCapacitorModelsAPITable& api, std::function<void(CCapacitorModelsDlg&)> body) {
    bool ran = false;
    automation.Then([&] {
      CCapacitorModelsDlg* dialog = OpenDialog();
      ASSERT_NE(dialog, nullptr);
      ran = true;
      body(*dialog);
      if (CCapacitorModelsDlg* still = OpenDialog()) still->EndDialog(IDCANCEL);
    });
    const int answer = api.RunModal();
    EXPECT_TRUE(ran);
    return answer;
  }

  struct ApiDeleter {
    void operator()(CCapacitorModelsAPITable* api) const { api->Delete(); }
  };
  using ApiPtr = std::unique_ptr<CCapacitorModelsAPITable, ApiDeleter>;
  static ApiPtr MakeApi() { return ApiPtr(CreateCapacitorModelsDialog()); }
};

TEST_F(CapacitorModelsDialog, TheSettersOnlyStoreAndAnswerWhatTheHostExpects) {
  auto api = MakeApi();
  auto& object = static_cast<CCapacitorModelsAPI&>(*api);
  api->AddModelDirectories("/a/\r\n/b/");
  api->AddModelDirectories("\t/c/\n\n");
  api->AddModelDirectories(nullptr);
  ASSERT_EQ(object.ModelDirectories().GetSize(), 3);
  EXPECT_EQ(object.ModelDirectories()[2], "/c/");
  EXPECT_EQ(api->SetFilterNets(board.gnd, board.vdd), board.gnd);
  EXPECT_EQ(api->SetModelLibrary(&board.board->ModelLibrary()), &board.board->ModelLibrary());
  const char* unit = "";
  EXPECT_EQ(api->SetUnitText(unit), unit);
  EXPECT_TRUE(api->SetContext(42));
  EXPECT_EQ(object.Context(), 42u);
  api->SetGroupsOnly();
  api->EnableExtendedKinds();
  EXPECT_TRUE(object.GroupsOnly() && object.ExtendedKinds());
}

TEST_F(CapacitorModelsDialog, RunModalAnswersTwoAtOnceWithoutASystemAndOneAfterTheDialog) {
  auto api = MakeApi();
  EXPECT_TRUE(api->SetBoard(board.board.get()));
  EXPECT_EQ(api->RunModal(), 2);   // a board alone is not enough
  EXPECT_EQ(OpenDialog(), nullptr);

  host::HostSystem system(ledger, "project");
  system.AddBoard(board.board.get());
  EXPECT_TRUE(api->SetSystem(&system));
  // "Close" and the close box both answer 1.
  EXPECT_EQ(Run(*api, [](CCapacitorModelsDlg& dialog) { dialog.SendMessage(WM_COMMAND, CCapacitorModelsDlg::IDC_CLOSE); }), 1);
  EXPECT_EQ(Run(*api, [](CCapacitorModelsDlg& dialog) { dialog.SendMessage(WM_CLOSE); }), 1);
  EXPECT_EQ(OpenDialog(), nullptr);
  // "Help" shows the dialog's topic.
  plat::HelpService help;
  plat::HelpService::Install(&help);
  Run(*api, [](CCapacitorModelsDlg& dialog) { dialog.SendMessage(WM_COMMAND, CCapacitorModelsDlg::IDC_HELP_BUTTON); });
  plat::HelpService::Install(nullptr);
  ASSERT_EQ(help.calls.size(), 1u);
  EXPECT_EQ(help.calls[0].file, "duskmoor_useref");
  EXPECT_EQ(help.calls[0].data, 5u);
}

TEST_F(CapacitorModelsDialog, ASystemWithoutBoardsShowsAnEmptyTableWithEveryActionOff) {
  auto api = MakeApi();
  host::HostSystem empty(ledger, "nothing");
  api->SetSystem(&empty);
  const int answer = Run(*api, [](CCapacitorModelsDlg& dialog) {
    Panel& panel = dialog.Panel();
    EXPECT_EQ(panel.Grid()->GetRowCount(), 0u);
    EXPECT_EQ(panel.Decoupling(), nullptr);
    EXPECT_FALSE(Enabled(dialog, Panel::IDC_ASSIGN));
    EXPECT_FALSE(Enabled(dialog, Panel::IDC_REMOVE));
    EXPECT_FALSE(Enabled(dialog, Panel::IDC_EDIT_GROUPS));
    // The actions do nothing.
    panel.AssignModel();
    panel.RemoveModels();
    panel.EditGroups();
    panel.OnFilterCheck();
    dialog.SendMessage(WM_COMMAND, CCapacitorModelsDlg::IDC_CLOSE);
  });
  EXPECT_EQ(answer, 1);
}

TEST_F(CapacitorModelsDialog, ASystemThatAsksForNoChoiceShowsItsFirstBoard) {
  TestBoard other(ledger, "other");
  other.Group("OTHER", {other.Capacitor("C9", other.Part("P", 1e-6), other.gnd, other.vdd)});
  host::HostSystem system(ledger, "project");
  system.AddBoard(board.board.get());
  auto api = MakeApi();
  api->SetSystem(&system);
  api->SetBoard(other.board.get());
  Run(*api, [](CCapacitorModelsDlg& dialog) {
    EXPECT_EQ(Names(dialog.Panel()), (std::vector<std::string>{"G1", "C2"}));
    EXPECT_FALSE(dialog.GetDlgItem(Panel::IDC_BOARD)->IsWindowVisible());
    EXPECT_FALSE(dialog.GetDlgItem(Panel::IDC_BOARD_LABEL)->IsWindowVisible());
  });
}

// The filter's net lists show a net's name with its voltage whole ("VDD_CORE, 0.9volt" was cut at the arrow).
TEST_F(CapacitorModelsDialog, TheFiltersNetListsShowTheirNetsWhole) {
  board.board->AddNet("VDD_CORE", host::NetType::Supply, 0.9);
  host::HostSystem system(ledger, "project");
  system.AddBoard(board.board.get());
  auto api = MakeApi();
  api->SetSystem(&system);
  Run(*api, [](CCapacitorModelsDlg& dialog) {
    for (int id : {int{Panel::IDC_NET_A}, int{Panel::IDC_NET_B}}) {
      CWnd* combo = dialog.GetDlgItem(id);
      ASSERT_NE(combo, nullptr);
      ASSERT_NE(combo->SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>("VDD_CORE, 0.9volt ")),
                CB_ERR)
          << id;
      CRect box;
      combo->GetWindowRect(&box);
      EXPECT_LE(brimwiz::ComboBoxWidthNeeded(combo->GetSafeHwnd()), box.Width()) << id;
    }
  });
}

TEST_F(CapacitorModelsDialog, TheBoardChooserShowsTheChosenBoardAndGivesTheOldInterfaceBackToItsBoard) {
  TestBoard other(ledger, "other");
  other.board->SetDescription("second board");
  other.Group("OTHER", {other.Capacitor("C9", other.Part("P", 1e-6), other.gnd, other.vdd)});
  host::HostSystem system(ledger, "project");
  system.AddBoard(board.board.get());
  system.AddBoard(other.board.get());
  auto api = MakeApi();
  api->SetSystem(&system);
  api->SetBoard(other.board.get());
  api->SetFilterNets(board.gnd, board.vdd);
  Run(*api, [&](CCapacitorModelsDlg& dialog) {
    Panel& panel = dialog.Panel();
    CComboBox* boards = static_cast<CComboBox*>(dialog.GetDlgItem(Panel::IDC_BOARD));
    ASSERT_TRUE(boards->IsWindowVisible());
    ASSERT_EQ(boards->GetCount(), 2);
    CString entry;
    boards->GetLBText(1, entry);
    EXPECT_EQ(entry, "other.json [second board ]");
    // The board set by the host is the one shown; the first board's nets are no filter of it.
    EXPECT_EQ(boards->GetCurSel(), 1);
    EXPECT_EQ(Names(panel), (std::vector<std::string>{"OTHER"}));
    EXPECT_FALSE(panel.FilterOn());
    // The user picks the first board.
    boards->SetCurSel(0);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(Panel::IDC_BOARD, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(boards->m_hWnd));
    EXPECT_EQ(panel.Board(), board.board.get());
    EXPECT_EQ(Names(panel), (std::vector<std::string>{"G1", "C2"}));
    // The chosen board's interface is held now: a change goes to that board.
    Select(panel, {1});
    panel.RemoveModels();
    EXPECT_EQ(board.Changes(), (std::vector<std::string>{"Decoupling SetGroupModel \"G1\" null"}));
    EXPECT_TRUE(other.Changes().empty());
  });
  // The ledger (checked at the end) holds each interface given back once, to its own board.
}

// ---- The wizards' capacitor page -----------------------------------------------------------------------------

class CapacitorPage : public wiztest::WizardRunTest {
protected:
  void SetUp() override {
    // The features before the wizard's own start-up, as the module registers them.
    StartGridLibrary(&RegisterCellsAndFeatures);
    WizardRunTest::SetUp();
  }
  void TearDown() override {
    WizardRunTest::TearDown();
    EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
  }
  CDecouplingAnalysisData& Data() { return *GetDecouplingAnalysisData(); }
  CHostNet* Net(const char* name) { return board->FindNet(name); }
  CDWCapModelsPage2* Page() { return dynamic_cast<CDWCapModelsPage2*>(Dialog().GetActivePage()); }
  std::vector<std::string> Groups() {
    std::vector<std::string> names;
    CCapacitorModelsPanel& panel = Page()->Panel();
    for (const CCapacitorRowRecord& record : panel.Records())
      if (record.IsGroupRow()) names.emplace_back(record.m_pGroup->GetName());
    return names;
  }
};

TEST_F(CapacitorPage, TheDecouplingWizardFiltersByTheNetPairAtEveryActivation) {
  ASSERT_TRUE(api->CreateModeless());
  ASSERT_NE(Dialog().GetStep(WizardStepRole::CapacitorModels), nullptr);
  Data().m_pNet1 = Net("GND");
  Data().m_pNet2 = Net("VDD_CORE");
  GoTo(CDWCapModelsPage2::IDD);
  ASSERT_NE(Page(), nullptr);
  EXPECT_EQ(Page()->GetTitle(), "Check Capacitor Models");
  CCapacitorModelsPanel& panel = Page()->Panel();
  EXPECT_TRUE(panel.FilterOn());
  EXPECT_EQ(panel.FilterNetA(), Net("GND"));
  EXPECT_EQ(Groups(), (std::vector<std::string>{"CORE_BULK", "CORE_HF"}));
  // No system: no board chooser; the record's board; no model library without a table value.
  EXPECT_FALSE(Page()->GetDlgItem(Panel::IDC_BOARD)->IsWindowVisible());
  EXPECT_EQ(panel.Board(), board.get());
  EXPECT_EQ(panel.ModelLibrary(), nullptr);
  EXPECT_TRUE(Page()->ValidateAndStore());
  ExpectMatchesReference(Dialog().m_hWnd, "page-capacitors");

  // Back to the nets: another pair, and the page shows its groups when it comes back.
  Click(Back());
  ASSERT_EQ(ActivePageId(), CDWSelectNetPage::IDD);
  Data().m_pNet2 = Net("VDD_DDR");
  GoTo(CDWCapModelsPage2::IDD);
  EXPECT_EQ(Groups(), (std::vector<std::string>{"DDR_BULK", "DDR_HF"}));
  // Without a pair the table is not filtered.
  Click(Back());
  Data().m_pNet1 = Data().m_pNet2 = nullptr;
  GoTo(CDWCapModelsPage2::IDD);
  EXPECT_FALSE(Page()->Panel().FilterOn());
  EXPECT_EQ(Groups().size(), 7u);
}

TEST_F(CapacitorPage, TheOtherWizardsRecordsShowTheTableUnfiltered) {
  ASSERT_TRUE(api->CreateModeless());
  Data().m_pNet1 = Net("GND");
  Data().m_pNet2 = Net("VDD_CORE");
  GoTo(CDWCapModelsPage2::IDD);
  EXPECT_TRUE(Page()->Panel().FilterOn());
  // A bypass analysis's record (its wizard has the same page): no net pair reaches the table.
  auto* saved = new CDecouplingAnalysisData(Data());
  auto* bypass = new CBypassAnalysisData();
  bypass->m_pBoard = board.get();
  SetCurrentAnalysisData(bypass);
  EXPECT_TRUE(Page()->OnSetActive());
  EXPECT_FALSE(Page()->Panel().FilterOn());
  EXPECT_EQ(Groups().size(), 7u);
  SetCurrentAnalysisData(saved);
}

TEST_F(CapacitorPage, TheWizardsOptionsAndTableValueReachTheTable) {
  api->SetWizardOption2(true);
  api->EnableDebugOptions();
  api->SetTableValue(reinterpret_cast<INT_PTR>(static_cast<CHostModelLibrary*>(&board->ModelLibrary())));
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWCapModelsPage2::IDD);
  CCapacitorModelsPanel& panel = Page()->Panel();
  EXPECT_TRUE(panel.GroupsOnly());
  EXPECT_TRUE(panel.ExtendedKinds());
  EXPECT_EQ(panel.ModelLibrary(), &board->ModelLibrary());
  EXPECT_TRUE(panel.Grid()->IsColHidden(Panel::ColValue));
  EXPECT_FALSE(Page()->GetDlgItem(Panel::IDC_EDIT_GROUPS)->IsWindowVisible());
  // The library object arrives intact: the model editor could list it.
  EXPECT_EQ(panel.ModelLibrary()->GetCount(), board->ModelLibrary().GetCount());
}

TEST_F(CapacitorPage, WithoutOptionOneTheWizardHasNoCapacitorStep) {
  api->SetWizardOption1(false);
  ASSERT_TRUE(api->CreateModeless());
  EXPECT_EQ(Dialog().GetStep(WizardStepRole::CapacitorModels), nullptr);
}

}  // namespace
}  // namespace captest
