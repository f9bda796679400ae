// The feature plug points: answers without features, forwarding to installed features (grid first, the
// arguments in order, the result passed on), the keys that reach features, and the selection queries.
#include <utility>
#include <vector>

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/tests/enginetest.h"

namespace {

using enginetest::EngineTest;
using enginetest::CoveredBlock;

class FeaturesTest : public EngineTest {};

int g_destroyed = 0;

struct RecordingCutPaste : CGXGridCutPasteImp {
  ~RecordingCutPaste() override { ++g_destroyed; }
  BOOL CanCopy(CGXGridCore*) override { return canCopy; }
  BOOL Copy(CGXGridCore* g) override {
    grid = g;
    ++copies;
    return TRUE;
  }
  BOOL CanCut(CGXGridCore*) override { return TRUE; }
  // The keys' cut (operation 6) works from the selection and the current cell itself.
  LRESULT CutPasteForward6(CGXGridCore* g, const GXForwardArgs&) override {
    CGXRangeList ranges;
    g->CopyRangeList(ranges, TRUE);
    for (POSITION p = ranges.GetHeadPosition(); p;) cut.push_back(*ranges.GetNext(p));
    return TRUE;
  }
  LRESULT CutPasteForward12(CGXGridCore*, const GXForwardArgs& args) override {
    return static_cast<LRESULT>(args.v[0] * 10 + args.v[1]);
  }
  BOOL canCopy = FALSE;
  int copies = 0;
  CGXGridCore* grid = nullptr;
  std::vector<CGXRange> cut;
};

struct RecordingClear : CGXGridClearCellsImp {
  BOOL CanClear(CGXGridCore*) override { return TRUE; }
  BOOL ClearCellsForward1(CGXGridCore*, BOOL ctrl) override {
    calls.push_back(ctrl);
    return TRUE;
  }
  std::vector<BOOL> calls;
};

TEST_F(FeaturesTest, WithoutFeaturesEveryRequestAnswersZeroAndDoesNothing) {
  CGXGridWnd* g = MakeGrid(10, 5);
  g->SetFeature(static_cast<CGXGridHideCellsImp*>(nullptr));  // the fixture's hide feature off again
  EXPECT_FALSE(g->CanCopy());
  EXPECT_FALSE(g->CanPaste());
  EXPECT_FALSE(g->CanCut());
  EXPECT_FALSE(g->CanClear());
  EXPECT_FALSE(g->Undo());
  EXPECT_FALSE(g->Redo());
  EXPECT_FALSE(g->IsRowHidden(3));
  CGXRange out;
  EXPECT_EQ(g->GetCoveredCellsRowCol(2, 2, out), nullptr);
  EXPECT_FALSE(g->EnableDataUndoRecording(TRUE));
  EXPECT_EQ(g->CutPasteForward12({}), 0);
  g->BeginTransaction("x");
  g->UpdateMovedRows(1, 2, 5, 0, FALSE);
  g->FreezeRows();
  EXPECT_EQ(g->GetFrozenRows(), 0u);
  // Without the hide feature nothing hides: the stored height stays.
  EXPECT_FALSE(g->HideRows(3, 3));
  EXPECT_EQ(g->GetRowHeight(3), 20);
  // The keys that reach missing features are still consumed.
  SetFocus(*g);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  EXPECT_TRUE(g->OnGridChar(0x03, 1, 0));
  EXPECT_TRUE(g->OnGridChar(0x1A, 1, 0));
}

TEST_F(FeaturesTest, InstalledFeaturesReceiveTheGridAndTheArgumentsAndAreFreedWithTheGrid) {
  g_destroyed = 0;
  CGXGridWnd* g = MakeGrid(10, 5);
  auto* cp = new RecordingCutPaste;
  g->SetFeature(cp);
  g->SetFeature(new CoveredBlock(CGXRange(2, 2, 3, 4)));
  GXForwardArgs args;
  args.v[0] = 4;
  args.v[1] = 2;
  EXPECT_EQ(g->CutPasteForward12(args), 42);
  CGXRange out;
  ASSERT_EQ(g->GetCoveredCellsRowCol(3, 3, out), &out);
  EXPECT_EQ(out.bottom, 3u);
  EXPECT_EQ(out.right, 4u);
  EXPECT_EQ(g->GetCoveredCellsRowCol(5, 5, out), nullptr);

  // Ctrl+C copies only when the feature can copy.
  SetFocus(*g);
  ASSERT_TRUE(g->MoveCurrentCellTo(5, 3, GX_UPDATENOW));
  EXPECT_TRUE(g->OnGridChar(0x03, 1, 0));
  EXPECT_EQ(cp->copies, 0);
  cp->canCopy = TRUE;
  EXPECT_TRUE(g->OnGridChar(0x03, 1, 0));
  EXPECT_EQ(cp->copies, 1);
  EXPECT_EQ(cp->grid, g);
  // Shift+Delete cuts the current cell when nothing is selected.
  auto& in = plat::InputRouter::Instance();
  in.KeyDown(VK_SHIFT);
  in.KeyPress(VK_DELETE);
  in.KeyUp(VK_SHIFT);
  Pump();
  ASSERT_EQ(cp->cut.size(), 1u);
  EXPECT_EQ(cp->cut[0].top, 5u);
  EXPECT_EQ(cp->cut[0].left, 3u);

  grid.reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST_F(FeaturesTest, DeleteClearsThroughTheClearFeaturePassingCtrl) {
  CGXGridWnd* g = MakeGrid(10, 5);
  UseWindowlessEditStandIn(g);  // Delete reaches the grid, not an editor
  auto* clear = new RecordingClear;
  g->SetFeature(clear);
  SetFocus(*g);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  auto& in = plat::InputRouter::Instance();
  in.KeyPress(VK_DELETE);
  in.KeyDown(VK_CONTROL);
  in.KeyPress(VK_DELETE);
  in.KeyUp(VK_CONTROL);
  Pump();
  ASSERT_EQ(clear->calls.size(), 2u);
  EXPECT_FALSE(clear->calls[0]);
  EXPECT_TRUE(clear->calls[1]);
}

TEST_F(FeaturesTest, SelectedRowsAndTheRangeListWithTheCurrentCell) {
  CGXGridWnd* g = MakeGrid(10, 5);
  CGXRangeList out;
  EXPECT_FALSE(g->CopyRangeList(out, TRUE));  // no selection, no current cell
  ASSERT_TRUE(g->MoveCurrentCellTo(5, 3, GX_UPDATENOW));
  EXPECT_FALSE(g->CopyRangeList(out, FALSE));
  ASSERT_TRUE(g->CopyRangeList(out, TRUE));
  ASSERT_EQ(out.GetCount(), 1);
  POSITION p = out.GetHeadPosition();
  const CGXRange* r = out.GetNext(p);
  EXPECT_EQ(r->top, 5u);
  EXPECT_EQ(r->left, 3u);
  EXPECT_EQ(r->bottom, 5u);
  EXPECT_EQ(r->right, 3u);

  std::vector<ROWCOL> rows;
  EXPECT_EQ(g->GetSelectedRows(rows, FALSE, TRUE), 1);  // only the current cell's row
  EXPECT_EQ(rows, std::vector<ROWCOL>{5});
  CGXRangeList& sel = g->GetParam()->GetSelection();
  sel.AddTail(new CGXRange(2, 1, 4, 5));
  sel.AddTail(new CGXRange(7, 2, 7, 2));
  EXPECT_EQ(g->GetSelectedRows(rows, FALSE, TRUE), 4);
  EXPECT_EQ(rows, (std::vector<ROWCOL>{2, 3, 4, 7}));
  EXPECT_TRUE(g->RangeListContains(3, 5, sel));
  EXPECT_FALSE(g->RangeListContains(6, 2, sel));
  // Without a kept current selection range the current cell joins the copied selection; with one, the kept
  // range stands for it.
  ASSERT_TRUE(g->CopyRangeList(out, TRUE));
  ASSERT_EQ(out.GetCount(), 3);
  EXPECT_EQ(*out.GetTail(), CGXRange(5, 3));
  g->GetParam()->m_bKeepsCurrentSelRange = TRUE;
  ASSERT_TRUE(g->CopyRangeList(out, TRUE));
  EXPECT_EQ(out.GetCount(), 2);
}

struct RecordingFrame : CGXGridExcelLikeFrameImp {
  void DrawFrame(CGXGridCore*, CDC* dc, BOOL eraseOld, const CGXRange* range) override {
    if (dc && eraseOld && !range) ++draws;
  }
  void UpdateFrame(CGXGridCore*, const GXForwardArgs&) override { ++updates; }
  BOOL LockFrame(CGXGridCore*, BOOL lock, BOOL) override {
    locks.push_back(lock);
    BOOL old = locked;
    locked = lock;
    return old;
  }
  int draws = 0, updates = 0;
  BOOL locked = FALSE;
  std::vector<BOOL> locks;
};

struct RecordingB : CGXGridExtraFeatureBImp {
  void ExtraFeatureBForward9(CGXGridCore*, const GXForwardArgs& args) override {
    if (args.v[0] == 0 && args.v[1] == 0 && args.v[2] == TRUE && args.v[3] == 0) ++notices;
  }
  int notices = 0;
};

struct CountingHide : enginetest::TestHideCells {
  void OnInsertRows(CGXGridCore*, ROWCOL row, ROWCOL count) override { inserted.push_back({row, count}); }
  void OnRemoveRows(CGXGridCore*, ROWCOL from, ROWCOL to) override { removed.push_back({from, to}); }
  std::vector<std::pair<ROWCOL, ROWCOL>> inserted, removed;
};

TEST_F(FeaturesTest, PaintsScrollsAndStructureChangesReachTheirFeatures) {
  CGXGridWnd* g = MakeGrid(100, 5, 300, 200);
  auto* frame = new RecordingFrame;
  auto* b = new RecordingB;
  auto* hide = new CountingHide;
  g->SetFeature(frame);
  g->SetFeature(b);
  g->SetFeature(static_cast<CGXGridHideCellsImp*>(hide));
  g->RedrawAll(GX_UPDATENOW);
  EXPECT_GE(b->notices, 1);
  EXPECT_GE(frame->draws, 1);
  // Without the focus the frame does not follow a scroll; with it, before and after.
  SetFocus(nullptr);
  const int notices = b->notices;
  g->m_bNoUpdateAfterScroll = TRUE;  // no paint inside the scroll: the notice is the scroll's own
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 3));
  EXPECT_EQ(frame->updates, 0);
  EXPECT_EQ(b->notices, notices + 1);
  SetFocus(*g);
  ASSERT_TRUE(g->ScrollByCells(GX_DOWN, 3));
  EXPECT_EQ(frame->updates, 2);
  // A structure change hides the frame for its duration and shows it again.
  ASSERT_TRUE(g->InsertRows(5, 2, nullptr, nullptr, nullptr, 0, 0));
  ASSERT_TRUE(g->RemoveRows(7, 8, 0));
  EXPECT_EQ(frame->locks, (std::vector<BOOL>{TRUE, FALSE, TRUE, FALSE}));
  EXPECT_EQ(hide->inserted, (std::vector<std::pair<ROWCOL, ROWCOL>>{{5, 2}}));
  EXPECT_EQ(hide->removed, (std::vector<std::pair<ROWCOL, ROWCOL>>{{7, 8}}));
}

struct CountingMerge : CGXGridMergeCellsImp {
  BOOL CalcMergedCellsInRange(CGXGridCore*, const CGXRange&) override {
    ++evaluations;
    return TRUE;
  }
  int evaluations = 0;
};

TEST_F(FeaturesTest, MergedCellsAreEvaluatedOnlyWhileTheModeIsOnAndNotSuspended) {
  CGXGridWnd* g = MakeGrid(10, 5);
  const CGXRange range(1, 1, 3, 3);
  EXPECT_FALSE(g->CalcMergedCellsInRange(range));  // no feature
  auto* merge = new CountingMerge;
  g->SetFeature(merge);
  EXPECT_FALSE(g->CalcMergedCellsInRange(range));  // mode off
  g->GetParam()->m_wMergingMode = 4;               // an option bit, but neither merge mode
  EXPECT_FALSE(g->CalcMergedCellsInRange(range));
  EXPECT_EQ(merge->evaluations, 0);
  g->GetParam()->m_wMergingMode = 2;
  EXPECT_TRUE(g->CalcMergedCellsInRange(range));
  g->m_bSuspendMerging = TRUE;
  EXPECT_FALSE(g->CalcMergedCellsInRange(range));
  EXPECT_EQ(merge->evaluations, 1);
}

TEST(FindReplaceState, TheWorkingCopyIsUpperCasedOnlyForSearchesThatIgnoreCase) {
  CGXFindReplaceState state;
  state.m_strFind = "Total ab";
  state.PrepareFindText();
  EXPECT_EQ(state.m_strFindUpper, CString("Total ab"));
  state.m_bCase = FALSE;
  state.PrepareFindText();
  EXPECT_EQ(state.m_strFindUpper, CString("TOTAL AB"));
  EXPECT_EQ(state.m_strFind, CString("Total ab"));  // the text to find itself is kept
}
}  // namespace

struct RecordingSelect : CGXGridUserSelectRangeImp {
  void SelectRangeForward8(CGXGridCore* g, const CGXRange& range, BOOL flag) override {
    // The feature hears of the new range before the list holds it.
    changing.push_back(range);
    listHeldIt.push_back(*g->GetParam()->GetSelection().GetTail() == range);
    EXPECT_TRUE(flag);
  }
  void SelectRangeForward9(CGXGridCore*, BOOL flag) override {
    EXPECT_TRUE(flag);
    ++cleared;
  }
  std::vector<CGXRange> changing;
  std::vector<bool> listHeldIt;
  int cleared = 0;
};

TEST_F(FeaturesTest, SetSelectionOrdersAndWidensTheRangeAndClearsThroughTheFeature) {
  CGXGridWnd* g = MakeGrid(20, 8);
  auto* select = new RecordingSelect;
  g->SetFeature(select);
  CGXRangeList& sel = g->GetParam()->GetSelection();
  POSITION pos = sel.AddTail(new CGXRange(1, 1, 1, 1));
  g->SetSelection(pos, 6, 5, 2, 3);  // reversed corners
  EXPECT_EQ(*sel.GetAt(pos), CGXRange(2, 3, 6, 5));
  g->SetSelection(pos, 0, 4, 0, 2);
  EXPECT_TRUE(sel.GetAt(pos)->IsCols());
  EXPECT_EQ(sel.GetAt(pos)->left, 2u);
  EXPECT_EQ(sel.GetAt(pos)->right, 4u);
  g->SetSelection(pos, 7, 0, 3, 0);
  EXPECT_TRUE(sel.GetAt(pos)->IsRows());
  EXPECT_EQ(sel.GetAt(pos)->top, 3u);
  EXPECT_EQ(sel.GetAt(pos)->bottom, 7u);
  g->SetSelection(pos, 0, 0, 0, 0);
  EXPECT_TRUE(sel.GetAt(pos)->IsTable());
  // Row-selecting click flags drop the columns.
  g->GetParam()->SetClickFlags(3);
  g->SetSelection(pos, 4, 2, 5, 6);
  EXPECT_TRUE(sel.GetAt(pos)->IsRows());
  g->GetParam()->SetClickFlags(0);
  ASSERT_EQ(select->changing.size(), 5u);
  EXPECT_EQ(select->changing[0], CGXRange(2, 3, 6, 5));
  EXPECT_EQ(select->listHeldIt, std::vector<bool>(5, false));
  // Clearing: the feature is told only when a selection range is kept.
  g->SetSelection(nullptr, 0, 0, 0, 0);
  EXPECT_TRUE(sel.IsEmpty());
  EXPECT_EQ(select->cleared, 0);
  sel.AddTail(new CGXRange(3, 3));
  g->GetParam()->m_bKeepsCurrentSelRange = TRUE;
  g->SetSelection(nullptr, 0, 0, 0, 0);
  EXPECT_TRUE(sel.IsEmpty());
  EXPECT_EQ(select->cleared, 1);
  EXPECT_FALSE(g->KeepsCurrentSelRange());
}

TEST_F(FeaturesTest, RemovingRowsOrColumnsClearsTheSelectionThroughSetSelection) {
  CGXGridWnd* g = MakeGrid(20, 8);
  auto* select = new RecordingSelect;
  g->SetFeature(select);
  CGXRangeList& sel = g->GetParam()->GetSelection();
  sel.AddTail(new CGXRange(2, 2, 9, 4));
  g->GetParam()->m_bKeepsCurrentSelRange = TRUE;
  ASSERT_TRUE(g->RemoveRows(3, 4, 0));
  EXPECT_TRUE(sel.IsEmpty());
  EXPECT_EQ(select->cleared, 1);
  EXPECT_FALSE(g->KeepsCurrentSelRange());
  sel.AddTail(&(new CGXRange)->AssignCols(5, 6));
  g->GetParam()->m_bKeepsCurrentSelRange = TRUE;
  ASSERT_TRUE(g->RemoveCols(1, 1, 0));
  EXPECT_TRUE(sel.IsEmpty());
  EXPECT_EQ(select->cleared, 2);
  // Inserting keeps the selection and moves it with the cells.
  sel.AddTail(&(new CGXRange)->AssignRows(4, 6));
  ASSERT_TRUE(g->InsertRows(3, 2, nullptr, nullptr, nullptr, 0, 0));
  ASSERT_EQ(sel.GetCount(), 1);
  EXPECT_EQ(sel.GetHead()->top, 6u);
  EXPECT_EQ(sel.GetHead()->bottom, 8u);
}

struct FrameRedraws : CGXGridExcelLikeFrameImp {
  void DrawFrame(CGXGridCore*, CDC* dc, BOOL eraseOld, const CGXRange* range) override {
    if (range) redrawn.push_back({*range, eraseOld == FALSE && dc != nullptr});
  }
  std::vector<std::pair<CGXRange, bool>> redrawn;
};

TEST_F(FeaturesTest, StructureChangesRedrawTheKeptSelectionFrameWhereItMoved) {
  CGXGridWnd* g = MakeGrid(30, 8);
  auto* frame = new FrameRedraws;
  g->SetFeature(frame);
  CGXRangeList& sel = g->GetParam()->GetSelection();
  sel.AddTail(new CGXRange(4, 2, 6, 3));
  // Without a kept range there is no frame to follow.
  ASSERT_TRUE(g->InsertRows(1, 1, nullptr, nullptr, nullptr, 0, 0));
  EXPECT_TRUE(frame->redrawn.empty());
  g->GetParam()->m_bKeepsCurrentSelRange = TRUE;
  ASSERT_TRUE(g->InsertRows(2, 2, nullptr, nullptr, nullptr, 0, 0));
  ASSERT_TRUE(g->InsertCols(1, 1, nullptr, nullptr, nullptr, 0, 0));
  ASSERT_EQ(frame->redrawn.size(), 2u);
  // Drawn fresh (not erasing the old place) around the range where the cells went.
  EXPECT_EQ(frame->redrawn[0], std::make_pair(CGXRange(7, 2, 9, 3), true));
  EXPECT_EQ(frame->redrawn[1], std::make_pair(CGXRange(7, 3, 9, 4), true));
  // Nothing while updates are locked.
  g->LockUpdate(TRUE);
  ASSERT_TRUE(g->InsertRows(1, 1, nullptr, nullptr, nullptr, 0, 0));
  g->LockUpdate(FALSE);
  EXPECT_EQ(frame->redrawn.size(), 2u);
  // A removal redraws it too, before the selection is given up.
  ASSERT_TRUE(g->RemoveCols(1, 1, 0));
  ASSERT_EQ(frame->redrawn.size(), 3u);
  EXPECT_EQ(frame->redrawn[2].first, CGXRange(8, 2, 10, 3));
  EXPECT_FALSE(g->KeepsCurrentSelRange());
}

TEST_F(FeaturesTest, TheSelectionBorderIsTheCurrentCellsOnlyWhileNoRangeIsKept) {
  CGXGridWnd* g = MakeGrid(20, 8);
  g->m_bSelectionEdge = TRUE;
  g->GetParam()->GetSelection().AddTail(new CGXRange(2, 2, 5, 5));
  g->StoreCurrentCell(TRUE, 3, 3);
  const CRect cell = g->CalcCellRect(3, 3);
  const CPoint nearRight(cell.right - 2, cell.CenterPoint().y);
  EXPECT_EQ(g->HitTestSelectionEdge(3, 3, nearRight, cell), GX_SELEDGEHIT);
  // With a kept range the current cell lies inside it, away from its border.
  g->GetParam()->m_bKeepsCurrentSelRange = TRUE;
  EXPECT_EQ(g->HitTestSelectionEdge(3, 3, nearRight, cell), GX_NOHIT);
  const CRect edge = g->CalcCellRect(3, 5);
  EXPECT_EQ(g->HitTestSelectionEdge(3, 5, CPoint(edge.right - 2, edge.CenterPoint().y), edge), GX_SELEDGEHIT);
}
