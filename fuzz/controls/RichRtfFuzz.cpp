// Untrusted RTF through the rich edit window: any bytes streamed in as RTF must be read within bounds, laid
// out and rendered into a small DC, and written out again; what was written must read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/controls/winctrl.h"
#include "platform/gdi/gdiapi.h"

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

std::string In(HWND h, std::string bytes) {
  Buffer b{std::move(bytes)};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&b), 0, &ReadCb};
  SendMessage(h, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  std::string text(static_cast<size_t>(GetWindowTextLength(h)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowText(h, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string Out(HWND h) {
  Buffer b;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&b), 0, &WriteCb};
  SendMessage(h, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  return b.data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 16) return 0;
  HWND h = Window();
  const std::string text = In(h, std::string(reinterpret_cast<const char*>(data), size));

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 48, 32);
  HGDIOBJ old = SelectObject(dc, bmp);
  FORMATRANGE fr{dc, dc, {0, 0, 48 * 15, 32 * 15}, {0, 0, 48 * 15, 32 * 15}, {0, -1}};
  const LRESULT next = SendMessage(h, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
  SendMessage(h, EM_FORMATRANGE, FALSE, 0);
  if (next < 0 || next > static_cast<LRESULT>(text.size())) std::abort();
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  const std::string written = Out(h);
  if (In(h, written) != text) std::abort();  // writing what was read gives the same text again
  if (Out(h) != written) std::abort();        // and the same bytes
  return 0;
}
