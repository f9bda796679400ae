// Nested loops: the one way out, quit propagation, owner disabling, idle calls, the automation provider,
// and the long-operation pump.
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
