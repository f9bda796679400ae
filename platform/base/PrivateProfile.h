// The private-profile (INI file) functions with the desktop's semantics.
//
// Reading: sections and keys match ignoring case; a value is trimmed of blanks and loses one pair of
// matching surrounding quotes; a missing file, section or key gives the default (whose trailing blanks
// are dropped). Results are cut to fit the buffer. A relative file name is taken from the current
// directory; paths follow the module's dialect.
//
// Writing: a new section goes at the end of the file, a new key at the end of its section, an existing
// key is replaced in place. Each call writes the file through at once and replaces it atomically; a
// failed write returns FALSE (last error set) and leaves the file as it was. Inside a plat::ProfileBatch
// scope of the file (ProfileBatch.h) writes change the file's document in memory, reads see them, and the
// scope's end writes the file once. Files are written with
// CR-LF. Section names, keys and values that would break the file's line structure (line breaks; '=' in a
// key; ']' in a section name) are refused with FALSE and ERROR_INVALID_PARAMETER.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/wintypes.h"

// The value (section and key given), or the key names of a section (key null), or the section names
// (section null) as NUL-terminated entries ending with a second NUL. Returns the characters copied
// without the final NUL; a list that does not fit is cut and gives size - 2, a value size - 1.
DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                              LPCSTR fileName);
// The leading integer of the value after blanks: sign, decimal or "0x" hex ("12abc" gives 12, a text
// without digits 0); the default when the key is missing.
UINT GetPrivateProfileInt(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
// The section's "key=value" lines (entries without '=' and comment lines as their text) as
// NUL-terminated entries plus a final NUL. Returns the length without the final NUL; a buffer too small
// gets the cut text and the result size - 2.
DWORD GetPrivateProfileSection(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR fileName);
// A null value deletes the key, a null key the section; (null, null, null, file) only flushes (nothing
// to do: every write outside a batch is already in the file, and a batch writes at its end).
BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
// Replaces the section's lines. `lines` is the documented NUL-separated list ending with an empty entry,
// or one text of "\r\n"-joined lines (how the module calls it: recognised by its line break, and read
// only up to its NUL); empty lines are dropped; an empty text leaves an empty section; null deletes the
// section. A line starting with '[' is refused (FALSE, nothing written): it would read back as a header.
BOOL WritePrivateProfileSection(LPCSTR section, LPCSTR lines, LPCSTR fileName);

namespace plat {
// Whether GetPrivateProfileString gives the value back as WritePrivateProfileString wrote it: a value with a
// line break, a blank at either end or one pair of matching surrounding quotes reads back as another.
bool ProfileValueReadsBack(std::string_view value);
// The text to write for GetPrivateProfileString to give `value` back: the value itself when it reads back as it
// is, else the value in double quotes (the reader takes off one enclosing pair, and trims no blank inside it).
// None for a value with a line break, which no line can hold.
std::optional<std::string> ProfileValueText(std::string_view value);
}  // namespace plat
