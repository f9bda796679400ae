// Placing popups (drop-down lists, menus, tips) on the screen the way the classic controls do.
#pragma once

#include "platform/window/windowapi.h"

namespace plat {

// Where a popup of `size` goes for an anchor rectangle (screen coordinates): below the anchor, left edges
// aligned; flipped above it when it does not fit below within the work area of the anchor's monitor but
// fits better above; shifted left (and right, at most to the work area's left edge) to stay inside.
RECT PlacePopup(const RECT& anchor, SIZE size);

// A top-level window's frame moved (not resized) into the work area of the monitor it lies on most: a frame that
// pokes out on one side moves in; one larger than the work area keeps its top left corner there, so that its
// caption and frame buttons can always be seen and dragged.
RECT KeepOnWorkArea(const RECT& frame);

// Where a top-level box whose frame is `size` opens (a message box, the common dialogs' chooser): centred on its
// owner's window while the owner is visible, else in the first monitor's work area, then kept on the work area,
// so that an owner lying partly off the screen never takes the box's caption with it.
RECT PlaceOwnedFrame(HWND owner, SIZE size);

}  // namespace plat
