#include "platform/base/OleDate.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/TimeFormat.h"
#include "platform/base/VirtualClock.h"

namespace plat {
namespace {

const std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);  // days from 1970 to the DATE epoch

constexpr const char* kEnglishMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                          "july",    "august",   "september", "october", "november", "december"};

}  // namespace

bool DateFromParts(const DateParts& p, DATE& out) {
  if (p.year < 100 || p.year > 9999 || !IsValidDate(p.year, p.month, p.day) || p.hour < 0 || p.hour > 23 ||
      p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59)
    return false;
  const double days = static_cast<double>(
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) - kEpochDays);
  const double fraction = (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
  out = days >= 0 ? days + fraction : days - fraction;
  return true;
}

bool PartsFromDate(DATE date, DateParts& out) {
  if (!(date >= kMinDate && date < kMaxDate)) return false;  // also false for NaN
  const double whole = std::trunc(date);
  long long seconds = std::llround(std::fabs(date - whole) * 86400.0);
  long long days = static_cast<long long>(whole);
  if (seconds >= 86400) {
    // Rounding reached the next midnight, which lies forward in time for either sign.
    seconds -= 86400;
    days += 1;
  }
  std::int64_t y;
  unsigned m, d;
  CivilFromDays(days + kEpochDays, y, m, d);
  if (y < 100 || y > 9999) return false;
  out.year = static_cast<int>(y);
  out.month = static_cast<int>(m);
  out.day = static_cast<int>(d);
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  const std::int64_t unixDays = days + kEpochDays;
  out.dayOfWeek = static_cast<int>(((unixDays % 7) + 11) % 7);
  out.dayOfYear = static_cast<int>(unixDays - DaysFromCivil(y, 1, 1) + 1);
  return true;
}

double LinearFromDate(DATE date) {
  if (date >= 0) return date;
  const double whole = std::trunc(date);
  return whole + (whole - date);  // -1.25: day -1, a quarter of a day on: -0.75
}

DATE DateFromLinear(double linear) {
  if (linear >= 0) return linear;
  const double whole = std::floor(linear);
  const double fraction = linear - whole;
  return fraction == 0 ? whole : whole - fraction;
}

namespace {

struct Token {
  enum Kind { Number, Word, Sep } kind;
  std::string text;
  char sep = 0;
};

std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= '0' && c <= '9') {
      std::size_t j = i;
      while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
      out.push_back({Token::Number, std::string(s.substr(i, j - i))});
      i = j;
    } else if (IsAlpha1252(c)) {
      std::size_t j = i;
      while (j < s.size() && IsAlpha1252(static_cast<unsigned char>(s[j]))) ++j;
      out.push_back({Token::Word, std::string(s.substr(i, j - i))});
      i = j;
    } else {
      if (!IsBlank(static_cast<char>(c))) out.push_back({Token::Sep, std::string(1, static_cast<char>(c)), static_cast<char>(c)});
      ++i;
    }
  }
  return out;
}

// 1..12 for a month name of the locale or English (full or abbreviated, at least three letters), else 0.
int MonthFromWord(const std::string& word, const LocaleTable& table) {
  if (word.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    const std::string_view full = LocaleText(table, LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(m));
    const std::string_view abbrev = LocaleText(table, LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(m));
    if (EqualNoCase1252(word, full) || EqualNoCase1252(word, abbrev)) return m + 1;
    const std::string_view english = kEnglishMonths[m];
    if (EqualNoCase1252(word, english) || (word.size() >= 3 && word.size() <= english.size() &&
                                           EqualNoCase1252(word, english.substr(0, word.size()))))
      return m + 1;
  }
  return 0;
}

int Year(const std::string& digits, int twoDigitYearMax) {
  const int v = std::atoi(digits.c_str());
  if (digits.size() > 2) return v;
  const int century = twoDigitYearMax / 100 * 100;
  const int y = century + v;
  return y > twoDigitYearMax ? y - 100 : y;
}

}  // namespace

bool ParseDateText(std::string_view text, LCID locale, DWORD flags, int twoDigitYearMax, DATE& out) {
  const LocaleTable* table = FindLocale(locale);
  if (!table) table = FindLocale(0x0409);
  std::vector<Token> tokens = Tokenize(text);
  if (tokens.empty()) return false;

  DateParts parts;
  bool haveTime = false;
  // Time: number ':' number [':' number] [AM/PM word].
  for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
    if (tokens[i].kind != Token::Number || tokens[i + 1].sep != ':' || tokens[i + 2].kind != Token::Number) continue;
    std::size_t end = i + 3;
    int h = std::atoi(tokens[i].text.c_str()), mi = std::atoi(tokens[i + 2].text.c_str()), s = 0;
    if (end + 1 < tokens.size() && tokens[end].sep == ':' && tokens[end + 1].kind == Token::Number) {
      s = std::atoi(tokens[end + 1].text.c_str());
      end += 2;
    }
    if (end < tokens.size() && tokens[end].kind == Token::Word) {
      const std::string& w = tokens[end].text;
      const std::string_view am = LocaleText(*table, LOCALE_S1159), pm = LocaleText(*table, LOCALE_S2359);
      const bool isAm = EqualNoCase1252(w, "AM") || EqualNoCase1252(w, "A") || (!am.empty() && EqualNoCase1252(w, am));
      const bool isPm = EqualNoCase1252(w, "PM") || EqualNoCase1252(w, "P") || (!pm.empty() && EqualNoCase1252(w, pm));
      if (!isAm && !isPm) return false;
      if (h < 1 || h > 12) return false;
      h = isPm ? (h == 12 ? 12 : h + 12) : (h == 12 ? 0 : h);
      ++end;
    }
    if (h > 23 || mi > 59 || s > 59) return false;
    parts.hour = h;
    parts.minute = mi;
    parts.second = s;
    haveTime = true;
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i), tokens.begin() + static_cast<std::ptrdiff_t>(end));
    break;
  }

  // Date: the remaining numbers and month names; separators '/', '-', '.', ',' only.
  std::vector<std::string> numbers;
  int monthFromName = 0;
  for (const Token& t : tokens) {
    if (t.kind == Token::Number) {
      numbers.push_back(t.text);
    } else if (t.kind == Token::Word) {
      const int m = MonthFromWord(t.text, *table);
      // Day names ("Tuesday, March 14, 1995") are read over.
      bool dayName = false;
      for (LCTYPE d = 0; d < 7 && !m; ++d)
        dayName = dayName || EqualNoCase1252(t.text, LocaleText(*table, LOCALE_SDAYNAME1 + d)) ||
                  EqualNoCase1252(t.text, LocaleText(*table, LOCALE_SABBREVDAYNAME1 + d));
      if (dayName) continue;
      if (!m || monthFromName) return false;
      monthFromName = m;
    } else if (t.sep != '/' && t.sep != '-' && t.sep != '.' && t.sep != ',') {
      return false;
    }
  }
  const bool haveDate = !numbers.empty() || monthFromName;
  if (!haveDate && !haveTime) return false;
  if (haveDate) {
    const std::tm today = LocalTm(VirtualClock::TimeOfDay());
    const int currentYear = today.tm_year + 1900;
    const std::string_view order = LocaleText(*table, LOCALE_IDATE);  // 0 MDY, 1 DMY, 2 YMD
    const int ord = order.empty() ? 0 : order[0] - '0';
    int y = 0, m = 0, d = 0;
    if (monthFromName) {
      m = monthFromName;
      if (numbers.size() == 2) {
        // "14 March 1995", "March 14, 1995", "1995 March 14": a four-digit or > 31 number is the year.
        const bool firstIsYear = numbers[0].size() > 2 || std::atoi(numbers[0].c_str()) > 31;
        y = Year(firstIsYear ? numbers[0] : numbers[1], twoDigitYearMax);
        d = std::atoi((firstIsYear ? numbers[1] : numbers[0]).c_str());
      } else if (numbers.size() == 1) {
        const bool isYear = numbers[0].size() > 2 || std::atoi(numbers[0].c_str()) > 31;
        y = isYear ? Year(numbers[0], twoDigitYearMax) : currentYear;
        d = isYear ? 1 : std::atoi(numbers[0].c_str());
      } else {
        return false;
      }
    } else if (numbers.size() == 3) {
      if (numbers[0].size() > 2 || ord == 2) {
        y = Year(numbers[0], twoDigitYearMax);
        m = std::atoi(numbers[1].c_str());
        d = std::atoi(numbers[2].c_str());
      } else if (ord == 1) {
        d = std::atoi(numbers[0].c_str());
        m = std::atoi(numbers[1].c_str());
        y = Year(numbers[2], twoDigitYearMax);
      } else {
        m = std::atoi(numbers[0].c_str());
        d = std::atoi(numbers[1].c_str());
        y = Year(numbers[2], twoDigitYearMax);
      }
    } else if (numbers.size() == 2 && tokens.size() >= 3) {
      // Month and day in the locale's order, this year ("3/14"); a bare number never gets here.
      const bool dayFirst = ord == 1;
      d = std::atoi(numbers[dayFirst ? 0 : 1].c_str());
      m = std::atoi(numbers[dayFirst ? 1 : 0].c_str());
      y = currentYear;
    } else {
      return false;  // a bare number is not a date
    }
    parts.year = y;
    parts.month = m;
    parts.day = d;
  }
  if (flags & VAR_TIMEVALUEONLY) {
    parts.year = 1899;
    parts.month = 12;
    parts.day = 30;
  }
  if (flags & VAR_DATEVALUEONLY) parts.hour = parts.minute = parts.second = 0;
  return DateFromParts(parts, out);
}

std::string FormatDatePicture(const DateParts& p, std::string_view picture, LCID locale) {
  const LocaleTable* table = FindLocale(locale);
  if (!table) table = FindLocale(0x0409);
  std::string out;
  char buf[16];
  auto num = [&](int v, bool pad) {
    std::snprintf(buf, sizeof buf, pad ? "%02d" : "%d", v);
    out += buf;
  };
  for (std::size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    std::size_t n = 1;
    while (i + n < picture.size() && picture[i + n] == c) ++n;
    switch (c) {
      case 'd':
        if (n <= 2) {
          num(p.day, n == 2);
        } else {
          const LCTYPE base = n == 3 ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1;
          out += LocaleText(*table, base + static_cast<LCTYPE>((p.dayOfWeek + 6) % 7));  // tables start on Monday
        }
        break;
      case 'M':
        if (n <= 2) {
          num(p.month, n == 2);
        } else {
          out += LocaleText(*table, (n == 3 ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1) + static_cast<LCTYPE>(p.month - 1));
        }
        break;
      case 'y':
        if (n <= 2) {
          num(p.year % 100, n == 2);
        } else {
          std::snprintf(buf, sizeof buf, "%04d", p.year);
          out += buf;
        }
        break;
      case 'h':
        num(p.hour % 12 == 0 ? 12 : p.hour % 12, n >= 2);
        break;
      case 'H':
        num(p.hour, n >= 2);
        break;
      case 'm':
        num(p.minute, n >= 2);
        break;
      case 's':
        num(p.second, n >= 2);
        break;
      case 't': {
        const std::string_view mark = LocaleText(*table, p.hour < 12 ? LOCALE_S1159 : LOCALE_S2359);
        out += n == 1 ? mark.substr(0, 1) : mark;
        break;
      }
      case '\'': {
        // Quoted literal text; '' is a quote.
        std::size_t j = i + 1;
        while (j < picture.size()) {
          if (picture[j] == '\'') {
            if (j + 1 < picture.size() && picture[j + 1] == '\'') {
              out += '\'';
              j += 2;
              continue;
            }
            break;
          }
          out += picture[j++];
        }
        n = j + 1 - i;
        break;
      }
      default:
        out.append(picture.substr(i, n));
        break;
    }
    i += n;
  }
  // Without AM/PM designators a trailing blank before "tt" would remain.
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace plat

HRESULT VarUdateFromDate(DATE date, ULONG, UDATE* out) {
  plat::DateParts p;
  if (!out || !plat::PartsFromDate(date, p)) return E_INVALIDARG;
  out->st.wYear = static_cast<WORD>(p.year);
  out->st.wMonth = static_cast<WORD>(p.month);
  out->st.wDayOfWeek = static_cast<WORD>(p.dayOfWeek);
  out->st.wDay = static_cast<WORD>(p.day);
  out->st.wHour = static_cast<WORD>(p.hour);
  out->st.wMinute = static_cast<WORD>(p.minute);
  out->st.wSecond = static_cast<WORD>(p.second);
  out->st.wMilliseconds = 0;
  out->wDayOfYear = static_cast<USHORT>(p.dayOfYear);
  return S_OK;
}

HRESULT VarDateFromUdate(const UDATE* in, ULONG, DATE* out) {
  if (!in || !out) return E_INVALIDARG;
  plat::DateParts p;
  p.year = in->st.wYear;
  p.month = in->st.wMonth;
  p.day = in->st.wDay;
  p.hour = in->st.wHour;
  p.minute = in->st.wMinute;
  p.second = in->st.wSecond;
  return plat::DateFromParts(p, *out) ? S_OK : E_INVALIDARG;
}
