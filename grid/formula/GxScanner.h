// The formula scanner: cuts a formula's text into tokens for the parser. At each point it takes the longest
// match of any of its rules, the earlier rule winning between matches of equal length.
#pragma once

#include <cstdint>
#include <string>

enum GX_TOKEN_CODE : int32_t {
    GX_TK_SEMICOLON = 0, GX_TK_COLON, GX_TK_COMMA, GX_TK_QUESTION, GX_TK_HASH, GX_TK_BACKSLASH, GX_TK_PLUS,
    GX_TK_MINUS, GX_TK_STAR, GX_TK_SLASH, GX_TK_PERCENT, GX_TK_BAR, GX_TK_CARET, GX_TK_AMP, GX_TK_NOT,
    GX_TK_TILDE, GX_TK_LT, GX_TK_GT, GX_TK_LPAREN, GX_TK_RPAREN, GX_TK_LBRACE, GX_TK_RBRACE, GX_TK_ASSIGN,
    GX_TK_POWER, GX_TK_ANDAND, GX_TK_OROR, GX_TK_SHL, GX_TK_SHR, GX_TK_LE, GX_TK_GE, GX_TK_NE, GX_TK_EQ,
    GX_TK_DOTDOT, GX_TK_CELL = 33, GX_TK_NAME, GX_TK_FUNCTION, GX_TK_STRING, GX_TK_NUMBER, GX_TK_HEX,
    GX_TK_COMMENT, GX_TK_END = 40, GX_TK_ERROR = 41, GX_TK_DOT = 42, GX_TK_ERRREF = 43,
};

struct GX_TOKEN {
    int32_t code = GX_TK_END;
    std::string value;     // codes 33 to 39: the token's text as the parser needs it
    int32_t extra = 0;     // 223 for the invalid-character token
    int32_t position = 0;  // offset of the first character, line feeds not counted
};

// The scanner's process-wide state: one formula is scanned at a time.
struct GX_PARSE_STATE {
    std::string input;
    std::size_t offset = 0;   // next character to scan
    int32_t position = 0;     // running position count
    int32_t tokenLength = 0;  // length of the last token's text
    GX_TOKEN token;           // the last token scanned
    int32_t firstScan = 1;
};

GX_PARSE_STATE* _gx_parse_state();
void _gx_scan_string(const char* text);
GX_TOKEN _gx_lex();
