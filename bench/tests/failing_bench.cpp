// A benchmark program whose second benchmark reports an error, as one whose check of what it measures failed: the
// benchmark main runs the third too, then ends with status 1 naming the second (BenchMain.ErrorFailsTheProgram).
#include <benchmark/benchmark.h>

namespace {

void Count(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(state.iterations());
}

void BM_Before(benchmark::State& state) { Count(state); }
BENCHMARK(BM_Before);

void BM_Fails(benchmark::State& state) {
  state.SkipWithError("the check of what it measured failed");
  Count(state);
}
BENCHMARK(BM_Fails);

void BM_After(benchmark::State& state) { Count(state); }
BENCHMARK(BM_After);

}  // namespace
