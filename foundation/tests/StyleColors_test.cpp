// The colour caches, the style colour table and the colour arithmetic behind it.
#include "foundation/StyleColors.h"

#include <cmath>

#include "foundation/tests/FoundationTest.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/windowapi.h"

namespace foundation::test {
namespace {

using StyleColorsTest = FoundationTest;

TEST_F(StyleColorsTest, ClassicSchemeGivesTheseStyleColours) {
  // Worked out from the classic scheme (window white, face 0xC0C0C0, shadow 0x808080, highlight navy 0x800000).
  const COLORREF expected[kStyleColorCount] = {
      0xCACACA, 0xA6A6A6, 0x000000, 0xCACACA, 0xCACACA, 0xD1ADAD, 0x800000, 0xC08080, 0x800000, 0xCACACA,
      0xCACACA, 0xDAD1D1, 0x800000, 0xC08080, 0x800000, 0xF6F6F6, 0x000000, 0xF6F6F6, 0xA6A6A6, 0xD1ADAD,
      0x800000, 0x000000, 0xF6F6F6, 0xA6A6A6, 0x800000, 0xCACACA, 0x666666, 0xA6A6A6, 0xC0C0C0, 0x000000,
      0x9D8282, 0x8D8D8D, 0x999999
  };
  for (UINT i = 0; i < kStyleColorCount; ++i) EXPECT_EQ(GetStyleColor(i), expected[i]) << "entry " << i;
  EXPECT_EQ(GetStyleColor(32), expected[32]);
  EXPECT_EQ(GetStyleColor(33), 0xFFFFFFu);
  EXPECT_EQ(GetStyleColor(0xFFFFFFFF), 0xFFFFFFu);
}

TEST_F(StyleColorsTest, CachesFollowTheSystemColoursWhenRefreshed) {
  EXPECT_EQ(GetButtonColors().face, 0xC0C0C0u);
  EXPECT_EQ(GetButtonColors().frame, 0u);
  EXPECT_EQ(GetWellColors().darkShadow, 0u);
  EXPECT_EQ(GetWellColors().light, 0xC0C0C0u);
  const INT index[] = {COLOR_BTNFACE, COLOR_WINDOW};
  const COLORREF colour[] = {RGB(0xD4, 0xD0, 0xC8), RGB(0, 0, 0)};
  plat::SetSysColorValues(2, index, colour);
  EXPECT_EQ(GetButtonColors().face, 0xC0C0C0u);  // only a refresh reads them
  UpdateButtonColors();
  UpdateWellColors();
  UpdateStyleColors();
  EXPECT_EQ(GetButtonColors().face, RGB(0xD4, 0xD0, 0xC8));
  EXPECT_EQ(GetWellColors().background, RGB(0xD4, 0xD0, 0xC8));
  EXPECT_EQ(GetStyleColor(28), RGB(0xD4, 0xD0, 0xC8));
  EXPECT_EQ(GetStyleColor(0), BlendColors(RGB(0, 0, 0), RGB(0xD4, 0xD0, 0xC8), 165));
}

TEST_F(StyleColorsTest, BlendUsesPerCentBelowOneHundredAndPerMilleFromThere) {
  EXPECT_EQ(BlendColors(RGB(200, 0, 100), RGB(0, 200, 0), 99), RGB(198, 2, 99));
  EXPECT_EQ(BlendColors(RGB(200, 0, 100), RGB(0, 200, 0), 100), RGB(20, 180, 10));
  EXPECT_EQ(BlendColors(RGB(255, 255, 255), RGB(0, 0, 0), 0), RGB(0, 0, 0));
  EXPECT_EQ(BlendColors(RGB(255, 255, 255), RGB(0, 0, 0), 50), RGB(128, 128, 128));  // rounds half up
}

TEST_F(StyleColorsTest, LightenSaturates) {
  EXPECT_EQ(LightenColor(RGB(10, 240, 255), 32), RGB(42, 255, 255));
}

TEST_F(StyleColorsTest, DistanceUsesTheWeightedSpace) {
  EXPECT_NEAR(ColorDistance(RGB(255, 0, 0), 0), 195.0, 1e-3);
  EXPECT_NEAR(ColorDistance(RGB(0, 255, 0), 0), 390.0, 1e-3);
  EXPECT_NEAR(ColorDistance(RGB(0, 0, 255), 0), 65.0, 1e-3);
  EXPECT_NEAR(ColorDistance(RGB(255, 255, 255), 0), 440.85, 0.01);
  EXPECT_DOUBLE_EQ(ColorDistance(RGB(1, 2, 3), RGB(9, 8, 7)), ColorDistance(RGB(9, 8, 7), RGB(1, 2, 3)));
}

TEST_F(StyleColorsTest, ContrastKeepsAColourStrictlyFarEnoughAndMovesOneAtTheLimit) {
  // Reference white (lightness above the dark threshold): the needed distance is the given one.
  const COLORREF far = RGB(100, 100, 100);
  const double d = ColorDistance(far, RGB(255, 255, 255));
  EXPECT_EQ(EnsureColorContrast(far, RGB(255, 255, 255), static_cast<BYTE>(d - 1)), far);
  const COLORREF near = RGB(240, 240, 240);
  const COLORREF moved = EnsureColorContrast(near, RGB(255, 255, 255), 100);
  EXPECT_NE(moved, near);
  EXPECT_GE(ColorDistance(moved, RGB(255, 255, 255)), 99.0);
  EXPECT_LT(GetRValue(moved), 240);  // darker: away from white
}

TEST_F(StyleColorsTest, ABlackReferenceDoublesTheNeededDistance) {
  const COLORREF grey = RGB(40, 40, 40);  // about 69 from black
  EXPECT_EQ(EnsureColorContrast(grey, 0, 30), grey);
  const COLORREF moved = EnsureColorContrast(grey, 0, 50);  // needs 100
  EXPECT_NEAR(ColorDistance(moved, 0), 100.0, 2.0);
}

TEST_F(StyleColorsTest, AColourAtTheOriginIsStillMovedAway) {
  // Black on black has no ray of its own; it moves along the grey axis instead of staying put.
  const COLORREF moved = EnsureColorContrast(0, 0, 50);
  EXPECT_NE(moved, 0u);
  EXPECT_GE(ColorDistance(moved, 0), 99.0);
  // White on white: the mirrored origin.
  const COLORREF light = EnsureColorContrast(RGB(255, 255, 255), RGB(255, 255, 255), 50);
  EXPECT_GE(ColorDistance(light, RGB(255, 255, 255)), 49.0);
}

TEST_F(StyleColorsTest, MovingAColourAlreadyFarFromTheReferenceGivesAValidColourFarEnough) {
  // Red and green are perpendicular in the space: no point on red's ray lies 10 from green, and the
  // square root of a negative would make every channel undefined.
  for (COLORREF c : {RGB(255, 0, 0), RGB(0, 0, 255), RGB(30, 0, 200)}) {
    const COLORREF moved = MoveColorAway(c, RGB(0, 255, 0), 10);
    EXPECT_EQ(moved & 0xFF000000u, 0u);
    EXPECT_GE(ColorDistance(moved, RGB(0, 255, 0)), 10.0);
  }
}

TEST_F(StyleColorsTest, ContrastNeverLeavesTheColourCube) {
  // A sweep over the cube against a few references: results stay valid and far enough (within rounding).
  for (COLORREF r : {RGB(0, 0, 0), RGB(128, 128, 128), RGB(255, 255, 255), RGB(0, 0, 128), RGB(255, 255, 0)}) {
    for (int v = 0; v < 256; v += 15) {
      for (COLORREF c : {RGB(v, v, v), RGB(v, 0, 255 - v), RGB(255 - v, v, 0)}) {
        const COLORREF out = EnsureColorContrast(c, r, 60);
        ASSERT_EQ(out & 0xFF000000u, 0u);
        const double lr = ColorDistance(r, 0);
        const double needed = lr < 220 ? (2 - lr / 220) * 60 : 60;
        // Room may run out at the cube's faces (clamping); then the result lies at least on the far side.
        if (out != c) {
          EXPECT_GE(ColorDistance(out, r) + 3.0, std::min(needed, 200.0)) << std::hex << c << " " << r;
        }
      }
    }
  }
}

}  // namespace
}  // namespace foundation::test
