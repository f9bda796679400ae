#include "platform/gdi/Mnemonic.h"

#include "platform/base/CodePage.h"

namespace plat {

MnemonicText ParseMnemonic(std::string_view text) {
  MnemonicText out;
  out.shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&') out.underline = static_cast<int>(out.shown.size());
    }
    out.shown += text[i];
  }
  return out;
}

char MnemonicChar(std::string_view text) {
  const MnemonicText m = ParseMnemonic(text);
  if (m.underline < 0) return 0;
  return static_cast<char>(ToLower1252(static_cast<unsigned char>(m.shown[static_cast<size_t>(m.underline)])));
}

}  // namespace plat
