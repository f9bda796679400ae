// The freeze commands on selected whole rows and columns, and the header marks of the current cell.
#include "grid/features/CGXMarkEditHeaderImp.h"
#include "grid/features/CGXUserSelectRangeImp.h"
#include "grid/features/tests/interactiontest.h"

namespace {

using interactiontest::InteractionTest;

class FreezeTest : public InteractionTest {
 protected:
  CGXGridWnd* MakeNumbered(ROWCOL rows) {
    CGXGridWnd* g = MakeFocused(rows, 3);
    for (ROWCOL r = 1; r <= rows; ++r) g->SetCellValue(r, 1, ("r" + std::to_string(r)).c_str());
    ClearUndo(g);
    return g;
  }
  static std::string Column(CGXGridCore* g) {
    std::string out;
    for (ROWCOL r = 1; r <= g->GetRowCount(); ++r) out += std::string(g->GetCellValue(r, 1)) + " ";
    return out;
  }
  static void SelectRows(CGXGridCore* g, ROWCOL first, ROWCOL last) {
    static_cast<CGXUserSelectRangeImp*>(g->GetUserSelectRangeImp())
        ->SelectRange(g, CGXRange().AssignRows(first, last), TRUE, TRUE);
  }
};

TEST_F(FreezeTest, SelectedRowsMoveToTheTopAndFreezeAndGoBackWhenUnfrozen) {
  CGXGridWnd* g = MakeNumbered(10);
  EXPECT_FALSE(g->CanFreezeRows());  // nothing selected
  SelectRows(g, 2, 2);
  SelectRows(g, 5, 6);
  EXPECT_FALSE(g->CanFreezeRows());  // two runs
  Key(VK_ESCAPE);
  SelectRows(g, 5, 7);
  ASSERT_TRUE(g->CanFreezeRows());
  g->FreezeRows();
  EXPECT_EQ(Column(g), "r5 r6 r7 r1 r2 r3 r4 r8 r9 r10 ");
  EXPECT_EQ(g->GetFrozenRows(), 3u);
  EXPECT_EQ(Selection(g), "");
  EXPECT_FALSE(g->GetParam()->m_bHeaderMarkingLocked);
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);  // one "Freeze Rows" entry
  EXPECT_FALSE(g->CanFreezeRows());
  ASSERT_TRUE(g->CanUnfreezeRows());
  g->UnfreezeRows();
  EXPECT_EQ(Column(g), "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 ");
  EXPECT_EQ(g->GetFrozenRows(), 0u);
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 2);
  // Undoing the unfreeze freezes the block again at the top.
  g->Undo();
  EXPECT_EQ(Column(g), "r5 r6 r7 r1 r2 r3 r4 r8 r9 r10 ");
  EXPECT_EQ(g->GetFrozenRows(), 3u);
}

TEST_F(FreezeTest, AnExtraHeaderRowStaysAHeaderAndTheBlockComesBackWhole) {
  CGXGridWnd* g = MakeNumbered(10);
  g->SetFrozenRows(1, 1, 0);
  SelectRows(g, 5, 7);
  ASSERT_TRUE(g->CanFreezeRows());
  g->FreezeRows();
  EXPECT_EQ(Column(g), "r1 r5 r6 r7 r2 r3 r4 r8 r9 r10 ");
  EXPECT_EQ(g->GetFrozenRows(), 4u);
  EXPECT_EQ(g->GetHeaderRows(), 1u);
  g->UnfreezeRows();
  EXPECT_EQ(Column(g), "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 ");
  EXPECT_EQ(g->GetFrozenRows(), 1u);
  // Rows right after the headers freeze where they are; columns move to the first data column.
  SelectRows(g, 2, 3);
  g->FreezeRows();
  EXPECT_EQ(Column(g), "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 ");
  EXPECT_EQ(g->GetFrozenRows(), 3u);
  g->SetCellValue(1, 3, "c");
  static_cast<CGXUserSelectRangeImp*>(g->GetUserSelectRangeImp())
      ->SelectRange(g, CGXRange().AssignCols(3, 3), TRUE, TRUE);
  ASSERT_TRUE(g->CanFreezeCols());
  g->FreezeCols();
  EXPECT_EQ(std::string(g->GetCellValue(1, 1)), "c");
  EXPECT_EQ(g->GetFrozenCols(), 1u);
  g->UnfreezeCols();
  EXPECT_EQ(std::string(g->GetCellValue(1, 3)), "c");
}

TEST_F(FreezeTest, HeaderMarksFollowTheCurrentCellOnlyWhenSwitchedOn) {
  auto* g = MakeFocused<enginetest::PaintRecorder>(10, 5);
  auto* marks = g->GetMarkEditHeaderImp();
  ASSERT_NE(marks, nullptr);
  g->MoveCurrentCellTo(3, 2, GX_UPDATENOW);
  g->Take();
  CGXStatic header(g);
  // The row header of the current row and the column header of the current column are marked.
  EXPECT_TRUE(marks->IsHeaderMarked(g, &header, 3, 0));
  EXPECT_TRUE(marks->IsHeaderMarked(g, &header, 0, 2));
  EXPECT_FALSE(marks->IsHeaderMarked(g, &header, 4, 0));
  // Moving down a row repaints the old and the new row header (and the cells), not the column headers.
  g->MoveCurrentCellTo(5, 2, GX_UPDATENOW);
  const CRect painted = g->Take();
  EXPECT_TRUE(painted.PtInRect(CPoint(25, 3 * 20 + 10)));
  EXPECT_TRUE(painted.PtInRect(CPoint(25, 5 * 20 + 10)));
  EXPECT_FALSE(painted.PtInRect(CPoint(75, 10)));
  // With both switches off nothing is marked and nothing beyond the two cells repaints.
  g->GetProperties()->m_bMarkRowHeader = g->GetProperties()->m_bMarkColHeader = FALSE;
  EXPECT_FALSE(marks->IsHeaderMarked(g, &header, 5, 0));
  g->MoveCurrentCellTo(7, 2, GX_UPDATENOW);
  EXPECT_FALSE(g->Take().PtInRect(CPoint(25, 7 * 20 + 10)));
  // No header is marked while the current cell is a header cell.
  g->GetProperties()->m_bMarkRowHeader = g->GetProperties()->m_bMarkColHeader = TRUE;
  g->StoreCurrentCell(TRUE, 0, 2);
  EXPECT_FALSE(marks->IsHeaderMarked(g, &header, 0, 2));
  // The marking lock stops the redraw.
  g->StoreCurrentCell(TRUE, 3, 2);
  g->Take();
  g->GetParam()->m_bHeaderMarkingLocked = TRUE;
  marks->MarkEditHeaders(g, 8, 2, 2, GX_INVALIDATE);
  EXPECT_TRUE(g->Take().IsRectEmpty());
}

}  // namespace
