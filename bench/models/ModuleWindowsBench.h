// What the benchmarks of the module's dialogs share: the grid library started as the module starts it, the
// module's resources registered, and every message box answered with OK.
#pragma once

#include "brimstead/wizards/WizardResources.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/gxlayoutresources.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/window/AutomationProvider.h"

namespace modelsbench {

inline void StartModuleWindows() {
  static bool done = false;
  if (done) return;
  done = true;
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("module-windows-bench"));
  plat::Desktop::Configure(1024, 768);
  GXRegisterCellControls();
  GXRegisterEditingFeatures();
  gx::RegisterGridLayouts();
  InitGridLibrary();
  CGXGridWnd::RegisterClass(AfxGetInstanceHandle());
  brimwiz::RegisterWizardResources();
  static plat::ScriptedAutomation answers;
  answers.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  plat::SetAutomationProvider(&answers);
}

}  // namespace modelsbench
