// Cell bitmaps: references in cell texts, the pool, and drawing at natural size or scaled to fit.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

namespace {

// A 24-bit packed DIB of one colour (blue, green, red bytes).
std::vector<BYTE> SolidDib(LONG w, LONG h, BYTE r, BYTE g, BYTE b) {
  return gx::MakeDib24(w, h, [&](int, int) { return RGB(r, g, b); });
}

HGLOBAL ToGlobal(const std::vector<BYTE>& bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
  GlobalUnlock(h);
  return h;
}

const std::vector<BYTE>& RedDib() {
  static const std::vector<BYTE> dib = SolidDib(16, 16, 255, 0, 0);
  return dib;
}

// An 8-bit 4 x 1 DIB whose pixels are black, dark grey, light grey and white, then red.
const std::vector<BYTE>& GreyScaleDib() {
  static const std::vector<BYTE> dib = [] {
    BITMAPINFOHEADER hdr{};
    hdr.biSize = sizeof hdr;
    hdr.biWidth = 5;
    hdr.biHeight = 1;
    hdr.biPlanes = 1;
    hdr.biBitCount = 8;
    hdr.biClrUsed = 5;
    std::vector<BYTE> out(sizeof hdr);
    std::memcpy(out.data(), &hdr, sizeof hdr);
    for (BYTE v : {0, 128, 192, 255}) out.insert(out.end(), {v, v, v, 0});
    out.insert(out.end(), {0, 0, 255, 0});
    out.insert(out.end(), {0, 1, 2, 3, 4, 0, 0, 0});
    return out;
  }();
  return dib;
}

TEST(CGXSysColorTable, BitmapsTakeTheButtonColoursOnRefresh) {
  // The bitmaps come from the program's modules, as the buttons' bitmaps do.
  const HINSTANCE kept = AfxGetInstanceHandle();
  const HINSTANCE program = plat::ResourceTable::ModuleHandle("gxcolortabletest");
  plat::ResourceTable::AddResource(program, RT_BITMAP, MAKEINTRESOURCE(20028), GreyScaleDib());
  plat::SetInstanceHandle(program);
  CGXSysColorTable::Refresh();
  plat::SetInstanceHandle(kept);
  CBitmap* bitmap = CGXSysColorTable::GetBitmap(20028);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(CGXSysColorTable::GetBitmap(20211), nullptr);  // not in this module: no bitmap, no crash
  EXPECT_EQ(CGXSysColorTable::GetBitmap(20029), nullptr);
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap* old = dc.SelectObject(bitmap);
  EXPECT_EQ(dc.GetPixel(0, 0), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(dc.GetPixel(1, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(dc.GetPixel(2, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(dc.GetPixel(3, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(dc.GetPixel(4, 0), RGB(255, 0, 0));
  dc.SelectObject(old);
}

TEST(CGXDIBPool, ParsesReferences) {
  CGXDIBPool pool;
  CString name;
  EXPECT_EQ(pool.ParseReference("#BMP(20211)", name), 20211u);
  EXPECT_EQ(name, "#20211");
  EXPECT_NE(pool.ParseReference("#BMP(\"LOGO\")", name), 0u);
  EXPECT_EQ(name, "LOGO");
  EXPECT_EQ(pool.ParseReference("#BMP(0)", name), 0u);
  EXPECT_EQ(pool.ParseReference("#BMP()", name), 0u);
  EXPECT_EQ(pool.ParseReference("plain text", name), 0u);
  EXPECT_EQ(pool.ParseReference("#BMP(65537)", name), 0u);  // refused, not taken as id 1
  CString ref;
  pool.FormatIdReference(12, ref);
  EXPECT_EQ(ref, "#BMP(12)");
  pool.FormatNameReference("LOGO", ref);
  EXPECT_EQ(ref, "#BMP(\"LOGO\")");
}

TEST(CGXDIBPool, LoadsEachBitmapOnce) {
  const HINSTANCE grid = plat::ResourceTable::ModuleHandle("grid");
  plat::ResourceTable::AddResource(grid, RT_BITMAP, MAKEINTRESOURCE(31001), RedDib());
  plat::ResourceTable::AddResource(grid, RT_BITMAP, "REDNAMED", RedDib());
  CGXDIBPool pool;
  HGLOBAL a = pool.GetDIB("#BMP(31001)");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(pool.GetDIB("#BMP(31001)"), a);
  EXPECT_NE(pool.GetDIB("#BMP(\"REDNAMED\")"), nullptr);
  EXPECT_EQ(pool.GetDIB("#BMP(31999)"), nullptr);
  EXPECT_EQ(pool.GetDIB("#BMP(31999)"), nullptr);
  EXPECT_EQ(pool.GetCount(), 3);  // the missing one is remembered too
}

TEST(CGXDIB, MadeDibsPadTheirRowsAndStoreBlueGreenRedFromTheBottom) {
  // Three pixels a row: 9 bytes padded to 12.
  const std::vector<BYTE> dib = gx::MakeDib24(3, 2, [](int x, int y) { return RGB(10 * x, 100 + y, 200); });
  gx::DibInfo info;
  ASSERT_TRUE(gx::InspectDib(dib.data(), dib.size(), info));
  EXPECT_EQ(info.header.biWidth, 3);
  EXPECT_EQ(info.header.biHeight, 2);
  EXPECT_EQ(info.header.biBitCount, 24);
  EXPECT_EQ(info.colors, 0u);
  ASSERT_EQ(dib.size(), info.bitsOffset + 2 * 12);
  const BYTE* bits = dib.data() + info.bitsOffset;
  EXPECT_EQ((std::vector<BYTE>(bits, bits + 12)), (std::vector<BYTE>{200, 100, 0, 200, 100, 10, 200, 100, 20, 0, 0, 0}));
  EXPECT_EQ(bits[12 + 3], 200);  // the second stored row starts after the padding
  EXPECT_EQ(bits[12 + 4], 101);
  EXPECT_EQ(bits[12 + 5], 10);
  // Four pixels need no padding.
  EXPECT_EQ(gx::MakeDib24(4, 1, [](int, int) { return RGB(0, 0, 0); }).size(), info.bitsOffset + 12);
}

TEST(CGXDIB, AttachRefusesWhatIsNoDib) {
  CGXDIB dib;
  EXPECT_FALSE(dib.Attach(nullptr));
  std::vector<BYTE> truncated = RedDib();
  truncated.resize(100);
  HGLOBAL bad = ToGlobal(truncated);
  EXPECT_FALSE(dib.Attach(bad));  // refused: the block stays the caller's
  GlobalFree(bad);
  EXPECT_TRUE(dib.Attach(ToGlobal(RedDib())));
  EXPECT_EQ(dib.GetWidth(), 16);
  EXPECT_EQ(dib.GetHeight(), 16);
  EXPECT_EQ(dib.GetColorCount(), 0u);
  EXPECT_TRUE(dib.Attach(ToGlobal(RedDib())));  // the first block is freed (ASan reports a leak otherwise)
}

class DibDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(bmp.CreateBitmap(60, 60, 1, 32, nullptr));
    old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, 60, 60, RGB(255, 255, 255));
  }
  void TearDown() override { dc.SelectObject(old); }
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
};

TEST_F(DibDraw, NaturalSizeCentred) {
  HGLOBAL h = ToGlobal(RedDib());
  const RECT cell{0, 0, 40, 20};
  CGXDIB::Draw(&dc, h, &cell, CGXDIB::natural, CGXDIB::hCenter | CGXDIB::vCenter);
  // 16 x 16 in 40 x 20: columns 12..27, rows 2..17, not stretched.
  EXPECT_EQ(dc.GetPixel(12, 1), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(12, 2), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(27, 17), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(28, 17), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(27, 18), RGB(255, 255, 255));
  GlobalFree(h);
}

TEST_F(DibDraw, ScaleToFitKeepsTheAspect) {
  HGLOBAL h = ToGlobal(SolidDib(100, 50, 0, 0, 255));
  const RECT cell{0, 0, 50, 50};
  CGXDIB::Draw(&dc, h, &cell, CGXDIB::scaleToFit, 0);
  EXPECT_EQ(dc.GetPixel(49, 24), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(49, 25), RGB(255, 255, 255));
  GlobalFree(h);
}

}  // namespace
