// The gallery's pages of window cells on screen through the SDL2 presenter under a private X server: real
// clicks and typing edit an edit cell and choose a list box line (the edit page), and edit a rich edit cell
// in place and scroll the plain rich edit window sideways (the rich edit page). Run by CTest through xvfb-run.
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/demo/tests/onscreen.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr ROWCOL kLive = 6;

TEST(CellGallery, EditAndListBoxCellsTakeRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  onscreen::Page page;
  ASSERT_TRUE(page.Open("edit"));
  CGXGridWnd* g = page.grid;
  // The live edit cell: a click into its text edits it, real typing at the end is stored on leaving.
  const CRect edit = g->CalcCellRect(1, kLive);
  ASSERT_TRUE(page.Click(g->GridHwnd(), edit.left + 8, edit.top + 8));
  ASSERT_TRUE(page.WaitUntil([&] { return g->ControlForCell(1, kLive)->GetEditingState(); }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 End"));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- ' here'"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Tab"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(1, kLive) == "Some text here"; })) << g->GetCellValue(1, kLive);
  // The live list box: a click on its second line chooses Green, stored when Tab leaves the cell.
  const CRect list = g->CalcCellRect(8, kLive);
  auto* box = dynamic_cast<CGXListBox*>(g->ControlForId(GX_IDS_CTRL_LISTBOX));
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(page.Click(g->GridHwnd(), list.left + 10, list.top + 5));
  ASSERT_TRUE(page.WaitUntil([&] { return box->GetEditingState() && box->IsWindowVisible(); }));
  CRect second;
  box->GetItemRect(1, &second);
  ASSERT_TRUE(page.Click(box->m_hWnd, second.left + 5, second.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return box->GetCurSel() == 1; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Tab"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(8, kLive) == "Green"; })) << g->GetCellValue(8, kLive);
}

TEST(CellGallery, RichEditCellsTakeRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  onscreen::Page page;
  ASSERT_TRUE(page.Open("richedit"));
  CGXGridWnd* g = page.grid;
  auto* rich = dynamic_cast<CGXRichEditCtrl*>(g->ControlForId(GX_IDS_CTRL_RICHEDIT));
  ASSERT_NE(rich, nullptr);
  const CRect cell = g->CalcCellRect(1, 1);
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 8, cell.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return rich->GetEditingState() && ::GetFocus() == rich->m_hWnd; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 ctrl+End"));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- ' typed'"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Down"));  // the last line: the grid moves on, storing
  CString shown;
  const auto plain = [&] {
    CGXStyle style;
    g->ComposeCellStyle(1, 1, style, TRUE);
    rich->GetDisplayText(shown, 1, 1, nullptr, style);
    return std::string(shown);
  };
  EXPECT_TRUE(page.WaitUntil([&] { return plain() == "Plain and bold text typed"; })) << plain();
  // The typed words took the format at the caret; the bold word is still bold in the stored RTF.
  EXPECT_NE(std::string(g->GetCellValue(1, 1)).find("\\b"), std::string::npos) << g->GetCellValue(1, 1);
  // The plain window under the grid: a line typed past its right edge takes the view and its bar sideways.
  HWND plainWindow = GetDlgItem(page.main, 200);
  ASSERT_TRUE(page.Click(plainWindow, 4, 8));
  ASSERT_TRUE(page.WaitUntil([&] { return ::GetFocus() == plainWindow; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 ctrl+End"));
  ASSERT_TRUE(onscreen::Page::X("type --delay 5 -- ' and typed on along the same line past the right edge of the "
                                "window, on and on, until the view follows the caret sideways and the bar shows'"));
  const auto sideways = [&] {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(plainWindow, SB_HORZ, &si) && si.nPos > 0;
  };
  char typed[400] = {};
  EXPECT_TRUE(page.WaitUntil(sideways)) << (GetWindowText(plainWindow, typed, sizeof typed), typed);
}

}  // namespace
