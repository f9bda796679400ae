// Cells copied and moved in place, and sorted data moved back, each undone and redone through the commands
// the operations record.
#include "grid/features/CGXCommand.h"
#include "grid/features/CGXDirectCopyMoveCellsImp.h"
#include "grid/features/CGXGridSortMoveDataImp.h"
#include "grid/features/tests/cliptest.h"
#include "platform/base/CDWordArray.h"

namespace {

using cliptest::ClipTest;

class CopyMoveTest : public ClipTest {
 protected:
  // A 6 x 4 grid whose cells (r, c) of rows 1-3 hold "rc"; (1, 1) is tinted.
  CGXGridWnd* MakeFilled() {
    CGXGridWnd* g = Make(6, 4);
    for (ROWCOL r = 1; r <= 3; ++r)
      for (ROWCOL c = 1; c <= 4; ++c) g->SetCellValue(r, c, (std::to_string(r) + std::to_string(c)).c_str());
    CGXStyle tint;
    tint.SetInteriorColor(RGB(200, 0, 0));
    g->SetStyleRange(CGXRange(1, 1), tint);
    ClearUndo(g);
    return g;
  }
  static CString HeadName(CGXGridCore* g) {
    return static_cast<CGXCommand*>(g->GetParam()->GetUndoList().GetHead())->GetName();
  }
  static bool Tinted(CGXGridCore* g, ROWCOL r, ROWCOL c) {
    CGXStyle s;
    return g->ReadStoredStyle(r, c, s, gxCopy, 0) && s.IsIncluded(GX_IN_INTERIOR);
  }
};

TEST_F(CopyMoveTest, ACopyOverlappingItsSourceCopiesTheOriginalAndUndoRestoresTheDestination) {
  CGXGridWnd* g = MakeFilled();
  ASSERT_TRUE(GXCopyCells(g, CGXRange(1, 1, 2, 2), 2, 2, GX_UPDATENOW));
  EXPECT_EQ(Values(g, 1, 1, 3, 3), "11,12,13|21,11,12|31,21,22");
  EXPECT_TRUE(Tinted(g, 2, 2));
  EXPECT_EQ(HeadName(g), "Cells");  // the destination set back to its former styles
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Values(g, 1, 1, 3, 3), "11,12,13|21,22,23|31,32,33");
  EXPECT_FALSE(Tinted(g, 2, 2));
  ASSERT_TRUE(g->Redo());
  EXPECT_EQ(Values(g, 1, 1, 3, 3), "11,12,13|21,11,12|31,21,22");
  // A destination that does not fit in the grid fails and leaves nothing in the undo list.
  ClearUndo(g);
  EXPECT_FALSE(GXCopyCells(g, CGXRange(1, 1, 2, 2), 6, 4, GX_UPDATENOW));
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
  // A read-only grid copies nothing.
  g->SetReadOnly(TRUE);
  EXPECT_FALSE(GXCopyCells(g, CGXRange(1, 1), 5, 1, GX_UPDATENOW));
  EXPECT_EQ(Value(g, 5, 1), "");
}

TEST_F(CopyMoveTest, AMoveUndoesAndRedoesWithWhatItOverwrote) {
  CGXGridWnd* g = MakeFilled();
  CObject* none = nullptr;
  // Overlapping: the block (1,1)-(2,2) moves one down and right, over 22, 23, 32 and 33.
  ASSERT_TRUE(GXMoveCells(g, CGXRange(1, 1, 2, 2), 2, 2, none, GX_UPDATENOW, 0));
  EXPECT_EQ(none, nullptr);  // the record went into the command
  EXPECT_EQ(Values(g, 1, 1, 3, 3), ",,13|,11,12|31,21,22");
  EXPECT_TRUE(Tinted(g, 2, 2));
  EXPECT_FALSE(Tinted(g, 1, 1));
  EXPECT_EQ(HeadName(g), "Move");
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Values(g, 1, 1, 3, 3), "11,12,13|21,22,23|31,32,33");
  EXPECT_TRUE(Tinted(g, 1, 1));
  EXPECT_FALSE(Tinted(g, 2, 2));
  ASSERT_TRUE(g->Redo());
  EXPECT_EQ(Values(g, 1, 1, 3, 3), ",,13|,11,12|31,21,22");
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Values(g, 1, 1, 3, 4), "11,12,13,14|21,22,23,24|31,32,33,34");
  // A move that cannot be done answers FALSE and records nothing: its callers stop.
  ClearUndo(g);
  EXPECT_FALSE(GXMoveCells(g, CGXRange(1, 1, 2, 2), 6, 4, none, GX_UPDATENOW, 0));
  EXPECT_EQ(Values(g, 1, 1, 1, 2), "11,12");
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
}

TEST_F(CopyMoveTest, MovingSortedDataPermutesTrimsAndRefusesABadOrder) {
  CGXData data;
  data.StoreRowCount(6);
  data.StoreColCount(2);
  CGXStyle s;
  for (ROWCOL r = 1; r <= 3; ++r) data.StoreStyle(r, 1, &s.SetValue(std::to_string(r).c_str()), gxCopy, 0);
  CGXGridSortMoveDataImp mover;
  CDWordArray orderArray;
  auto order = [&](std::initializer_list<DWORD> v) -> const CDWordArray& {
    orderArray.RemoveAll();
    for (DWORD x : v) orderArray.Add(x);
    return orderArray;
  };
  auto value = [&](ROWCOL r) {
    CGXStyle out;
    return data.GetStyle(r, 1, out, gxCopy, 0) ? std::string(out.GetValue()) : std::string("-");
  };
  // Rows 1-3 reversed.
  ASSERT_TRUE(mover.MoveDataRows(data, CGXRange(1, 0, 3, 2), order({2, 1, 0})));
  EXPECT_EQ(value(1) + value(2) + value(3), "321");
  // An order naming places beyond the stored rows brings empty rows in; trailing empty places are trimmed.
  ASSERT_EQ(data.GetCells().GetSize(), 4);
  ASSERT_TRUE(mover.MoveDataRows(data, CGXRange(2, 0, 5, 2), order({2, 3, 0, 1})));
  EXPECT_EQ(value(1) + value(2) + value(3) + value(4) + value(5), "3--21");
  EXPECT_EQ(data.GetCells().GetSize(), 6);
  ASSERT_TRUE(mover.MoveDataRows(data, CGXRange(2, 0, 5, 2), order({2, 3, 0, 1})));
  EXPECT_EQ(data.GetCells().GetSize(), 4);  // ends at row 3 now: rows 4 and 5 are empty
  // The identity order changes nothing.
  ASSERT_TRUE(mover.MoveDataRows(data, CGXRange(1, 0, 3, 2), order({0, 1, 2})));
  EXPECT_EQ(value(1) + value(2) + value(3), "321");
  // Not a permutation: refused, nothing moved.
  EXPECT_FALSE(mover.MoveDataRows(data, CGXRange(1, 0, 3, 2), order({0, 0, 2})));
  EXPECT_FALSE(mover.MoveDataRows(data, CGXRange(1, 0, 3, 2), order({0, 1, 3})));
  EXPECT_EQ(value(1) + value(2) + value(3), "321");
  // Columns: every stored row's cells move.
  data.StoreStyle(1, 2, &s.SetValue("b"), gxCopy, 0);
  ASSERT_TRUE(mover.MoveDataCols(data, CGXRange(0, 1, 6, 2), order({1, 0})));
  CGXStyle out;
  ASSERT_TRUE(data.GetStyle(1, 1, out, gxCopy, 0));
  EXPECT_EQ(std::string(out.GetValue()), "b");
  EXPECT_FALSE(mover.MoveDataCols(data, CGXRange(0, 1, 6, 2), order({1})));
}

}  // namespace
