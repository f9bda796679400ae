// The field solver's entry points: five plain functions over the process-wide solver and cache,
// plus the setters through which a caller other than the module chooses levels, losses and caching.
//
//   FieldSolverInit -> [FieldSolverSetSettings] -> FieldSolverCompute ... -> FieldSolverClose
//
// Every function returns a small code (FieldSolverCode); none throws. The solver is not re-entrant:
// a call that arrives while a solve runs (from a progress callback, say) gets FS_BUSY.
#pragma once

#include "fieldsolver/FieldSolverRecords.h"
#include "fieldsolver/SmartCache.h"

#include <cstdint>

struct FieldSolverSettings {
    std::int32_t accuracyLevel = 1;
    std::uint8_t finiteBoard = 0;
    std::uint8_t lossesEnabled = 0;
    std::uint8_t extraLossEnabled = 0;
    float dielectricTolerance = 0.01f;
};

int FieldSolverInit();
int FieldSolverCompute(const FieldSolverInput& input, FieldSolverOutput& output);
int FieldSolverSolve(const FieldSolverInput& input, FieldSolverOutput& output, std::uint8_t skipCache);
int FieldSolverOpenCache(const char* fileName);
int FieldSolverClose();

// Settings of the solver object: FS_NO_SOLVER before FieldSolverInit, FS_BUSY during a solve, and
// FS_BAD_SETTINGS for an accuracy level outside 0..8 or a tolerance outside (0, 1) (nothing changes).
inline constexpr int FS_BAD_SETTINGS = 26;
int FieldSolverGetSettings(FieldSolverSettings& settings);
int FieldSolverSetSettings(const FieldSolverSettings& settings);
// Cache settings: the cache's own result (0, or 18 when a limit cannot be applied).
int FieldSolverGetCacheSettings(SmartCacheSettings& settings);
int FieldSolverSetCacheSettings(const SmartCacheSettings& settings);

// The process-wide objects, for tests and tools that look inside (null before FieldSolverInit).
class FieldSolver* FieldSolverInstance();
SmartCache* FieldSolverCacheInstance();
