#include "grid/formula/tests/GxTestSupport.h"

#include <cmath>
#include <string>

namespace {

std::string escaped(const std::string& text, int quotes = 1) {
    std::string out;
    _gx_escape_string(out, text.c_str(), quotes);
    return out;
}

std::string unescaped(const std::string& text) {
    std::string buf(text.size() + 1, '\0');
    char* end = _gx_unescape_string(buf.data(), text.c_str());
    return std::string(buf.data(), size_t(end - buf.data()));
}

TEST(GxExprText, EscapesWrittenShortestWithoutSwallowingDigits) {
    EXPECT_EQ("a\\tb\\\"c", escaped("a\tb\"c"));
    EXPECT_EQ("\"", escaped("\"", 0));
    EXPECT_EQ("\\\\", escaped("\\"));
    EXPECT_EQ("\\0015", escaped("\x01" "5"));
    EXPECT_EQ("\\1x", escaped("\x01x"));
    EXPECT_EQ("\\33", escaped("\x1b"));
    EXPECT_EQ("\\177", escaped("\x7f"));
    EXPECT_EQ("\\a\\b\\n\\v\\f\\r", escaped("\a\b\n\v\f\r"));
    EXPECT_EQ("\\240", escaped("\xa0"));
    EXPECT_EQ("\xe9", escaped("\xe9"));
    _gx_engine_state()->escapeHighBytes = 1;
    EXPECT_EQ("\\351", escaped("\xe9"));
    _gx_engine_state()->escapeHighBytes = 0;
}

TEST(GxExprText, UnescapeIsTheInverseAndKeeps511Characters) {
    for (const std::string s : {"a\tb\"c", "\x01" "5", "\x01x", "\\", "\x7f\xe9 z", "\a\b\n\v\f\r"})
        EXPECT_EQ(s, unescaped(escaped(s))) << s;
    EXPECT_EQ("A", unescaped("\\x41"));
    EXPECT_EQ("A", unescaped("\\101"));
    EXPECT_EQ("q", unescaped("\\q"));
    EXPECT_EQ("x", unescaped("\\x"));
    EXPECT_EQ("\x01" "5", unescaped("\\x015"));
    EXPECT_EQ("ab", unescaped("ab\\0cd")); // a NUL ends the text
    EXPECT_EQ(std::string(511, 'y'), unescaped(std::string(600, 'y')));
    // In place, as the parser does it.
    char buf[] = "x\\ty";
    _gx_unescape_string(buf, buf);
    EXPECT_STREQ("x\ty", buf);
}

TEST(GxExprText, ErrorTexts) {
    EXPECT_STREQ("unknown error", _gx_error_text(-1));
    EXPECT_STREQ("unknown error", _gx_error_text(382));
    EXPECT_STREQ("expected to find \"=\" here", _gx_error_text(253));
    EXPECT_STREQ("ending line with a \\", _gx_error_text(355));
    EXPECT_STREQ("out of memory", _gx_error_text(5));
    EXPECT_STREQ("illegal range spec" "ification", _gx_error_text(6));
    EXPECT_STREQ("illegal cell address spec" "ification", _gx_error_text(7));
    EXPECT_STREQ("IEEE Floating Exception (Infinity or NaN)", _gx_error_text(40));
    EXPECT_STREQ("precompiled regular expression is invalid", _gx_error_text(381));
    EXPECT_STREQ("", _gx_error_text(1));
    // Every "expected to find" text matches its token number.
    EXPECT_STREQ("expected to find \"**\" here", _gx_error_text(231 + GX_TK_POWER));
    EXPECT_STREQ("expected to find a \".\" here", _gx_error_text(231 + GX_TK_DOT));
}

TEST(GxExprText, SmallHelpers) {
    EXPECT_EQ(15, _gx_hex_digit_value('f'));
    EXPECT_EQ(-1, _gx_hex_digit_value('g'));
    EXPECT_EQ(1, _gx_exceeds_32_bits(4294967296.0));
    EXPECT_EQ(0, _gx_exceeds_32_bits(4294967295.0));
    EXPECT_EQ(1, _gx_exceeds_32_bits(-2147483649.0));
    EXPECT_EQ(0, _gx_exceeds_32_bits(std::nan("")));
    char t[] = "ab  \t";
    _gx_trim_trailing_space(t);
    EXPECT_STREQ("ab", t);
    char one[] = " ";
    _gx_trim_trailing_space(one);
    EXPECT_STREQ(" ", one); // never the first character
    char inl[9];
    std::memset(inl, 'z', sizeof inl);
    _gx_copy_inline_text(inl, "abc", 1);
    EXPECT_EQ(0, std::memcmp(inl, "abc\0\0\0\0\0\0", 9));
    char* dup = _gx_inline_text_dup("12345678");
    EXPECT_STREQ("12345678", dup);
    _gx_free(dup);
}

} // namespace
