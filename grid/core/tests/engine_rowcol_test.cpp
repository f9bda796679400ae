// Rows and columns: the undo side of every structure change as the command factory sees it (creators and
// their arguments, transactions, the data object's undo recording, refusals and failures), the data that an
// undo brings back, and the edge cases of counts, heights, frozen rows, the top row and the read-only lock.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXSpanCellPool.h"
#include "grid/core/tests/enginetest.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/base/CObArray.h"
#include "platform/gdi/CDC.h"

namespace {

using enginetest::EngineTest;
using enginetest::PaintRecorder;
using enginetest::RecordingFloat;

class RowColTest : public EngineTest {};

// What a recording factory's creators return: the arguments, owning what the engine handed over.
struct FakeCommand : CObject {
  ~FakeCommand() override {
    delete[] sizes;
    for (CObArray* a : {cells, lines}) {
      if (!a) continue;
      for (INT_PTR i = 0; i < a->GetSize(); ++i) delete a->GetAt(i);
      delete a;
    }
  }
  std::string kind;
  ROWCOL a = 0, b = 0, extra = 0;
  int* sizes = nullptr;
  std::unique_ptr<BOOL[]> marks;
  CObArray* cells = nullptr;
  CObArray* lines = nullptr;
};

// A marker for the data object's undo information.
struct DataUndoInfo : CObject {};

// Records every call in order; creators return FakeCommands (or null with nullCommands), AddCommand keeps them.
class RecordingFactory : public CGXCommandFactory {
 public:
  std::vector<std::string> log;
  std::vector<std::unique_ptr<FakeCommand>> added;
  BOOL nullCommands = FALSE, allowRemove = TRUE, recording = FALSE;
  BOOL pendingInfo = FALSE;  // DetachDataUndoInfo hands out a marker once
  std::vector<CObject*> applied;

  FakeCommand* Make(std::string kind, ROWCOL a, ROWCOL b, ROWCOL extra = 0) {
    log.push_back("Create" + kind + ":" + std::to_string(a) + "," + std::to_string(b) +
                  (extra ? "," + std::to_string(extra) : ""));
    if (nullCommands) return nullptr;
    auto* c = new FakeCommand;
    c->kind = kind;
    c->a = a;
    c->b = b;
    c->extra = extra;
    return c;
  }
  CObject* CreateSetRowHeightCmd(ROWCOL from, ROWCOL to, int* heights) override {
    FakeCommand* c = Make("RowHeights", from, to);
    if (c) c->sizes = heights;
    return c;
  }
  CObject* CreateSetDefaultRowHeightCmd(int h) override { return Make("DefaultRowHeight", static_cast<ROWCOL>(h), 0); }
  CObject* CreateSetColWidthCmd(ROWCOL from, ROWCOL to, int* widths) override {
    FakeCommand* c = Make("ColWidths", from, to);
    if (c) c->sizes = widths;
    return c;
  }
  CObject* CreateRemoveRowsCmd(ROWCOL from, ROWCOL to) override { return Make("RemoveRows", from, to); }
  CObject* CreateRemoveColsCmd(ROWCOL from, ROWCOL to) override { return Make("RemoveCols", from, to); }
  CObject* CreateInsertRowsCmd(ROWCOL row, ROWCOL count, int* heights, CObArray* cells, CObArray* rows,
                               ROWCOL colCount) override {
    FakeCommand* c = Make("InsertRows", row, count, colCount);
    if (c) c->sizes = heights, c->cells = cells, c->lines = rows;
    return c;
  }
  CObject* CreateInsertColsCmd(ROWCOL col, ROWCOL count, int* widths, CObArray* cells, CObArray* cols,
                               ROWCOL rowCount) override {
    FakeCommand* c = Make("InsertCols", col, count, rowCount);
    if (c) c->sizes = widths, c->cells = cells, c->lines = cols;
    return c;
  }
  CObject* CreateSetFrozenRowsCmd(ROWCOL frozen, ROWCOL header) override { return Make("FrozenRows", frozen, header); }
  static FakeCommand* Marked(FakeCommand* c, BOOL* hidden) { return c ? (c->marks.reset(hidden), c) : c; }
  CObject* CreateHideRowsCmd(ROWCOL f, ROWCOL t, BOOL* h) override { return Marked(Make("HideRows", f, t), h); }
  CObject* CreateHideColsCmd(ROWCOL f, ROWCOL t, BOOL* h) override { return Marked(Make("HideCols", f, t), h); }
  // Collects the cells of the rows (colCount + 1 per row) and the rows' own styles, as the real one does.
  BOOL SaveRemovedRowsData(CGXGridCore* g, ROWCOL from, ROWCOL to, CObArray*& cells, CObArray*& rows) override {
    log.push_back("SaveRemovedRows:" + std::to_string(from) + "," + std::to_string(to));
    if (!allowRemove) return FALSE;
    const ROWCOL cols = g->GetColCount() + 1;
    cells = new CObArray;
    rows = new CObArray;
    for (ROWCOL r = from; r <= to; ++r) {
      for (ROWCOL c = 0; c < cols; ++c) {
        auto s = std::make_unique<CGXStyle>();
        cells->Add(g->ReadStoredStyle(r, c, *s, gxCopy, 0) ? s.release() : nullptr);
      }
      auto s = std::make_unique<CGXStyle>();
      rows->Add(g->ReadStoredStyle(r, 0, *s, gxCopy, -1) ? s.release() : nullptr);
    }
    return TRUE;
  }
  // The column twin: per removed column, its cells of rows 0..rowCount and the column's own style.
  BOOL SaveRemovedColsData(CGXGridCore* g, ROWCOL from, ROWCOL to, CObArray*& cells, CObArray*& cols) override {
    log.push_back("SaveRemovedCols:" + std::to_string(from) + "," + std::to_string(to));
    if (!allowRemove) return FALSE;
    const ROWCOL rows = g->GetRowCount() + 1;
    cells = new CObArray;
    cols = new CObArray;
    for (ROWCOL c = from; c <= to; ++c) {
      for (ROWCOL r = 0; r < rows; ++r) {
        auto s = std::make_unique<CGXStyle>();
        cells->Add(g->ReadStoredStyle(r, c, *s, gxCopy, 0) ? s.release() : nullptr);
      }
      auto s = std::make_unique<CGXStyle>();
      cols->Add(g->ReadStoredStyle(0, c, *s, gxCopy, -1) ? s.release() : nullptr);
    }
    return TRUE;
  }
  CObject* CreateSetFrozenColsCmd(ROWCOL frozen, ROWCOL header) override { return Make("FrozenCols", frozen, header); }
  CObject* CreateSetDefaultColWidthCmd(int w) override { return Make("DefaultColWidth", static_cast<ROWCOL>(w), 0); }
  void BeginTransaction(CGXGridCore*, LPCTSTR name) override { log.push_back(std::string("Begin:") + name); }
  void CommitTransaction(CGXGridCore*) override { log.push_back("Commit"); }
  void AddCommand(CGXGridCore*, CObject* command, int type) override {
    log.push_back("Add:" + std::to_string(type));
    added.emplace_back(static_cast<FakeCommand*>(command));
  }
  void RestoreCurrentCell(CGXGridCore*, ROWCOL row, ROWCOL col, BOOL moveGrid) override {
    log.push_back("Restore:" + std::to_string(row) + "," + std::to_string(col) + "," + std::to_string(moveGrid));
  }
  BOOL EnableDataUndoRecording(CGXGridCore*, BOOL enable) override {
    log.push_back("Recording:" + std::to_string(enable));
    BOOL old = recording;
    recording = enable;
    return old;
  }
  CObject* DetachDataUndoInfo(CGXGridCore*) override {
    log.push_back("Detach");
    if (!pendingInfo) return nullptr;
    pendingInfo = FALSE;
    return new DataUndoInfo;
  }
  BOOL ApplyDataUndoInfo(CGXGridCore*, CObject* info, DWORD_PTR a, DWORD_PTR b) override {
    log.push_back("Apply:" + std::to_string(a) + "," + std::to_string(b));
    applied.push_back(info);
    return FALSE;
  }
  void DiscardDataUndoInfo(CGXGridCore*) override { log.push_back("Discard"); }

  BOOL Logged(const std::string& entry) const {
    for (const auto& e : log)
      if (e == entry) return TRUE;
    return FALSE;
  }
  BOOL AnyStartingWith(const std::string& prefix) const {
    for (const auto& e : log)
      if (e.rfind(prefix, 0) == 0) return TRUE;
    return FALSE;
  }
};

RecordingFactory* Install(CGXGridCore* g) {
  auto* f = new RecordingFactory;
  g->SetFeature(f);
  return f;
}

void SetValue(CGXGridCore* g, ROWCOL row, ROWCOL col, const char* text) {
  CGXStyle s;
  s.SetValue(text);
  g->SetStyleRange(CGXRange(row, col), s);
}

// Units per pixel of stored heights and widths (the undo commands receive stored units).
int RowStep(const CGXGridCore* g) { return 1000 / g->GetFontHeight(); }
int ColStep(const CGXGridCore* g) { return 1000 / g->GetFontWidth(); }

TEST_F(RowColTest, RemoveRowsCollectsTheUndoDataInOneTransactionAndUndoBringsTheRowsBack) {
  CGXGridWnd* g = MakeGrid(10, 3);
  SetValue(g, 4, 2, "four");
  SetValue(g, 5, 1, "five");
  CGXStyle rowStyle;
  rowStyle.SetValue("row5");
  g->WriteStoredStyle(5, 0, &rowStyle, gxCopy, -1);
  g->SetRowHeight(5, 5, 33, nullptr, 0, 1);  // rollback type: nothing recorded yet
  RecordingFactory* f = Install(g);
  f->pendingInfo = TRUE;

  ASSERT_TRUE(g->RemoveRows(4, 5, 0, 0));
  EXPECT_EQ(g->GetRowCount(), 8u);
  EXPECT_EQ(g->GetCellValue(4, 1), "");
  const std::vector<std::string> expected = {"SaveRemovedRows:4,5", "Begin:Removing rows ...", "Recording:1",
                                             "Recording:0", "Detach", "CreateInsertRows:4,2,4", "Add:0", "Commit"};
  EXPECT_EQ(f->log, expected);
  ASSERT_EQ(f->added.size(), 1u);
  FakeCommand& cmd = *f->added[0];
  // Heights: row 4 had the default (-1 brings the default back), row 5 its own 33 pixels (in stored units).
  EXPECT_EQ(cmd.sizes[0], -1);
  EXPECT_EQ(cmd.sizes[1], 33 * RowStep(g));
  // The data object's record sits right behind the 2 x 4 cells.
  ASSERT_EQ(cmd.cells->GetSize(), 9);
  EXPECT_TRUE(dynamic_cast<DataUndoInfo*>(cmd.cells->GetAt(8)) != nullptr);

  // Undo: the command inserts the rows again with everything collected and records their removal.
  f->log.clear();
  ASSERT_TRUE(g->InsertRows(cmd.a, cmd.b, cmd.sizes, cmd.cells, cmd.lines, cmd.extra, 0, 2));
  EXPECT_EQ(g->GetRowCount(), 10u);
  EXPECT_EQ(g->GetCellValue(4, 2), "four");
  EXPECT_EQ(g->GetCellValue(5, 1), "five");
  CGXStyle back;
  ASSERT_TRUE(g->ReadStoredStyle(5, 0, back, gxCopy, -1));
  EXPECT_EQ(back.GetValue(), "row5");
  EXPECT_EQ(g->GetRowHeight(4), 20);
  EXPECT_EQ(g->GetRowHeight(5), 33);
  // The record is handed back before and after the store; undo opens no transaction and brings row 4 into
  // view at the first scrolled column.
  const std::vector<std::string> undo = {"Apply:1,1", "Recording:1", "Recording:0", "Apply:1,0",
                                         "CreateRemoveRows:4,5", "Add:2", "Restore:4,1,1"};
  EXPECT_EQ(f->log, undo);
  EXPECT_EQ(f->applied.size(), 2u);
  EXPECT_EQ(f->applied[0], cmd.cells->GetAt(8));
}

TEST_F(RowColTest, TheColumnFormsRecordAndBringBackColumnsWidthsAndFrozenColumns) {
  CGXGridWnd* g = MakeGrid(4, 6);
  SetValue(g, 2, 3, "b3");
  SetValue(g, 4, 4, "d4");
  CGXStyle colStyle;
  colStyle.SetValue("col4");
  g->WriteStoredStyle(0, 4, &colStyle, gxCopy, -1);
  g->SetColWidth(4, 4, 70, nullptr, 0, 1);
  RecordingFactory* f = Install(g);
  ASSERT_TRUE(g->RemoveCols(3, 4, 0, 0));
  EXPECT_EQ(g->GetColCount(), 4u);
  const std::vector<std::string> expected = {"SaveRemovedCols:3,4", "Begin:Removing columns ...", "Recording:1",
                                             "Recording:0", "Detach", "CreateInsertCols:3,2,5", "Add:0", "Commit"};
  EXPECT_EQ(f->log, expected);
  FakeCommand& cmd = *f->added[0];
  EXPECT_EQ(cmd.sizes[0], -1);
  EXPECT_EQ(cmd.sizes[1], 70 * ColStep(g));
  f->log.clear();
  ASSERT_TRUE(g->InsertCols(cmd.a, cmd.b, cmd.sizes, cmd.cells, cmd.lines, cmd.extra, 0, 2));
  EXPECT_EQ(g->GetColCount(), 6u);
  EXPECT_EQ(g->GetCellValue(2, 3), "b3");
  EXPECT_EQ(g->GetCellValue(4, 4), "d4");
  EXPECT_EQ(g->GetColWidth(4), 70);
  EXPECT_EQ(g->GetColWidth(3), 50);
  CGXStyle back;
  ASSERT_TRUE(g->ReadStoredStyle(0, 4, back, gxCopy, -1));
  EXPECT_EQ(back.GetValue(), "col4");
  const std::vector<std::string> undo = {"Recording:1", "Recording:0", "CreateRemoveCols:3,4", "Add:2",
                                         "Restore:1,3,1"};
  EXPECT_EQ(f->log, undo);

  f->log.clear();
  ASSERT_TRUE(g->SetColWidth(2, 2, 80, nullptr, 0, 0));
  ASSERT_TRUE(g->SetDefaultColWidth(60, 0, 0));
  ASSERT_TRUE(g->SetFrozenCols(2, 1, 0, 0));
  const std::vector<std::string> sizes = {"CreateColWidths:2,2", "Add:0",
                                          "CreateDefaultColWidth:" + std::to_string(50 * ColStep(g)) + ",0",
                                          "Add:0", "CreateFrozenCols:0,0", "Add:0"};
  EXPECT_EQ(f->log, sizes);
}

// Undo of a removal brings hidden lines back hidden: a command restoring the marks is recorded before the insert
// command (undo runs a transaction's commands newest first), only when a removed line is hidden.
TEST_F(RowColTest, UndoOfARemovalBringsBackTheHiddenMarksOfRowsAndColumns) {
  const struct { BOOL rows; std::set<ROWCOL> hidden; std::string recorded; } cases[] = {
      {TRUE, {3, 6}, "HideRows1001 InsertRows "}, {FALSE, {3, 6}, "HideCols1001 InsertCols "},
      {TRUE, {2}, "InsertRows "}, {FALSE, {}, "InsertCols "}};
  for (const auto& c : cases) {
    CGXGridWnd* g = MakeGrid(6, 6);
    auto* hide = new enginetest::TestHideCells;
    g->SetFeature(hide);
    (c.rows ? hide->rows : hide->cols) = c.hidden;
    RecordingFactory* f = Install(g);
    ASSERT_TRUE(c.rows ? g->RemoveRows(3, 9, 0, 0) : g->RemoveCols(3, 9, 0, 0));  // 3..6, the last included
    std::string recorded;
    for (const auto& cmd : f->added) {
      recorded += cmd->kind;
      for (int i = 0; cmd->marks && i < 4; ++i) recorded += cmd->marks[i] ? '1' : '0';
      recorded += ' ';
    }
    EXPECT_EQ(recorded, c.recorded);
  }
}

TEST_F(RowColTest, ARefusedRemovalChangesNothingAndAFailedStoreStillClosesTheTransaction) {
  CGXGridWnd* g = MakeGrid(10, 3);
  SetValue(g, 4, 1, "kept");
  g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(4, 6)));
  RecordingFactory* f = Install(g);
  f->allowRemove = FALSE;
  EXPECT_FALSE(g->RemoveRows(4, 5, 0, 0));
  EXPECT_EQ(g->GetRowCount(), 10u);
  EXPECT_EQ(g->GetCellValue(4, 1), "kept");
  EXPECT_EQ(g->GetParam()->GetSelection().GetCount(), 1);
  EXPECT_EQ(f->log, std::vector<std::string>{"SaveRemovedRows:4,5"});

  // A read-only grid under the lock refuses the store half: the pending record goes, the transaction closes.
  f->allowRemove = TRUE;
  f->log.clear();
  g->SetReadOnly(TRUE);
  EXPECT_FALSE(g->RemoveRows(4, 5, 0, 0));
  EXPECT_EQ(g->GetRowCount(), 10u);
  const std::vector<std::string> removeFailed = {"SaveRemovedRows:4,5", "Begin:Removing rows ...", "Recording:1",
                                                 "Recording:0", "Discard", "Commit"};
  EXPECT_EQ(f->log, removeFailed);
  f->log.clear();
  EXPECT_FALSE(g->InsertRows(2, 1, nullptr, nullptr, nullptr, 0, 0, 0));
  const std::vector<std::string> insertFailed = {"Begin:Insert Rows", "Recording:1", "Recording:0", "Discard",
                                                 "Commit"};
  EXPECT_EQ(f->log, insertFailed);
  EXPECT_TRUE(f->added.empty());
}

TEST_F(RowColTest, NothingIsRecordedForRollbacksOrWithUndoOff) {
  CGXGridWnd* g = MakeGrid(10, 3);
  RecordingFactory* f = Install(g);
  ASSERT_TRUE(g->InsertRows(2, 2, nullptr, nullptr, nullptr, 0, 0, 1));
  ASSERT_TRUE(g->RemoveRows(2, 3, 0, 1));
  ASSERT_TRUE(g->SetRowHeight(2, 3, 25, nullptr, 0, 1));
  ASSERT_TRUE(g->SetFrozenRows(1, 0, 0, 1));
  EXPECT_FALSE(f->AnyStartingWith("Create"));
  EXPECT_FALSE(f->AnyStartingWith("Begin"));
  EXPECT_FALSE(f->AnyStartingWith("SaveRemoved"));
  EXPECT_FALSE(f->Logged("Recording:1"));

  // Undo switched off: type 0 still opens (and closes) the transaction, but records nothing.
  f->log.clear();
  g->GetParam()->m_bUndoEnabled = FALSE;
  ASSERT_TRUE(g->RemoveRows(2, 2, 0, 0));
  ASSERT_TRUE(g->SetDefaultRowHeight(22, 0, 0));
  EXPECT_FALSE(f->AnyStartingWith("Create"));
  EXPECT_FALSE(f->AnyStartingWith("SaveRemoved"));
  EXPECT_TRUE(f->Logged("Begin:Removing rows ..."));
  EXPECT_TRUE(f->Logged("Commit"));
  EXPECT_TRUE(f->Logged("Discard"));  // the data object's record is not kept
  EXPECT_TRUE(f->added.empty());
}

TEST_F(RowColTest, HeightsFrozenRowsAndDefaultsRecordTheirOldValues) {
  CGXGridWnd* g = MakeGrid(10, 3);
  auto* hide = new enginetest::TestHideCells;
  g->SetFeature(hide);
  g->SetRowHeight(3, 3, 30, nullptr, 0, 1);
  hide->rows.insert(3);  // hidden: shown as 0, but its own height is what undo must bring back
  RecordingFactory* f = Install(g);
  const int heights[] = {40, 41, 42};
  ASSERT_TRUE(g->SetRowHeight(2, 4, 0, heights, 0, 0));
  EXPECT_EQ(g->GetRowHeight(4), 42);
  ASSERT_EQ(f->added.size(), 1u);
  EXPECT_EQ(f->added[0]->kind, "RowHeights");
  EXPECT_EQ(f->added[0]->sizes[0], -1);
  EXPECT_EQ(f->added[0]->sizes[1], 30 * RowStep(g));
  EXPECT_EQ(f->added[0]->sizes[2], -1);
  // Executing the recorded command (as undo) restores the rows and brings row 2 into view.
  f->log.clear();
  ASSERT_TRUE(g->SetRowHeight(2, 4, 0, f->added[0]->sizes, 0, 2));
  hide->rows.clear();
  EXPECT_EQ(g->GetRowHeight(2), 20);
  EXPECT_EQ(g->GetRowHeight(3), 30);
  EXPECT_TRUE(f->Logged("Restore:2,1,1"));
  EXPECT_TRUE(f->Logged("Add:2"));

  // A factory that gives no command: the engine frees the saved heights itself (checked by the leak checker).
  f->nullCommands = TRUE;
  f->log.clear();
  ASSERT_TRUE(g->SetRowHeight(5, 9, 25, nullptr, 0, 0));
  ASSERT_TRUE(g->RemoveRows(5, 6, 0, 0));
  EXPECT_TRUE(f->Logged("CreateInsertRows:5,2,4"));
  EXPECT_FALSE(f->AnyStartingWith("Add"));
  f->nullCommands = FALSE;

  f->log.clear();
  ASSERT_TRUE(g->SetDefaultRowHeight(25, 0, 0));
  ASSERT_TRUE(g->SetFrozenRows(2, 1, 0, 0));
  ASSERT_TRUE(g->SetFrozenRows(3, 0, 0, 0));
  const std::vector<std::string> expected = {"CreateDefaultRowHeight:" + std::to_string(20 * RowStep(g)) + ",0",
                                             "Add:0", "CreateFrozenRows:0,0", "Add:0", "CreateFrozenRows:2,1", "Add:0"};
  EXPECT_EQ(f->log, expected);
}

// Long loops poll through the long-operation scope; the handler stands for the message loop (it may repaint
// the grid) and for the user's answer to the abort question.
struct Polls {
  static inline CGXGridWnd* grid = nullptr;
  static inline int count = 0, abortAt = 0;
  static inline std::vector<std::string> texts;
  static BOOL Handler(const CGXLongOperationScope& scope) {
    ++count;
    texts.push_back(scope.m_pszText ? scope.m_pszText : "");
    // A paint between two cells: the grid is drawn in the middle of the change.
    if (grid) grid->RedrawAll(GX_UPDATENOW);
    return abortAt != 0 && count == abortAt;
  }
  explicit Polls(CGXGridWnd* g) {
    grid = g;
    count = abortAt = 0;
    texts.clear();
  }
  ~Polls() { grid = nullptr; }
  enginetest::TestLongOperation service{[](CGXLongOperationScope& scope) { return Handler(scope); }};
};

TEST_F(RowColTest, LongInsertsAndSizeChangesPollPerStepAndSurviveARepaintOrAnAbort) {
  CGXGridWnd* g = MakeGrid(6, 3);
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 2));
  RecordingFactory* f = Install(g);
  // Two rows of 4 cells (columns 0..3) brought back by an insert command: one poll per cell.
  auto cells = std::make_unique<CObArray>();
  for (int i = 0; i < 8; ++i) {
    auto* s = new CGXStyle;
    s->SetValue(std::to_string(i).c_str());
    cells->Add(s);
  }
  {
    Polls polls(g);
    ASSERT_TRUE(g->InsertRows(2, 2, nullptr, cells.get(), nullptr, 4, GX_UPDATENOW, 0));
    EXPECT_EQ(Polls::count, 8);
    EXPECT_EQ(Polls::texts.front(), "Insert Rows");  // the process-wide text while the rows go in
  }
  EXPECT_EQ(CGXLongOperationScope::GetNestingLevel(), 0);
  EXPECT_EQ(g->GetRowCount(), 8u);
  EXPECT_EQ(g->GetCellValue(3, 3), "7");
  EXPECT_TRUE(g->MatchesCurrentCell(6, 2));
  EXPECT_TRUE(f->Logged("CreateRemoveRows:2,3"));
  // An abort keeps the rows and the cells written so far; the change is still refreshed and recorded.
  {
    Polls polls(g);
    Polls::abortAt = 3;
    ASSERT_TRUE(g->InsertRows(1, 2, nullptr, cells.get(), nullptr, 4, GX_UPDATENOW, 0));
    EXPECT_EQ(Polls::count, 3);
  }
  EXPECT_EQ(g->GetRowCount(), 10u);
  EXPECT_EQ(g->GetCellValue(1, 2), "2");
  EXPECT_EQ(g->GetCellValue(1, 3), "");
  EXPECT_TRUE(g->MatchesCurrentCell(8, 2));
  for (INT_PTR i = 0; i < cells->GetSize(); ++i) delete cells->GetAt(i);

  // Heights poll after each row but the last; an abort after the second row changes rows 2 and 3 only, and
  // the command covers just those.
  f->log.clear();
  {
    Polls polls(g);
    Polls::abortAt = 2;
    ASSERT_TRUE(g->SetRowHeight(2, 6, 33, nullptr, GX_UPDATENOW, 0));
  }
  EXPECT_EQ(g->GetRowHeight(3), 33);
  EXPECT_EQ(g->GetRowHeight(4), 20);
  EXPECT_TRUE(f->Logged("CreateRowHeights:2,3"));
  {
    Polls polls(g);
    ASSERT_TRUE(g->SetColWidth(1, 3, 50, nullptr, GX_UPDATENOW, 0));
    EXPECT_EQ(Polls::count, 2);
  }
  EXPECT_EQ(g->GetColWidth(3), 50);
}

// The covered-cells feature hears of removed rows before they go, and may change the removal's redraw.
struct CoveredRemoveNotice : CGXGridCoveredCellsImp {
  void OnRemoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, UINT* flags, int commandType) override {
    log.push_back(std::to_string(from) + "," + std::to_string(to) + "," + std::to_string(*flags) + "," +
                  std::to_string(commandType) + " of " + std::to_string(g->GetRowCount()));
    *flags = newFlags;
  }
  std::vector<std::string> log;
  UINT newFlags = 0;
};

// Records the flags and old heights the update half of a removal receives.
class RemoveRecorder : public CGXGridWnd {
 public:
  void UpdateRemoveRows(ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags, BOOL createHint) override {
    seen.push_back(flags);
    heights.assign(oldHeights ? oldHeights : nullptr, oldHeights ? oldHeights + (to - from + 1) : nullptr);
    CGXGridWnd::UpdateRemoveRows(from, to, oldHeights, flags, createHint);
  }
  std::vector<UINT> seen;
  std::vector<int> heights;
};

TEST_F(RowColTest, TheCoveredCellsFeatureHearsOfRemovedRowsAndMayChangeTheRedraw) {
  auto* g = MakeGrid<RemoveRecorder>(30, 3);
  g->SetRowHeight(4, 4, 33, nullptr, 0);
  auto* covered = new CoveredRemoveNotice;
  g->SetFeature(covered);
  // Told before the rows go; its flags are the ones the update half receives, with the shown heights.
  covered->newFlags = GX_INVALIDATE;
  ASSERT_TRUE(g->RemoveRows(3, 4, GX_UPDATENOW, 1));
  EXPECT_EQ(covered->log, std::vector<std::string>{"3,4,2,1 of 30"});
  EXPECT_EQ(g->seen, std::vector<UINT>{GX_INVALIDATE});
  EXPECT_TRUE(g->heights.empty());  // flags no longer exactly 2 and nothing to undo: not measured
  covered->newFlags = GX_UPDATENOW;
  ASSERT_TRUE(g->RemoveRows(3, 4, GX_INVALIDATE, 1));
  EXPECT_EQ(g->heights, (std::vector<int>{20, 20}));
  // Columns have no remove notice.
  ASSERT_TRUE(g->RemoveCols(1, 1, GX_UPDATENOW, 0));
  EXPECT_EQ(covered->log.size(), 2u);
}

TEST_F(RowColTest, ChangedHeightsRedrawFromTheirOldHeights) {
  auto* g = MakeGrid<PaintRecorder>(50, 3, 300, 200);
  g->RedrawAll(GX_UPDATENOW);
  g->Take();
  // Row 3 (y 60..80) grows by 10: the rows below scroll down and only row 3 repaints; without the old
  // height the whole area below row 3 would repaint.
  ASSERT_TRUE(g->SetRowHeight(3, 3, 30, nullptr, GX_UPDATENOW, 0));
  const CRect p = g->Take();
  EXPECT_EQ(p.top, 60);
  EXPECT_EQ(p.bottom, 90);
  ASSERT_TRUE(g->SetColWidth(1, 1, 130, nullptr, GX_UPDATENOW, 0));
  const CRect q = g->Take();
  EXPECT_LT(q.right, 300);
}

// What a registered installer saw of the grid's features (only while a test listens).
std::vector<std::string>* g_installOrder = nullptr;

TEST_F(RowColTest, AGridMadeAfterStartUpHasTheEnginesFeaturesAndTheRegisteredOnes) {
  // The editing features of other libraries register installers; they run after the engine's own.
  static const bool registered = [] {
    CGXControlFactory::AddGridComponentInstaller([](CGXGridCore* grid) {
      if (!g_installOrder || !grid) return;
      const bool engines = grid->m_bAutoScrollPluginInstalled && grid->GetUpdateHintImp() &&
                           grid->GetOldDrawingImp() && grid->GetOptimizedUpdateImp();
      g_installOrder->push_back(engines ? "after" : "before");
    });
    return true;
  }();
  (void)registered;
  std::vector<std::string> order;
  g_installOrder = &order;
  {
    CGXGridWnd plain;
    EXPECT_EQ(order, std::vector<std::string>{"after"});
    // Installing again keeps what the grid has.
    CGXGridGlobals::Get().GetControlFactory()->InitializeGridComponents(&plain);
    EXPECT_EQ(order.size(), 2u);
    EXPECT_TRUE(plain.m_bAutoScrollPluginInstalled);
  }
  g_installOrder = nullptr;
}

TEST_F(RowColTest, InsertingRowsMovesHeightsSelectionAndCurrentCell) {
  CGXGridWnd* g = MakeGrid(10, 3);
  g->SetRowHeight(5, 5, 31, nullptr, 0);
  g->GetParam()->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(4, 6)));
  ASSERT_TRUE(g->MoveCurrentCellTo(6, 2));
  ASSERT_TRUE(g->InsertRows(3, 2, nullptr, nullptr, nullptr, 0, 0));
  EXPECT_EQ(g->GetRowHeight(7), 31);
  EXPECT_EQ(g->GetRowHeight(5), 20);
  const CGXRange* sel = g->GetParam()->GetSelection().GetHead();
  EXPECT_EQ(sel->top, 6u);
  EXPECT_EQ(sel->bottom, 8u);
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 8u);
  // Removing a block with the current cell leaves none; removal past the last row stops there.
  ASSERT_TRUE(g->RemoveRows(7, 100, 0));
  EXPECT_EQ(g->GetRowCount(), 6u);
  EXPECT_FALSE(g->QueryCurrentCell(&row, &col));
  EXPECT_FALSE(g->RemoveRows(7, 8, 0));   // nothing there
  EXPECT_FALSE(g->RemoveRows(0, 2, 0));   // never the header row
  EXPECT_FALSE(g->InsertRows(2, 0));      // nothing to insert
  EXPECT_EQ(g->GetRowCount(), 6u);
}

// Counts and frozen rows are structure: the read-only lock refuses them (heights stay open) while the
// parameter object enforces it.
TEST_F(RowColTest, TheReadOnlyLockRefusesCountsAndFrozenRowsUnlessNotEnforced) {
  CGXGridWnd* g = MakeGrid(10, 3);
  ASSERT_TRUE(g->SetFrozenRows(2, 0, 0));
  g->SetReadOnly(TRUE);
  EXPECT_FALSE(g->SetRowCount(12, 0));
  EXPECT_FALSE(g->SetFrozenRows(1, 0, 0));
  EXPECT_TRUE(g->SetRowHeight(4, 4, 27, nullptr, 0));
  EXPECT_EQ(g->GetRowCount(), 10u);
  EXPECT_EQ(g->GetFrozenRows(), 2u);
  g->GetParam()->m_bReadOnlyEnforced = FALSE;
  EXPECT_TRUE(g->SetRowCount(12, 0));
  EXPECT_TRUE(g->SetFrozenRows(1, 0, 0));
  EXPECT_EQ(g->GetRowCount(), 12u);
  EXPECT_EQ(g->GetFrozenRows(), 1u);
}

TEST_F(RowColTest, AChangedRowCountRepaintsBelowTheFirstChangedRowOnlyWhenItIsShown) {
  CGXGridWnd* g = MakeGrid(30, 3, 300, 200);  // rows 1..8 or so are shown
  ASSERT_TRUE(g->StoreRowCount(4));
  g->UpdateChangedRowCount(30, GX_INVALIDATE);
  RECT dirty{};
  ASSERT_TRUE(GetUpdateRect(g->m_hWnd, &dirty, FALSE));
  EXPECT_EQ(dirty.top, 5 * 20);  // below row 4: header row and rows 1..4 of 20 pixels
  Pump();
  // Rows that change far below the window leave the screen alone.
  ASSERT_TRUE(g->StoreRowCount(100));
  g->UpdateChangedRowCount(50, GX_INVALIDATE);
  EXPECT_FALSE(GetUpdateRect(g->m_hWnd, &dirty, FALSE));
  // Without redraw flags nothing is invalidated.
  ASSERT_TRUE(g->StoreRowCount(2));
  g->UpdateChangedRowCount(100, 0);
  EXPECT_FALSE(GetUpdateRect(g->m_hWnd, &dirty, FALSE));
}

// A grid that records the hints it would send; BindToDocument stands for a document view.
// Sends the top-row and left-column hints as the pane of a splitter window would (the plain builder sends
// them only there).
struct PaneHints : CGXGridUpdateHintImp {
  void HintTopRow(CGXGridCore* g, ROWCOL, UINT flags) override { Send(g, gxHintTopRow, flags); }
  void HintLeftCol(CGXGridCore* g, ROWCOL, UINT flags) override { Send(g, gxHintLeftCol, flags); }
  void Send(CGXGridCore* g, DWORD id, UINT flags) {
    CGXGridHint h(id);
    h.m_flags = flags;
    SendHint(g, h);
  }
};

class HintingGrid : public CGXGridWnd {
 public:
  void NotifyOtherViews(CGXGridHint* hint) override { sent.push_back(hint->m_id); }
  void BindToDocument() {
    m_pDocument = &doc;
    m_pUpdateHintImp = std::make_unique<PaneHints>();
  }
  CDocument doc;
  std::vector<DWORD> sent;
};

TEST_F(RowColTest, TheTopRowAndStructureChangesBuildTheirHintsLast) {
  auto* g = MakeGrid<HintingGrid>(30, 3);
  g->m_bHintSwitch = TRUE;
  g->BindToDocument();
  g->SetTopRow(5, 0, FALSE);
  EXPECT_TRUE(g->sent.empty());
  g->SetTopRow(6, 0, TRUE);
  g->SetLeftCol(2, 0, TRUE);
  ASSERT_TRUE(g->SetRowHeight(3, 3, 30, nullptr, 0));
  ASSERT_TRUE(g->SetFrozenRows(1, 0, 0));
  const std::vector<DWORD> expected = {gxHintTopRow, gxHintLeftCol, gxHintRowHeights, gxHintFrozenRows};
  EXPECT_EQ(g->sent, expected);
}

TEST_F(RowColTest, SpanPoolsFollowInsertedAndRemovedRows) {
  CGXSpanCellPool pool;
  // Column 1 holds a vertical span over rows 2..4 and a one-row span at 6; row 3 a horizontal span 1..2.
  auto& col1 = pool.m_perCol.Line(1);
  const DWORD none = CGXSpanCellPool::kNoSpan;
  col1 = {none, none, 2, 2, 2, none, 6, none};
  pool.m_perRow.Line(3) = {none, 1, 1};
  pool.InsertRows(4, 2);
  // The span is cut before the new rows; what lay after them moved on by two.
  EXPECT_EQ(col1, (std::vector<DWORD>{none, none, 2, 2, none, none, none, none, 8, none}));
  EXPECT_EQ(pool.m_perRow.GetAt(3)->size(), 3u);
  EXPECT_EQ(pool.m_perRow.GetAt(4), nullptr);
  pool.RemoveRows(2, 3);
  EXPECT_EQ(col1, (std::vector<DWORD>{none, none, none, none, none, none, 6, none}));
  EXPECT_EQ(pool.m_perRow.GetAt(3), nullptr);  // the line of row 3 went with it
  // Everything from a row on (the form the second merged pool receives).
  pool.RemoveRows(5, 0xFFFFFFFE);
  EXPECT_EQ(col1.size(), 5u);

  // Through the grid: with floating cells on, the parameter object's pool follows the rows.
  CGXGridWnd* g = MakeGrid(10, 3);
  g->GetParam()->m_wFloatingMode = 1;
  g->GetParam()->m_pFloatSpans = std::make_unique<CGXSpanCellPool>();
  g->GetParam()->m_pFloatSpans->m_perRow.Line(5) = {none, 1, 1};
  ASSERT_TRUE(g->InsertRows(2, 1, nullptr, nullptr, nullptr, 0, 0));
  EXPECT_EQ(g->GetParam()->m_pFloatSpans->m_perRow.GetAt(5), nullptr);
  ASSERT_NE(g->GetParam()->m_pFloatSpans->m_perRow.GetAt(6), nullptr);
}

// Records the ranges that the engine asks the merged-cells feature to evaluate anew.
struct RecordingMerge : CGXGridMergeCellsImp {
  void RecalcMergedCells(CGXGridCore*, const CGXRange& r, int) override { ranges.push_back(r); }
  std::vector<CGXRange> ranges;
};

TEST_F(RowColTest, SpannedCellsAreEvaluatedAnewWhereRowsAndSizesChanged) {
  CGXGridWnd* g = MakeGrid(10, 4);
  auto* floating = new RecordingFloat;
  auto* merged = new RecordingMerge;
  g->SetFeature(floating);
  g->SetFeature(merged);
  CGXGridParam* p = g->GetParam();
  p->m_wMergingMode = 1;
  const DWORD none = CGXSpanCellPool::kNoSpan;
  p->m_pMergeSpansH = std::make_unique<CGXSpanCellPool>();
  p->m_pMergeSpansV = std::make_unique<CGXSpanCellPool>();
  p->m_pMergeSpansH->m_perRow.Line(5) = {none, 1, 1};
  p->m_pMergeSpansV->m_perCol.Line(2) = {none, 1, 1, 1, 1, 1, 6, 6};

  ASSERT_TRUE(g->InsertRows(3, 2, nullptr, nullptr, nullptr, 0, 0));
  // The first merged pool follows the rows; the second is dropped from the insertion on and evaluated anew.
  EXPECT_EQ(p->m_pMergeSpansH->m_perRow.GetAt(5), nullptr);
  ASSERT_NE(p->m_pMergeSpansH->m_perRow.GetAt(7), nullptr);
  EXPECT_EQ(*p->m_pMergeSpansV->m_perCol.GetAt(2), (std::vector<DWORD>{none, 1, 1}));
  ASSERT_EQ(merged->ranges.size(), 1u);
  EXPECT_EQ(merged->ranges[0], CGXRange(3, 0, 12, 4));
  EXPECT_TRUE(floating->ranges.empty());  // floating cells are off

  merged->ranges.clear();
  ASSERT_TRUE(g->RemoveRows(2, 3, 0));
  ASSERT_EQ(merged->ranges.size(), 1u);
  EXPECT_EQ(merged->ranges[0], CGXRange(2, 0, 10, 4));

  // Heights re-evaluate floating cells of the rows; the default height the whole table; frozen rows the
  // merged cells from the smaller to one past the larger count.
  merged->ranges.clear();
  ASSERT_TRUE(g->SetRowHeight(4, 6, 30, nullptr, 0));
  ASSERT_EQ(floating->ranges.size(), 1u);
  EXPECT_EQ(floating->ranges[0], CGXRange(4, 0, 6, 4));
  floating->ranges.clear();
  ASSERT_TRUE(g->SetDefaultRowHeight(22, 0));
  ASSERT_EQ(floating->ranges.size(), 1u);
  EXPECT_EQ(floating->ranges[0], CGXRange(0, 0, 10, 4));
  EXPECT_EQ(merged->ranges.back(), CGXRange(0, 0, 10, 4));
  merged->ranges.clear();
  ASSERT_TRUE(g->SetFrozenRows(3, 0, 0));
  ASSERT_TRUE(g->SetFrozenRows(1, 0, 0));
  ASSERT_EQ(merged->ranges.size(), 2u);
  EXPECT_EQ(merged->ranges[0], CGXRange(0, 0, 4, 4));
  EXPECT_EQ(merged->ranges[1], CGXRange(1, 0, 4, 4));
}

// ---- Auto-scroll plug-in ---------------------------------------------------------------------------------

TEST_F(RowColTest, AKeyRequestRepeatsItsKeyFasterAndOnlyOtherKeysOrEscStopIt) {
  CGXGridWnd* g = MakeGrid(2000, 3, 300, 200);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1));
  g->m_bAutoScrollKeyMode = TRUE;
  g->m_nAutoScrollKey = VK_DOWN;
  g->StartAutoScroll(FALSE, TRUE, FALSE);
  plat::AdvanceAndPump(300);
  // The first steps only shorten the delay; below 40 ms each step sends the key with a growing repeat.
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  const ROWCOL early = row;
  plat::AdvanceAndPump(3000);
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_GT(row, early + 20);
  EXPECT_EQ(g->GetAutoScrollDelay(), 0);
  EXPECT_GT(g->GetAutoScrollFactor(), 5);
  // The request's own key keeps it going; Esc ends it.
  ::SendMessage(g->m_hWnd, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_TRUE(g->IsAutoScrolling());
  ::SendMessage(g->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(g->IsAutoScrolling());
  EXPECT_FALSE(g->m_bAutoScrollKeyMode);
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  plat::AdvanceAndPump(500);
  ROWCOL after = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&after, &col));
  EXPECT_EQ(after, row);
}

TEST_F(RowColTest, AScrollBarRequestScrollsWithoutFollowingTheMouseAndReleasesStopIt) {
  CGXGridWnd* g = MakeGrid(2000, 3, 300, 200);
  g->m_nAutoScrollBarCode = SB_LINEDOWN;
  g->StartAutoScroll(FALSE, TRUE, FALSE);
  // A held scroll-bar button starts slowly: the delay shrinks by 1 ms a step and scrolling begins below 40.
  plat::AdvanceAndPump(2000);
  EXPECT_EQ(g->GetTopRow(), 1u);
  plat::AdvanceAndPump(4000);
  EXPECT_GT(g->GetTopRow(), 10u);
  // Every button release, a key release and cancel mode end a request.
  for (UINT stop : {WM_MBUTTONUP, WM_RBUTTONUP, WM_KEYUP, WM_CANCELMODE}) {
    g->m_nAutoScrollBarCode = SB_LINEUP;
    g->StartAutoScroll(FALSE, TRUE, FALSE);
    plat::AdvanceAndPump(50);
    ASSERT_TRUE(g->IsAutoScrolling());
    ::SendMessage(g->m_hWnd, stop, 0, 0);
    EXPECT_FALSE(g->IsAutoScrolling()) << stop;
    EXPECT_EQ(g->m_nAutoScrollBarCode, -1);
  }
  const ROWCOL top = g->GetTopRow();
  plat::AdvanceAndPump(500);
  EXPECT_EQ(g->GetTopRow(), top);
}

TEST_F(RowColTest, HoldingTheMouseBelowTheGridRaisesTheStepFactorUpTo80) {
  CGXGridWnd* g = MakeGrid(400000, 3, 300, 200);
  auto& in = plat::InputRouter::Instance();
  const POINT press = plat::InputRouter::ClientPoint(*g, 75, 50);
  in.MouseMove(press);
  in.ButtonDown(plat::MouseButton::Left, press);
  Pump();
  ASSERT_TRUE(g->IsAutoScrolling());
  in.MouseMove(plat::InputRouter::ClientPoint(*g, 75, 290));
  // 90 pixels below: the delay shrinks by (90 / 5) / 2 = 9 ms a step, then the factor grows by 2 a step.
  plat::AdvanceAndPump(300);
  EXPECT_LT(g->GetAutoScrollFactor(), 80);
  plat::AdvanceAndPump(2000);
  EXPECT_EQ(g->GetAutoScrollDelay(), 0);
  EXPECT_EQ(g->GetAutoScrollFactor(), 80);
  // Moving back towards the grid (a smaller distance) starts slow again.
  in.MouseMove(plat::InputRouter::ClientPoint(*g, 75, 205));
  plat::AdvanceAndPump(200);
  EXPECT_LT(g->GetAutoScrollFactor(), 80);
  in.ButtonUp(plat::MouseButton::Left, press);
  Pump();
  EXPECT_FALSE(g->IsAutoScrolling());
}

TEST_F(RowColTest, TheKeepAliveFlagLetsARequestSurviveTheFocusMovingToTheGridsOwnChild) {
  // A focus loss to another window sends cancel-mode, which ends any auto-scroll; the focus moving into the
  // grid's own child (a cell editor's window) does not, and there the keep-alive flag decides.
  CGXGridWnd* g = MakeGrid(200, 3, 300, 200);
  g->InstallAutoScrollPlugin();
  HWND child = CreateWindowEx(0, "GXWND", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, *g, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  ::SetFocus(*g);
  g->StartAutoScroll(FALSE, TRUE, FALSE);
  g->m_bAutoScrollKeepAlive = TRUE;
  ::SetFocus(child);
  EXPECT_TRUE(g->IsAutoScrolling());
  ::SetFocus(*g);
  g->m_bAutoScrollKeepAlive = FALSE;
  ::SetFocus(child);
  EXPECT_FALSE(g->IsAutoScrolling());
  DestroyWindow(child);
}

// ---- Limits, places past the end, the first scrolled row after removals ------------------------------------

TEST_F(RowColTest, InsertsPastTheRowLimitAreRefusedAndPlacesPastTheEndAppend) {
  CGXGridWnd* g = MakeGrid(5, 3);
  RecordingFactory* f = Install(g);
  // A count that would take the rows past GX_MAXROWCOL: refused before anything (no transaction either).
  EXPECT_FALSE(g->InsertRows(7, GX_MAXROWCOL - 4, nullptr, nullptr, nullptr, 0, 0, 0));
  EXPECT_FALSE(g->InsertCols(2, GX_MAXROWCOL - 2, nullptr, nullptr, nullptr, 0, 0, 0));
  EXPECT_EQ(g->GetRowCount(), 5u);
  EXPECT_EQ(g->GetColCount(), 3u);
  EXPECT_TRUE(f->log.empty());
  // The data object itself keeps to the limit: the highest count is GX_MAXROWCOL, never one above.
  CGXData data;
  ASSERT_TRUE(data.InsertRows(1, GX_MAXROWCOL));
  EXPECT_FALSE(data.InsertRows(1, 1));
  EXPECT_FALSE(data.StoreColCount(0xFFFFFFFFu));
  EXPECT_EQ(data.GetRowCount(), GX_MAXROWCOL);
  EXPECT_EQ(data.GetColCount(), 0u);

  // A place past the end appends, and the undo command names the rows where they are: undoing removes them.
  g->SetRowHeight(5, 5, 30, nullptr, 0, 1);
  ASSERT_TRUE(g->InsertRows(100, 2, nullptr, nullptr, nullptr, 0, 0, 0));
  EXPECT_EQ(g->GetRowCount(), 7u);
  EXPECT_TRUE(f->Logged("CreateRemoveRows:6,7"));
  EXPECT_EQ(g->GetRowHeight(5), 30);
  ASSERT_TRUE(g->RemoveRows(f->added.back()->a, f->added.back()->b, 0, 2));
  EXPECT_EQ(g->GetRowCount(), 5u);
  ASSERT_TRUE(g->InsertCols(50, 1, nullptr, nullptr, nullptr, 0, 0, 0));
  EXPECT_TRUE(f->Logged("CreateRemoveCols:4,4"));
  ASSERT_TRUE(g->RemoveCols(f->added.back()->a, f->added.back()->b, 0, 2));
  EXPECT_EQ(g->GetColCount(), 3u);
}

TEST_F(RowColTest, TheTopRowStaysOnARowAfterRemovalsWhateverTheRedrawPath) {
  enum { kOptimized, kPlain, kLocked };
  for (int mode : {kOptimized, kPlain, kLocked}) {
    SCOPED_TRACE(mode);
    CGXGridWnd* g = MakeGrid(100, 60);
    g->SetTopRow(50, 0);
    g->SetLeftCol(40, 0);
    ASSERT_EQ(g->GetTopRow(), 50u);
    if (mode == kPlain) g->m_bOptimizedUpdate = FALSE;
    if (mode == kLocked) g->LockUpdate(TRUE);
    ASSERT_TRUE(g->RemoveRows(20, 100, GX_INVALIDATE, 0));
    ASSERT_TRUE(g->RemoveCols(30, 60, GX_INVALIDATE, 0));
    EXPECT_LE(g->GetTopRow(), 19u);
    EXPECT_LE(g->GetLeftCol(), 29u);
    ASSERT_TRUE(g->RemoveRows(1, g->GetRowCount(), 0, 0));
    ASSERT_TRUE(g->RemoveCols(1, g->GetColCount(), 0, 0));
    EXPECT_EQ(g->GetTopRow(), 1u);
    EXPECT_EQ(g->GetLeftCol(), 1u);
    if (mode == kLocked) g->LockUpdate(FALSE);
  }
  // Frozen and header rows survive a grid emptied and filled again; meanwhile all rows are frozen ones and
  // the top row is the one after them, as SetTopRow gives it.
  CGXGridWnd* g = MakeGrid(10, 3);
  ASSERT_TRUE(g->SetFrozenRows(3, 1, 0));
  ASSERT_TRUE(g->SetRowCount(2, 0));
  EXPECT_EQ(g->GetFrozenRows(), 3u);
  EXPECT_EQ(g->GetTopRow(), 4u);
  ASSERT_TRUE(g->SetRowCount(10, 0));
  EXPECT_EQ(g->GetFrozenRows(), 3u);
  EXPECT_EQ(g->GetHeaderRows(), 1u);
  EXPECT_EQ(g->GetTopRow(), 4u);
}

// ---- Column notices to the hide and covered-cells features -----------------------------------------------

struct HideNotices : enginetest::TestHideCells {
  void OnInsertRows(CGXGridCore*, ROWCOL row, ROWCOL count) override { Note("InsertRows", row, count); }
  void OnRemoveRows(CGXGridCore*, ROWCOL from, ROWCOL to) override { Note("RemoveRows", from, to); }
  void OnInsertCols(CGXGridCore*, ROWCOL col, ROWCOL count) override { Note("InsertCols", col, count); }
  void OnRemoveCols(CGXGridCore*, ROWCOL from, ROWCOL to) override { Note("RemoveCols", from, to); }
  void Note(const char* what, ROWCOL a, ROWCOL b) {
    log.push_back(std::string(what) + ":" + std::to_string(a) + "," + std::to_string(b));
  }
  std::vector<std::string> log;
};

struct CoveredColNotice : CoveredRemoveNotice {
  void OnRemoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, UINT* flags, int commandType) override {
    log.push_back("cols " + std::to_string(from) + "," + std::to_string(to) + "," + std::to_string(*flags) + "," +
                  std::to_string(commandType) + " of " + std::to_string(g->GetColCount()));
    *flags = newFlags;
  }
};

class RemoveColsRecorder : public CGXGridWnd {
 public:
  void UpdateRemoveCols(ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags, BOOL createHint) override {
    seen.push_back(flags);
    CGXGridWnd::UpdateRemoveCols(from, to, oldWidths, flags, createHint);
  }
  std::vector<UINT> seen;
};

TEST_F(RowColTest, ColumnsComingAndGoingAreToldToTheHideAndCoveredCellsFeatures) {
  auto* g = MakeGrid<RemoveColsRecorder>(6, 8);
  auto* hide = new HideNotices;
  auto* covered = new CoveredColNotice;
  g->SetFeature(hide);
  g->SetFeature(covered);
  ASSERT_TRUE(g->InsertCols(3, 2, nullptr, nullptr, nullptr, 0, 0, 1));
  covered->newFlags = GX_INVALIDATE;
  ASSERT_TRUE(g->RemoveCols(2, 4, GX_UPDATENOW, 1));
  ASSERT_TRUE(g->InsertRows(2, 1, nullptr, nullptr, nullptr, 0, 0, 1));
  const std::vector<std::string> heard = {"InsertCols:3,2", "RemoveCols:2,4", "InsertRows:2,1"};
  EXPECT_EQ(hide->log, heard);
  // Told before the columns go (10 of them still), and its flags are those the update half receives.
  EXPECT_EQ(covered->log, std::vector<std::string>{"cols 2,4,2,1 of 10"});
  EXPECT_EQ(g->seen, std::vector<UINT>{GX_INVALIDATE});
}

// ---- Undo keeps stored units -----------------------------------------------------------------------------

TEST_F(RowColTest, UndoBringsBackTheStoredUnitsOfSizesLoadedFromALayout) {
  CGXGridWnd* g = MakeGrid(6, 4);
  RecordingFactory* f = Install(g);
  CGXGridParam* p = g->GetParam();
  // Values as a layout brings them: no whole number of pixels under this font.
  ASSERT_NE(1001 % RowStep(g), 0);
  ASSERT_NE(10001 % ColStep(g), 0);
  p->m_nDefaultRowHeight = 1001;
  p->m_nDefaultColWidth = 10001;
  p->GetRowHeights()[2] = 1001;
  p->GetRowHeights()[3] = 1003;
  p->GetColWidths()[2] = 10001;
  const auto units = [](const CGXMapDWordToLong& map, ROWCOL line) {
    LONG u = -1;
    return map.Lookup(line, u) ? u : -1;
  };

  ASSERT_TRUE(g->SetDefaultRowHeight(30, 0, 0));
  ASSERT_TRUE(g->SetDefaultColWidth(30, 0, 0));
  ASSERT_TRUE(g->SetRowHeight(2, 2, 30, nullptr, 0, 0));
  ASSERT_TRUE(g->SetColWidth(2, 2, 30, nullptr, 0, 0));
  ASSERT_EQ(f->added.size(), 4u);
  ASSERT_TRUE(g->SetDefaultRowHeight(static_cast<int>(f->added[0]->a), 0, 2));
  ASSERT_TRUE(g->SetDefaultColWidth(static_cast<int>(f->added[1]->a), 0, 2));
  ASSERT_TRUE(g->SetRowHeight(2, 2, 0, f->added[2]->sizes, 0, 2));
  ASSERT_TRUE(g->SetColWidth(2, 2, 0, f->added[3]->sizes, 0, 2));
  EXPECT_EQ(p->m_nDefaultRowHeight, 1001u);
  EXPECT_EQ(p->m_nDefaultColWidth, 10001u);
  EXPECT_EQ(units(p->GetRowHeights(), 2), 1001);
  EXPECT_EQ(units(p->GetColWidths(), 2), 10001);
  // The undo recorded the redo: it brings back the 30 pixels exactly as they were stored.
  ASSERT_EQ(f->added.size(), 8u);
  ASSERT_TRUE(g->SetRowHeight(2, 2, 0, f->added[6]->sizes, 0, 3));
  EXPECT_EQ(units(p->GetRowHeights(), 2), 30 * RowStep(g));
  // A stored default below one unit is refused as a pixel default is.
  EXPECT_FALSE(g->SetDefaultRowHeight(0, 0, 2));

  // Removed rows come back with their units, the default ones without an entry.
  ASSERT_TRUE(g->RemoveRows(3, 4, 0, 0));
  FakeCommand& cmd = *f->added.back();
  ASSERT_EQ(cmd.kind, "InsertRows");
  ASSERT_TRUE(g->InsertRows(cmd.a, cmd.b, cmd.sizes, cmd.cells, cmd.lines, cmd.extra, 0, 2));
  EXPECT_EQ(units(p->GetRowHeights(), 3), 1003);
  EXPECT_EQ(units(p->GetRowHeights(), 4), -1);
  // A caller's heights for new rows stay pixels.
  const int heights[] = {25};
  ASSERT_TRUE(g->InsertRows(2, 1, heights, nullptr, nullptr, 0, 0, 0));
  EXPECT_EQ(g->GetRowHeight(2), 25);
}

// ---- Sizes of rows that exist ----------------------------------------------------------------------------

TEST_F(RowColTest, SizesApplyOnlyToRowsAndColumnsThatExist) {
  CGXGridWnd* g = MakeGrid(5, 3);
  RecordingFactory* f = Install(g);
  CGXGridParam* p = g->GetParam();
  LONG u = 0;
  // Cut to the last row (and recorded so); stopped here, a fault would go on to the 4-billion-row case.
  ASSERT_TRUE(g->SetRowHeight(4, 100000, 25, nullptr, 0, 0));
  ASSERT_FALSE(p->GetRowHeights().Lookup(6, u));
  EXPECT_EQ(g->GetRowHeight(5), 25);
  EXPECT_TRUE(f->Logged("CreateRowHeights:4,5"));
  ASSERT_TRUE(g->SetRowHeight(1, GX_MAXROWCOL, 22, nullptr, 0, 1));
  ASSERT_TRUE(g->SetColWidth(2, GX_MAXROWCOL, 40, nullptr, 0, 1));
  EXPECT_EQ(p->GetRowHeights().GetCount(), 6);  // rows 0 to 5
  EXPECT_EQ(p->GetColWidths().GetCount(), 3);   // columns 0, 2 and 3
  EXPECT_EQ(g->GetRowHeight(1), 22);
  EXPECT_EQ(g->GetColWidth(3), 40);
  // Starting past the last line: refused, nothing stored.
  EXPECT_FALSE(g->SetRowHeight(6, 9, 30, nullptr, 0, 0));
  EXPECT_FALSE(g->SetColWidth(4, 0, 30, nullptr, 0, 0));
  EXPECT_EQ(p->GetRowHeights().GetCount(), 6);
  EXPECT_EQ(p->GetColWidths().GetCount(), 3);
  // So inserted rows come with the default, not with a height once stored past the end.
  ASSERT_TRUE(g->SetRowCount(8, 0));
  EXPECT_EQ(g->GetRowHeight(7), g->GetDefaultRowHeight());
}

// A scrolled row or column never shows larger than the window less the frozen part; frozen ones, and all of
// them in a hidden window, keep their size.
TEST_F(RowColTest, ScrolledRowsAndColumnsAreCutToTheWindow) {
  CGXGridWnd* g = MakeGrid(20, 20, 300, 200);
  g->SetFrozenRows(2, 0, 0);
  g->SetFrozenCols(1, 0, 0);
  g->SetRowHeight(1, 1, 5000, nullptr, 0);
  g->SetRowHeight(5, 5, 5000, nullptr, 0);
  g->SetColWidth(5, 5, 5000, nullptr, 0);
  g->SetRowHeight(6, 6, 120, nullptr, 0);
  const CRect area = g->GetGridRect();
  EXPECT_EQ(g->GetRowHeight(1), 5000);
  EXPECT_EQ(g->GetRowHeight(5), 5000);  // frozen rows taller than the window leave nothing to cut to
  EXPECT_EQ(g->GetRowHeight(6), 120);
  g->SetRowHeight(1, 1, 30, nullptr, 0);
  EXPECT_EQ(g->GetRowHeight(5), area.Height() - 20 - 30 - 20);
  EXPECT_EQ(g->GetColWidth(5), area.Width() - 50 - 50);
  g->ShowWindow(SW_HIDE);
  EXPECT_EQ(g->GetRowHeight(5), 5000);
  EXPECT_EQ(g->GetColWidth(5), 5000);
}

// Sizes a layout stored beyond any window show at the largest line size; sums of them stop growing, and a
// grid of such rows paints and scrolls to its end.
TEST_F(RowColTest, HugeStoredSizesShowAtTheLargestLineSize) {
  CGXGridWnd* g = MakeGrid(100000, 5, 300, 200, WS_VSCROLL | WS_HSCROLL);
  UseWindowlessEditStandIn(g);
  g->ShowWindow(SW_HIDE);  // no cut to the window
  CGXGridParam* p = g->GetParam();
  p->m_nDefaultRowHeight = 0xFFFFFFFF;
  p->GetRowHeights()[3] = 0x7FFFFFFF;
  p->GetColWidths()[2] = 0x7FFFFFFF;
  EXPECT_EQ(g->GetRowHeight(3), GX_MAXLINESIZE);
  EXPECT_EQ(g->GetRowHeight(4), GX_MAXLINESIZE);
  EXPECT_EQ(g->GetColWidth(2), GX_MAXLINESIZE);
  EXPECT_EQ(g->SumRowHeights(0, 100000), GX_MAXSIZESUM);
  EXPECT_EQ(g->SumColWidths(0, 5), 50 + GX_MAXLINESIZE + 3 * 50 + 50);
  g->ShowWindow(SW_SHOW);
  g->RedrawAll(GX_UPDATENOW);
  SendMessage(*g, WM_VSCROLL, SB_BOTTOM, 0);
  SendMessage(*g, WM_HSCROLL, SB_RIGHT, 0);
  Pump();
  EXPECT_EQ(g->GetTopRow(), 100000u);
  // Columns 3 to 5 fit the window together; column 2 alone is wider than it.
  EXPECT_EQ(g->GetLeftCol(), 3u);
}

// ---- The second merged-cell pool is cleared to the end -----------------------------------------------------

struct RecordingPool : CGXSpanCellPool {
  void RemoveRows(ROWCOL from, ROWCOL to) override {
    calls.push_back("RemoveRows:" + std::to_string(from) + "," + std::to_string(to));
  }
  void RemoveCols(ROWCOL from, ROWCOL to) override {
    calls.push_back("RemoveCols:" + std::to_string(from) + "," + std::to_string(to));
  }
  void InsertRows(ROWCOL row, ROWCOL count) override {
    calls.push_back("InsertRows:" + std::to_string(row) + "," + std::to_string(count));
  }
  void InsertCols(ROWCOL col, ROWCOL count) override {
    calls.push_back("InsertCols:" + std::to_string(col) + "," + std::to_string(count));
  }
  std::vector<std::string> calls;
};

TEST_F(RowColTest, TheSecondMergedPoolIsClearedToTheLastPossibleLine) {
  CGXGridWnd* g = MakeGrid(10, 6);
  CGXGridParam* p = g->GetParam();
  p->m_wMergingMode = 1;
  auto* h = new RecordingPool;
  auto* v = new RecordingPool;
  p->m_pMergeSpansH.reset(h);
  p->m_pMergeSpansV.reset(v);
  ASSERT_TRUE(g->InsertRows(3, 2, nullptr, nullptr, nullptr, 0, 0, 1));
  ASSERT_TRUE(g->RemoveRows(4, 5, 0, 1));
  ASSERT_TRUE(g->InsertCols(2, 1, nullptr, nullptr, nullptr, 0, 0, 1));
  ASSERT_TRUE(g->RemoveCols(2, 3, 0, 1));
  const std::string end = std::to_string(GX_MAXROWCOL);
  EXPECT_EQ(v->calls, (std::vector<std::string>{"RemoveRows:3," + end, "RemoveRows:4," + end, "InsertCols:2,1",
                                                "RemoveCols:2,3"}));
  EXPECT_EQ(h->calls, (std::vector<std::string>{"InsertRows:3,2", "RemoveRows:4,5", "RemoveCols:2," + end,
                                                "RemoveCols:2," + end}));
}

}  // namespace
