// The module's static objects and exported factories. Only the factories are visible outside the library.
#include "brimstead/BrimsteadApp.h"
#include "brimstead/BrimsteadExports.h"
#include "brimstead/ModuleInitOrder.h"
#include "platform/base/CDWordArray.h"

namespace {
// The module has always kept an empty array of 32-bit values as its first static object; nothing fills it.
CDWordArray g_emptyArray __attribute__((init_priority(BRIM_INIT_ORDER_ARRAY)));
// The one application object.
CBrimsteadApp theApp __attribute__((init_priority(BRIM_INIT_ORDER_APP)));
}  // namespace

CBrimsteadApp& TheBrimsteadApp() { return theApp; }

CBrimsteadAPI* CreateBrimstead() { return CBrimsteadAPI::Create(); }
CBypassWizardAPI* CreateBypassWizard() { return CBypassWizardAPI::Create(); }
CDiffViaModelWizardAPI* CreateViaModelWizard() { return CDiffViaModelWizardAPI::Create(); }
CModelExtractorWizardAPI* CreateModelExtractorWizard() { return CModelExtractorWizardAPI::Create(); }
