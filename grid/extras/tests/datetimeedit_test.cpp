// The date-time window by injected keys and clicks: fields built from formats, typing and fast input, steps
// and wrapping, the range and its snapping, the spin buttons on the virtual clock, type-ahead in name lists,
// the popup calendar and the German locale.
#include <gtest/gtest.h>

#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/CGXBDateTimeCtrl.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/base/LocaleTable.h"
#include "platform/window/Pump.h"

namespace {

using namespace extrastest;

COleDateTime Dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return COleDateTime(y, mo, d, h, mi, s); }

class DateTimeEditTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    parent = std::make_unique<NotifyParent>();
  }
  void TearDown() override {
    dt.reset();
    parent.reset();
    plat::SetUserDefaultLocale(0x0409);
    ExtrasTest::TearDown();
  }
  // A focused window of 200 x 22 pixels with a custom format (empty: the short date) and a value.
  CGXBDateTimeCtrl* Open(const char* format, const COleDateTime& value, DWORD style = 0) {
    dt = std::make_unique<CGXBDateTimeCtrl>();
    dt->SetDateTime(value);
    if (format && *format) dt->SetCustomFormat(format);
    EXPECT_TRUE(dt->Create(WS_VISIBLE | style, CRect(10, 10, 210, 32), parent.get(), 5));
    dt->SetFocus();
    Pump();
    parent->Take();
    plat::ClearRecordedBeeps();
    return dt.get();
  }
  // What the row shows: the gadgets' texts one after another.
  CString Shown() const {
    CString text;
    for (int i = dt->GetFixedCount(); i < dt->GetGadgetCount(); ++i) text += dt->GetGadget(i)->GetText();
    return text;
  }
  int CurrentField() const { return dt->CurrentGadget() ? dt->CurrentGadget()->GetFieldId() : 0; }
  void GoTo(int fieldId) {
    for (int i = dt->GetFixedCount(); i < dt->GetGadgetCount(); ++i)
      if (dt->GetGadget(i)->GetFieldId() == fieldId) dt->SetCurrentGadget(i);
  }
  std::unique_ptr<NotifyParent> parent;
  std::unique_ptr<CGXBDateTimeCtrl> dt;
};

TEST_F(DateTimeEditTest, ACustomFormatGivesFieldsAndLiteralsAndFastInputMovesOn) {
  CGXBDateTimeCtrl* c = Open("dd/MM/yyyy", Dt(2024, 3, 9));
  ASSERT_EQ(c->GetGadgetCount(), 5);
  const int ids[5] = {GXDT_DAY, GXDT_LITERAL, GXDT_MONTH, GXDT_LITERAL, GXDT_YEAR4};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(c->GetGadget(i)->GetFieldId(), ids[i]);
  EXPECT_EQ(Shown(), "09/03/2024");
  EXPECT_TRUE(c->HasDateFields());
  EXPECT_EQ(CurrentField(), GXDT_DAY);
  Type("15");
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 3, 15));
  EXPECT_EQ(CurrentField(), GXDT_MONTH);
  EXPECT_TRUE(c->IsModified());
  EXPECT_EQ(parent->Take(), Log({"command 5 256"}));
  Key(VK_LEFT);
  Type("/");  // the literal after the day moves on too
  EXPECT_EQ(CurrentField(), GXDT_MONTH);
  Type("2");  // one digit of two: still typing until another field is chosen
  EXPECT_TRUE(c->IsTypingNumber());
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 3, 15));
  Key(VK_RIGHT);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 2, 15));
  EXPECT_EQ(CurrentField(), GXDT_YEAR4);
  Key(VK_RIGHT);  // the row's end: nothing happens
  EXPECT_EQ(CurrentField(), GXDT_YEAR4);
  // Quoted text is a literal without its quotes; the era letter shows nothing.
  Open("'Day' d gg", Dt(2024, 3, 9));
  EXPECT_EQ(Shown(), "Day 9 ");
}

TEST_F(DateTimeEditTest, TwelveHourFieldsAndTypedHours) {
  CGXBDateTimeCtrl* c = Open("hh:mm tt", Dt(2024, 1, 1, 0, 5));
  EXPECT_EQ(Shown(), "12:05 AM");
  Type("12");  // 12 keeps AM
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 1, 1, 0, 5));
  c->SetDateTime(Dt(2024, 1, 1, 12, 5));
  EXPECT_EQ(Shown(), "12:05 PM");
  GoTo(GXDT_AMPM);
  Key(VK_UP);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 1, 1, 0, 5));

  c = Open("HH:mm", Dt(2024, 1, 1, 15, 30));
  Type("07");
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 1, 1, 7, 30));
  EXPECT_EQ(CurrentField(), GXDT_MINUTE);
  Key(VK_LEFT);
  Type("00");  // a second leading zero does not count: still typing
  EXPECT_TRUE(c->IsTypingNumber());
  // A character that is not a digit (without a key, as an input method delivers it) beeps and drops the
  // digits; a key commits them first.
  c->SendMessage(WM_CHAR, 'a', 0);
  EXPECT_EQ(plat::RecordedBeeps().size(), 1u);
  EXPECT_FALSE(c->IsTypingNumber());
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 1, 1, 7, 30));
  Type("9");
  Key(VK_RIGHT);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 1, 1, 9, 30));
  Type("75");  // no minute 75: refused with a beep
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 1, 1, 9, 30));
  EXPECT_EQ(plat::RecordedBeeps().size(), 2u);
}

TEST_F(DateTimeEditTest, StepsWrapAndKeepTheDayInsideTheMonth) {
  CGXBDateTimeCtrl* c = Open("dd/MM/yyyy", Dt(2024, 1, 31));
  GoTo(GXDT_MONTH);
  Key(VK_UP);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 2, 29));
  c->SetDateTime(Dt(2023, 1, 31));
  Key(VK_UP);
  EXPECT_EQ(c->GetDateTime(), Dt(2023, 2, 28));
  c->SetDateTime(Dt(2024, 4, 30));
  GoTo(GXDT_DAY);
  Key(VK_UP);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 4, 1));
  Key(VK_DOWN);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 4, 30));  // 31 lowered to the month's last day
  Key(VK_END);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 4, 30));
  // Spin steps: days, hours, minutes and seconds go by at most 2.
  EXPECT_TRUE(c->OnGadgetNotify(GXDT_UP_STEP, GXDT_DAY, 5));
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 4, 1));
  // Years stay within 100 and 9999.
  c->SetDateTime(Dt(9999, 6, 1));
  GoTo(GXDT_YEAR4);
  Key(VK_UP);
  EXPECT_EQ(c->GetDateTime().GetYear(), 9999);
  c->SetDateTime(Dt(100, 6, 1));
  Key(VK_DOWN);
  EXPECT_EQ(c->GetDateTime().GetYear(), 100);
  // A weekday moves the date inside its week.
  c = Open("ddd dd", Dt(2024, 5, 15));  // a Wednesday
  EXPECT_EQ(Shown(), "Wed 15");
  Key(VK_HOME);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 5, 12));
  Key(VK_END);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 5, 18));
}

TEST_F(DateTimeEditTest, TheRangeRefusesOrSnapsChanges) {
  CGXBDateTimeCtrl* c = Open("dd/MM/yyyy HH:mm", Dt(2000, 6, 5));
  EXPECT_TRUE(c->SetValidationRange(Dt(2000, 1, 1), Dt(2000, 12, 31, 23, 59, 59), 3));
  GoTo(GXDT_YEAR4);
  Key(VK_DOWN);
  EXPECT_EQ(c->GetDateTime(), Dt(2000, 6, 5));
  EXPECT_TRUE(parent->Take().empty());
  EXPECT_TRUE(c->SetValidationRange(Dt(2000, 3, 15, 8, 30), Dt(2000, 12, 31), 3));
  c->SetDateTime(Dt(2000, 2, 20, 10, 0));  // not checked
  GoTo(GXDT_MONTH);
  Key(VK_HOME);
  EXPECT_EQ(c->GetDateTime(), Dt(2000, 3, 15, 8, 30));
  EXPECT_FALSE(c->SetValidationRange(Dt(2001, 1, 1), Dt(2000, 1, 1), 3));
  // Times only: the value keeps its date and takes the bound's time.
  c->SetDateTime(Dt(2024, 6, 7, 20, 0));
  EXPECT_TRUE(c->SetValidationRange(Dt(2024, 1, 1, 8, 0), Dt(2024, 1, 1, 17, 0), 1));
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 6, 7, 17, 0));
  EXPECT_FALSE(c->SetValidationRange(Dt(2024, 1, 1, 18, 0), Dt(2024, 1, 2, 8, 0), 1));
  // Dates only: the value keeps its time.
  c->SetDateTime(Dt(2024, 2, 15, 10, 30));
  EXPECT_TRUE(c->SetValidationRange(Dt(2024, 1, 1, 12, 0), Dt(2024, 1, 31), 2));
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 1, 31, 10, 30));
}

TEST_F(DateTimeEditTest, AHeldSpinButtonSpeedsUpOnTheClock) {
  CGXBDateTimeCtrl* c = Open("yyyy", Dt(2000, 6, 1), CGXBDateTimeCtrl::kSpin);
  ASSERT_EQ(c->GetFixedCount(), 1);
  const CRect spin = c->GetGadget(0)->GetRect();
  auto& input = plat::InputRouter::Instance();
  input.ButtonDown(plat::MouseButton::Left, ExtrasTest::At(c->m_hWnd, spin.left + 8, spin.top + 3));
  Pump();
  EXPECT_EQ(c->GetDateTime().GetYear(), 2001);
  plat::AdvanceAndPump(499);
  EXPECT_EQ(c->GetDateTime().GetYear(), 2001);
  plat::AdvanceAndPump(1 + 100 * 19);  // ticks 1 to 20: one each
  EXPECT_EQ(c->GetDateTime().GetYear(), 2021);
  plat::AdvanceAndPump(100 * 30);  // 21 to 50: two each
  EXPECT_EQ(c->GetDateTime().GetYear(), 2081);
  plat::AdvanceAndPump(100 * 2);  // then five
  EXPECT_EQ(c->GetDateTime().GetYear(), 2091);
  input.ButtonUp(plat::MouseButton::Left, ExtrasTest::At(c->m_hWnd, spin.left + 8, spin.top + 3));
  Pump();
  plat::AdvanceAndPump(1000);
  EXPECT_EQ(c->GetDateTime().GetYear(), 2091);
  EXPECT_FALSE(c->GetGadget(0)->HasTimer());
  EXPECT_EQ(static_cast<CGXBDTSpinGadget*>(c->GetGadget(0))->GetState(), 0u);
}

TEST_F(DateTimeEditTest, MonthNamesByTypeAhead) {
  CGXBDateTimeCtrl* c = Open("MMMM d", Dt(2024, 1, 15));
  EXPECT_EQ(Shown(), "January 15");
  Type("j");
  EXPECT_EQ(c->GetDateTime().GetMonth(), 6);
  Type("j");
  EXPECT_EQ(c->GetDateTime().GetMonth(), 7);
  plat::AdvanceAndPump(2100);  // the prefix is forgotten
  Type("j");
  EXPECT_EQ(c->GetDateTime().GetMonth(), 1);
  Type("u");
  EXPECT_EQ(c->GetDateTime().GetMonth(), 6);
  Type("l");
  EXPECT_EQ(c->GetDateTime().GetMonth(), 7);
  EXPECT_TRUE(plat::RecordedBeeps().empty());
  Type("x");
  EXPECT_EQ(plat::RecordedBeeps().size(), 1u);
  EXPECT_EQ(c->GetDateTime().GetMonth(), 7);
}

TEST_F(DateTimeEditTest, ThePopupCalendarSetsOnlyTheDate) {
  CGXBDateTimeCtrl* c = Open("", Dt(2024, 5, 10, 15, 45, 30), CGXBDateTimeCtrl::kDropDown | CGXBDateTimeCtrl::kSpin);
  EXPECT_EQ(Shown(), "5/10/2024");
  Key(VK_F4);
  CGXBPopupCalendar* popup = c->GetPopupCalendar();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetDeactivateMode(), 2);
  EXPECT_EQ(popup->GetHighlightedDate(), Dt(2024, 5, 10, 12, 0));
  CRect window, anchor;
  popup->GetWindowRect(&window);
  c->GetWindowRect(&anchor);
  EXPECT_EQ(window.top, anchor.bottom);
  const CRect box = popup->GetDayBox(22)->GetRect();  // 20 May 2024 (the grid starts on 28 April)
  plat::InputRouter::Instance().Click(plat::MouseButton::Left,
                                      ExtrasTest::At(popup->m_hWnd, box.CenterPoint().x, box.CenterPoint().y));
  Pump();
  EXPECT_EQ(c->GetPopupCalendar(), nullptr);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 5, 20, 15, 45, 30));
  EXPECT_EQ(parent->Take(), Log({"command 5 256"}));
  // Esc cancels; the drop-down button opens it too.
  const CRect button = c->GetGadget(0)->GetRect();
  plat::InputRouter::Instance().Click(plat::MouseButton::Left,
                                      ExtrasTest::At(c->m_hWnd, button.CenterPoint().x, button.CenterPoint().y));
  Pump();
  ASSERT_NE(c->GetPopupCalendar(), nullptr);
  Key(VK_ESCAPE);
  EXPECT_EQ(c->GetPopupCalendar(), nullptr);
  EXPECT_EQ(c->GetDateTime(), Dt(2024, 5, 20, 15, 45, 30));
}

TEST_F(DateTimeEditTest, GermanFormatsAndNames) {
  plat::SetUserDefaultLocale(0x0407);
  CGXBDateTimeCtrl* c = Open("", Dt(2024, 3, 9, 14, 5, 7));
  EXPECT_EQ(Shown(), "09.03.2024");
  c->SetFormatType(CGXBDateTimeCtrl::LongDate);
  EXPECT_EQ(Shown(), "Samstag, 9. M\xE4rz 2024");
  c->SetFormatType(CGXBDateTimeCtrl::Time);
  EXPECT_EQ(Shown(), "14:05:07");
  EXPECT_FALSE(c->HasDateFields());
  c->SetCustomFormat("MMMM");
  Type("o");
  EXPECT_EQ(c->GetDateTime().GetMonth(), 10);  // Oktober
  // A two-digit year takes its century from the locale's reading of dates.
  c->SetCustomFormat("yy");
  Type("45");
  EXPECT_EQ(c->GetDateTime().GetYear(), 1945);
  Type("12");
  EXPECT_EQ(c->GetDateTime().GetYear(), 2012);
}

}  // namespace
