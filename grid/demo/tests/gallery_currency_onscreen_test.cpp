// The gallery's page of currency cells on screen through the SDL2 presenter under a private X server: a real
// click edits a live cell, real typing reaches its editor, and the keypad of the popup calculator that
// Alt+Down opens computes the amount that Enter hands back. Run by CTest through xvfb-run.
#include "grid/controls/CGXControl.h"
#include "grid/demo/tests/onscreen.h"
#include "grid/extras/CGXBCalculator.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

constexpr ROWCOL kLive = 3;

CString EditText(CGXGridWnd* g, ROWCOL row) {
  CString text;
  g->ControlForCell(row, kLive)->GetEditText(text);
  return text;
}

// The amount a shown text holds (its digits and decimal point).
double Amount(const CString& shown) {
  std::string digits;
  for (int i = 0; i < shown.GetLength(); ++i)
    if ((shown[i] >= '0' && shown[i] <= '9') || shown[i] == '.') digits += shown[i];
  return std::atof(digits.c_str());
}

TEST(CellGallery, CurrencyCellsTakeRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  onscreen::Page page;
  ASSERT_TRUE(page.Open("currency"));
  CGXGridWnd* g = page.grid;
  const CRect cell = g->CalcCellRect(5, kLive);  // "Padded to 6": 42 with its calculator button
  ASSERT_TRUE(page.Click(g->GridHwnd(), cell.left + 8, cell.CenterPoint().y));
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(page.WaitUntil([&] { return g->QueryCurrentCell(&row, &col) && row == 5 && col == kLive; }));
  // Typing on the current cell starts editing and the digits arrive.
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- 123"));
  ASSERT_TRUE(page.WaitUntil([&] { return g->ControlForCell(5, kLive)->GetEditingState(); }));
  EXPECT_TRUE(page.WaitUntil([&] { return EditText(g, 5).Find("123") >= 0; })) << EditText(g, 5);
  // Alt+Down: the popup calculator over the cell; "*2" and Enter on it give the cell the product.
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 alt+Down"));
  ASSERT_TRUE(page.WaitUntil([&] {
    CWnd* focus = CWnd::FromHandlePermanent(::GetFocus());
    return focus && focus->IsKindOf(RUNTIME_CLASS(CGXBPopupCalculator));
  }));
  const CString before = EditText(g, 5);
  ASSERT_TRUE(onscreen::Page::X("type --delay 30 -- *2"));
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Return"));
  EXPECT_TRUE(page.WaitUntil([&] { return EditText(g, 5) != before; })) << EditText(g, 5);
  // Up leaves the cell: the doubled amount is stored.
  ASSERT_TRUE(onscreen::Page::X("key --delay 30 Up"));
  EXPECT_TRUE(page.WaitUntil([&] { return g->GetCellValue(5, kLive) != "42"; }));
  EXPECT_DOUBLE_EQ(std::atof(g->GetCellValue(5, kLive)), 2 * Amount(before)) << before;
}

}  // namespace
