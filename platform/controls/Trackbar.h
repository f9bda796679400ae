// Trackbar ("msctls_trackbar32"): a thumb on a channel between a minimum and a maximum. Keys move it by a
// line (arrows) or a page (Page Up/Down), Home and End to the ends; a click on the channel beside the thumb
// moves it a page towards the click; dragging the thumb follows the mouse. Every move the user makes
// reaches the parent as WM_HSCROLL (WM_VSCROLL for TBS_VERT) with a TB_* code and the control's handle,
// followed by TB_ENDTRACK; TBM_SETPOS never notifies.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterTrackbarClass();

}  // namespace plat::controls
