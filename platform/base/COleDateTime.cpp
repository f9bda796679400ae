#include "platform/base/COleDateTime.h"

#include "platform/base/TimeFormat.h"
#include <cmath>

#include "platform/base/VirtualClock.h"

namespace {

// The classic resource id of the invalid-date text.
constexpr UINT kInvalidDateTimeId = 0xD800;

CString InvalidText() {
  CString text;
  if (!text.LoadString(kInvalidDateTimeId)) text = "Invalid DateTime";
  return text;
}

}  // namespace

void COleDateTime::CheckRange() { m_status = (m_dt >= kMinDate && m_dt < kMaxDate) ? valid : invalid; }

COleDateTime::COleDateTime(const SYSTEMTIME& st) { SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond); }

COleDateTime& COleDateTime::operator=(DATE date) {
  m_dt = date;
  CheckRange();
  return *this;
}

COleDateTime& COleDateTime::operator=(const CTime& t) {
  std::tm tm{};
  t.GetLocalTm(&tm);  // a date value holds local components
  SetDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return *this;
}

COleDateTime COleDateTime::GetCurrentTime() { return COleDateTime(CTime::GetCurrentTime()); }

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
  plat::DateParts p;
  p.year = year;
  p.month = month;
  p.day = day;
  p.hour = hour;
  p.minute = minute;
  p.second = second;
  DATE d = 0;
  if (!plat::DateFromParts(p, d)) {
    m_dt = 0;
    m_status = invalid;
    return 1;
  }
  m_dt = d;
  m_status = valid;
  return 0;
}

bool COleDateTime::Parts(plat::DateParts& out) const { return m_status == valid && plat::PartsFromDate(m_dt, out); }

int COleDateTime::GetYear() const {
  plat::DateParts p;
  return Parts(p) ? p.year : -1;
}
int COleDateTime::GetMonth() const {
  plat::DateParts p;
  return Parts(p) ? p.month : -1;
}
int COleDateTime::GetDay() const {
  plat::DateParts p;
  return Parts(p) ? p.day : -1;
}
int COleDateTime::GetHour() const {
  plat::DateParts p;
  return Parts(p) ? p.hour : -1;
}
int COleDateTime::GetMinute() const {
  plat::DateParts p;
  return Parts(p) ? p.minute : -1;
}
int COleDateTime::GetSecond() const {
  plat::DateParts p;
  return Parts(p) ? p.second : -1;
}
int COleDateTime::GetDayOfWeek() const {
  plat::DateParts p;
  return Parts(p) ? p.dayOfWeek + 1 : -1;
}
int COleDateTime::GetDayOfYear() const {
  plat::DateParts p;
  return Parts(p) ? p.dayOfYear : -1;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& out) const {
  UDATE u{};
  if (!GetAsUDATE(u)) return false;
  out = u.st;
  return true;
}

bool COleDateTime::GetAsUDATE(UDATE& out) const { return m_status == valid && VarUdateFromDate(m_dt, 0, &out) == S_OK; }

CString COleDateTime::Format(DWORD flags, LCID locale) const {
  if (m_status == null) return CString();
  plat::DateParts p;
  if (!Parts(p)) return InvalidText();
  const plat::LocaleTable* table = plat::FindLocale(locale);
  if (!table) table = plat::FindLocale(0x0409);
  const double whole = std::trunc(m_dt);
  const bool hasTime = (p.hour | p.minute | p.second) != 0;
  // Without flags the parts that are not zero show (a zero date with a zero time shows the time); a flag
  // asks for its part whatever it holds.
  const bool dateOnly = (flags & VAR_DATEVALUEONLY) != 0, timeOnly = (flags & VAR_TIMEVALUEONLY) != 0;
  const bool showDate = !timeOnly && (dateOnly || whole != 0);
  const bool showTime = !dateOnly && (timeOnly || hasTime || whole == 0);
  std::string out;
  if (showDate) out = plat::FormatDatePicture(p, plat::LocaleText(*table, LOCALE_SSHORTDATE), locale);
  if (showTime) {
    if (!out.empty()) out += ' ';
    out += plat::FormatDatePicture(p, plat::LocaleText(*table, LOCALE_STIMEFORMAT), locale);
  }
  return CString(std::move(out));
}

CString COleDateTime::Format(LPCSTR format) const {
  if (m_status == null) return CString();
  plat::DateParts p;
  if (!Parts(p)) return InvalidText();
  std::tm t{};
  t.tm_year = p.year - 1900;
  t.tm_mon = p.month - 1;
  t.tm_mday = p.day;
  t.tm_hour = p.hour;
  t.tm_min = p.minute;
  t.tm_sec = p.second;
  t.tm_wday = p.dayOfWeek;
  t.tm_yday = p.dayOfYear - 1;
  return CString(plat::FormatTime(t, format ? format : ""));
}

bool COleDateTime::ParseDateTime(LPCSTR text, DWORD flags, LCID locale) { return ParseDateTime(text, flags, locale, 2029); }

bool COleDateTime::ParseDateTime(LPCSTR text, DWORD flags, LCID locale, int twoDigitYearMax) {
  DATE d = 0;
  if (!text || !plat::ParseDateText(text, locale, flags, twoDigitYearMax, d)) {
    m_status = invalid;
    return false;
  }
  m_dt = d;
  m_status = valid;
  return true;
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const {
  COleDateTime r;
  if (m_status != valid || span.m_status != COleDateTimeSpan::valid) {
    r.m_status = (m_status == null || span.m_status == COleDateTimeSpan::null) ? null : invalid;
    return r;
  }
  r = plat::DateFromLinear(plat::LinearFromDate(m_dt) + span.m_span);
  return r;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const { return *this + (-span); }

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const {
  COleDateTimeSpan r(plat::LinearFromDate(m_dt) - plat::LinearFromDate(other.m_dt));
  if (m_status != valid || other.m_status != valid)
    r.m_status = (m_status == null || other.m_status == null) ? COleDateTimeSpan::null : COleDateTimeSpan::invalid;
  return r;
}
