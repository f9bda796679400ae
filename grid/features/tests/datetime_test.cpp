// The date-time services: the non-OLE scanner and writer, the OLE service's flags, and the free functions.
#include <gtest/gtest.h>

#include <ctime>

#include "grid/core/CGXGridGlobals.h"
#include "grid/features/CGXNoOleDateTimeImp.h"
#include "grid/features/CGXOleDateTimeImp.h"
#include "platform/base/CTime.h"
#include "platform/base/LocaleTable.h"
#include "platform/base/OleDate.h"

namespace {

// Installs a service for the test and takes it out again (the globals do not own it here).
class DateTime : public ::testing::Test {
 protected:
  void Use(CGXAbstractDateTimeImp* imp) { CGXGridGlobals::Get().m_pDateTimeImp = imp; }
  void TearDown() override {
    Use(nullptr);
    plat::SetUserDefaultLocale(0x0409);
    CGXNoOleDateTimeImp::s_nDateOrder = 3;
    CGXNoOleDateTimeImp::s_cTimeSeparator = 0;
  }
  // A non-OLE service reading the given day-month-year order.
  void DayFirst() {
    Use(&noOle);
    noOle.RefreshSettings();
    CGXNoOleDateTimeImp::s_nDateOrder = 0;
  }
  GXDateTimeRecord Parse(const char* text, BOOL expected = TRUE) {
    GXDateTimeRecord r;
    EXPECT_EQ(noOle.ParseDateTime(&r, text, 3), expected) << text;
    return r;
  }
  CGXNoOleDateTimeImp noOle;
  CGXOleDateTimeImp ole;
};

TEST_F(DateTime, WithoutAServiceTheOrderIsUnknownAndTheSeparatorAColon) {
  int four = 5;
  char sep = 'x';
  EXPECT_EQ(GetDateOrderSetting(TRUE, &four, &sep), 3);
  EXPECT_EQ(four, 5);
  EXPECT_EQ(sep, 'x');
  EXPECT_EQ(GetTimeSeparatorSetting(TRUE), ':');
  RefreshDateTimeSettings();  // nothing to refresh
}

TEST_F(DateTime, TheNonOleServiceReadsTheLocale) {
  Use(&noOle);
  int four = 0;
  char sep = 0;
  EXPECT_EQ(GetDateOrderSetting(TRUE, &four, &sep), 1);  // en-US "M/d/yyyy"
  EXPECT_TRUE(four);
  EXPECT_EQ(sep, '/');
  plat::SetUserDefaultLocale(0x0407);
  RefreshDateTimeSettings();
  EXPECT_EQ(GetDateOrderSetting(FALSE, &four, &sep), 0);  // de-DE "dd.MM.yyyy"
  EXPECT_EQ(sep, '.');
  EXPECT_EQ(GetTimeSeparatorSetting(FALSE), ':');
}

TEST_F(DateTime, NonOleDatesAreCheckedAgainstTheirMonths) {
  DayFirst();
  Parse("31/04/2005", FALSE);
  Parse("29-02-1900", FALSE);
  const GXDateTimeRecord leap = Parse("29-02-2000");
  EXPECT_EQ(leap.day, 29);
  EXPECT_EQ(leap.month, 2);
  const GXDateTimeRecord six = Parse("311299");
  EXPECT_EQ(six.day, 31);
  EXPECT_EQ(six.month, 12);
  EXPECT_EQ(six.year, 1999);
  EXPECT_EQ(Parse("1.2.05").year, 1905);
  Parse("1/13/2005", FALSE);
  Parse("1/1/20055", FALSE);
  Parse("1x1/2005", FALSE);
  const GXDateTimeRecord empty = Parse("");
  EXPECT_EQ(empty, GXDateTimeRecord{});
}

TEST_F(DateTime, NonOleTimesTakeTwelveHourMarks) {
  DayFirst();
  EXPECT_EQ(Parse("12:30 AM").hour, 0);
  EXPECT_EQ(Parse("12:30 PM").hour, 12);
  EXPECT_EQ(Parse("1:05:09 pm").hour, 13);
  const GXDateTimeRecord t = Parse("1:05:09 pm");
  EXPECT_EQ(t.minute, 5);
  EXPECT_EQ(t.second, 9);
  EXPECT_EQ(t.year, 70);
  EXPECT_EQ(t.month, 0);
  EXPECT_EQ(t.day, 1);
  Parse("11:61", FALSE);
  Parse("13:00 AM", FALSE);
  Parse("25:00", FALSE);
  const GXDateTimeRecord both = Parse("31/12/1999 23:59:58");
  EXPECT_EQ(both.year, 1999);
  EXPECT_EQ(both.hour, 23);
  EXPECT_EQ(both.second, 58);
}

TEST_F(DateTime, TheBrokenDownFormCountsYearsFrom1900) {
  DayFirst();
  std::tm t{};
  ASSERT_TRUE(noOle.ParseDateTimeTm(&t, "1/1/05", 3));
  EXPECT_EQ(t.tm_year, 5);  // 1905
  EXPECT_EQ(t.tm_mon, 0);
  ASSERT_TRUE(noOle.ParseDateTimeTm(&t, "1/1/0037", 3));
  EXPECT_EQ(t.tm_year, 137);
  ASSERT_TRUE(noOle.ParseDateTimeTm(&t, "1/1/00", 3));
  EXPECT_EQ(t.tm_year, 100);
  ASSERT_TRUE(noOle.ParseDateTimeTm(&t, "1/1/1850", 3));
  EXPECT_EQ(t.tm_year, -50);  // not 3750
  ASSERT_TRUE(noOle.ParseDateTimeTm(&t, "1/1/0050", 3));
  EXPECT_EQ(t.tm_year, 50);
  ASSERT_TRUE(noOle.ParseDateTimeTm(&t, "10:20", 3));
  EXPECT_EQ(t.tm_year, 70);
  EXPECT_EQ(t.tm_mday, 1);
  EXPECT_EQ(t.tm_hour, 10);
}

TEST_F(DateTime, NonOleTextsFollowTheOrderAndSeparators) {
  DayFirst();
  CString text;
  GXDateTimeRecord r{2005, 3, 7, 0, 0, 0};
  noOle.FormatDateTime(text, &r);
  EXPECT_EQ(text, "07/03/2005");
  r.hour = 9;
  noOle.FormatDateTime(text, &r);
  EXPECT_EQ(text, "07/03/2005 09:00:00");
  r.month = 0;
  noOle.FormatDateTime(text, &r);
  EXPECT_EQ(text, "09:00:00");
  CGXNoOleDateTimeImp::s_nDateOrder = 2;
  CGXNoOleDateTimeImp::s_bFourDigitYear = FALSE;
  r = {2005, 3, 7, 0, 0, 0};
  noOle.FormatDateTime(text, &r);
  EXPECT_EQ(text, "05/03/07");
  CGXNoOleDateTimeImp::s_bFourDigitYear = TRUE;
}

// Every day from year 100 to 9999 breaks down into parts and comes back, and writes and reads back through
// the non-OLE service.
TEST_F(DateTime, EveryDayConvertsToPartsAndBack) {
  DayFirst();
  CGXNoOleDateTimeImp::s_bFourDigitYear = TRUE;
  int days = 0;
  for (double d = kMinDate; d < kMaxDate; d += 1) {
    UDATE ud{};
    ASSERT_EQ(VarUdateFromDate(d, 0, &ud), S_OK) << d;
    DATE back = 0;
    ASSERT_EQ(VarDateFromUdate(&ud, 0, &back), S_OK) << d;
    ASSERT_EQ(back, d);
    if (++days % 7 != 0) continue;
    const GXDateTimeRecord r{static_cast<short>(ud.st.wYear), static_cast<short>(ud.st.wMonth),
                             static_cast<short>(ud.st.wDay), 0, 0, 0};
    CString text;
    noOle.FormatDateTime(text, &r);
    GXDateTimeRecord read;
    ASSERT_TRUE(noOle.ParseDateTime(&read, text, 3)) << text.GetString();
    ASSERT_EQ(read, r) << text.GetString();
  }
  EXPECT_GT(days, 3600000);
}

TEST_F(DateTime, TheOleServiceUsesTheAutomationConversions) {
  Use(&ole);
  EXPECT_EQ(GetDateOrderSetting(TRUE, nullptr, nullptr), 3);
  EXPECT_EQ(GetTimeSeparatorSetting(TRUE), 0);
  GXDateTimeRecord r;
  ASSERT_TRUE(ole.ParseDateTime(&r, "4/1/2006 6:30 PM", 0));
  EXPECT_EQ(r, (GXDateTimeRecord{2006, 4, 1, 18, 30, 0}));
  EXPECT_FALSE(ole.ParseDateTime(&r, "no date", 0));
  EXPECT_EQ(r, GXDateTimeRecord{});
  std::tm t{};
  ASSERT_TRUE(ole.ParseDateTimeTm(&t, "4/1/2006", 0));
  EXPECT_EQ(t.tm_year, 106);
  EXPECT_EQ(t.tm_mon, 3);
  // Date alone, time alone, both.
  CString text;
  r = {2006, 4, 1, 0, 0, 0};
  ole.FormatDateTime(text, &r);
  EXPECT_EQ(text, "4/1/2006");
  r = {0, 0, 0, 18, 30, 0};
  ole.FormatDateTime(text, &r);
  EXPECT_EQ(text, "6:30:00 PM");
  r = {2006, 4, 1, 18, 30, 0};
  ole.FormatDateTime(text, &r);
  EXPECT_EQ(text, "4/1/2006 6:30:00 PM");
  r = {2006, 2, 30, 0, 0, 0};
  ole.FormatDateTime(text, &r);
  EXPECT_EQ(text, "Invalid DateTime");
  // A CTime: the date alone at midnight, date and time otherwise.
  const CTime midnight(2006, 4, 1, 0, 0, 0);
  ole.FormatTime(text, &midnight);
  EXPECT_EQ(text, "04/01/06");
  const CTime evening(2006, 4, 1, 18, 30, 0);
  noOle.FormatTime(text, &evening);
  EXPECT_EQ(text, "04/01/06 18:30:00");
}

}  // namespace
