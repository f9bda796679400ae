// Regions painted (FillRgn, FrameRgn, InvertRgn, PaintRgn), FrameRect, RoundRect, device-dependent bitmap bits,
// brushes built indirectly, and tabbed text.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/RecordingDC.h"
#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

TEST(PaintedRegions, FillFrameInvertAndPaint) {
  Canvas c(20, 20);
  HRGN l = CreateRectRgn(2, 2, 12, 6);
  HRGN v = CreateRectRgn(2, 6, 6, 12);
  CombineRgn(l, l, v, RGN_OR);  // an L shape
  HBRUSH red = CreateSolidBrush(kRed);
  FillRgn(c.dc, l, red);
  EXPECT_EQ(c.count(kRed), 40 + 24);
  FrameRgn(c.dc, l, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);
  // The frame follows the outline; the inner corner pixel (5, 5) has all four neighbours inside, so it stays.
  EXPECT_EQ(c.row(2, 0, 14), "..##########..");
  EXPECT_EQ(c.row(5, 0, 14), "..#???######..");
  EXPECT_EQ(c.row(11, 0, 8), "..####..");
  EXPECT_EQ(c.column(5, 0, 14), "..#???######..");
  auto before = c.surface->clone();
  InvertRgn(c.dc, l);
  InvertRgn(c.dc, l);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(c.surface->pixel(x, y), before->pixel(x, y));
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  PaintRgn(c.dc, v);
  EXPECT_EQ(c.at(3, 8), kWhite);
  // Regions are in logical units: the viewport origin moves them.
  SetViewportOrgEx(c.dc, 10, 10, nullptr);
  FillRgn(c.dc, v, red);
  EXPECT_EQ(c.at(12, 16), kRed);
  DeleteObject(l);
  DeleteObject(v);
  DeleteObject(red);
}

TEST(Figures, FrameRectAndRoundRect) {
  Canvas c(20, 20);
  RECT r{2, 2, 8, 6};
  FrameRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.row(2, 0, 10), "..######..");
  EXPECT_EQ(c.row(3, 0, 10), "..#....#..");
  EXPECT_EQ(c.row(5, 0, 10), "..######..");
  EXPECT_EQ(c.count(kBlack), 16);
  Canvas rr(20, 20);
  SelectObject(rr.dc, GetStockObject(NULL_BRUSH));
  RoundRect(rr.dc, 0, 0, 16, 12, 6, 6);
  EXPECT_EQ(rr.at(0, 0), kWhite);    // rounded corners
  EXPECT_EQ(rr.at(15, 11), kWhite);
  EXPECT_EQ(rr.at(8, 0), kBlack);    // straight top edge
  EXPECT_EQ(rr.at(0, 6), kBlack);    // straight left edge
  EXPECT_EQ(rr.at(8, 11), kBlack);   // bottom edge inside the box
  EXPECT_EQ(rr.at(8, 12), kWhite);
  EXPECT_EQ(rr.at(8, 6), kWhite);    // hollow
}

TEST(Bitmaps, DeviceDependentBitsRoundTrip) {
  const BYTE mono[4] = {0xF0, 0x00, 0x0F, 0x00};  // 8x2, rows padded to 16 bits
  HBITMAP m = CreateBitmap(8, 2, 1, 1, mono);
  BITMAP bm{};
  ASSERT_EQ(GetObject(m, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidthBytes, 2);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  BYTE back[4] = {};
  EXPECT_EQ(GetBitmapBits(m, sizeof back, back), 4);
  EXPECT_EQ(std::memcmp(back, mono, 4), 0);
  const DWORD colour[2] = {0x00112233u, 0x00AABBCCu};
  HBITMAP c = CreateBitmap(2, 1, 1, 32, colour);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, c);
  EXPECT_EQ(GetPixel(mem, 0, 0), RGB(0x11, 0x22, 0x33));
  SelectObject(mem, old);
  DWORD out[2] = {};
  EXPECT_EQ(GetBitmapBits(c, sizeof out, out), 8);
  EXPECT_EQ(out[1], 0x00AABBCCu);
  const DWORD other[2] = {0x00010203u, 0x00040506u};
  EXPECT_EQ(SetBitmapBits(c, sizeof other, other), 8);
  EXPECT_EQ(SetBitmapBits(c, 4, other), 0);  // too short for the bitmap
  GetBitmapBits(c, sizeof out, out);
  EXPECT_EQ(out[0], 0x00010203u);
  EXPECT_EQ(CreateBitmap(2, 2, 2, 1, nullptr), nullptr);  // planes must be 1
  EXPECT_EQ(CreateBitmap(-1, 2, 1, 1, nullptr), nullptr);
  DeleteDC(mem);
  DeleteObject(m);
  DeleteObject(c);
}

TEST(Brushes, IndirectAndDibPatternBrushes) {
  LOGBRUSH hatch{BS_HATCHED, kRed, HS_VERTICAL};
  HBRUSH h = CreateBrushIndirect(&hatch);
  LOGBRUSH lb{};
  GetObject(h, sizeof lb, &lb);
  EXPECT_EQ(lb.lbStyle, BS_HATCHED);
  EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_VERTICAL));
  Canvas c(16, 2);
  SetBkMode(c.dc, TRANSPARENT);
  RECT r{0, 0, 16, 2};
  FillRect(c.dc, &r, h);
  EXPECT_EQ(c.row(0, 0, 16, kRed), "#.......#.......");
  // A packed 24-bit DIB pattern: its top-left 8x8 tile, rows from the bottom of the block.
  std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + 8 * 24, 0);
  BITMAPINFOHEADER hdr{};
  hdr.biSize = sizeof hdr;
  hdr.biWidth = 8;
  hdr.biHeight = 8;
  hdr.biPlanes = 1;
  hdr.biBitCount = 24;
  std::memcpy(dib.data(), &hdr, sizeof hdr);
  BYTE* topRow = dib.data() + sizeof hdr + 7 * 24;  // the last row in memory is the top one
  for (int x = 0; x < 8; ++x) topRow[x * 3 + 1] = 0xFF;  // green
  HBRUSH d = CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS);
  ASSERT_NE(d, nullptr);
  Canvas p(8, 9);
  RECT pr{0, 0, 8, 9};
  FillRect(p.dc, &pr, d);
  EXPECT_EQ(p.at(3, 0), RGB(0, 255, 0));
  EXPECT_EQ(p.at(3, 1), RGB(0, 0, 0));
  EXPECT_EQ(p.at(3, 8), RGB(0, 255, 0));
  DeleteObject(h);
  DeleteObject(d);
}

TEST(TextOutput, TabbedTextUsesTheGivenStops) {
  HDC rec = plat::CreateRecordingDC(200, 20);
  HFONT f = CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Test Fixed");
  SelectObject(rec, f);
  INT stops[2] = {30, 70};
  const LONG size = TabbedTextOut(rec, 5, 0, "a\tbb\tc", 6, 2, stops, 5);
  EXPECT_EQ(LOWORD(static_cast<DWORD>(size)), 75);
  const DWORD ext = GetTabbedTextExtent(rec, "a\tbb\tc", 6, 2, stops);
  EXPECT_EQ(LOWORD(ext), 75);
  EXPECT_EQ(HIWORD(ext), 10);
  const auto& lines = plat::RecorderOf(rec)->lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].rfind("text 35,0 \"bb\"", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("text 75,0 \"c\"", 0), 0u) << lines[2];
  SelectObject(rec, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
  DeleteDC(rec);
}
