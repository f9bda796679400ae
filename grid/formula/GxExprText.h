// Expression text (compiled formula back to text), string escapes, and the engine's error texts.
// Texts are written into growing strings, whole.
#pragma once

#include "grid/formula/GxTypes.h"

#include <string>
#include <string_view>

const char* _gx_error_text(int number);

void _gx_expr_text(int sheet, const GX_EXPR* expr, std::string& out);
// A number as a formula or an editor writes it: 14 significant digits, or up to 17 where 14 would not read
// back as the same number.
std::string _gx_number_text(double v);
void _gx_node_text(int sheet, const GX_EXPR_NODE* nodes, uint16_t index, std::string& out);
void _gx_function_text(std::string& out, const char* name, int withParens);
void _gx_escape_string(std::string& out, const char* text, int escapeQuotes);
// May work in place; keeps 511 characters, and sets *cut when there were more.
char* _gx_unescape_string(char* dest, const char* src, bool* cut = nullptr);
char* _gx_inline_text_dup(const char* eight);            // tracked 9-byte copy of an in-place text
void _gx_copy_inline_text(char* dest, const char* text, int terminate);
int _gx_hex_digit_value(int ch);
int _gx_exceeds_32_bits(double value);
// A text without its trailing white space; a text of nothing else keeps its first character.
std::string_view _gx_trimmed(const char* text);
void _gx_trim_trailing_space(char* text);
void _gx_upper_case(char* text);
