// The month calendar and its popup: the month grid, steps by day, month and year, selection, the keyboard and
// the mouse, the posted notifications, the panel layout, the popup's placement and deactivation, and their
// look.
#include <gtest/gtest.h>

#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"

namespace {

using namespace extrastest;

// A parent that records the calendar's notifications: "message wParam box-day" (0 for no box).
class CalendarParent : public NotifyParent {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= GX_WM_CAL_HIGHLIGHT && message <= GX_WM_CAL_CANCELLED) {
      const auto* box = reinterpret_cast<CGXBDayBox*>(lParam);
      log.push_back(std::to_string(message) + " " + std::to_string(wParam) + " " +
                    std::to_string(box ? box->GetDate().GetDay() : 0));
      return 0;
    }
    return NotifyParent::WindowProc(message, wParam, lParam);
  }
};

COleDateTime Day(int y, int m, int d) { return COleDateTime(y, m, d, 12, 0, 0); }

class CalendarTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    parent = std::make_unique<CalendarParent>();
  }
  void TearDown() override {
    calendar.reset();
    parent.reset();
    ExtrasTest::TearDown();
  }
  // A child calendar of 224 x 160 pixels at (10, 10) showing the month of `shown`.
  CGXBCalendar* Open(const COleDateTime& shown, DWORD flags = 0x39C000) {
    calendar = std::make_unique<CGXBCalendar>();
    calendar->SetCalendarFlags(flags);
    calendar->SetDisplayDate(shown, FALSE);
    RECT r{10, 10, 234, 170};
    EXPECT_TRUE(calendar->Create(WS_VISIBLE, r, parent.get(), 7));
    Pump();
    parent->Take();
    return calendar.get();
  }
  // Clicks the day box with index `box` with a button.
  void ClickBox(int box, plat::MouseButton button = plat::MouseButton::Left) {
    const CRect r = calendar->GetDayBox(box)->GetRect();
    plat::InputRouter::Instance().Click(button, At(calendar->m_hWnd, r.CenterPoint().x, r.CenterPoint().y));
    Pump();
  }
  std::unique_ptr<CalendarParent> parent;
  std::unique_ptr<CGXBCalendar> calendar;
};

TEST_F(CalendarTest, ShowsFortyTwoConsecutiveDaysFromTheSundayBeforeTheFirst) {
  CGXBCalendar* c = Open(Day(2024, 9, 17));  // 1 September 2024 is a Sunday
  EXPECT_EQ(c->GetDayBox(0)->GetDate(), Day(2024, 9, 1));
  EXPECT_FALSE(c->GetDayBox(0)->IsOtherMonth());
  c->SetDisplayDate(Day(2024, 5, 20), FALSE);  // a Wednesday
  EXPECT_EQ(c->GetDayBox(0)->GetDate(), Day(2024, 4, 28));
  for (int i = 1; i < CGXBCalendar::kDayBoxes; ++i)
    EXPECT_EQ(c->GetDayBox(i)->GetDate(), c->GetDayBox(i - 1)->GetDate() + COleDateTimeSpan(1, 0, 0, 0));
  EXPECT_TRUE(c->GetDayBox(2)->IsOtherMonth());
  EXPECT_FALSE(c->GetDayBox(3)->IsOtherMonth());
  EXPECT_FALSE(c->GetDayBox(33)->IsOtherMonth());  // 31 May
  EXPECT_TRUE(c->GetDayBox(34)->IsOtherMonth());
  EXPECT_EQ(c->GetTitle().GetText(), "May 2024");
}

TEST_F(CalendarTest, StepsByMonthAndYearStayInsideTheDateRange) {
  CGXBCalendar* c = Open(Day(2024, 2, 10));
  plat::ClearRecordedBeeps();
  EXPECT_FALSE(c->NextDay(TRUE));  // nothing highlighted yet
  EXPECT_EQ(plat::RecordedBeeps().size(), 1u);
  EXPECT_FALSE(c->GetHighlightedDate().GetStatus() == COleDateTime::valid);
  c->HighlightDate(Day(2024, 2, 29), TRUE);
  EXPECT_TRUE(c->NextYear(TRUE));
  EXPECT_EQ(c->GetHighlightedDate(), Day(2025, 2, 28));
  EXPECT_EQ(c->GetDisplayDate().GetYear(), 2025);
  EXPECT_TRUE(c->NextMonth(TRUE));
  EXPECT_EQ(c->GetHighlightedDate(), Day(2025, 3, 1));
  EXPECT_TRUE(c->PrevDay(TRUE));
  EXPECT_EQ(c->GetHighlightedDate(), Day(2025, 2, 28));
  EXPECT_EQ(c->GetDisplayDate().GetMonth(), 2);
  EXPECT_TRUE(c->PrevMonth(FALSE));  // scrolls the month only
  EXPECT_EQ(c->GetDisplayDate().GetMonth(), 1);

  EXPECT_FALSE(c->IsValidMonth(100, 1, 5));
  EXPECT_TRUE(c->IsValidMonth(100, 2, 99));
  EXPECT_TRUE(c->IsValidMonth(9999, 11, 1));
  EXPECT_FALSE(c->IsValidMonth(9999, 12, 1));
  plat::ClearRecordedBeeps();
  EXPECT_FALSE(c->SetDisplayDate(Day(9999, 12, 5), TRUE));
  EXPECT_EQ(plat::RecordedBeeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
  EXPECT_TRUE(c->SetDisplayDate(Day(9999, 11, 5), TRUE));
  EXPECT_FALSE(c->NextMonth(FALSE));
  EXPECT_EQ(c->GetDisplayDate().GetMonth(), 11);
  // A locked month refuses every change once created.
  c->SetCalendarFlags(c->GetCalendarFlags() | CGXBCalendar::kLockMonth);
  EXPECT_FALSE(c->SetDisplayDate(Day(2000, 1, 1), TRUE));
}

TEST_F(CalendarTest, SelectionKeepsOneEntryPerDateInOrder) {
  CGXBCalendar* c = Open(Day(2024, 6, 1));
  c->SelectDate(Day(2024, 6, 20), TRUE);
  c->SelectDate(Day(2024, 6, 5), TRUE);
  c->SelectDate(Day(2024, 6, 20), TRUE);
  c->SelectDate(Day(2024, 7, 30), TRUE);
  c->SelectDate(Day(2024, 6, 10), TRUE);
  ASSERT_EQ(c->GetSelectedCount(), 4);
  EXPECT_EQ(c->GetSelectedDate(0), Day(2024, 6, 5));
  EXPECT_EQ(c->GetSelectedDate(1), Day(2024, 6, 10));
  EXPECT_EQ(c->GetSelectedDate(2), Day(2024, 6, 20));
  EXPECT_EQ(c->GetSelectedDate(3), Day(2024, 7, 30));
  c->SelectDate(Day(2024, 6, 10), FALSE);
  EXPECT_EQ(c->GetSelectedCount(), 3);
  Pump();
  // The right button toggles a day of the month (1 June 2024 is box 6).
  parent->Take();
  ClickBox(25, plat::MouseButton::Right);  // 20 June
  EXPECT_EQ(c->GetSelectedCount(), 2);
  EXPECT_FALSE(c->GetDayBox(25)->IsSelected());
  EXPECT_EQ(parent->Take(), Log({"2006 0 20"}));
}

TEST_F(CalendarTest, ClicksHighlightAndAGreyedDayShowsItsMonth) {
  CGXBCalendar* c = Open(Day(2024, 5, 20));
  ClickBox(10);  // 8 May
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 5, 8));
  EXPECT_EQ(parent->Take(), Log({"2005 1 8"}));
  ClickBox(35);  // 2 June, greyed: the calendar moves to June and highlights it
  EXPECT_EQ(c->GetDisplayDate().GetMonth(), 6);
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 6, 2));
  EXPECT_TRUE(c->GetCurrentDayBox()->IsHighlighted());
  // With bit 9 the month stays and the greyed day is highlighted where it is.
  c->SetCalendarFlags(c->GetCalendarFlags() | CGXBCalendar::kKeepMonthOnOtherDay);
  c->SetDisplayDate(Day(2024, 5, 20), TRUE);
  ClickBox(35);
  EXPECT_EQ(c->GetDisplayDate().GetMonth(), 5);
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 6, 2));
}

TEST_F(CalendarTest, KeysMoveTheHighlightOnlyWithTheKeyboardFlag) {
  CGXBCalendar* c = Open(Day(2024, 5, 20), 0x39C000 & ~CGXBCalendar::kKeyboard);
  c->HighlightDate(Day(2024, 5, 20), TRUE);
  Key(VK_RIGHT);
  Key(VK_END);
  Key(VK_RETURN);
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 5, 20));
  EXPECT_TRUE(c->IsWindowVisible());
  parent->Take();

  c = Open(Day(2024, 5, 20));
  Key(VK_RETURN);  // no day box yet: a cancellation
  EXPECT_EQ(parent->Take(), Log({"2008 0 0"}));
  EXPECT_FALSE(c->IsWindowVisible());
  c->ShowWindow(SW_SHOW);
  c->SetFocus();
  c->HighlightDate(Day(2024, 5, 20), TRUE);
  Key(VK_RIGHT);
  Key(VK_DOWN);
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 5, 28));
  Key(VK_NEXT);
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 6, 1));
  Key(VK_END);
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 6, 30));
  Key(VK_HOME);
  EXPECT_EQ(c->GetHighlightedDate(), Day(2024, 6, 1));
  Key(VK_SPACE);  // toggles the anchor day off
  EXPECT_FALSE(c->GetCurrentDayBox()->IsHighlighted());
  parent->Take();
  Key(VK_RETURN);
  EXPECT_EQ(parent->Take(), Log({"2007 0 0"}));
  EXPECT_FALSE(c->IsWindowVisible());
}

TEST_F(CalendarTest, ChoosingOnHighlightPostsTheBoxWithBothMessages) {
  CGXBCalendar* c = Open(Day(2024, 5, 20), 0x39C000 | CGXBCalendar::kChooseOnHighlight);
  c->HighlightDate(Day(2024, 5, 3), TRUE);
  Pump();
  EXPECT_EQ(parent->Take(), Log({"2005 1 3", "2007 1 3"}));
}

TEST_F(CalendarTest, PanelsFollowTheLayoutFractions) {
  CGXBCalendar* c = Open(Day(2024, 5, 20));
  EXPECT_EQ(c->GetTitle().GetRect(), CRect(0, 0, 223, 27));
  EXPECT_EQ(c->GetDayBar().GetRect(), CRect(0, 27, 223, 39));
  EXPECT_EQ(c->GetDayBox(0)->GetRect(), CRect(0, 40, 31, 59));
  EXPECT_EQ(c->GetDayBox(1)->GetRect(), CRect(32, 40, 63, 59));
  EXPECT_EQ(c->GetDayBox(41)->GetRect(), CRect(192, 140, 223, 159));
  // The year buttons span 5-15 % of the width, the month buttons 15-25 %, in the middle three fifths.
  CRect button;
  c->GetTitle().GetButton(GX_IDS_CAL_PREVYEAR)->GetWindowRect(&button);
  c->ScreenToClient(&button);
  EXPECT_EQ(button, CRect(11, 5, 33, 22));
  c->GetTitle().GetButton(GX_IDS_CAL_NEXTMONTH)->GetWindowRect(&button);
  c->ScreenToClient(&button);
  EXPECT_EQ(button, CRect(168, 5, 190, 22));
  // The title buttons scroll the month by posted commands.
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, At(c->m_hWnd, 178, 12));
  Pump();
  EXPECT_EQ(c->GetDisplayDate().GetMonth(), 6);
}

class PopupCalendarTest : public CalendarTest {
 protected:
  CGXBPopupCalendar* OpenPopup(const CRect& anchor, DWORD style = 0x90040001) {
    auto* popup = new CGXBPopupCalendar;
    popup->m_bAutoDelete = TRUE;
    popup->SetDisplayDate(Day(2024, 5, 20), FALSE);
    popup->HighlightDate(Day(2024, 5, 20), TRUE);
    EXPECT_TRUE(popup->CreatePopup(style, anchor, parent.get()));
    Pump();
    parent->Take();
    return popup;
  }
};

TEST_F(PopupCalendarTest, OpensBelowTheAnchorAndFlipsAtTheWorkAreasEdges) {
  CGXBPopupCalendar* popup = OpenPopup(CRect(100, 50, 200, 70));
  CRect r;
  popup->GetWindowRect(&r);
  EXPECT_EQ(r.TopLeft(), CPoint(100, 70));
  EXPECT_GT(r.Width(), 100);
  popup->DestroyWindow();

  CRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const CRect corner(work.right - 80, work.bottom - 30, work.right - 10, work.bottom - 10);
  popup = OpenPopup(corner);
  popup->GetWindowRect(&r);
  EXPECT_EQ(r.bottom, corner.top);
  EXPECT_EQ(r.right, corner.right);
  popup->DestroyWindow();
  // Without style bit 0 it opens right of the anchor, and left of it at the right edge.
  popup = OpenPopup(CRect(100, 50, 200, 70), 0x90040000);
  popup->GetWindowRect(&r);
  EXPECT_EQ(r.TopLeft(), CPoint(200, 70));
  popup->DestroyWindow();
  popup = OpenPopup(corner, 0x90040000);
  popup->GetWindowRect(&r);
  EXPECT_EQ(r.right, corner.left);
  popup->DestroyWindow();
}

TEST_F(PopupCalendarTest, LosingActivationChoosesOrCancelsByItsMode) {
  CGXBPopupCalendar* popup = OpenPopup(CRect(100, 50, 200, 70));
  EXPECT_EQ(popup->GetDeactivateMode(), 1);
  ::SetActiveWindow(parent->m_hWnd);
  Pump();
  EXPECT_EQ(parent->Take(), Log({"2007 0 0"}));
  EXPECT_FALSE(popup->IsWindowVisible());
  EXPECT_EQ(popup->GetHighlightedDate(), Day(2024, 5, 20));
  popup->DestroyWindow();

  popup = OpenPopup(CRect(100, 50, 200, 70));
  EXPECT_EQ(popup->SetDeactivateMode(2), 1);
  ::SetActiveWindow(parent->m_hWnd);
  Pump();
  EXPECT_EQ(parent->Take(), Log({"2008 0 0"}));
  popup->DestroyWindow();

  // A double click chooses the day under the pointer.
  popup = OpenPopup(CRect(100, 50, 200, 70));
  const CRect box = popup->GetDayBox(12)->GetRect();
  plat::InputRouter::Instance().DoubleClick(plat::MouseButton::Left,
                                            At(popup->m_hWnd, box.CenterPoint().x, box.CenterPoint().y));
  Pump();
  EXPECT_EQ(popup->GetHighlightedDate(), Day(2024, 5, 10));
  const Log log = parent->Take();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "2007 0 0");
  popup->DestroyWindow();
}

TEST_F(PopupCalendarTest, LooksLikeItsReferences) {
  Open(Day(2024, 5, 20));
  calendar->HighlightDate(Day(2024, 5, 14), TRUE);
  calendar->SelectDate(Day(2024, 5, 22), TRUE);
  Pump();
  OpenPopup(CRect(250, 20, 330, 40));
  plat::Desktop::PaintAll();
  auto desktop = plat::Desktop::Compose();
  ASSERT_TRUE(desktop);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*desktop, "grid/extras/tests/reference/calendar.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

}  // namespace
