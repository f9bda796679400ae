#include "fieldsolver/EslCore.h"
#include "fieldsolver/FieldSolverRecords.h"

#include <gtest/gtest.h>

TEST(EslCore, BodyOf0402OverItsPlane)
{
    EslGeometry g;
    g.bodyWidth = 0.5e-3;
    g.bodyLength = 1.0e-3;
    g.mountThickness = 0.0;   // a thin top layer
    g.gapThickness = 0.1e-3;
    g.planeThickness = 3.5e-5;
    const EslResult thin = ComputeMountingInductance(g);
    ASSERT_EQ(thin.code, 0);
    EXPECT_NEAR(thin.inductance, 165e-12, 3e-12);
    // Copper of half an ounce lowers it a little.
    g.mountThickness = 1.8e-5;
    const EslResult top = ComputeMountingInductance(g);
    ASSERT_EQ(top.code, 0);
    EXPECT_LT(top.inductance, thin.inductance);
    EXPECT_GT(top.inductance, 0.95 * thin.inductance);
    // Mounted on the bottom over the same gap the geometry is the mirror image.
    g.side = EslMountSide::Bottom;
    const EslResult bottom = ComputeMountingInductance(g);
    ASSERT_EQ(bottom.code, 0);
    EXPECT_NEAR(bottom.inductance, top.inductance, top.inductance * 2e-3);
    // Inductance scales with the body's length.
    g.bodyLength = 2.0e-3;
    EXPECT_NEAR(ComputeMountingInductance(g).inductance, 2 * bottom.inductance, bottom.inductance * 1e-6);
}

TEST(EslCore, RefusesAZeroGapAndReportsFailedSolves)
{
    EslGeometry g;
    g.bodyWidth = 0.5e-3;
    g.bodyLength = 1.0e-3;
    g.mountThickness = 1.8e-5;
    g.gapThickness = 0.0;
    g.planeThickness = 3.5e-5;
    EslResult r = ComputeMountingInductance(g);
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(r.inductance, 0.0);
    // A gap so small against the body that the solver refuses the extent: an error, never a value.
    g.gapThickness = 1e-10;
    g.mountThickness = 0.0;
    r = ComputeMountingInductance(g);
    EXPECT_EQ(r.code, FS_SINGULAR);
    EXPECT_EQ(r.inductance, 0.0);
    g.gapThickness = 0.1e-3;
    g.mountThickness = 1.8e-5;
    g.bodyWidth = 0.0;
    EXPECT_EQ(ComputeMountingInductance(g).code, FS_BAD_TRACE);
}
