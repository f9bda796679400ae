// The demo's grids start through the gallery's start-up, which registers the editing features: typing,
// Ctrl+Z, Ctrl+R and Delete work in their edit cells from the keyboard. (A program of its own: the
// gallery page's test leaves the desktop's windows and input in its own state.)
#include <gtest/gtest.h>

#include "grid/demo/gallery.h"
#include "platform/display/Desktop.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

TEST(GridDemo, TypingUndoRedoAndDeleteFromTheKeyboard) {
  plat::Desktop::Configure(640, 440);
  HWND main = gallery::CreatePageWindow("Grid demo", 400, 300);
  CGXGridWnd* g = gallery::PageGrid(main);
  ASSERT_NE(g, nullptr);
  g->InitializeFromStyle();
  ShowWindow(main, SW_SHOW);
  g->SetRowCount(5, 0);
  g->SetColCount(3, 0);
  g->SetCellValue(2, 2, "kept");
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
  ASSERT_EQ(GetFocus(), g->GridHwnd());
  input.TypeText("typed");
  plat::RunUntilIdle();
  input.KeyPress(VK_DOWN);
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(1, 1), "typed");
  withControl('Z');
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  withControl('R');
  EXPECT_EQ(g->GetCellValue(1, 1), "typed");
  // Delete empties the current edit cell; the value is stored as the cell is left.
  input.KeyPress(VK_UP);
  input.KeyPress(VK_DELETE);
  input.KeyPress(VK_DOWN);
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  EXPECT_EQ(g->GetCellValue(2, 2), "kept");
  withControl('Z');
  EXPECT_EQ(g->GetCellValue(1, 1), "typed");
  DestroyWindow(main);
  plat::RunUntilIdle();
}

}  // namespace
