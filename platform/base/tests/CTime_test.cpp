#include "platform/base/CTime.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "platform/base/CArchive.h"
#include "platform/base/CMemFile.h"
#include "platform/base/SystemTime.h"
#include "platform/base/TimeFormat.h"
#include "platform/base/VirtualClock.h"
#include "platform/base/tests/ExpectThrow.h"

namespace {

// Sets the process's time zone for one test (a POSIX rule, so no zone database is needed) and restores it.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* rule) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    ::setenv("TZ", rule, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (saved_)
      ::setenv("TZ", saved_->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::optional<std::string> saved_;
};

}  // namespace

TEST(CTime, ClassicFormats) {
  const CTime t(1995, 3, 14, 12, 41, 29);
  EXPECT_EQ(t.GetDayOfWeek(), 3);  // Tuesday
  EXPECT_EQ(t.Format("%#c"), "Tuesday, March 14, 1995, 12:41:29");
  EXPECT_EQ(t.Format("%c"), "03/14/95 12:41:29");
  EXPECT_EQ(t.Format("%x|%X|%#x"), "03/14/95|12:41:29|Tuesday, March 14, 1995");
  EXPECT_EQ(t.Format("%I%p %#d/%#m %j %Z%z|%%"), "12PM 14/3 073 |%");
  const CTime morning(2024, 1, 5, 0, 5, 0);
  EXPECT_EQ(morning.Format("%I:%M %p %#H"), "12:05 AM 0");
  // Unknown specifiers are copied, never an abort.
  EXPECT_EQ(t.Format("%Q %E%"), "%Q %E%");
}

TEST(CTime, MatchesTheCRuntimeForNumericFields) {
  // An independent check of the calendar arithmetic over 1900..2200.
  const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  const locale_t old = uselocale(c);
  std::mt19937_64 rng(42);
  std::uniform_int_distribution<long long> dist(-2208988800LL, 7258118400LL);
  const char* format = "%a %A %b %B %d %H %I %j %m %M %p %S %U %w %W %y %Y";
  for (int i = 0; i < 5000; ++i) {
    const std::time_t when = static_cast<std::time_t>(dist(rng));
    std::tm ref{};
    gmtime_r(&when, &ref);
    char expected[256];
    std::strftime(expected, sizeof expected, format, &ref);
    ASSERT_EQ(plat::FormatTime(plat::UtcTm(when), format), expected) << when;
    ASSERT_EQ(plat::SecondsFromTm(ref), when);
  }
  uselocale(old);
  freelocale(c);
}

TEST(CTime, ArithmeticAndSpans) {
  const CTime a(2024, 2, 28, 23, 0, 0);
  const CTime b = a + CTimeSpan(1, 2, 0, 1);  // over the leap day
  EXPECT_EQ(b.Format("%Y-%m-%d %H:%M:%S"), "2024-03-01 01:00:01");
  const CTimeSpan d = b - a;
  EXPECT_EQ(d.GetDays(), 1);
  EXPECT_EQ(d.GetHours(), 2);
  EXPECT_EQ(d.GetTotalMinutes(), 26 * 60);
  EXPECT_EQ(d.Format("%D days %H:%M:%S %% %x"), "1 days 02:00:01 % %x");
  EXPECT_LT(a, b);
  EXPECT_CLASSIC_THROW(CTime(2023, 2, 29, 0, 0, 0), CInvalidArgException);
  EXPECT_CLASSIC_THROW(CTime(2024, 13, 1, 0, 0, 0), CInvalidArgException);
  EXPECT_CLASSIC_THROW(CTime(2024, 1, 1, 24, 0, 0), CInvalidArgException);
}

TEST(CTime, FollowsTheVirtualClockWhenFixed) {
  const ScopedTimeZone utc("UTC0");
  plat::VirtualClock::Reset();
  plat::VirtualClock::FixTimeOfDay();
  EXPECT_EQ(CTime::GetCurrentTime().Format("%#c"), "Monday, January 1, 2024, 00:00:00");
  plat::VirtualClock::Advance(90061500);  // 1 day, 1 hour, 1 minute, 1.5 seconds
  SYSTEMTIME st{};
  GetLocalTime(&st);
  EXPECT_EQ(st.wDay, 2);
  EXPECT_EQ(st.wHour, 1);
  EXPECT_EQ(st.wSecond, 1);
  EXPECT_EQ(st.wMilliseconds, 500);
  EXPECT_EQ(st.wDayOfWeek, 2);
  EXPECT_EQ(CTime(st), CTime::GetCurrentTime());
  std::time_t now = 0;
  EXPECT_EQ(plat::time(&now), now);
  EXPECT_STREQ(plat::ctime(&now), "Tue Jan  2 01:01:01 2024\n");
  FILETIME ft{};
  ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
  SYSTEMTIME back{};
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
  EXPECT_EQ(back.wMilliseconds, 500);
  EXPECT_EQ(CTime(ft), CTime(st));
  plat::VirtualClock::Reset();
}

TEST(CTime, RealClockAndLocalTimeByDefault) {
  // Unfixed, the time of day is the machine's: what CTime reads lies between two readings of the system clock.
  plat::VirtualClock::Reset();
  ASSERT_FALSE(plat::VirtualClock::IsTimeOfDayFixed());
  const std::time_t before = std::time(nullptr);
  const CTime now = CTime::GetCurrentTime();
  const std::time_t after = std::time(nullptr);
  EXPECT_GE(now.GetTime(), before);
  EXPECT_LE(now.GetTime(), after);

  // Components and formats are local time in the process's zone (here three hours east of UTC); UTC stays UTC.
  const ScopedTimeZone east("XST-3");
  plat::VirtualClock::FixTimeOfDay(plat::VirtualClock::kDefaultTimeOfDay);  // 2024-01-01 00:00:00 UTC
  EXPECT_EQ(CTime::GetCurrentTime().Format("%#c"), "Monday, January 1, 2024, 03:00:00");
  EXPECT_EQ(CTime::GetCurrentTime().FormatGmt("%#c"), "Monday, January 1, 2024, 00:00:00");
  SYSTEMTIME local{}, system{};
  GetLocalTime(&local);
  GetSystemTime(&system);
  EXPECT_EQ(local.wHour, 3);
  EXPECT_EQ(system.wHour, 0);
  EXPECT_EQ(CTime(local), CTime::GetCurrentTime());
  EXPECT_EQ(CTime(2024, 1, 1, 3, 0, 0).GetTime(), plat::VirtualClock::kDefaultTimeOfDay);
  std::time_t t = plat::VirtualClock::kDefaultTimeOfDay;
  EXPECT_EQ(plat::localtime(&t)->tm_hour, 3);
  EXPECT_EQ(plat::gmtime(&t)->tm_hour, 0);
  // Fixed without a moment, the clock reads local midnight in any zone.
  plat::VirtualClock::FixTimeOfDay();
  EXPECT_EQ(CTime::GetCurrentTime().Format("%#c"), "Monday, January 1, 2024, 00:00:00");
  plat::VirtualClock::Reset();
}

TEST(CTime, ArchivesAsSixtyFourBitSeconds) {
  const ScopedTimeZone utc("UTC0");
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << CTime(1995, 3, 14, 12, 41, 29);
  }
  ASSERT_EQ(file.GetLength(), 8u);
  const BYTE* b = file.Data();
  EXPECT_EQ(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<unsigned>(b[3]) << 24), 795184889u);
  file.SeekToBegin();
  CArchive in(&file, CArchive::load);
  CTime t;
  in >> t;
  EXPECT_EQ(t.GetYear(), 1995);
}

// Local times follow a change of TZ made without tzset, as long as the program runs, and the same zone twice.
TEST(CTime, LocalTimesFollowTheZoneAsTZChanges) {
  std::optional<std::string> saved;
  if (const char* old = std::getenv("TZ")) saved = old;
  ::setenv("TZ", "UTC0", 1);
  EXPECT_EQ(plat::LocalTm(0).tm_hour, 0);
  ::setenv("TZ", "EST5", 1);
  EXPECT_EQ(plat::LocalTm(0).tm_hour, 19);
  EXPECT_EQ(plat::LocalTm(3600).tm_hour, 20);
  ::setenv("TZ", "JST-9", 1);
  EXPECT_EQ(plat::LocalTm(0).tm_hour, 9);
  ::setenv("TZ", "UTC0", 1);
  EXPECT_EQ(plat::LocalTm(0).tm_hour, 0);
  if (saved)
    ::setenv("TZ", saved->c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}
