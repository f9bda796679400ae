// The text a number is written back as wherever it is kept as a text (a cell's value, a formula's constant): 14
// significant digits where they read back as the same number (the usual case, and the form the grid always
// wrote), else as many more as that takes (at most 17). Fourteen digits alone gave 123456789012345 back as
// 1.2345678901234e+14, another number, which every later reader then took for the cell's own. Needs only the
// standard library, so that the formula engine shares it.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace gx {

inline std::string ExactNumberText(double v) {
  char buffer[40];
  for (int digits = 14; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, v);
    // (A value near the top of the double range even rounds past it in 14 digits and reads back as no number.)
    if (!std::isfinite(v) || std::strtod(buffer, nullptr) == v) break;
  }
  return buffer;
}

}  // namespace gx
