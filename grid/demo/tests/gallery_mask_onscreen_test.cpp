// The gallery's page of masked-edit cells on screen through the SDL2 presenter under a private X server: a
// real click edits a live cell, real keys select its number and real typing refills the mask (a wrong character is refused) and Enter
// stores the typed characters. Run by CTest through xvfb-run.
#include "grid/controls/CGXControl.h"
#include "grid/demo/tests/onscreen.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr ROWCOL kLive = 3;

TEST(CellGallery, MaskedEditCellsTakeRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  onscreen::Page page;
  ASSERT_TRUE(page.Open("mask"));
  CGXGridWnd* g = page.grid;
  const CRect cell = g->CalcCellRect(1, kLive);  // the phone number
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 8, cell.CenterPoint().y));
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(page.WaitUntil([&] { return g->QueryCurrentCell(&row, &col) && row == 1 && col == kLive; }));
  // The click edits the cell; Home and Shift+End select the whole number, which the typing replaces.
  ASSERT_TRUE(page.WaitUntil([&] { return g->ControlForCell(1, kLive)->GetEditingState(); }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Home shift+End"));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- 2x125550199"));
  CString shown;
  EXPECT_TRUE(page.WaitUntil([&] {
    g->ControlForCell(1, kLive)->GetEditText(shown);
    return shown == "(212) 555-0199";
  })) << shown;
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(1, kLive) == "2125550199"; })) << g->GetCellValue(1, kLive);
}

}  // namespace
