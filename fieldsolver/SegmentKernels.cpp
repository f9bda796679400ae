#include "fieldsolver/SegmentKernels.h"

#include <algorithm>
#include <cmath>

namespace kernels {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

struct Local {
    long double x, y;
};

// Field point in the segment's local frame along direction d, lengths in units of h.
Local ToLocal(const BoundarySegment& s, Vec2 p, Vec2 d)
{
    const long double rx = (long double)p.x - s.x, ry = (long double)p.y - s.y;
    const long double h = s.halfLength;
    return Local{(rx * d.x + ry * d.y) / h, (ry * d.x - rx * d.y) / h};
}

// Local (along, across) components back to board axes; "across" is d turned counter-clockwise.
void AddFromLocal(long double fx, long double fy, Vec2 d, long double weight, long double& bx, long double& by)
{
    bx += weight * (fx * d.x - fy * d.y);
    by += weight * (fx * d.y + fy * d.x);
}

// 10-point quadrature weights for an edge charge of exponent e: W_k = (0.1 (k + 1))^(1 - e). A mesh
// has only a handful of distinct exponents (1/2 at caps, 1/3 at right-angled corners, a few more at
// junctions), so the weights of the last few are kept instead of ten powers per kernel evaluation.
void EdgeWeights(long double e, long double w[10])
{
    struct Memo {
        long double exponent;
        long double weights[10];
    };
    constexpr int kMemo = 8;
    thread_local Memo memo[kMemo];
    thread_local int used = 0, next = 0;
    for (int i = 0; i < used; ++i)
        if (memo[i].exponent == e) {
            std::copy(memo[i].weights, memo[i].weights + 10, w);
            return;
        }
    const long double c = 1.0L - e;
    long double previous = 0.0L;
    for (int k = 0; k < 10; ++k) {
        const long double wk = std::pow(0.1L * (k + 1), c);
        w[k] = wk - previous;
        previous = wk;
    }
    Memo& slot = memo[next];
    slot.exponent = e;
    std::copy(w, w + 10, slot.weights);
    next = (next + 1) % kMemo;
    used = std::min(used + 1, kMemo);
}

// atan((1 - x)/|y|) + atan((1 + x)/|y|), the angle the segment subtends, as one arctangent: the two
// add up to atan2(2|y|, x^2 + y^2 - 1), which lies in (0, pi) like the sum.
long double ArctangentPair(long double ay, long double r2)
{
    return std::atan2(2.0L * ay, r2 - 1.0L);
}

} // namespace

long double UniformPotential(long double x, long double y)
{
    const long double r2 = x * x + y * y;
    if (r2 < 1e-6L)
        return 2.0L;
    const long double a = r2 + 2.0L * x + 1.0L;
    long double value = std::fabs(a) <= 1e-10L ? 2.0L : 2.0L - 0.5L * (1.0L + x) * std::log(a);
    const long double b = 1.0L - 2.0L * x + r2;
    if (std::fabs(b) > 1e-10L)
        value -= 0.5L * (1.0L - x) * std::log(b);
    const long double ay = std::fabs(y);
    if (ay > 1e-10L)
        value -= ay * ArctangentPair(ay, r2);
    return value;
}

void UniformField(long double x, long double y, long double& fx, long double& fy)
{
    const long double r2 = x * x + y * y;
    const long double a = r2 + 2.0L * x + 1.0L;
    const long double b = 1.0L - 2.0L * x + r2;
    // On the segment's own line the logarithm is singular only at its ends, which no collocation
    // point of another segment reaches; clamp so that a degenerate mesh cannot produce infinities.
    fx = 0.5L * std::log(std::fmax(b, 1e-30L) / std::fmax(a, 1e-30L));
    const long double ay = std::fabs(y);
    if (ay > 1e-12L) {
        fy = ArctangentPair(ay, r2);
        if (y > 0.0L)
            fy = -fy;
    } else {
        // Limit on the line: pi inside the segment (taken from the side of negative y), 0 outside.
        fy = std::fabs(x) < 1.0L ? kPi : (std::fabs(x) == 1.0L ? kPi / 2 : 0.0L);
    }
}

long double EdgePotential(long double x, long double y, long double e)
{
    const long double c = 1.0L - e;
    const long double r2 = x * x + y * y;
    if (r2 < 1e-6L)
        return 2.0L / c;
    if (r2 >= 100.0L)
        return 2.0L * c * x / ((2.0L - e) * r2) - std::log(r2) - c * (1.0L - 2.0L * x * x / r2) / ((3.0L - e) * r2);
    long double w[10];
    EdgeWeights(e, w);
    long double sum = 0.0L;
    for (int k = 0; k < 10; ++k) {
        const long double t = 0.05L + 0.1L * k;
        const long double d2 = (x - t) * (x - t) + y * y;
        sum += w[k] * std::log(std::fmax(d2, 1e-30L));
    }
    return -sum;
}

void EdgeField(long double x, long double y, long double e, long double& fx, long double& fy)
{
    const long double c = 1.0L - e;
    const long double r2 = x * x + y * y;
    if (r2 >= 100.0L) {
        // Gradient of the far-field form of EdgePotential.
        const long double a = 2.0L * c / (2.0L - e);
        const long double b = c / (3.0L - e);
        const long double r4 = r2 * r2, r6 = r4 * r2;
        fx = a / r2 - 2.0L * a * x * x / r4 - 2.0L * x / r2 + 6.0L * b * x / r4 - 8.0L * b * x * x * x / r6;
        fy = -2.0L * a * x * y / r4 - 2.0L * y / r2 + 2.0L * b * y / r4 - 8.0L * b * x * x * y / r6;
        return;
    }
    long double w[10];
    EdgeWeights(e, w);
    long double sx = 0.0L, sy = 0.0L;
    for (int k = 0; k < 10; ++k) {
        const long double t = 0.05L + 0.1L * k;
        const long double d2 = std::fmax((x - t) * (x - t) + y * y, 1e-30L);
        sx += w[k] * (x - t) / d2;
        sy += w[k] * y / d2;
    }
    fx = -2.0L * sx;
    fy = -2.0L * sy;
}

long double PotentialBase(const BoundarySegment& s, double logScale)
{
    return (long double)logScale - 2.0L * std::log((long double)s.halfLength);
}

float SegmentPotential(const BoundarySegment& s, Vec2 p, double logScale, JunctionForm form)
{
    return SegmentPotentialFromBase(s, p, PotentialBase(s, logScale), form);
}

float SegmentPotentialFromBase(const BoundarySegment& s, Vec2 p, long double base, JunctionForm form)
{
    auto uniform = [&](Vec2 d) { const Local l = ToLocal(s, p, d); return UniformPotential(l.x, l.y); };
    auto edge = [&](Vec2 d, long double e) { const Local l = ToLocal(s, p, d); return EdgePotential(l.x, l.y, e); };
    switch (s.type) {
    case SEG_STRAIGHT:
        return float(base + uniform(s.endDir));
    case SEG_JUNCTION:
        if (form == JunctionForm::Dielectric)
            return float(base + s.weightB * edge(s.startDir, s.junctionExponent) + s.weightA * edge(s.endDir, s.junctionExponent)
                         + s.weightC * edge(s.thirdDir, s.junctionExponent));
        [[fallthrough]];
    case SEG_CORNER:
        return float(base + 0.5L * edge(s.startDir, s.edgeExponent) + 0.5L * edge(s.endDir, s.edgeExponent));
    case SEG_CAP_LEFT:
    case SEG_CAP_LOWER:
        // Vertical caps carry the same singular charge as horizontal ones; their potential follows it
        // (a constant potential would ignore the distance to the cap altogether).
        return float(base + edge(s.endDir, s.edgeExponent));
    case SEG_CAP_RIGHT:
    case SEG_CAP_UPPER:
        return float(base + edge(s.startDir, s.edgeExponent));
    case SEG_BENT:
        return float(base + 0.5L * uniform(s.endDir) + 0.5L * uniform(s.startDir));
    default:
        return float(base);
    }
}

Vec2 SegmentField(const BoundarySegment& s, Vec2 p)
{
    long double bx = 0.0L, by = 0.0L, fx, fy;
    auto uniform = [&](Vec2 d, long double w) {
        const Local l = ToLocal(s, p, d);
        UniformField(l.x, l.y, fx, fy);
        AddFromLocal(fx, fy, d, w, bx, by);
    };
    auto edge = [&](Vec2 d, long double e, long double w) {
        const Local l = ToLocal(s, p, d);
        EdgeField(l.x, l.y, e, fx, fy);
        AddFromLocal(fx, fy, d, w, bx, by);
    };
    switch (s.type) {
    case SEG_STRAIGHT: uniform(s.endDir, 1.0L); break;
    case SEG_CORNER:
        edge(s.startDir, s.edgeExponent, 0.5L);
        edge(s.endDir, s.edgeExponent, 0.5L);
        break;
    case SEG_JUNCTION:
        edge(s.startDir, s.junctionExponent, s.weightB);
        edge(s.endDir, s.junctionExponent, s.weightA);
        edge(s.thirdDir, s.junctionExponent, s.weightC);
        break;
    case SEG_CAP_LEFT: case SEG_CAP_LOWER: edge(s.endDir, s.edgeExponent, 1.0L); break;
    case SEG_CAP_RIGHT: case SEG_CAP_UPPER: edge(s.startDir, s.edgeExponent, 1.0L); break;
    case SEG_BENT:
        uniform(s.startDir, 0.5L);
        uniform(s.endDir, 0.5L);
        break;
    default: break;
    }
    const long double h = s.halfLength;
    return Vec2{float(bx / h), float(by / h)};
}

} // namespace kernels
