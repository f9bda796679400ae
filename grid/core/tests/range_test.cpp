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
