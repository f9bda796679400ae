#include "brimstead/wizards/ControlText.h"

#include "platform/gdi/gdiapi.h"

#include <algorithm>

namespace brimwiz {

int WidestTextInFont(HWND window, const std::vector<CString>& texts) {
  const HDC dc = window ? ::GetDC(window) : nullptr;
  if (!dc)
    return 0;
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessage(window, WM_GETFONT, 0, 0));
  const HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
  int widest = 0;
  for (const CString& text : texts) {
    SIZE size{};
    if (::GetTextExtentPoint32(dc, text, text.GetLength(), &size))
      widest = std::max(widest, static_cast<int>(size.cx));
  }
  if (old)
    ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  return widest;
}

}  // namespace brimwiz
