#include "brimstead/wizards/ControlText.h"

#include "platform/controls/winctrl.h"
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

int ComboBoxWidthNeeded(HWND combo) {
  const int count = combo ? static_cast<int>(::SendMessage(combo, CB_GETCOUNT, 0, 0)) : 0;
  std::vector<CString> entries;
  for (int i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessage(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length <= 0)
      continue;
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    entries.emplace_back(text.data());
  }
  return WidestTextInFont(combo, entries) + ::GetSystemMetrics(SM_CXVSCROLL) + 13;
}

}  // namespace brimwiz
