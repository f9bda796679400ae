#include "platform/base/CodePage.h"

#include <array>
#include <optional>

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

// 0x80..0x9F of code page 1252.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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

char16_t CharTo16(unsigned char c) { return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : static_cast<char16_t>(c); }

unsigned char CharFrom16(char16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == u) return static_cast<unsigned char>(0x80 + i);
  return '?';
}

std::u16string Utf16From1252(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out += CharTo16(static_cast<unsigned char>(c));
  return out;
}

std::string Cp1252FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
      out += '?';
      continue;
    }
    out += static_cast<char>(CharFrom16(u));
  }
  return out;
}

std::string Utf8From1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const char16_t u = CharTo16(static_cast<unsigned char>(c));
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

namespace {

// The code point of the UTF-8 sequence at `at`, moving `at` past it; nothing (and `at` left where it was) for a
// malformed, cut, overlong or surrogate sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  int more = 0;
  char32_t code = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3;
    code = lead & 0x07;
  } else {
    return std::nullopt;
  }
  std::size_t i = at + 1;
  for (int k = 0; k < more; ++k, ++i) {
    if (i >= text.size()) return std::nullopt;
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  at = i;
  return code;
}

// The 1252 byte of a code point, or -1 when the code page has no such character.
int ByteOf(char32_t code) {
  if (code > 0xFFFF) return -1;
  const unsigned char b = CharFrom16(static_cast<char16_t>(code));
  return b == '?' && code != U'?' ? -1 : b;
}

}  // namespace

std::string Cp1252FromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::optional<char32_t> code = NextCodePoint(text, i);
    if (!code) {
      out += '?';
      ++i;
      continue;
    }
    const int byte = ByteOf(*code);
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::optional<std::string> Cp1252FromUtf8Strict(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::optional<char32_t> code = NextCodePoint(text, i);
    if (!code) return std::nullopt;
    const int byte = ByteOf(*code);
    if (byte < 0) return std::nullopt;
    out += static_cast<char>(byte);
  }
  return out;
}

std::string Utf8Escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = i;
    const std::optional<char32_t> code = NextCodePoint(text, i);
    if (code && *code >= 0x20 && *code != 0x7F && !(*code >= 0x80 && *code < 0xA0)) {
      out.append(text.substr(start, i - start));
      continue;
    }
    // A control character by its bytes; a malformed sequence a byte at a time.
    if (!code) i = start + 1;
    for (std::size_t k = start; k < i; ++k) {
      const auto byte = static_cast<unsigned char>(text[k]);
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

}  // namespace plat
