// Moving rows and columns: the move itself with everything that follows the lines (cells, heights, hidden
// marks, selection, current cell, undo), the hidden-mark bit sets, and dragging selected rows by their
// headers with the mouse.
#include "grid/core/CGXGridHint.h"
#include "grid/core/gxcursors.h"
#include "grid/features/CGXDragLineWnd.h"
#include "grid/features/CGXHideCellsImp.h"
#include "grid/features/CGXMergeCells.h"
#include "grid/features/CGXMoveRowsColsImp.h"
#include "grid/features/CGXUserDragSelectRangeImp.h"
#include "grid/features/CGXUserSelectRangeImp.h"
#include "grid/features/tests/interactiontest.h"
#include "platform/window/Cursors.h"

#include <algorithm>
#include <memory>

namespace {

using interactiontest::InteractionTest;

// Counts the calls of the move's screen update, as the module's pages override it.
class CountingGrid : public CGXGridWnd {
 public:
  void UpdateMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) override {
    ++updates;
    CGXGridWnd::UpdateMovedRows(from, to, dest, flags, createHint);
  }
  int updates = 0;
};

class MoveTest : public InteractionTest {
 protected:
  template <class Grid = CGXGridWnd>
  Grid* MakeNumbered(ROWCOL rows, ROWCOL cols = 3) {
    Grid* g = MakeFocused<Grid>(rows, cols);
    for (ROWCOL r = 1; r <= rows; ++r) g->SetCellValue(r, 1, ("r" + std::to_string(r)).c_str());
    return g;
  }
  static std::string Column(CGXGridCore* g) {
    std::string out;
    for (ROWCOL r = 1; r <= g->GetRowCount(); ++r) out += std::string(g->GetCellValue(r, 1)) + " ";
    return out;
  }
  static ROWCOL CurrentRow(CGXGridCore* g) {
    ROWCOL r = 0, c = 0;
    return g->QueryCurrentCell(&r, &c) ? r : 0;
  }
};

TEST_F(MoveTest, LinesBetweenTheBlockAndItsPlaceShiftAndNoOtherLineMoves) {
  // Rows 2..3 to 5 in ten rows: the block lands on 5 and 6, old 4..6 become 2..4.
  const ROWCOL expected[] = {0, 1, 5, 6, 2, 3, 4, 7, 8, 9, 10};
  for (ROWCOL r = 1; r <= 10; ++r) EXPECT_EQ(CGXMoveRowsColsImp::MovedIndex(r, 2, 3, 5), expected[r]) << r;
  // Rows 5..6 to 2: the block lands on 2 and 3, old 2..4 become 4..6.
  EXPECT_EQ(CGXMoveRowsColsImp::MovedIndex(5, 5, 6, 2), 2u);
  EXPECT_EQ(CGXMoveRowsColsImp::MovedIndex(2, 5, 6, 2), 4u);
  EXPECT_EQ(CGXMoveRowsColsImp::MovedIndex(4, 5, 6, 2), 6u);
  EXPECT_EQ(CGXMoveRowsColsImp::MovedIndex(7, 5, 6, 2), 7u);
  // Moves that leave the grid are refused.
  EXPECT_TRUE(CGXMoveRowsColsImp::IsValidMove(2, 3, 9, 10));
  EXPECT_FALSE(CGXMoveRowsColsImp::IsValidMove(2, 3, 10, 10));
  EXPECT_FALSE(CGXMoveRowsColsImp::IsValidMove(0, 3, 5, 10));
  EXPECT_FALSE(CGXMoveRowsColsImp::IsValidMove(4, 3, 5, 10));
}

TEST_F(MoveTest, AMoveTakesCellsSizesHiddenMarksSelectionAndCurrentCellAlongAndUndoesWhole) {
  CGXGridWnd* g = MakeNumbered(10);
  g->SetRowHeight(3, 3, 33, nullptr, 0);
  g->HideRows(2, 2, TRUE, 0);
  auto* sel = static_cast<CGXUserSelectRangeImp*>(g->GetUserSelectRangeImp());
  sel->SelectRange(g, CGXRange(3, 2), TRUE, TRUE);
  g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
  ClearUndo(g);
  ASSERT_TRUE(g->MoveRows(2, 3, 5, GX_UPDATENOW, 0));
  EXPECT_EQ(Column(g), "r1 r4 r5 r6 r2 r3 r7 r8 r9 r10 ");
  EXPECT_EQ(CurrentRow(g), 6u);
  EXPECT_EQ(g->GetRowHeight(6), 33);
  EXPECT_TRUE(g->IsRowHidden(5));
  EXPECT_FALSE(g->IsRowHidden(2));
  EXPECT_EQ(Selection(g), "6,2,6,2");
  // One undo entry ("Move Rows"), and undoing moves the block back and puts the current cell on its row.
  ASSERT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Column(g), "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 ");
  EXPECT_TRUE(g->IsRowHidden(2));
  EXPECT_EQ(g->GetRowHeight(3), 33);
  EXPECT_EQ(CurrentRow(g), 2u);
  // A move onto itself or outside the grid changes nothing and records nothing.
  EXPECT_FALSE(g->MoveRows(4, 5, 4, GX_UPDATENOW, 0));
  EXPECT_FALSE(g->MoveRows(9, 10, 10, GX_UPDATENOW, 0));
  EXPECT_EQ(Column(g), "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 ");
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
  // Columns follow the same rules.
  g->SetCellValue(1, 2, "b");
  ASSERT_TRUE(g->MoveCols(2, 2, 3, GX_UPDATENOW, 0));
  EXPECT_EQ(std::string(g->GetCellValue(1, 3)), "b");
}

TEST_F(MoveTest, HiddenMarksAreBitsThatFollowInsertedRemovedAndMovedLines) {
  std::vector<BYTE> bits;
  CGXHideCellsImp::SetBit(bits, 5, TRUE);
  EXPECT_EQ(bits, std::vector<BYTE>{0x20});
  bits.clear();
  CGXHideCellsImp::SetBit(bits, 10, TRUE);
  CGXHideCellsImp::InsertBits(bits, 10, 2);
  EXPECT_TRUE(CGXHideCellsImp::TestBit(bits, 12));
  EXPECT_FALSE(CGXHideCellsImp::TestBit(bits, 10));
  EXPECT_FALSE(CGXHideCellsImp::TestBit(bits, 11));
  CGXHideCellsImp::RemoveBits(bits, 3, 4);
  EXPECT_TRUE(CGXHideCellsImp::TestBit(bits, 10));
  bits.clear();
  CGXHideCellsImp::SetBit(bits, 3, TRUE);
  CGXHideCellsImp::SetBit(bits, 4, TRUE);
  CGXHideCellsImp::MoveBits(bits, 2, 3, 8);
  for (ROWCOL r = 0; r < 16; ++r) EXPECT_EQ(CGXHideCellsImp::TestBit(bits, r) != FALSE, r == 9 || r == 2) << r;  // row 4's mark moved down to 2

  // Through the grid: inserted rows before a hidden row, and hiding rows that are hidden already.
  CGXGridWnd* g = MakeNumbered(20);
  g->HideRows(10, 10, TRUE, 0);
  g->InsertRows(10, 2, nullptr, nullptr, nullptr, 0, 0);
  EXPECT_TRUE(g->IsRowHidden(12));
  EXPECT_FALSE(g->IsRowHidden(10));
  EXPECT_EQ(g->GetRowHeight(12), 0);
  ClearUndo(g);
  g->HideRows(3, 7, TRUE, 0);
  EXPECT_TRUE(g->HideRows(3, 7, TRUE, 0));
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 2);
  g->Undo();
  EXPECT_TRUE(g->IsRowHidden(5));
  g->Undo();
  EXPECT_FALSE(g->IsRowHidden(5));
  EXPECT_EQ(g->GetRowHeight(5), 20);
  // A flags array applies each line's own state; one undo restores each former state.
  const BOOL states[] = {TRUE, FALSE, TRUE};
  g->HideCols(1, 3, FALSE, 0, states);
  EXPECT_TRUE(g->IsColHidden(1));
  EXPECT_FALSE(g->IsColHidden(2));
  EXPECT_TRUE(g->IsColHidden(3));
  g->Undo();
  EXPECT_FALSE(g->IsColHidden(1) || g->IsColHidden(3));
  // Row 0 is left out while printing without column headers.
  g->GetProperties()->m_bPrintColHeaders = FALSE;
  g->SetPrinting(TRUE);
  g->GetProperties()->m_bPrinting = TRUE;
  EXPECT_TRUE(g->IsRowHidden(0));
  g->SetPrinting(FALSE);
  g->GetProperties()->m_bPrinting = FALSE;
  EXPECT_FALSE(g->IsRowHidden(0));
}

TEST_F(MoveTest, DraggingSelectedRowHeadersMovesTheRowsWhereTheMarkerShows) {
  auto* g = MakeNumbered<CountingGrid>(10);
  auto* drag = static_cast<CGXUserDragSelectRangeImp*>(g->GetUserDragSelectRangeImp());
  ASSERT_NE(drag, nullptr);
  auto& in = plat::InputRouter::Instance();
  auto select34 = [&] { Drag(Cell(*g, 3, 0), Cell(*g, 4, 0)); };
  select34();
  ASSERT_EQ(Selection(g), "R3-4");
  // While dragging: the marker is a child of the grid on the boundary above the target row.
  in.ButtonDown(plat::MouseButton::Left, Cell(*g, 3, 0));
  Pump();
  ASSERT_TRUE(drag->IsArmed());
  EXPECT_EQ(g->GetCursorId(), GX_IDC_SELDRAG);
  in.MouseMove(Cell(*g, 8, 2));
  Pump();
  EXPECT_EQ(drag->GetTargetRow(), 8u);
  ASSERT_NE(drag->GetMarker(), nullptr);
  CRect marker;
  ::GetWindowRect(drag->GetMarker()->GetSafeHwnd(), &marker);
  EXPECT_EQ(marker.Height(), 1);
  EXPECT_EQ(::GetParent(drag->GetMarker()->GetSafeHwnd()), g->m_hWnd);
  in.ButtonUp(plat::MouseButton::Left, Cell(*g, 8, 2));
  Pump();
  EXPECT_EQ(Column(g), "r1 r2 r5 r6 r7 r3 r4 r8 r9 r10 ");
  EXPECT_EQ(Selection(g), "R6-7");
  EXPECT_EQ(g->updates, 1);
  EXPECT_EQ(drag->GetMarker(), nullptr);
  // Dropping on the block or right below it moves nothing; at row 1 the block goes first.
  Drag(Cell(*g, 6, 0), Cell(*g, 8, 1));
  Drag(Cell(*g, 6, 0), Cell(*g, 7, 1));
  EXPECT_EQ(Column(g), "r1 r2 r5 r6 r7 r3 r4 r8 r9 r10 ");
  Drag(Cell(*g, 6, 0), Cell(*g, 1, 1));
  EXPECT_EQ(Column(g), "r3 r4 r1 r2 r5 r6 r7 r8 r9 r10 ");
  // Below the last row the rows are appended.
  Drag(Cell(*g, 1, 0), Client(*g, 100, 20 * 11 + 30));
  EXPECT_EQ(Column(g), "r1 r2 r5 r6 r7 r8 r9 r10 r3 r4 ");
  // With the whole table selected no drag starts (the press selects instead).
  Click(Cell(*g, 0, 0));
  in.ButtonDown(plat::MouseButton::Left, Cell(*g, 2, 0));
  Pump();
  EXPECT_FALSE(drag->IsArmed());
  in.ButtonUp(plat::MouseButton::Left, Cell(*g, 2, 0));
  Pump();
}

// Spanned cells go with the rows their headers drag: a floating text, a merged run and a covered block keep
// their spans at the rows' new places, the rows left behind keep none, and undo brings them back. Both
// modes: spans evaluated when asked for (2) and when drawn (1).
TEST_F(MoveTest, FloatingMergedAndCoveredCellsFollowRowsDraggedByTheirHeaders) {
  for (const WORD mode : {WORD{2}, WORD{1}}) {
    SCOPED_TRACE(mode);
    CGXGridWnd* g = MakeFocused(10, 5);
    CGXStyle text;
    text.SetControl(GX_IDS_CTRL_STATIC).SetWrapText(FALSE);
    g->SetStyleRange(CGXRange().AssignTable(), text);
    g->SetFloatCellsMode(mode);
    g->SetMergeCellsMode(mode);
    const char* wide = "A text much wider than three of its columns";
    g->SetStyleRange(CGXRange(2, 1), CGXStyle().SetValue(wide));
    g->SetStyleRange(CGXRange(2, 4), CGXStyle().SetValue("stop"));
    g->SetStyleRange(CGXRange(4, 1, 4, 3), CGXStyle().SetMergeCell(GX_MERGE_HORIZONTAL).SetValue("same"));
    ASSERT_TRUE(g->SetCoveredCellsRowCol(6, 1, 7, 2, GX_UPDATENOW, 0));
    Pump();
    auto floated = [&](ROWCOL r, ROWCOL c) {
      CGXRange out;
      return g->GetFloatedCellsRange(r, c, out) ? out : CGXRange();
    };
    auto merged = [&](ROWCOL r, ROWCOL c) {
      CGXRange out;
      return g->GetMergedCellsRange(r, c, out, 0) ? out : CGXRange();
    };
    auto covering = [&](ROWCOL r, ROWCOL c) {
      CGXRange out;
      return g->GetCoveredCellsRowCol(r, c, out) ? out : CGXRange();
    };
    ASSERT_EQ(floated(2, 2), CGXRange(2, 1, 2, 3));
    ASSERT_EQ(merged(4, 2), CGXRange(4, 1, 4, 3));
    ASSERT_EQ(covering(7, 2), CGXRange(6, 1, 7, 2));
    // Row 2 dragged by its header below row 8: it lands on 8, rows 3 to 8 move up one.
    Click(Cell(*g, 2, 0));
    ASSERT_EQ(Selection(g), "R2-2");
    Drag(Cell(*g, 2, 0), Cell(*g, 9, 1));
    ASSERT_EQ(std::string(g->GetCellValue(8, 1)), wide);
    EXPECT_EQ(floated(8, 2), CGXRange(8, 1, 8, 3));
    EXPECT_EQ(floated(7, 2), CGXRange());
    EXPECT_EQ(merged(3, 2), CGXRange(3, 1, 3, 3));
    EXPECT_EQ(merged(4, 2), CGXRange());
    EXPECT_EQ(covering(6, 2), CGXRange(5, 1, 6, 2));
    EXPECT_EQ(covering(7, 1), CGXRange());
    // Undo moves them back.
    g->Undo();
    Pump();
    EXPECT_EQ(floated(2, 2), CGXRange(2, 1, 2, 3));
    EXPECT_EQ(merged(4, 2), CGXRange(4, 1, 4, 3));
    EXPECT_EQ(covering(7, 2), CGXRange(6, 1, 7, 2));
    EXPECT_EQ(floated(8, 2), CGXRange());
  }
}

// A drag feature that refuses drops above row 3.
struct RefusingDrag : CGXUserDragSelectRangeImp {
  BOOL CanDropRows(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL target) override { return target >= 3; }
};

TEST_F(MoveTest, ARefusedDropShowsTheNoDropCursorAndMovesNothing) {
  CGXGridWnd* g = MakeNumbered(10);
  auto* refusing = new RefusingDrag;
  g->SetFeature(static_cast<CGXGridUserDragSelectRangeImp*>(refusing));
  Drag(Cell(*g, 5, 0), Cell(*g, 5, 0));
  auto& in = plat::InputRouter::Instance();
  in.ButtonDown(plat::MouseButton::Left, Cell(*g, 5, 0));
  in.MouseMove(Cell(*g, 2, 1));
  Pump();
  EXPECT_EQ(g->GetCursorId(), GX_IDC_NODROP);
  EXPECT_EQ(refusing->GetMarker(), nullptr);
  in.ButtonUp(plat::MouseButton::Left, Cell(*g, 2, 1));
  Pump();
  EXPECT_EQ(Column(g), "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 ");
  EXPECT_EQ(g->GetCursorId(), 0u);
}

}  // namespace

namespace {

TEST_F(MoveTest, TheGridsCursorsAndTheMarkerWindowComeFromTheGridsOwnResources) {
  CGXGridWnd* g = MakeNumbered(10);
  // The program's module has no such cursor: the grid's resource module answers.
  for (UINT id : {GX_IDC_VRESIZE, GX_IDC_HRESIZE, GX_IDC_VHIDDEN, GX_IDC_HHIDDEN, GX_IDC_SELDRAG, GX_IDC_SELCOL,
                  GX_IDC_SELROW, GX_IDC_NODROP, GX_IDC_FILLHANDLE}) {
    EXPECT_EQ(LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(id)), nullptr) << id;
    g->SetGridCursor(id, IDC_ARROW);
    EXPECT_EQ(plat::Cursors::Instance().Describe(GetCursor()), "resource #" + std::to_string(id) + " of grid");
  }
  // The fill cursor's hot spot is the middle of its cross, where the two black bars meet.
  POINT hot{-1, -1};
  const std::vector<BYTE> fill = gx::CursorMasks(GX_IDC_FILLHANDLE, &hot);
  ASSERT_FALSE(fill.empty());
  EXPECT_EQ(hot.x, 7);
  EXPECT_EQ(hot.y, 7);
  // A new marker window: a hidden 1 x 1 child at the grid's origin.
  CGXDragLineWnd marker(g);
  ASSERT_TRUE(marker.Create(g));
  CRect r;
  ::GetWindowRect(marker.GetSafeHwnd(), &r);
  POINT origin{0, 0};
  ::ClientToScreen(*g, &origin);
  EXPECT_EQ(r, CRect(origin.x, origin.y, origin.x + 1, origin.y + 1));
  EXPECT_FALSE(::IsWindowVisible(marker.GetSafeHwnd()));
  marker.DestroyWindow();
}

TEST_F(MoveTest, AFrozenRowBeingDraggedDoesNotScrollTheGrid) {
  CGXGridWnd* g = MakeNumbered(40);
  g->SetFrozenRows(2, 0, 0);
  auto* drag = static_cast<CGXUserDragSelectRangeImp*>(g->GetUserDragSelectRangeImp());
  auto& in = plat::InputRouter::Instance();
  for (ROWCOL row : {2u, 5u}) {
    Drag(Cell(*g, row, 0), Cell(*g, row, 0));
    in.ButtonDown(plat::MouseButton::Left, Cell(*g, row, 0));
    Pump();
    ASSERT_TRUE(drag->IsArmed());
    EXPECT_EQ(g->IsAutoScrolling() != FALSE, row == 5u) << row;
    in.ButtonUp(plat::MouseButton::Left, Cell(*g, row, 0));
    Pump();
  }
}

// A view of a document that hands its hints straight to a second view of the same parameter object.
class SendingView : public CGXGridWnd {
 public:
  void NotifyOtherViews(CGXGridHint* hint) override {
    sent.push_back(hint->m_id);
    if (peer) peer->ProcessHint(hint);
  }
  void Bind(CDocument* d) {
    InstallUpdateHintImp();
    m_bHintSwitch = TRUE;
    m_pDocument = d;
  }
  CGXGridWnd* peer = nullptr;
  std::vector<DWORD> sent;
};

TEST_F(MoveTest, MovedRowsReachTheOtherViewOfTheDocumentWithTheirHeightsAndItsCurrentCell) {
  CDocument doc;
  auto* a = MakeNumbered<SendingView>(10);
  auto* b = new SendingView;
  std::unique_ptr<CGXGridWnd> bOwner(b);
  ASSERT_TRUE(b->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 420, 0, 400, 300, nullptr, nullptr));
  b->InitializeFromStyle();
  b->AttachParam(a->GetParam(), FALSE);
  a->peer = b;
  a->Bind(&doc);
  b->Bind(&doc);
  a->SetRowHeight(3, 3, 33, nullptr, 0);
  b->MoveCurrentCellTo(2, 2, GX_UPDATENOW);  // the second view's own current cell, on a row that moves
  a->sent.clear();
  ASSERT_TRUE(a->MoveRows(2, 3, 5, GX_UPDATENOW, 0));
  Pump();
  EXPECT_EQ(std::count(a->sent.begin(), a->sent.end(), DWORD{gxHintMoveRows}), 1);
  EXPECT_EQ(Column(b), "r1 r4 r5 r6 r2 r3 r7 r8 r9 r10 ");
  EXPECT_EQ(b->GetRowHeight(6), 33);
  EXPECT_EQ(b->GetRowHeight(3), 20);
  EXPECT_EQ(CurrentRow(b), 5u);
  EXPECT_EQ(CurrentRow(a), 1u);  // the mover's current cell was on a row that stayed
  // Moving the block back takes the second view's current cell back with it.
  ASSERT_TRUE(a->MoveRows(5, 6, 2, GX_UPDATENOW, 0));
  EXPECT_EQ(Column(b), "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 ");
  EXPECT_EQ(CurrentRow(b), 2u);
  a->peer = nullptr;
}

}  // namespace

namespace {

TEST(SpanCellPoolMove, LinesGoWithTheirRowsAndSpansAcrossTheMoveAreDropped) {
  CGXSpanCellPool pool;
  for (ROWCOL r = 1; r <= 6; ++r) pool.m_perRow.Line(r) = {r, r};  // one marker per row line
  pool.m_perCol.Line(1) = {0, 1, 1, 1, 1, 1, 1};                      // a vertical span over rows 1..6
  pool.MoveRows(2, 3, 5);                                              // as MovedIndex: 2, 3 -> 5, 6
  const DWORD expected[] = {0, 1, 4, 5, 6, 2, 3};
  for (ROWCOL r = 1; r <= 6; ++r) EXPECT_EQ((*pool.m_perRow.GetAt(r))[0], expected[r]) << r;
  EXPECT_EQ(pool.m_perCol.GetAt(1)->size(), 2u);  // cut at the first row that moved
  pool.MoveRows(5, 6, 2);
  for (ROWCOL r = 1; r <= 6; ++r) EXPECT_EQ((*pool.m_perRow.GetAt(r))[0], r) << r;
}

}  // namespace
