// Resizing rows and columns by dragging the edges in the headers, as users do: hiding by dragging to
// nothing, several selected rows at once, the default size, double clicks, and what the screen shows
// while dragging.
#include "grid/features/CGXUserResizeCellsImp.h"
#include "grid/features/CGXUserSelectRangeImp.h"
#include "grid/features/tests/interactiontest.h"

namespace {

using interactiontest::InteractionTest;

int DifferentPixels(const plat::Surface& a, const plat::Surface& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

class ResizeTest : public InteractionTest {
 protected:
  // The point on the edge below row `row` in the row header: the first pixel of the next row, so that the
  // size dragged to is the distance from the row's top edge.
  static POINT RowEdge(CGXGridWnd* g, ROWCOL row) {
    return Client(*g, 25, static_cast<int>(g->CalcRangeRect(row, 0, row, 0).bottom));
  }
  // Drags the edge from `from` by dy pixels in two moves.
  void DragBy(POINT from, int dy) {
    auto& in = plat::InputRouter::Instance();
    in.ButtonDown(plat::MouseButton::Left, from);
    Pump();
    in.MouseMove(POINT{from.x, from.y + dy / 2});
    Pump();
    in.MouseMove(POINT{from.x, from.y + dy});
    Pump();
    in.ButtonUp(plat::MouseButton::Left, POINT{from.x, from.y + dy});
    Pump();
  }
  static INT_PTR Undos(CGXGridCore* g) { return g->GetParam()->GetUndoList().GetCount(); }
};

TEST_F(ResizeTest, DraggingARowEdgeResizesHidesAndUndoShowsAgain) {
  CGXGridWnd* g = MakeFocused(10, 4);
  ClearUndo(g);
  DragBy(RowEdge(g, 3), 15);
  EXPECT_EQ(g->GetRowHeight(3), 35);
  EXPECT_EQ(Undos(g), 1);
  // Up to the row's top edge: the row is hidden (its height is kept).
  DragBy(RowEdge(g, 3), -40);
  EXPECT_TRUE(g->IsRowHidden(3));
  EXPECT_EQ(g->GetRowHeight(3), 0);
  EXPECT_EQ(Undos(g), 2);
  g->Undo();
  EXPECT_FALSE(g->IsRowHidden(3));
  EXPECT_EQ(g->GetRowHeight(3), 35);
  // A one-pixel drag and a plain click change nothing and record nothing.
  DragBy(RowEdge(g, 5), 1);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, RowEdge(g, 7));
  Pump();
  EXPECT_EQ(g->GetRowHeight(5), 20);
  EXPECT_EQ(Undos(g), 1);
  // Columns follow the same rules at the edge right of a column header.
  auto& in = plat::InputRouter::Instance();
  const POINT edge = Client(*g, 3 * 50, 10);  // the first pixel right of column 2
  in.ButtonDown(plat::MouseButton::Left, edge);
  in.MouseMove(POINT{edge.x + 30, edge.y});
  in.ButtonUp(plat::MouseButton::Left, POINT{edge.x + 30, edge.y});
  Pump();
  EXPECT_EQ(g->GetColWidth(2), 80);
}

TEST_F(ResizeTest, SelectedRowsResizeTogetherAndTheTableSetsTheDefault) {
  CGXGridWnd* g = MakeFocused(12, 4);
  auto* sel = static_cast<CGXUserSelectRangeImp*>(g->GetUserSelectRangeImp());
  sel->SelectRange(g, CGXRange().AssignRows(2, 3), TRUE, TRUE);
  sel->SelectRange(g, CGXRange().AssignRows(6, 6), TRUE, TRUE);
  DragBy(RowEdge(g, 3), 10);
  for (ROWCOL r : {2u, 3u, 6u}) EXPECT_EQ(g->GetRowHeight(r), 30) << r;
  EXPECT_EQ(g->GetRowHeight(4), 20);
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount() >= 2, true);  // one change per interval
  Key(VK_ESCAPE);
  Click(Cell(*g, 0, 0));
  ASSERT_EQ(Selection(g), "T");
  DragBy(RowEdge(g, 1), 6);
  EXPECT_EQ(g->GetDefaultRowHeight(), 26);
  EXPECT_EQ(g->GetRowHeight(9), 26);
}

// A hidden column dragged open by its edge: without the column-unhide switch it loses its hidden mark
// directly (only the new width is undone), with it the hide operation shows it again (undone too).
TEST_F(ResizeTest, AHiddenColumnDraggedOpenIsShownDirectlyOrThroughTheHideOperation) {
  for (const BOOL unhideByHide : {FALSE, TRUE}) {
    CGXGridWnd* g = MakeFocused(6, 5);
    g->GetParam()->m_bUnhideColsByHide = unhideByHide;
    g->HideCols(3, 3, TRUE, 0);
    ClearUndo(g);
    auto* resize = dynamic_cast<CGXUserResizeCellsImp*>(g->GetUserResizeCellsImp());
    ASSERT_NE(resize, nullptr);
    ASSERT_TRUE(resize->OnStartTracking(g, 0, 3, 2));
    resize->OnMoveTracking(g, 20);
    resize->OnEndTracking(g, 40);
    Pump();
    EXPECT_FALSE(g->IsColHidden(3)) << unhideByHide;
    EXPECT_EQ(g->GetColWidth(3), 40) << unhideByHide;
    EXPECT_EQ(Undos(g), unhideByHide ? 2 : 1) << unhideByHide;
    g->Undo();
    EXPECT_FALSE(g->IsColHidden(3)) << "the width is undone first";
    if (unhideByHide) {
      g->Undo();
      EXPECT_TRUE(g->IsColHidden(3)) << "the showing is undone too";
    }
  }
}

TEST_F(ResizeTest, DoubleClicksShowHiddenRunsOrGiveTheDefaultSize) {
  CGXGridWnd* g = MakeFocused(10, 4);
  g->HideRows(4, 5, TRUE, 0);
  g->SetRowHeight(7, 7, 40, nullptr, 0);
  auto& in = plat::InputRouter::Instance();
  in.DoubleClick(plat::MouseButton::Left, RowEdge(g, 3));
  Pump();
  EXPECT_FALSE(g->IsRowHidden(4));
  EXPECT_FALSE(g->IsRowHidden(5));
  in.DoubleClick(plat::MouseButton::Left, RowEdge(g, 7));
  Pump();
  EXPECT_EQ(g->GetRowHeight(7), 20);
}

TEST_F(ResizeTest, WithTheDefaultFlagsOnlyTheHeadersPreviewAndTheLineLeavesNoTrace) {
  CGXGridWnd* g = MakeFocused(10, 4, 260, 240);
  g->SetCellValue(4, 1, "below");
  auto before = enginetest::Shot(*g);
  auto* resize = static_cast<CGXUserResizeCellsImp*>(g->GetUserResizeCellsImp());
  auto& in = plat::InputRouter::Instance();
  const POINT edge = RowEdge(g, 3);
  in.ButtonDown(plat::MouseButton::Left, edge);
  in.MouseMove(POINT{edge.x, edge.y + 25});
  Pump();
  ASSERT_TRUE(resize->IsTracking());
  EXPECT_EQ(resize->GetDragLine(), nullptr);  // flag 32: no drag-line window
  EXPECT_EQ(g->GetRowHeight(3), 20);           // the cells keep the old size while dragging
  ExpectMatchesReference(*g, "resize-row-preview");
  // Back to the start and released: nothing changed, and no pixel of the line or the preview is left.
  in.MouseMove(edge);
  in.ButtonUp(plat::MouseButton::Left, edge);
  Pump();
  EXPECT_FALSE(resize->IsTracking());
  EXPECT_EQ(DifferentPixels(*before, *enginetest::Shot(*g)), 0);
}

}  // namespace
