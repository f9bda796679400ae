#include "platform/base/COleDateTimeSpan.h"

#include "platform/base/CTimeSpan.h"

#include <cmath>

void COleDateTimeSpan::SetDateTimeSpan(LONG days, int hours, int minutes, int seconds) {
  m_span = days + ((hours * 60.0 + minutes) * 60.0 + seconds) / 86400.0;
  m_status = valid;
}

long long COleDateTimeSpan::RoundedSeconds() const { return std::llround(m_span * 86400.0); }

LONG COleDateTimeSpan::GetDays() const { return static_cast<LONG>(RoundedSeconds() / 86400); }
LONG COleDateTimeSpan::GetHours() const { return static_cast<LONG>(RoundedSeconds() / 3600 % 24); }
LONG COleDateTimeSpan::GetMinutes() const { return static_cast<LONG>(RoundedSeconds() / 60 % 60); }
LONG COleDateTimeSpan::GetSeconds() const { return static_cast<LONG>(RoundedSeconds() % 60); }

// The same fields as a whole-second span, each from the rounded seconds.
CString COleDateTimeSpan::Format(LPCSTR format) const {
  if (m_status != valid) return CString();
  return CTimeSpan(RoundedSeconds()).Format(format);
}

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& o) const {
  COleDateTimeSpan r(m_span + o.m_span);
  if (m_status != valid || o.m_status != valid) r.m_status = (m_status == invalid || o.m_status == invalid) ? invalid : null;
  return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& o) const {
  COleDateTimeSpan r(m_span - o.m_span);
  if (m_status != valid || o.m_status != valid) r.m_status = (m_status == invalid || o.m_status == invalid) ? invalid : null;
  return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-() const {
  COleDateTimeSpan r(-m_span);
  r.m_status = m_status;
  return r;
}
