// The gallery's page of date-time cells on screen through the SDL2 presenter under a private X server: real
// typing edits a live cell field by field, Alt+Down opens the popup calendar, a real click on one of its days
// chooses it, and leaving the cell stores the value. Run by CTest through xvfb-run.
#include "grid/demo/tests/onscreen.h"
#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/CGXDateTimeCtrl.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr ROWCOL kLive = 3;

TEST(CellGallery, DateTimeCellsTakeRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  onscreen::Page page;
  ASSERT_TRUE(page.Open("datetime"));
  CGXGridWnd* g = page.grid;
  auto* control = dynamic_cast<CGXDateTimeCtrl*>(g->ControlForId(GX_IDS_CTRL_DATETIME));
  ASSERT_NE(control, nullptr);
  // The short date's live cell (6/15/2024 12:00) made current, then month and day typed into its fields.
  const CRect cell = g->CalcCellRect(1, kLive);
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 8, cell.CenterPoint().y));
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(page.WaitUntil([&] { return g->QueryCurrentCell(&row, &col) && row == 1 && col == kLive; }));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- 0315"));
  EXPECT_TRUE(page.WaitUntil([&] { return control->GetDateTime() == COleDateTime(2024, 3, 15, 12, 0, 0); }))
      << control->GetDateTime().Format("%#c");
  // Alt+Down: the popup calendar; a real click on its 20th day box (16 March) chooses that day.
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 alt+Down"));
  ASSERT_TRUE(page.WaitUntil([&] { return control->GetPopupCalendar() && control->GetPopupCalendar()->IsWindowVisible(); }));
  CGXBPopupCalendar* popup = control->GetPopupCalendar();
  const CPoint day = popup->GetDayBox(20)->GetRect().CenterPoint();
  ASSERT_TRUE(page.Click(popup->m_hWnd, day.x, day.y));
  EXPECT_TRUE(page.WaitUntil([&] { return control->GetPopupCalendar() == nullptr; }));
  EXPECT_EQ(control->GetDateTime(), COleDateTime(2024, 3, 16, 12, 0, 0));
  // Enter goes to the grid, which stores the edited value.
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(1, kLive) == "45367.5"; })) << g->GetCellValue(1, kLive);
}

}  // namespace
