// The texts of clipboard exchange, copying and moving cells, sorting, and find and replace.
#pragma once

#include "platform/base/wintypes.h"

// A paste refused because it would change a cell the user may not change (CGXGridCore::CanChangeCell), and
// a replacement that such a cell keeps out.
constexpr UINT GX_IDS_PASTE_UNCHANGEABLE = 20214;
constexpr UINT GX_IDS_REPLACE_UNCHANGEABLE = 20215;
// A filled value that a cell does not take (no choice of a list cell): the cell keeps its value.
constexpr UINT GX_IDS_FILL_REFUSED = 20216;

void GXRegisterExchangeStrings();
