#include "shared/Misc_Number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

double ParseDouble(const char* text, const char** end) {
  if (end)
    *end = text;
  if (!text)
    return 0.0;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  // from_chars takes no '+' and never looks at the locale.
  double value = 0.0;
  const auto [stop, error] = std::from_chars(p, p + std::strlen(p), value, std::chars_format::general);
  if (stop == p)
    return 0.0;
  if (end)
    *end = stop;
  if (error == std::errc::result_out_of_range) {
    // As strtod: an exponent too negative gives 0, any other overflow infinity.
    const char* e = std::find_if(p, stop, [](char c) { return c == 'e' || c == 'E'; });
    const bool underflow = e != stop && e + 1 != stop && e[1] == '-';
    value = underflow ? 0.0 : HUGE_VAL;
  }
  return negative ? -value : value;
}
