// The gallery's page of window cells (edit and its variants, combo boxes, list box), headless: the screen as
// built and after each step (a selection, a held spin arrow, a typed password, dropped lists, an active list
// box, a decimal comma) matches its reference screenshot, dropped lists included, and the cells hold what
// the steps did.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/Pump.h"

namespace {

constexpr ROWCOL kLive = 6;

// The whole screen: a dropped list is a window of its own.
void ExpectScreenMatchesReference(const std::string& name) {
  auto image = plat::Desktop::Compose(true);
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "grid/demo/tests/reference/" + name + ".png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

TEST(CellGallery, EditComboAndListBoxCellsMatchTheirReferencesStepByStep) {
  const gallerypage::Opened opened = gallerypage::Open("edit");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  gallerypage::RunSteps(opened, "edit", ExpectScreenMatchesReference, [&](const gallery::Step& step) {
    ROWCOL row = 0, col = 0;
    g->QueryCurrentCell(&row, &col);
    CGXControl* current = g->ControlOfCurrentCell();
    ASSERT_NE(current, nullptr) << step.name;
    EXPECT_TRUE(current->GetEditingState()) << step.name;
    CString text;
    if (step.name == "selected") {
      auto* edit = dynamic_cast<CGXEditControl*>(current);
      ASSERT_NE(edit, nullptr);
      current->GetSelectionText(text);
      EXPECT_EQ(std::string(text), "Some");
    } else if (step.name == "wrapped") {
      EXPECT_NE(dynamic_cast<CGXVScrollEdit*>(current)->GetStyle() & WS_VSCROLL, 0u);
    } else if (step.name == "spin-held") {
      current->GetEditText(text);
      EXPECT_EQ(std::string(text), "13");
    } else if (step.name == "password") {
      EXPECT_EQ(std::string(g->GetCellValue(2, kLive)), "13");  // the spin stored when the cell was left
      current->GetEditText(text);
      EXPECT_EQ(std::string(text), "hidden");
    } else if (step.name == "list-dropped" || step.name == "combo-dropped") {
      auto* box = dynamic_cast<CGXComboBoxWnd*>(current);
      ASSERT_NE(box, nullptr);
      EXPECT_TRUE(box->GetDroppedState()) << step.name;
      if (step.name == "combo-dropped") {
        EXPECT_EQ(std::string(box->GetBoxText()), "B");
      }
    } else if (step.name == "list-box-active") {
      auto* list = dynamic_cast<CGXListBox*>(current);
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(list->GetTopIndex(), 0);  // four lines seen, Cyan the last
      EXPECT_EQ(list->GetCurSel(), 0);  // the line under the click
      EXPECT_TRUE(list->GetModifiedState());
    } else if (step.name == "decimal-comma") {
      current->GetEditText(text);
      EXPECT_EQ(std::string(text), "3,5");
      EXPECT_EQ(std::string(g->GetCellValue(8, kLive)), "Red");  // the list box stored its line
    }
  });
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
