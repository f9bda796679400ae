// Randomised sequences of creation, destruction (also from inside handlers), focus, capture, posting,
// painting, timers and input, checked against invariants after every step: whatever a window does to
// itself or others while handling a message, no stale handle is ever used, the focus and capture are a
// live window or none, and nothing outlives a reset. Runs under the sanitizers with fixed seeds.
#include <random>

#include "platform/base/VirtualClock.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"
#include "platform/window/WindowManager.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

class Stress : public WindowTest {};

TEST_F(Stress, RandomLifeCyclesKeepTheInvariants) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<HWND> live;
    auto any = [&]() -> HWND { return live.empty() ? nullptr : live[static_cast<std::size_t>(pick(static_cast<int>(live.size())))]; };
    auto prune = [&] { std::erase_if(live, [](HWND h) { return !IsWindow(h); }); };
    auto arm = [&](HWND h) {
      // Handlers that act on other windows while they handle a message: the re-entrancy under test.
      On(h, [&, h](HWND self, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER + 1 && !live.empty()) DestroyWindow(any());
        if (m == WM_KILLFOCUS && pick(4) == 0) DestroyWindow(self);
        if (m == WM_LBUTTONDOWN && pick(3) == 0) SetCapture(self);
        if (m == WM_TIMER && pick(5) == 0) DestroyWindow(self);
        if (m == WM_PAINT && pick(6) == 0) InvalidateRect(any(), nullptr, TRUE);  // paints another later
        (void)h;
        return std::nullopt;
      });
    };
    for (int step = 0; step < 400; ++step) {
      switch (pick(12)) {
        case 0:
        case 1: {
          HWND parent = pick(3) == 0 ? nullptr : any();
          HWND h = parent ? Child(parent, pick(100), {pick(200), pick(200), 250, 250})
                          : Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {pick(500), pick(500), 700, 700});
          if (h) {
            live.push_back(h);
            arm(h);
          }
          break;
        }
        case 2: DestroyWindow(any()); break;
        case 3: SetFocus(any()); break;
        case 4: SendMessage(any(), WM_USER + 1, 0, 0); break;
        case 5: PostMessage(any(), WM_USER + 1, 0, 0); break;
        case 6: SetTimer(any(), 1, 10 + pick(50), nullptr); break;
        case 7: InputRouter::Instance().Click(MouseButton::Left, POINT{pick(800), pick(800)}); break;
        case 8: InputRouter::Instance().TypeText("a\t"); break;
        case 9: ShowWindow(any(), pick(2) ? SW_SHOW : SW_HIDE); break;
        case 10: MoveWindow(any(), pick(300), pick(300), pick(300), pick(300), TRUE); break;
        default: AdvanceAndPump(static_cast<std::uint64_t>(pick(40))); break;
      }
      RunUntilIdle();
      prune();
      WindowManager& wm = WindowManager::Instance();
      ASSERT_TRUE(!GetFocus() || IsWindow(GetFocus())) << "seed " << seed << " step " << step;
      ASSERT_TRUE(!GetCapture() || IsWindow(GetCapture())) << "seed " << seed << " step " << step;
      ASSERT_TRUE(!GetActiveWindow() || IsWindow(GetActiveWindow())) << "seed " << seed << " step " << step;
      for (HWND h : live) {
        Window* w = wm.Get(h);
        ASSERT_NE(w, nullptr);
        ASSERT_NE(wm.Get(w->parent), nullptr) << "a live window whose parent is gone";
        for (HWND c : w->children) ASSERT_NE(wm.Get(c), nullptr) << "a stale child in a live window";
      }
    }
    ResetWindowSystem();
    std::size_t windows = 0;
    WindowManager::Instance().ForEachWindow([&](const Window&) { ++windows; });
    EXPECT_EQ(windows, 1u) << "only the desktop survives a reset";
    SetUp();
  }
}

}  // namespace
}  // namespace plat::test
