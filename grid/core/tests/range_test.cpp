#include <gtest/gtest.h>

#include "grid/core/CGXRange.h"

namespace {

CGXRange Rows(ROWCOL a, ROWCOL b) { return CGXRange().AssignRows(a, b); }
CGXRange Cols(ROWCOL a, ROWCOL b) { return CGXRange().AssignCols(a, b); }
CGXRange Table() { return CGXRange().AssignTable(); }

TEST(CGXRange, ConstructionNormalisesBounds) {
  CGXRange r(5, 7, 2, 3);
  EXPECT_EQ(r.top, 2u);
  EXPECT_EQ(r.left, 3u);
  EXPECT_EQ(r.bottom, 5u);
  EXPECT_EQ(r.right, 7u);
  EXPECT_EQ(r.kind, CGXRange::cells);
  EXPECT_TRUE(r.IsValid());
  EXPECT_FALSE(CGXRange().IsValid());
  EXPECT_FALSE(CGXRange(static_cast<const CGXRange*>(nullptr)).IsValid());

  CGXRange rows = Rows(9, 4);
  EXPECT_EQ(rows.top, 4u);
  EXPECT_EQ(rows.bottom, 9u);
  EXPECT_EQ(rows.left, 0u);
  EXPECT_EQ(rows.right, 0u);
}

TEST(CGXRange, ContainsCellByKind) {
  EXPECT_TRUE(Rows(2, 4).ContainsCell(3, 1000));
  EXPECT_FALSE(Rows(2, 4).ContainsCell(5, 0));
  EXPECT_TRUE(Cols(2, 4).ContainsCell(1000, 2));
  EXPECT_TRUE(Table().ContainsCell(0xFFFFFFF0u, 7));
  EXPECT_FALSE(CGXRange().ContainsCell(0, 0));  // not valid, though its bounds hold 0,0
  EXPECT_TRUE(CGXRange(1, 1, 3, 3).ContainsCell(3, 1));
  EXPECT_FALSE(CGXRange(1, 1, 3, 3).ContainsCell(3, 4));
}

TEST(CGXRange, ExpandToCellsTakesTheBoundsTheKindIgnored) {
  CGXRange r = Rows(2, 3);
  r.ExpandToCells(0, 1, 100, 9);
  EXPECT_EQ(r, CGXRange(2, 1, 3, 9));
  CGXRange c = Cols(4, 5);
  c.ExpandToCells(1, 0, 7, 100);
  EXPECT_EQ(c, CGXRange(1, 4, 7, 5));
  CGXRange t = Table();
  t.ExpandToCells(1, 2, 3, 4);
  EXPECT_EQ(t, CGXRange(1, 2, 3, 4));
}

TEST(CGXRange, Intersections) {
  CGXRange r;
  EXPECT_TRUE(r.SetIntersection(Rows(2, 4), Cols(3, 5)));
  EXPECT_EQ(r, CGXRange(2, 3, 4, 5));
  EXPECT_TRUE(r.SetIntersection(Cols(3, 5), Rows(2, 4)));
  EXPECT_EQ(r, CGXRange(2, 3, 4, 5));

  EXPECT_FALSE(r.SetIntersection(CGXRange(1, 1, 3, 3), CGXRange(5, 5, 6, 6)));
  EXPECT_EQ(r.left, 5u);
  EXPECT_EQ(r.right, 3u);

  // A table yields the other operand with its kind.
  EXPECT_TRUE(r.SetIntersection(Table(), Rows(7, 8)));
  EXPECT_EQ(r, Rows(7, 8));

  // Columns with cells keep the cell rows and kind.
  EXPECT_TRUE(r.SetIntersection(Cols(2, 6), CGXRange(1, 5, 9, 9)));
  EXPECT_EQ(r, CGXRange(1, 5, 9, 6));
  EXPECT_FALSE(r.SetIntersection(Cols(1, 2), Cols(3, 4)));

  // Rows with rows.
  EXPECT_TRUE(r.SetIntersection(Rows(1, 5), Rows(3, 9)));
  EXPECT_EQ(r, Rows(3, 5));

  // The result may be an operand.
  CGXRange a(1, 1, 10, 10);
  EXPECT_TRUE(a.SetIntersection(a, CGXRange(5, 5, 20, 20)));
  EXPECT_EQ(a, CGXRange(5, 5, 10, 10));
}

TEST(CGXRange, Unions) {
  CGXRange r;
  r.SetUnion(Rows(1, 2), Cols(3, 4));
  EXPECT_TRUE(r.IsTable());
  r.SetUnion(Cols(5, 6), CGXRange(1, 2, 3, 3));
  EXPECT_EQ(r, Cols(2, 6));
  r.SetUnion(CGXRange(1, 1, 2, 2), CGXRange(5, 0, 6, 1));
  EXPECT_EQ(r, CGXRange(1, 0, 6, 2));
  r.SetUnion(Rows(3, 4), CGXRange(1, 1, 1, 1));
  EXPECT_EQ(r, Rows(1, 4));
}

}  // namespace

#include "grid/core/gxrangeadjust.h"

namespace {

using gx::Axis;
using gx::Interval;

std::vector<Interval> Intervals(std::initializer_list<CGXRange> rs, Axis axis, DWORD count, bool wholeOnly) {
  std::vector<const CGXRange*> ptrs;
  for (const CGXRange& r : rs) ptrs.push_back(&r);
  return gx::CollectIntervals(ptrs, axis, count, wholeOnly);
}

TEST(RangeIntervals, NeighboursJoinIntoOneInterval) {
  auto iv = Intervals({Cols(5, 6), Cols(1, 2), Cols(3, 4)}, Axis::cols, 10, false);
  EXPECT_EQ(iv, (std::vector<Interval>{{1, 6}}));
  // Column 4 is not covered: the gap stays.
  iv = Intervals({Cols(5, 6), Cols(1, 2), Cols(3, 3)}, Axis::cols, 10, false);
  EXPECT_EQ(iv, (std::vector<Interval>{{1, 3}, {5, 6}}));
  // Overlaps in any order end in one interval.
  iv = Intervals({Cols(4, 9), Cols(2, 5), Cols(1, 10)}, Axis::cols, 10, false);
  EXPECT_EQ(iv, (std::vector<Interval>{{1, 10}}));
}

TEST(RangeIntervals, SortedDisjointAndFiltered) {
  CGXRange invalid = Cols(20, 30);
  invalid.valid = FALSE;
  auto iv = Intervals({Cols(8, 9), CGXRange(1, 2, 5, 3), invalid, Cols(1, 1)}, Axis::cols, 50, false);
  EXPECT_EQ(iv, (std::vector<Interval>{{1, 3}, {8, 9}}));
  // Whole columns only: the cell block no longer counts.
  iv = Intervals({Cols(8, 9), CGXRange(1, 2, 5, 3)}, Axis::cols, 50, true);
  EXPECT_EQ(iv, (std::vector<Interval>{{8, 9}}));
  // A rows range spans every column up to the count; so does the table.
  iv = Intervals({Rows(2, 3)}, Axis::cols, 12, false);
  EXPECT_EQ(iv, (std::vector<Interval>{{0, 12}}));
  iv = Intervals({Rows(2, 3), Rows(7, 7)}, Axis::rows, 12, false);
  EXPECT_EQ(iv, (std::vector<Interval>{{2, 3}, {7, 7}}));
  EXPECT_TRUE(Intervals({}, Axis::rows, 12, false).empty());
}

TEST(RangeIntervals, TableStartsAtZero) {
  // A table range's bounds are never read: its interval is 0..count whatever its words hold.
  CGXRange t;
  t.top = t.left = 77;
  t.bottom = t.right = 99;
  t.AssignTable();
  EXPECT_EQ(Intervals({t}, Axis::cols, 5, true), (std::vector<Interval>{{0, 5}}));
  EXPECT_EQ(Intervals({t}, Axis::rows, 5, false), (std::vector<Interval>{{0, 5}}));
}

TEST(RangeAdjust, InsertRemoveMove) {
  CGXRange r = Rows(3, 5);
  gx::AdjustForInserted(r, Axis::rows, 1, 2);
  EXPECT_EQ(r, Rows(5, 7));

  r = Rows(3, 5);
  gx::AdjustForRemoved(r, Axis::rows, 3, 6, 100);
  EXPECT_FALSE(r.IsValid());

  r = Rows(3, 8);
  gx::AdjustForRemoved(r, Axis::rows, 4, 5, 100);
  EXPECT_EQ(r, Rows(3, 6));
  r = Rows(4, 8);
  gx::AdjustForRemoved(r, Axis::rows, 2, 5, 100);
  EXPECT_EQ(r, Rows(2, 4));
  r = Rows(2, 3);
  gx::AdjustForRemoved(r, Axis::rows, 5, 9, 100);
  EXPECT_EQ(r, Rows(2, 3));
  // Ending exactly on the first removed row, or starting exactly on the last one: that row goes.
  r = Rows(2, 5);
  gx::AdjustForRemoved(r, Axis::rows, 5, 9, 100);
  EXPECT_EQ(r, Rows(2, 4));
  r = Rows(9, 12);
  gx::AdjustForRemoved(r, Axis::rows, 5, 9, 100);
  EXPECT_EQ(r, Rows(5, 7));
  r = Rows(2, 30);
  gx::AdjustForRemoved(r, Axis::rows, 5, 9, 10);
  EXPECT_EQ(r.bottom, 10u);  // clamped to the new count

  // Columns 2..3 move to start at 6: a range starting at 2 follows, one at 5 closes up.
  CGXRange c = Cols(2, 3);
  gx::AdjustForMoved(c, Axis::cols, 2, 3, 6, 100);
  EXPECT_EQ(c, Cols(6, 7));
  c = Cols(5, 5);
  gx::AdjustForMoved(c, Axis::cols, 2, 3, 6, 100);
  EXPECT_EQ(c, Cols(3, 3));
  c = Cols(9, 9);
  gx::AdjustForMoved(c, Axis::cols, 2, 3, 6, 100);
  EXPECT_EQ(c, Cols(9, 9));
  // Moving up: 6..7 to 2; the range at 3 moves down by the block size.
  c = Cols(6, 7);
  gx::AdjustForMoved(c, Axis::cols, 6, 7, 2, 100);
  EXPECT_EQ(c, Cols(2, 3));
  c = Cols(3, 4);
  gx::AdjustForMoved(c, Axis::cols, 6, 7, 2, 100);
  EXPECT_EQ(c, Cols(5, 6));
}

}  // namespace
