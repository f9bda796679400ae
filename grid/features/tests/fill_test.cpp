// Fill by dragging the selection's handle with the mouse, the values a fill gives list cells, and the selection
// frame's pixels.
#include <string>

#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/features/CGXExcelLikeFillImp.h"
#include "grid/features/CGXExcelLikeFrameImp.h"
#include "grid/features/tests/cliptest.h"
#include "platform/display/ReferenceImage.h"
#include "platform/gdi/CDC.h"
#include "platform/window/Cursors.h"

namespace {

using cliptest::ClipTest;

class FillTest : public ClipTest {
 protected:
  // Column 1 rows 1-2 hold "a" and "b" and are selected; fill flags as given.
  CGXGridWnd* MakeAB(int fillFlags = 1) {
    CGXGridWnd* g = Make(8, 3);
    g->GetParam()->m_bFillEnabled = fillFlags;
    g->SetCellValue(1, 1, "a");
    g->SetCellValue(2, 1, "b");
    CGXStyle tint;
    tint.SetInteriorColor(RGB(0, 128, 0));
    g->SetStyleRange(CGXRange(2, 1), tint);
    ClearUndo(g);
    Select(g, CGXRange(1, 1, 2, 1));
    ::SetFocus(*g);
    Pump();
    return g;
  }
  // Presses the handle at the range's bottom-right corner, drags to the middle of (row, col), releases.
  static void DragHandle(CGXGridCore* g, const CGXRange& from, ROWCOL row, ROWCOL col) {
    auto& in = plat::InputRouter::Instance();
    const HWND h = g->GridHwnd();
    const CRect r = g->CalcRangeRect(from.top, from.left, from.bottom, from.right);
    in.MouseMove(plat::InputRouter::ClientPoint(h, r.right - 2, r.bottom - 2));
    in.ButtonDown(plat::MouseButton::Left, plat::InputRouter::ClientPoint(h, r.right - 2, r.bottom - 2));
    Pump();
    // Past the middle of the cell toward its bottom right: the fill takes the cell in.
    const CRect cell = g->CalcCellRect(row, col);
    const POINT to = plat::InputRouter::ClientPoint(h, cell.right - 3, cell.bottom - 3);
    in.MouseMove(to);
    Pump();
    in.ButtonUp(plat::MouseButton::Left, to);
    Pump();
  }
  static bool Tinted(CGXGridCore* g, ROWCOL r, ROWCOL c) {
    CGXStyle s;
    return g->ReadStoredStyle(r, c, s, gxCopy, 0) && s.IsIncluded(GX_IN_INTERIOR);
  }
};

TEST_F(FillTest, DraggingTheHandleDownRepeatsTheBlockAsOneUndoStep) {
  CGXGridWnd* g = MakeAB(1);
  // Over the handle the grid shows its fill cursor; a few pixels up, on the frame's edge, it does not.
  const CRect block = g->CalcRangeRect(1, 1, 2, 1);
  auto& in = plat::InputRouter::Instance();
  in.MouseMove(plat::InputRouter::ClientPoint(*g, block.right - 2, block.bottom - 2));
  Pump();
  EXPECT_EQ(g->GetCursorId(), GX_IDC_FILLHANDLE);
  EXPECT_EQ(plat::Cursors::Instance().Describe(GetCursor()), "resource #20209 of grid");
  in.MouseMove(plat::InputRouter::ClientPoint(*g, block.right - 2, block.bottom - 12));
  Pump();
  EXPECT_NE(g->GetCursorId(), GX_IDC_FILLHANDLE);
  DragHandle(g, CGXRange(1, 1, 2, 1), 6, 1);
  EXPECT_EQ(Values(g, 1, 1, 7, 1), "a|b|a|b|a|b|");
  // Values only: the tint of "b" did not come along.
  EXPECT_FALSE(Tinted(g, 4, 1));
  // The filled range is the selection now.
  ASSERT_EQ(g->GetParam()->GetSelection().GetCount(), 1);
  EXPECT_EQ(*g->GetParam()->GetSelection().GetHead(), CGXRange(1, 1, 6, 1));
  ASSERT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Values(g, 1, 1, 7, 1), "a|b|||||");
}

TEST_F(FillTest, StyleFillsCopyWholeCellsAndDraggingBackIntoTheBlockClears) {
  CGXGridWnd* g = MakeAB(2);
  DragHandle(g, CGXRange(1, 1, 2, 1), 4, 1);
  EXPECT_EQ(Values(g, 1, 1, 4, 1), "a|b|a|b");
  EXPECT_TRUE(Tinted(g, 4, 1));
  EXPECT_FALSE(Tinted(g, 3, 1));
  // Back into the block: the rows left out are cleared.
  Select(g, CGXRange(1, 1, 4, 1));
  DragHandle(g, CGXRange(1, 1, 4, 1), 2, 1);
  EXPECT_EQ(Values(g, 1, 1, 4, 1), "a|b||");
  EXPECT_FALSE(Tinted(g, 4, 1));
}

TEST_F(FillTest, WholeRowsNoFlagsAndAFillThatChangesNothingLeaveNoStep) {
  CGXGridWnd* g = MakeAB(1);
  auto* fill = dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp());
  ASSERT_NE(fill, nullptr);
  // A whole-row selection cannot be filled.
  Select(g, CGXRange().AssignRows(1, 2));
  fill->OnStartFill(g, CPoint(0, 0), 0, 2, 1);
  EXPECT_FALSE(fill->IsFilling());
  // Without fill flags nothing is filled.
  g->GetParam()->m_bFillEnabled = 0;
  fill->FillCells(g, CGXRange(1, 1, 2, 1), CGXRange(1, 1, 4, 1));
  EXPECT_EQ(Value(g, 3, 1), "");
  // Filling empty cells with empty cells, of values or of styles, changes nothing: no empty entry in the undo list.
  for (const int flags : {1, 2}) {
    g->GetParam()->m_bFillEnabled = flags;
    fill->FillCells(g, CGXRange(5, 2, 6, 2), CGXRange(5, 2, 8, 2));
    EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0) << flags;
  }
}

// A fill of values gives a cell of the source's own kind (the same control and list) the source's value as it is,
// a line's index or a key, with no box: its list may name two lines alike, which the text the source shows would
// not tell apart. A list cell of another list takes that text through its own rule. The source is row 1, holding
// the value of the second Green; rows 2 and 3 are filled.
TEST_F(FillTest, AFillGivesACellOfTheSourcesOwnKindItsValue) {
  auto tabbed = [](WORD id, const char* choices) {
    CGXStyle s;
    s.SetControl(id).SetChoiceList(choices);
    s.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
    return s.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
  };
  const char* const lines = "Red\nGreen\nBlue\nGreen";
  const char* const keyed = "ID\tName\nr\tRed\ng1\tGreen\nb\tBlue\ng2\tGreen";
  const struct {
    const char* name;
    CGXStyle source, dest;
    const char* value;  // the source's
    const char* filled;
  } cases[] = {
      {"one-based line combo", CGXStyle().SetControl(GX_IDS_CTRL_ONEBASED_EX).SetChoiceList(lines),
       CGXStyle().SetControl(GX_IDS_CTRL_ONEBASED_EX).SetChoiceList(lines), "4", "4"},
      {"zero-based line combo", CGXStyle().SetControl(GX_IDS_CTRL_ZEROBASED_EX).SetChoiceList(lines),
       CGXStyle().SetControl(GX_IDS_CTRL_ZEROBASED_EX).SetChoiceList(lines), "3", "3"},
      {"tabbed combo", tabbed(GX_IDS_CTRL_TABBED_COMBOBOX, keyed), tabbed(GX_IDS_CTRL_TABBED_COMBOBOX, keyed), "g2",
       "g2"},
      {"tabbed list", tabbed(GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST, keyed),
       tabbed(GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST, keyed), "g2", "g2"},
      // Another list: the line it shows, Green, is the first of the other list's.
      {"line combo over another list", CGXStyle().SetControl(GX_IDS_CTRL_ONEBASED_EX).SetChoiceList(lines),
       CGXStyle().SetControl(GX_IDS_CTRL_ONEBASED_EX).SetChoiceList("Green\nRed"), "4", "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CGXGridWnd* g = Make(3, 1);
    g->GetParam()->m_bFillEnabled = 1;
    g->SetStyleRange(CGXRange(1, 1), CGXStyle(c.source).SetValue(c.value));
    g->SetStyleRange(CGXRange(2, 1, 3, 1), c.dest);
    ClearUndo(g);
    plat::ClearShownLog();
    dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp())->FillCells(g, CGXRange(1, 1), CGXRange(1, 1, 3, 1));
    EXPECT_EQ(Values(g, 1, 1, 3, 1), std::string(c.value) + "|" + c.filled + "|" + c.filled);
    EXPECT_TRUE(plat::ShownLog().empty());
    CGXStyle style;
    g->ComposeCellStyle(3, 1, style);
    EXPECT_EQ(style.GetControl(), c.dest.GetControl());
    g->DestroyWindow();
  }
}

// A fill holds a cell's maximum length and bounds as every other way in does: a cell they refuse keeps its value,
// and the fill says so once.
TEST_F(FillTest, AFillKeepsEveryCellWithinItsLengthAndBounds) {
  const CGXStyle bounded =
      CGXStyle().SetUserAttribute(GX_IDS_UA_VALID_MIN, "0").SetUserAttribute(GX_IDS_UA_VALID_MAX, "100");
  const CGXStyle spin = CGXStyle()
                            .SetControl(GX_IDS_CTRL_SPINEDIT)
                            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "1")
                            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, "20");
  const CGXStyle spinSource = CGXStyle(spin).SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, "99");
  const CGXStyle shortText = CGXStyle().SetMaxLength(2);
  const struct {
    const char* name;
    CGXStyle source, dest;
    const char* value;  // the source's
    bool taken;
  } cases[] = {
      {"above the maximum", CGXStyle(), bounded, "500", false},
      {"within the bounds", CGXStyle(), bounded, "50", true},
      {"no number under bounds", CGXStyle(), bounded, "abc", false},
      {"beyond a spin's bound, from a plain cell", CGXStyle(), spin, "25", false},
      {"beyond a spin's bound, from a spin of other bounds", spinSource, spin, "25", false},
      {"within a spin's bounds", spinSource, spin, "7", true},
      {"longer than the maximum length", CGXStyle(), shortText, "abc", false},
      {"as long as the maximum length", CGXStyle(), shortText, "ab", true},
      {"empty", CGXStyle(), bounded, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CGXGridWnd* g = Make(3, 1);
    g->GetParam()->m_bFillEnabled = 1;
    g->SetStyleRange(CGXRange(1, 1), CGXStyle(c.source).SetValue(c.value));
    g->SetStyleRange(CGXRange(2, 1, 3, 1), CGXStyle(c.dest).SetValue("12"));
    ClearUndo(g);
    plat::ClearShownLog();
    dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp())->FillCells(g, CGXRange(1, 1), CGXRange(1, 1, 3, 1));
    const std::string kept = c.taken ? c.value : "12";
    EXPECT_EQ(Values(g, 1, 1, 3, 1), std::string(c.value) + "|" + kept + "|" + kept);
    EXPECT_EQ(plat::ShownLog().size(), c.taken ? 0u : 1u);
    g->DestroyWindow();
  }
}

// The direction rules of a drag from the rectangle (100, 100)-(200, 140): middle (150, 120).
TEST(FillDirection, FollowsTheNearerEdgeAroundTheSource) {
  const CRect r(100, 100, 200, 140);
  struct Case {
    POINT p;
    int dir;
  } cases[] = {
      {{150, 120}, 4},  // inside
      {{150, 90}, 0},   {{150, 160}, 2},  {{220, 120}, 3},  {{80, 120}, 1},
      {{95, 50}, 0},    // above and left: up by 50 against left by 5, later the left test: left 5 < up... up
      {{60, 95}, 1},    // left by 40, up by 5: left
      {{205, 150}, 2},  // below right: down 10 against right 5 -> down
      {{240, 145}, 3},  // right 40 against down 5 -> right
      {{120, 90}, 0},   // above, left of the middle, up 10 against left -20: up
  };
  for (const Case& c : cases) EXPECT_EQ(gx::FillDirection(r, c.p), c.dir) << c.p.x << "," << c.p.y;
}

TEST_F(FillTest, TheFrameDrawnTwiceLeavesThePixelsAndSpansFrozenAndScrolledPanes) {
  CGXGridWnd* g = Make(30, 10);
  g->GetParam()->m_bSelectionFrame = TRUE;
  g->SetFrozenRows(2, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  g->SetTopRow(5, GX_UPDATENOW);
  g->SetLeftCol(3, GX_UPDATENOW);
  ::SetFocus(*g);
  Pump();
  auto* frame = dynamic_cast<CGXExcelLikeFrameImp*>(g->GetExcelLikeFrameImp());
  ASSERT_NE(frame, nullptr);
  ::InvalidateRect(*g, nullptr, FALSE);
  ::UpdateWindow(*g);
  const auto before = cliptest::ClipTest::Snapshot(*g);
  // Rows 2-6 and columns 1-4 reach over both frozen parts and the scrolled part.
  HDC hdc = ::GetDC(*g);
  CDC dc;
  dc.Attach(hdc);
  const CGXRange range(2, 1, 6, 4);
  frame->DrawFrame(g, &dc, TRUE, &range);
  dc.Detach();
  ::ReleaseDC(*g, hdc);
  const auto framed = cliptest::ClipTest::Snapshot(*g);
  EXPECT_NE(before, framed);
  const plat::ReferenceMatch match =
      plat::MatchReferenceImage(*plat::Desktop::Capture(*g), "grid/features/tests/reference/selection-frame-panes.png");
  EXPECT_TRUE(match.Matches()) << match.message;
  // Drawn again: removed, every pixel as before.
  hdc = ::GetDC(*g);
  dc.Attach(hdc);
  frame->UpdateFrame(g, &dc, frame->m_range);
  dc.Detach();
  ::ReleaseDC(*g, hdc);
  EXPECT_EQ(cliptest::ClipTest::Snapshot(*g), before);
  // A repaint of the whole grid brings the shown frame back where it was.
  frame->m_bShown = TRUE;
  ::InvalidateRect(*g, nullptr, FALSE);
  ::UpdateWindow(*g);
  EXPECT_EQ(cliptest::ClipTest::Snapshot(*g), framed);
}

}  // namespace
