// The demo's grids exchange cells through the clipboard, sort by a double click on a column header, fill by
// dragging the selection's handle and undo each from the keyboard (a program of its own, as the other demo
// tests: the desktop's windows and input stay its own).
#include <gtest/gtest.h>

#include "grid/core/CGXRangeList.h"
#include "grid/demo/gallery.h"
#include "platform/display/Desktop.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

TEST(GridDemo, ClipboardSortAndFillFromKeysAndMouse) {
  plat::Desktop::Configure(640, 440);
  HWND main = gallery::CreatePageWindow("Grid demo", 400, 300);
  CGXGridWnd* g = gallery::PageGrid(main);
  ASSERT_NE(g, nullptr);
  g->InitializeFromStyle();
  ShowWindow(main, SW_SHOW);
  g->SetRowCount(6, 0);
  g->SetColCount(3, 0);
  g->GetParam()->m_bSortRowsByHeader = TRUE;
  g->GetParam()->m_bFillEnabled = 1;
  const char* keys[] = {"30", "4", "100"};
  for (ROWCOL r = 1; r <= 3; ++r) g->SetCellValue(r, 1, keys[r - 1]);
  SetFocus(g->GridHwnd());
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  plat::RunUntilIdle();
  plat::InputRouter& input = plat::InputRouter::Instance();
  auto withControl = [&](int vk) {
    input.KeyDown(VK_CONTROL);
    input.KeyPress(vk);
    input.KeyUp(VK_CONTROL);
    plat::RunUntilIdle();
  };
  // Copy and paste.
  withControl('C');
  EXPECT_EQ(plat::Clipboard::Instance().ReadText(), "30");
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 3, GX_UPDATENOW));
  withControl('V');
  EXPECT_EQ(g->GetCellValue(1, 3), "30");
  withControl('Z');
  EXPECT_EQ(g->GetCellValue(1, 3), "");
  // A double click on the first column's header sorts the rows by number (empty rows count as 0).
  const CRect header = g->CalcCellRect(0, 1);
  input.DoubleClick(plat::MouseButton::Left, plat::InputRouter::ClientPoint(g->GridHwnd(), header.CenterPoint().x,
                                                                             header.CenterPoint().y));
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(4, 1), "4");
  EXPECT_EQ(g->GetCellValue(5, 1), "30");
  EXPECT_EQ(g->GetCellValue(6, 1), "100");
  withControl('Z');
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
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
