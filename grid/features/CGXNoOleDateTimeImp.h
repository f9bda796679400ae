// The date-time service that reads the locale's short-date format and time separator itself and scans
// and writes date and time texts by its own rules (no automation conversions).
//
// Scanning (ParseDateTime): a text "date time" splits at its first blank when a time separator follows
// it; otherwise a text with a time separator is a time, else a date. Times: h[:mm[:ss]] with AM/PM (also
// "A"/"P"); dates: three fields of digits separated by "/", "-", "." or blanks in the locale's order (or
// six digits), years of two digits in 1901..1999, days checked against their month.
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CGXNoOleDateTimeImp : public CGXAbstractDateTimeImp {
 public:
  // Reads the date order and the time separator afresh (through the installed service).
  void RefreshSettings() override;
  int GetDateOrder(BOOL bReread, int* fourDigitYear, char* dateSeparator) override;
  char GetTimeSeparator(BOOL bReread) override;
  BOOL ParseDateTime(GXDateTimeRecord* record, LPCTSTR text, int order) override;
  // Years from 100 on become year - 1900; two-digit years below 38 count from 2000 (+100), 38..99 stay.
  BOOL ParseDateTimeTm(struct tm* out, LPCTSTR text, int order) override;
  void FormatDateTime(CString& result, const GXDateTimeRecord* record) override;
  void FormatTime(CString& result, const CTime* time) override;

  // The kept settings (process-wide): order 3 means not read yet, time separator 0 likewise.
  static int s_nDateOrder;
  static BOOL s_bFourDigitYear;
  static char s_cDateSeparator;
  static char s_cTimeSeparator;
};

void InstallNoOleDateTimeImp();
