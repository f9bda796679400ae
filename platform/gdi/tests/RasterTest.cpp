// Raster operations: the ROP3 truth tables, mono/colour conversion, pattern and hatch brushes with the brush
// origin, blits through clips and origins, stretching, DIBs and DIB sections.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

namespace {

// Evaluates `rop` for every (P, S, D) of black/white and compares with bit P*4 + S*2 + D of the code.
void expectTruthTable(DWORD rop) {
  const BYTE code = static_cast<BYTE>(rop >> 16);
  // Source: 4 pixels S = 0,0,1,1; destination D = 0,1,0,1 (black = 0, white = 1).
  MemCanvas src(4, 1);
  SetPixel(src.dc, 0, 0, kBlack);
  SetPixel(src.dc, 1, 0, kBlack);
  for (int p = 0; p < 2; ++p) {
    MemCanvas dst(4, 1);
    for (int i = 0; i < 4; ++i) SetPixel(dst.dc, i, 0, (i & 1) ? kWhite : kBlack);
    HBRUSH brush = CreateSolidBrush(p ? kWhite : kBlack);
    HGDIOBJ old = SelectObject(dst.dc, brush);
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, rop));
    for (int i = 0; i < 4; ++i) {
      const int s = i >> 1, d = i & 1;
      const bool expected = (code >> (p * 4 + s * 2 + d)) & 1;
      EXPECT_EQ(dst.at(i, 0), expected ? kWhite : kBlack)
          << std::hex << "rop " << rop << " P=" << p << " S=" << s << " D=" << d;
    }
    SelectObject(dst.dc, old);
    DeleteObject(brush);
  }
}

}  // namespace

TEST(Rop3, TruthTablesOfTheCodesInUse) {
  for (DWORD rop : {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS,
                    0x00E20746u, 0x00B8074Au, NOTSRCCOPY, MERGEPAINT, SRCERASE})
    expectTruthTable(rop);
}

TEST(Rop3, MaskCodesSelectWholeColours) {
  // 0x00E20746: destination where the mask (source) is black, brush where white; 0x00B8074A the reverse.
  MemCanvas mask(2, 1);
  SetPixel(mask.dc, 0, 0, kBlack);
  MemCanvas dst(2, 1);
  const COLORREF d = RGB(0x12, 0x34, 0x56), p = RGB(0xA0, 0x0B, 0xC7);
  SetPixel(dst.dc, 0, 0, d);
  SetPixel(dst.dc, 1, 0, d);
  HBRUSH brush = CreateSolidBrush(p);
  HGDIOBJ old = SelectObject(dst.dc, brush);
  BitBlt(dst.dc, 0, 0, 2, 1, mask.dc, 0, 0, 0x00E20746);
  EXPECT_EQ(dst.at(0, 0), d);
  EXPECT_EQ(dst.at(1, 0), p);
  SetPixel(dst.dc, 1, 0, d);
  BitBlt(dst.dc, 0, 0, 2, 1, mask.dc, 0, 0, 0x00B8074A);
  EXPECT_EQ(dst.at(0, 0), p);
  EXPECT_EQ(dst.at(1, 0), d);
  // Per-channel XOR.
  BitBlt(dst.dc, 0, 0, 2, 1, nullptr, 0, 0, PATINVERT);
  EXPECT_EQ(dst.at(1, 0), RGB(0x12 ^ 0xA0, 0x34 ^ 0x0B, 0x56 ^ 0xC7));
  SelectObject(dst.dc, old);
  DeleteObject(brush);
}

TEST(Rop3, PatBltRefusesCodesThatNeedASource) {
  Canvas c(4, 4);
  EXPECT_FALSE(PatBlt(c.dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_TRUE(PatBlt(c.dc, 0, 0, 2, 2, BLACKNESS));
  EXPECT_EQ(c.count(kBlack), 4);
  EXPECT_TRUE(PatBlt(c.dc, 0, 0, 4, 1, DSTINVERT));
  EXPECT_EQ(c.row(0, 0, 4), "..##");
}

TEST(MonoColour, MonoToColourUsesTheDestinationTextAndBackground) {
  // Rows padded to 16 bits, most significant bit leftmost, 1 = white.
  const BYTE bits[] = {0xA0, 0x00, 0x50, 0x00};  // row 0: 1010..., row 1: 0101...
  HBITMAP mono = CreateBitmap(4, 2, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mdc, mono);
  MemCanvas dst(4, 2);
  SetTextColor(dst.dc, kRed);
  SetBkColor(dst.dc, kBlue);
  BitBlt(dst.dc, 0, 0, 4, 2, mdc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), kBlue);  // 1 -> background
  EXPECT_EQ(dst.at(1, 0), kRed);   // 0 -> text
  EXPECT_EQ(dst.at(0, 1), kRed);
  EXPECT_EQ(dst.at(1, 1), kBlue);
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(MonoColour, ColourToMonoMarksTheSourceBackgroundColourAsWhite) {
  MemCanvas src(3, 1);
  SetPixel(src.dc, 0, 0, kRed);
  SetPixel(src.dc, 1, 0, RGB(255, 0, 1));
  SetPixel(src.dc, 2, 0, kWhite);
  SetBkColor(src.dc, kRed);
  MemCanvas dst(3, 1, /*mono=*/true);
  BitBlt(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), kWhite);
  EXPECT_EQ(dst.at(1, 0), kBlack);  // near is not equal
  EXPECT_EQ(dst.at(2, 0), kBlack);  // white is not the background colour
  EXPECT_EQ(CreateCompatibleBitmap(src.dc, 30000, 30000), nullptr);  // beyond the bitmap size limit
  // A compatible bitmap of a DC holding a monochrome bitmap is monochrome too.
  HBITMAP compat = CreateCompatibleBitmap(dst.dc, 2, 2);
  BITMAP bm{};
  GetObject(compat, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(compat);
}

TEST(MonoColour, TransparentGlyphThroughTwoMaskBlits) {
  // The classic transparent draw: AND with a mask (background white), then OR/INVERT the image.
  MemCanvas image(2, 1);
  SetPixel(image.dc, 0, 0, kRed);
  SetPixel(image.dc, 1, 0, RGB(255, 0, 255));  // the transparent colour
  SetBkColor(image.dc, RGB(255, 0, 255));
  MemCanvas mask(2, 1, true);
  BitBlt(mask.dc, 0, 0, 2, 1, image.dc, 0, 0, SRCCOPY);  // transparent -> 1
  MemCanvas dst(2, 1);
  SetPixel(dst.dc, 0, 0, kBlue);
  SetPixel(dst.dc, 1, 0, kBlue);
  SetTextColor(dst.dc, kBlack);
  SetBkColor(dst.dc, kWhite);
  BitBlt(dst.dc, 0, 0, 2, 1, mask.dc, 0, 0, SRCAND);
  // Image with the transparent colour blacked out.
  SetTextColor(image.dc, kWhite);
  SetBkColor(image.dc, kBlack);
  BitBlt(image.dc, 0, 0, 2, 1, mask.dc, 0, 0, SRCAND);  // mask 0 -> white keeps, 1 -> black clears
  BitBlt(dst.dc, 0, 0, 2, 1, image.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(dst.at(0, 0), kRed);
  EXPECT_EQ(dst.at(1, 0), kBlue);
}

TEST(Brushes, MonochromePatternBrushesUseTextAndBackgroundColours) {
  // 8x8, rows WORD-aligned, top row first; a single set bit in the top-left corner.
  WORD rows[8] = {0x0080, 0, 0, 0, 0, 0, 0, 0};  // little-endian WORD: first byte 0x80
  HBITMAP pat = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(pat);
  DeleteObject(pat);  // the brush keeps its own copy
  Canvas c(16, 16);
  SetTextColor(c.dc, kRed);
  SetBkColor(c.dc, kBlue);
  RECT r{0, 0, 16, 16};
  FillRect(c.dc, &r, brush);
  EXPECT_EQ(c.at(0, 0), kBlue);  // the 1 bit -> background
  EXPECT_EQ(c.at(8, 8), kBlue);
  EXPECT_EQ(c.at(1, 0), kRed);   // 0 bits -> text colour
  EXPECT_EQ(c.count(kBlue), 4);
  DeleteObject(brush);
}

TEST(Brushes, BufferedDrawingWithTheGridsBrushOriginMatchesDirectDrawing) {
  // A diagonal pattern, so that any misalignment shows.
  const BYTE diag[16] = {0x80, 0, 0x40, 0, 0x20, 0, 0x10, 0, 0x08, 0, 0x04, 0, 0x02, 0, 0x01, 0};
  HBITMAP pat = CreateBitmap(8, 8, 1, 1, diag);
  HBRUSH brush = CreatePatternBrush(pat);
  const RECT clip{13, 5, 37, 27};  // left and top are not multiples of 8
  Canvas direct(48, 32);
  FillRect(direct.dc, &clip, brush);

  Canvas buffered(48, 32);
  HDC mem = CreateCompatibleDC(buffered.dc);
  HBITMAP bm = CreateCompatibleBitmap(buffered.dc, clip.right - clip.left, clip.bottom - clip.top);
  HGDIOBJ old = SelectObject(mem, bm);
  SetViewportOrgEx(mem, -clip.left, -clip.top, nullptr);
  SetBrushOrgEx(mem, clip.left % 8, clip.top % 8, nullptr);
  FillRect(mem, &clip, brush);
  SetViewportOrgEx(mem, 0, 0, nullptr);
  BitBlt(buffered.dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, mem, 0, 0, SRCCOPY);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) ASSERT_EQ(buffered.at(x, y), direct.at(x, y)) << x << "," << y;
  // And the pattern is aligned to the device: device pixel (x, y) is set where (x - y) mod 8 == 0.
  EXPECT_EQ(direct.at(16, 8), kWhite);
  EXPECT_EQ(direct.at(17, 8), kBlack);
  SelectObject(mem, old);
  DeleteObject(bm);
  DeleteDC(mem);
  DeleteObject(brush);
  DeleteObject(pat);
}

TEST(Brushes, HatchBrushesHonourTheBackgroundMode) {
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, kRed);
  Canvas c(8, 8);
  SetBkColor(c.dc, kBlue);
  RECT r{0, 0, 8, 8};
  FillRect(c.dc, &r, hatch);
  EXPECT_EQ(c.count(kRed), 15);  // row 0 and column 0
  EXPECT_EQ(c.count(kBlue), 49);
  Canvas t(8, 8);
  SetBkMode(t.dc, TRANSPARENT);
  FillRect(t.dc, &r, hatch);
  EXPECT_EQ(t.count(kRed), 15);
  EXPECT_EQ(t.count(kWhite), 49);
  DeleteObject(hatch);
  EXPECT_EQ(CreateHatchBrush(6, kRed), nullptr);
}

TEST(Blits, ClippedByTheDestinationAndOffsetByBothOrigins) {
  MemCanvas src(10, 10);
  RECT all{0, 0, 10, 10};
  FillRect(src.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetViewportOrgEx(src.dc, -2, -2, nullptr);  // logical (2,2) is device (0,0)
  Canvas c(20, 20, POINT{5, 5});
  IntersectClipRect(c.dc, 0, 0, 3, 10);
  BitBlt(c.dc, 1, 1, 6, 6, src.dc, 2, 2, SRCCOPY);
  // Client (1,1)..(3,7) clipped at x = 3: surface (6,6)..(8,12).
  EXPECT_EQ(c.count(kBlack), 2 * 6);
  EXPECT_EQ(c.at(6, 6), kBlack);
  EXPECT_EQ(c.at(8, 6), kWhite);
}

TEST(Blits, StretchIsNearestNeighbourAndNegativeExtentsMirror) {
  MemCanvas src(2, 1);
  SetPixel(src.dc, 0, 0, kRed);
  SetPixel(src.dc, 1, 0, kBlue);
  MemCanvas dst(6, 2);
  StretchBlt(dst.dc, 0, 0, 6, 2, src.dc, 0, 0, 2, 1, SRCCOPY);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.at(x, 1), x < 3 ? kRed : kBlue) << x;
  StretchBlt(dst.dc, 5, 0, -6, 1, src.dc, 0, 0, 2, 1, SRCCOPY);  // covers x = 0..5, mirrored
  EXPECT_EQ(dst.at(0, 0), kBlue);
  EXPECT_EQ(dst.at(2, 0), kBlue);
  EXPECT_EQ(dst.at(3, 0), kRed);
  EXPECT_EQ(dst.at(5, 0), kRed);
}

TEST(Blits, HugeStretchedDestinationsCostOnlyWhatShows) {
  MemCanvas src(2, 2);
  SetPixel(src.dc, 0, 0, kRed);
  Canvas c(8, 8);
  ASSERT_TRUE(StretchBlt(c.dc, 0, 0, 2000000000, 2000000000, src.dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(c.at(7, 7), kRed);  // the red source pixel covers the first billion pixels
}

TEST(Blits, OverlappingCopyWithinOneSurface) {
  Canvas c(10, 1);
  for (int x = 0; x < 10; ++x) c.surface->setPixel(x, 0, plat::pixelFromColor(RGB(x, 0, 0)));
  BitBlt(c.dc, 2, 0, 6, 1, c.dc, 0, 0, SRCCOPY);
  for (int x = 2; x < 8; ++x) EXPECT_EQ(c.at(x, 0), RGB(x - 2, 0, 0));
  c.surface->copyWithin(RECT{2, 0, 8, 1}, POINT{0, 0});
  for (int x = 0; x < 6; ++x) EXPECT_EQ(c.at(x, 0), RGB(x, 0, 0));
}

namespace {

struct Dib {
  std::vector<BYTE> info;
  std::vector<BYTE> bits;
  const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

Dib makeDib(int w, int h, int bpp, const std::vector<RGBQUAD>& table) {
  Dib d;
  d.info.resize(sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD));
  BITMAPINFOHEADER hdr{};
  hdr.biSize = sizeof hdr;
  hdr.biWidth = w;
  hdr.biHeight = h;
  hdr.biPlanes = 1;
  hdr.biBitCount = static_cast<WORD>(bpp);
  hdr.biClrUsed = static_cast<DWORD>(table.size());
  std::memcpy(d.info.data(), &hdr, sizeof hdr);
  if (!table.empty()) std::memcpy(d.info.data() + sizeof hdr, table.data(), table.size() * sizeof(RGBQUAD));
  d.bits.assign(static_cast<size_t>((w * bpp + 31) / 32 * 4 * std::abs(h)), 0);
  return d;
}

const RGBQUAD kQRed{0, 0, 255, 0}, kQBlue{255, 0, 0, 0}, kQWhite{255, 255, 255, 0}, kQBlack{0, 0, 0, 0};

}  // namespace

TEST(Dibs, BottomUpRowsAndEveryDepth) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    // 2x2: bottom row red|blue, top row white|black.
    Dib d = makeDib(2, 2, bpp, bpp <= 8 ? std::vector<RGBQUAD>{kQRed, kQBlue, kQWhite, kQBlack} : std::vector<RGBQUAD>{});
    if (bpp == 1) d = makeDib(2, 2, 1, {kQRed, kQBlue});
    const size_t stride = d.bits.size() / 2;
    auto put = [&](int row, int x, int index, RGBQUAD q) {
      BYTE* r = d.bits.data() + row * stride;
      switch (bpp) {
        case 1: if (index) r[0] |= static_cast<BYTE>(0x80 >> x); break;
        case 4: r[0] |= static_cast<BYTE>(index << (x ? 0 : 4)); break;
        case 8: r[x] = static_cast<BYTE>(index); break;
        case 24: r[x * 3] = q.rgbBlue; r[x * 3 + 1] = q.rgbGreen; r[x * 3 + 2] = q.rgbRed; break;
        case 32: r[x * 4] = q.rgbBlue; r[x * 4 + 1] = q.rgbGreen; r[x * 4 + 2] = q.rgbRed; break;
      }
    };
    put(0, 0, 0, kQRed);
    put(0, 1, 1, kQBlue);
    if (bpp != 1) {
      put(1, 0, 2, kQWhite);
      put(1, 1, 3, kQBlack);
    }
    MemCanvas dst(2, 2);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(dst.at(0, 1), kRed) << bpp;
    EXPECT_EQ(dst.at(1, 1), kBlue) << bpp;
    if (bpp != 1) {
      EXPECT_EQ(dst.at(0, 0), kWhite) << bpp;
      EXPECT_EQ(dst.at(1, 0), kBlack) << bpp;
    }
  }
}

TEST(Dibs, APartOfAStripStretchedOrReachingPastTheImageDrawsThatPartOnly) {
  // A strip of four 2 x 2 images, each a colour of its own (red = 40 * image, green = row, blue = column).
  Dib d = makeDib(8, 2, 24, {});
  const size_t stride = d.bits.size() / 2;
  for (int row = 0; row < 2; ++row)
    for (int x = 0; x < 8; ++x) {
      BYTE* p = d.bits.data() + row * stride + x * 3;
      p[0] = static_cast<BYTE>(x % 2);              // blue
      p[1] = static_cast<BYTE>(1 - row);            // green: 1 on the bottom row (stored first)
      p[2] = static_cast<BYTE>(40 * (x / 2) + 40);  // red
    }
  auto pixel = [](int image, bool bottomRow, int column) { return RGB(40 * image + 40, bottomRow ? 1 : 0, column); };
  // The third image, drawn twice its size.
  MemCanvas big(4, 4);
  StretchDIBits(big.dc, 0, 0, 4, 4, 4, 0, 2, 2, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(big.at(x, y), pixel(2, y / 2 == 1, x / 2)) << x << "," << y;
  // A source reaching one column left of the image and one row below it (source rows count from the
  // bottom): the pixels it finds no image for stay as they were.
  MemCanvas edge(3, 3);
  StretchDIBits(edge.dc, 0, 0, 3, 3, -1, -1, 3, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(edge.at(0, y), RGB(255, 255, 255)) << y;
  for (int x = 0; x < 3; ++x) EXPECT_EQ(edge.at(x, 2), RGB(255, 255, 255)) << x;
  EXPECT_EQ(edge.at(1, 0), pixel(0, false, 0));
  EXPECT_EQ(edge.at(2, 0), pixel(0, false, 1));
  EXPECT_EQ(edge.at(1, 1), pixel(0, true, 0));
  EXPECT_EQ(edge.at(2, 1), pixel(0, true, 1));
}

TEST(Dibs, SourceRowsCountFromTheBottomAndTopDownDibsAreRead) {
  Dib d = makeDib(1, 4, 24, {});
  for (int row = 0; row < 4; ++row) d.bits[row * 4 + 2] = static_cast<BYTE>(row * 10);  // red = 10 * row (from the bottom)
  MemCanvas dst(1, 1);
  StretchDIBits(dst.dc, 0, 0, 1, 1, 0, 1, 1, 1, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), RGB(10, 0, 0));
  BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(d.info.data());
  h->biHeight = -4;  // top-down: row 0 first
  StretchDIBits(dst.dc, 0, 0, 1, 1, 0, 1, 1, 1, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), RGB(10, 0, 0));
  StretchDIBits(dst.dc, 0, 0, 1, 1, 0, 3, 1, 1, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(dst.at(0, 0), RGB(30, 0, 0));
  // SetDIBitsToDevice: the whole image, bottom row last.
  h->biHeight = 4;
  MemCanvas col(1, 4);
  EXPECT_EQ(SetDIBitsToDevice(col.dc, 0, 0, 1, 4, 0, 0, 0, 4, d.bits.data(), d.bmi(), DIB_RGB_COLORS), 4);
  EXPECT_EQ(col.at(0, 3), RGB(0, 0, 0));
  EXPECT_EQ(col.at(0, 0), RGB(30, 0, 0));
}

TEST(Dibs, MalformedHeadersAreRefused) {
  Dib d = makeDib(2, 2, 24, {});
  BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(d.info.data());
  MemCanvas dst(2, 2);
  h->biWidth = 30000;
  h->biHeight = 30000;  // larger than any bitmap this platform accepts
  EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
  h->biWidth = 2;
  h->biHeight = 2;
  h->biBitCount = 16;
  EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
  h->biBitCount = 24;
  h->biCompression = BI_RLE8;
  EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
  h->biCompression = BI_RGB;
  h->biPlanes = 2;
  EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(Dibs, DibSectionBitsAndDrawingStayInStep) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 2;  // bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* raw = nullptr;
  HBITMAP sec = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
  ASSERT_NE(sec, nullptr);
  ASSERT_NE(raw, nullptr);
  auto* px = static_cast<DWORD*>(raw);
  px[0] = 0x00FF0000;  // bottom-left red (BGRX as a little-endian DWORD)
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, sec);
  EXPECT_EQ(GetPixel(mem, 0, 1), kRed);
  SetPixel(mem, 3, 0, kBlue);  // top-right
  GdiFlush();
  EXPECT_EQ(px[4 + 3], 0x000000FFu);
  DIBSECTION ds{};
  EXPECT_EQ(GetObject(sec, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(ds.dsBmih.biHeight, 2);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(sec);
}

TEST(Dibs, GetDIBitsReadsBackWhatWasDrawn) {
  MemCanvas src(3, 2);
  SetPixel(src.dc, 0, 0, kRed);
  SetPixel(src.dc, 2, 1, kBlue);
  SelectObject(src.dc, src.old);  // GetDIBits wants the bitmap deselected
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_EQ(GetDIBits(src.dc, src.bitmap, 0, 2, nullptr, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(info.bmiHeader.biWidth, 3);
  info.bmiHeader.biBitCount = 24;
  std::vector<BYTE> bits(static_cast<size_t>(12 * 2));
  ASSERT_EQ(GetDIBits(src.dc, src.bitmap, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
  // Bottom-up: row 0 in memory is the bottom row (y = 1).
  EXPECT_EQ(bits[2 * 3 + 0], 255);  // blue at (2, 1): B
  EXPECT_EQ(bits[12 + 2], 255);     // red at (0, 0): R
  src.old = SelectObject(src.dc, src.bitmap);
}

// A header larger than the classic one, or 32-bit standard bit-field masks, reads alike at every DIB door.
TEST(Dibs, EveryHeaderFormReadsAlikeAtEveryDoor) {
  struct Row { DWORD headerSize, compression; int bpp; };
  for (const Row& row : {Row{40, BI_BITFIELDS, 32}, Row{108, BI_RGB, 32}, Row{108, BI_BITFIELDS, 32},
                         Row{124, BI_RGB, 24}, Row{108, BI_RGB, 8}}) {
    SCOPED_TRACE(testing::Message() << row.headerSize << " " << row.compression << " " << row.bpp);
    Dib d = makeDib(2, 1, row.bpp, row.bpp == 8 ? std::vector<RGBQUAD>{kQRed, kQBlue} : std::vector<RGBQUAD>{});
    const DWORD masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};  // inside a larger header, after the classic one
    const size_t extra = row.headerSize == sizeof(BITMAPINFOHEADER) ? 12 : row.headerSize - sizeof(BITMAPINFOHEADER);
    d.info.insert(d.info.begin() + sizeof(BITMAPINFOHEADER), extra, 0);
    std::memcpy(d.info.data() + sizeof(BITMAPINFOHEADER), masks, sizeof masks);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(d.info.data());
    h->biSize = row.headerSize;
    h->biCompression = row.compression;
    const size_t n = row.bpp / 8;  // red | blue (index 0 | 1)
    if (row.bpp == 8) d.bits[1] = 1; else d.bits[2] = d.bits[n] = 255;
    MemCanvas drawn(2, 1);
    EXPECT_EQ(StretchDIBits(drawn.dc, 0, 0, 2, 1, 0, 0, 2, 1, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY), 1);
    void* raw = nullptr;
    HBITMAP sec = CreateDIBSection(nullptr, d.bmi(), DIB_RGB_COLORS, &raw, nullptr, 0);
    ASSERT_NE(sec, nullptr);
    std::memcpy(raw, d.bits.data(), d.bits.size());
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, sec);
    for (HDC dc : {drawn.dc, mem}) EXPECT_TRUE(GetPixel(dc, 0, 0) == kRed && GetPixel(dc, 1, 0) == kBlue) << dc;
    SelectObject(mem, old);
    DeleteDC(mem);
    EXPECT_EQ(std::memcmp(raw, d.bits.data(), d.bits.size()), 0);  // still what was written
    DeleteObject(sec);
  }
}
