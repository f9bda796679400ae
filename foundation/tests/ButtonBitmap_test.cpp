// Loading button bitmaps in the system colours, and the transparent and disabled blits, on memory bitmaps.
#include "foundation/ButtonBitmap.h"

#include <cstring>

#include "foundation/tests/FoundationTest.h"
#include "platform/gdi/SysColors.h"

namespace foundation::test {
namespace {

using ButtonBitmapTest = FoundationTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Selects a loaded bitmap into a memory DC for reading.
struct Reader {
  explicit Reader(CBitmap& bitmap) {
    dc.Attach(CreateCompatibleDC(nullptr));
    old = dc.SelectObject(&bitmap);
  }
  ~Reader() {
    dc.SelectObject(old);
    dc.DeleteDC();
  }
  COLORREF At(int x, int y) const { return dc.GetPixel(x, y) & 0xFFFFFF; }
  CDC dc;
  CBitmap* old;
};

std::vector<BYTE> PackedBitmap(DWORD headerSize, WORD bpp, int w, int h, DWORD clrUsed = 0, DWORD compression = 0) {
  const std::size_t colours = bpp <= 8 ? (clrUsed ? clrUsed : (1u << bpp)) : 0;
  const std::size_t stride = ((static_cast<std::size_t>(w) * bpp + 31) / 32) * 4;
  std::vector<BYTE> dib(40 + colours * 4 + stride * static_cast<std::size_t>(h), 0);
  BITMAPINFOHEADER header{headerSize, w, h, 1, bpp, compression, 0, 0, 0, clrUsed, 0};
  std::memcpy(dib.data(), &header, 40);
  return dib;
}

TEST_F(ButtonBitmapTest, ReferenceColoursBecomeTheCurrentSystemColours) {
  RegisterTestBitmap(10, 4, {RGB(0, 0, 0), RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255), kRed},
                     {"01234", "43210"});
  CBitmap bitmap;
  ASSERT_TRUE(LoadButtonBitmap(bitmap, MAKEINTRESOURCE(10)));
  {
    Reader r(bitmap);
    EXPECT_EQ(r.At(0, 0), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(r.At(1, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(r.At(2, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(r.At(3, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(r.At(4, 0), kRed);  // not a reference colour: kept
    EXPECT_EQ(r.At(0, 1), kRed);  // rows stored bottom-up land top-down
  }
  // After a colour change a reload follows it.
  const INT index[] = {COLOR_BTNFACE};
  const COLORREF face[] = {RGB(0xD4, 0xD0, 0xC8)};
  plat::SetSysColorValues(1, index, face);
  ASSERT_TRUE(LoadButtonBitmap(bitmap, MAKEINTRESOURCE(10)));
  Reader r(bitmap);
  EXPECT_EQ(r.At(2, 0), RGB(0xD4, 0xD0, 0xC8));
}

TEST_F(ButtonBitmapTest, OneAndEightBitBitmapsLoadByName) {
  RegisterTestBitmap(11, 1, {RGB(0, 0, 0), RGB(192, 192, 192)}, {"0101", "1010"});
  RegisterTestBitmap(12, 8, {RGB(1, 2, 3), RGB(192, 192, 192)}, {"01", "10"});
  CBitmap one, eight;
  ASSERT_TRUE(LoadButtonBitmap(one, MAKEINTRESOURCE(11)));
  ASSERT_TRUE(LoadButtonBitmap(eight, MAKEINTRESOURCE(12)));
  BITMAP bm{};
  one.GetBitmap(&bm);
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(bm.bmHeight, 2);
  Reader r(eight);
  EXPECT_EQ(r.At(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(r.At(1, 0), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ButtonBitmapTest, OwnArrowBitmapsAreFoundWithoutTheModulesResources) {
  CBitmap down, right;
  ASSERT_TRUE(LoadButtonBitmap(down, MAKEINTRESOURCE(23000)));
  ASSERT_TRUE(LoadButtonBitmap(right, MAKEINTRESOURCE(23001)));
  Reader r(down);
  EXPECT_EQ(r.At(0, 0), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(r.At(0, 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(r.At(3, 3), GetSysColor(COLOR_BTNTEXT));
}

TEST_F(ButtonBitmapTest, RefusesWhatTheButtonsNeverUseAndWhatDoesNotFit) {
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"core header", PackedBitmap(12, 4, 4, 4)});
  cases.push_back({"larger header", PackedBitmap(108, 4, 4, 4)});
  cases.push_back({"24 bits", PackedBitmap(40, 24, 4, 4)});
  cases.push_back({"16 bits", PackedBitmap(40, 16, 4, 4)});
  cases.push_back({"2 bits", PackedBitmap(40, 2, 4, 4)});
  cases.push_back({"run-length", PackedBitmap(40, 8, 4, 4, 0, 1)});
  cases.push_back({"more colours than bits allow", PackedBitmap(40, 1, 4, 4, 3)});
  cases.push_back({"no width", PackedBitmap(40, 4, 0, 4)});
  auto cut = PackedBitmap(40, 8, 4, 4);
  cut.resize(40 + 100);  // the colour table is cut short
  cases.push_back({"short colour table", cut});
  auto rows = PackedBitmap(40, 4, 9, 9);
  rows.pop_back();  // one byte of pixels missing
  cases.push_back({"short pixel rows", rows});
  cases.push_back({"short header", std::vector<BYTE>(39, 0)});
  cases.push_back({"empty", std::vector<BYTE>()});
  auto huge = PackedBitmap(40, 1, 4, 4);
  const LONG tall = 0x7FFFFFFF;
  std::memcpy(huge.data() + 8, &tall, 4);  // rows that cannot fit any resource
  cases.push_back({"huge height", huge});

  UINT id = 100;
  for (Case& c : cases) {
    RegisterRawBitmap(id, c.bytes);
    CBitmap bitmap;
    bitmap.CreateBitmap(1, 1, 1, 1, nullptr);
    EXPECT_FALSE(LoadButtonBitmap(bitmap, MAKEINTRESOURCE(id))) << c.what;
    EXPECT_EQ(bitmap.m_hObject, nullptr) << c.what;
    ++id;
  }
  CBitmap missing;
  EXPECT_FALSE(LoadButtonBitmap(missing, "NOSUCHBITMAP"));
  // The smallest acceptable form passes, so the refusals above are about the fault each one carries.
  RegisterRawBitmap(200, PackedBitmap(40, 4, 9, 9));
  CBitmap fine;
  EXPECT_TRUE(LoadButtonBitmap(fine, MAKEINTRESOURCE(200)));
}

TEST_F(ButtonBitmapTest, TransparentBlitLeavesTheDestinationWhereTheSourceIsTransparent) {
  MemoryImage src(3, 2, kMagenta), dst(5, 4, RGB(10, 20, 30));
  src.dc.SetPixel(1, 0, kRed);
  src.dc.SetPixel(2, 1, RGB(0, 0, 0));
  DrawBitmapTransparent(&dst.dc, 1, 1, 3, 2, &src.dc, 0, 0, kMagenta, FALSE);
  EXPECT_EQ(dst.At(1, 1), RGB(10, 20, 30));  // transparent
  EXPECT_EQ(dst.At(2, 1), kRed);
  EXPECT_EQ(dst.At(3, 2), RGB(0, 0, 0));
  EXPECT_EQ(dst.At(0, 0), RGB(10, 20, 30));  // outside the area
  EXPECT_EQ(dst.At(4, 3), RGB(10, 20, 30));
}

TEST_F(ButtonBitmapTest, HighlightedTransparentBlitSwapsExtremesAndLightens) {
  MemoryImage src(3, 1, kMagenta), dst(3, 1, RGB(1, 1, 1));
  src.dc.SetPixel(0, 0, RGB(255, 255, 255));  // light: black, then lightened
  src.dc.SetPixel(1, 0, RGB(20, 20, 20));     // dark: white stays white
  src.dc.SetPixel(2, 0, RGB(100, 150, 200));  // in between: only lightened
  DrawBitmapTransparent(&dst.dc, 0, 0, 3, 1, &src.dc, 0, 0, kMagenta, TRUE);
  EXPECT_EQ(dst.At(0, 0), RGB(32, 32, 32));
  EXPECT_EQ(dst.At(1, 0), RGB(255, 255, 255));
  EXPECT_EQ(dst.At(2, 0), RGB(132, 182, 232));
}

TEST_F(ButtonBitmapTest, DisabledBlitPaintsDarkPixelsInTheFillColourOnly) {
  const COLORREF background = RGB(200, 210, 220);
  MemoryImage src(4, 1, kMagenta), dst(4, 1, background);
  src.dc.SetPixel(0, 0, RGB(0, 0, 0));        // black: ink
  src.dc.SetPixel(1, 0, RGB(128, 0, 0));      // dark: ink
  src.dc.SetPixel(2, 0, RGB(240, 240, 240));  // light: left alone
  DrawBitmapDisabled(&dst.dc, 0, 0, 4, 1, &src.dc, 0, 0, kMagenta, RGB(128, 128, 128));
  EXPECT_EQ(dst.At(0, 0), RGB(128, 128, 128));
  EXPECT_EQ(dst.At(1, 0), RGB(128, 128, 128));
  EXPECT_EQ(dst.At(2, 0), background);
  EXPECT_EQ(dst.At(3, 0), background);  // transparent
  // The destination's colours and brush come back as they were.
  EXPECT_EQ(dst.dc.GetBkColor() & 0xFFFFFF, background);
}

}  // namespace
}  // namespace foundation::test
