// SCROLLBAR control: a horizontal or vertical bar as a child window (or a size box), with the same scroll
// information as the non-client bars (SetScrollInfo & co. with SB_CTL reach it as SBM_SETSCROLLINFO and
// SBM_GETSCROLLINFO). Users' actions become WM_HSCROLL/WM_VSCROLL to the parent with the control's handle;
// as with the classic bars, the parent sets the new position itself.
//
// Mouse tracking: a press on an arrow or beside the thumb sends SB_LINE*/SB_PAGE* at once and repeats on a
// timer (first after 400 ms, then every 100 ms) while the press stays on that part; dragging the thumb sends
// SB_THUMBTRACK with the position under the mouse, its release SB_THUMBPOSITION; every tracking ends with
// SB_ENDSCROLL.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterScrollBarClass();

// The parts of a bar, in order along it.
enum class BarPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct BarGeometry {
  int length = 0;                       // along the bar
  int thickness = 0;                    // across it
  int arrow = 0;                        // each arrow's length
  int thumbStart = 0, thumbLength = 0;  // along the bar; thumbLength 0 when there is no room or nothing to scroll
};

// Pure layout: where the thumb sits for a range, page and position.
BarGeometry LayoutBar(int length, int thickness, int min, int max, UINT page, int pos);
BarPart HitBar(const BarGeometry& g, int along);
// The position a thumb whose start is at `thumbStart` stands for.
int PositionFromThumb(const BarGeometry& g, int min, int max, UINT page, int thumbStart);

}  // namespace plat::controls
