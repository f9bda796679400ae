// What the rich edit fuzz targets share: one hidden rich edit window, and streaming bytes in and out of it
// through memory.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/controls/winctrl.h"

namespace richfuzz {

struct Buffer {
  std::string data;
  size_t at = 0;
};

inline DWORD ReadCb(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* got) {
  auto* b = reinterpret_cast<Buffer*>(cookie);
  const size_t n = std::min(static_cast<size_t>(cb), b->data.size() - b->at);
  std::memcpy(buf, b->data.data() + b->at, n);
  b->at += n;
  *got = static_cast<LONG>(n);
  return 0;
}

inline DWORD WriteCb(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* written) {
  reinterpret_cast<Buffer*>(cookie)->data.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(cb));
  *written = cb;
  return 0;
}

inline HWND Window() {
  static HWND rich = CreateWindowEx(0, RICHEDIT_CLASS, "", WS_POPUP | ES_MULTILINE, 0, 0, 120, 80, nullptr, nullptr,
                                    nullptr, nullptr);
  if (!rich) std::abort();
  return rich;
}

inline void StreamIn(HWND h, std::string bytes, UINT format) {
  Buffer b{std::move(bytes)};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&b), 0, &ReadCb};
  SendMessage(h, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
}

inline std::string StreamOut(HWND h, UINT format) {
  Buffer b;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&b), 0, &WriteCb};
  SendMessage(h, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
  return b.data;
}

}  // namespace richfuzz
