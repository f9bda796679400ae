// Range selection as users make it: clicks, Ctrl and Shift clicks, drags over cells and headers, Shift+arrow
// keys and the list modes; checked as exact selection lists, hook sequences and pixels.
#include "grid/features/CGXUserSelectRangeImp.h"
#include "grid/features/tests/interactiontest.h"

namespace {

using interactiontest::InteractionTest;
using interactiontest::LoggingGrid;

using Log = std::vector<std::string>;

int DifferentPixels(const plat::Surface& a, const plat::Surface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

class SelectionTest : public InteractionTest {};

// A grid that keeps a band of its window for itself: every device the grid prepares leaves the band out.
class BandGrid : public CGXGridWnd {
 public:
  static constexpr RECT kBand{110, 0, 130, 300};
  void OnGridPrepareDC(CDC* dc) override { dc->ExcludeClipRect(&kBand); }
};

TEST_F(SelectionTest, ClicksCollectCellsOnlyWithCtrlAndEveryChangeRunsBetweenTheHooks) {
  auto* g = MakeFocused<LoggingGrid>(10, 6);
  ASSERT_NE(g->GetUserSelectRangeImp(), nullptr);
  // A plain click leaves no range (the unbounded one of the press is dropped at the release).
  Click(Cell(*g, 2, 2));
  EXPECT_EQ(Selection(g), "");
  EXPECT_FALSE(g->GetParam()->m_bKeepsCurrentSelRange);
  // Ctrl+click with an empty list keeps the cell the user was in, then adds the clicked one.
  g->log.clear();
  ClickWith(VK_CONTROL, Cell(*g, 3, 3));
  EXPECT_EQ(Selection(g), "2,2,2,2 3,3,3,3");
  EXPECT_EQ(g->log, (Log{"prepare 2,2,2,2", "changed 2,2,2,2", "prepare 3,3,3,3", "changed 3,3,3,3"}));
  ClickWith(VK_CONTROL, Cell(*g, 5, 4));
  EXPECT_EQ(Selection(g), "2,2,2,2 3,3,3,3 5,4,5,4");
  EXPECT_TRUE(g->GetParam()->m_bKeepsCurrentSelRange);
  // Every consumer sees bounded ranges only; the current cell is no extra entry while ranges are kept.
  CGXRangeList copy;
  g->CopyRangeList(copy, TRUE);
  EXPECT_EQ(copy.GetCount(), 3);
  // A plain click clears the list through the hooks, with no range passed.
  g->log.clear();
  Click(Cell(*g, 7, 1));
  EXPECT_EQ(Selection(g), "");
  ASSERT_FALSE(g->log.empty());
  EXPECT_EQ(g->log.front(), "prepare -");
  EXPECT_EQ(g->log[1], "changed -");
  // A refusing prepare hook keeps the list as it is.
  ClickWith(VK_CONTROL, Cell(*g, 8, 2));
  const std::string before = Selection(g);
  g->allow = FALSE;
  Click(Cell(*g, 9, 3));
  EXPECT_EQ(Selection(g).substr(0, before.size()), before);
}

TEST_F(SelectionTest, ShiftClickAnchorsAtTheCurrentCellAndDragsStayOutOfTheHeaders) {
  CGXGridWnd* g = MakeFocused(10, 6);
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  ClickWith(VK_SHIFT, Cell(*g, 4, 3));
  EXPECT_EQ(Selection(g), "2,2,4,3");
  // A drag from a cell up into the column header ends on the first data row.
  Drag(Cell(*g, 5, 4), Cell(*g, 0, 2));
  EXPECT_EQ(Selection(g), "1,2,5,4");
  // The corrected coordinates come back to the caller.
  auto* sel = static_cast<CGXUserSelectRangeImp*>(g->GetUserSelectRangeImp());
  auto& in = plat::InputRouter::Instance();
  in.ButtonDown(plat::MouseButton::Left, Cell(*g, 3, 3));
  Pump();
  ROWCOL row = 0, col = 0;
  EXPECT_TRUE(sel->OnMoveSelection(g, &row, &col));
  EXPECT_EQ(row, 1u);
  EXPECT_EQ(col, 1u);
  EXPECT_EQ(Selection(g), "1,1,3,3");
  in.ButtonUp(plat::MouseButton::Left, Cell(*g, 3, 3));
  Pump();
  // Header drags select whole columns and rows.
  Drag(Cell(*g, 0, 2), Cell(*g, 0, 4));
  EXPECT_EQ(Selection(g), "C2-4");
  Drag(Cell(*g, 6, 0), Cell(*g, 3, 0));
  EXPECT_EQ(Selection(g), "R3-6");
}

TEST_F(SelectionTest, ShiftArrowsExtendFromTheAnchorAndListModesKeepWholeRows) {
  CGXGridWnd* g = MakeFocused(10, 6);
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  Chord(VK_SHIFT, VK_DOWN);
  Chord(VK_SHIFT, VK_RIGHT);
  Chord(VK_SHIFT, VK_RIGHT);
  EXPECT_EQ(Selection(g), "2,2,3,4");
  Chord(VK_SHIFT, VK_UP);
  Chord(VK_SHIFT, VK_UP);
  EXPECT_EQ(Selection(g), "1,2,2,4");
  // A plain move forgets the range being built: the next Shift+arrow starts at the new cell.
  Key(VK_DOWN);
  Chord(VK_SHIFT, VK_DOWN);
  EXPECT_EQ(Selection(g), "2,4,3,4");
  // Without the Shift+arrow permission the keys only move.
  g->GetParam()->SetSelectionFlags(static_cast<WORD>(GX_SELFULL & ~64));
  Key(VK_ESCAPE);
  Chord(VK_SHIFT, VK_DOWN);
  EXPECT_EQ(Selection(g), "");
  // Multiple-selection list mode: every range is whole rows, for keys and clicks alike.
  g->GetParam()->SetSelectionFlags(GX_SELFULL);
  g->GetParam()->SetClickFlags(2);
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  Key(VK_DOWN);
  EXPECT_EQ(Selection(g), "R3-3");
  Chord(VK_SHIFT, VK_DOWN);
  EXPECT_EQ(Selection(g), "R3-4");
  ClickWith(VK_CONTROL, Cell(*g, 7, 3));
  EXPECT_EQ(Selection(g), "R3-4 R7-7");
  // Single-selection list mode ignores Ctrl.
  g->GetParam()->SetClickFlags(1);
  ClickWith(VK_CONTROL, Cell(*g, 9, 2));
  EXPECT_EQ(Selection(g), "R9-9");
}

TEST_F(SelectionTest, DeselectingTheMiddleOfABlockLeavesFourPiecesInOrder) {
  CGXGridWnd* g = MakeFocused(10, 8);
  auto* sel = static_cast<CGXUserSelectRangeImp*>(g->GetUserSelectRangeImp());
  sel->SelectRange(g, CGXRange(2, 2, 7, 6), TRUE, TRUE);
  sel->SelectRange(g, CGXRange().AssignRows(9, 9), TRUE, TRUE);
  sel->SelectRange(g, CGXRange(4, 3, 5, 4), FALSE, TRUE);
  EXPECT_EQ(Selection(g), "2,2,3,6 6,2,7,6 2,2,7,2 2,5,7,6 R9-9");
  for (ROWCOL r = 1; r <= 10; ++r)
    for (ROWCOL c = 1; c <= 8; ++c) {
      const bool inBlock = r >= 2 && r <= 7 && c >= 2 && c <= 6, cut = r >= 4 && r <= 5 && c >= 3 && c <= 4;
      EXPECT_EQ(g->IsCellSelected(r, c) != FALSE, (inBlock && !cut) || r == 9) << r << "," << c;
    }
  // Rows taken out of a table selection stay whole rows.
  Click(Cell(*g, 0, 0));
  sel->SelectRange(g, CGXRange().AssignRows(3, 4), FALSE, TRUE);
  EXPECT_EQ(Selection(g), "R1-2 R5-10");
}

TEST_F(SelectionTest, TheCornerTogglesTheTableAndTheAllowedWordZeroStartsNothing) {
  CGXGridWnd* g = MakeFocused(10, 6);
  Click(Cell(*g, 0, 0));
  EXPECT_EQ(Selection(g), "T");
  Click(Cell(*g, 0, 0));
  EXPECT_EQ(Selection(g), "");
  g->GetParam()->SetSelectionFlags(0);
  Drag(Cell(*g, 2, 2), Cell(*g, 4, 4));
  Drag(Cell(*g, 0, 2), Cell(*g, 0, 4));
  Click(Cell(*g, 0, 0));
  EXPECT_EQ(Selection(g), "");
  auto* sel = static_cast<CGXUserSelectRangeImp*>(g->GetUserSelectRangeImp());
  ROWCOL row = 3, col = 3;
  EXPECT_FALSE(sel->OnMoveSelection(g, &row, &col));
}

TEST_F(SelectionTest, CtrlClickOnASelectedHeaderTakesThatColumnOut) {
  CGXGridWnd* g = MakeFocused(10, 6);
  g->GetParam()->EnableDragColumns(FALSE);  // a press on a selected header would start a drag
  Drag(Cell(*g, 0, 2), Cell(*g, 0, 4));
  ClickWith(VK_CONTROL, Cell(*g, 0, 3));
  EXPECT_EQ(Selection(g), "C2-2 C4-4");
}

TEST_F(SelectionTest, SelectingThenDeselectingRestoresEveryPixel) {
  CGXGridWnd* g = MakeFocused(12, 6);
  g->SetCellValue(3, 3, "text");
  auto before = enginetest::Shot(*g);
  // Drawn by the features' inversions only: nothing is invalidated on the way.
  Drag(Cell(*g, 2, 2), Cell(*g, 6, 4));
  ClickWith(VK_CONTROL, Cell(*g, 8, 5));
  plat::InputRouter::Instance().KeyDown(VK_CONTROL);
  Drag(Cell(*g, 0, 5), Cell(*g, 0, 6));
  plat::InputRouter::Instance().KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(Selection(g), "2,2,6,4 8,5,8,5 C5-6");
  auto selected = enginetest::Shot(*g);
  EXPECT_GT(DifferentPixels(*before, *selected), 1000);
  // The inverted pixels equal what a full repaint of the same selection shows.
  auto inverted = plat::Desktop::Capture(*g);
  g->RedrawAll(GX_INVALIDATE);
  auto repainted = enginetest::Shot(*g);
  EXPECT_EQ(DifferentPixels(*inverted, *repainted), 0);
  ExpectMatchesReference(*g, "selection-multirange");
  g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  Key(VK_ESCAPE);
  EXPECT_EQ(Selection(g), "");
  EXPECT_EQ(DifferentPixels(*before, *enginetest::Shot(*g)), 0);
}

// A plain click on a header, released on its own line, keeps that whole row or column selected and reports the
// change once more at the release, whether the grid or the control frames the current cell.
TEST_F(SelectionTest, AClickOnAHeaderReleasedOnItsLineKeepsTheLineAndReportsIt) {
  auto* g = MakeFocused<LoggingGrid>(10, 6);
  for (BOOL gridFrame : {TRUE, FALSE}) {
    SCOPED_TRACE(gridFrame);
    g->GetParam()->m_bCurrentCellFrame = gridFrame;
    g->log.clear();
    Click(Cell(*g, 3, 0));
    EXPECT_EQ(Selection(g), "R3-3");
    EXPECT_EQ(g->log, (Log{"prepare -", "changed -", "prepare 3,0,3,0", "changed 3,0,3,0", "changed 3,0,3,0"}));
    g->log.clear();
    Click(Cell(*g, 0, 4));
    EXPECT_EQ(Selection(g), "C4-4");
    EXPECT_EQ(g->log, (Log{"prepare -", "changed -", "prepare 0,4,0,4", "changed 0,4,0,4", "changed 0,4,0,4"}));
  }
}

// With the spreadsheet-like frame on, a selection that a plain click takes away takes its frame along: the window
// shows the grid as it was before anything was selected, and as a repaint shows it.
TEST_F(SelectionTest, ClearingTheSelectionTakesItsFrameAlong) {
  CGXGridWnd* g = MakeFocused(12, 6);
  g->GetParam()->m_bSelectionFrame = TRUE;
  g->MoveCurrentCellTo(8, 1, GX_UPDATENOW);
  auto unselected = enginetest::Shot(*g);
  Drag(Cell(*g, 2, 2), Cell(*g, 5, 4));
  ASSERT_EQ(Selection(g), "2,2,5,4");
  auto framed = plat::Desktop::Capture(*g);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(DifferentPixels(*framed, *enginetest::Shot(*g)), 0) << "the drawn frame is the painted one";
  Click(Cell(*g, 8, 1));
  EXPECT_EQ(Selection(g), "");
  EXPECT_EQ(DifferentPixels(*unselected, *plat::Desktop::Capture(*g)), 0);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(DifferentPixels(*unselected, *enginetest::Shot(*g)), 0);
}

// The selection and its frame are drawn through the grid's own preparation of its devices, as the paint is:
// a band the grid keeps out of every device stays as it was.
TEST_F(SelectionTest, SelectionsAndTheirFrameAreDrawnThroughTheGridsDevicePreparation) {
  auto* g = MakeFocused<BandGrid>(12, 6);
  g->GetParam()->m_bSelectionFrame = TRUE;
  g->RedrawAll(GX_UPDATENOW);
  auto before = enginetest::Shot(*g);
  Drag(Cell(*g, 2, 1), Cell(*g, 6, 4));
  ASSERT_EQ(Selection(g), "2,1,6,4");
  auto selected = plat::Desktop::Capture(*g);
  EXPECT_GT(DifferentPixels(*before, *selected), 1000);
  int changedInBand = 0;
  for (int y = 0; y < selected->height(); ++y)
    for (int x = BandGrid::kBand.left; x < BandGrid::kBand.right; ++x)
      changedInBand += before->pixel(x, y) != selected->pixel(x, y);
  EXPECT_EQ(changedInBand, 0);
  // Taken away the same way: the window shows what a repaint shows.
  Key(VK_ESCAPE);
  EXPECT_EQ(Selection(g), "");
  auto cleared = plat::Desktop::Capture(*g);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(DifferentPixels(*cleared, *enginetest::Shot(*g)), 0);
}

}  // namespace
