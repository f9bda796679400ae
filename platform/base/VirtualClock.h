// The process-wide clock that timers, tick counts, double clicks, temporary names and the time of day follow.
//
// Headless runs are deterministic: time stands still until a test or the message pump advances it. The
// on-screen presenter switches to the real monotonic clock instead. Wall time is UTC and derived from the
// clock, so advancing the clock also advances the time of day.
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
  // The wall time (unix seconds, UTC) that NowMs() == 0 maps to.
  static void SetTimeOfDay(std::int64_t unixSeconds);
  // Current wall time in unix seconds: the start's wall time plus the elapsed whole seconds.
  static std::int64_t TimeOfDay();
  // Current wall time in milliseconds since the unix epoch (for SYSTEMTIME's milliseconds).
  static std::int64_t TimeOfDayMs();
  // On: NowMs() follows the real monotonic clock from the value it had when switched on. Off: it stops there.
  static void UseRealTime(bool on);
  static bool UsesRealTime();
  // Back to the start: NowMs() == 0, virtual time, the default time of day.
  static void Reset();

  // 2024-01-01 00:00:00 UTC: a fixed, ordinary date so that dates in test output never depend on the machine.
  static constexpr std::int64_t kDefaultTimeOfDay = 1704067200;
};

}  // namespace plat

// Milliseconds of the virtual clock, wrapping at 2^32 like the classic tick count (about 49.7 days).
DWORD GetTickCount();
ULONGLONG GetTickCount64();
