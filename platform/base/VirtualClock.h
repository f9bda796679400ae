// The process-wide clock that timers, tick counts, double clicks, temporary names and the time of day follow.
//
// Headless runs are deterministic: the tick count stands still until a test or the message pump advances it. The
// on-screen presenter switches it to the real monotonic clock instead.
//
// The time of day is the machine's real wall clock unless someone fixes it (FixTimeOfDay): tests through their
// fixtures, pdnhost with --fixed-clock and the grid demo's headless runs, so that dates in their output never
// depend on the day they run. A fixed time of day is derived from the tick count, so advancing the clock also
// advances it. Either way it is UTC; local time applies the process's time zone (TimeFormat.h).
#pragma once

#include <cstdint>

#include "platform/base/wintypes.h"

namespace plat {

class VirtualClock {
 public:
  // Milliseconds since the clock's start; never goes backwards.
  static std::uint64_t NowMs();
  // Moves the clock forward (also in real-time mode, where it adds to the real elapsed time).
  static void Advance(std::uint64_t ms);
  // Fixes the time of day: from now on NowMs() == 0 maps to `unixSeconds` (UTC), or without an argument to
  // 2024-01-01 00:00:00 local time, so that fixed-clock output reads the same date in every time zone.
  static void FixTimeOfDay();
  static void FixTimeOfDay(std::int64_t unixSeconds);
  // Back to the machine's wall clock.
  static void UseRealTimeOfDay();
  static bool IsTimeOfDayFixed();
  // Current wall time in unix seconds: the real one, or the fixed start plus the elapsed whole seconds.
  static std::int64_t TimeOfDay();
  // Current wall time in milliseconds since the unix epoch (for SYSTEMTIME's milliseconds).
  static std::int64_t TimeOfDayMs();
  // On: NowMs() follows the real monotonic clock from the value it had when switched on. Off: it stops there.
  static void UseRealTime(bool on);
  static bool UsesRealTime();
  // Back to the start: NowMs() == 0, virtual time, the real time of day.
  static void Reset();

  // 2024-01-01 00:00:00 UTC: an ordinary date for fixed clocks.
  static constexpr std::int64_t kDefaultTimeOfDay = 1704067200;
};

}  // namespace plat

// Milliseconds of the virtual clock, wrapping at 2^32 like the classic tick count (about 49.7 days).
DWORD GetTickCount();
ULONGLONG GetTickCount64();
