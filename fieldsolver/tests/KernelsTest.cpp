#include "fieldsolver/SegmentKernels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kernels;

namespace {

// -integral of ln(distance^2) over the charge, by a fine midpoint rule.
double NumericUniform(double x, double y)
{
    const int steps = 200000;
    double s = 0.0;
    for (int i = 0; i < steps; ++i) {
        const double t = -1.0 + (i + 0.5) * 2.0 / steps;
        s += std::log((x - t) * (x - t) + y * y);
    }
    return -0.5 * s * 2.0 / steps;
}

} // namespace

TEST(Kernels, UniformPotentialMatchesItsIntegral)
{
    EXPECT_DOUBLE_EQ(double(UniformPotential(0, 0)), 2.0);
    EXPECT_NEAR(double(UniformPotential(3, 0)), 2.0 - 0.5 * (4 * std::log(16.0) - 2 * std::log(4.0)), 1e-12);
    for (auto [x, y] : {std::pair{0.3, 0.7}, {2.5, -1.0}, {-4.0, 0.2}, {0.0, 3.0}})
        EXPECT_NEAR(double(UniformPotential(x, y)), NumericUniform(x, y), 1e-6) << x << "," << y;
}

TEST(Kernels, FieldsAreGradientsOfThePotentials)
{
    const double h = 1e-5;
    for (auto [x, y] : {std::pair{0.3, 0.7}, {2.5, -1.0}, {12.0, 3.0}, {-0.4, -0.2}}) {
        long double fx, fy;
        UniformField(x, y, fx, fy);
        EXPECT_NEAR(double(fx), double((UniformPotential(x + h, y) - UniformPotential(x - h, y)) / (2 * h)), 1e-5);
        EXPECT_NEAR(double(fy), double((UniformPotential(x, y + h) - UniformPotential(x, y - h)) / (2 * h)), 1e-5);
        for (double e : {0.5, 1.0 / 3.0}) {
            EdgeField(x, y, e, fx, fy);
            EXPECT_NEAR(double(fx), double((EdgePotential(x + h, y, e) - EdgePotential(x - h, y, e)) / (2 * h)), 1e-4);
            EXPECT_NEAR(double(fy), double((EdgePotential(x, y + h, e) - EdgePotential(x, y - h, e)) / (2 * h)), 1e-4);
        }
    }
}

TEST(Kernels, EdgePotentialSwitchesToItsFarFormAtRadiusTen)
{
    const double e = 1.0 / 3.0;
    EXPECT_DOUBLE_EQ(double(EdgePotential(0, 0, e)), 2.0 / (1.0 - e));
    // Both forms describe the same charge: near the switch they agree closely.
    const long double near = EdgePotential(9.99, 0.1, e);   // r^2 just below 100: quadrature
    const long double far = EdgePotential(10.0, 0.0, e);    // r^2 = 100: far form
    EXPECT_NEAR(double(near), double(far), 5e-3);
    EXPECT_NE(double(EdgePotential(std::sqrt(99.9), 0, e)), double(EdgePotential(10.0, 0, e)));
}

TEST(Kernels, SegmentPotentialIsTheLogPotentialOfItsCharge)
{
    BoundarySegment s;
    s.type = SEG_STRAIGHT;
    s.x = 1.0f;
    s.y = 2.0f;
    s.halfLength = 0.25f;
    s.endDir = Vec2{0.6f, 0.8f};
    s.startDir = Vec2{-0.6f, -0.8f};
    const Vec2 p{3.0f, 1.0f};
    // The mean of -2 ln r over the segment, plus the log scale.
    const int steps = 100000;
    double mean = 0.0;
    for (int i = 0; i < steps; ++i) {
        const double t = -1.0 + (i + 0.5) * 2.0 / steps;
        const double x = s.x + t * s.halfLength * s.endDir.x, y = s.y + t * s.halfLength * s.endDir.y;
        mean += -std::log((p.x - x) * (p.x - x) + (p.y - y) * (p.y - y)) / steps;
    }
    EXPECT_NEAR(SegmentPotential(s, p, 0.5, JunctionForm::Dielectric), mean + 0.5, 1e-5);
    // A point on the segment's own line gets no arctangent term, and the sign of y does not matter.
    const Vec2 left{float(1.0 - 0.6 * 0.1), float(2.0 - 0.8 * 0.1)};
    const Vec2 above = left + TurnCcw(s.endDir) * 0.3, below = left + TurnCw(s.endDir) * 0.3;
    EXPECT_NEAR(SegmentPotential(s, above, 0.0, JunctionForm::Dielectric), SegmentPotential(s, below, 0.0, JunctionForm::Dielectric), 1e-5);
}
