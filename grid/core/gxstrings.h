// The grid's texts: one lookup for every grid library. The core's own texts (names of styles, controls,
// user attributes, colours, the engine's commands and status texts) are its table; every other grid
// library adds its texts to the same "grid" string module from its registration call, which a program
// makes before InitGridLibrary copies the start-up texts.
#pragma once

#include <span>

#include "platform/base/CString.h"
#include "platform/base/ResourceTable.h"

namespace gx {

// Registers the core's string table (once; idempotent).
void RegisterGridStrings();
// Adds a library's texts (static data) to the "grid" string module; repeating it changes nothing.
void AddGridStrings(std::span<const plat::ResourceTable::StringEntry> table);
// The string of an id from the application's resources, else the "grid" string module. FALSE (and empty)
// when missing.
BOOL LoadGridString(CString& out, UINT id);
// The same lookup as a value: empty when missing.
CString LoadGridString(UINT id);
// As LoadGridString, throwing the resource exception when the string is missing.
void LoadStringOrThrow(CString& out, UINT id);

}  // namespace gx
