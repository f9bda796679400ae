// The gallery's page of rich edit cells, headless: the page as built and after each of its steps (a click
// and a selection in a cell, a row grown by typing, a found match, RTF copied and pasted in a plain rich edit
// window, a line typed past its edge, the grid zoomed) matches its reference screenshot, and the cells and the
// window hold what the steps did.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/demo/gallery.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/Pump.h"

namespace {

void ExpectMatchesReference(HWND main, const std::string& name) {
  plat::Desktop::PaintAll();
  auto image = plat::Desktop::Capture(main);
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "grid/demo/tests/reference/" + name + ".png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

TEST(CellGallery, RichEditCellsMatchTheirReferencesStepByStep) {
  const gallery::Page* page = gallery::FindPage("richedit");
  ASSERT_NE(page, nullptr);
  plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
  HWND main = page->build();
  plat::RunUntilIdle();
  CGXGridWnd* g = gallery::PageGrid(main);
  ASSERT_NE(g, nullptr);
  auto* rich = dynamic_cast<CGXRichEditCtrl*>(g->ControlForId(GX_IDS_CTRL_RICHEDIT));
  ASSERT_NE(rich, nullptr);
  ExpectMatchesReference(main, "richedit-start");
  const int growBefore = g->GetRowHeight(7);
  for (const gallery::Step& step : page->steps()) {
    step.drive(g);
    plat::RunUntilIdle();
    ExpectMatchesReference(main, "richedit-" + step.name);
    ROWCOL row = 0, col = 0;
    g->QueryCurrentCell(&row, &col);
    if (step.name == "editing") {
      EXPECT_TRUE(rich->GetEditingState());
      EXPECT_EQ(std::string(rich->GetSelText()), "Plain ");
    } else if (step.name == "grown") {
      EXPECT_EQ(rich->GetLineCount(), 4);
      EXPECT_GE(g->GetRowHeight(7), 3 * growBefore);
    } else if (step.name == "found") {
      EXPECT_EQ(row, 8u);
      EXPECT_EQ(std::string(rich->GetSelText()), "haystack");
      CString plain;
      CGXStyle style;
      g->ComposeCellStyle(7, 1, style, TRUE);
      rich->GetDisplayText(plain, 7, 1, nullptr, style);
      EXPECT_EQ(std::string(plain), "Type here\r\nsecond line\r\nthird line\r\nfourth line");  // stored on leaving
    } else if (step.name == "plain-window-pasted") {
      HWND plain = GetDlgItem(main, 200);
      char text[200] = {};
      GetWindowText(plain, text, sizeof text);
      EXPECT_EQ(std::string(text), "A plain rich edit window: copy me then paste. copy me");
      CHARFORMAT cf{};
      cf.cbSize = sizeof cf;
      CHARRANGE last{static_cast<LONG>(std::string(text).size()) - 3, static_cast<LONG>(std::string(text).size())};
      SendMessage(plain, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&last));
      SendMessage(plain, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      EXPECT_TRUE(cf.dwEffects & CFE_BOLD);  // pasted as RTF
      EXPECT_EQ(cf.crTextColor, RGB(0, 0, 192));
    } else if (step.name == "plain-window-scrolled") {
      HWND plain = GetDlgItem(main, 200);
      SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
      ASSERT_TRUE(GetScrollInfo(plain, SB_HORZ, &si));
      EXPECT_GT(si.nMax, static_cast<int>(si.nPage));  // one line wider than the window
      EXPECT_GT(si.nPos, 0);
      EXPECT_EQ(SendMessage(plain, EM_GETLINECOUNT, 0, 0), 1);
    } else if (step.name == "zoomed") {
      EXPECT_EQ(g->GetZoom(), 150);
      EXPECT_FALSE(rich->GetEditingState());
    }
  }
  DestroyWindow(main);
  plat::RunUntilIdle();
  // The copied formats go with the test.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

}  // namespace
