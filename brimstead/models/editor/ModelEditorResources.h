// The model editor's resources: the templates of the editor, its panes, the model-name dialog and the ESL
// calculator, and the three library buttons' bitmaps, registered under the module's handle.
#pragma once

#include "platform/window/windowapi.h"

#include <vector>

namespace modeleditor {

enum : UINT {
  IDD_MODEL_EDITOR = 1032,
  IDD_EDIT_MODEL_NAME = 1175,
  IDD_PANE_CLR = 1030,
  IDD_PANE_SPICE = 1029,
  IDD_PANE_FILE = 1031,
  IDD_ESL_CALCULATOR = 1177,
  IDB_REMOVE_FROM_LIBRARY = 1171,
  IDB_SAVE_AS_TO_LIBRARY = 1173,
  IDB_SAVE_TO_LIBRARY = 1174,
};

// The library buttons' bitmaps are this size in pixels; template 1032 gives the buttons the same size.
constexpr int kLibraryBitmapWidth = 24;
constexpr int kLibraryBitmapHeight = 26;

// A 4-bit packed bitmap, bottom-up, from rows of characters (all of one length): '#' black, '+' dark grey, '.'
// light grey (the button face), 'w' white, 'b' blue, 'r' red. The first four follow the system colours when a
// button loads it.
std::vector<BYTE> MakePackedBitmap(const std::vector<const char*>& rows);

// Registers the templates, the bitmaps, the "PORTMAP" class and the module's texts (idempotent).
void RegisterModelEditorResources();

}  // namespace modeleditor
