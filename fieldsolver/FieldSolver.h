// The cross-section solver object: settings, the derived geometry of one solve, the mesh regions,
// the boundary segments and the solve state.
//
// Call flow of one solve (driven by FieldSolverSolve in FieldSolverApi.cpp):
//   CheckExtent(input)            extent, clearance, outer limits, minimum length   (FieldSolverChecks.cpp)
//   BuildModel                    trimmed working copy                               (ModelOperations.cpp)
//   BuildRegions                  validation, outlines, interfaces, dielectric stack (RegionBuilder.cpp)
//   BuildMesh                     budget, grading, segmenters, corners, materials    (SegmentMesh.cpp)
//   SetLossFlags, SolveCrossSection  assembly, LU, charge sums, losses               (BoundarySolve.cpp)
//     ModalAnalysis               speeds, mode vectors, impedances                   (ModalAnalysis.cpp)
//   ComputeDcResistance(input)                                                        (FieldSolverChecks.cpp)
#pragma once

#include "fieldsolver/DielectricStack.h"
#include "fieldsolver/FieldSolverRecords.h"
#include "fieldsolver/GradingFunction.h"
#include "fieldsolver/MeshTypes.h"

#include <cstdint>
#include <span>
#include <vector>

class FieldSolver;
using FieldSolverProgressCallback = bool (*)(FieldSolver* solver);

// Charges and conductor potentials of each propagation mode, kept from the last solve.
struct ModeChargeStore {
    int modes = 0;
    std::vector<std::vector<float>> segmentCharges;
    std::vector<std::vector<float>> regionPotentials;

    bool Allocate(int modeCount, int segmentCount, int regionCount);
    void Release();
};

struct WorkEstimate {
    long long assembly = 0;
    long long vacuumSolve = 0;
    long long dielectricSolve = 0;
};

class FieldSolver {
public:
    // Settings.
    std::int32_t accuracyLevel = 1;
    std::uint8_t lossesEnabled = 0;
    std::uint8_t extraLossEnabled = 0;
    std::uint8_t finiteBoard = 0;
    float dielectricTolerance = 0.01f;
    std::uint8_t addFarReference = 0;

    // Derived per solve.
    std::uint8_t boardEdgesUsed = 0;
    float extentLeft = 0, extentRight = 0;   // traces' extent (xmin - 2h .. xmax + 2h)
    float clearance = 0;                     // h
    float widenedLeft = 0, widenedRight = 0; // extent plus 10 h on each side
    float outerLeft = 0, outerRight = 0;     // limits for planes and the space
    float minLength = 0;
    float removedThickness = 0;
    std::uint8_t busy = 0;

    // Working model and geometry.
    FieldSolverModel model;
    std::vector<MeshRegion> regions;
    int referenceConductor = 0;
    std::vector<float> layerY;
    float viewBox[4] = {0, 0, 0, 0};
    DielectricStack stack;

    // Mesh.
    std::vector<BoundarySegment> segments;
    GradingFunction conductorGrading;
    GradingFunction interfaceGrading;
    double logScale = 0.0;
    WorkEstimate work;

    // Solve state.
    std::uint8_t computeResistance = 0;
    std::uint8_t computeLossTangentConductance = 0;
    std::uint8_t computeConductivityConductance = 0;
    int stage = 0;
    float progress = 0.0f;
    std::uint8_t callbacksEnabled = 1;
    FieldSolverProgressCallback progressCallback = nullptr;
    std::uint8_t cancelRequested = 0;
    ModeChargeStore modeCharges;

    // Extent check over a layer stack and traces; 0 or 3. Sets the derived geometry above.
    int CheckExtent(std::span<const FieldSolverLayer> layers, std::span<const FieldSolverTrace> traces,
                    float leftEdgeX, float rightEdgeX);
    // Validation of the working model, in the order of its codes (before the regions are built).
    int ValidateModel();
    // Validation, regions, interfaces, dielectric stack, view box. 0 or a validation code.
    int BuildRegions();
    // Segments of every region; returns the segment count, 0 when out of memory.
    int BuildMesh();
    WorkEstimate EstimateWork(const FieldSolverInput& input) const;
    void SetLossFlags();
    int SolveCrossSection(FieldSolverOutput& output, bool keepModeCharges);
    bool PollProgress();
    void SetStage(int s) { stage = s; }
    void SetCancelRequested(bool cancel) { cancelRequested = cancel ? 1 : 0; }
    bool CancelRequested() const { return cancelRequested != 0; }
    static void ComputeDcResistance(const FieldSolverInput& input, bool boardEdgesUsed, FieldSolverOutput& output);

    // Helpers shared by the mesh and the solve.
    bool IsReference(const MeshRegion& r) const { return r.conductor == referenceConductor; }
    int SignalConductorCount() const;
    // Re-samples the loss values of every segment: loss values, or conductivity x 17.975103.
    void SampleSegmentMaterials(bool conductivity);

private:
    // Mesh internals (SegmentMesh.cpp).
    int RegionCorners(const MeshRegion& r) const;
    double RegionPerimeter(const MeshRegion& r) const;
    int GradedCount(const GradingFunction& g, Vec2 a, Vec2 b) const;
    int PlannedGradedCount(const MeshRegion& r) const;
    void Append(BoundarySegment s, int side);
    void AppendUniformRun(Vec2 from, Vec2 to, int pieces, int side);
    void AppendGradedRun(const GradingFunction& g, Vec2 from, Vec2 to, int pieces, int side);
    int SegmentOutline(MeshRegion& r);
    int SegmentCircle(MeshRegion& r);
    int SegmentHorizontal(MeshRegion& r);
    int SegmentVertical(MeshRegion& r);
    int SegmentSingle(MeshRegion& r);
    bool MakeJunction(Vec2 end, Vec2 thirdDir, double maxHalfLength, double& removed);
    void SampleSegment(BoundarySegment& s, int side, bool conductivity) const;

    // Region builder internals (RegionBuilder.cpp).
    void CutInterfaces();
};

// Speeds, mode transformations, impedance and equivalent resistors from C' and L' in the solve's
// internal units (C x 1e10, L x 1e7). 0, 1, 3, 4 or 5.
int ModalAnalysis(FieldSolverOutput& output, int n, double tolerance);
