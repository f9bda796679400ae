// The gallery's page of drop-down cells on screen through the SDL2 presenter under a private X server: real
// clicks drop a list from its button and choose a line, real keys drop a tabbed list and a check list, and a
// real click ticks a box. Run by CTest through xvfb-run.
#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXComboBox.h"
#include "grid/demo/tests/onscreen.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr ROWCOL kLineZeroBased = 6, kWithHeader = 8, kCheckList = 13;

TEST(CellGallery, DropDownCellsTakeRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  onscreen::Page page;
  ASSERT_TRUE(page.Open("dropdowns"));
  CGXGridWnd* g = page.grid;
  auto current = [&](ROWCOL row) {
    ROWCOL r = 0, c = 0;
    return g->QueryCurrentCell(&r, &c) && r == row && c == 1;
  };
  auto dropped = [&]() -> CGXComboBox* {
    auto* box = dynamic_cast<CGXComboBox*>(g->ControlOfCurrentCell());
    return box && box->IsDroppedDown() ? box : nullptr;
  };
  // A click makes the cell current, a click on its button drops the list: every line shows, the first on
  // top; a click on Blue takes it, Down stores its index.
  CRect cell = g->CalcCellRect(kLineZeroBased, 1);
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 10, cell.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return current(kLineZeroBased); }));
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.right - 8, cell.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return dropped() != nullptr; }));
  CListBox* list = dropped()->GetListBox();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetTopIndex(), 0);
  CRect blue;
  list->GetItemRect(2, &blue);
  CRect client;
  list->GetClientRect(&client);
  EXPECT_LE(blue.bottom, client.bottom) << "the last line shows whole";
  ASSERT_TRUE(page.Click(list->m_hWnd, blue.left + 10, blue.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return dropped() == nullptr; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Down"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(kLineZeroBased, 1) == "2"; }))
      << g->GetCellValue(kLineZeroBased, 1);
  // The tabbed list from Alt+Down under its header bar; Down and Enter take Blue (key 3).
  cell = g->CalcCellRect(kWithHeader, 1);
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 10, cell.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return current(kWithHeader); }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 50 alt+Down"));
  ASSERT_TRUE(page.WaitUntil([&] { return dropped() != nullptr; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 50 Down Return"));
  ASSERT_TRUE(page.WaitUntil([&] { return dropped() == nullptr; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Down"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(kWithHeader, 1) == "3"; }))
      << g->GetCellValue(kWithHeader, 1);
  // The check list (Red and Blue ticked): a click on Green's box ticks it, Escape closes and stores 7.
  cell = g->CalcCellRect(kCheckList, 1);
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 10, cell.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return current(kCheckList); }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 50 alt+Down"));
  ASSERT_TRUE(page.WaitUntil([&] { return dropped() != nullptr; }));
  auto* checks = dynamic_cast<CCheckListBox*>(dropped()->GetListBox());
  ASSERT_NE(checks, nullptr);
  CRect green;
  checks->GetItemRect(1, &green);
  ASSERT_TRUE(page.Click(checks->m_hWnd, green.left + 8, green.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return checks->GetCheck(1) == 1; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Escape"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(kCheckList, 1) == "7"; })) << g->GetCellValue(kCheckList, 1);
}

}  // namespace
