// "RichEdit20A": multi-paragraph text with character formats (bold, italic, underline, strike-out, face,
// size, colour) and paragraph alignment, read and written as RTF.
//
// The document and its undo live in RichDocument, its lines in RichLayout, RTF in RichRtf; this file is the
// window: messages, keyboard and mouse, the clipboard, scrolling, painting, rendering into other DCs and the
// notifications.
//
// Call flow of a change (typing, Enter, Backspace, Delete, cut, paste, undo, EM_REPLACESEL, EM_STREAMIN,
// EM_SETCHARFORMAT, EM_SETPARAFORMAT):
//   Change -> refused when read-only (user input), limited (EM_EXLIMITTEXT, user input and EM_REPLACESEL)
//   -> EN_UPDATE (ENM_UPDATE) -> RichDocument::Replace (undo) -> re-lay the changed paragraphs -> modify flag
//   -> caret into view, invalidate -> EN_CHANGE (ENM_CHANGE) -> EN_REQUESTRESIZE when the content height
//   changed (ENM_REQUESTRESIZE) -> EN_SELCHANGE when the selection moved (ENM_SELCHANGE).
// A paragraph break is one position; WM_GETTEXT gives it as '\r', plain-text copies and SF_TEXT as "\r\n".
// EN_PROTECTED is never sent: no text is protected.
#pragma once

#include <string>
#include <string_view>

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterRichEditClass();

constexpr UINT kRichEditInitialLimit = 32767;
constexpr UINT kRichEditDefaultLimit = 65536;  // what EM_EXLIMITTEXT(0) sets

// A rich edit window's whole content in from memory (EM_STREAMIN, the answer returned) or out to memory
// (EM_STREAMOUT), in `format` (SF_RTF or SF_TEXT, with any SFF_ flags).
LRESULT StreamInBytes(HWND hwnd, std::string_view bytes, UINT format);
std::string StreamOutBytes(HWND hwnd, UINT format);

}  // namespace plat::controls
