// Sizing rows and columns to their contents, and the cell sizes behind it.
#include <cstring>

#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/features/CGXResizeToFitImp.h"
#include "grid/features/tests/interactiontest.h"

namespace {

using interactiontest::InteractionTest;

// A 24-bit packed DIB of w x h pixels.
std::vector<BYTE> Dib(int w, int h) {
  return gx::MakeDib24(w, h, [](int, int) { return RGB(0x80, 0x80, 0x80); });
}

class FitTest : public InteractionTest {
 protected:
  CGXResizeToFitImp* Fit(CGXGridCore* g) { return static_cast<CGXResizeToFitImp*>(g->GetResizeToFitImp()); }
  CSize CellSize(CGXGridCore* g, ROWCOL row, ROWCOL col) {
    CGXStyle style;
    g->ComposeCellStyle(row, col, style);
    CGXControl* c = g->ControlForCell(row, col);
    return CSize(c->ComputeCellSize(g->GetCachedDC(), row, col, style, nullptr, FALSE).cx,
                 c->ComputeCellSize(g->GetCachedDC(), row, col, style, nullptr, TRUE).cy);
  }
  static CGXStyle Text(const char* text, BOOL wrap = FALSE) {
    CGXStyle s;
    s.SetValue(text);
    s.SetWrapText(wrap);
    return s;
  }
};

TEST_F(FitTest, CellSizesFollowLinesBreaksAndBitmaps) {
  CGXGridWnd* g = MakeFocused(8, 4);
  ASSERT_NE(g->GetCalcSizeImp(), nullptr);
  UseInEveryCell(g, new CGXStatic(g));
  g->SetStyleRange(CGXRange(1, 1), Text("one"));
  g->SetStyleRange(CGXRange(2, 1), Text("alpha beta gamma", TRUE));
  g->SetColWidth(1, 1, 50, nullptr, 0);
  g->SetStyleRange(CGXRange(3, 1), Text("short\nthe longest line\nmid"));
  g->SetStyleRange(CGXRange(3, 2), Text("the longest line"));
  static const std::vector<BYTE> dib = Dib(37, 23);
  plat::ResourceTable::AddResource(plat::ResourceTable::ModuleHandle("grid"), RT_BITMAP, MAKEINTRESOURCE(31077), dib);
  g->SetStyleRange(CGXRange(4, 1), Text("#BMP(31077)"));
  ASSERT_NE(GetDIBPool().GetDIB("#BMP(31077)"), nullptr);
  const CSize empty = CellSize(g, 5, 1), one = CellSize(g, 1, 1);
  // One line of text and an empty cell are one line high; the empty cell is one widest character wide.
  EXPECT_EQ(one.cy, empty.cy);
  EXPECT_GT(empty.cx, 0);
  // Three wrapped lines need two more line steps than one line.
  CDC* dc = g->GetCachedDC();
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  const int step = tm.tmHeight + tm.tmExternalLeading;
  EXPECT_EQ(CellSize(g, 2, 1).cy, one.cy + 2 * step);
  // Explicit line breaks: as wide as the widest line, one line high without wrapping.
  EXPECT_EQ(CellSize(g, 3, 1).cx, CellSize(g, 3, 2).cx);
  EXPECT_EQ(CellSize(g, 3, 1).cy, one.cy);
  // A bitmap cell takes the bitmap's size plus what borders and margins add to any content.
  const CSize bmp = CellSize(g, 4, 1);
  EXPECT_EQ(bmp.cx - 37, empty.cx - tm.tmMaxCharWidth);
  EXPECT_EQ(bmp.cy - 23, empty.cy - (step + 1));
}

TEST_F(FitTest, RowsFitTheirTallestCellWithinTheRoomAndGrowOnlyKeepsTallerRows) {
  CGXGridWnd* g = MakeFocused(8, 4, 300, 200);
  UseInEveryCell(g, new CGXStatic(g));
  g->SetStyleRange(CGXRange(2, 2), Text("a b c d e f", TRUE));
  g->SetColWidth(2, 2, 20, nullptr, 0);
  g->SetRowHeight(4, 4, 60, nullptr, 0);
  // A tall cell in a scrolling row: capped at the room less the frozen rows (row 0) less 1.
  CGXStyle tall = Text("x\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx", TRUE);
  g->SetStyleRange(CGXRange(6, 3), tall);
  ClearUndo(g);
  ASSERT_TRUE(Fit(g)->ResizeRowsToFit(g, CGXRange().AssignRows(1, 6), FALSE, GX_INVALIDATE));
  const int one = CellSize(g, 1, 1).cy;
  EXPECT_EQ(g->GetRowHeight(1), one);
  EXPECT_GT(g->GetRowHeight(2), 2 * one);
  EXPECT_EQ(g->GetRowHeight(4), one);  // shrunk to its content
  const int room = g->GetGridRect().Height();
  EXPECT_EQ(g->GetRowHeight(6), room - g->GetRowHeight(0) - 1);
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);  // one "Resizing Rows" transaction
  g->Undo();
  EXPECT_EQ(g->GetRowHeight(4), 60);
  // Growing only: the taller row keeps its height, the row that needs more gets it.
  ASSERT_TRUE(Fit(g)->ResizeRowsToFit(g, CGXRange().AssignRows(2, 4), FALSE, CGXResizeToFitImp::kGrowOnly));
  EXPECT_EQ(g->GetRowHeight(4), 60);
  EXPECT_GT(g->GetRowHeight(2), 2 * one);
  // Columns of width 0 are not measured: a row whose cells all lie in them keeps its height.
  g->SetStyleRange(CGXRange(7, 4), tall);
  g->SetColWidth(0, 4, 0, nullptr, 0);  // the row header column counts too
  g->SetRowHeight(7, 7, 33, nullptr, 0);
  Fit(g)->ResizeRowsToFit(g, CGXRange().AssignRows(7, 7), FALSE, GX_INVALIDATE);
  EXPECT_EQ(g->GetRowHeight(7), 33);
}

TEST_F(FitTest, AnAbortTakesEveryChangeBackAndColumnsAreCappedToo) {
  CGXGridWnd* g = MakeFocused(6, 3, 300, 200);
  UseInEveryCell(g, new CGXStatic(g));
  for (ROWCOL r = 1; r <= 6; ++r) g->SetStyleRange(CGXRange(r, 1), Text("a b c d e f g", TRUE));
  int polls = 0;
  enginetest::TestLongOperation esc([&](CGXLongOperationScope&) { return ++polls == 10; });
  EXPECT_FALSE(Fit(g)->ResizeRowsToFit(g, CGXRange().AssignRows(1, 6), FALSE, GX_INVALIDATE));
  for (ROWCOL r = 1; r <= 6; ++r) EXPECT_EQ(g->GetRowHeight(r), 20) << r;
  // A very wide cell is capped at the room less the frozen columns, not widened beyond its content.
  esc.handler = nullptr;
  g->SetStyleRange(CGXRange(1, 2), Text("a text far wider than the window of three hundred pixels is"));
  g->SetStyleRange(CGXRange(1, 3), Text("ab"));
  ASSERT_TRUE(Fit(g)->ResizeColsToFit(g, CGXRange().AssignCols(2, 3), FALSE, GX_INVALIDATE));
  EXPECT_EQ(g->GetColWidth(2), g->GetGridRect().Width() - g->GetColWidth(0) - 1);
  EXPECT_LT(g->GetColWidth(3), 50);
}

}  // namespace
