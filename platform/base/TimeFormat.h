// Calendar arithmetic and the C-locale strftime that CTime and the runtime shims share.
//
// Times are unix seconds (UTC). Local time is the process's time zone (TZ, else the machine's), through the C
// library's tz rules. FormatTime understands %a %A %b %B %c %d %H %I %j
// %m %M %p %S %U %w %W %x %X %y %Y %z %Z %% with the classic C-locale forms (%c = "%m/%d/%y %H:%M:%S",
// %x = "%m/%d/%y", %X = "%H:%M:%S", %z and %Z empty). The '#' flag removes leading zeros of numbers; "%#c"
// is the long form "Tuesday, March 14, 1995, 12:41:29" and "%#x" the long date "Tuesday, March 14, 1995".
// Unknown specifiers are copied as they are; nothing aborts.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace plat {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day);
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day);
bool IsValidDate(int year, int month, int day);

// The broken-down UTC time of unix seconds (tm_wday 0 = Sunday, tm_yday from 0, tm_isdst 0).
std::tm UtcTm(std::int64_t seconds);
std::int64_t SecondsFromTm(const std::tm& t);
// The same in the process's time zone: the local broken-down time of unix seconds, and the unix seconds of local
// components (tm_isdst < 0: the zone decides whether daylight saving applies; a time skipped by a change moves on).
std::tm LocalTm(std::int64_t seconds);
std::int64_t SecondsFromLocalTm(const std::tm& t);

std::string FormatTime(const std::tm& t, std::string_view format);

// Versions of the C runtime's time calls that follow the virtual clock's time of day (real unless fixed);
// localtime and ctime give local time, gmtime UTC.
std::time_t time(std::time_t* out);
// One static result per thread, like the C runtime's.
std::tm* localtime(const std::time_t* t);
std::tm* gmtime(const std::time_t* t);
// "Www Mmm dd hh:mm:ss yyyy\n" in one static buffer per thread.
char* ctime(const std::time_t* t);

}  // namespace plat
