#include "shared/Misc_String.h"

#include <cstring>

#include "shared/Errorbox.h"

int CopyStringN(char* dst, const char* src, int n) {
  if (!dst || !src)
    FatalErrorReport(__DATE__, __FILE__, __LINE__);
  int copied = 0;
  while (copied < n && src[copied]) {
    dst[copied] = src[copied];
    ++copied;
  }
  dst[copied] = '\0';
  return copied;
}

int AppendStringN(char* dst, const char* src, int n) {
  if (!dst || !src)
    FatalErrorReport(__DATE__, __FILE__, __LINE__);
  int length = static_cast<int>(std::strlen(dst));
  if (length >= n)
    return length;  // already full: left exactly as it is
  for (const char* p = src; *p && length < n; ++p)
    dst[length++] = *p;
  dst[length] = '\0';
  return length;
}
