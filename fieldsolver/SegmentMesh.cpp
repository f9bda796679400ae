// Boundary-segment mesh of the regions.
//
// BuildMesh: budget of the signal outlines -> grading functions -> planned counts -> minimum total
// -> segmenters per kind (corners, caps, junctions, materials) -> roughness -> mesh length scale.
#include "fieldsolver/FieldSolver.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr double kPi = 3.14159265358979323846;

int Round(double v) { return int(v + 0.5); }   // truncation of value + 0.5, as the budget counts

std::vector<Vec2> OutlineVertices(const MeshRegion& r)
{
    if (r.kind == REGION_RECTANGLE)
        return {Vec2{r.x0, r.y0}, Vec2{r.x0, r.y1}, Vec2{r.x1, r.y1}, Vec2{r.x1, r.y0}};
    return r.vertices;
}

Vec2 Direction(Vec2 from, Vec2 to)
{
    Vec2 d = to - from;
    NormaliseInPlace(d);
    return d;
}

double CornerExponent(Vec2 startDir, Vec2 endDir)
{
    const double dot = Dot(startDir, endDir);
    const double theta = dot > 1.0 ? 0.0 : (dot < -1.0 ? kPi : std::acos(dot));
    return (kPi - theta) / (2.0 * kPi - theta);
}

double WrapPositive(double a)
{
    a = std::fmod(a, 2.0 * kPi);
    return a < 0 ? a + 2.0 * kPi : a;
}

// Turns a type 1 corner into a junction of two dielectrics with an interface along thirdDir.
bool JunctionWeights(BoundarySegment& s)
{
    const double as = std::atan2(s.startDir.y, s.startDir.x);
    const double ae = std::atan2(s.endDir.y, s.endDir.x);
    const double at = std::atan2(s.thirdDir.y, s.thirdDir.x);
    const double t = WrapPositive(at - as), e = WrapPositive(ae - as);
    if (t <= 0.0 || e <= 0.0 || t == e)
        return false;   // the third direction does not lie strictly between the arms
    double alpha, beta;
    if (t < e) {
        alpha = t;
        beta = e - t;
    } else {
        alpha = 2.0 * kPi - t;
        beta = t - e;
    }
    const double epsA = s.epsA, epsB = s.epsB;
    auto f = [&](double nu) { return epsA * std::cos(alpha * nu) * std::sin(beta * nu) + epsB * std::sin(alpha * nu) * std::cos(beta * nu); };
    double nu = 1.0;
    if (std::fabs(f(0.5)) < 1.2e-7) {
        nu = 0.5;
    } else {
        double previous = 0.5, fPrevious = f(0.5);
        bool found = false;
        for (double x = 0.55; x < 1.01; x += 0.05) {
            const double fx = f(x);
            if (std::fabs(fx) < 1.2e-7) {
                nu = x;
                found = true;
                break;
            }
            if ((fx < 0) != (fPrevious < 0)) {
                double lo = previous, hi = x, flo = fPrevious;
                while (hi - lo >= 1.2e-7) {
                    const double mid = 0.5 * (lo + hi), fm = f(mid);
                    if ((fm < 0) == (flo < 0)) { lo = mid; flo = fm; } else { hi = mid; }
                }
                nu = 0.5 * (lo + hi);
                found = true;
                break;
            }
            previous = x;
            fPrevious = fx;
        }
        if (!found)
            nu = 1.0;
    }
    const double s1 = std::sin(alpha * nu), s2 = std::sin(beta * nu), s3 = -std::sin((alpha + beta) * nu);
    const double sum = s1 + s2 + s3;
    if (sum == 0.0 || !std::isfinite(sum))
        return false;
    s.junctionExponent = float(1.0 - nu);
    s.weightA = float(s1 / sum);
    s.weightB = float(s2 / sum);
    s.weightC = float(s3 / sum);
    s.type = SEG_JUNCTION;
    return true;
}

} // namespace

int FieldSolver::RegionCorners(const MeshRegion& r) const
{
    auto inside = [&](double x) { return extentLeft <= x && x <= extentRight; };
    switch (r.kind) {
    case REGION_RECTANGLE: return 2 * (int(inside(r.x0)) + int(inside(r.x1)));
    case REGION_HLINE: return int(inside(r.x0)) + int(inside(r.x1));
    case REGION_POLYGON:
    case REGION_POLYLINE: {
        int c = 0;
        for (const Vec2& v : r.vertices)
            c += int(inside(v.x));
        return c;
    }
    default: return 0;
    }
}

double FieldSolver::RegionPerimeter(const MeshRegion& r) const
{
    switch (r.kind) {
    case REGION_RECTANGLE: return 2.0 * ((double(r.x1) - r.x0) + (double(r.y1) - r.y0));
    case REGION_CIRCLE: return kPi * (double(r.x1) - r.x0);
    case REGION_HLINE: case REGION_SINGLE: return std::fabs(double(r.x1) - r.x0);
    case REGION_VLINE: return std::fabs(double(r.y1) - r.y0);
    case REGION_POLYGON:
    case REGION_POLYLINE: {
        double p = 0.0;
        const std::size_t n = r.vertices.size();
        const std::size_t edges = r.kind == REGION_POLYGON ? n : (n ? n - 1 : 0);
        for (std::size_t i = 0; i < edges; ++i)
            p += Distance(r.vertices[i], r.vertices[(i + 1) % n]);
        return p;
    }
    default: return 0.0;
    }
}

int FieldSolver::GradedCount(const GradingFunction& g, Vec2 a, Vec2 b) const
{
    if (std::fabs(double(b.x) - a.x) < 0.1 * g.Step())
        return Round(g.Density(0.5 * (double(a.x) + b.x)) * Distance(a, b));
    return Round(std::fabs(g.Cumulative(b.x) - g.Cumulative(a.x)));
}

int FieldSolver::PlannedGradedCount(const MeshRegion& r) const
{
    const GradingFunction& g = r.conductor != 0 ? conductorGrading : interfaceGrading;
    switch (r.kind) {
    case REGION_RECTANGLE:
        return 2 * GradedCount(g, Vec2{r.x0, r.y0}, Vec2{r.x1, r.y0}) + GradedCount(g, Vec2{r.x0, r.y0}, Vec2{r.x0, r.y1})
               + GradedCount(g, Vec2{r.x1, r.y0}, Vec2{r.x1, r.y1});
    case REGION_POLYGON:
    case REGION_POLYLINE: {
        int c = 0;
        const std::size_t n = r.vertices.size();
        const std::size_t edges = r.kind == REGION_POLYGON ? n : (n ? n - 1 : 0);
        for (std::size_t i = 0; i < edges; ++i)
            c += GradedCount(g, r.vertices[i], r.vertices[(i + 1) % n]);
        return c;
    }
    case REGION_CIRCLE: return 8 << accuracyLevel;
    case REGION_HLINE: return GradedCount(g, Vec2{r.x0, r.y0}, Vec2{r.x1, r.y0});
    case REGION_VLINE: return GradedCount(g, Vec2{r.x0, r.y0}, Vec2{r.x0, r.y1});
    case REGION_SINGLE: return 1;
    default: return 0;
    }
}

void FieldSolver::SampleSegment(BoundarySegment& s, int /*side*/, bool conductivity) const
{
    const double delta = minLength;
    const Vec2 p = s.Point();
    const Vec2 a = p + s.startDir * (0.5 * s.halfLength) + s.normalStart * delta;
    const Vec2 b = p + s.endDir * (0.5 * s.halfLength) + s.normalEnd * delta;
    const DielectricMaterial ma = stack.MaterialAt(a.x, a.y), mb = stack.MaterialAt(b.x, b.y);
    s.epsA = ma.eps;
    s.epsB = mb.eps;
    s.lossA = conductivity ? float(ma.conductivity * 17.975103) : ma.loss;
    s.lossB = conductivity ? float(mb.conductivity * 17.975103) : mb.loss;
}

void FieldSolver::SampleSegmentMaterials(bool conductivity)
{
    for (auto& s : segments)
        SampleSegment(s, 0, conductivity);
}

void FieldSolver::Append(BoundarySegment s, int side)
{
    switch (s.type) {
    case SEG_STRAIGHT:
        s.normalStart = s.normalEnd = TurnCcw(s.endDir);
        if (side == -1) {
            s.normalStart = Negated(s.normalStart);
            s.normalEnd = Negated(s.normalEnd);
        } else if (side == 0) {
            s.normalStart = Negated(s.normalStart);   // the two sample points on opposite sides
        }
        break;
    case SEG_BENT:
        s.normalStart = TurnCcw(s.startDir);
        s.normalEnd = TurnCw(s.endDir);
        if (side == -1) {
            s.normalStart = Negated(s.normalStart);
            s.normalEnd = Negated(s.normalEnd);
        }
        break;
    case SEG_CORNER:
        s.normalStart = TurnCw(s.startDir);
        s.normalEnd = TurnCcw(s.endDir);
        if (side == -1) {
            s.normalStart = Negated(s.normalStart);
            s.normalEnd = Negated(s.normalEnd);
        }
        break;
    default:   // end caps: as a straight segment, but side -1 flips nothing
        s.normalStart = s.normalEnd = TurnCcw(s.endDir);
        if (side == 0)
            s.normalStart = Negated(s.normalStart);
        break;
    }
    SampleSegment(s, side, false);
    segments.push_back(s);
}

void FieldSolver::AppendUniformRun(Vec2 from, Vec2 to, int pieces, int side)
{
    if (pieces < 1)
        return;
    const double length = Distance(from, to);
    if (!(length > 0.0))
        return;
    const Vec2 d = Direction(from, to);
    const double piece = length / pieces;
    for (int k = 0; k < pieces; ++k) {
        BoundarySegment s;
        s.type = SEG_STRAIGHT;
        const Vec2 p = from + d * ((k + 0.5) * piece);
        s.x = p.x;
        s.y = p.y;
        s.halfLength = float(piece / 2);
        s.endDir = d;
        s.startDir = Negated(d);
        Append(s, side);
    }
}

void FieldSolver::AppendGradedRun(const GradingFunction& g, Vec2 from, Vec2 to, int pieces, int side)
{
    if (pieces < 1)
        return;
    const double dx = double(to.x) - from.x;
    if (dx == 0.0) {
        AppendUniformRun(from, to, pieces, side);
        return;
    }
    const Vec2 d = Direction(from, to);
    const double f0 = g.Cumulative(from.x);
    double dF = std::fabs(g.Cumulative(to.x) - f0) / pieces;
    if (dx < 0)
        dF = -dF;
    auto pointAt = [&](double x) { return MakeVec(x, from.y + (x - from.x) / dx * (double(to.y) - from.y)); };
    auto inside = [&](double x) { return outerLeft <= x && x <= outerRight; };
    Vec2 near = from;
    for (int k = 1; k <= pieces; ++k) {
        const Vec2 far = k == pieces ? to : pointAt(g.Inverse(f0 + k * dF));
        BoundarySegment s;
        s.type = SEG_STRAIGHT;
        s.endDir = d;
        s.startDir = Negated(d);
        if (inside(near.x) && inside(far.x)) {
            const Vec2 m = Midpoint(near, far);
            s.x = m.x;
            s.y = m.y;
            s.halfLength = float(Distance(near, far) / 2);
        } else {
            // Beyond the outer limits the piece is represented near its middle in count space.
            const double xm = g.Inverse(g.Cumulative(far.x) - dF / 2);
            if (inside(near.x)) {
                s.x = float(xm);
                s.y = near.y;
                s.halfLength = float(0.5 * std::fabs(double(near.x) - xm));
            } else {
                s.x = float(xm);
                s.y = far.y;
                s.halfLength = float(0.5 * std::fabs(double(far.x) - xm));
            }
        }
        if (s.halfLength > 0.0f)
            Append(s, side);
        near = far;
    }
}

int FieldSolver::SegmentOutline(MeshRegion& r)
{
    const std::size_t before = segments.size();
    const std::vector<Vec2> v = OutlineVertices(r);
    const int n = int(v.size());
    const bool closed = r.kind != REGION_POLYLINE;
    const int edgeCount = closed ? n : n - 1;
    if (edgeCount < 1)
        return 0;
    const bool isInterface = r.conductor == 0;
    const bool isSignal = !isInterface && !IsReference(r);
    const GradingFunction& g = isInterface ? interfaceGrading : conductorGrading;

    struct Edge {
        Vec2 a, b;
        bool kept = false, graded = false;
        int count = 0;
        double length = 0, piece = 0;
    };
    std::vector<Edge> edges(static_cast<std::size_t>(edgeCount));
    double keptLength = 0.0;
    for (int i = 0; i < edgeCount; ++i) {
        Edge& e = edges[std::size_t(i)];
        e.a = v[std::size_t(i)];
        e.b = v[std::size_t((i + 1) % n)];
        const bool leftOut = e.a.x < outerLeft && e.b.x < outerLeft;
        const bool rightOut = e.a.x >= outerRight && e.b.x >= outerRight;
        e.kept = !leftOut && !rightOut;
        e.length = Distance(e.a, e.b);
        if (e.kept)
            keptLength += e.length;
        e.graded = !isSignal && std::fabs(double(e.a.y) - e.b.y) < minLength;
    }
    const int corners = RegionCorners(r);
    std::vector<bool> cornerAt(std::size_t(n), false);
    bool hasCorners = false;
    if (!isInterface && closed)
        for (int i = 0; i < n; ++i)
            if (extentLeft <= v[std::size_t(i)].x && v[std::size_t(i)].x < extentRight)
                hasCorners = cornerAt[std::size_t(i)] = true;
    for (auto& e : edges) {
        if (!e.kept)
            continue;
        if (isSignal) {
            e.count = keptLength > 0 ? Round((r.segmentCount - corners) * e.length / keptLength) : 0;
        } else {
            e.count = GradedCount(g, e.a, e.b);
            if (corners > 0)
                e.count = e.count ? 2 * e.count : 1;
            if (isInterface && e.count == 0)
                e.count = 1;
        }
        e.piece = e.length / (e.count + 1);
    }
    // Corners: each takes half of the smaller neighbouring piece from both edges.
    std::vector<double> trimStart(std::size_t(edgeCount), 0.0), trimEnd(std::size_t(edgeCount), 0.0);
    std::vector<BoundarySegment> cornerSegments(static_cast<std::size_t>(n));
    for (int i = 0; i < n && hasCorners; ++i) {
        if (!cornerAt[std::size_t(i)])
            continue;
        const int prev = (i - 1 + n) % n, next = i;
        const Edge& ep = edges[std::size_t(prev)];
        const Edge& en = edges[std::size_t(next)];
        const double pp = ep.graded ? 2e10 : ep.piece, pn = en.graded ? 2e10 : en.piece;
        double h = std::min(pp, pn);
        if ((ep.count == 0) != (en.count == 0)) {
            const double other = ep.count == 0 ? pn : pp;
            if (other < 1e10)
                h = other;
        }
        BoundarySegment s;
        s.type = SEG_CORNER;
        s.x = v[std::size_t(i)].x;
        s.y = v[std::size_t(i)].y;
        s.halfLength = float(h / 2);
        s.startDir = Direction(v[std::size_t(i)], v[std::size_t(prev)]);
        s.endDir = Direction(v[std::size_t(i)], v[std::size_t((i + 1) % n)]);
        s.edgeExponent = float(CornerExponent(s.startDir, s.endDir));
        cornerSegments[std::size_t(i)] = s;
        trimEnd[std::size_t(prev)] = h / 2;
        trimStart[std::size_t(next)] = h / 2;
    }
    for (int i = 0; i < edgeCount; ++i) {
        if (closed && cornerAt[std::size_t(i)])
            Append(cornerSegments[std::size_t(i)], r.side);
        const Edge& e = edges[std::size_t(i)];
        if (!e.kept || e.count < 1)
            continue;
        const Vec2 d = Direction(e.a, e.b);
        const double shortened = e.length - trimStart[std::size_t(i)] - trimEnd[std::size_t(i)];
        if (!(shortened > 0.0))
            continue;
        const Vec2 from = e.a + d * trimStart[std::size_t(i)];
        const Vec2 to = e.b - d * trimEnd[std::size_t(i)];
        if (e.graded)
            AppendGradedRun(g, from, to, e.count, r.side);
        else
            AppendUniformRun(from, to, e.count, r.side);
    }
    return int(segments.size() - before);
}

int FieldSolver::SegmentCircle(MeshRegion& r)
{
    const int n = r.segmentCount;
    const double radius = 0.5 * (double(r.x1) - r.x0);
    const double cx = 0.5 * (double(r.x0) + r.x1), cy = 0.5 * (double(r.y0) + r.y1);
    const double step = 2.0 * kPi / n;
    auto at = [&](double a) { return MakeVec(cx + radius * std::cos(a), cy + radius * std::sin(a)); };
    for (int k = 0; k < n; ++k) {
        const double theta = kPi / 2 + k * step;
        const Vec2 p = at(theta);
        BoundarySegment s;
        s.type = SEG_BENT;
        s.x = p.x;
        s.y = p.y;
        s.startDir = Direction(p, at(theta - step / 2));
        s.endDir = Direction(p, at(theta + step / 2));
        s.halfLength = float(radius * step / 2);
        Append(s, r.side);
    }
    return n;
}

bool FieldSolver::MakeJunction(Vec2 end, Vec2 thirdDir, double maxHalfLength, double& removed)
{
    removed = 0.0;
    for (auto& s : segments) {
        if (s.type != SEG_CORNER || Distance(s.Point(), end) > 0.1 * s.halfLength)
            continue;
        BoundarySegment j = s;
        j.halfLength = float(std::min(double(j.halfLength), maxHalfLength));
        j.thirdDir = thirdDir;
        if (!JunctionWeights(j))
            return false;
        s = j;
        removed = s.halfLength;
        return true;
    }
    return false;
}

int FieldSolver::SegmentHorizontal(MeshRegion& r)
{
    const std::size_t before = segments.size();
    const double length = std::fabs(double(r.x1) - r.x0);
    const bool isInterface = r.conductor == 0;
    if (isInterface) {
        int p = r.segmentCount;
        double cutLeft = 0.0, cutRight = 0.0;
        bool looked = false;
        if (r.x0 > extentLeft) {
            looked = true;
            MakeJunction(Vec2{r.x0, r.y0}, Vec2{1.0f, 0.0f}, length / 2, cutLeft);
        }
        if (r.x1 < extentRight) {
            looked = true;
            MakeJunction(Vec2{r.x1, r.y0}, Vec2{-1.0f, 0.0f}, length / 2, cutRight);
        }
        const double remaining = length - cutLeft - cutRight;
        if (looked) {
            if (!(remaining > 0.0))
                return 0;
            p = std::max(1, Round(p * remaining / length));
        }
        AppendGradedRun(interfaceGrading, MakeVec(r.x0 + cutLeft, r.y0), MakeVec(r.x1 - cutRight, r.y0), p, r.side);
        return int(segments.size() - before);
    }
    // Conductor line: start and end swap when side is 2 (the lower outer plane faces up).
    const bool reversed = r.side == 2;
    const Vec2 start = reversed ? Vec2{r.x1, r.y0} : Vec2{r.x0, r.y0};
    const Vec2 end = reversed ? Vec2{r.x0, r.y0} : Vec2{r.x1, r.y0};
    const Vec2 d = reversed ? Vec2{-1.0f, 0.0f} : Vec2{1.0f, 0.0f};
    const bool capStart = reversed ? r.x1 < extentRight : r.x0 > extentLeft;
    const bool capEnd = reversed ? r.x0 > extentLeft : r.x1 < extentRight;
    const int c = int(capStart) + int(capEnd);
    const int p = std::max(1, r.segmentCount - c);
    const bool reference = IsReference(r);
    const GradingFunction& g = conductorGrading;
    auto capHalf = [&](Vec2 at, double sign) {
        if (!reference)
            return 0.5 * length / (c / 2.0 + p);
        const double span = std::fabs(g.Cumulative(r.x0) - g.Cumulative(r.x1));
        const double gradient = span > 0 ? r.segmentCount / span : 1.0;
        return 0.5 * std::fabs(double(at.x) - g.Inverse(g.Cumulative(at.x) + sign / gradient));
    };
    double cutStart = 0.0, cutEnd = 0.0;
    if (capStart) {
        BoundarySegment s;
        s.type = SEG_CAP_LEFT;
        s.x = start.x;
        s.y = start.y;
        s.endDir = d;
        s.startDir = Negated(d);
        s.edgeExponent = 0.5f;
        cutStart = capHalf(start, reversed ? -1.0 : 1.0);
        s.halfLength = float(cutStart);
        Append(s, r.side);
    }
    if (capEnd) {
        BoundarySegment s;
        s.type = SEG_CAP_RIGHT;
        s.x = end.x;
        s.y = end.y;
        s.startDir = Negated(d);
        s.endDir = d;
        s.edgeExponent = 0.5f;
        cutEnd = capHalf(end, reversed ? 1.0 : -1.0);
        s.halfLength = float(cutEnd);
        Append(s, r.side);
    }
    const Vec2 from = start + d * cutStart, to = end - d * cutEnd;
    if (reference)
        AppendGradedRun(g, from, to, p, r.side);
    else
        AppendUniformRun(from, to, p, r.side);
    return int(segments.size() - before);
}

int FieldSolver::SegmentVertical(MeshRegion& r)
{
    const std::size_t before = segments.size();
    const float top = std::min(r.y0, r.y1), bottom = std::max(r.y0, r.y1);
    const double length = double(bottom) - top;
    int p = std::max(1, r.segmentCount);
    if (r.conductor == 0) {
        double cutTop = 0.0, cutBottom = 0.0;
        MakeJunction(Vec2{r.x0, top}, Vec2{0.0f, 1.0f}, length / 2, cutTop);
        MakeJunction(Vec2{r.x0, bottom}, Vec2{0.0f, -1.0f}, length / 2, cutBottom);
        if (!(length - cutTop - cutBottom > 0.0))
            return 0;
        AppendUniformRun(MakeVec(r.x0, top + cutTop), MakeVec(r.x0, bottom - cutBottom), p, r.side);
        return int(segments.size() - before);
    }
    // A vertical conductor line: a cap of half a piece at each end, the rest in p pieces.
    const double half = length / (2.0 * p);
    const Vec2 down{0.0f, 1.0f};
    BoundarySegment lower;
    lower.type = SEG_CAP_LOWER;
    lower.x = r.x0;
    lower.y = top;
    lower.endDir = down;
    lower.startDir = Negated(down);
    lower.edgeExponent = 0.5f;
    lower.halfLength = float(half);
    Append(lower, 0);
    BoundarySegment upper = lower;
    upper.type = SEG_CAP_UPPER;
    upper.y = bottom;
    upper.startDir = Negated(down);
    upper.endDir = down;
    Append(upper, 0);
    AppendUniformRun(MakeVec(r.x0, top + half), MakeVec(r.x0, bottom - half), p, r.side);
    return int(segments.size() - before);
}

int FieldSolver::SegmentSingle(MeshRegion& r)
{
    const std::size_t before = segments.size();
    AppendUniformRun(Vec2{r.x0, r.y0}, Vec2{r.x1, r.y0}, 1, r.side);
    return int(segments.size() - before);
}

int FieldSolver::BuildMesh()
{
    try {
        segments.clear();
        segments.reserve(2000);
        const int scale = 1 << std::clamp(accuracyLevel, 0, 16);
        // 3. Budget of the signal outlines.
        long long baseSum = 0, cornerSum = 0;
        double perimeterSum = 0.0;
        for (const auto& r : regions) {
            if (r.conductor == 0 || IsReference(r))
                continue;
            const int corners = RegionCorners(r);
            baseSum += std::max(8, corners + r.EdgeCount());
            cornerSum += corners;
            perimeterSum += RegionPerimeter(r);
        }
        const double budget = double(baseSum * scale - cornerSum);
        std::vector<GradingFunction::Source> sources;
        for (auto& r : regions) {
            if (r.conductor == 0 || IsReference(r))
                continue;
            const double perimeter = RegionPerimeter(r);
            r.segmentCount = (perimeterSum > 0 ? Round(perimeter * budget / perimeterSum) : 0) + RegionCorners(r);
            double xlo = r.x0, xhi = r.x1;
            if (r.kind == REGION_POLYGON || r.kind == REGION_POLYLINE) {
                xlo = 1e30;
                xhi = -1e30;
                for (const Vec2& v : r.vertices) {
                    xlo = std::min(xlo, double(v.x));
                    xhi = std::max(xhi, double(v.x));
                }
            }
            const double density = perimeter > 0 ? r.segmentCount / perimeter : 0.0;
            sources.push_back({float(std::min(xlo, xhi)), float(std::max(xlo, xhi)), float(density)});
        }
        // 2. Grading functions over the traces' extent.
        conductorGrading.Build(GradingFunction::Tails::Lorentzian, extentLeft, extentRight, clearance, sources);
        interfaceGrading.Build(GradingFunction::Tails::Algebraic, extentLeft, extentRight, clearance, sources);
        // 4. Planned counts.
        long long total = 0, singleTotal = 0;
        for (auto& r : regions) {
            if (r.conductor == 0 || IsReference(r))
                r.segmentCount = PlannedGradedCount(r);
            total += r.segmentCount;
            if (r.kind == REGION_SINGLE)
                singleTotal += r.segmentCount;
        }
        // 5. Minimum total.
        const long long target = 35LL * scale;
        if (target - total > target / 10 && total - singleTotal > 0) {
            const double s = double(target - singleTotal) / double(total - singleTotal);
            for (auto& r : regions)
                if (r.kind != REGION_SINGLE)
                    r.segmentCount = Round(r.segmentCount * s);
            conductorGrading.Scale(s);
            interfaceGrading.Scale(s);
        }
        // 6-7. Segmenters; the runs follow what was actually appended.
        for (auto& r : regions) {
            r.firstSegment = int(segments.size());
            int appended = 0;
            switch (r.kind) {
            case REGION_RECTANGLE: case REGION_POLYGON: case REGION_POLYLINE: appended = SegmentOutline(r); break;
            case REGION_CIRCLE: appended = r.segmentCount > 0 ? SegmentCircle(r) : 0; break;
            case REGION_HLINE: appended = SegmentHorizontal(r); break;
            case REGION_VLINE: appended = SegmentVertical(r); break;
            case REGION_SINGLE: appended = SegmentSingle(r); break;
            default: break;
            }
            r.segmentCount = appended;
        }
        regions.erase(std::remove_if(regions.begin(), regions.end(), [](const MeshRegion& r) { return r.segmentCount == 0; }),
                      regions.end());
        // 10. Roughness factor of the conductor segments.
        for (const auto& r : regions) {
            if (r.conductor == 0)
                continue;
            double ylo = r.y0, yhi = r.y1;
            if (r.kind == REGION_POLYGON) {
                ylo = 1e30;
                yhi = -1e30;
                for (const Vec2& v : r.vertices) {
                    ylo = std::min(ylo, double(v.y));
                    yhi = std::max(yhi, double(v.y));
                }
            }
            for (int i = r.firstSegment; i < r.firstSegment + r.segmentCount; ++i) {
                BoundarySegment& s = segments[std::size_t(i)];
                if (!model.extraLossEnabled) {
                    s.roughnessFactor = 0.0f;
                    continue;
                }
                double dl = double(s.y) - ylo, dh = yhi - s.y;
                if (dl == 0.0 && dh == 0.0)
                    dl = dh = 0.5;
                const double delta = (double(r.roughnessHigh) * dl + double(r.roughnessLow) * dh) / (dl + dh);
                s.roughnessFactor = float(2.0 / kPi * std::atan2(1.4 * delta * delta, 2.0 * r.resistivity * 1.2665147e-4));
            }
        }
        // 11. Mesh length scale.
        const Vec2 centre = MakeVec(0.5 * (double(extentLeft) + extentRight), 0.0);
        double farthest = 0.0;
        for (const auto& s : segments)
            farthest = std::max(farthest, Distance(centre, s.Point()));
        logScale = farthest > 0 ? std::log(4.0 * farthest) : 0.0;
        return int(segments.size());
    } catch (const std::bad_alloc&) {
        segments.clear();
        return 0;
    }
}

WorkEstimate FieldSolver::EstimateWork(const FieldSolverInput& input) const
{
    WorkEstimate w;
    const long long per = 8LL << std::clamp(accuracyLevel, 0, 16);
    const int layerCount = input.layers ? input.layerCount : 0;
    int planes = 0, m = 0;
    DielectricMaterial previous{input.SpaceDielConstant, input.SpaceDielConstant * input.spacePropertyA, input.spacePropertyB};
    const DielectricMaterial space = previous;
    for (int k = 0; k < layerCount; ++k) {
        const FieldSolverLayer& l = input.layers[k];
        const DielectricMaterial mat{l.DielConstant, l.DielConstant * l.propertyA, l.propertyB};
        if (IsPlane(l))
            ++planes;
        else if (DielectricsDiffer(mat, previous, dielectricTolerance))
            ++m;
        previous = mat;
    }
    if (layerCount > 0 && !IsPlane(input.layers[layerCount - 1]) && DielectricsDiffer(previous, space, dielectricTolerance))
        ++m;
    const long long conductors = ((input.traces ? input.traceCount : 0) + 2LL * planes) * per;
    const long long interfaces = 2 * per * m;
    const double n = double(conductors + interfaces);
    w.assembly = (long long)(0.0014000896 * n * n + 0.5);
    w.dielectricSolve = (long long)(1.4000896e-5 * n * n * n + 0.5);
    w.vacuumSolve = interfaces > 0 ? (long long)(1.4000896e-5 * double(conductors) * conductors * conductors + 0.5) : 0;
    return w;
}
