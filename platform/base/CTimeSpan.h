// CTimeSpan: a signed span of whole seconds.
#pragma once

#include "platform/base/CString.h"

class CTimeSpan {
 public:
  constexpr CTimeSpan() = default;
  constexpr CTimeSpan(LONGLONG seconds) : span_(seconds) {}  // NOLINT: implicit like the classic class
  constexpr CTimeSpan(LONG days, int hours, int minutes, int seconds)
      : span_(seconds + 60LL * (minutes + 60LL * (hours + 24LL * days))) {}

  LONGLONG GetDays() const { return span_ / 86400; }
  LONGLONG GetTotalHours() const { return span_ / 3600; }
  LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
  LONGLONG GetTotalMinutes() const { return span_ / 60; }
  LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
  LONGLONG GetTotalSeconds() const { return span_; }
  LONG GetSeconds() const { return static_cast<LONG>(span_ - GetTotalMinutes() * 60); }
  LONGLONG GetTimeSpan() const { return span_; }

  // %D days, %H hours (00-23), %M minutes, %S seconds, %% a percent; anything else is copied.
  CString Format(LPCSTR format) const;

  CTimeSpan operator+(CTimeSpan o) const { return CTimeSpan(span_ + o.span_); }
  CTimeSpan operator-(CTimeSpan o) const { return CTimeSpan(span_ - o.span_); }
  CTimeSpan& operator+=(CTimeSpan o) {
    span_ += o.span_;
    return *this;
  }
  CTimeSpan& operator-=(CTimeSpan o) {
    span_ -= o.span_;
    return *this;
  }
  friend auto operator<=>(const CTimeSpan&, const CTimeSpan&) = default;

 private:
  LONGLONG span_ = 0;
};
