// LISTBOX (and the combo box's dropped list "ComboLBox", the same procedure).
//
// Items (one at a time, or many appended at once with LB_APPENDITEMS), selection (single, multiple, extended), sorting, search, owner-draw measuring and drawing,
// scrolling, keyboard and mouse. Selection changes made by the user notify LBN_SELCHANGE (with LBS_NOTIFY);
// changes made by messages never notify.
//
// Search (LB_FINDSTRING, LB_FINDSTRINGEXACT, LB_SELECTSTRING): from the item after `start` (-1: from the
// top), wrapping round, stopping before `start`; prefix or whole text, ignoring case. A failed
// LB_SELECTSTRING leaves the selection as it was.
//
// A list inside a combo box reports to the combo (ComboListEvent) instead of its parent, and its owner-draw
// and colour messages go to the combo's parent in the combo's name.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterListBoxClasses();

// What a combo's list tells its combo.
enum class ListEvent { SelChange, Chosen, Cancel, DoubleClick };

}  // namespace plat::controls
