// The styles the module's dialog templates are written with, and the shape of a page's template: a hidden child
// dialog in the module's dialog font, which its owner (the wizard frame, the model editor) shows while the page or
// pane is current. Radio groups are created in their order, with WS_GROUP on the first button and on the first
// control after the group, as the radio exchange counts them.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/DialogTemplate.h"

#include <span>

namespace brimwiz::templatestyle {

constexpr DWORD kPage = DS_SETFONT | WS_CHILD;
constexpr DWORD kModal = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kPush = kTab | BS_PUSHBUTTON;
constexpr DWORD kRadio = kTab | BS_AUTORADIOBUTTON;
constexpr DWORD kCheck = kTab | BS_AUTOCHECKBOX;
constexpr DWORD kGroupBox = kVisible | BS_GROUPBOX;
constexpr DWORD kEdit = kTab | WS_BORDER | ES_AUTOHSCROLL;
// A grid takes its scroll bars from its style: shown while there is something to scroll to, so that a row or a
// column past the window's edge can always be reached.
constexpr DWORD kGrid = kTab | WS_BORDER | WS_HSCROLL | WS_VSCROLL;
constexpr const char* kFont = "MS Shell Dlg";
constexpr WORD kPointSize = 8;

// A page template of cx by cy dialog units with these controls; a property sheet's page names its step in the
// caption.
constexpr DialogTemplate PageTemplate(short cx, short cy, std::span<const DialogItemTemplate> items,
                                      const char* caption = "") {
  return DialogTemplate{kPage, 0, 0, 0, cx, cy, caption, kFont, kPointSize, items};
}

}  // namespace brimwiz::templatestyle
