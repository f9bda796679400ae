// The registration call of the cell-control library: every windowless cell control's creator with the
// control factory, their user attributes, texts and bitmaps. Safe to repeat; the module makes it before
// starting the grid library, and each later cell family adds its own here.
#pragma once

void GXRegisterCellControls();
