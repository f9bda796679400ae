// The names and texts the module hands to the host or writes into a ".dao" line: none may hold a control
// character. A line break would split the settings line, and a tab or any other would reach the host raw, although
// nobody can type one (a paste or a file name could bring it).
#pragma once

#include "platform/base/CString.h"
#include "platform/window/windowapi.h"

namespace brimwiz {
// Whether `text` holds a character below 0x20 or DEL.
bool HoldsControlCharacter(const CString& text);
// `text` with its control characters written as \r, \n, \t or \xNN, to be shown.
CString ShownWithEscapes(const CString& text);
// The dialogs' check of such a text: when `text` holds a control character a box over `owner` (titled `caption`)
// names it as `what` ("The group name") with the text shown, and the answer is true: the text is refused.
bool RefusedForControlCharacter(HWND owner, const char* caption, const char* what, const CString& text);
}  // namespace brimwiz
