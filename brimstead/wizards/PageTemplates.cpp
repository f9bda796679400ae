#include "brimstead/wizards/PageTemplates.h"

#include "platform/controls/winctrl.h"
#include "platform/framework/DialogTemplate.h"

namespace brimwiz {
namespace {

// Pages are hidden child dialogs; the frame shows the current one. Radio groups are created in their order, with
// WS_GROUP on the first button and on the first control after the group, as the radio exchange counts them.
constexpr DWORD kPage = DS_SETFONT | WS_CHILD;
constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kRadio = kTab | BS_AUTORADIOBUTTON;

const DialogItemTemplate kStartItems[] = {
    {WC_BUTTON, "New", 1000, kRadio | WS_GROUP, 0, 14, 10, 150, 10},
    {WC_BUTTON, "Use last configuration", 1003, kRadio, 0, 14, 36, 150, 10},
    {WC_BUTTON, "Load saved configuration", 1001, kRadio, 0, 14, 62, 150, 10},
    {WC_BUTTON, "Load...", 1002, kTab | WS_GROUP | BS_PUSHBUTTON, 0, 196, 60, 50, 14},
    {WC_STATIC, "Let me specify new settings", IDC_STATIC, kVisible, 0, 26, 21, 220, 9},
    {WC_STATIC, "Load most recently used settings", 1186, kVisible, 0, 26, 47, 220, 9},
    {WC_STATIC, "Load saved settings; I plan to rerun, or modify some of the settings", IDC_STATIC, kVisible, 0, 26,
     73, 230, 9},
    {WC_BUTTON, "Save-on-Exit options", IDC_STATIC, kVisible | BS_GROUPBOX, 0, 8, 92, 250, 62},
    {WC_BUTTON, "Save settings to file", 1065, kTab | BS_AUTOCHECKBOX, 0, 16, 104, 120, 10},
    {WC_EDIT, "", 1066, kTab | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, 0, 16, 118, 180, 12},
    {WC_BUTTON, "Browse", 1067, kTab | BS_PUSHBUTTON, 0, 200, 117, 50, 14},
    {WC_STATIC, "You may return to this page later if you decide to save your settings", IDC_STATIC, kVisible, 0, 16,
     138, 236, 9},
};
const DialogTemplate kStart{kPage, 0, 0, 0, 266, 160, "", "MS Shell Dlg", 8, kStartItems};

}  // namespace

void RegisterPageTemplates(HINSTANCE module) { plat::RegisterDialogTemplate(module, 1007, kStart); }

}  // namespace brimwiz
