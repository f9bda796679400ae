#include "grid/formula/tests/GxTestSupport.h"

#include <cmath>
#include <vector>
#include <string>

namespace {

using gxtest::roundTrip;

class GxParser : public gxtest::SheetTest {};

TEST_F(GxParser, BuildsTheTreeItDescribes) {
    GX_EXPR e;
    ASSERT_EQ(1, _gx_parse_formula(sheet, "=1+2*3", &e));
    ASSERT_EQ(5, e.nodeCount);
    const GX_EXPR_NODE& root = e.nodes[e.root];
    EXPECT_EQ(GX_NODE_OPERATOR, root.kind);
    EXPECT_EQ(GX_OP_ADD, root.p.op);
    EXPECT_EQ(GX_OP_MUL, e.nodes[root.b].p.op);
    _gx_expr_free_contents(&e);

    ASSERT_EQ(1, _gx_parse_formula(sheet, "=(1+2)*3", &e));
    EXPECT_TRUE(e.nodes[e.nodes[e.root].a].flags & GX_NF_PAREN);
    _gx_expr_free_contents(&e);

    // Two cells joined into one normalised range node; the right node is given back.
    for (const char* t : {"=A1:B2", "=A1..B2", "=A1.B2", "=B2:A1"}) {
        ASSERT_EQ(1, _gx_parse_formula(sheet, t, &e)) << t;
        ASSERT_EQ(1, e.nodeCount) << t;
        EXPECT_EQ(GX_NODE_RANGE, e.nodes[0].kind);
        EXPECT_EQ(1, e.nodes[0].p.range.top());
        EXPECT_EQ(1, e.nodes[0].p.range.right());
        _gx_expr_free_contents(&e);
    }
    ASSERT_EQ(1, _gx_parse_formula(sheet, "=A1:@SUM(1)", &e));
    EXPECT_EQ(GX_OP_RANGE, e.nodes[e.root].p.op);
    _gx_expr_free_contents(&e);

    ASSERT_EQ(1, _gx_parse_formula(sheet, "=1;A1>0\\A1,B2:C3//note", &e));
    EXPECT_NE(GX_NO_NODE, e.constraintRoot);
    ASSERT_NE(GX_NO_NODE, e.dependsRoot);
    const GX_EXPR_NODE& first = e.nodes[e.dependsRoot];
    EXPECT_EQ(GX_NODE_CELL, first.kind);
    ASSERT_NE(GX_NO_NODE, first.b);
    EXPECT_EQ(GX_NODE_RANGE, e.nodes[first.b].kind);
    EXPECT_EQ(GX_NO_NODE, e.nodes[first.b].b);
    EXPECT_STREQ("note", e.comment);
    _gx_expr_free_contents(&e);

    // The second argument of XVALUE is marked as no precedent.
    ASSERT_EQ(1, _gx_parse_formula(sheet, "=XVALUE(A1,B1)", &e));
    int marked = 0;
    for (int i = 0; i < e.nodeCount; ++i)
        if (e.nodes[i].flags & GX_NF_SKIP) {
            ++marked;
            EXPECT_EQ(1, e.nodes[i].p.range.left()); // B1
        }
    EXPECT_EQ(1, marked);
    _gx_expr_free_contents(&e);
}

TEST_F(GxParser, PrecedenceAndAssociativityAcrossTheLevels) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"=2**3**2", 64},   {"=-2**2", -4},      {"=(-2)**2", 4},    {"=2*3**2", 18},     {"=1+2*3", 7},
        {"=10-2-3", 5},     {"=100/10/5", 2},    {"=2-3+4", 3},      {"=1<<2+1", 8},      {"=8>>1>>1", 2},
        {"=5>3==1", 1},     {"=1==1<2", 1},      {"=1<2<3", 1},      {"=3>2>1", 0},       {"=6&3^1", 3},
        {"=1|2^3", 1},      {"=3^5", 6},         {"=1|0&&0", 0},     {"=1||0&&0", 1},     {"=0||1?5:6", 5},
        {"=0?1:2", 2},      {"=1?0?3:4:5", 4},   {"=0?1:0?2:3", 3},  {"=50%", 0.5},       {"=7%2", 1},
        {"=-2%", -0.02},    {"=!0+1", 2},        {"=~0", -1},        {"=-7%2", -1},       {"=2**2%", 0},
        {"=1 #AND# 1 #or# 0", 1}, {"=#NOT#0", 1}, {"=1=1", 1},       {"=1<>1", 0},        {"=4-2-1", 1},
        {"=1+2<<1", 6},     {"=2*3%4", 2},       {"=2**-1", 0},
    };
    for (const Case& c : cases) {
        if (std::string(c.text) == "=2**2%") {
            EXPECT_NEAR(std::pow(2.0, 0.02), evalNum(c.text), 1e-12) << c.text; // postfix binds tighter
            continue;
        }
        if (std::string(c.text) == "=2**-1") {
            EXPECT_EQ(274, std::stoi(roundTrip(sheet, c.text).substr(4))) << c.text; // no prefix after **
            continue;
        }
        EXPECT_DOUBLE_EQ(c.value, evalNum(c.text)) << c.text;
    }
}

TEST_F(GxParser, ErrorNumbersAndPositions) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"1+2", "ERR 253@0"},          {"==1", "ERR 274@1"},        {"=--1", "ERR 274@2"},
        {"=1+", "ERR 274@3"},          {"=(1", "ERR 250@3"},        {"=A0", "ERR 226@1"},
        {"=A9999999", "ERR 226@1"},    {"=ZZZ1", "ERR 281@1"},      {"=1 + 'a'", "ERR 223@5"},
        {"=@NOPE(1)", "ERR 227@9"},    {"=1)", "ERR 271@2"},        {"=A1:3", "ERR 275@4"},
        {"=#{1", "ERR 252@4"},         {"=1?2", "ERR 232@4"},       {"=0x100000000", "ERR 88@1"},
        {"=1e999", "ERR 282@1"},       {"=SUM(1,)", "ERR 274@7"},   {"=XVALUE(1)", "ERR 230@10"},
        {"=XVALUE(1,2,3)", "ERR 229@14"}, {"=SUM(1 2)", "ERR 250@7"}, {"=SUM(A0,1)", "ERR 250@5"},
        {"", "ERR 253@0"},             {"=", "ERR 274@1"},           {"=1 2", "ERR 271@3"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, roundTrip(sheet, c.text)) << c.text;
    // The parse outcome is left in the engine's error status.
    GX_EXPR e;
    EXPECT_EQ(0, _gx_parse_formula(sheet, "=1+", &e));
    EXPECT_EQ(1, _gx_engine_state()->errorFlag);
    EXPECT_EQ(1, _gx_parse_formula(sheet, "=1", &e));
    EXPECT_EQ(0, _gx_engine_state()->errorFlag);
    EXPECT_EQ(0, _gx_get_error_code());
    _gx_expr_free_contents(&e);
}

TEST_F(GxParser, HexLiteralLimits) {
    EXPECT_EQ(-1, evalNum("=0xFFFFFFFF"));
    EXPECT_EQ(255, evalNum("=0x00000000FF"));
    EXPECT_EQ("ERR 88@3", roundTrip(sheet, "=1+0x1FFFFFFFF"));
}

TEST_F(GxParser, NodeLimitFailsWithoutOverrun) {
    auto sumOf = [](int terms) {
        std::string t = "=1";
        for (int i = 1; i < terms; ++i) t += "+1";
        return t;
    };
    EXPECT_EQ(100, evalNum(sumOf(100).c_str())); // 199 nodes
    EXPECT_EQ(280, std::stoi(roundTrip(sheet, sumOf(101).c_str()).substr(4)));
    EXPECT_EQ(280, std::stoi(roundTrip(sheet, sumOf(5000).c_str()).substr(4)));
    // Deep nesting that allocates no node is bounded too.
    std::string deep = "=" + std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_EQ(148, std::stoi(roundTrip(sheet, deep.c_str()).substr(4)));
}

TEST_F(GxParser, ArgumentCountsAtTheLimits) {
    auto call = [](int n) {
        std::string t = "=ARGC(";
        for (int i = 0; i < n; ++i) t += i ? ",1" : "1";
        return t + ")";
    };
    // Each argument costs its own node and a link, so 99 is the most that 200 nodes hold.
    EXPECT_EQ(99, evalNum(call(99).c_str()));
    EXPECT_EQ(280, std::stoi(roundTrip(sheet, call(100).c_str()).substr(4)));
    EXPECT_EQ(280, std::stoi(roundTrip(sheet, call(101).c_str()).substr(4)));
}

TEST_F(GxParser, HundredArgumentFrameEvaluates) {
    // Built by hand: a call with the parser's limit of 100 arguments needs more nodes than a parse may make.
    std::vector<GX_EXPR_NODE> nodes(201);
    GX_EXPR e;
    ASSERT_EQ(1, _gx_parse_formula(sheet, "=ARGC(1)", &e));
    nodes[0] = e.nodes[e.root];
    _gx_expr_free_contents(&e);
    nodes[0].b = 1;
    for (int i = 0; i < 100; ++i) {
        GX_EXPR_NODE& link = nodes[size_t(1 + i)];
        link = GX_EXPR_NODE();
        link.kind = GX_NODE_ARG;
        link.a = uint16_t(101 + i);
        link.b = i < 99 ? uint16_t(2 + i) : GX_NO_NODE;
        link.p.link.prev = uint16_t(i);
        GX_EXPR_NODE& arg = nodes[size_t(101 + i)];
        arg = GX_EXPR_NODE();
        arg.kind = GX_NODE_NUMBER;
        arg.p.number = i;
    }
    GX_ITEM r = _gx_evaluate(sheet, 1, 0, nodes.data(), 0);
    ASSERT_EQ(GX_ITEM_NUMBER, r.kind);
    EXPECT_EQ(100, r.number);
}

TEST_F(GxParser, RoundTripsThroughText) {
    const char* same[] = {
        "=1+2*3", "=(1+2)*3", "=0x1F", "=A1**2", "=-2**2", "=(-2)**2", "=#{0,-1}", "=#{1}", "=#", "=#{A1+1,2}",
        "=A1..B2", "=$B$3..C7", "=1;A1>0\\A1,B2..C3//note", "=SUM(A1..B2,3)", "=NOCALL()", "=1?2:3?4:5",
        "=A1%+1", "=7%2", "=50%", "=~1", "=!A1", "=1<<2>>3", "=??", "=1&&0||1", "=3^5|6&7", "=A1!=B1",
        "=A1==B1", "=\"a\\tb\\\"c\"", "=XVALUE(A1,B1)", "=(1)", "=1e+300", "=0.1",
        "=SUM(1,SUM(2,3),4)", "=A$1+$A1", "=FAN8388607",
    };
    for (const char* t : same) EXPECT_EQ(t, roundTrip(sheet, t));
    struct Pair {
        const char* in;
        const char* out;
    };
    const Pair rewritten[] = {
        {"=A1<>B1", "=A1!=B1"}, {"=A1=B1", "=A1==B1"}, {"=A1:B2", "=A1..B2"}, {"=B2:A1", "=A1..B2"},
        {"=A1.B2", "=A1..B2"},  {"=1 #and# 0", "=1&&0"}, {"=@SUM(1)", "=SUM(1)"}, {"=sum(1)", "=SUM(1)"},
        {"= 1 +\t2", "=1+2"},     {"=A1:@SUM(1)", "=A1 ..SUM(1)"}, {"=1? ??:2", "=1? ??:2"},   {"=$C7:B$3", "=B$3..$C7"}, {"=.5", "=0.5"}, {"=\"\\x41\\101\"", "=\"AA\""},
    };
    for (const Pair& p : rewritten) {
        EXPECT_EQ(p.out, roundTrip(sheet, p.in)) << p.in;
        EXPECT_EQ(p.out, roundTrip(sheet, p.out)) << p.out; // the written text reads back the same
    }
}

TEST_F(GxParser, AlternativeTextsAreForDisplayOnly) {
    GX_ENGINE_STATE* st = _gx_engine_state();
    st->altOperators = 1;
    EXPECT_EQ("=31", roundTrip(sheet, "=0x1F"));
    EXPECT_EQ("=A1^2", roundTrip(sheet, "=A1**2"));
    EXPECT_EQ("=1;A1>0", roundTrip(sheet, "=1;A1>0\\A1,B2..C3//note"));
    EXPECT_EQ("=3/*XOR*/5", roundTrip(sheet, "=3^5"));
    EXPECT_EQ("=ERR", roundTrip(sheet, "=??"));
    EXPECT_EQ("=#NOT#1", roundTrip(sheet, "=!1"));
    EXPECT_EQ("=A1=B1", roundTrip(sheet, "=A1==B1"));
    EXPECT_EQ("=1#AND#0#OR#1", roundTrip(sheet, "=1&&0||1"));
    st->altOperators = 0;

    st->atFunctions = 1;
    EXPECT_EQ("=@NOCALL", roundTrip(sheet, "=NOCALL()"));
    EXPECT_EQ("=@SUM(1)", roundTrip(sheet, "=SUM(1)"));
    st->atFunctions = 0;
    st->lowerCaseFunctions = 1;
    EXPECT_EQ("=sum(1)", roundTrip(sheet, "=SUM(1)"));
    st->lowerCaseFunctions = 0;
}

TEST_F(GxParser, ExpressionTextGrowsPastAnyFixedBuffer) {
    // Forty strings of 500 characters: a text of some 20,000 characters, written whole.
    std::string t = "=\"" + std::string(500, 'x') + "\"";
    for (int i = 0; i < 39; ++i) t += "&\"" + std::string(500, char('a' + i % 26)) + "\"";
    EXPECT_EQ(t, roundTrip(sheet, t.c_str()));
}

TEST_F(GxParser, CloneAndFreeKeepTheEngineMemoryBalanced) {
    const size_t before = _gx_tracked_count();
    GX_EXPR e;
    ASSERT_EQ(1, _gx_parse_formula(sheet, "=\"abc\"&\"def\";1//x", &e));
    GX_EXPR* copy = _gx_expr_clone(&e);
    std::string a, b;
    _gx_expr_text(sheet, &e, a);
    _gx_expr_text(sheet, copy, b);
    EXPECT_EQ(a, b);
    EXPECT_NE(e.nodes[0].p.text, copy->nodes[0].p.text);
    _gx_expr_free(copy);
    _gx_expr_free_contents(&e);
    EXPECT_EQ(0, _gx_parse_formula(sheet, "=\"abc\"&", &e)); // texts of a failed parse are freed too
    EXPECT_EQ(before, _gx_tracked_count());
}

TEST_F(GxParser, OutOfMemoryFailsWithErrorFive) {
    GX_EXPR e;
    _gx_fail_allocations_after(0);
    EXPECT_EQ(0, _gx_parse_formula(sheet, "=1+\"text\"", &e));
    _gx_fail_allocations_after(-1);
    EXPECT_EQ(5, _gx_get_error_code());
    EXPECT_EQ(nullptr, e.nodes);
}

} // namespace
