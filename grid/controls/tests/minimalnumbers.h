// The minimal number recognition the edit-family cells parse through in tests and the cell-text fuzz
// target: sign, digits, the runtime's decimal point and an exponent; anything else is no number.
#pragma once

#include <cstdlib>
#include <string>

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/LocaleTable.h"

namespace enginetest {

class MinimalNumbers : public CGXAbstractNumberFormattingImp {
 public:
  BOOL ParseNumber(const char* text, double& value, unsigned& format, unsigned& places) override {
    format = places = 0;
    std::string c(text);
    const char point = plat::localeconv()->decimal_point[0];
    for (char& ch : c)
      if (ch == point) ch = '.';
    if (c.empty() || c.find_first_not_of("+-.0123456789eE") != std::string::npos) return FALSE;
    char* end = nullptr;
    value = std::strtod(c.c_str(), &end);
    return end && *end == '\0';
  }
  CString FormatText(const CGXStyle&, LPCTSTR valueText, unsigned, int, int) override { return valueText; }
};

}  // namespace enginetest
