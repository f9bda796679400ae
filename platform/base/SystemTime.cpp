#include "platform/base/SystemTime.h"

#include "platform/base/TimeFormat.h"
#include "platform/base/VirtualClock.h"

namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr long long kEpochDelta = 11644473600LL * 10000000LL;

void Fill(SYSTEMTIME* out, long long unixMs, bool local) {
  const long long seconds = unixMs >= 0 ? unixMs / 1000 : -((-unixMs + 999) / 1000);
  const std::tm t = local ? plat::LocalTm(seconds) : plat::UtcTm(seconds);
  out->wYear = static_cast<WORD>(t.tm_year + 1900);
  out->wMonth = static_cast<WORD>(t.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(t.tm_wday);
  out->wDay = static_cast<WORD>(t.tm_mday);
  out->wHour = static_cast<WORD>(t.tm_hour);
  out->wMinute = static_cast<WORD>(t.tm_min);
  out->wSecond = static_cast<WORD>(t.tm_sec);
  out->wMilliseconds = static_cast<WORD>(unixMs - seconds * 1000);
}

}  // namespace

void GetSystemTime(SYSTEMTIME* out) {
  if (out) Fill(out, plat::VirtualClock::TimeOfDayMs(), false);
}

void GetLocalTime(SYSTEMTIME* out) {
  if (out) Fill(out, plat::VirtualClock::TimeOfDayMs(), true);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* in, FILETIME* out) {
  if (!in || !out || in->wYear < 1601 || in->wYear > 30827 || !plat::IsValidDate(in->wYear, in->wMonth, in->wDay) ||
      in->wHour > 23 || in->wMinute > 59 || in->wSecond > 59 || in->wMilliseconds > 999)
    return FALSE;
  const long long days = plat::DaysFromCivil(in->wYear, in->wMonth, in->wDay);
  const long long ms = ((days * 24 + in->wHour) * 60 + in->wMinute) * 60000LL + in->wSecond * 1000LL + in->wMilliseconds;
  const auto ticks = static_cast<unsigned long long>(ms * 10000 + kEpochDelta);
  *out = FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* in, SYSTEMTIME* out) {
  if (!in || !out) return FALSE;
  const unsigned long long ticks = (static_cast<unsigned long long>(in->dwHighDateTime) << 32) | in->dwLowDateTime;
  if (ticks >= 0x8000000000000000ULL) return FALSE;
  Fill(out, (static_cast<long long>(ticks) - kEpochDelta) / 10000, false);
  return TRUE;
}
