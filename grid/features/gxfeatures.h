// The editing features library: undo and redo (the command factory and its commands), long operations,
// clearing cells, value formatting, the date-time services, cell tips and covered, merged and floating cells.
#pragma once

// Registers the library with the grid: its texts first, then its grid installers (command factory, clear
// cells) and its process-wide installers (number formatting, the OLE and the non-OLE date-time services,
// long operations), each at its place in the control factory's order. A program calls it before
// InitGridLibrary, which runs the process-wide installers and copies the texts; safe to repeat.
void GXRegisterEditingFeatures();

class CGXGridCore;

// After cells were stored other than through the current cell (undo and redo, replace all): a computing
// cell store (a formula sheet) recomputes what depends on them, as after a typed value, and the cells whose
// values changed repaint. The store's message (a broken constraint, a formula's error) shows when
// `showMessage` is set and is taken silently otherwise.
void GXRecomputeAfterStores(CGXGridCore* grid, bool showMessage);
