// Scroll bar controls: layout maths, scroll information through the SB_CTL calls, and the scroll codes that
// mouse tracking and keys send to the parent, with the repeat timer on the virtual clock.
#include <gtest/gtest.h>

#include "platform/controls/ScrollBarControl.h"
#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/gdi/gdiapi.h"

namespace plat::test {
namespace {

using controls::BarPart;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

TEST(BarLayout, ThumbEndsMatchTheRangeAndHitTestsBack) {
  for (UINT page : {0u, 10u, 40u}) {
    const auto first = controls::LayoutBar(200, 17, 0, 99, page, 0);
    const auto last = controls::LayoutBar(200, 17, 0, 99, page, 1000);
    EXPECT_EQ(first.thumbStart, 17) << page;
    EXPECT_EQ(last.thumbStart + last.thumbLength, 200 - 17) << page;
    for (int pos = 0; pos <= 99 - static_cast<int>(page > 0 ? page - 1 : 0); pos += 7) {
      const auto g = controls::LayoutBar(200, 17, 0, 99, page, pos);
      EXPECT_EQ(controls::HitBar(g, g.thumbStart), BarPart::Thumb);
      EXPECT_EQ(controls::HitBar(g, g.thumbStart + g.thumbLength - 1), BarPart::Thumb);
      // Dropping the thumb where it is keeps the position.
      EXPECT_EQ(controls::PositionFromThumb(g, 0, 99, page, g.thumbStart), pos) << "page " << page << " pos " << pos;
    }
  }
  // Nothing to scroll, or no room: no thumb.
  EXPECT_EQ(controls::LayoutBar(200, 17, 0, 9, 10, 0).thumbLength, 0);
  EXPECT_EQ(controls::LayoutBar(40, 17, 0, 99, 0, 0).thumbLength, 0);
  EXPECT_EQ(controls::LayoutBar(20, 17, 0, 99, 0, 0).arrow, 10);
}

class ScrollBars : public ControlTest {
 protected:
  HWND Bar(DWORD style = SBS_VERT) {
    HWND b = Make("SCROLLBAR", "", kChild | style, {10, 10, 27, 210}, 400);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(b, SB_CTL, &si, TRUE);
    RunUntilIdle();
    ClearLog();
    return b;
  }
  std::vector<WORD> Codes() {
    std::vector<WORD> out;
    for (const Logged& l : Entries(host, WM_VSCROLL)) out.push_back(LOWORD(l.wParam));
    for (const Logged& l : Entries(host, WM_HSCROLL)) out.push_back(LOWORD(l.wParam));
    return out;
  }
};

TEST_F(ScrollBars, ScrollInformationThroughTheControlCalls) {
  HWND b = Bar();
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(b, SB_CTL, &si));
  EXPECT_EQ(si.nMax, 99);
  EXPECT_EQ(si.nPage, 10u);
  EXPECT_EQ(SetScrollPos(b, SB_CTL, 500, TRUE), 0);
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 90);  // largest position = max - (page - 1)
  int lo = -1, hi = -1;
  EXPECT_TRUE(SetScrollRange(b, SB_CTL, 5, 50, TRUE));
  EXPECT_TRUE(GetScrollRange(b, SB_CTL, &lo, &hi));
  EXPECT_EQ(lo, 5);
  EXPECT_EQ(hi, 50);
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 41);
  EXPECT_TRUE(ShowScrollBar(b, SB_CTL, FALSE));
  EXPECT_FALSE(IsWindowVisible(b));
}

TEST_F(ScrollBars, ArrowPressRepeatsOnTheClockAndEndsWithEndScroll) {
  HWND b = Bar();
  in().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(b, 8, 190));
  RunUntilIdle();
  EXPECT_EQ(Codes(), (std::vector<WORD>{SB_LINEDOWN}));
  EXPECT_EQ(Entries(host, WM_VSCROLL)[0].lParam, reinterpret_cast<LPARAM>(b));
  AdvanceAndPump(399);
  EXPECT_EQ(Codes().size(), 1u);
  AdvanceAndPump(1);
  EXPECT_EQ(Codes().size(), 2u);
  AdvanceAndPump(300);
  EXPECT_EQ(Codes().size(), 5u);
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(b, 8, 190));
  RunUntilIdle();
  EXPECT_EQ(Codes().back(), SB_ENDSCROLL);
  AdvanceAndPump(1000);
  EXPECT_EQ(Codes().size(), 6u);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBars, ThumbDragTracksThenSetsPosition) {
  HWND b = Bar();
  const auto g = controls::LayoutBar(200, 17, 0, 99, 10, 0);
  in().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(b, 8, g.thumbStart + 2));
  in().MouseMove(InputRouter::ClientPoint(b, 8, g.thumbStart + 52));
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(b, 8, g.thumbStart + 52));
  RunUntilIdle();
  const auto codes = Codes();
  ASSERT_EQ(codes, (std::vector<WORD>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
  const auto entries = Entries(host, WM_VSCROLL);
  const int pos = HIWORD(entries[0].wParam);
  EXPECT_EQ(pos, controls::PositionFromThumb(g, 0, 99, 10, g.thumbStart + 50));
  EXPECT_EQ(HIWORD(entries[1].wParam), pos);
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 0);  // the parent sets the position itself
}

TEST_F(ScrollBars, PageClicksKeysAndDisabledArrows) {
  HWND b = Make("SCROLLBAR", "", kChild | SBS_HORZ | WS_TABSTOP, {10, 10, 210, 27}, 401);
  SetScrollRange(b, SB_CTL, 0, 100, TRUE);
  SetScrollPos(b, SB_CTL, 50, TRUE);
  ClearLog();
  ClickAt(b, 25, 8);
  EXPECT_EQ(GetFocus(), b);
  Key(VK_RIGHT);
  Key(VK_HOME);
  EXPECT_EQ(Codes(), (std::vector<WORD>{SB_PAGELEFT, SB_ENDSCROLL, SB_LINERIGHT, SB_ENDSCROLL, SB_TOP, SB_ENDSCROLL}));
  ClearLog();
  EXPECT_TRUE(EnableScrollBar(b, SB_CTL, ESB_DISABLE_RTDN));
  AdvanceAndPump(1000);
  ClickAt(b, 200, 8);
  EXPECT_TRUE(Codes().empty());
}

TEST_F(ScrollBars, WindowBarsLookLikeTheControl) {
  // A window's own vertical bar and a control of the same size and state, pixel for pixel: with a thumb, with
  // a disabled arrow, and with nothing to scroll (grey arrows, no thumb).
  HWND bar = Bar();
  HWND window = Child(host, 402, {60, 10, 160, 210}, kChild | WS_VSCROLL);
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
  SetScrollInfo(window, SB_VERT, &si, TRUE);
  auto expectAlike = [&](const char* state) {
    RunUntilIdle();
    HDC windowDc = GetWindowDC(window), barDc = GetDC(bar);
    int differ = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 17; ++x) differ += GetPixel(windowDc, 100 - 17 + x, y) != GetPixel(barDc, x, y);
    ReleaseDC(window, windowDc);
    ReleaseDC(bar, barDc);
    EXPECT_EQ(differ, 0) << state;
  };
  expectAlike("thumb at the top");
  EnableScrollBar(window, SB_VERT, ESB_DISABLE_LTUP);
  EnableScrollBar(bar, SB_CTL, ESB_DISABLE_LTUP);
  expectAlike("up arrow disabled");
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMax = 9;
  SetScrollInfo(window, SB_VERT, &si, TRUE);
  EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH);
  expectAlike("nothing to scroll");
}

TEST_F(ScrollBars, Look) {
  HWND v = Bar();
  SetScrollPos(v, SB_CTL, 30, TRUE);
  HWND h = Make("SCROLLBAR", "", kChild | SBS_HORZ, {40, 10, 240, 27}, 401);
  SetScrollRange(h, SB_CTL, 0, 10, TRUE);
  SetScrollPos(h, SB_CTL, 10, TRUE);
  HWND off = Make("SCROLLBAR", "", kChild | SBS_HORZ | WS_DISABLED, {40, 40, 240, 57}, 402);
  SetScrollRange(off, SB_CTL, 0, 10, TRUE);
  Make("SCROLLBAR", "", kChild | SBS_SIZEBOX | SBS_SIZEGRIP, {223, 193, 240, 210}, 403);
  MoveWindow(host, 50, 50, 250, 220, TRUE);
  ExpectMatchesReference(host, "scrollbars.png");
}

}  // namespace
}  // namespace plat::test
