// The gallery's page of spanned cells, headless: floating, merged and covered cells as the page builds
// them, and the tip over the cut-off cell once the mouse has rested on it for the tips' delay.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "grid/demo/gallery.h"
#include "grid/features/CGXCellTipPlugin.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/Pump.h"

namespace {

void ExpectDesktopMatches(const std::string& name) {
  plat::Desktop::PaintAll();
  auto image = plat::Desktop::Compose();
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "grid/demo/tests/reference/" + name + ".png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

TEST(CellGallery, SpannedCellsAndTheirTipMatchTheirReferences) {
  const gallery::Page* page = gallery::FindPage("spans");
  ASSERT_NE(page, nullptr);
  plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
  HWND main = page->build();
  plat::RunUntilIdle();
  CGXGridWnd* g = gallery::PageGrid(main);
  ASSERT_NE(g, nullptr);
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
  ExpectDesktopMatches("spans-start");
  for (const gallery::Step& step : page->steps()) {
    step.drive(g);
    plat::RunUntilIdle();
    plat::VirtualClock::Advance(600);
    plat::RunUntilIdle();
    auto* tips = dynamic_cast<CGXCellTipPlugin*>(g->GetCellTipPlugin());
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->GetShownKind(), GX_CELLTIP_TEXT);
    ExpectDesktopMatches("spans-" + step.name);
  }
  DestroyWindow(main);
}

}  // namespace
