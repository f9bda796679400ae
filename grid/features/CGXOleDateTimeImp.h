// The date-time service over the automation date conversions (COleDateTime): the grid's default service.
// It knows no date order or time separator of its own (3 and 0).
#pragma once

#include "grid/core/CGXGridGlobals.h"

class CGXOleDateTimeImp : public CGXAbstractDateTimeImp {
 public:
  void RefreshSettings() override {}
  int GetDateOrder(BOOL bReread, int* fourDigitYear, char* dateSeparator) override;
  char GetTimeSeparator(BOOL bReread) override;
  // The locale's automation parse (the order code is not used); the record's six fields on success.
  BOOL ParseDateTime(GXDateTimeRecord* record, LPCTSTR text, int order) override;
  BOOL ParseDateTimeTm(struct tm* out, LPCTSTR text, int order) override;
  // The locale's short date and time: the date alone without a time, the time alone without a date
  // (month 0), both otherwise; "Invalid DateTime" for a record no date can be built from.
  void FormatDateTime(CString& result, const GXDateTimeRecord* record) override;
  void FormatTime(CString& result, const CTime* time) override;

  // Both services write a CTime alike: "%c" with a time of day, else "%x" (empty for a null pointer).
  static void FormatCTime(CString& result, const CTime* time);
};

// Each creates its service only while the grid has none (the application components install the OLE one
// first, so it is the default) and registers it for deletion at exit.
void InstallOleDateTimeImp();
