#include "grid/features/CGXOleDateTimeImp.h"

#include <ctime>

#include "platform/base/COleDateTime.h"
#include "platform/base/CTime.h"
#include "platform/base/LocaleTable.h"

int CGXOleDateTimeImp::GetDateOrder(BOOL, int*, char*) { return 3; }

char CGXOleDateTimeImp::GetTimeSeparator(BOOL) { return 0; }

namespace {
BOOL ParseOle(LPCTSTR text, COleDateTime& out) {
  return text && out.ParseDateTime(text, 0, LANG_USER_DEFAULT) ? TRUE : FALSE;
}
}  // namespace

BOOL CGXOleDateTimeImp::ParseDateTime(GXDateTimeRecord* record, LPCTSTR text, int) {
  if (!record) return FALSE;
  *record = GXDateTimeRecord{};
  COleDateTime dt;
  if (!ParseOle(text, dt)) return FALSE;
  record->year = static_cast<short>(dt.GetYear());
  record->month = static_cast<short>(dt.GetMonth());
  record->day = static_cast<short>(dt.GetDay());
  record->hour = static_cast<short>(dt.GetHour());
  record->minute = static_cast<short>(dt.GetMinute());
  record->second = static_cast<short>(dt.GetSecond());
  return TRUE;
}

BOOL CGXOleDateTimeImp::ParseDateTimeTm(struct tm* out, LPCTSTR text, int) {
  if (!out) return FALSE;
  *out = std::tm{};
  COleDateTime dt;
  if (!ParseOle(text, dt)) return FALSE;
  out->tm_year = dt.GetYear() - 1900;
  out->tm_mon = dt.GetMonth() - 1;
  out->tm_mday = dt.GetDay();
  out->tm_hour = dt.GetHour();
  out->tm_min = dt.GetMinute();
  out->tm_sec = dt.GetSecond();
  return TRUE;
}

void CGXOleDateTimeImp::FormatDateTime(CString& result, const GXDateTimeRecord* record) {
  if (!record) {
    result.Empty();
    return;
  }
  const bool hasTime = record->hour != 0 || record->minute != 0 || record->second != 0;
  const bool hasDate = record->month > 0;
  DWORD flags = LOCALE_NOUSEROVERRIDE;
  if (!hasTime) flags |= VAR_DATEVALUEONLY;
  else if (!hasDate) flags |= VAR_TIMEVALUEONLY;
  // A time without a date stands on the automation day 0 (1899-12-30): a date with month 0 cannot be built.
  const COleDateTime dt = hasDate ? COleDateTime(record->year, record->month, record->day, record->hour,
                                                 record->minute, record->second)
                                  : COleDateTime(1899, 12, 30, record->hour, record->minute, record->second);
  result = dt.Format(flags, LANG_USER_DEFAULT);
}

void CGXOleDateTimeImp::FormatTime(CString& result, const CTime* time) { FormatCTime(result, time); }

void CGXOleDateTimeImp::FormatCTime(CString& result, const CTime* time) {
  if (!time) {
    result.Empty();
    return;
  }
  // A CTime always has a date; a time of midnight shows the date alone.
  const bool timeOfDay = time->GetHour() != 0 || time->GetMinute() != 0 || time->GetSecond() != 0;
  result = time->Format(timeOfDay ? "%c" : "%x");
}

void InstallOleDateTimeImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pDateTimeImp) return;
  auto* imp = new CGXOleDateTimeImp;
  g.m_pDateTimeImp = imp;
  g.AddToAutoDeleteList(imp);
}
