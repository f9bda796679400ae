// The bypass, via-model and PDN model-extractor wizards: their dialogs (page lists, topics, start steps, flavours,
// forwarded queries, the extractor's ending and marks) and their pages (model type and normalisation, the
// board-viewer via pages, the list via pages, the extractor's supply-pin and via port pages), on the 8-layer sample
// board through the interface objects, with the host's ledger checked after each test.
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "brimstead/models/capacitors/CCapacitorGrid.h"
#include "brimstead/wizards/DWCapModelsPage2.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "brimstead/wizards/MESelectSupplyPages.h"
#include "brimstead/wizards/MESelectViasPages.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "brimstead/wizards/VornWizTabCtrl.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/ViaListPages.h"
#include "brimstead/wizards/ViaModelTypePages.h"
#include "brimstead/wizards/ViaViewerPages.h"
#include "brimstead/wizards/ViaWizardDlgs.h"
#include "brimstead/wizards/WizStepNode.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "host/BoardFile.h"
#include "host/HostBoardMarker.h"
#include "host/tests/HostTestBoards.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXControl.h"
#include "grid/features/CGXCellTipStatic.h"
#include "grid/core/CGXRange.h"
#include "platform/controls/ComboBox.h"
#include "platform/display/Desktop.h"
#include "platform/framework/CPaintDC.h"
#include "platform/window/InputRouter.h"

#include <algorithm>
#include <fstream>
#include <type_traits>

using namespace wiztest;

namespace {

enum class Kind { Bypass, ViaModel, Extractor };

class ViaWizards : public SampleProjectTest {
protected:
  ViaWizards() : SampleProjectTest("viawiz") {}
  void TearDown() override {
    if (api) {
      api->Close();
      Pump();
    }
    SampleProjectTest::TearDown();
  }
  void CheckReleased() override { EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report(); }

  // Opens the wizard modeless, on a system of the board or (board mode) on the board alone.
  void Open(Kind kind, bool boardMode, bool debug = false, const std::function<void()>& before = {}) {
    switch (kind) {
      case Kind::Bypass: api = CBypassWizardAPI::Create(); break;
      case Kind::ViaModel: api = CDiffViaModelWizardAPI::Create(); break;
      case Kind::Extractor: api = CModelExtractorWizardAPI::Create(); break;
    }
    host::HostBoard& on = many ? *many : *board;
    api->SetCallback(&callback);
    api->SetGeometryQuery(&on.GeometryQuery());
    api->SetBoardView(&marker);
    if (debug)
      api->EnableDebugOptions();
    if (boardMode) {
      api->EnableBoardMode();
      api->SetBoard(&on);
    } else {
      api->SetSystem(many ? &manySystem : &system);
    }
    api->SetProjectFile(project.c_str());
    if (before)
      before();
    ASSERT_TRUE(api->CreateModeless());
  }
  CWizardDlg& Dialog() { return *dynamic_cast<CWizardDlg*>(static_cast<CWizardDialogLink*>(Link())); }
  CWizardDialogLink* Link() {
    if (auto* bypass = dynamic_cast<CBypassWizardAPI*>(api))
      return bypass->Dialog();
    if (auto* via = dynamic_cast<CDiffViaModelWizardAPI*>(api))
      return via->Dialog();
    return dynamic_cast<CModelExtractorWizardAPI*>(api)->Dialog();
  }
  CVornWizTabCtrl& Steps() { return *Dialog().GetFrame()->GetStepList(); }
  // Template id and topic of every step, in registration order.
  std::vector<std::pair<int, int>> PageList() {
    std::vector<std::pair<int, int>> pages;
    for (int i = 0; i < Dialog().GetFrame()->GetStepCount(); ++i) {
      auto* page = dynamic_cast<CDWPage*>(Dialog().GetFrame()->GetPage(i));
      pages.emplace_back(page ? static_cast<int>(page->GetTemplateId()) : -1, page ? page->GetPageFlag() : -1);
    }
    return pages;
  }
  template <class Page>
  Page& Active() {
    auto* page = dynamic_cast<Page*>(Dialog().GetActivePage());
    EXPECT_NE(page, nullptr);
    return *page;
  }
  void GoToPage(int templateId) {
    if (auto* active = Dialog().GetActivePage(); active && static_cast<int>(active->GetTemplateId()) == templateId)
      return;
    for (int i = 0; i < Dialog().GetFrame()->GetStepCount(); ++i) {
      auto* page = dynamic_cast<CDWPage*>(Dialog().GetFrame()->GetPage(i));
      if (page && static_cast<int>(page->GetTemplateId()) == templateId) {
        ASSERT_TRUE(Dialog().GetFrame()->SelectStep(i));
        Pump();
        return;
      }
    }
    FAIL() << "no page " << templateId;
  }
  HWND Item(int id) { return ::GetDlgItem(Dialog().GetActivePage()->m_hWnd, id); }
  std::string ItemText(int id) { return Text(Item(id)); }
  bool Visible(int id) { return IsWindowVisible(Item(id)) != FALSE; }
  bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
  void ViewerPick(std::vector<std::string> ids) {
    ASSERT_TRUE(board->Pick(ids));
    ASSERT_TRUE(Dialog().OnViewerSelectionChanged());
  }
  // The entries of a list box or a combo box, through its count and text messages.
  std::vector<std::string> Lines(int id, UINT countMessage, UINT textMessage) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(::SendMessage(Item(id), countMessage, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[256] = {};
      ::SendMessage(Item(id), textMessage, i, reinterpret_cast<LPARAM>(text));
      lines.push_back(text);
    }
    return lines;
  }
  std::vector<std::string> ListBoxLines(int id) { return Lines(id, LB_GETCOUNT, LB_GETTEXT); }
  std::vector<std::string> ComboLines(int id) { return Lines(id, CB_GETCOUNT, CB_GETLBTEXT); }
  // Clicks a grid's check box the way the grid reports it: the value toggles, then the grid tells its page.
  static void ClickCheck(CViaGridWnd& grid, ROWCOL row) {
    const bool was = grid.GetCellValue(row, brimwiz::ViaColCheck) != "0";
    grid.SetCellValue(row, brimwiz::ViaColCheck, was ? "0" : "1");
    grid.OnButtonClickedInCell(row, brimwiz::ViaColCheck);
  }
  static std::vector<std::string> Column(CGXGridCore& grid, ROWCOL col) {
    std::vector<std::string> values;
    for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r)
      values.push_back(grid.GetCellValue(r, col).GetString());
    return values;
  }
  // The width of a row header's text in its font.
  static int HeaderTextWidth(CGXGridWnd& grid, ROWCOL row) {
    CGXStyle header;
    grid.ComposeCellStyle(row, 0, header);
    LOGFONT logFont{};
    header.GetFont().GetLogFontZoomed(logFont, 100);
    CFont font;
    EXPECT_TRUE(font.CreateFontIndirect(&logFont));
    CClientDC dc(&grid);
    CFont* old = dc.SelectObject(&font);
    const int width = dc.GetTextExtent(grid.GetCellValue(row, 0)).cx;
    dc.SelectObject(old);
    return width;
  }
  // The room a row header's text needs: the text, the cell's text margin on either side and its frame's pixel on
  // either side.
  static int HeaderRoomNeeded(CGXGridWnd& grid, ROWCOL row) {
    return HeaderTextWidth(grid, row) + 2 * CGXControl::TextMargin() + 2;
  }
  static CGXStyle Style(CGXGridCore& grid, ROWCOL row, ROWCOL col) {
    CGXStyle style;
    grid.ComposeCellStyle(row, col, style);
    return style;
  }

  // Opens the following wizards on a board of that many vias and supply pins (ManyViasBoard).
  void UseManyVias(int vias, int pins) {
    const std::filesystem::path file = dir / "many.json";
    std::ofstream(file) << host::test::ManyViasBoard(vias, pins);
    many = host::LoadBoardFile(file.string(), ledger);
    ASSERT_NE(many, nullptr);
    manySystem.AddBoard(many.get());
  }

  host::HostBoardMarker marker;
  CWizardAPI* api = nullptr;
  std::unique_ptr<host::HostBoard> many;
  host::HostSystem manySystem{ledger, "Many"};
};

using Pages = std::vector<std::pair<int, int>>;

// ---- Dialogs -----------------------------------------------------------------------------------------------

TEST_F(ViaWizards, EachWizardRegistersItsPagesWithTheirTopicsCaptionsAndStartStep) {
  Open(Kind::Bypass, false);
  EXPECT_EQ(Text(Dialog().m_hWnd), "Bypass Wizard");
  EXPECT_EQ(PageList(), (Pages{{1007, 300}, {1156, 301}, {1033, 302}, {1012, 303}, {1014, 304}, {1015, 305},
                               {1018, 307}, {1008, 308}}));
  // One board: no board step, and the wizard opens on its via step.
  EXPECT_EQ(Steps().GetCurrentIndex(), 1);
  EXPECT_EQ(std::string(Steps().GetStep(1)->GetName()), "Select Signal Via");
  EXPECT_EQ(std::string(Steps().GetStep(1)->GetTitle()), "Choose a Signal Via Whose Bypassing to Analyze");
  EXPECT_EQ(std::string(Steps().GetStep(1)->GetDescription()),
            "Select a particular via whose bypassing you want to analyze.");
  EXPECT_EQ(std::string(Steps().GetStep(2)->GetName()), "Check Capacitor Models");
  EXPECT_EQ(std::string(Steps().GetStep(5)->GetName()), "Customize Settings");
  EXPECT_EQ(std::string(Steps().GetStep(5)->GetDescription()), "Set the detailed options for bypass analysis.");
  EXPECT_EQ(callback.Lines(), (std::vector<std::string>{"Notify 1 1"}));
}

TEST_F(ViaWizards, BoardModeTakesTheListFlavoursAndTheDebugOptionAddsItsStep) {
  Open(Kind::ViaModel, true, true);
  EXPECT_EQ(Text(Dialog().m_hWnd), "Via Model Extractor");
  EXPECT_EQ(PageList(), (Pages{{1007, 90}, {1157, 91}, {1176, 92}, {1033, 93}, {1014, 94}, {1015, 95}, {1026, 0},
                               {1018, 97}, {1008, 98}}));
  EXPECT_EQ(Steps().GetCurrentIndex(), 1);
  api->Close();
  Pump();
  Open(Kind::ViaModel, false);
  // Without the option no page has the debug page's topic.
  EXPECT_EQ(PageList(), (Pages{{1007, 90}, {1158, 91}, {1176, 92}, {1033, 93}, {1014, 94}, {1015, 95}, {1018, 97},
                               {1008, 98}}));
  api->Close();
  Pump();
  Open(Kind::Bypass, true);
  EXPECT_EQ(PageList()[1], (std::pair<int, int>{1154, 301}));
}

TEST_F(ViaWizards, TheExtractorsSupplyPinStepComesOnlyWithSupplyPortsAndANetStartsItOnItsViaStep) {
  // The picks hold no supply pin: the supply-pin step is hidden, the wizard opens on the via step after it.
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_TX0_N"}));
  Open(Kind::Extractor, false);
  EXPECT_EQ(Text(Dialog().m_hWnd), "PDN Model Extractor");
  EXPECT_EQ(PageList(), (Pages{{1007, 80}, {1162, 81}, {1159, 82}, {1033, 83}, {1180, 86}, {1014, 84}, {1015, 85},
                               {1018, 87}, {1008, 88}}));
  EXPECT_FALSE(Steps().GetStep(1)->IsVisible());
  EXPECT_EQ(Steps().GetCurrentIndex(), 2);
  // Back goes to the start page, past the hidden step.
  Steps().PreviousStep();
  EXPECT_EQ(Steps().GetCurrentIndex(), 0);
  // Picks that bring supply pins show the step, which Next then reaches.
  ASSERT_TRUE(board->Pick({"U1.D4", "V_TX0_P"}));
  dynamic_cast<CModelExtractorWizardAPI*>(api)->OnViewerSelectionChanged();
  Dialog().UpdateButtons();
  EXPECT_TRUE(Steps().GetStep(1)->IsVisible());
  Steps().NextStep();
  EXPECT_EQ(Steps().GetCurrentIndex(), 1);
  api->Close();
  Pump();
  // With supply pins and a net picked: the supply-pin step, and the wizard opens on the via step (index 2).
  ASSERT_TRUE(board->Pick({"U1.D4", "U1.D7", "V_TX0_P"}));
  Open(Kind::Extractor, true, false,
       [&] { GetModelExtractorAnalysisData()->m_pSelectedNet = board->FindNet("PCIE_TX0_P"); });
  EXPECT_EQ(PageList()[1], (std::pair<int, int>{1027, 81}));
  EXPECT_EQ(PageList()[2], (std::pair<int, int>{1154, 82}));
  EXPECT_EQ(PageList()[3], (std::pair<int, int>{1033, 83}));
  EXPECT_EQ(Steps().GetCurrentIndex(), 2);
  EXPECT_EQ(std::string(Steps().GetStep(1)->GetName()), "Select IC Power Pins");
  EXPECT_EQ(std::string(Steps().GetStep(2)->GetName()), "Select Signal Vias");
  EXPECT_EQ(std::string(Steps().GetStep(2)->GetDescription()),
            "In the list box below choose one or more signal vias to include in the extracted model as external "
            "ports.");
}

// Each wizard's capacitor step lists every decoupling group of the board: only the decoupling wizard has a net pair
// to filter by. Without option 1 the step is left out and the steps after it move up.
TEST_F(ViaWizards, TheCapacitorStepShowsTheBoardsWholeTableAndComesOnlyWithOptionOne) {
  for (Kind kind : {Kind::Bypass, Kind::ViaModel, Kind::Extractor}) {
    SCOPED_TRACE(static_cast<int>(kind));
    Open(kind, false);
    ASSERT_NE(Dialog().GetStep(WizardStepRole::CapacitorModels), nullptr);
    GoToPage(CDWCapModelsPage2::IDD);
    auto& page = Active<CDWCapModelsPage2>();
    CCapacitorModelsPanel& panel = page.Panel();
    EXPECT_FALSE(panel.FilterOn());
    EXPECT_EQ(panel.Board(), board.get());
    std::vector<std::string> groups;
    for (const CCapacitorRowRecord& row : panel.Records())
      if (row.IsGroupRow())
        groups.emplace_back(row.m_pGroup->GetName());
    EXPECT_EQ(groups.size(), 7u);
    EXPECT_NE(std::find(groups.begin(), groups.end(), "CORE_BULK"), groups.end());
    EXPECT_NE(std::find(groups.begin(), groups.end(), "DDR_HF"), groups.end());
    EXPECT_GE(panel.Grid()->GetRowCount(), groups.size());
    EXPECT_EQ(ItemText(CCapacitorModelsPanel::IDC_FILTER), "Show these nets only:");
    EXPECT_EQ(SendMessage(Item(CCapacitorModelsPanel::IDC_FILTER), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    api->Close();
    Pump();
  }
  Open(Kind::Bypass, false, false, [&] { api->SetWizardOption1(false); });
  EXPECT_EQ(Dialog().GetStep(WizardStepRole::CapacitorModels), nullptr);
  EXPECT_EQ(PageList(), (Pages{{1007, 300}, {1156, 301}, {1012, 303}, {1014, 304}, {1015, 305}, {1018, 307},
                               {1008, 308}}));
  api->Close();
  Pump();
  // The extractor still opens on its via step, found by its place among the steps actually registered.
  ASSERT_TRUE(board->Pick({"U1.D4", "U1.D7", "V_TX0_P"}));
  Open(Kind::Extractor, true, false, [&] {
    api->SetWizardOption1(false);
    GetModelExtractorAnalysisData()->m_pSelectedNet = board->FindNet("PCIE_TX0_P");
  });
  EXPECT_EQ(PageList(), (Pages{{1007, 80}, {1027, 81}, {1154, 82}, {1180, 86}, {1014, 84}, {1015, 85}, {1018, 87},
                               {1008, 88}}));
  EXPECT_EQ(Steps().GetCurrentIndex(), 2);
}

TEST_F(ViaWizards, ForwardedQueriesAnswerFalseWithoutAnActivePage) {
  CModelExtractorWizardDlg dialog;
  EXPECT_FALSE(dialog.ActivePageTakesViewerPicks());
  EXPECT_FALSE(dialog.ActivePageHasSelection());
  EXPECT_FALSE(dialog.NotifyActivePageNetChanged());
  EXPECT_FALSE(dialog.RefreshActivePage());
  CBypassWizardDlg bypass;
  EXPECT_FALSE(bypass.ActivePageTakesViewerPicks());
  EXPECT_EQ(MakeViaWizardDialog(1, nullptr), nullptr);
  EXPECT_EQ(MakeViaWizardDialog(5, nullptr), nullptr);
}

TEST_F(ViaWizards, AModelessExtractorWhoseRunFailsAnswersTheHostsMayCloseAndStaysOpen) {
  Open(Kind::Extractor, false);
  callback.log.AnswerRun(false);
  callback.AnswerMayClose(false);
  callback.Clear();
  EXPECT_FALSE(Dialog().RunAnalysis());
  callback.AnswerMayClose(true);
  EXPECT_TRUE(Dialog().RunAnalysis());
  EXPECT_EQ(callback.Lines(), (std::vector<std::string>{"Run", "MayClose", "Run", "MayClose"}));
  EXPECT_TRUE(IsWindow(Dialog().m_hWnd));
  callback.log.AnswerRun(true);
  EXPECT_TRUE(Dialog().RunAnalysis());
}

TEST_F(ViaWizards, AHostThatClosesTheExtractorInsideRunLeavesNothingBehind) {
  Open(Kind::Extractor, false);
  callback.log.AnswerRun(false);
  // The host closes the wizard from inside its Run: the dialog notices its window is gone and asks nothing more.
  callback.onRun = [&] { api->CloseWizard(); Pump(); };
  callback.Clear();
  EXPECT_FALSE(Dialog().RunAnalysis());
  Pump();
  EXPECT_EQ(api->GetWizardWindow(), nullptr);
  // The close asked the host once; the failed Run asked nothing more of a wizard that is gone.
  EXPECT_EQ(callback.Lines(), (std::vector<std::string>{"Run", "MayClose", "OnClosed"}));
  callback.onRun = nullptr;
}

TEST_F(ViaWizards, TheExtractorLoadsTheLastConfigurationThoughItOpensPastTheStartPage) {
  Open(Kind::Extractor, false);
  ASSERT_NE(Steps().GetCurrentIndex(), 0);
  callback.Clear();
  const std::string saved = host::test::SourceDir() + "/host/tests/golden/extractor.dao";
  EXPECT_TRUE(api->LoadSettings(saved.c_str()));
  Pump();
  // The file's net goes back to the host, then the host hears that the settings were loaded.
  EXPECT_EQ(callback.Lines(), (std::vector<std::string>{"SelectNet 1 PCIE_TX0_P", "Notify 2 1"}));
  EXPECT_DOUBLE_EQ(GetModelExtractorAnalysisData()->m_dNormalImpedance, 0.5);
  EXPECT_EQ(Steps().GetCurrentIndex(), 0);
}

TEST_F(ViaWizards, TheExtractorMarksEveryEnabledViaPortOnTheBoardView) {
  ASSERT_TRUE(board->Pick({"U1.D4", "V_TX0_P", "V_TX0_N", "V_DQ1"}));
  Open(Kind::Extractor, false);
  CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
  ASSERT_EQ(record.m_ViaPorts.GetSize(), 3);
  record.m_ViaPorts[0].m_bEnabled = 1;
  record.m_ViaPorts[1].m_bEnabled = 0;
  record.m_ViaPorts[2].m_bEnabled = 1;
  Dialog().UpdateBoardMarks();
  EXPECT_EQ(marker.GetMarkCount(), 2);
  record.m_ViaPorts[0].m_bEnabled = 0;
  record.m_ViaPorts[2].m_bEnabled = 0;
  const int refreshes = marker.Refreshes();
  Dialog().UpdateBoardMarks();
  EXPECT_EQ(marker.GetMarkCount(), 0);
  EXPECT_EQ(marker.Refreshes(), refreshes + 1);
}

// A click on a port's box adds or removes that via's mark alone; the other marks stay where they are. A mark the
// wizard did not make (the host's own) makes the next click mark every enabled port again.
TEST_F(ViaWizards, AClickOnAViaPortsBoxChangesThatViasMarkAlone) {
  ASSERT_TRUE(board->Pick({"U1.D4", "V_TX0_P", "V_TX0_N", "V_DQ1"}));
  Open(Kind::Extractor, false);
  GoToPage(CMESelectViasOlmPage::IDD);
  CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
  CViaGridWnd& grid = *Active<CMESelectViasOlmPage>().GetGrid();
  ASSERT_EQ(grid.GetRowCount(), 3u);
  const auto portOf = [&](ROWCOL row) -> CPortProbe& {
    return record.m_ViaPorts[*brimwiz::RecordOfViaRow(grid, row, record.m_ViaPorts.GetSize())];
  };
  const auto centreOf = [](const CPortProbe& port) {
    const CHostPosition* at = port.m_pHostProbe->GetElement()->GetPositionPtr();
    return std::pair(at->x, at->y);
  };
  // The marks' circles, in the marker's order.
  const auto marked = [&] {
    std::vector<std::pair<double, double>> centres;
    for (const auto& group : marker.Groups())
      centres.emplace_back(group->Marks()[0]->Shape().centre.x, group->Marks()[0]->Shape().centre.y);
    return centres;
  };
  for (ROWCOL row = 1; row <= 3; ++row)
    if (portOf(row).m_bEnabled)
      ClickCheck(grid, row);
  ASSERT_EQ(marker.GetMarkCount(), 0);

  ClickCheck(grid, 1);
  ClickCheck(grid, 3);
  ClickCheck(grid, 2);
  EXPECT_EQ(marked(), (std::vector{centreOf(portOf(1)), centreOf(portOf(3)), centreOf(portOf(2))}));
  const int removals = marker.Removals();
  ClickCheck(grid, 3);
  EXPECT_EQ(marker.Removals(), removals + 1);
  EXPECT_EQ(marked(), (std::vector{centreOf(portOf(1)), centreOf(portOf(2))}));
  // The wizard still knows every mark: checking the via again adds its mark alone, removing none.
  ClickCheck(grid, 3);
  EXPECT_EQ(marker.Removals(), removals + 1);
  EXPECT_EQ(marked(), (std::vector{centreOf(portOf(1)), centreOf(portOf(2)), centreOf(portOf(3))}));
  ClickCheck(grid, 3);

  // The host adds a mark of its own: the next click leaves one mark per enabled port, the host's gone.
  marker.CreateMarkGroup(1);
  ClickCheck(grid, 1);
  EXPECT_EQ(marked(), std::vector{centreOf(portOf(2))});
  EXPECT_FALSE(portOf(1).m_bEnabled);
}

// ---- Model type and normalisation --------------------------------------------------------------------------

TEST_F(ViaWizards, TheModelTypeShowsOnlyForAPairAndBothExportFlagsComeBackAsTheStandardModel) {
  Open(Kind::ViaModel, false);
  CDiffViaAnalysisData& record = *GetDiffViaAnalysisData();
  // A single via: the type radios hidden, the export flags untouched by leaving.
  record.m_bDiffViaType = false;
  record.m_bExportCommonMode = true;
  GoToPage(CDVModelTypePage::IDD);
  for (int id : {1194, 1195, 1196, 1197})
    EXPECT_FALSE(Visible(id)) << id;
  EXPECT_TRUE(Active<CDVModelTypePage>().ValidateAndStore());
  EXPECT_TRUE(record.m_bExportCommonMode);
  // A pair stored with both flags: the standard model, and leaving clears both.
  record.m_bDiffViaType = true;
  record.m_bExportCommonMode = record.m_bExportDifferentialMode = true;
  Active<CDVModelTypePage>().OnSetActive();
  EXPECT_TRUE(Visible(1195));
  EXPECT_EQ(Active<CDVModelTypePage>().GetModelType(), 0);
  EXPECT_TRUE(Active<CDVModelTypePage>().ValidateAndStore());
  EXPECT_FALSE(record.m_bExportCommonMode);
  EXPECT_FALSE(record.m_bExportDifferentialMode);
  // Only the common mode: type 2, stored back.
  record.m_bExportCommonMode = true;
  Active<CDVModelTypePage>().OnSetActive();
  EXPECT_EQ(Active<CDVModelTypePage>().GetModelType(), 2);
  EXPECT_TRUE(Active<CDVModelTypePage>().ValidateAndStore());
  EXPECT_TRUE(record.m_bExportCommonMode);
  EXPECT_FALSE(record.m_bExportDifferentialMode);
}

TEST_F(ViaWizards, NormalisationImpedancesOutsideTheRangeAreRefusedOnBothPages) {
  struct Case {
    Kind kind;
    int page;
  };
  for (const Case& c : {Case{Kind::ViaModel, CDVModelTypePage::IDD}, Case{Kind::Extractor, CMENormImpedancePage::IDD}}) {
    SCOPED_TRACE(c.page);
    Open(c.kind, false);
    GoToPage(c.page);
    auto& page = *Dialog().GetActivePage();
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
    for (const char* refused : {"0", "10000.5", "x"}) {
      SetWindowText(Item(1198), refused);
      EXPECT_FALSE(page.ValidateAndStore()) << refused;
      EXPECT_FALSE(page.IsValid());
    }
    for (const char* taken : {"0.001", "10000"}) {
      SetWindowText(Item(1198), taken);
      EXPECT_TRUE(page.ValidateAndStore()) << taken;
      const double stored = c.kind == Kind::ViaModel ? GetDiffViaAnalysisData()->m_dNormalImpedance
                                                     : GetModelExtractorAnalysisData()->m_dNormalImpedance;
      EXPECT_DOUBLE_EQ(stored, std::atof(taken));
    }
    api->Close();
    Pump();
  }
  // The normalisation page's header is one line: the title bar shows it whole as its title.
  CMENormImpedancePage page;
  EXPECT_EQ(page.GetHeaderText().Find('\n'), -1);
}

// ---- Board-viewer via pages --------------------------------------------------------------------------------

TEST_F(ViaWizards, TheBypassViewerPageListsTheViasLayersAndEveryPairInBoardOrder) {
  EXPECT_EQ(std::string(brimwiz::FormatViaPosition(0.012345, 1.5)), "(1.23,150.00)");
  ASSERT_TRUE(board->Pick({"V_DQ1"}));
  Open(Kind::Bypass, false);
  auto& page = Active<CBWSelectProbesOlmPage>();
  // V_DQ1 is connected on TOP, L3_SIG and L6_SIG; the dielectric layers between them are never listed.
  EXPECT_EQ(ItemText(1158), "DDR_DQ1");
  EXPECT_EQ(ItemText(1159), "(3.10,2.80)");
  EXPECT_EQ(ListBoxLines(1161), (std::vector<std::string>{"TOP", "L3_SIG", "L6_SIG"}));
  EXPECT_EQ(ComboLines(1189), (std::vector<std::string>{"\"TOP\" - \"L6_SIG\"", "\"TOP\" - \"L3_SIG\"",
                                                         "\"L3_SIG\" - \"L6_SIG\""}));
  EXPECT_TRUE(Enabled(1160));
  CBypassAnalysisData& record = *GetBypassAnalysisData();
  ASSERT_EQ(record.m_Probes.GetSize(), 1);
  EXPECT_EQ(std::string(record.m_Probes[0].m_FirstLayer), "TOP");
  EXPECT_EQ(std::string(record.m_Probes[0].m_SecondLayer), "L6_SIG");
  // Choosing the third pair stores it.
  ::SendMessage(Item(1189), CB_SETCURSEL, 2, 0);
  page.OnPairSelChange();
  EXPECT_EQ(std::string(record.m_Probes[0].m_FirstLayer), "L3_SIG");
  // Via A, then via B: only B's pairs, B's first pair chosen.
  ViewerPick({"V_CLK"});
  EXPECT_EQ(ComboLines(1189), (std::vector<std::string>{"\"TOP\" - \"L6_SIG\""}));
  ASSERT_EQ(record.m_Probes.GetSize(), 1);
  EXPECT_EQ(std::string(record.m_Probes[0].m_SecondLayer), "L6_SIG");
  EXPECT_EQ(page.PairNames().size(), 2u);
  // "Pan to" pans the viewer to the via, with the wizard's rectangle and no second probe.
  page.OnPanTo();
  ASSERT_EQ(board->ViewLog().size(), 1u);
  EXPECT_EQ(board->ViewLog()[0].rfind("PanTo V_CLK mode 3 wizard (", 0), 0u) << board->ViewLog()[0];
  EXPECT_NE(board->ViewLog()[0].find(" second none"), std::string::npos);
  // Nothing selected: no via, empty texts, "Pan to" disabled, the record's status.
  ViewerPick({});
  EXPECT_TRUE(record.m_Probes.IsEmpty());
  EXPECT_EQ(ItemText(1158), "");
  EXPECT_TRUE(ComboLines(1189).empty());
  EXPECT_FALSE(Enabled(1160));
  EXPECT_EQ(ItemText(1170), "At least one via must be selected for probe.");
  // Leaving the page always stores a true export-shunt flag.
  record.m_bExportShuntModel = 0;
  EXPECT_TRUE(page.ValidateAndStore());
  EXPECT_EQ(record.m_bExportShuntModel, 1);
}

TEST_F(ViaWizards, ATestPointViaWithOneLayerOffersNoPairAndTheRecordSaysWhy) {
  ASSERT_TRUE(board->Pick({"V_TP_CLK"}));
  Open(Kind::Bypass, false);
  EXPECT_EQ(ListBoxLines(1161), (std::vector<std::string>{"TOP"}));
  EXPECT_TRUE(ComboLines(1189).empty());
  EXPECT_EQ(::SendMessage(Item(1189), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(ItemText(1170), "Via must be connected on at least two layers.");
}

TEST_F(ViaWizards, TheViaModelViewerPageSwitchesItsBlocksAndMarksThePair) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_TX0_N", "V_DQ1"}));
  Open(Kind::ViaModel, false);
  auto& page = Active<CDVSelectProbesOlmPage>();
  CDiffViaAnalysisData& record = *GetDiffViaAnalysisData();
  EXPECT_TRUE(Visible(1158));
  EXPECT_FALSE(Visible(1143));
  EXPECT_FALSE(Visible(1141));
  EXPECT_FALSE(Visible(1187));
  EXPECT_EQ(record.m_Probes.GetSize(), 1);
  EXPECT_EQ(marker.GetMarkCount(), 1);
  // Differential: the pair block shows, the single block hides, and the viewer is read again at once; a third
  // selected probe is ignored.
  ::SendMessage(Item(1191), BM_SETCHECK, BST_UNCHECKED, 0);
  ::SendMessage(Item(1192), BM_SETCHECK, BST_CHECKED, 0);
  page.OnViaTypeChanged();
  EXPECT_TRUE(record.m_bDiffViaType);
  EXPECT_FALSE(Visible(1158));
  EXPECT_FALSE(Visible(1161));
  for (int id : {1092, 1143, 1144, 1175, 1179})
    EXPECT_TRUE(Visible(id)) << id;
  EXPECT_TRUE(Visible(1160));
  EXPECT_TRUE(Visible(1191));
  EXPECT_FALSE(Visible(1187));
  EXPECT_EQ(ItemText(1143), "PCIE_TX0_P");
  EXPECT_EQ(ItemText(1144), "PCIE_TX0_N");
  EXPECT_EQ(ListBoxLines(1179), (std::vector<std::string>{"TOP", "L6_SIG"}));
  EXPECT_EQ(record.m_Probes.GetSize(), 2);
  EXPECT_EQ(marker.GetMarkCount(), 2);
  page.OnPanTo();
  ASSERT_FALSE(board->ViewLog().empty());
  EXPECT_NE(board->ViewLog().back().find("PanTo V_TX0_P mode 2"), std::string::npos);
  EXPECT_NE(board->ViewLog().back().find("second V_TX0_N"), std::string::npos);
  // Leaving stores a false export-shunt flag and the page's via type.
  record.m_bExportShuntModel = 1;
  EXPECT_TRUE(page.ValidateAndStore());
  EXPECT_EQ(record.m_bExportShuntModel, 0);
  // Coming back after the type changed elsewhere re-reads the viewer as a single via.
  record.m_bDiffViaType = false;
  page.OnSetActive();
  EXPECT_EQ(page.GetViaType(), 0);
  EXPECT_EQ(record.m_Probes.GetSize(), 1);
  EXPECT_TRUE(Visible(1158));
}

// ---- List via pages ----------------------------------------------------------------------------------------

TEST_F(ViaWizards, TheBypassListPageChecksOneViaAtATimeAndNumbersIt) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1", "V_TP_CLK", "V_CLK"}));
  Open(Kind::Bypass, true);
  auto& page = Active<CBWSelectProbesTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  CBypassAnalysisData& record = *GetBypassAnalysisData();
  // A list freshly collected from the host is ordered by name.
  EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"V_CLK", "V_DQ1", "V_TP_CLK", "V_TX0_P"}));
  // The test point: one layer and no pair, "<no pairs>" in red on grey, its box disabled (not valid).
  EXPECT_EQ(Column(grid, 4)[2], "<no pairs>");
  EXPECT_EQ(Style(grid, 3, 4).GetTextColor(), RGB(255, 0, 0));
  EXPECT_EQ(Style(grid, 3, 4).GetInterior().GetColor(), RGB(191, 191, 191));
  // Pair cells of vias not checked are grey.
  EXPECT_EQ(Style(grid, 2, 4).GetInterior().GetColor(), RGB(191, 191, 191));
  EXPECT_FALSE(Style(grid, 3, 1).GetEnabled());
  // V_CLK's one pair sits in a disabled cell and is its choice; V_DQ1's three pairs in an enabled one once checked.
  EXPECT_FALSE(Style(grid, 1, 4).GetEnabled());
  EXPECT_EQ(Column(grid, 4)[0], "\"TOP\" - \"L6_SIG\"");
  ClickCheck(grid, 2);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"", "1", "", ""}));
  EXPECT_TRUE(Style(grid, 2, 4).GetEnabled());
  // Checking another via unchecks the first: one enabled via, numbered 1.
  ClickCheck(grid, 4);
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"0", "0", "0", "1"}));
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"", "", "", "1"}));
  int enabled = 0;
  for (int i = 0; i < record.m_Probes.GetSize(); ++i)
    enabled += record.m_Probes[i].m_bEnabled;
  EXPECT_EQ(enabled, 1);
  // Unchecking it leaves no number.
  ClickCheck(grid, 4);
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"", "", "", ""}));
  // A pair text that matches no pair stores an empty pair; a matching one stores that pair; the record follows
  // the rows.
  grid.SetCellValue(2, 4, "\"TOP\" - \"L3_SIG\"");
  grid.SetCellValue(1, 4, "\"TOP\" - \"nowhere\"");
  EXPECT_TRUE(page.ValidateAndStore());
  EXPECT_EQ(std::string(record.m_Probes[0].GetName()), "V_CLK");
  EXPECT_EQ(std::string(record.m_Probes[0].m_FirstLayer), "");
  EXPECT_TRUE(page.OnViewerSelectionChanged());
  EXPECT_EQ(Column(grid, 4)[0], "\"TOP\" - \"L6_SIG\"");
  EXPECT_EQ(std::string(record.m_Probes[1].m_SecondLayer), "L3_SIG");
  EXPECT_TRUE(record.m_bProbeOrderKept);
}

// A click writes the cells of the rows whose vias it checks or unchecks (box, number, pair cell), however long the
// list; after a row was dragged, the via it unchecks is found where the drag put it.
TEST_F(ViaWizards, AClickInAViaListWritesOnlyTheRowsItChanges) {
  UseManyVias(400, 0);
  for (Kind kind : {Kind::Bypass, Kind::ViaModel}) {
    SCOPED_TRACE(kind == Kind::Bypass ? "bypass" : "via model");
    Open(kind, true);
    CViaGridWnd& grid = *dynamic_cast<CViaGridPage&>(*Dialog().GetActivePage()).GetGrid();
    ASSERT_EQ(grid.GetRowCount(), 400u);
    ClickCheck(grid, 10);
    const std::uint64_t before = grid.m_nStoredStyleWrites;
    ClickCheck(grid, 300);
    EXPECT_LT(grid.m_nStoredStyleWrites - before, 20u);
    EXPECT_EQ(Column(grid, 1)[9], "0");
    EXPECT_EQ(Column(grid, 0)[9], "");
    EXPECT_EQ(Column(grid, 0)[299], "1");
    // The checked via's row dragged to the top keeps its box and number; a click further down unchecks it there.
    const std::string name = Column(grid, 2)[299];
    grid.InstallMoveRowsColsImp();  // as the module's start-up gives every grid
    ASSERT_TRUE(grid.MoveRows(300, 300, 1, GX_UPDATENOW, 0));
    ASSERT_EQ(Column(grid, 2)[0], name);
    ClickCheck(grid, 20);
    const std::vector<std::string> checks = Column(grid, 1), numbers = Column(grid, 0);
    EXPECT_EQ(std::count(checks.begin(), checks.end(), "1"), 1);
    EXPECT_EQ(checks[19], "1");
    EXPECT_EQ(checks[0], "0");
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), "1"), 1);
    EXPECT_EQ(numbers[19], "1");
    // The records follow: the via of row 20 alone is enabled.
    const std::string checked = Column(grid, 2)[19];
    const auto enabled = [](auto& probes) {
      std::vector<std::string> names;
      for (int i = 0; i < probes.GetSize(); ++i)
        if (probes[i].m_bEnabled)
          names.push_back(probes[i].GetName());
      return names;
    };
    EXPECT_EQ(kind == Kind::Bypass ? enabled(GetBypassAnalysisData()->m_Probes)
                                   : enabled(GetDiffViaAnalysisData()->m_Probes),
              std::vector<std::string>{checked});
    api->Close();
    Pump();
    api = nullptr;
  }
}

// The list's cells are the page's: Ctrl+Z and Alt+Backspace in the grid take none of its writes back (the grid
// keeps no undo history), so the checks and numbers shown stay those of the record.
TEST_F(ViaWizards, UndoKeysInTheBypassListLeaveThePagesCellsAsTheyAre) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1", "V_TP_CLK", "V_CLK"}));
  Open(Kind::Bypass, true);
  auto& page = Active<CBWSelectProbesTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  grid.InstallCommandFactory();  // as the module's start-up gives every grid
  page.FillGrid();
  ClickCheck(grid, 2);
  const std::vector<std::string> numbers = Column(grid, 0), checks = Column(grid, 1);
  ASSERT_EQ(numbers, (std::vector<std::string>{"", "1", "", ""}));
  grid.SetFocus();
  for (int i = 0; i < 20; ++i) grid.SendMessage(WM_CHAR, 0x1A, 0);
  EXPECT_EQ(Column(grid, 0), numbers);
  EXPECT_EQ(Column(grid, 1), checks);
  EXPECT_TRUE(grid.GetParam()->GetUndoList().IsEmpty());
  EXPECT_FALSE(grid.GetParam()->m_bUndoEnabled);
}

// The pair cells as drawn: grey for a via without pairs and for a via not checked, white for the checked via,
// whether it offers a choice of pairs or its one pair in a disabled cell; a click moves the white along.
TEST_F(ViaWizards, TheListPagesPairCellsShowTheirGreyOrWhiteInterior) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1", "V_TP_CLK", "V_CLK"}));
  Open(Kind::Bypass, true);
  auto& page = Active<CBWSelectProbesTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  ClickCheck(grid, 2);
  Pump();
  const auto interior = [&](ROWCOL row) {
    grid.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    auto image = plat::Desktop::Capture(grid.m_hWnd);
    EXPECT_TRUE(image);
    const CRect cell = grid.CalcCellRect(row, 4);
    // A point inside the cell, clear of its text (drawn from the left) and its borders.
    return image ? plat::colorFromPixel(image->pixel(cell.left + 3, cell.bottom - 3)) : COLORREF(0);
  };
  EXPECT_EQ(Style(grid, 2, 4).GetInterior().GetColor(), RGB(255, 255, 255));
  EXPECT_EQ(interior(2), RGB(255, 255, 255)) << "the checked via's pair";
  EXPECT_EQ(interior(3), RGB(191, 191, 191)) << "\"<no pairs>\"";
  EXPECT_EQ(interior(4), RGB(191, 191, 191)) << "a via not checked";
  EXPECT_EQ(interior(1), RGB(191, 191, 191)) << "one pair, not checked";
  // V_TX0_P has one pair: its disabled cell turns white with its check as well.
  ClickCheck(grid, 4);
  EXPECT_EQ(Style(grid, 4, 4).GetInterior().GetColor(), RGB(255, 255, 255));
  EXPECT_EQ(interior(4), RGB(255, 255, 255));
  EXPECT_EQ(interior(2), RGB(191, 191, 191));
}

// A store while a pair cell's drop-down is the active editor and its choice not yet in the cell: the page commits
// that edit first, so the analysis gets the pair on screen, for that via only.
TEST_F(ViaWizards, TheBypassListPageCommitsTheOpenPairDropDownBeforeItStores) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1", "V_TP_CLK", "V_CLK"}));
  Open(Kind::Bypass, true);
  auto& page = Active<CBWSelectProbesTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  CBypassAnalysisData& record = *GetBypassAnalysisData();
  ClickCheck(grid, 2);   // V_DQ1: three pairs, its cell enabled
  const std::string before = Column(grid, 4)[1];
  ::SetFocus(grid.m_hWnd);
  ASSERT_TRUE(grid.MoveCurrentCellTo(2, 4, GX_UPDATENOW));
  Pump();
  auto* box = dynamic_cast<CGXComboBoxWnd*>(grid.ControlForId(IDC_GRID_DROPDOWN_LIST));
  ASSERT_NE(box, nullptr);
  box->SetEditingState(TRUE);
  box->HideAndInvalidate();
  grid.CGXGridCore::UpdateWindow();
  Pump();
  ASSERT_EQ(box->GetCount(), 3);
  box->SetCurSel(2);
  box->SetModifiedState(TRUE);
  CString chosen;
  box->GetLBText(2, chosen);
  ASSERT_NE(std::string(chosen), before);
  const std::string other = Column(grid, 4)[0];   // V_CLK's one pair
  const std::string last = Column(grid, 4)[3];    // V_TX0_P's
  // The store comes while the box keeps the focus (as when the host runs the wizard's finish): nothing else has
  // made the cell take the choice.
  ASSERT_TRUE(::GetFocus() == box->m_hWnd || ::IsChild(box->m_hWnd, ::GetFocus()));
  EXPECT_TRUE(page.ValidateAndStore());
  ASSERT_EQ(record.m_Probes.GetSize(), 4);
  CBypassViaProbe& dq1 = record.m_Probes[1];
  ASSERT_EQ(std::string(dq1.GetName()), "V_DQ1");
  EXPECT_EQ(std::string(chosen), "\"" + std::string(dq1.m_FirstLayer) + "\" - \"" + std::string(dq1.m_SecondLayer) + "\"");
  // The other vias keep their own pairs.
  const CBypassViaProbe& clk = record.m_Probes[0];
  EXPECT_EQ(other, "\"" + std::string(clk.m_FirstLayer) + "\" - \"" + std::string(clk.m_SecondLayer) + "\"");
  EXPECT_TRUE(record.m_Probes[2].m_FirstLayer.IsEmpty());
  CBypassViaProbe& tx = record.m_Probes[3];
  EXPECT_EQ(last, "\"" + std::string(tx.m_FirstLayer) + "\" - \"" + std::string(tx.m_SecondLayer) + "\"");
}

TEST_F(ViaWizards, AViaRecordWithoutItsHostProbeShowsEmptyAndIsNeverValid) {
  ASSERT_TRUE(board->Pick({"V_DQ1"}));
  Open(Kind::Bypass, true);
  CBypassAnalysisData& record = *GetBypassAnalysisData();
  CBypassViaProbe orphan;
  orphan.m_bEnabled = 1;
  orphan.m_bValid = 1;
  record.m_Probes.Add(orphan);
  auto& page = Active<CBWSelectProbesTPEPage>();
  page.FillGrid();
  CViaGridWnd& grid = *page.GetGrid();
  ASSERT_EQ(grid.GetRowCount(), 2u);
  // A list the host handed over is ordered by name: the nameless record first.
  EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"", "V_DQ1"}));
  EXPECT_EQ(Column(grid, 3)[0], "<no layers>");
  EXPECT_FALSE(Style(grid, 1, 1).GetEnabled());
  EXPECT_EQ(record.m_Probes[0].m_bEnabled, 0);
  EXPECT_EQ(record.m_Probes[0].m_bValid, 0);
}

// The via-model and extractor list pages fill and store their rows as the bypass page does: a record without its
// host probe comes first of a fresh list (no name) and is never valid; leaving stores the records in the rows' order
// (each row's header then names its new position) and marks that order as the user's.
TEST_F(ViaWizards, TheOtherListPagesOrderAndStoreTheirRowsAndRefuseARecordWithoutItsHostProbe) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1"}));
  auto check = [this](CViaGridWnd& grid, auto& probes, BYTE& kept, auto fill, auto store) {
    using Record = std::remove_reference_t<decltype(probes[0])>;
    Record orphan;
    orphan.m_bEnabled = 1;
    orphan.m_bValid = 1;
    probes.Add(orphan);
    kept = 0;
    fill();
    ASSERT_EQ(grid.GetRowCount(), 3u);
    EXPECT_EQ(Column(grid, 2)[0], "");
    EXPECT_FALSE(Style(grid, 1, 1).GetEnabled());
    EXPECT_EQ(probes[0].m_pHostProbe, nullptr);
    EXPECT_EQ(probes[0].m_bValid, 0);
    EXPECT_EQ(probes[0].m_bEnabled, 0);
    // The last row dragged to the top (its header's record goes with it): the records follow the rows when the
    // page is left.
    const std::vector<CHostProbe*> shown{probes[2].m_pHostProbe, probes[0].m_pHostProbe, probes[1].m_pHostProbe};
    brimwiz::SetRecordOfViaRow(grid, 1, 2);
    brimwiz::SetRecordOfViaRow(grid, 2, 0);
    brimwiz::SetRecordOfViaRow(grid, 3, 1);
    store();
    EXPECT_EQ(kept, 1);
    ASSERT_EQ(probes.GetSize(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(probes[i].m_pHostProbe, shown[static_cast<size_t>(i)]) << i;
      EXPECT_EQ(brimwiz::RecordOfViaRow(grid, static_cast<ROWCOL>(i) + 1, 3), i) << i;
    }
  };
  Open(Kind::ViaModel, true);
  {
    auto& page = Active<CDVSelectProbesTPEPage>();
    CDiffViaAnalysisData& record = *GetDiffViaAnalysisData();
    check(*page.GetGrid(), record.m_Probes, record.m_bProbeOrderKept, [&page] { page.FillGrid(); },
          [&page] { EXPECT_TRUE(page.ValidateAndStore()); });
  }
  api->Close();
  Pump();
  api = nullptr;
  Open(Kind::Extractor, true);
  {
    auto& page = Active<CMESelectViasTPEPage>();
    CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
    check(*page.GetGrid(), record.m_ViaPorts, record.m_bViaOrderKept, [&page] { page.FillGrid(); },
          [&page] { EXPECT_TRUE(page.ValidateAndStore()); });
  }
}

TEST_F(ViaWizards, TheViaModelListPageShowsTheSecondViaOnlyForAPair) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1"}));
  Open(Kind::ViaModel, true);
  auto& page = Active<CDVSelectProbesTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"V_DQ1", "V_TX0_P"}));
  // The single via: an empty, disabled "Via 2" cell; the pair: its partner's layer list.
  EXPECT_EQ(Column(grid, 4), (std::vector<std::string>{"", "TOP\nL6_SIG"}));
  EXPECT_FALSE(Style(grid, 1, 4).GetEnabled());
  EXPECT_EQ(Column(grid, 3)[0], "TOP\nL3_SIG\nL6_SIG");
  // Both start checked (the host selected them); one via at a time from the first click that checks.
  ClickCheck(grid, 1);
  ClickCheck(grid, 1);
  CDiffViaAnalysisData& record = *GetDiffViaAnalysisData();
  EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"1", "0"}));
  EXPECT_TRUE(page.ValidateAndStore());
  EXPECT_EQ(record.m_bExportShuntModel, 0);
  EXPECT_EQ(std::string(record.m_Probes[0].GetName()), "V_DQ1");
}

// ---- Extractor pages ---------------------------------------------------------------------------------------

TEST_F(ViaWizards, ViaPortsAreNumberedOnAfterTheEnabledSupplyPins) {
  ASSERT_TRUE(board->Pick({"U1.D4", "U1.D7", "V_TX0_P", "V_DQ1"}));
  Open(Kind::Extractor, true);
  CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
  ASSERT_EQ(record.m_SupplyPorts.GetSize(), 2);
  record.m_SupplyPorts[0].m_bEnabled = record.m_SupplyPorts[1].m_bEnabled = 1;
  GoToPage(CMESelectViasTPEPage::IDD);
  auto& page = Active<CMESelectViasTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  ASSERT_EQ(grid.GetRowCount(), 2u);
  // Vias with (2, 0) and (1, 1) layer names.
  CPortProbe& first = record.m_ViaPorts[*brimwiz::RecordOfViaRow(grid, 1, 2)];
  CPortProbe& second = record.m_ViaPorts[*brimwiz::RecordOfViaRow(grid, 2, 2)];
  first.m_FirstLayers = {"TOP", "L3_SIG"};
  first.m_SecondLayers.clear();
  second.m_FirstLayers = {"TOP"};
  second.m_SecondLayers = {"L6_SIG"};
  first.m_bEnabled = second.m_bEnabled = 1;
  page.NumberPorts();
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"3-4", "5-6"}));
  first.m_bEnabled = 0;
  page.NumberPorts();
  EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"", "3-4"}));
}

TEST_F(ViaWizards, ALoadedOrderIsKeptByTheListPagesAndAFreshCollectionIsOrderedByName) {
  // The extractor's list pages on the golden file of the board-mode run, whose user dragged U1.F2 and V_TX0_P to
  // the top: the loaded order is marked as kept, and the pages show it as it is.
  ASSERT_TRUE(board->Pick({"U1.D4", "U1.D7", "U1.G4", "U1.G7", "U1.F2", "V_TX0_P", "V_TX0_N"}));
  Open(Kind::Extractor, true);
  const std::string saved = host::test::SourceDir() + "/host/tests/golden/extractor-list.dao";
  EXPECT_TRUE(api->LoadSettings(saved.c_str()));
  Pump();
  CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
  EXPECT_TRUE(record.m_bSupplyOrderKept);
  EXPECT_TRUE(record.m_bViaOrderKept);
  GoToPage(CMESelectSupplyTPEPage::IDD);
  CPowerPinsGridWnd& pins = *Active<CPowerPinsPage>().GetGrid();
  EXPECT_EQ(std::string(pins.GetCellValue(1, CPowerPinsPage::ColPin)), "U1.F2");
  GoToPage(CMESelectViasTPEPage::IDD);
  EXPECT_EQ(Column(*Active<CMESelectViasTPEPage>().GetGrid(), 2), (std::vector<std::string>{"V_TX0_P", "V_TX0_N"}));
  // A list built from the host from nothing has no order of the user's.
  record.m_ViaPorts.RemoveAll();
  record.CollectProbes();
  EXPECT_FALSE(record.m_bViaOrderKept);
  Active<CMESelectViasTPEPage>().FillGrid();
  EXPECT_EQ(Column(*Active<CMESelectViasTPEPage>().GetGrid(), 2), (std::vector<std::string>{"V_TX0_N", "V_TX0_P"}));
}

TEST_F(ViaWizards, SelectNetStaysDownUntilTheHostsNetArrivesAndCheckAllTakesOnlyValidPorts) {
  ASSERT_TRUE(board->Pick({"U1.D4", "V_TX0_P"}));
  Open(Kind::Extractor, false);
  auto* extractor = dynamic_cast<CModelExtractorWizardAPI*>(api);
  GoToPage(CMESelectViasOlmPage::IDD);
  auto& page = Active<CMESelectViasOlmPage>();
  ::SendMessage(Item(1137), BM_SETCHECK, BST_CHECKED, 0);
  page.OnSelectNet();
  EXPECT_TRUE(extractor->IsSelectNetActive());
  // The host picks the clock net: its vias become the via ports (the test point has one layer: not valid).
  board->SetPicks({board->FindProbe("U1.D4"), board->FindProbe("V_CLK"), board->FindProbe("V_TP_CLK")});
  EXPECT_TRUE(extractor->SetSelectedNet(board->FindNet("CLK_100M")));
  EXPECT_FALSE(extractor->IsSelectNetActive());
  EXPECT_EQ(ItemText(1181), "CLK_100M");
  CViaGridWnd& grid = *page.GetGrid();
  ASSERT_EQ(grid.GetRowCount(), 2u);
  page.OnCheckAll();
  CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
  for (int i = 0; i < record.m_ViaPorts.GetSize(); ++i)
    EXPECT_EQ(record.m_ViaPorts[i].m_bEnabled, record.m_ViaPorts[i].m_bValid) << i;
  EXPECT_EQ(marker.GetMarkCount(), 1);
  // A net with members: the names of the others follow.
  board->SetPicks({board->FindProbe("V_TX0_P"), board->FindProbe("V_TX0_N")});
  EXPECT_TRUE(extractor->SetSelectedNet(board->FindNet("PCIE_TX0_P")));
  EXPECT_EQ(ItemText(1181), "PCIE_TX0_P, PCIE_TX0_N");
  // "Pan to" only with one selected data row (the current cell counting).
  CGXRangeList& selection = grid.GetParam()->GetSelection();
  selection.AddTail(new CGXRange(CGXRange().AssignRows(1, 2)));
  page.UpdatePanToButton();
  EXPECT_FALSE(Enabled(1160));
  selection.DeleteAll();
  selection.AddTail(new CGXRange(CGXRange().AssignRows(2, 2)));
  page.UpdatePanToButton();
  EXPECT_TRUE(Enabled(1160));
  const size_t pans = board->ViewLog().size();
  page.OnPanTo();
  ASSERT_EQ(board->ViewLog().size(), pans + 1);
  EXPECT_NE(board->ViewLog().back().find(" mode 3 "), std::string::npos);
}

TEST_F(ViaWizards, TheExtractorSupplyPinPagesShowThePortsNamesNetsAndLayers) {
  for (bool boardMode : {false, true}) {
    SCOPED_TRACE(boardMode);
    ASSERT_TRUE(board->Pick({"U1.G4", "U1.D4", "U1.F2", "V_TX0_P"}));
    Open(Kind::Extractor, boardMode);
    auto& page = dynamic_cast<CPowerPinsPage&>(*Dialog().GetActivePage());
    EXPECT_EQ(page.GetTemplateId(), boardMode ? 1027u : 1162u);
    CPowerPinsGridWnd& grid = *page.GetGrid();
    // A list freshly collected from the host is ordered by pin name.
    std::vector<std::string> pins;
    for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r)
      pins.push_back(grid.GetCellValue(r, CPowerPinsPage::ColPin).GetString());
    EXPECT_EQ(pins, (std::vector<std::string>{"U1.D4", "U1.F2", "U1.G4"}));
    // Column 4: the pin's own net (viewer) or its connected layers (list); column 5 its reference layers.
    EXPECT_EQ(std::string(grid.GetCellValue(1, CPowerPinsPage::ColFourth)), boardMode ? "TOP\nL4_PWR" : "VDD_CORE");
    EXPECT_EQ(std::string(grid.GetCellValue(1, CPowerPinsPage::ColFifth)), "L2_GND\nL7_GND");
    // "Check All" (viewer page) takes only valid pins; the via page then numbers on after them.
    CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
    if (!boardMode) {
      page.OnCheckAll();
      for (int i = 0; i < record.m_SupplyPorts.GetSize(); ++i)
        EXPECT_EQ(record.m_SupplyPorts[i].m_bEnabled, record.m_SupplyPorts[i].m_bValid) << i;
    }
    CSupplyPortList list(&record);
    EXPECT_EQ(std::string(list.GetGroupName(0, PinPageFlavour::List)), "U1");
    EXPECT_FALSE(list.IsPair(0));
    api->Close();
    Pump();
  }
}

}  // namespace

// "Pan to" follows the row of the current cell as the user moves it, by a click in a cell or by the arrow keys, as
// it follows a row header's click: the via of that row is the one the viewer pans to. (The other cells of these
// rows are disabled: the check box is where the current cell can stand.)
TEST_F(ViaWizards, PanToFollowsTheCurrentCellMovedByAClickOrByTheKeys) {
  ASSERT_TRUE(board->Pick({"U1.D4", "V_DQ0", "V_DQ1"}));
  Open(Kind::Extractor, false);
  GoToPage(CMESelectViasOlmPage::IDD);
  auto& page = Active<CMESelectViasOlmPage>();
  CViaGridWnd& grid = *page.GetGrid();
  ASSERT_EQ(grid.GetRowCount(), 2u);
  EXPECT_FALSE(Enabled(1160));
  const CRect cell = grid.CalcCellRect(2, brimwiz::ViaColCheck);
  ClickAt(grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(grid.QueryCurrentCell(&row, &col));
  ASSERT_EQ(row, 2u);
  EXPECT_TRUE(Enabled(1160)) << "the clicked cell's row";
  Key(VK_UP);
  ASSERT_TRUE(grid.QueryCurrentCell(&row, &col));
  ASSERT_EQ(row, 1u);
  EXPECT_TRUE(Enabled(1160));
  const std::string via = GetModelExtractorAnalysisData()->m_ViaPorts[*brimwiz::RecordOfViaRow(grid, 1, 2)].GetName();
  const size_t pans = board->ViewLog().size();
  Click(Item(1160));
  ASSERT_EQ(board->ViewLog().size(), pans + 1);
  EXPECT_EQ(board->ViewLog().back().rfind("PanTo " + via + " mode 3", 0), 0u) << board->ViewLog().back();
}

// On a board of thousands of vias every via grid has its scroll bars: the last row, and the last column past the
// window's edge (the list pages' last column does not fit), can be scrolled into view.
TEST_F(ViaWizards, EveryViaGridScrollsToItsLastRowAndColumnOnABoardOfThousandsOfVias) {
  UseManyVias(1500, 10);
  struct Case {
    Kind kind;
    bool boardMode;
    UINT page;
  };
  for (const Case& c : {Case{Kind::Bypass, true, CBWSelectProbesTPEPage::IDD},
                        Case{Kind::ViaModel, true, CDVSelectProbesTPEPage::IDD},
                        Case{Kind::Extractor, true, CMESelectViasTPEPage::IDD},
                        Case{Kind::Extractor, false, CMESelectViasOlmPage::IDD}}) {
    SCOPED_TRACE(c.page);
    Open(c.kind, c.boardMode);
    GoToPage(static_cast<int>(c.page));
    CViaGridWnd& grid = *dynamic_cast<CViaGridPage&>(*Dialog().GetActivePage()).GetGrid();
    ASSERT_GE(grid.GetRowCount(), 1500u);
    EXPECT_NE(grid.GetStyle() & WS_VSCROLL, 0u);
    const ROWCOL last = grid.GetRowCount(), lastCol = grid.GetColCount();
    grid.SetTopRow(last);
    grid.SetLeftCol(lastCol);
    grid.RefreshScrollBars(FALSE, FALSE);
    CRect client;
    grid.GetClientRect(&client);
    const CRect cell = grid.CalcCellRect(last, lastCol);
    EXPECT_GE(cell.top, 0);
    EXPECT_LE(cell.bottom, client.bottom) << "the last row is seen";
    EXPECT_LE(cell.right, client.right) << "the last column is seen";
    api->Close();
    Pump();
    api = nullptr;
  }
}

// Port numbers past a thousand fit their row headers, which narrow again when the ports go.
TEST_F(ViaWizards, ViaPortNumbersOfEveryLengthAreShownWhole) {
  UseManyVias(1200, 0);
  for (bool boardMode : {true, false}) {
    SCOPED_TRACE(boardMode);
    Open(Kind::Extractor, boardMode);
    GoToPage(boardMode ? static_cast<int>(CMESelectViasTPEPage::IDD) : static_cast<int>(CMESelectViasOlmPage::IDD));
    CViaGridWnd& grid = *dynamic_cast<CViaGridPage&>(*Dialog().GetActivePage()).GetGrid();
    const ROWCOL last = grid.GetRowCount();
    ASSERT_EQ(std::string(grid.GetCellValue(last, 0)), "2399-2400");
    const int text = HeaderTextWidth(grid, last);
    EXPECT_GE(grid.GetColWidth(0), HeaderRoomNeeded(grid, last));
    if (!boardMode) {
      Click(Item(1136));   // "Uncheck All"
      EXPECT_EQ(std::string(grid.GetCellValue(last, 0)), "");
      EXPECT_LT(grid.GetColWidth(0), text);
    }
    api->Close();
    Pump();
    api = nullptr;
  }
}

// A click on a port's box in the extractor's via lists writes its own row only, however many checked ports below it
// take new numbers; the numbers shown are those of the records in row order, after clicks, a drag and check all.
TEST_F(ViaWizards, AClickInTheExtractorsPortListWritesOnlyItsRowAndTheNumbersFollow) {
  UseManyVias(400, 0);
  for (bool boardMode : {true, false}) {
    SCOPED_TRACE(boardMode);
    Open(Kind::Extractor, boardMode);
    GoToPage(boardMode ? static_cast<int>(CMESelectViasTPEPage::IDD) : static_cast<int>(CMESelectViasOlmPage::IDD));
    CViaGridWnd& grid = *dynamic_cast<CViaGridPage&>(*Dialog().GetActivePage()).GetGrid();
    ASSERT_EQ(grid.GetRowCount(), 400u);
    CModelExtractorAnalysisData& record = *GetModelExtractorAnalysisData();
    // Each checked port in row order takes as many numbers as it has layers, on from the supply pins' ports.
    const auto numbersOfTheRecords = [&] {
      std::vector<std::string> numbers;
      int n = record.GetEnabledSupplyPortCount();
      for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
        const CPortProbe& port = record.m_ViaPorts[*brimwiz::RecordOfViaRow(grid, r, record.m_ViaPorts.GetSize())];
        const int ports = static_cast<int>(port.m_FirstLayers.size() + port.m_SecondLayers.size());
        numbers.push_back(port.m_bEnabled ? std::to_string(n + 1) + "-" + std::to_string(n + ports) : "");
        n += port.m_bEnabled ? ports : 0;
      }
      return numbers;
    };
    ASSERT_EQ(Column(grid, 0)[399], "799-800");
    for (ROWCOL row : {1u, 200u, 1u}) {
      const std::uint64_t before = grid.m_nStoredStyleWrites;
      ClickCheck(grid, row);
      EXPECT_LT(grid.m_nStoredStyleWrites - before, 5u);
      EXPECT_EQ(Column(grid, 0), numbersOfTheRecords());
    }
    EXPECT_EQ(Column(grid, 0)[0], "1-2");
    EXPECT_EQ(Column(grid, 0)[199], "");
    EXPECT_EQ(Column(grid, 0)[399], "797-798");
    grid.InstallMoveRowsColsImp();  // as the module's start-up gives every grid
    ASSERT_TRUE(grid.MoveRows(400, 400, 1, GX_UPDATENOW, 0));
    EXPECT_EQ(Column(grid, 0)[0], "1-2");
    EXPECT_EQ(Column(grid, 0)[1], "3-4");
    EXPECT_EQ(Column(grid, 0), numbersOfTheRecords());
    ClickCheck(grid, 2);
    EXPECT_EQ(Column(grid, 0), numbersOfTheRecords());
    if (!boardMode) {
      Click(Item(CMESelectViasOlmPage::IDC_UNCHECK_ALL));
      EXPECT_EQ(Column(grid, 0), std::vector<std::string>(400, ""));
      Click(Item(CMESelectViasOlmPage::IDC_CHECK_ALL));
      EXPECT_EQ(Column(grid, 0)[399], "799-800");
      EXPECT_EQ(Column(grid, 0), numbersOfTheRecords());
    }
    api->Close();
    Pump();
    api = nullptr;
  }
}

// The user chooses a checked via's pair on the bypass list page with the mouse (a click in the cell opens its
// list, a click on an entry chooses it) or with the keys (Alt+Down, the arrows, Enter): the choice shows in the
// cell, stays through a round trip and reaches the record. A via checked without a choice takes its first pair:
// the analysis never gets a checked via without the layers to analyse.
TEST_F(ViaWizards, ABypassViasPairIsChosenInItsCellWithTheMouseOrTheKeys) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1"}));
  for (bool keys : {false, true}) {
    SCOPED_TRACE(keys ? "keys" : "mouse");
    Open(Kind::Bypass, true);
    auto& page = Active<CBWSelectProbesTPEPage>();
    CViaGridWnd& grid = *page.GetGrid();
    ASSERT_EQ(std::string(grid.GetCellValue(1, brimwiz::ViaColName)), "V_DQ1");
    const CRect check = grid.CalcCellRect(1, brimwiz::ViaColCheck);
    ClickAt(grid.m_hWnd, check.CenterPoint().x, check.CenterPoint().y);
    Pump();
    ASSERT_EQ(GetBypassAnalysisData()->m_Probes[0].m_bEnabled, 1);
    // Checked, the via takes its first pair until the user chooses another.
    EXPECT_EQ(std::string(grid.GetCellValue(1, brimwiz::ViaColFourth)), "\"TOP\" - \"L6_SIG\"");
    const CRect cell = grid.CalcCellRect(1, brimwiz::ViaColFourth);
    ClickAt(grid.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
    Pump();
    auto* box = dynamic_cast<CGXComboBoxWnd*>(grid.ControlForId(IDC_GRID_DROPDOWN_LIST));
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->GetCount(), 3);
    if (keys) {
      if (box->GetDroppedState())
        Key(VK_ESCAPE);
      Pump();
      plat::InputRouter::Instance().KeyDown(VK_MENU);
      plat::InputRouter::Instance().KeyPress(VK_DOWN);
      plat::InputRouter::Instance().KeyUp(VK_MENU);
      Pump();
      EXPECT_TRUE(box->GetDroppedState());
      Key(VK_DOWN);
      Key(VK_RETURN);
    } else {
      ASSERT_TRUE(box->GetDroppedState()) << "a click in the cell opens its list";
      COMBOBOXINFO info{};
      info.cbSize = sizeof info;
      ASSERT_TRUE(GetComboBoxInfo(box->m_hWnd, &info));
      RECT item{};
      ASSERT_NE(::SendMessage(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)), LB_ERR);
      ClickAt(info.hwndList, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    }
    Pump();
    CString chosen;
    box->GetLBText(1, chosen);
    EXPECT_EQ(std::string(box->GetBoxText()), std::string(chosen));
    // Round trip through the next page.
    Click(::GetDlgItem(Dialog().GetFrame()->GetStepList()->GetButtonBar()->m_hWnd, brimwiz::IDC_WIZ_NEXT));
    Pump();
    Click(::GetDlgItem(Dialog().GetFrame()->GetStepList()->GetButtonBar()->m_hWnd, brimwiz::IDC_WIZ_BACK));
    Pump();
    EXPECT_EQ(std::string(Active<CBWSelectProbesTPEPage>().GetGrid()->GetCellValue(1, brimwiz::ViaColFourth)),
              std::string(chosen));
    const CBypassViaProbe& dq1 = GetBypassAnalysisData()->m_Probes[0];
    EXPECT_EQ("\"" + std::string(dq1.m_FirstLayer) + "\" - \"" + std::string(dq1.m_SecondLayer) + "\"",
              std::string(chosen));
    api->Close();
    Pump();
    api = nullptr;
  }
}

// A checked via never reaches the analysis without one of its pairs. Its pair cell keeps its value when the grid
// asks to clear it (the other cells do not); a cell that names none of its pairs all the same (emptied by a cut,
// a text that is none of them) stores its first pair and shows it. The record's check judges the pair the record
// holds, whatever put it there.
TEST_F(ViaWizards, ACheckedBypassViaKeepsAPairHoweverItsCellOrItsRecordLosesIt) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_DQ1"}));
  Open(Kind::Bypass, true);
  auto& page = Active<CBWSelectProbesTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  CBypassAnalysisData& record = *GetBypassAnalysisData();
  ASSERT_EQ(Column(grid, brimwiz::ViaColName), (std::vector<std::string>{"V_DQ1", "V_TX0_P"}));
  ClickCheck(grid, 1);
  CBypassViaProbe& dq1 = record.m_Probes[0];
  EXPECT_EQ(std::string(dq1.m_FirstLayer) + "/" + std::string(dq1.m_SecondLayer), "TOP/L6_SIG")
      << "the record takes the pair its check box shows";
  EXPECT_EQ(record.GetSelectionStatusText(), "");
  EXPECT_FALSE(grid.OnDeleteCell(1, brimwiz::ViaColFourth));
  EXPECT_FALSE(grid.OnDeleteCell(2, brimwiz::ViaColFourth));
  EXPECT_TRUE(grid.OnDeleteCell(1, brimwiz::ViaColName));
  const std::string first = "\"TOP\" - \"L6_SIG\"";
  struct Cell {
    const char* text;
    std::string stored;   // first/second layer
  };
  const Cell cells[] = {
      {"", "TOP/L6_SIG"},
      {"\"L6_SIG\" - \"TOP\"", "TOP/L6_SIG"},
      {"\"TOP\" - \"TOP\"", "TOP/L6_SIG"},
      {"\"L3_SIG\" - \"L6_SIG\"", "L3_SIG/L6_SIG"},
  };
  for (const Cell& c : cells) {
    SCOPED_TRACE(c.text);
    grid.SetCellValue(1, brimwiz::ViaColFourth, c.text);
    EXPECT_TRUE(page.ValidateAndStore());
    CBypassViaProbe& stored = record.m_Probes[0];
    EXPECT_EQ(std::string(stored.m_FirstLayer) + "/" + std::string(stored.m_SecondLayer), c.stored);
    EXPECT_EQ("\"" + std::string(stored.m_FirstLayer) + "\" - \"" + std::string(stored.m_SecondLayer) + "\"",
              std::string(grid.GetCellValue(1, brimwiz::ViaColFourth)));
    EXPECT_EQ(record.GetSelectionStatusText(), "");
  }
  // The record as the viewer page's pair box or a settings file may leave it: the check refuses it.
  struct Pair {
    const char* first;
    const char* second;
    bool passes;
  };
  const Pair pairs[] = {
      {"", "", false}, {"L6_SIG", "TOP", false}, {"TOP", "TOP", false}, {"TOP", "", false}, {"TOP", "L6_SIG", true},
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(std::string(p.first) + "/" + p.second);
    record.m_Probes[0].m_FirstLayer = p.first;
    record.m_Probes[0].m_SecondLayer = p.second;
    CString messages;
    EXPECT_EQ(record.Check(&messages).empty(), p.passes) << messages.GetString();
    EXPECT_EQ(record.GetSelectionStatusText() == "", p.passes);
  }
}

// The list pages analyse one via. A record holding several enabled vias (the host's selected picks, a settings file
// with several "Enabled" lines) shows only the first valid one checked, so that the via the host gets is the one
// the record's check judged: before, the host got the first enabled via (a single via) while the check, and the
// via type, came from the last (a differential pair).
TEST_F(ViaWizards, TheListPagesKeepOneEnabledViaSoThatTheHostGetsTheViaTheCheckJudged) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_TX0_N", "V_TP_CLK", "V_DQ1"}));
  Open(Kind::ViaModel, true);
  CDiffViaAnalysisData& record = *GetDiffViaAnalysisData();
  auto& page = Active<CDVSelectProbesTPEPage>();
  CViaGridWnd& grid = *page.GetGrid();
  // V_TP_CLK (one layer) fails its check; of the others V_DQ1 comes first by name.
  EXPECT_EQ(Column(grid, brimwiz::ViaColName), (std::vector<std::string>{"V_DQ1", "V_TP_CLK", "V_TX0_N", "V_TX0_P"}));
  EXPECT_EQ(Column(grid, brimwiz::ViaColCheck), (std::vector<std::string>{"1", "0", "0", "0"}));
  auto* via = dynamic_cast<CDiffViaModelWizardAPI*>(api);
  ASSERT_EQ(via->HasProbes(), 1);
  EXPECT_EQ(std::string(via->GetProbe(0)->GetName()), "V_DQ1");
  record.GetSelectionStatusText();
  EXPECT_FALSE(record.m_bDiffViaType) << "the via type follows the one enabled via";
  api->Close();
  Pump();
  api = nullptr;
  // The bypass page on the settings of the board-mode run with V_TX0_P enabled beside V_TX0_N.
  std::ifstream golden(host::test::SourceDir() + "/host/tests/golden/bypass-list.dao", std::ios::binary);
  std::string settings((std::istreambuf_iterator<char>(golden)), std::istreambuf_iterator<char>());
  const size_t at = settings.find("V_TX0_P Disabled");
  ASSERT_NE(at, std::string::npos);
  settings.replace(at, 16, "V_TX0_P Enabled");
  const std::string file = (dir / "two.dao").string();
  std::ofstream(file, std::ios::binary) << settings;
  ASSERT_TRUE(board->Pick({"U1.D4", "V_TX0_P", "V_TX0_N"}));
  Open(Kind::Bypass, true);
  ASSERT_TRUE(api->LoadSettings(file.c_str()));
  Pump();
  CViaGridWnd& bypassGrid = *Active<CBWSelectProbesTPEPage>().GetGrid();
  const std::vector<std::string> checks = Column(bypassGrid, brimwiz::ViaColCheck);
  ASSERT_EQ(std::count(checks.begin(), checks.end(), "1"), 1);
  const size_t row = static_cast<size_t>(std::find(checks.begin(), checks.end(), "1") - checks.begin());
  auto* bypass = dynamic_cast<CBypassWizardAPI*>(api);
  ASSERT_NE(bypass->GetEnabledProbe(0), nullptr);
  EXPECT_EQ(std::string(bypass->GetEnabledProbe(0)->GetName()), Column(bypassGrid, brimwiz::ViaColName)[row]);
  EXPECT_EQ(GetBypassAnalysisData()->GetSelectionStatusText(), "");
}

// A thousand supply pins: the pin pages' port numbers show whole ("1000" lost its last digit to the border), and
// grouped, the group's range too.
TEST_F(ViaWizards, ThePinPagesShowFourDigitPortNumbersWhole) {
  UseManyVias(2, 2002);
  for (bool boardMode : {false, true}) {
    SCOPED_TRACE(boardMode);
    Open(Kind::Extractor, boardMode);
    auto& page = dynamic_cast<CPowerPinsPage&>(*Dialog().GetActivePage());
    CPowerPinsGridWnd& grid = *page.GetGrid();
    const ROWCOL last = grid.GetRowCount();
    ASSERT_EQ(std::string(grid.GetCellValue(last, 0)), "1001");
    EXPECT_GE(grid.GetColWidth(0), HeaderRoomNeeded(grid, last));
    if (!boardMode) {
      Click(Item(CPowerPinsPage::IDC_GROUP));
      ASSERT_TRUE(page.IsGrouping());
      ASSERT_EQ(std::string(grid.GetCellValue(1, 0)), "1-1001");
      EXPECT_GE(grid.GetColWidth(0), HeaderRoomNeeded(grid, 1));
    }
    api->Close();
    Pump();
    api = nullptr;
  }
}

// Both list pages' columns fit the page on a window of the template's size: the layout's widths, wider with the
// platform's font metrics, give up what they have beyond their texts. A via's connected layers are all in its cell,
// one a line (the collapsed cell shows the first with its plus button).
// A via's name cut at its column's edge is a one-line text, which the grid's cell tip shows whole (this fixture
// starts the grid without its features: the tip object the module's start gives every static cell is added here).
TEST_F(ViaWizards, AViaNameCutAtItsColumnsEdgeNeedsTheCellTip) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_TX0_N"}));
  Open(Kind::Bypass, true);
  GoToPage(CBWSelectProbesTPEPage::IDD);
  CViaGridWnd& grid = *dynamic_cast<CViaGridPage&>(*Dialog().GetActivePage()).GetGrid();
  grid.SetColWidth(brimwiz::ViaColName, brimwiz::ViaColName, 20);
  CGXControl* control = grid.ControlForCell(1, brimwiz::ViaColName);
  if (!control->GetCellTip())
    control->InstallCellTipStatic(new CGXCellTipStatic(control));
  CGXStyle style;
  grid.ComposeCellStyle(1, brimwiz::ViaColName, style);
  EXPECT_TRUE(control->NeedsCellTip(1, brimwiz::ViaColName, style));
}

TEST_F(ViaWizards, TheListPagesColumnsEndWithinTheirGridAndKeepEveryConnectedLayer) {
  ASSERT_TRUE(board->Pick({"V_TX0_P", "V_TX0_N"}));
  for (const Kind kind : {Kind::Bypass, Kind::ViaModel}) {
    SCOPED_TRACE(kind == Kind::Bypass ? "bypass" : "via model");
    Open(kind, true);
    GoToPage(kind == Kind::Bypass ? static_cast<int>(CBWSelectProbesTPEPage::IDD)
                                   : static_cast<int>(CDVSelectProbesTPEPage::IDD));
    CViaGridWnd& grid = *dynamic_cast<CViaGridPage&>(*Dialog().GetActivePage()).GetGrid();
    ASSERT_EQ(grid.GetColCount(), static_cast<ROWCOL>(brimwiz::ViaColFourth));
    CRect client;
    grid.GetClientRect(&client);
    EXPECT_LE(grid.CalcCellRect(1, brimwiz::ViaColFourth).right, client.right) << "the last column ends within the grid";
    EXPECT_EQ(grid.GetLeftCol(), 1u);
    EXPECT_EQ(std::string(grid.GetCellValue(1, brimwiz::ViaColThird)), "TOP\nL6_SIG");
    api->Close();
    Pump();
    api = nullptr;
  }
}
