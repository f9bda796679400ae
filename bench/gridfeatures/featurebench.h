// The start of the editing features' benchmarks: the grid library with its cells and features (the shared
// grid start-up) and message boxes answered OK.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/GridBench.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
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

// The grid's undo and redo lists emptied (between timed operations).
inline void EmptyUndo(CGXGridCore* g) {
  g->GetParam()->EmptyRedoList();
  CObList& undo = g->GetParam()->GetUndoList();
  while (!undo.IsEmpty()) delete undo.RemoveHead();
}

// The counters of an operation over `values` values each iteration: per_value, the time per value, and the items.
inline void PerValue(benchmark::State& state, int64_t values) {
  state.counters["per_value"] = benchmark::Counter(
      static_cast<double>(values), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations() * values);
}

}  // namespace featurebench
