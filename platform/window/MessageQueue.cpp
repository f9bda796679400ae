#include "platform/window/MessageQueue.h"

#include <algorithm>

#include "platform/base/VirtualClock.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Painter.h"
#include "platform/window/TimerTable.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {
const HWND kThreadOnly = reinterpret_cast<HWND>(-1);
bool InRange(UINT m, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (m >= lo && m <= hi); }
bool IsInputMessage(UINT m) {
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
         (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}
}  // namespace

bool MatchesFilter(HWND target, UINT message, HWND hwnd, UINT lo, UINT hi) {
  if (!InRange(message, lo, hi)) return false;
  if (!hwnd) return true;
  if (hwnd == kThreadOnly) return target == nullptr;
  return target && WindowManager::Instance().IsAncestor(hwnd, target);
}

MessageQueue& MessageQueue::Instance() {
  static MessageQueue queue;
  return queue;
}

void MessageQueue::Post(const MSG& msg) {
  MSG m = msg;
  if (m.time == 0) m.time = static_cast<DWORD>(VirtualClock::NowMs());
  m.pt = InputRouter::Instance().cursor;
  posted_.push_back(m);
}

void MessageQueue::PostQuit(int exitCode) {
  quitPosted_ = true;
  quitCode_ = exitCode;
}

bool MessageQueue::PeekPosted(MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove) {
  WindowManager& wm = WindowManager::Instance();
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    // Keyboard and mouse messages posted to a window that has since come to take no input (the character a key's
    // translation posted, when the key's handler brought up a box over the window) go nowhere.
    while (it != posted_.end() && IsInputMessage(it->message) && wm.Get(it->hwnd) && !wm.TakesInput(it->hwnd))
      it = posted_.erase(it);
    if (it == posted_.end()) break;
    if (!MatchesFilter(it->hwnd, it->message, hwnd, lo, hi)) continue;
    *out = *it;
    if (remove) posted_.erase(it);
    return true;
  }
  return false;
}

bool MessageQueue::Peek(MSG* out, HWND hwnd, UINT lo, UINT hi, UINT flags) {
  if (!out) return false;
  const bool remove = (flags & PM_REMOVE) != 0;
  WindowManager& wm = WindowManager::Instance();
  if (hwnd && hwnd != kThreadOnly && !wm.Get(hwnd)) return false;
  MSG msg{};
  bool found = PeekPosted(&msg, hwnd, lo, hi, remove);
  if (!found && quitPosted_) {
    // WM_QUIT comes once the posted messages are gone, whatever the filter.
    msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode_), 0, static_cast<DWORD>(VirtualClock::NowMs()),
              InputRouter::Instance().cursor};
    if (remove) quitPosted_ = false;
    found = true;
  }
  if (!found) found = InputRouter::Instance().Take(&msg, hwnd, lo, hi, remove);
  if (!found && InRange(WM_PAINT, lo, hi) && hwnd != kThreadOnly) {
    Painter::FlushNcPaint();
    if (HWND p = wm.FindPaintWindow(hwnd)) {
      msg = MSG{p, WM_PAINT, 0, 0, static_cast<DWORD>(VirtualClock::NowMs()), InputRouter::Instance().cursor};
      if (remove) wm.Get(p)->internalPaint = false;
      found = true;
    }
  }
  if (!found && InRange(WM_TIMER, lo, hi)) {
    found = TimerTable::Instance().TakeDue(&msg, hwnd == kThreadOnly ? nullptr : hwnd, remove);
    msg.pt = InputRouter::Instance().cursor;
  }
  // Hover notices are timer-like: they come when the queue is otherwise idle.
  if (!found && hwnd != kThreadOnly &&
      (InRange(WM_MOUSEHOVER, lo, hi) || InRange(WM_NCMOUSEHOVER, lo, hi)))
    found = InputRouter::Instance().TakeHover(&msg, hwnd, remove);
  if (!found) return false;
  if (remove) {
    lastTime = msg.time;
    lastPos = msg.pt;
  }
  RunHooks(&msg, remove);
  *out = msg;
  return true;
}

BOOL MessageQueue::Get(MSG* out, HWND hwnd, UINT lo, UINT hi) {
  while (!Peek(out, hwnd, lo, hi, PM_REMOVE)) WaitForWork("GetMessage");
  return out->message != WM_QUIT;
}

void MessageQueue::WaitForWork(const char* who) {
  if (eventSource) {
    std::optional<std::uint64_t> timeout;
    if (auto due = TimerTable::Instance().NextDue()) {
      std::uint64_t now = VirtualClock::NowMs();
      timeout = *due > now ? *due - now : 0;
    }
    if (!eventSource->WaitForEvents(timeout)) PostQuit(0);
    return;
  }
  if (AutomationProvider* p = GetAutomationProvider(); p && p->SupplyInput()) return;
  throw MessageLoopStalled(std::string(who) +
                           ": the queue is empty, no timer is due and nothing can supply input (no automation "
                           "provider step left)");
}

void MessageQueue::RemoveWindow(HWND hwnd) {
  std::erase_if(posted_, [&](const MSG& m) { return m.hwnd == hwnd; });
}

void MessageQueue::Clear() {
  posted_.clear();
  quitPosted_ = false;
  quitCode_ = 0;
  hooks_.clear();
  eventSource = nullptr;
  lastTime = 0;
  lastPos = POINT{0, 0};
}

HHOOK MessageQueue::AddHook(int idHook, HOOKPROC proc) {
  if ((idHook != WH_GETMESSAGE && idHook != WH_CBT) || !proc) return nullptr;
  HHOOK h = reinterpret_cast<HHOOK>(nextHook_++);
  hooks_.insert(hooks_.begin(), Hook{h, idHook, proc});  // the newest hook is called first
  return h;
}

bool MessageQueue::RemoveHook(HHOOK hook) {
  auto it = std::find_if(hooks_.begin(), hooks_.end(), [&](const Hook& h) { return h.handle == hook; });
  if (it == hooks_.end()) return false;
  hooks_.erase(it);
  return true;
}

bool MessageQueue::HasHooks(int idHook) const {
  return std::any_of(hooks_.begin(), hooks_.end(), [&](const Hook& h) { return h.id == idHook; });
}

LRESULT MessageQueue::CallFrom(std::size_t index, int id, int code, WPARAM wParam, LPARAM lParam) {
  for (std::size_t i = index; i < hooks_.size(); ++i) {
    if (hooks_[i].id != id) continue;
    runningHooks_.push_back(i);
    LRESULT r = hooks_[i].proc(code, wParam, lParam);
    runningHooks_.pop_back();
    return r;
  }
  return 0;
}

LRESULT MessageQueue::CallNext(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  // The classic call ignores its hook argument when it is null and continues after the hook running now;
  // we find the position by handle, or continue after the innermost running hook.
  auto it = std::find_if(hooks_.begin(), hooks_.end(), [&](const Hook& h) { return h.handle == hook; });
  std::size_t current;
  if (it != hooks_.end())
    current = static_cast<std::size_t>(it - hooks_.begin());
  else if (!runningHooks_.empty() && runningHooks_.back() < hooks_.size())
    current = runningHooks_.back();
  else
    return 0;
  return CallFrom(current + 1, hooks_[current].id, code, wParam, lParam);
}

LRESULT MessageQueue::RunChain(int idHook, int code, WPARAM wParam, LPARAM lParam) {
  return CallFrom(0, idHook, code, wParam, lParam);
}

void MessageQueue::RunHooks(MSG* msg, bool removed) {
  RunChain(WH_GETMESSAGE, HC_ACTION, removed ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(msg));
}

}  // namespace plat
