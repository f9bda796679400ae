// The capacitor table: its rows (order, grouping, texts, fonts), the net filter, the groups-only option, the model
// column and "Enabled" box, and the actions (switching models, assigning through the model editor, removing,
// editing the groups). Every test ends with the host's ledger balanced.
#include "brimstead/models/capacitors/tests/CapacitorTableTestSupport.h"

#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "grid/controls/CGXCheckBox.h"
#include "platform/framework/CPaintDC.h"
#include "platform/window/InputRouter.h"

#include <algorithm>

namespace captest {
namespace {

using Panel = CCapacitorModelsPanel;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// g1 (one capacitor, an incomplete model), G2 (two capacitors that differ, a disabled model), G10 (two equal
// capacitors, a model), an empty group, C5 and C7 of no group (C7 with its own model), C6 no decoupling capacitor.
class CapacitorTable : public CapacitorTableTest {
protected:
  void SetUp() override {
    CapacitorTableTest::SetUp();
    host::HostPart* p100n = board.Part("CAP_100N", 1e-7);
    host::HostPart* p10n = board.Part("CAP_10N", 1e-8);
    host::HostPart* p1u = board.Part("CAP_1U", 1e-6);
    host::HostPart* p470n = board.Part("CAP_470N", 4.7e-7);
    c1 = board.Capacitor("C1", p100n, board.gnd, board.vdd);
    c2 = board.Capacitor("C2", p100n, board.gnd, board.vdd);
    c3 = board.Capacitor("C3", p10n, board.gnd, board.vio);
    c4 = board.Capacitor("C4", p1u, board.gnd, board.vio);
    c5 = board.Capacitor("C5", p470n, board.gnd, board.vdd);
    board.Capacitor("C6", p100n, board.gnd, board.vdd, false);
    c7 = board.Capacitor("C7", p10n, board.gnd, board.vio);
    c8 = board.Capacitor("C8", p10n, board.gnd, board.vio);
    g10 = board.Group("G10", {c1, c2});
    g2 = board.Group("G2", {c3, c4});
    g1 = board.Group("g1", {c8});
    board.Group("EMPTY", {});
    board.GroupModel(g10, "M10");
    board.GroupModel(g2, "M2", true);
    board.GroupModel(g1, "BAD", false, 0.0);
    board.OwnModel(c7, "M7");
  }

  host::HostComponent *c1, *c2, *c3, *c4, *c5, *c7, *c8;
  host::HostCapacitorGroup *g1, *g2, *g10;
};

TEST_F(CapacitorTable, GroupsComeInNaturalOrderWithTheirMembersThenTheCapacitorsOfNoGroup) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  // An empty group is not listed, nor a capacitor that is no decoupling capacitor.
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "G10", "C5", "C7"}));
  // Members that agree give the group their part name and value; members that differ leave them empty.
  const ROWCOL rowG10 = RowOf(panel, "G10"), rowG2 = RowOf(panel, "G2");
  EXPECT_EQ(Cell(panel, rowG10, Panel::ColPartName), "CAP_100N");
  EXPECT_EQ(Cell(panel, rowG10, Panel::ColValue), "0.1 uF");
  EXPECT_EQ(Cell(panel, rowG2, Panel::ColPartName), "");
  EXPECT_EQ(Cell(panel, rowG2, Panel::ColValue), "");
  EXPECT_EQ(Cell(panel, RowOf(panel, "C7"), Panel::ColValue), "0.01 uF");
  // Group rows: bold, an expand button; capacitors of no group: plain, no button.
  EXPECT_EQ(Style(panel, rowG10, Panel::ColName).GetFont().GetWeight(), 700);
  EXPECT_EQ(Style(panel, rowG10, Panel::ColExpand).GetControl(), IDC_GRID_PLUS_BUTTON);
  EXPECT_EQ(Style(panel, RowOf(panel, "C5"), Panel::ColName).GetFont().GetWeight(), 400);
  EXPECT_EQ(Style(panel, RowOf(panel, "C5"), Panel::ColExpand).GetControl(), GX_IDS_CTRL_STATIC);
  // The texts cannot become the current cell.
  EXPECT_FALSE(Style(panel, rowG10, Panel::ColName).GetEnabled());
  EXPECT_FALSE(Style(panel, rowG10, Panel::ColModel).GetEnabled());

  // The expand button shows the members in the board's order, indented and in italics, without model or box.
  EXPECT_TRUE(panel.OnCellButtonClicked(panel.Grid(), rowG10, Panel::ColExpand));
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "G10", "    C1", "    C2", "C5", "C7"}));
  EXPECT_EQ(Style(panel, rowG10, Panel::ColExpand).GetControl(), IDC_GRID_MINUS_BUTTON);
  const ROWCOL member = rowG10 + 1;
  EXPECT_TRUE(Style(panel, member, Panel::ColName).GetFont().GetItalic());
  EXPECT_EQ(Cell(panel, member, Panel::ColModel), "");
  EXPECT_EQ(Style(panel, member, Panel::ColEnabled).GetControl(), GX_IDS_CTRL_STATIC);
  EXPECT_EQ(Cell(panel, member, Panel::ColPartName), "CAP_100N");
  // A click on a member's button column does nothing.
  panel.ToggleGroup(member);
  EXPECT_EQ(panel.Grid()->GetRowCount(), 7u);

  // A refill of the same shape keeps the group open; a fresh fill closes it.
  panel.FillGrid(true);
  panel.UpdateRowCount();
  EXPECT_EQ(Names(panel)[3], "    C1");
  panel.FillGrid(false);
  panel.UpdateRowCount();
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "G10", "C5", "C7"}));
  // Open and closed again by the button.
  panel.ToggleGroup(rowG2);
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "    C3", "    C4", "G10", "C5", "C7"}));
  panel.ToggleGroup(rowG2);
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "G10", "C5", "C7"}));
}

TEST_F(CapacitorTable, TheNetFilterKeepsCapacitorsOnBothNetsAndDropsGroupsWithoutOne) {
  EXPECT_TRUE(Panel::PassesNetFilter(c1, board.gnd, board.vdd));
  EXPECT_TRUE(Panel::PassesNetFilter(c1, board.vdd, board.gnd));
  EXPECT_FALSE(Panel::PassesNetFilter(c1, board.gnd, board.vio));
  EXPECT_TRUE(Panel::PassesNetFilter(c1, nullptr, board.vdd));
  EXPECT_TRUE(Panel::PassesNetFilter(c3, nullptr, nullptr));
  EXPECT_FALSE(Panel::PassesNetFilter(nullptr, nullptr, nullptr));

  CCapacitorModelsDlg dialog;
  Open(dialog, board.gnd, board.vdd);
  Panel& panel = dialog.Panel();
  EXPECT_TRUE(panel.FilterOn());
  EXPECT_EQ(dialog.IsDlgButtonChecked(Panel::IDC_FILTER), BST_CHECKED);
  EXPECT_TRUE(Enabled(dialog, Panel::IDC_NET_A));
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"G10", "C5"}));
  // Every supply net, with its voltage; the first entry stands for none.
  CComboBox* nets = static_cast<CComboBox*>(dialog.GetDlgItem(Panel::IDC_NET_B));
  ASSERT_EQ(nets->GetCount(), 4);
  std::vector<std::string> texts;
  for (int i = 0; i < nets->GetCount(); ++i) {
    CString text;
    nets->GetLBText(i, text);
    texts.emplace_back(text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"<All Supply Nets>", "GND, 0.0volt ", "VDD, 1.2volt ", "VIO, 3.3volt "}));
  EXPECT_EQ(nets->GetCurSel(), 2);
  EXPECT_EQ(nets->GetItemDataPtr(0), nullptr);

  // Another pair, chosen in the lists.
  nets->SetCurSel(3);
  panel.OnFilterChange();
  EXPECT_EQ(panel.FilterNetB(), board.vio);
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "C7"}));
  // Off: everything; the lists are greyed.
  dialog.CheckDlgButton(Panel::IDC_FILTER, BST_UNCHECKED);
  panel.OnFilterCheck();
  EXPECT_FALSE(Enabled(dialog, Panel::IDC_NET_A));
  EXPECT_EQ(Names(panel).size(), 5u);
}

TEST_F(CapacitorTable, AFilterNetThatTheBoardDoesNotHaveIsDropped) {
  TestBoard other(ledger, "other");
  CCapacitorModelsDlg dialog;
  Open(dialog, board.gnd, other.vdd);
  EXPECT_EQ(dialog.Panel().FilterNetA(), board.gnd);
  EXPECT_EQ(dialog.Panel().FilterNetB(), nullptr);
  EXPECT_FALSE(dialog.Panel().FilterOn());
  EXPECT_FALSE(Enabled(dialog, Panel::IDC_NET_A));
  EXPECT_EQ(Names(dialog.Panel()).size(), 5u);
}

TEST_F(CapacitorTable, TheGroupsOnlyOptionShowsGroupsWithoutButtonsPartNamesOrValues) {
  CCapacitorModelsDlg dialog;
  dialog.Panel().SetGroupsOnlyOption(true);
  Open(dialog);
  Panel& panel = dialog.Panel();
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "G10"}));
  EXPECT_TRUE(panel.Grid()->IsColHidden(Panel::ColPartName));
  EXPECT_TRUE(panel.Grid()->IsColHidden(Panel::ColValue));
  EXPECT_EQ(Cell(panel, 0, Panel::ColName), "Group");
  EXPECT_EQ(Style(panel, 1, Panel::ColExpand).GetControl(), GX_IDS_CTRL_STATIC);
  EXPECT_FALSE(dialog.GetDlgItem(Panel::IDC_EDIT_GROUPS)->IsWindowVisible());
  // Nothing to expand; the hidden columns and the button column keep their widths under the mouse.
  panel.ToggleGroup(1);
  EXPECT_EQ(panel.Grid()->GetRowCount(), 3u);
  EXPECT_FALSE(panel.MayResizeColumn(Panel::ColExpand));
  EXPECT_FALSE(panel.MayResizeColumn(Panel::ColPartName));
  EXPECT_FALSE(panel.MayResizeColumn(Panel::ColValue));
  EXPECT_TRUE(panel.MayResizeColumn(Panel::ColModel));
  EXPECT_FALSE(panel.Grid()->ReturnTrueStub(Panel::ColValue, FALSE));
  EXPECT_TRUE(panel.Grid()->ReturnTrueStub(2, TRUE));
}

// A model name that the table cannot hold whole shows whole as the cell's tip when the mouse rests on it.
TEST_F(CapacitorTable, AModelNameCutAtTheColumnsEdgeShowsWholeAsItsTip) {
  host::CapacitorModelData data;
  data.kind = HostModelCLR;
  data.libraryModel = true;
  data.libraryModelName = "GRM21BR60J226ME39L_22U_X5R6V3_LONGER_STILL";
  board.board->Decoupling().SetChangeLog(nullptr);
  host::HostCapacitorModel model(data);
  board.board->Decoupling().SetGroupModel(g2, &model, false);
  CCapacitorModelsDlg dialog;
  Open(dialog);
  EXPECT_EQ(CellTipText(*dialog.Panel().Grid(), RowOf(dialog.Panel(), "G2"), Panel::ColModel),
            "Library: GRM21BR60J226ME39L_22U_X5R6V3_LONGER_STILL");
}

// A group opened or closed measures only its rows again: the columns come out as a fit measuring every row makes
// them, also when the rows taken out held the widest name.
TEST_F(CapacitorTable, AGroupOpenedOrClosedFitsTheColumnsAsAFullMeasureDoes) {
  host::HostComponent* longer = board.Capacitor("C9_A_LONGER_NAME", board.Part("CAP_1N", 1e-9), board.gnd, board.vdd);
  board.Group("LONG", {longer});
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  CCapacitorGrid& grid = *panel.Grid();
  const auto widths = [&grid] {
    std::vector<int> all;
    for (ROWCOL col = 0; col <= Panel::ColEnabled; ++col) all.push_back(grid.GetColWidth(col));
    return all;
  };
  const int nameWidth = grid.GetColWidth(Panel::ColName);
  for (const char* group : {"LONG", "G2", "LONG", "G2"}) {
    SCOPED_TRACE(group);
    panel.ToggleGroup(RowOf(panel, group));
    const std::vector<int> toggled = widths();
    grid.FitModelTexts();
    EXPECT_EQ(widths(), toggled);
    // The long name widens its column to exactly what it needs: the other columns have the room.
    if (const ROWCOL row = RowOf(panel, "C9_A_LONGER_NAME")) {
      CClientDC dc(&grid);
      grid.PrepareDC(&dc);
      const int needed = brimwiz::CellWidthNeeded(grid, dc, row, Panel::ColName);
      EXPECT_GT(needed, nameWidth);
      EXPECT_EQ(grid.GetColWidth(Panel::ColName), needed);
    }
  }
  EXPECT_EQ(grid.GetColWidth(Panel::ColName), nameWidth);

  // A name wider than the givers can make room for stays cut: the name column grows by exactly what the part name,
  // value and record columns give, the model column gives nothing although its short texts ("<undefined>" of
  // incomplete models) leave it width to spare, and the table stays within its window.
  const std::string widest = "C9_" + std::string(300, 'W');
  board.Capacitor(widest, board.Part("CAP_2N", 2e-9), board.gnd, board.vdd);
  board.GroupModel(g2, "M2", false, 0.0);
  board.GroupModel(g10, "M10", false, 0.0);
  board.OwnModel(c7, "M7", false, 0.0);
  CCapacitorModelsDlg wide;
  Open(wide);
  CCapacitorGrid& wideGrid = *wide.Panel().Grid();
  CClientDC dc(&wideGrid);
  wideGrid.PrepareDC(&dc);
  for (ROWCOL row = 0; row <= wideGrid.GetRowCount(); ++row)
    EXPECT_LT(brimwiz::CellWidthNeeded(wideGrid, dc, row, Panel::ColModel), wideGrid.GetColWidth(Panel::ColModel));
  int given = 0, grown = 0;
  for (const CWizardGridWnd::FittedColumn& fitted : wideGrid.m_FittedColumns) {
    EXPECT_NE(fitted.col, Panel::ColModel);
    (fitted.col == Panel::ColName ? grown : given) += fitted.col == Panel::ColName ? fitted.fitted - fitted.before
                                                                                  : fitted.before - fitted.fitted;
  }
  EXPECT_GT(grown, 0);
  EXPECT_EQ(grown, given);
  int total = 0;
  for (ROWCOL col = 0; col <= Panel::ColEnabled; ++col)
    total += wideGrid.IsColHidden(col) ? 0 : wideGrid.GetColWidth(col);
  CRect client;
  wideGrid.GetClientRect(&client);
  EXPECT_LE(total, client.Width());
  EXPECT_LT(wideGrid.GetColWidth(Panel::ColName),
            brimwiz::CellWidthNeeded(wideGrid, dc, RowOf(wide.Panel(), widest.c_str()), Panel::ColName));
}

TEST_F(CapacitorTable, TheModelColumnIsRedBlackOrGreyAndTheBoxNeedsAModel) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  struct Expected {
    const char* name;
    COLORREF colour;
    const char* value;
    bool boxEnabled;
  };
  const Expected rows[] = {
      {"g1", Panel::InvalidColour, "1", true},     // incomplete model, enabled
      {"G2", Panel::DisabledColour, "0", true},    // complete, disabled
      {"G10", Panel::EnabledColour, "1", true},    // complete, enabled
      {"C5", Panel::InvalidColour, "0", false},    // no model
      {"C7", Panel::EnabledColour, "1", true},     // its own model
  };
  for (const Expected& e : rows) {
    SCOPED_TRACE(e.name);
    const ROWCOL row = RowOf(panel, e.name);
    ASSERT_NE(row, 0u);
    EXPECT_EQ(Style(panel, row, Panel::ColModel).GetTextColor(), e.colour);
    EXPECT_EQ(Style(panel, row, Panel::ColEnabled).GetControl(), GX_IDS_CTRL_CHECKBOX3D);
    EXPECT_EQ(Cell(panel, row, Panel::ColEnabled), e.value);
    EXPECT_EQ(Style(panel, row, Panel::ColEnabled).GetEnabled() != FALSE, e.boxEnabled);
  }
  EXPECT_EQ(Cell(panel, RowOf(panel, "C5"), Panel::ColModel), "<undefined>");
  bool disabled = false;
  EXPECT_EQ(Cell(panel, RowOf(panel, "G10"), Panel::ColModel),
            std::string(FormatModelDescription(board.board->Decoupling().GetGroupModel(g10, &disabled))));
  ExpectMatchesReference(dialog.m_hWnd, "table-models");
}

TEST_F(CapacitorTable, TheEnabledBoxSwitchesEverySelectedRowWithAModelAndARefusalKeepsItsRow) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  const ROWCOL rowG2 = RowOf(panel, "G2"), rowG10 = RowOf(panel, "G10"), rowC5 = RowOf(panel, "C5"),
               rowC7 = RowOf(panel, "C7");
  Select(panel, {rowG2, rowG10, rowC5, rowC7});
  // G10 was on: every selected row with a model goes off; G2 was off already, C5 has none.
  panel.ToggleModelEnabled(rowG10);
  EXPECT_EQ(board.Changes(), (std::vector<std::string>{"Decoupling SetGroupModel \"G10\" M10 disabled",
                                                       "Decoupling SetComponentModel C7 M7 disabled"}));
  for (ROWCOL row : {rowG2, rowG10, rowC5, rowC7}) EXPECT_EQ(Cell(panel, row, Panel::ColEnabled), "0") << row;
  EXPECT_EQ(Style(panel, rowG10, Panel::ColModel).GetTextColor(), Panel::DisabledColour);
  EXPECT_EQ(panel.SelectedRows().size(), 4u);

  // The host refuses C7 now: its row stays off, the others go on.
  board.board->Decoupling().SetDecoupling(c7, false);
  panel.ToggleModelEnabled(rowG2);
  EXPECT_TRUE(Contains(board.Changes(), "Decoupling SetComponentModel C7 M7 (refused)"));
  EXPECT_EQ(Cell(panel, rowG2, Panel::ColEnabled), "1");
  EXPECT_EQ(Cell(panel, rowG10, Panel::ColEnabled), "1");
  EXPECT_EQ(Cell(panel, rowC7, Panel::ColEnabled), "0");
  bool disabled = true;
  EXPECT_NE(board.board->Decoupling().GetGroupModel(g10, &disabled), nullptr);
  EXPECT_FALSE(disabled);

  // A box outside the selection switches its own row only.
  const size_t before = board.Changes().size();
  panel.ToggleModelEnabled(RowOf(panel, "g1"));
  ASSERT_EQ(board.Changes().size(), before + 1);
  EXPECT_EQ(board.Changes().back(), "Decoupling SetGroupModel \"g1\" BAD disabled");
}

TEST_F(CapacitorTable, AClickInTheEnabledCellOfARowWithoutASwitchableModelLeavesEveryBoxAsItWas) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  ASSERT_TRUE(panel.OnCellButtonClicked(panel.Grid(), RowOf(panel, "G10"), Panel::ColExpand));
  const ROWCOL rowG10 = RowOf(panel, "G10"), rowC1 = RowOf(panel, "C1"), rowC5 = RowOf(panel, "C5"),
               rowC7 = RowOf(panel, "C7");
  Select(panel, {rowG10, rowC1, rowC5, rowC7});
  // A member of G10 (whose model is its group's), then C5 (no model), both among the selected rows: the cell
  // holds what a click left in it.
  for (ROWCOL row : {rowC1, rowC5}) {
    SCOPED_TRACE(row);
    panel.Grid()->SetStyleRange(CGXRange(row, Panel::ColEnabled), CGXStyle().SetValue("1"), gxOverride);
    panel.ToggleModelEnabled(row);
    EXPECT_EQ(board.Changes(), std::vector<std::string>{});
    EXPECT_EQ(Cell(panel, rowG10, Panel::ColEnabled), "1");
    EXPECT_EQ(Cell(panel, rowC7, Panel::ColEnabled), "1");
  }
  EXPECT_EQ(Cell(panel, rowC1, Panel::ColEnabled), "");
  EXPECT_EQ(Style(panel, rowC1, Panel::ColEnabled).GetControl(), GX_IDS_CTRL_STATIC);
  EXPECT_EQ(Cell(panel, rowC5, Panel::ColEnabled), "0");
  EXPECT_FALSE(Style(panel, rowC5, Panel::ColEnabled).GetEnabled());
  EXPECT_EQ(panel.SelectedRows(), (std::vector<ROWCOL>{rowG10, rowC1, rowC5, rowC7}));
}

TEST_F(CapacitorTable, AClickOnASelectedRowsBoxKeepsTheSelection) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  const ROWCOL rowG10 = RowOf(panel, "G10"), rowC7 = RowOf(panel, "C7"), rowC5 = RowOf(panel, "C5");
  Select(panel, {rowG10, rowC7});
  EXPECT_TRUE(panel.KeepsSelectionOnPress(rowG10, Panel::ColEnabled));
  EXPECT_FALSE(panel.KeepsSelectionOnPress(rowG10, Panel::ColModel));
  EXPECT_FALSE(panel.KeepsSelectionOnPress(rowC5, Panel::ColEnabled));   // no model: no box
  EXPECT_FALSE(panel.KeepsSelectionOnPress(RowOf(panel, "G2"), Panel::ColEnabled));   // not selected
  // The user's click on G10's box: both selected rows switch off, both stay selected.
  const CRect cell = panel.Grid()->CalcCellRect(rowG10, Panel::ColEnabled);
  ClickAt(panel.Grid()->m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
  EXPECT_EQ(panel.SelectedRows(), (std::vector<ROWCOL>{rowG10, rowC7}));
  EXPECT_EQ(Cell(panel, rowG10, Panel::ColEnabled), "0");
  EXPECT_EQ(Cell(panel, rowC7, Panel::ColEnabled), "0");
  EXPECT_EQ(board.Changes().size(), 2u);
}

TEST_F(CapacitorTable, TheActionButtonsFollowTheSelectionAndHandTheirFocusToTheGrid) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  EXPECT_FALSE(Enabled(dialog, Panel::IDC_ASSIGN));
  EXPECT_FALSE(Enabled(dialog, Panel::IDC_REMOVE));
  Select(panel, {RowOf(panel, "C5")});
  EXPECT_TRUE(Enabled(dialog, Panel::IDC_ASSIGN));
  EXPECT_TRUE(Enabled(dialog, Panel::IDC_REMOVE));
  dialog.GetDlgItem(Panel::IDC_REMOVE)->SetFocus();
  Select(panel, {});
  EXPECT_FALSE(Enabled(dialog, Panel::IDC_REMOVE));
  EXPECT_EQ(::GetFocus(), panel.Grid()->m_hWnd);
}

TEST_F(CapacitorTable, AssignModelPreparesTheEditorAndAssignsItsResultEnabled) {
  CCapacitorModelsDlg dialog;
  CStringArray directories;
  directories.Add("/models/a/");
  directories.Add("/models/b/");
  dialog.Panel().SetExtendedKindsOption(true);
  dialog.Panel().Attach(directories, &board.board->ModelLibrary(), nullptr, board.board.get(), nullptr, nullptr, 0,
                        nullptr);
  {
    brimwiz::CModuleScope scope;
    ASSERT_TRUE(dialog.Create(CCapacitorModelsDlg::IDD, nullptr));
  }
  dialog.ShowWindow(SW_SHOW);
  Pump();
  Panel& panel = dialog.Panel();
  struct Seen {
    int runs = 0;
    std::vector<std::string> pins, directories;
    CString modelName;
    double capacitance = 0.0;
    CHostModelLibrary* library = nullptr;
    bool extended = false;
  } seen;
  INT_PTR answer = IDOK;
  CCapacitorModelsPanel::SetModelEditorRun([&](CModelEditor& editor) {
    ++seen.runs;
    seen.pins.clear();
    for (INT_PTR i = 0; i < editor.PinNames().GetSize(); ++i) seen.pins.emplace_back(editor.PinNames()[i]);
    seen.directories.clear();
    for (INT_PTR i = 0; i < editor.Directories().GetSize(); ++i) seen.directories.emplace_back(editor.Directories()[i]);
    seen.modelName = editor.Record().header.modelName;
    seen.capacitance = editor.Record().clr.capacitance;
    seen.library = editor.ModelLibrary();
    seen.extended = editor.ExtendedKinds();
    editor.Record().clr.capacitance = 2.2e-7;
    return answer;
  });

  // Nothing selected: no editor (there is no reference capacitor), also not by a double click.
  panel.AssignModel();
  EXPECT_TRUE(panel.OnGridNotify(panel.Grid(), 1, 2));
  EXPECT_EQ(seen.runs, 0);

  // C5 has no model: the editor starts from its part's capacitance; its result goes to C5, enabled.
  Select(panel, {RowOf(panel, "C5")});
  panel.AssignModel();
  ASSERT_EQ(seen.runs, 1);
  EXPECT_EQ(seen.pins, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(seen.directories, (std::vector<std::string>{"/models/a/", "/models/b/"}));
  EXPECT_DOUBLE_EQ(seen.capacitance, 4.7e-7);
  EXPECT_EQ(seen.library, &board.board->ModelLibrary());
  EXPECT_TRUE(seen.extended);
  ASSERT_EQ(board.Changes().size(), 1u);
  EXPECT_EQ(board.Changes()[0].rfind("Decoupling SetComponentModel C5 ", 0), 0u) << board.Changes()[0];
  EXPECT_EQ(board.Changes()[0].find("disabled"), std::string::npos);
  EXPECT_EQ(Cell(panel, RowOf(panel, "C5"), Panel::ColEnabled), "1");
  bool disabled = true;
  CHostCapacitorModel* assigned = board.board->Decoupling().GetComponentModel(c5, &disabled);
  ASSERT_NE(assigned, nullptr);
  EXPECT_DOUBLE_EQ(assigned->GetCapacitance(), 2.2e-7);

  // C5 (now with a model) and G2 (its model disabled): the editor takes the first model in row order, G2's, with
  // G2's first member as the reference; the result goes to both, enabled.
  Select(panel, {RowOf(panel, "G2"), RowOf(panel, "C5")});
  panel.AssignModel();
  ASSERT_EQ(seen.runs, 2);
  EXPECT_EQ(seen.modelName, "M2");
  ASSERT_EQ(board.Changes().size(), 3u);
  EXPECT_EQ(board.Changes()[1].rfind("Decoupling SetGroupModel \"G2\" ", 0), 0u) << board.Changes()[1];
  EXPECT_EQ(board.Changes()[1].find("disabled"), std::string::npos);
  EXPECT_EQ(board.Changes()[2].rfind("Decoupling SetComponentModel C5 ", 0), 0u);

  // The user's double click on C7's name selects it and opens the editor on its own model.
  const CRect name = panel.Grid()->CalcCellRect(RowOf(panel, "C7"), Panel::ColName);
  plat::InputRouter::Instance().DoubleClick(
      plat::MouseButton::Left, plat::InputRouter::ClientPoint(panel.Grid()->m_hWnd, name.CenterPoint().x, name.CenterPoint().y));
  Pump();
  EXPECT_EQ(seen.runs, 3);
  EXPECT_EQ(seen.modelName, "M7");
  ASSERT_EQ(board.Changes().size(), 4u);
  EXPECT_EQ(board.Changes()[3].rfind("Decoupling SetComponentModel C7 ", 0), 0u) << board.Changes()[3];

  // A member row counts as its group; Cancel assigns nothing.
  panel.ToggleGroup(RowOf(panel, "G10"));
  Select(panel, {RowOf(panel, "C1")});
  answer = IDCANCEL;
  panel.AssignModel();
  EXPECT_EQ(seen.runs, 4);
  EXPECT_EQ(seen.modelName, "M10");
  EXPECT_EQ(board.Changes().size(), 4u);
  // The extended selection took in the group's other member.
  EXPECT_EQ(panel.SelectedRows().size(), 2u);
}

TEST_F(CapacitorTable, RemoveModelsTakesTheModelsOfTheSelectedGroupsAndCapacitors) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  panel.ToggleGroup(RowOf(panel, "G2"));
  Select(panel, {RowOf(panel, "C3"), RowOf(panel, "C7")});
  panel.RemoveModels();
  EXPECT_EQ(board.Changes(), (std::vector<std::string>{"Decoupling SetGroupModel \"G2\" null",
                                                       "Decoupling SetComponentModel C7 null"}));
  EXPECT_EQ(Cell(panel, RowOf(panel, "G2"), Panel::ColModel), "<undefined>");
  EXPECT_FALSE(Style(panel, RowOf(panel, "C7"), Panel::ColEnabled).GetEnabled());
  // The group stayed open.
  EXPECT_EQ(Names(panel)[2], "    C3");
}

TEST_F(CapacitorTable, EditGroupsRefillsTheTableOnlyWhenTheGroupsDialogEndsWithOk) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  // The host gains a group while the table shows the old state.
  board.Group("NEW", {c5});
  const auto answerGroupsDialog = [this](UINT command) {
    automation.Then([command] {
      HWND groups = FindWindow(nullptr, "Assign Decoupling-Capacitor Groups");
      ASSERT_NE(groups, nullptr);
      PostMessage(groups, WM_COMMAND, command, 0);
    });
  };
  answerGroupsDialog(IDCANCEL);
  panel.EditGroups();
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "G10", "C5", "C7"}));
  answerGroupsDialog(IDOK);
  panel.EditGroups();
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"g1", "G2", "G10", "NEW", "C7"}));
  EXPECT_EQ(automation.PendingSteps(), 0u);
}

TEST_F(CapacitorTable, AnOwnerClosedDuringTheEditorsRunIsNotRefilled) {
  CCapacitorModelsDlg dialog;
  Open(dialog);
  Panel& panel = dialog.Panel();
  Select(panel, {RowOf(panel, "C5")});
  CCapacitorModelsPanel::SetModelEditorRun([&](CModelEditor&) {
    dialog.DestroyWindow();
    return INT_PTR{IDOK};
  });
  panel.AssignModel();
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_TRUE(board.Changes().empty());
}

}  // namespace
}  // namespace captest
