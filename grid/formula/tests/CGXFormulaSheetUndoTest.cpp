// Undo and redo through a grid on a formula sheet: every operation that shifts cells and references gives
// back every value and formula text, and a redo does it again.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/core/CGXSortInfoArray.h"
#include "grid/features/CGXDirectCopyMoveCellsImp.h"
#include "grid/features/CGXSortImp.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/tests/sheettest.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Clipboard.h"

namespace {

class SheetUndoTest : public sheettest::SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    grid = MakeBook();
  }
  // Rows 1..5: A = 10, 20, 30, 40, 50; B = A * 2; C1 = SUM-free total of B1..B5; D = running balance.
  CGXGridWnd* MakeBook(CGXFormulaSheet* store = nullptr) {
    CGXGridWnd* g = MakeSheetGrid(12, 6, 400, 300, store);
    for (ROWCOL r = 1; r <= 5; ++r) {
      g->SetCellValue(r, 1, std::to_string(r * 10).c_str());
      g->SetCellValue(r, 2, ("=A" + std::to_string(r) + "*2").c_str());
      g->SetCellValue(r, 4, r == 1 ? "=B1" : ("=D" + std::to_string(r - 1) + "+B" + std::to_string(r)).c_str());
    }
    g->SetCellValue(1, 3, "=B1+B2+B3+B4+B5");
    ClearUndo(g);
    return g;
  }
  // Every cell's expression and value text, row by row.
  std::vector<std::string> Snapshot(ROWCOL rows = 12, ROWCOL cols = 6) const {
    std::vector<std::string> out;
    for (ROWCOL r = 1; r <= rows; ++r)
      for (ROWCOL c = 1; c <= cols; ++c) out.push_back(std::string(Expr(r, c)) + "|" + std::string(Value(r, c)));
    return out;
  }
  // Runs one operation on the grid with the cells as they are kept for ExpectUndoRedo, and recalculates;
  // whether the operation succeeded.
  template <class Operation>
  bool Operate(Operation operation) {
    before = Snapshot();
    const bool done = operation(grid);
    Recalc();
    return done;
  }
  // Undo gives the cells before the last operation back, redo gives them as it left them, their values
  // recomputed by the grid itself.
  void ExpectUndoRedo() {
    const std::vector<std::string> after = Snapshot();
    ASSERT_NE(after, before) << "the operation changed nothing";
    ASSERT_TRUE(grid->Undo());
    EXPECT_EQ(Snapshot(), before);
    ASSERT_TRUE(grid->Redo());
    EXPECT_EQ(Snapshot(), after);
    ASSERT_TRUE(grid->Undo());
    EXPECT_EQ(Snapshot(), before);
  }

  CGXGridWnd* grid = nullptr;
  std::vector<std::string> before;
};

TEST_F(SheetUndoTest, TypedValuesAndFormulasUndoToTheirExpressions) {
  EXPECT_EQ(Value(5, 4), "300");
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return g->SetCellValue(2, 1, "=A1+5"); }));
  EXPECT_EQ(Value(2, 2), "30");
  EXPECT_EQ(Value(5, 4), "290");
  ExpectUndoRedo();
}

// The editor and undo read a cell back from its expression text: every digit a number needs is in it, so an
// undo gives back the number typed (it was cut to 14 digits: 123456789012345 came back as 123456789012340),
// while the value shown keeps 14 digits; a whole number's value gives every digit, as its readers (a number
// format, the sort, a spin cell) read it: it gave 1.2345678901234e+14, which they took for 123456789012340.
TEST_F(SheetUndoTest, UndoGivesBackEveryDigitOfATypedNumber) {
  const char* const typed[] = {"123456789012345", "0.1234567890123456", "=A1*0.1234567890123456"};
  const double numbers[] = {123456789012345.0, 0.1234567890123456};
  for (ROWCOL r = 10; r <= 12; ++r) grid->SetCellValue(r, 1, typed[r - 10]);
  EXPECT_EQ(std::string(Expr(10, 1)), "123456789012345");
  EXPECT_EQ(std::string(Value(10, 1)), "123456789012345");
  EXPECT_EQ(std::string(Expr(11, 1)), "0.1234567890123456");
  EXPECT_EQ(std::string(Value(11, 1)), "0.12345678901235");
  EXPECT_EQ(std::string(Expr(12, 1)), "=A1*0.1234567890123456");
  EXPECT_EQ(std::string(Expr(1, 1)), "10");
  ClearUndo(grid);
  for (ROWCOL r = 10; r <= 12; ++r) grid->SetCellValue(r, 1, "5");
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(grid->Undo());
  for (ROWCOL r = 10; r <= 11; ++r) {
    double n = 0;
    ASSERT_TRUE(sheet->GetNumberValue(r, 1, n));
    EXPECT_EQ(n, numbers[r - 10]);
  }
  EXPECT_EQ(std::string(Expr(12, 1)), "=A1*0.1234567890123456");
}

TEST_F(SheetUndoTest, InsertingRowsShiftsReferencesAndUndoes) {
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return g->InsertRows(3, 2); }));
  EXPECT_EQ(Expr(5, 2), "=A5*2");
  EXPECT_EQ(Expr(1, 3), "=B1+B2+B5+B6+B7");
  EXPECT_EQ(Expr(5, 4), "=D2+B5");
  EXPECT_EQ(Value(7, 4), "300");
  ExpectUndoRedo();
}

TEST_F(SheetUndoTest, RemovingRowsAndUndoGiveEveryCellBack) {
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return g->RemoveRows(2, 3); }));
  EXPECT_EQ(Expr(2, 2), "=A2*2");
  EXPECT_EQ(Value(2, 1), "40");
  ExpectUndoRedo();
}

TEST_F(SheetUndoTest, MovingRowsCarriesTheirReferences) {
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return g->MoveRows(1, 1, 4, GX_UPDATENOW, 0); }));
  EXPECT_EQ(Value(4, 1), "10");
  EXPECT_EQ(Expr(4, 2), "=A4*2");
  EXPECT_EQ(Value(4, 3), "300");  // the total still adds the same five cells
  ExpectUndoRedo();
}

TEST_F(SheetUndoTest, ColumnsInsertedRemovedAndMovedCarryTheirReferencesAndUndo) {
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return g->InsertCols(2, 1); }));
  EXPECT_EQ(Expr(1, 3), "=A1*2");
  EXPECT_EQ(Expr(1, 4), "=C1+C2+C3+C4+C5");
  ExpectUndoRedo();
  ClearUndo(grid);  // the book as it was, for the next operation
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return g->RemoveCols(3, 3); }));
  EXPECT_EQ(Expr(2, 3), "=C1+B2");
  ExpectUndoRedo();
  ClearUndo(grid);
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return g->MoveCols(1, 1, 5, GX_UPDATENOW, 0); }));
  EXPECT_EQ(Value(1, 5), "10");
  EXPECT_EQ(Expr(1, 1), "=E1*2");
  ExpectUndoRedo();
}

TEST_F(SheetUndoTest, CopyingCellsShiftsRelativeReferencesAndUndoes) {
  ASSERT_TRUE(Operate([](CGXGridWnd* g) { return GXCopyCells(g, CGXRange(5, 2, 5, 4), 6, 2, GX_UPDATENOW); }));
  EXPECT_EQ(Expr(6, 2), "=A6*2");
  EXPECT_EQ(Expr(6, 4), "=D5+B6");
  EXPECT_EQ(Value(6, 4), "Error!");  // A6 is blank, so B6 is an error, and the balance after it
  ExpectUndoRedo();
}

TEST_F(SheetUndoTest, AFormulaFilledDownNamesItsOwnRowsAndUndoesAsOneStep) {
  grid->GetParam()->m_bFillEnabled = 1;
  grid->SetCellValue(1, 5, "=B1+A1");
  ClearUndo(grid);
  const CGXRange source(1, 5), target(1, 5, 5, 5);
  ASSERT_TRUE(Operate([&](CGXGridWnd* g) {
    GXForwardArgs fill;
    fill.v = {reinterpret_cast<DWORD_PTR>(&source), reinterpret_cast<DWORD_PTR>(&target)};
    g->FillForward5(fill);
    return true;
  }));
  EXPECT_EQ(Expr(3, 5), "=B3+A3");
  EXPECT_EQ(Value(5, 5), "150");
  EXPECT_EQ(grid->GetParam()->GetUndoList().GetCount(), 1);
  ExpectUndoRedo();
}

TEST_F(SheetUndoTest, MovingCellsKeepsWhatReferredToThemAndUndoes) {
  ASSERT_TRUE(Operate([](CGXGridWnd* g) {
    CObject* info = nullptr;
    return GXMoveCells(g, CGXRange(1, 1, 2, 1), 8, 5, info, GX_UPDATENOW, 0);
  }));
  EXPECT_EQ(Expr(1, 2), "=E8*2");
  EXPECT_EQ(Value(1, 2), "20");
  EXPECT_EQ(Value(8, 5), "10");
  ExpectUndoRedo();
}

TEST_F(SheetUndoTest, SortingMovesReferencesWithTheirRowsAndUndoes) {
  grid = MakeSheetGrid(8, 4);
  const char* values[] = {"30", "10", "20"};
  for (ROWCOL r = 1; r <= 3; ++r) {
    grid->SetCellValue(r, 1, values[r - 1]);
    grid->SetCellValue(r, 2, ("=A" + std::to_string(r) + "+1").c_str());
  }
  grid->SetCellValue(6, 1, "=B1");  // outside the sorted rows, it follows the row it names
  ClearUndo(grid);
  ASSERT_TRUE(Operate([](CGXGridWnd* g) {
    CGXSortInfoArray keys;
    CGXSortInfo key;
    key.nRC = 1;
    key.sortType = CGXSortInfo::numeric;
    keys.Add(key);
    GXSortRows(g, CGXRange().AssignRows(1, 3), keys);
    return true;
  }));
  EXPECT_EQ(Value(1, 1), "10");
  EXPECT_EQ(Expr(1, 2), "=A1+1");
  EXPECT_EQ(Value(1, 2), "11");
  EXPECT_EQ(Value(3, 1), "30");
  EXPECT_EQ(Expr(6, 1), "=B3");
  EXPECT_EQ(Value(6, 1), "31");
  ExpectUndoRedo();
}

// A column of the sheet's numbers sorts as numbers, read from their value texts in every digit they keep: a text
// of 1e+15 or 1e-05 made the column sort as text, and 123456789012346 tied with 123456789012345 as
// 1.2345678901234e+14.
TEST_F(SheetUndoTest, ASortReadsTheNumbersTheSheetKeeps) {
  grid = MakeSheetGrid(8, 2);
  const char* values[] = {"7", "1000000000000000", "123456789012346", "-3", "123456789012345", "=1/100000"};
  for (ROWCOL r = 1; r <= 6; ++r) {
    grid->SetCellValue(r, 1, values[r - 1]);
    grid->SetCellValue(r, 2, std::to_string(r).c_str());
  }
  CGXSortInfoArray keys;
  CGXSortInfo key;
  key.nRC = 1;
  key.sortType = CGXSortInfo::autodetect;  // as a double click on the column's header sorts
  keys.Add(key);
  GXSortRows(grid, CGXRange().AssignRows(1, 6), keys);
  std::string order;
  for (ROWCOL r = 1; r <= 6; ++r) order += std::string(Value(r, 2)) + (r < 6 ? " " : "");
  EXPECT_EQ(order, "4 6 1 5 3 2");
}

TEST_F(SheetUndoTest, RangeNamesAreSetAndDeletedAsUndoableCommands) {
  CGXGridWnd* g = grid;
  const CGXRange a1(1, 1);
  ASSERT_TRUE(g->SetRangeName("rate", &a1, 0, GX_UPDATENOW, 0));
  CGXRange r;
  ASSERT_TRUE(sheet->GetRangeName("rate", r));
  g->SetCellValue(7, 1, "=rate*3");
  Recalc();
  EXPECT_EQ(Value(7, 1), "30");
  const auto named = Snapshot();
  ASSERT_TRUE(g->DeleteRangeName("rate", GX_UPDATENOW, 0));
  EXPECT_FALSE(sheet->GetRangeName("rate", r));
  EXPECT_EQ(Expr(7, 1), "=A1*3");
  // Undo brings the name back, and the formula names it again.
  ASSERT_TRUE(g->Undo());
  Recalc();
  ASSERT_TRUE(sheet->GetRangeName("rate", r));
  EXPECT_EQ(Snapshot(), named);
  ASSERT_TRUE(g->Redo());
  EXPECT_FALSE(sheet->GetRangeName("rate", r));
  ASSERT_TRUE(g->Undo());
  ASSERT_TRUE(sheet->GetRangeName("rate", r));
  // Undoing the definition (two commands back: the value and the name) removes the name.
  ASSERT_TRUE(g->Undo());
  ASSERT_TRUE(g->Undo());
  EXPECT_FALSE(sheet->GetRangeName("rate", r));
  ASSERT_TRUE(g->Redo());
  EXPECT_TRUE(sheet->GetRangeName("rate", r));
}

// Undo gives every range name back where it stood before the operation, as it gives back the references in
// formulas, and redo names what the operation left. A removal leaves a name into the removed lines where it
// was (it now names the cells that moved up or left into them); the insertion that undoes the removal moved
// such a name again, and a move's way back carried a name on the cells it overwrote away with its cells.
TEST_F(SheetUndoTest, UndoGivesEveryRangeNameBackAsItStood) {
  struct Row {
    const char* door;
    std::function<bool(CGXGridWnd*)> operation;
  };
  const Row rows[] = {
      {"remove rows under a name", [](CGXGridWnd* g) { return g->RemoveRows(4, 5); }},
      {"remove the row of a name", [](CGXGridWnd* g) { return g->RemoveRows(5, 5); }},
      {"remove columns under a name", [](CGXGridWnd* g) { return g->RemoveCols(1, 1); }},
      {"remove the columns of a name", [](CGXGridWnd* g) { return g->RemoveCols(2, 5); }},
      {"move cells onto a name",
       [](CGXGridWnd* g) {
         CObject* info = nullptr;
         return GXMoveCells(g, CGXRange(1, 1, 2, 1), 8, 5, info, GX_UPDATENOW, 0);
       }},
      {"move named cells onto a name",
       [](CGXGridWnd* g) {
         CObject* info = nullptr;
         return GXMoveCells(g, CGXRange(3, 1, 5, 2), 7, 5, info, GX_UPDATENOW, 0);
       }},
      {"insert rows", [](CGXGridWnd* g) { return g->InsertRows(2, 2); }},
      {"insert columns", [](CGXGridWnd* g) { return g->InsertCols(1, 2); }},
      {"move rows", [](CGXGridWnd* g) { return g->MoveRows(1, 1, 4, GX_UPDATENOW, 0); }},
      {"move columns", [](CGXGridWnd* g) { return g->MoveCols(1, 1, 4, GX_UPDATENOW, 0); }},
  };
  auto names = [&] {
    CStringArray texts;
    sheet->GetNamesText(texts);
    std::vector<std::string> out;
    for (INT_PTR i = 0; i < texts.GetSize(); ++i) out.emplace_back(texts[i]);
    return out;
  };
  Automate();  // a formula whose name now names an empty cell reports its error
  for (const Row& row : rows) {
    SCOPED_TRACE(row.door);
    grid = MakeBook();
    const CGXRange one(5, 1), span(3, 1, 5, 2), target(8, 5, 9, 5);
    ASSERT_TRUE(grid->SetRangeName("one", &one, 0, GX_UPDATENOW, 0));
    ASSERT_TRUE(grid->SetRangeName("span", &span, 0, GX_UPDATENOW, 0));
    ASSERT_TRUE(grid->SetRangeName("target", &target, 0, GX_UPDATENOW, 0));
    grid->SetCellValue(1, 6, "=one*2");
    ClearUndo(grid);
    const std::vector<std::string> namedBefore = names();
    ASSERT_TRUE(Operate(row.operation));
    const std::vector<std::string> namedAfter = names();
    ASSERT_TRUE(grid->Undo());
    Recalc();
    EXPECT_EQ(names(), namedBefore);
    EXPECT_EQ(Snapshot(), before);
    ASSERT_TRUE(grid->Redo());
    Recalc();
    EXPECT_EQ(names(), namedAfter);
    ASSERT_TRUE(grid->Undo());
    Recalc();
    EXPECT_EQ(names(), namedBefore);
    EXPECT_EQ(Snapshot(), before);
  }
}

// A range name keeps its first 31 characters; every way to a name takes a longer one as those characters, as
// its definition did (it was defined cut, and then neither found, used, redefined, deleted nor undone by the
// name the user gave).
TEST_F(SheetUndoTest, ARangeNameLongerThanItKeepsIsFoundByItsFirstCharactersAtEveryDoor) {
  const std::string given = "monthly_interest_rate_for_the_loan_in_2024";
  const std::string kept = given.substr(0, 31);
  struct Row {
    const char* door;
    std::function<bool(CGXGridWnd*, CGXFormulaSheet*)> action;
    std::vector<std::string> names;  // the sheet's names afterwards
  };
  const Row rows[] = {
      {"read back",
       [&](CGXGridWnd*, CGXFormulaSheet* s) {
         CGXRange r;
         return s->GetRangeName(given.c_str(), r) && r == CGXRange(1, 1, 1, 1);
       },
       {kept + "=A1"}},
      {"typed in a formula",
       [&](CGXGridWnd* g, CGXFormulaSheet*) {
         return g->SetCellValue(7, 1, ("=" + given + "*2").c_str()) && Value(7, 1) == "20" &&
                Expr(7, 1) == CString(("=" + kept + "*2").c_str());
       },
       {kept + "=A1"}},
      {"defined again",
       [&](CGXGridWnd* g, CGXFormulaSheet*) {
         const CGXRange a2(2, 1);
         return g->SetRangeName(given.c_str(), &a2, 0, GX_UPDATENOW, 0);
       },
       {kept + "=A2"}},
      {"deleted", [&](CGXGridWnd* g, CGXFormulaSheet*) { return g->DeleteRangeName(given.c_str(), GX_UPDATENOW, 0); },
       {}},
      {"undone", [&](CGXGridWnd* g, CGXFormulaSheet*) { return g->Undo(); }, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.door);
    grid = MakeBook();
    const CGXRange a1(1, 1);
    ASSERT_TRUE(grid->SetRangeName(given.c_str(), &a1, 0, GX_UPDATENOW, 0));
    EXPECT_TRUE(row.action(grid, sheet));
    CStringArray texts;
    sheet->GetNamesText(texts);
    std::vector<std::string> names;
    for (INT_PTR i = 0; i < texts.GetSize(); ++i) names.emplace_back(texts[i]);
    EXPECT_EQ(names, row.names);
  }
}

// A formula sheet whose engine runs out of memory in its n-th block copy (counted from 1), after `room` more
// engine allocations went through.
class SheetOutOfMemory : public CGXFormulaSheet {
 public:
  int failAt = 0;
  long room = 0;
  int calls = 0;
  BOOL CopyCells(const CGXRange& range, ROWCOL destRow, ROWCOL destCol) override {
    if (++calls != failAt) return CGXFormulaSheet::CopyCells(range, destRow, destCol);
    struct Restore {
      ~Restore() { _gx_fail_allocations_after(-1); }
    } restore;
    _gx_fail_allocations_after(room);
    return CGXFormulaSheet::CopyCells(range, destRow, destCol);
  }
};

// As on a plain grid: the user is told "Range too big.", every block pasted before is taken back, and the
// cells under the paste keep their values and formulas.
TEST_F(SheetUndoTest, APasteThatRunsOutOfMemoryTellsTheUserAndTakesBackEveryBlock) {
  for (const long room : {0L, 1L, 3L}) {
    SCOPED_TRACE(room);
    auto* store = new SheetOutOfMemory;
    grid = MakeBook(store);
    Automate();
    plat::Clipboard::Instance().Reset();
    grid->GetParam()->m_bDirectCopyPaste = TRUE;
    grid->SetCellValue(7, 3, "old");
    grid->SetCellValue(8, 4, "=A1*3");
    // Columns B and D of rows 1 and 2 (formulas): two blocks, pasted edge to edge at C7.
    grid->GetParam()->GetSelection().DeleteAll();
    grid->GetParam()->GetSelection().AddTail(new CGXRange(1, 2, 2, 2));
    grid->GetParam()->GetSelection().AddTail(new CGXRange(1, 4, 2, 4));
    ASSERT_TRUE(grid->Copy());
    grid->GetParam()->GetSelection().DeleteAll();
    ASSERT_TRUE(grid->MoveCurrentCellTo(7, 3, GX_UPDATENOW));
    ClearUndo(grid);
    before = Snapshot();
    // The first block is pasted, the second runs out of memory.
    store->failAt = 2;
    store->room = room;
    store->calls = 0;
    plat::ClearShownLog();
    EXPECT_FALSE(grid->Paste());
    EXPECT_EQ(store->calls, 2);
    ASSERT_EQ(plat::ShownLog().size(), 1u);
    EXPECT_EQ(plat::ShownLog()[0].request.text, "Range too big.");
    Recalc();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(grid->GetParam()->GetUndoList().GetCount(), 0);
    // With memory enough the same paste goes through, and one undo takes it back.
    store->failAt = 0;
    plat::ClearShownLog();
    ASSERT_TRUE(grid->Paste());
    EXPECT_TRUE(plat::ShownLog().empty());
    EXPECT_EQ(std::string(Expr(7, 3)), "=B7*2");
    EXPECT_EQ(std::string(Expr(8, 4)), "=D7+B8");
    ASSERT_TRUE(grid->Undo());
    Recalc();
    EXPECT_EQ(Snapshot(), before);
  }
}

}  // namespace
