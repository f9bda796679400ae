// Reading and writing keys of a ".dao" settings file through the private-profile functions. Reads use 512-byte
// buffers, as the file's readers always have; numbers are written and read independently of the C locale.
#pragma once

#include "platform/base/CString.h"

#include <optional>

namespace settings_io {

// A host object's text as written to the file: "" for none.
inline const char* TextOf(const char* text) { return text ? text : ""; }

// Whether the text holds a carriage return or line feed, which would end its line of the file.
bool BreaksLine(const char* text);

// A value a save refused because no line of the file can hold it (a line break, or a quote in a probe line's layer
// name), kept for the save's box.
struct RefusedValue {
  CString section;
  CString key;     // the key, or the probe line's key ("PROBE_03")
  CString value;   // the value, or the probe line's name
  CString layer;   // the probe line's layer name, when a quote or line break in it was the cause
};
// The first value refused since the last ForgetRefusedValue; empty texts when none was.
const RefusedValue& LastRefusedValue();
void ForgetRefusedValue();
// Keeps the value as refused unless one already is, and sets ERROR_INVALID_DATA.
void RefuseValue(const char* section, const char* key, const char* value, const char* layer = nullptr);

// False when the file cannot be written. A value is written as it is, or in double quotes where its edge blanks or
// enclosing quotes need them (the reader takes off one pair), so that it reads back as given; one with a line
// break is refused (RefuseValue) and nothing is written.
bool WriteText(const char* section, const char* key, const char* value, const char* file);
bool WriteInt(const char* section, const char* key, int value, const char* file);   // "%d"
bool WriteFlag(const char* section, const char* key, bool value, const char* file); // "1" or "0"
// A number in the file's `format` ("%g", "%f") when that text reads back as `value` to the 15 significant digits
// the pages show; otherwise in the fewest significant digits that do, so that no digit a page took is lost and
// the next save writes the same text.
CString NumberText(const char* format, double value);
bool WriteNumber(const char* section, const char* key, const char* format, double value, const char* file);
// Replaces a whole section by "\r\n"-joined lines.
bool WriteSection(const char* section, const char* lines, const char* file);

// A value ends at a carriage return or line feed.
CString ReadText(const char* section, const char* key, const char* fallback, const char* file);
// The integer at the value's start, decimal or "0x" hexadecimal after blanks and a sign, as the private-profile
// integers are read. A value that does not start with a number (an empty one, a key without '=', a word) reads as
// `fallback`, as a missing key does, rather than as 0; so does a number too large for an int (which would wrap
// around to any other, 0 included).
int ReadInt(const char* section, const char* key, int fallback, const char* file);
bool ReadFlag(const char* section, const char* key, bool fallback, const char* file);   // non-zero integer
// A number a wizard page takes typed, read as the page reads its edit (plat::ReadDdxDouble, plat::ReadDdxInt): the
// whole value one decimal number (a whole one for a count), blanks at its ends allowed; none for any other value
// ("12abc", "0x10", "40.9" as a count, "inf"). `fallback` is the text of a missing key.
std::optional<double> ReadTypedNumber(const char* section, const char* key, const char* fallback, const char* file);
std::optional<int> ReadTypedCount(const char* section, const char* key, const char* file);

}  // namespace settings_io
