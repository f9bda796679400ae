// Region builder: turns the working model into conductor outlines and dielectric interfaces.
//
//   ValidateModel -> layer boundaries -> x range -> outer planes -> conductor outlines -> reference
//   -> interfaces -> dielectric stack -> board side faces -> interface cutting -> view box
#include "fieldsolver/FieldSolver.h"
#include "fieldsolver/ModelOperations.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Outline of one trace piece on the band y0..y1 (see the kinds in MeshTypes.h).
MeshRegion TraceOutline(const FieldSolverTrace& t, float y0, float y1, float minLength)
{
    MeshRegion r;
    const double c = t.Center, top = t.TopWidth, bottom = t.BottomWidth;
    const double half = 0.5 * std::max(top, bottom);
    r.x0 = float(c - half);
    r.x1 = float(c + half);
    r.y0 = y0;
    r.y1 = y1;
    if (r.x0 == r.x1) {
        r.kind = REGION_CIRCLE;   // round wire, diameter = the band
        r.x0 = float(c - 0.5 * (double(y1) - y0));
        r.x1 = float(c + 0.5 * (double(y1) - y0));
        return r;
    }
    if (y0 == y1) {
        r.kind = REGION_HLINE;
        return r;
    }
    const double m = std::max(0.1 * (double(y1) - y0), double(minLength));
    const bool topCollapses = top < m, bottomCollapses = bottom < m;
    const int vertices = 4 - int(topCollapses) - int(bottomCollapses);
    if (vertices == 2) {
        r.kind = REGION_VLINE;
        r.x0 = r.x1 = float(c);
    } else if (vertices == 3 && topCollapses) {
        r.kind = REGION_POLYGON;
        r.vertices = {MakeVec(c, y0), MakeVec(c - bottom / 2, y1), MakeVec(c + bottom / 2, y1)};
    } else if (vertices == 3) {
        r.kind = REGION_POLYGON;
        r.vertices = {MakeVec(c - top / 2, y0), MakeVec(c, y1), MakeVec(c + top / 2, y0)};
    } else if (top == bottom) {
        r.kind = REGION_RECTANGLE;
    } else {
        r.kind = REGION_POLYGON;
        r.vertices = {MakeVec(c - top / 2, y0), MakeVec(c - bottom / 2, y1), MakeVec(c + bottom / 2, y1), MakeVec(c + top / 2, y0)};
    }
    return r;
}

struct Range {
    double lo = 1e10, hi = -1e10;
    void Add(double v) { lo = std::min(lo, v); hi = std::max(hi, v); }
};

void OutlineYRange(const MeshRegion& r, double& ylo, double& yhi)
{
    if (r.kind == REGION_POLYGON || r.kind == REGION_POLYLINE) {
        ylo = 1e10;
        yhi = -1e10;
        for (const Vec2& v : r.vertices) {
            ylo = std::min(ylo, double(v.y));
            yhi = std::max(yhi, double(v.y));
        }
    } else if (r.kind == REGION_CIRCLE) {
        const double cy = 0.5 * (double(r.y0) + r.y1), rad = 0.5 * (double(r.x1) - r.x0);
        ylo = cy - rad;
        yhi = cy + rad;
    } else if (r.kind == REGION_HLINE || r.kind == REGION_SINGLE) {
        ylo = yhi = r.y0;
    } else {
        ylo = std::min(r.y0, r.y1);
        yhi = std::max(r.y0, r.y1);
    }
}

void OutlineXRange(const MeshRegion& r, double& xlo, double& xhi)
{
    if (r.kind == REGION_POLYGON || r.kind == REGION_POLYLINE) {
        xlo = 1e10;
        xhi = -1e10;
        for (const Vec2& v : r.vertices) {
            xlo = std::min(xlo, double(v.x));
            xhi = std::max(xhi, double(v.x));
        }
    } else {
        xlo = std::min(r.x0, r.x1);
        xhi = std::max(r.x0, r.x1);
    }
}

std::vector<Vec2> OutlineVertices(const MeshRegion& r)
{
    if (r.kind == REGION_RECTANGLE)
        return {Vec2{r.x0, r.y0}, Vec2{r.x0, r.y1}, Vec2{r.x1, r.y1}, Vec2{r.x1, r.y0}};
    return r.vertices;
}

// Where the outline meets the horizontal line y = y0 (or, with vertical set, the line x = y0):
// the range of the crossing coordinate.
Range Crossing(const MeshRegion& r, double at, bool vertical)
{
    Range range;
    auto along = [&](Vec2 v) { return vertical ? double(v.y) : double(v.x); };
    auto across = [&](Vec2 v) { return vertical ? double(v.x) : double(v.y); };
    switch (r.kind) {
    case REGION_CIRCLE: {
        const double cx = 0.5 * (double(r.x0) + r.x1), cy = 0.5 * (double(r.y0) + r.y1);
        const double rad = 0.5 * (double(r.x1) - r.x0);
        const double centreAcross = vertical ? cx : cy, centreAlong = vertical ? cy : cx;
        const double sq = rad * rad - (at - centreAcross) * (at - centreAcross);
        const double s = sq < 0 ? 0.0 : std::sqrt(sq);
        range.Add(centreAlong - s);
        range.Add(centreAlong + s);
        return range;
    }
    case REGION_HLINE:
    case REGION_SINGLE:
        if (vertical) {
            if (std::min(r.x0, r.x1) <= at && at <= std::max(r.x0, r.x1))
                range.Add(r.y0);
        } else if (at == r.y0) {
            range.Add(r.x0);
            range.Add(r.x1);
        }
        return range;
    case REGION_VLINE:
        if (!vertical) {
            if (std::min(r.y0, r.y1) <= at && at <= std::max(r.y0, r.y1))
                range.Add(r.x0);
        } else if (at == r.x0) {
            range.Add(r.y0);
            range.Add(r.y1);
        }
        return range;
    default:
        break;
    }
    const std::vector<Vec2> v = OutlineVertices(r);
    const std::size_t n = v.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Vec2 a = v[i], b = v[(i + 1) % n];
        const double ca = across(a) - at, cb = across(b) - at;
        if (ca == 0.0 && cb == 0.0) {
            range.Add(along(a));
            range.Add(along(b));
        } else if (ca * cb <= 0.0) {
            const double f = ca / (ca - cb);
            range.Add(along(a) + f * (along(b) - along(a)));
        }
    }
    return range;
}

} // namespace

int FieldSolver::BuildRegions()
{
    const int code = ValidateModel();
    if (code != FS_OK)
        return code;
    try {
        // 1-2. Empty the list; layer boundaries of the kept stack.
        regions.clear();
        const int n = model.layerCount();
        layerY.assign(std::size_t(n) + 1, 0.0f);
        layerY[0] = removedThickness;
        for (int k = 0; k < n; ++k)
            layerY[std::size_t(k) + 1] = layerY[std::size_t(k)] + model.layers[std::size_t(k)].Thickness;
        // 3. x range of the planes and interfaces.
        const double outerWidth = double(outerRight) - outerLeft;
        double xL = outerLeft - outerWidth / 2, xR = outerRight + outerWidth / 2;
        if (boardEdgesUsed) {
            xL = model.LeftEdgeX < widenedLeft ? xL : model.LeftEdgeX;
            xR = model.RightEdgeX > widenedRight ? xR : model.RightEdgeX;
        }
        // 4. Outer planes: strictly outside the trace layers.
        int firstTrace = n, lastTrace = -1;
        for (const auto& t : model.traces) {
            firstTrace = std::min(firstTrace, t.LayerIndex - 1);
            lastTrace = std::max(lastTrace, t.LayerIndex - 1);
        }
        int firstOuter = -1, lastOuter = -1;
        if (!boardEdgesUsed) {
            for (int k = firstTrace - 1; k >= 0; --k)
                if (IsPlane(model.layers[std::size_t(k)])) { firstOuter = k; break; }
            for (int k = lastTrace + 1; k < n; ++k)
                if (IsPlane(model.layers[std::size_t(k)])) { lastOuter = k; break; }
        }
        const int firstLayer = firstOuter >= 0 ? firstOuter : 0;
        const int lastLayer = lastOuter >= 0 ? lastOuter : n - 1;
        // 5. Conductor outlines.
        int highest = 0;
        for (int k = firstLayer; k <= lastLayer; ++k) {
            const FieldSolverLayer& layer = model.layers[std::size_t(k)];
            if (IsDielectric(layer))
                continue;
            const std::vector<FieldSolverTrace> pieces = LayerTraces(model, k, float(xL), float(xR));
            for (const FieldSolverTrace& piece : pieces) {
                float y0 = layerY[std::size_t(k)], y1 = layerY[std::size_t(k) + 1];
                int side;
                if (k == firstOuter) {
                    y0 = y1;   // reduced to its face towards the traces
                    side = -2;
                } else if (k == lastOuter) {
                    y1 = y0;
                    side = 2;
                } else {
                    side = 0;
                }
                MeshRegion r = TraceOutline(piece, y0, y1, minLength);
                if (side == 0 && r.IsClosed())
                    side = 1;
                r.side = side;
                r.conductor = piece.conductor;
                r.resistivity = layer.resistivity;
                if (model.extraLossEnabled) {
                    r.roughnessLow = layer.propertyC;
                    r.roughnessHigh = layer.propertyD;
                }
                highest = std::max(highest, int(piece.conductor));
                regions.push_back(std::move(r));
            }
        }
        // 6. Reference conductor.
        if (highest < 1)
            return FS_NO_TRACES;
        referenceConductor = highest + 1;
        bool referenceExists = false;
        for (auto& r : regions)
            if (r.conductor == 0) {
                r.conductor = referenceConductor;
                referenceExists = true;
            }
        // 7. Far reference strips.
        if (!referenceExists && addFarReference) {
            const double middle = 0.5 * (double(extentLeft) + extentRight);
            for (double y : {double(layerY.front()) - 0.0254, double(layerY.back()) + 0.0254}) {
                MeshRegion r;
                r.kind = REGION_SINGLE;
                r.conductor = referenceConductor;
                r.x0 = float(middle - 2.54e-5);
                r.x1 = float(middle + 2.54e-5);
                r.y0 = r.y1 = float(y);
                regions.push_back(std::move(r));
            }
            referenceExists = true;
        }
        // 8-9. Interfaces (neighbour filling is applied by LayerMaterial).
        const DielectricMaterial space = SpaceMaterial(model);
        auto material = [&](int k) { return (k < 0 || k >= n) ? space : LayerMaterial(model, k); };
        auto fills = [&](int k) {
            return k >= 0 && k < n && IsDielectric(model.layers[std::size_t(k)]) && model.layers[std::size_t(k)].fillsNeighbours;
        };
        auto airLike = [&](int k) { return k < 0 || k >= n || model.layers[std::size_t(k)].DielConstant < 1.01f; };
        const int kStart = firstOuter >= 0 ? firstOuter + 2 : firstLayer;
        const int kEnd = lastOuter >= 0 ? lastOuter - 1 : n;
        for (int k = kStart; k <= kEnd; ++k) {
            const DielectricMaterial before = material(k - 1), after = material(k);
            if (!DielectricsDiffer(before, after, dielectricTolerance))
                continue;
            MeshRegion r;
            r.conductor = 0;
            r.side = 0;
            r.epsA = after.eps;
            r.lossA = after.loss;
            r.conductivityA = after.conductivity;
            r.epsB = before.eps;
            r.lossB = before.loss;
            r.conductivityB = before.conductivity;
            std::vector<Vec2> surface;
            if (fills(k - 1) && airLike(k))
                surface = SurfacePolyline(model, k - 1, layerY, float(xL), float(xR), false);
            else if (fills(k) && airLike(k - 1))
                surface = SurfacePolyline(model, k, layerY, float(xL), float(xR), false);
            if (surface.size() >= 2) {
                r.kind = REGION_POLYLINE;
                r.vertices = std::move(surface);
                r.x0 = r.vertices.front().x;
                r.x1 = r.vertices.back().x;
                r.y0 = r.y1 = r.vertices.front().y;
            } else {
                r.kind = REGION_HLINE;
                r.x0 = float(xL);
                r.x1 = float(xR);
                r.y0 = r.y1 = layerY[std::size_t(k)];
            }
            regions.push_back(std::move(r));
        }
        // 10. Dielectric stack.
        if (int rc = stack.Build(model, removedThickness, float(xL), float(xR), dielectricTolerance))
            return rc;
        // 11. Board side faces.
        if (boardEdgesUsed) {
            const float clipTop = layerY[std::size_t(firstOuter >= 0 ? 1 : 0)];
            const float clipBottom = layerY[std::size_t(lastOuter >= 0 ? n - 1 : n)];
            for (const auto& e : stack.Entries()) {
                const float y0 = std::max(e.y0, clipTop), y1 = std::min(e.y1, clipBottom);
                if (double(y1) - y0 < minLength)
                    continue;
                auto addFace = [&](float x, const DielectricMaterial& a, const DielectricMaterial& b) {
                    MeshRegion r;
                    r.kind = REGION_VLINE;
                    r.x0 = r.x1 = x;
                    r.y0 = y0;
                    r.y1 = y1;
                    r.epsA = a.eps; r.lossA = a.loss; r.conductivityA = a.conductivity;
                    r.epsB = b.eps; r.lossB = b.loss; r.conductivityB = b.conductivity;
                    regions.push_back(std::move(r));
                };
                // A face wherever the real board edge bounds the model (an edge replaced by the far
                // limit has none); testing the edge against the traces' extent instead would leave
                // every ordinary board, whose edges lie beyond the traces, without its side faces.
                if (model.LeftEdgeX >= widenedLeft)
                    addFace(float(xL), space, e.material);
                if (model.RightEdgeX <= widenedRight)
                    addFace(float(xR), e.material, space);
            }
        }
        // 12. Interfaces that run through conductors are cut.
        CutInterfaces();
        // 13. View box (kept for callers that draw the cross-section).
        const double cx = 0.5 * (double(extentLeft) + extentRight);
        const double cy = 0.5 * (double(layerY.front()) + layerY.back());
        const double W = double(extentRight) - extentLeft, H = 2.0 * (double(layerY.back()) - layerY.front());
        double bw, bh;
        if (0.75 * W <= H) { bw = 1.33 * H; bh = H; } else { bw = W; bh = 0.75 * W; }
        double top = cy - bh / 2;
        if (lastOuter >= 0 && firstOuter < 0)
            top = layerY[std::size_t(lastOuter)] + 0.1 * bh - bh;
        else if (firstOuter >= 0 && lastOuter < 0)
            top = layerY[std::size_t(firstOuter) + 1] - 0.1 * bh;
        viewBox[0] = float(cx - bw / 2);
        viewBox[1] = float(top);
        viewBox[2] = float(cx + bw / 2);
        viewBox[3] = float(top + bh);
        return referenceExists ? FS_OK : FS_NO_REFERENCE;
    } catch (const std::bad_alloc&) {
        regions.clear();
        return FS_OUT_OF_MEMORY;
    }
}

void FieldSolver::CutInterfaces()
{
    for (int pass = 0; pass < 100; ++pass) {
        bool split = false;
        for (std::size_t i = 0; i < regions.size() && !split; ++i) {
            if (regions[i].conductor != 0 || (regions[i].kind != REGION_HLINE && regions[i].kind != REGION_VLINE))
                continue;
            const bool vertical = regions[i].kind == REGION_VLINE;
            for (std::size_t c = 0; c < regions.size() && !split; ++c) {
                const MeshRegion& o = regions[c];
                if (o.conductor == 0)
                    continue;
                double ylo, yhi, xlo, xhi;
                OutlineYRange(o, ylo, yhi);
                OutlineXRange(o, xlo, xhi);
                MeshRegion& f = regions[i];
                double at, lo, hi, oLo, oHi, alongLo, alongHi;
                if (!vertical) {
                    at = f.y0; lo = f.x0; hi = f.x1; oLo = ylo; oHi = yhi; alongLo = xlo; alongHi = xhi;
                } else {
                    at = f.x0; lo = f.y0; hi = f.y1; oLo = xlo; oHi = xhi; alongLo = ylo; alongHi = yhi;
                }
                (void)alongLo; (void)alongHi;
                const double t = std::max(0.1 * (yhi - ylo), double(minLength));
                if (oHi < at - t || oLo > at + t)
                    continue;
                // An outline within t of the line is cut as if the line touched it.
                const Range cr = Crossing(o, std::clamp(at, oLo, oHi), vertical);
                if (cr.hi < lo + t || cr.lo > hi - t)
                    continue;
                MeshRegion rest;
                bool addRest = false;
                if (cr.lo > lo + t) {
                    if (cr.hi <= hi - t && hi - cr.hi > t) {
                        rest = f;
                        addRest = true;
                    }
                    if (!vertical) f.x1 = float(cr.lo); else f.y1 = float(cr.lo);
                } else {
                    if (!vertical) f.x0 = float(cr.hi); else f.y0 = float(cr.hi);
                }
                if (addRest) {
                    if (!vertical) rest.x0 = float(cr.hi); else rest.y0 = float(cr.hi);
                }
                const double length = vertical ? double(f.y1) - f.y0 : double(f.x1) - f.x0;
                if (length < t)
                    regions.erase(regions.begin() + long(i));
                if (addRest)
                    regions.push_back(std::move(rest));
                split = true;
            }
        }
        if (!split)
            return;
    }
}
