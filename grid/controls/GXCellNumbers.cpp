#include "grid/controls/GXCellNumbers.h"

#include <cerrno>
#include <charconv>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "grid/core/CGXUserAttribute.h"
#include "grid/core/gxnumbertext.h"

namespace gx {

double DecimalNumber(const char* text, bool* whole) {
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  const char* mantissa = p;
  int digits = 0;
  long long pointExponent = 0;  // decimal exponent of the first significant digit, before the exponent part
  bool significant = false, point = false;
  for (;; ++p) {
    if (*p == '.' && !point) {
      point = true;
      continue;
    }
    if (!std::isdigit(static_cast<unsigned char>(*p))) break;
    ++digits;
    if (*p != '0' && !significant) significant = true;
    if (!significant && point) --pointExponent;
    if (significant && !point) ++pointExponent;
  }
  if (digits == 0) {
    if (whole) *whole = false;
    return 0.0;
  }
  const char* numberEnd = p;
  long long exponent = 0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    const bool expNegative = *q == '-';
    if (*q == '+' || *q == '-') ++q;
    if (std::isdigit(static_cast<unsigned char>(*q))) {
      for (; std::isdigit(static_cast<unsigned char>(*q)); ++q)
        if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
      if (expNegative) exponent = -exponent;
      numberEnd = q;
    }
  }
  if (whole) {
    const char* rest = numberEnd;
    while (std::isspace(static_cast<unsigned char>(*rest))) ++rest;
    *whole = *rest == '\0';
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(mantissa, numberEnd, value, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range)  // beyond the double range: infinite, or below it: zero
    value = significant && pointExponent + exponent > 0 ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}


std::optional<int64_t> WholeNumber(const char* text) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (end != text && errno != ERANGE && *end != '.' && *end != 'e' && *end != 'E') return v;
  // A fraction, an exponent, a number past 64 bits, or no integer at all ("inf", "nan", ".5", "abc").
  char* numberEnd = nullptr;
  const double d = std::trunc(std::strtod(text, &numberEnd));
  if (numberEnd == text) return 0;
  // 2^63 is the first double past the range; every double below it converts exactly. A NaN fails the test too.
  if (!(std::fabs(d) < 0x1p63)) return std::nullopt;
  return static_cast<int64_t>(d);
}

int64_t SaturatedWholeNumber(const char* text) {
  if (const std::optional<int64_t> whole = WholeNumber(text)) return *whole;
  const double d = std::strtod(text, nullptr);
  if (std::isnan(d)) return 0;
  return d < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

CString NumberAttributeText(const CGXStyle& style, WORD id) {
  const CGXAbstractUserAttribute& a = style.GetUserAttribute(id);
  if (const auto* u = dynamic_cast<const CGXUserAttribute*>(&a); u && u->GetKind() == CGXUserAttribute::number)
    return CString(ExactNumberText(u->GetDoubleValue()).c_str());
  return a.GetValue();
}

int ChoiceIndex(const char* text, int base) {
  bool whole = false;
  const double n = DecimalNumber(text, &whole);
  if (!whole || !(n >= base) || n - base > INT_MAX || n != std::trunc(n)) return -1;
  return static_cast<int>(n - base);
}

}  // namespace gx
