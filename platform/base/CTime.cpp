#include "platform/base/CTime.h"

#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/SystemTime.h"
#include "platform/base/TimeFormat.h"
#include "platform/base/VirtualClock.h"

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int dst) {
  if (year < 1900 || year > 3000 || !plat::IsValidDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59)
    AfxThrowInvalidArgException();
  // The components are local time, as the classic class reads them.
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = dst;
  time_ = plat::SecondsFromLocalTm(t);
}

CTime::CTime(const SYSTEMTIME& st, int dst) : CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, dst) {}

CTime::CTime(const FILETIME& ft, int) {
  // A file time is an instant (UTC): it needs no local components.
  SYSTEMTIME st{};
  if (!FileTimeToSystemTime(&ft, &st)) AfxThrowInvalidArgException();
  time_ = static_cast<LONGLONG>(((static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) /
                                10000000ULL) -
          11644473600LL;
}

CTime CTime::GetCurrentTime() { return CTime(plat::VirtualClock::TimeOfDay()); }

std::tm CTime::Tm() const { return plat::LocalTm(time_); }

std::tm* CTime::GetGmtTm(std::tm* out) const {
  if (!out) return nullptr;
  *out = plat::UtcTm(time_);
  return out;
}

std::tm* CTime::GetLocalTm(std::tm* out) const {
  if (!out) return nullptr;
  *out = Tm();
  return out;
}

CString CTime::FormatGmt(LPCSTR format) const {
  return CString(plat::FormatTime(plat::UtcTm(time_), format ? format : ""));
}

bool CTime::GetAsSystemTime(SYSTEMTIME& out) const {
  const std::tm t = Tm();
  if (t.tm_year + 1900 < 1601 || t.tm_year + 1900 > 30827) return false;
  out.wYear = static_cast<WORD>(t.tm_year + 1900);
  out.wMonth = static_cast<WORD>(t.tm_mon + 1);
  out.wDayOfWeek = static_cast<WORD>(t.tm_wday);
  out.wDay = static_cast<WORD>(t.tm_mday);
  out.wHour = static_cast<WORD>(t.tm_hour);
  out.wMinute = static_cast<WORD>(t.tm_min);
  out.wSecond = static_cast<WORD>(t.tm_sec);
  out.wMilliseconds = 0;
  return true;
}

CString CTime::Format(LPCSTR format) const { return CString(plat::FormatTime(Tm(), format ? format : "")); }

CString CTime::Format(UINT formatId) const {
  CString format;
  format.LoadString(formatId);
  return Format(format.GetString());
}

CArchive& operator<<(CArchive& ar, CTime t) { return ar << static_cast<LONGLONG>(t.time_); }

CArchive& operator>>(CArchive& ar, CTime& t) {
  LONGLONG v = 0;
  ar >> v;
  t.time_ = v;
  return ar;
}
