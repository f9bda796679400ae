// COleDateTime: an automation DATE with a status (valid, invalid, null); see OleDate.h for the number.
//
// Building from impossible parts (a day the month does not have, a year outside 100..9999) makes the
// value invalid. Parts of an invalid or null value are -1. Arithmetic and comparisons use the continuous
// time behind the DATE, so they are right across 1899-12-30. Format(flags, locale) uses the locale's
// short date and time pictures (en-US "M/d/yyyy h:mm:ss tt"): no date part when the integer part is 0,
// no time part when the fraction is 0 (DATE 0.0 is "12:00:00 AM"). Format(text) is the C-locale strftime
// of TimeFormat.h. An invalid value formats as "Invalid DateTime" (or string resource 0xD800 when a
// module registers one), a null value as the empty text.
#pragma once

#include <ctime>

#include "platform/base/COleDateTimeSpan.h"
#include "platform/base/CString.h"
#include "platform/base/CTime.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/OleDate.h"

constexpr LCID LANG_USER_DEFAULT = 0x0400;

class COleDateTime {
 public:
  enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

  COleDateTime() = default;
  COleDateTime(DATE date) : m_dt(date) { CheckRange(); }  // NOLINT: implicit like the classic class
  COleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
  }
  explicit COleDateTime(const SYSTEMTIME& st);
  explicit COleDateTime(const CTime& t) { *this = t; }
  explicit COleDateTime(std::time_t t) { *this = CTime(static_cast<LONGLONG>(t)); }
  COleDateTime& operator=(DATE date);
  COleDateTime& operator=(const CTime& t);

  static COleDateTime GetCurrentTime();

  // 0 on success, 1 (and status invalid) when the parts are impossible.
  int SetDateTime(int year, int month, int day, int hour, int minute, int second);
  int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }
  int SetTime(int hour, int minute, int second) { return SetDateTime(1899, 12, 30, hour, minute, second); }
  void SetStatus(DateTimeStatus status) { m_status = status; }
  DateTimeStatus GetStatus() const { return m_status; }

  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  // 1 = Sunday .. 7 = Saturday.
  int GetDayOfWeek() const;
  int GetDayOfYear() const;
  bool GetAsSystemTime(SYSTEMTIME& out) const;
  bool GetAsUDATE(UDATE& out) const;

  CString Format(DWORD flags = 0, LCID locale = LANG_USER_DEFAULT) const;
  CString Format(LPCSTR format) const;
  // (No Format(UINT resource id): DWORD and UINT are one type here, so it would hide Format(flags).)
  // TRUE and a valid value, or FALSE and status invalid (the value unchanged).
  bool ParseDateTime(LPCSTR text, DWORD flags = 0, LCID locale = LANG_USER_DEFAULT);
  // The same with the window for one- and two-digit years (the hundred years ending there).
  bool ParseDateTime(LPCSTR text, DWORD flags, LCID locale, int twoDigitYearMax);

  COleDateTime operator+(const COleDateTimeSpan& span) const;
  COleDateTime operator-(const COleDateTimeSpan& span) const;
  COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
  COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }
  COleDateTimeSpan operator-(const COleDateTime& other) const;
  bool operator==(const COleDateTime& o) const { return m_status == o.m_status && m_dt == o.m_dt; }
  bool operator!=(const COleDateTime& o) const { return !(*this == o); }
  bool operator<(const COleDateTime& o) const { return plat::LinearFromDate(m_dt) < plat::LinearFromDate(o.m_dt); }
  bool operator>(const COleDateTime& o) const { return o < *this; }
  bool operator<=(const COleDateTime& o) const { return !(o < *this); }
  bool operator>=(const COleDateTime& o) const { return !(*this < o); }
  operator DATE() const { return m_dt; }  // NOLINT

  DATE m_dt = 0;
  DateTimeStatus m_status = valid;

 private:
  void CheckRange();
  bool Parts(plat::DateParts& out) const;
};
