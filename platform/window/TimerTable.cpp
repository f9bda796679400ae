#include "platform/window/TimerTable.h"

#include <algorithm>

#include "platform/base/VirtualClock.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/WindowManager.h"

namespace plat {

TimerTable& TimerTable::Instance() {
  static TimerTable table;
  return table;
}

UINT_PTR TimerTable::Set(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (forceFailure) return 0;
  if (hwnd && !WindowManager::Instance().Get(hwnd)) return 0;
  UINT elapse = std::max(elapseMs, kMinimumElapse);
  std::uint64_t due = VirtualClock::NowMs() + elapse;
  if (!hwnd) {
    // Thread timers: a NULL window with an id that names an existing thread timer replaces it; otherwise
    // the system picks a fresh id.
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return !t.hwnd && t.id == id; });
    if (id != 0 && it != timers_.end()) {
      it->elapse = elapse;
      it->proc = proc;
      it->due = due;
      return id;
    }
    do {
      id = nextThreadId_++;
      if (nextThreadId_ == 0) nextThreadId_ = 0x7FF0;
    } while (Exists(nullptr, id) || id == 0);
    timers_.push_back({nullptr, id, elapse, proc, due, nextSeq_++});
    return id;
  }
  for (Timer& t : timers_)
    if (t.hwnd == hwnd && t.id == id) {
      t.elapse = elapse;
      t.proc = proc;
      t.due = due;
      return id == 0 ? 1 : id;
    }
  timers_.push_back({hwnd, id, elapse, proc, due, nextSeq_++});
  // A window timer with id 0 still succeeds; the classic call answers non-zero.
  return id == 0 ? 1 : id;
}

bool TimerTable::Kill(HWND hwnd, UINT_PTR id) {
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  // A WM_TIMER already handed out but not yet dispatched is harmless: dispatch checks that it still exists.
  return true;
}

void TimerTable::KillWindowTimers(HWND hwnd) {
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void TimerTable::Clear() {
  timers_.clear();
  forceFailure = false;
}

bool TimerTable::Exists(HWND hwnd, UINT_PTR id) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

bool TimerTable::TakeDue(MSG* out, HWND filter, bool remove) {
  const std::uint64_t now = VirtualClock::NowMs();
  Timer* best = nullptr;
  for (Timer& t : timers_) {
    if (t.due > now) continue;
    if (filter && !(t.hwnd && WindowManager::Instance().IsAncestor(filter, t.hwnd))) continue;
    if (!best || t.due < best->due || (t.due == best->due && t.seq < best->seq)) best = &t;
  }
  if (!best) return false;
  out->hwnd = best->hwnd;
  out->message = WM_TIMER;
  out->wParam = best->id;
  out->lParam = reinterpret_cast<LPARAM>(best->proc);
  out->time = static_cast<DWORD>(now);
  if (remove) {
    best->due = now + best->elapse;
  }
  return true;
}

std::optional<std::uint64_t> TimerTable::NextDue() const {
  std::optional<std::uint64_t> next;
  for (const Timer& t : timers_)
    if (!next || t.due < *next) next = t.due;
  return next;
}

}  // namespace plat
