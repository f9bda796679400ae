// System time from the virtual clock. There are no time zones: local time is UTC.
#pragma once

#include "platform/base/wintypes.h"

void GetSystemTime(SYSTEMTIME* out);
void GetLocalTime(SYSTEMTIME* out);
BOOL SystemTimeToFileTime(const SYSTEMTIME* in, FILETIME* out);
BOOL FileTimeToSystemTime(const FILETIME* in, SYSTEMTIME* out);
