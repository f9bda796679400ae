// The demo's grids start through the gallery's start-up, which registers the editing features: typing,
// Ctrl+Z, Ctrl+R and Delete work in their edit cells from the keyboard. (A program of its own: the
// gallery page's test leaves the desktop's windows and input in its own state.)
#include <gtest/gtest.h>

#include "grid/core/CGXFindReplaceState.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/demogrid.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/window/AutomationProvider.h"
#include "platform/display/Desktop.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

TEST(GridDemo, TypingUndoRedoAndDeleteFromTheKeyboard) {
  plat::Desktop::Configure(640, 440);
  demogrid::DemoGrid demo(5, 3, 1, 1, [](CGXGridWnd& grid) { grid.SetCellValue(2, 2, "kept"); });
  CGXGridWnd* g = demo.g;
  ASSERT_NE(g, nullptr);
  plat::InputRouter& input = plat::InputRouter::Instance();
  ASSERT_EQ(GetFocus(), g->GridHwnd());
  input.TypeText("typed");
  plat::RunUntilIdle();
  input.KeyPress(VK_DOWN);
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(1, 1), "typed");
  demogrid::PressWithControl('Z');
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  demogrid::PressWithControl('R');
  EXPECT_EQ(g->GetCellValue(1, 1), "typed");
  // Delete empties the current edit cell; the value is stored as the cell is left.
  input.KeyPress(VK_UP);
  input.KeyPress(VK_DELETE);
  input.KeyPress(VK_DOWN);
  plat::RunUntilIdle();
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  EXPECT_EQ(g->GetCellValue(2, 2), "kept");
  demogrid::PressWithControl('Z');
  EXPECT_EQ(g->GetCellValue(1, 1), "typed");
}

// Ctrl+F and Ctrl+H open the grid's find and replace dialogs from the keyboard; the dialogs then find and
// replace as the user asks them (scripted: the platform's dialog has no controls to type into).
TEST(GridDemo, CtrlFFindsAndCtrlHReplacesFromTheKeyboard) {
  plat::Desktop::Configure(640, 440);
  demogrid::DemoGrid demo(6, 2, 1, 1, [](CGXGridWnd& grid) {
    gallery::BindFindReplaceKeys(&grid);
    const char* nets[] = {"VDD_01", "GND", "VDD_02", "VCC_03", "vdd_04", "GND"};
    for (ROWCOL r = 1; r <= 6; ++r) grid.SetCellValue(r, 1, nets[r - 1]);
  });
  CGXGridWnd* g = demo.g;
  ASSERT_NE(g, nullptr);
  plat::ScriptedAutomation automation;
  plat::SetAutomationProvider(&automation);
  plat::InputRouter& input = plat::InputRouter::Instance();
  // Ctrl+F: "VCC" found down from the current cell.
  automation.Reply(plat::SystemUiKind::Find, {IDOK, "vcc\t", FR_DOWN | FR_FINDNEXT});
  automation.Reply(plat::SystemUiKind::Find, {IDCANCEL, {}, 0});
  demogrid::PressWithControl('F');
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 4u);
  EXPECT_EQ(CGXFindReplaceState::Get().m_pFindReplaceDlg, nullptr) << "closed again";
  // Ctrl+H after an abandoned edit: every "VDD" of the column from the current row down, whatever its case.
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  input.TypeText("V");
  plat::RunUntilIdle();
  input.KeyPress(VK_ESCAPE);
  automation.Reply(plat::SystemUiKind::Replace, {IDOK, "VDD\tPWR", FR_DOWN | FR_REPLACEALL});
  automation.Reply(plat::SystemUiKind::Replace, {IDCANCEL, {}, 0});
  demogrid::PressWithControl('H');
  EXPECT_EQ(g->GetCellValue(1, 1), "PWR_01");
  EXPECT_EQ(g->GetCellValue(3, 1), "PWR_02");
  EXPECT_EQ(g->GetCellValue(5, 1), "PWR_04");
  EXPECT_EQ(g->GetCellValue(4, 1), "VCC_03");
  // The keys were the dialogs', not the grid's: no cell took an "F" or a backspace.
  EXPECT_EQ(g->GetCellValue(2, 1), "GND");
  plat::SetAutomationProvider(nullptr);
}

}  // namespace
