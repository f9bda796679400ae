// The gallery's page of masked-edit cells, headless and in a process of its own: the page as built and after
// each step matches its reference, and the cells hold what the steps stored. BRIM_UPDATE_REFERENCES=1
// rewrites the images after an intended change.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXControl.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/galleryshots.h"
#include "platform/window/Pump.h"

namespace {

TEST(CellGallery, MaskedEditCellsTypeUnderTheirMasks) {
  const gallery::Page* page = gallery::FindPage("mask");
  ASSERT_NE(page, nullptr);
  plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
  HWND main = page->build();
  plat::RunUntilIdle();
  CGXGridWnd* g = gallery::PageGrid(main);
  ASSERT_NE(g, nullptr);
  galleryshots::ExpectWindowMatches(main, "mask-start");
  for (const gallery::Step& step : page->steps()) {
    step.drive(g);
    plat::RunUntilIdle();
    galleryshots::ExpectWindowMatches(main, "mask-" + step.name);
    if (step.name == "upper") {
      EXPECT_EQ(g->GetCellValue(2, 3), "123456789");  // the postal code stored on leaving it
      CString shown;
      g->ControlForCell(3, 3)->GetEditText(shown);
      EXPECT_EQ(shown, "XY-4234");  // 'z' found no letter position
    }
  }
  EXPECT_EQ(g->GetCellValue(3, 3), "XY4234");
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
