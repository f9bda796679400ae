// Fixed locale tables (never read from the machine): en-US, the default, and de-DE for separator and
// date-order tests. GetLocaleInfo and GetNumberFormat answer from them; the user default locale and the
// thread locale can be set by tests and hosts.
//
// Texts are code page 1252 (the euro sign is 0x80). The C runtime's numeric locale stays "C"; the
// localeconv stand-in answers the C locale unless the numeric locale was switched to the user's (the
// grid's follow-locale switch does that).
#pragma once

#include <clocale>
#include <string>
#include <string_view>

#include "platform/base/wintypes.h"

using LCTYPE = DWORD;

constexpr LCID LOCALE_NEUTRAL = 0x0000;
constexpr LCID LOCALE_INVARIANT = 0x007F;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LANGID LANG_ENGLISH = 0x09;
constexpr LANGID LANG_GERMAN = 0x07;
constexpr LANGID LANG_KOREAN = 0x12;
constexpr LANGID SUBLANG_DEFAULT = 0x01;
constexpr LANGID MAKELANGID(WORD primary, WORD sub) { return static_cast<LANGID>((sub << 10) | primary); }
constexpr WORD PRIMARYLANGID(LANGID lang) { return static_cast<WORD>(lang & 0x3FF); }
constexpr WORD SUBLANGID(LANGID lang) { return static_cast<WORD>(lang >> 10); }
constexpr LCID MAKELCID(LANGID lang, WORD sort) { return (static_cast<DWORD>(sort) << 16) | lang; }
constexpr LANGID LANGIDFROMLCID(LCID lcid) { return static_cast<LANGID>(lcid & 0xFFFF); }

constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000u;
constexpr LCTYPE LOCALE_USE_CP_ACP = 0x40000000u;
constexpr LCTYPE LOCALE_RETURN_NUMBER = 0x20000000u;
constexpr LCTYPE LOCALE_ILANGUAGE = 0x01;
constexpr LCTYPE LOCALE_SLANGUAGE = 0x02;
constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x03;
constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x04;
constexpr LCTYPE LOCALE_ICOUNTRY = 0x05;
constexpr LCTYPE LOCALE_SCOUNTRY = 0x06;
constexpr LCTYPE LOCALE_IDEFAULTCODEPAGE = 0x0B;
constexpr LCTYPE LOCALE_SLIST = 0x0C;
constexpr LCTYPE LOCALE_IMEASURE = 0x0D;
constexpr LCTYPE LOCALE_SDECIMAL = 0x0E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x0F;
constexpr LCTYPE LOCALE_SGROUPING = 0x10;
constexpr LCTYPE LOCALE_IDIGITS = 0x11;
constexpr LCTYPE LOCALE_ILZERO = 0x12;
constexpr LCTYPE LOCALE_SNATIVEDIGITS = 0x13;
constexpr LCTYPE LOCALE_SCURRENCY = 0x14;
constexpr LCTYPE LOCALE_SINTLSYMBOL = 0x15;
constexpr LCTYPE LOCALE_SMONDECIMALSEP = 0x16;
constexpr LCTYPE LOCALE_SMONTHOUSANDSEP = 0x17;
constexpr LCTYPE LOCALE_SMONGROUPING = 0x18;
constexpr LCTYPE LOCALE_ICURRDIGITS = 0x19;
constexpr LCTYPE LOCALE_IINTLCURRDIGITS = 0x1A;
constexpr LCTYPE LOCALE_ICURRENCY = 0x1B;
constexpr LCTYPE LOCALE_INEGCURR = 0x1C;
constexpr LCTYPE LOCALE_SDATE = 0x1D;
constexpr LCTYPE LOCALE_STIME = 0x1E;
constexpr LCTYPE LOCALE_SSHORTDATE = 0x1F;
constexpr LCTYPE LOCALE_SLONGDATE = 0x20;
constexpr LCTYPE LOCALE_IDATE = 0x21;
constexpr LCTYPE LOCALE_ILDATE = 0x22;
constexpr LCTYPE LOCALE_ITIME = 0x23;
constexpr LCTYPE LOCALE_ICENTURY = 0x24;
constexpr LCTYPE LOCALE_ITLZERO = 0x25;
constexpr LCTYPE LOCALE_IDAYLZERO = 0x26;
constexpr LCTYPE LOCALE_IMONLZERO = 0x27;
constexpr LCTYPE LOCALE_S1159 = 0x28;
constexpr LCTYPE LOCALE_S2359 = 0x29;
constexpr LCTYPE LOCALE_SDAYNAME1 = 0x2A;            // Monday .. LOCALE_SDAYNAME7 = 0x30, Sunday
constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x31;      // .. 0x37
constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x38;          // .. 0x43
constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x44;    // .. 0x4F
constexpr LCTYPE LOCALE_SPOSITIVESIGN = 0x50;
constexpr LCTYPE LOCALE_SNEGATIVESIGN = 0x51;
constexpr LCTYPE LOCALE_IPOSSIGNPOSN = 0x52;
constexpr LCTYPE LOCALE_INEGSIGNPOSN = 0x53;
constexpr LCTYPE LOCALE_IPOSSYMPRECEDES = 0x54;
constexpr LCTYPE LOCALE_IPOSSEPBYSPACE = 0x55;
constexpr LCTYPE LOCALE_INEGSYMPRECEDES = 0x56;
constexpr LCTYPE LOCALE_INEGSEPBYSPACE = 0x57;
constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;
constexpr LCTYPE LOCALE_SENGCOUNTRY = 0x1002;
constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;
constexpr LCTYPE LOCALE_IDEFAULTANSICODEPAGE = 0x1004;
constexpr LCTYPE LOCALE_ITIMEMARKPOSN = 0x1005;
constexpr LCTYPE LOCALE_SYEARMONTH = 0x1006;
constexpr LCTYPE LOCALE_ICALENDARTYPE = 0x1009;
constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x100C;
constexpr LCTYPE LOCALE_IFIRSTWEEKOFYEAR = 0x100D;
constexpr LCTYPE LOCALE_INEGNUMBER = 0x1010;

struct NUMBERFMT {
  UINT NumDigits;
  UINT LeadingZero;
  UINT Grouping;  // 3 = groups of three; 32 = three, then two
  LPSTR lpDecimalSep;
  LPSTR lpThousandSep;
  UINT NegativeOrder;  // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
};

// The length written including the NUL; with size 0 the length needed. 0 with the last error on failure
// (ERROR_INVALID_PARAMETER for an unknown locale or type, ERROR_INSUFFICIENT_BUFFER when it does not fit).
int GetLocaleInfo(LCID locale, LCTYPE type, LPSTR buffer, int size);
// `value` in the C form ("-1234.5"); the locale's (or `format`'s) digits, grouping, separators and
// negative order. Same return convention as GetLocaleInfo.
int GetNumberFormat(LCID locale, DWORD flags, LPCSTR value, const NUMBERFMT* format, LPSTR buffer, int size);
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();
LANGID GetUserDefaultLangID();
LCID GetThreadLocale();
BOOL SetThreadLocale(LCID locale);

namespace plat {

struct LocaleTable;

// The table for a locale id (the defaults resolved; other sublanguages of English or German map to
// en-US or de-DE); null for an unknown locale.
const LocaleTable* FindLocale(LCID locale);
// The text of one entry; empty view when the table has none.
std::string_view LocaleText(const LocaleTable& table, LCTYPE type);

// Test and host settings: the user default locale (en-US unless set) and the thread locale.
void SetUserDefaultLocale(LCID locale);

// Number text in both directions with explicit separators: C-locale text -> the locale's, and back.
// FromLocaleNumberText drops group separators in the integer part only; FALSE for anything that is not
// a number (blanks around it, a sign, digits, one decimal separator, an exponent are accepted).
std::string ToLocaleNumberText(std::string_view cText, char decimalSep);
bool FromLocaleNumberText(std::string_view text, char decimalSep, char thousandSep, std::string& cText);
enum class NumberParse { Ok, NotANumber, Overflow };
// The VarR8FromStr rules on 8-bit text: blanks, sign, group separators in the integer part, exponent.
NumberParse ParseLocaleNumber(std::string_view text, LCID locale, double& value);

// The localeconv stand-in. The C runtime's numeric locale is "C" unless switched to the user's.
void SetRuntimeNumericLocaleToUser(bool user);
std::lconv* localeconv();

}  // namespace plat
