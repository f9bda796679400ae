// What the grid benchmarks share: the grid library started once per program (the module's handle, a
// desktop of the given size, the cell controls' registration and any other library's, and the start-up,
// which registers the grid window class), a message pump, a grid window of a given size and painting its
// frames.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

namespace gridbench {

// `registerMore` is another grid library's registration call (made before the start-up), or null.
inline void StartGridLibrary(const char* module, int width, int height, void (*registerMore)() = nullptr) {
  static bool started = false;
  if (started) return;
  started = true;
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle(module));
  plat::Desktop::Configure(width, height);
  GXRegisterCellControls();
  if (registerMore) registerMore();
  InitGridLibrary();
}

inline void Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

// A visible top-level grid window of rows x cols, initialised from its style; `Grid` is CGXGridWnd or a class
// derived from it.
template <class Grid = CGXGridWnd>
std::unique_ptr<Grid> OpenGrid(int width, int height, ROWCOL rows, ROWCOL cols, DWORD style = 0) {
  auto g = std::make_unique<Grid>();
  g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE | style, 0, 0, width, height, nullptr, nullptr);
  g->InitializeFromStyle();
  g->SetRowCount(rows, 0);
  g->SetColCount(cols, 0);
  return g;
}

// One whole-window frame per iteration (invalidated and painted) of a page that must show rows x cols cells;
// the cell count goes into the report.
inline void PaintFrames(benchmark::State& state, CGXGridWnd& g, ROWCOL rows, ROWCOL cols) {
  if (g.GetLastVisibleRow() < rows || g.GetLastVisibleCol() < cols) state.SkipWithError("the page does not show every cell");
  for (auto _ : state) {
    InvalidateRect(g, nullptr, FALSE);
    UpdateWindow(g);
  }
  state.counters["cells"] = static_cast<double>(rows * cols);
}

// The process's resident memory, in MB.
inline double ResidentMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace gridbench
