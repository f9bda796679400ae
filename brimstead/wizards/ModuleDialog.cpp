#include "brimstead/wizards/ModuleDialog.h"

#include "brimstead/wizards/WizardResources.h"

namespace brimwiz {

LRESULT CModuleDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CModuleScope scope;
  return CDialog::WindowProc(message, wParam, lParam);
}

}  // namespace brimwiz
