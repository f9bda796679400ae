#pragma once

#include <cctype>

namespace gx {

template <std::size_t N>
std::size_t ReadNumbers(const char* text, std::array<long long, N>& out) {
  out.fill(0);
  if (!text) return 0;
  std::size_t count = 0;
  const char* p = text;
  while (count < N) {
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p))) break;
    long long v = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
      if (v < 0x100000000LL) v = v * 10 + (*p - '0');
      ++p;
    }
    if (v > 0xFFFFFFFFLL) v = 0xFFFFFFFFLL;
    out[count++] = negative ? -v : v;
  }
  return count;
}

}  // namespace gx
