// The decoupling groups dialog's resources: template 1179 and the expand buttons' bitmaps 1139 (a collapsed
// group) and 1140 (an expanded group), registered under the module's handle.
#pragma once

#include "platform/window/windowapi.h"

namespace groupsdlg {

enum : UINT {
  IDD_DECOUPLING_GROUPS = 1179,
  IDB_GROUP_COLLAPSED = 1139,
  IDB_GROUP_EXPANDED = 1140,
};

// Registers the template and the bitmaps (idempotent).
void RegisterGroupsDialogResources();

}  // namespace groupsdlg
