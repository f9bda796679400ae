// The features through which users shape a grid with mouse and keyboard: selection, moving rows and
// columns by their headers, mouse resizing, hiding, fit to contents, header marks and the freeze commands.
#pragma once

// Registers their grid installers at their places in the control factory's order, and their texts.
// Called by GXRegisterEditingFeatures.
void GXRegisterInteractionFeatures();
