// The module's own grid cells on a small grid window (collapsible multi-line text, plus and minus buttons, the
// check box with a tip), their pixels, and the wizard layouts as the pages load them.
#include "brimstead/wizards/CGXTooltipCheckBox.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "brimstead/wizards/CWizardGridWnd.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/gxlayout.h"
#include "grid/core/gxlayoutresources.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/core/tests/gxwindowtest.h"
#include "platform/window/InputRouter.h"

#include <memory>

using namespace wiztest;

namespace {

class GridCells : public WizardWindowTest, public CGridOwnerListener {
protected:
  void SetUp() override {
    WizardWindowTest::SetUp();
    StartGridLibrary();
    scope = std::make_unique<brimwiz::CModuleScope>();
    grid = std::make_unique<CWizardGridWnd>();
    ASSERT_TRUE(grid->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 330, 160, nullptr, nullptr));
    grid->InitializeFromStyle();
    brimwiz::RegisterBitmapEditControls(grid.get());
    brimwiz::RegisterTooltipCheckBox(grid.get(), IDC_GRID_TOOLTIP_CHECKBOX);
    brimwiz::RegisterPlusMinusButtons(grid.get());
    brimwiz::RegisterDropDownList(grid.get());
    grid->m_pListener = this;
    grid->SetRowCount(3, 0);
    grid->SetColCount(4, 0);
    grid->SetDefaultRowHeight(20, 0);
    grid->SetColWidth(1, 4, 70, nullptr, 0);
  }
  void TearDown() override {
    grid.reset();
    scope.reset();
    WizardWindowTest::TearDown();
  }
  bool OnCellButtonClicked(CWizardGridWnd* from, ROWCOL row, ROWCOL col) override {
    clicks.push_back({from, row, col});
    return true;
  }
  bool OnGridNotify(CWizardGridWnd*, ROWCOL, ROWCOL) override { return true; }

  void Put(ROWCOL row, ROWCOL col, WORD control, const char* value) {
    grid->SetStyleRange(CGXRange(row, col), CGXStyle().SetControl(control).SetValue(value));
  }
  CGXStyle Style(ROWCOL row, ROWCOL col) {
    CGXStyle style;
    grid->ComposeCellStyle(row, col, style);
    return style;
  }
  CGridBitmapEdit& Edit(WORD id) { return *static_cast<CGridBitmapEdit*>(grid->ControlForId(id)); }
  CString Shown(ROWCOL row, ROWCOL col) {
    CString out;
    const CGXStyle style = Style(row, col);
    grid->ControlForId(style.GetControl())->GetDisplayText(out, row, col, nullptr, style);
    return out;
  }

  struct Click {
    CWizardGridWnd* grid;
    ROWCOL row, col;
  };
  std::unique_ptr<brimwiz::CModuleScope> scope;
  std::unique_ptr<CWizardGridWnd> grid;
  std::vector<Click> clicks;
};

TEST(EllipsisFit, LinesAreKeptCutOrEmptiedByTheirWidth) {
  // Every character 5 pixels wide, 'W' 9.
  const auto measure = [](const CString& s) {
    int width = 0;
    for (int i = 0; i < s.GetLength(); ++i)
      width += s[i] == 'W' ? 9 : 5;
    return width;
  };
  EXPECT_EQ(brimwiz::FitLineWithEllipsis("L1", 10, measure), "L1");
  EXPECT_EQ(brimwiz::FitLineWithEllipsis("", 0, measure), "");
  // "W..." needs 24 pixels: narrower gives an empty line.
  EXPECT_EQ(brimwiz::FitLineWithEllipsis("TOP_LAYER", 23, measure), "");
  // The longest start that fits with its ellipsis: 5 + 3 dots = 40 pixels.
  const CString cut = brimwiz::FitLineWithEllipsis("TOP_LAYER", 42, measure);
  EXPECT_EQ(cut, "TOP_L...");
  EXPECT_LE(measure(cut), 42);
  EXPECT_GT(measure(CString("TOP_LA...")), 42);
}

TEST_F(GridCells, ABitmapEditShowsEveryLineCutToTheCellAndOffersTheWholeTextAsATip) {
  Put(1, 1, IDC_GRID_BITMAP_COLLAPSED, "L2");
  Put(1, 2, IDC_GRID_BITMAP_COLLAPSED, "L2\nA_VERY_LONG_LAYER_NAME\nL3");
  // A one-line value that fits: shown as it is, no tip.
  EXPECT_EQ(Shown(1, 1), "L2");
  EXPECT_FALSE(Edit(IDC_GRID_BITMAP_COLLAPSED).NeedsCellTip(1, 1, Style(1, 1)));
  EXPECT_EQ(Edit(IDC_GRID_BITMAP_COLLAPSED).GetCellTipKind(1, 1, Style(1, 1)), 1);
  // A wide line ends in "..." and the whole text is a tip; the other lines stay.
  const CString shown = Shown(1, 2);
  EXPECT_TRUE(shown.Left(3) == "L2\n") << shown.GetString();
  EXPECT_NE(shown.Find("...\nL3"), -1) << shown.GetString();
  EXPECT_TRUE(Edit(IDC_GRID_BITMAP_COLLAPSED).NeedsCellTip(1, 2, Style(1, 2)));
  // Three lines are higher than one row: a tip even for short lines.
  Put(1, 3, IDC_GRID_BITMAP_COLLAPSED, "A\nB\nC");
  EXPECT_TRUE(Edit(IDC_GRID_BITMAP_COLLAPSED).NeedsCellTip(1, 3, Style(1, 3)));
  // Too narrow even for "W...": empty lines.
  grid->SetColWidth(2, 2, 30, nullptr, 0);
  EXPECT_EQ(Shown(1, 2), "\n\n");
  // The tip window gets the value, over the cell, at least as large as the text needs.
  CWnd tip;
  ASSERT_TRUE(tip.CreateEx(0, "GXWND", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
  const CGXStyle style = Style(1, 3);
  Edit(IDC_GRID_BITMAP_COLLAPSED).ShowCellTip(1, 3, style, &tip);
  EXPECT_EQ(Text(tip.m_hWnd), "A\nB\nC");
  CRect shownAt, cell = grid->CalcCellRect(1, 3);
  tip.GetWindowRect(&shownAt);
  grid->ClientToScreen(&cell);
  EXPECT_EQ(shownAt.TopLeft(), cell.TopLeft());
  EXPECT_GE(shownAt.Height(), Edit(IDC_GRID_BITMAP_COLLAPSED).MultiLineExtent("A\nB\nC", style).cy);
  tip.DestroyWindow();
}

TEST_F(GridCells, TheButtonExpandsTheRowWhereTextsFitAndCollapsesItWhole) {
  Put(1, 1, IDC_GRID_BITMAP_COLLAPSED, "A\nB");          // clicked
  Put(1, 2, IDC_GRID_BITMAP_COLLAPSED, "ONE");           // fits into two lines
  Put(1, 3, IDC_GRID_BITMAP_COLLAPSED, "A\nB\nC\nD");    // does not
  Put(1, 4, GX_IDS_CTRL_STATIC, "x");                    // not a bitmap edit: untouched
  CGridBitmapEdit& plus = Edit(IDC_GRID_BITMAP_COLLAPSED);
  plus.InitForCell(1, 1);
  plus.OnChildClicked(nullptr);
  EXPECT_EQ(Style(1, 1).GetControl(), IDC_GRID_BITMAP_EXPANDED);
  EXPECT_EQ(Style(1, 2).GetControl(), IDC_GRID_BITMAP_EXPANDED);
  EXPECT_EQ(Style(1, 3).GetControl(), IDC_GRID_BITMAP_COLLAPSED);
  EXPECT_EQ(Style(1, 4).GetControl(), GX_IDS_CTRL_STATIC);
  const int twoLines = Edit(IDC_GRID_BITMAP_EXPANDED).ComputeCellSize(nullptr, 1, 1, Style(1, 1), nullptr, TRUE).cy;
  EXPECT_EQ(grid->GetRowHeight(1), twoLines);
  EXPECT_EQ(grid->GetRowHeight(2), 20);
  // Collapsing collapses every bitmap edit of the row; the row keeps the height its clicked cell's text needs.
  CGridBitmapEdit& minus = Edit(IDC_GRID_BITMAP_EXPANDED);
  minus.InitForCell(1, 1);
  minus.OnChildClicked(nullptr);
  for (ROWCOL col : {1u, 2u, 3u})
    EXPECT_EQ(Style(1, col).GetControl(), IDC_GRID_BITMAP_COLLAPSED) << col;
  EXPECT_EQ(grid->GetRowHeight(1), twoLines);
  // The row-height reset: every row, header included, one empty line with the button.
  brimwiz::ResetBitmapEditRowHeights(grid.get());
  const int oneLine = grid->GetRowHeight(0);
  EXPECT_GE(oneLine, plus.GetButtonSize().cy);
  for (ROWCOL row = 1; row <= 3; ++row)
    EXPECT_EQ(grid->GetRowHeight(row), oneLine);
}

TEST_F(GridCells, PlusAndMinusButtonsTellTheGridsListener) {
  Put(2, 1, IDC_GRID_PLUS_BUTTON, "");
  Put(3, 1, IDC_GRID_MINUS_BUTTON, "");
  for (ROWCOL row : {2u, 3u}) {
    CGXControl* button = grid->ControlForCell(row, 1);
    ASSERT_NE(button, nullptr);
    button->InitForCell(row, 1);
    button->OnChildClicked(nullptr);
  }
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].grid, grid.get());
  EXPECT_EQ(clicks[0].row, 2u);
  EXPECT_EQ(clicks[1].row, 3u);
  EXPECT_EQ(clicks[1].col, 1u);
  // Without a listener a click goes nowhere.
  grid->m_pListener = nullptr;
  grid->ControlForCell(2, 1)->OnChildClicked(nullptr);
  EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(GridCells, TheCheckBoxShowsItsTipTextOnlyWhileDisabled) {
  CGXTooltipCheckBox& box = *static_cast<CGXTooltipCheckBox*>(grid->ControlForId(IDC_GRID_TOOLTIP_CHECKBOX));
  struct Case {
    bool enabled;
    const char* tip;
    bool wanted;
  };
  for (const Case& c : {Case{true, "", false}, Case{true, "reason", false}, Case{false, nullptr, false},
                        Case{false, "", false}, Case{false, "reason", true}}) {
    CGXStyle style;
    style.SetControl(IDC_GRID_TOOLTIP_CHECKBOX).SetEnabled(c.enabled).SetValue("0");
    if (c.tip)
      style.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, c.tip);
    EXPECT_EQ(box.NeedsCellTip(1, 1, style) != FALSE, c.wanted) << c.enabled << " " << (c.tip ? c.tip : "none");
  }
  CGXStyle disabled;
  disabled.SetControl(IDC_GRID_TOOLTIP_CHECKBOX).SetEnabled(FALSE).SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT,
                                                                                     "IC power pin is far away");
  CWnd tip;
  ASSERT_TRUE(tip.CreateEx(0, "GXWND", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
  box.ShowCellTip(1, 1, disabled, &tip);
  EXPECT_EQ(Text(tip.m_hWnd), "IC power pin is far away");
  CRect at;
  tip.GetWindowRect(&at);
  EXPECT_GT(at.Width(), grid->CalcCellRect(1, 1).Width());   // widened to the text
  tip.DestroyWindow();
}

TEST_F(GridCells, EachCellDrawsAsItsReferenceShows) {
  grid->SetColCount(5, 0);
  grid->SetColWidth(3, 4, 30, nullptr, 0);
  grid->SetColWidth(5, 5, 40, nullptr, 0);
  grid->SetRowHeight(1, 3, 34, nullptr, 0);
  Put(1, 1, IDC_GRID_BITMAP_COLLAPSED, "TOP\nL2_GND_PLANE\nBOTTOM");
  Put(1, 2, IDC_GRID_BITMAP_EXPANDED, "TOP\nBOTTOM");
  Put(1, 3, IDC_GRID_PLUS_BUTTON, "");
  Put(1, 4, IDC_GRID_MINUS_BUTTON, "");
  Put(1, 5, IDC_GRID_TOOLTIP_CHECKBOX, "1");
  Put(2, 5, IDC_GRID_TOOLTIP_CHECKBOX, "0");
  grid->SetStyleRange(CGXRange(3, 5), CGXStyle().SetControl(IDC_GRID_TOOLTIP_CHECKBOX).SetValue("0").SetEnabled(FALSE));
  grid->RedrawAll();
  Pump();
  ExpectMatchesReference(grid->m_hWnd, "grid-cells");
}

// ---- Layouts -----------------------------------------------------------------------------------------------

TEST(WizardLayouts, ProbeGridsCarryTheirHeadersWidthsStylesAndSwitches) {
  struct Expected {
    WORD id;
    ROWCOL dataColumns;
    std::vector<const char*> headers;   // columns 0..
    std::vector<LONG> widths;
    WORD selectionFlags;
    ROWCOL checkColumn;
  };
  const Expected layouts[] = {
      {1161, 5, {"NN", "", "", "Pin Name", "Net", "Reference Layers", "Connected Layers"},
       {3108, 2414, 2886, 16206, 10101, 15207, 16983}, 129, 2},
      {1146, 5, {"NN", "", "", "Pin Name", "Connected layer", "Referred layer", "End Layer"},
       {3108, 2414, 2886, 12987, 21201, 21867, 20091}, 129, 2},
      {1155, 4, {"NN", "", "Schematic Via Name", "Connected Layers", "Layer Pair"},
       {3108, 2886, 16206, 16650, 24531}, 128, 1},
      {1160, 4, {"NN", "", "Net Name", "Position", "Connected Layers", "Connected Layers"},
       {3108, 2886, 16206, 10101, 15207, 16983}, 129, 1},
      {1170, 4, {"NN", "", "Schematic Via Name", "Via 1 Connected Layers", "Via 2 Connected Layers"},
       {3552, 2886, 17538, 20202, 20979}, 129, 1},
  };
  gx::RegisterGridLayouts();
  for (const Expected& e : layouts) {
    SCOPED_TRACE(e.id);
    std::unique_ptr<CGXGridParam> p(LoadGridParamLayoutById(e.id));
    ASSERT_NE(p, nullptr);
    CGXData& data = *p->GetData();
    // Only the counted columns show: 1146 keeps "End Layer" stored beyond its five.
    EXPECT_EQ(data.GetColCount(), e.dataColumns);
    EXPECT_EQ(data.GetRowCount(), 5u);
    for (size_t col = 0; col < e.headers.size(); ++col) {
      CGXStyle header;
      data.GetStyle(0, static_cast<ROWCOL>(col), header, gxCopy);
      if (col <= e.dataColumns) {   // the archive keeps no cell past the counted columns, only their widths
        EXPECT_EQ(header.GetValue(), e.headers[col]) << col;
      }
      LONG width = 0;
      EXPECT_TRUE(p->GetColWidths().Lookup(static_cast<DWORD>(col), width)) << col;
      EXPECT_EQ(width, e.widths[col]) << col;
    }
    EXPECT_EQ(p->GetSelectionFlags(), e.selectionFlags);
    EXPECT_EQ(p->m_wRowResizeFlags, 184);
    EXPECT_EQ(p->m_wColResizeFlags, 186);
    EXPECT_TRUE(p->IsDragRowsEnabled());
    EXPECT_FALSE(p->IsDragColumnsEnabled());
    EXPECT_EQ(p->m_nDefaultRowHeight, 1054u);
    EXPECT_EQ(p->m_nMinColWidth, 2u);
    // The check-box column's style: a centred 3-D check box.
    CGXStyle check;
    data.GetStyle(0, e.checkColumn, check, gxCopy, GX_BASESTYLE);
    EXPECT_EQ(check.GetControl(), 52523);
    EXPECT_EQ(check.GetHorizontalAlignment(), 1u);
    // The grey pin or via name column: a disabled, centred static.
    CGXStyle name;
    data.GetStyle(0, e.checkColumn + 1, name, gxCopy, GX_BASESTYLE);
    EXPECT_EQ(name.GetControl(), GX_IDS_CTRL_STATIC);
    EXPECT_FALSE(name.GetEnabled());
  }
}

}  // namespace

namespace {

// The cells of the module's grids as their pages and dialogs write them, on a grid of the module's kind with the
// clipboard features: a via row (check box, grey name, connected layers, the pair's list), and a row of the other
// dialogs' cells (a group's one-line name editor, a port's pin list, an expand button, a capacitor's box).
class ModuleGridPaste : public WizardWindowTest {
protected:
  void SetUp() override {
    WizardWindowTest::SetUp();
    StartGridLibrary(&RegisterCellsAndFeatures);
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
    plat::SetAutomationProvider(&automation);
    scope = std::make_unique<brimwiz::CModuleScope>();
    grid = std::make_unique<CWizardGridWnd>();
    ASSERT_TRUE(grid->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 120, nullptr, nullptr));
    grid->InitializeFromStyle();
    brimwiz::RegisterBitmapEditControls(grid.get());
    brimwiz::RegisterTooltipCheckBox(grid.get(), IDC_GRID_TOOLTIP_CHECKBOX);
    brimwiz::RegisterPlusMinusButtons(grid.get());
    brimwiz::RegisterDropDownList(grid.get());
    grid->SetRowCount(2, 0);
    grid->SetColCount(5, 0);
    ::SetFocus(grid->m_hWnd);
  }
  void TearDown() override {
    grid.reset();
    scope.reset();
    plat::SetAutomationProvider(nullptr);
    WizardWindowTest::TearDown();
  }
  struct Cell {
    WORD control;
    const char* value;
    const char* choices;  // null: none
    bool enabled;
  };
  static constexpr Cell kCells[2][5] = {
      {{IDC_GRID_TOOLTIP_CHECKBOX, "1", nullptr, true},
       {GX_IDS_CTRL_STATIC, "V_DQ1", nullptr, false},
       {IDC_GRID_BITMAP_COLLAPSED, "TOP\nL3_SIG\nL6_SIG", nullptr, true},
       {IDC_GRID_DROPDOWN_LIST, "\"L3_SIG\" - \"L6_SIG\"", "\"TOP\" - \"L3_SIG\"\n\"L3_SIG\" - \"L6_SIG\"", true},
       {GX_IDS_CTRL_CHECKBOX3D, "0", nullptr, true}},
      {{IDC_GRID_PLUS_BUTTON, "", nullptr, true},
       {GX_IDS_CTRL_EDIT, "3V3_BULK", nullptr, true},
       {GX_IDS_CTRL_CBS_DROPDOWNLIST, "1", "1\n2", true},
       {IDC_GRID_DROPDOWN_LIST, "\"TOP\" - \"L3_SIG\"", "\"TOP\" - \"L3_SIG\"\n\"L3_SIG\" - \"L6_SIG\"", true},
       {GX_IDS_CTRL_STATIC, "2", nullptr, true}},
  };
  void Fill() {
    for (ROWCOL r = 1; r <= 2; ++r)
      for (ROWCOL c = 1; c <= 5; ++c) {
        const Cell& cell = kCells[r - 1][c - 1];
        CGXStyle style;
        style.SetControl(cell.control).SetValue(cell.value).SetEnabled(cell.enabled);
        if (cell.choices)
          style.SetChoiceList(cell.choices);
        if (cell.control == GX_IDS_CTRL_EDIT)
          style.SetWrapText(FALSE);
        grid->SetStyleRange(CGXRange(r, c), style, gxOverride, 0, 0);
      }
  }
  // The cell current, or, for a disabled one (which cannot be current), selected.
  void MakeCurrent(ROWCOL row, ROWCOL col) {
    grid->SetSelection(nullptr, 0, 0, 0, 0);
    const bool enabled = kCells[row - 1][col - 1].enabled;
    ASSERT_TRUE(grid->MoveCurrentCellTo(enabled ? row : 1, enabled ? col : 1, GX_UPDATENOW));
    if (!enabled)
      grid->GetParam()->GetSelection().AddTail(new CGXRange(row, col));
    Pump();
  }
  static void Chord(int modifier, int vk) {
    auto& in = plat::InputRouter::Instance();
    in.KeyDown(modifier);
    in.KeyPress(vk);
    in.KeyUp(modifier);
    Pump();
  }
  std::unique_ptr<brimwiz::CModuleScope> scope;
  std::unique_ptr<CWizardGridWnd> grid;
};

// A paste into a module grid took the copied cell's style with its value: a via's pair list became a
// connected-layers cell showing "TOP" (whose pair the host then got), a port's pin list a plain cell that no key
// opened again. A paste brings values only, and each cell takes only what its own control accepts: a list one of
// its choices, an edit one line, a check box, label or button nothing (they show their owners' records); anything
// else is refused whole with a message. After every way in, each cell still has its control and a value it takes.
TEST_F(ModuleGridPaste, EachCellKeepsItsControlAndTakesOnlyWhatItsControlAccepts) {
  struct Case {
    const char* way;
    ROWCOL sourceRow, sourceCol, sourceBottom, sourceRight;  // copied cells (row 0: a desktop text instead)
    const char* text;
    ROWCOL row, col;  // the paste's target
    int modifier, key;
    const char* changed;  // the target's value afterwards, null when it keeps its own
    bool message;
  } cases[] = {
      {"copied connected layers onto the pair list", 1, 3, 1, 3, nullptr, 1, 4, VK_CONTROL, 'V', nullptr, true},
      {"copied layers onto the pair list, Shift+Insert", 1, 3, 1, 3, nullptr, 1, 4, VK_SHIFT, VK_INSERT, nullptr, true},
      {"another via's pair, one of this list's", 2, 4, 2, 4, nullptr, 1, 4, VK_CONTROL, 'V', "\"TOP\" - \"L3_SIG\"",
       false},
      {"a port's label onto a pin list, a pin", 2, 5, 2, 5, nullptr, 2, 3, VK_CONTROL, 'V', "2", false},
      {"a text no pin", 0, 0, 0, 0, "3", 2, 3, VK_CONTROL, 'V', nullptr, true},
      {"a pair's text in another case", 0, 0, 0, 0, "\"top\" - \"l3_sig\"", 1, 4, VK_SHIFT, VK_INSERT,
       "\"TOP\" - \"L3_SIG\"", false},
      {"a text onto a check box", 0, 0, 0, 0, "0", 1, 1, VK_CONTROL, 'V', nullptr, true},
      {"a text onto a 3-D check box", 0, 0, 0, 0, "1", 1, 5, VK_SHIFT, VK_INSERT, nullptr, true},
      {"a text onto the connected layers", 0, 0, 0, 0, "BOTTOM", 1, 3, VK_CONTROL, 'V', nullptr, true},
      {"a text onto an expand button", 0, 0, 0, 0, "x", 2, 1, VK_CONTROL, 'V', nullptr, true},
      {"a text onto a disabled name", 0, 0, 0, 0, "V_X", 1, 2, VK_CONTROL, 'V', nullptr, true},
      {"two lines onto a name, the second past the last row", 0, 0, 0, 0, "3V3_MID\r\nCORE", 2, 2, VK_CONTROL, 'V',
       "3V3_MID", false},
      {"a copied pair onto a name", 1, 4, 1, 4, nullptr, 2, 2, VK_CONTROL, 'V', "\"L3_SIG\" - \"L6_SIG\"", false},
      {"a range of both rows onto itself", 1, 1, 2, 5, nullptr, 1, 1, VK_CONTROL, 'V', nullptr, true},
      {"a range of lists and names", 1, 4, 2, 4, nullptr, 1, 3, VK_CONTROL, 'V', nullptr, true},
      {"a range of two lines past the last row", 0, 0, 0, 0, "2\r\n1\r\n2", 2, 3, VK_CONTROL, 'V', "2", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    Fill();
    if (c.sourceRow) {
      MakeCurrent(c.sourceRow, c.sourceCol);
      grid->SetSelection(nullptr, 0, 0, 0, 0);
      grid->GetParam()->GetSelection().AddTail(new CGXRange(c.sourceRow, c.sourceCol, c.sourceBottom, c.sourceRight));
      Chord(VK_CONTROL, 'C');
    } else {
      gxtest::PutClipboardText(c.text);
    }
    MakeCurrent(c.row, c.col);
    plat::ClearShownLog();
    Chord(c.modifier, c.key);
    EXPECT_EQ(plat::ShownLog().size(), c.message ? 1u : 0u);
    ASSERT_EQ(grid->GetRowCount(), 2u);
    ASSERT_EQ(grid->GetColCount(), 5u);
    for (ROWCOL r = 1; r <= 2; ++r)
      for (ROWCOL col = 1; col <= 5; ++col) {
        const Cell& cell = kCells[r - 1][col - 1];
        CGXStyle style;
        grid->ComposeCellStyle(r, col, style);
        EXPECT_EQ(style.GetControl(), cell.control) << r << "," << col;
        const CString choices = style.IsIncluded(GX_IN_CHOICELIST) ? style.GetChoiceList() : CString();
        EXPECT_EQ(CString(cell.choices ? cell.choices : ""), choices) << r << "," << col;
        const bool target = r == c.row && col == c.col;
        const std::string expected = target && c.changed ? c.changed : cell.value;
        EXPECT_EQ(std::string(grid->GetCellValue(r, col)), expected) << r << "," << col;
      }
  }
}

}  // namespace
