// The wizards' resources: dialog templates and texts, registered in the resource table under the module's
// handle, and the scope that makes the module's resources and application object current while the module's
// windows run (a modeless wizard's messages arrive through the host's loop, outside any call into the module).
#pragma once

#include "platform/framework/CWinApp.h"
#include "platform/window/windowapi.h"

#include <optional>

namespace brimwiz {

// Template and control ids of the wizard frame.
enum : int {
  IDD_WIZARD_DIALOG = 1000,
  IDD_WIZ_FRAME = 22345,
  IDD_WIZ_CTLBAR = 22349,
  IDD_WIZ_TABCTRL = 22350,
  IDD_WIZ_TITLEBAR = 22352,
  IDC_WIZ_FINISH = 22345,
  IDC_WIZ_HELP = 22346,
  IDC_WIZ_NEXT = 22347,
  IDC_WIZ_BACK = 22348,
  IDC_WIZ_TITLE = 22353,
  IDC_WIZ_DESCRIPTION = 22354,
  IDC_WIZ_SCROLLBAR = 22355,
  IDC_WIZ_IMAGE = 22356,
  IDC_WIZ_SAVE = 22357,
  IDC_WIZ_STEPS = 22358,
};

// The module's resource handle.
HINSTANCE ModuleResources();
// Registers every wizard resource under the module's handle (idempotent).
void RegisterWizardResources();

// While alive: the module's resources are searched first and the module's application object is the current
// one (message-box captions, the class library's prompts). Restores both at the end.
class CModuleScope {
public:
  CModuleScope();
  ~CModuleScope();
  CModuleScope(const CModuleScope&) = delete;
  CModuleScope& operator=(const CModuleScope&) = delete;

private:
  HINSTANCE m_hPreviousResources;
  std::optional<plat::AppScope> m_App;
};

}  // namespace brimwiz
