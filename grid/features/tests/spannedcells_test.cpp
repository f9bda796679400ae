// Covered, floating and merged cells in real grids, and the marking and drawing of their blocks.
#include <gtest/gtest.h>

#include <string>

#include "grid/core/CGXGridDrawContext.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXFloatCells.h"
#include "grid/features/CGXMergeCells.h"
#include "grid/features/CGXSpanCellPoolImp.h"
#include "grid/features/CGXSpannedCellsDrawing.h"
#include "grid/features/tests/featuretest.h"
#include "platform/display/ReferenceImage.h"

namespace {

constexpr const char* kWide = "This text is much wider than three of its columns";

class SpannedCellsTest : public featuretest::FeatureTest {
 protected:
  // rows x cols static cells of unwrapped text, 50 x 20 pixels each.
  CGXGridWnd* Make(ROWCOL rows = 8, ROWCOL cols = 6) {
    CGXGridWnd* g = MakeGrid(rows, cols);
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_STATIC).SetWrapText(FALSE);
    g->SetStyleRange(CGXRange().AssignTable(), style);
    return g;
  }
  static void Set(CGXGridCore* g, ROWCOL row, ROWCOL col, const char* text) {
    CGXStyle s;
    s.SetValue(text);
    g->SetStyleRange(CGXRange(row, col), s);
  }
  static void Apply(CGXGridCore* g, const CGXRange& r, const CGXStyle& s) { g->SetStyleRange(r, s); }
  static CGXRange Covering(CGXGridCore* g, ROWCOL row, ROWCOL col) {
    CGXRange r;
    return g->GetCoveredCellsRowCol(row, col, r) ? r : CGXRange();
  }
  // The covered-cells list and the pool answer alike for every cell of the first rows and columns.
  static void ExpectListAndPoolAgree(CGXGridCore* g) {
    const CGXRangeList& list = g->GetParam()->GetCoveredCells();
    for (ROWCOL r = 0; r < 10; ++r)
      for (ROWCOL c = 0; c < 10; ++c) {
        CGXRange inList;
        for (POSITION pos = list.GetHeadPosition(); pos;)
          if (const CGXRange* x = list.GetNext(pos); x->IsValid() && x->ContainsCell(r, c)) inList = *x;
        EXPECT_EQ(Covering(g, r, c), inList) << r << "," << c;
      }
  }
  static CGXRange Floated(CGXGridCore* g, ROWCOL row, ROWCOL col) {
    CGXRange r;
    return g->GetFloatedCellsRange(row, col, r) ? r : CGXRange();
  }
  static CGXRange Merged(CGXGridCore* g, ROWCOL row, ROWCOL col, int direction) {
    CGXRange r;
    return g->GetMergedCellsRange(row, col, r, direction) ? r : CGXRange();
  }
  // Floating evaluated for the whole table (immediate mode evaluates every cell asked for).
  static void FloatAll(CGXGridCore* g) { g->CalcFloatCellsInRange(CGXRange(0, 0, g->GetRowCount(), g->GetColCount())); }
};

// ---- Covered cells ----------------------------------------------------------------------------------------

TEST_F(SpannedCellsTest, CoveringUncoveringAndChangesThroughInnerCells) {
  CGXGridWnd* g = Make();
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 2, 4, 3, GX_UPDATENOW, 0));
  EXPECT_EQ(Covering(g, 4, 3), CGXRange(2, 2, 4, 3));
  EXPECT_EQ(Covering(g, 5, 3), CGXRange());
  // An inner cell cannot change the block; its top-left cell can, and covering that one cell uncovers.
  EXPECT_FALSE(g->SetCoveredCellsRowCol(3, 3, 6, 6, GX_UPDATENOW, 0));
  EXPECT_FALSE(g->SetCoveredCellsRowCol(3, 3, 3, 3, GX_UPDATENOW, 0));
  EXPECT_EQ(Covering(g, 3, 3), CGXRange(2, 2, 4, 3));
  // Narrowing (1, 1)-(3, 5) to (1, 1)-(3, 3) frees columns 4 and 5.
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 2, 2, 2, GX_UPDATENOW, 0));
  EXPECT_TRUE(g->GetParam()->GetCoveredCells().IsEmpty());
  ASSERT_TRUE(g->SetCoveredCellsRowCol(1, 1, 3, 5, GX_UPDATENOW, 0));
  ASSERT_TRUE(g->SetCoveredCellsRowCol(1, 1, 3, 3, GX_UPDATENOW, 0));
  for (ROWCOL r = 1; r <= 3; ++r) {
    EXPECT_EQ(Covering(g, r, 3), CGXRange(1, 1, 3, 3));
    EXPECT_EQ(Covering(g, r, 4), CGXRange());
    EXPECT_EQ(Covering(g, r, 5), CGXRange());
  }
  ExpectListAndPoolAgree(g);
}

TEST_F(SpannedCellsTest, ARangeWidensOverTheBlocksItMeetsAndTheBlocksTheseBringIn) {
  // Blocks (2,2)-(3,3), (3,4)-(5,4) and (7,1)-(7,2): a range takes in each block it meets, again until none
  // sticks out, and no other.
  CGXGridWnd* g = Make();
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 2, 3, 3, GX_UPDATENOW, 0));
  ASSERT_TRUE(g->SetCoveredCellsRowCol(3, 4, 5, 4, GX_UPDATENOW, 0));
  ASSERT_TRUE(g->SetCoveredCellsRowCol(7, 1, 7, 2, GX_UPDATENOW, 0));
  const struct {
    const char* name;
    CGXRange given, widened;
  } cases[] = {
      {"an inner cell", CGXRange(3, 3), CGXRange(2, 2, 3, 3)},
      {"a cell beside a block", CGXRange(2, 4), CGXRange(2, 4)},
      {"a range over two blocks", CGXRange(3, 3, 3, 4), CGXRange(2, 2, 5, 4)},
      {"a range reaching into a block", CGXRange(1, 3, 2, 3), CGXRange(1, 2, 3, 3)},
      {"a block bringing in the next", CGXRange(5, 3, 5, 4), CGXRange(2, 2, 5, 4)},
      {"a row meeting none", CGXRange(6, 1, 6, 6), CGXRange(6, 1, 6, 6)},
      {"whole rows", CGXRange().AssignRows(3, 3), CGXRange().AssignRows(3, 3)},
  };
  for (const auto& c : cases) {
    CGXRange r = c.given;
    g->WidenRangeByCoveredCells(r);
    EXPECT_EQ(r, c.widened) << c.name;
  }
}

TEST_F(SpannedCellsTest, ABlockBeyondThePoolsLimitsIsRefusedAndAnInnerOneWidenedUpToThemIsKept) {
  // Past 16,777,215 rows or 65,535 columns the call said TRUE and listed the block, but covered no cell.
  CGXGridWnd* g = Make();
  EXPECT_FALSE(g->SetCoveredCellsRowCol(2, 2, 20'000'000, 3, GX_UPDATENOW, 0));
  EXPECT_FALSE(g->SetCoveredCellsRowCol(2, 2, 3, 70'000, GX_UPDATENOW, 0));
  EXPECT_TRUE(g->GetParam()->GetCoveredCells().IsEmpty());
  EXPECT_EQ(Covering(g, 3, 3), CGXRange());
  // Up to the limits a block is covered, found at its far corner, and a widening past them keeps it.
  const CGXRange block(2, 2, 0xFFFFFF, 0xFFFF);
  ASSERT_TRUE(g->SetCoveredCellsRowCol(block.top, block.left, block.bottom, block.right, GX_UPDATENOW, 0));
  EXPECT_EQ(Covering(g, 0xFFFFFF, 0xFFFF), block);
  EXPECT_FALSE(g->SetCoveredCellsRowCol(2, 2, 0x1000000, 0xFFFF, GX_UPDATENOW, 0));
  EXPECT_EQ(Covering(g, 0xFFFFFF, 0xFFFF), block);
  ExpectListAndPoolAgree(g);
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 2, 2, 2, GX_UPDATENOW, 0));
  EXPECT_TRUE(g->GetParam()->GetCoveredCells().IsEmpty());
  EXPECT_EQ(Covering(g, 5, 5), CGXRange());
}

TEST_F(SpannedCellsTest, ACoverOverlappingAnotherBlockFailsAndChangesNothing) {
  CGXGridWnd* g = Make();
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 5, 4, 6, GX_UPDATENOW, 0));
  ASSERT_TRUE(g->SetCoveredCellsRowCol(1, 1, 3, 3, GX_UPDATENOW, 0));
  // A new block whose top-left cell is free but whose area reaches into (2, 5)-(4, 6).
  EXPECT_FALSE(g->SetCoveredCellsRowCol(1, 4, 2, 5, GX_UPDATENOW, 0));
  // A block widened into its neighbour.
  EXPECT_FALSE(g->SetCoveredCellsRowCol(1, 1, 3, 5, GX_UPDATENOW, 0));
  EXPECT_EQ(g->GetParam()->GetCoveredCells().GetCount(), 2);
  EXPECT_EQ(Covering(g, 1, 4), CGXRange());
  EXPECT_EQ(Covering(g, 3, 3), CGXRange(1, 1, 3, 3));
  EXPECT_EQ(Covering(g, 2, 5), CGXRange(2, 5, 4, 6));
  ExpectListAndPoolAgree(g);
  // A read-only grid refuses to cover.
  g->SetReadOnly(TRUE);
  EXPECT_FALSE(g->SetCoveredCellsRowCol(6, 1, 7, 2, GX_UPDATENOW, 0));
  EXPECT_EQ(Covering(g, 7, 2), CGXRange());
}

TEST_F(SpannedCellsTest, RemovedRowsShortenOrUncoverTheBlocksAndUndoBringsThemBack) {
  CGXGridWnd* g = Make(10, 6);
  ASSERT_TRUE(g->SetCoveredCellsRowCol(3, 1, 6, 2, GX_UPDATENOW, 0));
  ASSERT_TRUE(g->SetCoveredCellsRowCol(5, 4, 8, 5, GX_UPDATENOW, 0));
  ASSERT_TRUE(g->RemoveRows(5, 6));
  EXPECT_EQ(Covering(g, 4, 2), CGXRange(3, 1, 4, 2));
  EXPECT_EQ(Covering(g, 5, 1), CGXRange());
  EXPECT_EQ(Covering(g, 5, 4), CGXRange());  // it started in the removed rows
  EXPECT_EQ(g->GetParam()->GetCoveredCells().GetCount(), 1);
  ExpectListAndPoolAgree(g);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Covering(g, 6, 2), CGXRange(3, 1, 6, 2));
  EXPECT_EQ(Covering(g, 8, 5), CGXRange(5, 4, 8, 5));
  ExpectListAndPoolAgree(g);
}

TEST_F(SpannedCellsTest, CoverUndoAndRedo) {
  CGXGridWnd* g = Make();
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 2, 3, 4, GX_UPDATENOW, 0));
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 2, 5, 4, GX_UPDATENOW, 0));  // widened
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Covering(g, 3, 4), CGXRange(2, 2, 3, 4));
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(Covering(g, 2, 2), CGXRange());
  ASSERT_TRUE(g->Redo());
  ASSERT_TRUE(g->Redo());
  EXPECT_EQ(Covering(g, 5, 4), CGXRange(2, 2, 5, 4));
  ExpectListAndPoolAgree(g);
}

// ---- Floating cells ---------------------------------------------------------------------------------------

TEST_F(SpannedCellsTest, TextFloatsOverEmptyCellsUpToAFilledOneAndShrinksBack) {
  CGXGridWnd* g = Make();
  g->SetFloatCellsMode(2);
  Set(g, 1, 1, kWide);
  Set(g, 1, 4, "x");
  Set(g, 2, 6, kWide);  // the last column: nothing to float into
  FloatAll(g);
  EXPECT_EQ(Floated(g, 1, 2), CGXRange(1, 1, 1, 3));
  EXPECT_EQ(Floated(g, 2, 6), CGXRange());
  Set(g, 1, 1, "short");
  FloatAll(g);
  EXPECT_EQ(Floated(g, 1, 1), CGXRange());
  Set(g, 1, 1, "a text for two cells");
  FloatAll(g);
  EXPECT_EQ(Floated(g, 1, 1), CGXRange(1, 1, 1, 2));
}

// Cells composed for the view; past the budget a walk is taken as one over lines that are not in view and
// ended by an exception, so that a fault fails the test at once instead of hanging it.
struct EndlessWalk {};
class ComposeCountingGrid : public CGXGridWnd {
 public:
  void ComposeCellStyle(ROWCOL row, ROWCOL col, CGXStyle& style, BOOL withStandard) override {
    if (++composed > 200'000) throw EndlessWalk{};
    CGXGridWnd::ComposeCellStyle(row, col, style, withStandard);
  }
  long long composed = 0;
};

TEST_F(SpannedCellsTest, FloatingCellsAreEvaluatedInTheFrozenColumnsShownOnly) {
  // A stored layout may freeze more columns than the window shows: the view's spans are found in those shown.
  auto* g = MakeGrid<ComposeCountingGrid>(20, GX_MAXROWCOL - 10);
  g->SetFloatCellsMode(2);
  Set(g, 1, 1, kWide);
  g->GetParam()->m_nFrozenCols = 2'500'000;
  g->composed = 0;
  try {
    g->RedrawAll(GX_UPDATENOW);
    Pump();
  } catch (const EndlessWalk&) {
    ADD_FAILURE() << "cells composed past the window";
  }
  EXPECT_EQ(Floated(g, 1, 2).left, 1u) << "the text in view floats";
  EXPECT_EQ(g->GetParam()->m_nFrozenCols, 2'500'000u);
}

TEST_F(SpannedCellsTest, NeighboursThatRefuseStopTheFloat) {
  struct Case {
    const char* name;
    std::function<void(CGXGridWnd*)> refuse;
  };
  const Case cases[] = {
      {"filled", [](CGXGridWnd* g) { Set(g, 1, 2, "x"); }},
      {"no flood", [](CGXGridWnd* g) {
         CGXStyle s;
         s.SetFloodCell(FALSE);
         Apply(g, CGXRange(1, 2), s);
       }},
      {"covered", [](CGXGridWnd* g) { g->SetCoveredCellsRowCol(1, 2, 2, 2, 0, 0); }},
      {"merged", [](CGXGridWnd* g) {
         g->SetMergeCellsMode(2);
         CGXStyle s;
         s.SetMergeCell(GX_MERGE_VERTICAL);
         Apply(g, CGXRange(1, 2, 2, 2), s);
         g->CalcMergedCellsInRange(CGXRange(1, 2, 2, 2));
       }},
      {"first scrolled column", [](CGXGridWnd* g) { g->SetFrozenCols(1); }},
      {"rotated", [](CGXGridWnd* g) {
         CGXStyle s;
         s.SetFont(CGXFont().SetOrientation(900));
         Apply(g, CGXRange(1, 1), s);
       }},
  };
  for (const Case& c : cases) {
    CGXGridWnd* g = Make();
    g->SetFloatCellsMode(2);
    Set(g, 1, 1, kWide);
    Set(g, 0, 2, kWide);  // a header
    c.refuse(g);
    FloatAll(g);
    EXPECT_EQ(Floated(g, 1, 1), CGXRange()) << c.name;
    EXPECT_EQ(Floated(g, 0, 2), CGXRange()) << c.name;
  }
}

TEST_F(SpannedCellsTest, SwitchingTheFloatingModeRebuildsThePools) {
  CGXGridWnd* g = Make();
  Set(g, 3, 1, kWide);
  g->SetFloatCellsMode(1);
  // Delayed: drawing evaluates what is pending (the whole table after the switch).
  Pump();
  const CGXRange floated = Floated(g, 3, 1);
  EXPECT_EQ(floated.top, 3u);
  EXPECT_GE(floated.right, 4u);
  g->SetFloatCellsMode(2, FALSE);
  EXPECT_EQ(Floated(g, 3, 1), CGXRange());  // a new, empty pool
  FloatAll(g);
  EXPECT_EQ(Floated(g, 3, 1), floated);
  g->SetFloatCellsMode(1, FALSE);
  EXPECT_EQ(Floated(g, 3, 1), CGXRange());
  g->RedrawAll(GX_INVALIDATE);
  Pump();
  EXPECT_EQ(Floated(g, 3, 1), floated);
  // A changed cell is evaluated again at the next drawing.
  Set(g, 3, 3, "y");
  Pump();
  EXPECT_EQ(Floated(g, 3, 1), CGXRange(3, 1, 3, 2));
  g->SetFloatCellsMode(0);
  EXPECT_EQ(g->GetParam()->m_pFloatSpans, nullptr);
  EXPECT_EQ(Floated(g, 3, 1), CGXRange());
}

// ---- Merged cells -----------------------------------------------------------------------------------------

TEST_F(SpannedCellsTest, ThreeEqualCellsBecomeOneSpanWhicheverIsEvaluatedAndSplitWhenTheMiddleChanges) {
  for (ROWCOL evaluated = 1; evaluated <= 3; ++evaluated) {
    CGXGridWnd* g = Make();
    g->SetMergeCellsMode(2);
    CGXStyle s;
    s.SetMergeCell(GX_MERGE_HORIZONTAL).SetValue("same");
    Apply(g, CGXRange(2, 1, 2, 3), s);
    g->CalcMergedCellsInRange(CGXRange(2, evaluated));
    EXPECT_EQ(Merged(g, 2, 2, 0), CGXRange(2, 1, 2, 3)) << evaluated;
    Set(g, 2, 2, "other");
    g->CalcMergedCellsInRange(CGXRange(2, 2));
    for (ROWCOL c = 1; c <= 3; ++c) EXPECT_EQ(Merged(g, 2, c, -1), CGXRange()) << evaluated << " " << c;
  }
}

TEST_F(SpannedCellsTest, ValuesOnlyOrWholeStylesCoveredCellsAndTheModeBits) {
  CGXGridWnd* g = Make();
  auto test = [&](WORD mode, UINT merge, auto&& prepare) {
    g = Make();
    g->SetMergeCellsMode(mode);
    CGXStyle s;
    s.SetMergeCell(merge).SetValue("v");
    Apply(g, CGXRange(1, 1, 3, 2), s);
    prepare(g);
    g->CalcMergedCellsInRange(CGXRange(0, 0, 4, 3));
  };
  auto colours = [](CGXGridWnd* g) {
    CGXStyle red, blue;
    red.SetInteriorColor(RGB(255, 0, 0));
    blue.SetInteriorColor(RGB(0, 0, 255));
    Apply(g, CGXRange(1, 1), red);
    Apply(g, CGXRange(1, 2), blue);
  };
  // Different colours: whole styles keep them apart, values only merge them.
  test(2, GX_MERGE_HORIZONTAL, colours);
  EXPECT_EQ(Merged(g, 1, 1, 0), CGXRange());
  EXPECT_EQ(Merged(g, 2, 1, 0), CGXRange(2, 1, 2, 2));
  test(2, GX_MERGE_HORIZONTAL | GX_MERGE_COMPVALUE, colours);
  EXPECT_EQ(Merged(g, 1, 1, 0), CGXRange(1, 1, 1, 2));
  // A covered cell never merges.
  test(2, GX_MERGE_HORIZONTAL, [](CGXGridWnd* g) { g->SetCoveredCellsRowCol(3, 2, 4, 2, 0, 0); });
  EXPECT_EQ(Merged(g, 3, 1, 0), CGXRange());
  EXPECT_EQ(Merged(g, 1, 1, 0), CGXRange(1, 1, 1, 2));
  // 0x08: no horizontal merging, vertical merging goes on.
  test(2 | GX_MERGE_NOHORIZONTAL, GX_MERGE_HORIZONTAL | GX_MERGE_VERTICAL, [](CGXGridWnd*) {});
  EXPECT_EQ(Merged(g, 1, 1, 0), CGXRange());
  EXPECT_EQ(Merged(g, 2, 2, 1), CGXRange(1, 2, 3, 2));
  // 0x10: a hidden row between equal cells does not break a vertical merge; without it, it does.
  for (WORD hidden : {WORD{0}, GX_MERGE_HIDDEN}) {
    test(2 | hidden, GX_MERGE_VERTICAL, [](CGXGridWnd* g) {
      enginetest::UseTestHideCells(g)->rows.insert(2);
      Set(g, 2, 1, "w");
    });
    EXPECT_EQ(Merged(g, 1, 1, 1), hidden ? CGXRange(1, 1, 3, 1) : CGXRange()) << hidden;
  }
}

// ---- Drawing ----------------------------------------------------------------------------------------------

// A drawing matrix over rows and columns 1..4 of the grid, as the engine fills one.
CGXGridDrawContext Matrix(CGXGridCore* g) {
  CGXGridDrawContext ctx;
  ctx.n = ctx.m = 4;
  ctx.firstRow = ctx.firstCol = 1;
  for (ROWCOL k = 1; k <= 5; ++k) {
    ctx.rows.push_back(k);
    ctx.cols.push_back(k);
  }
  ctx.styles.assign(16, nullptr);
  ctx.flags.assign(16, 0);
  (void)g;
  return ctx;
}

TEST_F(SpannedCellsTest, BlocksAreMarkedInTheDrawingMatrix) {
  CGXGridWnd* g = Make();
  ASSERT_TRUE(g->SetCoveredCellsRowCol(1, 1, 2, 2, 0, 0));
  g->SetMergeCellsMode(2);
  CGXStyle s;
  s.SetMergeCell(GX_MERGE_HORIZONTAL).SetValue("m");
  Apply(g, CGXRange(4, 2, 4, 4), s);
  g->CalcMergedCellsInRange(CGXRange(4, 2, 4, 4));
  CGXGridDrawContext ctx = Matrix(g);
  CGXSpannedCellsDrawing drawing;
  constexpr WORD kMask = GX_CF_SPANNED | GX_CF_SPANNED_INNER | GX_CF_SPANNED_COVERED;
  EXPECT_TRUE(drawing.IsSpannedCell(g, ctx, 0, 0));
  EXPECT_EQ(ctx.Flags(0, 0) & kMask, 0xC0);
  EXPECT_EQ(ctx.Flags(1, 1) & kMask, 0x1C0);
  EXPECT_EQ(ctx.Flags(0, 1) & kMask, 0x1C0);
  EXPECT_EQ(ctx.StylePtr(1, 1), ctx.StylePtr(0, 0));
  EXPECT_EQ(ctx.Flags(0, 2), 0);
  EXPECT_TRUE(drawing.IsSpannedCell(g, ctx, 3, 1));
  EXPECT_EQ(ctx.Flags(3, 1) & kMask, 0x40);
  EXPECT_EQ(ctx.Flags(3, 3) & kMask, 0x140);
  EXPECT_FALSE(drawing.IsSpannedCell(g, ctx, 2, 2));
}

class SpannedCellsScreenTest : public SpannedCellsTest {
 protected:
  static void ExpectReference(HWND hwnd, const char* name) {
    plat::Desktop::PaintAll();
    auto image = plat::Desktop::Capture(hwnd);
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, std::string("grid/features/tests/reference/") + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
};

TEST_F(SpannedCellsScreenTest, FloatingMergedAndCoveredCellsOnScreen) {
  CGXGridWnd* g = Make(12, 7);
  g->SetFloatCellsMode(1);
  g->SetMergeCellsMode(1);
  Set(g, 1, 1, kWide);
  Set(g, 1, 5, "stop");
  CGXStyle merged;
  merged.SetMergeCell(GX_MERGE_HORIZONTAL | GX_MERGE_VERTICAL).SetValue("merged").SetHorizontalAlignment(1);
  Apply(g, CGXRange(3, 1, 3, 3), merged);
  Apply(g, CGXRange(4, 6, 7, 6), merged);
  CGXStyle covered;
  covered.SetValue("covered").SetInteriorColor(RGB(255, 255, 192)).SetVerticalAlignment(GX_DT_VCENTER);
  Apply(g, CGXRange(5, 2), covered);
  ASSERT_TRUE(g->SetCoveredCellsRowCol(5, 2, 7, 4, GX_UPDATENOW, 0));
  Pump();
  ExpectReference(g->GetSafeHwnd(), "spanned-cells");
}

TEST_F(SpannedCellsScreenTest, ABlockAcrossFrozenAndScrolledColumnsIsDrawnOncePerPanePart) {
  CGXGridWnd* g = Make(8, 12);
  CGXStyle covered;
  covered.SetValue("across the frozen seam").SetInteriorColor(RGB(192, 224, 255));
  Apply(g, CGXRange(2, 1), covered);
  ASSERT_TRUE(g->SetCoveredCellsRowCol(2, 1, 3, 5, GX_UPDATENOW, 0));
  g->SetFrozenCols(2);
  g->SetLeftCol(4);  // columns 3 scrolled out: the block shows columns 1-2 and 4-5
  Pump();
  ExpectReference(g->GetSafeHwnd(), "spanned-frozen");
}

}  // namespace
