// The queue: order, filters, quit, hooks and null messages, timers on the virtual clock, idle loops.
#include "platform/base/VirtualClock.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Pump.h"
#include "platform/window/TimerTable.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

class Queue : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    top = Top();
    a = Child(top, 1, {0, 0, 50, 50});
    b = Child(top, 2, {60, 0, 110, 50});
    RunUntilIdle();  // first paints
    ClearLog();
  }
  HWND top{}, a{}, b{};
};

TEST_F(Queue, PostedMessagesKeepTheirOrderAndFiltersPickByWindowAndRange) {
  PostMessage(a, WM_USER + 1, 1, 0);
  PostMessage(b, WM_USER + 2, 2, 0);
  PostMessage(a, WM_USER + 3, 3, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
  // The parent's filter takes its children's messages too.
  ASSERT_TRUE(PeekMessage(&m, top, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Queue, RemovingOneWindowsTypeAheadKeepsTheOthers) {
  SetFocus(a);
  InputRouter::Instance().TypeText("xy");
  MSG m;
  // Looking at the queue assigns the keys typed so far to the focus window of that moment.
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_APP, WM_APP, PM_NOREMOVE));
  SetFocus(b);
  InputRouter::Instance().TypeText("z");
  while (PeekMessage(&m, a, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) EXPECT_EQ(m.hwnd, a);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
  EXPECT_EQ(m.hwnd, b);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('Z'));
}

TEST_F(Queue, RetrievalOrderIsPostedInputPaintTimer) {
  SetTimer(a, 1, 10, nullptr);
  VirtualClock::Advance(10);
  InvalidateRect(b, nullptr, FALSE);
  SetFocus(a);
  InputRouter::Instance().KeyDown(VK_F5);
  PostMessage(b, WM_USER, 0, 0);
  std::vector<UINT> order;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(m.message);
    DispatchMessage(&m);
  }
  EXPECT_MESSAGES(order, WM_USER, WM_KEYDOWN, WM_PAINT, WM_TIMER);
}

TEST_F(Queue, QuitComesAfterThePostedMessages) {
  PostQuitMessage(3);
  PostMessage(a, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER);
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(Queue, IdleGetMessageFailsLoudlyWithoutAProvider) {
  MSG m;
  EXPECT_THROW(GetMessage(&m, nullptr, 0, 0), MessageLoopStalled);
  // A provider feeds the loop when it runs dry.
  ScriptedAutomation script;
  script.Then([&] { PostMessage(a, WM_USER + 9, 0, 0); });
  SetAutomationProvider(&script);
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 9u);
  EXPECT_THROW(GetMessage(&m, nullptr, 0, 0), MessageLoopStalled);
  SetAutomationProvider(nullptr);
}

// ---- Hooks ------------------------------------------------------------------------------------------------

struct HookLog {
  std::vector<std::pair<UINT, WPARAM>> seen;  // message, remove flag
};
HookLog* g_hookLog = nullptr;
HHOOK g_hook = nullptr;

LRESULT NullingHook(int code, WPARAM removeFlag, LPARAM lParam) {
  MSG* m = reinterpret_cast<MSG*>(lParam);
  if (g_hookLog) g_hookLog->seen.emplace_back(m->message, removeFlag);
  // The module's keyboard hook: keys taken out of the queue and handled become null messages.
  if (code >= 0 && removeFlag == PM_REMOVE && m->message >= WM_KEYFIRST && m->message <= WM_KEYLAST &&
      m->wParam == 'Q') {
    m->message = 0;
    m->wParam = 0;
    m->lParam = 0;
  }
  return CallNextHookEx(g_hook, code, removeFlag, lParam);
}

int g_secondCalls = 0;
LRESULT SecondHook(int code, WPARAM w, LPARAM l) {
  ++g_secondCalls;
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(Queue, GetMessageHookSeesRemoveFlagAndCanMakeNullMessages) {
  HookLog log;
  g_hookLog = &log;
  HHOOK older = SetWindowsHookEx(WH_GETMESSAGE, SecondHook, nullptr, GetCurrentThreadId());
  g_hook = SetWindowsHookEx(WH_GETMESSAGE, NullingHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_hook, nullptr);
  g_secondCalls = 0;
  SetFocus(a);
  InputRouter::Instance().KeyPress('Q');
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));  // peeked: untouched
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_NULL);
  EXPECT_EQ(m.wParam, 0u);
  EXPECT_EQ(m.lParam, 0);
  DispatchMessage(&m);
  EXPECT_EQ(Entries(a, WM_NULL).size(), 1u);
  EXPECT_TRUE(Entries(a, WM_KEYDOWN).empty());
  ASSERT_EQ(log.seen.size(), 2u);
  EXPECT_EQ(log.seen[0], std::make_pair(static_cast<UINT>(WM_KEYDOWN), static_cast<WPARAM>(PM_NOREMOVE)));
  EXPECT_EQ(log.seen[1], std::make_pair(static_cast<UINT>(WM_KEYDOWN), static_cast<WPARAM>(PM_REMOVE)));
  EXPECT_EQ(g_secondCalls, 2);  // the chain went on to the older hook both times

  ASSERT_TRUE(UnhookWindowsHookEx(g_hook));
  EXPECT_FALSE(UnhookWindowsHookEx(g_hook));
  UnhookWindowsHookEx(older);
  log.seen.clear();
  RunUntilIdle();
  EXPECT_TRUE(log.seen.empty());
  EXPECT_EQ(Entries(a, WM_KEYUP).size(), 1u);
  g_hookLog = nullptr;
}

// A class library attaches its object to every new window before the window's first message.
std::vector<UINT>* g_firstSeen = nullptr;
WNDPROC g_classProc = nullptr;
HHOOK g_cbt = nullptr;
bool g_refuse = false;
LRESULT AttachedProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (g_firstSeen) g_firstSeen->push_back(m);
  return CallWindowProc(g_classProc, h, m, w, l);
}
LRESULT CbtHook(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND) {
    if (g_refuse) return 1;
    auto* cbt = reinterpret_cast<CBT_CREATEWND*>(l);
    if (cbt->lpcs && cbt->lpcs->lpszName && std::string(cbt->lpcs->lpszName) == "attach me")
      g_classProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtr(reinterpret_cast<HWND>(w), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AttachedProc)));
  }
  return CallNextHookEx(g_cbt, code, w, l);
}

TEST_F(Queue, CreationHookSubclassesBeforeTheFirstMessageOrRefuses) {
  std::vector<UINT> seen;
  g_firstSeen = &seen;
  g_cbt = SetWindowsHookEx(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_cbt, nullptr);
  HWND h = CreateWindowEx(0, "TestWnd", "attach me", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
  ASSERT_TRUE(IsWindow(h));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), WM_NCCREATE);  // the attached procedure saw everything
  EXPECT_EQ(Log(h).front(), WM_NCCREATE);  // and passed it on to the class procedure
  g_refuse = true;
  HWND refused = CreateWindowEx(0, "TestWnd", "x", WS_CHILD, 0, 0, 5, 5, top, reinterpret_cast<HMENU>(77), nullptr,
                                nullptr);
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(GetDlgItem(top, 77), nullptr);
  g_refuse = false;
  UnhookWindowsHookEx(g_cbt);
  g_firstSeen = nullptr;
}

// ---- Timers -----------------------------------------------------------------------------------------------

std::vector<std::pair<HWND, UINT_PTR>> TimerTicks(const std::vector<Logged>& all) {
  std::vector<std::pair<HWND, UINT_PTR>> out;
  for (const Logged& l : all)
    if (l.msg == WM_TIMER) out.emplace_back(l.hwnd, l.wParam);
  return out;
}

TEST_F(Queue, TimersFireInDueOrderOnTheVirtualClock) {
  SetTimer(a, 993, 500, nullptr);
  SetTimer(b, 992, 10, nullptr);
  SetTimer(top, 7, 200, nullptr);
  RunUntilIdle();
  EXPECT_TRUE(TimerTicks(All()).empty());  // nothing is due before time moves
  AdvanceAndPump(500);
  auto ticks = TimerTicks(All());
  // b every 10 ms (50 ticks), top at 200 and 400, a at 500; in time order.
  ASSERT_EQ(ticks.size(), 53u);
  std::vector<std::pair<HWND, UINT_PTR>> others;
  for (auto& t : ticks)
    if (t.first != b) others.push_back(t);
  EXPECT_EQ(others, (std::vector<std::pair<HWND, UINT_PTR>>{{top, 7}, {top, 7}, {a, 993}}));
  // Timers due at the same moment go in the order they were first set: a before b at 500, b before top at 200.
  EXPECT_EQ(ticks[ticks.size() - 2], std::make_pair(a, static_cast<UINT_PTR>(993)));
  EXPECT_EQ(ticks.back(), std::make_pair(b, static_cast<UINT_PTR>(992)));
  EXPECT_EQ(ticks[20], std::make_pair(top, static_cast<UINT_PTR>(7)));
  EXPECT_EQ(ticks[19], std::make_pair(b, static_cast<UINT_PTR>(992)));
}

TEST_F(Queue, TimerTicksCoalesceAndResettingReplaces) {
  SetTimer(a, 1, 100, nullptr);
  VirtualClock::Advance(1000);  // ten intervals pass while the thread is busy
  RunUntilIdle();
  EXPECT_EQ(TimerTicks(All()).size(), 1u);
  ClearLog();
  EXPECT_EQ(SetTimer(a, 1, 300, nullptr), 1u);  // same window and id: replaced, not added
  AdvanceAndPump(299);
  EXPECT_TRUE(TimerTicks(All()).empty());
  AdvanceAndPump(1);
  EXPECT_EQ(TimerTicks(All()).size(), 1u);
  EXPECT_TRUE(KillTimer(a, 1));
  EXPECT_FALSE(KillTimer(a, 1));
  ClearLog();
  AdvanceAndPump(1000);
  EXPECT_TRUE(TimerTicks(All()).empty());
}

int g_threadTicks = 0;
UINT_PTR g_threadTimerId = 0;
void ThreadTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD) {
  EXPECT_EQ(hwnd, nullptr);
  EXPECT_EQ(msg, WM_TIMER);
  EXPECT_EQ(id, g_threadTimerId);
  ++g_threadTicks;
}

TEST_F(Queue, ThreadTimersGetFreshIdsAndCallTheirProcedure) {
  g_threadTicks = 0;
  g_threadTimerId = SetTimer(nullptr, 0, 50, ThreadTimerProc);
  UINT_PTR other = SetTimer(nullptr, 0, 50, ThreadTimerProc);
  ASSERT_NE(g_threadTimerId, 0u);
  EXPECT_NE(other, g_threadTimerId);
  KillTimer(nullptr, other);
  AdvanceAndPump(100);
  EXPECT_EQ(g_threadTicks, 2);
  TimerTable::Instance().forceFailure = true;
  EXPECT_EQ(SetTimer(a, 5, 10, nullptr), 0u);
  TimerTable::Instance().forceFailure = false;
}

TEST_F(Queue, DestroyingAWindowDropsItsTimersAndMessages) {
  SetTimer(a, 1, 10, nullptr);
  PostMessage(a, WM_USER, 0, 0);
  DestroyWindow(a);
  ClearLog();
  AdvanceAndPump(100);
  EXPECT_TRUE(Log(a, false).empty());
  EXPECT_TRUE(TimerTicks(All()).empty());
}

TEST_F(Queue, SendMessageIsSynchronousAndReentrant) {
  int depth = 0, maxDepth = 0;
  On(a, [&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_USER) return std::nullopt;
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    LRESULT r = w > 0 ? SendMessage(h, WM_USER, w - 1, 0) + 1 : 0;
    --depth;
    return r;
  });
  EXPECT_EQ(SendMessage(a, WM_USER, 5, 0), 5);
  EXPECT_EQ(maxDepth, 6);
}

}  // namespace
}  // namespace plat::test
