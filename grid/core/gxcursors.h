// The grid's cursors (resize, hidden-line, drag, header selection, refused-drop and fill-handle cursors) in the "grid"
// resource module; SetGridCursor falls back to them when the program's module has none of its own.
#pragma once

#include <vector>

#include "platform/base/wintypes.h"

namespace gx {

// Registers the cursors (idempotent: the same bytes under the same ids).
void RegisterGridCursors();
// The resource bytes of one of the grid's cursors and its hot spot (empty for an unknown id).
std::vector<BYTE> CursorMasks(UINT id, POINT* hotSpot);

}  // namespace gx
