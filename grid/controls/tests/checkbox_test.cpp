// Check-box cells: values and states to images, placement, toggling by injected clicks and keys, the
// modify-state variant, pasted texts, colours, sizes and printing.
#include <algorithm>

#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/gdi/SysColors.h"

namespace enginetest {
namespace {

using CheckBoxTest = CellControlTest;

// A grid whose cell (2, 1) is a check box of `id` holding `value`.
RecordingGrid* CheckBoxGrid(RecordingGrid* g, WORD id, const char* value, BOOL triState = FALSE) {
  CGXStyle style;
  style.SetControl(id).SetValue(value).SetTriState(triState);
  g->SetStyleRange(CGXRange(2, 1), style);
  g->Take();
  return g;
}

// Where the box of cell (2, 1) lies: left-aligned, 3 pixels into the inner rectangle.
POINT InBox(CGXGridCore* g) {
  const CRect r = g->CalcCellRect(2, 1);
  return plat::InputRouter::ClientPoint(g->GridHwnd(), r.left + 1 + 3 + 6, r.top + 1 + 3 + 6);
}

TEST_F(CheckBoxTest, ValuesStatesAndFocusChooseTheImage) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXCheckBox box(g);
  const auto image = [&](const char* value, BOOL triState, BOOL enabled = TRUE) {
    CGXStyle s;
    s.SetValue(value).SetTriState(triState).SetEnabled(enabled);
    return CGXCheckBox::ImageIndex(box.GetCheckState(2, 1, s));
  };
  EXPECT_EQ(image("1", FALSE), 1);
  EXPECT_EQ(image("0", FALSE), 0);
  EXPECT_EQ(image("2", FALSE), 0);
  EXPECT_EQ(image("2", TRUE), 4);
  EXPECT_EQ(image("", TRUE), 4);
  EXPECT_EQ(image("0", TRUE), 0);
  EXPECT_EQ(image("1", FALSE, FALSE), 3);
  EXPECT_EQ(image("0", FALSE, FALSE), 2);
  // Own checked and unchecked texts.
  CGXStyle yesNo;
  yesNo.SetUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED, "Yes").SetUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED, "No");
  EXPECT_EQ(box.GetCheckState(2, 1, CGXStyle(yesNo).SetValue("Yes")), UINT{CGXCheckBox::stateChecked});
  EXPECT_EQ(box.GetCheckState(2, 1, CGXStyle(yesNo).SetValue("1")), UINT{CGXCheckBox::stateUnchecked});
  // Focus on the bound current cell; pressed shows the pressed image.
  g->MoveCurrentCellTo(2, 1);
  box.InitForCell(2, 1);
  CGXStyle one;
  one.SetValue("1");
  EXPECT_EQ(box.GetCheckState(2, 1, one), UINT{CGXCheckBox::stateFocus | CGXCheckBox::stateChecked});
  EXPECT_EQ(box.GetCheckState(3, 1, one), UINT{CGXCheckBox::stateChecked});
}

TEST_F(CheckBoxTest, TheBoxIsPlacedByTheAlignmentAndCutByTheCell) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXCheckBox box(g);
  const CRect inner(10, 20, 60, 45);  // 50 x 25
  EXPECT_EQ(box.ComputeBoxRect(nullptr, inner, "", 0), CRect(13, 23, 26, 36));
  EXPECT_EQ(box.ComputeBoxRect(nullptr, inner, "", GX_DT_CENTER | GX_DT_VCENTER), CRect(28, 26, 41, 39));
  EXPECT_EQ(box.ComputeBoxRect(nullptr, inner, "", GX_DT_RIGHT | GX_DT_BOTTOM), CRect(47, 32, 60, 45));
  // Little room above: the box moves up by what is missing; a 10-pixel cell cuts it to 10 pixels.
  EXPECT_EQ(box.ComputeBoxRect(nullptr, CRect(0, 0, 50, 15), "", 0), CRect(3, 2, 16, 15));
  EXPECT_EQ(box.ComputeBoxRect(nullptr, CRect(0, 0, 50, 10), "", 0), CRect(3, 0, 16, 10));
  EXPECT_EQ(box.ComputeBoxRect(nullptr, CRect(0, 0, 8, 10), "", GX_DT_RIGHT), CRect(0, 0, 8, 10));
  // With a label the content is 19 + the label's width wide.
  CDC* dc = g->GetCachedDC();
  const int label = dc->GetTextExtent("Label").cx;
  EXPECT_EQ(box.ComputeBoxRect(dc, CRect(0, 0, 200, 20), "Label", GX_DT_RIGHT).left, 200 - 19 - label);
}

TEST_F(CheckBoxTest, ClicksOnTheBoxCycleAThreeStateBox) {
  RecordingGrid* g = CheckBoxGrid(MakeRecordingGrid(), GX_IDS_CTRL_CHECKBOX3D, "1", TRUE);
  auto& in = plat::InputRouter::Instance();
  std::vector<std::string> values;
  for (int i = 0; i < 3; ++i) {
    in.Click(plat::MouseButton::Left, InBox(g));
    Pump();
    values.push_back(std::string(g->GetCellValue(2, 1)));
  }
  EXPECT_EQ(values, (std::vector<std::string>{"0", "", "1"}));
  const Log log = g->Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "clicked 2,1"), 3);
  EXPECT_EQ(std::count(log.begin(), log.end(), "store 0 2,1"), 1);
  // Space toggles the current cell.
  Key(VK_SPACE);
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
}

TEST_F(CheckBoxTest, PressesOffTheBoxFromAnotherCellOrOnReadOnlyCellsNeverToggle) {
  RecordingGrid* g = CheckBoxGrid(MakeRecordingGrid(), GX_IDS_CTRL_CHECKBOX, "0");
  auto& in = plat::InputRouter::Instance();
  const POINT box = InBox(g);
  const POINT beside = CellPoint(g, 2, 1, 40, 10);
  // Beside the box.
  in.Click(plat::MouseButton::Left, beside);
  // Down beside it, released on it.
  in.ButtonDown(plat::MouseButton::Left, beside);
  in.MouseMove(box);
  in.ButtonUp(plat::MouseButton::Left, box);
  // Down in another cell, released on the box.
  in.ButtonDown(plat::MouseButton::Left, CellPoint(g, 3, 1, 10, 10));
  in.MouseMove(box);
  in.ButtonUp(plat::MouseButton::Left, box);
  // Down on the box, released beside it.
  in.ButtonDown(plat::MouseButton::Left, box);
  in.MouseMove(beside);
  in.ButtonUp(plat::MouseButton::Left, beside);
  Pump();
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
  // Read-only cells, where the parameter object enforces it.
  g->GetParam()->m_bReadOnlyEnforced = TRUE;
  CGXStyle readOnly;
  g->SetStyleRange(CGXRange(2, 1), readOnly.SetReadOnly(TRUE));
  in.Click(plat::MouseButton::Left, box);
  Pump();
  Key(VK_SPACE);
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
  for (const std::string& line : g->Take()) EXPECT_EQ(line.find("store"), std::string::npos) << line;
}

TEST_F(CheckBoxTest, PastedTextsInAYesNoThreeStateBox) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXCheckBox box(g);
  CGXStyle style;
  style.SetTriState(TRUE).SetUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED, "Yes").SetUserAttribute(
      GX_IDS_UA_CHECKBOX_UNCHECKED, "No");
  for (const auto& [pasted, kept] : {std::pair{"YES", "YES"}, {"no", "no"}, {"maybe", ""}}) {
    CString text = pasted;
    EXPECT_TRUE(box.ConvertTextForCell(text, 1, 1, style));
    EXPECT_EQ(text, kept);
  }
  CString two = "maybe";
  EXPECT_TRUE(box.ConvertTextForCell(two, 1, 1, CGXStyle()));  // two-state boxes keep any text
  EXPECT_EQ(two, "maybe");
}

TEST_F(CheckBoxTest, TheModifyStateVariantKeepsItsValueUntilStored) {
  RecordingGrid* g = CheckBoxGrid(MakeRecordingGrid(), GX_IDS_CTRL_CHECKBOX3D_EX, "0");
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, InBox(g));
  Pump();
  auto* box = ControlOf<CGXCheckBoxEx>(g, GX_IDS_CTRL_CHECKBOX3D_EX);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
  EXPECT_TRUE(box->GetEditingState() && box->GetModifiedState());
  CString edited;
  EXPECT_TRUE(box->GetEditedValue(edited));
  EXPECT_EQ(edited, "1");
  EXPECT_EQ(g->Take(), (Log{"start 2,1", "modified 2,1", "clicked 2,1"}));
  // Delete empties the edited value.
  Key(VK_DELETE);
  EXPECT_TRUE(box->GetEditedValue(edited));
  EXPECT_EQ(edited, "");
  // Stored when the grid asks.
  EXPECT_TRUE(box->StoreValue());
  EXPECT_EQ(g->GetCellValue(2, 1), "");
  EXPECT_FALSE(box->GetEditingState());
  const Log log = g->Take();
  EXPECT_NE(std::find(log.begin(), log.end(), "store  2,1"), log.end());
  // A refused edit start toggles nothing.
  g->mayEdit = FALSE;
  Key(VK_SPACE);
  EXPECT_FALSE(box->GetModifiedState());
  EXPECT_EQ(g->GetCellValue(2, 1), "");
}

TEST_F(CheckBoxTest, BoxColoursFollowTheSystemColoursAndPrinting) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXCheckBox box(g, TRUE);
  CGXStyle style;
  style.SetValue("0").SetInteriorColor(RGB(255, 255, 255));
  const CRect cell(0, 0, 50, 20);
  const auto interior = [&](BOOL printing) {
    Canvas c(50, 20);
    g->SetPrinting(printing);
    box.DrawCell(&c.dc, cell, 2, 1, style, nullptr);
    g->SetPrinting(FALSE);
    // The box is at (1 + 3, 1 + 3); its corner shows the frame, (6, 6) of it the interior.
    return std::pair{c.At(4 + 6, 4 + 6), c.At(4, 4)};
  };
  EXPECT_EQ(interior(FALSE).first, CGXSysColorTable::GetColor(COLOR_WINDOW));
  EXPECT_EQ(interior(FALSE).second, RGB(128, 128, 128));  // the 3-D box's shadow ring
  const INT index = COLOR_WINDOW;
  const COLORREF yellow = RGB(255, 255, 192);
  plat::SetSysColorValues(1, &index, &yellow);
  CGXSysColorTable::Refresh();
  box.RefreshSysColors();
  EXPECT_EQ(interior(FALSE).first, yellow);
  // Printing takes the flat strip: a black frame, a white interior.
  EXPECT_EQ(interior(TRUE), (std::pair{RGB(255, 255, 255), RGB(0, 0, 0)}));
  plat::ResetSysColorsAndMetrics();
  CGXSysColorTable::Refresh();
}

TEST_F(CheckBoxTest, CellSizesWithAndWithoutALabel) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXCheckBox box(g);
  CDC* dc = g->GetCachedDC();
  CGXStyle plain;
  g->ComposeCellStyle(2, 1, plain, TRUE);
  const int m = std::max(3, GetSystemMetrics(SM_CXFRAME) / 2);
  CSize bare;
  TEXTMETRIC tm{};
  {
    gx::CellFontScope font(g, dc, plain);
    dc->GetTextMetrics(&tm);
  }
  bare = box.ComputeCellSize(dc, 2, 1, plain, nullptr, FALSE);
  const CSize borders = box.AddBordersToSize(CSize(0, 0), plain);
  EXPECT_EQ(bare.cx - borders.cx, 19 + tm.tmMaxCharWidth + 2 * m);
  EXPECT_EQ(bare.cy - borders.cy, std::max<LONG>(17, tm.tmHeight + tm.tmExternalLeading + 1));
  CGXStyle labelled = plain;
  labelled.SetChoiceList("A longer label");
  int labelWidth;
  {
    gx::CellFontScope font(g, dc, labelled);
    labelWidth = dc->GetTextExtent("A longer label").cx;
  }
  const CSize wide = box.ComputeCellSize(dc, 2, 1, labelled, nullptr, FALSE);
  EXPECT_EQ(wide.cx - borders.cx, 19 + labelWidth + 2 * m);
  // Wrapped into a narrow cell, the height grows by one line per wrapped line.
  labelled.SetWrapText(TRUE);
  const CSize tall = box.ComputeCellSize(dc, 2, 1, labelled, nullptr, TRUE);
  EXPECT_GT(tall.cy, bare.cy);
  labelled.SetWrapText(FALSE);

  // Without a device the grid's own measures; another device measures in the cell's font whatever font it holds,
  // and keeps its own font afterwards.
  EXPECT_EQ(box.ComputeCellSize(nullptr, 2, 1, plain, nullptr, FALSE), bare);
  EXPECT_EQ(box.ComputeCellSize(nullptr, 2, 1, labelled, nullptr, FALSE), wide);
  CDC other;
  ASSERT_TRUE(other.CreateCompatibleDC(nullptr));
  CFont big;
  ASSERT_TRUE(big.CreateFont(-40, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
  CFont* kept = other.SelectObject(&big);
  EXPECT_EQ(box.ComputeCellSize(&other, 2, 1, labelled, nullptr, FALSE), wide);
  EXPECT_EQ(box.ComputeCellSize(&other, 2, 1, plain, nullptr, FALSE), bare);
  EXPECT_EQ(::GetCurrentObject(other.GetSafeHdc(), OBJ_FONT), big.GetSafeHandle());
  other.SelectObject(kept);
}

}  // namespace
}  // namespace enginetest
