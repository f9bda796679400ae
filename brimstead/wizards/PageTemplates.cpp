#include "brimstead/wizards/PageTemplates.h"

#include "brimstead/wizards/TemplateStyles.h"

namespace brimwiz {
namespace {

using namespace templatestyle;


const DialogItemTemplate kStartItems[] = {
    {WC_BUTTON, "New", 1000, kRadio | WS_GROUP, 0, 14, 10, 150, 10},
    {WC_BUTTON, "Use last configuration", 1003, kRadio, 0, 14, 36, 150, 10},
    {WC_BUTTON, "Load saved configuration", 1001, kRadio, 0, 14, 62, 150, 10},
    {WC_BUTTON, "Load...", 1002, kTab | WS_GROUP | BS_PUSHBUTTON, 0, 196, 60, 50, 14},
    {WC_STATIC, "Let me specify new settings", IDC_STATIC, kVisible, 0, 26, 21, 220, 9},
    {WC_STATIC, "Load most recently used settings", 1186, kVisible, 0, 26, 47, 220, 9},
    {WC_STATIC, "Load saved settings; I plan to rerun, or modify some of the settings", IDC_STATIC, kVisible, 0, 26,
     73, 230, 9},
    {WC_BUTTON, "Save-on-Exit options", IDC_STATIC, kGroupBox, 0, 8, 92, 250, 62},
    {WC_BUTTON, "Save settings to file", 1065, kTab | BS_AUTOCHECKBOX, 0, 16, 104, 120, 10},
    {WC_EDIT, "", 1066, kTab | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, 0, 16, 118, 180, 12},
    {WC_BUTTON, "Browse", 1067, kTab | BS_PUSHBUTTON, 0, 200, 117, 50, 14},
    {WC_STATIC, "You may return to this page later if you decide to save your settings", IDC_STATIC, kVisible, 0, 16,
     138, 236, 9},
};
const DialogTemplate kStart = PageTemplate(266, 160, kStartItems);

// Analysis type: each radio button with its description below it. The descriptions are set at initialisation.
const DialogItemTemplate kAnalysisTypeItems[] = {
    {WC_BUTTON, "Quick Analysis", 1215, kRadio | WS_GROUP, 0, 14, 6, 150, 10},
    {WC_STATIC, "to be filled later", 1216, kVisible, 0, 26, 17, 300, 34},
    {WC_BUTTON, "Lumped Analysis", 1012, kRadio, 0, 14, 55, 150, 10},
    {WC_STATIC, "to be filled later", 1014, kVisible, 0, 26, 66, 300, 50},
    {WC_BUTTON, "Distributed Analysis", 1013, kRadio, 0, 14, 120, 150, 10},
    {WC_STATIC, "to be filled later", 1015, kVisible, 0, 26, 131, 300, 34},
};
const DialogTemplate kAnalysisType = PageTemplate(330, 170, kAnalysisTypeItems);

const DialogItemTemplate kAnalysisSettingsItems[] = {
    {WC_BUTTON, "Easy", 1024, kRadio | WS_GROUP, 0, 14, 10, 150, 10},
    {WC_STATIC, "Use common, pre-configured options", IDC_STATIC, kVisible, 0, 26, 21, 220, 9},
    {WC_BUTTON, "Custom", 1025, kRadio, 0, 14, 40, 150, 10},
    {WC_STATIC, "Let me set all of the detailed options", IDC_STATIC, kVisible, 0, 26, 51, 220, 9},
};
const DialogTemplate kAnalysisSettings = PageTemplate(266, 160, kAnalysisSettingsItems);

const DialogItemTemplate kCustomSettingsItems[] = {
    {WC_BUTTON, "Include all power / ground nets in the analysis", 1025, kCheck, 0, 14, 6, 220, 10},
    {WC_STATIC, "Power / ground nets other than those selected may contribute to decoupling effects.", 1164, kVisible,
     0, 26, 17, 290, 18},
    {WC_BUTTON, "Include capacitor mounting inductance", 1026, kCheck, 0, 14, 40, 220, 10},
    {WC_STATIC, "The inductance of the pads, traces and vias that mount each capacitor may be added to its model.",
     IDC_STATIC, kVisible, 0, 26, 51, 290, 18},
    {WC_BUTTON, "Include inter-plane capacitance", 1027, kCheck, 0, 14, 74, 220, 10},
    {WC_STATIC, "The capacitance between plane layers may be included in lumped analysis as a discrete capacitor.",
     1199, kVisible, 0, 26, 85, 290, 18},
    {WC_BUTTON, "Include low-frequency capacitors", 1029, kCheck, 0, 14, 108, 220, 10},
    {WC_STATIC,
     "Some decoupling capacitors may be connected to their planes by trace routing or other methods that lower "
     "their effective frequencies.",
     1188, kVisible, 0, 26, 119, 290, 18},
    {WC_BUTTON, "Default", 1028, kPush, 0, 266, 144, 50, 14},
};
const DialogTemplate kCustomSettings = PageTemplate(330, 165, kCustomSettingsItems);

const DialogItemTemplate kDebugItems[] = {
    {WC_STATIC,
     "The Brimstead has chosen to run its frequency-domain extractor, because it is faster and for your board/planes, "
     "will generate an accurate analysis. Hower, if you want you can override this choice and run analysis in the "
     "FDTD thime-domain simulator.",
     IDC_STATIC, kVisible, 0, 10, 4, 310, 34},
    {WC_BUTTON, "Force time-domain simulation instead of frequency-domain (runs slower)", 1069, kCheck, 0, 10, 40, 300,
     10},
    {WC_STATIC, "FDTD simulation", 1071, kVisible, 0, 22, 55, 60, 9},
    {WC_EDIT, "", 1070, kTab | WS_BORDER | ES_AUTOHSCROLL, 0, 84, 53, 50, 12},
    {WC_STATIC, "nsec", 1072, kVisible, 0, 138, 55, 20, 9},
    {WC_BUTTON, "Show Railview", 1073, kCheck, 0, 170, 54, 100, 10},
    {WC_BUTTON, "Force passivity", 1075, kCheck, 0, 10, 72, 120, 10},
    {WC_STATIC, "Makes output touchstone models passive and symmetryc", IDC_STATIC, kVisible, 0, 22, 83, 290, 9},
    {WC_BUTTON, "Use interim Touchstone", 1076, kCheck, 0, 10, 96, 120, 10},
    {WC_STATIC, "Some description to be added here", IDC_STATIC, kVisible, 0, 22, 107, 290, 9},
    {WC_BUTTON, "Run only preparation steps and produce log file; skip analysis.", 1185, kCheck, 0, 10, 122, 300, 10},
    {WC_BUTTON, "Exclude stitching via steps", 1218, kCheck, 0, 22, 135, 200, 10},
    {WC_BUTTON, "Default", 1028, kPush, 0, 266, 148, 50, 14},
};
const DialogTemplate kDebug = PageTemplate(330, 166, kDebugItems);

const DialogItemTemplate kTargetImpedanceItems[] = {
    {WC_STATIC, "", 1016, kVisible, 0, 14, 10, 300, 36},
    {WC_STATIC, "If you're not sure how to calculate your target impedance, click the Calculator button.", IDC_STATIC,
     kVisible, 0, 14, 54, 300, 18},
    {WC_STATIC, "Target Z:", IDC_STATIC, kVisible, 0, 14, 84, 40, 9},
    {WC_EDIT, "", 1017, kEdit, 0, 56, 82, 60, 12},
    {WC_STATIC, "mOhms", IDC_STATIC, kVisible, 0, 120, 84, 30, 9},
    {WC_BUTTON, "Calculator...", 1018, kPush, 0, 160, 81, 60, 14},
};
const DialogTemplate kTargetImpedance = PageTemplate(330, 160, kTargetImpedanceItems);

const DialogItemTemplate kFrequencyItems[] = {
    {WC_STATIC, "", 1052, kVisible, 0, 10, 4, 310, 26},
    {WC_STATIC, "Min frequency:", 1054, kVisible, 0, 10, 36, 60, 9},
    {WC_EDIT, "", 1053, kEdit, 0, 72, 34, 60, 12},
    {WC_STATIC, "MHz", 1055, kVisible, 0, 136, 36, 20, 9},
    {WC_STATIC, "Max frequency:", 1057, kVisible, 0, 10, 52, 60, 9},
    {WC_EDIT, "", 1056, kEdit, 0, 72, 50, 60, 12},
    {WC_STATIC, "MHz", 1058, kVisible, 0, 136, 52, 20, 9},
    {WC_STATIC, "", 1059, kVisible, 0, 10, 70, 310, 26},
    {WC_BUTTON, "Adaptive sampling", 1060, kRadio | WS_GROUP, 0, 10, 102, 100, 10},
    {WC_BUTTON, "Logarithmic sampling", 1061, kRadio, 0, 10, 116, 100, 10},
    {WC_BUTTON, "Linear sampling", 1062, kRadio, 0, 10, 130, 100, 10},
    {WC_STATIC, "Number of\nsamples:", 1064, kVisible | WS_GROUP, 0, 126, 101, 122, 18},
    {WC_EDIT, "", 1063, kEdit, 0, 252, 103, 44, 12},
    {WC_STATIC, "Accuracy at resonances:", 1065, kVisible, 0, 126, 124, 100, 9},
    {TRACKBAR_CLASS, "", 1093, kTab | TBS_AUTOTICKS, 0, 126, 135, 110, 14},
    {WC_STATIC, "Low", 1094, kVisible, 0, 128, 151, 20, 9},
    {WC_STATIC, "High", 1095, kVisible, 0, 222, 151, 20, 9},
    {WC_BUTTON, "Default", 1028, kPush, 0, 266, 148, 50, 14},
};
const DialogTemplate kFrequency = PageTemplate(330, 166, kFrequencyItems);

constexpr DWORD kPathEdit = kTab | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY;
const DialogItemTemplate kFinishItems[] = {
    {WC_BUTTON, "Save settings", IDC_STATIC, kGroupBox, 0, 8, 4, 300, 46},
    {WC_BUTTON, "Save settings to file", 1065, kCheck, 0, 16, 16, 120, 10},
    {WC_EDIT, "", 1066, kPathEdit, 0, 16, 30, 220, 12},
    {WC_BUTTON, "Browse...", 1067, kPush, 0, 242, 29, 56, 14},
    {WC_BUTTON, "Output file", IDC_STATIC, kGroupBox, 0, 8, 54, 300, 46},
    {WC_BUTTON, "Auto-generate output file name", 1068, kCheck, 0, 16, 66, 150, 10},
    {WC_EDIT, "", 1069, kPathEdit, 0, 16, 80, 220, 12},
    {WC_BUTTON, "Browse...", 1070, kPush | WS_DISABLED, 0, 242, 79, 56, 14},
    {WC_BUTTON, "Quick Analysis report", 1220, kGroupBox, 0, 8, 104, 300, 60},
    {WC_BUTTON, "Save spreadsheet", 1185, kCheck, 0, 16, 116, 100, 10},
    {WC_BUTTON, "Microsoft Excel (.XLS)", 1211, kRadio | WS_GROUP, 0, 16, 130, 110, 10},
    {WC_BUTTON, "Comma-separated (.CSV)", 1212, kRadio, 0, 140, 130, 110, 10},
    {WC_EDIT, "", 1213, kPathEdit | WS_GROUP, 0, 16, 145, 220, 12},
    {WC_BUTTON, "Browse...", 1214, kPush, 0, 242, 144, 56, 14},
};
const DialogTemplate kFinish = PageTemplate(316, 168, kFinishItems);

// The Target-Z wizard's pages, shown by a property sheet in wizard mode; the caption is the sheet's while the
// page is active.
const DialogItemTemplate kTargetZCurrentItems[] = {
    {WC_STATIC, "Message was too long (> 256) to initialize from .RC file.", 1219, kVisible, 0, 10, 8, 250, 58},
    {WC_STATIC, "Peak transient current: ", IDC_STATIC, kVisible, 0, 10, 76, 90, 9},
    {WC_EDIT, "", 1156, kEdit, 0, 100, 74, 60, 12},
    {WC_STATIC, "A ", IDC_STATIC, kVisible, 0, 164, 76, 15, 9},
};
const DialogTemplate kTargetZCurrent =
    PageTemplate(270, 100, kTargetZCurrentItems, "Target-Z Wizard - Specify Peak Transient Current");

const DialogItemTemplate kTargetZSupplyItems[] = {
    {WC_STATIC,
     "For the power net being analyzed, specify the nominal supply voltage and the maximum percentage ripple allowed "
     "by the ICs. If there are multiple ICs and their ripple values differ, use the smallest one.",
     IDC_STATIC, kVisible, 0, 10, 8, 250, 34},
    {WC_STATIC, "Nominal supply voltage: ", IDC_STATIC, kVisible, 0, 10, 52, 90, 9},
    {WC_EDIT, "", 1153, kEdit, 0, 100, 50, 60, 12},
    {WC_STATIC, "V ", IDC_STATIC, kVisible, 0, 164, 52, 15, 9},
    {WC_STATIC, "Max. percentage ripple: ", IDC_STATIC, kVisible, 0, 10, 70, 90, 9},
    {WC_EDIT, "", 1154, kEdit, 0, 100, 68, 60, 12},
    {WC_STATIC, "% ", IDC_STATIC, kVisible, 0, 164, 70, 15, 9},
};
const DialogTemplate kTargetZSupply =
    PageTemplate(270, 100, kTargetZSupplyItems, "Target-Z Wizard - Specify Supply Voltage and Max Ripple");

const DialogItemTemplate kTargetZFinishItems[] = {
    {WC_STATIC, "Based on the information you entered, your PDN\x92s target impedance is:", IDC_STATIC, kVisible, 0,
     10, 8, 250, 20},
    {WC_STATIC, "Target Z: ", IDC_STATIC, kVisible, 0, 10, 40, 40, 9},
    {WC_EDIT, "", 1155, kPathEdit, 0, 52, 38, 60, 12},
    {WC_STATIC, "mOhms ", IDC_STATIC, kVisible, 0, 116, 40, 30, 9},
};
const DialogTemplate kTargetZFinish = PageTemplate(270, 100, kTargetZFinishItems, "Target-Z Wizard - Finish");

}  // namespace

void RegisterPageTemplates(HINSTANCE module) {
  struct Entry {
    UINT id;
    const DialogTemplate& dialog;
  };
  const Entry entries[] = {{1007, kStart},           {1011, kAnalysisType}, {1014, kAnalysisSettings},
                           {1015, kCustomSettings},  {1026, kDebug},        {1012, kTargetImpedance},
                           {1018, kFrequency},       {1008, kFinish},       {1152, kTargetZCurrent},
                           {1150, kTargetZSupply},   {1151, kTargetZFinish}};
  for (const Entry& entry : entries)
    plat::RegisterDialogTemplate(module, entry.id, entry.dialog);
}

}  // namespace brimwiz
