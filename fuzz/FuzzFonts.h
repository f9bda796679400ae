// The font system's one-time set-up, done before the first input. The fuzzer checks for leaks after every
// input; what the font configuration allocates on its first use lives until exit and would be reported then,
// stopping the run on the first input that draws text.
#pragma once

#include <initializer_list>

#include "platform/gdi/gdiapi.h"

namespace fuzzfonts {

inline void Prepare() {
  HDC dc = CreateCompatibleDC(nullptr);
  static const char* const kFaces[] = {"MS Sans Serif", "Arial", "Times New Roman", "Courier New", "System"};
  for (const char* face : kFaces) {
    for (int weight : {FW_NORMAL, FW_BOLD}) {
      HFONT font = CreateFont(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
      HGDIOBJ old = SelectObject(dc, font);
      SIZE size{};
      GetTextExtentPoint32(dc, "Wg", 2, &size);
      TextOut(dc, 0, 0, "Wg", 2);
      SelectObject(dc, old);
      DeleteObject(font);
    }
  }
  DeleteDC(dc);
}

}  // namespace fuzzfonts
