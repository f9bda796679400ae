#include "shared/Misc_Ini.h"

#include "platform/base/PrivateProfile.h"

#include <limits>

DWORD ReadIniSectionRaw(const char* section, char* buffer, DWORD size, const char* file) {
  return GetPrivateProfileSection(section, buffer, size, file);
}

std::string ReadIniSection(const char* section, const char* file) {
  // An answer of size - 2 is either a cut section or one that fits exactly: the read is made again with a
  // buffer twice as large, so that a section of n bytes costs about log2(n / 1024) reads and O(n) copying in
  // all (growing by a fixed step reads it again n / step times).
  constexpr DWORD kLargest = std::numeric_limits<DWORD>::max();
  DWORD size = 1024;
  std::string text;
  for (;;) {
    text.assign(size, '\0');
    const DWORD length = ReadIniSectionRaw(section, text.data(), size, file);
    if (length != size - 2 || size == kLargest) {
      text.resize(length);
      text.append(2, '\0');
      return text;
    }
    size = size > kLargest / 2 ? kLargest : size * 2;
  }
}
