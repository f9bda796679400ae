// Up-down ("msctls_updown32"): two arrows that step a position between two bounds (the "upper" bound is
// where the up arrow leads, which may be below the "lower" one; the classic default is lower 100, upper
// 0). A click asks the parent first (WM_NOTIFY UDN_DELTAPOS, a non-zero answer refuses the step), then
// moves the position (wrapping with UDS_WRAP), writes it into the buddy (UDS_SETBUDDYINT), and sends
// WM_VSCROLL (WM_HSCROLL with UDS_HORZ) SB_THUMBPOSITION; holding the button repeats on the clock; the
// release sends SB_ENDSCROLL. UDS_AUTOBUDDY takes the previous sibling; UDS_ALIGNRIGHT/LEFT moves the
// control into the buddy's edge; with UDS_ARROWKEYS the buddy's Up and Down keys step it.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterUpDownClass();

}  // namespace plat::controls
