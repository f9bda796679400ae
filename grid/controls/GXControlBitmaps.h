// The bitmap resources of the cell controls (check boxes, radio buttons, drop-down arrows), registered
// under the grid's module by the controls' registration call.
#pragma once

#include "platform/base/wintypes.h"

namespace gx {

// Check-box strips, 65 x 13: the 3-D box, the 3-D box of older systems, the flat box (also printed).
constexpr UINT kCheckBox3dBitmap = 20024, kCheckBox3dOldBitmap = 20025, kCheckBoxFlatBitmap = 20026;
// Radio buttons, 70 x 39.
constexpr UINT kRadioBitmap = 20019;
// Drop-down arrows, 7 x 4: the drop-down list's pair (normal, greyed) and the combo-box window's pair.
constexpr UINT kComboArrowBitmap = 20028, kComboArrowGreyBitmap = 20211;
constexpr UINT kComboWndArrowBitmap = 20212, kComboWndArrowGreyBitmap = 20213;

// Registers the bitmaps once per process.
void RegisterControlBitmaps();

}  // namespace gx
