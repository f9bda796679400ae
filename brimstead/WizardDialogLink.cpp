#include "brimstead/WizardDialogLink.h"

namespace {
WizardDialogFactory g_factory = nullptr;
}  // namespace

WizardDialogFactory GetWizardDialogFactory() { return g_factory; }
void RegisterWizardDialogFactory(WizardDialogFactory factory) { g_factory = factory; }
