// The class-library wrappers: ownership, temporaries, typed selection, CString overloads, palettes, LoadBitmap.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/ResourceTable.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

TEST(GdiClasses, WrappersOwnTheirHandlesAndTemporariesDoNot) {
  HGDIOBJ h;
  {
    CPen pen(PS_SOLID, 1, kRed);
    h = pen.m_hObject;
    EXPECT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_PEN));
    CPen* temp = CPen::FromHandle(static_cast<HPEN>(h));
    EXPECT_EQ(temp, CPen::FromHandle(static_cast<HPEN>(h)));  // one temporary per handle
    plat::DeleteTempGdiObjects();
    EXPECT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_PEN));  // the temporary did not delete it
  }
  EXPECT_EQ(GetObjectType(h), 0u);
  CBrush brush(kBlue);
  HGDIOBJ b = brush.Detach();
  EXPECT_FALSE(brush.DeleteObject());
  EXPECT_TRUE(DeleteObject(b));
}

TEST(GdiClasses, TypedSelectionAnswersThePreviousObjects) {
  Canvas c(10, 10);
  CDC dc;
  dc.Attach(c.dc);
  CPen pen(PS_SOLID, 1, kRed);
  CBrush brush(kBlue);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  EXPECT_EQ(oldPen->m_hObject, GetStockObject(BLACK_PEN));
  EXPECT_EQ(oldBrush->m_hObject, GetStockObject(WHITE_BRUSH));
  dc.Rectangle(CRect(0, 0, 5, 5));
  EXPECT_EQ(dc.GetPixel(0, 0), kRed);
  EXPECT_EQ(dc.GetPixel(2, 2), kBlue);
  CRgn rgn;
  rgn.CreateRectRgn(0, 0, 2, 2);
  EXPECT_EQ(dc.SelectObject(&rgn), SIMPLEREGION);
  CRect box;
  EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(0, 0, 2, 2));
  dc.SelectClipRgn(nullptr);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
  EXPECT_EQ(dc.SetViewportOrg(3, 4), CPoint(0, 0));
  EXPECT_EQ(dc.GetViewportOrg(), CPoint(3, 4));
  CSize s(5, 6);
  dc.LPtoDP(&s);
  EXPECT_EQ(s, CSize(5, 6));
  dc.Detach();
  plat::DeleteTempGdiObjects();
}

TEST(GdiClasses, CompatibleMemoryDcOwnsAndDeletesItsDc) {
  HDC h;
  {
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
    h = mem.m_hDC;
    CBitmap bm;
    ASSERT_TRUE(bm.CreateCompatibleBitmap(&mem, 4, 4));
    BITMAP info{};
    bm.GetBitmap(&info);
    EXPECT_EQ(info.bmBitsPixel, 1);  // compatible with the memory DC's default monochrome bitmap
    CDC screen;
    screen.CreateIC("DISPLAY", nullptr, nullptr, nullptr);
    CBitmap colour;
    colour.CreateCompatibleBitmap(&screen, 4, 4);
    CBitmap* old = mem.SelectObject(&colour);
    mem.FillSolidRect(0, 0, 4, 4, kRed);
    EXPECT_EQ(mem.GetPixel(3, 3), kRed);
    mem.SelectObject(old);
  }
  EXPECT_EQ(GetObjectType(h), 0u);
  plat::DeleteTempGdiObjects();
}

TEST(GdiClasses, CStringDrawTextModifiesOnlyWhenAsked) {
  Canvas c(100, 20);
  CDC dc;
  dc.Attach(c.dc);
  CFont font;
  font.CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Test Fixed");
  CFont* old = dc.SelectObject(&font);
  CString s("abcdefghijklmnop");
  CRect r(0, 0, 40, 10);  // eight characters
  dc.DrawText(s, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  EXPECT_EQ(s, CString("abcdefghijklmnop"));
  dc.DrawText(s, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_MODIFYSTRING);
  EXPECT_EQ(s, CString("abcde..."));
  // A CString has room for the ellipsis even when the shortened text is longer than the original.
  CString tiny("ab");
  CRect one(0, 0, 5, 10);
  dc.DrawText(tiny, &one, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_MODIFYSTRING);
  EXPECT_EQ(tiny, CString("..."));
  EXPECT_EQ(dc.GetTextExtent(CString("abc")), CSize(15, 10));
  CString face;
  dc.GetTextFace(face);
  EXPECT_EQ(face, CString("Test Fixed"));
  dc.SelectObject(old);
  dc.Detach();
  plat::DeleteTempGdiObjects();
}

TEST(GdiClasses, PointFontsFollowTheDcResolution) {
  CFont f;
  ASSERT_TRUE(f.CreatePointFont(80, "MS Sans Serif"));
  LOGFONT lf{};
  f.GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, -11);
  CDC printer;
  ASSERT_TRUE(printer.CreateDC(nullptr, "Recording", nullptr, nullptr));
  EXPECT_TRUE(printer.IsPrinting());
  CFont pf;
  pf.CreatePointFont(100, "Arial", &printer);
  pf.GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, -42);  // 10 points at 300 dpi
}

TEST(Palettes, DefaultPaletteAndPaletteIndexColours) {
  LOGPALETTE* lp = static_cast<LOGPALETTE*>(std::calloc(1, sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY)));
  lp->palVersion = 0x300;
  lp->palNumEntries = 3;
  lp->palPalEntry[0] = {10, 20, 30, 0};
  lp->palPalEntry[2] = {250, 0, 0, 0};
  CPalette pal;
  ASSERT_TRUE(pal.CreatePalette(lp));
  EXPECT_EQ(pal.GetEntryCount(), 3);
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(255, 0, 0)), 2u);
  lp->palVersion = 0x200;
  EXPECT_EQ(CreatePalette(lp), nullptr);
  std::free(lp);
  Canvas c(4, 4);
  CDC dc;
  dc.Attach(c.dc);
  CPalette* old = dc.SelectPalette(&pal, FALSE);
  EXPECT_EQ(old->m_hObject, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(dc.RealizePalette(), 0u);
  // PALETTEINDEX(n) is the n-th of the 20 static colours; PALETTERGB its RGB.
  dc.FillSolidRect(0, 0, 1, 1, PALETTEINDEX(1));
  dc.FillSolidRect(1, 0, 1, 1, PALETTEINDEX(13));
  dc.FillSolidRect(2, 0, 1, 1, PALETTERGB(1, 2, 3));
  EXPECT_EQ(c.at(0, 0), RGB(128, 0, 0));
  EXPECT_EQ(c.at(1, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.at(2, 0), RGB(1, 2, 3));
  PALETTEENTRY sys[20];
  EXPECT_EQ(GetSystemPaletteEntries(c.dc, 0, 20, sys), 20u);
  EXPECT_EQ(sys[19].peRed, 255);
  dc.SelectPalette(old, FALSE);
  dc.Detach();
  plat::DeleteTempGdiObjects();
}

TEST(Bitmaps, LoadBitmapReadsPackedDibsFromTheResourceTable) {
  // A 2x2 4-bit DIB: bottom row red, blue; top row white, black.
  static std::vector<BYTE> dib = [] {
    std::vector<BYTE> d(sizeof(BITMAPINFOHEADER) + 16 * 4 + 2 * 4, 0);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 2;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 4;
    std::memcpy(d.data(), &h, sizeof h);
    const RGBQUAD table[4] = {{0, 0, 255, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 0, 0}};
    std::memcpy(d.data() + sizeof h, table, sizeof table);
    BYTE* rows = d.data() + sizeof h + 16 * 4;
    rows[0] = 0x01;
    rows[4] = 0x23;
    return d;
  }();
  HINSTANCE mod = plat::ResourceTable::ModuleHandle("gdi-tests");
  plat::ResourceTable::AddResource(mod, RT_BITMAP, MAKEINTRESOURCE(301), dib);
  HBITMAP bm = LoadBitmap(mod, MAKEINTRESOURCE(301));
  ASSERT_NE(bm, nullptr);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bm);
  EXPECT_EQ(GetPixel(mem, 0, 1), kRed);
  EXPECT_EQ(GetPixel(mem, 1, 1), kBlue);
  EXPECT_EQ(GetPixel(mem, 0, 0), kWhite);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bm);
  EXPECT_EQ(LoadBitmap(mod, MAKEINTRESOURCE(302)), nullptr);
  // A truncated block is refused.
  static std::vector<BYTE> cut(dib.begin(), dib.end() - 3);
  plat::ResourceTable::AddResource(mod, RT_BITMAP, MAKEINTRESOURCE(303), cut);
  EXPECT_EQ(LoadBitmap(mod, MAKEINTRESOURCE(303)), nullptr);
  plat::ResourceTable::RemoveModule(mod);
}
