// The module's exported factories, as a host declares them. Each takes no argument and answers the module's
// object; the four wizard objects and the models helper belong to the module and are never deleted by the host.
#pragma once

#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "brimstead/models/DecouplingModelsHelper.h"

#define BRIM_EXPORT extern "C" __attribute__((visibility("default")))

BRIM_EXPORT CBrimsteadAPI* CreateBrimstead();
BRIM_EXPORT CBypassWizardAPI* CreateBypassWizard();
BRIM_EXPORT CDiffViaModelWizardAPI* CreateViaModelWizard();
BRIM_EXPORT CModelExtractorWizardAPI* CreateModelExtractorWizard();

// The factories' types, for a host that finds them by name in the loaded library.
using CreateBrimsteadFn = CBrimsteadAPI* (*)();
using CreateBypassWizardFn = CBypassWizardAPI* (*)();
using CreateViaModelWizardFn = CDiffViaModelWizardAPI* (*)();
using CreateModelExtractorWizardFn = CModelExtractorWizardAPI* (*)();
using GetDecouplingModelsHelperFn = CDecouplingModelsHelper* (*)();
