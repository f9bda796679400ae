#include "CanonicalCases.h"
#include "fieldsolver/FieldSolver.h"
#include "fieldsolver/FieldSolverApi.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace canonical;

TEST(ModalAnalysis, SingleLineImpedanceAndSpeed)
{
    OutputRoom out(1);
    out.output.inductance[0] = 250e-9f * 1e7f;    // internal units
    out.output.capacitance[0] = 100e-12f * 1e10f;
    ASSERT_EQ(ModalAnalysis(out.output, 1, 0.01), 0);
    EXPECT_NEAR(out.output.impedance[0], 50.0, 1e-4);
    EXPECT_NEAR(out.output.speeds[0] * 1e9, 2e8, 2e8 * 1e-6);
    out.output.capacitance[0] = 0.0f;
    EXPECT_EQ(ModalAnalysis(out.output, 1, 0.01), FS_NOT_POSITIVE);
}

TEST(ModalAnalysis, UncoupledPairHasOpenMutualResistor)
{
    OutputRoom out(2);
    const float l[4] = {2.5f, 0.0f, 0.0f, 2.5f}, c[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    std::copy(l, l + 4, out.output.inductance);
    std::copy(c, c + 4, out.output.capacitance);
    ASSERT_EQ(ModalAnalysis(out.output, 2, 0.01), 0);
    EXPECT_EQ(out.output.modeCount, 1);
    EXPECT_EQ(out.output.equivalentResistors[1], 1e20f);
    EXPECT_NEAR(out.output.equivalentResistors[0], 50.0, 1e-3);
}

namespace {

Case CoupledMicrostrip(float eps)
{
    const float mil = 2.54e-5f;
    Case c;
    c.section.layers = {Layer(0.0f, FS_LAYER_ROUTING), Layer(4 * mil, FS_LAYER_DIELECTRIC, eps), Layer(mil, FS_LAYER_PLANE)};
    c.section.traces = {Trace(1, -5 * mil, 6 * mil, 1), Trace(1, 5 * mil, 6 * mil, 2)};
    return c;
}

} // namespace

TEST(ModalAnalysis, HomogeneousPairHasOneSpeedAndEvenOddModes)
{
    ASSERT_EQ(FieldSolverInit(), 0);
    Case c = CoupledMicrostrip(1.0f);
    OutputRoom out(2);
    ASSERT_EQ(FieldSolverCompute(c.section.Input(), out.output), 0);
    EXPECT_EQ(out.output.modeCount, 1);
    EXPECT_FLOAT_EQ(out.output.speeds[0], out.output.speeds[1]);
    EXPECT_NEAR(out.output.speeds[0], kC0, kC0 * 0.01);
    // The mode vectors (columns) are the even and odd eigenvectors of C.
    const float* u = out.output.modesToTraces;
    for (int k = 0; k < 2; ++k)
        EXPECT_NEAR(std::fabs(u[0 * 2 + k]), std::fabs(u[1 * 2 + k]), 1e-4);
    FieldSolverClose();
}

TEST(ModalAnalysis, InhomogeneousPairHasTwoSpeedsAndExactInverse)
{
    ASSERT_EQ(FieldSolverInit(), 0);
    Case c = CoupledMicrostrip(4.3f);
    OutputRoom out(2);
    ASSERT_EQ(FieldSolverCompute(c.section.Input(), out.output), 0);
    EXPECT_EQ(out.output.modeCount, 0);
    EXPECT_GT(std::fabs(out.output.speeds[0] - out.output.speeds[1]), 0.01 * out.output.speeds[1]);
    const float* u = out.output.modesToTraces;
    const float* v = out.output.tracesToModes;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            double s = 0.0;
            for (int k = 0; k < 2; ++k)
                s += double(v[i * 2 + k]) * u[k * 2 + j];
            EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-5);
        }
    FieldSolverClose();
}
