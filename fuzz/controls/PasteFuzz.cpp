// Arbitrary bytes pasted from the clipboard into the edit and rich edit controls, as CF_TEXT and as "Rich Text
// Format": single- and multi-line edits with and without a text limit, and a rich edit. No crash, no read past
// the clipboard block (which need not end in a zero byte), and no control holds more than its limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "fuzz/FuzzFonts.h"
#include "platform/base/GlobalMemory.h"
#include "platform/controls/winctrl.h"
#include "platform/window/windowapi.h"

namespace {

constexpr int kLimit = 40;

struct Windows {
  HWND single, multi, limited, rich;
};

const Windows& Controls() {
  static const Windows w = [] {
    auto make = [](const char* cls, DWORD style) {
      HWND h = CreateWindowEx(0, cls, "", WS_POPUP | style, 0, 0, 160, 80, nullptr, nullptr, nullptr, nullptr);
      if (!h) std::abort();
      return h;
    };
    Windows out{make("EDIT", ES_AUTOHSCROLL), make("EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN),
                make("EDIT", ES_MULTILINE), make(RICHEDIT_CLASS, ES_MULTILINE)};
    SendMessage(out.limited, EM_LIMITTEXT, kLimit, 0);
    return out;
  }();
  return w;
}

void Put(UINT format, const std::uint8_t* data, std::size_t size) {
  if (!OpenClipboard(nullptr)) std::abort();
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (size) std::memcpy(GlobalLock(h), data, size);
  GlobalUnlock(h);
  SetClipboardData(format, h);
  CloseClipboard();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 1 << 15) return 0;
  const Windows& w = Controls();
  static const UINT rtf = RegisterClipboardFormat("Rich Text Format");
  Put((data[0] & 1) ? rtf : CF_TEXT, data + 1, size - 1);
  for (HWND h : {w.single, w.multi, w.limited, w.rich}) {
    SetWindowText(h, (data[0] & 2) ? "before" : "");
    SendMessage(h, EM_SETSEL, (data[0] & 4) ? 0 : -1, -1);
    SendMessage(h, WM_PASTE, 0, 0);
    const int length = GetWindowTextLength(h);
    if (length < 0 || (h == w.limited && length > kLimit)) std::abort();
    // What was pasted copies out again whole.
    SendMessage(h, EM_SETSEL, 0, -1);
    SendMessage(h, WM_COPY, 0, 0);
  }
  // The clipboard's blocks are the clipboard's until it is emptied: leave none behind this input.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  return 0;
}
