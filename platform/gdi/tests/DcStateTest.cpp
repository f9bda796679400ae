// DC state: SaveDC/RestoreDC, selection and deferred deletion, mapping modes, the two clip layers, system
// colours and metrics.
#include <gtest/gtest.h>

#include <array>

#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"
#include "platform/gdi/RecordingDC.h"
#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

TEST(DcState, SaveAndRestoreBringBackAttributesAndObjects) {
  Canvas c(20, 20);
  HPEN red = CreatePen(PS_SOLID, 1, kRed);
  const int level = SaveDC(c.dc);
  EXPECT_EQ(level, 1);
  SelectObject(c.dc, red);
  SetTextColor(c.dc, kBlue);
  SetBkMode(c.dc, TRANSPARENT);
  SetViewportOrgEx(c.dc, 5, 5, nullptr);
  IntersectClipRect(c.dc, 0, 0, 3, 3);
  EXPECT_EQ(SaveDC(c.dc), 2);
  SetTextColor(c.dc, kRed);
  EXPECT_TRUE(RestoreDC(c.dc, -1));
  EXPECT_EQ(GetTextColor(c.dc), kBlue);
  EXPECT_TRUE(RestoreDC(c.dc, level));
  EXPECT_EQ(GetTextColor(c.dc), kBlack);
  EXPECT_EQ(GetBkMode(c.dc), OPAQUE);
  EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  RECT box{};
  EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 20);
  EXPECT_FALSE(RestoreDC(c.dc, 1));  // nothing saved any more
  DeleteObject(red);
}

TEST(DcState, DeletingASelectedObjectIsDeferredUntilDeselected) {
  Canvas c(4, 4);
  HBRUSH b = CreateSolidBrush(kRed);
  HGDIOBJ old = SelectObject(c.dc, b);
  EXPECT_TRUE(DeleteObject(b));
  // Still usable while selected.
  EXPECT_EQ(GetObjectType(b), static_cast<DWORD>(OBJ_BRUSH));
  PatBlt(c.dc, 0, 0, 4, 4, PATCOPY);
  EXPECT_EQ(c.at(2, 2), kRed);
  SelectObject(c.dc, old);
  EXPECT_EQ(GetObjectType(b), 0u);
  // Stock objects survive DeleteObject.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(DcState, DeletingTheDcFreesObjectsWhoseDeletionWasDeferred) {
  GetStockObject(WHITE_BRUSH);  // stock objects exist before counting
  const size_t before = plat::GdiObjectCount();
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(4, 4, 1, 1, nullptr);
  HPEN pen = CreatePen(PS_DOT, 1, kRed);
  SelectObject(mem, bm);
  SelectObject(mem, pen);
  SaveDC(mem);
  EXPECT_TRUE(DeleteObject(bm));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(plat::GdiObjectCount(), before + 3);
  DeleteDC(mem);
  EXPECT_EQ(plat::GdiObjectCount(), before);
  EXPECT_EQ(GetObjectType(bm), 0u);
  EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(DcState, ForeignHandlesAreNotGdiObjects) {
  // Cell bitmaps are global memory blocks that some callers hand to DeleteObject; that must fail harmlessly.
  HGLOBAL movable = GlobalAlloc(GHND, 64);
  HGLOBAL fixed = GlobalAlloc(GPTR, 64);
  HDC dc = CreateCompatibleDC(nullptr);
  for (HANDLE h : {movable, fixed, static_cast<HANDLE>(dc), static_cast<HANDLE>(nullptr)}) {
    SetLastError(0);
    EXPECT_FALSE(DeleteObject(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  DeleteDC(dc);
  for (HGLOBAL h : {movable, fixed}) {
    EXPECT_EQ(GetObjectType(h), 0u);
    EXPECT_EQ(GlobalSize(h), 64u);
  }
  EXPECT_EQ(SelectObject(MemCanvas::screenDc(), movable), nullptr);
  GlobalFree(movable);
  GlobalFree(fixed);
}

TEST(DcState, ABitmapIsSelectedIntoOneMemoryDcAtATime) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateCompatibleBitmap(MemCanvas::screenDc(), 8, 8);
  HGDIOBJ oldA = SelectObject(a, bm);
  EXPECT_NE(oldA, nullptr);
  EXPECT_EQ(SelectObject(b, bm), nullptr);
  // A new compatible bitmap starts black.
  EXPECT_EQ(GetPixel(a, 3, 3), kBlack);
  SelectObject(a, oldA);
  EXPECT_NE(SelectObject(b, bm), nullptr);
  DeleteDC(a);
  DeleteDC(b);
  EXPECT_TRUE(DeleteObject(bm));
  EXPECT_EQ(GetObjectType(a), 0u);
}

TEST(DcState, ObjectTypesAndDeviceCaps) {
  Canvas c(4, 4);
  HDC mem = CreateCompatibleDC(c.dc);
  EXPECT_EQ(GetObjectType(c.dc), static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(GetObjectType(mem), static_cast<DWORD>(OBJ_MEMDC));
  for (HDC dc : {c.dc, mem, MemCanvas::screenDc()}) {
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1280);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1024);
  }
  EXPECT_EQ(GetObjectType(CreatePen(PS_SOLID, 1, 0)), static_cast<DWORD>(OBJ_PEN));
  LOGBRUSH lb{BS_SOLID, 0, 0};
  HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, 3, &lb, 0, nullptr);
  EXPECT_EQ(GetObjectType(ext), static_cast<DWORD>(OBJ_EXTPEN));
  DeleteObject(ext);
  DeleteDC(mem);
}

TEST(DcState, MappingModesConvertBothWaysExactly) {
  Canvas c(100, 100);
  SetViewportOrgEx(c.dc, 10, 20, nullptr);
  SetWindowOrgEx(c.dc, 3, 4, nullptr);
  POINT p{5, 6};
  LPtoDP(c.dc, &p, 1);
  EXPECT_EQ(p.x, 12);
  EXPECT_EQ(p.y, 22);
  DPtoLP(c.dc, &p, 1);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 6);
  // MM_TEXT ignores extents.
  EXPECT_TRUE(SetWindowExtEx(c.dc, 10, 10, nullptr));
  SIZE e{};
  GetWindowExtEx(c.dc, &e);
  EXPECT_EQ(e.cx, 1);
  EXPECT_EQ(SetMapMode(c.dc, MM_ANISOTROPIC), MM_TEXT);
  SetWindowOrgEx(c.dc, 0, 0, nullptr);
  SetViewportOrgEx(c.dc, 0, 0, nullptr);
  SetWindowExtEx(c.dc, 1000, 1000, nullptr);
  SetViewportExtEx(c.dc, 300, -150, nullptr);
  POINT q[2] = {{100, 100}, {1000, -1000}};
  LPtoDP(c.dc, q, 2);
  EXPECT_EQ(q[0].x, 30);
  EXPECT_EQ(q[0].y, -15);
  EXPECT_EQ(q[1].x, 300);
  EXPECT_EQ(q[1].y, 150);
  // A scaled fill lands on the mapped pixels.
  RECT r{0, 0, 100, -200};
  FillRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.at(0, 0), kBlack);
  EXPECT_EQ(c.at(29, 29), kBlack);
  EXPECT_EQ(c.at(30, 0), kWhite);
  EXPECT_EQ(c.at(0, 30), kWhite);
}

TEST(DcState, SystemClipAndApplicationClipBothApply) {
  // A child window at (10, 10) of its top-level back buffer, with an update region of two rectangles.
  Canvas c(60, 60, POINT{10, 10});
  const RECT update[] = {{10, 10, 30, 30}, {40, 10, 50, 20}};
  ASSERT_TRUE(plat::SetDCSystemClip(c.dc, update));
  RECT box{};
  EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 40);
  EXPECT_EQ(box.bottom, 20);
  // Application clip in client coordinates; SelectClipRgn(NULL) drops only it.
  EXPECT_EQ(IntersectClipRect(c.dc, 5, 5, 35, 15), COMPLEXREGION);
  RECT all{-10, -10, 60, 60};
  FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.at(15, 15), kBlack);   // client (5,5)
  EXPECT_EQ(c.at(14, 15), kWhite);   // left of the application clip
  EXPECT_EQ(c.at(35, 15), kWhite);   // between the two update rectangles
  EXPECT_EQ(c.at(44, 15), kBlack);   // client (34,5)
  EXPECT_EQ(c.at(45, 15), kWhite);   // right of the application clip
  EXPECT_EQ(c.at(20, 25), kWhite);   // below the application clip
  EXPECT_EQ(SelectClipRgn(c.dc, nullptr), COMPLEXREGION);
  FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.at(20, 25), kBlack);
  EXPECT_EQ(c.at(35, 15), kWhite);  // the system clip still holds
  EXPECT_EQ(c.count(kBlack), 20 * 20 + 10 * 10);
  ASSERT_TRUE(plat::ClearDCSystemClip(c.dc));
  EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, -10);
  EXPECT_EQ(box.right, 50);
}

TEST(DcState, ChildWindowDcsShareOneBackBuffer) {
  // A top-level back buffer with two children: each DC draws in its own client coordinates, clipped to its
  // visible part; moving the child and swapping the buffer (a resize) keep the DC usable.
  auto back = plat::Surface::create(40, 20);
  back->fillAll(plat::pixelFromColor(kWhite));
  HDC left = plat::CreateSurfaceDC(back, POINT{0, 0}, plat::SurfaceDcKind::Paint);
  HDC right = plat::CreateSurfaceDC(back, POINT{20, 0}, plat::SurfaceDcKind::Paint);
  const RECT leftVisible[] = {{0, 0, 20, 20}};
  const RECT rightVisible[] = {{20, 0, 40, 20}};
  plat::SetDCSystemClip(left, leftVisible);
  plat::SetDCSystemClip(right, rightVisible);
  RECT all{0, 0, 100, 100};
  FillRect(left, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(right, &all, red);
  EXPECT_EQ(plat::colorFromPixel(back->pixel(19, 5)), kBlack);
  EXPECT_EQ(plat::colorFromPixel(back->pixel(20, 5)), kRed);
  EXPECT_EQ(GetPixel(right, 0, 0), kRed);
  POINT org{};
  GetDCOrgEx(right, &org);
  EXPECT_EQ(org.x, 20);
  // The child moves 5 pixels right: its pixel (0, 0) is now back-buffer (25, 0).
  plat::SetDCOrigin(right, POINT{25, 0});
  SetPixel(right, 0, 0, kBlue);
  EXPECT_EQ(plat::colorFromPixel(back->pixel(25, 0)), kBlue);
  // A new, larger back buffer; the old one stays alive as long as someone holds it.
  auto bigger = plat::Surface::create(60, 30);
  ASSERT_TRUE(plat::SetDCSurface(right, bigger));
  plat::ClearDCSystemClip(right);
  EXPECT_EQ(plat::SurfaceOfDC(right), bigger);
  SetPixel(right, 30, 25, kBlue);
  EXPECT_EQ(plat::colorFromPixel(bigger->pixel(55, 25)), kBlue);
  DeleteDC(left);
  DeleteDC(right);
  DeleteObject(red);
  EXPECT_FALSE(plat::SetDCOrigin(right, POINT{0, 0}));  // a released DC is gone
}

TEST(DcState, NestedClippingNarrowsAndExcludeMakesHoles) {
  Canvas c(40, 40);
  IntersectClipRect(c.dc, 0, 0, 30, 30);
  const int saved = SaveDC(c.dc);
  IntersectClipRect(c.dc, 10, 10, 40, 40);
  EXPECT_EQ(ExcludeClipRect(c.dc, 15, 15, 20, 20), COMPLEXREGION);
  RECT box{};
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 30);
  EXPECT_FALSE(PtVisible(c.dc, 17, 17));
  EXPECT_TRUE(PtVisible(c.dc, 12, 17));
  RECT hole{15, 15, 20, 20};
  EXPECT_FALSE(RectVisible(c.dc, &hole));
  RECT all{0, 0, 40, 40};
  FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.count(kBlack), 20 * 20 - 25);
  RestoreDC(c.dc, saved);
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 30);
  // An empty intersection gives NULLREGION and draws nothing.
  EXPECT_EQ(IntersectClipRect(c.dc, 50, 50, 60, 60), NULLREGION);
  EXPECT_EQ(GetClipBox(c.dc, &box), NULLREGION);
}

TEST(DcState, ClipRegionsAreInDeviceUnitsAndFollowTheViewport) {
  Canvas c(30, 30);
  SetViewportOrgEx(c.dc, 10, 10, nullptr);
  HRGN r = CreateRectRgn(0, 0, 5, 5);  // device coordinates: not moved by the viewport origin
  SelectClipRgn(c.dc, r);
  RECT box{};
  GetClipBox(c.dc, &box);  // logical answer
  EXPECT_EQ(box.left, -10);
  EXPECT_EQ(box.right, -5);
  IntersectClipRect(c.dc, -8, -8, 0, 0);  // logical
  GetClipBox(c.dc, &box);
  EXPECT_EQ(box.left, -8);
  EXPECT_EQ(box.right, -5);
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc, got), 1);
  RECT rb{};
  GetRgnBox(got, &rb);
  EXPECT_EQ(rb.left, 2);
  DeleteObject(got);
  DeleteObject(r);
}

TEST(SystemTables, ClassicColoursAndMetrics) {
  plat::ResetSysColorsAndMetrics();
  const std::array<std::pair<int, COLORREF>, 15> colours = {{
      {COLOR_BTNFACE, RGB(192, 192, 192)},
      {COLOR_3DLIGHT, RGB(192, 192, 192)},
      {COLOR_BTNSHADOW, RGB(128, 128, 128)},
      {COLOR_GRAYTEXT, RGB(128, 128, 128)},
      {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
      {COLOR_WINDOW, RGB(255, 255, 255)},
      {COLOR_3DDKSHADOW, RGB(0, 0, 0)},
      {COLOR_WINDOWFRAME, RGB(0, 0, 0)},
      {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
      {COLOR_MENUTEXT, RGB(0, 0, 0)},
      {COLOR_BTNTEXT, RGB(0, 0, 0)},
      {COLOR_HIGHLIGHT, RGB(0, 0, 128)},
      {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
      {COLOR_INFOBK, RGB(255, 255, 225)},
      {COLOR_INFOTEXT, RGB(0, 0, 0)},
  }};
  for (auto [index, rgb] : colours) EXPECT_EQ(GetSysColor(index), rgb) << "index " << index;
  EXPECT_EQ(GetSysColor(31), 0u);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
  EXPECT_EQ(GetSystemMetrics(SM_DBCSENABLED), 0);
  EXPECT_EQ(GetSystemMetrics(SM_PENWINDOWS), 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  RECT work{};
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work.right, 1280);
  EXPECT_EQ(work.bottom, 1024);
  EXPECT_FALSE(SystemParametersInfo(0x1234, 0, &work, 0));
}

TEST(SystemTables, SysColorBrushesFollowTheTable) {
  plat::ResetSysColorsAndMetrics();
  Canvas c(4, 4);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  RECT r{0, 0, 4, 4};
  const INT index = COLOR_BTNFACE;
  const COLORREF green = RGB(0, 200, 0);
  ASSERT_TRUE(plat::SetSysColorValues(1, &index, &green));
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
  FillRect(c.dc, &r, face);
  EXPECT_EQ(c.at(1, 1), green);
  // The classic "colour index + 1" brush argument.
  FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1)));
  EXPECT_EQ(c.at(1, 1), RGB(0, 0, 128));
  EXPECT_FALSE(plat::SetSysColorValues(1, nullptr, &green));
  plat::ResetSysColorsAndMetrics();
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
  EXPECT_EQ(plat::SetSystemMetricValue(SM_CXSCREEN, 1920), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  plat::ResetSysColorsAndMetrics();
}
