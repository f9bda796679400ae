// Measuring the texts a control shows, in the font it draws with.
#pragma once

#include "platform/base/CString.h"
#include "platform/window/windowapi.h"

#include <vector>

namespace brimwiz {
// The width in pixels of the widest of `texts` drawn in the font of `window` (its WM_GETFONT, else the system
// font); 0 without a window or texts.
int WidestTextInFont(HWND window, const std::vector<CString>& texts);
}  // namespace brimwiz
