// The '&' rule of captions, labels, menu items and DrawText without DT_NOPREFIX, in one place for every caller:
// "&&" shows one literal '&'; a single '&' before a character marks that character and shows nothing itself;
// when several are marked, the last one is underlined and is the mnemonic; a trailing '&' marks nothing and
// shows as it is.
#pragma once

#include <string>
#include <string_view>

namespace plat {

struct MnemonicText {
  std::string shown;   // the text as displayed
  int underline = -1;  // index in `shown` of the underlined character, -1 when none
};

MnemonicText ParseMnemonic(std::string_view text);
// The mnemonic of a text folded to lower case ("&Next" -> 'n'), 0 when none.
char MnemonicChar(std::string_view text);

}  // namespace plat
