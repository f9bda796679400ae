#include "brimstead/models/groups/GroupsDlgResources.h"

#include "brimstead/wizards/WizardResources.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/DialogTemplate.h"

#include <vector>

namespace groupsdlg {
namespace {

constexpr DWORD kModal = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kPush = kTab | BS_PUSHBUTTON;
constexpr DWORD kGrid = kTab | WS_BORDER | WS_VSCROLL | WS_HSCROLL;

// The capacitor grid on the left, the groups grid on the right, ">>" and "<<" between them.
const DialogItemTemplate kItems[] = {
    {WC_STATIC, "Decoupling capacitors: ", IDC_STATIC, WS_VISIBLE, 0, 7, 7, 215, 8},
    {"GXWND", "", 1009, kGrid, 0, 7, 18, 215, 198},
    {WC_BUTTON, ">>", 1208, kPush, 0, 228, 96, 26, 14},
    {WC_BUTTON, "<<", 1209, kPush, 0, 228, 116, 26, 14},
    {WC_STATIC, "Capacitor groups:", IDC_STATIC, WS_VISIBLE, 0, 260, 7, 215, 8},
    {"GXWND", "", 1010, kGrid, 0, 260, 18, 215, 198},
    {WC_BUTTON, "OK", IDOK, kTab | BS_DEFPUSHBUTTON, 0, 315, 224, 50, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kPush, 0, 370, 224, 50, 14},
    {WC_BUTTON, "Help", 9, kPush, 0, 425, 224, 50, 14},
};
const DialogTemplate kDialog{kModal, 0, 0, 0, 482, 245, "Assign Decoupling-Capacitor Groups", "MS Shell Dlg", 8,
                             kItems};

}  // namespace

void RegisterGroupsDialogResources() {
  // Registered on every call, as the wizard resources are: a test that resets the window system drops them. The
  // wizard resources bring the module's plus and minus button bitmaps.
  brimwiz::RegisterWizardResources();
  const HINSTANCE m = brimwiz::ModuleResources();
  plat::RegisterDialogTemplate(m, IDD_DECOUPLING_GROUPS, kDialog);
}

}  // namespace groupsdlg
