#include "grid/formula/tests/GxTestSupport.h"

#include <cmath>
#include <string>

namespace {

class GxEvaluator : public gxtest::SheetTest {};

TEST_F(GxEvaluator, ArithmeticErrorsAndNonFiniteResults) {
    EXPECT_EQ(70, evalErr("=1/0"));
    EXPECT_EQ(122, evalErr("=5%0"));
    EXPECT_DOUBLE_EQ(std::sqrt(2.0), evalNum("=2**0.5"));
    EXPECT_EQ(70, evalErr("=(-1)**0.5"));
    EXPECT_EQ(70, evalErr("=10**400"));
    EXPECT_EQ(40, evalErr("=1e308*10"));
    EXPECT_EQ(40, evalErr("=1e308+1e308"));
    EXPECT_EQ(40, evalErr("=-1e308-1e308"));
    EXPECT_EQ(40, evalErr("=1e308/1e-308"));
    EXPECT_EQ(40, evalErr("=SUM(1e308,1e308)")); // a function's result is checked too
    EXPECT_EQ(0, evalNum("=(-2147483648)%(-1)"));
}

// A power too small for a double is that tiny number or 0, as a product too small is; a pole, a domain error
// and an overflow stay errors.
TEST_F(GxEvaluator, APowerThatUnderflowsIsTinyNotAnError) {
    EXPECT_EQ(0, evalNum("=1e-300**2"));
    EXPECT_EQ(0, evalNum("=1e-300*1e-300"));
    EXPECT_DOUBLE_EQ(std::pow(1e-160, 2), evalNum("=1e-160**2")); // a denormal
    EXPECT_EQ(0, evalNum("=0.5**2000"));
    EXPECT_EQ(0, evalNum("=(-0.5)**2001"));
    EXPECT_EQ(70, evalErr("=0**(-1)"));
    EXPECT_EQ(70, evalErr("=(-8)**(1/3)"));
    EXPECT_EQ(70, evalErr("=2**2000"));
}

TEST_F(GxEvaluator, IntegerOperators) {
    EXPECT_EQ(136, evalErr("=4294967296|0"));
    EXPECT_EQ(-1, evalNum("=4294967295|0"));
    EXPECT_EQ(136, evalErr("=-2147483649|0"));
    EXPECT_EQ(-2147483648.0, evalNum("=1<<31"));
    EXPECT_EQ(2, evalNum("=1<<33")); // the count is taken modulo 32
    EXPECT_EQ(-4, evalNum("=-8>>1"));
    EXPECT_EQ(-6, evalNum("=~5"));
    EXPECT_EQ(2, evalNum("=6&3"));
    EXPECT_EQ(6, evalNum("=3^5"));
    EXPECT_EQ(7, evalNum("=3|5"));
    EXPECT_EQ(-1, evalNum("=-7.9%2")); // truncated toward zero, sign of the left operand
}

TEST_F(GxEvaluator, ComparisonsOfTextsAndNumbers) {
    EXPECT_EQ(1, evalNum("=\"abc \"==\"abc\"")); // trailing blanks ignored
    EXPECT_EQ(0, evalNum("=\"abc\"==\"ABC\""));  // case-sensitive
    EXPECT_EQ(1, evalNum("=\"a\"<1"));             // texts below numbers
    EXPECT_EQ(0, evalNum("=1<\"a\""));
    EXPECT_EQ(1, evalNum("=1>=\"a\""));
    EXPECT_EQ(0, evalNum("=\"a\"==1"));
    EXPECT_EQ(1, evalNum("=\"a\"!=1"));
    EXPECT_EQ(1, evalNum("=\"abc\"<\"abd\""));
    EXPECT_EQ(1, evalNum("=2<=2"));
    // Cell texts compare whole, beyond the 511 characters a string constant holds.
    text(2, 0, (std::string(600, 'a') + "b").c_str());
    text(3, 0, (std::string(600, 'a') + "c").c_str());
    EXPECT_EQ(1, evalNum("=A2<A3"));
    EXPECT_EQ(0, evalNum("=A2==A3"));
}

TEST_F(GxEvaluator, ConcatenationOfTexts) {
    EXPECT_EQ("abcd", evalStr("=\"ab\"&\"cd\""));
    EXPECT_EQ(140, evalErr("=\"a\"&1"));
    std::string big = "=\"" + std::string(300, 'a') + "\"&\"" + std::string(300, 'b') + "\"";
    EXPECT_EQ(150, evalErr(big.c_str()));
}

TEST_F(GxEvaluator, UntakenBranchesAreNotEvaluated) {
    EXPECT_EQ(2, evalNum("=1?2:1/0"));
    EXPECT_EQ(3, evalNum("=0?1/0:3"));
    EXPECT_EQ(0, evalNum("=0&&1/0"));
    EXPECT_EQ(1, evalNum("=1||1/0"));
    EXPECT_EQ(5, evalNum("=PICK(1,5,1/0)")); // lazy arguments
    EXPECT_EQ(70, evalErr("=PICK(0,5,1/0)"));
}

TEST_F(GxEvaluator, ReferencesToEmptyAndErrorCells) {
    EXPECT_EQ(60, evalErr("=B5+1"));
    EXPECT_EQ(60, evalErr("=B5"));
    _gx_set_blanks_zero(sheet, 1);
    EXPECT_EQ(1, evalNum("=B5+1"));
    _gx_set_blanks_zero(sheet, 0);
    ASSERT_TRUE(formula(1, 1, "=1/0"));
    recalc();
    EXPECT_EQ(70, err(1, 1));
    EXPECT_EQ(133, evalErr("=B1+1"));
    EXPECT_EQ(133, evalErr("=B1"));
    EXPECT_EQ(133, evalErr("=B1==1"));
    EXPECT_EQ(89, evalErr("=??"));
    EXPECT_EQ(89, evalErr("=??+1"));
    EXPECT_EQ(141, evalErr("=A1:@SUM(1)"));
    text(3, 0, "3.5");
    EXPECT_EQ(128, evalErr("=A3+1"));
    EXPECT_EQ(3.5, evalNum("=XVALUE(A3,0)")); // a number parameter reads a text as a number
    EXPECT_EQ(12, evalNum("=XVALUE(\"12\",0)"));
}

TEST_F(GxEvaluator, BareRangeIsAnErrorAndRangesReachFunctions) {
    number(1, 0, 1);
    number(2, 0, 2);
    number(1, 1, 3);
    ASSERT_TRUE(formula(5, 0, "=A1..B2"));
    ASSERT_TRUE(formula(6, 0, "=SUM(A1..B2)+SUM(A1:A2,10)"));
    recalc();
    EXPECT_EQ(149, err(5, 0));
    EXPECT_EQ(19, num(6, 0));
}

TEST_F(GxEvaluator, OffsetReferences) {
    number(4, 3, 40);
    number(5, 4, 54);
    GX_ITEM r = eval("=#{0,-1}+1", 5, 3);
    ASSERT_EQ(GX_ITEM_NUMBER, r.kind);
    EXPECT_EQ(41, r.number);
    r = eval("=#{1}", 5, 3);
    ASSERT_EQ(GX_ITEM_NUMBER, r.kind);
    EXPECT_EQ(54, r.number);
    r = eval("=#{0,-10}", 5, 3);
    ASSERT_EQ(GX_ITEM_ERROR, r.kind);
    EXPECT_EQ(110, r.error.code);
    r = eval("=#{1e300}", 5, 3);
    ASSERT_EQ(GX_ITEM_ERROR, r.kind);
    EXPECT_EQ(110, r.error.code);
}

TEST_F(GxEvaluator, FunctionCalls) {
    EXPECT_EQ("ABC", evalStr("=UPPER(\"abc\")")); // a text result that is an argument's text is copied
    EXPECT_EQ(166, evalErr("=NOCALL()"));
    EXPECT_EQ(3, evalNum("=ARGC(1,2,3)"));
    EXPECT_EQ(6, evalNum("=SUM(1,SUM(2,3))")); // nested frames
    EXPECT_EQ(98, evalErr("=UPPER(1)"));
}

TEST_F(GxEvaluator, StoredResultsAndMarks) {
    ASSERT_TRUE(formula(1, 0, "=\"abc\"&\"defghijk\""));
    EXPECT_EQ("abcdefghijk", str(1, 0));
    EXPECT_TRUE(cell(1, 0)->flags & GX_CF_CHANGED);
    EXPECT_EQ(GX_KIND_CONSTFORMULA, cell(1, 0)->kind());
    ASSERT_TRUE(formula(2, 0, "=\"ab\"&\"c\""));
    EXPECT_EQ(GX_VAL_INLINE, cell(2, 0)->valueType());
    // A repeat evaluation with the same value leaves the changed mark alone.
    cell(2, 0)->flags &= ~GX_CF_CHANGED;
    _gx_eval_cell(sheet, cell(2, 0));
    EXPECT_FALSE(cell(2, 0)->flags & GX_CF_CHANGED);
}

TEST_F(GxEvaluator, EvaluationLeavesNoEngineMemoryBehind) {
    const size_t before = _gx_tracked_count();
    evalStr("=UPPER(\"abc\"&\"def\")");
    evalErr("=\"a\"&1");
    evalErr("=SUM(\"x\"&\"y\",1/0)");
    evalNum("=PICK(1,\"t\"==\"t\",2)");
    EXPECT_EQ(before, _gx_tracked_count());
}

TEST_F(GxEvaluator, OutOfMemoryBecomesErrorFive) {
    GX_EXPR e;
    ASSERT_EQ(1, _gx_parse_formula(sheet, "=\"abc\"&\"def\"", &e));
    _gx_fail_allocations_after(0);
    GX_ITEM r = _gx_evaluate(sheet, 1, 0, e.nodes, e.root);
    _gx_fail_allocations_after(-1);
    ASSERT_EQ(GX_ITEM_ERROR, r.kind);
    EXPECT_EQ(5, r.error.code);
    EXPECT_EQ(5, _gx_get_error_code());
    _gx_expr_free_contents(&e);
}

} // namespace
