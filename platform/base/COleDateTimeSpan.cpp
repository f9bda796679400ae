#include "platform/base/COleDateTimeSpan.h"

#include <cmath>
#include <cstdio>
#include <string>

void COleDateTimeSpan::SetDateTimeSpan(LONG days, int hours, int minutes, int seconds) {
  m_span = days + ((hours * 60.0 + minutes) * 60.0 + seconds) / 86400.0;
  m_status = valid;
}

long long COleDateTimeSpan::RoundedSeconds() const { return std::llround(m_span * 86400.0); }

LONG COleDateTimeSpan::GetDays() const { return static_cast<LONG>(RoundedSeconds() / 86400); }
LONG COleDateTimeSpan::GetHours() const { return static_cast<LONG>(RoundedSeconds() / 3600 % 24); }
LONG COleDateTimeSpan::GetMinutes() const { return static_cast<LONG>(RoundedSeconds() / 60 % 60); }
LONG COleDateTimeSpan::GetSeconds() const { return static_cast<LONG>(RoundedSeconds() % 60); }

CString COleDateTimeSpan::Format(LPCSTR format) const {
  if (m_status != valid) return CString();
  std::string out;
  char buf[32];
  for (const char* p = format ? format : ""; *p; ++p) {
    if (*p != '%' || !p[1]) {
      out += *p;
      continue;
    }
    switch (*++p) {
      case 'D':
        std::snprintf(buf, sizeof buf, "%ld", static_cast<long>(GetDays()));
        out += buf;
        break;
      case 'H':
        std::snprintf(buf, sizeof buf, "%02ld", static_cast<long>(GetHours()));
        out += buf;
        break;
      case 'M':
        std::snprintf(buf, sizeof buf, "%02ld", static_cast<long>(GetMinutes()));
        out += buf;
        break;
      case 'S':
        std::snprintf(buf, sizeof buf, "%02ld", static_cast<long>(GetSeconds()));
        out += buf;
        break;
      case '%':
        out += '%';
        break;
      default:
        out += '%';
        out += *p;
        break;
    }
  }
  return CString(std::move(out));
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
