// The gallery's page of OLE object cells on screen through the SDL2 presenter under a private X server: a
// real click on the hot-spot button opens the document in its server window, real typing edits it there,
// the server's buttons save and close it, and real Ctrl+C and Ctrl+V copy the object into the empty row.
// Run by CTest through xvfb-run.
#include "grid/controls/CGXControl.h"
#include "grid/demo/tests/onscreen.h"
#include "grid/demo/tests/oletext.h"
#include "platform/ole/TextDocumentServer.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr ROWCOL kLive = 3;

TEST(CellGallery, OleCellsTakeRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  onscreen::Page page;
  ASSERT_TRUE(page.Open("ole"));
  CGXGridWnd* g = page.grid;
  const CRect cell = g->CalcCellRect(1, kLive);
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.right - 8, cell.top + 7));
  ASSERT_TRUE(page.WaitUntil([] { return plat::ole::TextDocumentWindow() != nullptr; }));
  HWND server = plat::ole::TextDocumentWindow();
  HWND edit = ::GetDlgItem(server, plat::ole::kTextDocumentEditId);
  ASSERT_TRUE(page.WaitUntil([&] { return ::GetFocus() == edit; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 End"));
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- ' on screen'"));
  char text[128] = {};
  EXPECT_TRUE(page.WaitUntil([&] {
    ::GetWindowText(edit, text, sizeof text);
    return std::string(text) == "Decoupling notes on screen";
  })) << text;
  HWND update = ::GetDlgItem(server, plat::ole::kTextDocumentUpdateId);
  ASSERT_TRUE(page.Click(update, 10, 10));
  ASSERT_TRUE(page.WaitUntil([&] { return g->ControlForCell(1, kLive)->GetModifiedState(); }));
  HWND close = ::GetDlgItem(server, plat::ole::kTextDocumentCloseId);
  ASSERT_TRUE(page.Click(close, 10, 10));
  ASSERT_TRUE(page.WaitUntil([] { return plat::ole::TextDocumentWindow() == nullptr; }));
  // Leaving the cell stores the saved document.
  const CRect empty = g->CalcCellRect(2, kLive);
  ASSERT_TRUE(page.Click(g->GridHwnd(), empty.left + 8, empty.CenterPoint().y));
  EXPECT_TRUE(page.WaitUntil([&] { return oletext::CellDocumentText(g, 1, kLive) == "Decoupling notes on screen"; }))
      << oletext::CellDocumentText(g, 1, kLive);
  // Copy the object and paste it into the empty row with real keys.
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 8, cell.CenterPoint().y));
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(page.WaitUntil([&] { return g->QueryCurrentCell(&row, &col) && row == 1 && col == kLive; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 ctrl+c"));
  ASSERT_TRUE(page.Click(g->GridHwnd(), empty.left + 8, empty.CenterPoint().y));
  ASSERT_TRUE(page.WaitUntil([&] { return g->QueryCurrentCell(&row, &col) && row == 2 && col == kLive; }));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 ctrl+v"));
  const CRect last = g->CalcCellRect(3, kLive);
  ASSERT_TRUE(page.WaitUntil([&] { return g->ControlForCell(2, kLive)->GetModifiedState(); }));
  ASSERT_TRUE(page.Click(g->GridHwnd(), last.left + 8, last.CenterPoint().y));
  EXPECT_TRUE(page.WaitUntil([&] { return oletext::CellDocumentText(g, 2, kLive) == "Decoupling notes on screen"; }))
      << oletext::CellDocumentText(g, 2, kLive);
}

}  // namespace
