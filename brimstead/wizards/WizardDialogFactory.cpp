// The wizard dialogs' factory as the module registers it at load.
//
// Nothing else in the module refers to this file, so the module library names its factory to the linker
// (brimstead/CMakeLists.txt) to pull it out of the window library; the test copy of the library leaves it out, so
// that its stand-in dialogs are the registered ones. The registration is constructed with its place in the load
// order (ModuleInitOrder.h): after the application object, before every unprioritised object, and destroyed after
// the library entry has destroyed the wizard windows the host left open. The dialog templates it registers point
// into the module's code, so they leave the resource table with the factory.
#include "brimstead/ModuleInitOrder.h"
#include "brimstead/WizardDialogLink.h"
#include "brimstead/wizards/BrimsteadDlg.h"
#include "brimstead/wizards/WizardResources.h"
#include "platform/base/ResourceTable.h"

extern "C" CWizardDialogLink* BrimMakeWizardDialog(int kind, HWND parent) {
  brimwiz::RegisterWizardResources();
  return MakeWizardDialog(kind, parent);
}

namespace {
class CWizardDialogRegistration {
public:
  CWizardDialogRegistration() { RegisterWizardDialogFactory(&BrimMakeWizardDialog); }
  ~CWizardDialogRegistration() {
    if (GetWizardDialogFactory() == &BrimMakeWizardDialog)
      RegisterWizardDialogFactory(nullptr);
    plat::ResourceTable::RemoveModule(brimwiz::ModuleResources());
  }
  CWizardDialogRegistration(const CWizardDialogRegistration&) = delete;
  CWizardDialogRegistration& operator=(const CWizardDialogRegistration&) = delete;
};

CWizardDialogRegistration g_registration __attribute__((init_priority(BRIM_INIT_ORDER_WIZARD_DIALOGS)));
}  // namespace
