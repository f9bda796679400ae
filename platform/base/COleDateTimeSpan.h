// COleDateTimeSpan: a span of days as a double, with a status (valid, invalid, null).
#pragma once

#include "platform/base/CString.h"

class COleDateTimeSpan {
 public:
  enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

  COleDateTimeSpan() = default;
  COleDateTimeSpan(double days) : m_span(days) {}  // NOLINT: implicit like the classic class
  COleDateTimeSpan(LONG days, int hours, int minutes, int seconds) { SetDateTimeSpan(days, hours, minutes, seconds); }

  void SetDateTimeSpan(LONG days, int hours, int minutes, int seconds);
  void SetStatus(DateTimeSpanStatus status) { m_status = status; }
  DateTimeSpanStatus GetStatus() const { return m_status; }

  double GetTotalDays() const { return m_span; }
  double GetTotalHours() const { return m_span * 24; }
  double GetTotalMinutes() const { return m_span * 24 * 60; }
  double GetTotalSeconds() const { return m_span * 86400; }
  // Parts of the span rounded to the second; each carries the span's sign.
  LONG GetDays() const;
  LONG GetHours() const;
  LONG GetMinutes() const;
  LONG GetSeconds() const;
  // %D days, %H hours, %M minutes, %S seconds, %% a percent.
  CString Format(LPCSTR format) const;

  COleDateTimeSpan operator+(const COleDateTimeSpan& o) const;
  COleDateTimeSpan operator-(const COleDateTimeSpan& o) const;
  COleDateTimeSpan operator-() const;
  COleDateTimeSpan& operator+=(const COleDateTimeSpan& o) { return *this = *this + o; }
  COleDateTimeSpan& operator-=(const COleDateTimeSpan& o) { return *this = *this - o; }
  bool operator==(const COleDateTimeSpan& o) const { return m_status == o.m_status && m_span == o.m_span; }
  bool operator<(const COleDateTimeSpan& o) const { return m_span < o.m_span; }
  bool operator>(const COleDateTimeSpan& o) const { return m_span > o.m_span; }
  bool operator<=(const COleDateTimeSpan& o) const { return m_span <= o.m_span; }
  bool operator>=(const COleDateTimeSpan& o) const { return m_span >= o.m_span; }
  operator double() const { return m_span; }  // NOLINT

  double m_span = 0;
  DateTimeSpanStatus m_status = valid;

 private:
  long long RoundedSeconds() const;
};
