// Number display formats and number recognition: the process-wide value formatting that the grid reaches
// through the drawing and formatting helper (FormatDisplayText, ParseDisplayText) and the cell store.
//
// Format ids (a style's format, 0..31, with its places 0..15):
//   0 15 19..22 unchanged   1 scientific   2 fixed   3 general   4 currency "$1,234.50 " / "($1,234.50)"
//   5 grouped "1,234.50 " / "(1,234.50)"   6 hexadecimal   7 logical "0" / "1" / "?"   8 9 10 16 17 dates
//   11 locale date   12 hidden (empty)   13 locale time   14 percent   18 locale date and time
//   23 grouped " 1,234.50 " / "(1,234.50)"   24 fraction   25 26 27 times   28 the locale's number form
//   29..31 " Format? "
//
// The runtime's decimal point is the grid's decimal separator (the follow-locale switch sets both to the
// user's), so texts are read and written with that separator; the thousands separator groups the integer
// digits.
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CGXNumberFormattingImp : public CGXAbstractNumberFormattingImp {
 public:
  // TRUE when the whole text is a number written as a user types it: blanks before, "(" for a negative
  // number in parentheses, "$" for currency, grouped digits, one decimal separator, an exponent, blanks
  // after. Sets the value and the format (1 scientific, 4 currency, 5 grouped, 2 fixed) and places it was
  // written in; on FALSE nothing is changed. A text that overflows a double is no number.
  BOOL ParseNumber(const char* text, double& value, unsigned& format, unsigned& places) override;
  // The display text of a value under the style's format (see the table above). Never fails: impossible
  // dates give "Invalid DateTime", unknown formats " Format? ", huge percentages " Percent! ".
  CString FormatText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType, int arg1, int arg2) override;
};

// Creates the process-wide object once and registers it for deletion at exit.
void InstallNumberFormattingImp();
