// The gallery's page of drop-down cells, headless: the screen as the page is built and after each step
// (lists dropped below and above their cells, a choice, tabbed lists with and without their header bar, a
// tabbed combo-box window's list, a check list ticked) matches its reference screenshot, and the cells and
// lists hold what the steps did.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/Pump.h"

namespace {

void ExpectScreenMatchesReference(const std::string& name) {
  auto image = plat::Desktop::Compose();
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "grid/demo/tests/reference/" + name + ".png");
  EXPECT_TRUE(match.Matches()) << name << ": " << match.message;
}

CRect ScreenRect(CWnd* wnd) {
  CRect r;
  wnd->GetWindowRect(&r);
  return r;
}

TEST(CellGallery, DropDownCellsMatchTheirReferencesStepByStep) {
  const gallerypage::Opened opened = gallerypage::Open("dropdowns");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  auto cellOnScreen = [&](ROWCOL row) {
    CRect r = g->CalcCellRect(row, 1);
    g->ClientToScreen(&r);
    return r;
  };
  gallerypage::RunSteps(opened, "dropdowns", ExpectScreenMatchesReference, [&](const gallery::Step& step) {
    auto* combo = dynamic_cast<CGXComboBox*>(g->ControlOfCurrentCell());
    if (step.name == "list-below") {
      ASSERT_TRUE(combo && combo->IsDroppedDown());
      EXPECT_GE(ScreenRect(combo->GetDropDownWindow()).top, cellOnScreen(6).bottom - 1);
    } else if (step.name == "chosen") {
      ASSERT_TRUE(combo);
      EXPECT_FALSE(combo->IsDroppedDown());
      EXPECT_EQ(std::string(combo->WindowText()), "Green");
    } else if (step.name == "tabbed-header") {
      auto* tabbed = dynamic_cast<CGXTabbedComboBox*>(combo);
      ASSERT_TRUE(tabbed && tabbed->IsDroppedDown());
      EXPECT_TRUE(tabbed->Header()->IsWindowVisible());
    } else if (step.name == "tabbed-name-only") {
      auto* tabbed = dynamic_cast<CGXTabbedComboBox*>(combo);
      ASSERT_TRUE(tabbed && tabbed->IsDroppedDown());
      EXPECT_FALSE(tabbed->Header()->IsWindowVisible());
      // The edited cell shows its row's text from its start (the window, scrolled while it was narrow,
      // kept the text out of view).
      EXPECT_EQ(std::string(tabbed->WindowText()), "Blue");
      EXPECT_EQ(static_cast<SHORT>(LOWORD(tabbed->SendMessage(EM_POSFROMCHAR, 0))), 0);
    } else if (step.name == "tabbed-window") {
      auto* box = dynamic_cast<CGXTabbedComboBoxWnd*>(g->ControlOfCurrentCell());
      ASSERT_TRUE(box);
      EXPECT_TRUE(box->GetDroppedState());
    } else if (step.name == "checklist-ticked") {
      auto* checks = dynamic_cast<CCheckListBox*>(combo ? combo->GetListBox() : nullptr);
      ASSERT_NE(checks, nullptr);
      EXPECT_EQ(checks->GetCheck(0) + checks->GetCheck(1) + checks->GetCheck(2), 3);
    } else if (step.name == "list-above") {
      ASSERT_TRUE(combo && combo->IsDroppedDown());
      // Above the cell: it ends at the cell's text area, a border below the cell's top.
      EXPECT_LE(ScreenRect(combo->GetDropDownWindow()).bottom, cellOnScreen(14).top + 1);
      EXPECT_LT(ScreenRect(combo->GetDropDownWindow()).top, cellOnScreen(14).top);
      EXPECT_EQ(std::string(g->GetCellValue(13, 1)), "7");  // the ticks stored as the list closed
    }
  });
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
