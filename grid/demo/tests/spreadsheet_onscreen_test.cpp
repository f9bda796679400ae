// The spreadsheet on screen through the SDL2 presenter under a private X server, driven with real input made
// with xdotool: a quantity typed into the budget recalculates its amount and the total, a formula typed into
// an empty cell computes, a click on a tab shows that sheet, and an amount typed there and undone with Ctrl+Z
// moves the running balance both ways; a formula refused with its parse error's box goes on at its caret once
// the box is answered. Run by CTest through xvfb-run.
#include <gtest/gtest.h>

#include "grid/demo/gallery.h"
#include "grid/demo/tests/onscreen.h"
#include "grid/extras/CGXTabWnd.h"
#include "grid/formula/CGXFormulaSheet.h"
#include "platform/base/ProgramLauncher.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

CString Value(CGXGridWnd* g, ROWCOL r, ROWCOL c) {
  CString t;
  static_cast<CGXFormulaSheet*>(g->GetParam()->GetData())->GetValueText(r, c, t);
  return t;
}

TEST(SpreadsheetOnScreen, TypedValuesRecalculateAndTabsSwitchSheets) {
  onscreen::Page page;
  ASSERT_TRUE(page.Open("sheet"));
  CGXGridWnd* budget = page.grid;
  ASSERT_NE(budget, nullptr);
  // Ferrite beads: 8 -> 9 pieces at 0.4.
  CRect cell = budget->CalcCellRect(4, 2);
  ASSERT_TRUE(page.Click(budget->GridHwnd(), cell.CenterPoint().x, cell.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] {
    ROWCOL r = 0, c = 0;
    return budget->QueryCurrentCell(&r, &c) && r == 4 && c == 2;
  }));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- 9"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return Value(budget, 4, 4) == "3.6" && Value(budget, 8, 4) == "74.4"; }))
      << Value(budget, 4, 4).GetString();
  // A formula into the empty cell below the total.
  cell = budget->CalcCellRect(9, 4);
  ASSERT_TRUE(page.Click(budget->GridHwnd(), cell.CenterPoint().x, cell.CenterPoint().y));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- =D8*2"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return Value(budget, 9, 4) == "148.8"; })) << Value(budget, 9, 4).GetString();
  // The "Balance" tab.
  CGXGridWnd* balance = gallery::SpreadsheetSheet(page.main, 1);
  ASSERT_NE(balance, nullptr);
  auto* tabs = dynamic_cast<CGXTabWnd*>(CWnd::FromHandlePermanent(::GetParent(budget->GridHwnd())));
  ASSERT_NE(tabs, nullptr);
  CGXTabBeam& beam = tabs->GetBeam();
  ASSERT_TRUE(page.Click(beam.m_hWnd, beam.GetTabLeft(1) + beam.GetMargin() + beam.GetTab(1).nWidth / 2,
                         beam.GetBeamHeight() / 2));
  EXPECT_TRUE(page.WaitUntil([&] { return tabs->GetActivePane() == balance && balance->IsWindowVisible(); }));
  EXPECT_FALSE(budget->IsWindowVisible());
  // The opening amount typed over and undone with Ctrl+Z: the running balance follows both ways.
  cell = balance->CalcCellRect(2, 3);
  ASSERT_TRUE(page.Click(balance->GridHwnd(), cell.CenterPoint().x, cell.CenterPoint().y));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- 600"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return Value(balance, 7, 4) == "616.25"; })) << Value(balance, 7, 4).GetString();
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 ctrl+z"));
  EXPECT_TRUE(page.WaitUntil([&] { return Value(balance, 2, 3) == "500" && Value(balance, 7, 4) == "516.25"; }))
      << Value(balance, 7, 4).GetString();
}

// The parse error's box of a refused formula, answered with a real Escape by a timer of the box's loop (the
// test's thread is inside that loop): the editor keeps its caret after "=1+", so a typed "5" goes to its end.
bool g_boxSeen = false;
void AnswerBoxWithEscape(HWND, UINT, UINT_PTR, DWORD) {
  if (g_boxSeen || !FindWindow("BrimMessageBox", nullptr)) return;
  g_boxSeen = true;
  plat::RunCommand("timeout 10 xdotool key Escape &");
}

TEST(SpreadsheetOnScreen, ARefusedFormulaGoesOnAtItsCaretAfterTheBox) {
  onscreen::Page page;
  ASSERT_TRUE(page.Open("sheet"));
  CGXGridWnd* budget = page.grid;
  ASSERT_NE(budget, nullptr);
  const CRect cell = budget->CalcCellRect(11, 1);
  ASSERT_TRUE(page.Click(budget->GridHwnd(), cell.CenterPoint().x, cell.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] {
    ROWCOL r = 0, c = 0;
    return budget->QueryCurrentCell(&r, &c) && r == 11 && c == 1;
  }));
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerBoxWithEscape);
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- =1+"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return g_boxSeen && !FindWindow("BrimMessageBox", nullptr); }));
  KillTimer(nullptr, timer);
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- 5"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return Value(budget, 11, 1) == "6"; })) << Value(budget, 11, 1).GetString();
}

}  // namespace
