// CTime: an absolute time in whole seconds since 1970-01-01 00:00:00 UTC.
//
// Components (the constructors from numbers and SYSTEMTIME, the Get* accessors, Format) are local time in the
// process's time zone; GetGmtTm and FormatGmt give UTC. GetCurrentTime reads the virtual clock's time of day
// (the real one unless a test or a headless run fixed it). Building from impossible components (month 13, February 30,
// a year before 1900 or after 3000) throws CInvalidArgException; Format uses the C-locale strftime of
// TimeFormat.h, including "%#c".
#pragma once

#include <ctime>

#include "platform/base/CString.h"
#include "platform/base/CTimeSpan.h"

class CArchive;

class CTime {
 public:
  constexpr CTime() = default;
  constexpr CTime(LONGLONG time) : time_(time) {}  // NOLINT: implicit like the classic class
  CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);
  explicit CTime(const SYSTEMTIME& st, int dst = -1);
  explicit CTime(const FILETIME& ft, int dst = -1);

  static CTime GetCurrentTime();

  LONGLONG GetTime() const { return time_; }
  int GetYear() const { return Tm().tm_year + 1900; }
  int GetMonth() const { return Tm().tm_mon + 1; }
  int GetDay() const { return Tm().tm_mday; }
  int GetHour() const { return Tm().tm_hour; }
  int GetMinute() const { return Tm().tm_min; }
  int GetSecond() const { return Tm().tm_sec; }
  // 1 = Sunday .. 7 = Saturday.
  int GetDayOfWeek() const { return Tm().tm_wday + 1; }
  std::tm* GetGmtTm(std::tm* out) const;
  std::tm* GetLocalTm(std::tm* out) const;
  bool GetAsSystemTime(SYSTEMTIME& out) const;

  CString Format(LPCSTR format) const;
  CString FormatGmt(LPCSTR format) const;
  CString Format(UINT formatId) const;

  CTime operator+(CTimeSpan s) const { return CTime(time_ + s.GetTimeSpan()); }
  CTime operator-(CTimeSpan s) const { return CTime(time_ - s.GetTimeSpan()); }
  CTimeSpan operator-(CTime other) const { return CTimeSpan(time_ - other.time_); }
  CTime& operator+=(CTimeSpan s) {
    time_ += s.GetTimeSpan();
    return *this;
  }
  CTime& operator-=(CTimeSpan s) {
    time_ -= s.GetTimeSpan();
    return *this;
  }
  friend auto operator<=>(const CTime&, const CTime&) = default;

  // The classic archive form: the seconds as a 64-bit value.
  friend CArchive& operator<<(CArchive& ar, CTime t);
  friend CArchive& operator>>(CArchive& ar, CTime& t);

 private:
  std::tm Tm() const;
  LONGLONG time_ = 0;
};
