#include "host/HostText.h"

#include "platform/base/CodePage.h"

#include <array>

namespace host {
namespace {

// The 1252 byte of each code point from U+0080 on that the code page has, found by walking its 128 upper bytes.
int ByteOf(char32_t code) {
  static const auto table = [] {
    std::array<std::pair<char32_t, unsigned char>, 128> pairs{};
    for (int b = 0x80; b <= 0xFF; ++b)
      pairs[static_cast<size_t>(b - 0x80)] = {plat::CharTo16(static_cast<unsigned char>(b)), static_cast<unsigned char>(b)};
    return pairs;
  }();
  for (const auto& [unit, byte] : table)
    if (unit == code)
      return byte;
  return -1;
}

// The next code point of a UTF-8 text, or nothing for a malformed, overlong or surrogate sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80)
    return lead;
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
  for (int i = 0; i < more; ++i) {
    if (at >= text.size())
      return std::nullopt;
    const auto next = static_cast<unsigned char>(text[at++]);
    if ((next & 0xC0) != 0x80)
      return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return std::nullopt;
  return code;
}

}  // namespace

std::optional<std::string> Cp1252FromUtf8Strict(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t at = 0;
  while (at < utf8.size()) {
    const std::optional<char32_t> code = NextCodePoint(utf8, at);
    if (!code)
      return std::nullopt;
    if (*code < 0x80) {
      out += static_cast<char>(*code);
      continue;
    }
    const int byte = ByteOf(*code);
    if (byte < 0)
      return std::nullopt;
    out += static_cast<char>(byte);
  }
  return out;
}

std::string Utf8FromCp1252(std::string_view text) { return plat::Utf8From1252(text); }

}  // namespace host
