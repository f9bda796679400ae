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

// A material value that must be a number of at least zero (resistivity, loss tangent, conductivity,
// roughness).
bool NonNegative(float v) { return v >= 0.0f && Finite(v); }

bool LayerValuesValid(const FieldSolverLayer& l)
{
    return l.Thickness >= 0.0f && Finite(l.Thickness) && l.DielConstant >= 1.0f && Finite(l.DielConstant)
           && NonNegative(l.resistivity) && NonNegative(l.propertyA) && NonNegative(l.propertyB) && NonNegative(l.propertyC)
           && NonNegative(l.propertyD);
}

bool IsRoundWire(const FieldSolverTrace& t) { return t.TopWidth == 0.0f && t.BottomWidth == 0.0f; }

// Half the span a trace takes across its layer: a round wire's diameter is its layer's thickness.
double HalfSpan(const FieldSolverTrace& t, std::span<const FieldSolverLayer> layers)
{
    if (IsRoundWire(t))
        return 0.5 * layers[std::size_t(t.LayerIndex - 1)].Thickness;
    return 0.5 * std::max(t.TopWidth, t.BottomWidth);
}

// Half the width of the trace's face on its layer's top (or bottom) boundary; a round wire meets
// the boundary in one point.
double HalfFace(const FieldSolverTrace& t, const FieldSolverLayer& layer, bool top)
{
    if (IsRoundWire(t))
        return 0.0;
    if (layer.Thickness == 0.0f)
        return 0.5 * std::max(t.TopWidth, t.BottomWidth);
    return 0.5 * (top ? t.TopWidth : t.BottomWidth);
}

// Thickness of the layers strictly between two layer indices (0-based, a < b).
double Between(std::span<const FieldSolverLayer> layers, int a, int b)
{
    double sum = 0.0;
    for (int k = a + 1; k < b; ++k)
        sum += layers[std::size_t(k)].Thickness;
    return sum;
}

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
    // A board whose edges are not numbers, or whose left edge is not left of its right one, has no
    // extent to take into account (it used to lose its planes and come back as "no return conductor").
    if (boardEdgesUsed && (std::isnan(leftEdgeX) || std::isnan(rightEdgeX) || !(leftEdgeX < rightEdgeX)))
        return FS_BAD_EXTENT;
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
    // Every value a layer holds must be a usable number: an infinite permittivity or a NaN loss would
    // only come back as a singular system or NaN matrices under a success code. The space outside the
    // stack is a medium like a layer's.
    for (const auto& l : model.layers)
        if (!LayerValuesValid(l))
            return FS_BAD_LAYER;
    if (!(model.SpaceDielConstant >= 1.0f) || !Finite(model.SpaceDielConstant) || !NonNegative(model.spacePropertyA)
        || !NonNegative(model.spacePropertyB))
        return FS_BAD_LAYER;
    // Trace checks; a layer index outside the stack is a bad trace rather than an out-of-range read.
    // A trace in a plane layer needs finite clearances to the plane around it (a NaN one would drop
    // the plane's metal on that side without a word).
    for (const auto& t : model.traces)
        if (!(t.TopWidth >= 0.0f) || !(t.BottomWidth >= 0.0f) || !Finite(t.Center) || !Finite(t.TopWidth)
            || !Finite(t.BottomWidth) || !ValidLayerIndex(t, model.layers.size())
            || (IsPlane(model.layers[std::size_t(t.LayerIndex - 1)]) && (!Finite(t.LeftXtoPlane) || !Finite(t.RightXtoPlane))))
            return FS_BAD_TRACE;
    // On a board of its own width every trace lies on the board, not in the air beyond its edges.
    if (boardEdgesUsed)
        for (const auto& t : model.traces) {
            const double half = HalfSpan(t, model.layers);
            if (double(t.Center) - half < model.LeftEdgeX || double(t.Center) + half > model.RightEdgeX)
                return FS_BAD_TRACE;
        }
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
    // Conductors that overlap or touch. Spans that meet within the minimum length count as touching.
    auto meet = [&](double ca, double ha, double cb, double hb) {
        return (cb - hb) - (ca + ha) <= minLength && (ca - ha) - (cb + hb) <= minLength;
    };
    const std::span<const FieldSolverLayer> layers(model.layers);
    for (int i = 0; i < m; ++i)
        for (int j = i + 1; j < m; ++j) {
            const auto& a = model.traces[std::size_t(i)];
            const auto& b = model.traces[std::size_t(j)];
            if (a.LayerIndex == b.LayerIndex) {
                // In one layer (a round wire spans its diameter).
                if (meet(a.Center, HalfSpan(a, layers), b.Center, HalfSpan(b, layers)))
                    return FS_TRACES_OVERLAP;
                continue;
            }
            // In layers with nothing between them: the lower face of the upper trace lies on the upper
            // face of the lower one.
            const FieldSolverTrace& upper = a.LayerIndex < b.LayerIndex ? a : b;
            const FieldSolverTrace& lower = a.LayerIndex < b.LayerIndex ? b : a;
            const int ku = upper.LayerIndex - 1, kl = lower.LayerIndex - 1;
            if (Between(layers, ku, kl) <= minLength
                && meet(upper.Center, HalfFace(upper, layers[std::size_t(ku)], false), lower.Center,
                        HalfFace(lower, layers[std::size_t(kl)], true)))
                return FS_TRACES_OVERLAP;
        }
    // A signal trace shorted to a plane: in a plane layer without clearance to its metal, or in a layer
    // that lies on a plane layer with no dielectric between them.
    for (const auto& t : model.traces) {
        if (t.conductor == 0)
            continue;
        const int k = t.LayerIndex - 1;
        if (IsPlane(layers[std::size_t(k)]) && (t.LeftXtoPlane <= minLength || t.RightXtoPlane <= minLength))
            return FS_TRACES_OVERLAP;
        for (int p = 0; p < model.layerCount(); ++p)
            if (p != k && IsPlane(layers[std::size_t(p)]) && Between(layers, std::min(p, k), std::max(p, k)) <= minLength)
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
