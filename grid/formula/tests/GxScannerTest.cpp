#include "grid/formula/GxScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Tok {
    int code;
    std::string value;
    int position;
    bool operator==(const Tok&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Tok& t) {
    return os << "{" << t.code << ",\"" << t.value << "\"," << t.position << "}";
}

std::vector<Tok> scan(const std::string& text) {
    _gx_scan_string(text.c_str());
    std::vector<Tok> out;
    for (int guard = 0; guard < 1000; ++guard) {
        GX_TOKEN t = _gx_lex();
        if (t.code == GX_TK_END) break;
        out.push_back({t.code, t.value, t.position});
    }
    return out;
}

std::vector<int> codes(const std::string& text) {
    std::vector<int> out;
    for (const Tok& t : scan(text)) out.push_back(t.code);
    return out;
}

TEST(GxScanner, CellReferencesAndNamesByLongestMatch) {
    EXPECT_EQ((std::vector<Tok>{{GX_TK_ASSIGN, "", 0}, {GX_TK_CELL, "A1", 1}}), scan("=A1"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_ASSIGN, "", 0}, {GX_TK_CELL, "$A$1", 1}}), scan("=$A$1"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_CELL, "FAN1", 0}}), scan("FAN1"));      // column 4095
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NAME, "FAO1", 0}}), scan("FAO1"));      // column 4096
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NAME, "A12345678", 0}}), scan("A12345678"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NAME, "ABCD1", 0}}), scan("ABCD1"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_CELL, "A00000001", 0}}), scan("A00000001"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NAME, "ZZZ1", 0}}), scan("ZZZ1"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NAME, "Total_2.x", 0}}), scan("Total_2.x"));
}

TEST(GxScanner, NameThatReadsAsRangeIsCutAtItsFirstDot) {
    EXPECT_EQ((std::vector<Tok>{{GX_TK_CELL, "A1", 0}, {GX_TK_DOTDOT, "", 2}, {GX_TK_CELL, "B2", 4}}),
              scan("A1..B2"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_CELL, "A1", 0}, {GX_TK_DOT, "", 2}, {GX_TK_CELL, "B2", 3}}), scan("A1.B2"));
    EXPECT_EQ((std::vector<int>{GX_TK_CELL, GX_TK_COLON, GX_TK_CELL}), codes("A1:B2"));
}

TEST(GxScanner, NumbersHexAndExponents) {
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NUMBER, "1e-5", 0}}), scan("1e-5"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NUMBER, ".5e+3", 0}}), scan(".5e+3"));
    // An upper-case E is no exponent: the number 1 and the cell E5.
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NUMBER, "1", 0}, {GX_TK_CELL, "E5", 1}}), scan("1E5"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_HEX, "1F", 0}}), scan("0x1F"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NUMBER, "0", 0}, {GX_TK_NAME, "x", 1}}), scan("0x"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NUMBER, "1.", 0}, {GX_TK_NUMBER, ".2", 2}}), scan("1..2"));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NUMBER, "1", 0}, {GX_TK_NAME, "e", 1}}), scan("1e"));
}

TEST(GxScanner, OperatorsTakeTheLongestMatch) {
    EXPECT_EQ((std::vector<int>{GX_TK_POWER}), codes("**"));
    EXPECT_EQ((std::vector<int>{GX_TK_NE}), codes("<>"));
    EXPECT_EQ((std::vector<int>{GX_TK_NE}), codes("!="));
    EXPECT_EQ((std::vector<int>{GX_TK_DOTDOT, GX_TK_DOT}), codes("..."));
    EXPECT_EQ((std::vector<int>{GX_TK_ERRREF, GX_TK_QUESTION}), codes("???"));
    EXPECT_EQ((std::vector<int>{GX_TK_ANDAND, GX_TK_OROR, GX_TK_NOT}), codes("#And##oR##NOT#"));
    EXPECT_EQ((std::vector<int>{GX_TK_HASH, GX_TK_NAME, GX_TK_HASH}), codes("#ANDX#"));
    EXPECT_EQ((std::vector<int>{GX_TK_SHL, GX_TK_LE, GX_TK_SHR, GX_TK_GE, GX_TK_EQ, GX_TK_ASSIGN}),
              codes("<< <= >> >= == ="));
    EXPECT_EQ((std::vector<int>{GX_TK_OROR, GX_TK_BAR, GX_TK_ANDAND, GX_TK_AMP}), codes("|||&&&"));
    EXPECT_EQ((std::vector<int>{GX_TK_CARET, GX_TK_TILDE, GX_TK_BACKSLASH, GX_TK_SEMICOLON, GX_TK_COMMA,
                                GX_TK_LBRACE, GX_TK_RBRACE, GX_TK_LPAREN, GX_TK_RPAREN, GX_TK_PERCENT}),
              codes("^~\\;,{}()%"));
}

TEST(GxScanner, FunctionNamesStringsAndComments) {
    EXPECT_EQ((std::vector<Tok>{{GX_TK_ASSIGN, "", 0}, {GX_TK_FUNCTION, "SUM", 1}, {GX_TK_LPAREN, "", 5},
                                {GX_TK_CELL, "A1", 6}, {GX_TK_RPAREN, "", 8}}),
              scan("=@SUM(A1)"));
    // The escaped quote stays inside: value a\"b.
    EXPECT_EQ((std::vector<Tok>{{GX_TK_STRING, "a\\\"b", 0}}), scan("\"a\\\"b\""));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_STRING, "x\ny", 0}}), scan("\"x\ny\""));
    // An escaped backslash before the closing quote ends the string there.
    EXPECT_EQ((std::vector<int>{GX_TK_STRING, GX_TK_AMP, GX_TK_STRING}), codes("\"\\\\\"&\"x\""));
    EXPECT_EQ((std::vector<Tok>{{GX_TK_NUMBER, "1", 0}, {GX_TK_COMMENT, " remark", 2}}), scan("1 // remark"));
    // A lone double quote is an invalid character, and scanning goes on after it.
    auto t = scan("\"ab");
    ASSERT_EQ(2u, t.size());
    EXPECT_EQ(GX_TK_ERROR, t[0].code);
    EXPECT_EQ(GX_TK_NAME, t[1].code);
    EXPECT_EQ(1, t[1].position);
}

TEST(GxScanner, PositionsCountBlanksAndTabsButNotLineFeeds) {
    auto t = scan("=1 + 'a'");
    ASSERT_EQ(6u, t.size()); // =, 1, +, ', a, '
    EXPECT_EQ(GX_TK_ERROR, t[3].code);
    EXPECT_EQ(5, t[3].position);
    _gx_scan_string("'");
    EXPECT_EQ(223, _gx_lex().extra);

    auto u = scan("=\t1\n+\n2");
    ASSERT_EQ(4u, u.size());
    EXPECT_EQ(2, u[1].position); // after "=" and a tab
    EXPECT_EQ(3, u[2].position); // the line feed does not count
    EXPECT_EQ(4, u[3].position);
}

TEST(GxScanner, InvalidBytesEachGiveOneErrorToken) {
    EXPECT_EQ((std::vector<int>{GX_TK_ERROR, GX_TK_ERROR, GX_TK_ERROR, GX_TK_ERROR}), codes("[]`\x80"));
}

} // namespace
