// EDIT: single and multi-line text entry.
//
// The text, selection, layout and undo live in EditModel; this file is the window: styles, metrics,
// scrolling, painting, keyboard and mouse, the clipboard and the notifications.
//
// Call flow of a user change (typing, Backspace, Delete, cut, paste, clear, undo):
//   UserEdit -> refused when read-only (beep), filtered (ES_NUMBER, case, single-line paste cut at the first
//   line break), limited (text limit, or the visible width of a single-line edit without ES_AUTOHSCROLL:
//   EN_MAXTEXT) -> EditModel::Replace (undo) -> modify flag -> scroll the caret into view, invalidate
//   -> EN_UPDATE -> EN_CHANGE.
// WM_SETTEXT replaces everything, clears undo and the modify flag, and notifies EN_UPDATE/EN_CHANGE for
// single-line edits only (multi-line edits stay silent, as the classic ones do).
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterEditClass();

// Limits: the initial one, and what EM_LIMITTEXT(0) means.
constexpr UINT kEditInitialLimit = 30000;
constexpr UINT kEditMaxLimitSingle = 0x7FFFFFFE;
constexpr UINT kEditMaxLimitMulti = 0xFFFFFFFF;

}  // namespace plat::controls
