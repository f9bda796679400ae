// The module's exported factories, as a host declares them. Each takes no argument and answers the module's
// object; the four wizard objects and the models helper belong to the module and are never deleted by the host,
// the model editor's, the groups dialog's and the capacitor models dialog's objects are deleted through their Delete operations.
#pragma once

#include "brimstead/WizardAPITables.h"
#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/capacitors/CapacitorModelsAPITable.h"
#include "brimstead/models/editor/CapacitorModelEditorAPITable.h"
#include "brimstead/models/groups/DecouplingGroupsAPITable.h"

#define BRIM_EXPORT extern "C" __attribute__((visibility("default")))

BRIM_EXPORT CBrimsteadAPITable* CreateBrimstead();
BRIM_EXPORT CBypassWizardAPITable* CreateBypassWizard();
BRIM_EXPORT CDiffViaModelWizardAPITable* CreateViaModelWizard();
BRIM_EXPORT CModelExtractorWizardAPITable* CreateModelExtractorWizard();
BRIM_EXPORT CCapacitorModelEditorAPITable* CreateCapacitorModelEditorDialog();
BRIM_EXPORT CDecouplingGroupsAPITable* CreateDecouplingGroupsDialog();
BRIM_EXPORT CCapacitorModelsAPITable* CreateCapacitorModelsDialog();

// The factories' types, for a host that finds them by name in the loaded library.
using CreateBrimsteadFn = CBrimsteadAPITable* (*)();
using CreateBypassWizardFn = CBypassWizardAPITable* (*)();
using CreateViaModelWizardFn = CDiffViaModelWizardAPITable* (*)();
using CreateModelExtractorWizardFn = CModelExtractorWizardAPITable* (*)();
using GetDecouplingModelsHelperFn = CDecouplingModelsHelper* (*)();
using CreateCapacitorModelEditorDialogFn = CCapacitorModelEditorAPITable* (*)();
using CreateDecouplingGroupsDialogFn = CDecouplingGroupsAPITable* (*)();
using CreateCapacitorModelsDialogFn = CCapacitorModelsAPITable* (*)();
