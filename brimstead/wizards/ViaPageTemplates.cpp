// Dialog templates of the via pages (bypass and via-model wizards), the via-model type page, the normalisation
// impedance page and the model extractor's via port pages.
#include "brimstead/wizards/PageTemplates.h"

#include "brimstead/wizards/TemplateStyles.h"

namespace brimwiz {
namespace {

using namespace templatestyle;

constexpr DWORD kLayerList = kTab | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
// The hidden "Export as" block of the via-model pages.
constexpr DWORD kHiddenRadio = WS_TABSTOP | BS_AUTORADIOBUTTON;

const DialogItemTemplate kModelTypeItems[] = {
    {WC_STATIC,
     "Set the normalization impedance for the model. 50 ohms is typical for\nS parameters and usually fine for via "
     "models.",
     IDC_STATIC, kVisible, 0, 10, 6, 310, 18},
    {WC_STATIC, "Normalization\nimpedance:", IDC_STATIC, kVisible, 0, 10, 30, 60, 18},
    {WC_EDIT, "", 1198, kEdit, 0, 72, 32, 60, 12},
    {WC_STATIC, "ohms", IDC_STATIC, kVisible, 0, 136, 34, 30, 9},
    {WC_STATIC, "", 1194, kVisible, 0, 10, 58, 310, 34},
    {WC_BUTTON, "4-port standard model", 1195, kRadio | WS_GROUP, 0, 20, 96, 200, 10},
    {WC_BUTTON, "2-port differential-mode model", 1196, kRadio, 0, 20, 110, 200, 10},
    {WC_BUTTON, "2-port common-mode model", 1197, kRadio, 0, 20, 124, 200, 10},
};
const DialogTemplate kModelType = PageTemplate(330, 165, kModelTypeItems);

const DialogItemTemplate kNormImpedanceItems[] = {
    {WC_STATIC, "Set the normalization impedance for the model.", IDC_STATIC, kVisible, 0, 10, 6, 310, 9},
    {WC_STATIC, "Normalization\nimpedance:", IDC_STATIC, kVisible, 0, 10, 24, 60, 18},
    {WC_EDIT, "", 1198, kEdit, 0, 72, 26, 60, 12},
    {WC_STATIC, "ohms", IDC_STATIC, kVisible, 0, 136, 28, 30, 9},
};
const DialogTemplate kNormImpedance = PageTemplate(330, 165, kNormImpedanceItems);

const DialogItemTemplate kBypassViewerItems[] = {
    {WC_STATIC, "to be filled later", 1091, kVisible, 0, 6, 4, 318, 26},
    {WC_BUTTON, "Selected via", IDC_STATIC, kGroupBox, 0, 6, 32, 318, 92},
    {WC_STATIC, "Net:", IDC_STATIC, kVisible, 0, 14, 44, 40, 9},
    {WC_STATIC, "Static", 1158, kVisible, 0, 60, 44, 180, 9},
    {WC_STATIC, "Position:", IDC_STATIC, kVisible, 0, 14, 56, 40, 9},
    {WC_STATIC, "Static", 1159, kVisible, 0, 60, 56, 180, 9},
    {WC_STATIC, "Connected layers:", IDC_STATIC, kVisible, 0, 14, 70, 70, 9},
    {WC_LISTBOX, "", 1161, kLayerList, 0, 14, 80, 140, 40},
    {WC_BUTTON, "Pan to", 1160, kPush, 0, 262, 42, 56, 14},
    {WC_STATIC, "Static", 1170, kVisible, 0, 6, 128, 318, 10},
    {WC_STATIC, "Pair of connected layers to analyze:", IDC_STATIC, kVisible, 0, 6, 146, 130, 9},
    {WC_COMBOBOX, "", 1189, kTab | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 138, 144, 150, 80},
};
const DialogTemplate kBypassViewer = PageTemplate(330, 170, kBypassViewerItems);

// The via-type layout walks the children from 1091 to just before 1170: the single-via block up to 1092, the pair
// block from 1092 on. The controls shown for both types, and the hidden export block, come before 1091.
const DialogItemTemplate kViaModelViewerItems[] = {
    {WC_BUTTON, "Via type", IDC_STATIC, kGroupBox, 0, 6, 2, 200, 24},
    {WC_BUTTON, "Single via", 1191, kRadio | WS_GROUP, 0, 14, 12, 80, 10},
    {WC_BUTTON, "Differential via", 1192, kRadio, 0, 100, 12, 90, 10},
    {WC_BUTTON, "Pan to", 1160, kPush | WS_GROUP, 0, 262, 8, 56, 14},
    {WC_BUTTON, "Export as", 1187, BS_GROUPBOX, 0, 214, 2, 110, 24},
    {WC_BUTTON, "mixed model", 1166, kHiddenRadio | WS_GROUP, 0, 220, 30, 90, 10},
    {WC_BUTTON, "diff mode only", 1167, kHiddenRadio, 0, 220, 40, 90, 10},
    {WC_BUTTON, "common mode only", 1168, kHiddenRadio, 0, 220, 50, 90, 10},
    {WC_BUTTON, "standard model", 1169, kHiddenRadio, 0, 220, 60, 90, 10},
    {WC_BUTTON, "export to shunt model", 1141, WS_TABSTOP | WS_DISABLED | BS_AUTOCHECKBOX | WS_GROUP, 0, 220, 70, 90,
     10},
    {WC_STATIC, "to be filled later", 1091, kVisible, 0, 6, 30, 318, 18},
    {WC_BUTTON, "Selected via", IDC_STATIC, kGroupBox, 0, 6, 50, 318, 88},
    {WC_STATIC, "Net:", IDC_STATIC, kVisible, 0, 14, 62, 40, 9},
    {WC_STATIC, "Static", 1158, kVisible, 0, 60, 62, 180, 9},
    {WC_STATIC, "Position:", IDC_STATIC, kVisible, 0, 14, 74, 40, 9},
    {WC_STATIC, "Static", 1159, kVisible, 0, 60, 74, 180, 9},
    {WC_STATIC, "Connected layers:", IDC_STATIC, kVisible, 0, 14, 88, 70, 9},
    {WC_LISTBOX, "", 1161, kLayerList, 0, 14, 98, 140, 36},
    {WC_STATIC, "to be filled later", 1092, kVisible, 0, 6, 30, 318, 18},
    {WC_BUTTON, "First via", 1172, kGroupBox, 0, 6, 50, 156, 88},
    {WC_STATIC, "Net:", 1173, kVisible, 0, 12, 62, 24, 9},
    {WC_STATIC, "Static", 1143, kVisible, 0, 38, 62, 120, 9},
    {WC_STATIC, "Connected layers:", 1174, kVisible, 0, 12, 74, 70, 9},
    {WC_LISTBOX, "", 1175, kLayerList, 0, 12, 84, 144, 50},
    {WC_BUTTON, "Second via", 1176, kGroupBox, 0, 168, 50, 156, 88},
    {WC_STATIC, "Net:", 1177, kVisible, 0, 174, 62, 24, 9},
    {WC_STATIC, "Static", 1144, kVisible, 0, 200, 62, 120, 9},
    {WC_STATIC, "Connected layers:", 1178, kVisible, 0, 174, 74, 70, 9},
    {WC_LISTBOX, "", 1179, kLayerList, 0, 174, 84, 144, 50},
    {WC_STATIC, "Static", 1170, kVisible, 0, 6, 144, 318, 10},
};
const DialogTemplate kViaModelViewer = PageTemplate(330, 170, kViaModelViewerItems);

const DialogItemTemplate kViaListItems[] = {
    {"GXWND", "", 1003, kGrid, 0, 6, 4, 318, 120},
    {WC_STATIC, "to be filled later", 1091, kVisible, 0, 6, 128, 318, 36},
};
const DialogTemplate kViaList = PageTemplate(330, 170, kViaListItems);

const DialogItemTemplate kViaModelListItems[] = {
    {"GXWND", "", 1165, kGrid, 0, 6, 4, 318, 112},
    {WC_STATIC, "to be filled later", 1091, kVisible, 0, 6, 120, 318, 18},
    {WC_BUTTON, "Export as", 1187, BS_GROUPBOX, 0, 214, 120, 110, 24},
    {WC_BUTTON, "mixed model", 1166, kHiddenRadio | WS_GROUP, 0, 220, 128, 90, 10},
    {WC_BUTTON, "diff mode only", 1167, kHiddenRadio, 0, 220, 138, 90, 10},
    {WC_BUTTON, "common mode only", 1168, kHiddenRadio, 0, 220, 148, 90, 10},
    {WC_BUTTON, "standard model", 1169, kHiddenRadio, 0, 220, 158, 90, 10},
    {WC_BUTTON, "export to shunt model", 1141, WS_TABSTOP | BS_AUTOCHECKBOX | WS_GROUP, 0, 6, 158, 90, 10},
    {WC_STATIC, "Static", 1170, kVisible, 0, 6, 142, 318, 10},
};
const DialogTemplate kViaModelList = PageTemplate(330, 170, kViaModelListItems);

const DialogItemTemplate kExtractorViasItems[] = {
    {"GXWND", "", 1003, kGrid, 0, 6, 4, 318, 96},
    {WC_STATIC, "to be filled later", 1091, kVisible, 0, 6, 104, 250, 46},
    {WC_BUTTON, "Check All", 1135, kPush, 0, 262, 104, 62, 14},
    {WC_BUTTON, "Uncheck All", 1136, kPush, 0, 262, 121, 62, 14},
    {WC_BUTTON, "Pan to", 1160, kPush, 0, 262, 138, 62, 14},
    // The selected net and its members (a differential pair) take two lines: "N_NAME," above "P_NAME".
    {WC_STATIC, "Selected net:", 1183, kVisible, 0, 6, 153, 52, 9},
    {WC_STATIC, "Static", 1181, kVisible, 0, 60, 153, 140, 18},
    {WC_BUTTON, "Select Net", 1137, kTab | BS_AUTOCHECKBOX | BS_PUSHLIKE, 0, 204, 153, 52, 14},
};
const DialogTemplate kExtractorVias = PageTemplate(330, 172, kExtractorViasItems);

}  // namespace

void RegisterViaPageTemplates(HINSTANCE module) {
  plat::RegisterDialogTemplate(module, 1176, kModelType);
  plat::RegisterDialogTemplate(module, 1180, kNormImpedance);
  plat::RegisterDialogTemplate(module, 1156, kBypassViewer);
  plat::RegisterDialogTemplate(module, 1158, kViaModelViewer);
  plat::RegisterDialogTemplate(module, 1154, kViaList);
  plat::RegisterDialogTemplate(module, 1157, kViaModelList);
  plat::RegisterDialogTemplate(module, 1159, kExtractorVias);
}

}  // namespace brimwiz
