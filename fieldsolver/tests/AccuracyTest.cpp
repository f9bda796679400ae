// Accuracy against closed forms and the invariants every solution must keep.
#include "CanonicalCases.h"
#include "fieldsolver/FieldSolverApi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace canonical;

namespace {

constexpr int kMaxLevel = 3;

class SolverSession {
public:
    explicit SolverSession(int level = 1)
    {
        EXPECT_EQ(FieldSolverInit(), 0);
        FieldSolverSettings s;
        FieldSolverGetSettings(s);
        s.accuracyLevel = level;
        EXPECT_EQ(FieldSolverSetSettings(s), 0);
    }
    ~SolverSession() { FieldSolverClose(); }
};

int Solve(const CrossSection& cs, OutputRoom& out, int level = 1)
{
    SolverSession session(level);
    return FieldSolverCompute(cs.Input(), out.output);
}

// How far the reference itself can be trusted: Hammerstad-Jensen's effective permittivity is good to
// about 0.2 %, its air impedance to 0.01 %; the exact forms to rounding.
double ReferenceAccuracy(const Case& c)
{
    if (c.name.find("er=4.3") != std::string::npos)
        return 0.002;
    if (c.name.rfind("microstrip", 0) == 0)
        return 0.0001;
    return 1e-6;
}

} // namespace

TEST(Accuracy, EveryCanonicalCaseConvergesToItsClosedForm)
{
    std::printf("%-38s %5s %12s\n", "case", "level", "rel. error");
    for (const Case& c : AllCases()) {
        double previous = 1e9;
        int firstBelow = -1;
        for (int level = 0; level <= kMaxLevel; ++level) {
            OutputRoom out(c.section.Conductors());
            ASSERT_EQ(Solve(c.section, out, level), 0) << c.name << " level " << level;
            const double error = CaseError(c, out);
            std::printf("%-38s %5d %11.4f%%\n", c.name.c_str(), level, 100 * error);
            // The error falls with the level until it reaches the reference's own accuracy.
            if (previous > 2 * ReferenceAccuracy(c)) {
                EXPECT_LT(error, previous) << c.name << " level " << level;
            }
            if (firstBelow >= 0)
                EXPECT_LT(error, 0.01) << c.name << " level " << level << " after reaching 1 % at " << firstBelow;
            else if (error < 0.01)
                firstBelow = level;
            previous = error;
        }
        EXPECT_GE(firstBelow, 0) << c.name << " never reaches 1 %";
        EXPECT_LE(firstBelow, 2) << c.name;
    }
}

TEST(Accuracy, CoveredCoplanarLineKeepsItsOuterGround)
{
    // A coplanar line under a thick dielectric cover, with far planes above and below: the stack is
    // trimmed at the far planes, never at the coplanar plane that holds the trace, and the plane is
    // built from its pieces. Between two half-spaces the line sees eps_eff = (eps1 + eps2)/2 exactly;
    // planes a hundred gaps away change that by far less than 1 %.
    const float mil = 2.54e-5f, s = 4 * mil, w = 4 * mil;
    const double cover = 4.0;
    CrossSection cs;
    cs.layers = {Layer(mil, FS_LAYER_PLANE), Layer(400 * mil, FS_LAYER_DIELECTRIC, float(cover)), Layer(0.0f, FS_LAYER_PLANE),
                 Layer(400 * mil, FS_LAYER_DIELECTRIC), Layer(mil, FS_LAYER_PLANE)};
    cs.traces = {Trace(3, 0.0f, w, 1, s)};
    const double k = w / (w + 2.0 * s);
    const double z = kEta0 / 4.0 / std::sqrt((cover + 1.0) / 2.0) * EllipticK(std::sqrt(1 - k * k)) / EllipticK(k);
    OutputRoom out(1);
    ASSERT_EQ(Solve(cs, out, 2), 0);
    EXPECT_NEAR(out.output.impedance[0], z, 0.005 * z);
}

TEST(Invariants, MatricesOfACoupledTripleAreWellFormed)
{
    const float mil = 2.54e-5f;
    CrossSection cs;
    cs.layers = {Layer(0.0f, FS_LAYER_ROUTING), Layer(4 * mil, FS_LAYER_DIELECTRIC), Layer(mil, FS_LAYER_PLANE)};
    cs.traces = {Trace(1, -12 * mil, 5 * mil, 1), Trace(1, 0.0f, 5 * mil, 2), Trace(1, 14 * mil, 7 * mil, 3)};
    OutputRoom out(3);
    ASSERT_EQ(Solve(cs, out), 0);
    const float* C = out.output.capacitance;
    const float* L = out.output.inductance;
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(C[i * 3 + i], 0.0f);
        for (int j = 0; j < 3; ++j) {
            EXPECT_FLOAT_EQ(C[i * 3 + j], C[j * 3 + i]);
            EXPECT_FLOAT_EQ(L[i * 3 + j], L[j * 3 + i]);
            if (i != j) {
                EXPECT_LE(C[i * 3 + j], 0.0f);
            }
        }
    }
    // L positive definite (leading minors), and L C = I / c^2 in homogeneous air.
    EXPECT_GT(L[0], 0.0f);
    EXPECT_GT(double(L[0]) * L[4] - double(L[1]) * L[3], 0.0);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double s = 0.0;
            for (int k = 0; k < 3; ++k)
                s += double(L[i * 3 + k]) * C[k * 3 + j];
            EXPECT_NEAR(s * kC0 * kC0, i == j ? 1.0 : 0.0, 2e-3) << i << "," << j;
        }
}

namespace {

CrossSection Asymmetric()
{
    const float mil = 2.54e-5f;
    CrossSection cs;
    cs.layers = {Layer(mil, FS_LAYER_PLANE), Layer(3 * mil, FS_LAYER_DIELECTRIC, 3.0f), Layer(1.4f * mil, FS_LAYER_ROUTING, 3.0f),
                 Layer(6 * mil, FS_LAYER_DIELECTRIC, 4.0f), Layer(mil, FS_LAYER_PLANE)};
    cs.traces = {Trace(3, -7 * mil, 4 * mil, 1), Trace(3, 6 * mil, 6 * mil, 2)};
    return cs;
}

void ExpectSame(const OutputRoom& a, const OutputRoom& b, bool swapped, double tolerance)
{
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            const int bi = swapped ? 1 - i : i, bj = swapped ? 1 - j : j;
            EXPECT_NEAR(a.At(a.output.capacitance, i, j), b.At(b.output.capacitance, bi, bj), tolerance * std::fabs(a.output.capacitance[0]));
            EXPECT_NEAR(a.At(a.output.inductance, i, j), b.At(b.output.inductance, bi, bj), tolerance * std::fabs(a.output.inductance[0]));
        }
}

} // namespace

TEST(Invariants, ShiftMirrorFlipRenumberAndScaleGiveTheSameLine)
{
    const CrossSection base = Asymmetric();
    OutputRoom ref(2);
    ASSERT_EQ(Solve(base, ref), 0);

    CrossSection shifted = base;
    for (auto& t : shifted.traces)
        t.Center += 0.37e-3f;
    OutputRoom a(2);
    ASSERT_EQ(Solve(shifted, a), 0);
    ExpectSame(ref, a, false, 2e-3);

    CrossSection mirrored = base;
    for (auto& t : mirrored.traces)
        t.Center = -t.Center;
    OutputRoom b(2);
    ASSERT_EQ(Solve(mirrored, b), 0);
    ExpectSame(ref, b, false, 2e-3);

    CrossSection flipped = base;
    std::reverse(flipped.layers.begin(), flipped.layers.end());
    for (auto& t : flipped.traces)
        t.LayerIndex = int(flipped.layers.size()) - t.LayerIndex + 1;
    OutputRoom c(2);
    ASSERT_EQ(Solve(flipped, c), 0);
    ExpectSame(ref, c, false, 2e-3);

    CrossSection renumbered = base;
    std::swap(renumbered.traces[0].conductor, renumbered.traces[1].conductor);
    OutputRoom d(2);
    ASSERT_EQ(Solve(renumbered, d), 0);
    ExpectSame(ref, d, true, 2e-3);

    CrossSection scaled = base;
    for (auto& l : scaled.layers)
        l.Thickness *= 3.0f;
    for (auto& t : scaled.traces) {
        t.Center *= 3.0f;
        t.TopWidth *= 3.0f;
        t.BottomWidth *= 3.0f;
    }
    OutputRoom e(2);
    ASSERT_EQ(Solve(scaled, e), 0);
    ExpectSame(ref, e, false, 2e-3);
}

TEST(Accuracy, ThickMicrostripInAirFollowsTheThicknessCorrection)
{
    // Hammerstad-Jensen with the thickness-corrected width (good to about 1 %).
    const float mil = 2.54e-5f, h = 4 * mil, t = 1.4f * mil, w = 8 * mil;
    CrossSection cs;
    cs.layers = {Layer(t, FS_LAYER_ROUTING), Layer(h, FS_LAYER_DIELECTRIC), Layer(mil, FS_LAYER_PLANE)};
    cs.traces = {Trace(1, 0.0f, w, 1)};
    const double u = w / h, tn = t / h;
    const double coth = 1.0 / std::tanh(std::sqrt(6.517 * u));
    const double u1 = u + tn / kPi * std::log(1.0 + 4.0 * std::exp(1.0) / (tn * coth * coth));
    const double z = MicrostripZ0Air(u1);
    OutputRoom out(1);
    ASSERT_EQ(Solve(cs, out, 2), 0);
    EXPECT_NEAR(out.output.impedance[0], z, 0.01 * z);
}

TEST(Invariants, DielectricsChangeCapacitanceButNotInductance)
{
    // A conformal coating (a filling dielectric facing the air) follows the strip's outline; it
    // raises C and slows the line, while L stays the vacuum value.
    const float mil = 2.54e-5f;
    CrossSection bare;
    bare.layers = {Layer(1.4f * mil, FS_LAYER_ROUTING), Layer(4 * mil, FS_LAYER_DIELECTRIC, 4.3f), Layer(mil, FS_LAYER_PLANE)};
    bare.traces = {Trace(1, 0.0f, 8 * mil, 1)};
    CrossSection coated = bare;
    coated.layers.insert(coated.layers.begin(), Layer(0.8f * mil, FS_LAYER_DIELECTRIC, 3.5f));
    coated.layers[0].fillsNeighbours = 1;
    coated.traces[0].LayerIndex = 2;
    OutputRoom a(1), b(1);
    ASSERT_EQ(Solve(bare, a, 2), 0);
    ASSERT_EQ(Solve(coated, b, 2), 0);
    EXPECT_GT(b.output.capacitance[0], 1.03f * a.output.capacitance[0]);
    EXPECT_LT(b.output.speeds[0], a.output.speeds[0]);
    EXPECT_NEAR(b.output.inductance[0], a.output.inductance[0], 0.005 * a.output.inductance[0]);
}

TEST(Invariants, FiniteBoardHasSideFacesAndAReturnResistance)
{
    const float mil = 2.54e-5f;
    CrossSection cs;
    cs.layers = {Layer(1.4f * mil, FS_LAYER_ROUTING, 4.3f), Layer(4 * mil, FS_LAYER_DIELECTRIC, 4.3f), Layer(mil, FS_LAYER_PLANE)};
    cs.layers[0].resistivity = cs.layers[2].resistivity = 1.7e-8f;
    cs.traces = {Trace(1, 0.0f, 8 * mil, 1)};
    cs.leftEdge = -30 * mil;
    cs.rightEdge = 30 * mil;
    ASSERT_EQ(FieldSolverInit(), 0);
    FieldSolverSettings s;
    FieldSolverGetSettings(s);
    s.finiteBoard = 1;
    FieldSolverSetSettings(s);
    OutputRoom out(1);
    ASSERT_EQ(FieldSolverCompute(cs.Input(), out.output), 0);
    const double trace = 1.7e-8 / (8.0 * mil * 1.4 * mil);
    const double plane = 1.7e-8 / (60.0 * mil * mil);
    EXPECT_NEAR(out.output.dcResistance[0], trace + plane, 1e-5 * (trace + plane));
    // The dielectric ends at the board's edges: less capacitance than on an endless board.
    OutputRoom endless(1);
    CrossSection wide = cs;
    wide.leftEdge = -1.0f;
    wide.rightEdge = 1.0f;
    ASSERT_EQ(FieldSolverCompute(wide.Input(), endless.output), 0);
    EXPECT_NEAR(endless.output.dcResistance[0], trace, 1e-5 * trace);
    EXPECT_NE(out.output.capacitance[0], endless.output.capacitance[0]);
    FieldSolverClose();
}

TEST(Accuracy, LossMatricesAgreeWithClosedForms)
{
    ASSERT_EQ(FieldSolverInit(), 0);
    FieldSolverSettings s;
    FieldSolverGetSettings(s);
    s.lossesEnabled = 1;
    ASSERT_EQ(FieldSolverSetSettings(s), 0);
    const float mil = 2.54e-5f;
    // Skin-effect resistance of a two-wire line at 1 GHz: 2 Rs/(pi d) (D/d)/sqrt((D/d)^2 - 1).
    const float d = 8 * mil, spacing = 40 * mil;
    const double rho = 1.7e-8;
    CrossSection pair;
    pair.layers = {Layer(d, FS_LAYER_ROUTING)};
    pair.layers[0].resistivity = float(rho);
    pair.traces = {Trace(1, -spacing / 2, 0.0f, 1), Trace(1, spacing / 2, 0.0f, 0)};
    OutputRoom out(1);
    ASSERT_EQ(FieldSolverCompute(pair.Input(), out.output), 0);
    const double rs = std::sqrt(kPi * 1e9 * kMu0 * rho), ratio = spacing / d;
    const double r = 2 * rs / (kPi * d) * ratio / std::sqrt(ratio * ratio - 1);
    EXPECT_NEAR(out.output.extraMatrixA[0], r, 0.005 * r);
    // A stripline filled with one lossy dielectric: G = omega C tan(delta) at 1 GHz.
    CrossSection strip;
    strip.layers = {Layer(mil, FS_LAYER_PLANE, 4), Layer(4 * mil, FS_LAYER_DIELECTRIC, 4), Layer(0.0f, FS_LAYER_ROUTING, 4),
                    Layer(4 * mil, FS_LAYER_DIELECTRIC, 4), Layer(mil, FS_LAYER_PLANE, 4)};
    for (auto& l : strip.layers)
        l.propertyA = 0.02f;
    strip.traces = {Trace(3, 0.0f, 8 * mil, 1)};
    OutputRoom lossy(1);
    ASSERT_EQ(FieldSolverCompute(strip.Input(), lossy.output), 0);
    const double g = 2 * kPi * 1e9 * lossy.output.capacitance[0] * 0.02;
    EXPECT_NEAR(lossy.output.extraMatrixC[0], g, 0.01 * g);
    FieldSolverClose();
}

TEST(Accuracy, SquareConductorActsAsItsEquivalentCircle)
{
    // Far from its plane a square of side a behaves as a round wire of radius
    // a Gamma(1/4)^2 / (4 pi^(3/2)) (about 0.59 a): corners and their singular charge at work.
    const float mil = 2.54e-5f, a = mil, gap = 20 * mil;
    CrossSection cs;
    cs.layers = {Layer(a, FS_LAYER_ROUTING), Layer(gap, FS_LAYER_DIELECTRIC), Layer(mil, FS_LAYER_PLANE)};
    cs.traces = {Trace(1, 0.0f, a, 1)};
    const double radius = a * std::pow(std::tgamma(0.25), 2) / (4.0 * std::pow(kPi, 1.5));
    const double l = kMu0 / (2 * kPi) * std::acosh((gap + a / 2.0) / radius);
    OutputRoom out(1);
    ASSERT_EQ(Solve(cs, out, 2), 0);
    EXPECT_NEAR(out.output.inductance[0], l, 0.001 * l);
}
