// Tab control ("SysTabControl32"): a row of tabs above a display area. A click or Left/Right on another
// tab asks the parent first (WM_NOTIFY TCN_SELCHANGING; a non-zero answer keeps the current tab), then
// selects it and reports TCN_SELCHANGE. TCM_SETCURSEL selects without notifying.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterTabControlClass();

}  // namespace plat::controls
