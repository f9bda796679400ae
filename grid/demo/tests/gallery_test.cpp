// The gallery's page of windowless cells, headless: the page as built and after each of its steps (injected
// presses, clicks and releases) matches its reference screenshot, and the cells hold what the steps did.
// BRIM_UPDATE_REFERENCES=1 rewrites the images after an intended change.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/gxlayout.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/demo/tests/galleryshots.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/Pump.h"

namespace {

constexpr ROWCOL kLive = 6;

// The row of the page whose live cell has the control.
ROWCOL RowOfControl(CGXGridWnd* g, WORD id) {
  for (ROWCOL r = 1; r <= g->GetRowCount(); ++r) {
    CGXStyle style;
    g->ComposeCellStyle(r, kLive, style, TRUE);
    if (style.GetControl() == id) return r;
  }
  return 0;
}

TEST(CellGallery, WindowlessCellsInEveryStateMatchTheirReferences) {
  EXPECT_EQ(gallery::FindPage("no such page"), nullptr);
  const gallerypage::Opened opened = gallerypage::Open("windowless");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  const ROWCOL box3d = RowOfControl(g, GX_IDS_CTRL_CHECKBOX3D), boxEx = RowOfControl(g, GX_IDS_CTRL_CHECKBOX3D_EX);
  const ROWCOL radioEx = RowOfControl(g, GX_IDS_CTRL_RADIO3D_EX);
  ASSERT_TRUE(box3d && boxEx && radioEx);
  const auto compare = [&](const std::string& reference) { galleryshots::ExpectWindowMatches(main, reference); };
  gallerypage::RunSteps(opened, "windowless", compare, [&](const gallery::Step& step) {
    ROWCOL row = 0, col = 0;
    g->QueryCurrentCell(&row, &col);
    if (step.name == "focused") {
      EXPECT_EQ(row, box3d);
      EXPECT_EQ(g->GetCellValue(box3d, kLive), "0");  // a click beside the box does not toggle
    } else if (step.name == "pressed") {
      EXPECT_TRUE(static_cast<CGXCheckBox*>(g->ControlForId(GX_IDS_CTRL_CHECKBOX3D))->IsPressed());
    } else if (step.name == "checked") {
      EXPECT_EQ(g->GetCellValue(box3d, kLive), "1");
    } else if (step.name == "check-box-editing") {
      EXPECT_EQ(row, boxEx);
      EXPECT_TRUE(g->ControlForId(GX_IDS_CTRL_CHECKBOX3D_EX)->GetModifiedState());
      EXPECT_EQ(g->GetCellValue(boxEx, kLive), "0");  // kept in the control until stored
    } else if (step.name == "radio-editing") {
      EXPECT_EQ(g->GetCellValue(boxEx, kLive), "1");  // stored when the current cell left it
      EXPECT_TRUE(g->ControlForId(GX_IDS_CTRL_RADIO3D_EX)->GetModifiedState());
      EXPECT_EQ(g->GetCellValue(radioEx, kLive), "0");
    }
  });
  DestroyWindow(main);
  plat::RunUntilIdle();
}

// Every page opens with nothing to undo or redo in any of its grids: Ctrl+Z pressed at once took the page's
// building back (the drop-down page's read-only check list emptied, the edit page's live list box, the spans
// page's "next"). What the grids hold, archived, is the same after that Ctrl+Z.
TEST(CellGallery, EveryPageOpensWithNothingToUndo) {
  for (const gallery::Page& page : gallery::Pages()) {
    SCOPED_TRACE(page.name);
    const gallerypage::Opened opened = gallerypage::Open(page.name);
    ASSERT_NE(opened.grid, nullptr);
    const std::vector<CGXGridWnd*> grids = gallery::PageGrids(opened.main);
    auto held = [&] {
      std::vector<std::vector<BYTE>> archived;
      for (CGXGridWnd* g : grids) archived.push_back(gx::WriteObjectToBytes(g->GetParam()));
      return archived;
    };
    const auto built = held();
    for (CGXGridWnd* g : grids) {
      EXPECT_EQ(g->GetParam()->GetUndoList().GetCount(), 0);
      EXPECT_EQ(g->GetParam()->GetRedoList().GetCount(), 0);
    }
    SetFocus(opened.grid->GridHwnd());
    gallerypage::Key('Z', true);
    EXPECT_TRUE(held() == built);
    DestroyWindow(opened.main);
    plat::RunUntilIdle();
  }
}

}  // namespace
