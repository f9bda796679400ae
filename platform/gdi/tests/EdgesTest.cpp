// 3-D edges, Draw3dRect, FillSolidRect and the frame controls, with the classic colour table.
#include <gtest/gtest.h>

#include "platform/gdi/CDC.h"
#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

namespace {

constexpr COLORREF kLight = RGB(192, 192, 192);   // 3DLIGHT and BTNFACE
constexpr COLORREF kShadow = RGB(128, 128, 128);  // BTNSHADOW
constexpr COLORREF kHi = RGB(255, 255, 255);      // BTNHIGHLIGHT
constexpr COLORREF kDark = RGB(0, 0, 0);          // 3DDKSHADOW

// One letter per pixel: L light, S shadow, H highlight, D dark, . other.
std::string letters(const Canvas& c, int y, int x0, int x1) {
  std::string s;
  for (int x = x0; x < x1; ++x) {
    const COLORREF p = c.at(x, y);
    s += p == kLight ? 'L' : p == kShadow ? 'S' : p == kHi ? 'H' : p == kDark ? 'D' : '.';
  }
  return s;
}

std::string columnLetters(const Canvas& c, int x, int y0, int y1) {
  std::string s;
  for (int y = y0; y < y1; ++y) s += letters(c, y, x, x + 1);
  return s;
}

struct Blue : Canvas {
  Blue(int w, int h) : Canvas(w, h) { surface->fillAll(plat::pixelFromColor(RGB(0, 0, 255))); }
};

}  // namespace

TEST(Edges, RaisedEdgeSplitsPixelsBetweenTheTwoColours) {
  plat::ResetSysColorsAndMetrics();
  Blue c(10, 8);
  RECT r{1, 1, 9, 7};
  ASSERT_TRUE(DrawEdge(c.dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST));
  // Outer: 3DLIGHT top-left, 3DDKSHADOW bottom-right; inner: BTNHIGHLIGHT / BTNSHADOW.
  EXPECT_EQ(letters(c, 1, 0, 10), ".LLLLLLLD.");
  EXPECT_EQ(letters(c, 2, 0, 10), ".LHHHHHSD.");
  EXPECT_EQ(letters(c, 5, 0, 10), ".LSSSSSSD.");
  EXPECT_EQ(letters(c, 6, 0, 10), ".DDDDDDDD.");
  EXPECT_EQ(columnLetters(c, 1, 0, 8), ".LLLLLD.");
  EXPECT_EQ(columnLetters(c, 8, 0, 8), ".DDDDDD.");
  // BF_ADJUST: two pixels off every side.
  EXPECT_EQ(r.left, 3);
  EXPECT_EQ(r.top, 3);
  EXPECT_EQ(r.right, 7);
  EXPECT_EQ(r.bottom, 5);
  EXPECT_EQ(letters(c, 3, 3, 7), "....");  // the middle was not asked for
}

TEST(Edges, SunkenEdgeWithMiddleAndPartialSides) {
  plat::ResetSysColorsAndMetrics();
  Blue c(8, 6);
  RECT r{0, 0, 8, 6};
  DrawEdge(c.dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
  EXPECT_EQ(letters(c, 0, 0, 8), "SSSSSSSH");
  EXPECT_EQ(letters(c, 1, 0, 8), "SDDDDDLH");
  EXPECT_EQ(letters(c, 2, 0, 8), "SDLLLLLH");  // BTNFACE middle
  EXPECT_EQ(letters(c, 5, 0, 8), "HHHHHHHH");
  Blue t(8, 4);
  RECT top{0, 0, 8, 4};
  DrawEdge(t.dc, &top, BDR_SUNKENOUTER, BF_TOP | BF_LEFT);
  EXPECT_EQ(letters(t, 0, 0, 8), "SSSSSSSS");  // no right side: the top row runs to the end
  EXPECT_EQ(columnLetters(t, 0, 0, 4), "SSSS");
  EXPECT_EQ(letters(t, 3, 1, 8), ".......");
}

TEST(Edges, FlatAndMonoEdgesAreSingleColourFrames) {
  plat::ResetSysColorsAndMetrics();
  Blue c(6, 6);
  RECT r{0, 0, 6, 6};
  DrawEdge(c.dc, &r, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_ADJUST);
  EXPECT_EQ(letters(c, 0, 0, 6), "SSSSSS");
  EXPECT_EQ(letters(c, 1, 0, 6), "SLLLLS");
  EXPECT_EQ(letters(c, 5, 0, 6), "SSSSSS");
  EXPECT_EQ(r.left, 2);
  Blue m(4, 4);
  RECT mr{0, 0, 4, 4};
  DrawEdge(m.dc, &mr, BDR_RAISEDOUTER, BF_RECT | BF_MONO);
  EXPECT_EQ(letters(m, 0, 0, 4), "DDDD");  // WINDOWFRAME is black
  EXPECT_EQ(letters(m, 1, 0, 4), "D..D");
}

TEST(Edges, Draw3dRectAndFillSolidRect) {
  Blue c(8, 6);
  CDC dc;
  dc.Attach(c.dc);
  dc.Draw3dRect(CRect(1, 1, 7, 5), kHi, kShadow);
  EXPECT_EQ(letters(c, 1, 0, 8), ".HHHHHS.");
  EXPECT_EQ(letters(c, 4, 0, 8), ".SSSSSS.");
  EXPECT_EQ(columnLetters(c, 1, 0, 6), ".HHHS.");
  EXPECT_EQ(columnLetters(c, 6, 0, 6), ".SSSS.");
  dc.FillSolidRect(2, 2, 4, 2, kLight);
  EXPECT_EQ(letters(c, 2, 0, 8), ".HLLLLS.");
  EXPECT_EQ(dc.GetBkColor(), kLight);  // FillSolidRect leaves the background colour set
  dc.Detach();
}

TEST(FrameControls, CheckBoxesRadiosPushButtonsAndArrows) {
  plat::ResetSysColorsAndMetrics();
  Blue c(13, 13);
  RECT box{0, 0, 13, 13};
  DrawFrameControl(c.dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(letters(c, 0, 0, 13), "SSSSSSSSSSSSH");
  EXPECT_EQ(letters(c, 1, 0, 13), "SDDDDDDDDDDLH");
  EXPECT_EQ(letters(c, 6, 2, 11), "HHHHHHHHH");  // white inside, no check
  DrawFrameControl(c.dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  // The 7x7 check in the 9x9 inside at (3, 3): row 2 of the mark "#...###".
  EXPECT_EQ(letters(c, 5, 2, 11), "HDHHHDDDH");
  DrawFrameControl(c.dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE);
  EXPECT_EQ(letters(c, 6, 2, 11), "LLLLLLLLL");  // inactive: button face inside

  Blue r(12, 12);
  RECT rb{0, 0, 12, 12};
  DrawFrameControl(r.dc, &rb, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(r.at(0, 0), RGB(0, 0, 255));       // corners stay untouched
  EXPECT_EQ(r.at(11, 11), RGB(0, 0, 255));
  EXPECT_EQ(r.at(5, 0), kShadow);              // outer ring, upper half
  EXPECT_EQ(r.at(6, 11), kHi);                 // outer ring, lower half
  EXPECT_EQ(r.at(5, 5), kDark);                // the dot
  EXPECT_EQ(r.at(3, 8), kHi);                  // white inside

  Blue p(20, 10);
  RECT pr{0, 0, 20, 10};
  DrawFrameControl(p.dc, &pr, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(letters(p, 0, 0, 20), "LLLLLLLLLLLLLLLLLLLD");
  EXPECT_EQ(letters(p, 5, 2, 18), "LLLLLLLLLLLLLLLL");
  EXPECT_EQ(pr.left, 2);
  EXPECT_EQ(pr.bottom, 8);

  Blue a(17, 17);
  RECT ar{0, 0, 17, 17};
  DrawFrameControl(a.dc, &ar, DFC_SCROLL, DFCS_SCROLLDOWN);
  // A triangle of four rows: 7, 5, 3, 1 pixels, symmetric about the centre column.
  int rows = 0;
  for (int y = 2; y < 15; ++y) {
    int n = 0, first = -1;
    for (int x = 2; x < 15; ++x)
      if (a.at(x, y) == kDark) {
        if (first < 0) first = x;
        ++n;
      }
    if (n == 0) continue;
    ++rows;
    EXPECT_EQ(first + n / 2, 8) << "row " << y;
  }
  EXPECT_EQ(rows, 4);
}
