#include "brimstead/wizards/WizardResources.h"

#include "brimstead/ModuleApp.h"
#include "brimstead/wizards/CWizardGridWnd.h"
#include "brimstead/wizards/PageTemplates.h"
#include "platform/base/ResourceTable.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/DialogTemplate.h"

namespace brimwiz {
namespace {

// Every part of the frame joins the wizard's one tab order (page, step list, button bar).
constexpr DWORD kChildFrame = DS_SETFONT | DS_CONTROL | WS_CHILD;

const DialogTemplate kWizardDialog{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                   0, 0, 0, 471, 246, "Dialog", "MS Shell Dlg", 8, {}};

const DialogTemplate kFrame{kChildFrame | WS_VISIBLE, 0, 0, 0, 491, 276, "", "MS Sans Serif", 8, {}};

const DialogItemTemplate kTitleBarItems[] = {
    {WC_STATIC, "Static", IDC_WIZ_TITLE, WS_VISIBLE, 0, 7, 4, 293, 9},
    {WC_EDIT, "", IDC_WIZ_DESCRIPTION, WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, 17, 15, 284, 27},
    {WC_STATIC, "", IDC_WIZ_IMAGE, SS_BLACKFRAME, 0, 310, 2, 38, 37},
};
const DialogTemplate kTitleBar{kChildFrame, WS_EX_CLIENTEDGE, 0, 0, 349, 42, "", "MS Sans Serif", 8, kTitleBarItems};

constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
const DialogItemTemplate kButtonBarItems[] = {
    {WC_BUTTON, "Help", IDC_WIZ_HELP, WS_VISIBLE | kButton, 0, 305, 1, 50, 15},
    {WC_BUTTON, "Cancel", IDCANCEL, WS_VISIBLE | kButton, 0, 250, 1, 50, 15},
    {WC_BUTTON, "Finish", IDC_WIZ_FINISH, WS_VISIBLE | kButton, 0, 195, 1, 50, 15},
    {WC_BUTTON, "Next >", IDC_WIZ_NEXT, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 145, 1, 50, 15},
    {WC_BUTTON, "< Back", IDC_WIZ_BACK, kButton, 0, 95, 1, 50, 15},
    {WC_BUTTON, "Save", IDC_WIZ_SAVE, kButton, 0, 5, 1, 50, 15},
};
const DialogTemplate kButtonBar{kChildFrame | WS_VISIBLE | WS_BORDER, WS_EX_STATICEDGE, 0, 0, 360, 18, "",
                                "MS Sans Serif", 8, kButtonBarItems};

const DialogTemplate kStepList{kChildFrame | WS_VISIBLE, 0, 0, 0, 418, 208, "", "MS Sans Serif", 8, {}};

}  // namespace

HINSTANCE ModuleResources() {
  static const HINSTANCE module = plat::ResourceTable::ModuleHandle("brimstead");
  return module;
}

void RegisterWizardResources() {
  const HINSTANCE m = ModuleResources();
  plat::RegisterDialogTemplate(m, IDD_WIZARD_DIALOG, kWizardDialog);
  plat::RegisterDialogTemplate(m, IDD_WIZ_FRAME, kFrame);
  plat::RegisterDialogTemplate(m, IDD_WIZ_TITLEBAR, kTitleBar);
  plat::RegisterDialogTemplate(m, IDD_WIZ_CTLBAR, kButtonBar);
  plat::RegisterDialogTemplate(m, IDD_WIZ_TABCTRL, kStepList);
  RegisterGridCellBitmaps();
  plat::ResourceTable::AddString(m, AFX_IDS_APP_TITLE, "Brimstead");
  RegisterPageTemplates(m);
  RegisterProbePageTemplates(m);
  RegisterViaPageTemplates(m);
}

CModuleScope::CModuleScope() : m_hPreviousResources(AfxGetResourceHandle()) {
  AfxSetResourceHandle(ModuleResources());
  if (CModuleApp* app = GetModuleApp())
    m_App.emplace(app);
}

CModuleScope::~CModuleScope() {
  m_App.reset();
  AfxSetResourceHandle(m_hPreviousResources);
}

}  // namespace brimwiz
