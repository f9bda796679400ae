#include "platform/base/MulDiv.h"

#include <cstdint>
#include <limits>

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  // Magnitudes fit: |product| <= 2^62 and |denominator| <= 2^31.
  const std::uint64_t p = product < 0 ? static_cast<std::uint64_t>(-product) : static_cast<std::uint64_t>(product);
  const std::uint64_t d = denominator < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(denominator))
                                          : static_cast<std::uint64_t>(denominator);
  const std::uint64_t q = (p + d / 2) / d;  // half away from zero on the magnitude
  if (q > static_cast<std::uint64_t>(std::numeric_limits<int>::max()) + (negative ? 1 : 0)) return -1;
  return negative ? static_cast<int>(-static_cast<std::int64_t>(q)) : static_cast<int>(q);
}
