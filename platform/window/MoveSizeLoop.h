// Moving a top-level window by its caption and sizing it by its sizing frame with the mouse.
//
// The default WM_NCLBUTTONDOWN on HTCAPTION or a sizing-border hit code runs this nested loop under
// capture: every mouse move places the window at once (SetWindowPos, so WM_MOVE and WM_SIZE follow), the
// size never shrinks below SM_CXMINTRACK x SM_CYMINTRACK, and Esc or a lost capture puts the window back
// where it started. The button release ends it.
#pragma once

#include "platform/window/windowapi.h"

namespace plat {

class MoveSizeLoop {
 public:
  static void Run(HWND hwnd, int hit, POINT screen);
};

}  // namespace plat
