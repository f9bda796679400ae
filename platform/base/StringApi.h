// The desktop API's and the C runtime's character and string calls on code page 1252 text.
//
// The desktop calls (CharUpper, lstrcmpi, CompareString...) use the code page's case tables; the C
// runtime's (_stricmp, _strupr...) behave as in the "C" locale, folding ASCII letters only. Collation
// (lstrcmp, CompareString) compares the case-folded text first and breaks ties with lower case before
// upper case. The platform has no double-byte code page: IsDBCSLeadByte and _ismbblead answer through a
// predicate that tests may replace and that answers FALSE by default.
#pragma once

#include <functional>

#include "platform/base/LocaleTable.h"

// A pointer whose high word is 0 carries one character in its low byte and returns it converted.
LPSTR CharUpper(LPSTR text);
LPSTR CharLower(LPSTR text);
DWORD CharUpperBuff(LPSTR text, DWORD length);
DWORD CharLowerBuff(LPSTR text, DWORD length);
BOOL IsCharAlpha(char ch);
BOOL IsCharAlphaNumeric(char ch);
BOOL IsCharUpper(char ch);
BOOL IsCharLower(char ch);
LPSTR CharNext(LPCSTR text);
LPSTR CharPrev(LPCSTR start, LPCSTR current);

int lstrlen(LPCSTR text);
int lstrcmp(LPCSTR a, LPCSTR b);
int lstrcmpi(LPCSTR a, LPCSTR b);
LPSTR lstrcpyn(LPSTR dest, LPCSTR src, int maxChars);

constexpr DWORD NORM_IGNORECASE = 0x1;
constexpr int CSTR_LESS_THAN = 1;
constexpr int CSTR_EQUAL = 2;
constexpr int CSTR_GREATER_THAN = 3;
// Lengths of -1 mean NUL-terminated. 0 on bad arguments.
int CompareString(LCID locale, DWORD flags, LPCSTR a, int lengthA, LPCSTR b, int lengthB);

int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, std::size_t count);
char* _strupr(char* text);
char* _strlwr(char* text);
unsigned char* _mbsupr(unsigned char* text);
unsigned char* _mbslwr(unsigned char* text);

BOOL IsDBCSLeadByte(BYTE ch);
int _ismbblead(unsigned int ch);

namespace plat {
// Null restores the default (no lead bytes).
void SetLeadBytePredicate(std::function<bool(BYTE)> predicate);
// Collation order of two texts: -1, 0 or 1.
int Collate1252(std::string_view a, std::string_view b, bool ignoreCase);
}  // namespace plat
