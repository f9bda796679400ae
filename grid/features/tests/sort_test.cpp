// Sorting rows by key columns: how a key decides its kind, the order of equal keys, header double clicks,
// undo, and the comparison as a pure function.
#include "grid/features/CGXSortImp.h"
#include "grid/features/tests/cliptest.h"

namespace {

using cliptest::ClipTest;

class SortTest : public ClipTest {
 protected:
  // A grid whose column 1 holds the keys and column 2 each row's original number.
  CGXGridWnd* MakeKeys(const std::vector<std::string>& keys) {
    CGXGridWnd* g = Make(static_cast<ROWCOL>(keys.size()), 2);
    for (size_t i = 0; i < keys.size(); ++i) {
      g->SetCellValue(static_cast<ROWCOL>(i + 1), 1, keys[i].c_str());
      g->SetCellValue(static_cast<ROWCOL>(i + 1), 2, std::to_string(i + 1).c_str());
    }
    ClearUndo(g);
    return g;
  }
  static void SortByColumn1(CGXGridCore* g, DWORD kind = CGXSortInfo::autodetect, DWORD descending = 0) {
    CGXSortInfoArray keys;
    CGXSortInfo key;
    key.nRC = 1;
    key.sortType = kind;
    key.sortOrder = descending;
    keys.Add(key);
    GXSortRows(g, CGXRange().AssignTable(), keys);
  }
  // Column 2 top to bottom: the original row numbers in their new order.
  static std::string Order(CGXGridCore* g) {
    std::string out;
    for (ROWCOL r = 1; r <= g->GetRowCount(); ++r) out += Value(g, r, 2) + (r < g->GetRowCount() ? " " : "");
    return out;
  }
};

TEST_F(SortTest, AnAutomaticKeySortsNumbersNumericallyAndAnythingElseAsText) {
  struct Case {
    std::vector<std::string> keys;
    std::string order;
  } cases[] = {
      {{"10", " 2", "-3"}, "3 2 1"},             // -3, 2, 10 by value; the cell keeps its blank
      {{"10", " 2", "-3", "3-4"}, "3 1 2 4"},     // "3-4" makes the key a text: "-3" "10" "2" "3-4"
      {{"5", "", "-1"}, "3 2 1"},                 // an empty text counts as 0 and decides no kind
      {{"e", "2", "-1"}, "3 1 2"},                // a lone "e" passes the test but is no number: 0
      {{"b", "a", "B", "A"}, "2 4 1 3"},          // text ignores case; equal keys keep their order
      // A number with a signed exponent, as a number is written back, is a number: the column sorted as text.
      {{"100", "1e+15", "-3", "1e-05", "20", "2E+3"}, "3 4 5 1 6 2"},
      {{"5", "-1e-05", "-2"}, "3 2 1"},
      {{"1e+-5", "1"}, "2 1"},                    // one sign to an exponent: a text
      // A number past the double range lies past every number on its side: it read as 0.
      {{"5", "1e400", "-1e400", "-5", "1e308"}, "3 4 1 5 2"},
  };
  for (const Case& c : cases) {
    CGXGridWnd* g = MakeKeys(c.keys);
    SortByColumn1(g);
    EXPECT_EQ(Order(g), c.order);
  }
  CGXGridWnd* g = MakeKeys({"10", " 2", "-3"});
  SortByColumn1(g);
  EXPECT_EQ(Value(g, 2, 1), " 2");
}

TEST_F(SortTest, DatesWinOverNumbersAndNeverComeFromPlainNumbers) {
  // "10" parses as no date, so these stay numbers.
  CGXGridWnd* g = MakeKeys({"10", "9", "100"});
  SortByColumn1(g);
  EXPECT_EQ(Order(g), "2 1 3");
  // Texts that are all dates sort by date, not by their text.
  g = MakeKeys({"12/31/2019", "1/2/2020", "3/1/2018"});
  SortByColumn1(g);
  EXPECT_EQ(Order(g), "3 1 2");
  // These also pass the numeric character test (digits and points), but as dates they win: by number
  // each would count as 0 and the order would stay.
  g = MakeKeys({"1.3.2020", "1.2.2020", "12.1.2019"});
  SortByColumn1(g);
  EXPECT_EQ(Order(g), "3 2 1");
}

TEST_F(SortTest, EqualKeysKeepTheirOrderBothWaysAndUndoPutsTheRowsBack) {
  CGXGridWnd* g = MakeKeys({"b", "a", "b", "a", "c"});
  SortByColumn1(g, CGXSortInfo::alphanumeric);
  EXPECT_EQ(Order(g), "2 4 1 3 5");
  SortByColumn1(g, CGXSortInfo::alphanumeric, 1);
  EXPECT_EQ(Order(g), "5 1 3 2 4");
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 2);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Order(g), "2 4 1 3 5");
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Order(g), "1 2 3 4 5");
  ASSERT_TRUE(g->Redo());
  EXPECT_EQ(Order(g), "2 4 1 3 5");
  EXPECT_EQ(g->GetParam()->m_nLastSortCol, 1);
  EXPECT_EQ(g->GetParam()->m_nLastSortRow, -1);
}

TEST_F(SortTest, AOneRowGridIsNotSorted) {
  CGXGridWnd* g = MakeKeys({"z"});
  SortByColumn1(g);
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
  EXPECT_EQ(g->GetParam()->m_nLastSortCol, -1);
}

TEST_F(SortTest, DoubleClicksOnColumnHeadersSortAscendingThenDescendingThenAnotherColumnAscending) {
  CGXGridWnd* g = MakeKeys({"2", "3", "1"});
  g->GetParam()->m_bSortRowsByHeader = TRUE;
  auto& in = plat::InputRouter::Instance();
  auto header = [&](ROWCOL col) {
    in.DoubleClick(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, 50 * col + 25, 10));
    Pump();
  };
  header(1);
  EXPECT_EQ(Order(g), "3 1 2");
  header(1);
  EXPECT_EQ(Order(g), "2 1 3");
  header(2);
  EXPECT_EQ(Order(g), "1 2 3");
  // Without the switch a header double click sorts nothing.
  g->GetParam()->m_bSortRowsByHeader = FALSE;
  header(1);
  EXPECT_EQ(Order(g), "1 2 3");
}

// A grid class that follows its sorts, as the module's pages do.
struct FollowingGrid : CGXGridWnd {
  void RefreshAfterSort(const GXForwardArgs& args) override {
    ++refreshed;
    CGXGridWnd::RefreshAfterSort(args);
  }
  int refreshed = 0;
};

TEST_F(SortTest, AGridClassHearsOfEverySortThroughRefreshAfterSort) {
  if (plat::GetAutomationProvider() != &automation) Automate();
  auto* g = MakeGrid<FollowingGrid>(2, 1);
  g->SetCellValue(1, 1, "b");
  g->SetCellValue(2, 1, "a");
  SortByColumn1(g);
  EXPECT_EQ(g->refreshed, 1);
  EXPECT_EQ(Value(g, 1, 1), "a");
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->refreshed, 2);
  EXPECT_EQ(Value(g, 1, 1), "b");
}

// A read-only grid (its read-only checks on) keeps its rows and columns where they are at every door of a
// sort, as it keeps them under a move by dragging, an insertion or a removal: a sort called by the program, a
// double click on a column or a row header, the undo and the redo of a sort made before the grid was locked.
// Nothing is recorded and the last-sort memory stays; unlocked again, the same door sorts.
TEST_F(SortTest, ALockedGridIsNeverSorted) {
  enum class Door { SortRows, SortCols, ColumnHeader, RowHeader, Undo, Redo };
  const struct Case {
    Door door;
    const char* name;
    const char* sorted;  // the block (1, 1)-(3, 3) after the door in a grid that is not locked
  } cases[] = {{Door::SortRows, "rows sorted by the program", "1,x,y|2,p,q|3,1,2"},
               {Door::SortCols, "columns sorted by the program", "1,2,3|x,y,1|p,q,2"},
               {Door::ColumnHeader, "double click on a column header", "1,x,y|2,p,q|3,1,2"},
               {Door::RowHeader, "double click on a row header", "1,2,3|x,y,1|p,q,2"},
               {Door::Undo, "undo of an earlier sort", "3,1,2|1,x,y|2,p,q"},
               {Door::Redo, "redo of an undone sort", "1,x,y|2,p,q|3,1,2"}};
  const char* before = "3,1,2|1,x,y|2,p,q";
  for (const Case& c : cases) {
    for (const bool locked : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (locked ? ", locked" : ", not locked"));
      CGXGridWnd* g = Make(3, 3);
      const char* cells[3][3] = {{"3", "1", "2"}, {"1", "x", "y"}, {"2", "p", "q"}};
      for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL col = 1; col <= 3; ++col) g->SetCellValue(r, col, cells[r - 1][col - 1]);
      ClearUndo(g);
      g->GetParam()->m_bSortRowsByHeader = g->GetParam()->m_bSortColsByHeader = TRUE;
      CGXSortInfoArray keys;
      CGXSortInfo key;
      key.nRC = 1;
      keys.Add(key);
      // The undo and redo doors: a row sort made (and for redo undone) before the grid is locked.
      if (c.door == Door::Undo || c.door == Door::Redo) {
        GXSortRows(g, CGXRange().AssignTable(), keys);
        if (c.door == Door::Redo) {
          ASSERT_TRUE(g->Undo());
        }
      }
      const std::string start = Values(g, 1, 1, 3, 3);
      const INT_PTR undos = g->GetParam()->GetUndoList().GetCount();
      const LONG lastCol = g->GetParam()->m_nLastSortCol, lastRow = g->GetParam()->m_nLastSortRow;
      g->SetReadOnly(locked);
      auto& in = plat::InputRouter::Instance();
      switch (c.door) {
        case Door::SortRows: GXSortRows(g, CGXRange().AssignTable(), keys); break;
        case Door::SortCols: GXSortCols(g, CGXRange().AssignTable(), keys); break;
        case Door::ColumnHeader:
          in.DoubleClick(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, 50 + 25, g->GetRowHeight(0) / 2));
          break;
        case Door::RowHeader:
          in.DoubleClick(plat::MouseButton::Left,
                         plat::InputRouter::ClientPoint(*g, 10, g->GetRowHeight(0) + g->GetRowHeight(1) / 2));
          break;
        case Door::Undo: g->Undo(); break;
        case Door::Redo: g->Redo(); break;
      }
      Pump();
      EXPECT_EQ(Values(g, 1, 1, 3, 3), locked ? start : std::string(c.sorted));
      if (locked && c.door != Door::Undo && c.door != Door::Redo) {
        EXPECT_EQ(start, before);
        EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), undos);
        EXPECT_EQ(g->GetParam()->m_nLastSortCol, lastCol);
        EXPECT_EQ(g->GetParam()->m_nLastSortRow, lastRow);
      }
    }
  }
}

TEST(SortCompare, KeysDecideInOrderAndEqualEntriesByPosition) {
  CGXSortInfoArray keys;
  CGXSortInfo numeric, text;
  numeric.sortType = CGXSortInfo::numeric;
  text.sortType = CGXSortInfo::alphanumeric;
  text.sortOrder = 1;
  keys.Add(numeric);
  keys.Add(text);
  GXSortEntry a{{"", "x"}, {1.0, 0}, 0, &keys}, b{{"", "y"}, {1.0, 0}, 1, &keys};
  EXPECT_GT(gx::CompareSortEntries(a, b), 0);  // equal numbers; "x" < "y" descending
  b.values[0] = 0.5;
  EXPECT_GT(gx::CompareSortEntries(a, b), 0);
  b.texts[1] = "x";
  b.values[0] = 1.0;
  EXPECT_LT(gx::CompareSortEntries(a, b), 0);  // all equal: the earlier position first
  EXPECT_EQ(gx::CompareSortEntries(a, a), 0);
  EXPECT_TRUE(gx::LooksNumeric(" -1,234.5e3"));
  EXPECT_TRUE(gx::LooksNumeric("1e+15"));
  EXPECT_FALSE(gx::LooksNumeric("1-2"));
  EXPECT_FALSE(gx::LooksNumeric("+-1"));
  EXPECT_FALSE(gx::LooksNumeric("12a"));
  // A long number converts whole (no fixed buffer).
  EXPECT_EQ(gx::NumericKeyValue(CString(std::string(600, '0').c_str()) + "7"), 7.0);
}

}  // namespace
