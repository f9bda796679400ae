// Progress bar ("msctls_progress32"): a range, a position and a step; drawn as classic blocks (or one
// smooth bar with PBS_SMOOTH) in the highlight colour. Messages answer the previous position as the
// classic control does.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

void RegisterProgressClass();

}  // namespace plat::controls
