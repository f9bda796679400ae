// Dialog templates of the board, net and IC power pin pages and of the add-board-probes dialog.
#include "brimstead/wizards/PageTemplates.h"

#include "brimstead/wizards/TemplateStyles.h"

namespace brimwiz {
namespace {

using namespace templatestyle;

constexpr DWORD kNetList = kTab | WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_NOTIFY;

const DialogItemTemplate kBoardItems[] = {
    {WC_STATIC, "Choose the board to analysis in the list", IDC_STATIC, kVisible, 0, 8, 6, 300, 9},
    {"GXWND", "BOARDLIST", 1004, kGrid, 0, 8, 18, 314, 140},
};
const DialogTemplate kBoard = PageTemplate(330, 165, kBoardItems);

const DialogItemTemplate kNetItems[] = {
    {WC_STATIC, "Choose a pair of power / ground nets to analyze", IDC_STATIC, kVisible, 0, 8, 6, 300, 9},
    {WC_STATIC, "Avaliable nets:", IDC_STATIC, kVisible, 0, 8, 22, 120, 9},
    {WC_LISTBOX, "", 1005, kNetList, 0, 8, 33, 130, 124},
    {WC_BUTTON, "==>", 1006, kPush, 0, 146, 70, 36, 14},
    {WC_BUTTON, "<==", 1008, kPush, 0, 146, 92, 36, 14},
    {WC_STATIC, "Nets to analyze:", IDC_STATIC, kVisible, 0, 190, 22, 120, 9},
    {WC_LISTBOX, "", 1007, kNetList, 0, 190, 33, 130, 124},
};
const DialogTemplate kNet = PageTemplate(330, 165, kNetItems);

const DialogItemTemplate kPinsViewerItems[] = {
    {"GXWND", "", 1003, kGrid, 0, 6, 4, 318, 100},
    {WC_STATIC, "to be filled later", 1091, kVisible, 0, 6, 108, 250, 56},
    {WC_BUTTON, "Check All", 1135, kPush, 0, 262, 108, 62, 14},
    {WC_BUTTON, "Uncheck All", 1136, kPush, 0, 262, 125, 62, 14},
    {WC_BUTTON, "Add IC Power Pin...", 1184, kPush, 0, 262, 142, 62, 14},
    {WC_BUTTON, "Group by reference designators", 1185, kTab | BS_AUTOCHECKBOX, 0, 6, 166, 160, 10},
};
const DialogTemplate kPinsViewer = PageTemplate(330, 178, kPinsViewerItems);

const DialogItemTemplate kPinsListItems[] = {
    {"GXWND", "", 1003, kGrid, 0, 6, 4, 318, 110},
    {WC_STATIC, "to be filled later", 1091, kVisible, 0, 6, 118, 318, 40},
    {WC_BUTTON, "Group by reference designators", 1185, kTab | BS_AUTOCHECKBOX, 0, 6, 162, 160, 10},
};
const DialogTemplate kPinsList = PageTemplate(330, 176, kPinsListItems);

const DialogItemTemplate kAddProbesItems[] = {
    {WC_TREEVIEW, "", 1092,
     kTab | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 0, 7, 7, 170, 150},
    {WC_BUTTON, "OK", IDOK, kTab | BS_DEFPUSHBUTTON, 0, 184, 7, 50, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kPush, 0, 184, 24, 50, 14},
};
const DialogTemplate kAddProbes{kModal, 0, 0, 0, 241, 164, "Add Board Probes", kFont, kPointSize, kAddProbesItems};

}  // namespace

void RegisterProbePageTemplates(HINSTANCE module) {
  plat::RegisterDialogTemplate(module, 1009, kBoard);
  plat::RegisterDialogTemplate(module, 1001, kNet);
  plat::RegisterDialogTemplate(module, 1162, kPinsViewer);
  plat::RegisterDialogTemplate(module, 1027, kPinsList);
  plat::RegisterDialogTemplate(module, 1024, kAddProbes);
}

}  // namespace brimwiz
