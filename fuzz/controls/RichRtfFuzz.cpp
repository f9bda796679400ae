// Untrusted RTF through the rich edit window: any bytes streamed in as RTF must be read within bounds, laid
// out and rendered into a small DC, and written out again; what was written must read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/controls/RichStream.h"
#include "platform/controls/winctrl.h"
#include "platform/gdi/gdiapi.h"

#include "fuzz/FuzzFonts.h"

namespace {

std::string In(HWND h, std::string bytes) {
  richfuzz::StreamIn(h, std::move(bytes), SF_RTF);
  std::string text(static_cast<size_t>(GetWindowTextLength(h)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowText(h, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string Out(HWND h) { return richfuzz::StreamOut(h, SF_RTF); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 16) return 0;
  HWND h = richfuzz::Window();
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
