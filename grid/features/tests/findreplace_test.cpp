// Find and replace through the find dialog, scripted as a user would use it: matching without case, the
// replacement's own case, the not-found notification, replace-all on the current column as one transaction
// that an abort can roll back, long cell texts, and the cells find and replace pass by (disabled, hidden, covered);
// a list cell's one rule, which Replace and Replace All ask as typing, a paste and a fill do; and a bounded cell's,
// which every door judges by the value the cell would store.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <utility>

#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXShownCells.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/CGXMaskControl.h"
#include "grid/extras/GXExtras.h"
#include "grid/features/CGXExcelLikeFillImp.h"
#include "grid/features/CGXFindReplaceImp.h"
#include "grid/features/CGXNumberFormattingImp.h"
#include "grid/features/gxexchangestrings.h"
#include "grid/features/tests/cliptest.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Inspect.h"

namespace {

using cliptest::ClipTest;
using cliptest::PutBytes;

// A grid that records what it was told was not found and, when asked, presses Esc (and lets time pass)
// while replace-all stores its second cell.
struct FindGrid : CGXGridWnd {
  void OnTextNotFound(LPCTSTR text) override {
    notFound.push_back(text);
    CGXGridWnd::OnTextNotFound(text);
  }
  BOOL StoreValueFromControl(ROWCOL row, ROWCOL col, LPCTSTR text, int mode, const CGXStyle* style) override {
    if (++stores == 2 && escOnSecondStore) {
      plat::VirtualClock::Advance(2000);
      GXGetLongOperationState().m_bAbortKeyPressed = TRUE;
    }
    return CGXGridWnd::StoreValueFromControl(row, col, text, mode, style);
  }
  std::vector<std::string> notFound;
  int stores = 0;
  BOOL escOnSecondStore = FALSE;
};

// The ways a text comes into a cell; the last four bring (1, 1)'s stored cell along: Ctrl+C and Ctrl+V of the
// grid's own styles, the same with direct copies, Ctrl+X and Ctrl+V with direct cuts, and a fill of styles.
enum class Door {
  Type,
  SpinArrow,
  Paste,
  PasteIntoEditor,
  Replace,
  ReplaceAll,
  Fill,
  PasteCells,
  CopyCells,
  MoveCells,
  FillStyles
};

class FindTest : public ClipTest {
 protected:
  void TearDown() override {
    CGXFindReplaceState& s = CGXFindReplaceState::Get();
    if (s.m_hWndFindDlg && ::IsWindow(s.m_hWndFindDlg)) ::SendMessage(s.m_hWndFindDlg, WM_CLOSE, 0, 0);
    s = CGXFindReplaceState();
    ClipTest::TearDown();
  }
  // Column 1 holds the texts from row 1 on; the current cell is (1, 1).
  FindGrid* MakeTexts(const std::vector<std::string>& texts) {
    if (plat::GetAutomationProvider() != &automation) Automate();
    auto* g = MakeGrid<FindGrid>(static_cast<ROWCOL>(texts.size()), 2);
    for (size_t i = 0; i < texts.size(); ++i) g->SetCellValue(static_cast<ROWCOL>(i + 1), 1, texts[i].c_str());
    ClearUndo(g);
    EXPECT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
    return g;
  }
  // The dialog opened by the grid, used once as the user would (text "find\treplace", FR_ flags), then
  // closed.
  void Act(CGXGridCore* g, BOOL findOnly, const std::string& text, DWORD flags) {
    const auto kind = findOnly ? plat::SystemUiKind::Find : plat::SystemUiKind::Replace;
    automation.Reply(kind, {IDOK, text, flags});
    automation.Reply(kind, {IDCANCEL, {}, 0});
    GXForwardArgs a;
    a.v[0] = findOnly;
    g->FindReplaceForward0(a);
    Pump();
    EXPECT_EQ(CGXFindReplaceState::Get().m_pFindReplaceDlg, nullptr);
  }
  // `text` given to the current cell (2, 1) by any door but typing: Ctrl+V on the cell or in its editor (its
  // text selected first with `selectAll`), Replace or Replace All of `shown` from the dialog, a fill from (1, 1)
  // down to row 3, or (1, 1) copied or moved onto it.
  void Enter(CGXGridWnd* g, Door door, const std::string& text, const std::string& shown, bool selectAll) {
    switch (door) {
      case Door::Type:
      case Door::SpinArrow: break;
      case Door::Paste:
      case Door::PasteIntoEditor:
        if (door == Door::PasteIntoEditor) g->ControlOfCurrentCell()->SetEditingState(TRUE);
        if (door == Door::PasteIntoEditor && selectAll) Chord(VK_CONTROL, 'A');
        PutBytes(CF_TEXT, text + '\0');
        Chord(VK_CONTROL, 'V');
        break;
      case Door::Replace: Act(g, FALSE, shown + "\t" + text, FR_DOWN | FR_REPLACE); break;
      case Door::ReplaceAll: Act(g, FALSE, shown + "\t" + text, FR_DOWN | FR_REPLACEALL); break;
      case Door::Fill:
      case Door::FillStyles:
        g->GetParam()->m_bFillEnabled = door == Door::Fill ? 1 : 2;
        dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp())
            ->FillCells(g, CGXRange(1, 1), CGXRange(1, 1, 3, 1));
        break;
      case Door::PasteCells:
      case Door::CopyCells:
      case Door::MoveCells:
        g->GetParam()->m_bDirectCopyPaste = door == Door::CopyCells;
        g->GetParam()->m_bDirectCutPaste = door == Door::MoveCells;
        EXPECT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
        Chord(VK_CONTROL, door == Door::MoveCells ? 'X' : 'C');
        EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
        Chord(VK_CONTROL, 'V');
        break;
    }
  }
  static ROWCOL CurrentRow(CGXGridCore* g) {
    ROWCOL r = 0, c = 0;
    g->QueryCurrentCell(&r, &c);
    return r;
  }
};

TEST_F(FindTest, FindNextMatchesWithoutCaseAndReportsWhatItCannotFind) {
  FindGrid* g = MakeTexts({"start", "none", "xABCy", "abc again"});
  Act(g, TRUE, "abc", FR_FINDNEXT | FR_DOWN);
  EXPECT_EQ(CurrentRow(g), 3u);
  // The next find goes on from there.
  Act(g, TRUE, "abc", FR_FINDNEXT | FR_DOWN);
  EXPECT_EQ(CurrentRow(g), 4u);
  EXPECT_TRUE(g->notFound.empty());
  // With case, "ABC" is not found below row 4; from the last row down nothing is found: the notification
  // hears the text and the grid beeps.
  plat::ClearRecordedBeeps();
  Act(g, TRUE, "abc", FR_FINDNEXT | FR_DOWN | FR_MATCHCASE);
  EXPECT_EQ(CurrentRow(g), 4u);
  ASSERT_EQ(g->notFound.size(), 1u);
  EXPECT_EQ(g->notFound[0], "abc");
  EXPECT_EQ(plat::RecordedBeeps().size(), 1u);
  // Upwards, with case, the lower-case text is found again in row 4's cell only from below: row 3 holds
  // "ABC" and does not match.
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 1, GX_UPDATENOW));
  Act(g, TRUE, "ABC", FR_FINDNEXT | FR_MATCHCASE);
  EXPECT_EQ(CurrentRow(g), 3u);
}

// A disabled cell cannot become current: Find Next passes its match by to the next one, where it stayed at the
// cell before it at every press and never reached the match below.
TEST_F(FindTest, FindNextPassesADisabledMatchBy) {
  FindGrid* g = MakeTexts({"start", "abc", "abc", "none"});
  g->SetStyleRange(CGXRange(2, 1), CGXStyle().SetEnabled(FALSE));
  Act(g, TRUE, "abc", FR_FINDNEXT | FR_DOWN);
  EXPECT_EQ(CurrentRow(g), 3u);
  Act(g, TRUE, "abc", FR_FINDNEXT | FR_DOWN);
  EXPECT_EQ(CurrentRow(g), 3u);
  EXPECT_EQ(g->notFound.size(), 1u);
}

// Find Next stops, and Replace and Replace All change, only where the user sees a cell that may hold the match:
// a match in a hidden row or column (hidden, or sized to 0) or in a cell a covered range holds under its top-left
// cell is passed by as a disabled one is. Find Next landed there and the next typed text went into a cell nobody
// saw; Replace and Replace All changed it unseen. A covered range whose top-left row has no size still shows its
// text over its other rows and is stopped at (it was passed by). A search down a column meets a covered range
// once, in the first column it shows through: one whose top-left column is hidden shows its text in the column
// beside (it was passed by there). Replace All changes exactly the cells Find Next stops at that may be changed (a
// read-only cell keeps its match and says so), and it never moves the current cell. Column 1 holds "abc", "xyz",
// the cell tried (row 3, "abc"), "abc", "xyz"; the ranges over column 2 are searched in column 2, which holds the
// same texts, its row 3 covered by (3, 1): that hidden cell's "abc" is never met, nor is the range in a column right
// of the first it shows through.
TEST_F(FindTest, FindAndReplaceStopOnlyAtCellsTheUserSees) {
  enum class Kind {
    Edit,
    ReadOnlyStatic,
    Disabled,
    HiddenRow,
    ZeroHeightRow,
    HiddenCol,
    ZeroWidthCol,
    Covered,
    CoveredFromARowOfNoSize,
    CoveredFromAColumnOfNoSize,
    CoveredAcrossShownColumns,
    CoveredFromAHiddenColumn,
    CoveredFromAHiddenRowAndColumn,
    CoveredShownNowhere
  };
  const struct {
    const char* name;
    Kind kind;
    ROWCOL down, up;        // where Find Next stops, down from row 2 and up from row 4
    const char* replaced;   // column 1 after Replace pressed twice from row 1
    const char* all;        // column 1 after Replace All from row 1
    bool kept;              // Replace All says that a cell keeps its match
  } cases[] = {
      {"edit cell", Kind::Edit, 3, 3, "ZZ|xyz|ZZ|abc|xyz", "ZZ|xyz|ZZ|ZZ|xyz", false},
      {"read-only static text", Kind::ReadOnlyStatic, 3, 3, "ZZ|xyz|abc|abc|xyz", "ZZ|xyz|abc|ZZ|xyz", true},
      {"disabled cell", Kind::Disabled, 4, 1, "ZZ|xyz|abc|ZZ|xyz", "ZZ|xyz|abc|ZZ|xyz", true},
      {"hidden row", Kind::HiddenRow, 4, 1, "ZZ|xyz|abc|ZZ|xyz", "ZZ|xyz|abc|ZZ|xyz", false},
      {"row of height 0", Kind::ZeroHeightRow, 4, 1, "ZZ|xyz|abc|ZZ|xyz", "ZZ|xyz|abc|ZZ|xyz", false},
      // The current cell left in a hidden column: nothing of the column shows.
      {"hidden column", Kind::HiddenCol, 2, 4, "abc|xyz|abc|abc|xyz", "abc|xyz|abc|abc|xyz", false},
      {"column of width 0", Kind::ZeroWidthCol, 2, 4, "abc|xyz|abc|abc|xyz", "abc|xyz|abc|abc|xyz", false},
      // Rows 2 and 3 covered by row 2's cell.
      {"covered cell", Kind::Covered, 4, 1, "ZZ|xyz|abc|ZZ|xyz", "ZZ|xyz|abc|ZZ|xyz", false},
      // Rows 3 and 4 covered by row 3's cell, row 3 of height 0: the range shows row 3's text over row 4 (and
      // row 4 made current is the range's cell, above which Find Next up goes on).
      {"covered range whose first row has no size", Kind::CoveredFromARowOfNoSize, 3, 1, "ZZ|xyz|ZZ|abc|xyz",
       "ZZ|xyz|ZZ|abc|xyz", false},
      // Row 3's cell covering column 2 as well, column 1 of width 0: only the range shows of column 1.
      {"covered range whose first column has no size", Kind::CoveredFromAColumnOfNoSize, 3, 3, "abc|xyz|ZZ|abc|xyz",
       "abc|xyz|ZZ|abc|xyz", false},
      // (3, 1) covering (3, 2), both columns shown, searched in column 2: the range is met in column 1 only.
      {"covered range searched right of its first column", Kind::CoveredAcrossShownColumns, 4, 1,
       "ZZ|xyz|abc|ZZ|xyz", "ZZ|xyz|abc|ZZ|xyz", false},
      // (3, 1) covering (3, 2), column 1 hidden: the range shows its text in column 2.
      {"covered range from a hidden column", Kind::CoveredFromAHiddenColumn, 3, 3, "ZZ|xyz|ZZ|abc|xyz",
       "ZZ|xyz|ZZ|ZZ|xyz", false},
      // (3, 1) covering (3, 2) to (4, 2), column 1 hidden, row 3 of height 0: the range shows over (4, 2) only,
      // whose own match lies under it (and row 4 made current is the range's cell).
      {"covered range from a hidden row and column", Kind::CoveredFromAHiddenRowAndColumn, 3, 1, "ZZ|xyz|ZZ|abc|xyz",
       "ZZ|xyz|ZZ|abc|xyz", false},
      // (3, 1) covering (3, 2), column 1 hidden, row 3 of height 0: the range shows nowhere.
      {"covered range shown nowhere", Kind::CoveredShownNowhere, 4, 1, "ZZ|xyz|abc|ZZ|xyz", "ZZ|xyz|abc|ZZ|xyz",
       false},
  };
  enum class Op { FindDown, FindUp, Replace, ReplaceAll };
  const std::pair<Op, const char*> ops[] = {{Op::FindDown, "Find Next down"},
                                            {Op::FindUp, "Find Next up"},
                                            {Op::Replace, "Replace"},
                                            {Op::ReplaceAll, "Replace All"}};
  const std::string untouched = "abc|xyz|abc|abc|xyz";
  for (const auto& c : cases) {
    for (const auto& [op, opName] : ops) {
      SCOPED_TRACE(std::string(c.name) + ", " + opName);
      FindGrid* g = MakeTexts({"abc", "xyz", "abc", "abc", "xyz"});
      const bool beside = c.kind >= Kind::CoveredAcrossShownColumns;
      const ROWCOL col = beside ? 2 : 1;
      if (beside) {
        for (ROWCOL r = 1; r <= 5; ++r) g->SetCellValue(r, 2, g->GetCellValue(r, 1));
        if (c.kind != Kind::CoveredAcrossShownColumns) {
          ASSERT_TRUE(g->HideCols(1, 1));
        }
      }
      switch (c.kind) {
        case Kind::Edit: break;
        case Kind::ReadOnlyStatic:
          g->SetStyleRange(CGXRange(3, 1), CGXStyle().SetControl(GX_IDS_CTRL_STATIC).SetReadOnly(TRUE));
          break;
        case Kind::Disabled: g->SetStyleRange(CGXRange(3, 1), CGXStyle().SetEnabled(FALSE)); break;
        case Kind::HiddenRow: ASSERT_TRUE(g->HideRows(3, 3)); break;
        case Kind::ZeroHeightRow: g->SetRowHeight(3, 3, 0); break;
        case Kind::HiddenCol: ASSERT_TRUE(g->HideCols(1, 1)); break;
        case Kind::ZeroWidthCol: g->SetColWidth(1, 1, 0); break;
        case Kind::Covered: ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 1, 3, 1, GX_UPDATENOW, 0)); break;
        case Kind::CoveredFromARowOfNoSize:
          ASSERT_TRUE(g->SetCoveredCellsRowCol(3, 1, 4, 1, GX_UPDATENOW, 0));
          g->SetRowHeight(3, 3, 0);
          break;
        case Kind::CoveredFromAColumnOfNoSize:
          ASSERT_TRUE(g->SetCoveredCellsRowCol(3, 1, 3, 2, GX_UPDATENOW, 0));
          g->SetColWidth(1, 1, 0);
          break;
        case Kind::CoveredAcrossShownColumns:
        case Kind::CoveredFromAHiddenColumn: ASSERT_TRUE(g->SetCoveredCellsRowCol(3, 1, 3, 2, GX_UPDATENOW, 0)); break;
        case Kind::CoveredFromAHiddenRowAndColumn:
          ASSERT_TRUE(g->SetCoveredCellsRowCol(3, 1, 4, 2, GX_UPDATENOW, 0));
          g->SetRowHeight(3, 3, 0);
          break;
        case Kind::CoveredShownNowhere:
          ASSERT_TRUE(g->SetCoveredCellsRowCol(3, 1, 3, 2, GX_UPDATENOW, 0));
          g->SetRowHeight(3, 3, 0);
          break;
      }
      // Column `col` as the user sees it: row 3 from the range over it.
      auto shown = [&] {
        std::string v;
        for (ROWCOL r = 1; r <= 5; ++r) v += (r > 1 ? "|" : "") + Value(g, r, beside && r == 3 ? 1 : col);
        return v;
      };
      ClearUndo(g);
      plat::ClearShownLog();
      const ROWCOL from = op == Op::FindUp ? 4 : op == Op::FindDown ? 2 : 1;
      ASSERT_TRUE(g->MoveCurrentCellTo(from, col, GX_UPDATENOW));
      switch (op) {
        case Op::FindDown: Act(g, TRUE, "abc", FR_FINDNEXT | FR_DOWN); break;
        case Op::FindUp: Act(g, TRUE, "abc", FR_FINDNEXT); break;
        case Op::Replace:
          for (int press = 0; press < 2; ++press) Act(g, FALSE, "abc\tZZ", FR_REPLACE | FR_DOWN);
          g->CompleteCellEdit(TRUE);
          break;
        case Op::ReplaceAll: Act(g, FALSE, "abc\tZZ", FR_REPLACEALL | FR_DOWN); break;
      }
      if (beside) {
        EXPECT_EQ(Value(g, 3, 2), "abc");  // under the range
      }
      if (op == Op::FindDown || op == Op::FindUp) {
        const ROWCOL stop = op == Op::FindDown ? c.down : c.up;
        EXPECT_EQ(CurrentRow(g), stop);
        EXPECT_EQ(g->notFound.size(), stop == from ? 1u : 0u);
      } else if (op == Op::Replace) {
        EXPECT_EQ(shown(), c.replaced);
      } else {
        EXPECT_EQ(shown(), c.all);
        EXPECT_EQ(CurrentRow(g), 1u);
        const std::string kept(gx::LoadGridString(GX_IDS_REPLACE_UNCHANGEABLE).GetString());
        const auto& shown = plat::ShownLog();
        EXPECT_EQ(std::any_of(shown.begin(), shown.end(), [&](const auto& s) { return s.request.text == kept; }),
                  c.kept);
        EXPECT_EQ(g->notFound.size(), c.all == untouched ? 1u : 0u);
      }
    }
  }
}

// The cells shown as a walk asks them (down each column, up it, along each row) and one by one are those the
// sizes the window shows make: a cell whose row and column have a size, and a covered range as its top-left cell
// when any of its rows and any of its columns has one. The layout has hidden lines, lines of size 0, frozen
// rows, lines larger than the window (cut to it) and covered ranges over each of them.
TEST_F(FindTest, CellsShownAlongAWalkAreThoseTheShownSizesMake) {
  if (plat::GetAutomationProvider() != &automation) Automate();
  constexpr ROWCOL kRows = 12, kCols = 8;
  auto* g = MakeGrid<FindGrid>(kRows, kCols);
  ASSERT_TRUE(g->SetFrozenRows(2, 0));
  ASSERT_TRUE(g->HideRows(3, 3));
  ASSERT_TRUE(g->HideCols(2, 2));
  g->SetRowHeight(1, 1, 0);
  g->SetRowHeight(4, 4, 0);
  g->SetRowHeight(6, 6, 1000);
  g->SetColWidth(3, 3, 0);
  g->SetColWidth(7, 7, 2000);
  ASSERT_LT(g->GetRowHeight(6), 1000);  // cut to the window
  for (const CGXRange& r : {CGXRange(3, 1, 5, 1), CGXRange(4, 4, 4, 5), CGXRange(8, 2, 9, 3), CGXRange(1, 5, 3, 6),
                            CGXRange(10, 2, 11, 4), CGXRange(11, 6, 12, 7)})
    ASSERT_TRUE(g->SetCoveredCellsRowCol(r.top, r.left, r.bottom, r.right, GX_UPDATENOW, 0));
  auto shown = [&](ROWCOL row, ROWCOL col) {
    CGXRange block(row, col);
    if (g->GetCoveredCellsRowCol(row, col, block) && (block.top != row || block.left != col)) return false;
    bool rows = false, cols = false;
    for (ROWCOL r = block.top; r <= block.bottom; ++r) rows |= g->GetRowHeight(r) > 0;
    for (ROWCOL c = block.left; c <= block.right; ++c) cols |= g->GetColWidth(c) > 0;
    return rows && cols;
  };
  // Ranges shown over their second row, second column, a frozen row; ranges of no row or no column shown.
  EXPECT_TRUE(shown(3, 1) && shown(10, 2) && shown(1, 5) && shown(6, 7));
  EXPECT_FALSE(shown(4, 4) || shown(8, 2) || shown(5, 1) || shown(6, 3));
  for (ROWCOL c = 1; c <= kCols; ++c) {
    CGXShownCells down(*g), up(*g);
    for (ROWCOL r = 1; r <= kRows; ++r) EXPECT_EQ(down.IsShown(r, c), shown(r, c)) << "down at " << r << "," << c;
    for (ROWCOL r = kRows; r >= 1; --r) EXPECT_EQ(up.IsShown(r, c), shown(r, c)) << "up at " << r << "," << c;
  }
  for (ROWCOL r = 1; r <= kRows; ++r) {
    CGXShownCells along(*g);
    for (ROWCOL c = 1; c <= kCols; ++c) {
      EXPECT_EQ(along.IsShown(r, c), shown(r, c)) << "along at " << r << "," << c;
      EXPECT_EQ(g->IsCellShown(r, c), shown(r, c)) << r << "," << c;
    }
  }
}

// The open dialog holds the focus (the user types there): Find Next after Find Next moves from match to
// match, down the column and into the next matching cell, and the focus stays in the dialog.
TEST_F(FindTest, MatchesFollowOneAnotherWhileTheDialogKeepsTheFocus) {
  FindGrid* g = MakeTexts({"start", "abc abc", "none", "xabc"});
  automation.Reply(plat::SystemUiKind::Find, {IDOK, "abc", FR_FINDNEXT | FR_DOWN});
  GXForwardArgs a;
  a.v[0] = TRUE;
  g->FindReplaceForward0(a);
  Pump();  // one action, then the dialog waits for the user
  const HWND dialog = CGXFindReplaceState::Get().m_hWndFindDlg;
  ASSERT_TRUE(::IsWindow(dialog));
  EXPECT_TRUE(::IsChild(dialog, ::GetFocus()));
  EXPECT_EQ(CurrentRow(g), 2u);
  ::SendMessage(dialog, WM_COMMAND, IDOK, 0);  // Find Next again: the second match in the same cell
  Pump();
  EXPECT_EQ(CurrentRow(g), 2u);
  ::SendMessage(dialog, WM_COMMAND, IDOK, 0);
  Pump();
  EXPECT_EQ(CurrentRow(g), 4u);
  EXPECT_TRUE(::IsChild(dialog, ::GetFocus()));
  ::SendMessage(dialog, WM_COMMAND, IDOK, 0);  // nothing further down
  Pump();
  EXPECT_EQ(CurrentRow(g), 4u);
  EXPECT_EQ(g->notFound.size(), 1u);
}

TEST_F(FindTest, ReplaceAllKeepsTheTypedCaseWorksDownTheCurrentColumnAndIsOneStep) {
  FindGrid* g = MakeTexts({"abc above", "xABCyAbc", "none", "ABC"});
  g->SetCellValue(2, 2, "abc in another column");
  ClearUndo(g);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
  Act(g, FALSE, "abc\tDe", FR_REPLACEALL | FR_DOWN);
  EXPECT_EQ(Values(g, 1, 1, 4, 1), "abc above|xDeyDe|none|De");
  EXPECT_EQ(Value(g, 2, 2), "abc in another column");
  ASSERT_EQ(g->GetParam()->GetUndoList().GetCount(), 1);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Values(g, 1, 1, 4, 1), "abc above|xABCyAbc|none|ABC");
  // Nothing to replace: the text is reported.
  Act(g, FALSE, "zzz\ty", FR_REPLACEALL | FR_DOWN);
  ASSERT_FALSE(g->notFound.empty());
  EXPECT_EQ(g->notFound.back(), "zzz");
}

TEST_F(FindTest, AnAbortedReplaceAllRollsBackWhenTheUserAsks) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDRETRY, {}, 0}, "abort the operation");
  FindGrid* g = MakeTexts({"a1", "a2", "a3", "a4"});
  g->escOnSecondStore = TRUE;
  Act(g, FALSE, "a\tb", FR_REPLACEALL | FR_DOWN);
  EXPECT_GE(g->stores, 2);
  EXPECT_EQ(Values(g, 1, 1, 4, 1), "a1|a2|a3|a4");
  EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
}

TEST_F(FindTest, LongCellTextsAreSearchedAndReplacedWhole) {
  const std::string longText = std::string(4990, 'x') + "needle" + std::string(4, 'y');
  FindGrid* g = MakeTexts({"short", longText, longText});
  Act(g, TRUE, "NEEDLE", FR_FINDNEXT | FR_DOWN);
  EXPECT_EQ(CurrentRow(g), 2u);
  Act(g, FALSE, "needle\t" + std::string(100, 'N'), FR_REPLACEALL | FR_DOWN);
  const std::string replaced = std::string(4990, 'x') + std::string(100, 'N') + std::string(4, 'y');
  EXPECT_EQ(Value(g, 2, 1), replaced);
  EXPECT_EQ(Value(g, 3, 1), replaced);
}

// A tabbed list of `lines` lines (at least 4): its titles, Red, Green, Blue, then shades to its length.
CGXStyle Tabbed(WORD id, int lines = 4) {
  std::string list = "ID\tName\n1\tRed\n2\tGreen\n3\tBlue";
  for (int n = 4; n < lines; ++n) list += "\n" + std::to_string(n) + "\tShade " + std::to_string(n);
  CGXStyle s;
  s.SetControl(id).SetChoiceList(list.c_str()).SetValue("3");
  s.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
  s.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
  return s;
}

// The message boxes shown since the log was cleared, each cut to its first words.
std::string Boxes() {
  std::string out;
  for (const auto& e : plat::ShownLog())
    if (e.request.kind == plat::SystemUiKind::MessageBox) out += "[" + std::string(e.request.text).substr(0, 26) + "]";
  return out;
}

// A store that keeps values as they were entered, as a formula sheet does (the grid's storage type 1): the entered
// form of a text, which an editor starts from, marks it as one ("'Blue"), and an entered "'Blue" is the text Blue.
struct EnteredTextData : CGXData {
  BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type) override {
    if (type != 1 || !style || !style->GetIncludeValue() || !style->GetValue().View().starts_with('\''))
      return CGXData::StoreStyle(row, col, style, mode, type);
    CGXStyle text(*style);
    text.SetValue(style->GetValue().Mid(1));
    return CGXData::StoreStyle(row, col, &text, mode, 0);
  }
  BOOL GetStyle(ROWCOL row, ROWCOL col, CGXStyle& style, int mode, int type) const override {
    if (!CGXData::GetStyle(row, col, style, mode, type)) return FALSE;
    if (type == 1 && style.GetIncludeValue() && !style.GetValue().IsEmpty() && style.GetValueType() == GX_VT_TEXT)
      style.SetValue("'" + style.GetValue());
    return TRUE;
  }
};

// A cell with a list of choices takes only one of its choices, by whichever way a text comes in: typed, pasted
// onto the cell or into its editor, Replace, Replace All, a fill; on a grid that keeps values as entered too. A
// choice is named exactly, in another case or by its beginning, and stored as the cell stores it; anything else is
// refused with that way's message (Replace All and a fill say it once for all their cells), and the cell keeps its
// value and control. A free-text drop-down takes any text as it is.
TEST_F(FindTest, AListCellTakesOnlyItsChoicesByEveryDoor) {
  const char* const rgb = "Red\nGreen\nBlue";
  struct Form {
    const char* text;
    const char* stored;  // null: refused
  };
  // How typing names a choice: as a text, by the first letter of each key (a list: only a letter is typed), or not
  // at all (the check list).
  enum class Typing { Text, ByKey, None };
  const struct Cell {
    const char* name;
    CGXStyle style;     // holding the value that shows Blue (the check list: its caption, Colours)
    const char* shown;  // what Replace finds in it
    Form forms[4];      // a choice named exactly, in another case, by its beginning; no choice
    Typing typing;
  } cells[] = {
      {"drop-down list", CGXStyle().SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(rgb).SetValue("Blue"),
       "Blue", {{"Green", "Green"}, {"GREEN", "Green"}, {"g", "Green"}, {"Cyan", nullptr}}, Typing::ByKey},
      {"list box", CGXStyle().SetControl(GX_IDS_CTRL_LISTBOX).SetChoiceList(rgb).SetValue("Blue"), "Blue",
       {{"Green", "Green"}, {"GREEN", "Green"}, {"g", "Green"}, {"Cyan", nullptr}}, Typing::ByKey},
      {"text-fit combo", CGXStyle().SetControl(GX_IDS_CTRL_TEXTFIT).SetChoiceList(rgb).SetValue("Blue"), "Blue",
       {{"Red", "Red"}, {"green", "Green"}, {"Gr", "Green"}, {"Cyan", nullptr}}, Typing::Text},
      {"one-based line combo", CGXStyle().SetControl(GX_IDS_CTRL_ONEBASED_EX).SetChoiceList(rgb).SetValue("3"),
       "Blue", {{"Green", "2"}, {"GREEN", "2"}, {"g", "2"}, {"Cyan", nullptr}}, Typing::Text},
      {"zero-based line combo", CGXStyle().SetControl(GX_IDS_CTRL_ZEROBASED_EX).SetChoiceList(rgb).SetValue("2"),
       "Blue", {{"Red", "0"}, {"rED", "0"}, {"r", "0"}, {"Cyan", nullptr}}, Typing::Text},
      {"tabbed combo", Tabbed(GX_IDS_CTRL_TABBED_COMBOBOX), "Blue",
       {{"Green", "2"}, {"GREEN", "2"}, {"g", "2"}, {"Cyan", nullptr}}, Typing::Text},
      // Lists long enough to be looked up through an index.
      {"tabbed combo of 32 lines", Tabbed(GX_IDS_CTRL_TABBED_COMBOBOX, 32), "Blue",
       {{"Green", "2"}, {"GREEN", "2"}, {"g", "2"}, {"Cyan", nullptr}}, Typing::Text},
      {"tabbed combo of 100 lines", Tabbed(GX_IDS_CTRL_TABBED_COMBOBOX, 100), "Blue",
       {{"Green", "2"}, {"GREEN", "2"}, {"g", "2"}, {"Cyan", nullptr}}, Typing::Text},
      {"tabbed list of 1,000 lines", Tabbed(GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST, 1000), "Blue",
       {{"Green", "2"}, {"GREEN", "2"}, {"g", "2"}, {"Cyan", nullptr}}, Typing::ByKey},
      {"tabbed box", Tabbed(GX_IDS_CTRL_TABBED_CBS_DROPDOWN), "Blue",
       {{"Green", "2"}, {"GREEN", "2"}, {"g", "2"}, {"Cyan", nullptr}}, Typing::Text},
      {"tabbed list", Tabbed(GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST), "Blue",
       {{"Green", "2"}, {"GREEN", "2"}, {"g", "2"}, {"Cyan", nullptr}}, Typing::ByKey},
      // A tick mask of its items: leading zeros are dropped, a tick past its items is refused.
      {"check list",
       CGXStyle().SetControl(GX_IDS_CTRL_CHECKLIST_COMBOBOX).SetChoiceList("Colours\nRed\nGreen\nBlue").SetValue("5"),
       "Colours", {{"3", "3"}, {"03", "3"}, {"7", "7"}, {"8", nullptr}}, Typing::None},
      {"free-text combo", CGXStyle().SetControl(GX_IDS_CTRL_COMBOBOX).SetChoiceList(rgb).SetValue("Blue"), "Blue",
       {{"Green", "Green"}, {"GREEN", "GREEN"}, {"g", "g"}, {"Cyan", "Cyan"}}, Typing::Text},
      {"free-text box", CGXStyle().SetControl(GX_IDS_CTRL_CBS_DROPDOWN).SetChoiceList(rgb).SetValue("Blue"), "Blue",
       {{"Green", "Green"}, {"GREEN", "GREEN"}, {"g", "g"}, {"Cyan", "Cyan"}}, Typing::Text},
  };
  const struct {
    const char* name;
    Door door;
    const char* box;  // the first words of the message of a refusal; none for typing, which takes no character
  } doors[] = {
      {"typed", Door::Type, ""},
      {"pasted onto the cell", Door::Paste, "[A pasted text is not a val]"},
      {"pasted into the editor", Door::PasteIntoEditor, "[A pasted text is not a val]"},
      {"Replace", Door::Replace, "[A replaced text is not a v]"},
      {"Replace All", Door::ReplaceAll, "[A replaced text is not a v]"},
      {"filled", Door::Fill, "[A filled value is not a va]"},
  };
  for (const bool entered : {false, true})
    for (const Cell& cell : cells)
      for (const auto& d : doors)
        for (const Form& form : cell.forms) {
          const char* text = form.text;
          if (d.door == Door::Type && cell.typing == Typing::ByKey && std::strlen(text) > 1) continue;
          // A grid keeping values as entered fills by copying whole cells, and marks a text only: a cell whose value
          // is a line's index, a key or a tick mask (a number) is entered as on any grid.
          if (entered && (d.door == Door::Fill || std::isdigit(static_cast<unsigned char>(*cell.forms[0].stored))))
            continue;
          SCOPED_TRACE(std::string(entered ? "values as entered, " : "") + cell.name + ", " + d.name + ": " + text);
          // Row 1 a plain cell holding the text (a fill's source), rows 2 and 3 the list cell.
          CGXGridWnd* g = Make(3, 1);
          if (entered) {
            g->GetParam()->SetData(new EnteredTextData, TRUE);
            g->SetRowCount(3, 0);
            g->SetColCount(1, 0);
            g->m_nDefaultStorageType = 1;
          }
          g->GetParam()->m_bFillEnabled = 1;
          g->SetCellValue(1, 1, text);
          g->SetStyleRange(CGXRange(2, 1, 3, 1), cell.style);
          const std::string before(g->GetCellValue(2, 1));
          ClearUndo(g);
          ::SetFocus(*g);
          ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
          Pump();
          plat::ClearShownLog();
          if (d.door == Door::Type) {
            Type(text);
            Key(VK_RETURN);
          }
          Enter(g, d.door, text, cell.shown, false);
          g->CompleteCellEdit(TRUE);
          Pump();
          const bool takes = form.stored && (cell.typing != Typing::None || d.door != Door::Type);
          EXPECT_EQ(std::string(g->GetCellValue(2, 1)), takes ? form.stored : before);
          // Replace All and a fill reach row 3 too, and say a refusal once.
          const bool both = d.door == Door::ReplaceAll || d.door == Door::Fill;
          EXPECT_EQ(std::string(g->GetCellValue(3, 1)), takes && both ? form.stored : before);
          EXPECT_EQ(Boxes(), form.stored ? "" : d.box);
          CGXStyle style;
          g->ComposeCellStyle(2, 1, style);
          EXPECT_EQ(style.GetControl(), cell.style.GetControl());
          g->DestroyWindow();
        }
}

// A cell's minimum and maximum and its maximum length judge the value the cell would store, after its own
// conversion (a grouped number's, a currency amount's, a mask's data, a rich edit cell's plain text), at every door:
// typed, pasted onto the cell or into its editor, Replace, Replace All, a fill, and a cell pasted, copied or moved
// onto it or filled with its styles under bounds that stay its column's. A value within them is taken by each,
// stored as every door stores it; one outside is refused by each with one box: the cell's own message, else the
// grid's text naming the bounds, else (a maximum length) the door's own. A typed text too long goes no further than the window takes it. Replace All
// stored a rich edit cell's text past both; a fill refused every value on it; a grouped cell refused its own shown
// "1,234" pasted, a currency cell every typed amount and its own "$80.00", and an edit cell refused a typed value
// out of its bounds without a word; a paste judged the length of the text, not of the value stored ("$80.00" under
// 5 characters), typing stored a value past it ("1e5"), a fill stored a grouped "5,678" as that text, and a cell
// copied or moved in stored its value past the column's bounds and length. A spin cell's up arrow steps the number
// the cell keeps and shows it in the cell's form, once to `inside`, twice to `outside`: it stepped the shown text
// ("1,999" up was 2, "(5)" up 1), and past 32 bits it stepped the number held at their end (3,000,000,000 up
// stored 2,147,483,647); a percent cell refused its own "50%". A number format keeps every digit of its number.
TEST_F(FindTest, ABoundedCellJudgesTheValueItWouldStoreAtEveryDoor) {
  GXRegisterExtras();
  InstallNumberFormattingImp();
  const auto bounded = [](WORD control, const char* low, const char* high) {
    return CGXStyle().SetControl(control).SetUserAttribute(GX_IDS_UA_VALID_MIN, low).SetUserAttribute(
        GX_IDS_UA_VALID_MAX, high);
  };
  const auto spin = CGXStyle()
                        .SetControl(GX_IDS_CTRL_SPINEDIT)
                        .SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "1")
                        .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, "100");
  const std::string between = "Type a number from 1 to 100.";
  const struct Kind {
    const char* name;
    CGXStyle style;
    const char* value;  // the cell's, shown as `shown` (what Replace finds)
    const char *shown, *inside, *outside;  // `inside` shows as it is given
    std::string box;  // the refusal's message; empty: a maximum length's, the door's own
    const char* typed[2] = {};  // typed in place of `inside` and `outside`
    const char* stored = nullptr;  // the value `inside` is stored as, where it is not `inside`
    // The editor's window holds the shown form, as many characters of it as the maximum length: a paste into it
    // and Replace (made in it) judge that, and refuse a shown `inside` longer than that.
    bool windowCountsShown = false;
    bool stepsToInside = false;  // `value` one step up is `inside`, two steps `outside` (a spin cell's arrow)
    bool stepsDown = false;      // the steps are the down arrow's
    bool heldAtBound = false;    // the second step is held at the spin's own bound: `inside` is kept
    // The cell's form shows the step as another number: the arrow leaves the value with this box.
    const char* formBox = nullptr;
  } kinds[] = {
      {"edit", bounded(GX_IDS_CTRL_EDIT, "1", "100"), "50", "50", "7", "500", between},
      {"edit with its message",
       bounded(GX_IDS_CTRL_EDIT, "1", "100").SetUserAttribute(GX_IDS_UA_VALID_MSG, "From 1 to 100, please."), "50",
       "50", "7", "500", "From 1 to 100, please."},
      {"edit of a maximum", bounded(GX_IDS_CTRL_EDIT, "", "100"), "50", "50", "7", "500",
       "Type a number of at most 100."},
      {"edit of 2 characters", CGXStyle().SetMaxLength(2), "50", "50", "7", "500", ""},
      {"grouped number", bounded(GX_IDS_CTRL_EDIT, "0", "10000").SetFormat(5).SetPlaces(0), "1234", "1,234", "5,678",
       "12,345", "Type a number from 0 to 10000.", {}, "5678"},
      // Typed, the window holds 4 characters of the shown form; "1e5" is 100000.
      {"grouped number of 4 characters", CGXStyle().SetFormat(5).SetPlaces(0).SetMaxLength(4), "1234", "1,234",
       "5,678", "12,345", "", {"5678", "1e5"}, "5678", true},
      {"spin", spin, "50", "50", "7", "500", "Type a whole number from 1 to 100."},
      {"spin of 2 characters", CGXStyle(spin).SetMaxLength(2), "50", "50", "7", "500", ""},
      {"spin bounded past 32 bits",
       CGXStyle(spin).SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "-3000000000").SetUserAttribute(
           GX_IDS_UA_SPINBOUND_MAX, "3000000001"),
       "3000000000", "3000000000", "3000000001", "3000000002", "Type a whole number from -3000000000 to 3000000001."},
      {"spin of grouped numbers", bounded(GX_IDS_CTRL_SPINEDIT, "0", "2000").SetFormat(5).SetPlaces(0), "1999",
       "1,999", "2,000", "2,001", "Type a number from 0 to 2000.", {}, "2000", false, true},
      {"spin in parentheses", bounded(GX_IDS_CTRL_SPINEDIT, "-10", "-4").SetFormat(23).SetPlaces(0), "-5", "(5)",
       "(4)", "(3)", "Type a number from -10 to -4.", {}, "-4", false, true},
      {"spin of exponents", bounded(GX_IDS_CTRL_SPINEDIT, "1", "51").SetFormat(1).SetPlaces(2), "50", "5.00e+01",
       "5.10e+01", "5.20e+01", "Type a number from 1 to 51.", {}, "51", false, true},
      {"spin of amounts", bounded(GX_IDS_CTRL_SPINEDIT, "0", "6").SetFormat(4).SetPlaces(2), "5", "$5.00", "$6.00",
       "$7.00", "Type a number from 0 to 6.", {}, "6", false, true},
      // The arrows step the kept number past the 32-bit ends, one by one, either way.
      {"spin at 2^31", bounded(GX_IDS_CTRL_SPINEDIT, "0", "2147483648").SetFormat(5).SetPlaces(0), "2147483647",
       "2,147,483,647", "2,147,483,648", "2,147,483,649", "Type a number from 0 to 2147483648.", {}, "2147483648",
       false, true},
      {"spin past 2^31", bounded(GX_IDS_CTRL_SPINEDIT, "0", "3000000001").SetFormat(5).SetPlaces(0), "3000000000",
       "3,000,000,000", "3,000,000,001", "3,000,000,002", "Type a number from 0 to 3000000001.", {}, "3000000001",
       false, true},
      {"spin down at -2^31", bounded(GX_IDS_CTRL_SPINEDIT, "-2147483649", "0").SetFormat(5).SetPlaces(0),
       "-2147483648", "(2,147,483,648)", "(2,147,483,649)", "(2,147,483,650)", "Type a number from -2147483649 to 0.",
       {}, "-2147483649", false, true, true},
      {"spin down past -2^31", bounded(GX_IDS_CTRL_SPINEDIT, "-3000000001", "0").SetFormat(5).SetPlaces(0),
       "-3000000000", "(3,000,000,000)", "(3,000,000,001)", "(3,000,000,002)", "Type a number from -3000000001 to 0.",
       {}, "-3000000001", false, true, true},
      // A number format judges and steps the number in every digit, not its 14-digit text: "1e+14" read as 1
      // refused 100,000,000,000,001 with the spin's bounds, 123456789012345 was stored as 123456789012340, and
      // 123456789012340 did not move.
      {"spin of grouped numbers bounded past 10^14",
       CGXStyle(spin).SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "0").SetUserAttribute(
           GX_IDS_UA_SPINBOUND_MAX, "100000000000001").SetFormat(5).SetPlaces(0),
       "100000000000000", "100,000,000,000,000", "100,000,000,000,001", "100,000,000,000,002",
       "Type a whole number from 0 to 100000000000001.", {}, "100000000000001", false, true, false, true},
      {"spin of 15 grouped digits", bounded(GX_IDS_CTRL_SPINEDIT, "0", "123456789012346").SetFormat(5).SetPlaces(0),
       "123456789012345", "123,456,789,012,345", "123,456,789,012,346", "123,456,789,012,347",
       "Type a number from 0 to 123456789012346.", {}, "123456789012346", false, true},
      {"spin of 15 digits down",
       CGXStyle(spin).SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "123456789012339").SetUserAttribute(
           GX_IDS_UA_SPINBOUND_MAX, "200000000000000").SetFormat(2).SetPlaces(0),
       "123456789012340", "123456789012340", "123456789012339", "123456789012338",
       "Type a whole number from 123456789012339 to 200000000000000.", {}, "123456789012339", false, true, true, true},
      {"spin of exponents of 2 places", bounded(GX_IDS_CTRL_SPINEDIT, "0", "1240").SetFormat(1).SetPlaces(2), "1230",
       "1.23e+03", "1.24e+03", "1.25e+03", "Type a number from 0 to 1240.", {}, "1240", false, true, false, false,
       "The cell's number format would show 1231 as another number"},
      {"percent", bounded(GX_IDS_CTRL_EDIT, "0", "1").SetFormat(14).SetPlaces(0), "0.5", "50%", "60%", "150%",
       "Type a number from 0 to 1.", {}, "0.6"},
      // A percent is kept as its digits say: 0.7% is 0.007, not the quotient a step beside it.
      {"percent of tenths", bounded(GX_IDS_CTRL_EDIT, "0", "1").SetFormat(14).SetPlaces(1), "0.005", "0.5%", "0.7%",
       "150.0%", "Type a number from 0 to 1.", {}, "0.007"},
      {"scroll edit", bounded(GX_IDS_CTRL_SCROLLEDIT, "1", "100"), "50", "50", "7", "500", between},
      {"hot spot edit", bounded(GX_IDS_CTRL_HOTSPOT, "1", "100"), "50", "50", "7", "500", between},
      {"free-text combo", bounded(GX_IDS_CTRL_COMBOBOX, "1", "100").SetChoiceList("5\n50"), "50", "50", "7", "500",
       between},
      // 500 would pass the mask's room where the replaced text is "500_".
      {"masked edit", bounded(GX_IDS_CTRL_MASKEDIT, "1", "100").SetUserAttribute(GX_IDS_UA_INPUTMASK, "###"), "50",
       "50", "7", "0", between},
      {"currency", bounded(GX_IDS_CTRL_CURRENCY, "1", "100"), "50", "$50.00", "$80.00", "$500.00", between,
       {"80", "500"}, "80.00"},
      {"currency of 5 characters", CGXStyle().SetControl(GX_IDS_CTRL_CURRENCY).SetMaxLength(5), "50", "$50.00",
       "$80.00", "$800.00", "", {"80", "800"}, "80.00"},
      {"rich edit", bounded(GX_IDS_CTRL_RICHEDIT, "1", "100"), "50", "50", "7", "500", between},
      {"rich edit of 2 characters", CGXStyle().SetControl(GX_IDS_CTRL_RICHEDIT).SetMaxLength(2), "50", "50", "7",
       "500", ""},
  };
  const std::pair<Door, const char*> doors[] = {
      {Door::Type, "typed"},   {Door::SpinArrow, "spin arrow"},
      {Door::Paste, "pasted onto the cell"}, {Door::PasteIntoEditor, "pasted into the editor"},
      {Door::Replace, "Replace"}, {Door::ReplaceAll, "Replace All"}, {Door::Fill, "filled"},
      {Door::PasteCells, "cell pasted"}, {Door::CopyCells, "cell copied"}, {Door::MoveCells, "cell moved"},
      {Door::FillStyles, "filled with styles"}};
  for (const Kind& kind : kinds)
    for (const auto& [door, doorName] : doors)
      for (const bool inside : {true, false}) {
        if (door == Door::SpinArrow && (!kind.stepsToInside || (kind.formBox && !inside))) continue;
        const char* text = inside ? kind.inside : kind.outside;
        SCOPED_TRACE(std::string(kind.name) + ", " + doorName + ": " + text);
        // Row 1 a plain cell holding the text (a fill's source), rows 2 and 3 the bounded cell. A door that
        // brings row 1's stored cell along leaves the bounds the column's, and row 1 holds the stored form.
        const bool cells = door >= Door::PasteCells;
        CGXGridWnd* g = Make(3, 1);
        g->SetColWidth(1, 1, 120);
        g->SetStyleRange(cells ? CGXRange().AssignCols(1, 1) : CGXRange(2, 1, 3, 1), kind.style);
        if (!cells || !inside || !g->SetCellTextThroughControl(1, 1, text, 0)) g->SetCellValue(1, 1, text);
        for (const ROWCOL r : {2, 3}) ASSERT_TRUE(g->SetCellTextThroughControl(r, 1, kind.value, 0));
        auto shown = [&](ROWCOL row) {
          CGXStyle style;
          g->ComposeCellStyle(row, 1, style);
          CString out;
          if (!g->ControlForCell(row, 1)->GetDisplayText(out, row, 1, nullptr, style)) out = style.GetValue();
          return std::string(out.Trim(" _"));  // a number's room for its sign, a mask's prompts
        };
        const std::string before = shown(2);
        EXPECT_EQ(before, kind.shown);
        ClearUndo(g);
        ::SetFocus(*g);
        ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
        Pump();
        plat::ClearShownLog();
        if (door == Door::Type) {
          Type(kind.typed[inside ? 0 : 1] ? kind.typed[inside ? 0 : 1] : text);
          Key(VK_RETURN);
          Key(VK_ESCAPE);
        }
        if (door == Door::SpinArrow) {
          const CRect cell = g->CalcCellRect(2, 1);
          for (int clicks = inside ? 1 : 2; clicks > 0; --clicks) {
            plat::InputRouter::Instance().Click(
                plat::MouseButton::Left,
                plat::InputRouter::ClientPoint(*g, cell.right - 8, kind.stepsDown ? cell.bottom - 4 : cell.top + 4),
                plat::InputRouter::Press::Separate);
            Pump();
          }
          Key(VK_RETURN);
        }
        Enter(g, door, text, kind.shown, true);
        // The edit ends as the user ends it: Return stores it, and the editor of a refused one is left with Esc.
        if (door != Door::Type && Boxes().empty()) g->CompleteCellEdit(TRUE);
        Pump();
        if (g->ControlOfCurrentCell()->GetEditingState()) Key(VK_ESCAPE);
        // A text too long to be typed is cut by the window as it is typed: the cell keeps its value, unsaid.
        const char* typed = kind.typed[1] ? kind.typed[1] : text;
        const bool cutWhileTyped = !inside && door == Door::Type && kind.box.empty() &&
                                   static_cast<int>(std::strlen(typed)) > kind.style.GetMaxLength();
        const bool arrowKept = door == Door::SpinArrow && kind.formBox;
        const bool takes = (inside || (door == Door::SpinArrow && kind.heldAtBound)) && !arrowKept &&
                           !(kind.windowCountsShown && (door == Door::PasteIntoEditor || door == Door::Replace));
        EXPECT_EQ(shown(2), takes ? kind.inside : before);
        const bool both = door == Door::ReplaceAll || door == Door::Fill || door == Door::FillStyles;
        EXPECT_EQ(shown(3), takes && both ? kind.inside : before);
        if (takes && kind.stored) {
          EXPECT_EQ(Value(g, 2, 1), kind.stored);  // as every door stores it
        }
        const std::string box = Boxes();
        if (arrowKept)
          EXPECT_EQ(box, "[" + std::string(kind.formBox).substr(0, 26) + "]");
        else if (takes || cutWhileTyped)
          EXPECT_EQ(box, "");
        else if (!kind.box.empty())
          EXPECT_EQ(box, "[" + kind.box.substr(0, 26) + "]");
        else
          EXPECT_EQ(std::count(box.begin(), box.end(), '['), 1);
        // One Undo gives back what was there (a refusal left nothing to undo).
        g->Undo();
        Pump();
        EXPECT_EQ(shown(2), before);
        EXPECT_EQ(shown(3), before);
        g->DestroyWindow();
      }
}

// A date-time cell refuses a date outside its range, pasted or filled, keeps its date and says why: a fill named
// its choices, its length and its mask, not the range that refused it.
TEST_F(FindTest, ADateTimeCellNamesItsRangeWhenItRefusesADate) {
  GXRegisterExtras();
  const CGXStyle limited = CGXStyle()
                               .SetControl(GX_IDS_CTRL_DATETIMENOCAL)
                               .SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "3")
                               .SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, "d MMM yyyy")
                               .SetUserAttribute(GX_IDS_UA_DATEMIN, "1/1/2024")
                               .SetUserAttribute(GX_IDS_UA_DATEMAX, "12/31/2024")
                               .SetUserAttribute(GX_IDS_UA_DATEVALIDMODE, "2")
                               .SetValue("45458");
  for (const Door door : {Door::Paste, Door::Fill}) {
    SCOPED_TRACE(door == Door::Paste ? "pasted" : "filled");
    CGXGridWnd* g = Make(3, 1);
    g->SetCellValue(1, 1, "500");
    g->SetStyleRange(CGXRange(2, 1, 3, 1), limited);
    ::SetFocus(*g);
    ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    plat::ClearShownLog();
    Enter(g, door, "500", "", false);
    Pump();
    EXPECT_EQ(Value(g, 2, 1), "45458");
    std::string boxes;
    for (const auto& e : plat::ShownLog())
      if (e.request.kind == plat::SystemUiKind::MessageBox) boxes += std::string(e.request.text);
    EXPECT_NE(boxes.find("out of its bounds"), std::string::npos) << boxes;
    g->DestroyWindow();
  }
}

}  // namespace
