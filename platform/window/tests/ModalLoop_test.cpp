// Nested loops: the one way out, quit propagation, owner disabling, idle calls, the automation provider,
// and the long-operation pump.
#include <functional>

#include "platform/base/VirtualClock.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/Pump.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

class Modal : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    owner = Top(WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
    box = CreateWindowEx(0, "TestWnd", "box", WS_POPUP | WS_VISIBLE, 50, 50, 100, 80, owner, nullptr, nullptr,
                         nullptr);
    ok = Child(box, 1, {10, 10, 60, 30});
    RunUntilIdle();
    ClearLog();
  }
  HWND owner{}, box{}, ok{};
};

TEST_F(Modal, ScriptedClickEndsTheLoopWhichDisabledItsOwner) {
  ModalLoop::Options options;
  options.owner = owner;
  ModalLoop loop(options);
  bool ownerEnabledInside = true;
  On(ok, [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_LBUTTONUP) {
      ownerEnabledInside = IsWindowEnabled(owner);
      loop.End(1);
    }
    return std::nullopt;
  });
  ScriptedAutomation script;
  script.Then([&] { InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(ok, 5, 5)); });
  SetAutomationProvider(&script);
  EXPECT_EQ(loop.Run(), 1);
  SetAutomationProvider(nullptr);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(loop.Running());
}

// A press on the window a modal box disables, or on a child of it, finds the box again after another window the
// owner owns (a print preview) came above it: the window comes up with what it owns, the box above them all takes
// the keys, and the press itself reaches no one. Of a box over a box (owned by the first), the innermost comes; the
// boxes over a window are listed innermost first.
TEST_F(Modal, APressOnTheDisabledOwnerBringsUpItsBoxWithTheKeys) {
  HWND field = Child(owner, 2, {230, 10, 290, 40});
  HWND preview = CreateWindowEx(0, "TestWnd", "preview", WS_POPUP | WS_VISIBLE, 120, 60, 100, 100, owner, nullptr,
                                nullptr, nullptr);
  HWND other = Top(WS_POPUP | WS_VISIBLE, {250, 150, 400, 300});
  SetFocus(ok);
  InputRouter& in = InputRouter::Instance();
  auto loseThenPress = [&](HWND pressed) {
    in.Click(MouseButton::Left, InputRouter::ClientPoint(preview, 80, 80));
    in.Click(MouseButton::Left, InputRouter::ClientPoint(pressed, 5, 5));
  };
  auto expectUp = [&](HWND up, HWND focus, const char* pressed) {
    EXPECT_EQ(GetTopWindow(nullptr), up) << pressed;
    EXPECT_EQ(GetActiveWindow(), up) << pressed;
    EXPECT_EQ(GetFocus(), focus) << pressed;
    EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other) << pressed;
    for (HWND w : {owner, field})
      for (UINT m : {WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_NCLBUTTONDOWN})
        EXPECT_TRUE(Entries(w, m).empty()) << pressed << ": message " << m;
  };
  ModalLoop::Options options;
  options.owner = owner;
  options.window = box;
  ModalLoop loop(options);
  ScriptedAutomation script;
  script.Then([&] { loseThenPress(owner); })
      .Then([&] {
        expectUp(box, ok, "owner");
        loseThenPress(field);
      })
      .Then([&] {
        expectUp(box, ok, "child");
        HWND inner = CreateWindowEx(0, "TestWnd", "inner", WS_POPUP | WS_VISIBLE, 60, 60, 50, 50, box, nullptr,
                                    nullptr, nullptr);
        ModalLoop::Options innerOptions;  // leaves the box under it enabled: the innermost is the one to answer
        innerOptions.window = inner;
        ModalLoop innerLoop(innerOptions);
        script.Then([&] { loseThenPress(owner); }).Then([&] {
          expectUp(inner, inner, "owner under two boxes");
          EXPECT_EQ(ModalLoop::WindowsOver(owner), (std::vector<HWND>{inner, box}));
          EXPECT_EQ(ModalLoop::WindowsOver(box), std::vector<HWND>{inner});
          innerLoop.End(2);
          EXPECT_EQ(ModalLoop::WindowsOver(owner), std::vector<HWND>{box});  // an ended loop's box is going
        });
        EXPECT_EQ(innerLoop.Run(), 2);
        loop.End(1);
      });
  SetAutomationProvider(&script);
  EXPECT_EQ(loop.Run(), 1);
  SetAutomationProvider(nullptr);
}

// A window that a modal box disables never becomes the active or the focus window, whichever path asks for it:
// the box keeps the activation and its control the focus, above the window, so that the keys meant for the box
// (Escape) never reach the window under it. A window or box over the disabled window that ends hands the
// activation back to the box, not to the window that lies next in Z order.
TEST_F(Modal, ADisabledWindowNeverTakesTheActivationOrTheFocus) {
  HWND button = Child(owner, 3, {230, 10, 290, 40});
  auto ownedPopup = [&] {
    HWND popup = CreateWindowEx(0, "TestWnd", "find", WS_POPUP | WS_VISIBLE, 20, 120, 80, 60, owner, nullptr,
                                nullptr, nullptr);
    SetFocus(Child(popup, 4, {0, 0, 20, 20}));
    EXPECT_EQ(GetActiveWindow(), popup);
    return popup;
  };
  ModalLoop::Options options;
  options.owner = owner;
  options.window = box;
  ModalLoop loop(options);
  const struct {
    const char* path;
    std::function<void()> act;
  } cases[] = {
      {"SetFocus on its control", [&] { EXPECT_EQ(SetFocus(button), nullptr); }},
      {"SetActiveWindow", [&] { SetActiveWindow(owner); }},
      {"SetActiveWindow on its control", [&] { SetActiveWindow(button); }},
      {"SetForegroundWindow", [&] { EXPECT_FALSE(SetForegroundWindow(owner)); }},
      {"ShowWindow", [&] { ShowWindow(owner, SW_SHOW); }},
      {"BringWindowToTop", [&] { BringWindowToTop(owner); }},
      {"a window it owns is destroyed", [&] { DestroyWindow(ownedPopup()); }},
      {"a window it owns is hidden",
       [&] {
         HWND popup = ownedPopup();
         ShowWindow(popup, SW_HIDE);
         DestroyWindow(popup);
       }},
      {"a second box over it ends",
       [&] {
         HWND second = CreateWindowEx(0, "TestWnd", "second", WS_POPUP | WS_VISIBLE, 60, 60, 50, 50, owner, nullptr,
                                      nullptr, nullptr);
         ModalLoop::Options secondOptions;
         secondOptions.owner = owner;
         secondOptions.window = second;
         ModalLoop secondLoop(secondOptions);
         PostMessage(second, WM_USER, 0, 0);
         On(second, [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
           if (m == WM_USER) secondLoop.End(1);
           return std::nullopt;
         });
         EXPECT_EQ(GetActiveWindow(), second);
         EXPECT_EQ(secondLoop.Run(), 1);
         DestroyWindow(second);
       }},
      {"the active window is disabled under it",
       [&] {
         EnableWindow(owner, TRUE);
         SetActiveWindow(owner);
         EXPECT_EQ(GetActiveWindow(), owner);
         EnableWindow(owner, FALSE);
       }},
  };
  ScriptedAutomation script;
  script.Then([&] {
    HWND other = Top(WS_POPUP, {400, 300, 500, 400});
    ShowWindow(other, SW_SHOWNA);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.path);
      SetActiveWindow(box);
      SetFocus(ok);
      // An unrelated window above the box, without the activation: what a closing window handed it to first.
      SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      ClearLog();
      c.act();
      EXPECT_EQ(GetActiveWindow(), box);
      EXPECT_EQ(GetFocus(), ok);
      EXPECT_TRUE(Entries(button, WM_SETFOCUS).empty());
      EXPECT_FALSE(IsWindowEnabled(owner));
      HWND below = box;
      while (below && below != owner) below = GetWindow(below, GW_HWNDNEXT);
      EXPECT_EQ(below, owner) << "the box lies above the window it disables";
    }
    loop.End(1);
  });
  SetAutomationProvider(&script);
  EXPECT_EQ(loop.Run(), 1);
  SetAutomationProvider(nullptr);
}

// Input under way to a window when a box comes up over it never reaches the window (nor a child of it) while the box
// is up, by whichever path it travels: a press or key that a peek took up for the window before the box came (a
// filtered peek takes up everything queued before what it looks for), the character that a key's translation posted
// when the key's own handler brought up the box, a hover asked for before; nor does the wheel turned over it. Keys
// go to the box's focus instead, and the box keeps the activation.
TEST_F(Modal, InputUnderWayToAWindowNeverReachesItUnderABox) {
  HWND field = Child(owner, 2, {230, 10, 290, 40});
  InputRouter& in = InputRouter::Instance();
  MSG peeked{};
  // The box's loop over the owner, the box active with the keys; `inside` runs once the loop waits for input.
  auto runBox = [&](const std::function<void()>& inside) {
    ModalLoop::Options options;
    options.owner = owner;
    options.window = box;
    ModalLoop loop(options);
    ScriptedAutomation script;
    script.Then([&] { if (inside) inside(); }).Then([&] { loop.End(1); });
    SetActiveWindow(box);
    SetFocus(ok);
    ClearLog();
    SetAutomationProvider(&script);
    loop.Run();
    SetAutomationProvider(nullptr);
  };
  const struct {
    const char* path;
    bool key;
    std::function<void(HWND, POINT)> run;
  } cases[] = {
      {"a press peeked before", false, [&](HWND, POINT p) {
         in.Click(MouseButton::Left, p);
         EXPECT_TRUE(PeekMessage(&peeked, nullptr, 0, 0, PM_NOREMOVE));
         runBox({});
       }},
      {"a press taken up by a filtered peek", false, [&](HWND w, POINT p) {
         in.Click(MouseButton::Left, p);
         EXPECT_FALSE(PeekMessage(&peeked, w, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
         runBox({});
       }},
      {"Escape peeked before", true, [&](HWND, POINT) {
         in.KeyPress(VK_ESCAPE);
         EXPECT_TRUE(PeekMessage(&peeked, nullptr, 0, 0, PM_NOREMOVE));
         runBox({});
       }},
      {"the character of the key that brought up the box", true, [&](HWND w, POINT) {
         On(w, [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
           if (m == WM_KEYDOWN && IsWindowEnabled(owner)) runBox({});
           return std::nullopt;
         });
         in.TypeText("a");
         RunUntilIdle();
         On(w, nullptr);
       }},
      {"a hover asked for before", false, [&](HWND w, POINT p) {
         in.MouseMove(p);
         RunUntilIdle();
         TRACKMOUSEEVENT hover{sizeof hover, TME_HOVER, w, HOVER_DEFAULT};
         TrackMouseEvent(&hover);
         runBox([] { VirtualClock::Advance(2 * InputRouter::kHoverMs); });
       }},
      {"the wheel turned over it", false, [&](HWND, POINT p) { runBox([&] { in.Wheel(WHEEL_DELTA, p); }); }},
  };
  auto isInput = [](UINT m) {
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
           (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK) || m == WM_MOUSEHOVER;
  };
  for (const auto& c : cases) {
    for (HWND target : {owner, field}) {
      SCOPED_TRACE(std::string(c.path) + (target == owner ? ", the window" : ", its child"));
      SetActiveWindow(owner);
      SetFocus(target);
      c.run(target, InputRouter::ClientPoint(target, 5, 5));
      for (HWND w : {owner, field})
        for (UINT m : Log(w, false))
          EXPECT_FALSE(isInput(m)) << Names({m}) << (w == owner ? " reached the window" : " reached its child");
      if (c.key) {
        EXPECT_FALSE(Entries(ok, WM_KEYUP).empty()) << "the keys go to the box's focus";
      }
      EXPECT_EQ(GetActiveWindow(), box);
      RunUntilIdle();
    }
  }
}

TEST_F(Modal, IdleLoopWithoutAnyInputFailsLoudly) {
  ModalLoop::Options options;
  options.owner = owner;
  ModalLoop loop(options);
  EXPECT_THROW(loop.Run(), MessageLoopStalled);
  EXPECT_TRUE(IsWindowEnabled(owner));  // the owner comes back even then
  EXPECT_EQ(ModalLoop::Innermost(), nullptr);
}

TEST_F(Modal, QuitEndsEveryNestedLoopAndStaysPosted) {
  ModalLoop outer, inner;
  int innerResult = 0;
  On(ok, [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_USER) {
      EXPECT_EQ(ModalLoop::Innermost(), &outer);
      PostQuitMessage(4);
      innerResult = inner.Run();
    }
    return std::nullopt;
  });
  PostMessage(ok, WM_USER, 0, 0);
  EXPECT_EQ(outer.Run(), ModalLoop::kQuitResult);
  EXPECT_EQ(innerResult, ModalLoop::kQuitResult);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 4u);
}

TEST_F(Modal, IdleCallsCountFromZeroAfterEachMessage) {
  std::vector<int> counts;
  ModalLoop* self = nullptr;
  ModalLoop::Options options;
  options.onIdle = [&](int count) {
    counts.push_back(count);
    if (counts.size() == 2) PostMessage(ok, WM_USER, 0, 0);
    if (counts.size() == 4) self->End(7);
    return true;
  };
  ModalLoop loop(options);
  self = &loop;
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(counts, (std::vector<int>{0, 1, 0, 1}));
}

TEST_F(Modal, PreTranslateSeesMessagesFirst) {
  ModalLoop* self = nullptr;
  ModalLoop::Options options;
  options.preTranslate = [&](MSG& m) {
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      self->End(2);
      return true;
    }
    return false;
  };
  ModalLoop loop(options);
  self = &loop;
  SetFocus(ok);
  InputRouter::Instance().KeyPress(VK_ESCAPE);
  EXPECT_EQ(loop.Run(), 2);
  EXPECT_TRUE(Entries(ok, WM_KEYDOWN).empty());
}

TEST_F(Modal, BusyPumpDropsInputAndCommandsButDeliversTheRest) {
  SetFocus(ok);
  InputRouter::Instance().TypeText("abc");
  PostMessage(box, WM_COMMAND, 1, 0);
  PostMessage(box, WM_USER, 0, 0);
  InvalidateRect(ok, nullptr, TRUE);
  EXPECT_TRUE(ModalLoop::PumpWhileBusy());
  EXPECT_TRUE(Entries(ok, WM_KEYDOWN).empty());
  EXPECT_TRUE(Entries(box, WM_COMMAND).empty());
  EXPECT_EQ(Entries(box, WM_USER).size(), 1u);
  EXPECT_EQ(Entries(ok, WM_PAINT).size(), 1u);
}

TEST_F(Modal, SystemRequestsAreAnsweredAndRecordedOrFailLoudly) {
  SystemRequest request{SystemUiKind::MessageBox, owner, "Error", "Please enter a number.", 0x30, {"OK"}};
  EXPECT_THROW(RequestSystemAnswer(request), AutomationMissing);
  ScriptedAutomation script;
  script.Reply(SystemUiKind::MessageBox, SystemAnswer{1, {}, 0}, "number");
  SetAutomationProvider(&script);
  EXPECT_EQ(RequestSystemAnswer(request).code, 1);
  ASSERT_EQ(ShownLog().size(), 1u);
  EXPECT_EQ(ShownLog()[0].request.text, "Please enter a number.");
  EXPECT_EQ(ShownLog()[0].request.owner, owner);
  EXPECT_THROW(RequestSystemAnswer(request), AutomationMissing);  // each rule answers once
  SetAutomationProvider(nullptr);
}

}  // namespace
}  // namespace plat::test
