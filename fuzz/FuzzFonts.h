// The font system's one-time set-up, done before the first input. The fuzzer checks for leaks after inputs;
// what the font configuration allocates on its first use lives until exit, partly where the leak checker cannot
// see a pointer to it, and would be reported as soon as any later input made a check run. The set-up's own
// allocations are therefore left out of leak checking; everything allocated by the inputs is still checked.
#pragma once

#include <initializer_list>
#if __has_include(<sanitizer/lsan_interface.h>)
#include <sanitizer/lsan_interface.h>
#define BRIM_FUZZ_HAS_LSAN 1
#endif

#include "platform/gdi/gdiapi.h"

namespace fuzzfonts {

inline void Prepare() {
  // Every byte value once, so lazily built tables (character maps, fallbacks for unmapped characters) exist.
  char all[255];
  for (int i = 0; i < 255; ++i) all[i] = static_cast<char>(i + 1);
#ifdef BRIM_FUZZ_HAS_LSAN
  __lsan_disable();
#endif
  HDC dc = CreateCompatibleDC(nullptr);
  static const char* const kFaces[] = {"MS Sans Serif", "Arial", "Times New Roman", "Courier New", "System",
                                       "Symbol", "Wingdings", "No Such Face"};
  for (const char* face : kFaces) {
    for (int weight : {FW_NORMAL, FW_BOLD}) {
      HFONT font = CreateFont(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
      HGDIOBJ old = SelectObject(dc, font);
      SIZE size{};
      GetTextExtentPoint32(dc, "Wg", 2, &size);
      TextOut(dc, 0, 0, all, 255);
      RECT r{0, 0, 100, 100};
      DrawTextA(dc, all, 255, &r, DT_WORDBREAK);
      SelectObject(dc, old);
      DeleteObject(font);
    }
  }
  DeleteDC(dc);
#ifdef BRIM_FUZZ_HAS_LSAN
  __lsan_enable();
#endif
}

}  // namespace fuzzfonts
