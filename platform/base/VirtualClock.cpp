#include "platform/base/VirtualClock.h"

#include <chrono>
#include <ctime>
#include <mutex>

#include "platform/base/TimeFormat.h"

namespace plat {
namespace {

// One UI thread drives the clock, but timer and log code on other threads may read it; a mutex keeps the
// real-time switch and the offsets consistent with each other.
struct ClockState {
  std::mutex mutex;
  std::uint64_t virtualMs = 0;  // the value at realStart when real time is on, else the current value
  bool realTime = false;
  std::chrono::steady_clock::time_point realStart{};
  bool fixedTimeOfDay = false;
  std::int64_t startUnixSeconds = VirtualClock::kDefaultTimeOfDay;
};

ClockState& State() {
  static ClockState state;
  return state;
}

std::uint64_t NowLocked(const ClockState& s) {
  if (!s.realTime) return s.virtualMs;
  const auto elapsed = std::chrono::steady_clock::now() - s.realStart;
  return s.virtualMs + static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace

std::uint64_t VirtualClock::NowMs() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  return NowLocked(s);
}

void VirtualClock::Advance(std::uint64_t ms) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  s.virtualMs += ms;
}

void VirtualClock::FixTimeOfDay() {
  std::tm midnight{};
  midnight.tm_year = 2024 - 1900;
  midnight.tm_mday = 1;
  midnight.tm_isdst = -1;
  FixTimeOfDay(SecondsFromLocalTm(midnight));
}

void VirtualClock::FixTimeOfDay(std::int64_t unixSeconds) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  s.startUnixSeconds = unixSeconds;
  s.fixedTimeOfDay = true;
}

void VirtualClock::UseRealTimeOfDay() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  s.fixedTimeOfDay = false;
}

bool VirtualClock::IsTimeOfDayFixed() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  return s.fixedTimeOfDay;
}

std::int64_t VirtualClock::TimeOfDay() { return TimeOfDayMs() / 1000; }

std::int64_t VirtualClock::TimeOfDayMs() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.fixedTimeOfDay)
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  return s.startUnixSeconds * 1000 + static_cast<std::int64_t>(NowLocked(s));
}

void VirtualClock::UseRealTime(bool on) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (on == s.realTime) return;
  // Fold the elapsed real time into the virtual value so the clock stays monotonic across the switch.
  s.virtualMs = NowLocked(s);
  s.realTime = on;
  s.realStart = std::chrono::steady_clock::now();
}

bool VirtualClock::UsesRealTime() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  return s.realTime;
}

void VirtualClock::Reset() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  s.virtualMs = 0;
  s.realTime = false;
  s.fixedTimeOfDay = false;
  s.startUnixSeconds = kDefaultTimeOfDay;
}

}  // namespace plat

DWORD GetTickCount() { return static_cast<DWORD>(plat::VirtualClock::NowMs()); }

ULONGLONG GetTickCount64() { return plat::VirtualClock::NowMs(); }
