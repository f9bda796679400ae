#include "platform/base/COleDateTime.h"

#include <gtest/gtest.h>

#include "platform/base/VirtualClock.h"

TEST(COleDateTime, DateNumbersAndNegativeFractions) {
  const COleDateTime epoch(1899, 12, 30, 0, 0, 0);
  EXPECT_EQ(epoch.m_dt, 0.0);
  const COleDateTime early(1899, 12, 29, 6, 0, 0);
  EXPECT_DOUBLE_EQ(early.m_dt, -1.25);  // the fraction counts forward from the day's midnight
  EXPECT_EQ(COleDateTime(-1.25).GetHour(), 6);
  EXPECT_EQ(COleDateTime(-1.25).GetDay(), 29);
  EXPECT_DOUBLE_EQ(COleDateTime(100, 1, 1, 0, 0, 0).m_dt, -657434.0);
  EXPECT_DOUBLE_EQ(COleDateTime(9999, 12, 31, 0, 0, 0).m_dt, 2958465.0);
  EXPECT_EQ(COleDateTime(2958466.0).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(-657435.0).GetStatus(), COleDateTime::invalid);
  const COleDateTime t(1995, 3, 14, 12, 41, 29);
  EXPECT_EQ(t.GetDayOfWeek(), 3);  // Tuesday; Sunday is 1
  EXPECT_EQ(t.GetDayOfYear(), 73);
  // Rounded to the nearest second, also into the next day.
  EXPECT_EQ(COleDateTime(1.0 - 0.4 / 86400).GetDay(), 31);
  EXPECT_EQ(COleDateTime(1.0 - 0.4 / 86400).GetHour(), 0);
}

TEST(COleDateTime, ImpossiblePartsAreInvalid) {
  COleDateTime d;
  EXPECT_EQ(d.SetDate(2023, 2, 29), 1);
  EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(d.GetYear(), -1);
  EXPECT_EQ(d.Format(), "Invalid DateTime");
  EXPECT_EQ(d.SetDate(2024, 2, 29), 0);
  EXPECT_EQ(COleDateTime(99, 1, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
  UDATE u{};
  EXPECT_EQ(VarUdateFromDate(2958466.0, 0, &u), E_INVALIDARG);
  EXPECT_EQ(VarUdateFromDate(36599.5, 0, &u), S_OK);
  EXPECT_EQ(u.st.wYear, 2000);
  EXPECT_EQ(u.st.wHour, 12);
  COleDateTime n;
  n.SetStatus(COleDateTime::null);
  EXPECT_EQ(n.Format(), "");
}

TEST(COleDateTime, FormatByLocale) {
  EXPECT_EQ(COleDateTime(0.0).Format(), "12:00:00 AM");
  EXPECT_EQ(COleDateTime(0.0).Format(VAR_DATEVALUEONLY), "12/30/1899");
  EXPECT_EQ(COleDateTime(1995, 3, 14, 0, 0, 0).Format(VAR_TIMEVALUEONLY), "12:00:00 AM");
  EXPECT_EQ(COleDateTime(1995, 3, 14, 0, 0, 0).Format(), "3/14/1995");
  EXPECT_EQ(COleDateTime(1995, 3, 14, 13, 5, 9).Format(), "3/14/1995 1:05:09 PM");
  EXPECT_EQ(COleDateTime(1995, 3, 14, 13, 5, 9).Format(VAR_DATEVALUEONLY), "3/14/1995");
  EXPECT_EQ(COleDateTime(1995, 3, 14, 13, 5, 9).Format(VAR_TIMEVALUEONLY), "1:05:09 PM");
  EXPECT_EQ(COleDateTime(1995, 3, 4, 13, 5, 9).Format(0, 0x0407), "04.03.1995 13:05:09");
  EXPECT_EQ(COleDateTime(1995, 3, 14, 12, 41, 29).Format("%#c"), "Tuesday, March 14, 1995, 12:41:29");
}

TEST(COleDateTime, Parsing) {
  plat::VirtualClock::Reset();
  plat::VirtualClock::FixTimeOfDay();  // the current year is 2024
  COleDateTime d;
  auto parse = [&](const char* text, LCID lcid = LANG_USER_DEFAULT) {
    return d.ParseDateTime(text, 0, lcid) ? d.Format("%Y-%m-%d %H:%M:%S") : CString("fail");
  };
  EXPECT_EQ(parse("3/14/1995"), "1995-03-14 00:00:00");
  EXPECT_EQ(parse("3-14-95 1:05 PM"), "1995-03-14 13:05:00");
  EXPECT_EQ(parse("14.3.1995", 0x0407), "1995-03-14 00:00:00");
  EXPECT_EQ(parse("1995-03-14 23:59:59"), "1995-03-14 23:59:59");
  EXPECT_EQ(parse("March 14, 1995"), "1995-03-14 00:00:00");
  EXPECT_EQ(parse("Tuesday, March 14, 1995"), "1995-03-14 00:00:00");
  EXPECT_EQ(parse("14 M\xE4rz 95", 0x0407), "1995-03-14 00:00:00");
  EXPECT_EQ(parse("1/2/29"), "2029-01-02 00:00:00");
  EXPECT_EQ(parse("1/2/30"), "1930-01-02 00:00:00");
  EXPECT_EQ(parse("7/4"), "2024-07-04 00:00:00");
  EXPECT_EQ(parse("12:30 AM"), "1899-12-30 00:30:00");
  EXPECT_EQ(d.m_dt, 0.5 / 24);
  EXPECT_EQ(parse("42"), "fail");  // a bare number is not a date
  EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(parse("2/30/2024"), "fail");
  EXPECT_EQ(parse("13:00 PM"), "fail");
  EXPECT_EQ(parse("hello"), "fail");
  EXPECT_EQ(parse(""), "fail");
  // The two-digit-year window is a parameter.
  EXPECT_TRUE(d.ParseDateTime("1/2/40", 0, LANG_USER_DEFAULT, 2049));
  EXPECT_EQ(d.GetYear(), 2040);
  plat::VirtualClock::Reset();
}

TEST(COleDateTime, ArithmeticAcrossTheEpoch) {
  const COleDateTime before(1899, 12, 29, 18, 0, 0);  // -1.75
  const COleDateTime after = before + COleDateTimeSpan(0, 12, 0, 0);
  EXPECT_EQ(after.Format("%Y-%m-%d %H"), "1899-12-30 06");
  EXPECT_DOUBLE_EQ((after - before).GetTotalHours(), 12.0);
  EXPECT_LT(before, after);
  EXPECT_LT(COleDateTime(-1.25), COleDateTime(-1.75));  // same day: 06:00 before 18:00, though -1.25 > -1.75
  const COleDateTimeSpan s(1, 2, 3, 4);
  EXPECT_EQ(s.GetDays(), 1);
  EXPECT_EQ(s.GetHours(), 2);
  EXPECT_EQ(s.GetMinutes(), 3);
  EXPECT_EQ(s.GetSeconds(), 4);
  EXPECT_EQ(s.Format("%D:%H:%M:%S"), "1:02:03:04");
  COleDateTime invalid;
  invalid.SetStatus(COleDateTime::invalid);
  EXPECT_EQ((invalid + s).GetStatus(), COleDateTime::invalid);
}
