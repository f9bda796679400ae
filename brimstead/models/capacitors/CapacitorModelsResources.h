// The capacitor models dialog's resources: template 1037, registered under the module's handle with the wizard
// resources (which hold the expand buttons' bitmaps).
#pragma once

#include "platform/window/windowapi.h"

namespace capmodels {

enum : UINT { IDD_CAPACITOR_MODELS = 1037 };

// Registers the template and the wizard resources (idempotent).
void RegisterCapacitorModelsResources();

}  // namespace capmodels
