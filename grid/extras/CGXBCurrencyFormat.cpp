// The currency edit's number format: amounts to text and back.
#include <clocale>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "grid/extras/CGXBCurrencyEdit.h"
#include "platform/base/LocaleTable.h"
#include "platform/gdi/gdiapi.h"

namespace {

struct Pattern {
  const char* prefix;
  const char* suffix;
};

constexpr Pattern kPositive[] = {{"%s", nullptr}, {nullptr, "%s"}, {"%s ", nullptr}, {nullptr, " %s"}};
constexpr Pattern kNegative[] = {
    {"(%s", ")"},  {"-%s", nullptr}, {"%s-", nullptr}, {"%s", "-"},    {"(", "%s)"},     {"-", "%s"},
    {nullptr, "-%s"}, {nullptr, "%s-"}, {"-", " %s"},  {"-%s ", nullptr}, {nullptr, " %s-"}, {"%s ", "-"},
    {"%s -", nullptr}, {nullptr, "- %s"}, {"(%s ", ")"}, {"(", " %s)"}};

// Fraction digits beyond this only spell out the binary rounding of a double.
constexpr int kMostFractionDigits = 30;

CString Piece(const char* pattern, const CString& symbol) {
  if (!pattern) return CString();
  CString out(pattern);
  const int at = out.Find("%s");
  if (at >= 0) out = out.Left(at) + symbol + out.Mid(at + 2);
  return out;
}

char RuntimeDecimalPoint() {
  const std::lconv* conv = std::localeconv();
  return conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

CString LocaleText(LCTYPE type) {
  const int length = GetLocaleInfo(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (length <= 0) return CString();
  std::string buffer(static_cast<size_t>(length), '\0');
  GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer.data(), length);
  return CString(buffer.c_str());
}

}  // namespace

CGXBCurrencyEdit::Format::Format(BOOL fromLocale) {
  m_crDecimalLine = ::GetSysColor(COLOR_BTNSHADOW);
  if (fromLocale) ReadLocale();
}

void CGXBCurrencyEdit::Format::ReadLocale() {
  CString text;
  if (!(text = LocaleText(LOCALE_SCURRENCY)).IsEmpty()) m_strSymbol = text;
  if (!(text = LocaleText(LOCALE_ICURRENCY)).IsEmpty()) m_nPositiveFormat = std::atoi(text);
  if (!(text = LocaleText(LOCALE_SMONGROUPING)).IsEmpty()) m_strGrouping = text;
  if (!(text = LocaleText(LOCALE_ICURRDIGITS)).IsEmpty()) m_nFractionDigits = std::atoi(text);
  if (!(text = LocaleText(LOCALE_INEGCURR)).IsEmpty()) m_nNegativeFormat = std::atoi(text);
  if (!(text = LocaleText(LOCALE_SMONTHOUSANDSEP)).IsEmpty()) m_cThousandSep = text[0];
  if (!(text = LocaleText(LOCALE_SMONDECIMALSEP)).IsEmpty()) m_cDecimalSep = text[0];
  if (!(text = LocaleText(LOCALE_ILZERO)).IsEmpty()) m_bLeadingZero = std::atoi(text);
  // The locale's digit count (LOCALE_IDIGITS) counts the fraction digits of plain numbers; taken as the
  // width of the integer part it would cut amounts, so the integer part stays unlimited.
  m_nIntegerDigits = -1;
}

BOOL CGXBCurrencyEdit::Format::SetPaddingChar(char c) {
  if (IsDigit(c) && c != '0') return FALSE;
  m_cPadding = c;
  return TRUE;
}

int CGXBCurrencyEdit::Format::FindDecimalSeparator(const char* text, char c) const {
  if (!text) return -1;
  if (c == '\0') c = m_cDecimalSep ? m_cDecimalSep : ' ';
  const char* at = std::strchr(text, c);
  return at ? static_cast<int>(at - text) : -1;
}

BOOL CGXBCurrencyEdit::Format::FindNumber(const char* text, int& start, int& end) const {
  start = end = -1;
  if (!text) return FALSE;
  const int length = static_cast<int>(std::strlen(text));
  int last = length - 1;
  while (last >= 0 && !IsDigit(text[last])) --last;
  if (last < 0) return FALSE;
  // Without a decimal separator of its own the format shows a blank there; a blank only counts as one
  // between digits, so that a blank before the amount stays outside it.
  const char decimal = m_cDecimalSep ? m_cDecimalSep : ' ';
  bool passedSeparator = false;
  int first = last;
  for (int i = last - 1; i >= 0; --i) {
    const char c = text[i];
    if (IsDigit(c)) {
      first = i;
    } else if (m_cThousandSep && c == m_cThousandSep) {
      passedSeparator = true;
      first = i;
    } else if (c == decimal && !passedSeparator && (m_cDecimalSep || (i > 0 && IsDigit(text[i - 1])))) {
      passedSeparator = true;
      first = i;
    } else {
      break;
    }
  }
  start = first;
  end = last;
  return TRUE;
}

void CGXBCurrencyEdit::Format::InsertGroupSeparators(CString& text, int groupSize) const {
  if (groupSize <= 0) return;
  int n = FindDecimalSeparator(text);
  if (n < 0) n = text.GetLength();
  if ((n - 1) / groupSize == 0) return;
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    out += text[i];
    const int r = n - i - 1;
    if (i < n && r > 0 && r % groupSize == 0) out += m_cThousandSep;
  }
  text = out;
}

void CGXBCurrencyEdit::Format::FormatValue(double value, CString& text, BOOL negative) const {
  if (!std::isfinite(value)) value = 0.0;
  value = std::fabs(value);
  // 1. The integer-digit limit cuts the value's lowest integer digits, keeping the fraction.
  if (value != 0.0 && !m_bKeepValue && m_nIntegerDigits != -1) {
    const int e = static_cast<int>(std::log10(value));
    const int d = e - (m_nIntegerDigits - 1);
    if (e != 0 && d > 0) {
      const double whole = std::trunc(value);
      value = std::trunc(whole / std::pow(10.0, d)) + (value - whole);
    }
  }
  // 2. Prefix and suffix; an index outside its table formats with pattern 0.
  const int positive = m_nPositiveFormat >= 0 && m_nPositiveFormat < 4 ? m_nPositiveFormat : 0;
  const int negativeIndex = m_nNegativeFormat >= 0 && m_nNegativeFormat < 16 ? m_nNegativeFormat : 0;
  const Pattern& pattern = negative ? kNegative[negativeIndex] : kPositive[positive];
  const CString prefix = Piece(pattern.prefix, m_strSymbol), suffix = Piece(pattern.suffix, m_strSymbol);
  // 3. The number in the C runtime's conventions.
  const int fraction = m_nFractionDigits < 0 ? 0 : m_nFractionDigits > kMostFractionDigits ? kMostFractionDigits
                                                                                             : m_nFractionDigits;
  const int size = std::snprintf(nullptr, 0, "%.*f", fraction, value);
  std::string buffer(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(buffer.data(), buffer.size(), "%.*f", fraction, value);
  CString number(buffer.c_str());
  // 4. Without the leading zero a value below one starts at its separator (0.50 shows .50).
  if (!m_bLeadingZero && number.GetLength() > 1 && number[0] == '0') number = number.Mid(1);
  // 5. The runtime's decimal point becomes the separator (a blank when there is none).
  const int point = number.Find(RuntimeDecimalPoint());
  if (point >= 0) number.SetAt(point, m_cDecimalSep ? m_cDecimalSep : ' ');
  // 6. A fixed integer width: longer integer parts lose their leading digits, shorter ones are padded.
  int pad = 0;
  if (m_nIntegerDigits != -1) {
    int n = point >= 0 ? point : number.GetLength();
    if (n > m_nIntegerDigits) {
      number = number.Mid(n - m_nIntegerDigits);
      n = m_nIntegerDigits;
    }
    pad = m_nIntegerDigits - n;
    if (pad > 0 && m_bPadBeforeGrouping) number = CString(m_cPadding, pad) + number;
  }
  // 7. Grouping by the first group size.
  int group = 0, second = 0;
  if (m_cThousandSep && std::sscanf(m_strGrouping, "%i;%i", &group, &second) >= 1 && group > 0)
    InsertGroupSeparators(number, group);
  // 8. Padding that is not grouped.
  if (m_nIntegerDigits != -1 && pad > 0 && !m_bPadBeforeGrouping) number = CString(m_cPadding, pad) + number;
  text = prefix + number + suffix;
}

BOOL CGXBCurrencyEdit::Format::ParseValue(const CString& text, double& value, BOOL& negative) const {
  negative = FALSE;
  if (text.IsEmpty()) {
    value = 0.0;
    return TRUE;
  }
  CString t = text;
  t.Trim(' ');
  const bool open = t.Find('(') >= 0, close = t.Find(')') >= 0;
  if (open != close) return FALSE;
  if (open) negative = TRUE;
  int start = 0, end = 0;
  if (!FindNumber(t, start, end)) return FALSE;
  if (t.Left(start).Find('-') >= 0 || t.Mid(end + 1).Find('-') >= 0) negative = TRUE;
  const CString run = t.Mid(start, end - start + 1);
  const int sep = FindDecimalSeparator(run);
  CString integer = sep >= 0 ? run.Left(sep) : run;
  const CString fraction = sep >= 0 ? run.Mid(sep + 1) : CString();
  if (m_cThousandSep) integer.Remove(m_cThousandSep);
  for (const CString* part : {static_cast<const CString*>(&integer), &fraction})
    for (int i = 0; i < part->GetLength(); ++i)
      if (!IsDigit((*part)[i])) return FALSE;
  const CString number = integer + RuntimeDecimalPoint() + fraction;
  const double parsed = std::strtod(number, nullptr);
  // A run of digits beyond the range of a double is no amount.
  if (!std::isfinite(parsed)) return FALSE;
  value = parsed;
  return TRUE;
}

CGXBCurrencyEdit::Format& CGXBCurrencyEdit::Format::operator=(const Format& other) {
  if (this == &other) return *this;
  m_bLeadingZero = other.m_bLeadingZero;
  m_bDecimalLine = other.m_bDecimalLine;
  m_bKeepValue = other.m_bKeepValue;
  m_bPadBeforeGrouping = other.m_bPadBeforeGrouping;
  m_strSymbol = other.m_strSymbol;
  m_strGrouping = other.m_strGrouping;
  m_cThousandSep = other.m_cThousandSep;
  m_cDecimalSep = other.m_cDecimalSep;
  m_cPadding = other.m_cPadding;
  m_crBackground = other.m_crBackground;
  m_crNegative = other.m_crNegative;
  m_crPositive = other.m_crPositive;
  m_crDecimalLine = other.m_crDecimalLine;
  m_nColorFlags = other.m_nColorFlags;
  m_nPositiveFormat = other.m_nPositiveFormat;
  m_nNegativeFormat = other.m_nNegativeFormat;
  m_nIntegerDigits = other.m_nIntegerDigits;
  m_nFractionDigits = other.m_nFractionDigits;
  return *this;
}

bool CGXBCurrencyEdit::Format::operator==(const Format& o) const {
  if (this == &o) return true;
  return m_bLeadingZero == o.m_bLeadingZero && m_bDecimalLine == o.m_bDecimalLine && m_bKeepValue == o.m_bKeepValue &&
         m_bPadBeforeGrouping == o.m_bPadBeforeGrouping && m_strSymbol == o.m_strSymbol &&
         m_strGrouping == o.m_strGrouping && m_cThousandSep == o.m_cThousandSep && m_cDecimalSep == o.m_cDecimalSep &&
         m_cPadding == o.m_cPadding && m_crBackground == o.m_crBackground && m_crNegative == o.m_crNegative &&
         m_crPositive == o.m_crPositive && m_crDecimalLine == o.m_crDecimalLine && m_nColorFlags == o.m_nColorFlags &&
         m_nPositiveFormat == o.m_nPositiveFormat && m_nNegativeFormat == o.m_nNegativeFormat &&
         m_nIntegerDigits == o.m_nIntegerDigits && m_nFractionDigits == o.m_nFractionDigits;
}
