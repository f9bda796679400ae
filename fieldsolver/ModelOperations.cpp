#include "fieldsolver/ModelOperations.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

float MaxWidth(const FieldSolverTrace& t) { return std::max(t.TopWidth, t.BottomWidth); }

void SortByCentre(std::vector<FieldSolverTrace>& traces)
{
    std::stable_sort(traces.begin(), traces.end(),
                     [](const FieldSolverTrace& a, const FieldSolverTrace& b) { return a.Center < b.Center; });
}

bool FillModel(FieldSolverModel& model, const FieldSolverInput& input, int accuracyLevel, bool boardEdgesUsed,
               bool lossesEnabled, bool extraLossEnabled, bool trim, float& removedThickness)
{
    ResetModel(model);
    removedThickness = 0.0f;
    try {
        const int n = input.layers ? input.layerCount : 0;
        const int m = input.traces ? input.traceCount : 0;
        int lo = 0, hi = n - 1;
        if (trim && !boardEdgesUsed && n > 0 && m > 0) {
            lo = n - 1;
            hi = 0;
            for (int i = 0; i < m; ++i) {
                const int index = std::clamp(input.traces[i].LayerIndex - 1, 0, n - 1);
                lo = std::min(lo, index);
                hi = std::max(hi, index);
            }
            // Step outwards first, then test: a plane that holds traces never ends the stack.
            while (lo >= 1) {
                --lo;
                if (IsPlane(input.layers[lo]))
                    break;
            }
            while (hi <= n - 2) {
                ++hi;
                if (IsPlane(input.layers[hi]))
                    break;
            }
        }
        if (n > 0) {
            model.layers.assign(input.layers + lo, input.layers + hi + 1);
            double removed = 0.0;
            for (int i = 0; i < lo; ++i)
                removed += input.layers[i].Thickness;
            removedThickness = float(removed);
        }
        if (m > 0) {
            model.traces.assign(input.traces, input.traces + m);
            for (auto& t : model.traces)
                t.LayerIndex -= lo;
        }
    } catch (const std::bad_alloc&) {
        ResetModel(model);
        return false;
    }
    model.LeftEdgeX = input.LeftEdgeX;
    model.RightEdgeX = input.RightEdgeX;
    model.SpaceDielConstant = input.SpaceDielConstant;
    model.spacePropertyA = input.spacePropertyA;
    model.spacePropertyB = input.spacePropertyB;
    model.accuracyLevel = accuracyLevel;
    model.boardEdgesUsed = boardEdgesUsed;
    model.lossesEnabled = lossesEnabled;
    model.extraLossEnabled = lossesEnabled && extraLossEnabled;
    return true;
}

} // namespace

bool BuildModel(FieldSolverModel& model, const FieldSolverInput& input, int accuracyLevel, bool boardEdgesUsed,
                bool lossesEnabled, bool extraLossEnabled, float& removedThickness)
{
    return FillModel(model, input, accuracyLevel, boardEdgesUsed, lossesEnabled, extraLossEnabled, true, removedThickness);
}

bool CopyModel(FieldSolverModel& model, const FieldSolverInput& input, int accuracyLevel, bool boardEdgesUsed,
               bool lossesEnabled, bool extraLossEnabled)
{
    float removed = 0.0f;
    return FillModel(model, input, accuracyLevel, boardEdgesUsed, lossesEnabled, extraLossEnabled, false, removed);
}

void ResetModel(FieldSolverModel& model)
{
    model = FieldSolverModel{};
}

int HighestConductor(const FieldSolverModel& model)
{
    int highest = 0;
    for (const auto& t : model.traces)
        highest = std::max(highest, int(t.conductor));
    return highest;
}

std::vector<FieldSolverTrace> LayerTraces(const FieldSolverModel& model, int layer, float left, float right)
{
    std::vector<FieldSolverTrace> out;
    if (layer < 0 || layer >= model.layerCount())
        return out;
    try {
        for (const auto& t : model.traces)
            if (t.LayerIndex == layer + 1)
                out.push_back(t);
        SortByCentre(out);
        if (!IsPlane(model.layers[layer]))
            return out;
        // Metal pieces of the plane between the traces' cut-outs.
        const std::size_t traceCount = out.size();
        out.reserve(2 * traceCount + 1);
        auto addPiece = [&](double from, double to) {
            FieldSolverTrace piece{};
            piece.LayerIndex = layer + 1;
            piece.Center = float(0.5 * (from + to));
            piece.TopWidth = piece.BottomWidth = float(to - from);
            piece.conductor = 0;
            out.push_back(piece);
        };
        double position = left;
        for (std::size_t i = 0; i < traceCount; ++i) {
            const FieldSolverTrace t = out[i];
            const double cutStart = double(t.Center) - MaxWidth(t) / 2.0 - t.LeftXtoPlane;
            if (cutStart > position)
                addPiece(position, cutStart);
            position = double(t.Center) + MaxWidth(t) / 2.0 + t.RightXtoPlane;
        }
        if (right > position)
            addPiece(position, right);
        SortByCentre(out);
    } catch (const std::bad_alloc&) {
        out.clear();
    }
    return out;
}

int SegmentIntersection(Vec2 a0, Vec2 a1, Vec2 b0, Vec2 b1, Vec2& crossing)
{
    const double ax = double(a1.x) - a0.x, ay = double(a1.y) - a0.y;
    const double bx = double(b1.x) - b0.x, by = double(b1.y) - b0.y;
    const double det = ax * by - ay * bx;
    const double wx = double(b0.x) - a0.x, wy = double(b0.y) - a0.y;
    if (std::fabs(det) <= 1e-10) {
        const double la = std::sqrt(ax * ax + ay * ay);
        if (la == 0.0)
            return CROSS_PARALLEL;
        const double distance = std::fabs(ax * wy - ay * wx) / la;
        if (distance > 1e-10)
            return CROSS_PARALLEL;
        // Project b's ends on a's direction and compare the extents along the common line.
        const double t0 = (wx * ax + wy * ay) / (la * la);
        const double t1 = ((double(b1.x) - a0.x) * ax + (double(b1.y) - a0.y) * ay) / (la * la);
        const double lo = std::min(t0, t1), hi = std::max(t0, t1);
        return (hi >= 0.0 && lo <= 1.0) ? CROSS_COLLINEAR_OVERLAP : CROSS_PARALLEL;
    }
    const double s = (wx * by - wy * bx) / det;
    const double t = (wx * ay - wy * ax) / det;
    crossing = MakeVec(a0.x + s * ax, a0.y + s * ay);
    return (s > 0.0 && s < 1.0 && t > 0.0 && t < 1.0) ? CROSS_INSIDE : CROSS_OUTSIDE;
}

namespace {

// Perpendicular of a -> b with length d, through the larger of |dx|, |dy| to avoid overflow.
Vec2 Perpendicular(Vec2 a, Vec2 b, double d)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double len;
    if (std::fabs(dx) >= std::fabs(dy)) {
        if (dx == 0.0)
            return Vec2{};
        const double r = dy / dx;
        len = std::fabs(dx) * std::sqrt(1.0 + r * r);
    } else {
        const double r = dx / dy;
        len = std::fabs(dy) * std::sqrt(1.0 + r * r);
    }
    return MakeVec(-dy / len * d, dx / len * d);
}

} // namespace

int OffsetPolyline(std::vector<Vec2>& points, double d)
{
    const int n = int(points.size());
    if (n == 0)
        return 0;
    if (n == 1) {
        points[0].y = float(points[0].y + d);
        return 1;
    }
    if (n == 2) {
        const Vec2 p = Perpendicular(points[0], points[1], d);
        points[0] = points[0] + p;
        points[1] = points[1] + p;
        return 2;
    }
    // Move every edge by its own perpendicular; inner points become the crossing of the two moved edges.
    std::vector<Vec2> a(n - 1), b(n - 1);
    for (int i = 0; i + 1 < n; ++i) {
        const Vec2 p = Perpendicular(points[i], points[i + 1], d);
        a[i] = points[i] + p;
        b[i] = points[i + 1] + p;
    }
    std::vector<Vec2> moved(n);
    moved[0] = a[0];
    moved[n - 1] = b[n - 2];
    for (int i = 1; i + 1 < n; ++i) {
        Vec2 crossing;
        const int kind = SegmentIntersection(a[i - 1], b[i - 1], a[i], b[i], crossing);
        moved[i] = (kind == CROSS_INSIDE || kind == CROSS_OUTSIDE) ? crossing : b[i - 1];
    }
    // Cut the loops: for the first pair of non-adjacent edges that overlap or cross, keep the start up
    // to the first edge, the crossing, and the rest from the second edge on.
    bool cut = true;
    while (cut) {
        cut = false;
        const int count = int(moved.size());
        for (int i = 0; i + 1 < count && !cut; ++i) {
            for (int j = i + 2; j + 1 < count && !cut; ++j) {
                Vec2 crossing;
                const int kind = SegmentIntersection(moved[i], moved[i + 1], moved[j], moved[j + 1], crossing);
                if (kind == CROSS_INSIDE || kind == CROSS_COLLINEAR_OVERLAP) {
                    if (kind == CROSS_COLLINEAR_OVERLAP)
                        crossing = moved[j];
                    std::vector<Vec2> next(moved.begin(), moved.begin() + i + 1);
                    next.push_back(crossing);
                    next.insert(next.end(), moved.begin() + j + 1, moved.end());
                    moved.swap(next);
                    cut = true;
                }
            }
        }
    }
    points.swap(moved);
    return int(points.size());
}

std::vector<Vec2> SurfacePolyline(const FieldSolverModel& model, int layer, const std::vector<float>& layerTop,
                                  float left, float right, bool closing)
{
    std::vector<Vec2> out;
    const int n = model.layerCount();
    if (layer < 0 || layer >= n || int(layerTop.size()) < n + 1)
        return out;
    auto airLike = [&](int k) { return k < 0 || k >= n || model.layers[k].DielConstant < 1.01f; };
    int routing;
    bool coatingAbove;   // the coating lies above the routing layer (air above the coating)
    if (layer == 0 || airLike(layer - 1)) {
        routing = layer + 1;
        coatingAbove = true;
    } else if (airLike(layer + 1)) {
        routing = layer - 1;
        coatingAbove = false;
    } else {
        return out;
    }
    if (routing < 0 || routing >= n)
        return out;
    std::vector<FieldSolverTrace> traces;
    for (const auto& t : model.traces)
        if (t.LayerIndex == routing + 1)
            traces.push_back(t);
    if (traces.empty())
        return out;
    SortByCentre(traces);
    const float top = layerTop[routing], bottom = layerTop[routing + 1];
    // Base line at the routing layer's face away from the coating; the traces rise from it.
    const float base = coatingAbove ? bottom : top;
    const float face = coatingAbove ? top : bottom;
    out.push_back(Vec2{left, base});
    for (const auto& t : traces) {
        const float baseHalf = (coatingAbove ? t.BottomWidth : t.TopWidth) / 2;
        const float faceHalf = (coatingAbove ? t.TopWidth : t.BottomWidth) / 2;
        out.push_back(Vec2{t.Center - baseHalf, base});
        out.push_back(Vec2{t.Center - faceHalf, face});
        out.push_back(Vec2{t.Center + faceHalf, face});
        out.push_back(Vec2{t.Center + baseHalf, base});
    }
    out.push_back(Vec2{right, base});
    // Drop repeated points so that every edge has a direction.
    out.erase(std::unique(out.begin(), out.end(), [](Vec2 a, Vec2 b) { return a.x == b.x && a.y == b.y; }), out.end());
    // Walking left to right the counter-clockwise perpendicular points down (+y): negate to go up.
    const double thickness = model.layers[layer].Thickness;
    OffsetPolyline(out, coatingAbove ? -thickness : thickness);
    if (closing) {
        out.push_back(Vec2{right, base});
        out.push_back(Vec2{left, base});
    }
    return out;
}
