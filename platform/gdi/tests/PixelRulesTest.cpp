// The classic pixel rules, pinned on small surfaces: half-open fills, lines that stop before their end point,
// figures inside their box, exact XOR inversion, dash patterns and wide pens.
#include <gtest/gtest.h>

#include "platform/gdi/Region.h"
#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

namespace {

HBRUSH black() { return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)); }

}  // namespace

TEST(Fills, RectanglesAreHalfOpenAndEmptyOnesPaintNothing) {
  Canvas c(12, 12);
  RECT r{2, 3, 6, 5};
  FillRect(c.dc, &r, black());
  EXPECT_EQ(c.row(3, 0, 8), "..####..");
  EXPECT_EQ(c.row(4, 0, 8), "..####..");
  EXPECT_EQ(c.row(5, 0, 8), "........");
  EXPECT_EQ(c.count(kBlack), 8);
  for (RECT e : {RECT{5, 5, 5, 9}, RECT{8, 8, 7, 10}, RECT{1, 9, 4, 8}}) FillRect(c.dc, &e, black());
  EXPECT_EQ(c.count(kBlack), 8);
  // PatBlt takes a width and height; negative ones are measured leftwards/upwards from the point.
  SelectObject(c.dc, black());
  PatBlt(c.dc, 10, 10, -2, -1, PATCOPY);
  EXPECT_EQ(c.row(9, 6, 12), "..##..");
  EXPECT_EQ(c.count(kBlack), 10);
}

TEST(Fills, OpaqueExtTextOutWithoutTextFillsExactlyTheRectangle) {
  Canvas c(10, 10);
  SetBkColor(c.dc, kRed);
  RECT r{1, 1, 4, 3};
  ExtTextOut(c.dc, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
  EXPECT_EQ(c.count(kRed), 6);
  EXPECT_EQ(c.at(3, 2), kRed);
  EXPECT_EQ(c.at(4, 2), kWhite);
}

TEST(Lines, OnePixelLinesStopBeforeTheEndPoint) {
  Canvas c(12, 12);
  MoveToEx(c.dc, 1, 1, nullptr);
  LineTo(c.dc, 6, 1);
  EXPECT_EQ(c.row(1, 0, 8), ".#####..");
  MoveToEx(c.dc, 6, 3, nullptr);  // right to left: 6 down to 2
  LineTo(c.dc, 1, 3);
  EXPECT_EQ(c.row(3, 0, 8), "..#####.");
  MoveToEx(c.dc, 9, 2, nullptr);
  LineTo(c.dc, 9, 6);
  EXPECT_EQ(c.column(9, 0, 8), "..####..");
  POINT cur{};
  GetCurrentPositionEx(c.dc, &cur);
  EXPECT_EQ(cur.x, 9);
  EXPECT_EQ(cur.y, 6);
  // A diagonal paints one pixel per step and never its end.
  Canvas d(8, 8);
  MoveToEx(d.dc, 0, 0, nullptr);
  LineTo(d.dc, 5, 5);
  EXPECT_EQ(d.count(kBlack), 5);
  EXPECT_EQ(d.at(4, 4), kBlack);
  EXPECT_EQ(d.at(5, 5), kWhite);
  // A polyline draws each shared vertex once and leaves out its last point.
  Canvas p(8, 8);
  SetROP2(p.dc, R2_NOT);
  const POINT pts[] = {{1, 1}, {5, 1}, {5, 5}};
  Polyline(p.dc, pts, 3);
  EXPECT_EQ(p.count(kBlack), 8);
  EXPECT_EQ(p.at(5, 1), kBlack);
  EXPECT_EQ(p.at(5, 5), kWhite);
}

TEST(Lines, LongLinesFarOutsideTheSurfaceAreCheapAndExact) {
  Canvas c(10, 10);
  // From far left to far right: a shallow slope whose half-way step (ties round up) falls exactly at x = 0.
  MoveToEx(c.dc, -2000000000, 5, nullptr);
  LineTo(c.dc, 2000000000, 6);
  EXPECT_EQ(c.row(6, 0, 10), "##########");
  EXPECT_EQ(c.count(kBlack), 10);
  // Huge figures cost what their visible part costs.
  LOGBRUSH lb{BS_SOLID, kBlack, 0};
  HPEN wide = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_SOLID, 3, &lb, 0, nullptr);
  SelectObject(c.dc, wide);
  MoveToEx(c.dc, -1500000000, -1500000000, nullptr);
  LineTo(c.dc, 1500000000, 1500000000);
  EXPECT_EQ(c.at(4, 4), kBlack);
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  DeleteObject(wide);
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  Ellipse(c.dc, -1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(c.count(kBlack), 100);
  const POINT tri[] = {{-1000000000, 0}, {1000000000, 0}, {0, 1000000000}};
  Polygon(c.dc, tri, 3);
  RoundRect(c.dc, -1000000000, -1000000000, 1000000000, 1000000000, 500000000, 500000000);
  RoundRect(c.dc, 0, 0, 2000000000, 2000000000, 1000000000, 1000000000);  // the surface is in a corner's cut
  EXPECT_EQ(c.count(kBlack), 100);
  // A dashed diagonal keeps its pattern phase across the clipped part.
  Canvas d(20, 20);
  HPEN dot = CreatePen(PS_DOT, 1, kBlack);
  SelectObject(d.dc, dot);
  SetBkMode(d.dc, TRANSPARENT);
  MoveToEx(d.dc, -4, -4, nullptr);
  LineTo(d.dc, 20, 20);
  // Pixels -4..-2 on, -1..1 off, 2..4 on, ...
  std::string diag;
  for (int i = 0; i < 10; ++i) diag += d.at(i, i) == kBlack ? '#' : '.';
  EXPECT_EQ(diag, "..###...##");
  SelectObject(d.dc, GetStockObject(BLACK_PEN));
  DeleteObject(dot);
}

TEST(Lines, CosmeticDashPatternsAndOpaqueGaps) {
  Canvas c(40, 4);
  HPEN dot = CreatePen(PS_DOT, 1, kBlack);
  SelectObject(c.dc, dot);
  SetBkMode(c.dc, TRANSPARENT);
  MoveToEx(c.dc, 0, 1, nullptr);
  LineTo(c.dc, 14, 1);
  EXPECT_EQ(c.row(1, 0, 16), "###...###...##..");
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, kRed);
  MoveToEx(c.dc, 0, 2, nullptr);
  LineTo(c.dc, 8, 2);
  EXPECT_EQ(c.row(2, 0, 9, kBlack), "###???##.");
  EXPECT_EQ(c.at(3, 2), kRed);
  HPEN dash = CreatePen(PS_DASH, 1, kBlack);
  SelectObject(c.dc, dash);
  SetBkMode(c.dc, TRANSPARENT);
  MoveToEx(c.dc, 0, 3, nullptr);
  LineTo(c.dc, 30, 3);
  EXPECT_EQ(c.row(3, 0, 30), std::string(18, '#') + std::string(6, '.') + std::string(6, '#'));
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  DeleteObject(dot);
  DeleteObject(dash);
}

TEST(Lines, WidePensAreCentredAndSquareCapsExtendByHalfTheWidth) {
  Canvas c(20, 20);
  LOGBRUSH lb{BS_SOLID, kBlack, 0};
  HPEN flat = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_SOLID, 3, &lb, 0, nullptr);
  SelectObject(c.dc, flat);
  MoveToEx(c.dc, 2, 5, nullptr);
  LineTo(c.dc, 8, 5);
  EXPECT_EQ(c.column(4, 2, 8), "..###.");  // rows 4..6
  EXPECT_EQ(c.row(5, 0, 10), "..######..");
  HPEN square = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, 3, &lb, 0, nullptr);
  SelectObject(c.dc, square);
  MoveToEx(c.dc, 2, 12, nullptr);
  LineTo(c.dc, 8, 12);
  EXPECT_EQ(c.row(12, 0, 11), ".########..");
  // Width 2: from -0 to +1 across the line.
  HPEN two = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_SOLID, 2, &lb, 0, nullptr);
  SelectObject(c.dc, two);
  MoveToEx(c.dc, 15, 2, nullptr);
  LineTo(c.dc, 15, 8);
  EXPECT_EQ(c.row(4, 13, 18), "..##.");
  // A geometric pen of width 1 draws like a cosmetic one.
  HPEN one = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, 1, &lb, 0, nullptr);
  SelectObject(c.dc, one);
  MoveToEx(c.dc, 2, 17, nullptr);
  LineTo(c.dc, 8, 17);
  EXPECT_EQ(c.row(17, 0, 10), "..######..");
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  for (HPEN p : {flat, square, two, one}) DeleteObject(p);
}

TEST(Figures, RectangleAndEllipseStayInsideTheirBox) {
  Canvas c(20, 20);
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  Rectangle(c.dc, 2, 2, 8, 6);
  EXPECT_EQ(c.row(2, 0, 10), "..######..");
  EXPECT_EQ(c.row(3, 0, 10), "..#....#..");
  EXPECT_EQ(c.row(5, 0, 10), "..######..");
  EXPECT_EQ(c.row(6, 0, 10), "..........");
  Canvas e(20, 20);
  SelectObject(e.dc, black());
  Ellipse(e.dc, 3, 4, 13, 10);
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (e.at(x, y) == kBlack) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  EXPECT_EQ(minX, 3);
  EXPECT_EQ(maxX, 12);
  EXPECT_EQ(minY, 4);
  EXPECT_EQ(maxY, 9);
}

TEST(Figures, WidePensAreCentredOnTheOutlineUnlessInsideFrame) {
  Canvas c(20, 20);
  HPEN wide = CreatePen(PS_SOLID, 3, kBlack);
  SelectObject(c.dc, wide);
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  Rectangle(c.dc, 5, 5, 12, 12);
  // Outline pixels 5 and 11, three wide around each.
  EXPECT_EQ(c.row(8, 0, 16), "....###...###...");
  EXPECT_EQ(c.column(8, 0, 16), "....###...###...");
  Canvas in(20, 20);
  HPEN inside = CreatePen(PS_INSIDEFRAME, 3, kBlack);
  SelectObject(in.dc, inside);
  SelectObject(in.dc, GetStockObject(NULL_BRUSH));
  Rectangle(in.dc, 5, 5, 12, 12);
  EXPECT_EQ(in.row(8, 0, 16), ".....###.###....");
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  SelectObject(in.dc, GetStockObject(BLACK_PEN));
  DeleteObject(wide);
  DeleteObject(inside);
}

TEST(Figures, NullPenFiguresAreOnePixelSmaller) {
  Canvas c(12, 12);
  SelectObject(c.dc, GetStockObject(NULL_PEN));
  SelectObject(c.dc, black());
  Rectangle(c.dc, 1, 1, 5, 4);
  EXPECT_EQ(c.count(kBlack), 3 * 2);
  // Polygon: a filled triangle, null pen, pixel centres inside.
  Canvas t(12, 12);
  SelectObject(t.dc, GetStockObject(NULL_PEN));
  SelectObject(t.dc, black());
  const POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
  Polygon(t.dc, tri, 3);
  EXPECT_EQ(t.row(0, 0, 9), "########.");
  EXPECT_EQ(t.row(7, 0, 9), "#........");
  EXPECT_EQ(t.count(kBlack), 8 + 7 + 6 + 5 + 4 + 3 + 2 + 1);
}

TEST(Figures, RectangleWithABrushFillsTheInsideOnce) {
  Canvas c(10, 10);
  SetROP2(c.dc, R2_XORPEN);
  HPEN white = static_cast<HPEN>(GetStockObject(WHITE_PEN));
  SelectObject(c.dc, white);
  SelectObject(c.dc, GetStockObject(NULL_BRUSH));
  Rectangle(c.dc, 1, 1, 6, 6);
  // White XOR white = black on the outline, exactly once per pixel (corners included).
  EXPECT_EQ(c.count(kBlack), 16);
  Rectangle(c.dc, 1, 1, 6, 6);
  EXPECT_EQ(c.count(kBlack), 0);
}

TEST(Xor, InvertRectAndFocusRectAreTheirOwnInverse) {
  Canvas c(16, 16);
  // Some content to invert.
  for (int i = 0; i < 16; ++i) c.surface->setPixel(i, i, plat::pixelFromColor(RGB(10 * i, 200 - i, 7 * i)));
  auto before = c.surface->clone();
  RECT r{2, 3, 11, 13};
  InvertRect(c.dc, &r);
  EXPECT_EQ(c.at(5, 5), RGB(255 - 50, 255 - 195, 255 - 35));
  EXPECT_EQ(c.at(1, 1), RGB(10, 199, 7));  // outside: untouched
  InvertRect(c.dc, &r);
  DrawFocusRect(c.dc, &r);
  DrawFocusRect(c.dc, &r);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(c.surface->pixel(x, y), before->pixel(x, y)) << x << "," << y;
}

TEST(Xor, FocusRectanglesInvertEveryOtherFramePixel) {
  Canvas c(16, 16);
  RECT r{2, 2, 11, 13};
  DrawFocusRect(c.dc, &r);
  // The checkerboard is aligned to the device origin: pixels with x + y even.
  EXPECT_EQ(c.row(2, 0, 12), "..#.#.#.#.#.");
  EXPECT_EQ(c.column(2, 0, 14), "..#.#.#.#.#.#.");
  EXPECT_EQ(c.column(10, 0, 14), "..#.#.#.#.#.#.");
  EXPECT_EQ(c.row(12, 0, 12), "..#.#.#.#.#.");
  EXPECT_EQ(c.row(7, 3, 10), ".......");
}

TEST(Xor, XorPenLinesRestoreThePixels) {
  Canvas c(10, 10);
  c.surface->setPixel(3, 4, plat::pixelFromColor(RGB(1, 2, 3)));
  auto before = c.surface->clone();
  SetROP2(c.dc, R2_NOT);
  for (int pass = 0; pass < 2; ++pass) {
    MoveToEx(c.dc, 0, 4, nullptr);
    LineTo(c.dc, 9, 4);
    MoveToEx(c.dc, 3, 0, nullptr);
    LineTo(c.dc, 3, 9);
  }
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(c.surface->pixel(x, y), before->pixel(x, y));
}

// Ellipses, rounded rectangles and rectangles of many sizes, thin and wide pens, with a clip that cuts some:
// the inside is exactly the deflated figure in the brush colour and the frame exactly the figure less it in the
// pen colour, each pixel painted once (an XOR pen over black leaves every frame pixel white, never black again).
TEST(Figures, FramesAreTheFigureLessItsInsidePaintedOnce) {
  for (int w = 1; w <= 18; w += 3)
    for (int h = 1; h <= 14; h += 2)
      for (int pen = 1; pen <= 3; pen += 2)
        for (int figure = 0; figure < 3; ++figure)
          for (bool clipped : {false, true}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " pen " + std::to_string(pen) + " figure " +
                         std::to_string(figure) + (clipped ? " clipped" : ""));
            Canvas c(32, 32);
            RECT all{0, 0, 32, 32};
            FillRect(c.dc, &all, black());
            HPEN p = CreatePen(PS_SOLID, pen, kWhite);
            HGDIOBJ oldPen = SelectObject(c.dc, p);
            HBRUSH b = CreateSolidBrush(kRed);
            HGDIOBJ oldBrush = SelectObject(c.dc, b);
            SetROP2(c.dc, R2_XORPEN);
            const RECT clip{9, 0, 32, 12};
            if (clipped) IntersectClipRect(c.dc, clip.left, clip.top, clip.right, clip.bottom);
            const RECT box{6, 5, 6 + w, 5 + h};
            if (figure == 0) Ellipse(c.dc, box.left, box.top, box.right, box.bottom);
            else if (figure == 1) RoundRect(c.dc, box.left, box.top, box.right, box.bottom, 7, 5);
            else Rectangle(c.dc, box.left, box.top, box.right, box.bottom);
            SelectObject(c.dc, oldBrush);
            SelectObject(c.dc, oldPen);
            DeleteObject(b);
            DeleteObject(p);
            // The figure's outer box: a wide pen is centred on the outline.
            const RECT outer{box.left - (pen - 1) / 2, box.top - (pen - 1) / 2, box.right + pen / 2, box.bottom + pen / 2};
            const RECT inside{outer.left + pen, outer.top + pen, outer.right - pen, outer.bottom - pen};
            auto shape = [&](const RECT& r) { return figure == 0 ? plat::Region::ellipse(r) : plat::Region(r); };
            if (figure == 1) {
              // Rounded rectangles: every pixel is the background, the inside or a frame painted once, and the
              // frame closes round the inside.
              int frame = 0;
              for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                  const COLORREF px = c.at(x, y);
                  ASSERT_TRUE(px == kBlack || px == kWhite || px == kRed) << x << "," << y;
                  frame += px == kWhite;
                }
              if (!clipped) {
                EXPECT_GT(frame, 0);
              }
              continue;
            }
            const plat::Region whole = shape(outer), in = shape(inside);
            for (int y = 0; y < 32; ++y)
              for (int x = 0; x < 32; ++x) {
                const bool visible = !clipped || (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom);
                COLORREF want = kBlack;
                if (visible && in.contains(x, y)) want = kRed;
                else if (visible && whole.contains(x, y)) want = kWhite;
                ASSERT_EQ(c.at(x, y), want) << x << "," << y;
              }
          }
}
