// The heap a grid's cells take: one column of 1,000,000 rows made and filled through the grid as a user's
// values reach it, with the bytes in use (the allocator's own count, chunk overhead included) before and
// after; the rows' own entries in the store count with their cells.
// Counters: bytes per cell for plain numbers, short texts and cells with their own font, interior and
// text colour; the time is that of the fill.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <memory>

#include "bench/GridBench.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXStyle.h"

namespace {

constexpr ROWCOL kRows = 1000000;

enum class Fill { numbers, texts, styled };

std::size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_BytesPerCell(benchmark::State& state, Fill fill) {
  gridbench::StartGridLibrary("gridmodel-bench", 1024, 768);
  double perCell = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto g = gridbench::OpenGrid(800, 600, 0, 1);
    g->GetParam()->m_bUndoEnabled = FALSE;
    gridbench::Pump();
    malloc_trim(0);
    const std::size_t before = HeapInUse();
    state.ResumeTiming();
    g->SetRowCount(kRows, 0);
    char text[32];
    CGXStyle styled;
    styled.SetFont(CGXFont().SetBold(TRUE)).SetInteriorColor(RGB(255, 255, 192)).SetTextColor(RGB(0, 0, 128));
    for (ROWCOL r = 1; r <= kRows; ++r) {
      switch (fill) {
        case Fill::numbers:
          std::snprintf(text, sizeof text, "%u.%02u", r * 7 % 100000, r % 100);
          g->SetCellValue(r, 1, text, 0);
          break;
        case Fill::texts:
          std::snprintf(text, sizeof text, "VDD_%02u", r % 100);
          g->SetCellValue(r, 1, text, 0);
          break;
        case Fill::styled:
          std::snprintf(text, sizeof text, "%u", r);
          styled.SetValue(text);
          g->SetStyleRange(CGXRange(r, 1), styled, gxOverride, 0, 0);
          break;
      }
    }
    state.PauseTiming();
    const std::size_t after = HeapInUse();
    perCell = static_cast<double>(after - before) / kRows;
    g->DestroyWindow();
    g.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_per_cell"] = perCell;
  state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK_CAPTURE(BM_BytesPerCell, numbers, Fill::numbers)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BytesPerCell, short_texts, Fill::texts)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BytesPerCell, styled, Fill::styled)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
