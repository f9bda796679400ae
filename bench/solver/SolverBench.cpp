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

// A cache hit on n traces side by side over a plane, each its own conductor: the lookup (key, translation of the
// stored matrices) and the DC resistance of the caller's cross-section.
void CacheHit(benchmark::State& state)
{
    const int n = int(state.range(0));
    const float mil = 2.54e-5f;
    canonical::CrossSection cs;
    cs.layers = {canonical::Layer(0.0f, FS_LAYER_ROUTING), canonical::Layer(4 * mil, FS_LAYER_DIELECTRIC, 4.0f),
                 canonical::Layer(mil, FS_LAYER_PLANE)};
    cs.layers[0].resistivity = cs.layers[2].resistivity = 1.7e-8f;
    for (int i = 0; i < n; ++i)
        cs.traces.push_back(canonical::Trace(1, float(i) * 12 * mil, 4 * mil, i + 1));
    FieldSolverInit();
    SmartCacheSettings cache;
    FieldSolverGetCacheSettings(cache);
    cache.enabled = 1;
    FieldSolverSetCacheSettings(cache);
    const FieldSolverInput input = cs.Input();
    canonical::OutputRoom out(n);
    const int code = FieldSolverCompute(input, out.output);
    for (auto _ : state) {
        out.output.conductorCount = out.n;
        benchmark::DoNotOptimize(FieldSolverCompute(input, out.output));
        benchmark::DoNotOptimize(out.output.dcResistance[0]);
    }
    FieldSolverGetCacheSettings(cache);
    state.counters["hits"] = cache.hits;
    state.counters["first_code"] = code;
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
        benchmark::RegisterBenchmark("CacheHit", CacheHit)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);
    }
} registrar;

} // namespace
