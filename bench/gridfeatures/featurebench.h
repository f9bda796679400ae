// The start of the editing features' benchmarks: the grid library with its cells and features (the shared
// grid start-up) and message boxes answered OK.
#pragma once

#include "bench/GridBench.h"
#include "grid/features/gxfeatures.h"
#include "platform/framework/ControlCodes.h"
#include "platform/window/AutomationProvider.h"

namespace featurebench {

inline void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  static plat::ScriptedAutomation automation;
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
  plat::SetAutomationProvider(&automation);
  gridbench::StartGridLibrary("gridfeatures-bench", 1024, 768, GXRegisterEditingFeatures);
}

using gridbench::Pump;

}  // namespace featurebench
