#include "platform/base/geometry.h"

#include <gtest/gtest.h>

TEST(RectFunctions, HalfOpenContainment) {
  const CRect r(10, 20, 30, 40);
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_TRUE(r.PtInRect(CPoint(29, 39)));
  EXPECT_FALSE(r.PtInRect(CPoint(30, 39)));
  EXPECT_FALSE(r.PtInRect(CPoint(29, 40)));
  EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
  EXPECT_TRUE(CRect(5, 9, 6, 5).IsRectEmpty());
}

TEST(RectFunctions, IntersectionOfDisjointRectsIsAllZero) {
  CRect out(1, 2, 3, 4);
  const CRect a(0, 0, 10, 10), b(10, 0, 20, 10);
  EXPECT_FALSE(out.IntersectRect(&a, &b));
  EXPECT_TRUE(out.IsRectNull());
  EXPECT_EQ(CRect(0, 0, 10, 10) & CRect(5, -5, 15, 5), CRect(5, 0, 10, 5));
}

TEST(RectFunctions, UnionIgnoresEmptyRects) {
  EXPECT_EQ(CRect(0, 0, 0, 0) | CRect(5, 5, 8, 8), CRect(5, 5, 8, 8));
  EXPECT_EQ(CRect(0, 0, 2, 2) | CRect(5, 5, 8, 8), CRect(0, 0, 8, 8));
}

TEST(RectFunctions, SubtractLeavesRectangleOnlyForWholeSideCuts) {
  const CRect a(0, 0, 10, 10);
  CRect out;
  const CRect top(0, 0, 10, 3);
  EXPECT_TRUE(out.SubtractRect(&a, &top));
  EXPECT_EQ(out, CRect(0, 3, 10, 10));
  const CRect middle(2, 2, 5, 5);
  EXPECT_TRUE(out.SubtractRect(&a, &middle));
  EXPECT_EQ(out, a);
  const CRect all(-1, -1, 11, 11);
  EXPECT_FALSE(out.SubtractRect(&a, &all));
}

TEST(PointPacking, SignedSixteenBitHalves) {
  const CPoint p(MAKELPARAM(static_cast<WORD>(-5), 300));
  EXPECT_EQ(p, CPoint(-5, 300));
  EXPECT_EQ(MAKELONG(0xFFFF, 0x7FFF), 0x7FFFFFFF);
  EXPECT_EQ(LOWORD(0x12345678u), 0x5678);
  EXPECT_EQ(HIWORD(0x12345678u), 0x1234);
}
