// Measuring the texts a control shows, in the font it draws with.
#pragma once

#include "platform/base/CString.h"
#include "platform/window/windowapi.h"

#include <vector>

namespace brimwiz {
// The width in pixels of the widest of `texts` drawn in the font of `window` (its WM_GETFONT, else the system
// font); 0 without a window or texts.
int WidestTextInFont(HWND window, const std::vector<CString>& texts);
// The width in pixels a drop-down combo box needs to show each of its list's entries whole in its field: the
// field's text starts 5 pixels in and ends 6 pixels before the arrow button, which ends 2 pixels in.
int ComboBoxWidthNeeded(HWND combo);
}  // namespace brimwiz
