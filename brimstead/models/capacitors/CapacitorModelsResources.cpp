#include "brimstead/models/capacitors/CapacitorModelsResources.h"

#include "brimstead/wizards/WizardResources.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/DialogTemplate.h"

namespace capmodels {
namespace {

constexpr DWORD kModal = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kPush = kTab | BS_PUSHBUTTON;
constexpr DWORD kList = kTab | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kGrid = kTab | WS_BORDER | WS_VSCROLL | WS_HSCROLL;

// The filter and the board chooser on top, the capacitor grid, the actions below it. The net lists are wide enough
// for a net's name with its voltage ("VDD_CORE, 0.9volt"); the chooser beside them takes the rest of the row (a
// board it cannot show whole moves it to a row of its own).
const DialogItemTemplate kItems[] = {
    {WC_BUTTON, "Filter", IDC_STATIC, kVisible | BS_GROUPBOX, 0, 7, 3, 272, 33},
    {WC_BUTTON, "Show these nets only:", 1145, kTab | BS_AUTOCHECKBOX, 0, 14, 17, 88, 10},
    {WC_COMBOBOX, "", 1144, kList, 0, 104, 15, 84, 120},
    {WC_COMBOBOX, "", 1143, kList, 0, 191, 15, 84, 120},
    {WC_STATIC, "Select Board", 1142, kVisible, 0, 283, 6, 69, 8},
    {WC_COMBOBOX, "", 1004, kList, 0, 283, 16, 69, 120},
    {"GXWND", "BOARDLIST", 1121, kGrid, 0, 7, 41, 345, 156},
    {WC_BUTTON, "Assign Model...", 1206, kPush, 0, 7, 203, 62, 14},
    {WC_BUTTON, "Remove Models", 1207, kPush, 0, 73, 203, 62, 14},
    {WC_BUTTON, "Edit Groups...", 1138, kPush, 0, 139, 203, 62, 14},
    {WC_BUTTON, "Help", 9, kPush, 0, 243, 203, 52, 14},
    {WC_BUTTON, "Close", 1101, kTab | BS_DEFPUSHBUTTON, 0, 300, 203, 52, 14},
};
const DialogTemplate kDialog{kModal, 0, 0, 0, 359, 224, "Assign Decoupling-Capacitor Models", "MS Shell Dlg", 8,
                             kItems};

}  // namespace

void RegisterCapacitorModelsResources() {
  // Registered on every call, as the wizard resources are: a test that resets the window system drops them.
  brimwiz::RegisterWizardResources();
  plat::RegisterDialogTemplate(brimwiz::ModuleResources(), IDD_CAPACITOR_MODELS, kDialog);
}

}  // namespace capmodels
