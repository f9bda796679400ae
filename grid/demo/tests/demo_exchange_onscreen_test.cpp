// The demo's grids on screen through the SDL2 presenter under a private X server, with real mouse and keyboard
// input made with xdotool: clipboard keys, undo, a sort by a double click on a column header, the fill handle,
// Ctrl+H's replace dialog and Ctrl+F's find dialog worked through their controls; and the spanned cells' page:
// a click into a covered block, a tip under the resting mouse that goes when the mouse leaves. Run by CTest
// through xvfb-run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/onscreen.h"
#include "grid/features/CGXCellTipPlugin.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Clipboard.h"
#include "platform/window/Pump.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

// The queue served as the demo's loop serves it (each window sees its messages first), after every step.
class Screen : public onscreen::GridScreen {
 public:
  Screen(plat::SdlPresenter& p, HWND grid) : GridScreen(p, grid, [] { AfxPumpUntilIdle(); }, AfterStep::Serve) {}
};

TEST(GridDemo, ClipboardSortFillAndReplaceUnderRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  HWND main = nullptr;
  CGXGridWnd* g = onscreen::MakeDemoGrid(main, 6, 3);
  ASSERT_NE(g, nullptr);
  g->SetDefaultRowHeight(20, 0);
  g->SetDefaultColWidth(70, 0);
  g->SetRowHeight(0, 0, 20, nullptr, 0);
  g->SetColWidth(0, 0, 40, nullptr, 0);
  g->GetParam()->m_bSortRowsByHeader = TRUE;
  g->GetParam()->m_bFillEnabled = 1;
  g->GetParam()->m_bSelectionFrame = TRUE;
  gallery::BindFindReplaceKeys(g);
  const char* keys[] = {"30", "4", "100"};
  for (ROWCOL r = 1; r <= 3; ++r) g->SetCellValue(r, 1, keys[r - 1]);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  g->MoveCurrentCellTo(1, 2, GX_UPDATENOW);
  plat::SdlPresenter presenter("grid demo exchange on screen");
  ASSERT_TRUE(presenter.IsOpen());
  AfxPumpUntilIdle();
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  Screen s(presenter, g->GridHwnd());
  auto centre = [&](ROWCOL row, ROWCOL col) { return g->CalcCellRect(row, col).CenterPoint(); };
  auto clickCell = [&](ROWCOL row, ROWCOL col) { return s.Run(s.At(centre(row, col).x, centre(row, col).y) + "click 1"); };
  auto current = [&](ROWCOL row, ROWCOL col) {
    ROWCOL r = 0, c = 0;
    return g->QueryCurrentCell(&r, &c) && r == row && c == col;
  };
  // Copy a cell with Ctrl+C, paste it elsewhere with Ctrl+V, undo with Ctrl+Z.
  ASSERT_TRUE(clickCell(1, 1));
  ASSERT_TRUE(s.WaitUntil([&] { return current(1, 1); }));
  ASSERT_TRUE(s.Run("key ctrl+c"));
  EXPECT_TRUE(s.WaitUntil([&] { return plat::Clipboard::Instance().ReadText() == "30"; }));
  ASSERT_TRUE(clickCell(1, 3));
  ASSERT_TRUE(s.WaitUntil([&] { return current(1, 3); }));
  ASSERT_TRUE(s.Run("key ctrl+v"));
  EXPECT_TRUE(s.WaitUntil([&] { return g->GetCellValue(1, 3) == "30"; })) << g->GetCellValue(1, 3);
  ASSERT_TRUE(s.Run("key ctrl+z"));
  EXPECT_TRUE(s.WaitUntil([&] { return g->GetCellValue(1, 3) == ""; }));
  // A double click on the first column's header sorts by number (empty rows count as 0).
  const CPoint header = g->CalcCellRect(0, 1).CenterPoint();
  ASSERT_TRUE(s.Run(s.At(header.x, header.y) + "click --repeat 2 --delay 80 1"));
  EXPECT_TRUE(s.WaitUntil([&] {
    return g->GetCellValue(4, 1) == "4" && g->GetCellValue(5, 1) == "30" && g->GetCellValue(6, 1) == "100";
  })) << g->GetCellValue(4, 1) << " " << g->GetCellValue(5, 1) << " " << g->GetCellValue(6, 1);
  // The fill handle of a current cell dragged down two rows repeats its value.
  ASSERT_TRUE(clickCell(4, 1));
  ASSERT_TRUE(s.WaitUntil([&] { return current(4, 1); }));
  const CRect from = g->CalcCellRect(4, 1), below = g->CalcCellRect(6, 1);
  ASSERT_TRUE(s.Drag(from.right - 2, from.bottom - 2, below.right - 3, below.bottom - 3));
  EXPECT_TRUE(s.WaitUntil([&] { return g->GetCellValue(5, 1) == "4" && g->GetCellValue(6, 1) == "4"; }))
      << g->GetCellValue(5, 1) << " " << g->GetCellValue(6, 1);
  // Ctrl+H opens the replace dialog with the focus in "Find what": typed texts, Replace All replaces "4" by
  // "four" down the column from the current cell, Escape closes it.
  ASSERT_TRUE(clickCell(4, 1));
  ASSERT_TRUE(s.WaitUntil([&] { return current(4, 1); }));
  CGXFindReplaceState& state = CGXFindReplaceState::Get();
  auto dialogShown = [&] { return state.m_hWndFindDlg && IsWindowVisible(state.m_hWndFindDlg); };
  ASSERT_TRUE(s.Run("key ctrl+h"));
  ASSERT_TRUE(s.WaitUntil(dialogShown));
  HWND dialog = state.m_hWndFindDlg;
  auto clickIn = [&](HWND window, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(window, &pt);
    const POINT origin = presenter.WindowPosition();
    return s.Run("mousemove --sync " + std::to_string(origin.x + pt.x) + " " + std::to_string(origin.y + pt.y) +
                 " click 1");
  };
  ASSERT_TRUE(s.Run("type --delay 30 -- '4'") && s.Run("key Tab") && s.Run("type --delay 30 -- 'four'"));
  auto field = [&](int id) {
    char text[64] = {};
    GetWindowText(GetDlgItem(dialog, id), text, sizeof text);
    return std::string(text);
  };
  EXPECT_EQ(field(0x480), "4");
  EXPECT_EQ(field(0x481), "four");
  ASSERT_TRUE(clickIn(GetDlgItem(dialog, 0x401), 10, 6));  // Replace All
  EXPECT_TRUE(s.WaitUntil([&] { return g->GetCellValue(6, 1) == "four" && g->GetCellValue(4, 1) == "four"; }))
      << g->GetCellValue(4, 1) << " " << g->GetCellValue(6, 1);
  ASSERT_TRUE(s.Run("key Escape"));
  EXPECT_TRUE(s.WaitUntil([&] { return !IsWindow(dialog); }));
  // Ctrl+F from the first row: "four" typed, Enter finds it row after row while the focus stays in the
  // dialog; a find past the last match beeps; Escape closes the dialog.
  ASSERT_TRUE(clickCell(1, 1));
  ASSERT_TRUE(s.WaitUntil([&] { return current(1, 1); }));
  ASSERT_TRUE(s.Run("key ctrl+f"));
  ASSERT_TRUE(s.WaitUntil(dialogShown));
  dialog = state.m_hWndFindDlg;
  ASSERT_TRUE(s.Run("type --delay 30 -- 'four'") && s.Run("key Return"));
  EXPECT_TRUE(s.WaitUntil([&] { return current(4, 1); }));
  ASSERT_TRUE(s.Run("key Return"));
  EXPECT_TRUE(s.WaitUntil([&] { return current(5, 1); }));
  ASSERT_TRUE(s.Run("key Return"));
  EXPECT_TRUE(s.WaitUntil([&] { return current(6, 1); }));
  EXPECT_TRUE(::IsChild(dialog, GetFocus()));
  ASSERT_TRUE(s.Run("key Escape"));
  EXPECT_TRUE(s.WaitUntil([&] { return !IsWindow(dialog); }));
  plat::Clipboard::Instance().Reset();
  DestroyWindow(main);
}

TEST(CellGallery, SpannedCellsAndATipUnderTheRealMouse) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  plat::SetAutomationProvider(nullptr);
  const gallery::Page* page = gallery::FindPage("spans");
  ASSERT_NE(page, nullptr);
  plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
  HWND main = page->build();
  CGXGridWnd* g = gallery::PageGrid(main);
  ASSERT_NE(g, nullptr);
  plat::SdlPresenter presenter("spanned cells on screen");
  ASSERT_TRUE(presenter.IsOpen());
  AfxPumpUntilIdle();
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  Screen s(presenter, g->GridHwnd());
  // Floating, merged and covered cells as the page lays them out.
  CGXRange span;
  EXPECT_TRUE(g->GetFloatedCellsRange(1, 3, span) && span.left == 1);
  EXPECT_TRUE(g->GetMergedCellsRange(4, 2, span, 0) && span == CGXRange(4, 1, 4, 4));
  // A click inside the covered block makes its top-left cell current.
  const CPoint inner = g->CalcCellRect(10, 5).CenterPoint();
  ASSERT_TRUE(s.Run(s.At(inner.x, inner.y) + "click 1"));
  EXPECT_TRUE(s.WaitUntil([&] {
    ROWCOL r = 0, c = 0;
    return g->QueryCurrentCell(&r, &c) && r == 9 && c == 4;
  }));
  // The mouse resting on the cut-off text: its tip comes after half a second, and goes when the mouse leaves
  // the grid.
  auto* tips = dynamic_cast<CGXCellTipPlugin*>(g->GetCellTipPlugin());
  ASSERT_NE(tips, nullptr);
  const CRect cut = g->CalcCellRect(12, 1);
  ASSERT_TRUE(s.Run(s.At(cut.left + 10, cut.CenterPoint().y)));
  ASSERT_TRUE(s.Run(s.At(cut.left + 12, cut.CenterPoint().y)));
  EXPECT_TRUE(s.WaitUntil([&] { return tips->GetShownKind() == GX_CELLTIP_TEXT; }));
  ASSERT_TRUE(s.Run(s.At(-4, -4)));
  EXPECT_TRUE(s.WaitUntil([&] { return tips->GetShownKind() != GX_CELLTIP_TEXT; }));
  DestroyWindow(main);
}

}  // namespace
