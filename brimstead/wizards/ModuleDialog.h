// CModuleDialog: a child dialog of the module's wizard frame. Every message it handles runs under the module's
// scope (its resources first, its application object current), as the module's windows must when the host's
// loop calls them.
#pragma once

#include "platform/framework/CDialog.h"

namespace brimwiz {

// The key of a message that a child dialog of the wizard keeps for itself although its controls share the
// wizard's one tab order: Enter (VK_RETURN) or Escape (VK_ESCAPE) pressed inside `dialog`, unless the focused
// control takes the key itself or Enter falls on a push button (which the dialog manager clicks); 0 otherwise.
WPARAM OwnEnterOrEscape(HWND dialog, const MSG* msg);

class CModuleDialog : public CDialog {
public:
  using CDialog::CDialog;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A part of the wizard frame answers Enter and Escape inside it with its own OnOK and OnCancel.
  BOOL PreTranslateMessage(MSG* msg) override;
};

}  // namespace brimwiz
