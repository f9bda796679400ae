// Plain text stored into a rich edit cell from outside: the cell's RTF form of any text without NUL or other
// control characters reads back, as the cell's display text does, to the same text with its line breaks as
// CR LF; with a header ("{\rtf1 ...}", what typing stores) and without ("{...}", what pasting stores).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "grid/controls/CGXRichEditCtrl.h"
#include "platform/controls/winctrl.h"

namespace {

struct Buffer {
  std::string data;
  size_t at = 0;
};

DWORD ReadCb(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* got) {
  auto* b = reinterpret_cast<Buffer*>(cookie);
  const size_t n = std::min(static_cast<size_t>(cb), b->data.size() - b->at);
  std::memcpy(buf, b->data.data() + b->at, n);
  b->at += n;
  *got = static_cast<LONG>(n);
  return 0;
}

DWORD WriteCb(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* written) {
  reinterpret_cast<Buffer*>(cookie)->data.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(cb));
  *written = cb;
  return 0;
}

HWND Window() {
  static HWND rich = CreateWindowEx(0, RICHEDIT_CLASS, "", WS_POPUP | ES_MULTILINE, 0, 0, 120, 80, nullptr, nullptr,
                                    nullptr, nullptr);
  if (!rich) std::abort();
  return rich;
}

// The display text of a value: streamed in as RTF, out as plain text.
std::string DisplayText(const CString& rtf) {
  HWND h = Window();
  Buffer in{std::string(rtf.GetString(), static_cast<size_t>(rtf.GetLength()))};
  EDITSTREAM ies{reinterpret_cast<DWORD_PTR>(&in), 0, &ReadCb};
  SendMessage(h, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&ies));
  Buffer out;
  EDITSTREAM oes{reinterpret_cast<DWORD_PTR>(&out), 0, &WriteCb};
  SendMessage(h, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&oes));
  return out.data;
}

}  // namespace

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
