// The decoupling groups dialog's resources: template 1179, registered under the module's handle with the
// wizard resources (which hold the expand buttons' bitmaps).
#pragma once

#include "platform/window/windowapi.h"

namespace groupsdlg {

enum : UINT {
  IDD_DECOUPLING_GROUPS = 1179,
};

// Registers the template and the wizard resources (idempotent).
void RegisterGroupsDialogResources();

}  // namespace groupsdlg
