// Code page 1252 character tables: case mapping and the case-insensitive byte comparison that strings,
// profile files and class-name lookups share. Fixed tables, never the machine's locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plat {

unsigned char ToUpper1252(unsigned char c);
unsigned char ToLower1252(unsigned char c);
bool IsUpper1252(unsigned char c);
bool IsLower1252(unsigned char c);
bool IsAlpha1252(unsigned char c);

// Ordinal comparison after folding both sides to lower case by the table; -1, 0 or 1.
int CompareNoCase1252(std::string_view a, std::string_view b);
bool EqualNoCase1252(std::string_view a, std::string_view b);

// Unicode code point of a code page 1252 byte (the five unassigned bytes map to the same-numbered C1 controls).
char16_t CharTo16(unsigned char c);
// The 1252 byte of a UTF-16 unit, or '?' when the code page has no such character.
unsigned char CharFrom16(char16_t u);
std::u16string Utf16From1252(std::string_view text);
// Surrogate pairs become one '?'.
std::string Cp1252FromUtf16(std::u16string_view text);
std::string Utf8From1252(std::string_view text);
// Invalid UTF-8 bytes and characters outside the code page become '?' (one per byte of a malformed sequence).
std::string Cp1252FromUtf8(std::string_view text);
// Nothing when the text is not valid UTF-8 or holds a character that code page 1252 does not have.
std::optional<std::string> Cp1252FromUtf8Strict(std::string_view text);
// A UTF-8 text fit to show in a message: its characters as they are, but every byte of a malformed sequence and
// every control character written as "\xNN" (upper-case hex digits).
std::string Utf8Escaped(std::string_view text);

// Blanks as the classic C runtime's isspace sees them in the C locale.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace plat
