// Quasi-TEM modes of N coupled conductors from C' (C x 1e10) and L' (L x 1e7).
//   S = sqrt(L'), M = S C' S c^2-scaled, M = E diag(lambda) E^T, v_k = c / sqrt(lambda_k),
//   t_k = S e_k, Z = c 1e-7 sum_k (v_k / c) t_k t_k^T, equivalent network from Z^-1.
#include "fieldsolver/FieldSolver.h"
#include "fieldsolver/LinearAlgebra.h"

#include <cmath>
#include <new>
#include <vector>

namespace {
constexpr double kLightMetresPerNs = 0.299792458;
constexpr double kLcScale = 0.8987552;
constexpr double kInverseLight = 3.335640951981521;
constexpr double kImpedanceScale = 29.979246;
constexpr float kOpen = 1e20f;
} // namespace

int ModalAnalysis(FieldSolverOutput& out, int n, double tolerance)
{
    const std::size_t nn = std::size_t(n) * n;
    float* z = out.impedance;
    if (n == 1) {
        const double l = out.inductance[0], c = out.capacitance[0];
        if (!(l > 0.0) || !(c > 0.0))
            return FS_NOT_POSITIVE;
        z[0] = float(std::sqrt(l * 1000.0 / c));
        out.speeds[0] = float(kLightMetresPerNs / std::sqrt(l * c * kLcScale));
        out.modesToTraces[0] = out.tracesToModes[0] = 1.0f;
        out.equivalentResistors[0] = z[0];
        out.modeCount = 1;
        return FS_OK;
    }
    std::vector<float> s, m, work, values, vectors, y;
    try {
        s.assign(out.inductance, out.inductance + nn);
        m.assign(nn, 0.0f);
        work.assign(nn, 0.0f);
        values.assign(std::size_t(n), 0.0f);
        vectors.assign(nn, 0.0f);
    } catch (const std::bad_alloc&) {
        return FS_OUT_OF_MEMORY;
    }
    // 1. S = sqrt(L').
    if (int rc = linalg::SquareRootSymmetric(s.data(), n))
        return rc;
    // 2. M = S C' S x 0.8987552.
    linalg::Multiply(s.data(), out.capacitance, work.data(), n, n, n, n);
    linalg::Multiply(work.data(), s.data(), m.data(), n, n, n, n);
    linalg::Scale(m.data(), n, n, float(kLcScale));
    linalg::Symmetrise(m.data(), n);
    // 3. Eigen decomposition, then ascending order.
    if (int rc = linalg::EigenSymmetric(m.data(), n, values.data(), vectors.data()))
        return rc;
    for (int i = 0; i < n / 2; ++i) {
        std::swap(values[std::size_t(i)], values[std::size_t(n - 1 - i)]);
        for (int r = 0; r < n; ++r)
            std::swap(vectors[std::size_t(i) * n + r], vectors[std::size_t(n - 1 - i) * n + r]);
    }
    // 4. Speeds and voltage mode vectors t_k = S e_k (row k).
    for (int k = 0; k < n; ++k) {
        if (!(values[std::size_t(k)] > 0.0f))
            return FS_NOT_POSITIVE;
        out.speeds[k] = float(kLightMetresPerNs / std::sqrt(double(values[std::size_t(k)])));
        for (int i = 0; i < n; ++i) {
            double sum = 0.0;
            for (int j = 0; j < n; ++j)
                sum += double(s[std::size_t(i) * n + j]) * vectors[std::size_t(k) * n + j];
            out.modesToTraces[std::size_t(k) * n + i] = float(sum);
        }
    }
    // 5. Impedance matrix.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k)
                sum += kInverseLight * out.speeds[k] * out.modesToTraces[std::size_t(k) * n + i] * out.modesToTraces[std::size_t(k) * n + j];
            z[std::size_t(i) * n + j] = float(kImpedanceScale * sum);
        }
    // 6-7. Mode transformations.
    if (std::fabs(double(out.speeds[0]) - out.speeds[n - 1]) >= tolerance * out.speeds[n - 1]) {
        out.modeCount = 0;
        for (int k = 0; k < n; ++k) {
            float* row = out.modesToTraces + std::size_t(k) * n;
            double sq = 0.0;
            for (int i = 0; i < n; ++i)
                sq += double(row[i]) * row[i];
            if (sq != 0.0 && std::isfinite(sq))
                linalg::Normalise(row, n);
        }
        std::copy(out.modesToTraces, out.modesToTraces + nn, out.tracesToModes);
        if (int rc = linalg::Invert(out.tracesToModes, n))
            return rc;
    } else {
        out.modeCount = 1;
        if (int rc = linalg::EigenSymmetric(out.capacitance, n, values.data(), out.modesToTraces))
            return rc;
        std::copy(out.modesToTraces, out.modesToTraces + nn, out.tracesToModes);
        linalg::Transpose(out.tracesToModes, n);
        double mean = 0.0;
        for (int k = 0; k < n; ++k)
            mean += out.speeds[k];
        mean /= n;
        for (int k = 0; k < n; ++k)
            out.speeds[k] = float(mean);
    }
    // 8. Equivalent resistor network from Y = Z^-1.
    try {
        y.assign(z, z + nn);
    } catch (const std::bad_alloc&) {
        return FS_OUT_OF_MEMORY;
    }
    if (int rc = linalg::Invert(y.data(), n))
        return rc;
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j)
            sum += y[std::size_t(i) * n + j];
        if (sum == 0.0 || std::isnan(sum))
            return FS_SINGULAR;
        for (int j = 0; j < n; ++j) {
            const double yij = y[std::size_t(i) * n + j];
            float& e = out.equivalentResistors[std::size_t(i) * n + j];
            if (i == j)
                e = float(1.0 / sum);
            else
                e = (yij == 0.0 || std::isnan(yij)) ? kOpen : float(-1.0 / yij);
        }
    }
    return FS_OK;
}
