// Records exchanged with the cross-section field solver and its working model.
//
// Lengths are metres, the y axis runs down the layer stack (layer 1 on top), matrices are row-major
// single-precision floats. The layouts of FieldSolverLayer and FieldSolverTrace are fixed (36 and 28
// bytes) because callers fill them field by field and the cache key mirrors them word for word.
#pragma once

#include <cstdint>
#include <vector>

// Result codes shared by every solver entry point and step.
enum FieldSolverCode : int {
    FS_OUTPUT_TOO_SMALL = -1,      // the caller's arrays hold fewer conductors than the result
    FS_OK = 0,
    FS_OUT_OF_MEMORY = 1,
    FS_NO_SIGNAL_CONDUCTOR = 2,
    FS_SINGULAR = 3,
    FS_BAD_EXTENT = 3,             // the clearance is too small for the traces' extent (shares code 3)
    FS_NOT_POSITIVE = 4,
    FS_NO_CONVERGENCE = 5,
    FS_NO_SOLVER = 6,
    FS_NO_LAYERS = 9,
    FS_NO_TRACES = 10,
    FS_BAD_LAYER = 11,
    FS_BAD_TRACE = 12,
    FS_TRACES_OVERLAP = 13,
    FS_TRACE_ON_DIELECTRIC = 14,   // a trace placed in a dielectric layer (it used to vanish silently)
    FS_BAD_CONDUCTOR_NUMBER = 15,
    FS_NO_REFERENCE = 16,
    FS_CANCELLED = 17,
    FS_CACHE_LIMIT = 18,
    FS_CACHE_FILE = 19,
    FS_CACHE_INCONSISTENT = 20,
    FS_RESULT_FILE = 23,
    FS_INPUT_FILE = 24,
    FS_BUSY = 25,
};

enum FieldSolverLayerType : std::int32_t {
    FS_LAYER_ROUTING = 0,
    FS_LAYER_PLANE = 1,
    FS_LAYER_DIELECTRIC = 2,   // any other value is treated as dielectric too
};

struct FieldSolverLayer {
    float Thickness;
    float DielConstant;
    std::int32_t LayerType;
    std::int32_t fillsNeighbours;
    float resistivity;
    float propertyA;   // loss tangent
    float propertyB;   // conductivity, S/m
    float propertyC;   // roughness of the lower face, m
    float propertyD;   // roughness of the upper face, m
};
static_assert(sizeof(FieldSolverLayer) == 36);

struct FieldSolverTrace {
    std::int32_t LayerIndex;   // counted from 1
    float Center;
    float TopWidth;
    float BottomWidth;
    float LeftXtoPlane;
    float RightXtoPlane;
    std::int32_t conductor;    // 0 return conductor, 1..N signal conductors
};
static_assert(sizeof(FieldSolverTrace) == 28);

struct FieldSolverInput {
    std::int32_t layerCount = 0;
    const FieldSolverLayer* layers = nullptr;
    std::int32_t traceCount = 0;
    const FieldSolverTrace* traces = nullptr;
    float LeftEdgeX = 0.0f;
    float RightEdgeX = 0.0f;
    float SpaceDielConstant = 1.0f;
    float spacePropertyA = 0.0f;
    float spacePropertyB = 0.0f;
};

// Every array field points at N x N floats (speeds: N) supplied by the caller, or, when the record
// owns its arrays, into `storage`.
struct FieldSolverOutput {
    std::int32_t conductorCount = 0;
    std::int32_t modeCount = 1;
    float* capacitance = nullptr;
    float* inductance = nullptr;
    float* speeds = nullptr;
    float* modesToTraces = nullptr;
    float* tracesToModes = nullptr;
    float* impedance = nullptr;
    float* equivalentResistors = nullptr;
    float* dcResistance = nullptr;
    float* extraMatrixA = nullptr;
    float* extraMatrixB = nullptr;
    float* extraMatrixC = nullptr;
    float* extraMatrixD = nullptr;
    std::int32_t status = 0;
    float* storage = nullptr;
};

// An output record that owns its arrays in one block of (11 N + 1) x N floats.
class OwnedOutput {
public:
    OwnedOutput() = default;
    ~OwnedOutput() { Release(); }
    OwnedOutput(const OwnedOutput&) = delete;
    OwnedOutput& operator=(const OwnedOutput&) = delete;

    // Releases what is held and sizes the block for n conductors; n < 1 leaves it empty and succeeds.
    bool Size(int n);
    void Release();
    // Succeeds only when this record's block can hold the source's N.
    bool CopyFrom(const FieldSolverOutput& source);

    FieldSolverOutput& Record() { return record_; }
    const FieldSolverOutput& Record() const { return record_; }
    int Capacity() const { return capacity_; }

private:
    FieldSolverOutput record_;
    int capacity_ = 0;
};

// Number of floats in an owned block for n conductors.
inline std::size_t OwnedOutputFloats(int n) { return (11u * std::size_t(n) + 1u) * std::size_t(n); }

// Copies every array of an N-conductor record; the optional matrices only when both sides have them.
void CopyOutputArrays(const FieldSolverOutput& from, FieldSolverOutput& to, int n);

// The solver's working copy of the input, with arrays of its own.
struct FieldSolverModel {
    std::vector<FieldSolverLayer> layers;
    std::vector<FieldSolverTrace> traces;
    float LeftEdgeX = 0.0f;
    float RightEdgeX = 0.0f;
    float SpaceDielConstant = 1.0f;
    float spacePropertyA = 0.0f;
    float spacePropertyB = 0.0f;
    std::int32_t accuracyLevel = 1;
    std::uint8_t boardEdgesUsed = 0;
    std::uint8_t lossesEnabled = 0;
    std::uint8_t extraLossEnabled = 0;

    int layerCount() const { return int(layers.size()); }
    int traceCount() const { return int(traces.size()); }
};

// The layer type as the solver sees it: anything but routing or plane counts as dielectric.
inline int EffectiveLayerType(std::int32_t type)
{
    return (type == FS_LAYER_ROUTING || type == FS_LAYER_PLANE) ? type : FS_LAYER_DIELECTRIC;
}
inline bool IsPlane(const FieldSolverLayer& layer) { return layer.LayerType == FS_LAYER_PLANE; }
inline bool IsDielectric(const FieldSolverLayer& layer) { return EffectiveLayerType(layer.LayerType) == FS_LAYER_DIELECTRIC; }
