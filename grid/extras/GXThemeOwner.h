// The window that themed parts are drawn for. Themed drawing needs a window, and a window's DC names it
// (WindowFromDC); the memory DC that a window paints into before it copies the result to the screen names
// none. A window that paints through a memory DC keeps a scope for the time it paints.
#pragma once

#include "platform/window/windowapi.h"

class CDC;

namespace gx {

class ThemeOwnerScope {
 public:
  explicit ThemeOwnerScope(HWND owner);
  ~ThemeOwnerScope();
  ThemeOwnerScope(const ThemeOwnerScope&) = delete;
  ThemeOwnerScope& operator=(const ThemeOwnerScope&) = delete;

 private:
  HWND m_previous;
};

// The window to draw themed parts for: the DC's window, else that of the innermost scope; null when the
// application is not themed or no window is known.
HWND ThemedOwner(CDC& dc);

}  // namespace gx
