// Radio-button cells: options, hit tests in both layouts, clicks and keys that select, and the
// modify-state variant.
#include <algorithm>

#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/controls/tests/recordinggrid.h"

namespace enginetest {
namespace {

using RadioTest = CellControlTest;

// Cell (2, 1), 60 pixels high and 150 wide, a radio cell of `id` with the options and value.
RecordingGrid* RadioGrid(RecordingGrid* g, WORD id, const char* choices, const char* value) {
  g->SetRowHeight(2, 2, 60, nullptr, 0);
  g->SetColWidth(1, 1, 150, nullptr, 0);
  CGXStyle style;
  style.SetControl(id).SetChoiceList(choices).SetValue(value);
  g->SetStyleRange(CGXRange(2, 1), style);
  g->Take();
  return g;
}

// The options of cell (2, 1) as its control lays them out.
std::vector<CGXRadioButton::Option> Laid(CGXGridCore* g, CGXRadioButton& radio) {
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  CDC* dc = g->GetCachedDC();
  gx::CellFontScope font(g, dc, style);
  return radio.LayOutOptions(dc, radio.ComputeInnerRect(2, 1, nullptr, &style), style);
}

POINT Screen(CGXGridCore* g, CPoint client) { return plat::InputRouter::ClientPoint(g->GridHwnd(), client.x, client.y); }

TEST_F(RadioTest, EmptyLinesAreNoOptions) {
  EXPECT_EQ(CGXRadioButton::Options("Red\r\n\r\nBlue\n"), (std::vector<CString>{"Red", "Blue"}));
  EXPECT_EQ(CGXRadioButton::SelectedIndex(""), -1);
  EXPECT_EQ(CGXRadioButton::SelectedIndex("1"), 1);
}

TEST_F(RadioTest, ClicksSelectByButtonOrTextAndNothingBetweenOrOnTheSelection) {
  RecordingGrid* g = RadioGrid(MakeRecordingGrid(), GX_IDS_CTRL_RADIO3D, "Red\n\nBlue", "1");
  auto& in = plat::InputRouter::Instance();
  CGXRadioButton probe(g);
  const auto laid = Laid(g, probe);
  ASSERT_EQ(laid.size(), 2u);
  EXPECT_EQ(laid[1].column.top, laid[0].column.bottom);
  // On the selected option (Blue): nothing stored, but the click is reported.
  in.Click(plat::MouseButton::Left, Screen(g, laid[1].column.CenterPoint()));
  Pump();
  EXPECT_EQ(g->Take(), (Log{"clicked 2,1"}));
  // Right of Red's text, outside every column and text: nothing at all.
  in.Click(plat::MouseButton::Left, Screen(g, CPoint(laid[0].textRect.right + 5, laid[0].textRect.top + 2)));
  Pump();
  EXPECT_EQ(g->Take(), Log{});
  // On Red's text: stored as "0" through an edit start that does not scroll.
  in.Click(plat::MouseButton::Left, Screen(g, laid[0].textRect.CenterPoint()));
  Pump();
  EXPECT_EQ(g->Take(), (Log{"start 2,1", "store 0 2,1", "clicked 2,1"}));
  EXPECT_FALSE(g->m_bDoNotBringIntoView);  // put back after the click
}

TEST_F(RadioTest, TheRowLayoutPutsTheTextOnEitherSide) {
  RecordingGrid* g = RadioGrid(MakeRecordingGrid(), GX_IDS_CTRL_RADIO_EX, "Red\nBlue", "");
  CGXStyle row;
  row.SetUserAttribute(GX_IDS_UA_RADIO_ALIGNMENT, "1");
  g->SetStyleRange(CGXRange(2, 1), row);
  CGXRadioButtonEx radio(g, FALSE);
  auto laid = Laid(g, radio);
  ASSERT_EQ(laid.size(), 2u);
  // Text first: the text 3 pixels in, its button after it; the second option after a gap, on the same line.
  EXPECT_EQ(laid[0].column.left, laid[0].textRect.right);
  EXPECT_LT(laid[0].textRect.left, laid[0].column.left);
  EXPECT_GE(laid[1].textRect.left - laid[0].column.right, 12);
  EXPECT_EQ(laid[1].column.top, laid[0].column.top);
  row.SetUserAttribute(GX_IDS_UA_RADIO_TEXTALIGN, "1");
  g->SetStyleRange(CGXRange(2, 1), row);
  laid = Laid(g, radio);
  EXPECT_EQ(laid[0].textRect.left, laid[0].column.right);
  // Hit tests follow the layout.
  auto* bound = ControlOf<CGXRadioButtonEx>(g, GX_IDS_CTRL_RADIO_EX);
  g->MoveCurrentCellTo(2, 1);
  EXPECT_EQ(bound->HitTestOption(laid[1].column.CenterPoint()), 1);
  EXPECT_EQ(bound->HitTestOption(laid[0].textRect.CenterPoint()), 0);
  EXPECT_EQ(bound->HitTestOption(CPoint(laid[0].textRect.right + 2, laid[0].textRect.top + 1)), -1);
}

TEST_F(RadioTest, SpaceSelectsTheNextOptionOfTheBoundCellAndWraps) {
  RecordingGrid* g = RadioGrid(MakeRecordingGrid(), GX_IDS_CTRL_RADIO, "Red\nBlue", "1");
  // Another cell with five options is drawn after (2, 1): the count must not come from it.
  CGXStyle five;
  five.SetControl(GX_IDS_CTRL_RADIO).SetChoiceList("a\nb\nc\nd\ne").SetValue("0");
  g->SetStyleRange(CGXRange(3, 1), five);
  g->MoveCurrentCellTo(2, 1);
  g->RedrawAll(GX_INVALIDATE);
  Pump();
  Shot(g->GridHwnd());
  Key(VK_SPACE);
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
  Key(VK_SPACE);
  EXPECT_EQ(g->GetCellValue(2, 1), "1");
  g->SetCellValue(2, 1, "");
  Key(VK_SPACE);
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
  // A read-only cell is left alone.
  g->GetParam()->m_bReadOnlyEnforced = TRUE;
  CGXStyle readOnly;
  g->SetStyleRange(CGXRange(2, 1), readOnly.SetReadOnly(TRUE));
  Key(VK_SPACE);
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
}

TEST_F(RadioTest, TheModifyStateVariantEditsUntilStored) {
  RecordingGrid* g = RadioGrid(MakeRecordingGrid(), GX_IDS_CTRL_RADIO3D_EX, "Red\nBlue", "0");
  g->MoveCurrentCellTo(2, 1);
  g->Take();
  Key(VK_SPACE);
  auto* radio = ControlOf<CGXRadioButtonEx>(g, GX_IDS_CTRL_RADIO3D_EX);
  ASSERT_NE(radio, nullptr);
  EXPECT_TRUE(radio->QueryControlFlag());
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
  CString edited;
  EXPECT_TRUE(radio->GetEditedValue(edited));
  EXPECT_EQ(edited, "1");
  EXPECT_TRUE(radio->GetModifiedState());
  Key(VK_DELETE);
  EXPECT_TRUE(radio->GetEditedValue(edited));
  EXPECT_EQ(edited, "");
  Key(VK_SPACE);
  EXPECT_TRUE(radio->StoreValue());
  EXPECT_EQ(g->GetCellValue(2, 1), "0");
  EXPECT_FALSE(radio->GetEditingState());
  const Log log = g->Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "modified 2,1"), 3);
}

}  // namespace
}  // namespace enginetest
