// The grid library's string resources (names of styles, controls, user attributes, colours) and the
// lookup that falls back to them when the application does not override a string.
#pragma once

#include "platform/base/CString.h"

namespace gx {

// Registers the grid's string table (once; idempotent).
void RegisterGridStrings();
// The string of an id from the application's resources, else the grid's own table. FALSE when missing.
BOOL LoadGridString(CString& out, UINT id);
// As LoadGridString, throwing the resource exception when the string is missing.
void LoadStringOrThrow(CString& out, UINT id);

}  // namespace gx
