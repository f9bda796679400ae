// Long operations on the virtual clock and clearing cells, from the keyboard as users do.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/features/CGXCommand.h"
#include "grid/features/CGXLongOperationImp.h"
#include "grid/features/tests/featuretest.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinApp.h"

namespace {

using featuretest::FeatureTest;

class ClearTest : public FeatureTest {
 protected:
  CGXGridWnd* Make() {
    CGXGridWnd* g = MakeGrid(6, 4);
    for (ROWCOL r = 1; r <= 6; ++r)
      for (ROWCOL c = 1; c <= 4; ++c) g->SetCellValue(r, c, CString(static_cast<char>('a' + r)) + char('0' + c));
    ClearUndo(g);
    g->MoveCurrentCellTo(2, 2);
    return g;
  }
  static void Select(CGXGridCore* g, const CGXRange& range) { g->GetParam()->GetSelection().AddTail(new CGXRange(range)); }
  // Clears the whole table of Make's grid with Esc pressed before the first poll, which shows feedback at
  // once, and the abort question answered with `answer`.
  BOOL ClearWithEscAnswered(CGXGridWnd* g, int answer) {
    automation.Reply(plat::SystemUiKind::MessageBox, {answer, {}, 0}, "abort the operation");
    Automate();
    CGXRangeList ranges;
    ranges.AddTail(new CGXRange(1, 1, 6, 4));
    GXGetLongOperationState().m_nFirstDelay = 0;
    PostMessage(g->GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    const BOOL cleared = g->ClearCells(ranges, FALSE);
    GXGetLongOperationState().m_nFirstDelay = 750;
    return cleared;
  }
};

TEST_F(ClearTest, ClearingWholeRowsKeepsTheirHeadersAndRecordsOneStep) {
  CGXGridWnd* g = Make();
  g->SetCellValue(3, 0, "header");
  Select(g, CGXRange().AssignRows(3, 4));
  g->SetCellValue(4, 3, "");  // an empty cell records nothing
  ClearUndo(g);
  ASSERT_TRUE(g->ClearCellsForward1(FALSE));
  EXPECT_EQ(g->GetCellValue(3, 0), "header");
  EXPECT_EQ(g->GetCellValue(3, 1), "");
  EXPECT_EQ(g->GetCellValue(4, 4), "");
  EXPECT_EQ(g->GetCellValue(2, 2), "");  // the current cell joins the selection
  EXPECT_EQ(g->GetCellValue(5, 1), "f1");
  ASSERT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);
  auto* block = static_cast<CGXBlockCmd*>(g->GetParam()->GetUndoList().GetHead());
  EXPECT_EQ(block->GetName(), "Clear Cells");
  // One step per run: the current cell, row 3 whole, and row 4's two runs around its empty cell.
  EXPECT_EQ(block->m_commands.GetCount(), 4);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->GetCellValue(3, 1), "d1");
  EXPECT_EQ(g->GetCellValue(2, 2), "c2");
}

TEST_F(ClearTest, CellsBetweenRangesThatShareNoLinesStayAndOverlapsClearOnce) {
  CGXGridWnd* g = Make();
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, 2, 2));
  ranges.AddTail(new CGXRange(4, 3, 5, 4));
  ranges.AddTail(new CGXRange(1, 2, 2, 2));  // overlaps the first
  ASSERT_TRUE(g->ClearCells(ranges, FALSE));
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  EXPECT_EQ(g->GetCellValue(5, 4), "");
  EXPECT_EQ(g->GetCellValue(1, 3), "b3");  // between the ranges
  EXPECT_EQ(g->GetCellValue(4, 1), "e1");
  auto* block = static_cast<CGXBlockCmd*>(g->GetParam()->GetUndoList().GetHead());
  EXPECT_EQ(block->m_commands.GetCount(), 2);  // a step per block

  // Nothing inside the table: no entry.
  CGXRangeList outside;
  outside.AddTail(new CGXRange(50, 50, 60, 60));
  ASSERT_TRUE(g->ClearCells(outside, FALSE));
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);
}

// Runs of cells are cleared a step at a time; the cells between them, their other attributes and the cells
// outside the ranges stay, and undo and redo bring back exactly what each step changed.
TEST_F(ClearTest, RunsAroundEmptyCellsClearOnlyTheValuesAndUndoAndRedoRestoreEveryCell) {
  CGXGridWnd* g = Make();
  CGXStyle bold;
  bold.SetFont(CGXFont().SetBold(TRUE));
  g->SetStyleRange(CGXRange(3, 2), bold, gxOverride);
  g->SetCellValue(4, 2, "");
  g->SetCellValue(5, 3, "");
  ClearUndo(g);
  CObList& undo = g->GetParam()->GetUndoList();
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(2, 1, 6, 3));
  ranges.AddTail(new CGXRange(1, 4, 1, 4));
  ASSERT_TRUE(g->ClearCells(ranges, FALSE));
  for (ROWCOL r = 1; r <= 6; ++r)
    for (ROWCOL c = 1; c <= 4; ++c) {
      const bool listed = (r >= 2 && c <= 3) || (r == 1 && c == 4);
      const CString original = (r == 4 && c == 2) || (r == 5 && c == 3)
                                   ? CString()
                                   : CString(static_cast<char>('a' + r)) + char('0' + c);
      EXPECT_EQ(g->GetCellValue(r, c), listed ? CString() : original) << r << "," << c;
    }
  CGXStyle stored;
  ASSERT_TRUE(g->ReadStoredStyle(3, 2, stored, gxCopy, 0));
  EXPECT_TRUE(stored.IsIncluded(GX_IN_FONT));  // only the value went
  // Rows 2-3 share one step; row 4 is split at its empty cell; row 5 ends before it and row 6 spans other
  // columns than the row above; the cell of the second range is a block of its own.
  ASSERT_EQ(undo.GetCount(), 1);
  EXPECT_EQ(static_cast<CGXBlockCmd*>(undo.GetHead())->m_commands.GetCount(), 1 + 2 + 1 + 1 + 1);

  ASSERT_TRUE(g->Undo());
  for (ROWCOL r = 1; r <= 6; ++r)
    for (ROWCOL c = 1; c <= 4; ++c) {
      const bool empty = (r == 4 && c == 2) || (r == 5 && c == 3);
      EXPECT_EQ(g->GetCellValue(r, c), empty ? CString() : CString(static_cast<char>('a' + r)) + char('0' + c))
          << r << "," << c;
    }
  ASSERT_TRUE(g->ReadStoredStyle(3, 2, stored, gxCopy, 0));
  EXPECT_TRUE(stored.IsIncluded(GX_IN_FONT));
  ASSERT_TRUE(g->Redo());
  EXPECT_EQ(g->GetCellValue(2, 1), "");
  EXPECT_EQ(g->GetCellValue(6, 3), "");
  EXPECT_EQ(g->GetCellValue(1, 4), "");
  EXPECT_EQ(g->GetCellValue(1, 3), "b3");
}

TEST_F(ClearTest, ClearingStylesRemovesWhatIsStored) {
  CGXGridWnd* g = Make();
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, 2, 4));
  ranges.AddTail(new CGXRange(2, 1, 3, 4));
  ASSERT_TRUE(g->ClearCells(ranges, TRUE));
  CGXStyle back;
  EXPECT_FALSE(g->ReadStoredStyle(3, 4, back, gxCopy, 0));
  EXPECT_TRUE(g->ReadStoredStyle(4, 1, back, gxCopy, 0));
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->GetCellValue(3, 4), "d4");
}

// A frame window that keeps the status texts it is sent.
class StatusFrame : public CFrameWnd {
 public:
  std::vector<std::string> texts;
  BOOL OnWndMsg(UINT message, WPARAM w, LPARAM l, LRESULT* result) override {
    if (message == WM_SETMESSAGESTRING) {
      texts.emplace_back(reinterpret_cast<const char*>(l));
      *result = 0;
      return TRUE;
    }
    return CFrameWnd::OnWndMsg(message, w, l, result);
  }
};

class LongOperationTest : public FeatureTest {
 protected:
  void SetUp() override {
    FeatureTest::SetUp();
    frame = new StatusFrame;
    ASSERT_TRUE(frame->Create("GXWND", "frame"));
    app.m_pMainWnd = frame;
    GXGetLongOperationState().m_hFrameWnd = nullptr;
  }
  void TearDown() override {
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    delete frame;
    FeatureTest::TearDown();
  }
  CWinApp app{"longop"};
  StatusFrame* frame = nullptr;
};

TEST_F(LongOperationTest, ProgressStartsAfterTheFirstDelayAndShowsPercentOrTurningMarks) {
  ASSERT_NE(CGXGridGlobals::Get().m_pLongOperationImp, nullptr);
  {
    CGXLongOperationScope scope;
    scope.SetStatusText("Working", TRUE);
    BOOL abort = FALSE;
    plat::VirtualClock::Advance(749);
    EXPECT_FALSE(scope.PollAbort(abort));
    EXPECT_TRUE(frame->texts.empty());
    plat::VirtualClock::Advance(1);
    SetLongOperationPercentDone(37);
    EXPECT_TRUE(scope.PollAbort(abort));
    SetLongOperationPercentDone(-1);
    plat::VirtualClock::Advance(1499);
    EXPECT_FALSE(scope.PollMessages());
    for (int i = 0; i < 4; ++i) {
      plat::VirtualClock::Advance(1500);
      EXPECT_TRUE(scope.PollMessages());
    }
    SetLongOperationPercentDone(100);
    plat::VirtualClock::Advance(1500);
    scope.PollMessages();
    EXPECT_FALSE(abort);
  }
  const std::vector<std::string> expected = {"Working  37%.    Press ESC to cancel", "Working  -", "Working  \\",
                                             "Working  |", "Working  /", "Working 100%. ", "Done."};
  EXPECT_EQ(frame->texts, expected);
}

TEST_F(LongOperationTest, EscThenRetryAbortsWithRollbackAndInputIsSwallowed) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDRETRY, {}, 0}, "abort the operation");
  Automate();
  CGXLongOperationScope scope;
  CGXLongOperationScope::SetRollbackOffered(TRUE);
  PostMessage(frame->GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessage(frame->GetSafeHwnd(), WM_CHAR, 'x', 0);
  plat::VirtualClock::Advance(750);
  BOOL abort = FALSE;
  EXPECT_TRUE(scope.PollAbort(abort));
  EXPECT_TRUE(abort);
  EXPECT_TRUE(CGXLongOperationScope::IsRollbackRequested());
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));  // the input was taken and dropped
  // Reported once.
  plat::VirtualClock::Advance(1500);
  scope.PollAbort(abort);
  EXPECT_FALSE(abort);
}

TEST_F(LongOperationTest, YesAbortsWithoutRollbackAndQuitIsPostedAgain) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDYES, {}, 0}, "abort the operation");
  Automate();
  CGXLongOperationScope scope;
  PostMessage(frame->GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  PostQuitMessage(0);
  plat::VirtualClock::Advance(750);
  BOOL abort = FALSE;
  scope.PollAbort(abort);
  EXPECT_TRUE(abort);
  EXPECT_FALSE(CGXLongOperationScope::IsRollbackRequested());
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

// An undo of many steps that outlasts the wait delay shows its progress under the undo's name.
TEST_F(LongOperationTest, AnUndoOfManyStepsShowsItsProgress) {
  CGXGridWnd* g = MakeGrid(40, 3);
  for (ROWCOL r = 1; r <= 40; ++r)
    for (ROWCOL c = 1; c <= 3; ++c)
      if ((r + c) % 3) g->SetCellValue(r, c, "x");
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, 40, 3));
  ASSERT_TRUE(g->ClearCells(ranges, FALSE));
  frame->texts.clear();
  // Feedback from the first poll on, and at every poll after.
  CGXLongOperationState& state = GXGetLongOperationState();
  const DWORD interval = state.m_nUpdateInterval;
  state.m_nFirstDelay = 0;
  state.m_nUpdateInterval = 0;
  ASSERT_TRUE(g->Undo());
  state.m_nFirstDelay = 750;
  state.m_nUpdateInterval = interval;
  EXPECT_EQ(g->GetCellValue(40, 1), "x");
  bool shown = false;
  for (const std::string& t : frame->texts)
    shown |= t.rfind("Undoing Clear Cells ...", 0) == 0 && t.find('%') != std::string::npos;
  std::string all;
  for (const std::string& t : frame->texts) all += t + "|";
  EXPECT_TRUE(shown) << all;
}

// Retry during a long clear brings back every cell cleared so far.
TEST_F(ClearTest, RetryInTheAbortQuestionRestoresEverything) {
  CGXGridWnd* g = Make();
  // The first cell is looked at and cleared, then Esc is seen.
  EXPECT_FALSE(ClearWithEscAnswered(g, IDRETRY));
  for (ROWCOL r = 1; r <= 6; ++r)
    for (ROWCOL c = 1; c <= 4; ++c) EXPECT_EQ(g->GetCellValue(r, c), CString(static_cast<char>('a' + r)) + char('0' + c));
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
}

// Abort in the abort question keeps what was cleared: the cells looked at before the key was seen.
TEST_F(ClearTest, AbortKeepsTheCellsLookedAtCleared) {
  CGXGridWnd* g = Make();
  EXPECT_FALSE(ClearWithEscAnswered(g, IDABORT));
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  EXPECT_EQ(g->GetCellValue(1, 2), "b2");
  EXPECT_EQ(g->GetCellValue(6, 4), "g4");
  ASSERT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->GetCellValue(1, 1), "b1");
}


// ---- Each cell composed once ---------------------------------------------------------------------------

// A grid that composes as its base does but is a class of its own: the clearing composes its cells again
// when they are stored, as for any derived grid.
class DerivedGrid : public CGXGridWnd {
 public:
  void ComposeCellStyle(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard) override {
    CGXGridWnd::ComposeCellStyle(row, col, style, withStandard);
  }
};

// The same cells on either grid: a named base style with a value, a row base style with a value, column
// base styles naming the password and rich edit controls, a text colour from the table, cells of their
// own with and without values, one with only an interior, and the current cell inside the block.
void FillForClearing(CGXGridWnd* g) {
  CGXStyle named;
  named.SetValue("from the base style");
  const WORD id = g->GetStylesMap()->RegisterStyle("Filled", named);
  g->SetStyleRange(CGXRange().AssignTable(), CGXStyle().SetTextColor(RGB(0, 0, 128)));
  g->SetStyleRange(CGXRange().AssignRows(3, 3), CGXStyle().SetValue("row text"));
  g->SetStyleRange(CGXRange().AssignCols(4, 4), CGXStyle().SetControl(GX_IDS_CTRL_PASSWORD));
  g->SetStyleRange(CGXRange().AssignCols(5, 5), CGXStyle().SetControl(GX_IDS_CTRL_RICHEDIT));
  for (ROWCOL r = 1; r <= 12; ++r)
    for (ROWCOL c = 1; c <= 6; ++c) {
      if ((r + c) % 5 == 0) continue;  // nothing stored
      if (r == 3 && c % 2) continue;   // the row's value shows
      CGXStyle s;
      if ((r * c) % 7 == 0) {
        s.SetBaseStyle(id);
      } else if ((r + 2 * c) % 6 == 0) {
        s.SetInteriorColor(RGB(200, 10, 10));
      } else {
        s.SetValue(CString("v") + char('a' + r) + char('0' + c));
      }
      g->SetStyleRange(CGXRange(r, c), s, gxOverride);
    }
  g->MoveCurrentCellTo(5, 2);
}

// What a user and the store see of every cell: the stored flags and value, and the shown text.
std::vector<std::string> Cells(CGXGridWnd* g) {
  std::vector<std::string> out;
  for (ROWCOL r = 1; r <= g->GetRowCount(); ++r)
    for (ROWCOL c = 1; c <= g->GetColCount(); ++c) {
      CGXStyle stored;
      const BOOL has = g->ReadStoredStyle(r, c, stored, gxCopy, 0);
      out.push_back(std::to_string(r) + "," + std::to_string(c) + ":" + (has ? "stored " : "none ") +
                    std::to_string(stored.GetIncludeMask()) + " [" + stored.GetValue().GetString() + "] [" +
                    g->GetCellValue(r, c).GetString() + "]");
    }
  return out;
}

struct ClearRecord {
  std::vector<std::string> filled, cleared, undone, redone;
  INT_PTR steps = 0;
};

class ClearOnceTest : public FeatureTest {
 protected:
  // Fills the grid, clears two ranges and records the cells before, after, undone and redone.
  ClearRecord ClearTwoRanges(CGXGridWnd* g) {
    ClearRecord rec;
    FillForClearing(g);
    ClearUndo(g);
    rec.filled = Cells(g);
    CGXRangeList ranges;
    ranges.AddTail(new CGXRange(1, 1, 10, 5));
    ranges.AddTail(new CGXRange(11, 6, 12, 6));
    EXPECT_TRUE(g->ClearCells(ranges, FALSE));
    rec.cleared = Cells(g);
    CObList& undo = g->GetParam()->GetUndoList();
    EXPECT_EQ(undo.GetCount(), 1);
    if (!undo.IsEmpty()) rec.steps = static_cast<CGXBlockCmd*>(undo.GetHead())->m_commands.GetCount();
    EXPECT_TRUE(g->Undo());
    rec.undone = Cells(g);
    EXPECT_TRUE(g->Redo());
    rec.redone = Cells(g);
    return rec;
  }
};

// The window class's grid holds each cell's composition from looking at it to its store; a derived grid
// composes again. Both end with the same cells, steps, undo and redo.
TEST_F(ClearOnceTest, HeldCompositionsClearAsComposingAgainDoes) {
  const ClearRecord held = ClearTwoRanges(MakeGrid(12, 6));
  CGXGridWnd* g = MakeGrid<DerivedGrid>(12, 6);
  const ClearRecord again = ClearTwoRanges(g);
  EXPECT_EQ(held.filled, again.filled);
  EXPECT_EQ(held.cleared, again.cleared);
  EXPECT_EQ(held.steps, again.steps);
  EXPECT_EQ(held.undone, held.filled);
  EXPECT_EQ(again.undone, again.filled);
  EXPECT_EQ(held.redone, held.cleared);
  EXPECT_EQ(again.redone, again.cleared);
  // What the two ways show: base-style and row values, passwords and rich text went; the styled cell without
  // a value keeps its interior and was never stored to.
  EXPECT_NE(held.filled, held.cleared);
  EXPECT_EQ(g->GetCellValue(3, 1), "");  // the row's value
  EXPECT_EQ(g->GetCellValue(3, 6), "vd6");
  EXPECT_EQ(g->GetCellValue(7, 1), "");  // its base style's value
  EXPECT_EQ(g->GetCellValue(2, 4), "");  // shown as a password
  EXPECT_EQ(g->GetCellValue(2, 5), "");  // rich text
  EXPECT_EQ(g->GetCellValue(2, 6), "vc6");  // outside the ranges
  EXPECT_EQ(g->GetCellValue(11, 6), "");
  CGXStyle stored;
  ASSERT_TRUE(g->ReadStoredStyle(2, 2, stored, gxCopy, 0));
  EXPECT_FALSE(stored.GetIncludeValue());
}

// A control that records the composed style it is shown with and the one it is stored with, per cell. It takes
// typed text, as an edit cell does, so that a clear empties its cells.
class RecordingControl : public CGXControl {
 public:
  using CGXControl::CGXControl;
  BOOL TakesTypedText() override { return TRUE; }
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override {
    shown.emplace(std::make_pair(row, col), &style);  // the first look
    return CGXControl::GetDisplayText(out, row, col, value, style);
  }
  BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                  const CGXStyle* composed) override {
    stored[{row, col}] = {composed, composed ? composed->GetTextColor() : 0};
    return CGXControl::StoreStyle(row, col, style, mode, type, composed);
  }
  mutable std::map<std::pair<ROWCOL, ROWCOL>, const CGXStyle*> shown;
  std::map<std::pair<ROWCOL, ROWCOL>, std::pair<const CGXStyle*, COLORREF>> stored;
};

// Storing hands each cell's control the very composition its text was looked at with, one per cell.
TEST_F(ClearOnceTest, EachCellIsStoredWithTheCompositionItWasLookedAtWith) {
  CGXGridWnd* g = MakeGrid(20, 4);
  auto* control = new RecordingControl(g);
  g->AddCellControl(GX_IDS_CTRL_EDIT, control, TRUE);
  for (ROWCOL r = 1; r <= 20; ++r)
    for (ROWCOL c = 1; c <= 4; ++c) g->SetCellValue(r, c, "x");
  ClearUndo(g);
  Pump();
  control->shown.clear();
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, 20, 4));
  ASSERT_TRUE(g->ClearCells(ranges, FALSE));
  ASSERT_EQ(control->stored.size(), 20u * 4u);
  std::map<const CGXStyle*, int> uses;
  for (const auto& [cell, store] : control->stored) {
    ASSERT_EQ(control->shown.count(cell), 1u) << cell.first << "," << cell.second;
    EXPECT_EQ(store.first, control->shown[cell]) << cell.first << "," << cell.second;
    ++uses[store.first];
  }
  // Two cells never share a held composition within one step (the whole block is one step here).
  for (const auto& [style, n] : uses) EXPECT_EQ(n, 1);
}

// An edit control (taking typed text) whose store of a cell in column 1 also gives the cell to its right another
// control.
class NeighbourChangingControl : public CGXControl {
 public:
  NeighbourChangingControl(CGXGridCore* grid, WORD otherId) : CGXControl(grid), m_otherId(otherId) {}
  BOOL TakesTypedText() override { return TRUE; }
  BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                  const CGXStyle* composed) override {
    const BOOL stored = CGXControl::StoreStyle(row, col, style, mode, type, composed);
    if (col == 1) {
      CGXStyle other;
      other.SetControl(m_otherId);
      Grid()->WriteStoredStyle(row, 2, &other, gxApplyNew, 0);
    }
    return stored;
  }

 private:
  WORD m_otherId;
};

// A control's store that writes further cells of the step ends the held compositions: the cells after it are
// stored with what they compose to then (here: the control the neighbour's store gave them).
TEST_F(ClearOnceTest, AStoreThatWritesOtherCellsHasTheRestComposedAgain) {
  constexpr WORD kOther = 52001;
  CGXGridWnd* g = MakeGrid(4, 2);
  for (ROWCOL r = 1; r <= 4; ++r)
    for (ROWCOL c = 1; c <= 2; ++c) g->SetCellValue(r, c, "x");
  ClearUndo(g);
  g->AddCellControl(GX_IDS_CTRL_EDIT, new NeighbourChangingControl(g, kOther), TRUE);
  auto* other = new RecordingControl(g);
  g->AddCellControl(kOther, other);
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, 4, 2));
  ASSERT_TRUE(g->ClearCells(ranges, FALSE));
  EXPECT_EQ(other->stored.size(), 4u);
  for (ROWCOL r = 1; r <= 4; ++r) {
    EXPECT_EQ(other->stored.count(std::make_pair(r, ROWCOL{2})), 1u) << r;
    EXPECT_EQ(g->GetCellValue(r, 1), "");
    EXPECT_EQ(g->GetCellValue(r, 2), "");
  }
}

// A grid that tints a cell in column 2 while the cell to its left holds a value of its own.
class NeighbourTintGrid : public CGXGridWnd {
 public:
  void ComposeCellStyle(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard) override {
    CGXGridWnd::ComposeCellStyle(row, col, style, withStandard);
    if (col == 2 && !GetStoredCellValue(row, 1).IsEmpty()) style.SetTextColor(RGB(255, 0, 0));
  }
};

// A derived grid may compose a cell from other cells: its cells are composed again when stored, after the
// cells before them in the step were cleared.
TEST_F(ClearOnceTest, ADerivedGridsCellsAreComposedAgainWhenStored) {
  auto* g = MakeGrid<NeighbourTintGrid>(6, 2);
  auto* control = new RecordingControl(g);
  g->AddCellControl(GX_IDS_CTRL_EDIT, control, TRUE);
  for (ROWCOL r = 1; r <= 6; ++r)
    for (ROWCOL c = 1; c <= 2; ++c) g->SetCellValue(r, c, "x");
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, 6, 2));
  ASSERT_TRUE(g->ClearCells(ranges, FALSE));
  ASSERT_EQ(control->stored.size(), 12u);
  for (ROWCOL r = 1; r <= 6; ++r) {
    // Looked at while its neighbour held "x" (tinted), stored after the neighbour was cleared (not).
    EXPECT_EQ(control->stored[std::make_pair(r, ROWCOL{2})].second, RGB(0, 0, 0)) << r;
    EXPECT_EQ(g->GetCellValue(r, 2), "");
  }
}

// A block larger than the compositions one step holds is cleared in several steps; undo and redo still
// restore every cell.
TEST_F(ClearOnceTest, ABlockBeyondTheHeldCompositionsClearsInStepsThatUndoWhole) {
  CGXGridWnd* g = MakeGrid(180, 100);
  g->GetParam()->m_bUndoEnabled = FALSE;
  for (ROWCOL r = 1; r <= 180; ++r)
    for (ROWCOL c = 1; c <= 100; ++c) g->SetCellValue(r, c, "7", 0);
  g->GetParam()->m_bUndoEnabled = TRUE;
  ClearUndo(g);
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, 180, 100));
  ASSERT_TRUE(g->ClearCells(ranges, FALSE));
  CObList& undo = g->GetParam()->GetUndoList();
  ASSERT_EQ(undo.GetCount(), 1);
  EXPECT_GE(static_cast<CGXBlockCmd*>(undo.GetHead())->m_commands.GetCount(), 2);
  for (ROWCOL r = 1; r <= 180; r += 17)
    for (ROWCOL c = 1; c <= 100; c += 9) EXPECT_EQ(g->GetCellValue(r, c), "");
  EXPECT_EQ(g->GetCellValue(180, 100), "");
  ASSERT_TRUE(g->Undo());
  for (ROWCOL r = 1; r <= 180; ++r)
    for (ROWCOL c = 1; c <= 100; ++c) ASSERT_EQ(g->GetCellValue(r, c), "7") << r << "," << c;
  ASSERT_TRUE(g->Redo());
  EXPECT_EQ(g->GetCellValue(90, 50), "");
  EXPECT_EQ(g->GetCellValue(180, 100), "");
}

}  // namespace
