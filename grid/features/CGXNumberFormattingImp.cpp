#include "grid/features/CGXNumberFormattingImp.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grid/core/CGXStyle.h"
#include "grid/core/gxnumbertext.h"
#include "platform/base/CException.h"
#include "platform/base/COleDateTime.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/OleDate.h"
#include "platform/base/TimeFormat.h"

namespace {

constexpr int kPrimes[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
// The runtime's date text buffer (strftime into 256 characters).
constexpr std::size_t kDateBuffer = 256;
// Scanning limits of ParseNumber: positions 0..256 and fewer than 20 group separators.
constexpr int kMaxPosition = 256;
constexpr int kMaxSeparators = 20;

char DecimalSeparator() { return CGXGridGlobals::Get().m_cDecimalSeparator; }
char ThousandSeparator() { return CGXGridGlobals::Get().m_cThousandSeparator; }

// The runtime's atof under a numeric locale whose decimal point is `sep`: the text's first "." becomes the
// separator (as the formatting does before converting), and the separator is the decimal point.
double RuntimeAtof(const CString& text, char sep) {
  std::string s(text.GetString());
  if (sep != '.') {
    if (auto dot = s.find('.'); dot != std::string::npos) s[dot] = sep;
    if (auto at = s.find(sep); at != std::string::npos) s[at] = '.';
  }
  return std::atof(s.c_str());
}

// A printf form of a double with the runtime's decimal point.
CString Fixed(const char* format, int places, double v) {
  CString out;
  out.Format(format, places, v);
  const char sep = DecimalSeparator();
  if (sep != '.') {
    const int dot = out.Find('.');
    if (dot >= 0) out.SetAt(dot, sep);
  }
  return out;
}

// The fixed text of |v| with the thousands separator in its integer part.
CString Grouped(double v, int places) {
  const CString fixed = Fixed("%.*f", places, std::fabs(v));
  const int dot = fixed.Find(DecimalSeparator());
  const int integerDigits = dot >= 0 ? dot : fixed.GetLength();
  CString out;
  for (int i = 0; i < fixed.GetLength(); ++i) {
    out += fixed[i];
    const int left = integerDigits - i - 1;  // integer digits still to come after this one
    if (i < integerDigits && left > 0 && left % 3 == 0) out += ThousandSeparator();
  }
  return out;
}

CString InvalidDateText() {
  CString text;
  if (!text.LoadString(0xD800)) text = "Invalid DateTime";
  return text;
}

// strftime of a date serial broken down through the automation conversion.
CString DateText(double v, const char* pattern) {
  UDATE ud{};
  if (VarUdateFromDate(v, 0, &ud) != S_OK) return InvalidDateText();
  std::tm t{};
  t.tm_year = ud.st.wYear - 1900;
  t.tm_mon = ud.st.wMonth - 1;
  t.tm_mday = ud.st.wDay;
  t.tm_hour = ud.st.wHour;
  t.tm_min = ud.st.wMinute;
  t.tm_sec = ud.st.wSecond;
  t.tm_wday = ud.st.wDayOfWeek;
  t.tm_yday = ud.wDayOfYear - 1;
  std::string text = plat::FormatTime(t, pattern);
  if (text.size() >= kDateBuffer) text.resize(kDateBuffer - 1);
  return CString(text.c_str());
}

CString LocaleDateTime(double v) { return COleDateTime(v).Format(0, LANG_USER_DEFAULT); }

// Format 24: the whole part (when there is one) and the fraction over 10^(places + 2), reduced by the
// first twelve primes. The whole part is written in 64 bits, or from the double itself beyond them.
CString Fraction(double v, int places) {
  if (places < 1 || places > 6) places = 3;
  const double a = std::fabs(v);
  std::int64_t d = 1;
  for (int i = 0; i < places + 2; ++i) d *= 10;
  const double whole = std::floor(a);
  std::int64_t n = static_cast<std::int64_t>((a - whole) * static_cast<double>(d));
  for (int q : kPrimes) {
    if (q > n) break;
    while (d % q == 0 && n % q == 0) {
      d /= q;
      n /= q;
    }
  }
  CString text;
  text.Format(" %lld/%lld", static_cast<long long>(n), static_cast<long long>(d));
  if (a >= 1) {
    CString wholeText;
    if (whole < 9.2e18)
      wholeText.Format("%lld", static_cast<long long>(whole));
    else
      wholeText.Format("%.0f", whole);
    text = wholeText + text;
  }
  return (v < 0 ? "-" : " ") + text;
}

CString Signed(const char* positive, const char* negative, const CString& g, double v) {
  CString out;
  out.Format(v < 0 ? negative : positive, g.GetString());
  return out;
}

// Format 28: the locale's number form of the number's text (14 digits, more where 14 would read back as another
// number: 123456789012345 showed as 123,456,789,012,340), a blank after a final digit; format 5 when the locale
// cannot write it.
CString LocaleNumber(double v, int places) {
  const CString c(gx::ExactNumberText(v).c_str());
  char buffer[256] = {};
  if (GetNumberFormat(LOCALE_USER_DEFAULT, 0, c, nullptr, buffer, sizeof buffer) == 0)
    return Signed("%s ", "(%s)", Grouped(v, places), v);
  CString out(buffer);
  if (!out.IsEmpty() && out[out.GetLength() - 1] >= '0' && out[out.GetLength() - 1] <= '9') out += ' ';
  return out;
}

CString FormatNumber(double v, unsigned format, int places, const CString& text) {
  switch (format) {
    case 1: return Fixed("%.*e", places, v);
    case 2: return Fixed("%.*f", places, v);
    case 3: return Fixed("%.*g", places, v);
    case 4: return Signed("$%s ", "($%s)", Grouped(v, places), v);
    case 5: return Signed("%s ", "(%s)", Grouped(v, places), v);
    case 6: {
      // Truncated to an integer in 64 bits; a value that has no such integer is shown as it was stored.
      const double a = std::trunc(std::fabs(v));
      if (!(a < 18446744073709551616.0)) return text;
      CString out;
      out.Format("0x%llX", static_cast<unsigned long long>(a));
      return out;
    }
    case 7: return v >= 0 && v < 1 ? "0" : v >= 1 && v < 2 ? "1" : "?";
    case 8: return DateText(v, "%d-%b-%y");
    case 9: return DateText(v, "%d-%b");
    case 10: return DateText(v, "%b-%y");
    case 11: return LocaleDateTime(std::trunc(v));
    case 13: return LocaleDateTime(std::fmod(v, 1.0));
    case 14: {
      if (!(v < 1.7976931348623156e306)) return " Percent! ";
      CString out = Fixed("%.*f", places, v * 100);
      return out + "%";
    }
    case 16: return DateText(v, "%d.%m.%Y");
    case 17: return DateText(v, "%Y-%m-%d");
    case 18: return LocaleDateTime(v);
    case 23: return Signed(" %s ", "(%s)", Grouped(v, places), v);
    case 24: return std::isfinite(v) ? Fraction(v, places) : text;
    case 25: return DateText(v, "%I:%M %p");
    case 26: return DateText(v, "%I:%M:%S %p");
    case 27: return DateText(v, "%H:%M");
    case 28: return LocaleNumber(v, places);
    case 29:
    case 30:
    case 31: return " Format? ";
    default: return text;  // 0, 15, 19..22
  }
}

}  // namespace

CString CGXNumberFormattingImp::FormatText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType, int, int) {
  const CString text = valueText ? CString(valueText) : style.GetValue();
  const unsigned type = valueText ? valueType : style.GetValueType();
  if (!style.IsIncluded(GX_IN_FORMAT)) return text;
  const unsigned format = style.GetFormat();
  if (format == 12) return CString();
  if (type != GX_VT_NUMBER) return text;
  try {
    return FormatNumber(RuntimeAtof(text, DecimalSeparator()), format, static_cast<int>(style.GetPlaces()), text);
  } catch (CException* e) {
    e->Delete();
    return text;
  }
}

BOOL CGXNumberFormattingImp::ParseNumber(const char* text, double& value, unsigned& format, unsigned& places) {
  if (!text) return FALSE;
  const char decimal = DecimalSeparator();
  const char thousand = ThousandSeparator();
  const char* p = text;
  while (*p == ' ') ++p;
  const bool paren = *p == '(';
  if (paren) ++p;
  const bool currency = *p == '$';
  if (currency) ++p;

  // 1. Scan: the work buffer holds every character but the group separators (at most kMaxPosition + 1).
  char buffer[kMaxPosition + 2];
  int length = 0;
  int separators[kMaxSeparators];
  int separatorCount = 0;
  int decimalAt = -1, exponentAt = -1, closeAt = -1;
  int mantissa = 0, decimals = 0;
  int pos = 0;
  for (; p[pos] != '\0'; ++pos) {
    if (pos > kMaxPosition) return FALSE;
    const char c = p[pos];
    if (c == ' ') {
      for (const char* rest = p + pos; *rest; ++rest)
        if (*rest != ' ') return FALSE;
      break;
    }
    if (closeAt >= 0) return FALSE;  // ")" must be the last character
    if (c == thousand) {
      if (separatorCount == kMaxSeparators - 1) return FALSE;
      separators[separatorCount++] = pos;
      continue;
    }
    if (c == decimal) {
      if (decimalAt >= 0) return FALSE;
      decimalAt = pos;
    } else if (c == 'e' || c == 'E') {
      if (exponentAt >= 0 || paren) return FALSE;
      exponentAt = pos;
    } else if (c == '+' || c == '-') {
      if (paren) return FALSE;
    } else if (c >= '0' && c <= '9') {
      if (exponentAt < 0) {
        ++mantissa;
        if (decimalAt >= 0) ++decimals;
      }
    } else if (c == ')' && paren) {
      closeAt = pos;
    } else {
      return FALSE;
    }
    buffer[length++] = c == decimal ? '.' : c;
  }
  buffer[length] = '\0';

  // 2. Group separators stand in the integer part, a multiple of four positions before the reference.
  if (separatorCount > 0) {
    const int reference = decimalAt >= 0 ? decimalAt : closeAt >= 0 ? closeAt : exponentAt >= 0 ? exponentAt : pos;
    for (int i = 0; i < separatorCount; ++i) {
      const int distance = reference - separators[i];
      if (distance <= 0 || distance % 4 != 0) return FALSE;
    }
  }

  // 3. Convert: the whole buffer (but the closing parenthesis) must be the number.
  if (length == 0) return FALSE;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(buffer, &end);
  const int converted = static_cast<int>(end - buffer);
  if (paren && buffer[converted] != ')') return FALSE;
  if (converted == 0 || converted + (paren ? 1 : 0) != length) return FALSE;
  if (converted == 1 && !(buffer[0] >= '0' && buffer[0] <= '9')) return FALSE;
  if (!std::isfinite(v) || (errno == ERANGE && std::fabs(v) > 1)) return FALSE;

  // 4. The value and how it was written.
  if (paren) v = -v;
  if (decimals > 15) decimals = 15;
  if (mantissa > 16) mantissa = 16;
  value = v;
  if (exponentAt >= 0) {
    format = 1;
    places = static_cast<unsigned>(mantissa > 0 ? mantissa - 1 : 0);
  } else {
    format = currency ? 4 : (separatorCount > 0 || paren) ? 5 : 2;
    places = static_cast<unsigned>(decimals);
  }
  return TRUE;
}

void InstallNumberFormattingImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pNumberFormattingImp) return;
  auto* imp = new CGXNumberFormattingImp;
  g.m_pNumberFormattingImp = imp;
  g.AddToAutoDeleteList(imp);
}
