#include "shared/Misc_Units.h"

#include <gtest/gtest.h>

namespace {

TEST(Misc_Units, MetresRoundToTheUnitsStep) {
  EXPECT_DOUBLE_EQ(ConvertMetresToUnit(0.00123456, 0), 1.235);
  EXPECT_DOUBLE_EQ(ConvertMetresToUnit(0.0001, 1), 3.94);
  EXPECT_DOUBLE_EQ(ConvertMetresToUnit(0.0123456789, 2), 1.2346);
  EXPECT_DOUBLE_EQ(ConvertMetresToUnit(0.0254, 3), 1.0);
  EXPECT_DOUBLE_EQ(ConvertMetresToUnit(1.0, 7), 0.0);
  EXPECT_DOUBLE_EQ(ConvertMetresToUnit(1e9, 0), 1e12);   // beyond 32 bits: still a number
}

TEST(Misc_Units, UnitsToMetres) {
  EXPECT_DOUBLE_EQ(ConvertUnitToMetres(2.0, 0), 0.002);
  EXPECT_DOUBLE_EQ(ConvertUnitToMetres(10.0, 1), 2.54e-4);
  EXPECT_DOUBLE_EQ(ConvertUnitToMetres(3.0, 2), 0.03);
  EXPECT_DOUBLE_EQ(ConvertUnitToMetres(1.0, 3), 0.0254);
  EXPECT_DOUBLE_EQ(ConvertUnitToMetres(1.0, -1), 0.0);
}

}  // namespace
