// Reading whole INI sections for the settings file's probe sections.
#pragma once

#include "platform/base/wintypes.h"

#include <string>

// A direct call of GetPrivateProfileSectionA: the section's "key=value" lines as NUL-terminated entries and a
// final NUL; a buffer too small gets the cut text and the answer size - 2.
DWORD ReadIniSectionRaw(const char* section, char* buffer, DWORD size, const char* file);

// The whole section, however long: the read starts with 1024 bytes and doubles the buffer while the answer fills
// it to its size - 2. The text holds the entries and ends with an empty entry (two NULs at the end).
std::string ReadIniSection(const char* section, const char* file);
