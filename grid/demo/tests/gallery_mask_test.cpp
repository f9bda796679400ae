// The gallery's page of masked-edit cells, headless and in a process of its own: the page as built and after
// each step matches its reference, and the cells hold what the steps stored. BRIM_UPDATE_REFERENCES=1
// rewrites the images after an intended change.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXControl.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/demo/tests/galleryshots.h"
#include "platform/window/Pump.h"

namespace {

TEST(CellGallery, MaskedEditCellsTypeUnderTheirMasks) {
  const gallerypage::Opened opened = gallerypage::Open("mask");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  const auto compare = [&](const std::string& reference) { galleryshots::ExpectWindowMatches(main, reference); };
  gallerypage::RunSteps(opened, "mask", compare, [&](const gallery::Step& step) {
    if (step.name == "upper") {
      EXPECT_EQ(g->GetCellValue(2, 3), "123456789");  // the postal code stored on leaving it
      CString shown;
      g->ControlForCell(3, 3)->GetEditText(shown);
      EXPECT_EQ(shown, "XY-4234");  // 'z' found no letter position
    }
  });
  EXPECT_EQ(g->GetCellValue(3, 3), "XY4234");
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
