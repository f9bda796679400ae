// Update regions and the paint cycle, pixels in the back buffer, ScrollWindowEx, non-client frames and the
// standard scroll bars (state, client-area changes and mouse handling).
#include "platform/base/VirtualClock.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/NonClient.h"
#include "platform/window/Painter.h"
#include "platform/window/Pump.h"
#include "platform/window/WindowManager.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class Paint : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    top = Top(WS_POPUP | WS_VISIBLE, {0, 0, 200, 150});
    a = Child(top, 1, {10, 10, 110, 60});
    RunUntilIdle();
    ClearLog();
  }
  int Count(HWND h, UINT m) { return static_cast<int>(Entries(h, m).size()); }
  // Colour of a client pixel of a window, read from its top-level back buffer.
  COLORREF PixelAt(HWND h, int x, int y) {
    POINT p{x, y};
    ClientToScreen(h, &p);
    RECT tr;
    GetWindowRect(top, &tr);
    return colorFromPixel(Painter::BackBuffer(h)->pixel(p.x - tr.left, p.y - tr.top)) & 0xFFFFFF;
  }
  // Makes a window paint its whole client area in one colour, or rows of distinct colours.
  void PaintSolid(HWND h, COLORREF c) {
    On(h, [c](HWND hwnd, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m != WM_PAINT) return std::nullopt;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      HBRUSH br = CreateSolidBrush(c);
      FillRect(dc, &r, br);
      DeleteObject(br);
      EndPaint(hwnd, &ps);
      return 0;
    });
  }
  void PaintRows(HWND h) {
    On(h, [](HWND hwnd, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m != WM_PAINT) return std::nullopt;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      for (int y = 0; y < r.bottom; ++y) SetPixel(dc, 0, y, RGB(y, 100, 50));
      EndPaint(hwnd, &ps);
      return 0;
    });
  }
  HWND top{}, a{};
};

TEST_F(Paint, PaintAndEraseOnlyWhenNeeded) {
  EXPECT_EQ(RunUntilIdle(), 0);  // nothing owed after the first cycle
  InvalidateRect(a, nullptr, FALSE);
  InvalidateRect(a, nullptr, FALSE);  // accumulates, still one paint
  RunUntilIdle();
  EXPECT_EQ(Count(a, WM_PAINT), 1);
  EXPECT_EQ(Count(a, WM_ERASEBKGND), 0);
  ClearLog();
  RECT r{0, 0, 10, 10};
  InvalidateRect(a, &r, TRUE);
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a, false), WM_PAINT, WM_ERASEBKGND);  // erased from inside BeginPaint
  ClearLog();
  InvalidateRect(a, &r, TRUE);
  ValidateRect(a, nullptr);
  RunUntilIdle();
  EXPECT_EQ(Count(a, WM_PAINT), 0);
}

TEST_F(Paint, ParentRepaintIncludesChildrenUnlessItClipsThem) {
  InvalidateRect(top, nullptr, FALSE);
  RunUntilIdle();
  EXPECT_EQ(Count(top, WM_PAINT), 1);
  EXPECT_EQ(Count(a, WM_PAINT), 1);
  // Parents paint before their children.
  std::vector<HWND> order;
  for (const Logged& l : All())
    if (l.msg == WM_PAINT) order.push_back(l.hwnd);
  EXPECT_EQ(order, (std::vector<HWND>{top, a}));
  ClearLog();
  SetWindowLong(top, GWL_STYLE, GetWindowLong(top, GWL_STYLE) | WS_CLIPCHILDREN);
  InvalidateRect(top, nullptr, FALSE);
  RunUntilIdle();
  EXPECT_EQ(Count(top, WM_PAINT), 1);
  EXPECT_EQ(Count(a, WM_PAINT), 0);
}

TEST_F(Paint, UpdateWindowPaintsBeforeItReturnsAndOnlyWhenOwed) {
  UpdateWindow(a);
  EXPECT_EQ(Count(a, WM_PAINT), 0);
  InvalidateRect(a, nullptr, TRUE);
  UpdateWindow(a);
  EXPECT_MESSAGES(Log(a, false), WM_PAINT, WM_ERASEBKGND);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(a, &r, FALSE));
  ClearLog();
  InvalidateRect(a, nullptr, FALSE);
  RedrawWindow(a, nullptr, nullptr, RDW_UPDATENOW);
  EXPECT_EQ(Count(a, WM_PAINT), 1);
}

TEST_F(Paint, PaintDcIsClippedToTheUpdateRegion) {
  PaintSolid(a, kRed);
  InvalidateRect(a, nullptr, FALSE);
  RunUntilIdle();
  EXPECT_EQ(PixelAt(a, 50, 20), kRed);
  PaintSolid(a, kBlue);
  RECT strip{0, 0, 100, 5};
  InvalidateRect(a, &strip, FALSE);
  RunUntilIdle();
  EXPECT_EQ(PixelAt(a, 50, 4), kBlue);
  EXPECT_EQ(PixelAt(a, 50, 5), kRed);  // outside the invalid strip nothing changed
  RECT box;
  EXPECT_FALSE(GetUpdateRect(a, &box, FALSE));
}

TEST_F(Paint, ChildPixelsLieOverTheParentAndClipSiblingsOut) {
  PaintSolid(top, kBlue);
  PaintSolid(a, kRed);
  InvalidateRect(top, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(PixelAt(a, 0, 0), kRed);
  EXPECT_EQ(PixelAt(top, 5, 5), kBlue);
  // A hidden child leaves its area to the parent.
  ShowWindow(a, SW_HIDE);
  RunUntilIdle();
  EXPECT_EQ(PixelAt(top, 20, 20), kBlue);
}

// A child that paints ahead of its parent's pending paint (UpdateWindow on it, or a focus change that
// repaints it at once) must not stay painted over when the parent's paint comes later: without
// WS_CLIPCHILDREN the parent's paint owes the child another paint, with it the child is clipped out.
TEST_F(Paint, ChildPaintedAheadOfItsParentSurvivesTheParentsPaint) {
  constexpr COLORREF kGreen = RGB(0, 255, 0);
  // The parent erases and paints blue over its whole client area, as a dialog does.
  On(top, [](HWND hwnd, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH br = CreateSolidBrush(kBlue);
    std::optional<LRESULT> result;
    if (m == WM_ERASEBKGND) {
      FillRect(reinterpret_cast<HDC>(wp), &r, br);
      result = 1;
    } else if (m == WM_PAINT) {
      PAINTSTRUCT ps;
      FillRect(BeginPaint(hwnd, &ps), &r, br);
      EndPaint(hwnd, &ps);
      result = 0;
    }
    DeleteObject(br);
    return result;
  });
  // The button paints red, or green while it has the focus; taking the focus repaints it at once.
  On(a, [](HWND hwnd, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_SETFOCUS || m == WM_KILLFOCUS) {
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateWindow(hwnd);
      return 0;
    }
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH br = CreateSolidBrush(GetFocus() == hwnd ? kGreen : kRed);
    FillRect(dc, &r, br);
    DeleteObject(br);
    EndPaint(hwnd, &ps);
    return 0;
  });
  auto showAgain = [&] {
    ShowWindow(top, SW_HIDE);
    RunUntilIdle();
    ShowWindow(top, SW_SHOW);
  };
  for (DWORD clip : {DWORD{0}, DWORD{WS_CLIPCHILDREN}}) {
    SCOPED_TRACE(clip ? "WS_CLIPCHILDREN" : "no WS_CLIPCHILDREN");
    SetWindowLong(top, GWL_STYLE, (GetWindowLong(top, GWL_STYLE) & ~WS_CLIPCHILDREN) | clip);
    SetFocus(nullptr);

    showAgain();
    UpdateWindow(a);  // the child first, the parent's first paint still pending
    ASSERT_EQ(PixelAt(a, 5, 5), kRed);
    RunUntilIdle();
    EXPECT_EQ(PixelAt(a, 5, 5), kRed);
    EXPECT_EQ(PixelAt(a, 99, 49), kRed);
    EXPECT_EQ(PixelAt(top, 5, 5), kBlue);

    showAgain();
    SetFocus(a);  // the focus moves right after the window was shown
    RunUntilIdle();
    EXPECT_EQ(PixelAt(a, 5, 5), kGreen);

    // Erasing the parent ahead of its paint (GetUpdateRect with erase) wipes the child's area as well.
    InvalidateRect(top, nullptr, TRUE);
    UpdateWindow(a);
    RECT box;
    GetUpdateRect(top, &box, TRUE);
    ValidateRect(top, nullptr);
    RunUntilIdle();
    EXPECT_EQ(PixelAt(a, 5, 5), kGreen);
    EXPECT_EQ(PixelAt(top, 5, 5), kBlue);
  }
  // The child's repaint is owed only where the parent painted: a strip beside it leaves it alone.
  SetWindowLong(top, GWL_STYLE, GetWindowLong(top, GWL_STYLE) & ~WS_CLIPCHILDREN);
  RunUntilIdle();
  ClearLog();
  RECT strip{150, 0, 200, 150};
  InvalidateRect(top, &strip, TRUE);
  RunUntilIdle();
  EXPECT_EQ(Count(top, WM_PAINT), 1);
  EXPECT_EQ(Count(a, WM_PAINT), 0);
}

TEST_F(Paint, UpdateRegionQueriesAndRedrawFlags) {
  RECT r1{0, 0, 10, 10}, r2{20, 20, 30, 30};
  InvalidateRect(a, &r1, FALSE);
  InvalidateRect(a, &r2, FALSE);
  RECT box;
  ASSERT_TRUE(GetUpdateRect(a, &box, FALSE));
  EXPECT_EQ(box.right, 30);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(a, rgn, FALSE), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(rgn, 5, 5));
  EXPECT_FALSE(PtInRegion(rgn, 15, 15));
  ValidateRgn(a, rgn);
  EXPECT_FALSE(GetUpdateRect(a, &box, FALSE));
  // InvalidateRgn and RDW_NOCHILDREN / RDW_ALLCHILDREN.
  InvalidateRgn(a, rgn, FALSE);
  EXPECT_TRUE(GetUpdateRect(a, &box, FALSE));
  DeleteObject(rgn);
  RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
  EXPECT_FALSE(GetUpdateRect(a, &box, FALSE));
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  EXPECT_FALSE(GetUpdateRect(a, &box, FALSE));
  EXPECT_TRUE(GetUpdateRect(top, &box, FALSE));
  SetWindowLong(top, GWL_STYLE, GetWindowLong(top, GWL_STYLE) | WS_CLIPCHILDREN);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(Count(a, WM_PAINT), 1);
  EXPECT_EQ(Count(top, WM_PAINT), 1);
}

TEST_F(Paint, SetRedrawOffHoldsInvalidationBack) {
  PaintSolid(a, kRed);
  InvalidateRect(a, nullptr, FALSE);
  RunUntilIdle();
  ClearLog();
  SendMessage(a, WM_SETREDRAW, FALSE, 0);
  InvalidateRect(a, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(Count(a, WM_PAINT), 0);
  EXPECT_FALSE(IsWindowVisible(a));  // the classic quirk: hidden from drawing means "not visible"
  HDC dc = GetDC(a);
  RECT r{0, 0, 10, 10};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(a, dc);
  EXPECT_EQ(PixelAt(a, 5, 5), kRed);  // drawing while redraw is off shows nothing
  SendMessage(a, WM_SETREDRAW, TRUE, 0);
  RunUntilIdle();
  EXPECT_EQ(Count(a, WM_PAINT), 0);  // turning it back on does not repaint by itself
  InvalidateRect(a, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(Count(a, WM_PAINT), 1);
}

// ---- ScrollWindowEx ---------------------------------------------------------------------------------------

TEST_F(Paint, ScrollMovesPixelsAndLeavesExactlyTheUncoveredStripInvalid) {
  PaintRows(a);
  InvalidateRect(a, nullptr, FALSE);
  RunUntilIdle();
  ASSERT_EQ(PixelAt(a, 0, 30), RGB(30, 100, 50));
  ClearLog();
  // One "row" of 10 pixels up: content moves up, the bottom strip is invalid and erased.
  RECT upd;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  int kind = ScrollWindowEx(a, 0, -10, nullptr, nullptr, rgn, &upd, SW_INVALIDATE | SW_ERASE);
  EXPECT_EQ(kind, SIMPLEREGION);
  EXPECT_EQ(PixelAt(a, 0, 20), RGB(30, 100, 50));
  EXPECT_EQ(PixelAt(a, 0, 39), RGB(49, 100, 50));
  RECT strip{0, 40, 100, 50};
  EXPECT_TRUE(EqualRect(&upd, &strip));
  RECT box;
  ASSERT_TRUE(GetUpdateRect(a, &box, FALSE));
  EXPECT_EQ(box.top, 40);
  EXPECT_EQ(box.bottom, 50);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 100);
  EXPECT_TRUE(WindowManager::Instance().Get(a)->erase);
  DeleteObject(rgn);
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a, false), WM_PAINT, WM_ERASEBKGND);
  EXPECT_EQ(PixelAt(a, 0, 45), RGB(45, 100, 50));

  // Down by 5 inside a sub-rectangle, without erasing: the strip is at the top of that rectangle only.
  RECT area{0, 10, 50, 30};
  ScrollWindowEx(a, 0, 5, &area, &area, nullptr, &upd, SW_INVALIDATE);
  RECT top5{0, 10, 50, 15};
  EXPECT_TRUE(EqualRect(&upd, &top5));
  EXPECT_FALSE(WindowManager::Instance().Get(a)->erase);
  // Rows still hold the first scroll's content (row y shows y + 10): row 10 moved down to row 15.
  EXPECT_EQ(PixelAt(a, 0, 15), RGB(20, 100, 50));
  EXPECT_EQ(PixelAt(a, 0, 29), RGB(34, 100, 50));
  EXPECT_EQ(PixelAt(a, 0, 30), RGB(40, 100, 50));  // below the area: untouched
}

TEST_F(Paint, HorizontalAndDiagonalScrollsMoveEveryPixelByTheOffset) {
  On(a, [](HWND hwnd, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 100; ++x) SetPixel(dc, x, y, RGB(x, y, 7));
    EndPaint(hwnd, &ps);
    return 0;
  });
  InvalidateRect(a, nullptr, FALSE);
  RunUntilIdle();
  On(a, {});
  ScrollWindowEx(a, -7, 0, nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_EQ(PixelAt(a, 0, 3), RGB(7, 3, 7));
  EXPECT_EQ(PixelAt(a, 92, 49), RGB(99, 49, 7));
  ScrollWindowEx(a, 4, 3, nullptr, nullptr, nullptr, nullptr, 0);
  // Now (x, y) shows the original (x - 4 + 7, y - 3).
  EXPECT_EQ(PixelAt(a, 4, 3), RGB(7, 0, 7));
  EXPECT_EQ(PixelAt(a, 60, 40), RGB(63, 37, 7));
  RECT box;
  EXPECT_FALSE(GetUpdateRect(a, &box, FALSE));  // without SW_INVALIDATE nothing was invalidated
}

TEST_F(Paint, ScrollCarriesThePendingUpdateRegionAndChildren) {
  HWND editor = Child(a, 9, {20, 20, 40, 30});
  RunUntilIdle();
  RECT pending{0, 30, 10, 35};
  InvalidateRect(a, &pending, FALSE);
  ClearLog();
  ScrollWindowEx(a, 0, -10, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(a, rgn, FALSE);
  EXPECT_TRUE(PtInRegion(rgn, 5, 22));   // the pending part moved up with the pixels
  EXPECT_FALSE(PtInRegion(rgn, 5, 32));
  EXPECT_TRUE(PtInRegion(rgn, 50, 45));  // and the new strip
  DeleteObject(rgn);
  RECT er;
  GetWindowRect(editor, &er);
  POINT o{0, 0};
  ClientToScreen(a, &o);
  EXPECT_EQ(er.top - o.y, 10);
  EXPECT_EQ(Count(editor, WM_MOVE), 1);
}

// ---- Frames and scroll bars -------------------------------------------------------------------------------

TEST_F(Paint, FramedChildGetsNcPaintAndItsEdgeIsDrawn) {
  HWND framed = Child(top, 3, {120, 10, 190, 60}, WS_CHILD | WS_VISIBLE, "TestWnd", WS_EX_CLIENTEDGE);
  RunUntilIdle();
  EXPECT_EQ(Count(framed, WM_NCPAINT), 1);
  EXPECT_EQ(Count(a, WM_NCPAINT), 0);  // no frame, nothing to paint
  RECT wr;
  GetWindowRect(framed, &wr);
  SurfacePtr buffer = Painter::BackBuffer(framed);
  // Sunken edge: shadow on the outer top-left, highlight on the outer bottom-right.
  EXPECT_EQ(colorFromPixel(buffer->pixel(wr.left + 5, wr.top)) & 0xFFFFFF, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(colorFromPixel(buffer->pixel(wr.left + 5, wr.bottom - 1)) & 0xFFFFFF, GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(colorFromPixel(buffer->pixel(wr.left + 5, wr.top + 1)) & 0xFFFFFF, GetSysColor(COLOR_3DDKSHADOW));
}

TEST_F(Paint, ScrollRangeShowsAndHidesTheBarWithSynchronousSize) {
  ClearLog();
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
  SetScrollInfo(a, SB_VERT, &si, TRUE);
  // Shown at once: the client area is narrower before SetScrollInfo returns.
  EXPECT_TRUE(GetWindowLong(a, GWL_STYLE) & WS_VSCROLL);
  auto sizes = Entries(a, WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(LOWORD(sizes[0].lParam), 100 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_MESSAGES(Log(a), WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE);

  // Positions stay within [min, max - page + 1].
  EXPECT_EQ(SetScrollPos(a, SB_VERT, 500, TRUE), 0);
  EXPECT_EQ(GetScrollPos(a, SB_VERT), 90);
  SetScrollPos(a, SB_VERT, -5, TRUE);
  EXPECT_EQ(GetScrollPos(a, SB_VERT), 0);

  // Nothing left to scroll hides it again, unless asked to stay (disabled).
  ClearLog();
  si = SCROLLINFO{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 9, 10, 0, 0};
  SetScrollInfo(a, SB_VERT, &si, TRUE);
  EXPECT_FALSE(GetWindowLong(a, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(LOWORD(Entries(a, WM_SIZE).at(0).lParam), 100);
  si.fMask |= SIF_DISABLENOSCROLL;
  SetScrollInfo(a, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLong(a, GWL_STYLE) & WS_VSCROLL);

  // Large ranges are kept as given.
  si = SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, 0, 32767, 100, 32000, 0};
  SetScrollInfo(a, SB_HORZ, &si, FALSE);
  SCROLLINFO got{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(a, SB_HORZ, &got));
  EXPECT_EQ(got.nMax, 32767);
  EXPECT_EQ(got.nPos, 32000);
  EXPECT_EQ(got.nPage, 100u);
  ShowScrollBar(a, SB_BOTH, FALSE);
  RECT cr;
  GetClientRect(a, &cr);
  EXPECT_EQ(cr.right, 100);
  EXPECT_EQ(cr.bottom, 50);
}

class ScrollBarMouse : public Paint {
 protected:
  void SetUp() override {
    Paint::SetUp();
    bar = Child(top, 4, {20, 70, 60, 140}, WS_CHILD | WS_VISIBLE | WS_VSCROLL);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(bar, SB_VERT, &si, TRUE);
    RunUntilIdle();
    ClearLog();
    RECT wr;
    GetWindowRect(bar, &wr);
    x = wr.right - 5;
    yTop = wr.top;
    yBottom = wr.bottom;
  }
  std::vector<int> Codes() {
    std::vector<int> out;
    for (const Logged& l : Entries(bar, WM_VSCROLL)) out.push_back(LOWORD(l.wParam));
    return out;
  }
  HWND bar{};
  int x = 0, yTop = 0, yBottom = 0;
};

TEST_F(ScrollBarMouse, HitTestFindsTheBar) {
  EXPECT_EQ(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(x, yTop + 30)), HTVSCROLL);
}

TEST_F(ScrollBarMouse, ArrowsAndTrackSendLineAndPageCodesThenEndScroll) {
  InputRouter& in = InputRouter::Instance();
  in.Click(MouseButton::Left, POINT{x, yBottom - 3});  // down arrow
  RunUntilIdle();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(GetCapture(), nullptr);
  ClearLog();
  in.Click(MouseButton::Left, POINT{x, yTop + 3});  // up arrow
  in.Click(MouseButton::Left, POINT{x, yBottom - 25});  // track below the thumb
  RunUntilIdle();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEUP, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL}));
}

TEST_F(ScrollBarMouse, HeldArrowRepeatsOnTheClock) {
  InputRouter& in = InputRouter::Instance();
  in.ButtonDown(MouseButton::Left, POINT{x, yBottom - 3});
  // The release arrives only after 400 + 2 x 100 ms have passed on the virtual clock.
  ScriptedAutomation script;
  script.Then([] { VirtualClock::Advance(400); })
      .Then([] { VirtualClock::Advance(100); })
      .Then([] { VirtualClock::Advance(100); })
      .Then([&] { in.ButtonUp(MouseButton::Left, POINT{x, yBottom - 3}); });
  SetAutomationProvider(&script);
  RunUntilIdle();
  SetAutomationProvider(nullptr);
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
}

TEST_F(ScrollBarMouse, DisabledArrowsAndDisabledWindowsIgnoreClicks) {
  InputRouter& in = InputRouter::Instance();
  EXPECT_TRUE(EnableScrollBar(bar, SB_VERT, ESB_DISABLE_LTUP));
  in.Click(MouseButton::Left, POINT{x, yTop + 3});      // the disabled up arrow
  in.Click(MouseButton::Left, POINT{x, yBottom - 3});   // the down arrow still works
  RunUntilIdle();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
  ClearLog();
  EnableScrollBar(bar, SB_VERT, ESB_DISABLE_BOTH);
  in.Click(MouseButton::Left, POINT{x, yBottom - 3});
  RunUntilIdle();
  EXPECT_TRUE(Codes().empty());
}

TEST_F(ScrollBarMouse, ThumbDragTracksAndEndsWithThePosition) {
  InputRouter& in = InputRouter::Instance();
  int thumbY = yTop + GetSystemMetrics(SM_CYVSCROLL) + 2;
  in.ButtonDown(MouseButton::Left, POINT{x, thumbY});
  in.MouseMove(POINT{x, thumbY + 10});
  in.MouseMove(POINT{x, yBottom + 50});  // far below: clamped to the last position
  in.ButtonUp(MouseButton::Left, POINT{x, yBottom + 50});
  RunUntilIdle();
  auto all = Entries(bar, WM_VSCROLL);
  ASSERT_GE(all.size(), 4u);
  EXPECT_EQ(LOWORD(all[0].wParam), SB_THUMBTRACK);
  EXPECT_GT(HIWORD(all[0].wParam), 0);
  EXPECT_EQ(LOWORD(all[all.size() - 3].wParam), SB_THUMBTRACK);
  EXPECT_EQ(HIWORD(all[all.size() - 3].wParam), 90);
  EXPECT_EQ(LOWORD(all[all.size() - 2].wParam), SB_THUMBPOSITION);
  EXPECT_EQ(HIWORD(all[all.size() - 2].wParam), 90);
  EXPECT_EQ(LOWORD(all.back().wParam), SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(bar, SB_VERT), 0);  // the owner moves the bar itself
}

TEST_F(Paint, FrameEraseNowAndClipRegionFlags) {
  HWND framed = Child(top, 3, {120, 10, 190, 60}, WS_CHILD | WS_VISIBLE | WS_BORDER);
  RunUntilIdle();
  ClearLog();
  RedrawWindow(framed, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ERASENOW);
  // Erased at once, frame painted at once; the client paint is still owed.
  EXPECT_MESSAGES(Log(framed, false), WM_NCPAINT, WM_ERASEBKGND);
  RECT box;
  EXPECT_TRUE(GetUpdateRect(framed, &box, FALSE));
  RunUntilIdle();
  EXPECT_EQ(Count(framed, WM_PAINT), 1);
  EXPECT_EQ(Count(framed, WM_ERASEBKGND), 1);  // not erased twice

  PaintSolid(a, kRed);
  InvalidateRect(a, nullptr, FALSE);
  RunUntilIdle();
  HRGN clip = CreateRectRgn(0, 0, 10, 10);
  HDC dc = GetDCEx(a, clip, DCX_INTERSECTRGN);
  RECT all{0, 0, 100, 50};
  HBRUSH blue = CreateSolidBrush(kBlue);
  FillRect(dc, &all, blue);
  ReleaseDC(a, dc);
  DeleteObject(blue);
  DeleteObject(clip);
  EXPECT_EQ(PixelAt(a, 5, 5), kBlue);
  EXPECT_EQ(PixelAt(a, 15, 5), kRed);
}

TEST_F(Paint, LockedWindowHoldsBackItsPaintUntilUnlocked) {
  ASSERT_TRUE(LockWindowUpdate(a));
  EXPECT_FALSE(LockWindowUpdate(top));  // one at a time
  InvalidateRect(a, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(Count(a, WM_PAINT), 0);
  LockWindowUpdate(nullptr);
  RunUntilIdle();
  EXPECT_EQ(Count(a, WM_PAINT), 1);
}

TEST_F(Paint, ReparentedChildPaintsInItsNewPlace) {
  HWND other = Child(top, 5, {120, 60, 190, 140});
  PaintSolid(a, kRed);
  RunUntilIdle();
  EXPECT_EQ(SetParent(a, other), top);
  EXPECT_EQ(GetParent(a), other);
  EXPECT_EQ(GetWindow(other, GW_CHILD), a);
  RunUntilIdle();
  POINT p{5, 5};
  ClientToScreen(a, &p);
  EXPECT_EQ(p.x, 120 + 10 + 5);
  EXPECT_EQ(PixelAt(a, 5, 5), kRed);
  EXPECT_EQ(SetParent(other, a), nullptr);  // a window cannot go under its own child
}

TEST_F(Paint, ControlColorsDefaultToSystemBrushes) {
  HDC dc = GetDC(a);
  EXPECT_EQ(SendMessage(a, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0),
            reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
  EXPECT_EQ(SendMessage(a, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0),
            reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE)));
  EXPECT_EQ(WindowFromDC(dc), a);
  ReleaseDC(a, dc);
  EXPECT_EQ(WindowFromDC(dc), nullptr);
}

}  // namespace
}  // namespace plat::test
