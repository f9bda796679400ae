// The demo's grids exchange cells through the clipboard, sort by a double click on a column header, fill by
// dragging the selection's handle and undo each from the keyboard (a program of its own, as the other demo
// tests: the desktop's windows and input stay its own).
#include <gtest/gtest.h>

#include "grid/core/CGXRangeList.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/demogrid.h"
#include "platform/display/Desktop.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

TEST(GridDemo, ClipboardSortAndFillFromKeysAndMouse) {
  plat::Desktop::Configure(640, 440);
  demogrid::DemoGrid demo(6, 3, 1, 1, [](CGXGridWnd& grid) {
    grid.GetParam()->m_bSortRowsByHeader = TRUE;
    grid.GetParam()->m_bFillEnabled = 1;
    const char* keys[] = {"30", "4", "100"};
    for (ROWCOL r = 1; r <= 3; ++r) grid.SetCellValue(r, 1, keys[r - 1]);
  });
  CGXGridWnd* g = demo.g;
  ASSERT_NE(g, nullptr);
  plat::InputRouter& input = plat::InputRouter::Instance();
  // Copy and paste.
  demogrid::PressWithControl('C');
  EXPECT_EQ(plat::Clipboard::Instance().ReadText(), "30");
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 3, GX_UPDATENOW));
  demogrid::PressWithControl('V');
  EXPECT_EQ(g->GetCellValue(1, 3), "30");
  demogrid::PressWithControl('Z');
  EXPECT_EQ(g->GetCellValue(1, 3), "");
  // A double click on the first column's header sorts the rows by number (empty rows count as 0).
  const CRect header = g->CalcCellRect(0, 1);
  input.DoubleClick(plat::MouseButton::Left, plat::InputRouter::ClientPoint(g->GridHwnd(), header.CenterPoint().x,
                                                                             header.CenterPoint().y));
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(4, 1), "4");
  EXPECT_EQ(g->GetCellValue(5, 1), "30");
  EXPECT_EQ(g->GetCellValue(6, 1), "100");
  demogrid::PressWithControl('Z');
  EXPECT_EQ(g->GetCellValue(1, 1), "30");
  // The fill handle of the current cell dragged down two rows repeats it.
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
  plat::RunUntilIdle();
  const CRect from = g->CalcCellRect(2, 1), to = g->CalcCellRect(4, 1);
  input.MouseMove(plat::InputRouter::ClientPoint(g->GridHwnd(), from.right - 2, from.bottom - 2));
  input.ButtonDown(plat::MouseButton::Left, plat::InputRouter::ClientPoint(g->GridHwnd(), from.right - 2, from.bottom - 2));
  plat::RunUntilIdle();
  input.MouseMove(plat::InputRouter::ClientPoint(g->GridHwnd(), to.right - 3, to.bottom - 3));
  plat::RunUntilIdle();
  input.ButtonUp(plat::MouseButton::Left, plat::InputRouter::ClientPoint(g->GridHwnd(), to.right - 3, to.bottom - 3));
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(3, 1), "4");
  EXPECT_EQ(g->GetCellValue(4, 1), "4");
  plat::Clipboard::Instance().Reset();  // the copied formats would outlive the test
  plat::RunUntilIdle();
}

}  // namespace
