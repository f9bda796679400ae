#include "platform/base/CodePage.h"

#include <array>

namespace plat {
namespace {

// Code page 1252 pairs: ASCII letters, the Latin-1 block 0xC0..0xDE <-> 0xE0..0xFE (without the
// multiplication and division signs 0xD7/0xF7), and the four letters the code page adds in 0x80..0x9F:
// S caron, OE, Z caron and Y diaeresis. Sharp s (0xDF) and micro (0xB5) have no single-byte upper case.
struct CaseTables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
  constexpr CaseTables() {
    for (int i = 0; i < 256; ++i) {
      upper[i] = static_cast<unsigned char>(i);
      lower[i] = static_cast<unsigned char>(i);
    }
    auto pair = [this](int up, int low) {
      upper[low] = static_cast<unsigned char>(up);
      lower[up] = static_cast<unsigned char>(low);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
      if (c != 0xD7) pair(c, c + 32);
    pair(0x8A, 0x9A);
    pair(0x8C, 0x9C);
    pair(0x8E, 0x9E);
    pair(0x9F, 0xFF);
  }
};

constexpr CaseTables kTables;

}  // namespace

unsigned char ToUpper1252(unsigned char c) { return kTables.upper[c]; }
unsigned char ToLower1252(unsigned char c) { return kTables.lower[c]; }
bool IsUpper1252(unsigned char c) { return kTables.lower[c] != c; }
bool IsLower1252(unsigned char c) { return kTables.upper[c] != c; }
bool IsAlpha1252(unsigned char c) { return IsUpper1252(c) || IsLower1252(c) || c == 0xDF || c == 0xB5 || c == 0xAA || c == 0xBA; }

int CompareNoCase1252(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = ToLower1252(static_cast<unsigned char>(a[i]));
    const unsigned char cb = ToLower1252(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase1252(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase1252(a, b) == 0;
}

}  // namespace plat
