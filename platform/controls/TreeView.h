// Tree view ("SysTreeView32"): items with text, image, selected image and data under parents, expanded
// or collapsed, one selected item, keyboard and mouse navigation.
//
// Item handles are checked on every call (a deleted item's handle answers as unknown). Changes the user
// makes ask the parent first where the classic control does: TVN_SELCHANGING and TVN_ITEMEXPANDING
// refuse with a non-zero answer; TVN_SELCHANGED and TVN_ITEMEXPANDED follow. A double click sends
// NM_DBLCLK; unless the parent answers non-zero ("handled"), it toggles the item's expansion.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterTreeViewClass();

}  // namespace plat::controls
