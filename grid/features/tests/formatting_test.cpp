// Value formatting: every display format in both fixed locales, and number recognition.
#include <gtest/gtest.h>

#include <string>

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXNumberFormattingImp.h"
#include "platform/base/LocaleTable.h"

namespace {

class Formatting : public ::testing::Test {
 protected:
  void TearDown() override { UseLocale(0x0409, '.', ','); }
  static void UseLocale(LCID locale, char decimal, char thousand) {
    plat::SetUserDefaultLocale(locale);
    CGXGridGlobals::Get().m_cDecimalSeparator = decimal;
    CGXGridGlobals::Get().m_cThousandSeparator = thousand;
  }
  CString Show(const char* value, unsigned format, unsigned places, unsigned type = GX_VT_NUMBER) {
    CGXStyle style;
    style.SetFormat(format).SetPlaces(places);
    return imp.FormatText(style, value, type, 0, 0);
  }
  CGXNumberFormattingImp imp;
};

TEST_F(Formatting, EveryFormatInEnglish) {
  EXPECT_EQ(Show("1234.5", 0, 2), "1234.5");
  EXPECT_EQ(Show("1234.5", 1, 2), "1.23e+03");
  EXPECT_EQ(Show("1234.5", 2, 2), "1234.50");
  EXPECT_EQ(Show("1234.5", 3, 3), "1.23e+03");
  EXPECT_EQ(Show("1234567.5", 4, 1), "$1,234,567.5 ");
  EXPECT_EQ(Show("-1234.5", 4, 2), "($1,234.50)");
  EXPECT_EQ(Show("-1234.6", 5, 0), "(1,235)");
  EXPECT_EQ(Show("123", 5, 0), "123 ");
  EXPECT_EQ(Show("255.9", 6, 0), "0xFF");
  EXPECT_EQ(Show("-4294967296", 6, 0), "0x100000000");  // 64 bits: no wrap to 0
  EXPECT_EQ(Show("1.9", 7, 0), "1");
  EXPECT_EQ(Show("2", 7, 0), "?");
  EXPECT_EQ(Show("-0.5", 7, 0), "?");
  EXPECT_EQ(Show("0.5", 7, 0), "0");
  // 38808.75 is 2006-04-01 18:00.
  EXPECT_EQ(Show("38808.75", 8, 0), "01-Apr-06");
  EXPECT_EQ(Show("38808.75", 9, 0), "01-Apr");
  EXPECT_EQ(Show("38808.75", 10, 0), "Apr-06");
  EXPECT_EQ(Show("38808.75", 11, 0), "4/1/2006");
  EXPECT_EQ(Show("38808.75", 12, 0), "");
  EXPECT_EQ(Show("text", 12, 0, GX_VT_TEXT), "");  // hidden whatever the value type
  EXPECT_EQ(Show("38808.75", 13, 0), "6:00:00 PM");
  EXPECT_EQ(Show("0.125", 14, 2), "12.50%");
  EXPECT_EQ(Show("1e307", 14, 2), " Percent! ");
  EXPECT_EQ(Show("38808.75", 16, 0), "01.04.2006");
  EXPECT_EQ(Show("38808.75", 17, 0), "2006-04-01");
  EXPECT_EQ(Show("38808.75", 18, 0), "4/1/2006 6:00:00 PM");
  EXPECT_EQ(Show("1234.5", 23, 1), " 1,234.5 ");
  EXPECT_EQ(Show("-1234.5", 23, 1), "(1,234.5)");
  EXPECT_EQ(Show("3", 24, 3), " 3 0/100000");
  EXPECT_EQ(Show("0.25", 24, 3), "  1/4");
  EXPECT_EQ(Show("-3.25", 24, 3), "-3 1/4");
  EXPECT_EQ(Show("0.3333333", 24, 3), "  33333/100000");
  EXPECT_EQ(Show("38808.75", 25, 0), "06:00 PM");
  EXPECT_EQ(Show("38808.75", 26, 0), "06:00:00 PM");
  EXPECT_EQ(Show("38808.75", 27, 0), "18:00");
  EXPECT_EQ(Show("1234.5", 28, 0), "1,234.50 ");
  EXPECT_EQ(Show("1234.5", 29, 0), " Format? ");
  EXPECT_EQ(Show("1234.5", 21, 0), "1234.5");
  EXPECT_EQ(Show("3000000", 8, 0), "Invalid DateTime");
  // A text value shows as it is under every format but 12; no format shows the text.
  EXPECT_EQ(Show("abc", 5, 2, GX_VT_TEXT), "abc");
  CGXStyle plain;
  EXPECT_EQ(imp.FormatText(plain, "1.5", GX_VT_NUMBER, 0, 0), "1.5");
  // Without a value text the style's own value and value type are formatted.
  CGXStyle own;
  own.SetValue("0.5").SetValueType(GX_VT_NUMBER);
  own.SetFormat(14).SetPlaces(0);
  EXPECT_EQ(imp.FormatText(own, nullptr, GX_VT_TEXT, 0, 0), "50%");
}

TEST_F(Formatting, GermanSeparatorsInBothDirections) {
  UseLocale(0x0407, ',', '.');
  EXPECT_EQ(Show("1234.5", 5, 2), "1.234,50 ");
  EXPECT_EQ(Show("1234,5", 2, 1), "1234,5");
  EXPECT_EQ(Show("0.125", 14, 1), "12,5%");
  EXPECT_EQ(Show("1234.5", 28, 0), "1.234,50 ");
  EXPECT_EQ(Show("38808.75", 11, 0), "01.04.2006");
  double v = 0;
  unsigned f = 0, p = 0;
  ASSERT_TRUE(imp.ParseNumber("(1.234,50)", v, f, p));
  EXPECT_EQ(v, -1234.5);
  EXPECT_EQ(f, 5u);
  EXPECT_EQ(p, 2u);
  EXPECT_FALSE(imp.ParseNumber("1,234.50", v, f, p));
}

TEST_F(Formatting, ParseNumberReadsWhatUsersType) {
  double v = 0;
  unsigned f = 0, p = 0;
  ASSERT_TRUE(imp.ParseNumber("(1,234.50)", v, f, p));
  EXPECT_EQ(v, -1234.5);
  EXPECT_EQ(f, 5u);
  EXPECT_EQ(p, 2u);
  ASSERT_TRUE(imp.ParseNumber("$1,234", v, f, p));
  EXPECT_EQ(v, 1234);
  EXPECT_EQ(f, 4u);
  EXPECT_EQ(p, 0u);
  ASSERT_TRUE(imp.ParseNumber("1e5", v, f, p));
  EXPECT_EQ(v, 1e5);
  EXPECT_EQ(f, 1u);
  EXPECT_EQ(p, 0u);
  ASSERT_TRUE(imp.ParseNumber("  12   ", v, f, p));
  EXPECT_EQ(v, 12);
  EXPECT_EQ(f, 2u);
  ASSERT_TRUE(imp.ParseNumber("-0.125", v, f, p));
  EXPECT_EQ(p, 3u);
  // Refused texts leave the outputs as they were.
  v = 7;
  f = p = 9;
  for (const char* bad : {"1,23", ".", "-", "12 a", "", "(1e5)", "(-5)", "1.2.3", "1e", "5)", "1e999", "abc",
                          "1,234.5,6", "(12", "12)x"})
    EXPECT_FALSE(imp.ParseNumber(bad, v, f, p)) << bad;
  EXPECT_EQ(v, 7);
  EXPECT_EQ(f, 9u);
  // Positions past 256 and the 20th group separator make no number.
  EXPECT_FALSE(imp.ParseNumber(std::string(300, '1').c_str(), v, f, p));
  EXPECT_TRUE(imp.ParseNumber(std::string(256, '1').c_str(), v, f, p));
  std::string grouped = "1";
  for (int i = 0; i < 20; ++i) grouped += ",000";
  EXPECT_FALSE(imp.ParseNumber(grouped.c_str(), v, f, p));
  grouped.erase(0, 4);
  EXPECT_TRUE(imp.ParseNumber(grouped.c_str(), v, f, p));
}

}  // namespace
