// The gallery's cells given what they must not take, headless, as a user gives it: replacements through the
// replace dialog, dates typed field by field and read back, pastes longer than a cell takes. A refused input
// leaves the cell's value and shows the cell's message; an accepted one is stored exactly.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/core/CGXRange.h"
#include "grid/core/tests/gxwindowtest.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Inspect.h"
#include "platform/window/Pump.h"

namespace {

using gallerypage::In;
using gallerypage::Key;

class GalleryBadInput : public gallerypage::InputTest {
 protected:
  CGXGridWnd* Open(const char* page) {
    CGXGridWnd* grid = InputTest::Open(page);
    if (grid) gallery::BindFindReplaceKeys(grid);
    return grid;
  }
  std::string Value(ROWCOL row, ROWCOL col) { return std::string(opened.grid->GetCellValue(row, col)); }
  // Replace All in the current cell's column from the replace dialog (Ctrl+H), its message boxes answered.
  void ReplaceAll(ROWCOL row, ROWCOL col, const std::string& find, const std::string& replace) {
    ::SetFocus(opened.grid->GridHwnd());
    ASSERT_TRUE(opened.grid->MoveCurrentCellTo(row, col, GX_UPDATENOW));
    automation.Reply(plat::SystemUiKind::Replace, {IDOK, find + "\t" + replace, FR_DOWN | FR_REPLACEALL});
    automation.Reply(plat::SystemUiKind::Replace, {IDCANCEL, {}, 0});
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
    Key('H', true);
  }
  // The texts of the message boxes shown since the last call.
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const plat::ShownRecord& r : plat::ShownLog())
      if (r.request.kind == plat::SystemUiKind::MessageBox) texts.push_back(r.request.text);
    plat::ClearShownLog();
    return texts;
  }
};

constexpr ROWCOL kLive = 3;
const std::string kRefused =
    "A replaced text is not a value its cell takes (not one of its choices, too long, against the cell's mask or "
    "out of its bounds): that cell keeps its value.";

// Replace All stored the replaced text whatever the cell was: "x0" in an edit cell bounded to 0..100,
// "(xxx) 123-4x67" over a phone mask's digits, sixteen characters in a free text of at most eight. Each
// such cell now keeps its value and the first refusal is shown once (the bounds' own message where the cell
// has one); what a cell takes is still replaced.
TEST_F(GalleryBadInput, ReplaceAllLeavesACellThatDoesNotTakeTheReplacementAsItWas) {
  CGXGridWnd* g = Open("edit");
  ASSERT_NE(g, nullptr);
  constexpr ROWCOL kEditRow = 1, kEditLive = 6;
  g->SetStyleRange(CGXRange(kEditRow, kEditLive),
                   CGXStyle().SetValue("50").SetUserAttribute(GX_IDS_UA_VALID_MIN, "0")
                       .SetUserAttribute(GX_IDS_UA_VALID_MAX, "100")
                       .SetUserAttribute(GX_IDS_UA_VALID_MSG, "Between 0 and 100, please."));
  Shown();
  ReplaceAll(kEditRow, kEditLive, "5", "x");
  EXPECT_EQ(Value(kEditRow, kEditLive), "50");
  EXPECT_EQ(Shown(), std::vector<std::string>{"Between 0 and 100, please."});
  ReplaceAll(kEditRow, kEditLive, "0", "000");
  EXPECT_EQ(Value(kEditRow, kEditLive), "50");
  EXPECT_EQ(Shown().size(), 1u);
  ReplaceAll(kEditRow, kEditLive, "5", "7");
  EXPECT_EQ(Value(kEditRow, kEditLive), "70");
  EXPECT_TRUE(Shown().empty());
  // A password cell (its cells show "******") took the stars' replacement as its password: "xxxxxx".
  constexpr ROWCOL kPasswordRow = 3;
  ReplaceAll(kPasswordRow, kEditLive, "*", "x");
  EXPECT_EQ(Value(kPasswordRow, kEditLive), "secret");
  ReplaceAll(kPasswordRow, kEditLive, "sec", "x");
  EXPECT_EQ(Value(kPasswordRow, kEditLive), "secret");
  Shown();
  DestroyWindow(opened.main);
  plat::RunUntilIdle();

  g = Open("mask");
  ASSERT_NE(g, nullptr);
  ReplaceAll(1, kLive, "5", "x");  // (###) ###-####
  EXPECT_EQ(Value(1, kLive), "5551234567");
  EXPECT_EQ(Shown(), std::vector<std::string>{kRefused});
  ReplaceAll(1, kLive, "1", "123456");  // more digits than the mask holds
  EXPECT_EQ(Value(1, kLive), "5551234567");
  EXPECT_EQ(Shown(), std::vector<std::string>{kRefused});
  ReplaceAll(1, kLive, "555", "777");
  EXPECT_EQ(Value(1, kLive), "7771234567");
  EXPECT_TRUE(Shown().empty());
  ReplaceAll(5, kLive, "n", "nnnnnnnnnnnn");  // free text of at most 8 holding "notes"
  EXPECT_EQ(Value(5, kLive), "notes");
  EXPECT_EQ(Shown(), std::vector<std::string>{kRefused});
  ReplaceAll(5, kLive, "n", "N");
  EXPECT_EQ(Value(5, kLive), "Notes");
}

// A spin cell bounded 1..20 whose arrows keep it there took 25 and "abc" typed into it. A typed text must be a
// whole number within the bounds: else the grid's text naming them (or the cell's own message) is shown and
// the cell keeps its value.
TEST_F(GalleryBadInput, ASpinCellRefusesATypedValueOutsideItsBounds) {
  CGXGridWnd* g = Open("edit");
  ASSERT_NE(g, nullptr);
  constexpr ROWCOL kSpinRow = 2, kEditLive = 6;
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
  g->SetStyleRange(CGXRange(kSpinRow, kEditLive), CGXStyle()
                                                      .SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "1")
                                                      .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, "20"));
  auto type = [&](const char* text) {
    Click(kSpinRow, kEditLive);
    Key(VK_END);
    In().KeyDown(VK_SHIFT);
    Key(VK_HOME);
    In().KeyUp(VK_SHIFT);
    if (*text)
      In().TypeText(text);
    else
      Key(VK_DELETE);
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    return Value(kSpinRow, kEditLive);
  };
  Shown();
  EXPECT_EQ(type("25"), "12");
  EXPECT_EQ(Shown(), std::vector<std::string>{"Type a whole number from 1 to 20."});
  EXPECT_EQ(type("abc"), "12");
  EXPECT_EQ(type("2.5"), "12");
  EXPECT_EQ(type("0"), "12");
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(type("20"), "20");
  EXPECT_EQ(type(""), "");  // an empty cell is no value out of bounds
  EXPECT_TRUE(Shown().empty());
  g->SetStyleRange(CGXRange(kSpinRow, kEditLive), CGXStyle().SetValue("5").SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, ""));
  EXPECT_EQ(type("-7"), "-7");
  EXPECT_EQ(type("21"), "-7");
  EXPECT_EQ(Shown(), std::vector<std::string>{"Type a whole number of at most 20."});
}

// The check list (Red, Green, Blue) holding 9 (Red and a fourth item it has no line for): its list opened and
// closed with Escape stored 1, the fourth item's bit lost. Closing the list changes only the bits it shows.
TEST_F(GalleryBadInput, ACheckListKeepsTheBitsItHasNoLineFor) {
  CGXGridWnd* g = Open("dropdowns");
  ASSERT_NE(g, nullptr);
  constexpr ROWCOL kCheckRow = 13;
  g->SetStyleRange(CGXRange(kCheckRow, 1), CGXStyle().SetValue("9"));
  auto dropAnd = [&](std::initializer_list<UINT> keys) {
    ::SetFocus(g->GridHwnd());
    g->MoveCurrentCellTo(kCheckRow, 1, GX_UPDATENOW);
    plat::RunUntilIdle();
    In().KeyDown(VK_MENU);
    In().KeyPress(VK_DOWN);
    In().KeyUp(VK_MENU);
    plat::RunUntilIdle();
    for (UINT key : keys) Key(key);
    g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
    plat::RunUntilIdle();
    return Value(kCheckRow, 1);
  };
  EXPECT_EQ(dropAnd({VK_ESCAPE}), "9");
  EXPECT_EQ(dropAnd({VK_DOWN, VK_SPACE, VK_RETURN}), "11");  // Green ticked
}

// Pastes into an edited masked cell: "12a45" at the start of the postal code 12345 went in as far as the
// "a" (1212345); fifteen digits over the whole phone number went in as its first ten; eight letters after a
// free text of at most eight ("notes") were refused without a word. Each is refused whole now, the first two
// with the mask's beep, the last with the grid's message for a paste that does not fit.
TEST_F(GalleryBadInput, APasteIntoAnEditedMaskGoesInWholeOrNotAtAll) {
  CGXGridWnd* g = Open("mask");
  ASSERT_NE(g, nullptr);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
  auto paste = [&](ROWCOL row, UINT caretKey, const char* text) {
    Click(row, kLive);
    Key(caretKey);
    gxtest::PutClipboardText(text);
    Key('V', true);
    Key(VK_RETURN);
    return Value(row, kLive);
  };
  plat::ClearRecordedBeeps();
  EXPECT_EQ(paste(2, VK_HOME, "12a45"), "12345");
  EXPECT_EQ(plat::RecordedBeeps().size(), 1u);
  Click(1, kLive);
  Key(VK_HOME);
  In().KeyDown(VK_SHIFT);
  Key(VK_END);
  In().KeyUp(VK_SHIFT);
  gxtest::PutClipboardText("123456789012345");
  Key('V', true);
  Key(VK_RETURN);
  EXPECT_EQ(Value(1, kLive), "5551234567");
  EXPECT_EQ(plat::RecordedBeeps().size(), 2u);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(paste(5, VK_END, "abcdefgh"), "notes");
  EXPECT_EQ(Shown(), std::vector<std::string>{"The pasted text does not fit: the cell would hold 13 characters, and it "
                                              "takes at most 8. Nothing was pasted."});
  // What fits still goes in.
  EXPECT_EQ(paste(5, VK_END, "abc"), "notesabc");
  EXPECT_EQ(paste(2, VK_END, "6789"), "123456789");
}

// Seventeen digits typed into a currency cell showed and stored 12,345,678,901,234,568: a double does not
// hold the amount typed. A digit past the 15 a double holds is refused with a beep; what is stored is what
// the cell shows.
TEST_F(GalleryBadInput, ACurrencyCellRefusesDigitsItCannotHoldExactly) {
  CGXGridWnd* g = Open("currency");
  ASSERT_NE(g, nullptr);
  plat::ClearRecordedBeeps();
  Click(1, kLive);
  In().TypeText("12345678901234567");
  Key(VK_RETURN);
  EXPECT_EQ(Value(1, kLive), "1234567890123.00");
  EXPECT_EQ(plat::RecordedBeeps().size(), 4u);
  Click(1, kLive);
  In().TypeText("9999999999999.99");
  Key(VK_RETURN);
  EXPECT_EQ(Value(1, kLive), "9999999999999.99");
}

// The short date's live cell (6/15/2024 12:00) with a month, day and year typed over its fields and Enter.
std::string TypeDate(GalleryBadInput& t, CGXGridWnd* g, const char* digits) {
  In().Click(plat::MouseButton::Left, gallery::CellScreenPoint(g, 1, kLive, 8, 8));
  plat::RunUntilIdle();
  In().TypeText(digits);
  Key(VK_RETURN);
  (void)t;
  return std::string(g->GetCellValue(1, kLive));
}

// 02/29/2023 typed field by field was stored as 02/28/2023: the year made the typed 29th the 28th without a
// word. The year that has no 29 February is refused (the control beeps) and the date stays as typed so far.
TEST_F(GalleryBadInput, TwentyNinthOfFebruaryTypedIntoAYearWithoutItIsRefused) {
  CGXGridWnd* g = Open("datetime");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(TypeDate(*this, g, "02292023"), "45351.5");  // 2/29/2024 12:00: the year 2023 refused
  EXPECT_EQ(TypeDate(*this, g, "02282023"), "44985.5");  // 2/28/2023 12:00
  EXPECT_EQ(TypeDate(*this, g, "03012024"), "45352.5");  // 3/1/2024
  EXPECT_EQ(TypeDate(*this, g, "02292024"), "45351.5");  // 2/29/2024
}

// A date near the end of 1899 is stored as its DATE number, which reads as a date text of this year: the
// cell holding 1.5 (12/31/1899 12:00) showed 1/5 of this year, and the next edit started from that date.
TEST_F(GalleryBadInput, ADateAroundTheEndOf1899ReadsBackAsItself) {
  CGXGridWnd* g = Open("datetime");
  ASSERT_NE(g, nullptr);
  auto* control = dynamic_cast<CGXDateTimeCtrl*>(g->ControlForId(GX_IDS_CTRL_DATETIME));
  ASSERT_NE(control, nullptr);
  auto shown = [&](ROWCOL col) {
    CGXStyle style;
    g->ComposeCellStyle(1, col, style, TRUE);
    CString text;
    control->GetDisplayText(text, 1, col, nullptr, style);
    return std::string(text);
  };
  EXPECT_EQ(TypeDate(*this, g, "12311899"), "1.5");
  EXPECT_EQ(shown(kLive), "12/31/1899");
  EXPECT_EQ(TypeDate(*this, g, "12291899"), "-1.5");
  EXPECT_EQ(shown(kLive), "12/29/1899");
  EXPECT_EQ(TypeDate(*this, g, "01"), "-335.5");  // the month typed: 1/29/1899 12:00
  g->SetStyleRange(CGXRange(1, 1), CGXStyle().SetValue("12.25"));
  EXPECT_EQ(shown(1), "1/11/1900");
  // A date text still reads as one.
  g->SetStyleRange(CGXRange(1, 1), CGXStyle().SetValue("12/25/1999"));
  EXPECT_EQ(shown(1), "12/25/1999");
}

}  // namespace
