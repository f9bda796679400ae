#include "fieldsolver/LinearAlgebra.h"

#include <cmath>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace linalg {

namespace {

constexpr float kInvertTolerance = 1.2e-7f;
constexpr float kFactoriseTolerance = 1e-8f;
constexpr float kNegativeEigenLimit = -1.2e-7f;

template <typename T>
std::unique_ptr<T[]> TryAllocate(std::size_t count)
{
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

} // namespace

int LuFactorise(float* a, int n, std::int32_t* colPivots, std::int32_t* rowPivots, float tolerance,
                bool fullPivoting, float* progress)
{
    // 1. First pivot: the largest magnitude in the whole matrix (full) or in column 0 (partial).
    //    Only a strictly larger magnitude replaces the candidate, so ties keep the first met.
    int pr = 0, pc = 0;
    float best = -1.0f;
    for (int i = 0; i < n; ++i) {
        const int cols = fullPivoting ? n : 1;
        for (int j = 0; j < cols; ++j) {
            const float m = std::fabs(a[i * n + j]);
            if (m > best) { best = m; pr = i; pc = j; }
        }
    }
    for (int k = 0; k < n; ++k) {
        // 2a. Tolerance test before the elimination step.
        if (!(std::fabs(a[pr * n + pc]) >= tolerance))
            return n - k;
        // 2b. Row swap over columns k..n-1 only; the stored multipliers stay in place.
        if (pr != k)
            for (int j = k; j < n; ++j)
                std::swap(a[k * n + j], a[pr * n + j]);
        if (fullPivoting && pc != k)
            for (int i = 0; i < n; ++i)
                std::swap(a[i * n + k], a[i * n + pc]);
        rowPivots[k] = pr;
        colPivots[k] = fullPivoting ? pc : k;
        // 2c. Eliminate below the pivot and track the next pivot while updating.
        const float pivot = a[k * n + k];
        const float* rowK = a + k * n;
        best = -1.0f;
        pr = k + 1;
        pc = k + 1;
        for (int i = k + 1; i < n; ++i) {
            float* rowI = a + i * n;
            const float m = -rowI[k] / pivot;
            rowI[k] = m;
            int j = k + 1;
            for (; j + 4 <= n; j += 4) {
                rowI[j] += m * rowK[j];
                rowI[j + 1] += m * rowK[j + 1];
                rowI[j + 2] += m * rowK[j + 2];
                rowI[j + 3] += m * rowK[j + 3];
            }
            for (; j < n; ++j)
                rowI[j] += m * rowK[j];
            if (fullPivoting) {
                // The row's largest magnitude first (four independent running maxima); its
                // position is looked up only when it beats the candidate, which keeps the first of
                // equal maxima in row-major order.
                float m0 = -1.0f, m1 = -1.0f, m2 = -1.0f, m3 = -1.0f;
                for (j = k + 1; j + 4 <= n; j += 4) {
                    m0 = std::max(m0, std::fabs(rowI[j]));
                    m1 = std::max(m1, std::fabs(rowI[j + 1]));
                    m2 = std::max(m2, std::fabs(rowI[j + 2]));
                    m3 = std::max(m3, std::fabs(rowI[j + 3]));
                }
                for (; j < n; ++j)
                    m0 = std::max(m0, std::fabs(rowI[j]));
                const float rowMax = std::max(std::max(m0, m1), std::max(m2, m3));
                if (rowMax > best) {
                    for (j = k + 1; std::fabs(rowI[j]) != rowMax; ++j) {
                    }
                    best = rowMax;
                    pr = i;
                    pc = j;
                }
            } else if (k + 1 < n) {
                const float v = std::fabs(rowI[k + 1]);
                if (v > best) { best = v; pr = i; pc = k + 1; }
            }
        }
        if (progress) {
            const double x = double(k + 1) / n;
            *progress = float(3.0 * x * (x * x / 3.0 + 1.0 - x));
        }
    }
    if (progress)
        *progress = 1.0f;
    return 0;
}

void ForwardEliminate(const float* lu, float* b, int n, const std::int32_t* rowPivots)
{
    for (int k = 0; k < n; ++k) {
        if (rowPivots[k] != k)
            std::swap(b[k], b[rowPivots[k]]);
        const float bk = b[k];
        for (int i = k + 1; i < n; ++i)
            b[i] += bk * lu[i * n + k];
    }
}

int BackSubstitute(const float* lu, const float* b, float* x, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        const float* row = lu + i * n;
        double sum = b[i];
        int j = i + 1;
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (; j + 4 <= n; j += 4) {
            s0 += double(row[j]) * x[j];
            s1 += double(row[j + 1]) * x[j + 1];
            s2 += double(row[j + 2]) * x[j + 2];
            s3 += double(row[j + 3]) * x[j + 3];
        }
        for (; j < n; ++j)
            s0 += double(row[j]) * x[j];
        sum -= (s0 + s1) + (s2 + s3);
        if (row[i] == 0.0f)
            return n - i;
        x[i] = float(sum / row[i]);
    }
    return 0;
}

void UndoColumnPivots(float* x, int n, const std::int32_t* colPivots)
{
    for (int i = n - 1; i >= 0; --i)
        if (colPivots[i] != i)
            std::swap(x[i], x[colPivots[i]]);
}

int InvertCore(float* a, int n, float tolerance, bool fullPivoting, float* progress)
{
    const std::size_t nn = std::size_t(n) * n;
    auto lu = TryAllocate<float>(nn);
    auto piv = TryAllocate<std::int32_t>(2 * std::size_t(n));
    if (!lu || !piv)
        return -1;
    std::copy(a, a + nn, lu.get());
    std::int32_t* colPiv = piv.get();
    std::int32_t* rowPiv = piv.get() + n;
    if (int rc = LuFactorise(lu.get(), n, colPiv, rowPiv, tolerance, fullPivoting, progress))
        return rc;
    auto work = TryAllocate<float>(2 * std::size_t(n));
    if (!work)
        return -1;
    float* b = work.get();
    float* x = work.get() + n;
    for (int c = 0; c < n; ++c) {
        std::fill(b, b + n, 0.0f);
        b[c] = 1.0f;
        ForwardEliminate(lu.get(), b, n, rowPiv);
        if (int rc = BackSubstitute(lu.get(), b, x, n))
            return rc;
        if (fullPivoting)
            UndoColumnPivots(x, n, colPiv);
        for (int r = 0; r < n; ++r)
            a[r * n + c] = x[r];
    }
    return 0;
}

int EigenCore(int n, const float* a, float* values, float* vectors)
{
    // Work in double on a copy; the caller's matrix is read only and only its upper triangle is used.
    auto work = TryAllocate<double>(std::size_t(n) * n + 2 * std::size_t(n));
    if (!work)
        return -1;
    double* z = work.get();
    double* d = z + std::size_t(n) * n;
    double* e = d + n;
    for (int r = 0; r < n; ++r)
        for (int c = r; c < n; ++c)
            z[r * n + c] = z[c * n + r] = a[r * n + c];

    // Householder reduction to tridiagonal form, accumulating the transformations in z.
    for (int i = n - 1; i > 0; --i) {
        const int l = i - 1;
        double h = 0.0;
        if (l > 0) {
            double scale = 0.0;
            for (int k = 0; k <= l; ++k)
                scale += std::fabs(z[i * n + k]);
            if (scale == 0.0) {
                e[i] = z[i * n + l];   // nothing to annihilate in this row
            } else {
                for (int k = 0; k <= l; ++k) {
                    z[i * n + k] /= scale;
                    h += z[i * n + k] * z[i * n + k];
                }
                double f = z[i * n + l];
                const double g = f >= 0.0 ? -std::sqrt(h) : std::sqrt(h);
                e[i] = scale * g;
                h -= f * g;
                z[i * n + l] = f - g;
                f = 0.0;
                for (int j = 0; j <= l; ++j) {
                    z[j * n + i] = z[i * n + j] / h;
                    double s = 0.0;
                    for (int k = 0; k <= j; ++k)
                        s += z[j * n + k] * z[i * n + k];
                    for (int k = j + 1; k <= l; ++k)
                        s += z[k * n + j] * z[i * n + k];
                    e[j] = s / h;
                    f += e[j] * z[i * n + j];
                }
                const double hh = f / (h + h);
                for (int j = 0; j <= l; ++j) {
                    const double fj = z[i * n + j];
                    const double gj = e[j] - hh * fj;
                    e[j] = gj;
                    for (int k = 0; k <= j; ++k)
                        z[j * n + k] -= fj * e[k] + gj * z[i * n + k];
                }
            }
        } else {
            e[i] = z[i * n + l];
        }
        d[i] = h;
    }
    d[0] = 0.0;
    e[0] = 0.0;
    for (int i = 0; i < n; ++i) {
        const int l = i - 1;
        if (d[i] != 0.0) {
            for (int j = 0; j <= l; ++j) {
                double g = 0.0;
                for (int k = 0; k <= l; ++k)
                    g += z[i * n + k] * z[k * n + j];
                for (int k = 0; k <= l; ++k)
                    z[k * n + j] -= g * z[k * n + i];
            }
        }
        d[i] = z[i * n + i];
        z[i * n + i] = 1.0;
        for (int j = 0; j <= l; ++j)
            z[j * n + i] = z[i * n + j] = 0.0;
    }

    // QL with implicit shifts on the tridiagonal matrix (diagonal d, sub-diagonal e).
    for (int i = 1; i < n; ++i)
        e[i - 1] = e[i];
    if (n > 0)
        e[n - 1] = 0.0;
    double tst = 0.0;
    for (int l = 0; l < n; ++l) {
        int iter = 0;
        tst = std::max(tst, 1e-9 * (std::fabs(d[l]) + std::fabs(e[l])));
        int m;
        do {
            for (m = l; m < n - 1; ++m)
                if (std::fabs(e[m]) <= tst)
                    break;
            if (m != l) {
                if (iter++ == 30)
                    return l + 1;
                double g = (d[l + 1] - d[l]) / (2.0 * e[l]);
                double r = std::hypot(g, 1.0);
                g = d[m] - d[l] + e[l] / (g + (g >= 0.0 ? std::fabs(r) : -std::fabs(r)));
                double s = 1.0, c = 1.0, p = 0.0;
                int i;
                for (i = m - 1; i >= l; --i) {
                    double f = s * e[i];
                    const double b = c * e[i];
                    r = std::hypot(f, g);
                    e[i + 1] = r;
                    if (r == 0.0) {
                        d[i + 1] -= p;
                        e[m] = 0.0;
                        break;
                    }
                    s = f / r;
                    c = g / r;
                    g = d[i + 1] - p;
                    r = (d[i] - g) * s + 2.0 * c * b;
                    p = s * r;
                    d[i + 1] = g + p;
                    g = c * r - b;
                    // Column k of z holds the eigenvector; rotate columns i and i+1.
                    for (int k = 0; k < n; ++k) {
                        f = z[k * n + i + 1];
                        z[k * n + i + 1] = s * z[k * n + i] + c * f;
                        z[k * n + i] = c * z[k * n + i] - s * f;
                    }
                }
                if (r == 0.0 && i >= l)
                    continue;
                d[l] -= p;
                e[l] = g;
                e[m] = 0.0;
            }
        } while (m != l);
    }

    // Selection sort, descending; a strictly larger later value moves forward with its vector.
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    for (int i = 0; i < n; ++i) {
        int k = i;
        for (int j = i + 1; j < n; ++j)
            if (d[order[j]] > d[order[k]])
                k = j;
        std::swap(order[i], order[k]);
    }
    for (int i = 0; i < n; ++i) {
        const int src = order[i];
        values[i] = float(d[src]);
        for (int r = 0; r < n; ++r)
            vectors[i * n + r] = float(z[r * n + src]);
    }
    return 0;
}

int Invert(float* a, int n)
{
    const int rc = InvertCore(a, n, kInvertTolerance, false);
    return rc == 0 ? 0 : (rc < 0 ? 1 : 3);
}

int Factorise(float* a, int n, std::int32_t* pivots)
{
    return LuFactorise(a, n, pivots, pivots + n, kFactoriseTolerance, true) == 0 ? 0 : 3;
}

int SolveFactorised(const float* lu, float* b, float* x, int n, const std::int32_t* pivots)
{
    ForwardEliminate(lu, b, n, pivots + n);
    if (BackSubstitute(lu, b, x, n) != 0)
        return 3;
    UndoColumnPivots(x, n, pivots);
    return 0;
}

int EigenSymmetric(const float* a, int n, float* values, float* vectors)
{
    const int rc = EigenCore(n, a, values, vectors);
    return rc == 0 ? 0 : (rc < 0 ? 1 : 5);
}

int SquareRootSymmetric(float* a, int n)
{
    auto work = TryAllocate<float>((std::size_t(n) + 1) * n);
    if (!work)
        return 1;
    float* values = work.get();
    float* vectors = work.get() + n;
    if (int rc = EigenSymmetric(a, n, values, vectors))
        return rc;
    if (n > 0 && values[n - 1] < kNegativeEigenLimit)
        return 4;
    for (int k = 0; k < n; ++k)
        values[k] = std::sqrt(std::fabs(values[k]));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            double s = 0.0;
            for (int k = 0; k < n; ++k)
                s += double(values[k]) * vectors[k * n + r] * vectors[k * n + c];
            a[r * n + c] = float(s);
        }
    return 0;
}

int Multiply(const float* a, const float* b, float* c, int m, int k, int k2, int p)
{
    if (k != k2)
        return -1;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < p; ++j) {
            double s = 0.0;
            for (int t = 0; t < k; ++t)
                s += double(a[i * k + t]) * b[t * p + j];
            c[i * p + j] = float(s);
        }
    return 0;
}

int Scale(float* a, int rows, int columns, float factor)
{
    const std::size_t count = std::size_t(rows) * columns;
    for (std::size_t i = 0; i < count; ++i)
        a[i] *= factor;
    return 0;
}

void Transpose(float* a, int n)
{
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            std::swap(a[i * n + j], a[j * n + i]);
}

void Symmetrise(float* a, int n)
{
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const float m = 0.5f * (a[i * n + j] + a[j * n + i]);
            a[i * n + j] = a[j * n + i] = m;
        }
}

double Normalise(float* v, int n)
{
    double s = 0.0;
    for (int i = 0; i < n; ++i)
        s += double(v[i]) * v[i];
    if (s == 0.0)
        return s;
    const double len = std::sqrt(s);
    for (int i = 0; i < n; ++i)
        v[i] = float(v[i] / len);
    return 1.0 / len;
}

} // namespace linalg
