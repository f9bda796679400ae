// The spreadsheet of the grid demo, headless: its script's steps (typing, filling down, sorting and undoing,
// a broken constraint, the other tabs) end in screenshots compared with the committed references, and what
// the cells hold is checked along the way.
#include <gtest/gtest.h>

#include <string>

#include "grid/demo/gallery.h"
#include "grid/demo/tests/galleryshots.h"
#include "grid/extras/CGXTabWnd.h"
#include "grid/formula/CGXFormulaSheet.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

CString Value(CGXGridWnd* g, ROWCOL r, ROWCOL c) {
  CString t;
  static_cast<CGXFormulaSheet*>(g->GetParam()->GetData())->GetValueText(r, c, t);
  return t;
}

CString Expr(CGXGridWnd* g, ROWCOL r, ROWCOL c) {
  CString t;
  static_cast<CGXFormulaSheet*>(g->GetParam()->GetData())->GetExpressionText(r, c, t);
  return t;
}

TEST(SpreadsheetDemo, TheScriptRunsHeadlessAndMatchesItsReferences) {
  const gallery::Page* page = gallery::FindPage("sheet");
  ASSERT_NE(page, nullptr);
  plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
  // The grid reports a broken constraint in a message box: answered OK, and recorded.
  plat::ScriptedAutomation automation;
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
  plat::SetAutomationProvider(&automation);
  plat::ClearShownLog();
  HWND main = page->build();
  plat::RunUntilIdle();
  CGXGridWnd* budget = gallery::PageGrid(main);
  ASSERT_NE(budget, nullptr);
  ASSERT_EQ(budget, gallery::SpreadsheetSheet(main, 0));
  EXPECT_EQ(Value(budget, 8, 4), "74");
  CGXRange covered;
  EXPECT_TRUE(budget->GetCoveredCellsRowCol(3, 6, covered));
  EXPECT_EQ(covered, CGXRange(2, 6, 3, 6));
  galleryshots::ExpectDesktopMatches("sheet-start");
  for (const gallery::Step& step : page->steps()) {
    step.drive(budget);
    plat::RunUntilIdle();
    plat::VirtualClock::Advance(100);
    plat::RunUntilIdle();
    const std::string& name = step.name;
    if (name == "typed-number") {
      EXPECT_EQ(Value(budget, 3, 4), "17");
      EXPECT_EQ(Value(budget, 8, 4), "80.8");
    } else if (name == "typed-formula") {
      EXPECT_EQ(Expr(budget, 4, 5), "=D4*1.2");
      EXPECT_EQ(Value(budget, 4, 5), "3.84");
    } else if (name == "filled-down") {
      EXPECT_EQ(Expr(budget, 3, 5), "=D3*1.2");
      EXPECT_EQ(Expr(budget, 6, 5), "=D6*1.2");
      EXPECT_EQ(Value(budget, 6, 5), "57.6");
    } else if (name == "sorted") {
      EXPECT_EQ(Value(budget, 2, 1), "Board");
      EXPECT_EQ(Expr(budget, 2, 4), "=B2*C2");
      EXPECT_EQ(Value(budget, 8, 4), "80.8");
    } else if (name == "sort-undone") {
      EXPECT_EQ(Value(budget, 2, 1), "Capacitors 100n");
      EXPECT_EQ(Expr(budget, 6, 5), "=D6*1.2");
    } else if (name == "constraint-violated") {
      EXPECT_EQ(Value(budget, 8, 4), "2532.8");
      ASSERT_EQ(plat::ShownLog().size(), 1u);
      EXPECT_NE(plat::ShownLog()[0].request.text.find("There is 1 constraint violation!"), std::string::npos);
    } else if (name == "balance-tab") {
      CGXGridWnd* balance = gallery::SpreadsheetSheet(main, 1);
      ASSERT_NE(balance, nullptr);
      EXPECT_TRUE(balance->IsWindowVisible());
      EXPECT_FALSE(budget->IsWindowVisible());
      EXPECT_EQ(Value(balance, 7, 4), "516.25");
    } else if (name == "dates-tab") {
      CGXGridWnd* dates = gallery::SpreadsheetSheet(main, 2);
      ASSERT_NE(dates, nullptr);
      EXPECT_EQ(Value(dates, 2, 3), "45366");
      EXPECT_EQ(Value(dates, 3, 3), "45396");
      EXPECT_EQ(Value(dates, 6, 2), "#N/A");
    }
    galleryshots::ExpectDesktopMatches("sheet-" + name);
  }
  DestroyWindow(main);
  plat::SetAutomationProvider(nullptr);
}

TEST(SpreadsheetDemo, CtrlPAsksForThePrinterAndCtrlF2ShowsThePrintPreview) {
  const gallery::Page* page = gallery::FindPage("sheet");
  ASSERT_NE(page, nullptr);
  plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
  plat::ScriptedAutomation automation;
  automation.Reply(plat::SystemUiKind::Print, {IDCANCEL, {}});
  plat::SetAutomationProvider(&automation);
  plat::ClearShownLog();
  HWND main = page->build();
  plat::RunUntilIdle();
  CGXGridWnd* budget = gallery::PageGrid(main);
  ASSERT_NE(budget, nullptr);
  ::SetFocus(budget->GridHwnd());
  auto& input = plat::InputRouter::Instance();
  input.KeyDown(VK_CONTROL);
  input.KeyPress('P');
  input.KeyUp(VK_CONTROL);
  plat::RunUntilIdle();
  ASSERT_EQ(plat::ShownLog().size(), 1u);
  EXPECT_EQ(plat::ShownLog()[0].request.kind, plat::SystemUiKind::Print);
  input.KeyDown(VK_CONTROL);
  input.KeyPress(VK_F2);
  input.KeyUp(VK_CONTROL);
  plat::RunUntilIdle();
  HWND preview = gallery::SpreadsheetPreview();
  ASSERT_NE(preview, nullptr);
  auto* wnd = dynamic_cast<CPrintPreviewWnd*>(CWnd::FromHandlePermanent(preview));
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(wnd->GetPageCount(), 1u);
  EXPECT_EQ(wnd->GetCurrentPage(), 1u);
  SendMessage(preview, WM_CLOSE, 0, 0);
  plat::RunUntilIdle();
  EXPECT_EQ(gallery::SpreadsheetPreview(), nullptr);
  DestroyWindow(main);
  plat::SetAutomationProvider(nullptr);
}

}  // namespace
