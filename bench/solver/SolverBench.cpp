// A full solve (regions, mesh, assembly, LU, modes; the cache skipped) of every canonical
// cross-section at each accuracy level, with the relative error against its closed form reported
// beside the time.
#include "fieldsolver/FieldSolverApi.h"
#include "fieldsolver/tests/CanonicalCases.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void SolveCase(benchmark::State& state, const canonical::Case& c, int level)
{
    FieldSolverInit();
    FieldSolverSettings settings;
    FieldSolverGetSettings(settings);
    settings.accuracyLevel = level;
    FieldSolverSetSettings(settings);
    const FieldSolverInput input = c.section.Input();
    canonical::OutputRoom out(c.section.Conductors());
    int code = 0;
    for (auto _ : state) {
        out.output.conductorCount = out.n;
        code = FieldSolverSolve(input, out.output, 1);
        benchmark::DoNotOptimize(out.output.inductance[0]);
    }
    state.counters["error_pct"] = code == 0 ? 100.0 * canonical::CaseError(c, out) : -1.0;
    state.counters["level"] = level;
    FieldSolverClose();
}

struct Registrar {
    Registrar()
    {
        for (const canonical::Case& c : canonical::AllCases())
            for (int level = 0; level <= 3; ++level) {
                char name[128];
                std::snprintf(name, sizeof name, "Solve/%s/L%d", c.name.c_str(), level);
                benchmark::RegisterBenchmark(name, [c, level](benchmark::State& s) { SolveCase(s, c, level); })
                    ->Unit(benchmark::kMillisecond);
            }
    }
} registrar;

} // namespace
