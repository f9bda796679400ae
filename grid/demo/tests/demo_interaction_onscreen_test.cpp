// The demo's grid on screen through the SDL2 presenter under a private X server, shaped with real mouse and
// keyboard input made with xdotool: a drag over the row headers selects rows, dragging their header moves
// them, dragging an edge resizes a row and hides another, Shift+arrows select cells, and the selected rows
// freeze. Run by CTest through xvfb-run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "grid/core/CGXRangeList.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/onscreen.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Pump.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

using Screen = onscreen::GridScreen;

std::string Column(CGXGridCore* g, ROWCOL rows) {
  std::string out;
  for (ROWCOL r = 1; r <= rows; ++r) out += std::string(g->GetCellValue(r, 1)) + " ";
  return out;
}

TEST(GridDemo, SelectMoveResizeHideAndFreezeWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  HWND main = nullptr;
  CGXGridWnd* g = onscreen::MakeDemoGrid(main, 8, 3);  // real input only
  ASSERT_NE(g, nullptr);
  g->SetDefaultRowHeight(20, 0);
  g->SetDefaultColWidth(60, 0);
  g->SetRowHeight(0, 0, 20, nullptr, 0);
  g->SetColWidth(0, 0, 40, nullptr, 0);
  for (ROWCOL r = 1; r <= 8; ++r) g->SetCellValue(r, 1, ("r" + std::to_string(r)).c_str());
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  plat::SdlPresenter presenter("grid demo shaped on screen");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  Screen s(presenter, g->GridHwnd());
  const CGXRangeList& sel = g->GetParam()->GetSelection();
  auto describe = [&] {
    std::string out;
    for (POSITION p = sel.GetHeadPosition(); p;) {
      const CGXRange* r = sel.GetNext(p);
      out += std::to_string(r->kind) + ":" + std::to_string(r->top) + "," + std::to_string(r->left) + "," +
             std::to_string(r->bottom) + "," + std::to_string(r->right) + " ";
    }
    return out;
  };
  auto rowsSelected = [&](ROWCOL a, ROWCOL b) {
    const CGXRange* r = sel.GetHead();
    return sel.GetCount() == 1 && r->IsRows() && r->top == a && r->bottom == b;
  };
  // A click on a cell makes it current (the window holds the input).
  ASSERT_TRUE(s.Run(s.At(40 + 90, 20 * 3 + 10) + "click 1"));
  ROWCOL cr = 0, cc = 0;
  ASSERT_TRUE(s.WaitUntil([&] { return g->QueryCurrentCell(&cr, &cc) && cr == 3 && cc == 2; })) << cr << "," << cc;
  // Rows 2 and 3 selected by a drag over their headers, then dragged below row 5.
  ASSERT_TRUE(s.Drag(20, 2 * 20 + 10, 20, 3 * 20 + 10));
  ASSERT_TRUE(s.WaitUntil([&] { return rowsSelected(2, 3); })) << describe();
  ASSERT_TRUE(s.Drag(20, 2 * 20 + 10, 20, 6 * 20 + 10));
  EXPECT_TRUE(s.WaitUntil([&] { return Column(g, 8) == "r1 r4 r5 r2 r3 r6 r7 r8 "; })) << Column(g, 8);
  // The edge below row 1 dragged down by 15 pixels, the edge below row 8 up to its top: hidden.
  ASSERT_TRUE(s.Drag(20, 40, 20, 55));
  EXPECT_TRUE(s.WaitUntil([&] { return g->GetRowHeight(1) == 35; })) << g->GetRowHeight(1);
  const int edge8 = g->CalcRangeRect(8, 0, 8, 0).bottom - 1;  // nothing lies below the last row
  ASSERT_TRUE(s.Drag(20, edge8, 20, edge8 - 25));
  EXPECT_TRUE(s.WaitUntil([&] { return g->IsRowHidden(8) != FALSE; }));
  // Shift+arrows from a clicked cell select a block of cells.
  ASSERT_TRUE(s.Run(s.At(40 + 90, 35 + 20 + 10) + "click 1"));
  ASSERT_TRUE(s.Run("key shift+Down shift+Right"));
  EXPECT_TRUE(s.WaitUntil([&] {
    const CGXRange* r = sel.GetHead();
    return sel.GetCount() == 1 && r->IsCells() && r->bottom == r->top + 1 && r->right == r->left + 1;
  }));
  // Rows 4 to 5 selected by their headers and frozen: they move to the top and stay there.
  const int y4 = g->CalcRangeRect(4, 0, 4, 0).top + 10, y5 = g->CalcRangeRect(5, 0, 5, 0).top + 10;
  ASSERT_TRUE(s.Drag(20, y4, 20, y5));
  ASSERT_TRUE(s.WaitUntil([&] { return rowsSelected(4, 5); })) << describe();
  g->FreezeRows();
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetFrozenRows(), 2u);
  EXPECT_EQ(Column(g, 2), "r2 r3 ");
  DestroyWindow(main);
}

}  // namespace
