// The lighter common controls: trackbar, progress bar, up-down, tab control and tooltip, driven by keys,
// clicks, the virtual clock and messages.
#include <algorithm>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/display/Desktop.h"
#include "platform/gdi/gdiapi.h"
#include "platform/window/Inspect.h"

#include <set>
#include <vector>

namespace plat::test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

class CommonControls : public ControlTest {
 protected:
  std::vector<std::pair<WORD, WORD>> Scrolls(UINT msg = WM_HSCROLL) {
    std::vector<std::pair<WORD, WORD>> out;
    for (const Logged& l : Entries(host, msg)) out.emplace_back(LOWORD(l.wParam), HIWORD(l.wParam));
    return out;
  }
  std::vector<int> DeltaNotes;
};

// The tab, tree and trackbar controls answer painting, focus and font alike: a focus change repaints the
// whole control, the tab and tree controls keep the font they are given and the trackbar keeps none.
TEST_F(CommonControls, PaintedControlsRepaintOnFocusAndKeepTheirFont) {
  HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
  HWND other = Make("BUTTON", "b", kChild, {10, 200, 60, 220}, 9);
  for (const char* cls : {WC_TABCONTROL, WC_TREEVIEW, TRACKBAR_CLASS}) {
    HWND h = Make(cls, "", kChild | WS_TABSTOP, {10, 10, 210, 60}, 600);
    RunUntilIdle();
    ASSERT_TRUE(plat::UpdateRegion(h).IsEmpty()) << cls;
    SetFocus(h);
    EXPECT_EQ(plat::UpdateRegion(h).Bounds(), CRect(0, 0, 200, 50)) << cls;
    RunUntilIdle();
    SetFocus(other);
    EXPECT_FALSE(plat::UpdateRegion(h).IsEmpty()) << cls;
    RunUntilIdle();
    EXPECT_EQ(SendMessage(h, WM_ERASEBKGND, 0, 0), 1) << cls;
    SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_TRUE(plat::UpdateRegion(h).IsEmpty()) << cls << ": no repaint unless asked";
    const bool keepsFont = std::strcmp(cls, TRACKBAR_CLASS) != 0;
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0)), keepsFont ? font : nullptr) << cls;
    SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(plat::UpdateRegion(h).IsEmpty(), !keepsFont) << cls;
    DestroyWindow(h);
  }
}

TEST_F(CommonControls, TrackbarKeysAndClicksMoveByOneAndNotify) {
  HWND t = Make(TRACKBAR_CLASS, "", kChild | WS_TABSTOP | TBS_AUTOTICKS, {10, 10, 210, 40}, 500);
  SendMessage(t, TBM_SETRANGE, TRUE, MAKELONG(1, 3));
  SendMessage(t, TBM_SETPOS, TRUE, 1);
  EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 1);
  EXPECT_TRUE(Entries(host, WM_HSCROLL).empty());  // set by message: silent
  SetFocus(t);
  ClearLog();
  Key(VK_RIGHT);
  EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 2);
  EXPECT_EQ(Scrolls(), (std::vector<std::pair<WORD, WORD>>{{TB_LINEDOWN, 2}, {TB_ENDTRACK, 2}}));
  EXPECT_EQ(Entries(host, WM_HSCROLL)[0].lParam, reinterpret_cast<LPARAM>(t));
  Key(VK_END);
  EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 3);
  Key(VK_RIGHT);
  EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 3);
  // A click on the channel left of the thumb moves it one page (a fifth of the range, at least one).
  ClickAt(t, 12, 15);
  EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 2);
  EXPECT_EQ(SendMessage(t, TBM_GETPAGESIZE, 0, 0), 1);
  // Dragging the thumb follows the mouse.
  RECT thumb{};
  SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  ClearLog();
  AdvanceAndPump(1000);
  in().ButtonDown(MouseButton::Left,
                  InputRouter::ClientPoint(t, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2));
  in().MouseMove(InputRouter::ClientPoint(t, 10, (thumb.top + thumb.bottom) / 2));
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(t, 10, (thumb.top + thumb.bottom) / 2));
  RunUntilIdle();
  EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 1);
  EXPECT_EQ(Scrolls(),
            (std::vector<std::pair<WORD, WORD>>{{TB_THUMBTRACK, 1}, {TB_THUMBPOSITION, 1}, {TB_ENDTRACK, 1}}));
}

TEST_F(CommonControls, ProgressPositionsRangesAndSteps) {
  HWND p = Make(PROGRESS_CLASS, "", kChild, {10, 10, 210, 30}, 501);
  EXPECT_EQ(SendMessage(p, PBM_SETRANGE, 0, MAKELPARAM(0, 50)), MAKELONG(0, 100));
  EXPECT_EQ(SendMessage(p, PBM_SETPOS, 40, 0), 0);
  EXPECT_EQ(SendMessage(p, PBM_SETPOS, 80, 0), 40);
  EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 50);  // clamped to the range
  SendMessage(p, PBM_SETSTEP, 20, 0);
  SendMessage(p, PBM_SETPOS, 40, 0);
  SendMessage(p, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 10);  // stepping past the end wraps round
  EXPECT_EQ(SendMessage(p, PBM_DELTAPOS, 5, 0), 10);
  EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 15);
  PBRANGE r{};
  EXPECT_EQ(SendMessage(p, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r)), 0);
  EXPECT_EQ(r.iHigh, 50);
  SendMessage(p, PBM_SETRANGE32, 1000, 200000);
  EXPECT_EQ(SendMessage(p, PBM_GETRANGE, FALSE, 0), 200000);
  EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 1000);
}

TEST_F(CommonControls, UpDownStepsAskFirstWriteTheBuddyAndWrap) {
  HWND edit = Make("EDIT", "", kChild | WS_BORDER, {10, 10, 110, 32}, 502);
  HWND ud = Make(UPDOWN_CLASS, "", kChild | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, {0, 0, 16, 22}, 503);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(ud, UDM_GETBUDDY, 0, 0)), edit);
  RECT er{}, ur{};
  GetWindowRect(edit, &er);
  GetWindowRect(ud, &ur);
  EXPECT_EQ(ur.right, 110 + 50);  // moved into the buddy's right edge (host at x 50)
  EXPECT_LT(er.right, ur.right);
  EXPECT_EQ(SendMessage(ud, UDM_GETRANGE, 0, 0), MAKELONG(0, 100));  // classic default: lower 100, upper 0
  SendMessage(ud, UDM_SETRANGE, 0, MAKELONG(1500, 998));
  SendMessage(ud, UDM_SETPOS, 0, MAKELONG(999, 0));
  EXPECT_EQ(Text(edit), "999");
  bool refuse = false;
  std::vector<std::pair<int, int>> asked;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_NOTIFY) {
      auto* nm = reinterpret_cast<NMUPDOWN*>(lp);
      if (nm->hdr.code == UDN_DELTAPOS) {
        asked.emplace_back(nm->iPos, nm->iDelta);
        return refuse ? 1 : 0;
      }
    }
    return std::nullopt;
  };
  ClearLog();
  RECT c{};
  GetClientRect(ud, &c);
  ClickAt(ud, 3, 3);  // up arrow: towards the upper bound
  EXPECT_EQ(Text(edit), "1,000");
  EXPECT_EQ(Scrolls(WM_VSCROLL), (std::vector<std::pair<WORD, WORD>>{{SB_THUMBPOSITION, 1000}, {SB_ENDSCROLL, 1000}}));
  // The buddy's own text is where the next step starts.
  SetWindowText(edit, "1,200");
  AdvanceAndPump(1000);
  ClickAt(ud, 3, c.bottom - 3);
  EXPECT_EQ(Text(edit), "1,199");
  refuse = true;
  AdvanceAndPump(1000);
  ClickAt(ud, 3, 3);
  EXPECT_EQ(Text(edit), "1,199");
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{999, 1}, {1200, -1}, {1199, 1}}));
  SetWindowText(edit, "abc");
  EXPECT_NE(HIWORD(SendMessage(ud, UDM_GETPOS, 0, 0)), 0);  // not a number: error flag
  // Holding the button repeats on the clock.
  refuse = false;
  SendMessage(ud, UDM_SETPOS32, 0, 1000);
  AdvanceAndPump(1000);
  in().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(ud, 3, 3));
  RunUntilIdle();
  AdvanceAndPump(400 + 2 * 100);
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(ud, 3, 3));
  RunUntilIdle();
  EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, 0), 1004);  // the press, then repeats at 400, 500 and 600 ms
}

TEST_F(CommonControls, UpDownArrowKeysInTheBuddyStep) {
  HWND edit = Make("EDIT", "5", kChild | WS_BORDER, {10, 10, 110, 32}, 507);
  HWND ud = Make(UPDOWN_CLASS, "", kChild | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS, {120, 10, 136, 32}, 508);
  SendMessage(ud, UDM_SETRANGE32, 0, 10);
  SetFocus(edit);
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(Text(edit), "7");
  Key(VK_DOWN);
  EXPECT_EQ(Text(edit), "6");
  DestroyWindow(ud);
  Key(VK_UP);  // the buddy is itself again
  EXPECT_EQ(Text(edit), "6");
}

TEST_F(CommonControls, UpDownWrapsWithUdsWrap) {
  HWND ud = Make(UPDOWN_CLASS, "", kChild | UDS_WRAP, {10, 10, 26, 32}, 504);
  SendMessage(ud, UDM_SETRANGE32, 0, 3);
  SendMessage(ud, UDM_SETPOS32, 0, 3);
  ClickAt(ud, 3, 3);
  EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, 0), 0);
}

TEST_F(CommonControls, TabsAskBeforeChangingAndSetCurSelIsSilent) {
  HWND tab = Make(WC_TABCONTROL, "", kChild, {10, 10, 300, 150}, 505);
  for (const char* t : {"General", "Layers", "Nets"}) {
    TCITEM item{TCIF_TEXT | TCIF_PARAM, 0, 0, const_cast<char*>(t), 0, -1, static_cast<LPARAM>(std::strlen(t))};
    SendMessage(tab, TCM_INSERTITEM, static_cast<WPARAM>(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0)),
                reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_EQ(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
  bool refuse = false;
  std::vector<UINT> codes;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_NOTIFY) {
      auto* nm = reinterpret_cast<NMHDR*>(lp);
      EXPECT_EQ(nm->hwndFrom, tab);
      EXPECT_EQ(nm->idFrom, 505u);
      codes.push_back(nm->code);
      return (nm->code == TCN_SELCHANGING && refuse) ? 1 : 0;
    }
    return std::nullopt;
  };
  RECT r{};
  ASSERT_TRUE(SendMessage(tab, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r)));
  ClickAt(tab, r.left + 3, r.top + 3);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(codes, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
  refuse = true;
  codes.clear();
  Key(VK_LEFT);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(codes, (std::vector<UINT>{TCN_SELCHANGING}));
  codes.clear();
  EXPECT_EQ(SendMessage(tab, TCM_SETCURSEL, 1, 0), 2);
  EXPECT_TRUE(codes.empty());
  char buf[16]{};
  TCITEM got{TCIF_TEXT | TCIF_PARAM, 0, 0, buf, sizeof(buf), 0, 0};
  ASSERT_TRUE(SendMessage(tab, TCM_GETITEM, 1, reinterpret_cast<LPARAM>(&got)));
  EXPECT_STREQ(buf, "Layers");
  EXPECT_EQ(got.lParam, 6);
  TCHITTESTINFO hit{{r.left + 3, r.top + 3}, 0};
  EXPECT_EQ(SendMessage(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 2);
  RECT area{0, 0, 290, 140};
  SendMessage(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  RECT back = area;
  SendMessage(tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(back.top, 0);
  EXPECT_EQ(back.right, 290);
  EXPECT_GT(area.top, r.bottom - 1);
  SendMessage(tab, TCM_DELETEITEM, 0, 0);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(CommonControls, TooltipShowsAfterTheDelayAndHidesOnTheClock) {
  HWND target = Make("STATIC", "target", kChild, {10, 10, 110, 40}, 506);
  HWND tip = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, host, nullptr,
                            nullptr, nullptr);
  ASSERT_NE(tip, nullptr);
  std::vector<UINT> notes;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_NOTIFY) {
      auto* nm = reinterpret_cast<NMHDR*>(lp);
      notes.push_back(nm->code);
      if (nm->code == TTN_GETDISPINFO) std::strcpy(reinterpret_cast<NMTTDISPINFO*>(lp)->szText, "Asked for");
    }
    return std::nullopt;
  };
  TOOLINFO ti{sizeof(ti), TTF_SUBCLASS, host, 7, {10, 10, 110, 40}, nullptr, const_cast<char*>("Board outline"), 0};
  ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
  TOOLINFO ti2{sizeof(ti2), TTF_SUBCLASS, host, 8, {200, 10, 300, 40}, nullptr, LPSTR_TEXTCALLBACK, 0};
  ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti2)));
  EXPECT_FALSE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));  // same tool twice
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  (void)target;
  // The static is transparent to the mouse, so the host sees the moves.
  in().MouseMove(InputRouter::ClientPoint(host, 30, 20));
  RunUntilIdle();
  AdvanceAndPump(499);
  EXPECT_FALSE(IsWindowVisible(tip));
  AdvanceAndPump(1);
  EXPECT_TRUE(IsWindowVisible(tip));
  EXPECT_EQ(notes, (std::vector<UINT>{TTN_SHOW}));
  ExpectMatchesReference(tip, "tooltip.png");
  char buf[80]{};
  TOOLINFO get{sizeof(get), 0, host, 7, {}, nullptr, buf, 0};
  SendMessage(tip, TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&get));
  EXPECT_STREQ(buf, "Board outline");
  AdvanceAndPump(5000);
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_EQ(notes, (std::vector<UINT>{TTN_SHOW, TTN_POP}));
  // The second tool's text comes from its window when it shows.
  notes.clear();
  in().MouseMove(InputRouter::ClientPoint(host, 250, 20));
  RunUntilIdle();
  AdvanceAndPump(500);
  EXPECT_TRUE(IsWindowVisible(tip));
  EXPECT_EQ(notes, (std::vector<UINT>{TTN_GETDISPINFO, TTN_SHOW}));
  // Leaving the tool hides the tip at once; a press does too.
  in().MouseMove(InputRouter::ClientPoint(host, 150, 100));
  RunUntilIdle();
  EXPECT_FALSE(IsWindowVisible(tip));
  SendMessage(tip, TTM_ACTIVATE, FALSE, 0);
  in().MouseMove(InputRouter::ClientPoint(host, 30, 20));
  RunUntilIdle();
  AdvanceAndPump(1000);
  EXPECT_FALSE(IsWindowVisible(tip));
}

// A disabled trackbar's thumb does not look like an enabled one: its face is dithered; enabling it again restores
// the plain face.
TEST_F(CommonControls, ADisabledTrackbarDrawsItsThumbDisabled) {
  HWND t = Make(TRACKBAR_CLASS, "", kChild | TBS_AUTOTICKS, {10, 10, 160, 45}, 1);
  SendMessage(t, TBM_SETRANGE, TRUE, MAKELONG(1, 3));
  SendMessage(t, TBM_SETPOS, TRUE, 2);
  RECT thumb{};
  SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  auto face = [&] {
    auto image = Desktop::Capture(t);
    std::vector<std::uint32_t> pixels;
    for (int y = thumb.top + 2; y < thumb.bottom - 2; ++y)
      for (int x = thumb.left + 2; x < thumb.right - 2; ++x) pixels.push_back(image->pixel(x, y));
    return pixels;
  };
  const auto enabled = face();
  EnableWindow(t, FALSE);
  RunUntilIdle();
  const auto disabled = face();
  EXPECT_NE(enabled, disabled);
  EXPECT_EQ(std::set<std::uint32_t>(disabled.begin(), disabled.end()).size(), 2u) << "face and highlight dots";
  EnableWindow(t, TRUE);
  RunUntilIdle();
  EXPECT_EQ(face(), enabled);
}

TEST_F(CommonControls, TooltipToolsDeletedWhileATipShows) {
  HWND tip = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, host, nullptr,
                            nullptr, nullptr);
  ASSERT_NE(tip, nullptr);
  std::vector<UINT> notes;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_NOTIFY) notes.push_back(reinterpret_cast<NMHDR*>(lp)->code);
    return std::nullopt;
  };
  auto add = [&](UINT_PTR id, RECT r, const char* text) {
    TOOLINFO ti{sizeof(ti), TTF_SUBCLASS, host, id, r, nullptr, const_cast<char*>(text), 0};
    ASSERT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
  };
  auto remove = [&](UINT_PTR id) {
    TOOLINFO ti{sizeof(ti), 0, host, id, {}, nullptr, nullptr, 0};
    SendMessage(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
  };
  add(7, {10, 10, 110, 40}, "first");
  add(8, {120, 10, 220, 40}, "second");
  add(9, {230, 10, 330, 40}, "third");
  in().MouseMove(InputRouter::ClientPoint(host, 150, 20));
  RunUntilIdle();
  AdvanceAndPump(500);
  ASSERT_TRUE(IsWindowVisible(tip));
  // Another tool goes, one listed before the shown one: the tip stays with its tool, also as the mouse moves
  // inside that tool.
  remove(7);
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  EXPECT_TRUE(IsWindowVisible(tip));
  in().MouseMove(InputRouter::ClientPoint(host, 160, 22));
  RunUntilIdle();
  EXPECT_TRUE(IsWindowVisible(tip));
  // The shown tool itself goes: the tip hides at once and nothing shows for the place it had.
  notes.clear();
  remove(8);
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  in().MouseMove(InputRouter::ClientPoint(host, 170, 20));
  RunUntilIdle();
  AdvanceAndPump(6000);
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_EQ(std::count(notes.begin(), notes.end(), static_cast<UINT>(TTN_SHOW)), 0);
  // The remaining tool still shows its tip.
  in().MouseMove(InputRouter::ClientPoint(host, 250, 20));
  RunUntilIdle();
  AdvanceAndPump(500);
  EXPECT_TRUE(IsWindowVisible(tip));
  char buf[80]{};
  TOOLINFO get{sizeof(get), 0, host, 9, {}, nullptr, buf, 0};
  SendMessage(tip, TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&get));
  EXPECT_STREQ(buf, "third");
}

TEST_F(CommonControls, Look) {
  HWND t = Make(TRACKBAR_CLASS, "", kChild | TBS_AUTOTICKS, {10, 10, 160, 45}, 1);
  SendMessage(t, TBM_SETRANGE, TRUE, MAKELONG(1, 3));
  SendMessage(t, TBM_SETPOS, TRUE, 2);
  HWND p = Make(PROGRESS_CLASS, "", kChild, {10, 55, 160, 73}, 2);
  SendMessage(p, PBM_SETPOS, 60, 0);
  HWND ps = Make(PROGRESS_CLASS, "", kChild | PBS_SMOOTH, {10, 80, 160, 98}, 3);
  SendMessage(ps, PBM_SETPOS, 35, 0);
  Make("EDIT", "42", kChild | WS_BORDER, {170, 10, 240, 32}, 4);
  Make(UPDOWN_CLASS, "", kChild | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, {0, 0, 16, 22}, 5);
  HWND tab = Make(WC_TABCONTROL, "", kChild, {10, 110, 240, 170}, 6);
  for (const char* t : {"One", "Two"}) {
    TCITEM item{TCIF_TEXT, 0, 0, const_cast<char*>(t), 0, -1, 0};
    SendMessage(tab, TCM_INSERTITEM, 5, reinterpret_cast<LPARAM>(&item));
  }
  MoveWindow(host, 50, 50, 250, 180, TRUE);
  ExpectMatchesReference(host, "common.png");
}

}  // namespace
}  // namespace plat::test
