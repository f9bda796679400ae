// The cell controls' texts in the grid's string module (gx::LoadGridString finds them). Each registration
// call of this library adds them first, before the program starts the grid library.
#pragma once

// Safe to repeat.
void GXRegisterControlStrings();
