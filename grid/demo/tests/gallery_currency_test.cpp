// The gallery's page of currency cells, headless: the desktop (the popup calculator is a window of its own)
// as built and after each step matches its reference, and the cells hold what the steps stored. BRIM_UPDATE_REFERENCES=1 rewrites the images after an intended change.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXControl.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/demo/tests/galleryshots.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

TEST(CellGallery, CurrencyCellsEditAndUseThePopupCalculator) {
  const gallerypage::Opened opened = gallerypage::Open("currency");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  gallerypage::RunSteps(opened, "currency", galleryshots::ExpectDesktopMatches, [&](const gallery::Step& step) {
    if (step.name == "editing") {
      EXPECT_EQ(g->GetCellValue(1, 3), "1234.5");  // kept in the editor
    }
    if (step.name == "current") {
      EXPECT_EQ(g->GetCellValue(1, 3), "98765.00");
    }
  });
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(row, 5u);
  EXPECT_EQ(g->GetCellValue(5, 3), "42");  // the result waits in the editor until the cell is left
  CString shown;
  g->ControlForCell(5, 3)->GetEditText(shown);
  EXPECT_EQ(shown, "$***130.00");
  plat::InputRouter::Instance().KeyPress(VK_UP);
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(5, 3), "130.00");
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
