// Window and thread timers on the virtual clock.
//
// A timer is due when the clock reaches its due time. WM_TIMER is produced only when the queue holds
// nothing else; of several due timers the earliest due goes first (ties in the order the timers were first set).
// Producing the message re-arms the timer one interval after the current time, so ticks missed while the
// thread was busy coalesce into one, as on the classic desktop.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

class TimerTable {
 public:
  static TimerTable& Instance();

  UINT_PTR Set(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
  bool Kill(HWND hwnd, UINT_PTR id);
  void KillWindowTimers(HWND hwnd);
  void Clear();

  // Fills a WM_TIMER for the first due timer that passes the filter; with remove, re-arms it.
  bool TakeDue(MSG* out, HWND filter, bool remove);
  // The earliest due time of any timer (for idle waits and "advance and pump").
  std::optional<std::uint64_t> NextDue() const;
  bool Exists(HWND hwnd, UINT_PTR id) const;

  // Test aid: SetTimer answers 0 while set.
  bool forceFailure = false;

  static constexpr UINT kMinimumElapse = 10;  // USER_TIMER_MINIMUM

 private:
  struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    std::uint64_t due;
    std::uint64_t seq;
  };
  std::vector<Timer> timers_;
  std::uint64_t nextSeq_ = 0;
  UINT_PTR nextThreadId_ = 0x7FF0;
};

}  // namespace plat
