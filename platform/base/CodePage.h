// Code page 1252 character tables: case mapping and the case-insensitive byte comparison that strings,
// profile files and class-name lookups share. Fixed tables, never the machine's locale.
#pragma once

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

// Blanks as the classic C runtime's isspace sees them in the C locale.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace plat
