#include "platform/base/TimeFormat.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/base/VirtualClock.h"

namespace plat {
namespace {

constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

void Number(std::string& out, int value, int width, bool noPad) {
  char buf[16];
  if (noPad) {
    std::snprintf(buf, sizeof buf, "%d", value);
  } else {
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
  }
  out += buf;
}

// Week number with weeks starting on `firstDay` (0 Sunday, 1 Monday); days before the first such day
// are in week 0.
int WeekNumber(const std::tm& t, int firstDay) {
  const int wday = (t.tm_wday + 7 - firstDay) % 7;
  return (t.tm_yday + 7 - wday) / 7;
}

}  // namespace

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  // Shift the year to start in March so that the leap day is the last day of the year.
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& year, unsigned& month, unsigned& day) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2);
}

bool IsValidDate(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) return false;
  static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kLength[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::tm UtcTm(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, 86400);
  const std::int64_t rest = seconds - days * 86400;
  std::int64_t y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  std::tm t{};
  t.tm_year = static_cast<int>(y - 1900);
  t.tm_mon = static_cast<int>(m - 1);
  t.tm_mday = static_cast<int>(d);
  t.tm_hour = static_cast<int>(rest / 3600);
  t.tm_min = static_cast<int>(rest / 60 % 60);
  t.tm_sec = static_cast<int>(rest % 60);
  t.tm_wday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  t.tm_yday = static_cast<int>(days - DaysFromCivil(y, 1, 1));
  return t;
}

std::int64_t SecondsFromTm(const std::tm& t) {
  // Months outside 0..11 carry into the year, as mktime does.
  std::int64_t year = t.tm_year + 1900LL + FloorDiv(t.tm_mon, 12);
  const auto month = static_cast<unsigned>(t.tm_mon - FloorDiv(t.tm_mon, 12) * 12 + 1);
  const std::int64_t days = DaysFromCivil(year, month, 1) + t.tm_mday - 1;
  return days * 86400 + t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec;
}

std::string FormatTime(const std::tm& t, std::string_view format) {
  std::string out;
  const int wday = ((t.tm_wday % 7) + 7) % 7;
  const int mon = ((t.tm_mon % 12) + 12) % 12;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      out += format[i];
      continue;
    }
    const std::size_t start = i++;
    const bool alt = format[i] == '#';
    if (alt) {
      if (++i >= format.size()) {
        out.append(format.substr(start));
        break;
      }
    }
    const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    switch (format[i]) {
      case 'a':
        out.append(kDays[wday], 3);
        break;
      case 'A':
        out += kDays[wday];
        break;
      case 'b':
        out.append(kMonths[mon], 3);
        break;
      case 'B':
        out += kMonths[mon];
        break;
      case 'c':
        out += alt ? FormatTime(t, "%A, %B %#d, %Y, %H:%M:%S") : FormatTime(t, "%m/%d/%y %H:%M:%S");
        break;
      case 'x':
        out += alt ? FormatTime(t, "%A, %B %#d, %Y") : FormatTime(t, "%m/%d/%y");
        break;
      case 'X':
        out += FormatTime(t, "%H:%M:%S");
        break;
      case 'd':
        Number(out, t.tm_mday, 2, alt);
        break;
      case 'H':
        Number(out, t.tm_hour, 2, alt);
        break;
      case 'I':
        Number(out, hour12, 2, alt);
        break;
      case 'j':
        Number(out, t.tm_yday + 1, 3, alt);
        break;
      case 'm':
        Number(out, mon + 1, 2, alt);
        break;
      case 'M':
        Number(out, t.tm_min, 2, alt);
        break;
      case 'p':
        out += t.tm_hour < 12 ? "AM" : "PM";
        break;
      case 'S':
        Number(out, t.tm_sec, 2, alt);
        break;
      case 'U':
        Number(out, WeekNumber(t, 0), 2, alt);
        break;
      case 'W':
        Number(out, WeekNumber(t, 1), 2, alt);
        break;
      case 'w':
        Number(out, wday, 1, alt);
        break;
      case 'y':
        Number(out, ((t.tm_year + 1900) % 100 + 100) % 100, 2, alt);
        break;
      case 'Y':
        Number(out, t.tm_year + 1900, 1, true);
        break;
      case 'z':
      case 'Z':
        break;  // no time zones
      case '%':
        out += '%';
        break;
      default:
        out.append(format.substr(start, i - start + 1));
        break;
    }
  }
  return out;
}

std::time_t time(std::time_t* out) {
  const auto now = static_cast<std::time_t>(VirtualClock::TimeOfDay());
  if (out) *out = now;
  return now;
}

std::tm* gmtime(const std::time_t* t) {
  thread_local std::tm result;
  if (!t) return nullptr;
  result = UtcTm(*t);
  return &result;
}

std::tm* localtime(const std::time_t* t) {
  thread_local std::tm result;
  if (!t) return nullptr;
  result = LocalTm(*t);
  return &result;
}

std::tm LocalTm(std::int64_t seconds) {
  // TZ may have changed since the last call: the zone is read again when it has (reading it on every call
  // costs a file check, which drawing a page of date cells would pay a thousand times).
  thread_local std::string lastTz = "\x01unread";
  const char* tz = std::getenv("TZ");
  const std::string nowTz = tz ? tz : "\x02unset";
  if (nowTz != lastTz) {
    ::tzset();
    lastTz = nowTz;
  }
  const auto t = static_cast<std::time_t>(seconds);
  std::tm result{};
  if (!::localtime_r(&t, &result)) return UtcTm(seconds);
  return result;
}

std::int64_t SecondsFromLocalTm(const std::tm& t) {
  ::tzset();
  std::tm copy = t;
  copy.tm_wday = -1;  // mktime answers -1 also for one second before the epoch; only success sets the weekday
  const std::time_t seconds = ::mktime(&copy);
  return copy.tm_wday < 0 ? SecondsFromTm(t) : static_cast<std::int64_t>(seconds);
}

char* ctime(const std::time_t* t) {
  thread_local char buf[64];
  if (!t) return nullptr;
  const std::tm tm = LocalTm(*t);
  std::snprintf(buf, sizeof buf, "%s %2d %s", FormatTime(tm, "%a %b").c_str(), tm.tm_mday,
                FormatTime(tm, "%H:%M:%S %Y\n").c_str());
  return buf;
}

}  // namespace plat
