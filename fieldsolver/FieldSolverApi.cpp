#include "fieldsolver/FieldSolverApi.h"

#include "fieldsolver/FieldSolver.h"
#include "fieldsolver/ModelOperations.h"

#include <cstring>
#include <memory>
#include <new>
#include <span>

namespace {

std::unique_ptr<FieldSolver> g_solver;
std::unique_ptr<SmartCache> g_cache;

// The cache's keys (and its file) hold no dielectric tolerance, yet the tolerance decides which
// dielectrics merge and whether mode speeds count as equal; nor do they tell a lossy solve from a
// lossless one, a dielectric's conductivity, or which loss matrices the caller asked for. The cache
// therefore serves, and keeps, only lossless solves at the tolerance FieldSolverInit sets.
constexpr float kCachedTolerance = 0.01f;

// Clears the busy flag and releases the working model on every return path of a solve.
class SolveScope {
public:
    explicit SolveScope(FieldSolver& s) : solver_(s) { solver_.busy = 1; }
    ~SolveScope()
    {
        solver_.busy = 0;
        ResetModel(solver_.model);
    }
    SolveScope(const SolveScope&) = delete;
    SolveScope& operator=(const SolveScope&) = delete;

private:
    FieldSolver& solver_;
};

} // namespace

FieldSolver* FieldSolverInstance() { return g_solver.get(); }
SmartCache* FieldSolverCacheInstance() { return g_cache.get(); }

int FieldSolverInit()
{
    if (g_solver) {
        if (g_solver->busy)
            return FS_BUSY;
        g_solver.reset();
    }
    g_cache.reset();
    g_solver.reset(new (std::nothrow) FieldSolver());
    if (!g_solver)
        return FS_NO_SOLVER;
    g_solver->accuracyLevel = 1;
    g_solver->finiteBoard = 0;
    g_solver->dielectricTolerance = kCachedTolerance;
    g_solver->lossesEnabled = 0;
    g_solver->extraLossEnabled = 0;
    g_cache.reset(new (std::nothrow) SmartCache());
    if (!g_cache)
        return FS_NO_SOLVER;
    SmartCacheSettings settings;   // off, 8192 entries, 2 MiB, least recently used, 1..50 traces, no file
    g_cache->SetSettings(settings);
    if (settings.fileName[0] == '\0')
        return FS_OK;
    return FieldSolverOpenCache(settings.fileName);
}

int FieldSolverOpenCache(const char* fileName)
{
    if (!g_cache)
        return FS_NO_SOLVER;
    if (fileName && g_cache->Load(fileName) && g_cache->CheckConsistency())
        return FS_OK;
    g_cache->Clear();
    return FS_CACHE_FILE;
}

int FieldSolverClose()
{
    if (g_solver) {
        if (g_solver->busy)
            return FS_BUSY;
        g_solver.reset();
    }
    if (!g_cache)
        return FS_OK;
    if (!g_cache->FileName().empty()) {
        if (!g_cache->CheckConsistency()) {
            g_cache->Clear();
            return FS_CACHE_INCONSISTENT;
        }
        if (!g_cache->Save(g_cache->FileName())) {
            g_cache.reset();
            return FS_CACHE_FILE;   // the old file, if any, is left as it was
        }
    }
    g_cache.reset();
    return FS_OK;
}

int FieldSolverCompute(const FieldSolverInput& input, FieldSolverOutput& output)
{
    return FieldSolverSolve(input, output, 0);
}

int FieldSolverSolve(const FieldSolverInput& input, FieldSolverOutput& output, std::uint8_t skipCache)
{
    // 1-2.
    if (!g_solver)
        return FS_NO_SOLVER;
    FieldSolver& solver = *g_solver;
    if (solver.busy)
        return FS_BUSY;
    solver.stage = 0;
    solver.progress = 0.0f;
    solver.cancelRequested = 0;
    SolveScope scope(solver);
    // 3. Extent of the caller's cross-section.
    const std::span<const FieldSolverLayer> layers(input.layers, input.layers && input.layerCount > 0 ? std::size_t(input.layerCount) : 0);
    const std::span<const FieldSolverTrace> traces(input.traces, input.traces && input.traceCount > 0 ? std::size_t(input.traceCount) : 0);
    if (solver.CheckExtent(layers, traces, input.LeftEdgeX, input.RightEdgeX) != FS_OK)
        return FS_BAD_EXTENT;
    // 4. Working model; an allocation failure leaves it empty and the region builder reports it.
    const bool built = BuildModel(solver.model, input, solver.accuracyLevel, solver.boardEdgesUsed, solver.lossesEnabled,
                                  solver.extraLossEnabled, solver.removedThickness);
    // 5. Cache.
    const bool cacheable = g_cache && solver.dielectricTolerance == kCachedTolerance && !solver.lossesEnabled;
    // A model the region builder would refuse must not find the entry of a valid one whose key it
    // rounds to (a permittivity of 0.9999, a width of -1e-12): it is validated before the lookup.
    if (built && !skipCache && cacheable) {
        if (const int refused = solver.ValidateModel())
            return refused;
    }
    if (built && !skipCache && cacheable && g_cache->Lookup(solver.model, output)) {
        // A key measures lengths against the cross-section's own width and rounds resistivities, so a scaled copy
        // of the stored cross-section finds its entry: the fields per metre are the same, the DC resistance is
        // not. It comes from the caller's input, as after a solve.
        if (output.status == FS_OK)
            FieldSolver::ComputeDcResistance(input, solver.boardEdgesUsed, output);
        solver.modeCharges.Release();
        solver.work = solver.EstimateWork(input);
        solver.stage = 4;
        return output.status;
    }
    // 6. Regions. Running out of memory while building the model is reported as such, not as a
    //    missing layer stack.
    int code = built ? solver.BuildRegions() : FS_OUT_OF_MEMORY;
    if (code != FS_OK)
        return code;
    // 7. Mesh.
    if (solver.BuildMesh() == 0)
        return FS_OUT_OF_MEMORY;
    solver.work = solver.EstimateWork(input);
    // 8. Boundary-element solve and modal analysis.
    solver.SetLossFlags();
    code = solver.SolveCrossSection(output, true);
    // 9. DC resistance from the caller's input.
    FieldSolver::ComputeDcResistance(input, solver.boardEdgesUsed, output);
    // 10-11.
    solver.stage = 4;
    if (code == FS_OK && g_cache) {
        if (cacheable)
            g_cache->Store(solver.model, output);
        if (g_cache->Recorder().Recording())
            g_cache->Recorder().Record(input, output);
    }
    return code;
}

int FieldSolverGetSettings(FieldSolverSettings& settings)
{
    if (!g_solver)
        return FS_NO_SOLVER;
    settings.accuracyLevel = g_solver->accuracyLevel;
    settings.finiteBoard = g_solver->finiteBoard;
    settings.lossesEnabled = g_solver->lossesEnabled;
    settings.extraLossEnabled = g_solver->extraLossEnabled;
    settings.dielectricTolerance = g_solver->dielectricTolerance;
    return FS_OK;
}

int FieldSolverSetSettings(const FieldSolverSettings& settings)
{
    if (!g_solver)
        return FS_NO_SOLVER;
    if (g_solver->busy)
        return FS_BUSY;
    // Level 8 already means 2048 segments per unit of the budget; beyond it the dense solve is hopeless.
    if (settings.accuracyLevel < 0 || settings.accuracyLevel > 8 || !(settings.dielectricTolerance > 0.0f)
        || !(settings.dielectricTolerance < 1.0f))
        return FS_BAD_SETTINGS;
    g_solver->accuracyLevel = settings.accuracyLevel;
    g_solver->finiteBoard = settings.finiteBoard ? 1 : 0;
    g_solver->lossesEnabled = settings.lossesEnabled ? 1 : 0;
    g_solver->extraLossEnabled = settings.extraLossEnabled ? 1 : 0;
    g_solver->dielectricTolerance = settings.dielectricTolerance;
    return FS_OK;
}

int FieldSolverGetCacheSettings(SmartCacheSettings& settings)
{
    if (!g_cache)
        return FS_NO_SOLVER;
    settings = g_cache->GetSettings();
    return FS_OK;
}

int FieldSolverSetCacheSettings(const SmartCacheSettings& settings)
{
    if (!g_cache)
        return FS_NO_SOLVER;
    if (g_solver && g_solver->busy)
        return FS_BUSY;
    return g_cache->SetSettings(settings);
}
