// The module's static objects and exported factories. Only the factories are visible outside the library.
#include "brimstead/BrimsteadApp.h"
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BrimsteadExports.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "brimstead/ModuleInitOrder.h"
#include "platform/base/CDWordArray.h"

namespace {
// The module has always kept an empty array of 32-bit values as its first static object; nothing fills it.
CDWordArray g_emptyArray __attribute__((init_priority(BRIM_INIT_ORDER_ARRAY)));
// The one application object.
CBrimsteadApp theApp __attribute__((init_priority(BRIM_INIT_ORDER_APP)));
}  // namespace

CBrimsteadApp& TheBrimsteadApp() { return theApp; }

void ReleaseModuleObjects() {
  // What the module made for the host cannot be used once its code is gone: the four interface objects (with any
  // wizard the host left open) and the current record are freed rather than left behind unreachable.
  CBrimsteadAPI::Destroy();
  CBypassWizardAPI::Destroy();
  CDiffViaModelWizardAPI::Destroy();
  CModelExtractorWizardAPI::Destroy();
  SetCurrentAnalysisData(nullptr);
}

CBrimsteadAPITable* CreateBrimstead() { return CBrimsteadAPI::Create(); }
CBypassWizardAPITable* CreateBypassWizard() { return CBypassWizardAPI::Create(); }
CDiffViaModelWizardAPITable* CreateViaModelWizard() { return CDiffViaModelWizardAPI::Create(); }
CModelExtractorWizardAPITable* CreateModelExtractorWizard() { return CModelExtractorWizardAPI::Create(); }
