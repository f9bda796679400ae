// Rows and columns, client indices, rectangles and hit-testing, effective styles and cell copies.
#include "grid/core/CGXDataCopyMoveCellsImp.h"
#include "grid/core/tests/enginetest.h"
#include "platform/gdi/CDC.h"

#include <vector>

namespace enginetest {
namespace {

using GeometryTest = EngineTest;

TEST_F(GeometryTest, InitialisationCreatesAndOwnsTheParameterObjects) {
  CGXGridWnd* g = MakeGrid(10, 5);
  ASSERT_NE(g->GetParam(), nullptr);
  EXPECT_NE(g->GetParam()->GetData(), nullptr);
  EXPECT_NE(g->GetParam()->GetStylesMap(), nullptr);
  EXPECT_NE(g->GetParam()->GetProperties(), nullptr);
  EXPECT_EQ(g->GetTopRow(), 1u);
  EXPECT_EQ(g->GetLeftCol(), 1u);
}

TEST_F(GeometryTest, SizesAreStoredInFontUnitsAndReadBack) {
  CGXGridWnd* g = MakeGrid(10, 5);
  ASSERT_TRUE(g->SetRowHeight(5, 5, 33, nullptr, 0));
  EXPECT_EQ(g->GetRowHeight(5), 33);
  LONG units = 0;
  ASSERT_TRUE(g->GetParam()->GetRowHeights().Lookup(5, units));
  EXPECT_EQ(units, 33 * (1000 / g->GetFontHeight()));
  g->StoreRowHeight(5, -1);
  EXPECT_EQ(g->GetRowHeight(5), 20);  // back to the default
  EXPECT_FALSE(g->StoreDefaultRowHeight(0));
  UseTestHideCells(g);
  g->HideRows(3, 3);
  EXPECT_EQ(g->GetRowHeight(3), 0);
}

TEST_F(GeometryTest, RowCountGrowsAndShrinks) {
  CGXGridWnd* g = MakeGrid(8, 3);
  g->SetCellValue(8, 1, "x", 0);
  EXPECT_TRUE(g->SetRowCount(5, 0));
  EXPECT_EQ(g->GetRowCount(), 5u);
  EXPECT_TRUE(g->SetRowCount(7, 0));
  EXPECT_EQ(g->GetRowCount(), 7u);
  EXPECT_TRUE(g->GetCellValue(7, 1).IsEmpty());
  g->SetReadOnly(TRUE);
  EXPECT_FALSE(g->SetRowCount(9, 0));
  EXPECT_TRUE(g->SetRowHeight(2, 2, 25, nullptr, 0));  // heights are still accepted
}

TEST_F(GeometryTest, TopRowStaysBetweenTheFrozenRowsAndTheLastRow) {
  CGXGridWnd* g = MakeGrid(10, 3);
  g->SetFrozenRows(2, 0, 0);
  g->SetTopRow(0, 0);
  EXPECT_EQ(g->GetTopRow(), 3u);
  g->SetTopRow(50, 0);
  EXPECT_EQ(g->GetTopRow(), 10u);
  // An empty grid with frozen rows: a full redraw keeps the top row below them, never 0.
  g->SetRowCount(0, 0);
  g->RedrawAll(GX_INVALIDATE);
  EXPECT_EQ(g->GetTopRow(), 3u);
  CGXGridWnd* g2 = MakeGrid(0, 0);
  g2->SetFrozenRows(3, 0, 0);
  g2->RedrawAll(GX_INVALIDATE);
  EXPECT_GE(g2->GetTopRow(), 4u);
}

TEST_F(GeometryTest, ClientIndicesSkipTheScrolledOutRows) {
  CGXGridWnd* g = MakeGrid(100, 3, 400, 300);
  g->SetFrozenRows(2, 0, 0);
  g->SetTopRow(10, 0);
  EXPECT_EQ(g->GetTopRow(), 10u);
  EXPECT_EQ(g->ClientRowToRow(3), 10u);
  EXPECT_EQ(g->RowToClientRow(5), 0u);
  EXPECT_EQ(g->RowToClientRow(2), 2u);
  EXPECT_TRUE(g->CalcRangeRect(4, 1, 8, 1).IsRectNull());  // entirely between the frozen rows and the top row
  CRect r = g->CalcCellRect(10, 1);
  EXPECT_EQ(r, CRect(50, 60, 100, 80));
}

TEST_F(GeometryTest, EveryShownCellHitTestsBackToItself) {
  CGXGridWnd* g = MakeGrid(50, 20, 400, 300);
  g->SetFrozenRows(1, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  UseTestHideCells(g);
  g->HideRows(4, 4);
  g->SetColWidth(3, 3, 70, nullptr, 0);
  g->SetTopRow(6, 0);
  g->SetLeftCol(4, 0);
  int checked = 0;
  for (ROWCOL row : {0u, 1u, 6u, 7u, 12u})
    for (ROWCOL col : {0u, 1u, 4u, 5u, 8u}) {
      CRect r = g->CalcCellRect(row, col);
      if (r.IsRectEmpty() || r.bottom > 300 || r.right > 400) continue;
      ROWCOL hr = 0, hc = 0;
      CPoint center = r.CenterPoint();
      int code = g->HitTest(center, &hr, &hc);
      EXPECT_EQ(hr, row) << row << "," << col;
      EXPECT_EQ(hc, col) << row << "," << col;
      EXPECT_EQ(code, row == 0 || col == 0 ? GX_HEADERHIT : GX_CELLHIT);
      ++checked;
    }
  EXPECT_EQ(checked, 25);
  // Past the last column: the column count + 1 and no hit.
  CGXGridWnd* small = MakeGrid(3, 2, 400, 300);
  ROWCOL r = 0, c = 0;
  EXPECT_EQ(small->HitTest(CPoint(300, 10), &r, &c), GX_NOHIT);
  EXPECT_EQ(c, 3u);
}

TEST_F(GeometryTest, BoundariesGiveResizeCodesInTheHeaderOnly) {
  CGXGridWnd* g = MakeGrid(10, 5);
  ROWCOL r = 0, c = 0;
  // Column 1 spans x 50..100; its right edge is at 100.
  EXPECT_EQ(g->HitTest(CPoint(96, 10), &r, &c), GX_VERTLINE);
  EXPECT_EQ(c, 1u);
  EXPECT_EQ(g->HitTest(CPoint(95, 10), &r, &c), GX_HEADERHIT);
  EXPECT_EQ(g->HitTest(CPoint(96, 50), &r, &c), GX_CELLHIT);  // body cells need the other flag
  UseTestHideCells(g);
  g->HideCols(2, 2);
  // Column 3 starts at 100 now that column 2 is hidden.
  EXPECT_EQ(g->HitTest(CPoint(103, 10), &r, &c), GX_VERTHIDDENLINE);
  EXPECT_EQ(c, 2u);
  EXPECT_EQ(g->HitTest(CPoint(102, 10), &r, &c), GX_VERTLINE);
  EXPECT_EQ(c, 1u);
}

TEST_F(GeometryTest, TheBoundaryAtTheFrozenSeamResizesTheLastFrozenColumnAndRow) {
  CGXGridWnd* g = MakeGrid(40, 30);
  g->SetFrozenCols(1, 0, 0);
  g->SetFrozenRows(1, 0, 0);
  g->SetLeftCol(5, 0);
  g->SetTopRow(6, 0);
  ROWCOL r = 0, c = 0;
  // Column 5 is shown right after the frozen column 1 (x 100..150); columns 2-4 are scrolled out.
  EXPECT_EQ(g->HitTest(CPoint(101, 10), &r, &c), GX_VERTLINE);
  EXPECT_EQ(c, 1u);
  // Row 6 follows the frozen row 1 (y 40..60).
  EXPECT_EQ(g->HitTest(CPoint(10, 41), &r, &c), GX_HORZLINE);
  EXPECT_EQ(r, 1u);
  // A hidden column (row) just before the first scrolled one does not touch the seam: no "show it" code.
  UseTestHideCells(g);
  g->HideCols(4, 4);
  g->HideRows(5, 5);
  EXPECT_EQ(g->HitTest(CPoint(103, 10), &r, &c), GX_VERTLINE);
  EXPECT_EQ(c, 1u);
  EXPECT_EQ(g->HitTest(CPoint(10, 43), &r, &c), GX_HORZLINE);
  EXPECT_EQ(r, 1u);
  // Inside the scrolled part the column before is still the absolute one: a hidden column 6 is offered.
  g->HideCols(6, 6);
  EXPECT_EQ(g->HitTest(CPoint(153, 10), &r, &c), GX_VERTHIDDENLINE);
  EXPECT_EQ(c, 6u);
  EXPECT_EQ(g->HitTest(CPoint(152, 10), &r, &c), GX_VERTLINE);
  EXPECT_EQ(c, 5u);
}

TEST_F(GeometryTest, AnEmptyDrawingAreaStopsTheSumsAtOnce) {
  CGXGridWnd* g = MakeGrid(200000, 3);
  const CRect full = g->CalcRangeRect(0, 1, 200000, 1, TRUE);
  EXPECT_EQ(full.bottom, 20 + 200000 * 20);  // asked not to clip: every row counts
  MoveWindow(*g, 0, 0, 0, 0, FALSE);
  ASSERT_TRUE(g->GetGridRect().IsRectEmpty());
  // Only the first row passes the limit of an empty area; the sum stops there.
  const CRect r = g->CalcRangeRect(0, 1, 200000, 1);
  EXPECT_EQ(r.top, g->GetGridRect().top);
  EXPECT_LE(r.bottom - r.top, 40);
  EXPECT_EQ(g->CalcRangeRect(0, 1, 200000, 1, TRUE).Height(), full.Height());
  EXPECT_LE(g->ClientRowTop(150000) - g->GetGridRect().top, 40);
  EXPECT_LE(g->ClientColLeft(3) - g->GetGridRect().left, 100);
  CRect line;
  g->CalcTrackingLineRect(&line, 2, 150000);
  EXPECT_LE(line.top - g->GetGridRect().top, 40);
  g->CalcTrackingLineRect(&line, 1, 3);
  EXPECT_LE(line.left - g->GetGridRect().left, 100);
}

// Counts the line sizes the engine asks for. Past the budget a walk is taken as one over every line of the
// grid and ended by an exception, so that a fault fails the test at once instead of hanging it.
struct EndlessWalk {};
class SizeCountingGrid : public CGXGridWnd {
 public:
  int GetRowHeight(ROWCOL row) const override {
    Count();
    return CGXGridWnd::GetRowHeight(row);
  }
  int GetColWidth(ROWCOL col) const override {
    Count();
    return CGXGridWnd::GetColWidth(col);
  }
  void Count() const {
    if (++asked > budget) throw EndlessWalk{};
  }
  mutable long long asked = 0;
  long long budget = 3'000'000;
};

// Shows the grid, scrolls to its end and back a page at a time, and repaints; false when a walk went on
// past the size budget.
bool ShowsAndScrolls(SizeCountingGrid* g) {
  try {
    g->RedrawAll(GX_UPDATENOW);
    for (UINT bar : {WM_VSCROLL, WM_HSCROLL}) {
      SendMessage(*g, bar, bar == WM_VSCROLL ? SB_BOTTOM : SB_RIGHT, 0);
      SendMessage(*g, bar, SB_PAGEUP, 0);
      SendMessage(*g, bar, SB_PAGEDOWN, 0);
    }
    g->MoveCurrentCellBy(GX_BOTTOMRIGHT);
    g->MoveCurrentCellBy(GX_MOSTTOP_PAGE);
    g->RedrawAll(GX_UPDATENOW);
    PumpMessages();
  } catch (const EndlessWalk&) {
    return false;
  }
  return true;
}

TEST_F(GeometryTest, ALayoutFreezingMoreLinesThanTheGridHasShowsAndScrollsWithoutWalkingThemAll) {
  // As a stored layout may hold them: nearly 2^32 frozen lines in a small grid, and more frozen lines than
  // the window can show in a large one. The counts stay as stored.
  auto* g = MakeGrid<SizeCountingGrid>(30, 12);
  g->GetParam()->m_nFrozenRows = GX_MAXROWCOL - 1;
  g->GetParam()->m_nFrozenCols = GX_MAXROWCOL - 1;
  EXPECT_TRUE(ShowsAndScrolls(g)) << g->asked << " sizes asked";
  EXPECT_EQ(g->GetParam()->m_nFrozenRows, GX_MAXROWCOL - 1);
  EXPECT_EQ(g->CalcCellRect(5, 5), CRect(250, 100, 300, 120));  // every line shows where it is
  g->asked = 0;
  g->SetRowCount(GX_MAXROWCOL - 10, 0);
  g->SetColCount(GX_MAXROWCOL - 10, 0);
  g->GetParam()->m_nFrozenRows = 2'500'000;
  g->GetParam()->m_nFrozenCols = 2'500'000;
  EXPECT_TRUE(ShowsAndScrolls(g)) << g->asked << " sizes asked";
  EXPECT_EQ(g->GetParam()->m_nFrozenCols, 2'500'000u);
}

TEST_F(GeometryTest, ADefaultSizeBelowAPixelIsShownAsOnePixelAndKeptAsStored) {
  // The setters refuse a default under one pixel; a stored layout can still hold 0. Lines without a size
  // of their own are then one pixel, so the window fills after a window's worth of lines.
  auto* g = MakeGrid<SizeCountingGrid>(GX_MAXROWCOL - 10, GX_MAXROWCOL - 10, 100, 80);
  g->SetColWidth(3, 3, 0, nullptr, 0);  // a line given no size keeps none
  g->GetParam()->m_nDefaultColWidth = 0;
  g->GetParam()->m_nDefaultRowHeight = 0;
  EXPECT_EQ(g->GetColWidth(2), 1);
  EXPECT_EQ(g->GetRowHeight(2), 1);
  EXPECT_EQ(g->GetColWidth(3), 0);
  EXPECT_EQ(g->GetRowHeight(0), 20);
  EXPECT_TRUE(ShowsAndScrolls(g)) << g->asked << " sizes asked";
  EXPECT_EQ(g->GetParam()->m_nDefaultColWidth, 0u);
  EXPECT_EQ(g->GetParam()->m_nDefaultRowHeight, 0u);
}

TEST_F(GeometryTest, ComposedStylesFollowTheBaseStyleOrder) {
  CGXGridWnd* g = MakeGrid(10, 30);
  EXPECT_EQ(g->GetCellValue(0, 27), CString("AA"));
  EXPECT_EQ(g->GetCellValue(5, 0), CString("5"));
  EXPECT_TRUE(g->GetCellValue(0, 0).IsEmpty());
  CGXStyle rowStyle, tableStyle;
  rowStyle.SetValue("row");
  tableStyle.SetValue("table");
  g->SetStyleRange(CGXRange().AssignRows(2, 2), rowStyle);
  g->SetStyleRange(CGXRange().AssignTable(), tableStyle);
  g->SetCellValue(2, 3, "own");
  EXPECT_EQ(g->GetCellValue(2, 3), CString("own"));
  EXPECT_EQ(g->GetCellValue(2, 4), CString("row"));
  EXPECT_EQ(g->GetCellValue(3, 4), CString("table"));
  // The table range is the whole table: rows added later take its style too.
  g->SetRowCount(20, 0);
  EXPECT_EQ(g->GetCellValue(20, 1), CString("table"));
  // Values come back by value: two in one expression do not overwrite each other.
  EXPECT_NE(g->GetCellValue(2, 3), g->GetCellValue(2, 4));
}

TEST_F(GeometryTest, CopyOntoAnOverlappingBlockCopiesTheOriginalCells) {
  CGXGridWnd* g = MakeGrid(10, 5);
  for (ROWCOL r = 1; r <= 3; ++r) g->SetCellValue(r, 1, CString(static_cast<char>('a' + r - 1)), 0);
  ASSERT_TRUE(g->CopyCells(CGXRange(1, 1, 3, 1), 2, 1));
  EXPECT_EQ(g->GetCellValue(1, 1), CString("a"));
  EXPECT_EQ(g->GetCellValue(2, 1), CString("a"));
  EXPECT_EQ(g->GetCellValue(3, 1), CString("b"));
  EXPECT_EQ(g->GetCellValue(4, 1), CString("c"));
  // Moving back replaces what stands at the put-back position and clears the uncovered source.
  ASSERT_TRUE(g->MoveCells(CGXRange(2, 1, 4, 1), 1, 1));
  EXPECT_EQ(g->GetCellValue(1, 1), CString("a"));
  EXPECT_EQ(g->GetCellValue(3, 1), CString("c"));
  EXPECT_TRUE(g->GetCellValue(4, 1).IsEmpty());
  EXPECT_FALSE(g->CopyCells(CGXRange(1, 1, 3, 1), 9, 1));  // would run past the grid
  EXPECT_FALSE(g->CopyCells(CGXRange(1, 1, 3, 1), GX_MAXROWCOL, 1));  // no wrap-around
  // A cell range reaching far past the counts changes only the cells that exist.
  CGXStyle bold;
  bold.SetValue("b");
  EXPECT_TRUE(g->SetStyleRange(CGXRange(9, 4, GX_MAXROWCOL, GX_MAXROWCOL), bold));
  EXPECT_EQ(g->GetCellValue(10, 5), CString("b"));
}


TEST_F(GeometryTest, FontMetricsGiveTheUnitsAndZoomIsFixedWhilePrinting) {
  CGXGridWnd* g = MakeGrid(5, 5);
  // The standard style has a font: the line height and character width come from its metrics.
  EXPECT_GT(g->GetFontHeight(), 0);
  EXPECT_GT(g->GetFontWidth(), 0);
  CGXGridCore bare;  // no window, no parameter object
  EXPECT_EQ(bare.GetFontHeight(), 15);
  EXPECT_EQ(bare.GetFontWidth(), 10);
  ASSERT_TRUE(g->SetZoom(150, 0));
  EXPECT_EQ(g->GetZoom(), 150);
  g->SetPrinting(TRUE, TRUE);
  EXPECT_EQ(g->GetZoom(), 100);
  g->SetPrinting(FALSE);
  EXPECT_EQ(g->GetZoom(), 150);
}

TEST_F(GeometryTest, AParameterObjectNotOwnedSurvivesTheGrid) {
  auto param = std::make_unique<CGXGridParam>();
  {
    CGXGridWnd* g = MakeGrid(3, 3);
    g->AttachParam(param.get(), FALSE);
    g->SetFrozenRows(3, 0, 0);
    EXPECT_EQ(g->GetTopRow(), 4u);
    grid.reset();
  }
  EXPECT_EQ(param->m_nFrozenRows, 3u);  // still alive and readable
}



CString Value(const CGXData& d, ROWCOL r, ROWCOL c) {
  CGXStyle s;
  return d.GetStyle(r, c, s, gxCopy, 0) ? s.GetValue() : CString();
}

void Store(CGXData& d, ROWCOL r, ROWCOL c, const char* v) {
  CGXStyle s;
  s.SetValue(v);
  d.StoreStyle(r, c, &s, gxCopy, 0);
}

TEST(DataCopyMove, CopyOntoAnOverlappingBlockUsesASnapshot) {
  InstallDataCopyMoveCellsImp();
  CGXData d;
  d.StoreRowCount(10);
  d.StoreColCount(5);
  Store(d, 1, 1, "a");
  Store(d, 2, 1, "b");
  Store(d, 3, 1, "c");
  ASSERT_TRUE(d.CopyCells(CGXRange(1, 1, 3, 1), 2, 1));
  EXPECT_EQ(Value(d, 2, 1), CString("a"));
  EXPECT_EQ(Value(d, 3, 1), CString("b"));
  EXPECT_EQ(Value(d, 4, 1), CString("c"));
  // Source rows beyond the stored rows: a stored destination row receives "nothing stored", one beyond the
  // stored rows stays as it is.
  d.StoreRowCount(70);
  Store(d, 9, 2, "cleared");
  Store(d, 9, 3, "kept");
  ASSERT_TRUE(d.CopyCells(CGXRange(50, 2, 60, 2), 9, 2));
  EXPECT_TRUE(Value(d, 9, 2).IsEmpty());
  EXPECT_EQ(Value(d, 9, 3), CString("kept"));
  const INT_PTR stored = d.GetCells().GetSize();
  ASSERT_TRUE(d.CopyCells(CGXRange(50, 2, 55, 2), 60, 2));
  EXPECT_EQ(d.GetCells().GetSize(), stored);
  // A destination block past the counts (or past the last row number) is refused and changes nothing.
  EXPECT_FALSE(d.CopyCells(CGXRange(1, 1, 3, 1), 69, 1));
  EXPECT_FALSE(d.CopyCells(CGXRange(1, 1, 3, 1), 0xFFFFFFFE, 1));
  CObject* none = nullptr;
  EXPECT_FALSE(d.MoveCells(CGXRange(1, 1, 1, 3), 1, 4, none, TRUE));
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(Value(d, 2, 1), CString("a"));
}

TEST(DataCopyMove, MovingBackWithUndoInformationRestoresTheOverwrittenCells) {
  InstallDataCopyMoveCellsImp();
  CGXData d;
  d.StoreRowCount(10);
  d.StoreColCount(5);
  Store(d, 1, 1, "moved");
  Store(d, 5, 1, "victim");
  CObject* undo = nullptr;
  ASSERT_TRUE(d.MoveCells(CGXRange(1, 1), 5, 1, undo, TRUE));
  EXPECT_EQ(Value(d, 5, 1), CString("moved"));
  EXPECT_TRUE(Value(d, 1, 1).IsEmpty());
  ASSERT_NE(undo, nullptr);
  ASSERT_TRUE(d.MoveCells(CGXRange(5, 1), 1, 1, undo, FALSE));
  EXPECT_EQ(Value(d, 1, 1), CString("moved"));
  EXPECT_EQ(Value(d, 5, 1), CString("victim"));
  // Putting back onto a place that holds a style replaces it (and frees it, which ASan checks).
  CObject* undo2 = nullptr;
  ASSERT_TRUE(d.MoveCells(CGXRange(1, 1), 5, 1, undo2, TRUE));  // overwrites "victim" again
  Store(d, 6, 3, "other");
  ASSERT_TRUE(d.MoveCells(CGXRange(6, 3), 7, 3, undo2, FALSE));  // puts "victim" back over "moved"
  EXPECT_EQ(Value(d, 5, 1), CString("victim"));
  EXPECT_EQ(Value(d, 7, 3), CString("other"));
  delete undo2;
  delete undo;
  // Undo information of another kind counts as none; it is replaced (and freed) by the new information.
  CObject* foreign = new CGXRangeList;
  ASSERT_TRUE(d.MoveCells(CGXRange(7, 3), 8, 3, foreign, TRUE));
  ASSERT_NE(foreign, nullptr);
  EXPECT_TRUE(foreign->IsKindOf(RUNTIME_CLASS(CGXDataUndoMoveCellsInfo)));
  EXPECT_EQ(Value(d, 8, 3), CString("other"));
  delete foreign;
}

}  // namespace
}  // namespace enginetest
