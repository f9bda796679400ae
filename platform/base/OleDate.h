// Automation dates: DATE is a double counting days since 1899-12-30 00:00, whose fraction is the time of
// day. For negative values the fraction still counts forward from midnight of the integer day, so -1.25 is
// 1899-12-29 06:00. The range is 100-01-01 (-657434.0) to 9999-12-31 23:59:59 (2958465.99999...).
// Breaking a DATE down rounds to the nearest second.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/wintypes.h"

using DATE = double;

struct UDATE {
  SYSTEMTIME st;
  USHORT wDayOfYear;
};

constexpr DWORD VAR_TIMEVALUEONLY = 0x1;
constexpr DWORD VAR_DATEVALUEONLY = 0x2;
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);

constexpr DATE kMinDate = -657434.0;
constexpr DATE kMaxDate = 2958466.0;  // exclusive

// S_OK, or E_INVALIDARG for a date outside the range (or not a number).
HRESULT VarUdateFromDate(DATE date, ULONG flags, UDATE* out);
// S_OK, or E_INVALIDARG for impossible or out-of-range parts.
HRESULT VarDateFromUdate(const UDATE* in, ULONG flags, DATE* out);

namespace plat {

struct DateParts {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
  int dayOfWeek = 0;  // 0 = Sunday
  int dayOfYear = 1;
};

// False for impossible parts or a year outside 100..9999.
bool DateFromParts(const DateParts& parts, DATE& out);
bool PartsFromDate(DATE date, DateParts& out);
// The continuous value of a DATE (negative dates have their fraction counted forward), and back: for
// arithmetic and comparisons.
double LinearFromDate(DATE date);
DATE DateFromLinear(double linear);

// Parses a date and/or time the way the automation conversion does for a locale: numeric dates in the
// locale's order with '/', '-' or '.', ISO yyyy-mm-dd, month names (the locale's or English, full or
// abbreviated), an optional time h:mm[:ss] with AM/PM. A bare number is not a date. Years of one or two
// digits fall in the hundred years ending with `twoDigitYearMax`; a date without a year takes the
// current year of the virtual clock. Time alone gives the date 1899-12-30.
bool ParseDateText(std::string_view text, LCID locale, DWORD flags, int twoDigitYearMax, DATE& out);

// The locale's date and time pictures ("M/d/yyyy", "h:mm:ss tt"...) applied to parts.
std::string FormatDatePicture(const DateParts& parts, std::string_view picture, LCID locale);

}  // namespace plat
