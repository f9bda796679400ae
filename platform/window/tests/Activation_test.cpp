// Activation between top-level windows: showing without activating, closing or hiding the active window,
// disabling the capture window, thread messages and queue status.
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

class Activation : public WindowTest {
 protected:
  HWND Popup(HWND owner, RECT r, DWORD style = WS_POPUP | WS_VISIBLE) {
    return CreateWindowEx(0, "TestWnd", "popup", style, r.left, r.top, r.right - r.left, r.bottom - r.top, owner,
                          nullptr, nullptr, nullptr);
  }
};

TEST_F(Activation, ClosingAnOwnedPopupActivatesItsOwnerAgain) {
  HWND owner = Top(WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
  HWND other = Top(WS_POPUP | WS_VISIBLE, {400, 0, 500, 100});
  HWND box = Popup(owner, {50, 50, 150, 120});
  ASSERT_EQ(GetActiveWindow(), box);
  ClearLog();
  DestroyWindow(box);
  EXPECT_EQ(GetActiveWindow(), owner);  // not `other`, although it was active more recently than owner
  EXPECT_EQ(GetFocus(), owner);
  auto act = Entries(owner, WM_ACTIVATE);
  ASSERT_EQ(act.size(), 1u);
  EXPECT_EQ(LOWORD(act[0].wParam), WA_ACTIVE);
  (void)other;
}

// A popup that closes while its owner can take no activation (hidden, or disabled with no box over it) hands
// the activation to another visible window, which takes the keys: nothing was active and typed keys went
// nowhere until a click.
TEST_F(Activation, ClosingAPopupWhoseOwnerCannotTakeTheActivationActivatesAnotherWindow) {
  enum class Owner { Hidden, Disabled };
  enum class Close { Destroy, Hide };
  const struct {
    const char* name;
    Owner owner;
    Close close;
  } cases[] = {{"hidden owner, popup destroyed", Owner::Hidden, Close::Destroy},
               {"hidden owner, popup hidden", Owner::Hidden, Close::Hide},
               {"disabled owner, popup destroyed", Owner::Disabled, Close::Destroy},
               {"disabled owner, popup hidden", Owner::Disabled, Close::Hide}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND owner = Top(c.owner == Owner::Hidden ? WS_POPUP : WS_POPUP | WS_VISIBLE | WS_DISABLED, {0, 0, 300, 200});
    HWND other = Top(WS_POPUP | WS_VISIBLE, {400, 0, 500, 100});
    HWND popup = Popup(owner, {50, 50, 150, 120});
    ASSERT_EQ(GetActiveWindow(), popup);
    if (c.close == Close::Destroy)
      DestroyWindow(popup);
    else
      ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(GetFocus(), other);
    for (HWND w : {popup, other, owner})
      if (IsWindow(w)) DestroyWindow(w);
  }
}

// A window whose owned popup took the focus gets it back when the popup closes; focusing one of its windows
// while the popup is active goes straight there, without a stop at the window that had the focus before.
TEST_F(Activation, ClosingAPopupGivesTheFocusBackAndFocusingAnotherWindowGoesStraightThere) {
  HWND owner = Top(WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
  HWND a = Child(owner, 1, {0, 0, 50, 50});
  HWND b = Child(owner, 2, {60, 0, 110, 50});
  SetFocus(a);
  HWND box = Popup(owner, {50, 50, 150, 120});
  ASSERT_EQ(GetFocus(), box);
  DestroyWindow(box);
  EXPECT_EQ(GetFocus(), a);
  box = Popup(owner, {50, 50, 150, 120});
  ClearLog();
  SetFocus(b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_TRUE(Entries(a, WM_SETFOCUS).empty());
  DestroyWindow(box);
}

TEST_F(Activation, HidingTheActiveWindowPassesActivationOnAndShowNaDoesNotTakeIt) {
  HWND first = Top(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND second = Top(WS_POPUP | WS_VISIBLE, {200, 0, 300, 100});
  ASSERT_EQ(GetActiveWindow(), second);
  ShowWindow(second, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), first);
  ShowWindow(second, SW_SHOWNA);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_TRUE(IsWindowVisible(second));
  ShowWindow(second, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), second);
  // The last visible window hidden: nothing is active and nothing has the focus.
  ShowWindow(first, SW_HIDE);
  ShowWindow(second, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Activation, DisablingTheCaptureWindowReleasesTheCapture) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND child = Child(top, 1, {0, 0, 50, 50});
  SetCapture(child);
  ClearLog();
  EnableWindow(top, FALSE);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Entries(child, WM_CAPTURECHANGED).size(), 1u);
  auto enable = Entries(top, WM_ENABLE);
  ASSERT_EQ(enable.size(), 1u);
  EXPECT_EQ(enable[0].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_FALSE(EnableWindow(top, TRUE) == FALSE);  // answers "was disabled"
}

TEST_F(Activation, ThreadMessagesAndQueueStatus) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  RunUntilIdle();
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
  PostThreadMessage(GetCurrentThreadId(), WM_USER + 7, 1, 2);
  PostMessage(top, WM_USER + 8, 0, 0);
  EXPECT_NE(HIWORD(GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE, 0u);
  MSG m;
  // The special filter -1 takes thread messages only.
  ASSERT_TRUE(PeekMessage(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 7u);
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_FALSE(PeekMessage(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 8u);
  InvalidateRect(top, nullptr, FALSE);
  EXPECT_NE(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT, 0u);
  InputRouter::Instance().KeyPress('A');
  EXPECT_NE(HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY, 0u);
}

}  // namespace
}  // namespace plat::test
