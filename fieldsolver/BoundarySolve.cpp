// Boundary-element solve: assembly of the potential and flux-continuity rows, LU solves for the
// capacitance with and without dielectrics, inductance from the vacuum capacitance, optional loss
// matrices, then the modal analysis.
//
// Units inside: with the kernels' -2 ln r potential a solved charge q stands for 4 pi eps0 q coulombs
// per metre per volt, so charge sums times 1.1126500560536186 (4 pi eps0 x 1e10) give capacitance in
// units of 1e-10 F/m; inductance is kept in units of 1e-7 H/m until the final scaling.
#include "fieldsolver/FieldSolver.h"
#include "fieldsolver/LinearAlgebra.h"
#include "fieldsolver/SegmentKernels.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr double kChargeToCapacitance = 1.1126500560536186;   // 4 pi eps0 x 1e10
constexpr double kConductivityScale = 17.975103;               // 1 / (2 pi 1e9 eps0)
constexpr double kLossScale = 0.62831855;                      // 2 pi 1e9 x 1e-10

double DielectricWeight(const BoundarySegment& s)
{
    if (s.type == SEG_JUNCTION)
        return double(s.weightA) * s.epsB + double(s.weightB) * s.epsA;
    return 0.5 * (double(s.epsA) + s.epsB);
}

double LossWeight(const BoundarySegment& s)
{
    if (s.type == SEG_JUNCTION)
        return double(s.weightA) * s.lossB + double(s.weightB) * s.lossA;
    return 0.5 * (double(s.lossA) + s.lossB);
}

} // namespace

void FieldSolver::SetLossFlags()
{
    computeResistance = computeLossTangentConductance = computeConductivityConductance = 0;
    if (!model.lossesEnabled) {
        model.extraLossEnabled = 0;
        return;
    }
    bool roughness = false;
    for (const auto& l : model.layers) {
        if (!IsDielectric(l) && l.resistivity != 0.0f)
            computeResistance = 1;
        if (l.propertyA != 0.0f)
            computeLossTangentConductance = 1;
        if (l.propertyB != 0.0f)
            computeConductivityConductance = 1;
        if (!IsDielectric(l) && (l.propertyC != 0.0f || l.propertyD != 0.0f))
            roughness = true;
    }
    if (model.spacePropertyA != 0.0f)
        computeLossTangentConductance = 1;
    if (model.spacePropertyB != 0.0f)
        computeConductivityConductance = 1;
    model.lossesEnabled = computeResistance || computeLossTangentConductance || computeConductivityConductance;
    if (!model.lossesEnabled || !model.extraLossEnabled)
        return;
    model.extraLossEnabled = roughness ? 1 : 0;
}

int FieldSolver::SolveCrossSection(FieldSolverOutput& output, bool keepModeCharges)
{
    auto finish = [&](int status) {
        output.status = status;
        return status;
    };
    // 1. Sizes.
    int nc = 0;
    for (const auto& r : regions)
        if (r.conductor != 0)
            nc += r.segmentCount;
    const int ns = int(segments.size());
    const int n = SignalConductorCount();
    // A caller that states its arrays' capacity (as a cache hit requires) is never written past it.
    if (output.conductorCount > 0 && output.conductorCount < n)
        return finish(FS_OUTPUT_TOO_SMALL);
    output.conductorCount = std::max(n, 0);
    if (n < 1)
        return finish(FS_NO_SIGNAL_CONDUCTOR);
    int conductorRegions = 0;
    std::vector<int> owner;
    try {
        owner.assign(std::size_t(ns), 0);
    } catch (const std::bad_alloc&) {
        return finish(FS_OUT_OF_MEMORY);
    }
    for (const auto& r : regions) {
        if (r.conductor != 0)
            ++conductorRegions;
        for (int i = r.firstSegment; i < r.firstSegment + r.segmentCount; ++i)
            owner[std::size_t(i)] = r.conductor;
    }
    const std::size_t nn = std::size_t(n) * n;
    // 2. Optional outputs present are zeroed; missing ones switch their computation off.
    for (float* m : {output.extraMatrixA, output.extraMatrixB, output.extraMatrixC, output.extraMatrixD})
        if (m)
            std::fill(m, m + nn, 0.0f);
    if (!output.extraMatrixA) computeResistance = 0;
    if (!output.extraMatrixC) computeLossTangentConductance = 0;
    if (!output.extraMatrixB) computeConductivityConductance = 0;
    model.lossesEnabled = computeResistance || computeLossTangentConductance || computeConductivityConductance;
    if (!output.extraMatrixD || !computeResistance)
        model.extraLossEnabled = 0;
    const bool interfaces = ns > nc;

    // 3. Buffers.
    std::vector<float> a, a0, b, c, rhs, solutions, vacuumCharges;
    std::vector<std::int32_t> pivots;
    try {
        a.assign(std::size_t(ns) * ns, 0.0f);
        if (interfaces)
            a0.assign(std::size_t(nc) * nc, 0.0f);
        rhs.assign(std::size_t(n + 1) * ns, 0.0f);
        solutions.assign(std::size_t(n + 1) * ns, 0.0f);
        pivots.assign(2 * std::size_t(ns), 0);
    } catch (const std::bad_alloc&) {
        return finish(FS_OUT_OF_MEMORY);
    }
    auto tryAssign = [](std::vector<float>& v, std::size_t count, std::uint8_t& flag) {
        if (!flag)
            return;
        try {
            v.assign(count, 0.0f);
        } catch (const std::bad_alloc&) {
            flag = 0;
        }
    };
    tryAssign(b, std::size_t(ns) * ns, computeLossTangentConductance);
    tryAssign(c, std::size_t(ns) * ns, computeConductivityConductance);
    tryAssign(vacuumCharges, std::size_t(n) * nc, computeResistance);
    if (!computeResistance)
        model.extraLossEnabled = 0;

    // 4. Assembly.
    stage = 1;
    progress = 0.0f;
    std::vector<long double> bases;
    try {
        bases.assign(static_cast<std::size_t>(ns), 0.0L);
    } catch (const std::bad_alloc&) {
        return finish(FS_OUT_OF_MEMORY);
    }
    for (int j = 0; j < ns; ++j)
        bases[std::size_t(j)] = kernels::PotentialBase(segments[std::size_t(j)], logScale);
    for (int i = 0; i < nc; ++i) {
        const Vec2 p = segments[std::size_t(i)].Point();
        float* row = a.data() + std::size_t(i) * ns;
        for (int j = 0; j < ns; ++j)
            row[j] = kernels::SegmentPotentialFromBase(segments[std::size_t(j)], p, bases[std::size_t(j)], kernels::JunctionForm::Dielectric);
        if (interfaces)
            std::copy(row, row + nc, a0.data() + std::size_t(i) * nc);
        progress = float(i + 1) / ns;
        if (PollProgress())
            return finish(FS_CANCELLED);
    }
    if (!interfaces) {
        progress = 1.0f;
    } else {
        for (const auto& r : regions) {
            if (r.conductor != 0)
                continue;
            const double e1 = r.epsA, e2 = r.epsB, l1 = r.lossA, l2 = r.lossB;
            const double s1 = kConductivityScale * r.conductivityA, s2 = kConductivityScale * r.conductivityB;
            for (int i = r.firstSegment; i < r.firstSegment + r.segmentCount; ++i) {
                const BoundarySegment& si = segments[std::size_t(i)];
                const double h = si.halfLength;
                const double self = kernels::SelfField(si);
                float* rowA = a.data() + std::size_t(i) * ns;
                float* rowB = b.empty() ? nullptr : b.data() + std::size_t(i) * ns;
                float* rowC = c.empty() ? nullptr : c.data() + std::size_t(i) * ns;
                for (int j = 0; j < ns; ++j) {
                    if (j == i) {
                        rowA[j] = float(self * (e1 + e2) * h);
                        if (rowB) rowB[j] = float(self * (l1 + l2) * h);
                        if (rowC) rowC[j] = float(self * (s1 + s2) * h);
                        continue;
                    }
                    const double e = Dot(kernels::SegmentField(segments[std::size_t(j)], si.Point()), si.normalEnd);
                    rowA[j] = float(e * (e1 - e2) * h);
                    if (rowB) rowB[j] = float(e * (l1 - l2) * h);
                    if (rowC) rowC[j] = float(e * (s1 - s2) * h);
                }
                progress = float(i + 1) / ns;
                if (PollProgress())
                    return finish(FS_CANCELLED);
            }
        }
        progress = 1.0f;
    }

    // Field rows of the conductor segments whose two faces see different dielectrics.
    std::vector<float> splitStore;
    std::vector<const float*> splitRow(static_cast<std::size_t>(nc), nullptr);
    if (interfaces) {
        std::vector<int> split;
        for (int i = 0; i < nc; ++i) {
            const BoundarySegment& si = segments[std::size_t(i)];
            if (si.type == SEG_STRAIGHT && DielectricsDiffer(DielectricMaterial{si.epsA, 0, 0}, DielectricMaterial{si.epsB, 0, 0}, 1e-6))
                split.push_back(i);
        }
        try {
            splitStore.assign(split.size() * std::size_t(ns), 0.0f);
        } catch (const std::bad_alloc&) {
            return finish(FS_OUT_OF_MEMORY);
        }
        for (std::size_t r = 0; r < split.size(); ++r) {
            const BoundarySegment& si = segments[std::size_t(split[r])];
            float* row = splitStore.data() + r * std::size_t(ns);
            for (int j = 0; j < ns; ++j)
                if (j != split[r])
                    row[j] = float(Dot(kernels::SegmentField(segments[std::size_t(j)], si.Point()), si.normalStart));
            splitRow[std::size_t(split[r])] = row;
        }
    }

    // Capacitance solve of an n x n system (`size` unknowns, the first nc on conductors).
    float* ratios = nullptr;
    std::vector<float> ratioStore(std::size_t(n), 0.0f);
    ratios = ratioStore.data();
    // Free charge of a conductor segment. A segment with different dielectrics on its two faces (a
    // zero-thickness strip lying on an interface) carries its charge unevenly on the faces; the mean
    // permittivity alone would misjudge it badly (a microstrip on FR-4 loses a fifth of its
    // capacitance), so the face split follows from flux continuity, as on an interface row:
    //   free = (eA + eB)/2 q + (eA - eB)/(2 Eself) sum_j E(j -> i).nA q_j.
    auto freeCharge = [&](int s, const float* q) {
        double value = DielectricWeight(segments[std::size_t(s)]) * q[s];
        const float* row = splitRow[std::size_t(s)];
        if (row) {
            const BoundarySegment& seg = segments[std::size_t(s)];
            double field = 0.0;
            for (int j = 0; j < ns; ++j)
                field += double(row[j]) * q[j];
            value += (double(seg.epsA) - seg.epsB) / (2.0 * kernels::SelfField(seg)) * field;
        }
        return value;
    };
    auto totalCharge = [&](const float* q, bool dielectric) {
        double sum = 0.0;
        for (int s = 0; s < nc; ++s)
            sum += dielectric ? freeCharge(s, q) : double(q[s]);
        return sum;
    };
    auto conductorCharge = [&](int k, const float* q, bool dielectric) {
        double sum = 0.0;
        for (int s = 0; s < nc; ++s)
            if (owner[std::size_t(s)] == k)
                sum += dielectric ? freeCharge(s, q) : double(q[s]);
        return kChargeToCapacitance * sum;
    };
    auto solveCapacitance = [&](std::vector<float>& m, int size, bool dielectric, float* out) -> int {
        for (int k = 0; k <= n; ++k) {
            float* r = rhs.data() + std::size_t(k) * size;
            std::fill(r, r + size, 0.0f);
            for (int s = 0; s < nc; ++s)
                if (k == n || owner[std::size_t(s)] == k + 1)
                    r[s] = 1.0f;
        }
        if (linalg::Factorise(m.data(), size, pivots.data()) != 0)
            return FS_SINGULAR;
        for (int k = 0; k <= n; ++k)
            if (linalg::SolveFactorised(m.data(), rhs.data() + std::size_t(k) * size, solutions.data() + std::size_t(k) * size, size,
                                        pivots.data()) != 0)
                return FS_SINGULAR;
        // Neutral solutions: add the all-conductors solution so that every one carries no net charge.
        const float* extra = solutions.data() + std::size_t(n) * size;
        const double q = totalCharge(extra, dielectric);
        for (int k = 0; k < n; ++k) {
            float* qk = solutions.data() + std::size_t(k) * size;
            const double r = q != 0.0 ? -totalCharge(qk, dielectric) / q : 0.0;
            ratios[k] = float(r);
            for (int s = 0; s < size; ++s)
                qk[s] = float(qk[s] + r * extra[s]);
        }
        for (int k = 0; k < n; ++k)
            for (int j = 0; j < n; ++j) {
                double v = conductorCharge(j + 1, solutions.data() + std::size_t(k) * size, dielectric);
                if (j != k && v >= 0.0)
                    v = 0.0;   // mutual capacitances are never positive
                out[std::size_t(k) * n + j] = float(v);
            }
        linalg::Symmetrise(out, n);
        return FS_OK;
    };
    auto keepVacuum = [&](int size) {
        if (!computeResistance)
            return;
        for (int k = 0; k < n; ++k)
            std::copy(solutions.data() + std::size_t(k) * size, solutions.data() + std::size_t(k) * size + nc,
                      vacuumCharges.data() + std::size_t(k) * nc);
    };

    // 5. Vacuum solve (only when there are interfaces) into the inductance matrix.
    if (interfaces) {
        for (int j = 0; j < nc; ++j) {
            if (segments[std::size_t(j)].type != SEG_JUNCTION)
                continue;
            for (int i = 0; i < nc; ++i)
                a0[std::size_t(i) * nc + j] = kernels::SegmentPotential(segments[std::size_t(j)], segments[std::size_t(i)].Point(), logScale,
                                                                        kernels::JunctionForm::Vacuum);
        }
        stage = 2;
        if (int rc = solveCapacitance(a0, nc, false, output.inductance))
            return finish(rc);
        keepVacuum(nc);
    }
    // 6. Dielectric solve into the capacitance matrix.
    stage = 3;
    if (int rc = solveCapacitance(a, ns, true, output.capacitance))
        return finish(rc);
    stage = 4;
    // 7. Homogeneous medium: the vacuum capacitance is C / eps_r.
    if (!interfaces) {
        double eps = 1.0;
        for (const auto& r : regions)
            if (r.conductor == 1 && r.segmentCount > 0) {
                eps = segments[std::size_t(r.firstSegment)].epsA;
                break;
            }
        for (std::size_t i = 0; i < nn; ++i)
            output.inductance[i] = float(output.capacitance[i] / eps);
        keepVacuum(ns);
    }
    // 8. L = 4 pi eps0 C0^-1 in units of 1e-7 H/m.
    std::vector<float> vacuumCapacitance(output.inductance, output.inductance + nn);
    if (int rc = linalg::Invert(output.inductance, n))
        return finish(rc == 1 ? FS_OUT_OF_MEMORY : FS_SINGULAR);
    linalg::Scale(output.inductance, n, n, 1.11265f);
    linalg::Symmetrise(output.inductance, n);

    // 9a. Skin-effect and roughness resistance from the vacuum charges.
    if (computeResistance) {
        std::vector<float> m(nn);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                m[std::size_t(i) * n + j] = float(conductorCharge(j + 1, vacuumCharges.data() + std::size_t(i) * nc, false));
        if (linalg::Invert(m.data(), n) == 0) {
            std::vector<double> current(std::size_t(n) * nc, 0.0);
            for (int i = 0; i < n; ++i)
                for (int k = 0; k < n; ++k)
                    for (int s = 0; s < nc; ++s)
                        current[std::size_t(i) * nc + s] += double(m[std::size_t(i) * n + k]) * vacuumCharges[std::size_t(k) * nc + s];
            for (int i = 0; i < n; ++i)
                for (int j = 0; j <= i; ++j) {
                    double r = 0.0, rough = 0.0;
                    for (const auto& reg : regions) {
                        if (reg.conductor == 0)
                            continue;
                        const double rs = std::sqrt(3947.841760435743 * reg.resistivity);
                        double k1 = 0.0, k2 = 0.0;
                        for (int s = reg.firstSegment; s < reg.firstSegment + reg.segmentCount; ++s) {
                            const BoundarySegment& seg = segments[std::size_t(s)];
                            const double e = seg.edgeExponent;
                            const double g = (seg.type == SEG_CORNER || seg.type == SEG_JUNCTION) ? (1 - e) * (1 - e) / (1 - 2 * e) : 1.0;
                            const double term = g * current[std::size_t(i) * nc + s] * current[std::size_t(j) * nc + s] / (2.0 * seg.halfLength);
                            k1 += term;
                            k2 += term * seg.roughnessFactor;
                        }
                        r += rs * 1.2379901 * k1;
                        rough += rs * 1.2379901 * k2;
                    }
                    output.extraMatrixA[std::size_t(i) * n + j] = output.extraMatrixA[std::size_t(j) * n + i] = float(r);
                    if (model.extraLossEnabled && output.extraMatrixD)
                        output.extraMatrixD[std::size_t(i) * n + j] = output.extraMatrixD[std::size_t(j) * n + i] = float(rough);
                }
        }
    }
    // 9b. Dielectric loss conductances, reusing the LU factors of A.
    auto lossConductance = [&](const std::vector<float>& perturbation, float* out) {
        std::vector<float> rhsLoss(static_cast<std::size_t>(ns)), dq(static_cast<std::size_t>(ns));
        for (int i = 0; i < n; ++i) {
            const float* qi = solutions.data() + std::size_t(i) * ns;
            for (int r = 0; r < ns; ++r) {
                double sum = 0.0;
                const float* row = perturbation.data() + std::size_t(r) * ns;
                for (int s = 0; s < ns; ++s)
                    sum += double(row[s]) * qi[s];
                rhsLoss[std::size_t(r)] = float(-sum);
            }
            if (linalg::SolveFactorised(a.data(), rhsLoss.data(), dq.data(), ns, pivots.data()) != 0)
                return;
            for (int k = 0; k < n; ++k) {
                double sum = 0.0;
                for (int s = 0; s < nc; ++s)
                    if (owner[std::size_t(s)] == k + 1)
                        sum += LossWeight(segments[std::size_t(s)]) * qi[s] + DielectricWeight(segments[std::size_t(s)]) * dq[std::size_t(s)];
                out[std::size_t(k) * n + i] = float(kChargeToCapacitance * sum * kLossScale);
            }
        }
        linalg::Symmetrise(out, n);
    };
    if (computeLossTangentConductance)
        lossConductance(b, output.extraMatrixC);
    if (computeConductivityConductance) {
        SampleSegmentMaterials(true);
        lossConductance(c, output.extraMatrixB);
        SampleSegmentMaterials(false);
    }

    // 10. Modal analysis.
    if (int rc = ModalAnalysis(output, n, dielectricTolerance))
        return finish(rc);

    // 11. Charges and conductor potentials of each mode.
    if (keepModeCharges && modeCharges.Allocate(n, ns, conductorRegions)) {
        for (int m = 0; m < n; ++m) {
            const float* u = output.modesToTraces + std::size_t(m) * n;
            auto& charges = modeCharges.segmentCharges[std::size_t(m)];
            for (int k = 0; k < n; ++k)
                for (int s = 0; s < ns; ++s)
                    charges[std::size_t(s)] += u[k] * solutions[std::size_t(k) * ns + s];
            double base = 0.0;
            for (int k = 0; k < n; ++k)
                base += double(u[k]) * ratios[k];
            int index = 0;
            for (const auto& r : regions) {
                if (r.conductor == 0)
                    continue;
                modeCharges.regionPotentials[std::size_t(m)][std::size_t(index++)] =
                    float(r.conductor <= n ? base + u[r.conductor - 1] : base);
            }
        }
    }
    // 12. Final units and the mode matrices as columns.
    linalg::Scale(output.capacitance, n, n, 1e-10f);
    linalg::Scale(output.inductance, n, n, 1e-7f);
    linalg::Scale(output.speeds, 1, n, 1e9f);
    linalg::Transpose(output.modesToTraces, n);
    linalg::Transpose(output.tracesToModes, n);
    return finish(FS_OK);
}
