// The editing features' texts in the grid's string module (gx::LoadGridString finds them): the undo
// commands' names and menu texts, the long-operation texts and the clear command's name.
#pragma once

// Safe to repeat.
void GXRegisterFeatureStrings();
