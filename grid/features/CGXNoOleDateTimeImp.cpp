#include "grid/features/CGXNoOleDateTimeImp.h"

#include <cctype>
#include <ctime>
#include <string>

#include "grid/features/CGXOleDateTimeImp.h"
#include "platform/base/LocaleTable.h"

int CGXNoOleDateTimeImp::s_nDateOrder = 3;
BOOL CGXNoOleDateTimeImp::s_bFourDigitYear = FALSE;
char CGXNoOleDateTimeImp::s_cDateSeparator = '/';
char CGXNoOleDateTimeImp::s_cTimeSeparator = 0;

void CGXNoOleDateTimeImp::RefreshSettings() {
  GetDateOrderSetting(TRUE, nullptr, nullptr);
  GetTimeSeparatorSetting(TRUE);
}

int CGXNoOleDateTimeImp::GetDateOrder(BOOL bReread, int* fourDigitYear, char* dateSeparator) {
  if (bReread || s_nDateOrder == 3) {
    s_nDateOrder = 1;
    char format[128] = {};
    if (GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format, sizeof format) > 1) {
      std::string f(format);
      for (char& c : f) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (f[0] == 'D') s_nDateOrder = 0;
      else if (f[0] == 'Y') s_nDateOrder = 2;
      s_bFourDigitYear = f.find("YYYY") != std::string::npos;
      s_cDateSeparator = 0;
      for (char c : f) {
        if (!std::isalpha(static_cast<unsigned char>(c))) {
          s_cDateSeparator = c;
          break;
        }
      }
    }
  }
  if (fourDigitYear) *fourDigitYear = s_bFourDigitYear;
  if (dateSeparator) *dateSeparator = s_cDateSeparator;
  return s_nDateOrder;
}

char CGXNoOleDateTimeImp::GetTimeSeparator(BOOL bReread) {
  if (bReread || s_cTimeSeparator == 0) {
    char text[128] = {};
    s_cTimeSeparator = GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STIME, text, sizeof text) > 1 ? text[0] : ':';
  }
  return s_cTimeSeparator;
}

namespace {

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

std::string TrimLeft(std::string s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  const std::string tail(suffix);
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i]) return false;
  return true;
}

// The runtime's atoi of a piece of text (leading blanks and sign, then digits), bounded to keep it exact.
int LeadingNumber(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int value = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > 100000) break;  // every caller refuses such a number
  }
  return negative ? -value : value;
}

// Takes one date field off the front: blanks, one separator, then its digits (count and value).
bool TakeField(std::string& s, int& digits, int& value) {
  s = TrimLeft(s);
  if (!s.empty() && !IsDigit(s[0])) s.erase(0, 1);
  digits = 0;
  value = 0;
  while (digits < static_cast<int>(s.size()) && IsDigit(s[digits])) {
    if (digits < 9) value = value * 10 + (s[digits] - '0');
    ++digits;
  }
  s.erase(0, digits);
  return digits > 0;
}

struct Parsed {
  GXDateTimeRecord record;
  bool hasDate = false;
  bool hasTime = false;
};

BOOL ParseTime(std::string text, char separator, Parsed& out) {
  GXDateTimeRecord& r = out.record;
  out.hasTime = true;
  r.year = 70;
  r.month = 0;
  r.day = 1;
  const auto at = separator ? text.find(separator) : std::string::npos;
  int hour = at == std::string::npos ? 0 : LeadingNumber(text.substr(0, at));
  if (EndsWithNoCase(text, "PM") || EndsWithNoCase(text, "P")) {
    hour += 12;
    if (hour == 24) hour = 12;
  } else if (EndsWithNoCase(text, "AM") || EndsWithNoCase(text, "A")) {
    if (hour >= 13) return FALSE;
    if (hour == 12) hour = 0;
  }
  if (hour < 0 || hour >= 25) return FALSE;
  r.hour = static_cast<short>(hour);
  if (at == std::string::npos) return TRUE;
  if (at + 1 < text.size()) {
    const int minute = LeadingNumber(text.substr(at + 1, 2));
    if (minute < 0 || minute >= 60) return FALSE;
    r.minute = static_cast<short>(minute);
  }
  if (at + 4 < text.size()) {
    const int second = LeadingNumber(text.substr(at + 4, 2));
    if (second < 0 || second >= 60) return FALSE;
    r.second = static_cast<short>(second);
  }
  return TRUE;
}

BOOL ParseDate(std::string text, int order, Parsed& out) {
  for (char c : text)
    if (!IsDigit(c) && c != '/' && c != '-' && c != '.' && c != ' ') return FALSE;
  if (text.size() == 6 && text.find_first_not_of("0123456789") == std::string::npos)
    text = text.substr(0, 2) + "/" + text.substr(2, 2) + "/" + text.substr(4, 2);
  if (order == 3) order = GetDateOrderSetting(FALSE, nullptr, nullptr);
  static constexpr char kFields[3][3] = {{'d', 'm', 'y'}, {'m', 'd', 'y'}, {'y', 'm', 'd'}};
  if (order < 0 || order > 2) return FALSE;
  GXDateTimeRecord& r = out.record;
  int day = 0, month = 0, year = 0;
  for (char field : kFields[order]) {
    int digits = 0, value = 0;
    if (!TakeField(text, digits, value)) return FALSE;
    if (field == 'd') {
      if (digits > 2 || value < 1 || value > 31) return FALSE;
      r.day = static_cast<short>(day = value);
    } else if (field == 'm') {
      if (digits > 2 || value < 1 || value > 12) return FALSE;
      r.month = static_cast<short>(month = value);
    } else {
      if (digits > 4) return FALSE;
      if (digits <= 2 && value >= 1 && value <= 99) value += 1900;
      r.year = static_cast<short>(year = value);
    }
  }
  if (day > DaysInMonth(year, month)) return FALSE;
  out.hasDate = true;
  return TRUE;
}

// Fills `out` from the text; what was read before a failure stays.
BOOL Parse(LPCTSTR textIn, int order, Parsed& out) {
  out = Parsed{};
  const std::string text = textIn ? textIn : "";
  const char separator = GetTimeSeparatorSetting(FALSE);
  const auto blank = text.find(' ');
  const auto timeAt = separator ? text.find(separator) : std::string::npos;
  std::string dateText, timeText;
  if (blank != std::string::npos && timeAt != std::string::npos && timeAt > blank) {
    dateText = text.substr(0, blank);
    timeText = text.substr(blank + 1);
  } else if (timeAt != std::string::npos) {
    timeText = text;
  } else {
    dateText = text;
  }
  dateText = TrimLeft(dateText);
  timeText = TrimLeft(timeText);
  if (!timeText.empty() && !ParseTime(timeText, separator, out)) return FALSE;
  if (!dateText.empty() && !ParseDate(dateText, order, out)) return FALSE;
  return TRUE;
}

}  // namespace

BOOL CGXNoOleDateTimeImp::ParseDateTime(GXDateTimeRecord* record, LPCTSTR text, int order) {
  if (!record) return FALSE;
  Parsed parsed;
  const BOOL ok = Parse(text, order, parsed);
  *record = parsed.record;
  return ok;
}

BOOL CGXNoOleDateTimeImp::ParseDateTimeTm(struct tm* out, LPCTSTR text, int order) {
  if (!out) return FALSE;
  Parsed parsed;
  const BOOL ok = Parse(text, order, parsed);
  *out = std::tm{};
  const GXDateTimeRecord& r = parsed.record;
  out->tm_hour = r.hour;
  out->tm_min = r.minute;
  out->tm_sec = r.second;
  if (parsed.hasDate) {
    out->tm_mday = r.day;
    out->tm_mon = r.month - 1;
    // Years from 100 on count from 1900 (1850 is -50, 2005 is 105); the short years of a two-digit
    // window: below 38 from 2000, 38..99 as read.
    out->tm_year = r.year >= 100 ? r.year - 1900 : r.year < 38 ? r.year + 100 : r.year;
  } else if (parsed.hasTime) {
    out->tm_year = 70;
    out->tm_mon = 0;
    out->tm_mday = 1;
  }
  return ok;
}

void CGXNoOleDateTimeImp::FormatDateTime(CString& result, const GXDateTimeRecord* record) {
  result.Empty();
  if (!record) return;
  const GXDateTimeRecord& r = *record;
  const bool hasTime = r.hour != 0 || r.minute != 0 || r.second != 0;
  const bool hasDate = r.month > 0;
  int four = 0;
  char c = '/';
  const int order = GetDateOrderSetting(FALSE, &four, &c);
  CString date;
  if (hasDate) {
    const int year = four ? r.year : r.year % 100;
    const char* pattern = four ? "%02d%c%02d%c%04d" : "%02d%c%02d%c%02d";
    if (order == 0)
      date.Format(pattern, r.day, c, r.month, c, year);
    else if (order == 2)
      date.Format(four ? "%04d%c%02d%c%02d" : "%02d%c%02d%c%02d", year, c, r.month, c, r.day);
    else
      date.Format(pattern, r.month, c, r.day, c, year);
  }
  CString time;
  const char ts = GetTimeSeparatorSetting(FALSE);
  time.Format("%02d%c%02d%c%02d", r.hour, ts, r.minute, ts, r.second);
  if (!hasDate)
    result = time;
  else if (hasTime)
    result = date + " " + time;
  else
    result = date;
}

void CGXNoOleDateTimeImp::FormatTime(CString& result, const CTime* time) { CGXOleDateTimeImp::FormatCTime(result, time); }

void InstallNoOleDateTimeImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pDateTimeImp) return;
  auto* imp = new CGXNoOleDateTimeImp;
  g.m_pDateTimeImp = imp;
  g.AddToAutoDeleteList(imp);
}
