// Regions as rectangle lists: canonical form, the combine modes, and the HRGN functions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/gdiapi.h"

using plat::Region;

namespace {

int pixelCount(const Region& r) {
  int n = 0;
  for (const RECT& rc : r.rects()) n += (rc.right - rc.left) * (rc.bottom - rc.top);
  return n;
}

// Brute-force membership over a window, to compare the band algebra with the definition.
bool sameAsPredicate(const Region& r, const std::function<bool(int, int)>& inside) {
  for (int y = -2; y < 30; ++y)
    for (int x = -2; x < 30; ++x)
      if (r.contains(x, y) != inside(x, y)) return false;
  return true;
}

}  // namespace

TEST(Region, CombineModesMatchTheirDefinitionPixelByPixel) {
  const RECT ra{2, 2, 12, 10}, rb{6, 5, 20, 15};
  const Region a(ra), b(rb);
  auto in = [](const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
  EXPECT_TRUE(sameAsPredicate(Region::combine(a, b, Region::Op::And), [&](int x, int y) { return in(ra, x, y) && in(rb, x, y); }));
  EXPECT_TRUE(sameAsPredicate(Region::combine(a, b, Region::Op::Or), [&](int x, int y) { return in(ra, x, y) || in(rb, x, y); }));
  EXPECT_TRUE(sameAsPredicate(Region::combine(a, b, Region::Op::Xor), [&](int x, int y) { return in(ra, x, y) != in(rb, x, y); }));
  EXPECT_TRUE(sameAsPredicate(Region::combine(a, b, Region::Op::Diff), [&](int x, int y) { return in(ra, x, y) && !in(rb, x, y); }));
}

// Complex operands (several bands, several spans a band, gaps between bands, touching and overlapping edges),
// an empty one and single rectangles, in every mode: the pixels follow the definition and the result is in
// canonical form (rebuilding it from its own rectangles gives the same list).
TEST(Region, CombiningComplexRegionsMatchesTheDefinitionAndStaysCanonical) {
  unsigned seed = 12345;
  auto next = [&seed](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
  };
  auto randomRegion = [&] {
    std::vector<RECT> rects;
    const int count = next(7);
    for (int i = 0; i < count; ++i) {
      const int l = next(24), t = next(24);
      rects.push_back(RECT{l, t, l + 1 + next(8), t + 1 + next(8)});
    }
    return Region::fromRects(rects);
  };
  const Region::Op ops[] = {Region::Op::And, Region::Op::Or, Region::Op::Xor, Region::Op::Diff};
  for (int round = 0; round < 400; ++round) {
    const Region a = randomRegion(), b = round % 5 == 0 ? Region(RECT{next(20), next(20), 28, 28}) : randomRegion();
    for (Region::Op op : ops) {
      const Region c = Region::combine(a, b, op);
      SCOPED_TRACE("round " + std::to_string(round) + " op " + std::to_string(static_cast<int>(op)));
      ASSERT_TRUE(sameAsPredicate(c, [&](int x, int y) {
        const bool ia = a.contains(x, y), ib = b.contains(x, y);
        switch (op) {
          case Region::Op::And: return ia && ib;
          case Region::Op::Or: return ia || ib;
          case Region::Op::Xor: return ia != ib;
          default: return ia && !ib;
        }
      }));
      ASSERT_EQ(Region::fromRects(c.rects()), c);
    }
  }
}

TEST(Region, CanonicalFormMakesEqualPixelSetsEqual) {
  // The same L shape built two ways.
  const RECT pieces1[] = {{0, 0, 10, 5}, {0, 5, 4, 10}};
  const RECT pieces2[] = {{0, 0, 4, 10}, {4, 0, 10, 5}, {2, 2, 6, 4}};
  const Region r1 = Region::fromRects(pieces1), r2 = Region::fromRects(pieces2);
  EXPECT_EQ(r1, r2);
  EXPECT_EQ(r1.kind(), COMPLEXREGION);
  // Two halves of a rectangle merge back into one rectangle.
  const RECT halves[] = {{0, 0, 5, 8}, {5, 0, 10, 8}};
  EXPECT_EQ(Region::fromRects(halves).rects().size(), 1u);
  EXPECT_EQ(Region::fromRects(halves).kind(), SIMPLEREGION);
  const RECT stacked[] = {{0, 0, 10, 4}, {0, 4, 10, 8}};
  EXPECT_EQ(Region::fromRects(stacked), Region(RECT{0, 0, 10, 8}));
}

TEST(Region, EmptyAndInvertedRectanglesHoldNoPixel) {
  EXPECT_TRUE(Region(RECT{5, 5, 5, 10}).empty());
  EXPECT_TRUE(Region(RECT{5, 5, 3, 10}).empty());
  EXPECT_EQ(Region().kind(), NULLREGION);
  const Region r(RECT{0, 0, 10, 10});
  EXPECT_TRUE(Region::combine(r, r, Region::Op::Xor).empty());
  EXPECT_TRUE(r.subtracted(r).empty());
}

TEST(Region, BoundsAndHalfOpenMembership) {
  const Region r(RECT{3, 4, 7, 9});
  EXPECT_TRUE(r.contains(3, 4));
  EXPECT_TRUE(r.contains(6, 8));
  EXPECT_FALSE(r.contains(7, 8));
  EXPECT_FALSE(r.contains(6, 9));
  const RECT b = r.united(Region(RECT{20, 0, 21, 1})).bounds();
  EXPECT_EQ(b.left, 3);
  EXPECT_EQ(b.top, 0);
  EXPECT_EQ(b.right, 21);
  EXPECT_EQ(b.bottom, 9);
}

TEST(Region, PolygonFillsPixelCentresInsideTheOutline) {
  // A 10x10 square polygon covers exactly the half-open square.
  const POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(Region::fromPolygon(square, ALTERNATE), Region(RECT{0, 0, 10, 10}));
  // A trapezoid tab: wider at the bottom, symmetric, every row a single span.
  const POINT tab[] = {{4, 0}, {16, 0}, {20, 8}, {0, 8}};
  const Region t = Region::fromPolygon(tab, ALTERNATE);
  EXPECT_EQ(t.bounds().top, 0);
  EXPECT_EQ(t.bounds().bottom, 8);
  int prev = 0;
  for (int y = 0; y < 8; ++y) {
    int w = 0;
    for (int x = 0; x < 20; ++x) w += t.contains(x, y);
    EXPECT_GE(w, prev);
    prev = w;
  }
}

TEST(Region, WindingAndAlternateDifferOnAnOverlappingStar) {
  // Two overlapping squares drawn as one outline in the same direction: the overlap is a hole only for ALTERNATE.
  const POINT twice[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {4, 4}, {14, 4}, {14, 14}, {4, 14}, {4, 4}};
  const Region alt = Region::fromPolygon(twice, ALTERNATE);
  const Region wind = Region::fromPolygon(twice, WINDING);
  EXPECT_FALSE(alt.contains(6, 6));
  EXPECT_TRUE(wind.contains(6, 6));
  EXPECT_EQ(pixelCount(wind), 100 + 100 - 36);
}

TEST(RegionHandles, CombineRgnAndItsResultKinds) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
  RECT box{};
  EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.bottom, 10);
  EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(d, 14, 14));
  EXPECT_FALSE(PtInRegion(d, 14, 2));
  EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(CombineRgn(d, b, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(d, a, b, 9), ERROR);
  EXPECT_EQ(OffsetRgn(d, -5, -5), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(d, a));
  // CreateRectRgn puts its corners in order.
  HRGN flipped = CreateRectRgn(10, 10, 0, 0);
  EXPECT_TRUE(EqualRgn(flipped, a));
  for (HRGN r : {a, b, d, flipped}) EXPECT_TRUE(DeleteObject(r));
}

TEST(RegionHandles, StaleHandlesFailWithTheClassicValues) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN d = CreateRectRgn(0, 0, 1, 1);
  ASSERT_TRUE(DeleteObject(a));
  EXPECT_EQ(GetObjectType(a), 0u);
  EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), ERROR);
  RECT box{};
  EXPECT_EQ(GetRgnBox(a, &box), ERROR);
  EXPECT_FALSE(PtInRegion(a, 1, 1));
  EXPECT_EQ(plat::RegionOfHandle(a), nullptr);
  // A new object may reuse the slot; the old handle still does not reach it.
  HRGN again = CreateRectRgn(0, 0, 3, 3);
  EXPECT_EQ(plat::RegionOfHandle(a), nullptr);
  EXPECT_NE(plat::RegionOfHandle(again), nullptr);
  DeleteObject(again);
  DeleteObject(d);
}

TEST(RegionHandles, WindowSystemRoundTripThroughRegionValues) {
  const RECT parts[] = {{0, 0, 50, 10}, {0, 10, 10, 40}};
  HRGN h = plat::CreateRgnFromRegion(Region::fromRects(parts));
  ASSERT_NE(plat::RegionOfHandle(h), nullptr);
  EXPECT_EQ(plat::RegionOfHandle(h)->kind(), COMPLEXREGION);
  EXPECT_TRUE(plat::SetRgnRegion(h, Region(RECT{1, 1, 2, 2})));
  EXPECT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_REGION));
  EXPECT_TRUE(PtInRegion(h, 1, 1));
  DeleteObject(h);
}
