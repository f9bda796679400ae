#include "brimstead/WizardSeam.h"

namespace {
CBrimsteadAPILink* g_brimstead = nullptr;
CBypassWizardAPILink* g_bypass = nullptr;
CDiffViaModelWizardAPILink* g_diffVia = nullptr;
CModelExtractorWizardAPILink* g_extractor = nullptr;
}  // namespace

CBrimsteadAPILink* GetBrimsteadAPI() { return g_brimstead; }
CBypassWizardAPILink* GetBypassWizardAPI() { return g_bypass; }
CDiffViaModelWizardAPILink* GetDiffViaModelWizardAPI() { return g_diffVia; }
CModelExtractorWizardAPILink* GetModelExtractorWizardAPI() { return g_extractor; }

void RegisterBrimsteadAPI(CBrimsteadAPILink* api) { g_brimstead = api; }
void RegisterBypassWizardAPI(CBypassWizardAPILink* api) { g_bypass = api; }
void RegisterDiffViaModelWizardAPI(CDiffViaModelWizardAPILink* api) { g_diffVia = api; }
void RegisterModelExtractorWizardAPI(CModelExtractorWizardAPILink* api) { g_extractor = api; }
