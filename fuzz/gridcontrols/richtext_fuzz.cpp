// Plain text stored into a rich edit cell from outside: the cell's RTF form of any text without NUL or other
// control characters reads back, as the cell's display text does, to the same text with its line breaks as
// CR LF; with a header ("{\rtf1 ...}", what typing stores) and without ("{...}", what pasting stores).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/controls/RichStream.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "platform/controls/winctrl.h"

#include "fuzz/FuzzFonts.h"

namespace {

// The display text of a value: streamed in as RTF, out as plain text.
std::string DisplayText(const CString& rtf) {
  HWND h = richfuzz::Window();
  richfuzz::StreamIn(h, std::string(rtf.GetString(), static_cast<size_t>(rtf.GetLength())), SF_RTF);
  return richfuzz::StreamOut(h, SF_TEXT);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 14) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string expected;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      expected += "\r\n";
    } else if (c < 0x20 || c == 0x7F) {
      return 0;  // control characters are outside the contract
    } else {
      expected += static_cast<char>(c);
    }
  }
  const CString plain(text.c_str());
  for (BOOL header : {TRUE, FALSE})
    if (DisplayText(CGXRichEditCtrl::PlainTextToRtf(plain, header)) != expected) std::abort();
  return 0;
}
