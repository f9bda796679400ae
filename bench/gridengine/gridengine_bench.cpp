// The grid engine on large sparse grids: open, scroll a page, jump to the end, repaint. Each is measured
// at 10,000, 100,000 and 1,000,000 rows of 100 columns with a value in every 1000th row; the cost must not
// grow with the row count. The same repaint and page scroll with 0, 10,000 and 1,000,000 hidden rows in
// view must not grow with the hidden count either.
#include <benchmark/benchmark.h>

#include "bench/GridBench.h"

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridWnd.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/window/Pump.h"

namespace {

void Setup() { gridbench::StartGridLibrary("gridengine-bench", 1024, 768); }

std::unique_ptr<CGXGridWnd> Open(ROWCOL rows) {
  Setup();
  auto g = std::make_unique<CGXGridWnd>();
  g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 800, 600, nullptr, nullptr);
  g->InitializeFromStyle();
  g->SetRowCount(rows, 0);
  g->SetColCount(100, 0);
  for (ROWCOL r = 1; r <= rows; r += 1000) g->SetCellValue(r, 1 + r % 100, "value", 0);
  g->RedrawAll(GX_UPDATENOW);
  gridbench::Pump();
  return g;
}

void BM_Open(benchmark::State& state) {
  const auto rows = static_cast<ROWCOL>(state.range(0));
  for (auto _ : state) {
    auto g = Open(rows);
    benchmark::DoNotOptimize(g->GetTopRow());
    g->DestroyWindow();
  }
}

void BM_ScrollPage(benchmark::State& state) {
  auto g = Open(static_cast<ROWCOL>(state.range(0)));
  for (auto _ : state) {
    SendMessage(*g, WM_VSCROLL, SB_PAGEDOWN, 0);
    gridbench::Pump();
    if (g->GetTopRow() > 5000) SendMessage(*g, WM_VSCROLL, SB_TOP, 0);
  }
  g->DestroyWindow();
}

void BM_JumpToEnd(benchmark::State& state) {
  auto g = Open(static_cast<ROWCOL>(state.range(0)));
  for (auto _ : state) {
    SendMessage(*g, WM_VSCROLL, SB_BOTTOM, 0);
    gridbench::Pump();
    SendMessage(*g, WM_VSCROLL, SB_TOP, 0);
    gridbench::Pump();
  }
  g->DestroyWindow();
}

void BM_Repaint(benchmark::State& state) {
  auto g = Open(static_cast<ROWCOL>(state.range(0)));
  g->SetTopRow(g->GetRowCount() / 2, 0);
  for (auto _ : state) {
    InvalidateRect(*g, nullptr, FALSE);
    UpdateWindow(*g);
  }
  g->DestroyWindow();
}

// The same repaint through the memory bitmap.
void BM_RepaintBuffered(benchmark::State& state) {
  auto g = Open(static_cast<ROWCOL>(state.range(0)));
  g->SetTopRow(g->GetRowCount() / 2, 0);
  g->SetBufferedDrawing(1);
  for (auto _ : state) {
    InvalidateRect(*g, nullptr, FALSE);
    UpdateWindow(*g);
  }
  g->DestroyWindow();
}

// A store that marks cells as changed, as a computing store does.
struct MarkedData : CGXData {
  BOOL IsCellChanged(ROWCOL r, ROWCOL c) const override { return changed.count({r, c}) != 0; }
  void SetCellChanged(ROWCOL r, ROWCOL c, BOOL on) override {
    if (on)
      changed.insert({r, c});
    else
      changed.erase({r, c});
  }
  std::set<std::pair<ROWCOL, ROWCOL>> changed;
};

// One changed cell in the middle of the window repainted in changed-cells mode, buffered.
void BM_RedrawChangedCell(benchmark::State& state) {
  auto g = Open(static_cast<ROWCOL>(state.range(0)));
  auto* data = new MarkedData;
  data->InitParam(g->GetParam());
  g->GetParam()->SetData(data, TRUE);
  g->SetRowCount(static_cast<ROWCOL>(state.range(0)), 0);
  g->SetColCount(100, 0);
  g->SetTopRow(g->GetRowCount() / 2, 0);
  g->SetBufferedDrawing(1);
  g->RedrawAll(GX_UPDATENOW);
  const ROWCOL row = g->GetTopRow() + 10;
  for (auto _ : state) {
    data->changed.insert({row, 3});
    g->RedrawChangedCells();
  }
  g->DestroyWindow();
}

// Rows first..last hidden (one block), answered in constant time so that only the engine's cost shows.
struct HiddenBlock : CGXGridHideCellsImp {
  HiddenBlock(ROWCOL f, ROWCOL l) : first(f), last(l) {}
  BOOL IsRowHidden(CGXGridCore*, ROWCOL row) override { return row >= first && row <= last; }
  ROWCOL NextShownRow(CGXGridCore*, ROWCOL row) override { return row >= first && row <= last ? last + 1 : row; }
  ROWCOL PrevShownRow(CGXGridCore*, ROWCOL row) override { return row >= first && row <= last ? first - 1 : row; }
  ROWCOL first, last;
};

// A grid of 10,000 shown rows with a block of hidden rows (the argument) starting at row 10, inside the
// first page, with a value in every cell of the hidden block's first and last 100 rows.
std::unique_ptr<CGXGridWnd> OpenWithHiddenRows(ROWCOL hidden) {
  auto g = Open(10000 + hidden);
  for (ROWCOL r = 10; r < 110 && r < 10 + hidden; ++r) g->SetCellValue(r, 2, "hidden", 0);
  for (ROWCOL r = 10 + hidden - std::min<ROWCOL>(hidden, 100); r < 10 + hidden; ++r) g->SetCellValue(r, 2, "hidden", 0);
  if (hidden) g->SetFeature(new HiddenBlock(10, 10 + hidden - 1));
  g->SetTopRow(1, 0);
  g->RedrawAll(GX_UPDATENOW);
  gridbench::Pump();
  return g;
}

// The whole window repainted at the top, the hidden block in view.
void BM_RepaintHiddenRows(benchmark::State& state) {
  auto g = OpenWithHiddenRows(static_cast<ROWCOL>(state.range(0)));
  for (auto _ : state) {
    InvalidateRect(*g, nullptr, FALSE);
    UpdateWindow(*g);
  }
  g->DestroyWindow();
}

// A page down past the hidden block and back up to the top, each painted.
void BM_ScrollPageHiddenRows(benchmark::State& state) {
  auto g = OpenWithHiddenRows(static_cast<ROWCOL>(state.range(0)));
  for (auto _ : state) {
    SendMessage(*g, WM_VSCROLL, SB_PAGEDOWN, 0);
    gridbench::Pump();
    SendMessage(*g, WM_VSCROLL, SB_PAGEUP, 0);
    gridbench::Pump();
  }
  g->DestroyWindow();
}

}  // namespace

BENCHMARK(BM_Open)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollPage)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JumpToEnd)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Repaint)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintBuffered)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawChangedCell)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintHiddenRows)->Arg(0)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScrollPageHiddenRows)->Arg(0)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
