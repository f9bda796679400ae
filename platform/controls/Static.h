// STATIC: text (left, centred, right, simple, no word wrap), rectangles and frames, etched lines, bitmaps,
// owner-draw, sunken edge, SS_NOTIFY clicks. Text and colours come from WM_CTLCOLORSTATIC.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterStaticClass();

}  // namespace plat::controls
