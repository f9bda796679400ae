// Geometry checks before the regions are built, the validation codes, the DC resistance matrix and
// the small state services of the solver object.
#include "fieldsolver/FieldSolver.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr double kNoReference = 1e10;

struct Box {
    double left, right, top, bottom;
};

bool ValidLayerIndex(const FieldSolverTrace& t, std::size_t layerCount)
{
    return t.LayerIndex >= 1 && std::size_t(t.LayerIndex) <= layerCount;
}

Box TraceBox(const FieldSolverTrace& t, std::span<const FieldSolverLayer> layers)
{
    double top = 0.0, thickness = 0.0;
    if (ValidLayerIndex(t, layers.size())) {
        for (int k = 0; k + 1 < t.LayerIndex; ++k)
            top += layers[std::size_t(k)].Thickness;
        thickness = layers[std::size_t(t.LayerIndex - 1)].Thickness;
    }
    double half = 0.5 * std::max(t.TopWidth, t.BottomWidth);
    if (t.TopWidth == 0.0f && t.BottomWidth == 0.0f)
        half = 0.5 * thickness;   // round wire: its diameter is the layer's thickness
    return Box{double(t.Center) - half, double(t.Center) + half, top, top + thickness};
}

double BoxGap(const Box& a, const Box& b)
{
    const double gx = std::max(0.0, std::max(a.left - b.right, b.left - a.right));
    const double gy = std::max(0.0, std::max(a.top - b.bottom, b.top - a.bottom));
    return std::sqrt(gx * gx + gy * gy);
}

bool Finite(float v) { return std::isfinite(v); }

} // namespace

int FieldSolver::CheckExtent(std::span<const FieldSolverLayer> layers, std::span<const FieldSolverTrace> traces,
                             float leftEdgeX, float rightEdgeX)
{
    // 1. Extent of the signal traces.
    double xmin = kNoReference, xmax = -kNoReference;
    for (const auto& t : traces) {
        if (t.conductor == 0)
            continue;
        const Box b = TraceBox(t, layers);
        xmin = std::min(xmin, b.left);
        xmax = std::max(xmax, b.right);
    }
    // 2-3. Clearance: the largest over the signal traces of their nearest reference distance.
    double h = 0.0;
    for (const auto& t : traces) {
        if (t.conductor == 0)
            continue;
        double d = kNoReference;
        const Box b = TraceBox(t, layers);
        if (ValidLayerIndex(t, layers.size())) {
            const int k = t.LayerIndex - 1;
            if (IsPlane(layers[std::size_t(k)]))
                d = std::min(d, double(std::min(t.LeftXtoPlane, t.RightXtoPlane)));
            const double halfHeight = 0.5 * (b.bottom - b.top);
            double between = 0.0;
            for (int i = k - 1; i >= 0; --i) {
                if (IsPlane(layers[std::size_t(i)])) {
                    d = std::min(d, halfHeight + between);
                    break;
                }
                between += layers[std::size_t(i)].Thickness;
            }
            between = 0.0;
            for (int i = k + 1; i < int(layers.size()); ++i) {
                if (IsPlane(layers[std::size_t(i)])) {
                    d = std::min(d, halfHeight + between);
                    break;
                }
                between += layers[std::size_t(i)].Thickness;
            }
        }
        for (const auto& r : traces)
            if (r.conductor == 0)
                d = std::min(d, BoxGap(b, TraceBox(r, layers)));
        h = std::max(h, d);
    }
    if (h == kNoReference) {
        double total = 0.0;
        for (const auto& l : layers)
            total += l.Thickness;
        h = std::max(xmax - xmin, total);
    }
    // 4. The extent and its aspect test.
    const double left = xmin - 2.0 * h, right = xmax + 2.0 * h;
    const double width = right - left;
    clearance = float(h);
    extentLeft = float(left);
    extentRight = float(right);
    if (1000.0 * h < width || !std::isfinite(width))
        return FS_BAD_EXTENT;
    // 5. Widened span and the board edges.
    widenedLeft = float(left - 10.0 * h);
    widenedRight = float(right + 10.0 * h);
    boardEdgesUsed = finiteBoard;
    if (leftEdgeX < widenedLeft && rightEdgeX > widenedRight)
        boardEdgesUsed = 0;
    // 6-7. Outer limits and the minimum length of the mesh.
    outerLeft = float(widenedLeft - 200.0 * h);
    outerRight = float(widenedRight + 200.0 * h);
    minLength = float(std::min(0.001 * width, 2.54e-6));
    return FS_OK;
}

int FieldSolver::ValidateModel()
{
    const int r = CheckExtent(model.layers, model.traces, model.LeftEdgeX, model.RightEdgeX);
    if (r != FS_OK)
        return r;
    if (model.layerCount() < 1)
        return FS_NO_LAYERS;
    if (model.traceCount() < 1)
        return FS_NO_TRACES;
    for (const auto& l : model.layers)
        if (!(l.Thickness >= 0.0f) || !(l.DielConstant >= 1.0f) || !Finite(l.Thickness))
            return FS_BAD_LAYER;
    // Trace checks; a layer index outside the stack is a bad trace rather than an out-of-range read.
    for (const auto& t : model.traces)
        if (!(t.TopWidth >= 0.0f) || !(t.BottomWidth >= 0.0f) || !Finite(t.Center) || !Finite(t.TopWidth)
            || !Finite(t.BottomWidth) || !ValidLayerIndex(t, model.layers.size()))
            return FS_BAD_TRACE;
    for (const auto& t : model.traces)
        if (IsDielectric(model.layers[std::size_t(t.LayerIndex - 1)]))
            return FS_TRACE_ON_DIELECTRIC;
    const int m = model.traceCount();
    int highest = 0;
    for (const auto& t : model.traces) {
        if (t.conductor < 0 || t.conductor > m)
            return FS_BAD_CONDUCTOR_NUMBER;
        highest = std::max(highest, int(t.conductor));
    }
    for (int c = 1; c <= highest; ++c)
        if (std::none_of(model.traces.begin(), model.traces.end(), [c](const FieldSolverTrace& t) { return t.conductor == c; }))
            return FS_BAD_CONDUCTOR_NUMBER;
    for (int i = 0; i < m; ++i)
        for (int j = i + 1; j < m; ++j) {
            const auto& a = model.traces[std::size_t(i)];
            const auto& b = model.traces[std::size_t(j)];
            if (a.LayerIndex != b.LayerIndex)
                continue;
            const double ha = 0.5 * std::max(a.TopWidth, a.BottomWidth), hb = 0.5 * std::max(b.TopWidth, b.BottomWidth);
            const double gap1 = (double(b.Center) - hb) - (double(a.Center) + ha);
            const double gap2 = (double(a.Center) - ha) - (double(b.Center) + hb);
            if (gap1 <= minLength && gap2 <= minLength)
                return FS_TRACES_OVERLAP;
        }
    return FS_OK;
}

void FieldSolver::ComputeDcResistance(const FieldSolverInput& input, bool boardEdgesUsed, FieldSolverOutput& output)
{
    const int n = output.conductorCount;
    if (!output.dcResistance || n < 1)
        return;
    float* r = output.dcResistance;
    std::fill(r, r + std::size_t(n) * n, 0.0f);
    const int layerCount = input.layers ? input.layerCount : 0;
    const int traceCount = input.traces ? input.traceCount : 0;
    auto layerOf = [&](const FieldSolverTrace& t) -> const FieldSolverLayer* {
        return (t.LayerIndex >= 1 && t.LayerIndex <= layerCount) ? &input.layers[t.LayerIndex - 1] : nullptr;
    };
    auto area = [&](const FieldSolverTrace& t, const FieldSolverLayer& l) {
        if (t.TopWidth == 0.0f && t.BottomWidth == 0.0f)
            return double(l.Thickness) * l.Thickness * 0.7853982;
        return (double(t.TopWidth) + t.BottomWidth) * l.Thickness * 0.5;
    };
    // 2. Each signal conductor: its traces' conductances in parallel. A trace that counts as 0 ohms
    //    (no resistivity or no area) shorts the conductor.
    std::vector<double> conductance(std::size_t(n), 0.0);
    std::vector<bool> shorted(std::size_t(n), false), seen(std::size_t(n), false);
    for (int i = 0; i < traceCount; ++i) {
        const FieldSolverTrace& t = input.traces[i];
        if (t.conductor < 1 || t.conductor > n)
            continue;
        const FieldSolverLayer* l = layerOf(t);
        if (!l)
            continue;
        const std::size_t c = std::size_t(t.conductor - 1);
        seen[c] = true;
        const double a = area(t, *l);
        if (l->resistivity >= 0.0f && a != 0.0 && l->resistivity != 0.0f)
            conductance[c] += a / l->resistivity;
        else
            shorted[c] = true;
    }
    for (int c = 0; c < n; ++c)
        if (seen[std::size_t(c)] && !shorted[std::size_t(c)] && conductance[std::size_t(c)] > 0.0)
            r[std::size_t(c) * n + c] = float(1.0 / conductance[std::size_t(c)]);
    // 3. An unbounded plane, or a plane without resistivity, adds no return resistance.
    for (int k = 0; k < layerCount; ++k) {
        if (!IsPlane(input.layers[k]))
            continue;
        if (!boardEdgesUsed || input.layers[k].resistivity == 0.0f)
            return;
    }
    // 4. Return conductance: return traces (a perfect one is skipped) and the planes across the board.
    double g = 0.0;
    for (int i = 0; i < traceCount; ++i) {
        const FieldSolverTrace& t = input.traces[i];
        if (t.conductor != 0)
            continue;
        const FieldSolverLayer* l = layerOf(t);
        if (!l || !(l->resistivity > 0.0f))
            continue;
        g += area(t, *l) / l->resistivity;
    }
    for (int k = 0; k < layerCount; ++k) {
        const FieldSolverLayer& l = input.layers[k];
        if (IsPlane(l) && l.resistivity > 0.0f)
            g += (double(input.RightEdgeX) - input.LeftEdgeX) * l.Thickness / l.resistivity;
    }
    // 5. The return resistance is common to every pair.
    if (g != 0.0) {
        const float add = float(1.0 / g);
        for (std::size_t i = 0; i < std::size_t(n) * n; ++i)
            r[i] += add;
    }
}

bool ModeChargeStore::Allocate(int modeCount, int segmentCount, int regionCount)
{
    Release();
    if (modeCount < 1 || segmentCount < 1 || regionCount < 1)
        return false;
    try {
        segmentCharges.assign(std::size_t(modeCount), std::vector<float>(std::size_t(segmentCount), 0.0f));
        regionPotentials.assign(std::size_t(modeCount), std::vector<float>(std::size_t(regionCount), 0.0f));
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
    modes = modeCount;
    return true;
}

void ModeChargeStore::Release()
{
    modes = 0;
    segmentCharges.clear();
    regionPotentials.clear();
}

bool FieldSolver::PollProgress()
{
    if (!callbacksEnabled)
        return false;
    if (progressCallback)
        cancelRequested = progressCallback(this) ? 1 : 0;
    if (cancelRequested) {
        cancelRequested = 0;
        return true;
    }
    return false;
}

int FieldSolver::SignalConductorCount() const
{
    int highest = 0;
    for (const auto& r : regions)
        highest = std::max(highest, int(r.conductor));
    return highest - 1;
}
