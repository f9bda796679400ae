#include "brimstead/models/fit/RlcFit.h"

#include <array>
#include <cmath>
#include <vector>

namespace {

using cplx = std::complex<double>;
constexpr double kTwoPi = 6.28318530717958647692;
constexpr double kRelativeFloor = 1e-3; // -60 dB below the largest magnitude

struct Point {
    double w;      // angular frequency
    cplx s;        // measured S21
    double weight; // 1 / (|S21|^2 + floor^2): errors count relative to the measured magnitude
};

cplx ModelS21(FitFixture fixture, double z0, cplx z)
{
    return fixture == FitFixture::SeriesThrough ? 2.0 * z0 / (2.0 * z0 + z) : 2.0 * z / (2.0 * z + z0);
}

cplx ModelSlope(FitFixture fixture, double z0, cplx z)
{
    if (fixture == FitFixture::SeriesThrough) {
        const cplx d = 2.0 * z0 + z;
        return -2.0 * z0 / (d * d);
    }
    const cplx d = 2.0 * z + z0;
    return 2.0 * z0 / (d * d);
}

cplx Impedance(const std::array<double, 3>& x, double w)
{
    return {x[0], w * x[1] - x[2] / w};
}

double Cost(const std::vector<Point>& pts, FitFixture fixture, double z0, const std::array<double, 3>& x)
{
    double sum = 0.0;
    for (const Point& p : pts)
        sum += p.weight * std::norm(ModelS21(fixture, z0, Impedance(x, p.w)) - p.s);
    return sum;
}

// Solves the 3x3 system a x = b by Gaussian elimination with partial pivoting; false when singular.
bool Solve3(std::array<std::array<double, 3>, 3> a, std::array<double, 3> b, std::array<double, 3>& x)
{
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 3; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (!(std::fabs(a[pivot][col]) > 1e-300))
            return false;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (int r = col + 1; r < 3; ++r) {
            const double f = a[r][col] / a[col][col];
            for (int k = col; k < 3; ++k)
                a[r][k] -= f * a[col][k];
            b[r] -= f * b[col];
        }
    }
    for (int r = 2; r >= 0; --r) {
        double s = b[r];
        for (int k = r + 1; k < 3; ++k)
            s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    return std::isfinite(x[0]) && std::isfinite(x[1]) && std::isfinite(x[2]);
}

// Step 1: weighted linear fit of Z recovered from the measurement.
bool StartingPoint(const std::vector<Point>& pts, FitFixture fixture, double z0, std::array<double, 3>& x)
{
    double sw = 0.0, swr = 0.0;
    // Normal equations of  w L - D / w = X  in (L, D), weights ww.
    double a11 = 0.0, a12 = 0.0, a22 = 0.0, b1 = 0.0, b2 = 0.0;
    for (const Point& p : pts) {
        cplx z;
        if (fixture == FitFixture::SeriesThrough) {
            if (std::abs(p.s) < 1e-300)
                continue;
            z = 2.0 * z0 * (1.0 / p.s - 1.0);        // from S21 = 2 Z0 / (2 Z0 + Z)
        } else {
            if (std::abs(1.0 - p.s) < 1e-300)
                continue;
            z = z0 * p.s / (2.0 * (1.0 - p.s));      // from S21 = 2 Z / (2 Z + Z0)
        }
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag()))
            continue;
        const double ww = p.weight * std::norm(ModelSlope(fixture, z0, z));
        if (!(ww > 0.0) || !std::isfinite(ww))
            continue;
        sw += ww;
        swr += ww * z.real();
        const double gl = p.w, gd = -1.0 / p.w;
        a11 += ww * gl * gl;
        a12 += ww * gl * gd;
        a22 += ww * gd * gd;
        b1 += ww * gl * z.imag();
        b2 += ww * gd * z.imag();
    }
    if (!(sw > 0.0) || !(a11 > 0.0) || !(a22 > 0.0))
        return false;
    // Scale both unknowns to unit diagonal before solving the 2x2 system.
    const double s1 = 1.0 / std::sqrt(a11), s2 = 1.0 / std::sqrt(a22);
    const double m12 = a12 * s1 * s2;
    const double det = 1.0 - m12 * m12;
    if (!(std::fabs(det) > 1e-14))
        return false;
    const double c1 = b1 * s1, c2 = b2 * s2;
    x[0] = swr / sw;
    x[1] = s1 * (c1 - m12 * c2) / det;
    x[2] = s2 * (c2 - m12 * c1) / det;
    return std::isfinite(x[0]) && std::isfinite(x[1]) && std::isfinite(x[2]);
}

} // namespace

cplx FixtureS21(FitFixture fixture, double z0, double frequency, double r, double l, double c)
{
    const double w = kTwoPi * frequency;
    return ModelS21(fixture, z0, cplx(r, w * l - 1.0 / (w * c)));
}

RlcFitResult FitSeriesRlc(std::span<const double> frequencies, std::span<const cplx> s21, double z0,
                          FitFixture fixture, int maxIterations)
{
    RlcFitResult result;
    std::vector<Point> pts;
    double largest = 0.0;
    const std::size_t n = std::min(frequencies.size(), s21.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double f = frequencies[i];
        const cplx s = s21[i];
        if (!(f > 0.0) || !std::isfinite(f) || !std::isfinite(s.real()) || !std::isfinite(s.imag()))
            continue;
        pts.push_back({kTwoPi * f, s, 0.0});
        largest = std::max(largest, std::abs(s));
    }
    // Analyser errors scale with the measured magnitude down to the instrument's floor; weighting each point by
    // 1 / (|S21|^2 + floor^2) lets the deep parts of a curve (a shunt notch, a series capacitor at low
    // frequencies), which carry the ESR and the capacitance, count as much as the parts near 0 dB.
    const double floor2 = std::pow(kRelativeFloor * largest, 2);
    double signal = 0.0;
    for (Point& p : pts) {
        p.weight = 1.0 / (std::norm(p.s) + floor2);
        signal += p.weight * std::norm(p.s);
    }
    if (pts.size() < 3 || !(z0 > 0.0)) {
        result.status = RlcFitResult::Status::TooFewPoints;
        return result;
    }
    if (!(signal > 0.0)) {
        result.status = RlcFitResult::Status::NumericalIssue;
        return result;
    }

    std::array<double, 3> x{};
    if (!StartingPoint(pts, fixture, z0, x)) {
        result.status = RlcFitResult::Status::NumericalIssue;
        return result;
    }

    // Step 2: Levenberg-Marquardt.
    double cost = Cost(pts, fixture, z0, x);
    double lambda = 1e-3;
    int it = 0;
    for (; it < maxIterations; ++it) {
        std::array<std::array<double, 3>, 3> a{};
        std::array<double, 3> g{};
        for (const Point& p : pts) {
            const cplx z = Impedance(x, p.w);
            const cplx r = ModelS21(fixture, z0, z) - p.s;
            const cplx slope = ModelSlope(fixture, z0, z);
            const cplx col[3] = {slope, slope * cplx(0.0, p.w), slope * cplx(0.0, -1.0 / p.w)};
            for (int i = 0; i < 3; ++i) {
                g[i] += p.weight * (col[i].real() * r.real() + col[i].imag() * r.imag());
                for (int k = i; k < 3; ++k)
                    a[i][k] += p.weight * (col[i].real() * col[k].real() + col[i].imag() * col[k].imag());
            }
        }
        std::array<double, 3> d{};
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < i; ++k)
                a[i][k] = a[k][i];
            d[i] = a[i][i] > 0.0 ? std::sqrt(a[i][i]) : 1.0;
        }

        bool improved = false;
        double newCost = cost;
        std::array<double, 3> step{};
        while (lambda < 1e16) {
            std::array<std::array<double, 3>, 3> m{};
            std::array<double, 3> rhs{};
            for (int i = 0; i < 3; ++i) {
                for (int k = 0; k < 3; ++k)
                    m[i][k] = a[i][k] / (d[i] * d[k]);
                m[i][i] += lambda; // Marquardt damping; the scaled diagonal is 1
                rhs[i] = -g[i] / d[i];
            }
            std::array<double, 3> scaled{};
            if (Solve3(m, rhs, scaled)) {
                std::array<double, 3> trial = x;
                for (int i = 0; i < 3; ++i) {
                    step[i] = scaled[i] / d[i];
                    trial[i] += step[i];
                }
                newCost = Cost(pts, fixture, z0, trial);
                if (newCost < cost) {
                    x = trial;
                    improved = true;
                    lambda = std::max(lambda * 0.1, 1e-12);
                    break;
                }
            }
            lambda *= 10.0;
        }
        if (!improved)
            break; // no step lowers the cost: a minimum within rounding
        const double gain = cost - newCost;
        cost = newCost;
        if (gain <= 1e-15 * cost || cost <= 1e-30 * signal)
            break;
    }

    result.status = RlcFitResult::Status::Success;
    result.iterations = it;
    result.resistance = x[0];
    result.inductance = x[1];
    result.capacitance = x[2] != 0.0 ? 1.0 / x[2] : std::numeric_limits<double>::infinity();
    result.misfit = std::sqrt(cost / signal);
    return result;
}
