// The board, net and IC power pin pages driven inside the running decoupling-analysis wizard on the sample board
// "demo8": what each page shows for the record, what it stores, and the pin pages' numbering, grouping and port
// order in both flavours. The add-board-probes dialog is driven alone.
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/wizards/CAddBoardProbes.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "brimstead/wizards/DWSelectBoardPage.h"
#include "brimstead/wizards/DWSelectNetPage.h"
#include "brimstead/wizards/DWSelectProbesPages.h"
#include "brimstead/wizards/MESelectSupplyPages.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "grid/core/CGXRange.h"
#include "grid/features/CGXCellTipPlugin.h"
#include "grid/features/CGXCellTipWnd.h"
#include "grid/features/CGXSortImp.h"
#include "grid/features/CGXUserResizeCellsImp.h"
#include "platform/base/VirtualClock.h"
#include "platform/window/InputRouter.h"
#include "host/BoardFile.h"
#include "host/tests/HostTestBoards.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CPaintDC.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

using namespace wiztest;

namespace {

bool Enabled(HWND hwnd) { return IsWindowEnabled(hwnd) != FALSE; }

class ProbePages : public WizardRunTest {
protected:
  CDecouplingAnalysisData& Data() { return *GetDecouplingAnalysisData(); }
  CHostNet* Net(const char* name) { return board->FindNet(name); }

  // Opens the wizard on a Distributed analysis between GND and VDD_CORE (or, in board mode, on the board alone)
  // with the board view's picks collected, and goes to the pin page.
  void OpenOnPins(PinPageFlavour flavour) {
    api->SetGeometryQuery(&board->GeometryQuery());
    if (flavour == PinPageFlavour::List) {
      api->EnableBoardMode();
      api->SetBoard(board.get());
      // Board mode takes every pick: the balls only.
      ASSERT_TRUE(board->Pick({"U1.D4", "U1.D7", "U1.G4", "U1.G7", "U1.F2"}));
    }
    ASSERT_TRUE(api->CreateModeless());
    Data().m_nAnalysisType = AnalysisDistributed;
    Data().m_pNet1 = Net("GND");
    Data().m_pNet2 = Net("VDD_CORE");
    Data().CollectProbes();
    Dialog().UpdateButtons();
    GoTo(flavour == PinPageFlavour::Viewer ? int{CDWSelectProbesOlmPage::IDD} : int{CDWSelectProbesTPEPage::IDD});
  }
  CPowerPinsPage& Page() { return *static_cast<CPowerPinsPage*>(Dialog().GetActivePage()); }
  CPowerPinsGridWnd& Grid() { return *Page().GetGrid(); }
  std::string Cell(ROWCOL row, ROWCOL col) { return Grid().GetCellValue(row, col).GetString(); }
  std::vector<std::string> Column(ROWCOL col) {
    std::vector<std::string> values;
    for (ROWCOL r = 1; r <= Grid().GetRowCount(); ++r)
      values.push_back(Cell(r, col));
    return values;
  }
  CGXStyle Style(ROWCOL row, ROWCOL col) {
    CGXStyle style;
    Grid().ComposeCellStyle(row, col, style);
    return style;
  }
  // The pin names of the record's probes, in list order.
  std::vector<std::string> RecordOrder(PinPageFlavour flavour) {
    CDecouplingPinList list(&Data());
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCount(); ++i)
      names.push_back(list.GetPinName(i, flavour).GetString());
    return names;
  }
  // Clicks the check box of a row the way the grid reports it: the value toggles, then the page hears of it.
  void ClickCheck(ROWCOL row) {
    const bool was = Cell(row, CPowerPinsPage::ColCheck) != "0";
    Grid().SetCellValue(row, CPowerPinsPage::ColCheck, was ? "0" : "1");
    Grid().OnButtonClickedInCell(row, CPowerPinsPage::ColCheck);
  }
};

// ---- Board page --------------------------------------------------------------------------------------------

// The board list fits the page: its last column gives up what its texts do not need, so no scroll bar offers the
// empty rest of a column that reached past the window.
TEST_F(ProbePages, TheBoardListFitsThePageWithoutAScrollBar) {
  host::HostLedger otherLedger;
  auto second = host::LoadBoardFile(host::test::SampleBoard("sensor4.json"), otherLedger);
  system.AddBoard(second.get());
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWSelectBoardPage::IDD);
  CGXGridWnd& grid = *static_cast<CDWSelectBoardPage*>(Dialog().GetActivePage())->GetGrid();
  EXPECT_EQ(GetWindowLong(grid.m_hWnd, GWL_STYLE) & WS_HSCROLL, 0);
  CRect client;
  grid.GetClientRect(&client);
  EXPECT_LE(grid.GetColWidth(0) + grid.GetColWidth(1) + grid.GetColWidth(2), client.Width());
  EXPECT_EQ(grid.GetCellValue(1, 2), system.GetBoardInfoText(0));
}

TEST_F(ProbePages, TheBoardPageListsTheSystemsBoardsAndMapsRowsToBoardIndices) {
  host::HostLedger otherLedger;
  auto second = host::LoadBoardFile(host::test::SampleBoard("sensor4.json"), otherLedger);
  system.AddBoard(second.get());
  ASSERT_TRUE(api->CreateModeless());
  EXPECT_EQ(Record().m_nBoardIndex, -1);
  GoTo(CDWSelectBoardPage::IDD);
  auto& page = *static_cast<CDWSelectBoardPage*>(Dialog().GetActivePage());
  CGXGridWnd& grid = *page.GetGrid();
  ASSERT_EQ(grid.GetRowCount(), 2u);
  EXPECT_EQ(grid.GetCellValue(0, 1), "FileName");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(grid.GetCellValue(static_cast<ROWCOL>(i + 1), 1), system.GetBoardFileName(i));
    EXPECT_EQ(grid.GetCellValue(static_cast<ROWCOL>(i + 1), 2), system.GetBoardInfoText(i));
  }
  // The loaded layout's switches as the page overrides them.
  EXPECT_EQ(grid.GetParam()->GetSelectionFlags(), GX_SELROW);
  EXPECT_FALSE(grid.GetParam()->IsDragRowsEnabled());
  EXPECT_TRUE(grid.GetParam()->GetSelection().IsEmpty());
  ExpectMatchesReference(api->GetWizardWindow(), "page-board");

  // One whole row selects its board; no selection means no board, the board object stays.
  CGXRangeList& selection = grid.GetParam()->GetSelection();
  selection.AddTail(new CGXRange(CGXRange().AssignRows(2, 2)));
  page.OnBoardSelectionChanged();
  EXPECT_EQ(Record().m_nBoardIndex, 1);
  EXPECT_EQ(Record().m_pBoard, second.get());
  selection.DeleteAll();
  page.OnBoardSelectionChanged();
  EXPECT_EQ(Record().m_nBoardIndex, -1);
  EXPECT_EQ(Record().m_pBoard, second.get());
  // Two ranges change nothing.
  selection.AddTail(new CGXRange(CGXRange().AssignRows(1, 1)));
  selection.AddTail(new CGXRange(CGXRange().AssignRows(2, 2)));
  page.OnBoardSelectionChanged();
  EXPECT_EQ(Record().m_nBoardIndex, -1);
  selection.DeleteAll();

  // Activation selects the record's board's row, and none for an index out of range.
  for (const auto& [index, rows] : std::vector<std::pair<int, INT_PTR>>{{0, 1}, {2, 0}, {-1, 0}}) {
    Record().m_nBoardIndex = index;
    selection.DeleteAll();
    page.OnSetActive();
    EXPECT_EQ(selection.GetCount(), rows) << index;
    if (rows) {
      EXPECT_EQ(selection.GetHead()->top, 1u);
    }
  }
  // Leaving stores the selected row's board.
  Record().m_nBoardIndex = 1;
  page.OnSetActive();
  EXPECT_TRUE(page.ValidateAndStore());
  EXPECT_EQ(Record().m_nBoardIndex, 1);
  api->Close();
  Pump();
}

// ---- Net page ----------------------------------------------------------------------------------------------

TEST_F(ProbePages, TheNetPageOffersSupplyNetsWithPlanesAndStoresAPairSortedByName) {
  ASSERT_TRUE(api->CreateModeless());
  GoTo(CDWSelectNetPage::IDD);
  auto& page = *static_cast<CDWSelectNetPage*>(Dialog().GetActivePage());
  auto names = [](CListBox& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.GetCount(); ++i) {
      CString text;
      list.GetText(i, text);
      out.push_back(text.GetString());
    }
    return out;
  };
  // Supply nets with a plane only (the signal nets stay out), sorted.
  const std::vector<std::string> offered = names(page.m_Available);
  EXPECT_EQ(offered, (std::vector<std::string>{"GND", "VCC_3V3", "VDD_CORE", "VDD_DDR", "VDD_IO"}));
  EXPECT_TRUE(names(page.m_Chosen).empty());
  HWND add = PageControl(CDWSelectNetPage::IDD, CDWSelectNetPage::IDC_ADD);
  HWND remove = PageControl(CDWSelectNetPage::IDD, CDWSelectNetPage::IDC_REMOVE);
  EXPECT_FALSE(Enabled(add));

  // VDD_CORE first, then GND: the record's first net is the one that sorts first.
  page.m_Available.SetCurSel(2);
  ::SendMessage(page.m_hWnd, WM_COMMAND, MAKEWPARAM(CDWSelectNetPage::IDC_AVAILABLE, LBN_SELCHANGE),
                reinterpret_cast<LPARAM>(page.m_Available.m_hWnd));
  EXPECT_TRUE(Enabled(add));
  Click(add);
  page.m_Available.SetCurSel(0);
  ::SendMessage(page.m_hWnd, WM_COMMAND, MAKEWPARAM(CDWSelectNetPage::IDC_AVAILABLE, LBN_DBLCLK),
                reinterpret_cast<LPARAM>(page.m_Available.m_hWnd));
  EXPECT_EQ(names(page.m_Chosen), (std::vector<std::string>{"GND", "VDD_CORE"}));
  EXPECT_EQ(Data().m_pNet1, Net("GND"));
  EXPECT_EQ(Data().m_pNet2, Net("VDD_CORE"));
  EXPECT_EQ(Data().m_Probes.GetSize(), 4);   // the picked VDD_CORE balls
  ExpectMatchesReference(api->GetWizardWindow(), "page-nets");
  // Two nets: adding is refused, by the button and by a double click.
  page.m_Available.SetCurSel(0);
  ::SendMessage(page.m_hWnd, WM_COMMAND, MAKEWPARAM(CDWSelectNetPage::IDC_AVAILABLE, LBN_SELCHANGE),
                reinterpret_cast<LPARAM>(page.m_Available.m_hWnd));
  EXPECT_FALSE(Enabled(add));
  ::SendMessage(page.m_hWnd, WM_COMMAND, MAKEWPARAM(CDWSelectNetPage::IDC_AVAILABLE, LBN_DBLCLK),
                reinterpret_cast<LPARAM>(page.m_Available.m_hWnd));
  EXPECT_EQ(page.m_Chosen.GetCount(), 2);

  // Removing GND clears the pair's net at once and rebuilds the probes (none without a pair).
  page.m_Chosen.SetCurSel(0);
  ::SendMessage(page.m_hWnd, WM_COMMAND, MAKEWPARAM(CDWSelectNetPage::IDC_CHOSEN, LBN_SELCHANGE),
                reinterpret_cast<LPARAM>(page.m_Chosen.m_hWnd));
  EXPECT_TRUE(Enabled(remove));
  Click(remove);
  EXPECT_EQ(Data().m_pNet1, Net("VDD_CORE"));
  EXPECT_EQ(Data().m_pNet2, nullptr);
  EXPECT_EQ(Data().m_Probes.GetSize(), 0);
  EXPECT_EQ(names(page.m_Available), (std::vector<std::string>{"GND", "VCC_3V3", "VDD_DDR", "VDD_IO"}));

  // A net the record names is listed only under "Nets to analyze" when the page comes back; a null board lists
  // nothing and stores no net.
  page.OnSetActive();
  EXPECT_EQ(names(page.m_Chosen), (std::vector<std::string>{"VDD_CORE"}));
  EXPECT_EQ(names(page.m_Available), (std::vector<std::string>{"GND", "VCC_3V3", "VDD_DDR", "VDD_IO"}));
  Data().m_pBoard = nullptr;
  page.OnSetActive();
  EXPECT_TRUE(names(page.m_Available).empty());
  EXPECT_EQ(Data().m_pNet1, nullptr);
}

// ---- Pin pages ---------------------------------------------------------------------------------------------

class PinPages : public ProbePages, public ::testing::WithParamInterface<PinPageFlavour> {};

TEST_P(PinPages, RowsNumberTheCheckedPinsInRowOrder) {
  OpenOnPins(GetParam());
  const bool list = GetParam() == PinPageFlavour::List;
  // A fresh list is sorted by pin name; the record follows the rows. The viewer flavour takes the pins between
  // GND and VDD_CORE, so F2 (whose planes are others) only comes in board mode, where every pick is taken.
  using Texts = std::vector<std::string>;
  EXPECT_EQ(Column(CPowerPinsPage::ColPin), (list ? Texts{"U1.D4", "U1.D7", "U1.F2", "U1.G4", "U1.G7"}
                                                  : Texts{"U1.D4", "U1.D7", "U1.G4", "U1.G7"}));
  EXPECT_EQ(RecordOrder(GetParam()), Column(CPowerPinsPage::ColPin));
  EXPECT_EQ(Style(1, CPowerPinsPage::ColCheck).GetControl(), IDC_GRID_TOOLTIP_CHECKBOX);
  EXPECT_EQ(Style(1, CPowerPinsPage::ColCheck).GetUserAttributeText(51022), "");
  if (list) {
    // F2 sits in a plane gap: invalid, so disabled, unchecked, with the check's message as its tip.
    const CGXStyle f2 = Style(3, CPowerPinsPage::ColCheck);
    EXPECT_FALSE(f2.GetEnabled());
    EXPECT_EQ(f2.GetValue(), "0");
    EXPECT_FALSE(f2.GetUserAttributeText(51022).IsEmpty());
    // The mouse resting on it for half a second shows that message as the cell's tip.
    const CRect cell = Grid().CalcCellRect(3, CPowerPinsPage::ColCheck);
    plat::InputRouter::Instance().MouseMove(plat::InputRouter::ClientPoint(Grid().GetSafeHwnd(), cell.left + 3,
                                                                           cell.CenterPoint().y));
    Pump();
    auto* tips = dynamic_cast<CGXCellTipPlugin*>(Grid().GetCellTipPlugin());
    ASSERT_NE(tips, nullptr) << "the pin grid shows cell tips";
    plat::VirtualClock::Advance(600);
    Pump();
    auto* tip = dynamic_cast<CGXTextCellTipWnd*>(tips->GetManager().FindNode(GX_CELLTIP_TEXT));
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsWindowVisible());
    EXPECT_EQ(tip->GetText(), f2.GetUserAttributeText(51022));
    plat::InputRouter::Instance().MouseMove(plat::InputRouter::ClientPoint(Grid().GetSafeHwnd(), 2, 2));
    Pump();
  }

  // Check all: only valid pins become ports; the headers number them.
  Page().OnCheckAll();
  EXPECT_EQ(Column(CPowerPinsPage::ColNumber), (list ? Texts{"1", "2", "", "3", "4"} : Texts{"1", "2", "3", "4"}));
  EXPECT_EQ(Column(CPowerPinsPage::ColCheck), (list ? Texts{"1", "1", "0", "1", "1"} : Texts{"1", "1", "1", "1"}));
  ExpectMatchesReference(api->GetWizardWindow(), list ? "page-pins-list" : "page-pins-viewer");
  // Unchecking the second leaves it unnumbered; the next ones close up.
  ClickCheck(2);
  EXPECT_EQ(Column(CPowerPinsPage::ColNumber), (list ? Texts{"1", "", "", "2", "3"} : Texts{"1", "", "2", "3"}));
  EXPECT_EQ(Data().m_Probes[1].m_bEnabled, 0);
  EXPECT_EQ(Data().m_Probes[0].m_bEnabled, 1);
  Page().OnUncheckAll();
  EXPECT_EQ(Column(CPowerPinsPage::ColNumber), list ? Texts(5, "") : Texts(4, ""));
  Page().OnCheckAll();
  EXPECT_EQ(Data().GetPortCount(), 4);
}

TEST_P(PinPages, LayerCellsShowOneNamePerLineOrTheFlavoursEmptyTextInRed) {
  OpenOnPins(GetParam());
  for (ROWCOL r = 1; r <= Grid().GetRowCount(); ++r) {
    SCOPED_TRACE(r);
    const std::optional<int> index = Page().RecordOfRow(r);
    ASSERT_TRUE(index);
    CDecouplingProbe& probe = Data().m_Probes[*index];
    std::vector<std::pair<ROWCOL, const char*>> cells = {{CPowerPinsPage::ColFifth, probe.GetReferenceLayers()}};
    if (GetParam() == PinPageFlavour::List)
      cells.emplace_back(CPowerPinsPage::ColFourth, probe.GetConnectedLayers());
    for (const auto& [col, text] : cells) {
      const std::vector<CString> names = SplitLayerText(text);
      const CGXStyle style = Style(r, col);
      if (names.empty()) {
        EXPECT_EQ(style.GetTextColor(), RGB(255, 0, 0));
        EXPECT_FALSE(style.GetEnabled());
        EXPECT_FALSE(style.GetValue().IsEmpty());
      } else {
        CString joined;
        for (const CString& name : names)
          joined += (joined.IsEmpty() ? "" : "\n") + name;
        EXPECT_EQ(style.GetValue(), joined);
        EXPECT_EQ(style.GetEnabled() != FALSE, names.size() > 1);
        if (names.size() > 1) {
          EXPECT_EQ(style.GetControl(), IDC_GRID_BITMAP_COLLAPSED);
        }
      }
    }
  }
  // The viewer flavour's column 4 is the pin object's own net, not the probe's (its reference net).
  if (GetParam() == PinPageFlavour::Viewer) {
    EXPECT_EQ(Cell(1, CPowerPinsPage::ColFourth), "VDD_CORE");
  }
}

TEST_P(PinPages, GroupingSummarisesEachGroupAndRestoresTheHeaderWidth) {
  OpenOnPins(GetParam());
  const int width = Grid().GetColWidth(0);
  HWND group = PageControl(Page().GetTemplateId(), CPowerPinsPage::IDC_GROUP);
  Click(group);
  ASSERT_TRUE(Page().IsGrouping());
  EXPECT_EQ(Grid().GetColWidth(0), 2 * width);
  EXPECT_FALSE(Grid().GetParam()->IsDragRowsEnabled());
  const bool list = GetParam() == PinPageFlavour::List;
  using Texts = std::vector<std::string>;
  // One group row (U1, bold, its item data negative) above the pins.
  ASSERT_EQ(Grid().GetRowCount(), list ? 6u : 5u);
  EXPECT_TRUE(Page().IsGroupRow(1));
  EXPECT_EQ(Cell(1, CPowerPinsPage::ColPin), "U1");
  EXPECT_EQ(Style(1, CPowerPinsPage::ColPin).GetFont().GetWeight(), 700);
  EXPECT_EQ(Style(1, CPowerPinsPage::ColGroupButton).GetControl(), IDC_GRID_PLUS_BUTTON);
  // Collapsed: its members are hidden, the group-button column shown.
  for (ROWCOL r = 2; r <= Grid().GetRowCount(); ++r)
    EXPECT_TRUE(Grid().IsRowHidden(r)) << r;
  EXPECT_FALSE(Grid().IsColHidden(CPowerPinsPage::ColGroupButton));
  ExpectMatchesReference(api->GetWizardWindow(), list ? "page-pins-grouped-list" : "page-pins-grouped-viewer");
  // Group check values: none checked 0, some 2, all (valid ones: F2 can never be) 1 after a click on the group.
  EXPECT_EQ(Cell(1, CPowerPinsPage::ColCheck), "0");
  ClickCheck(2);
  EXPECT_EQ(Cell(1, CPowerPinsPage::ColCheck), "2");
  // A click turns 2 into checked: every valid member is checked; F2 cannot be, so the group stays partial.
  Grid().SetCellValue(1, CPowerPinsPage::ColCheck, "1");
  Grid().OnButtonClickedInCell(1, CPowerPinsPage::ColCheck);
  EXPECT_EQ(Column(CPowerPinsPage::ColCheck),
            (list ? Texts{"2", "1", "1", "0", "1", "1"} : Texts{"1", "1", "1", "1", "1"}));
  Grid().SetCellValue(1, CPowerPinsPage::ColCheck, "0");
  Grid().OnButtonClickedInCell(1, CPowerPinsPage::ColCheck);
  EXPECT_EQ(Column(CPowerPinsPage::ColCheck), list ? Texts(6, "0") : Texts(5, "0"));
  // The plus button expands the group into the records' expanded flags; the minus collapses it again.
  EXPECT_TRUE(Page().OnGroupButtonClicked(1, CPowerPinsPage::ColGroupButton));
  EXPECT_EQ(Style(1, CPowerPinsPage::ColGroupButton).GetControl(), IDC_GRID_MINUS_BUTTON);
  for (ROWCOL r = 2; r <= Grid().GetRowCount(); ++r)
    EXPECT_FALSE(Grid().IsRowHidden(r)) << r;
  for (int i = 0; i < Data().m_Probes.GetSize(); ++i)
    EXPECT_EQ(Data().m_Probes[i].m_bExpanded, 1);
  Page().OnGroupButtonClicked(1, CPowerPinsPage::ColGroupButton);
  EXPECT_EQ(Data().m_Probes[0].m_bExpanded, 0);
  // Off again: the width remembered, not halved from a changed width.
  Grid().SetColWidth(0, 0, 2 * width + 3);
  Click(group);
  EXPECT_EQ(Grid().GetColWidth(0), width);
  EXPECT_TRUE(Grid().GetParam()->IsDragRowsEnabled());
  EXPECT_EQ(Grid().GetRowCount(), list ? 5u : 4u);
  EXPECT_TRUE(Grid().IsColHidden(CPowerPinsPage::ColGroupButton)) << "no group buttons while ungrouped";
  EXPECT_EQ(Grid().CalcCellRect(1, CPowerPinsPage::ColCheck).left, Grid().CalcCellRect(1, 0).right)
      << "the check boxes follow the row headers";
}

TEST_P(PinPages, TheUsersPortOrderSurvivesActivationViewerChangesAndReload) {
  OpenOnPins(GetParam());
  // The user's order (as a drag leaves it): reversed rows, stored by the page.
  std::vector<std::string> reversed = Column(CPowerPinsPage::ColPin);
  std::reverse(reversed.begin(), reversed.end());
  CDecouplingProbeArray probes;
  for (int i = Data().m_Probes.GetUpperBound(); i >= 0; --i)
    probes.Add(Data().m_Probes[i]);
  Data().m_Probes.Copy(probes);
  Data().m_bProbeOrderKept = 1;
  Page().FillGrid();
  Page().OnRowsMoved();
  EXPECT_EQ(Column(CPowerPinsPage::ColPin), reversed);
  EXPECT_EQ(RecordOrder(GetParam()), reversed);
  // Another activation and a viewer change keep it.
  Page().OnSetActive();
  EXPECT_EQ(Column(CPowerPinsPage::ColPin), reversed);
  if (GetParam() == PinPageFlavour::Viewer) {
    EXPECT_TRUE(api->OnViewerSelectionChanged());
    EXPECT_EQ(Column(CPowerPinsPage::ColPin), reversed);
  }
  // Leaving stores it; the settings file keeps it and a reload brings it back.
  Click(Next());
  EXPECT_TRUE(Data().m_bProbeOrderKept);
  Data().m_bSaveSettings = 1;
  ASSERT_TRUE(Data().Save());
  Data().m_Probes.RemoveAll();
  Data().m_bProbeOrderKept = 0;
  ASSERT_TRUE(Data().Load(Data().m_SettingsPath));
  EXPECT_EQ(RecordOrder(GetParam()), reversed);
  Click(Back());
  EXPECT_EQ(Column(CPowerPinsPage::ColPin), reversed);
  // A list collected afresh is sorted by name again.
  Data().m_Probes.RemoveAll();
  Data().CollectProbes();
  EXPECT_FALSE(Data().m_bProbeOrderKept);
  Page().FillGrid();
  std::vector<std::string> sorted = reversed;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(Column(CPowerPinsPage::ColPin), sorted);
}

TEST_P(PinPages, RowsNamingNoRecordAreSkippedNotFatal) {
  OpenOnPins(GetParam());
  Grid().SetStyleRange(CGXRange(2, 0), CGXStyle().SetItemDataPtr(99));
  EXPECT_FALSE(Page().RecordOfRow(2));
  const int skipped = Page().GetSkippedRowCount();
  EXPECT_NO_THROW(Page().NumberPorts());
  EXPECT_NO_THROW(Page().ValidateAndStore());
  EXPECT_GT(Page().GetSkippedRowCount(), skipped);
  EXPECT_EQ(Data().m_Probes.GetSize(), GetParam() == PinPageFlavour::List ? 4 : 3);
}

// ---- Pin page over several components ----------------------------------------------------------------------

// The list flavour over three components of 40 VCC pins each (a group each when grouping), every pin valid.
class ManyPinPages : public ProbePages {
protected:
  void OpenOnManyPins() {
    std::string json = R"({"name": "Pins", "layers": [{"name": "TOP", "kind": "metal", "thickness": 0.035},
      {"name": "P1", "kind": "dielectric", "thickness": 0.2}, {"name": "GND", "kind": "metal", "thickness": 0.035},
      {"name": "C", "kind": "dielectric", "thickness": 1.0}, {"name": "PWR", "kind": "metal", "thickness": 0.035},
      {"name": "P2", "kind": "dielectric", "thickness": 0.2}, {"name": "BOTTOM", "kind": "metal", "thickness": 0.035}],
      "nets": [{"name": "GND", "type": "supply", "voltage": 0},
               {"name": "VCC", "type": "supply", "voltage": 1.0, "reference": "GND"}],
      "areas": [{"net": "GND", "layer": "GND", "rect": [0, 0, 100, 100]}, {"net": "VCC", "layer": "PWR", "rect": [0, 0, 100, 100]}],
      "parts": [{"name": "BGA", "package": "BGA"}], "components": [)";
    std::vector<std::string> picks;
    for (int c = 0; c < 3; ++c) {
      json += std::string(c ? "," : "") + R"({"name": "U)" + std::to_string(c) + R"(", "part": "BGA", "side": "TOP", "pins": [)";
      for (int p = 0; p < 40; ++p) {
        char pin[200];
        std::snprintf(pin, sizeof pin, R"(%s{"name": "P%02d", "net": "VCC", "at": [%d, %d], "size": 0.3, "pad": {"shape": "round", "diameter": 0.4}, "eligible": false})", p ? "," : "",
                      p, 5 + c * 30 + p % 8 * 2, 5 + p / 8 * 2);
        json += pin;
        picks.push_back("U" + std::to_string(c) + ".P" + (p < 10 ? "0" : "") + std::to_string(p));
      }
      json += "]}";
    }
    const std::filesystem::path file = std::filesystem::path(project).parent_path() / "pins120.json";
    std::ofstream(file) << json << "]}";
    pins = host::LoadBoardFile(file.string(), ledger);
    ASSERT_NE(pins, nullptr);
    // A wizard in board mode on this board alone (the fixture's is on the sample system).
    api->Close();
    Pump();
    api = CBrimsteadAPI::Create();
    api->SetCallback(&callback);
    api->SetProjectFile(project.c_str());
    api->SetGeometryQuery(&pins->GeometryQuery());
    api->EnableBoardMode();
    api->SetBoard(pins.get());
    ASSERT_TRUE(pins->Pick(picks));
    ASSERT_TRUE(api->CreateModeless());
    Data().m_nAnalysisType = AnalysisDistributed;
    Data().m_pNet1 = pins->FindNet("GND");
    Data().m_pNet2 = pins->FindNet("VCC");
    Data().CollectProbes();
    ASSERT_EQ(Data().m_Probes.GetSize(), 120);
    Dialog().UpdateButtons();
    GoTo(CDWSelectProbesTPEPage::IDD);
    ASSERT_EQ(Grid().GetRowCount(), 120u);
  }
  // The headers as every row's check boxes and the hidden rows give them: a checked pin its place among the checked
  // pins; a group row, while its members are hidden, the range of its checked ones.
  std::vector<std::string> NumbersFromTheBoxes() {
    std::vector<std::string> numbers(Grid().GetRowCount());
    unsigned port = 0;
    ROWCOL group = 0;
    unsigned first = 0, last = 0;
    const auto closeGroup = [&] {
      if (group && first)
        numbers[group - 1] = first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
    };
    for (ROWCOL r = 1; r <= Grid().GetRowCount(); ++r) {
      if (Page().IsGroupRow(r)) {
        closeGroup();
        group = r;
        first = last = 0;
      } else if (Cell(r, CPowerPinsPage::ColCheck) == "1") {
        numbers[r - 1] = std::to_string(++port);
        if (Grid().IsRowHidden(r)) {
          first = first ? first : port;
          last = port;
        }
      }
    }
    closeGroup();
    return numbers;
  }
  // Clicks a row's box and answers the stored-style writes the click took (the box's own value included).
  std::uint64_t WritesOfAClick(ROWCOL row) {
    const std::uint64_t before = Grid().m_nStoredStyleWrites;
    ClickCheck(row);
    return Grid().m_nStoredStyleWrites - before;
  }
  // The row headers are as wide as the first of their longest texts needs (or wider, never narrower).
  void ExpectTheHeadersHoldTheLongestNumber() {
    const std::vector<std::string> numbers = Column(0);
    size_t longest = 0;
    for (size_t i = 0; i < numbers.size(); ++i)
      if (numbers[i].size() > numbers[longest].size())
        longest = i;
    CClientDC dc(&Grid());
    Grid().PrepareDC(&dc);
    EXPECT_GE(Grid().GetColWidth(0), brimwiz::CellWidthNeeded(Grid(), dc, static_cast<ROWCOL>(longest + 1), 0));
  }

  std::unique_ptr<host::HostBoard> pins;
};

// A click on a pin's box, or on a group's, writes the cells of the rows it checks or unchecks and of their group,
// however many checked pins below it take new numbers; the numbers shown are those of the boxes after clicks,
// collapsing and expanding, check all, a drag and a sort.
TEST_F(ManyPinPages, AClickWritesOnlyTheRowsItChangesAndTheNumbersFollowTheBoxes) {
  OpenOnManyPins();
  Page().OnCheckAll();
  EXPECT_EQ(Cell(120, 0), "120");
  EXPECT_LT(WritesOfAClick(1), 6u);
  EXPECT_EQ(Cell(1, 0), "");
  EXPECT_EQ(Cell(2, 0), "1");
  EXPECT_EQ(Cell(120, 0), "119");
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  EXPECT_LT(WritesOfAClick(1), 6u);
  EXPECT_LT(WritesOfAClick(100), 6u);
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  ExpectTheHeadersHoldTheLongestNumber();

  // Grouped: three collapsed groups show their ranges; a member's click rewrites its box and its group's.
  HWND group = PageControl(Page().GetTemplateId(), CPowerPinsPage::IDC_GROUP);
  Click(group);
  ASSERT_EQ(Grid().GetRowCount(), 123u);
  EXPECT_EQ(Cell(1, 0), "1-40");
  EXPECT_EQ(Cell(83, 0), "81-119");
  EXPECT_LT(WritesOfAClick(2), 6u);
  EXPECT_EQ(Cell(1, 0), "1-39");
  EXPECT_EQ(Cell(1, CPowerPinsPage::ColCheck), "2");
  EXPECT_EQ(Cell(42, 0), "40-79");
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  ExpectTheHeadersHoldTheLongestNumber();
  // The middle group expanded: its members show their numbers, its own header none; the others keep their ranges.
  Page().OnGroupButtonClicked(42, CPowerPinsPage::ColGroupButton);
  EXPECT_FALSE(Grid().IsRowHidden(43));
  EXPECT_EQ(Cell(42, 0), "");
  EXPECT_EQ(Cell(43, 0), "40");
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  // The last group's box unchecks its members (writes in proportion to the group), then the middle one's a member.
  Grid().SetCellValue(83, CPowerPinsPage::ColCheck, "0");
  const std::uint64_t before = Grid().m_nStoredStyleWrites;
  Grid().OnButtonClickedInCell(83, CPowerPinsPage::ColCheck);
  EXPECT_LT(Grid().m_nStoredStyleWrites - before, 50u);
  EXPECT_EQ(Cell(83, 0), "");
  EXPECT_EQ(Cell(83, CPowerPinsPage::ColCheck), "0");
  EXPECT_LT(WritesOfAClick(50), 6u);
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  Page().OnGroupButtonClicked(42, CPowerPinsPage::ColGroupButton);
  EXPECT_EQ(Cell(42, 0), "40-78");
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  Page().OnCheckAll();
  EXPECT_EQ(Cell(83, 0), "81-120");
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());

  // Ungrouped: a row dragged to the top and the rows sorted take the numbers of their new places.
  Click(group);
  ASSERT_EQ(Grid().GetRowCount(), 120u);
  ClickCheck(5);
  Grid().InstallMoveRowsColsImp();  // as the module's start-up gives every grid
  const std::string moved = Cell(120, CPowerPinsPage::ColPin);
  ASSERT_TRUE(Grid().MoveRows(120, 120, 1, GX_UPDATENOW, 0));
  ASSERT_EQ(Cell(1, CPowerPinsPage::ColPin), moved);
  EXPECT_EQ(Cell(1, 0), "1");
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  EXPECT_LT(WritesOfAClick(1), 6u);
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  CGXSortInfoArray keys;
  CGXSortInfo key;
  key.nRC = CPowerPinsPage::ColPin;
  key.sortType = CGXSortInfo::alphanumeric;
  key.sortOrder = 1;  // descending
  keys.Add(key);
  GXSortRows(&Grid(), CGXRange().AssignRows(1, 120), keys);
  EXPECT_EQ(Cell(1, CPowerPinsPage::ColPin), "U2.P39");
  EXPECT_EQ(Column(0), NumbersFromTheBoxes());
  Page().OnUncheckAll();
  EXPECT_EQ(Column(0), std::vector<std::string>(120, ""));
}

INSTANTIATE_TEST_SUITE_P(BothFlavours, PinPages, ::testing::Values(PinPageFlavour::Viewer, PinPageFlavour::List),
                         [](const auto& info) { return info.param == PinPageFlavour::Viewer ? "Viewer" : "List"; });

// The list flavour's five data columns, as its layout sizes them wider than its grid, give up what they have beyond
// their texts: they end within the grid, and the last column, "Referred layer", is seen whole (scrolled to it as
// well). Grouping, which shows one more column, fits them again; its end gives back the room that fit took.
TEST_F(ProbePages, TheListPinGridScrollsToItsLastColumn) {
  OpenOnPins(PinPageFlavour::List);
  CPowerPinsGridWnd& grid = Grid();
  CRect client;
  grid.GetClientRect(&client);
  EXPECT_LE(grid.SumColWidths(0, CPowerPinsPage::ColFifth), client.Width()) << "within the window";
  std::vector<int> widths;
  for (ROWCOL col = CPowerPinsPage::ColCheck; col <= CPowerPinsPage::ColFifth; ++col)
    widths.push_back(grid.GetColWidth(col));
  const int shown = grid.SumColWidths(CPowerPinsPage::ColCheck, CPowerPinsPage::ColFifth);
  HWND group = PageControl(Page().GetTemplateId(), CPowerPinsPage::IDC_GROUP);
  Click(group);
  ASSERT_TRUE(Page().IsGrouping());
  grid.GetClientRect(&client);
  EXPECT_LE(grid.CalcCellRect(1, CPowerPinsPage::ColFifth).right, client.right) << "grouped, within the window";
  EXPECT_LT(grid.SumColWidths(CPowerPinsPage::ColCheck, CPowerPinsPage::ColFifth), shown) << "room for the group";
  Click(group);
  ASSERT_FALSE(Page().IsGrouping());
  for (ROWCOL col = CPowerPinsPage::ColCheck; col <= CPowerPinsPage::ColFifth; ++col)
    EXPECT_EQ(grid.GetColWidth(col), widths[col - CPowerPinsPage::ColCheck]) << "given back: " << col;
  grid.SetLeftCol(CPowerPinsPage::ColFifth);
  grid.RefreshScrollBars(FALSE, FALSE);
  grid.GetClientRect(&client);
  const CRect last = grid.CalcCellRect(1, CPowerPinsPage::ColFifth);
  EXPECT_GE(last.left, 0);
  EXPECT_LE(last.right, client.right) << "the last column is seen whole";
  EXPECT_EQ(grid.GetCellValue(0, CPowerPinsPage::ColFifth), "Referred layer");
}

// A double click on the pin-name header sorts the rows (ascending, then descending) and the record takes the new
// port order; while the rows are grouped the headers sort nothing.
TEST_P(PinPages, ADoubleClickOnAColumnHeaderSortsTheRowsAndTheRecord) {
  OpenOnPins(GetParam());
  CPowerPinsGridWnd& grid = Grid();
  auto doubleClickHeader = [&] {
    const CRect header = grid.CalcCellRect(0, CPowerPinsPage::ColPin);
    const POINT at = plat::InputRouter::ClientPoint(grid.GetSafeHwnd(), header.CenterPoint().x, header.CenterPoint().y);
    plat::InputRouter::Instance().Click(plat::MouseButton::Left, at);
    plat::InputRouter::Instance().Click(plat::MouseButton::Left, at);
    Pump();
    plat::VirtualClock::Advance(1000);
    Pump();
  };
  std::vector<std::string> names = Column(CPowerPinsPage::ColPin);
  std::vector<std::string> descending = names;
  std::sort(descending.rbegin(), descending.rend());
  doubleClickHeader();
  doubleClickHeader();
  EXPECT_EQ(Column(CPowerPinsPage::ColPin), descending);
  EXPECT_EQ(RecordOrder(GetParam()), descending) << "the record follows the rows";
  EXPECT_TRUE(Data().m_bProbeOrderKept);
  HWND group = PageControl(Page().GetTemplateId(), CPowerPinsPage::IDC_GROUP);
  Click(group);
  ASSERT_TRUE(Page().IsGrouping());
  const std::vector<std::string> grouped = Column(CPowerPinsPage::ColPin);
  doubleClickHeader();
  EXPECT_EQ(Column(CPowerPinsPage::ColPin), grouped) << "grouped rows keep their order";
}

// The mouse resizes the pin grid's columns, except column 1 with the group buttons.
TEST_P(PinPages, TheMouseResizesEveryColumnButTheGroupButtons) {
  OpenOnPins(GetParam());
  CPowerPinsGridWnd& grid = Grid();
  if (!grid.GetUserResizeCellsImp())
    grid.InstallUserResizeCellsImp();   // as the application's interaction features do
  auto* resize = dynamic_cast<CGXUserResizeCellsImp*>(grid.GetUserResizeCellsImp());
  ASSERT_NE(resize, nullptr);
  EXPECT_FALSE(resize->OnStartTracking(&grid, 0, CPowerPinsPage::ColGroupButton, 2));
  EXPECT_FALSE(resize->IsTracking());
  const int pinWidth = grid.GetColWidth(CPowerPinsPage::ColPin);
  ASSERT_TRUE(resize->OnStartTracking(&grid, 0, CPowerPinsPage::ColPin, 2));
  resize->OnMoveTracking(&grid, pinWidth + 20);
  resize->OnEndTracking(&grid, pinWidth + 20);
  EXPECT_EQ(grid.GetColWidth(CPowerPinsPage::ColPin), pinWidth + 20);
}

TEST_F(ProbePages, AddIcPowerPinRunsTheHostCommandWithTheWizardDisabled) {
  OpenOnPins(PinPageFlavour::Viewer);
  bool disabledDuringCall = false;
  callback.onHostCommand = [&] { disabledDuringCall = !IsWindowEnabled(api->GetWizardWindow()); };
  Click(PageControl(1162, CPowerPinsPage::IDC_ADD_PIN));
  EXPECT_TRUE(disabledDuringCall);
  EXPECT_TRUE(IsWindowEnabled(api->GetWizardWindow()));
  EXPECT_NE(std::find(Lines().begin(), Lines().end(), "HostCommand 16 0"), Lines().end());
  // The button keeps the keyboard focus it had before the wizard was disabled: Tab moves on from it.
  EXPECT_EQ(::GetFocus(), PageControl(1162, CPowerPinsPage::IDC_ADD_PIN));
  Key(VK_TAB);
  EXPECT_EQ(::GetFocus(), PageControl(1162, CPowerPinsPage::IDC_GROUP));
  // The host may close the wizard from inside its command: nothing runs on the gone page.
  callback.onHostCommand = [&] { api->Close(); };
  Click(PageControl(1162, CPowerPinsPage::IDC_ADD_PIN));
  Pump();
  EXPECT_EQ(api->GetWizardWindow(), nullptr);
}

// The page's push buttons hold their captions in the dialog font they are drawn with: a label two pixels inside
// each edge, as the button draws it ("Add IC Power Pin..." was cut at both ends).
TEST_F(ProbePages, ThePinPageButtonsHoldTheirCaptions) {
  OpenOnPins(PinPageFlavour::Viewer);
  HWND page = PageControl(1162, CPowerPinsPage::IDC_ADD_PIN);
  ASSERT_NE(page, nullptr);
  page = GetParent(page);
  int buttons = 0;
  for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassName(child, cls, sizeof cls);
    if (std::string(cls) != "Button" || (GetWindowLong(child, GWL_STYLE) & BS_TYPEMASK) > BS_DEFPUSHBUTTON) continue;
    char text[64] = {};
    GetWindowText(child, text, sizeof text);
    HDC dc = GetDC(child);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(child, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32(dc, text, static_cast<int>(std::strlen(text)), &extent);
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_LE(extent.cx, client.right - client.left - 4) << text;
    ++buttons;
  }
  EXPECT_GE(buttons, 3);  // Check All, Uncheck All, Add IC Power Pin...
}

// ---- Add-board-probes dialog -------------------------------------------------------------------------------

class AddBoardProbes : public ProbePages {
protected:
  // The dialog as a modeless window, so that the test can act between its steps.
  std::unique_ptr<CAddBoardProbes> Open(CDecouplingProbeArray* probes) {
    brimwiz::CModuleScope scope;
    auto dialog = std::make_unique<CAddBoardProbes>(probes, &first, &second);
    EXPECT_TRUE(dialog->Create(CAddBoardProbes::IDD));
    return dialog;
  }
  std::vector<std::string> Children(CTreeCtrl& tree, HTREEITEM root) {
    std::vector<std::string> out;
    for (HTREEITEM item = tree.GetChildItem(root); item; item = tree.GetNextSiblingItem(item))
      out.push_back(tree.GetItemText(item).GetString());
    return out;
  }
  CAddBoardProbes::HostObjectList first, second;
};

TEST_F(AddBoardProbes, TheTreeHoldsOneGroupPerListAndOnlyANewEntryIsAdded) {
  host::HostComponent* u1 = board->FindComponent("U1");
  ASSERT_NE(u1, nullptr);
  CHostCollection* pins = u1->GetPins();
  for (int i = 0; i < pins->GetCount(); ++i) {
    auto* pin = static_cast<CHostProbeElement*>(pins->GetItem(i));
    const std::string net = pin->GetNet()->GetName();
    if (net == "VDD_CORE" && first.size() < 2)
      first.push_back(pin);
    else if (net == "VDD_IO" && second.size() < 1)
      second.push_back(pin);
  }
  pins->Release();
  ASSERT_EQ(first.size(), 2u);
  ASSERT_EQ(second.size(), 1u);

  CDecouplingProbeArray probes;
  {
    // Empty lists: an empty tree, and OK closes as Cancel.
    CAddBoardProbes::HostObjectList none;
    brimwiz::CModuleScope scope;
    CAddBoardProbes empty(&probes, &none, &none);
    ASSERT_TRUE(empty.Create(CAddBoardProbes::IDD));
    EXPECT_EQ(empty.m_Tree.GetRootItem(), nullptr);
    empty.OnOK();
    EXPECT_EQ(probes.GetSize(), 0);
  }
  auto dialog = Open(&probes);
  CTreeCtrl& tree = dialog->m_Tree;
  const HTREEITEM core = tree.GetRootItem();
  ASSERT_NE(core, nullptr);
  EXPECT_EQ(tree.GetItemText(core), "VDD_CORE");
  const HTREEITEM io = tree.GetNextSiblingItem(core);
  ASSERT_NE(io, nullptr);
  EXPECT_EQ(tree.GetItemText(io), "VDD_IO");
  const std::string firstName = std::string("U1.") + first[0]->GetPinName();
  EXPECT_EQ(Children(tree, core).front(), firstName);
  EXPECT_EQ(Children(tree, io).size(), 1u);

  // A group item adds nothing.
  tree.SelectItem(core);
  dialog->OnOK();
  EXPECT_EQ(probes.GetSize(), 0);
  // A double click on an entry adds it, enabled, without a host probe, checked as not valid.
  dialog = Open(&probes);
  dialog->m_Tree.SelectItem(dialog->m_Tree.GetChildItem(dialog->m_Tree.GetRootItem()));
  NMHDR header{dialog->m_Tree.m_hWnd, CAddBoardProbes::IDC_TREE, static_cast<UINT>(NM_DBLCLK)};
  ::SendMessage(dialog->m_hWnd, WM_NOTIFY, CAddBoardProbes::IDC_TREE, reinterpret_cast<LPARAM>(&header));
  ASSERT_EQ(probes.GetSize(), 1);
  EXPECT_EQ(probes[0].m_pElement, first[0]);
  EXPECT_EQ(probes[0].m_pHostProbe, nullptr);
  EXPECT_EQ(probes[0].m_bValid, 0);
  // The same entry again is a duplicate: nothing added.
  dialog = Open(&probes);
  dialog->m_Tree.SelectItem(dialog->m_Tree.GetChildItem(dialog->m_Tree.GetRootItem()));
  dialog->OnOK();
  EXPECT_EQ(probes.GetSize(), 1);
  // Without a probe list OK is Cancel.
  dialog = Open(nullptr);
  dialog->m_Tree.SelectItem(dialog->m_Tree.GetChildItem(dialog->m_Tree.GetRootItem()));
  EXPECT_NO_THROW(dialog->OnOK());
}

TEST_F(ProbePages, CommandAddBoardProbesRefillsThePinGridAfterOk) {
  OpenOnPins(PinPageFlavour::Viewer);
  const ROWCOL before = Grid().GetRowCount();
  // The dialog runs modally: the automation answers it by a double click on the first entry.
  automation.Then([&] {
    HWND dialog = ::GetActiveWindow();
    HWND tree = ::GetDlgItem(dialog, CAddBoardProbes::IDC_TREE);
    auto* ctrl = static_cast<CTreeCtrl*>(CWnd::FromHandle(tree));
    ctrl->SelectItem(ctrl->GetChildItem(ctrl->GetRootItem()));
    NMHDR header{tree, CAddBoardProbes::IDC_TREE, static_cast<UINT>(NM_DBLCLK)};
    ::SendMessage(dialog, WM_NOTIFY, CAddBoardProbes::IDC_TREE, reinterpret_cast<LPARAM>(&header));
  });
  ::SendMessage(Page().m_hWnd, WM_COMMAND, CPowerPinsPage::ID_ADD_BOARD_PROBES, 0);
  EXPECT_EQ(Grid().GetRowCount(), before + 1);
}

}  // namespace

// ---- The record lists' shared part ----------------------------------------------------------------------------

namespace {

// Each record list over its own record's probe array and order mark; the other marks of the record stay.
struct DecouplingPins {
  using List = CDecouplingPinList;
  CDecouplingAnalysisData record;
  CRecordArray<CDecouplingProbe>& Probes() { return record.m_Probes; }
  BYTE& Kept() { return record.m_bProbeOrderKept; }
  std::vector<BYTE> OtherMarks() { return {}; }
};

struct SupplyPorts {
  using List = CSupplyPortList;
  CModelExtractorAnalysisData record;
  CRecordArray<CPortProbe>& Probes() { return record.m_SupplyPorts; }
  BYTE& Kept() { return record.m_bSupplyOrderKept; }
  std::vector<BYTE> OtherMarks() { return {record.m_bViaOrderKept}; }
};

template <class T>
class PinRecordLists : public ::testing::Test {};
using PinRecordKinds = ::testing::Types<DecouplingPins, SupplyPorts>;
TYPED_TEST_SUITE(PinRecordLists, PinRecordKinds);

TYPED_TEST(PinRecordLists, FlagsMessagesOrderAndOrderMarkAreTheRecordsOwn) {
  // No record: an empty list that keeps no order and ignores a mark.
  typename TypeParam::List none(nullptr);
  EXPECT_EQ(none.GetCount(), 0);
  EXPECT_FALSE(none.IsOrderKept());
  none.SetOrderKept(true);
  EXPECT_FALSE(none.IsOrderKept());

  TypeParam kind;
  for (int i = 0; i < 3; ++i) {
    kind.Probes().SetSize(i + 1);
    kind.Probes()[i].m_Message.Format("probe %d", i);
    kind.Probes()[i].m_bValid = i != 1 ? 1 : 0;
  }
  typename TypeParam::List list(&kind.record);
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(list.IsValid(0));
  EXPECT_FALSE(list.IsValid(1));
  list.SetEnabled(2, true);
  list.SetExpanded(0, true);
  EXPECT_EQ(kind.Probes()[2].m_bEnabled, 1);
  EXPECT_EQ(kind.Probes()[0].m_bExpanded, 1);
  EXPECT_TRUE(list.IsEnabled(2) && !list.IsEnabled(0));
  EXPECT_TRUE(list.IsExpanded(0) && !list.IsExpanded(2));

  // Reordering moves whole records: flags and messages go with them.
  list.Reorder({2, 0, 1});
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(std::string(list.GetMessage(0)), "probe 2");
  EXPECT_EQ(std::string(list.GetMessage(1)), "probe 0");
  EXPECT_EQ(std::string(list.GetMessage(2)), "probe 1");
  EXPECT_TRUE(list.IsEnabled(0));
  EXPECT_TRUE(list.IsExpanded(1));
  EXPECT_FALSE(list.IsValid(2));

  // The order mark is this list's field of the record, and only that one.
  const std::vector<BYTE> others = kind.OtherMarks();
  list.SetOrderKept(true);
  EXPECT_EQ(kind.Kept(), 1);
  EXPECT_TRUE(list.IsOrderKept());
  EXPECT_EQ(kind.OtherMarks(), others);
  list.SetOrderKept(false);
  EXPECT_EQ(kind.Kept(), 0);
  EXPECT_FALSE(list.IsOrderKept());
}

// A pin groups under its component whatever full stops the designator and the pin name hold: the host probe's pin
// object is asked, also where the record keeps none of its own (board mode), and the probe's name is never cut.
TYPED_TEST(PinRecordLists, APinGroupsUnderItsComponentWhateverFullStopsTheNamesHold) {
  host::HostLedger ledger;
  const std::unique_ptr<host::HostBoard> board =
      host::LoadBoardText(host::test::DottedNamesBoard(), "dotted.json", ledger);
  TypeParam kind;
  const std::vector<std::pair<const char*, const char*>> pins = {
      {"U.1.1", "U.1"}, {"U.1.1.5", "U.1"}, {"U1.1.5", "U1"}};
  kind.Probes().SetSize(static_cast<int>(pins.size()));
  for (size_t i = 0; i < pins.size(); ++i)
    kind.Probes()[static_cast<int>(i)].m_pHostProbe = board->FindProbe(pins[i].first);
  typename TypeParam::List list(&kind.record);
  for (PinPageFlavour flavour : {PinPageFlavour::Viewer, PinPageFlavour::List})
    for (size_t i = 0; i < pins.size(); ++i)
      EXPECT_EQ(std::string(list.GetGroupName(static_cast<int>(i), flavour)), pins[i].second) << pins[i].first;
}

}  // namespace
