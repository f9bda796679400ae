// The covered-cell pool: a window's cells looked up among many small covered ranges (as a repaint asks),
// and one large range entered and removed (as a layout with a large covered range is read and changed).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "grid/features/CGXSpanCellPoolImp.h"

namespace {

POSITION Position(std::uintptr_t n) { return reinterpret_cast<POSITION>(n * 16); }

// Arg: the rows of 2 x 3 ranges, five to a row band, one band of two rows free between two covered ones.
void BM_CoveredLookupsOverAWindow(benchmark::State& state) {
  const auto rows = static_cast<ROWCOL>(state.range(0));
  CGXCoveredCellPool pool;
  std::uintptr_t n = 0;
  for (ROWCOL r = 1; r + 1 <= rows; r += 4)
    for (ROWCOL c = 1; c <= 25; c += 6) pool.SetRange(r, c, r + 1, c + 2, Position(++n));
  ROWCOL top = 1;
  std::int64_t found = 0;
  for (auto _ : state) {
    // A window of 40 rows x 30 columns, a page further down each time.
    for (ROWCOL r = top; r < top + 40; ++r)
      for (ROWCOL c = 1; c <= 30; ++c) found += pool.Lookup(r, c) != nullptr;
    top = top + 40 < rows ? top + 40 : 1;
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(state.iterations() * 40 * 30);
}
BENCHMARK(BM_CoveredLookupsOverAWindow)->Arg(1000)->Arg(100000);

// Arg: the side of a square range; each iteration enters it, narrows it to half and removes it.
void BM_LargeCoveredRange(benchmark::State& state) {
  const auto side = static_cast<ROWCOL>(state.range(0));
  CGXCoveredCellPool pool;
  for (auto _ : state) {
    if (!pool.SetRange(1, 1, side, side, Position(1)) || !pool.SetRange(1, 1, side, side / 2, Position(1)) ||
        !pool.SetRange(1, 1, side, side / 2, nullptr))
      state.SkipWithError("the range was not entered");
  }
  state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_LargeCoveredRange)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
