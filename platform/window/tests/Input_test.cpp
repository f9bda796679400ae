// Keyboard and mouse input as message sequences: translation, key state, focus, activation, capture,
// double clicks, mouse leave, cursors and the standard scroll bars' mouse handling.
#include "platform/base/ResourceTable.h"
#include "platform/base/VirtualClock.h"
#include "platform/window/Caret.h"
#include "platform/window/Cursors.h"
#include "platform/window/InputRouter.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/Pump.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

class Input : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    top = Top(WS_POPUP | WS_VISIBLE, {100, 100, 400, 300});
    a = Child(top, 1, {10, 10, 110, 60});
    b = Child(top, 2, {150, 10, 250, 60}, WS_CHILD | WS_VISIBLE, "TestDblWnd");
    RunUntilIdle();
    ClearLog();
  }
  InputRouter& in() { return InputRouter::Instance(); }
  POINT At(HWND h, int x, int y) { return InputRouter::ClientPoint(h, x, y); }
  std::vector<WPARAM> Chars(HWND h, UINT msg = WM_CHAR) {
    std::vector<WPARAM> out;
    for (const Logged& l : Entries(h, msg)) out.push_back(l.wParam);
    return out;
  }
  HWND top{}, a{}, b{};
};

TEST_F(Input, KeysArriveDownCharUpWithClassicParameters) {
  SetFocus(a);
  ClearLog();
  in().KeyPress('A');
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a), WM_KEYDOWN, WM_CHAR, WM_KEYUP);
  auto down = Entries(a, WM_KEYDOWN)[0];
  auto up = Entries(a, WM_KEYUP)[0];
  EXPECT_EQ(down.wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(down.lParam & 0xFFFF, 1);             // repeat count
  EXPECT_EQ((down.lParam >> 16) & 0xFF, 0x1E);    // scan code
  EXPECT_EQ(down.lParam & (1u << 31), 0);
  EXPECT_NE(up.lParam & (1u << 31), 0);           // transition
  EXPECT_NE(up.lParam & (1u << 30), 0);           // was down
  EXPECT_EQ(Chars(a), (std::vector<WPARAM>{'a'}));
  EXPECT_EQ(Entries(a, WM_CHAR)[0].lParam, down.lParam);
}

TEST_F(Input, TranslationGivesControlCharacters) {
  SetFocus(a);
  auto chord = [&](int mod, int vk) {
    if (mod) in().KeyDown(mod);
    in().KeyPress(vk);
    if (mod) in().KeyUp(mod);
  };
  chord(VK_CONTROL, 'C');
  chord(VK_CONTROL, 'Z');
  chord(0, VK_RETURN);
  chord(VK_CONTROL, VK_RETURN);
  chord(0, VK_TAB);
  chord(VK_SHIFT, VK_TAB);
  chord(0, VK_BACK);
  chord(VK_CONTROL, VK_BACK);
  chord(0, VK_ESCAPE);
  chord(VK_SHIFT, '1');
  chord(0, VK_F2);  // no character
  RunUntilIdle();
  EXPECT_EQ(Chars(a), (std::vector<WPARAM>{0x03, 0x1A, 0x0D, 0x0A, 0x09, 0x09, 0x08, 0x7F, 0x1B, '!'}));
}

TEST_F(Input, AltMakesSystemKeysAndF10IsOne) {
  SetFocus(a);
  ClearLog();
  in().KeyDown(VK_MENU);
  in().KeyPress('X');
  in().KeyPress(VK_BACK);
  in().KeyUp(VK_MENU);
  in().KeyPress(VK_F10);
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a), WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_SYSKEYDOWN, WM_SYSCHAR,
                  WM_SYSKEYUP, WM_SYSKEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP);
  auto sys = Entries(a, WM_SYSKEYDOWN);
  EXPECT_EQ(sys[1].wParam, static_cast<WPARAM>('X'));
  EXPECT_NE(sys[1].lParam & (1 << 29), 0);  // Alt context
  EXPECT_EQ(sys[2].wParam, static_cast<WPARAM>(VK_BACK));
  EXPECT_EQ(Chars(a, WM_SYSCHAR), (std::vector<WPARAM>{'x', 0x08}));
}

TEST_F(Input, KeyStateIsAsOfTheMessageBeingProcessed) {
  SetFocus(a);
  std::vector<std::pair<bool, bool>> seen;  // (GetKeyState shift down, GetAsyncKeyState shift down)
  On(a, [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_KEYDOWN && w == VK_TAB) seen.emplace_back(GetKeyState(VK_SHIFT) < 0, GetAsyncKeyState(VK_SHIFT) < 0);
    return std::nullopt;
  });
  in().KeyDown(VK_SHIFT);
  in().KeyPress(VK_TAB);
  in().KeyUp(VK_SHIFT);
  in().KeyPress(VK_TAB);
  EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) == 0);
  RunUntilIdle();
  // While the first Tab is handled Shift was down then, although it is up already "now".
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(true, false));
  EXPECT_EQ(seen[1], std::make_pair(false, false));
  in().KeyPress(VK_CAPITAL);
  RunUntilIdle();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);  // toggled
}

TEST_F(Input, TypeAheadFollowsTheFocusOfTheMoment) {
  SetFocus(a);
  On(a, [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_CHAR && w == '\t') SetFocus(b);
    return std::nullopt;
  });
  in().TypeText("x\ty");
  RunUntilIdle();
  EXPECT_EQ(Chars(a), (std::vector<WPARAM>{'x', '\t'}));
  EXPECT_EQ(Chars(b), (std::vector<WPARAM>{'y'}));
}

TEST_F(Input, FocusChangeSendsKillBeforeSetBothNamingTheOther) {
  SetFocus(a);
  ClearLog();
  HWND old = SetFocus(b);
  EXPECT_EQ(old, a);
  ASSERT_EQ(All().size(), 2u);  // both delivered before SetFocus returned
  EXPECT_EQ(All()[0].hwnd, a);
  EXPECT_EQ(All()[0].msg, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(reinterpret_cast<HWND>(All()[0].wParam), b);
  EXPECT_EQ(All()[1].hwnd, b);
  EXPECT_EQ(All()[1].msg, static_cast<UINT>(WM_SETFOCUS));
  EXPECT_EQ(reinterpret_cast<HWND>(All()[1].wParam), a);
  EXPECT_EQ(GetFocus(), b);
  // Disabling the focus window takes the focus away.
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Input, FocusIntoAnotherTopLevelWindowActivatesIt) {
  HWND other = Top(WS_POPUP | WS_VISIBLE, {500, 100, 600, 200});
  HWND inner = Child(other, 5, {0, 0, 20, 20});
  SetFocus(a);
  ClearLog();
  SetFocus(inner);
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(GetFocus(), inner);
  auto deact = Entries(top, WM_ACTIVATE);
  ASSERT_EQ(deact.size(), 1u);
  EXPECT_EQ(LOWORD(deact[0].wParam), WA_INACTIVE);
  EXPECT_EQ(reinterpret_cast<HWND>(deact[0].lParam), other);
  EXPECT_EQ(Entries(a, WM_KILLFOCUS).size(), 1u);
}

TEST_F(Input, ClickRoutesHitTestCursorAndButtonsInClientCoordinates) {
  in().Click(MouseButton::Left, At(a, 5, 7));
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a, false), WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONDOWN, WM_NCHITTEST, WM_SETCURSOR,
                  WM_LBUTTONUP);
  auto down = Entries(a, WM_LBUTTONDOWN)[0];
  EXPECT_EQ(down.lParam, MAKELPARAM(5, 7));
  EXPECT_EQ(down.wParam, MK_LBUTTON);
  EXPECT_EQ(Entries(a, WM_LBUTTONUP)[0].wParam, 0u);
  auto cursor = Entries(a, WM_SETCURSOR)[0];
  EXPECT_EQ(LOWORD(cursor.lParam), HTCLIENT);
  EXPECT_EQ(HIWORD(cursor.lParam), WM_LBUTTONDOWN);
  // The default handling asked the parent first, then set the class cursor.
  EXPECT_EQ(Entries(top, WM_SETCURSOR).size(), 2u);
  EXPECT_EQ(Cursors::Instance().StandardId(GetCursor()), 32512u);
  // Modifiers ride along.
  ClearLog();
  in().KeyDown(VK_CONTROL);
  in().Click(MouseButton::Right, At(a, 1, 1));
  in().KeyUp(VK_CONTROL);
  RunUntilIdle();
  EXPECT_EQ(Entries(a, WM_RBUTTONDOWN)[0].wParam, MK_RBUTTON | MK_CONTROL);
}

TEST_F(Input, PressIntoAnInactiveWindowAsksForActivationFirst) {
  HWND other = Top(WS_POPUP | WS_VISIBLE, {500, 100, 600, 200});
  ASSERT_EQ(GetActiveWindow(), other);
  ClearLog();
  in().ButtonDown(MouseButton::Left, At(a, 2, 2));
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a, false), WM_NCHITTEST, WM_MOUSEACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(LOWORD(Entries(top, WM_ACTIVATE)[0].wParam), WA_CLICKACTIVE);
  in().ButtonUp(MouseButton::Left, At(a, 2, 2));
  RunUntilIdle();

  // A window that eats the activating click activates but never sees the press.
  SetActiveWindow(other);
  On(b, [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOUSEACTIVATE) return MA_ACTIVATEANDEAT;
    return std::nullopt;
  });
  ClearLog();
  in().Click(MouseButton::Left, At(b, 2, 2));
  RunUntilIdle();
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_TRUE(Entries(b, WM_LBUTTONDOWN).empty());
  EXPECT_EQ(Entries(b, WM_LBUTTONUP).size(), 1u);
}

TEST_F(Input, DoubleClicksOnlyForClassesThatAskWithinTimeAndDistance) {
  in().DoubleClick(MouseButton::Left, At(a, 5, 5));
  in().DoubleClick(MouseButton::Left, At(b, 5, 5));
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a), WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_MESSAGES(Log(b), WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP);

  ClearLog();  // too slow
  in().Click(MouseButton::Left, At(b, 5, 5));
  VirtualClock::Advance(501);
  in().Click(MouseButton::Left, At(b, 5, 5));
  RunUntilIdle();
  EXPECT_MESSAGES(Log(b), WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP);

  ClearLog();  // just in time, two pixels away; the third press starts afresh
  VirtualClock::Advance(1000);
  in().Click(MouseButton::Left, At(b, 5, 5));
  VirtualClock::Advance(500);
  in().Click(MouseButton::Left, At(b, 7, 3));
  in().Click(MouseButton::Left, At(b, 7, 3));
  RunUntilIdle();
  EXPECT_MESSAGES(Log(b), WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN,
                  WM_LBUTTONUP);

  ClearLog();  // too far
  VirtualClock::Advance(1000);
  in().Click(MouseButton::Left, At(b, 5, 5));
  in().Click(MouseButton::Left, At(b, 8, 5));
  RunUntilIdle();
  EXPECT_MESSAGES(Log(b), WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP);

  // A separate press is an action of its own: at once and on the same spot it is still a press, and a press that
  // may pair pairs with it as with any other.
  ClearLog();
  VirtualClock::Advance(1000);
  in().Click(MouseButton::Left, At(b, 5, 5), InputRouter::Press::Separate);
  in().Click(MouseButton::Left, At(b, 5, 5), InputRouter::Press::Separate);
  in().Click(MouseButton::Left, At(b, 5, 5));
  RunUntilIdle();
  EXPECT_MESSAGES(Log(b), WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                  WM_LBUTTONUP);
}

TEST_F(Input, CaptureTakesEveryMouseMessageAndAnnouncesItsLoss) {
  SetCapture(a);
  ClearLog();
  in().MouseMove(At(b, 5, 5));
  in().MouseMove(POINT{0, 0});
  RunUntilIdle();
  EXPECT_MESSAGES(Log(a, false), WM_MOUSEMOVE, WM_MOUSEMOVE);
  EXPECT_TRUE(Log(b, false).empty());
  auto moves = Entries(a, WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 140 + 5);
  EXPECT_EQ(GET_X_LPARAM(moves[1].lParam), -110);  // off the window: negative client coordinates
  EXPECT_EQ(GET_Y_LPARAM(moves[1].lParam), -110);
  ClearLog();
  EXPECT_EQ(SetCapture(b), a);
  auto changed = Entries(a, WM_CAPTURECHANGED);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(changed[0].lParam), b);
  ReleaseCapture();
  EXPECT_EQ(Entries(b, WM_CAPTURECHANGED).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
  // WM_CANCELMODE's default handling gives the capture up.
  SetCapture(a);
  SendMessage(a, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, DisabledWindowsGetNoMouseInput) {
  EnableWindow(a, FALSE);
  ClearLog();
  in().Click(MouseButton::Left, At(a, 5, 5));
  RunUntilIdle();
  EXPECT_TRUE(Entries(a, WM_LBUTTONDOWN).empty());
  EXPECT_EQ(Entries(top, WM_LBUTTONDOWN).size(), 1u);  // the parent answers for a disabled child
  EnableWindow(top, FALSE);
  ClearLog();
  in().Click(MouseButton::Left, At(b, 5, 5));
  RunUntilIdle();
  EXPECT_TRUE(Entries(b, WM_LBUTTONDOWN).empty());
  EXPECT_TRUE(Entries(top, WM_LBUTTONDOWN).empty());
}

TEST_F(Input, MouseLeaveComesOnceAfterTracking) {
  in().MouseMove(At(a, 5, 5));
  RunUntilIdle();
  TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, a, HOVER_DEFAULT};
  ASSERT_TRUE(TrackMouseEvent(&tme));
  ClearLog();
  in().MouseMove(At(a, 6, 6));
  in().MouseMove(At(b, 5, 5));
  in().MouseMove(At(a, 5, 5));
  RunUntilIdle();
  EXPECT_EQ(Entries(a, WM_MOUSELEAVE).size(), 1u);
}

TEST_F(Input, PressInAChildNotifiesItsParentWithTheParentsCoordinates) {
  in().Click(MouseButton::Left, At(a, 5, 7));
  RunUntilIdle();
  auto notes = Entries(top, WM_PARENTNOTIFY);
  ASSERT_EQ(notes.size(), 1u);  // the press only, not the release
  EXPECT_EQ(LOWORD(notes[0].wParam), WM_LBUTTONDOWN);
  EXPECT_EQ(notes[0].lParam, MAKELPARAM(15, 17));
  // The parent hears of it before the child gets the press.
  std::size_t note = 0, press = 0;
  for (std::size_t i = 0; i < All().size(); ++i) {
    if (All()[i].msg == WM_PARENTNOTIFY) note = i;
    if (All()[i].msg == WM_LBUTTONDOWN) press = i;
  }
  EXPECT_LT(note, press);
}

TEST_F(Input, HoverComesOnceAfterTheMouseRests) {
  in().MouseMove(At(a, 5, 5));
  RunUntilIdle();
  TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, a, HOVER_DEFAULT};
  ASSERT_TRUE(TrackMouseEvent(&tme));
  VirtualClock::Advance(300);
  in().MouseMove(At(a, 6, 6));  // moving starts the hover time again
  RunUntilIdle();
  VirtualClock::Advance(399);
  RunUntilIdle();
  EXPECT_TRUE(Entries(a, WM_MOUSEHOVER).empty());
  VirtualClock::Advance(1);
  RunUntilIdle();
  auto hover = Entries(a, WM_MOUSEHOVER);
  ASSERT_EQ(hover.size(), 1u);
  EXPECT_EQ(hover[0].lParam, MAKELPARAM(6, 6));
  VirtualClock::Advance(1000);
  RunUntilIdle();
  EXPECT_EQ(Entries(a, WM_MOUSEHOVER).size(), 1u);
}

TEST_F(Input, CaptionDragsMoveAndFrameDragsSizeUntilEscapeUndoes) {
  HWND framed = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {400, 300, 600, 450});
  RunUntilIdle();
  RECT r;
  GetWindowRect(framed, &r);
  POINT grip{r.left + 50, r.top + 10};  // on the caption
  ASSERT_EQ(SendMessage(framed, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
  ClearLog();
  in().ButtonDown(MouseButton::Left, grip);
  in().MouseMove(POINT{grip.x + 30, grip.y + 20});
  in().ButtonUp(MouseButton::Left, POINT{grip.x + 30, grip.y + 20});
  RunUntilIdle();
  GetWindowRect(framed, &r);
  EXPECT_EQ(r.left, 430);
  EXPECT_EQ(r.top, 320);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_FALSE(Entries(framed, WM_MOVE).empty());
  EXPECT_EQ(GetCapture(), nullptr);

  POINT corner{r.right - 1, r.bottom - 1};
  ASSERT_EQ(SendMessage(framed, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
  in().ButtonDown(MouseButton::Left, corner);
  in().MouseMove(POINT{corner.x + 40, corner.y - 500});  // too small: held at the minimum height
  in().ButtonUp(MouseButton::Left, POINT{corner.x + 40, corner.y - 500});
  RunUntilIdle();
  GetWindowRect(framed, &r);
  EXPECT_EQ(r.right - r.left, 240);
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYMINTRACK));

  // The window's own limits win over the system's.
  On(framed, [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(l)->ptMaxTrackSize.x = 250;
    return std::nullopt;
  });
  corner = POINT{r.right - 1, r.bottom - 1};
  in().ButtonDown(MouseButton::Left, corner);
  in().MouseMove(POINT{corner.x + 100, corner.y});
  in().ButtonUp(MouseButton::Left, POINT{corner.x + 100, corner.y});
  RunUntilIdle();
  GetWindowRect(framed, &r);
  EXPECT_EQ(r.right - r.left, 250);

  SetFocus(framed);
  in().ButtonDown(MouseButton::Left, POINT{r.left + 50, r.top + 10});
  in().MouseMove(POINT{r.left + 150, r.top + 110});
  in().KeyPress(VK_ESCAPE);
  in().ButtonUp(MouseButton::Left, POINT{r.left + 150, r.top + 110});
  RunUntilIdle();
  RECT after;
  GetWindowRect(framed, &after);
  EXPECT_EQ(after.left, r.left);  // Esc put it back
  EXPECT_EQ(after.top, r.top);
}

TEST_F(Input, CloseBoxClickClosesThroughSysCommandAndClose) {
  HWND framed = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {400, 300, 600, 450});
  RunUntilIdle();
  RECT r;
  GetWindowRect(framed, &r);
  POINT box{r.right - 4 - 8, r.top + 4 + 8};
  ASSERT_EQ(SendMessage(framed, WM_NCHITTEST, 0, MAKELPARAM(box.x, box.y)), HTCLOSE);
  ClearLog();
  in().Click(MouseButton::Left, box);
  RunUntilIdle();
  EXPECT_FALSE(IsWindow(framed));
  std::vector<UINT> seen;
  for (const Logged& l : All())
    if (l.hwnd == framed && (l.msg == WM_SYSCOMMAND || l.msg == WM_CLOSE || l.msg == WM_DESTROY)) seen.push_back(l.msg);
  EXPECT_MESSAGES(seen, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY);
}

TEST_F(Input, HorizontalBarArrowsSendLineCodes) {
  HWND bar = Child(top, 7, {20, 70, 120, 110}, WS_CHILD | WS_VISIBLE | WS_HSCROLL);
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 50, 10, 0, 0};
  SetScrollInfo(bar, SB_HORZ, &si, TRUE);
  RunUntilIdle();
  ClearLog();
  RECT r;
  GetWindowRect(bar, &r);
  in().Click(MouseButton::Left, POINT{r.right - 3, r.bottom - 5});
  in().Click(MouseButton::Left, POINT{r.left + 3, r.bottom - 5});
  RunUntilIdle();
  std::vector<int> codes;
  for (const Logged& l : Entries(bar, WM_HSCROLL)) codes.push_back(LOWORD(l.wParam));
  EXPECT_EQ(codes, (std::vector<int>{SB_LINERIGHT, SB_ENDSCROLL, SB_LINELEFT, SB_ENDSCROLL}));
}

TEST_F(Input, CursorsAreSharedAndHarmlessToDestroy) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);
  HCURSOR beam = LoadCursor(nullptr, IDC_IBEAM);
  EXPECT_NE(beam, arrow);
  SetCursor(arrow);
  EXPECT_EQ(SetCursor(beam), arrow);
  EXPECT_TRUE(DestroyCursor(beam));
  EXPECT_EQ(GetCursor(), beam);
  EXPECT_EQ(Cursors::Instance().Describe(GetCursor()), "IDC_IBEAM");
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(12345)), nullptr);
}

TEST_F(Input, WheelGoesToTheFocusAndUpToTheParentUnhandled) {
  SetFocus(a);
  ClearLog();
  in().KeyDown(VK_SHIFT);
  in().Wheel(-WHEEL_DELTA, At(b, 1, 1));  // the focus gets it, wherever the mouse is
  in().KeyUp(VK_SHIFT);
  RunUntilIdle();
  auto wheel = Entries(a, WM_MOUSEWHEEL);
  ASSERT_EQ(wheel.size(), 1u);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(wheel[0].wParam)), -WHEEL_DELTA);
  EXPECT_EQ(LOWORD(wheel[0].wParam), MK_SHIFT);
  POINT screen = At(b, 1, 1);
  EXPECT_EQ(wheel[0].lParam, MAKELPARAM(screen.x, screen.y));  // screen coordinates
  EXPECT_EQ(Entries(top, WM_MOUSEWHEEL).size(), 1u);  // the default handling passed it up
}

TEST_F(Input, ResourceCursorsLoadFromTheirModuleOnly) {
  HINSTANCE module = ResourceTable::ModuleHandle("window-tests");
  static const BYTE bytes[4] = {0, 0, 0, 0};
  ResourceTable::AddResource(module, RT_CURSOR, MAKEINTRESOURCE(105), bytes);
  HCURSOR c = LoadCursor(module, MAKEINTRESOURCE(105));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(LoadCursor(module, MAKEINTRESOURCE(105)), c);
  EXPECT_EQ(LoadCursor(module, MAKEINTRESOURCE(106)), nullptr);
  EXPECT_EQ(Cursors::Instance().Describe(c), "resource #105 of window-tests");
  ResourceTable::RemoveModule(module);
}

TEST_F(Input, CaretBlinksOnTheClockOnlyWhenAsked) {
  CreateCaret(a, nullptr, 1, 10);
  ShowCaret(a);
  VirtualClock::Advance(GetCaretBlinkTime());
  EXPECT_TRUE(Caret::Instance().IsDrawn());  // headless: steady
  Caret::Instance().blinking = true;
  EXPECT_FALSE(Caret::Instance().IsDrawn());  // one period since it was shown: the "off" half
  VirtualClock::Advance(GetCaretBlinkTime());
  EXPECT_TRUE(Caret::Instance().IsDrawn());
  SetCaretPos(3, 3);  // moving restarts the "on" half
  VirtualClock::Advance(GetCaretBlinkTime() - 1);
  EXPECT_TRUE(Caret::Instance().IsDrawn());
}

TEST_F(Input, CaretShowsAndHidesByCount) {
  ASSERT_TRUE(CreateCaret(a, nullptr, 1, 14));
  EXPECT_FALSE(Caret::Instance().IsDrawn());  // a new caret is hidden
  ShowCaret(a);
  EXPECT_TRUE(Caret::Instance().IsDrawn());
  HideCaret(a);
  HideCaret(a);
  ShowCaret(a);
  EXPECT_FALSE(Caret::Instance().IsDrawn());
  ShowCaret(a);
  SetCaretPos(7, 3);
  POINT p;
  GetCaretPos(&p);
  EXPECT_EQ(p.x, 7);
  EXPECT_FALSE(ShowCaret(b));  // not the owner
  DestroyWindow(a);
  EXPECT_FALSE(Caret::Instance().Exists());
}

}  // namespace
}  // namespace plat::test
