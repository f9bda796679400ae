// What the rich edit fuzz targets share: one hidden rich edit window, and streaming bytes in and out of it
// through memory.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/controls/RichEdit.h"
#include "platform/controls/winctrl.h"

namespace richfuzz {

inline HWND Window() {
  static HWND rich = CreateWindowEx(0, RICHEDIT_CLASS, "", WS_POPUP | ES_MULTILINE, 0, 0, 120, 80, nullptr, nullptr,
                                    nullptr, nullptr);
  if (!rich) std::abort();
  return rich;
}

inline void StreamIn(HWND h, const std::string& bytes, UINT format) { plat::controls::StreamInBytes(h, bytes, format); }

inline std::string StreamOut(HWND h, UINT format) { return plat::controls::StreamOutBytes(h, format); }

}  // namespace richfuzz
