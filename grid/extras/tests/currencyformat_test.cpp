// The currency number format as pure functions: amounts to text and back under the built-in defaults,
// the attribute-like settings and the de-DE locale.
#include <gtest/gtest.h>

#include "grid/extras/CGXBCurrencyEdit.h"
#include "platform/base/LocaleTable.h"

namespace {

using Format = CGXBCurrencyEdit::Format;

CString Formatted(const Format& f, double value, BOOL negative = FALSE) {
  CString text;
  f.FormatValue(value, text, negative);
  return text;
}

TEST(CurrencyFormat, DefaultsGroupSignAndLeadingZero) {
  Format f(FALSE);
  EXPECT_EQ(Formatted(f, 1234567.891), "$1,234,567.89");
  EXPECT_EQ(Formatted(f, 1234567.891, TRUE), "($1,234,567.89)");
  EXPECT_EQ(Formatted(f, 0.5), "$0.50");
  f.m_bLeadingZero = 0;
  EXPECT_EQ(Formatted(f, 0.5), "$.50");
  // A value that rounds up to one keeps its integer digit.
  EXPECT_EQ(Formatted(f, 0.999), "$1.00");
  f.m_strGrouping = "3;2;0";
  EXPECT_EQ(Formatted(f, 1234567.0), "$1,234,567.00");
  // Pattern indices outside their tables format with pattern 0.
  f.m_nPositiveFormat = 4;
  f.m_nNegativeFormat = 16;
  EXPECT_EQ(Formatted(f, 5.0), "$5.00");
  EXPECT_EQ(Formatted(f, 5.0, TRUE), "($5.00)");
}

TEST(CurrencyFormat, IntegerDigitsCutThePaddingFills) {
  Format f(FALSE);
  f.m_nIntegerDigits = 4;
  EXPECT_EQ(Formatted(f, 123456.78), "$1,234.78");  // the value lost its two lowest integer digits
  f.m_bKeepValue = 1;
  EXPECT_EQ(Formatted(f, 123456.78), "$3,456.78");  // only the text is cut
  Format p(FALSE);
  p.m_nIntegerDigits = 6;
  p.m_strSymbol = "";
  ASSERT_TRUE(p.SetPaddingChar('0'));
  EXPECT_EQ(Formatted(p, 12.5), "000012.50");
  p.m_bPadBeforeGrouping = 1;
  EXPECT_EQ(Formatted(p, 12.5), "000,012.50");
  EXPECT_FALSE(p.SetPaddingChar('5'));
  EXPECT_EQ(p.GetPaddingChar(), '0');
  EXPECT_TRUE(p.SetPaddingChar('*'));
}

TEST(CurrencyFormat, EveryNegativePatternParsesBackWithItsSign) {
  Format f(FALSE);
  for (int pattern = 0; pattern < 16; ++pattern) {
    f.m_nNegativeFormat = pattern;
    for (BOOL negative : {FALSE, TRUE}) {
      const CString text = Formatted(f, 1234.5, negative);
      double value = 0;
      BOOL parsedNegative = !negative;
      ASSERT_TRUE(f.ParseValue(text, value, parsedNegative)) << pattern << " " << text.GetString();
      EXPECT_DOUBLE_EQ(value, 1234.5) << text.GetString();
      EXPECT_EQ(parsedNegative, negative) << text.GetString();
    }
  }
}

TEST(CurrencyFormat, ParsesAmountsAndRefusesWhatIsNone) {
  Format f(FALSE);
  double value = -1;
  BOOL negative = FALSE;
  ASSERT_TRUE(f.ParseValue("(1,234.50 $)", value, negative));
  EXPECT_DOUBLE_EQ(value, 1234.5);
  EXPECT_TRUE(negative);
  EXPECT_FALSE(f.ParseValue("(12", value, negative));
  EXPECT_FALSE(f.ParseValue("12)", value, negative));
  ASSERT_TRUE(f.ParseValue("", value, negative));
  EXPECT_EQ(value, 0.0);
  EXPECT_FALSE(negative);
  EXPECT_FALSE(f.ParseValue("abc", value, negative));
  for (const char* text : {"-$5", "$5-"}) {
    ASSERT_TRUE(f.ParseValue(text, value, negative)) << text;
    EXPECT_EQ(value, 5.0);
    EXPECT_TRUE(negative);
  }
  // A run of digits beyond the range of a double is no amount.
  EXPECT_FALSE(f.ParseValue(CString('9', 400), value, negative));
}

TEST(CurrencyFormat, WithoutSeparatorsTheAmountStillReadsBack) {
  Format f(FALSE);
  f.m_cThousandSep = '\0';
  EXPECT_EQ(Formatted(f, 1234.5), "$1234.50");
  f.m_cDecimalSep = '\0';
  const CString text = Formatted(f, 1234.5);
  EXPECT_EQ(text, "$1234 50");
  double value = 0;
  BOOL negative = FALSE;
  ASSERT_TRUE(f.ParseValue(text, value, negative));
  EXPECT_DOUBLE_EQ(value, 1234.5);
  int start = 0, end = 0;
  ASSERT_TRUE(f.FindNumber("$ 150", start, end));
  EXPECT_EQ(start, 2);  // the blank before the amount is no separator
  EXPECT_FALSE(f.FindNumber("$", start, end));
  EXPECT_EQ(start, -1);
}

TEST(CurrencyFormat, EqualityCoversEveryField) {
  Format a(FALSE), b(FALSE);
  EXPECT_TRUE(a == a);
  EXPECT_TRUE(a == b);
  b.SetNegativeColor(RGB(255, 0, 0));
  EXPECT_TRUE(a != b);
  COLORREF c = 0;
  EXPECT_FALSE(a.GetNegativeColor(c));
  ASSERT_TRUE(b.GetNegativeColor(c));
  EXPECT_EQ(c, RGB(255, 0, 0));
  a = b;
  EXPECT_TRUE(a == b);
  a.m_strSymbol = "EUR";
  EXPECT_FALSE(a == b);
}

TEST(CurrencyFormat, ReadsTheUserLocale) {
  plat::SetUserDefaultLocale(0x0407);
  Format de(TRUE);
  plat::SetUserDefaultLocale(0x0409);
  EXPECT_EQ(de.m_nIntegerDigits, -1);  // never the locale's digit count: amounts are not cut
  EXPECT_EQ(Formatted(de, 123456.78), "123.456,78 \x80");
  EXPECT_EQ(Formatted(de, 5, TRUE), "-5,00 \x80");
  double value = 0;
  BOOL negative = FALSE;
  ASSERT_TRUE(de.ParseValue("-1.234,50 \x80", value, negative));
  EXPECT_DOUBLE_EQ(value, 1234.5);
  EXPECT_TRUE(negative);
  // en-US agrees with the built-in defaults except for the decimal line's colour source.
  EXPECT_TRUE(Format(TRUE) == Format(FALSE));
}

}  // namespace
