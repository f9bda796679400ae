// The gallery's page of date-time cells, headless and in a process of its own: the desktop (the popup
// calendar is a window of its own) as built and after each step matches its reference, and the cells hold
// what the steps stored. BRIM_UPDATE_REFERENCES=1 rewrites the images after an intended change.
#include <gtest/gtest.h>

#include <string>

#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/demo/tests/galleryshots.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

TEST(CellGallery, DateTimeCellsEditAndUseThePopupCalendar) {
  const gallerypage::Opened opened = gallerypage::Open("datetime");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  auto* control = dynamic_cast<CGXDateTimeCtrl*>(g->ControlForId(GX_IDS_CTRL_DATETIME));
  ASSERT_NE(control, nullptr);
  gallerypage::RunSteps(opened, "datetime", galleryshots::ExpectDesktopMatches, [&](const gallery::Step& step) {
    if (step.name == "editing") {
      EXPECT_EQ(control->GetDateTime(), COleDateTime(2024, 3, 15, 12, 0, 0));
      EXPECT_EQ(g->GetCellValue(1, 3), "45458.5");  // kept in the editor
    }
    if (step.name == "calendar") {
      EXPECT_NE(control->GetPopupCalendar(), nullptr);
    }
    if (step.name == "chosen") {
      EXPECT_EQ(control->GetPopupCalendar(), nullptr);
      EXPECT_EQ(control->GetDateTime(), COleDateTime(2024, 3, 16, 12, 0, 0));  // the time stays
    }
    if (step.name == "current") {
      EXPECT_EQ(g->GetCellValue(1, 3), "45367.5");
    }
  });
  // The spin step moved the time's hour from 16:30 to 17:30; Enter goes to the grid and stores it.
  plat::InputRouter::Instance().KeyPress(VK_RETURN);
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(3, 3), "0.7291666666667");
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
