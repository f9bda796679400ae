// CModuleDialog: a child dialog of the module's wizard frame. Every message it handles runs under the module's
// scope (its resources first, its application object current), as the module's windows must when the host's
// loop calls them.
#pragma once

#include "platform/framework/CDialog.h"

namespace brimwiz {

class CModuleDialog : public CDialog {
public:
  using CDialog::CDialog;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace brimwiz
