// Tooltip ("tooltips_class32"): a top-level popup that shows a tool's text after the mouse rests on the
// tool, all on the virtual clock.
//
// Mouse moves reach the tooltip through TTM_RELAYEVENT or, for TTF_SUBCLASS tools, through the tool
// window's procedure, which the tooltip subclasses. Resting on a tool for the initial delay (500 ms)
// shows the tip below the cursor (TTN_SHOW to the tool's window); it hides after the auto-pop delay
// (5 s), when the mouse leaves the tool or is pressed, on TTM_POP and when deactivated (TTN_POP).
// Moving from one tool straight to another while a tip shows uses the short reshow delay (100 ms).
// LPSTR_TEXTCALLBACK texts are asked for with TTN_GETDISPINFO each time the tip shows.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterToolTipClass();

}  // namespace plat::controls
