#include "shared/Misc_Ini.h"

#include "platform/base/PrivateProfile.h"

#include <vector>

DWORD ReadIniSectionRaw(const char* section, char* buffer, DWORD size, const char* file) {
  return GetPrivateProfileSection(section, buffer, size, file);
}

std::string ReadIniSection(const char* section, const char* file) {
  DWORD size = 1024;
  for (;;) {
    std::vector<char> buffer(size, '\0');
    const DWORD length = ReadIniSectionRaw(section, buffer.data(), size, file);
    if (length != size - 2) {
      std::string text(buffer.data(), length);
      text.append(2, '\0');
      return text;
    }
    size += 1024;
  }
}
