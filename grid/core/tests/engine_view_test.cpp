// The visible area: geometry with frozen rows and columns and hidden rows, bringing cells into view,
// scrolling (what is repainted after keys, the wheel, the scroll bar and the thumb), the scroll bars and
// their scaling, cursors and the selection border, update hints between two views and the optimized redraw.
#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridOptimizedUpdateImp.h"
#include "grid/core/tests/enginetest.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CScrollBar.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Surface.h"

namespace enginetest {
namespace {

class ViewTest : public EngineTest {
 public:
  using EngineTest::MakeGrid;
};

std::string CRectStr(const CRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// The incremental picture equals a fresh paint of the whole grid.
void ExpectLikeAFreshPaint(CGXGridWnd* g, const char* what) {
  PumpMessages();
  auto incremental = Shot(*g);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_EQ(plat::CompareImages(*incremental, *Shot(*g), 0, ""), 0) << what;
}

// A 400 x 300 grid of 100 x 30 cells scrolled to row 10 and column 5, with frozen rows and columns and
// one hidden row and column in view. Rows: 0, 1, 2 frozen (0..60), then 10, 11, 12 (hidden), 13...;
// columns: 0, 1 (0..100), then 5, 6, 7 (hidden), 8...
CGXGridWnd* MakeFrozenAndHidden(ViewTest& t) {
  CGXGridWnd* g = t.MakeGrid(100, 30, 400, 300);
  g->SetFrozenRows(2, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  UseTestHideCells(g);
  g->HideRows(12, 12);
  g->HideCols(7, 7);
  g->SetTopRow(10, 0);
  g->SetLeftCol(5, 0);
  return g;
}

TEST_F(ViewTest, RectanglesAndClientIndicesLeaveOutScrolledOutAndHiddenLines) {
  CGXGridWnd* g = MakeFrozenAndHidden(*this);
  struct Case {
    ROWCOL top, left, bottom, right;
    CRect rect;
  } cases[] = {
      {1, 1, 1, 1, CRect(50, 20, 100, 40)},
      {10, 5, 10, 5, CRect(100, 60, 150, 80)},
      {13, 6, 13, 6, CRect(150, 100, 200, 120)},
      {12, 5, 12, 5, CRect(100, 100, 150, 100)},   // the hidden row takes no pixels
      {1, 1, 11, 5, CRect(50, 20, 150, 100)},      // from the frozen part into the scrolled part
      {4, 2, 11, 6, CRect(100, 60, 200, 100)},     // a scrolled-out start becomes the first scrolled row
      {1, 1, 5, 3, CRect(50, 20, 100, 60)},        // a scrolled-out end becomes the last frozen row
      {5, 2, 8, 4, CRect(0, 0, 0, 0)},             // wholly scrolled out
      {13, 6, 11, 5, CRect(100, 80, 200, 120)},    // corners in any order
      {10, 7, 10, 8, CRect(200, 60, 250, 80)},     // the hidden column takes no pixels either
  };
  for (const Case& c : cases)
    EXPECT_EQ(g->CalcRangeRect(c.top, c.left, c.bottom, c.right), c.rect)
        << c.top << "," << c.left << "," << c.bottom << "," << c.right;
  CRect out;
  g->CalcRangeRect(&out, 10, 5, 10, 5);
  EXPECT_EQ(out, CRect(100, 60, 150, 80));
  EXPECT_EQ(g->RowToClientRow(13), 6u);
  EXPECT_EQ(g->ClientRowToRow(6), 13u);
  EXPECT_EQ(g->RowToClientRow(6), 0u);
  EXPECT_EQ(g->ColToClientCol(6), 3u);
  EXPECT_EQ(g->ClientRowTop(4), 80);
  g->CalcRectBelowRow(&out, 11);
  EXPECT_EQ(out, CRect(0, 100, 400, 300));
  ROWCOL bottom = 0, right = 0;
  g->CalcClientRowRect(g->GetGridRect(), &bottom, &right);
  EXPECT_EQ(bottom, 22u);  // 13 at 100..120, ..., 22 at 280..300
  EXPECT_EQ(right, 11u);   // 5 at 100..150, 6, (7), 8 at 200..250, ..., 11 at 350..400
}

TEST_F(ViewTest, HitTestsAroundTheHiddenRowAndColumnAndOutsideTheWindow) {
  CGXGridWnd* g = MakeFrozenAndHidden(*this);
  // In the row header just below the hidden row, and the boundary above it.
  ROWCOL r = 0, c = 0;
  EXPECT_EQ(g->HitTest(CPoint(175, 110), &r, &c), GX_CELLHIT);
  EXPECT_EQ(r, 13u);
  EXPECT_EQ(c, 6u);
  EXPECT_EQ(g->HitTest(CPoint(25, 103), &r, &c), GX_HORZHIDDENLINE);
  EXPECT_EQ(r, 12u);
  EXPECT_EQ(g->HitTest(CPoint(25, 101), &r, &c), GX_HORZLINE);
  EXPECT_EQ(r, 11u);  // over the hidden row to the nearest shown one
  EXPECT_EQ(g->HitTest(CPoint(203, 10), &r, &c), GX_VERTHIDDENLINE);  // just right of the hidden column
  EXPECT_EQ(c, 7u);
  EXPECT_EQ(g->HitTest(CPoint(201, 10), &r, &c), GX_VERTLINE);
  EXPECT_EQ(c, 6u);
  EXPECT_EQ(g->HitTest(CPoint(125, 99), &r, &c), GX_CELLHIT);  // body rows need the other resize flag
  EXPECT_EQ(r, 11u);
  // Outside the window: no hit and the out values untouched.
  r = c = 77;
  EXPECT_EQ(g->HitTest(CPoint(500, 10), &r, &c), GX_NOHIT);
  EXPECT_EQ(r, 77u);
}

TEST_F(ViewTest, BringingACellIntoViewNeverPutsTheTopRowIntoTheFrozenRows) {
  CGXGridWnd* g = MakeGrid(100, 3, 300, 200);
  g->SetFrozenRows(3, 0, 0);
  g->RedrawAll(GX_UPDATENOW);  // the frozen boundary's line is painted before the incremental paints
  g->SetTopRow(50, 0);
  EXPECT_TRUE(g->BringCellIntoView(4, 1, 0));
  EXPECT_EQ(g->GetTopRow(), 4u);
  EXPECT_FALSE(g->BringCellIntoView(2, 1, GX_UPDATENOW));  // a frozen row never scrolls
  EXPECT_EQ(g->GetTopRow(), 4u);
  ASSERT_TRUE(g->BringCellIntoView(100, 1, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 95u);
  EXPECT_EQ(g->CalcCellRect(100, 1).bottom, 200);
  EXPECT_FALSE(g->BringCellIntoView(100, 1, GX_UPDATENOW));  // already ends inside the window
  // A row taller than the window becomes the top row itself, never a frozen one above it.
  g->SetRowHeight(60, 60, 500, nullptr, 0);
  g->BringCellIntoView(60, 1, GX_UPDATENOW);
  EXPECT_EQ(g->GetTopRow(), 60u);
  g->SetTopRow(5, GX_UPDATENOW);
  g->BringCellIntoView(60, 1, GX_UPDATENOW);
  EXPECT_EQ(g->GetTopRow(), 60u);
  // A covered cell that starts in the frozen rows and reaches below them brings its first scrollable row.
  g->SetFeature(new CoveredBlock(CGXRange(2, 1, 6, 1)));
  g->SetTopRow(30, GX_UPDATENOW);
  EXPECT_TRUE(g->BringCellIntoView(2, 1, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 4u);
  ExpectLikeAFreshPaint(g, "after bringing rows into view");
  // Grids with only frozen rows, or none at all.
  g->SetRowCount(3, GX_UPDATENOW);
  EXPECT_FALSE(g->BringCellIntoView(3, 1, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 4u);
  g->SetRowCount(0, GX_UPDATENOW);
  EXPECT_FALSE(g->BringCellIntoView(1, 1, GX_UPDATENOW));
  EXPECT_FALSE(g->BringCellIntoView(0, 0, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 4u);
}

TEST_F(ViewTest, ScrollingOverHiddenRowsAlwaysMovesTheShownRows) {
  CGXGridWnd* g = MakeGrid(100, 3, 300, 200);
  UseTestHideCells(g);
  g->HideRows(5, 6);
  g->SetTopRow(7, GX_UPDATENOW);
  g->m_bNoUpdateAfterScroll = TRUE;
  // Up by one: the hidden rows are passed over without counting; row 4 comes into view at once.
  ASSERT_TRUE(g->ScrollByCells(GX_UP, 1));
  EXPECT_EQ(g->GetTopRow(), 4u);
  RECT r;
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(0, 20, 300, 41));
  Pump();
  // Down by one, twice: each moves one shown row out at the top, never stopping on a hidden row.
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 1));
  EXPECT_EQ(g->GetTopRow(), 7u);
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(0, 180, 300, 200));
  Pump();
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 1));
  EXPECT_EQ(g->GetTopRow(), 8u);
  Pump();
  g->m_bNoUpdateAfterScroll = FALSE;
  ASSERT_TRUE(g->ScrollByCells(GX_UP, 2));
  EXPECT_EQ(g->GetTopRow(), 4u);
  ExpectLikeAFreshPaint(g, "up over hidden rows");
  // By more rows than fit: the whole scrolled area repaints.
  g->m_bNoUpdateAfterScroll = TRUE;
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 20));
  ASSERT_TRUE(GetUpdateRect(*g, &r, FALSE));
  EXPECT_EQ(CRect(r), CRect(0, 20, 300, 200));
  Pump();
  // At the last possible top row nothing scrolls.
  g->SetTopRow(100, GX_UPDATENOW);
  EXPECT_FALSE(g->ScrollByCells(GX_DOWN, 1));
  // Columns alike: a hidden column is passed over both ways, and the setter lands on the column asked for.
  g->SetColCount(30, GX_UPDATENOW);
  g->HideCols(3, 3);
  g->SetLeftCol(4, GX_UPDATENOW);
  EXPECT_EQ(g->GetLeftCol(), 4u);
  ASSERT_TRUE(g->ScrollByCells(GX_LEFT, 1));
  EXPECT_EQ(g->GetLeftCol(), 2u);
  ASSERT_TRUE(g->ScrollByCells(GX_RIGHT, 1));
  EXPECT_EQ(g->GetLeftCol(), 4u);
}

TEST_F(ViewTest, KeysWheelScrollBarAndThumbRepaintOnlyTheNewStrip) {
  auto* g = MakeGrid<PaintRecorder>(100, 3, 300, 200, WS_VSCROLL);
  const int barWidth = 300 - g->GetGridRect().Width();  // the bar takes its width off the client area
  const int w = 300 - barWidth;
  SetFocus(*g);
  g->MoveCurrentCellTo(9, 1, GX_UPDATENOW);
  g->RedrawAll(GX_UPDATENOW);
  g->Take();
  auto& in = plat::InputRouter::Instance();
  // A key past the bottom scrolls one row: the new row and the two current cells, nothing above them.
  in.KeyPress(VK_DOWN);
  CRect p = g->Take();
  EXPECT_EQ(g->GetTopRow(), 2u);
  EXPECT_GE(p.top, 160);
  EXPECT_EQ(p.bottom, 200);
  // (No picture comparison here: a key move repaints the column header differently from a fresh paint
  // even without a scroll, which belongs to the current-cell drawing.)
  g->RedrawAll(GX_UPDATENOW);
  g->Take();
  in.Wheel(-WHEEL_DELTA, plat::InputRouter::ClientPoint(*g, 100, 100));
  EXPECT_EQ(g->Take(), CRect(0, 140, w, 200));  // three rows
  EXPECT_EQ(g->GetTopRow(), 5u);
  SendMessage(*g, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(g->Take(), CRect(0, 180, w, 200));
  SendMessage(*g, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(g->Take(), CRect(0, 20, w, 41));
  ExpectLikeAFreshPaint(g, "scroll bar");
  g->Take();
  SetScrollPos(*g, SB_VERT, 7, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
  EXPECT_EQ(g->GetTopRow(), 7u);
  EXPECT_EQ(g->Take(), CRect(0, 160, w, 200));  // two rows
  // Without thumb tracking only the thumb's release scrolls.
  g->GetParam()->m_bThumbTrack = FALSE;
  SetScrollPos(*g, SB_VERT, 60, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 60), 0);
  EXPECT_EQ(g->GetTopRow(), 7u);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 60), 0);
  EXPECT_EQ(g->GetTopRow(), 60u);
  EXPECT_EQ(g->Take(), CRect(0, 20, w, 200));  // farther than the window: all of the scrolled area
  ExpectLikeAFreshPaint(g, "thumb");
  // With frozen rows the strip lies below them.
  g->SetFrozenRows(2, 0, GX_UPDATENOW);
  g->Take();
  SendMessage(*g, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(g->Take(), CRect(0, 60, w, 81));
  in.Wheel(WHEEL_DELTA, plat::InputRouter::ClientPoint(*g, 100, 100));
  EXPECT_EQ(g->Take(), CRect(0, 60, w, 121));
  ExpectLikeAFreshPaint(g, "frozen rows");
}

TEST_F(ViewTest, ThumbWithFrozenRowsBeyond32767RowsReachesBothEnds) {
  CGXGridWnd* g = MakeGrid(100000, 3, 300, 200, WS_VSCROLL);
  g->SetFrozenRows(2, 0, GX_UPDATENOW);
  const int scale = g->GetScrollScale(SB_VERT);
  EXPECT_EQ(scale, 4);  // a maximum near 100 000: 100 000 / 32767 + 1
  int lo = -1, hi = -1;
  g->GetScrollRangeScaled(SB_VERT, &lo, &hi);
  EXPECT_EQ(lo, 0);  // the first scrollable row, scaled with the maximum
  EXPECT_GE(hi, 99990);
  SetScrollPos(*g, SB_VERT, 12345, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12345), 0);
  EXPECT_EQ(g->GetTopRow(), 12345u * 4);
  EXPECT_EQ(g->GetScrollPosScaled(SB_VERT), 12345u * 4);
  SetScrollPos(*g, SB_VERT, 0, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(g->GetTopRow(), 3u);  // never into the frozen rows
  SetScrollPos(*g, SB_VERT, hi / scale, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, (hi / scale) & 0xFFFF), 0);
  EXPECT_EQ(g->CalcCellRect(100000, 1).bottom, 200);  // the last row ends at the bottom
  // Positions below the scale go to the bar as 0; positions read back are multiples of the scale.
  g->SetScrollPosScaled(SB_VERT, 3);
  EXPECT_EQ(GetScrollPos(*g, SB_VERT), 0);
  g->SetScrollPosScaled(SB_VERT, 4003);
  EXPECT_EQ(g->GetScrollPosScaled(SB_VERT), 4000u);
}

TEST_F(ViewTest, ScrollBarPoliciesAndTheScaleBeforeAnyRange) {
  // Before any range was set the scale is 2.
  auto* raw = new CGXGridWnd;
  grid.reset(raw);
  ASSERT_TRUE(raw->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 300, 200, nullptr, nullptr));
  raw->SetScrollBarPolicy(SB_VERT, 4, FALSE);
  SetScrollRange(*raw, SB_VERT, 0, 100, FALSE);
  raw->SetScrollPosScaled(SB_VERT, 7);
  EXPECT_EQ(GetScrollPos(*raw, SB_VERT), 3);
  EXPECT_EQ(raw->GetScrollPosScaled(SB_VERT), 6u);
  EXPECT_EQ(raw->GetScrollBarPolicy(2), 0);

  // Automatic: hidden while everything fits, shown once rows no longer fit, refreshed back at the top.
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  g->SetScrollBarPolicy(SB_VERT, 2);
  g->RefreshScrollBars();
  const auto visible = [&] { return (GetWindowLong(*g, GWL_STYLE) & WS_VSCROLL) != 0; };
  EXPECT_FALSE(visible());
  g->SetRowCount(50, GX_UPDATENOW);
  g->RefreshScrollBars();
  EXPECT_TRUE(visible());
  g->SetRowCount(5, GX_UPDATENOW);
  g->RefreshScrollBars();
  EXPECT_FALSE(visible());
  ExpectLikeAFreshPaint(g, "bar gone");
  // Values 3, 5, 6 and 7 leave the bar alone.
  for (int policy : {3, 5, 6, 7}) {
    g->SetScrollBarPolicy(SB_VERT, policy, FALSE);
    ShowScrollBar(*g, SB_VERT, TRUE);
    g->SetRowCount(3, 0);
    g->RefreshScrollBars();
    EXPECT_TRUE(visible()) << policy;
    ShowScrollBar(*g, SB_VERT, FALSE);
    g->RefreshScrollBars();
    EXPECT_FALSE(visible()) << policy;
  }
  // Bit 8: no empty space after the last row; the top row is pulled back (a row count changed with flags 0
  // leaves the picture to the caller, so only the state is checked).
  g->SetScrollBarPolicy(SB_VERT, 1 | 8);
  g->SetRowCount(100, GX_UPDATENOW);
  g->SetTopRow(95, GX_UPDATENOW);
  g->SetRowCount(50, 0);
  g->RefreshScrollBars();
  EXPECT_EQ(g->CalcCellRect(50, 1).bottom, g->GetGridRect().bottom);
  EXPECT_EQ(g->GetTopRow(), 42u);

}

// A grid whose hooks refuse or count changes of the top row.
class HookedGrid : public CGXGridWnd {
 public:
  BOOL AllowTopRowChange(ROWCOL row) override {
    asked.push_back(row);
    return allow;
  }
  void TopRowChanged() override { ++changed; }
  BOOL allow = TRUE;
  std::vector<ROWCOL> asked;
  int changed = 0;
};

struct FillRecorder : CGXGridExcelLikeFillImp {
  void BeforeScrollWindow(CGXGridCore*) override { ++told; }
  int told = 0;
};

TEST_F(ViewTest, TheAllowHookCanRefuseAScrollAndTheFillFeatureHearsOfMoves) {
  auto* g = MakeGrid<HookedGrid>(100, 3, 300, 200);
  g->allow = FALSE;
  EXPECT_FALSE(g->ScrollByCells(GX_DOWN, 2));
  EXPECT_EQ(g->GetTopRow(), 1u);
  ASSERT_EQ(g->asked.size(), 1u);
  EXPECT_EQ(g->asked[0], 3u);
  EXPECT_EQ(g->changed, 0);
  g->allow = TRUE;
  EXPECT_TRUE(g->ScrollAndNotify(GX_DOWN, 2));
  EXPECT_EQ(g->changed, 1);
  auto* fill = new FillRecorder;
  g->SetFeature(fill);
  g->ScrollByCells(GX_DOWN, 1);
  EXPECT_EQ(fill->told, 0);  // only while the fill-handle switch is on
  g->GetParam()->m_bFillEnabled = TRUE;
  g->ScrollByCells(GX_DOWN, 1);
  EXPECT_EQ(fill->told, 1);
  int row = 0, col = 0;
  g->GetTopLeftCell(&row, &col);
  EXPECT_EQ(row, 5);
  EXPECT_EQ(col, 1);
}

struct MergedBlock : CGXGridMergeCellsImp {
  BOOL GetMergedCellsRange(CGXGridCore*, ROWCOL row, ROWCOL col, CGXRange& out, int) override {
    const CGXRange block(3, 2, 8, 2);
    if (!block.ContainsCell(row, col)) return FALSE;
    out = block;
    return TRUE;
  }
};

TEST_F(ViewTest, AMergedCellAcrossTheOldTopRowRepaintsWhole) {
  auto* g = MakeGrid<PaintRecorder>(100, 3, 300, 200);
  g->SetFeature(new MergedBlock);
  g->SetTopRow(5, GX_UPDATENOW);
  g->Take();
  g->GetParam()->m_wMergingMode = 1;
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 1));
  // Besides the new strip the rest of the merged block (rows 6..8 of column 2) repaints.
  const CRect p = g->Take();
  EXPECT_EQ(p.top, 20);
  EXPECT_LE(p.left, 100);
  g->GetParam()->m_wMergingMode = 0;
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 1));
  EXPECT_EQ(g->Take(), CRect(0, 180, 300, 200));
}

struct ResizeFeature : CGXGridUserResizeCellsImp {};

TEST_F(ViewTest, CursorsFollowTheFeaturesAndTheSelection) {
  CGXGridWnd* g = MakeGrid(10, 5);
  // Column boundary in the header: the resize cursor only with the user-resize feature.
  g->UpdateCursor(CPoint(97, 10));
  EXPECT_EQ(g->GetCursorId(), 0u);
  EXPECT_FALSE(g->HasUserResizeFeature());
  g->SetFeature(new ResizeFeature);
  EXPECT_TRUE(g->HasUserResizeFeature());
  g->UpdateCursor(CPoint(97, 10));
  EXPECT_EQ(g->GetCursorId(), GX_IDC_VRESIZE);
  g->UpdateCursor(CPoint(25, 38));
  EXPECT_EQ(g->GetCursorId(), GX_IDC_HRESIZE);
  // A column header: the column-selection cursor, unless the whole column is selected and can be dragged.
  g->UpdateCursor(CPoint(125, 10));
  EXPECT_EQ(g->GetCursorId(), GX_IDC_SELCOL);
  g->GetParam()->EnableDragColumns(TRUE);
  g->GetParam()->GetSelection().AddTail(new CGXRange(1, 2, 1, 2));  // one cell of the column only
  g->UpdateCursor(CPoint(125, 10));
  EXPECT_EQ(g->GetCursorId(), GX_IDC_SELCOL);
  g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignCols(2, 3)));
  g->UpdateCursor(CPoint(125, 10));
  EXPECT_EQ(g->GetCursorId(), 0u);
  g->GetParam()->SetSelectionFlags(GX_SELROW);
  g->UpdateCursor(CPoint(175, 10));  // column 3 selected too, and columns cannot be selected anyway
  EXPECT_EQ(g->GetCursorId(), 0u);
  g->UpdateCursor(CPoint(25, 70));
  EXPECT_EQ(g->GetCursorId(), GX_IDC_SELROW);
  g->SetFixedCursor(GX_IDC_SELDRAG);
  g->UpdateCursor(CPoint(125, 70));
  EXPECT_EQ(g->GetCursorId(), GX_IDC_SELDRAG);
}

TEST_F(ViewTest, AnInactiveViewShowsThePlainArrow) {
  CFrameWnd frame;
  ASSERT_TRUE(frame.Create("GXWND", "frame", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300)));
  GridView view;
  ASSERT_TRUE(view.CreateEx(0, "GXWND", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame.GetSafeHwnd(), nullptr));
  view.Initialize();
  view.SetDefaultColWidth(50, 0);
  view.SetColWidth(0, 0, 50, nullptr, 0);
  view.SetDefaultRowHeight(20, 0);
  view.SetRowHeight(0, 0, 20, nullptr, 0);
  view.SetRowCount(10, 0);
  view.SetColCount(5, 0);
  const CPoint header(125, 10);
  view.UpdateCursor(header);
  EXPECT_EQ(view.GetCursorId(), GX_IDC_SELCOL);  // without the switch the view is treated as any grid
  view.GetParam()->m_bActivateOnClick = TRUE;
  view.UpdateCursor(header);
  EXPECT_EQ(view.GetCursorId(), 0u);  // not the frame's active view
  frame.SetActiveView(&view, FALSE);
  ::SetFocus(view.GetSafeHwnd());
  view.UpdateCursor(header);
  EXPECT_EQ(view.GetCursorId(), GX_IDC_SELCOL);
  ::SetFocus(nullptr);
  view.UpdateCursor(header);
  EXPECT_EQ(view.GetCursorId(), 0u);  // no window has the focus
  frame.SetActiveView(nullptr, FALSE);
  view.DestroyWindow();
  frame.DestroyWindow();
}

TEST_F(ViewTest, TheSelectionBorderOfACoveredCurrentCellAndTheFillHandle) {
  CGXGridWnd* g = MakeGrid(20, 8);
  g->SetFeature(new CoveredBlock(CGXRange(2, 2, 3, 4)));
  g->StoreCurrentCell(TRUE, 2, 2);
  const CRect right = g->CalcCellRect(3, 4), inner = g->CalcCellRect(2, 2);
  const CPoint nearRightEdge(right.right - 2, right.CenterPoint().y);
  const CPoint innerRightEdge(inner.right - 2, inner.CenterPoint().y);
  // Off while neither switch is set.
  EXPECT_EQ(g->HitTestSelectionEdge(3, 4, nearRightEdge, right), GX_NOHIT);
  g->m_bSelectionEdge = TRUE;
  // The covered block is the current cell: its outer edge is the border, its inner seams are not.
  EXPECT_EQ(g->HitTestSelectionEdge(3, 4, nearRightEdge, right), GX_SELEDGEHIT);
  EXPECT_EQ(g->HitTestSelectionEdge(2, 2, innerRightEdge, inner), GX_NOHIT);
  EXPECT_EQ(g->HitTest(nearRightEdge), GX_SELEDGEHIT);
  // The fill handle: within 5 pixels of the block's bottom-right corner.
  g->GetParam()->m_bFillEnabled = TRUE;
  EXPECT_EQ(g->HitTestSelectionEdge(3, 4, CPoint(right.right - 2, right.bottom - 2), right), GX_FILLHANDLEHIT);
  EXPECT_EQ(g->HitTestSelectionEdge(3, 4, CPoint(right.right - 2, right.bottom - 6), right), GX_SELEDGEHIT);
  g->m_bSelectionEdge = FALSE;  // the fill-handle switch alone is enough
  EXPECT_EQ(g->HitTestSelectionEdge(3, 4, CPoint(right.right - 2, right.bottom - 2), right), GX_FILLHANDLEHIT);
}

// Two views of one document: each sends its hints straight to the other.
class ViewPair : public CGXGridWnd {
 public:
  void NotifyOtherViews(CGXGridHint* hint) override {
    ids.push_back(hint->m_id);
    if (peer) peer->ProcessHint(hint);
  }
  void BindToDocument() { m_pDocument = &doc; }
  CDocument doc;
  BOOL CompleteCellEdit(BOOL store, UINT flags, BOOL hint) override {
    if (refuseEdit) return FALSE;
    return CGXGridWnd::CompleteCellEdit(store, flags, hint);
  }
  // The refreshes that hints 21 and 33 to 35 run, recorded (by the argument they carry) before they run.
  void UpdateReadOnly(BOOL old, BOOL hint) override {
    refreshed.push_back("read-only " + std::to_string(old));
    CGXGridWnd::UpdateReadOnly(old, hint);
  }
  void RefreshAfterProperties(UINT flags, BOOL hint) override {
    refreshed.push_back("properties");
    CGXGridWnd::RefreshAfterProperties(flags, hint);
  }
  void RefreshAfterStylesMap(UINT flags, BOOL hint) override {
    refreshed.push_back("styles map");
    CGXGridWnd::RefreshAfterStylesMap(flags, hint);
  }
  void RefreshAfterBaseStyle(WORD id, UINT flags, BOOL hint) override {
    refreshed.push_back("base style " + std::to_string(id));
    CGXGridWnd::RefreshAfterBaseStyle(id, flags, hint);
  }
  ViewPair* peer = nullptr;
  BOOL refuseEdit = FALSE;
  std::vector<DWORD> ids;
  std::vector<std::string> refreshed;
};

// Two views of one document (one parameter object), side by side; `a` sends to `b`.
struct TwoViews {
  TwoViews(ViewTest& t, ROWCOL rows, ROWCOL cols) {
    a = t.MakeGrid<ViewPair>(rows, cols, 300, 200);
    b = new ViewPair;
    bOwner.reset(b);
    EXPECT_TRUE(b->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 400, 0, 300, 200, nullptr, nullptr));
    b->InitializeFromStyle();
    b->AttachParam(a->GetParam(), FALSE);
    a->peer = b;
    for (ViewPair* v : {a, b}) {
      v->InstallUpdateHintImp();
      v->m_bHintSwitch = TRUE;
      v->BindToDocument();
    }
  }
  ~TwoViews() {
    a->peer = nullptr;
    bOwner.reset();
  }
  ViewPair* a;
  ViewPair* b;
  std::unique_ptr<CGXGridWnd> bOwner;
};

struct SelectionHints : CGXGridUserSelectRangeImp {
  void OnSelectionChangedHint(CGXGridCore*, DWORD_PTR arg, ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) override {
    changed = CGXRange(t, l, b, r);
    this->arg = arg;
  }
  void OnSelectionClearedHint(CGXGridCore*) override { ++cleared; }
  void OnRangeChangedHint(CGXGridCore*, const CGXRange& range, DWORD extra) override {
    ranged = range;
    this->extra = extra;
  }
  CGXRange changed, ranged;
  DWORD_PTR arg = 0;
  DWORD extra = 0;
  int cleared = 0;
};

TEST_F(ViewTest, HintsKeepTwoViewsOfOneDocumentInStep) {
  auto* a = MakeGrid<ViewPair>(50, 5, 300, 200);
  auto* b = new ViewPair;
  std::unique_ptr<CGXGridWnd> bOwner(b);
  ASSERT_TRUE(b->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
  b->InitializeFromStyle();
  b->AttachParam(a->GetParam(), FALSE);  // one document: one parameter object
  a->peer = b;
  for (ViewPair* v : {a, b}) {
    v->InstallUpdateHintImp();
    v->m_bHintSwitch = TRUE;
    v->BindToDocument();
  }
  b->SetTopRow(10, 0);
  a->InsertRows(2, 3, nullptr, nullptr, nullptr, 0, GX_INVALIDATE);
  EXPECT_EQ(b->GetTopRow(), 13u);  // the other view keeps showing the same rows
  EXPECT_TRUE(b->ids.empty());     // executing a hint builds none
  // The builders fill the fields the receivers read.
  CGXGridUpdateHintImp* hints = a->GetUpdateHintImp();
  hints->HintRemoveRows(a, 2, 4, nullptr, GX_INVALIDATE);
  EXPECT_EQ(b->GetTopRow(), 10u);
  hints->HintCurrentCellMoved(a, 7, 3, GX_INVALIDATE);
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(b->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 7u);
  EXPECT_EQ(col, 3u);
  EXPECT_EQ(hints->HintCheckCurrentCell(a, TRUE, 0), 1u);
  b->refuseEdit = TRUE;
  EXPECT_EQ(hints->HintCheckCurrentCell(a, TRUE, 0), 0u);  // the other view's answer is ANDed in
  // Selection hints reach the other view's selection feature.
  auto* sel = new SelectionHints;
  b->SetFeature(sel);
  hints->HintSelectionChanged(a, 5, 1, 2, 3, 4);
  EXPECT_EQ(sel->changed, CGXRange(1, 2, 3, 4));
  EXPECT_EQ(sel->arg, 5u);
  hints->HintSelectionCleared(a);
  EXPECT_EQ(sel->cleared, 1);
  hints->HintRangeChanged(a, CGXRange(4, 4), 9);
  EXPECT_EQ(sel->ranged, CGXRange(4, 4));
  EXPECT_EQ(sel->extra, 9u);
  // Zoom hints are executed only while floating cells are on.
  hints->HintStoreZoom(a, 150);
  EXPECT_EQ(b->GetZoom(), 100);
  a->GetParam()->m_wFloatingMode = 1;
  hints->HintStoreZoom(a, 150);
  EXPECT_EQ(b->GetZoom(), 150);
  a->GetParam()->m_wFloatingMode = 0;
  // Another group's hints are ignored; the splitter hints have no pane to reach.
  b->m_nHintGroup = 3;
  hints->HintRedrawAll(a, GX_INVALIDATE);
  hints->HintInsertRows(a, 1, 2, GX_INVALIDATE);
  EXPECT_EQ(b->GetTopRow(), 10u);
  const size_t sent = a->ids.size();
  hints->HintTopRow(a, 20, GX_UPDATENOW);
  EXPECT_EQ(a->ids.size(), sent);
  a->peer = nullptr;
  bOwner.reset();
}

TEST_F(ViewTest, OptimizedRedrawOfResizedRowsMovesTheRowsBelow) {
  auto* g = MakeGrid<PaintRecorder>(50, 3, 300, 200);
  for (ROWCOL r = 1; r <= 50; ++r) g->SetCellValue(r, 1, CString(static_cast<char>('A' + r % 26)), 0);
  g->RedrawAll(GX_UPDATENOW);
  g->Take();
  // Row 3 grows from 20 to 30: the rows below move down, only row 3 and the uncovered end repaint.
  const int old[] = {20};
  g->SetRowHeight(3, 3, 30, nullptr, 0);
  g->InstallOptimizedUpdateImp();
  g->GetOptimizedUpdateImp()->OptimizedRowHeights(g, 3, 3, old, GX_UPDATENOW);
  CRect p = g->Take();
  EXPECT_EQ(p.top, 60);
  EXPECT_LE(p.bottom, 200);
  ExpectLikeAFreshPaint(g, "grown row");
  g->Take();
  // Shrinking back uncovers a strip at the bottom, which repaints too.
  const int grown[] = {30};
  g->SetRowHeight(3, 3, 20, nullptr, 0);
  g->GetOptimizedUpdateImp()->OptimizedRowHeights(g, 3, 3, grown, GX_UPDATENOW);
  p = g->Take();
  EXPECT_EQ(p.top, 60);
  EXPECT_EQ(p.bottom, 200);
  ExpectLikeAFreshPaint(g, "shrunk row");
  // Flags 0 change nothing on screen; rows scrolled out above paint nothing either.
  g->Take();
  g->GetOptimizedUpdateImp()->OptimizedRowHeights(g, 3, 3, grown, 0);
  g->SetTopRow(20, GX_UPDATENOW);
  g->Take();
  g->GetOptimizedUpdateImp()->OptimizedRowHeights(g, 5, 6, nullptr, GX_UPDATENOW);
  EXPECT_TRUE(g->Take().IsRectEmpty());
  // Rows removed across the top row, with their old heights: the two that were shown (40 pixels) go, the
  // rows below move up and the first row after the block becomes the top row.
  g->SetTopRow(10, GX_UPDATENOW);
  g->GetParam()->m_bNumberRows = FALSE;  // numbered row headers below the block would repaint as well
  g->RedrawAll(GX_UPDATENOW);
  g->Take();
  ASSERT_TRUE(g->StoreRemoveRows(8, 11));
  const int removedHeights[] = {20, 20, 20, 20};
  g->GetOptimizedUpdateImp()->OptimizedRemoveRows(g, 8, 11, removedHeights, GX_UPDATENOW);
  EXPECT_EQ(g->GetTopRow(), 8u);
  p = g->Take();
  EXPECT_EQ(CRectStr(p), CRectStr(CRect(0, 160, 300, 200)));  // only the strip uncovered at the bottom
  ExpectLikeAFreshPaint(g, "removed across the top row");
  g->Take();
  // Rows removed wholly above the top row move nothing on screen.
  ASSERT_TRUE(g->StoreRemoveRows(2, 3));
  const int above[] = {20, 20};
  g->GetOptimizedUpdateImp()->OptimizedRemoveRows(g, 2, 3, above, GX_UPDATENOW);
  EXPECT_EQ(g->GetTopRow(), 6u);
  EXPECT_TRUE(g->Take().IsRectEmpty());
  g->GetParam()->m_bNumberRows = TRUE;
  g->RedrawAll(GX_UPDATENOW);
  // Removing rows with their old heights: the rows below move up; the top row never enters frozen rows.
  g->SetFrozenRows(2, 0, GX_UPDATENOW);
  ASSERT_TRUE(g->RemoveRows(3, 49, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 3u);
  ExpectLikeAFreshPaint(g, "removed");
}

struct NameHook : CGXGridInitHook {
  void OnGridInitialized(CWnd* wnd, const CString& name, BOOL hasName) override {
    calls.push_back({wnd, std::string(name.GetString()), hasName});
  }
  struct Call {
    CWnd* wnd;
    std::string name;
    BOOL hasName;
  };
  std::vector<Call> calls;
};

TEST_F(ViewTest, TheOtherViewFollowsTheCurrentCellZoomReadOnlyAndStyleChanges) {
  TwoViews v(*this, 30, 5);
  ViewPair *a = v.a, *b = v.b;
  // The current cell: followed only while the switch asks for it, and never for a move flagged 0x40.
  ASSERT_TRUE(a->MoveCurrentCellTo(4, 2, GX_UPDATENOW));
  ROWCOL row = 0, col = 0;
  EXPECT_FALSE(b->QueryCurrentCell(&row, &col) && row == 4);
  a->GetParam()->m_bHintCurrentCellMoves = TRUE;
  ASSERT_TRUE(a->MoveCurrentCellTo(6, 3, GX_UPDATENOW));
  ASSERT_TRUE(b->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 6u);
  EXPECT_EQ(col, 3u);
  ASSERT_TRUE(a->MoveCurrentCellTo(7, 3, GX_UPDATENOW | 0x40));
  ASSERT_TRUE(b->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 6u);
  EXPECT_TRUE(b->ids.empty());  // following builds no hint of its own
  // Completing the edit asks the other view too; its refusal is the answer.
  EXPECT_TRUE(a->CompleteCellEdit(TRUE, 0, TRUE));
  b->refuseEdit = TRUE;
  EXPECT_FALSE(a->CompleteCellEdit(TRUE, 0, TRUE));
  EXPECT_TRUE(a->CompleteCellEdit(TRUE, 0, FALSE));  // without the hint only this view answers
  b->refuseEdit = FALSE;
  // Zoom: both hints carry the value (the other view follows only while floating cells are on).
  a->GetParam()->m_wFloatingMode = 1;
  ASSERT_TRUE(a->SetZoom(150, GX_INVALIDATE));
  EXPECT_EQ(b->GetZoom(), 150);
  a->GetParam()->m_wFloatingMode = 0;
  ASSERT_TRUE(a->SetZoom(100, GX_INVALIDATE));
  EXPECT_EQ(b->GetZoom(), 150);
  // Read-only carries the old state; the styles map, the properties and a base style run the refreshes.
  ASSERT_TRUE(a->SetReadOnly(TRUE));
  ASSERT_TRUE(a->SetReadOnly(FALSE));
  const CGXStylesMap mapCopy(*a->GetStylesMap());
  ASSERT_TRUE(a->ReplaceStylesMap(mapCopy, GX_INVALIDATE));
  const CGXProperties propertiesCopy(*a->GetProperties());
  ASSERT_TRUE(a->ReplaceProperties(propertiesCopy, GX_INVALIDATE));
  const WORD standard = a->GetStylesMap()->GetStandardStyle();
  ASSERT_TRUE(a->ModifyBaseStyle(standard, CGXStyle().SetValue("x"), gxOverride, GX_INVALIDATE));
  const std::vector<std::string> expected = {"read-only 0", "read-only 1", "styles map", "properties",
                                             "base style " + std::to_string(standard)};
  EXPECT_EQ(b->refreshed, expected);
  // The styles map was assigned in place: the other view looked its base styles up again and paints.
  b->RedrawAll(GX_UPDATENOW);
  // A view that is not a pane of a splitter does not follow the top row or the left column.
  a->SetTopRow(12, GX_UPDATENOW, TRUE);
  a->SetLeftCol(3, GX_UPDATENOW, TRUE);
  EXPECT_EQ(b->GetTopRow(), 1u);
  EXPECT_EQ(b->GetLeftCol(), 1u);
  EXPECT_EQ(std::count(a->ids.begin(), a->ids.end(), gxHintTopRow), 0);
  // The sheet-text hint reaches the process-wide hook with the receiving view and the parameter's name.
  auto* hook = new NameHook;
  CGXGridGlobals::Get().m_pInitHook.reset(hook);
  a->GetParam()->m_sName = "Sheet 2";
  a->GetUpdateHintImp()->HintSheetText(a);
  ASSERT_EQ(hook->calls.size(), 1u);
  EXPECT_EQ(hook->calls[0].wnd, b);
  EXPECT_EQ(hook->calls[0].name, "Sheet 2");
  EXPECT_TRUE(hook->calls[0].hasName);
  CGXGridGlobals::Get().m_pInitHook.reset();
}

struct StructureListener : CGXGridListener {
  explicit StructureListener(int* n) : count(n) {}
  void OnGridStructureChanged(CGXGridCore*) override { ++*count; }
  int* count;
};

// The other view repaints resized and removed rows with the sender's old sizes, and both views' listeners
// hear of every structure change.
TEST_F(ViewTest, StructureChangesReachTheOtherViewWithTheOldSizesAndTheListeners) {
  TwoViews v(*this, 40, 5);
  ViewPair *a = v.a, *b = v.b;
  for (ROWCOL r = 1; r <= 40; ++r) a->SetCellValue(r, 1, CString(static_cast<char>('A' + r % 26)), 0);
  int heardA = 0, heardB = 0;
  a->SetListener(new StructureListener(&heardA));
  b->SetListener(new StructureListener(&heardB));
  a->RedrawAll(GX_UPDATENOW);
  b->RedrawAll(GX_UPDATENOW);
  ASSERT_TRUE(a->SetRowHeight(3, 4, 35, nullptr, GX_UPDATENOW));
  ExpectLikeAFreshPaint(b, "other view, resized rows");
  ExpectLikeAFreshPaint(a, "resized rows");
  ASSERT_TRUE(a->SetColWidth(2, 2, 80, nullptr, GX_UPDATENOW));
  ExpectLikeAFreshPaint(b, "other view, resized column");
  ASSERT_TRUE(a->RemoveRows(2, 5, GX_UPDATENOW));
  ExpectLikeAFreshPaint(b, "other view, removed rows");
  ExpectLikeAFreshPaint(a, "removed rows");
  ASSERT_TRUE(a->RemoveCols(2, 2, GX_UPDATENOW));
  ExpectLikeAFreshPaint(b, "other view, removed column");
  EXPECT_EQ(heardA, 2);
  EXPECT_EQ(heardB, 2);
  ASSERT_TRUE(a->InsertRows(3, 2, nullptr, nullptr, nullptr, 0, GX_UPDATENOW));
  ASSERT_TRUE(a->InsertCols(1, 1, nullptr, nullptr, nullptr, 0, GX_UPDATENOW));
  ExpectLikeAFreshPaint(b, "other view, inserted rows and columns");
  EXPECT_EQ(heardA, 4);
  EXPECT_EQ(heardB, 4);
  // A count changed in place tells the listener as well, and so does a change while updates are locked.
  ASSERT_TRUE(a->StoreRowCount(50));
  a->UpdateChangedRowCount(38, GX_UPDATENOW, TRUE);
  a->LockUpdate(TRUE);
  a->UpdateChangedColCount(5, 0, TRUE);
  a->LockUpdate(FALSE);
  EXPECT_EQ(heardA, 6);
  EXPECT_EQ(heardB, 6);
  EXPECT_EQ(b->GetRowCount(), 50u);
}

TEST_F(ViewTest, ResizedRowsAndColumnsMoveTheCellsBehindThemInsteadOfRepaintingThem) {
  auto* g = MakeGrid<PaintRecorder>(50, 8, 300, 200);
  g->GetParam()->m_bNumberRows = FALSE;
  for (ROWCOL r = 1; r <= 50; ++r) g->SetCellValue(r, 1, CString(static_cast<char>('A' + r % 26)), 0);
  g->RedrawAll(GX_UPDATENOW);
  g->Take();
  // Row 3 grows by 15: row 3 repaints and the rows below move; at most the new row and the bottom strip
  // are drawn, never the rows above.
  ASSERT_TRUE(g->SetRowHeight(3, 3, 35, nullptr, GX_UPDATENOW));
  CRect p = g->Take();
  EXPECT_EQ(p.top, 60);
  EXPECT_LE(p.bottom, 95);  // row 3 only: the rows below moved with the window contents
  ExpectLikeAFreshPaint(g, "grown row");
  g->Take();
  // Shrinking it uncovers a strip at the bottom.
  ASSERT_TRUE(g->SetRowHeight(3, 3, 20, nullptr, GX_UPDATENOW));
  p = g->Take();
  EXPECT_EQ(p.top, 60);
  ExpectLikeAFreshPaint(g, "shrunk row");
  g->Take();
  // Columns alike.
  ASSERT_TRUE(g->SetColWidth(2, 2, 70, nullptr, GX_UPDATENOW));
  p = g->Take();
  EXPECT_EQ(p.left, 100);
  EXPECT_LE(p.right, 170);
  ExpectLikeAFreshPaint(g, "wider column");
  g->Take();
  // Removed rows: the extent that disappears comes from their old heights, the rows below move up.
  ASSERT_TRUE(g->SetRowHeight(5, 5, 40, nullptr, GX_UPDATENOW));
  g->RedrawAll(GX_UPDATENOW);
  g->Take();
  ASSERT_TRUE(g->StoreRemoveRows(4, 5));
  const int oldHeights[] = {20, 40};
  g->UpdateRemoveRows(4, 5, oldHeights, GX_UPDATENOW, FALSE);
  // Only the 60 pixels of rows 4 and 5 uncovered at the bottom.
  EXPECT_EQ(CRectStr(g->Take()), CRectStr(CRect(0, 140, 300, 200)));
  ExpectLikeAFreshPaint(g, "removed rows");
  // (The undoable removal ends by repainting the changed cells, which asks for the whole window.)
  ASSERT_TRUE(g->RemoveRows(4, 5, GX_UPDATENOW));
  ExpectLikeAFreshPaint(g, "removed rows, undoable");
  g->Take();
  ASSERT_TRUE(g->RemoveCols(2, 2, GX_UPDATENOW));
  ExpectLikeAFreshPaint(g, "removed column");
}

TEST_F(ViewTest, TheTopRowAndLeftColumnSettersReachCellsFartherThanAWindow) {
  CGXGridWnd* g = MakeGrid(5000, 300, 300, 200);
  g->SetFrozenRows(2, 0, GX_UPDATENOW);
  g->SetFrozenCols(1, 0, GX_UPDATENOW);
  UseTestHideCells(g);
  g->HideRows(2500, 2500);
  for (UINT flags : {UINT{GX_UPDATENOW}, UINT{GX_INVALIDATE}, UINT{0}}) {
    g->SetTopRow(4000, flags);
    EXPECT_EQ(g->GetTopRow(), 4000u) << flags;
    g->SetTopRow(10, flags);
    EXPECT_EQ(g->GetTopRow(), 10u) << flags;
    g->SetTopRow(2499, flags);
    g->SetTopRow(2501, flags);  // over the hidden row
    EXPECT_EQ(g->GetTopRow(), 2501u) << flags;
    g->SetTopRow(100, flags);
    EXPECT_EQ(g->GetTopRow(), 100u) << flags;
    g->SetLeftCol(250, flags);
    EXPECT_EQ(g->GetLeftCol(), 250u) << flags;
    g->SetLeftCol(2, flags);
    EXPECT_EQ(g->GetLeftCol(), 2u) << flags;
    g->SetLeftCol(200, flags);
    EXPECT_EQ(g->GetLeftCol(), 200u) << flags;
  }
  ExpectLikeAFreshPaint(g, "after far jumps");
  // The far end: the last possible top row, whatever is asked beyond it.
  g->SetTopRow(5000, GX_UPDATENOW);
  EXPECT_EQ(g->CalcCellRect(5000, 1).bottom, g->GetGridRect().bottom);
  EXPECT_TRUE(g->BringCellIntoView(20, 100, GX_UPDATENOW));
  EXPECT_EQ(g->GetTopRow(), 20u);
  ExpectLikeAFreshPaint(g, "brought back");
}

TEST_F(ViewTest, ScrollBarScalingBeyondTwoToThe31RowsAndColumns) {
  CGXGridWnd* g = MakeGrid(10, 10, 300, 200, WS_VSCROLL | WS_HSCROLL);
  g->SetScrollBarPolicy(SB_BOTH, 1, FALSE);
  g->SetRowCount(3000000000u, 0);
  g->SetColCount(3000000000u, 0);
  g->SetTopRow(2999999990u, 0);
  g->SetLeftCol(2999999990u, 0);
  g->RefreshScrollBars();
  for (int bar : {SB_VERT, SB_HORZ}) {
    const int scale = g->GetScrollScale(bar);
    EXPECT_GT(scale, 65536) << bar;
    // Row numbers go beyond an int: the scaled range saturates instead of wrapping.
    int lo = -1, hi = -1;
    g->GetScrollRangeScaled(bar, &lo, &hi);
    EXPECT_EQ(hi, INT_MAX) << bar;
    EXPECT_GE(lo, 0) << bar;
    EXPECT_GT(g->GetScrollPosScaled(bar), 2999000000u) << bar;
    EXPECT_EQ(g->SetScrollPosScaled(bar, 10), INT_MAX) << bar;  // the previous position, saturated
    EXPECT_EQ(g->SetScrollPosScaled(bar, 3u * scale), 0) << bar;
    EXPECT_EQ(g->GetScrollPosScaled(bar), 3u * scale) << bar;
  }
}

TEST_F(ViewTest, ScrollingByEverythingStopsAtTheFirstScrollableRowAndColumn) {
  CGXGridWnd* g = MakeGrid(100, 100, 300, 200);
  g->SetFrozenRows(2, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  g->SetTopRow(50, 0);
  g->SetLeftCol(50, 0);
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_TRUE(g->ScrollByCells(GX_UP, GX_MAXROWCOL));
  EXPECT_EQ(g->GetTopRow(), 3u);
  EXPECT_TRUE(g->ScrollByCells(GX_LEFT, GX_MAXROWCOL));
  EXPECT_EQ(g->GetLeftCol(), 2u);
  ExpectLikeAFreshPaint(g, "scrolled back by everything");
  g->SetFrozenRows(0, 0, 0);
  g->SetTopRow(50, GX_UPDATENOW);
  EXPECT_TRUE(g->ScrollByCells(GX_UP, 0xFFFFFFFFu));
  EXPECT_EQ(g->GetTopRow(), 1u);
  EXPECT_FALSE(g->ScrollByCells(GX_UP, 0xFFFFFFFFu));  // already there
}

// A control that edits without a window: it counts its stores and the hiding of its window part, and can
// keep that window while the grid scrolls.
class ScrollWatchingControl : public CGXStatic {
 public:
  using CGXStatic::CGXStatic;
  void SetEditingState(BOOL b) override { editing = b; }
  BOOL GetEditingState() const override { return editing; }
  void SetModifiedState(BOOL b) override { modified = b; }
  BOOL GetModifiedState() const override { return modified; }
  BOOL StoreValue() override { return ++stores, TRUE; }
  void HideWindowPart() override { ++hides; }
  BOOL KeepWindowOnScroll() override { return keep; }
  void Edit() { editing = modified = TRUE; }
  BOOL editing = FALSE, modified = FALSE, keep = FALSE;
  int stores = 0, hides = 0;
};

TEST_F(ViewTest, AnEditedCoveredCellAcrossTheFrozenRowsStoresBeforeEveryScroll) {
  CGXGridWnd* g = MakeGrid(100, 30, 300, 200, WS_VSCROLL | WS_HSCROLL);
  auto* control = new ScrollWatchingControl(g);
  UseInEveryCell(g, control);
  g->SetFrozenRows(2, 0, 0);
  g->SetFeature(new CoveredBlock(CGXRange(2, 1, 4, 2)));  // rows 2-4: across the frozen seam
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
  ASSERT_EQ(g->ControlOfCurrentCell(), control);
  // The scroll bar.
  control->Edit();
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_FALSE(control->editing);
  EXPECT_EQ(control->stores, 1);
  EXPECT_EQ(g->GetTopRow(), 4u);
  control->Edit();
  SendMessage(*g, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
  EXPECT_FALSE(control->editing);
  EXPECT_EQ(control->stores, 2);
  // The wheel scrolls like the bar.
  control->Edit();
  SendMessage(*g, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_FALSE(control->editing);
  EXPECT_EQ(control->stores, 3);
  EXPECT_EQ(g->GetTopRow(), 7u);
  // Bringing a cell into view, downwards and back up.
  control->Edit();
  EXPECT_TRUE(g->BringCellIntoView(60, 1, GX_UPDATENOW));
  EXPECT_FALSE(control->editing);
  EXPECT_EQ(control->stores, 4);
  control->Edit();
  EXPECT_TRUE(g->BringCellIntoView(5, 1, GX_UPDATENOW));
  EXPECT_EQ(control->stores, 5);
  control->Edit();
  EXPECT_TRUE(g->BringCellIntoView(5, 29, GX_UPDATENOW));
  EXPECT_EQ(control->stores, 6);
  // An edit that is not across the seam goes on while the grid scrolls.
  g->SetFrozenRows(1, 0, 0);
  control->Edit();
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_TRUE(control->editing);
  EXPECT_EQ(control->stores, 6);
}

TEST_F(ViewTest, AControlThatKeepsItsWindowIsNotHiddenWhenItsCellScrollsAway) {
  CGXGridWnd* g = MakeGrid(100, 30, 300, 200);
  auto* control = new ScrollWatchingControl(g);
  UseInEveryCell(g, control);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  control->Edit();
  control->hides = 0;
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 3));
  EXPECT_EQ(control->hides, 1);
  ASSERT_TRUE(g->ScrollByCells(GX_UP, 3));
  control->keep = TRUE;
  control->hides = 0;
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 3));
  ASSERT_TRUE(g->ScrollByCells(GX_RIGHT, 3));
  EXPECT_EQ(control->hides, 0);
}

// Hidden lines before the first shown one are no place to scroll to: a grid whose shown rows and columns fill its
// window exactly shows neither bar, though its first scrollable row and column are hidden.
TEST_F(ViewTest, HiddenFirstLinesAloneGiveNoScrollBar) {
  // The hide feature answers the previous shown line, as the library's own does.
  struct Jumping : TestHideCells {
    ROWCOL PrevShownRow(CGXGridCore*, ROWCOL row) override {
      while (row && rows.count(row)) --row;
      return row;
    }
    ROWCOL PrevShownCol(CGXGridCore*, ROWCOL col) override {
      while (col && cols.count(col)) --col;
      return col;
    }
  };
  CGXGridWnd* g = MakeGrid(4, 4, 300, 200);
  g->SetFeature(new Jumping);
  g->SetScrollBarPolicy(SB_BOTH, 2);
  const CRect area = g->GetGridRect();
  g->HideCols(1, 1);
  g->HideRows(1, 1);
  g->SetColWidth(0, 0, 40);
  g->SetColWidth(2, 3, (area.Width() - 40) / 3);
  g->SetColWidth(4, 4, area.Width() - 40 - 2 * ((area.Width() - 40) / 3));
  g->SetRowHeight(0, 0, 20);
  g->SetRowHeight(2, 3, (area.Height() - 20) / 3);
  g->SetRowHeight(4, 4, area.Height() - 20 - 2 * ((area.Height() - 20) / 3));
  g->RefreshScrollBars();
  EXPECT_EQ(GetWindowLong(*g, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  // One pixel more is a place to scroll to.
  g->SetColWidth(4, 4, g->GetColWidth(4) + 1);
  g->RefreshScrollBars();
  EXPECT_NE(GetWindowLong(*g, GWL_STYLE) & WS_HSCROLL, 0);
}

TEST_F(ViewTest, TheThumbOverHiddenRowsAloneDoesNotScroll) {
  CGXGridWnd* g = MakeGrid(100, 30, 300, 200, WS_VSCROLL | WS_HSCROLL);
  g->SetTopRow(20, GX_UPDATENOW);
  g->SetLeftCol(20, GX_UPDATENOW);
  UseTestHideCells(g);
  g->HideRows(10, 19);
  g->HideCols(10, 19);
  g->RefreshScrollBars();
  ASSERT_EQ(g->GetScrollScale(SB_VERT), 1);
  ASSERT_EQ(g->GetScrollScale(SB_HORZ), 1);
  // Rows 12-19 have no height: the picture with top row 12 is the picture with top row 20.
  SetScrollPos(*g, SB_VERT, 12, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), 0);
  EXPECT_EQ(g->GetTopRow(), 20u);
  SetScrollPos(*g, SB_HORZ, 12, FALSE);
  SendMessage(*g, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12), 0);
  EXPECT_EQ(g->GetLeftCol(), 20u);
  // One shown row in between is enough.
  SetScrollPos(*g, SB_VERT, 9, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 9), 0);
  EXPECT_EQ(g->GetTopRow(), 9u);
  SetScrollPos(*g, SB_VERT, 30, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
  EXPECT_EQ(g->GetTopRow(), 30u);
}

TEST_F(ViewTest, AParentsSharedScrollBarGetsTheRangeAndPositionAndDrivesTheThumb) {
  SharedBarParent sheet("GXViewSharedBarSheet", WS_CHILD | WS_VISIBLE | SBS_VERT);
  ASSERT_TRUE(sheet.created);
  HWND parent = sheet.hwnd;
  CScrollBar& bar = sheet.bar;
  CGXGridWnd* g = MakeGrid(100000, 3, 300, 200, 0, parent);
  // Still shared after the first paint: a range set on the grid window's own bar would have shown that bar,
  // and a grid with its own bar leaves the parent's alone.
  ASSERT_EQ(g->GetSharedScrollBar(SB_VERT), &bar);
  g->SetScrollBarPolicy(SB_VERT, 4 | 8, FALSE);
  g->SetTopRow(500, GX_UPDATENOW);
  g->RefreshScrollBars();
  int lo = -1, hi = -1;
  GetScrollRange(bar, SB_CTL, &lo, &hi);
  EXPECT_EQ(hi, static_cast<int>(100000 / g->GetScrollScale(SB_VERT)));
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), static_cast<int>(500 / g->GetScrollScale(SB_VERT)));
  EXPECT_EQ(GetScrollPos(*g, SB_VERT), 0);  // not the grid window's own (hidden) bar
  // The grid's own scaled readings come from the shared bar.
  g->GetScrollRangeScaled(SB_VERT, &lo, &hi);
  EXPECT_GE(hi, 99990);
  EXPECT_EQ(g->GetScrollPosScaled(SB_VERT), 500u);
  // A scroll moves the shared bar; its thumb scrolls the grid.
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 100));
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), static_cast<int>(600 / g->GetScrollScale(SB_VERT)));
  SetScrollPos(bar, SB_CTL, 1000, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), reinterpret_cast<LPARAM>(bar.m_hWnd));
  EXPECT_EQ(g->GetTopRow(), 1000u * g->GetScrollScale(SB_VERT));
  SetScrollPos(bar, SB_CTL, 2000, FALSE);
  SendMessage(*g, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2000), 0);  // passed on by the parent
  EXPECT_EQ(g->GetTopRow(), 2000u * g->GetScrollScale(SB_VERT));
  grid.reset();
  bar.DestroyWindow();
  DestroyWindow(parent);
}

}  // namespace
}  // namespace enginetest
