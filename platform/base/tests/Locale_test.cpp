#include <gtest/gtest.h>

#include <string>

#include "platform/base/LocaleTable.h"
#include "platform/base/StringApi.h"
#include "platform/base/SystemError.h"

namespace {

std::string Info(LCID lcid, LCTYPE type) {
  char buf[128];
  return GetLocaleInfo(lcid, type, buf, sizeof buf) ? buf : "<fail>";
}

std::string Number(LCID lcid, const char* value, const NUMBERFMT* fmt = nullptr) {
  char buf[64];
  return GetNumberFormat(lcid, 0, value, fmt, buf, sizeof buf) ? buf : "<fail>";
}

class LocaleTest : public ::testing::Test {
 protected:
  void TearDown() override {
    plat::SetUserDefaultLocale(0x0409);
    SetThreadLocale(0);
    plat::SetRuntimeNumericLocaleToUser(false);
    plat::SetLeadBytePredicate(nullptr);
  }
};

}  // namespace

TEST_F(LocaleTest, InfoFromTheFixedTables) {
  EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), ".");
  EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE), "M/d/yyyy");
  EXPECT_EQ(Info(LOCALE_USER_DEFAULT | 0, LOCALE_STIMEFORMAT | LOCALE_NOUSEROVERRIDE), "h:mm:ss tt");
  EXPECT_EQ(Info(0x0407, LOCALE_SDECIMAL), ",");
  EXPECT_EQ(Info(0x0407, LOCALE_SMONTHNAME1 + 2), "M\xE4rz");
  EXPECT_EQ(Info(0x0C07, LOCALE_STHOUSAND), ".");  // another German sublanguage maps to de-DE
  plat::SetUserDefaultLocale(0x0407);
  EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE), "dd.MM.yyyy");
  EXPECT_EQ(Info(LOCALE_SYSTEM_DEFAULT, LOCALE_SSHORTDATE), "M/d/yyyy");
  EXPECT_EQ(Info(0x0411, LOCALE_SDECIMAL), "<fail>");
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  // Size queries and a buffer too small.
  EXPECT_EQ(GetLocaleInfo(0x0409, LOCALE_SLONGDATE, nullptr, 0), 19);
  char small[4];
  EXPECT_EQ(GetLocaleInfo(0x0409, LOCALE_SLONGDATE, small, sizeof small), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  DWORD n = 0;
  EXPECT_EQ(GetLocaleInfo(0x0409, LOCALE_IDIGITS | LOCALE_RETURN_NUMBER, reinterpret_cast<LPSTR>(&n), sizeof n), 4);
  EXPECT_EQ(n, 2u);
}

TEST_F(LocaleTest, NumberFormatting) {
  EXPECT_EQ(Number(0x0409, "1234567.891"), "1,234,567.89");
  EXPECT_EQ(Number(0x0409, "-0.005"), "-0.01");  // half away from zero
  EXPECT_EQ(Number(0x0409, "-0.004"), "0.00");   // no negative zero
  EXPECT_EQ(Number(0x0409, "999.999"), "1,000.00");
  EXPECT_EQ(Number(0x0407, "-1234.5"), "-1.234,50");
  EXPECT_EQ(Number(0x0409, "12a"), "<fail>");
  char dec[] = ",", thou[] = " ";
  NUMBERFMT f{3, 0, 32, dec, thou, 0};
  EXPECT_EQ(Number(0x0409, "-12345678.5", &f), "(1 23 45 678,500)");
  f.Grouping = 0;
  f.NegativeOrder = 4;
  EXPECT_EQ(Number(0x0409, "-0.25", &f), ",250 -");
}

TEST_F(LocaleTest, NumberTextBothWays) {
  double v = 0;
  EXPECT_EQ(plat::ParseLocaleNumber(" -1,234.5e2 ", 0x0409, v), plat::NumberParse::Ok);
  EXPECT_DOUBLE_EQ(v, -123450.0);
  EXPECT_EQ(plat::ParseLocaleNumber("1.234,5", 0x0407, v), plat::NumberParse::Ok);
  EXPECT_DOUBLE_EQ(v, 1234.5);
  EXPECT_EQ(plat::ParseLocaleNumber("1,23", 0x0409, v), plat::NumberParse::Ok);  // separators are not checked for position
  EXPECT_EQ(plat::ParseLocaleNumber("12,", 0x0409, v), plat::NumberParse::NotANumber);
  EXPECT_EQ(plat::ParseLocaleNumber("1.5.2", 0x0409, v), plat::NumberParse::NotANumber);
  EXPECT_EQ(plat::ParseLocaleNumber("", 0x0409, v), plat::NumberParse::NotANumber);
  EXPECT_EQ(plat::ParseLocaleNumber("1e", 0x0409, v), plat::NumberParse::NotANumber);
  EXPECT_EQ(plat::ParseLocaleNumber("1e999", 0x0409, v), plat::NumberParse::Overflow);
  EXPECT_EQ(plat::ToLocaleNumberText("-3.25", ','), "-3,25");
}

TEST_F(LocaleTest, LocaleconvFollowsTheSwitch) {
  plat::SetUserDefaultLocale(0x0407);
  EXPECT_STREQ(plat::localeconv()->decimal_point, ".");
  plat::SetRuntimeNumericLocaleToUser(true);
  EXPECT_STREQ(plat::localeconv()->decimal_point, ",");
  EXPECT_STREQ(plat::localeconv()->thousands_sep, ".");
}

TEST_F(LocaleTest, ThreadLocaleAndLeadBytes) {
  EXPECT_EQ(GetThreadLocale(), 0x0409u);
  SetThreadLocale(MAKELCID(MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), 0));
  EXPECT_EQ(PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())), 0x12);
  EXPECT_FALSE(IsDBCSLeadByte(0x81));
  plat::SetLeadBytePredicate([](BYTE b) { return b >= 0x81 && b <= 0xFE; });
  EXPECT_TRUE(IsDBCSLeadByte(0x81));
  EXPECT_TRUE(_ismbblead(0x90));
  EXPECT_FALSE(IsDBCSLeadByte('a'));
}

TEST(StringApi, CaseAndCollation) {
  char text[] = "abc\xE9\xFF";
  EXPECT_STREQ(CharUpper(text), "ABC\xC9\x9F");
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(CharLower(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>('Q')))), 'q');
  char crt[] = "abc\xE9";
  EXPECT_STREQ(_strupr(crt), "ABC\xE9");  // the C runtime folds ASCII only
  unsigned char mbs[] = "abc\xE9";
  EXPECT_STREQ(reinterpret_cast<char*>(_mbsupr(mbs)), "ABC\xC9");
  EXPECT_EQ(_stricmp("ABC", "abd"), -1);
  EXPECT_EQ(_strnicmp("ABCx", "abcy", 3), 0);
  EXPECT_EQ(lstrcmpi("stra\xC9", "STRA\xE9"), 0);
  EXPECT_LT(lstrcmp("a", "A"), 0);   // ties: lower case first
  EXPECT_LT(lstrcmp("A", "b"), 0);   // but letters before case
  EXPECT_EQ(CompareString(0x0409, NORM_IGNORECASE, "Grid", -1, "GRID", 4), CSTR_EQUAL);
  EXPECT_EQ(CompareString(0x0409, 0, "b", -1, "a", -1), CSTR_GREATER_THAN);
  char dest[4];
  EXPECT_STREQ(lstrcpyn(dest, "abcdef", sizeof dest), "abc");
}
