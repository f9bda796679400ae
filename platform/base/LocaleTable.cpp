#include "platform/base/LocaleTable.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>
#include <mutex>

#include "platform/base/CodePage.h"
#include "platform/base/SystemError.h"

namespace plat {

struct LocaleTable {
  LCID id;
  std::map<LCTYPE, std::string_view> entries;
};

namespace {

const LocaleTable& EnUs() {
  static const LocaleTable t{
      0x0409,
      {
          {LOCALE_ILANGUAGE, "0409"}, {LOCALE_SLANGUAGE, "English (United States)"}, {LOCALE_SABBREVLANGNAME, "ENU"},
          {LOCALE_SNATIVELANGNAME, "English"}, {LOCALE_ICOUNTRY, "1"}, {LOCALE_SCOUNTRY, "United States"},
          {LOCALE_SENGLANGUAGE, "English"}, {LOCALE_SENGCOUNTRY, "United States"}, {LOCALE_IDEFAULTCODEPAGE, "437"},
          {LOCALE_IDEFAULTANSICODEPAGE, "1252"}, {LOCALE_SLIST, ","}, {LOCALE_IMEASURE, "1"}, {LOCALE_SDECIMAL, "."},
          {LOCALE_STHOUSAND, ","}, {LOCALE_SGROUPING, "3;0"}, {LOCALE_IDIGITS, "2"}, {LOCALE_ILZERO, "1"},
          {LOCALE_INEGNUMBER, "1"}, {LOCALE_SNATIVEDIGITS, "0123456789"}, {LOCALE_SCURRENCY, "$"},
          {LOCALE_SINTLSYMBOL, "USD"}, {LOCALE_SMONDECIMALSEP, "."}, {LOCALE_SMONTHOUSANDSEP, ","},
          {LOCALE_SMONGROUPING, "3;0"}, {LOCALE_ICURRDIGITS, "2"}, {LOCALE_IINTLCURRDIGITS, "2"},
          {LOCALE_ICURRENCY, "0"}, {LOCALE_INEGCURR, "0"}, {LOCALE_SDATE, "/"}, {LOCALE_STIME, ":"},
          {LOCALE_SSHORTDATE, "M/d/yyyy"}, {LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"}, {LOCALE_STIMEFORMAT, "h:mm:ss tt"},
          {LOCALE_SYEARMONTH, "MMMM yyyy"}, {LOCALE_IDATE, "0"}, {LOCALE_ILDATE, "0"}, {LOCALE_ITIME, "0"},
          {LOCALE_ITIMEMARKPOSN, "0"}, {LOCALE_ICENTURY, "1"}, {LOCALE_ITLZERO, "0"}, {LOCALE_IDAYLZERO, "0"},
          {LOCALE_IMONLZERO, "0"}, {LOCALE_S1159, "AM"}, {LOCALE_S2359, "PM"}, {LOCALE_ICALENDARTYPE, "1"},
          {LOCALE_IFIRSTDAYOFWEEK, "6"}, {LOCALE_IFIRSTWEEKOFYEAR, "0"},
          {LOCALE_SDAYNAME1, "Monday"}, {LOCALE_SDAYNAME1 + 1, "Tuesday"}, {LOCALE_SDAYNAME1 + 2, "Wednesday"},
          {LOCALE_SDAYNAME1 + 3, "Thursday"}, {LOCALE_SDAYNAME1 + 4, "Friday"}, {LOCALE_SDAYNAME1 + 5, "Saturday"},
          {LOCALE_SDAYNAME1 + 6, "Sunday"}, {LOCALE_SABBREVDAYNAME1, "Mon"}, {LOCALE_SABBREVDAYNAME1 + 1, "Tue"},
          {LOCALE_SABBREVDAYNAME1 + 2, "Wed"}, {LOCALE_SABBREVDAYNAME1 + 3, "Thu"}, {LOCALE_SABBREVDAYNAME1 + 4, "Fri"},
          {LOCALE_SABBREVDAYNAME1 + 5, "Sat"}, {LOCALE_SABBREVDAYNAME1 + 6, "Sun"},
          {LOCALE_SMONTHNAME1, "January"}, {LOCALE_SMONTHNAME1 + 1, "February"}, {LOCALE_SMONTHNAME1 + 2, "March"},
          {LOCALE_SMONTHNAME1 + 3, "April"}, {LOCALE_SMONTHNAME1 + 4, "May"}, {LOCALE_SMONTHNAME1 + 5, "June"},
          {LOCALE_SMONTHNAME1 + 6, "July"}, {LOCALE_SMONTHNAME1 + 7, "August"}, {LOCALE_SMONTHNAME1 + 8, "September"},
          {LOCALE_SMONTHNAME1 + 9, "October"}, {LOCALE_SMONTHNAME1 + 10, "November"}, {LOCALE_SMONTHNAME1 + 11, "December"},
          {LOCALE_SABBREVMONTHNAME1, "Jan"}, {LOCALE_SABBREVMONTHNAME1 + 1, "Feb"}, {LOCALE_SABBREVMONTHNAME1 + 2, "Mar"},
          {LOCALE_SABBREVMONTHNAME1 + 3, "Apr"}, {LOCALE_SABBREVMONTHNAME1 + 4, "May"}, {LOCALE_SABBREVMONTHNAME1 + 5, "Jun"},
          {LOCALE_SABBREVMONTHNAME1 + 6, "Jul"}, {LOCALE_SABBREVMONTHNAME1 + 7, "Aug"}, {LOCALE_SABBREVMONTHNAME1 + 8, "Sep"},
          {LOCALE_SABBREVMONTHNAME1 + 9, "Oct"}, {LOCALE_SABBREVMONTHNAME1 + 10, "Nov"},
          {LOCALE_SABBREVMONTHNAME1 + 11, "Dec"}, {LOCALE_SPOSITIVESIGN, ""}, {LOCALE_SNEGATIVESIGN, "-"},
          {LOCALE_IPOSSIGNPOSN, "3"}, {LOCALE_INEGSIGNPOSN, "0"}, {LOCALE_IPOSSYMPRECEDES, "1"},
          {LOCALE_IPOSSEPBYSPACE, "0"}, {LOCALE_INEGSYMPRECEDES, "1"}, {LOCALE_INEGSEPBYSPACE, "0"},
      }};
  return t;
}

const LocaleTable& DeDe() {
  static const LocaleTable t{
      0x0407,
      {
          {LOCALE_ILANGUAGE, "0407"}, {LOCALE_SLANGUAGE, "German (Germany)"}, {LOCALE_SABBREVLANGNAME, "DEU"},
          {LOCALE_SNATIVELANGNAME, "Deutsch"}, {LOCALE_ICOUNTRY, "49"}, {LOCALE_SCOUNTRY, "Germany"},
          {LOCALE_SENGLANGUAGE, "German"}, {LOCALE_SENGCOUNTRY, "Germany"}, {LOCALE_IDEFAULTCODEPAGE, "850"},
          {LOCALE_IDEFAULTANSICODEPAGE, "1252"}, {LOCALE_SLIST, ";"}, {LOCALE_IMEASURE, "0"}, {LOCALE_SDECIMAL, ","},
          {LOCALE_STHOUSAND, "."}, {LOCALE_SGROUPING, "3;0"}, {LOCALE_IDIGITS, "2"}, {LOCALE_ILZERO, "1"},
          {LOCALE_INEGNUMBER, "1"}, {LOCALE_SNATIVEDIGITS, "0123456789"}, {LOCALE_SCURRENCY, "\x80"},
          {LOCALE_SINTLSYMBOL, "EUR"}, {LOCALE_SMONDECIMALSEP, ","}, {LOCALE_SMONTHOUSANDSEP, "."},
          {LOCALE_SMONGROUPING, "3;0"}, {LOCALE_ICURRDIGITS, "2"}, {LOCALE_IINTLCURRDIGITS, "2"},
          {LOCALE_ICURRENCY, "3"}, {LOCALE_INEGCURR, "8"}, {LOCALE_SDATE, "."}, {LOCALE_STIME, ":"},
          {LOCALE_SSHORTDATE, "dd.MM.yyyy"}, {LOCALE_SLONGDATE, "dddd, d. MMMM yyyy"}, {LOCALE_STIMEFORMAT, "HH:mm:ss"},
          {LOCALE_SYEARMONTH, "MMMM yyyy"}, {LOCALE_IDATE, "1"}, {LOCALE_ILDATE, "1"}, {LOCALE_ITIME, "1"},
          {LOCALE_ITIMEMARKPOSN, "0"}, {LOCALE_ICENTURY, "1"}, {LOCALE_ITLZERO, "1"}, {LOCALE_IDAYLZERO, "1"},
          {LOCALE_IMONLZERO, "1"}, {LOCALE_S1159, ""}, {LOCALE_S2359, ""}, {LOCALE_ICALENDARTYPE, "1"},
          {LOCALE_IFIRSTDAYOFWEEK, "0"}, {LOCALE_IFIRSTWEEKOFYEAR, "2"},
          {LOCALE_SDAYNAME1, "Montag"}, {LOCALE_SDAYNAME1 + 1, "Dienstag"}, {LOCALE_SDAYNAME1 + 2, "Mittwoch"},
          {LOCALE_SDAYNAME1 + 3, "Donnerstag"}, {LOCALE_SDAYNAME1 + 4, "Freitag"}, {LOCALE_SDAYNAME1 + 5, "Samstag"},
          {LOCALE_SDAYNAME1 + 6, "Sonntag"}, {LOCALE_SABBREVDAYNAME1, "Mo"}, {LOCALE_SABBREVDAYNAME1 + 1, "Di"},
          {LOCALE_SABBREVDAYNAME1 + 2, "Mi"}, {LOCALE_SABBREVDAYNAME1 + 3, "Do"}, {LOCALE_SABBREVDAYNAME1 + 4, "Fr"},
          {LOCALE_SABBREVDAYNAME1 + 5, "Sa"}, {LOCALE_SABBREVDAYNAME1 + 6, "So"},
          {LOCALE_SMONTHNAME1, "Januar"}, {LOCALE_SMONTHNAME1 + 1, "Februar"}, {LOCALE_SMONTHNAME1 + 2, "M\xE4rz"},
          {LOCALE_SMONTHNAME1 + 3, "April"}, {LOCALE_SMONTHNAME1 + 4, "Mai"}, {LOCALE_SMONTHNAME1 + 5, "Juni"},
          {LOCALE_SMONTHNAME1 + 6, "Juli"}, {LOCALE_SMONTHNAME1 + 7, "August"}, {LOCALE_SMONTHNAME1 + 8, "September"},
          {LOCALE_SMONTHNAME1 + 9, "Oktober"}, {LOCALE_SMONTHNAME1 + 10, "November"}, {LOCALE_SMONTHNAME1 + 11, "Dezember"},
          {LOCALE_SABBREVMONTHNAME1, "Jan"}, {LOCALE_SABBREVMONTHNAME1 + 1, "Feb"}, {LOCALE_SABBREVMONTHNAME1 + 2, "M\xE4r"},
          {LOCALE_SABBREVMONTHNAME1 + 3, "Apr"}, {LOCALE_SABBREVMONTHNAME1 + 4, "Mai"}, {LOCALE_SABBREVMONTHNAME1 + 5, "Jun"},
          {LOCALE_SABBREVMONTHNAME1 + 6, "Jul"}, {LOCALE_SABBREVMONTHNAME1 + 7, "Aug"}, {LOCALE_SABBREVMONTHNAME1 + 8, "Sep"},
          {LOCALE_SABBREVMONTHNAME1 + 9, "Okt"}, {LOCALE_SABBREVMONTHNAME1 + 10, "Nov"},
          {LOCALE_SABBREVMONTHNAME1 + 11, "Dez"}, {LOCALE_SPOSITIVESIGN, ""}, {LOCALE_SNEGATIVESIGN, "-"},
          {LOCALE_IPOSSIGNPOSN, "3"}, {LOCALE_INEGSIGNPOSN, "1"}, {LOCALE_IPOSSYMPRECEDES, "0"},
          {LOCALE_IPOSSEPBYSPACE, "1"}, {LOCALE_INEGSYMPRECEDES, "0"}, {LOCALE_INEGSEPBYSPACE, "1"},
      }};
  return t;
}

struct Settings {
  std::mutex mutex;
  LCID user = 0x0409;
  bool numericUser = false;
};

Settings& TheSettings() {
  static Settings s;
  return s;
}

thread_local LCID tThreadLocale = 0;  // 0: the user default

int CopyOut(std::string_view text, LPSTR buffer, int size) {
  const int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (!buffer || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return needed;
}

// Decimal digits of a C-form number rounded half away from zero to `places` digits.
bool RoundDecimal(std::string_view value, UINT places, bool& negative, std::string& intPart, std::string& frac) {
  std::string_view v = value;
  negative = false;
  if (!v.empty() && v.front() == '-') {
    negative = true;
    v.remove_prefix(1);
  }
  const std::size_t dot = v.find('.');
  std::string_view ip = v.substr(0, dot), fp = dot == std::string_view::npos ? std::string_view() : v.substr(dot + 1);
  if (ip.empty() && fp.empty()) return false;
  for (char c : ip)
    if (c < '0' || c > '9') return false;
  for (char c : fp)
    if (c < '0' || c > '9') return false;
  std::string digits(ip);
  std::string f(fp);
  const bool roundUp = f.size() > places && f[places] >= '5';
  f.resize(places, '0');
  std::string all = digits + f;
  if (all.empty()) all.assign(1, '0');
  if (roundUp) {
    int i = static_cast<int>(all.size()) - 1;
    while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') all[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      all.insert(all.begin(), '1');
    } else {
      ++all[static_cast<std::size_t>(i)];
    }
  }
  intPart = all.substr(0, all.size() - places);
  frac = all.substr(all.size() - places);
  const std::size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? "" : intPart.substr(nz);
  if (intPart.empty() && frac.find_first_not_of('0') == std::string::npos) negative = false;  // no "-0.00"
  return true;
}

std::string Group(const std::string& digits, UINT grouping, std::string_view sep) {
  if (grouping == 0 || sep.empty()) return digits;
  // 3 -> 3;0 (repeat 3); 32 -> 3;2;0 (three, then twos); 30 -> 3 once.
  std::vector<UINT> sizes;
  std::string g = std::to_string(grouping);
  for (char c : g) sizes.push_back(static_cast<UINT>(c - '0'));
  bool repeatLast = true;
  if (sizes.size() > 1 && sizes.back() == 0) {
    sizes.pop_back();
    repeatLast = false;
  }
  if (g.size() == 1) repeatLast = true;
  std::string out;
  std::size_t pos = digits.size();
  std::size_t k = 0;
  while (pos > 0) {
    const UINT size = k < sizes.size() ? sizes[k] : (repeatLast ? sizes.back() : 0);
    if (size == 0 || pos <= size) {
      out.insert(0, digits.substr(0, pos));
      break;
    }
    out.insert(0, digits.substr(pos - size, size));
    out.insert(0, sep);
    pos -= size;
    ++k;
  }
  return out;
}

UINT ParseGrouping(std::string_view text) {
  // "3;0" -> 3; "3;2;0" -> 32; "3" -> 30 (no repetition)
  UINT value = 0;
  bool endsWithZero = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (c == '0' && i + 1 == text.size() && i > 0) {
        endsWithZero = true;
      } else {
        value = value * 10 + static_cast<UINT>(c - '0');
      }
    }
  }
  return endsWithZero || value == 0 ? value : value * 10;
}

}  // namespace

const LocaleTable* FindLocale(LCID locale) {
  if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_NEUTRAL) locale = GetUserDefaultLCID();
  if (locale == LOCALE_SYSTEM_DEFAULT || locale == LOCALE_INVARIANT) locale = 0x0409;
  switch (PRIMARYLANGID(LANGIDFROMLCID(locale))) {
    case LANG_ENGLISH:
      return &EnUs();
    case LANG_GERMAN:
      return &DeDe();
    default:
      return nullptr;
  }
}

std::string_view LocaleText(const LocaleTable& table, LCTYPE type) {
  const auto it = table.entries.find(type);
  return it == table.entries.end() ? std::string_view() : it->second;
}

void SetUserDefaultLocale(LCID locale) {
  auto& s = TheSettings();
  std::lock_guard lock(s.mutex);
  s.user = locale;
}

std::string ToLocaleNumberText(std::string_view cText, char decimalSep) {
  std::string out(cText);
  for (char& c : out)
    if (c == '.') c = decimalSep;
  return out;
}

bool FromLocaleNumberText(std::string_view text, char decimalSep, char thousandSep, std::string& cText) {
  cText.clear();
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) cText += text[i++];
  bool digits = false;
  // Integer part: digits with group separators between them.
  while (i < text.size()) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      cText += c;
      digits = true;
      ++i;
    } else if (thousandSep && c == thousandSep && digits && c != decimalSep && i + 1 < text.size() && text[i + 1] >= '0' &&
               text[i + 1] <= '9') {
      ++i;
    } else {
      break;
    }
  }
  if (i < text.size() && text[i] == decimalSep) {
    cText += '.';
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      cText += text[i++];
      digits = true;
    }
  }
  if (!digits) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp += text[j++];
    if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') exp += text[j++];
      cText += exp;
      i = j;
    } else {
      return false;
    }
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i == text.size();
}

NumberParse ParseLocaleNumber(std::string_view text, LCID locale, double& value) {
  const LocaleTable* t = FindLocale(locale);
  if (!t) t = &EnUs();
  const std::string_view dec = LocaleText(*t, LOCALE_SDECIMAL), thou = LocaleText(*t, LOCALE_STHOUSAND);
  std::string c;
  if (!FromLocaleNumberText(text, dec.empty() ? '.' : dec[0], thou.empty() ? '\0' : thou[0], c)) return NumberParse::NotANumber;
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  errno = 0;
  char* end = nullptr;
  const double v = strtod_l(c.c_str(), &end, cLocale);
  if (errno == ERANGE && std::isinf(v)) return NumberParse::Overflow;
  value = v;
  return NumberParse::Ok;
}

void SetRuntimeNumericLocaleToUser(bool user) {
  auto& s = TheSettings();
  std::lock_guard lock(s.mutex);
  s.numericUser = user;
}

std::lconv* localeconv() {
  thread_local std::lconv conv{};
  thread_local std::string decimal, thousands, grouping;
  bool user;
  {
    auto& s = TheSettings();
    std::lock_guard lock(s.mutex);
    user = s.numericUser;
  }
  decimal.assign(1, '.');
  thousands.clear();
  grouping.clear();
  if (user) {
    if (const LocaleTable* t = FindLocale(LOCALE_USER_DEFAULT)) {
      decimal = LocaleText(*t, LOCALE_SDECIMAL);
      thousands = LocaleText(*t, LOCALE_STHOUSAND);
      grouping = std::string(1, static_cast<char>(3));
    }
  }
  conv = *std::localeconv();  // the C locale's values for everything else
  conv.decimal_point = decimal.data();
  conv.thousands_sep = thousands.data();
  conv.grouping = grouping.data();
  return &conv;
}

}  // namespace plat

int GetLocaleInfo(LCID locale, LCTYPE type, LPSTR buffer, int size) {
  const plat::LocaleTable* t = plat::FindLocale(locale);
  const LCTYPE plain = type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP | LOCALE_RETURN_NUMBER);
  if (!t || size < 0 || !t->entries.count(plain)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string_view text = plat::LocaleText(*t, plain);
  if (type & LOCALE_RETURN_NUMBER) {
    // The value as a DWORD in the buffer: its size in characters.
    if (size == 0) return sizeof(DWORD);
    if (!buffer || size < static_cast<int>(sizeof(DWORD))) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    const DWORD v = static_cast<DWORD>(std::strtoul(std::string(text).c_str(), nullptr, plain == LOCALE_ILANGUAGE ? 16 : 10));
    std::memcpy(buffer, &v, sizeof v);
    return sizeof(DWORD);
  }
  return plat::CopyOut(text, buffer, size);
}

int GetNumberFormat(LCID locale, DWORD flags, LPCSTR value, const NUMBERFMT* format, LPSTR buffer, int size) {
  const plat::LocaleTable* t = plat::FindLocale(locale);
  if (!t || !value || size < 0 || (format && (flags & LOCALE_NOUSEROVERRIDE))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  NUMBERFMT f{};
  std::string dec, thou;
  if (format) {
    f = *format;
    dec = format->lpDecimalSep ? format->lpDecimalSep : "";
    thou = format->lpThousandSep ? format->lpThousandSep : "";
  } else {
    f.NumDigits = static_cast<UINT>(std::atoi(std::string(plat::LocaleText(*t, LOCALE_IDIGITS)).c_str()));
    f.LeadingZero = static_cast<UINT>(std::atoi(std::string(plat::LocaleText(*t, LOCALE_ILZERO)).c_str()));
    f.Grouping = plat::ParseGrouping(plat::LocaleText(*t, LOCALE_SGROUPING));
    f.NegativeOrder = static_cast<UINT>(std::atoi(std::string(plat::LocaleText(*t, LOCALE_INEGNUMBER)).c_str()));
    dec = plat::LocaleText(*t, LOCALE_SDECIMAL);
    thou = plat::LocaleText(*t, LOCALE_STHOUSAND);
  }
  if (f.NumDigits > 9 || f.NegativeOrder > 4) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  bool negative = false;
  std::string ip, fp;
  if (!plat::RoundDecimal(value, f.NumDigits, negative, ip, fp)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string number = ip.empty() ? (f.LeadingZero || f.NumDigits == 0 ? "0" : "") : plat::Group(ip, f.Grouping, thou);
  if (f.NumDigits > 0) number += dec + fp;
  if (negative) {
    static constexpr const char* kOrders[] = {"(%)", "-%", "- %", "%-", "% -"};
    std::string pattern = kOrders[f.NegativeOrder];
    number = pattern.replace(pattern.find('%'), 1, number);
  }
  return plat::CopyOut(number, buffer, size);
}

LCID GetUserDefaultLCID() {
  auto& s = plat::TheSettings();
  std::lock_guard lock(s.mutex);
  return s.user;
}

LCID GetSystemDefaultLCID() { return 0x0409; }
LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(GetUserDefaultLCID()); }
LCID GetThreadLocale() { return plat::tThreadLocale ? plat::tThreadLocale : GetUserDefaultLCID(); }

BOOL SetThreadLocale(LCID locale) {
  if (locale == 0 || locale == LOCALE_USER_DEFAULT) {
    plat::tThreadLocale = 0;
    return TRUE;
  }
  // Any language id is accepted (edit rules test the primary language), even without a table.
  plat::tThreadLocale = locale;
  return TRUE;
}
