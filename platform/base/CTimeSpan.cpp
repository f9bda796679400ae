#include "platform/base/CTimeSpan.h"

#include <cstdio>
#include <string>

CString CTimeSpan::Format(LPCSTR format) const {
  std::string out;
  char buf[32];
  for (const char* p = format ? format : ""; *p; ++p) {
    if (*p != '%' || !p[1]) {
      out += *p;
      continue;
    }
    switch (*++p) {
      case 'D':
        std::snprintf(buf, sizeof buf, "%lld", GetDays());
        out += buf;
        break;
      case 'H':
        std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(GetHours()));
        out += buf;
        break;
      case 'M':
        std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(GetMinutes()));
        out += buf;
        break;
      case 'S':
        std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(GetSeconds()));
        out += buf;
        break;
      case '%':
        out += '%';
        break;
      default:
        out += '%';
        out += *p;
        break;
    }
  }
  return CString(std::move(out));
}
