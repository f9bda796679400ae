// The gallery's page of spanned cells, headless: floating, merged and covered cells as the page builds
// them, and the tip over the cut-off cell once the mouse has rested on it for the tips' delay.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/demo/tests/galleryshots.h"
#include "grid/features/CGXCellTipPlugin.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/Pump.h"

namespace {

TEST(CellGallery, SpannedCellsAndTheirTipMatchTheirReferences) {
  const gallerypage::Opened opened = gallerypage::Open("spans");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  CGXRange span;
  ASSERT_TRUE(g->GetFloatedCellsRange(1, 3, span));
  EXPECT_EQ(span.left, 1u);
  ASSERT_TRUE(g->GetFloatedCellsRange(2, 2, span));
  EXPECT_EQ(span.right, 4u);  // up to the filled cell
  ASSERT_TRUE(g->GetMergedCellsRange(4, 2, span, 0));
  EXPECT_EQ(span, CGXRange(4, 1, 4, 4));
  ASSERT_TRUE(g->GetMergedCellsRange(7, 2, span, 1));
  EXPECT_EQ(span, CGXRange(6, 2, 8, 2));
  ASSERT_TRUE(g->GetCoveredCellsRowCol(10, 5, span));
  EXPECT_EQ(span, CGXRange(9, 4, 11, 6));
  // After each step the tip's delay passes and the tip shows.
  const auto tipShown = [&] {
    plat::VirtualClock::Advance(600);
    plat::RunUntilIdle();
    auto* tips = dynamic_cast<CGXCellTipPlugin*>(g->GetCellTipPlugin());
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->GetShownKind(), GX_CELLTIP_TEXT);
  };
  gallerypage::RunSteps(opened, "spans", galleryshots::ExpectDesktopMatches, {}, tipShown);
  DestroyWindow(main);
}

}  // namespace
